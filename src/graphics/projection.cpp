#include "graphics/projection.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/levels_views.h"
#include "model/node_keys.h"
#include "platform/PictureBox.h"
#include "platform/ShellHooks.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

constexpr double TwoPi = 2 * ViewPi;

// Zoom limits of the world window width, m.
constexpr float MinWindowWidth = 20;
constexpr float MaxWindowWidth = 1e7f;

// Below this |cos(tilt)| the view is practically edge-on: a screen point fixes no horizontal position, so
// a click is placed by moving a known point instead of inverting the projection.
constexpr double MinInvertibleTiltCos = 1e-3;
// Below this |sin(tilt)| the view is practically from above: a vertical screen movement cannot show a
// change of elevation, so it moves the point across the plan instead.
constexpr double MinVerticalShiftSin = 1e-2;

int thousandths(double v) {
    return static_cast<int>(VB::Int(v * 1000));
}

void projectEnd(const VBArray<int32_t, 2> &world, VBArray<double, 2> &projected, int a,
                const PictureBox *pic) {
    const double x = world(1, a), y = world(2, a), z = world(3, a);
    double px = SpinCos * x - SpinSin * y;
    double py = (SpinSin * x + SpinCos * y) * TiltCos - TiltSin * z;
    if (Perspective == 1 && a != 0 && pic != nullptr) {
        PerspectiveDepth = static_cast<float>(2 * pic->ScaleWidth);
        const double dx = x - EyeX, dy = y - EyeY, dz = z - EyeZ;
        const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
        const double r = PerspectiveDepth != 0 ? 1 - d / PerspectiveDepth : -1;
        // A point beyond the eye distance has no real factor: it is drawn without perspective.
        if (r >= 0) {
            const double f = std::sqrt(r);
            px = (px - PanX) * f + PanX;
            py = (py - PanY) * f + PanY;
        }
    }
    projected(1, a) = px;
    projected(2, a) = py;
}

} // namespace

void ProjectAirway(int a) {
    const PictureBox *pic = ActivePicture();
    projectEnd(AirwayStart, AirwayStartProjected, a, pic);
    projectEnd(AirwayEnd, AirwayEndProjected, a, pic);
}

void ProjectPlan() {
    if (PlanProjected != 0)
        return;
    const int last = std::min(AirwayCount, AirwayStart.UBound(1));
    for (int a = 1; a <= last; ++a) {
        AirwayStartProjected(1, a) = AirwayStart(1, a);
        AirwayStartProjected(2, a) = AirwayStart(2, a);
        AirwayEndProjected(1, a) = AirwayEnd(1, a);
        AirwayEndProjected(2, a) = AirwayEnd(2, a);
    }
    PlanProjected = 1;
}

void ShowPanReadOut() {
    const bool shown = ViewIs3D != 0;
    // The pan is a single-precision position worked out in doubles: shown at the digits a single holds.
    Shell().SetLabelText("LblWin1", shown ? VB::CStrSingle(static_cast<float>(PanX)) : "");
    Shell().SetLabelText("LblWin2", shown ? VB::CStrSingle(static_cast<float>(PanY)) : "");
}

void RotateView() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    if (ViewIs3D == 0) {
        ShowPanReadOut();
        return;
    }
    RefreshWindowBounds();
    if (KeepPan == 0 && RotationCentreSet == 0) {
        CentreAtView();
        RotationCentreSet = 1;
    }
    Tilt += static_cast<float>(AxisSignY) * TiltStep;
    Spin += static_cast<float>(AxisSignX * AxisSignY) * SpinStep;
    // Keep the spin off the quarter turns where a horizontal axis would vanish.
    const int spin = thousandths(Spin);
    if (spin == thousandths(ViewPi / 2) || spin == thousandths(3 * ViewPi / 2))
        Spin = static_cast<float>(Spin + ViewPi / 1000);
    if (!FullRotation) {
        const float lo = AxisSignY == -1 ? static_cast<float>(-ViewPi / 2) : 0.0f;
        const float hi = AxisSignY == -1 ? 0.0f : static_cast<float>(ViewPi / 2);
        Tilt = std::clamp(Tilt, lo, hi);
    }
    if (Tilt < -TwoPi)
        Tilt = static_cast<float>(Tilt + TwoPi);
    if (Tilt > TwoPi)
        Tilt = static_cast<float>(Tilt - TwoPi);
    if (Spin < 0)
        Spin = static_cast<float>(Spin + TwoPi);
    if (Spin >= TwoPi)
        Spin = static_cast<float>(Spin - TwoPi);
    Shell().SetLabelText("TxtX", "RotX " + std::to_string(static_cast<int>(VB::Int(Tilt / TwoPi * 360))));
    Shell().SetLabelText("TxtY", "RotY " + std::to_string(static_cast<int>(VB::Int(Spin / TwoPi * 360))));

    if (PerspectiveDepth != 0)
        PerspectiveDepth = static_cast<float>(pic->ScaleWidth);
    EyeX = static_cast<float>(PerspectiveDepth * std::sin(Spin) * std::sin(Tilt) + AirwayStart(1, 0));
    EyeY = static_cast<float>(PerspectiveDepth * std::cos(Spin) * std::sin(Tilt) + AirwayStart(2, 0));
    EyeZ = static_cast<float>(PerspectiveDepth * std::cos(Tilt) + AirwayStart(3, 0));
    SpinCos = std::cos(static_cast<double>(Spin));
    SpinSin = std::sin(static_cast<double>(Spin));
    TiltCos = std::cos(static_cast<double>(Tilt));
    TiltSin = std::sin(static_cast<double>(Tilt));

    ProjectAirway(0);
    if (KeepPan == 0) {
        PanX = AirwayStartProjected(1, 0);
        PanY = AirwayStartProjected(2, 0);
    }
    KeepPan = 0;
    ShowPanReadOut();

    const int last = std::min(AirwayCount, VisibleAirways.UBound());
    for (int i = 1; i <= last; ++i) {
        const int a = VisibleAirways(i);
        if (a != 0)
            ProjectAirway(a);
    }
}

void ProjectPoint(double x, double y, double z, double &sx, double &sy) {
    if (ViewIs3D == 0) {
        sx = x - PanX;
        sy = y - PanY;
        return;
    }
    const double cs = std::cos(static_cast<double>(Spin)), ss = std::sin(static_cast<double>(Spin));
    const double ct = std::cos(static_cast<double>(Tilt)), st = std::sin(static_cast<double>(Tilt));
    sx = x * cs - y * ss - PanX;
    sy = ct * (y * cs + x * ss) - z * st - PanY;
}

void ShiftPointByScreenDelta(double fromX, double fromY, double toX, double toY, int32_t &X, int32_t &Y,
                             int32_t &Z) {
    const double cs = std::cos(static_cast<double>(Spin)), ss = std::sin(static_cast<double>(Spin));
    const double ct = std::cos(static_cast<double>(Tilt)), st = std::sin(static_cast<double>(Tilt));
    const double d = toX - fromX;
    double x = X + d * cs;
    double y = Y - d * ss;
    double z = Z;
    if (std::abs(st) >= MinVerticalShiftSin) {
        // The screen's vertical carries elevation: the point moves straight up or down.
        z += (fromY - toY) / st;
    } else {
        // Seen from above the vertical movement runs along the plan direction that points up the screen.
        const double h = (toY - fromY) / ct;
        x += h * ss;
        y += h * cs;
    }
    X = RoundToLong(x);
    Y = RoundToLong(y);
    Z = RoundToLong(z);
}

namespace {

// Whether a screen point of the 3-D view is turned back into the world at a given elevation (otherwise a
// known point is moved by the screen movement).
bool invertsAtElevation() {
    const bool invertible =
        ViewKind() != 2 && std::abs(std::cos(static_cast<double>(Tilt))) >= MinInvertibleTiltCos;
    return (MouseShift == 0 || MouseMode == 5) && invertible;
}

// The horizontal world point (unrounded) that the projected point (u, v) shows at elevation z.
void unproject(double u, double v, double z, double &X, double &Y) {
    const double a = std::cos(static_cast<double>(Spin)), b = std::sin(static_cast<double>(Spin));
    const double c = std::cos(static_cast<double>(Tilt)), d = std::sin(static_cast<double>(Tilt));
    // Undo the tilt at the given elevation, then turn back by the spin (a rotation: no division).
    const double w = (v + z * d) / c;
    X = a * u + b * w;
    Y = -b * u + a * w;
}

} // namespace

void ScreenToWorld(double sx, double sy, double z, double &X, double &Y, double &Z) {
    if (ViewIs3D == 0) {
        X = sx + PanX;
        Y = sy + PanY;
        return;
    }
    if (invertsAtElevation()) {
        unproject(sx + PanX, sy + PanY, z, X, Y);
        X = VB::RoundHalfEven(X);
        Y = VB::RoundHalfEven(Y);
        Z = z;
        return;
    }
    int32_t x, y, zz;
    double fromX, fromY;
    if (ButtonHeld) {
        x = DrawStartX;
        y = DrawStartY;
        zz = DrawStartZ;
        fromX = BuildStartX;
        fromY = BuildStartY;
    } else {
        // Start at the rotation centre, from where it shows on the screen.
        x = AirwayStart(1, 0);
        y = AirwayStart(2, 0);
        zz = AirwayStart(3, 0);
        ProjectPoint(x, y, zz, fromX, fromY);
    }
    ShiftPointByScreenDelta(fromX, fromY, sx, sy, x, y, zz);
    X = x;
    Y = y;
    Z = zz;
}

void ScreenDeltaToWorld(double fromX, double fromY, double toX, double toY, int32_t &dX, int32_t &dY,
                        int32_t &dZ) {
    dX = dY = dZ = 0;
    if (ViewIs3D == 0) {
        dX = RoundToLong(toX - fromX);
        dY = RoundToLong(toY - fromY);
        return;
    }
    if (invertsAtElevation()) {
        // At one elevation the difference of the two world points does not depend on that elevation.
        double x = 0, y = 0;
        unproject(toX - fromX, toY - fromY, 0, x, y);
        dX = RoundToLong(x);
        dY = RoundToLong(y);
        return;
    }
    ShiftPointByScreenDelta(fromX, fromY, toX, toY, dX, dY, dZ);
}

int ViewKind() {
    if (ViewIs3D == 0)
        return 0;
    const int t = thousandths(std::abs(Tilt));
    if (t == thousandths(3.141592654 / 2) || t == thousandths(9.424777962 / 2))
        return 2;
    return 1;
}

void SwapXY() {
    for (int a = 1; a <= AirwayCount; ++a) {
        std::swap(AirwayStart(1, a), AirwayStart(2, a));
        std::swap(AirwayEnd(1, a), AirwayEnd(2, a));
    }
    std::swap(AxisSignX, AxisSignY);
    PlanView();
    UpdateNodeKeys();
    CalcAllAirways();
    SetVisibleAirways();
    FitNetwork();
    FillViewList();
    // The view chooser ignores the change while ViewIs3D holds -1.
    ViewIs3D = -1;
    Shell().ViewListSetIndex(0);
    ViewIs3D = 0;
    RedrawAll();
}

void SetZoomScale(float &width, float &height) {
    StatusText = "";
    if (width < MinWindowWidth) {
        width = MinWindowWidth;
        height = AspectRatio * MinWindowWidth;
        StatusText = "Minimum Scaling Reached";
    }
    if (width > MaxWindowWidth) {
        width = MaxWindowWidth;
        height = AspectRatio * MaxWindowWidth;
        StatusText = "Maximum Scaling Reached";
    }
    if (MouseMode == 5)
        return;
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    if (Perspective == 1 && ViewIs3D != 0)
        RotateView();
    pic->ScaleWidth = width;
    pic->ScaleHeight = height;
    pic->ScaleLeft = -width / 2.0;
    pic->ScaleTop = -height / 2.0;
    Redraw();
    ShowWindowTitle();
}

void MouseZoom() {
    if (MouseMoveSeen) {
        Redraw();
        return;
    }
    RotationCentreSet = 1;
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    const bool left = MouseButton == 1, right = MouseButton == 2;
    if (MouseShift == 1 && (left || right)) {
        // Continuous zoom about the cursor while the Shift press lasts.
        const double f = right ? 1 + PowerZoomSpeed / 100.0 : 1 - PowerZoomSpeed / 100.0;
        while (MouseMode == 5) {
            const double w = pic->ScaleWidth * f, h = pic->ScaleHeight * f;
            const int32_t cx = VB::ClampToInt<int32_t>(VB::RoundHalfEven((1 - f) * CursorX + PanX));
            const int32_t cy = VB::ClampToInt<int32_t>(VB::RoundHalfEven((1 - f) * CursorY + PanY));
            SetViewScale(w, h, cx, cy);
            CursorX = static_cast<float>(CursorX * f);
            CursorY = static_cast<float>(CursorY * f);
            pic->Cls();
            if (Perspective == 1 && ViewIs3D != 0)
                RotateView();
            PrepareDrawing();
            DrawAirwayLines();
            ShowWindowTitle();
            Pause(0.2f);
        }
        return;
    }
    double w = pic->ScaleWidth, h = pic->ScaleHeight;
    if (right && MouseShift == 0) {
        w *= 2;
        h *= 2;
    } else if (left && MouseShift == 0) {
        const double clickSize = pic->ScaleWidth / 50;
        if (std::abs(BuildStartX - CursorX) < clickSize && std::abs(BuildStartY - CursorY) < clickSize) {
            w *= 0.5;
            h *= 0.5;
        } else {
            const double x1 = std::min(BuildStartX, CursorX), x2 = std::max(BuildStartX, CursorX);
            const double y1 = std::min(BuildStartY, CursorY), y2 = std::max(BuildStartY, CursorY);
            w = x2 - x1;
            h = y2 - y1;
            if (AspectRatio * w >= h)
                h = AspectRatio * w;
            else
                w = h / AspectRatio;
            CursorX = static_cast<float>((x1 + x2) / 2);
            CursorY = static_cast<float>((y1 + y2) / 2);
        }
    } else {
        return;
    }
    SetViewScale(w, h, VB::ClampToInt<int32_t>(VB::RoundHalfEven(CursorX + PanX)),
                 VB::ClampToInt<int32_t>(VB::RoundHalfEven(CursorY + PanY)));
    // Re-project (perspective follows the window) without moving the new centre, then repaint.
    if (ViewIs3D != 0) {
        KeepPan = 1;
        RotateView();
    }
    Redraw();
}

int32_t RoundToLong(double v) {
    return VB::ClampToInt<int32_t>(VB::RoundHalfEven(v));
}
