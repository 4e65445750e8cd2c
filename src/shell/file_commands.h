#pragma once
// The File and Help menu commands: new, open, recent files, merge, print and help.

// File > New: asks before discarding a network, then starts an empty one.
void NewNetwork();
// File > Open: zoom tool, offers to save a changed network, then the open dialog.
void OpenCommand();
// A recent-file menu entry (1..9): offers to save a changed network (Cancel, or a Save As not done, stops),
// then loads that file; a file that cannot be opened changes nothing.
void OpenRecentFile(int index);
// File > Merge: appends another network file to the current network.
void MergeCommand();
// File > Print.
void PrintCommand();
// Help > Contents.
void ShowHelp(int unused = 0);

// Zoom tool code of the toolbar.
constexpr int ZoomToolCode = 0;
