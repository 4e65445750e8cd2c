#pragma once
// The open and save-as dialogs of network files and the file name they set.
#include "model/network_load.h"

#include <string>

// The folder the open, merge and import dialogs start in: that of the open network, else the last folder a
// file was chosen from.
std::string FileDialogFolder();
// Remembers the folder of a file chosen in one of those dialogs.
void RememberFileDialogFolder(const std::string &chosen);
// Loads a network file as the open command does: a file that another running program has open is opened
// only after a question; a file not opened leaves the network and its name as they were, a load the user
// stopped leaves no name, a merge keeps the network's own name; any other load gives the network the
// file's name.
LoadOutcome LoadNetworkFile(const std::string &path);
// The open dialog and the load (also used by the merge command, under its own title). Returns true when a
// file was loaded.
bool OpenNetworkDialog(const std::string &title = "");
// File > Save As. Returns true when the file was written.
bool SaveNetworkAs();
// NetworkFileTitle and MasterFile from NetworkFileName.
void SetFileName();
// Whether a file of that name is a master file (its title ends in "SMM", in any case).
bool IsMasterFileName(const std::string &path);
