#include "shell/main_window_keys.h"

#include "graphics/keyboard.h"
#include "platform/MouseInput.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// Controls whose own keys (Backspace, Tab, Esc, Home, the arrows) edit or navigate in them.
bool keepsOwnKeys(const QWidget *w) {
    if (const auto *combo = qobject_cast<const QComboBox *>(w))
        return combo->isEditable();
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w) ||
           qobject_cast<const QMenuBar *>(w);
}

} // namespace

MainWindowKeys::MainWindowKeys(QWidget *window) : window_(window) {
    qApp->installEventFilter(this);
}

MainWindowKeys::~MainWindowKeys() {
    qApp->removeEventFilter(this);
}

bool MainWindowKeys::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    if (receiver->window() != window_)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    int code = VB::KeyCodeValue(key->key());
    if (!IsCommandKey(code))
        return false;
    // A key the focus widget leaves goes on to its parents: the widget that had it first decides.
    const QWidget *origin = receiver;
    if (QWidget *focus = QApplication::focusWidget(); focus != nullptr && receiver->isAncestorOf(focus))
        origin = focus;
    if (code < KeyCode::F1 && keepsOwnKeys(origin))
        return false;
    KeyCommand(code);
    return true;
}
