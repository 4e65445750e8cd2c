#pragma once
// Placing windows on the screen. Every window opens wholly on the screen that holds the main window: the
// placement below runs on each top-level window as it is shown, and the placing helpers end with it too.
class QRect;
class QWidget;

namespace VB {
// The window whose screen the others open on; null when there is none (the primary screen serves). While
// one is set, every top-level window is kept on that screen as it is shown.
void SetMainWindow(QWidget *window);
// The available area (screen pixels) of the screen that holds the main window.
QRect WindowArea();
// Moves the window, frame included, wholly into WindowArea(), made smaller first where it is larger.
void KeepOnScreen(QWidget &window);
// Puts the window, frame included, in the middle of WindowArea(): left = (area width - window width) \ 2,
// top the same way.
void CentreOnScreen(QWidget &window);
// Puts the window's frame into the lower right corner of `area` (screen pixels), kept on the screen.
void PlaceInLowerRight(QWidget &window, const QRect &area);
} // namespace VB
