#include "platform/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace VB {

void CentreOnScreen(QWidget &window) {
    const QScreen *screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    // The window's outer size, frame included, as the screen sees it.
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void PlaceInLowerRight(QWidget &window, const QRect &area) {
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + area.width() - size.width(), area.y() + area.height() - size.height());
}

} // namespace VB
