#pragma once
// The file commands of the main window.

// Open: resets the tool, offers to save a changed network, then the open dialog and the load.
void OpenCommand();
