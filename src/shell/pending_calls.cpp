// Procedures of the file, level, undo, solver and editor code that the shell calls and that are not in this
// tree yet. Each keeps the state its callers rely on unchanged; the real ones replace this file.
#include "graphics/drawing.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/file_commands.h"
#include "model/levels_views.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "model/recent_files.h"
#include "model/settings_file.h"
#include "model/undo.h"
#include "model/units.h"
#include "platform/ShellHooks.h"
#include "simulation/driver.h"

void SetToolCursor(int) {}
void CalibratePause() {}

