#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QDockWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QWidget>

#include <algorithm>
#include <map>
#include <optional>
#include <string>

namespace VB {

namespace {

// How a window asked to be placed, kept on the window: a placement asked for is made at once and again as
// the window is next shown (its size final), and once more when its frame becomes known. Explicit: a
// place and outer size given by its code.
// Kept: where the window of the same name stood when it last went, else centred.
enum Placement { NotPlaced = 0, Centred = 1, LowerRight = 2, Explicit = 3, Kept = 4 };
constexpr const char *PlacementKey = "vbPlacement";
constexpr const char *AreaKey = "vbPlacementArea";
constexpr const char *PendingKey = "vbPlacementPending"; // asked for since the window was last shown
constexpr const char *ShownKey = "vbShown";
constexpr const char *PlacedAtShowKey = "vbPlacedAtShow";
constexpr const char *FrameUnknownKey = "vbFrameUnknown";
constexpr const char *KeptNameKey = "vbKeptName";
constexpr const char *ShowOwedKey = "vbShowOwed"; // shown while its frame was in doubt

// The place (frame top-left, screen pixels) and the inside size each kept window had when it last stood.
struct KeptPlace {
    std::optional<QPoint> at;
    QSize size;
};
std::map<std::string, KeptPlace> &keptPlaces() {
    static std::map<std::string, KeptPlace> places;
    return places;
}

KeptPlace &keptPlaceOf(const QWidget &window) {
    return keptPlaces()[window.property(KeptNameKey).toString().toStdString()];
}

QPointer<QWidget> &mainWindow() {
    static QPointer<QWidget> window;
    return window;
}

bool mainShown() {
    const QWidget *main = mainWindow();
    return main != nullptr && main->isVisible() && !main->isMinimized();
}

// The frame last seen round a decorated window that was neither maximised nor full screen.
QMargins &learnedFrame() {
    static QMargins frame;
    return frame;
}

FrameReport &frameReport() {
    static FrameReport report;
    return report;
}

QMargins reportedFrame(const QWidget &w) {
    if (frameReport())
        return frameReport()(w);
    const QRect frame = w.frameGeometry(), inner = w.geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                    frame.bottom() - inner.bottom());
}

// While the window manager puts its frame round a window, the window system may report for a moment a frame
// smaller than the window, and a position that means nothing: placed by them, a window would double its
// size or leave the screen.
bool frameInDoubt(const QWidget &w) {
    const QMargins m = reportedFrame(w);
    return m.left() < 0 || m.top() < 0 || m.right() < 0 || m.bottom() < 0;
}

QMargins actualFrame(const QWidget &w) {
    return frameInDoubt(w) ? QMargins() : reportedFrame(w);
}

bool normalState(const QWidget &w) {
    return !(w.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
}

// The frame round a window. Before a window is first decorated its frame is not known yet: the last one
// seen stands in for it, else the main window's.
QMargins frameMargins(const QWidget &window) {
    const QMargins m = actualFrame(window);
    if (!m.isNull()) {
        if (normalState(window))
            learnedFrame() = m;
        return m;
    }
    if (!learnedFrame().isNull())
        return learnedFrame();
    if (mainWindow() && mainWindow() != &window && mainWindow()->isVisible())
        return actualFrame(*mainWindow());
    return m;
}

// The window's outer size, frame included.
QSize outerSize(const QWidget &window) {
    const QMargins m = frameMargins(window);
    return window.size() + QSize(m.left() + m.right(), m.top() + m.bottom());
}

// Until the window system has decorated a window, its position is that of its inside and the frame is
// added round it; from then on it is that of the frame.
QPoint frameOffset(const QWidget &window) {
    // A window not made yet places its frame where it is moved to.
    if (!window.testAttribute(Qt::WA_WState_Created) || !actualFrame(window).isNull())
        return {};
    const QMargins m = frameMargins(window);
    return {m.left(), m.top()};
}

QPoint framePosition(const QWidget &window) {
    return window.pos() - frameOffset(window);
}

void moveFrameTo(QWidget &window, const QPoint &at) {
    const QPoint to = at + frameOffset(window);
    if (window.pos() != to)
        window.move(to);
}

QRect screenArea() {
    const QScreen *screen = nullptr;
    if (const QWidget *main = mainWindow())
        screen = main->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Moves the frame's top-left corner to `at`, kept on the screen.
void moveFrame(QWidget &window, const QPoint &at) {
    moveFrameTo(window, at);
    KeepOnScreen(window);
}

void centreNow(QWidget &window) {
    QRect area = WindowArea();
    if (mainShown() && mainWindow() != &window) {
        const QRect work = WorkArea(*mainWindow()) & area;
        if (work.isValid())
            area = work;
    }
    if (!area.isValid())
        return;
    const QSize size = outerSize(window);
    moveFrame(window, QPoint(area.x() + (area.width() - size.width()) / 2,
                             area.y() + (area.height() - size.height()) / 2));
}

void outerNow(QWidget &window, const QRect &outer) {
    const QMargins m = frameMargins(window);
    window.resize(outer.size() - QSize(m.left() + m.right(), m.top() + m.bottom()));
    moveFrame(window, outer.topLeft());
}

void lowerRightNow(QWidget &window, const QRect &area) {
    const QSize size = outerSize(window);
    moveFrame(window,
              QPoint(area.x() + area.width() - size.width(), area.y() + area.height() - size.height()));
}

// Makes the placement the window asked for; a window that asked for none is only kept on the screen.
void placeAsAsked(QWidget &window) {
    switch (window.property(PlacementKey).toInt()) {
    case Centred:
        centreNow(window);
        break;
    case LowerRight:
        lowerRightNow(window, window.property(AreaKey).toRect());
        break;
    case Explicit:
        outerNow(window, window.property(AreaKey).toRect());
        break;
    case Kept:
        if (const std::optional<QPoint> at = keptPlaceOf(window).at)
            moveFrame(window, *at);
        else
            centreNow(window);
        break;
    default:
        KeepOnScreen(window);
    }
}

// The windows the rule places: every top-level window the user works in, but not the main window, pop-ups,
// tool tips, splash screens, a floating tool bar or dock, nor a maximised or full-screen window.
bool placed(const QWidget &w) {
    const Qt::WindowType type = w.windowType();
    return w.isWindow() && &w != mainWindow() &&
           (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool || type == Qt::Sheet) &&
           !qobject_cast<const QToolBar *>(&w) && !qobject_cast<const QDockWidget *>(&w) && normalState(w);
}

class PlacementFilter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize ||
             type == QEvent::Paint || type == QEvent::WindowActivate || type == QEvent::Hide) &&
            watched->isWidgetType()) {
            auto &w = *static_cast<QWidget *>(watched);
            if (placed(w))
                handle(w, type);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void handle(QWidget &w, QEvent::Type type) {
        if (type == QEvent::Hide) {
            w.setProperty(ShowOwedKey, false);
            noteKeptPlace(w);
            return;
        }
        if (type == QEvent::Show)
            w.setProperty(ShowOwedKey, true);
        // A frame in doubt places nothing: the window is placed at the next report that makes sense.
        if (frameInDoubt(w))
            return;
        if (w.property(ShowOwedKey).toBool()) {
            w.setProperty(ShowOwedKey, false);
            shown(w);
        } else {
            frameChanged(w);
        }
        if (type == QEvent::Move)
            noteKeptPlace(w);
    }
    // As the window is shown its size is final. A window that no code placed is centred the first time;
    // shown again it keeps its place unless a new placement was asked for.
    static void shown(QWidget &w) {
        if (w.property(PlacementKey).toInt() == NotPlaced && !w.property(ShownKey).toBool() &&
            !w.testAttribute(Qt::WA_Moved)) {
            w.setProperty(PlacementKey, Centred);
            w.setProperty(PendingKey, true);
        }
        const bool place = w.property(PendingKey).toBool();
        if (place)
            placeAsAsked(w);
        else
            KeepOnScreen(w);
        w.setProperty(PendingKey, false);
        w.setProperty(PlacedAtShowKey, place);
        w.setProperty(ShownKey, true);
        w.setProperty(FrameUnknownKey, actualFrame(w).isNull());
    }
    // A kept window's place is where it stands as the user last saw it: moved while shown, or as it goes.
    static void noteKeptPlace(QWidget &w) {
        if (w.property(PlacementKey).toInt() == Kept && w.property(ShownKey).toBool())
            keptPlaceOf(w).at = framePosition(w);
    }
    // The window system has decorated the window (it is painted, moved or activated once that is done): the
    // placement is made again with the real frame.
    static void frameChanged(QWidget &w) {
        if (!w.isVisible() || !w.property(FrameUnknownKey).toBool() || actualFrame(w).isNull())
            return;
        w.setProperty(FrameUnknownKey, false);
        if (w.property(PlacedAtShowKey).toBool())
            placeAsAsked(w);
        else
            KeepOnScreen(w);
    }
};

PlacementFilter &filter() {
    static PlacementFilter f;
    return f;
}

// Records how the window is to be placed, and places it now as well.
void ask(QWidget &window, Placement placement) {
    window.setProperty(PlacementKey, placement);
    window.setProperty(PendingKey, !window.isVisible());
    placeAsAsked(window);
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
    QRect area = screenArea();
    if (!area.isValid() || !mainShown())
        return area;
    if (const auto *main = qobject_cast<const QMainWindow *>(mainWindow().data())) {
        const QWidget *bar = main->menuWidget();
        if (bar != nullptr && bar->isVisible()) {
            const int below = bar->mapToGlobal(QPoint(0, bar->height())).y();
            if (below > area.top() && below < area.bottom())
                area.setTop(below);
        }
    }
    return area;
}

QRect WorkArea(const QWidget &main) {
    QRect area = main.frameGeometry();
    if (const auto *window = qobject_cast<const QMainWindow *>(&main)) {
        if (const QWidget *bar = window->menuWidget(); bar != nullptr && bar->isVisible())
            area.setTop(bar->mapToGlobal(QPoint(0, bar->height())).y());
        const auto *status = window->findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly);
        if (status != nullptr && status->isVisible())
            area.setBottom(status->mapToGlobal(QPoint(0, 0)).y() - 1);
    }
    return area;
}

void KeepOnScreen(QWidget &window) {
    QRect area = WindowArea();
    if (!area.isValid())
        return;
    const QSize frame = outerSize(window) - window.size();
    // Rather over the menu bar than off the screen.
    if (window.height() + frame.height() > area.height())
        area = screenArea();
    // A window larger than the screen is made to fit, as far as its smallest size allows.
    const QSize inner = window.size().boundedTo(area.size() - frame);
    if (inner != window.size())
        window.resize(inner.expandedTo(window.minimumSize()));
    const QSize outer = window.size() + frame;
    const QPoint at = framePosition(window);
    const int left = std::max(area.left(), std::min(at.x(), area.left() + area.width() - outer.width()));
    const int top = std::max(area.top(), std::min(at.y(), area.top() + area.height() - outer.height()));
    if (left != at.x() || top != at.y())
        moveFrameTo(window, QPoint(left, top));
}

void CentreOnMainWindow(QWidget &window) {
    ask(window, Centred);
}

void PlaceInLowerRight(QWidget &window, const QRect &area) {
    window.setProperty(AreaKey, area);
    ask(window, LowerRight);
}

void SetOuterGeometry(QWidget &window, const QRect &outer) {
    window.setProperty(AreaKey, outer);
    ask(window, Explicit);
}

void KeepPlaceAndSize(QWidget &window, const std::string &name) {
    window.setProperty(KeptNameKey, QString::fromStdString(name));
    KeptPlace &kept = keptPlaces()[name];
    // Sizes as shown: in the style's fonts and margins.
    window.ensurePolished();
    // The size its contents ask for at the first opening, and from then on that size: no field moves when
    // the contents change (units, a mode, a list). Only contents that no longer fit at all make it larger.
    const QSize least = window.minimumSizeHint();
    kept.size = kept.size.isValid() ? kept.size.expandedTo(least) : window.sizeHint().expandedTo(least);
    window.setFixedSize(kept.size);
    ask(window, Kept);
}

void ForgetPlaces() {
    keptPlaces().clear();
    learnedFrame() = QMargins();
}

void SetFrameReport(FrameReport report) {
    frameReport() = std::move(report);
}

} // namespace VB
