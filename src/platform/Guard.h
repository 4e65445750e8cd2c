#pragma once
// One guard for the program's event handlers (menu commands, toolbar commands, timer ticks, modal dialogs):
// a failure inside a handler ends that handler quietly instead of the whole program, so the user keeps
// working and can save. The data stays as far as the handler had changed it; the hourglass goes. Busy
// flags are held by scopes (BusyScope, QScopedValueRollback), which a failure also leaves.
#include <QApplication>

#include <exception>
#include <utility>

namespace VB {

// What a failed handler leaves behind is cleared: the hourglass returns to the normal pointer unless a long
// operation that the handler interrupted still runs. The failure is noted on the error output.
void EndFailedHandler(const char *what) noexcept;

// Runs one handler; false when it failed (and was ended).
template <typename Handler> bool Guarded(Handler &&handler) noexcept {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception &failure) {
        EndFailedHandler(failure.what());
    } catch (...) {
        EndFailedHandler("unknown failure");
    }
    return false;
}

// The program's application object: every event it delivers to a window is handled under the guard, so a
// failing button of any dialog, modal or not, ends that click and not the program.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace VB
