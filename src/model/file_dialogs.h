#pragma once
// The open and save-as dialogs of network files and the file name they set.

// The open dialog and the load (also used by the merge command). Returns true when a file was loaded.
bool OpenNetworkDialog();
// File > Save As. Returns true when the file was written.
bool SaveNetworkAs();
// NetworkFileTitle and MasterFile from NetworkFileName.
void SetFileName();
