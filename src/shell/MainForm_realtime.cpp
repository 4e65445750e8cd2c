// Realtime input and output of the main window: the two timers, their menu commands and the station and
// output dialogs.
#include "exchange/frmRealOut.h"
#include "exchange/frmRemote.h"
#include "exchange/realtime.h"
#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "platform/Guard.h"
#include "platform/VBControls.h"
#include "shell/MainForm.h"

void MainForm::mnuRemote_Click() {
    ToggleRealtimeInput();
}

void MainForm::mnuRealOutStart_Click() {
    ToggleRealtimeOutput();
}

void MainForm::mnuRemoteStation_Click() {
    frmRemote dialog(this);
    VB::ShowModal(dialog);
    Redraw();
}

void MainForm::mnuRealOut_Click() {
    frmRealOut dialog(this);
    VB::ShowModal(dialog);
    Redraw();
}

void MainForm::Timer1_Timer() {
    VB::Guarded([] {
        if (RealtimeInputOn != 0)
            ::RemoteRoutine();
    });
}

void MainForm::Timer2_Timer() {
    VB::Guarded([] {
        if (RealtimeOutputOn != 0)
            ::RealOutRoutine();
    });
}

void MainForm::RemoteRoutine() {
    ::RemoteRoutine();
}

void MainForm::RealOutRoutine() {
    ::RealOutRoutine();
}

void MainForm::SetRealtimeTimerEnabled(int timer, bool enabled) {
    if (timer != 1 && timer != 2)
        return;
    realtimeTimers_[static_cast<size_t>(timer)].enabled = enabled;
    applyRealtimeTimer(timer);
}

void MainForm::SetRealtimeTimerInterval(int timer, int intervalMs) {
    if (timer != 1 && timer != 2)
        return;
    realtimeTimers_[static_cast<size_t>(timer)].interval = intervalMs;
    applyRealtimeTimer(timer);
}

void MainForm::applyRealtimeTimer(int timer) {
    const RealtimeTimer &state = realtimeTimers_[static_cast<size_t>(timer)];
    QTimer &qt = timer == 1 ? Timer1 : Timer2;
    // A new interval restarts a running timer's count.
    if (state.interval > 0 && qt.interval() != state.interval)
        qt.setInterval(state.interval);
    // A Qt timer at 0 ms would fire without pause: at 0 the timer does not tick.
    if (state.enabled && state.interval > 0) {
        if (!qt.isActive())
            qt.start();
    } else {
        qt.stop();
    }
}
