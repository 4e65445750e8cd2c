#pragma once
// The list of recently used network files in the File menu, kept in the per-user settings store.
#include <string>

// Reads the list (from "Gustrom.old" once, when an older release left it, otherwise from the store).
void LoadRecentFiles();
// Shows the list in the menu and stores all nine entries.
void AddRecentFile();
// Sets the captions and visibility of the nine recent-file menu items.
void ShowRecentFiles();
// The menu text of one entry: paths over 19 characters keep their start and their file name.
std::string ShortRecentName(const std::string &path);
