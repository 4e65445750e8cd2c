// The main window's own timers: the recovery copy and the rotation pad.
#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/network_save.h"
#include "platform/Busy.h"
#include "platform/Guard.h"
#include "platform/PictureBox.h"
#include "platform/System.h"
#include "shell/MainForm.h"
#include "shell/Rotator.h"
#include "shell/shell_state.h"

#include <QScopedValueRollback>

namespace {

bool activeWindowUsable() {
    return ActiveWindow >= 0 && ActivePicture() != nullptr &&
           !(WindowFrozen.InBounds(ActiveWindow) && WindowFrozen(ActiveWindow));
}

} // namespace

void MainForm::Autosave_Timer() {
    VB::Guarded([] {
        if (++AutosaveTicks <= 10)
            return;
        // A long operation is changing the arrays: the copy stays due and is written at the next idle tick.
        if (VB::IsBusy())
            return;
        AutosaveTicks = 0;
        SaveNetwork(1);
    });
}

void RotationTick() {
    // A tick that arrives while the last one still draws is dropped.
    if (RotateBusy)
        return;
    const QScopedValueRollback busy(RotateBusy, true);
    constexpr double degree = 3.141592654 / 180;
    SpinStep = static_cast<float>(degree * ((22 - RotatorX) / 15) * SpinSpeed / 2);
    TiltStep = static_cast<float>(degree * ((28 - RotatorY) / 15) * TiltSpeed / 2);
    if (RotatorX < 1 || RotatorX > 50 || RotatorY < 1 || RotatorY > 50)
        SpinStep = TiltStep = 0;
    if (SpinStep != 0 || TiltStep != 0) {
        RotateView();
        if (PictureBox *pic = ActivePicture()) {
            // Lines only while turning; the rest of the picture follows at the release.
            PrepareDrawing();
            DrawingBatch batch(*pic);
            pic->Cls();
            DrawAirwayLines();
            batch.End();
        }
    }
    SpinStep = TiltStep = 0;
}

void MainForm::TimerRotate_Timer() {
    if (!VB::Guarded(RotationTick))
        SpinStep = TiltStep = 0;
}

void MainForm::Rotator_MouseDown(int /*button*/, int /*shift*/, float x, float y) {
    if (!activeWindowUsable())
        return;
    if (SmokeDisplayTime > 0)
        SmokeDisplayTime = -SmokeDisplayTime;
    if (ViewIs3D == 1 && RotationCentreSet == 1) {
        WindowCentre();
        PickedAirway = 0;
        RotateView();
        RotationCentreSet = 999;
    }
    if (ViewIs3D == 0) {
        Tilt = 0;
        Spin = 0;
        CentreAtView();
        RedrawDeferred = 1;
        View3D();
        RedrawDeferred = 0;
        RotationCentreSet = 999;
    }
    TimerRotate.start();
    Rotating = 1;
    RotatorX = x;
    RotatorY = y;
}

void MainForm::Rotator_MouseMove(int /*button*/, int /*shift*/, float x, float y) {
    if (Rotating == 0)
        return;
    RotatorX = x;
    RotatorY = y;
}

void MainForm::Rotator_MouseUp(int button, int /*shift*/, float /*x*/, float /*y*/) {
    Rotating = 0;
    // After a right release the view keeps spinning until a key or a press in a window stops it.
    if (button != 2) {
        TimerRotate.stop();
        if (activeWindowUsable()) {
            VB::DoEvents();
            DrawingBatch batch(*ActivePicture());
            DrawGrid();
            DrawNetwork();
            batch.End();
            VB::DoEvents();
            FocusActiveWindow();
        }
    }
    RotatorY = 28;
}

void MainForm::Rotator_LostFocus() {
    if (Rotating == 0)
        return;
    DrawNetwork();
    Rotating = 0;
}

void MainForm::Rotator_KeyDown(int keyCode) {
    KeyCommand(keyCode);
}

void MainForm::StopRotationTimer() {
    TimerRotate.stop();
}
