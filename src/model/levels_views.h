#pragma once
// Level table and saved views, kept in step with the main window's lists.
#include <string>

// Refills the view list with the non-empty names of view slots 1..100.
void FillViewList();
// Shows the active graphics window with its number, caption "View n", background and redraw mode.
void SetViewCaption();
// Refills the level combo and the level scroll bar range from the level table.
void FillLevelList();
// Stores the active view in `slot` under `name`; a reply other than Yes also lists the name.
void AddNamedView(int slot, int reply, const std::string &name);
