#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace VB {

namespace {

QPointer<QWidget> &mainWindow() {
    static QPointer<QWidget> window;
    return window;
}

// The frame round a window. Before a window is first shown its frame is not known yet; the main window's
// stands in for it.
QMargins frameMargins(const QWidget &window) {
    const auto margins = [](const QWidget &w) {
        const QRect frame = w.frameGeometry(), inner = w.geometry();
        return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                        frame.bottom() - inner.bottom());
    };
    QMargins m = margins(window);
    if (m.isNull() && mainWindow() && mainWindow() != &window && mainWindow()->isVisible())
        m = margins(*mainWindow());
    return m;
}

// The window's outer size, frame included.
QSize outerSize(const QWidget &window) {
    const QMargins m = frameMargins(window);
    return window.size() + QSize(m.left() + m.right(), m.top() + m.bottom());
}

// Keeps every top-level window on the main window's screen as it is shown.
class PlacementFilter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop &&
                !(w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
                KeepOnScreen(*w);
        }
        return QObject::eventFilter(watched, event);
    }
};

PlacementFilter &filter() {
    static PlacementFilter f;
    return f;
}

} // namespace

void SetMainWindow(QWidget *window) {
    mainWindow() = window;
    if (qApp == nullptr)
        return;
    qApp->removeEventFilter(&filter());
    if (window != nullptr)
        qApp->installEventFilter(&filter());
}

QRect WindowArea() {
    const QScreen *screen = nullptr;
    if (const QWidget *main = mainWindow())
        screen = main->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

void KeepOnScreen(QWidget &window) {
    const QRect area = WindowArea();
    if (!area.isValid())
        return;
    const QSize frame = outerSize(window) - window.size();
    // A window larger than the screen is made to fit, as far as its smallest size allows.
    const QSize inner = window.size().boundedTo(area.size() - frame);
    if (inner != window.size())
        window.resize(inner.expandedTo(window.minimumSize()));
    const QSize outer = window.size() + frame;
    const QPoint at = window.pos(); // the frame's top-left corner
    const int left = std::max(area.left(), std::min(at.x(), area.left() + area.width() - outer.width()));
    const int top = std::max(area.top(), std::min(at.y(), area.top() + area.height() - outer.height()));
    if (left != at.x() || top != at.y())
        window.move(left, top);
}

void CentreOnScreen(QWidget &window) {
    const QRect area = WindowArea();
    if (!area.isValid())
        return;
    const QSize size = outerSize(window);
    window.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    KeepOnScreen(window);
}

void PlaceInLowerRight(QWidget &window, const QRect &area) {
    const QSize size = outerSize(window);
    window.move(area.x() + area.width() - size.width(), area.y() + area.height() - size.height());
    KeepOnScreen(window);
}

} // namespace VB
