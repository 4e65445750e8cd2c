#pragma once
// Placing a window on the screen.
class QWidget;

namespace VB {
// Puts the window, frame included, in the middle of its screen: left = (screen width - window width) \ 2, top the
// same way.
void CentreOnScreen(QWidget &window);
} // namespace VB
