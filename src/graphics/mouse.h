#pragma once
// Mouse input of the graphics windows: the press, move and release handlers with the zoom, pan, rotation
// and fence gestures, the dispatch of the release to the current tool, the cursor read-out and the airway
// data pop-up.
#include <functional>
#include <string>

// The one path of the graphics windows' mouse events: the window's number, the button (press and release:
// the one button of the event; move: the sum of the held buttons; 1 left, 2 right, 4 middle), the
// Shift/Ctrl/Alt bits (1, 2, 4) and the position in the window's scale units. They note the gesture state
// and run the editor's handlers below, a failed tool ending its gesture.
void WindowPressEvent(int window, int button, int shift, float x, float y);
void WindowMoveEvent(int window, int buttons, int shift, float x, float y);
void WindowReleaseEvent(int window, int button, int shift, float x, float y);
// A wheel step of the hooked window (keys, rotation: positive away from the user, position in pixels):
// zooms the active window about its centre by 0.8 per step within the zoom limits.
void WindowMouseWheel(int keys, int rotation, int x, int y);

// The handlers themselves; they read MouseButton, MouseShift, CursorX, CursorY.
void WindowMouseDown();
void WindowMouseMove();
void WindowMouseUp();

// Whether the release (CursorX, CursorY) lies within 1/50 of the active window's world width of the press
// in both X and Y: a click for the tools that take a click or a fence.
bool ReleaseIsClick();
// The cursor coordinate read-out of the main window for a view position.
void ShowCursorCoords(float x, float y);
// Erases the rubber line from the start to the old end and draws the one to the new end (view positions).
void DrawRubberLine(float startX, float startY, float oldX, float oldY, float newX, float newY);
// Moves the rotation centre to the middle of the window after a pan or a zoom click.
void RecentreAfterPan();
// Release of the select tool: a click selects (left) or deselects (right) the airway under the cursor, a
// fence selects every airway touching it.
void FenceTool();
// Left release of the information tool: opens the information window of the airway under the cursor.
void AirwayInfoTool();
// The airway data pop-up's text for airway a.
std::string AirwayPopupText(int a);

// Called with the name of every tool the release dispatches to (for observing the dispatch).
void SetToolDispatchObserver(std::function<void(const std::string &tool)> observer);
