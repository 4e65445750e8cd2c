#pragma once
// The open and save-as dialogs of network files and the file name they set.
#include <string>

// The open dialog and the load (also used by the merge command). Returns true when a file was loaded.
bool OpenNetworkDialog();
// File > Save As. Returns true when the file was written.
bool SaveNetworkAs();
// NetworkFileTitle and MasterFile from NetworkFileName.
void SetFileName();
// Whether a file of that name is a master file (its title ends in "SMM", in any case).
bool IsMasterFileName(const std::string &path);
