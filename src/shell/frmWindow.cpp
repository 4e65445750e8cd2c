#include "shell/frmWindow.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/network_save.h"
#include "model/recovery_copy.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "shell/MainForm.h"
#include "shell/shell_state.h"

#include "graphics/mouse.h"
#include "platform/MouseInput.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

int VBKeyCode(int qtKey) {
    return VB::KeyCodeValue(qtKey);
}

// ---- GraphicsView ----

GraphicsView::GraphicsView(frmWindow *owner) : QWidget(owner), owner_(owner) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_.Changed = [this] { update(); };
    // Presses, releases and keys come through the one input mapping, whose timer also delivers a release
    // the window never received (which ends a continuous zoom). Moves and the wheel stay here: a drag over
    // another graphics window and fine wheels need the window's own handling.
    MouseInputAdapter::Handlers handlers;
    handlers.press = [this](int button, int shift, float x, float y) {
        owner_->Form_MouseDown(button, shift, x, y);
    };
    handlers.release = [this](int button, int shift, float x, float y) {
        owner_->Form_MouseUp(button, shift, x, y);
    };
    handlers.key = [this](int keyCode) { owner_->Form_KeyDown(keyCode); };
    input_ = new MouseInputAdapter(this, &picture_, handlers, this);
}

void GraphicsView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_.Image());
}

void GraphicsView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    // A view squeezed to no width keeps its picture and its world window until it has room again: the
    // metres per pixel of one pixel would otherwise become the whole view's width.
    if (width() <= 1)
        return;
    const int oldWidth = picture_.PixelWidth();
    picture_.Resize(std::max(1, width()), std::max(1, height()));
    // A maximised or tiled view shows more or less of the network at the same scale, never stretched.
    KeepViewScale(owner_->Number(), oldWidth);
    owner_->Form_Resize();
}

void GraphicsView::mouseMoveEvent(QMouseEvent *event) {
    const QPointF p = event->position();
    // While a button is held the press window keeps the pointer: report moves over another graphics
    // window to that window, so a release there is known to be over it.
    frmWindow *target = owner_;
    if (event->buttons() != Qt::NoButton) {
        if (auto *other =
                qobject_cast<GraphicsView *>(QApplication::widgetAt(event->globalPosition().toPoint())))
            target = other->owner_;
    }
    const QPointF local = target == owner_ ? p : target->View()->mapFromGlobal(event->globalPosition());
    const PictureBox &pic = target->Picture();
    target->Form_MouseMove(VB::MouseButtonMask(event->buttons()), VB::ShiftMask(event->modifiers()),
                           static_cast<float>(pic.FromPixelX(local.x())),
                           static_cast<float>(pic.FromPixelY(local.y())));
}

void GraphicsView::wheelEvent(QWheelEvent *event) {
    // Fine-grained wheels send small deltas: one zoom step per 120 units, whatever the device sends.
    wheelRemainder_ += event->angleDelta().y();
    while (std::abs(wheelRemainder_) >= 120) {
        const int step = wheelRemainder_ > 0 ? 120 : -120;
        wheelRemainder_ -= step;
        const QPointF p = event->position();
        WheelEvent(owner_->Number(), VB::ShiftMask(event->modifiers()), step, static_cast<int>(p.x()),
                   static_cast<int>(p.y()));
    }
    event->accept();
}

void GraphicsView::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    HookWheel(owner_->Number());
}

void GraphicsView::focusOutEvent(QFocusEvent *event) {
    QWidget::focusOutEvent(event);
    UnhookWheel();
}

// ---- frmWindow ----

frmWindow::frmWindow(int number, QWidget *parent) : QMdiSubWindow(parent), number_(number) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new GraphicsView(this);
    setWidget(view_);
    resize(640, 480);
    Windows[static_cast<size_t>(number_)] = this;
    SetWindowPicture(number_, &view_->Picture());
}

frmWindow::~frmWindow() {
    if (Windows[static_cast<size_t>(number_)] == this) {
        Windows[static_cast<size_t>(number_)] = nullptr;
        SetWindowPicture(number_, nullptr);
    }
}

std::string frmWindow::Caption() const {
    return windowTitle().toStdString();
}

void frmWindow::SetCaption(const std::string &caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void frmWindow::loadscreen() {
    if (Tag().empty() || WindowSwitching || isMinimized() || number_ == ActiveWindow)
        return;
    if (ActiveWindow >= 0) {
        SaveView(ActiveWindow + 100);
        WindowOpen(ActiveWindow) = true;
    }
    ActiveWindow = number_;
    if (WindowOpen(number_)) {
        RestoreView(number_ + 100);
        PrepareDrawing();
        ShowWorkingLevel();
    }
}

void frmWindow::UnLoadscreen() {
    if (Tag().empty() || WindowSwitching)
        return;
    if (number_ != ActiveWindow && ActiveWindow >= 0) {
        SaveView(ActiveWindow + 100);
        WindowOpen(ActiveWindow) = true;
    }
}

void frmWindow::MouseWheel(int keys, int rotation, int x, int y) {
    WindowMouseWheel(keys, rotation, x, y);
}

// The window's events go through the graphic editor's one mouse path.
void frmWindow::Form_MouseDown(int button, int shift, float x, float y) {
    WindowPressEvent(number_, button, shift, x, y);
}

void frmWindow::Form_MouseMove(int button, int shift, float x, float y) {
    if (Tag().empty())
        return;
    WindowMoveEvent(number_, button, shift, x, y);
}

void frmWindow::Form_MouseUp(int button, int shift, float x, float y) {
    WindowReleaseEvent(number_, button, shift, x, y);
}

void frmWindow::Form_KeyDown(int keyCode) {
    KeyCommand(keyCode);
}

void frmWindow::Form_Resize() {
    if (!WindowSwitching)
        Redraw();
}

bool frmWindow::Form_Unload() {
    int open = 0;
    for (int w = 0; w <= 4; ++w)
        if (WindowOpen(w))
            ++open;
    if (open < 2) {
        // The last window stays; closing it empties the network instead. Any changed network is offered
        // for saving first, and a save that does not happen keeps the network.
        if (NetworkSaved == 0 && AirwayCount >= 1) {
            const int answer = VB::MsgBox("Network Data is not saved - Save it?", VB::vbYesNoCancel);
            if (answer == VB::vbCancel)
                return true;
            if (answer == VB::vbYes) {
                SaveNetwork(0);
                if (NetworkSaved == 0)
                    return true;
            }
        }
        ClearNetwork();
        // The emptied network is no longer the file's: a save must not write it over the file.
        NetworkFileName.clear();
        NoteOpenNetworkFile("");
        LoadMode = 1;
        AirwayCount = 0;
        NetworkSaved = 255;
        Redraw();
        WindowOpen(number_) = true;
        return true;
    }
    if (!Tag().empty()) {
        WindowOpen(number_) = false;
        WindowFrozen(number_) = false;
        if (MainForm *main = MainForm::Instance())
            main->SetWindowListItem(number_, "", false);
    }
    int lowest = -1;
    for (int w = 0; w <= 4 && lowest < 0; ++w)
        if (WindowOpen(w))
            lowest = w;
    if (lowest >= 0)
        ActiveWindow = lowest;
    else
        UnhookWheel();
    return false;
}

void frmWindow::closeEvent(QCloseEvent *event) {
    if (Form_Unload()) {
        event->ignore();
        return;
    }
    // The picture goes with the window: nothing may draw on it any more.
    Windows[static_cast<size_t>(number_)] = nullptr;
    SetWindowPicture(number_, nullptr);
    QMdiSubWindow::closeEvent(event);
}
