#include "platform/Guard.h"

#include "platform/Busy.h"
#include "platform/System.h"

#include <QtGlobal>

namespace VB {

void EndFailedHandler(const char *what) noexcept {
    try {
        qWarning("Command ended by a failure: %s", what);
        if (!IsBusy())
            SetScreenPointer(vbDefault);
    } catch (...) {
        // Nothing more can be cleared.
    }
}

bool GuardedApplication::notify(QObject *receiver, QEvent *event) {
    bool handled = false;
    Guarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

} // namespace VB
