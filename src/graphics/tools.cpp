#include "graphics/tools.h"

// The tools are built by their own components; these entries keep the dispatcher complete meanwhile.
void MoveNodeTool(int32_t &, int32_t &, int32_t &, int32_t &, int32_t &, int32_t &, int &, int &) {}
void CopyPasteAttributes() {}
void CopyPasteLayers() {}
void PlaceSmokeReport() {}
void ContaminantSourceTool() {}
void InsertFanTool() {}
void NameTool() {}
