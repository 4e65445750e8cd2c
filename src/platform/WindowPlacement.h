#pragma once
// Placing a window on the screen.
class QRect;
class QWidget;

namespace VB {
// Puts the window, frame included, in the middle of its screen: left = (screen width - window width) \ 2, top the
// same way.
void CentreOnScreen(QWidget &window);
// Puts the window's frame into the lower right corner of `area` (screen pixels).
void PlaceInLowerRight(QWidget &window, const QRect &area);
} // namespace VB
