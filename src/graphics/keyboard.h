#pragma once
// Key commands of the graphics windows, the toolbar, the rotation pad and the level scroll bar, and the
// grid and single-level display toggles.

// VB key codes the commands use.
namespace KeyCode {
constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Escape = 27;
constexpr int Home = 36;
constexpr int Up = 38;
constexpr int Down = 40;
constexpr int F1 = 112; // F2..F12 follow
} // namespace KeyCode

// Whether KeyCommand gives a key a command (the other keys only stop the rotation).
bool IsCommandKey(int keyCode);
// Runs the command of a key (undo, redo, clear selection, fit, level step, tool selection, simulation).
void KeyCommand(int &keyCode);
// Moves the level scroll bar one level by LastKey (38 up, 40 down); nothing past either end.
void StepLevelScroll();
// Switches the coordinate grid of the active window on or off.
void ToggleGridFlag();
// Switches between single-level display and the level display mode used before.
void ToggleSingleLevel();
