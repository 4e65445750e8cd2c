#pragma once
// The graphic editor's answers to the keyboard and the pointer of the graphics windows.

// A key pressed in a graphics window or a main window control (stops the rotation, selects commands).
void KeyCommand(int keyCode);
// Cursor of every open graphics window for the present ToolCode and this mouse button.
void SetToolCursor(int button);
// World X, Y, Z of the cursor in the read-out of the main window.
void ShowCursorCoords(float x, float y);
// Grid on or off with the check mark of the grid menu item, then a redraw.
void ToggleGridFlag();
// Single-level view and back to the mode kept before it.
void ToggleSingleLevel();
// Measures the event-pump rounds of the drawing pauses.
void CalibratePause();
