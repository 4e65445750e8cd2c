#pragma once
// Placing a window on the screen.
class QRect;
class QWidget;

namespace VB {
// Puts the window (its frame) in the middle of its screen, as dialogs place themselves when they load.
void CentreOnScreen(QWidget &window);
// Puts the window's frame into the lower right corner of `area` (screen pixels).
void PlaceInLowerRight(QWidget &window, const QRect &area);
} // namespace VB
