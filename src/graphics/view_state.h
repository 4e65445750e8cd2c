#pragma once
// The view state of the graphics windows.

// Stores the active window's view in view slot `slot`.
void SaveView(int slot);
