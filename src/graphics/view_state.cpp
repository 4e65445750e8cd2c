#include "graphics/view_state.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Fields of a view row.
enum Field {
    FTilt = 1,
    FSpin,
    FScaleLeft,
    FScaleTop,
    FScaleWidth,
    FScaleHeight,
    FLayerDisplay = 9,
    FViewMode,
    FRLLow,
    FRLHigh,
    FLevelScroll,
    FViewIs3D,
    FPanX,
    FPanY,
    FSelectedLevels, // 17..22
    FCentreX = 23,
    FCentreY,
    FCentreZ,
    FCentreSet,
    FLevelElevation,
    FDataCode
};
enum CurrencyField { CSecondaryLow = 1, CPrimary, CSecondaryHigh, CGraphicsDetail, CColourScheme };

int cint(double v) {
    return VB::CInt(v).value_or(0);
}
int32_t clng(double v) {
    return VB::CLng(v).value_or(0);
}
bool viewSlot(int slot) {
    return ViewSingles.InBounds(slot, 1) && ViewCurrency.InBounds(slot, 1);
}

void buildLayerMasks() {
    PrimaryLayerMask = SecondaryLayerMaskLow = SecondaryLayerMaskHigh = 0;
    for (int i = 1; i <= 24; ++i)
        if (SecondaryLayerVisible(i))
            SecondaryLayerMaskLow += int32_t{1} << i;
    for (int i = 25; i <= 48; ++i)
        if (SecondaryLayerVisible(i))
            SecondaryLayerMaskHigh += int32_t{1} << (i - 24);
    for (int i = 1; i <= 16; ++i)
        if (PrimaryLayerVisible(i))
            PrimaryLayerMask += int32_t{1} << i;
}

void layersFromMasks() {
    for (int i = 1; i <= 24; ++i)
        SecondaryLayerVisible(i) = (SecondaryLayerMaskLow >> i) & 1;
    for (int i = 25; i <= 48; ++i)
        SecondaryLayerVisible(i) = (SecondaryLayerMaskHigh >> (i - 24)) & 1;
    // A primary mask of 0 shows every primary layer.
    for (int i = 1; i <= 16; ++i)
        PrimaryLayerVisible(i) = PrimaryLayerMask == 0 || ((PrimaryLayerMask >> i) & 1);
}

void showDataType() {
    DataComboUpdating = true;
    const int group = static_cast<int>(VB::Int(DataCode / 10.0));
    Shell().SetDataComboIndexes(group - 1, DataCode - 10 * group - 2);
    Shell().SetLabelText("LblUnit", DataUnitName(DataCode));
    DataComboUpdating = false;
}

void setCentre(int32_t x, int32_t y, int32_t z) {
    AirwayStart(1, 0) = x;
    AirwayStart(2, 0) = y;
    AirwayStart(3, 0) = z;
}

// Sums of the coordinates of both ends of every listed airway (list positions 1 .. AirwayCount).
struct EndSums {
    double x = 0, y = 0, z = 0;
    int count = 0;
};

EndSums visibleEndSums() {
    EndSums s;
    const int last = std::min(AirwayCount, VisibleAirways.UBound());
    for (int i = 1; i <= last; ++i) {
        const int a = VisibleAirways(i);
        if (a == 0)
            continue;
        s.x += static_cast<double>(AirwayStart(1, a)) + AirwayEnd(1, a);
        s.y += static_cast<double>(AirwayStart(2, a)) + AirwayEnd(2, a);
        s.z += static_cast<double>(AirwayStart(3, a)) + AirwayEnd(3, a);
        s.count += 2;
    }
    return s;
}

void (*wheelHandler)(int, int, int, int) = nullptr;

// Texts and symbols keep their size on the screen whatever the zoom, so a fit by the airways alone cuts the
// labels at the window's edge. The window widens and moves until all that a repaint draws lies inside it
// with the airways' margin (a twelfth of the window each side), what is drawn beside the airways' box
// (minX .. maxY, projected) keeping its size in pixels; the fit never comes closer.
// What is drawn is measured at the scale the fit starts from: each text, symbol and stroke keeps its size at
// a wider scale while the point it stands at moves in with the network, which bounds where it goes at every
// scale tried. An airway is measured only when a bound of all it draws, found without drawing, could reach
// further beyond the box than what is measured already, so the fit is the one that measuring every airway
// gives.
void fitWhatIsDrawn(PictureBox &pic, double minX, double maxX, double minY, double maxY) {
    const double w = pic.PixelWidth(), h = pic.PixelHeight();
    const VB::HeldDecimalSeparator separator;
    PrepareFitRecords();
    const auto pixelBox = [&] {
        return QRectF(
                   QPointF(pic.ToPixelX((minX - PanX) * AxisSignX), pic.ToPixelY((minY - PanY) * AxisSignY)),
                   QPointF(pic.ToPixelX((maxX - PanX) * AxisSignX), pic.ToPixelY((maxY - PanY) * AxisSignY)))
            .normalized();
    };
    // Pixels at the measuring scale.
    const QRectF box = pixelBox();
    const double measuredPerPixel = std::abs(pic.ScaleWidth) / w;
    // Every text, symbol and stroke measured, with where its point may lie: the floating texts first.
    std::vector<DrawingSurface::MeasuredItem> measured = MeasureDrawn({}).items;
    const std::vector<DrawnBound> bounds = DrawnBounds();
    std::vector<int> unmeasured;
    for (size_t i = 0; i < bounds.size(); ++i)
        if (!bounds[i].rect.isNull())
            unmeasured.push_back(static_cast<int>(i) + 1);
    // How far what is drawn reaches beyond the box's sides at `shrink` (the measuring scale over the scale
    // tried), in pixels at that scale: each item keeps its size while its point moves with the network.
    struct Reach {
        double left = 0, right = 0, above = 0, below = 0;
    };
    const auto reachOf = [&box](Reach &out, const QRectF &r, const QRectF &at, double shrink) {
        const double grow = 1 - shrink;
        out.left = std::max(out.left, shrink * (box.left() - r.left()) + grow * (at.right() - r.left()));
        out.right = std::max(out.right, shrink * (r.right() - box.right()) + grow * (r.right() - at.left()));
        out.above = std::max(out.above, shrink * (box.top() - r.top()) + grow * (at.bottom() - r.top()));
        out.below =
            std::max(out.below, shrink * (r.bottom() - box.bottom()) + grow * (r.bottom() - at.top()));
    };
    // The airways whose bound reaches further are measured until none does, those reaching furthest first
    // (what they draw is usually what the others' bounds fall short of), in growing batches.
    const auto reach = [&](double shrink) {
        Reach out;
        for (const auto &[r, at] : measured)
            reachOf(out, r, at, shrink);
        const auto excess = [&](int k) {
            const DrawnBound &u = bounds[static_cast<size_t>(k - 1)];
            Reach own;
            reachOf(own, u.rect, u.placedAt, shrink);
            return std::max(
                {own.left - out.left, own.right - out.right, own.above - out.above, own.below - out.below});
        };
        std::vector<std::pair<double, int>> further;
        std::vector<int> rest;
        for (const int k : unmeasured) {
            if (const double e = excess(k); e > 0)
                further.emplace_back(e, k);
            else
                rest.push_back(k);
        }
        for (size_t batch = 16; !further.empty(); batch *= 2) {
            const size_t n = std::min(batch, further.size());
            std::partial_sort(further.begin(), further.begin() + static_cast<std::ptrdiff_t>(n),
                              further.end(), std::greater<>());
            std::vector<int> list;
            for (size_t i = 0; i < n; ++i)
                list.push_back(further[i].second);
            const DrawnAreas areas = MeasureDrawn(list);
            for (const auto &[r, at] : areas.items)
                reachOf(out, r, at, shrink);
            measured.insert(measured.end(), areas.items.begin(), areas.items.end());
            // What the measured ones reach now leaves some of the others short.
            std::vector<std::pair<double, int>> still;
            for (size_t i = n; i < further.size(); ++i) {
                if (const double e = excess(further[i].second); e > 0)
                    still.emplace_back(e, further[i].second);
                else
                    rest.push_back(further[i].second);
            }
            further.swap(still);
        }
        unmeasured.swap(rest);
        return out;
    };
    // Metres per pixel that leave the box room beside what reaches beyond it.
    const auto perPixelFor = [&](const Reach &out, double current) {
        const double roomX = std::max(w * 5 / 6 - out.left - out.right, w / 6);
        const double roomY = std::max(h * 5 / 6 - out.above - out.below, h / 6);
        return std::max({(maxX - minX) / roomX, (maxY - minY) / roomY, current});
    };

    for (int pass = 0; pass < 3; ++pass) {
        const Reach out = reach(measuredPerPixel / (std::abs(pic.ScaleWidth) / w));
        const QRectF drawn = pixelBox().adjusted(-out.left, -out.above, out.right, out.below);
        if (QRectF(w / 12 - 1, h / 12 - 1, w * 5 / 6 + 2, h * 5 / 6 + 2).contains(drawn))
            return;
        const double perPixel = perPixelFor(out, std::abs(pic.ScaleWidth) / w);
        // The box moves off the middle by half the difference of what stands beside it.
        const double panX = (minX + maxX) / 2 - (out.left - out.right) / 2 * perPixel * AxisSignX;
        const double panY = (minY + maxY) / 2 - (out.above - out.below) / 2 * perPixel * AxisSignY;
        SetViewScale(perPixel * w, perPixel * h, clng(panX), clng(panY));
    }
}

// The world window keeps its centre and `perPixel` metres per pixel across; its height follows the
// picture's shape (keeping its sign), so that x and y keep one scale.
void keepOneScale(PictureBox &pic, double perPixel) {
    const double width = perPixel * pic.PixelWidth();
    const double height = std::abs(perPixel) * pic.PixelHeight() * (pic.ScaleHeight < 0 ? -1 : 1);
    pic.ScaleWidth = width;
    pic.ScaleHeight = height;
    pic.ScaleLeft = -width / 2;
    pic.ScaleTop = -height / 2;
}

} // namespace

void SetViewScale(double width, double height, int32_t centreX, int32_t centreY) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    pic->ScaleWidth = width;
    pic->ScaleHeight = height;
    pic->ScaleLeft = -width / 2;
    pic->ScaleTop = -height / 2;
    PanX = centreX;
    PanY = centreY;
    // The caption's scale is the drawing's, however the world window was set (zoom tool, fit, locate).
    ShowWindowTitle();
}

void KeepViewScale(int w, int oldPixelWidth) {
    PictureBox *pic = WindowPicture(w);
    if (pic == nullptr || pic->ScaleWidth == 0)
        return;
    const int pixelWidth = pic->PixelWidth(), pixelHeight = pic->PixelHeight();
    // Metres per pixel across; a window that had no real width yet keeps its world width.
    const double perPixel =
        oldPixelWidth > 1 ? pic->ScaleWidth / oldPixelWidth : pic->ScaleWidth / std::max(pixelWidth, 1);
    keepOneScale(*pic, perPixel);
    const double width = pic->ScaleWidth, height = pic->ScaleHeight;
    // The view stored for an open window is what a redraw restores (a window being opened has the view it
    // is to show stored, not yet its own).
    const int slot = 100 + w;
    if (WindowOpen.InBounds(w) && WindowOpen(w) && viewSlot(slot) && ViewSingles(slot, FScaleWidth) != 0) {
        ViewSingles(slot, FScaleLeft) = static_cast<float>(pic->ScaleLeft);
        ViewSingles(slot, FScaleTop) = static_cast<float>(pic->ScaleTop);
        ViewSingles(slot, FScaleWidth) = static_cast<float>(width);
        ViewSingles(slot, FScaleHeight) = static_cast<float>(height);
    }
    if (w == ActiveWindow) {
        AspectRatio = static_cast<float>(pixelHeight) / static_cast<float>(std::max(pixelWidth, 1));
        RefreshWindowBounds();
        ShowWindowTitle();
    }
}

void SaveView(int slot) {
    if (!viewSlot(slot))
        return;
    ViewSingles(slot, FTilt) = Tilt;
    ViewSingles(slot, FSpin) = Spin;
    if (const PictureBox *pic = ActivePicture()) {
        ViewSingles(slot, FScaleLeft) = static_cast<float>(pic->ScaleLeft);
        ViewSingles(slot, FScaleTop) = static_cast<float>(pic->ScaleTop);
        ViewSingles(slot, FScaleWidth) = static_cast<float>(pic->ScaleWidth);
        ViewSingles(slot, FScaleHeight) = static_cast<float>(pic->ScaleHeight);
    }
    ViewSingles(slot, FLayerDisplay) = static_cast<float>(LayerDisplay);
    ViewSingles(slot, FViewMode) = static_cast<float>(ViewMode);
    ViewSingles(slot, FRLLow) = static_cast<float>(RLWindowLow);
    ViewSingles(slot, FRLHigh) = static_cast<float>(RLWindowHigh);
    ViewSingles(slot, FLevelScroll) = static_cast<float>(LevelScrollValue);
    ViewSingles(slot, FViewIs3D) = static_cast<float>(ViewIs3D);
    ViewSingles(slot, FPanX) = static_cast<float>(PanX);
    ViewSingles(slot, FPanY) = static_cast<float>(PanY);
    for (int i = 0; i <= 5; ++i)
        ViewSingles(slot, FSelectedLevels + i) = static_cast<float>(SelectedLevels(i));
    ViewSingles(slot, FCentreX) = static_cast<float>(AirwayStart(1, 0));
    ViewSingles(slot, FCentreY) = static_cast<float>(AirwayStart(2, 0));
    ViewSingles(slot, FCentreZ) = static_cast<float>(AirwayStart(3, 0));
    ViewSingles(slot, FCentreSet) = static_cast<float>(RotationCentreSet);
    ViewSingles(slot, FLevelElevation) = static_cast<float>(LevelElevation);
    ViewSingles(slot, FDataCode) = static_cast<float>(DataCode);
    buildLayerMasks();
    ViewCurrency(slot, CSecondaryLow) = Currency{SecondaryLayerMaskLow} * CurrencyScale;
    ViewCurrency(slot, CPrimary) = Currency{PrimaryLayerMask} * CurrencyScale;
    ViewCurrency(slot, CSecondaryHigh) = Currency{SecondaryLayerMaskHigh} * CurrencyScale;
    ViewCurrency(slot, CGraphicsDetail) = Currency{GraphicsDetail} * CurrencyScale;
    ViewCurrency(slot, CColourScheme) = Currency{ColourScheme} * CurrencyScale;
}

void CopyView(int fromWindow, int toWindow) {
    const int from = fromWindow + 100, to = toWindow + 100;
    if (!viewSlot(from) || !viewSlot(to))
        return;
    for (int f = 1; f <= 28; ++f)
        ViewSingles(to, f) = ViewSingles(from, f);
    for (int f = 1; f <= 5; ++f)
        ViewCurrency(to, f) = ViewCurrency(from, f);
}

void RestoreView(int slot) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || pic->Minimized || !viewSlot(slot))
        return;
    auto s = [slot](int f) -> float & { return ViewSingles(slot, f); };
    auto c = [slot](int f) { return static_cast<double>(ViewCurrency(slot, f)) / CurrencyScale; };
    Tilt = s(FTilt);
    Spin = s(FSpin);
    ViewIs3D = cint(s(FViewIs3D));
    if (slot >= 1 && slot <= 5) {
        // Built-in views give only their angles, tilted the way the vertical axis points now.
        if (slot >= 3)
            Tilt = std::abs(Tilt) * static_cast<float>(AxisSignY);
        ViewRestored = 1;
    } else {
        if (s(FScaleWidth) != 0) {
            if (VB::Int(std::abs(s(FScaleLeft))) != VB::Int(s(FScaleWidth) / 2)) {
                // An old row with an off-centre world window: the same area as a centred window and a pan.
                s(FPanX) = s(FScaleWidth) / 2 + s(FScaleLeft);
                s(FPanY) = s(FScaleHeight) / 2 + s(FScaleTop);
                s(FScaleLeft) = -s(FScaleWidth) / 2;
                s(FScaleTop) = -s(FScaleHeight) / 2;
                s(FCentreSet) = 0;
            }
            Tilt = s(FTilt);
            Spin = s(FSpin);
            pic->ScaleLeft = s(FScaleLeft);
            pic->ScaleTop = s(FScaleTop);
            pic->ScaleWidth = s(FScaleWidth);
            pic->ScaleHeight = s(FScaleHeight);
            // A view stored for a picture of another shape is shown at its scale across, never stretched
            // (a picture without width yet keeps the stored window).
            if (pic->PixelWidth() > 1)
                keepOneScale(*pic, pic->ScaleWidth / pic->PixelWidth());
            LayerDisplay = clng(s(FLayerDisplay));
            // A damaged row's mode outside 1..4 would show nothing: the current mode stays.
            if (const int mode = cint(s(FViewMode)); mode >= 1 && mode <= 4)
                ViewMode = mode;
            ShowLevelModeMarks(ViewMode - 1);
            RLWindowLow = clng(s(FRLLow));
            RLWindowHigh = clng(s(FRLHigh));
            LevelScrollValue = s(FLevelScroll);
            LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
            PanX = s(FPanX);
            PanY = s(FPanY);
            for (int i = 0; i <= 5; ++i)
                SelectedLevels(i) = cint(s(FSelectedLevels + i));
            setCentre(clng(s(FCentreX)), clng(s(FCentreY)), clng(s(FCentreZ)));
            RotationCentreSet = cint(s(FCentreSet));
            if (s(FLevelElevation) != 0)
                LevelElevation = s(FLevelElevation);
            if (s(FDataCode) != 0)
                DataCode = cint(s(FDataCode));
            SecondaryLayerMaskLow = clng(c(CSecondaryLow));
            PrimaryLayerMask = clng(c(CPrimary));
            SecondaryLayerMaskHigh = clng(c(CSecondaryHigh));
            GraphicsDetail = cint(c(CGraphicsDetail));
            ColourScheme = cint(c(CColourScheme));
            layersFromMasks();
        }
        ViewRestored = 1;
        if (DataCode != 0)
            showDataType();
    }
    SetVisibleAirways();
    if (slot == 1)
        PlanView();
    else
        RotateView();
}

void RefreshWindowBounds() {
    const PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    WindowTop = clng(pic->ScaleTop);
    WindowBottom = clng(pic->ScaleHeight + WindowTop);
    WindowLeft = clng(pic->ScaleLeft);
    WindowRight = clng(pic->ScaleWidth + WindowLeft);
}

void WindowCentre() {
    if (ActivePicture() == nullptr)
        return;
    RefreshWindowBounds();
    double sumZ = 0;
    int count = 0;
    for (int i = 1; i <= AirwayScreenCount; ++i) {
        const AirwayScreenRecord &r = AirwayScreen(i);
        const double mx = (static_cast<double>(r.x1) + r.x2) / 2, my = (static_cast<double>(r.y1) + r.y2) / 2;
        if (!(mx > WindowLeft && mx < WindowRight && my > WindowTop && my < WindowBottom))
            continue;
        const int a = r.airway;
        if (!AirwayStart.InBounds(1, a))
            continue;
        sumZ += static_cast<double>(AirwayStart(3, a)) + AirwayEnd(3, a);
        count += 2;
    }
    if (count < 1) {
        CentreAtView();
        return;
    }
    const int32_t z = clng(sumZ / count);
    double X = AirwayStart(1, 0), Y = AirwayStart(2, 0), Z = z;
    ScreenToWorld(0, 0, z, X, Y, Z);
    setCentre(RoundToLong(X), RoundToLong(Y), RoundToLong(Z));
}

void CentreAtView() {
    const EndSums s = visibleEndSums();
    setCentre(clng(PanX), clng(PanY), s.count > 0 ? clng(s.z / s.count) : 0);
}

void CentreOfVisible() {
    const EndSums s = visibleEndSums();
    const double n = s.count > 0 ? s.count : 1;
    setCentre(clng(s.x / n), clng(s.y / n), clng(s.z / n));
}

void FitNetwork() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || Shell().IsMinimized())
        return;
    try {
        RotationCentreSet = 1;
        AspectRatio = static_cast<float>(pic->PixelHeight()) / static_cast<float>(pic->PixelWidth());
        FitPass = true;
        PrepareDrawing();
        FitPass = false;

        double minX = 0, maxX = 0, minY = 0, maxY = 0;
        if (AirwayScreenCount > 0) {
            minX = minY = 1e300;
            maxX = maxY = -1e300;
            for (int i = 1; i <= AirwayScreenCount; ++i) {
                const int a = VisibleAirways(i);
                for (const auto *p : {&AirwayStartProjected, &AirwayEndProjected}) {
                    minX = std::min(minX, (*p)(1, a));
                    maxX = std::max(maxX, (*p)(1, a));
                    minY = std::min(minY, (*p)(2, a));
                    maxY = std::max(maxY, (*p)(2, a));
                }
            }
        } else if (AirwayCount < 1) {
            // The default box of the settings, centred on the default centre.
            const double half = DefaultScaleWidth / 2.0;
            minX = DefaultCentreX - half;
            maxX = DefaultCentreX + half;
            minY = DefaultCentreY - half;
            maxY = DefaultCentreY + half;
            if (minX > maxX)
                std::swap(minX, maxX);
            if (minY > maxY)
                std::swap(minY, maxY);
        } else {
            return;
        }

        double extent = std::abs(maxX - minX);
        double extentHeight = std::abs(maxY - minY);
        if (extent * AspectRatio < extentHeight)
            extent = extentHeight / AspectRatio;
        // Never closer than a window about 5 m high.
        if (extent != 0 && 250000 / (extent * 1.2 * AspectRatio) > 50000)
            extent = 250000 / (AspectRatio * 60000.0);
        if (extent == 0) {
            extent = extentHeight = 100;
        } else if (extentHeight == 0) {
            // A flat extent (one horizontal airway) still fits by its width.
            extentHeight = extent * AspectRatio;
        }
        WindowExtent = static_cast<float>(extent);
        WindowExtentHeight = static_cast<float>(extentHeight);
        SetViewScale(extent * 1.2, extent * 1.2 * AspectRatio, clng((minX + maxX) / 2),
                     clng((minY + maxY) / 2));
        if (AirwayScreenCount > 0)
            fitWhatIsDrawn(*pic, minX, maxX, minY, maxY);
        WindowCentre();
        ShowWindowTitle();
        CentreOfVisible();
    } catch (const std::exception &) {
        FitPass = false;
        StatusText = "Error FITTING Graphics on screen!";
        VB::MsgBox(StatusText, VB::vbInformation);
    }
}

void PlanView() {
    ViewIs3D = 0;
    ShowPanReadOut();
    Shell().SetMenuChecked("mnuPlanS", true);
    Shell().SetMenuChecked("mnu3d", false);
    SetVisibleAirways();
    PanX = AirwayStart(1, 0);
    PanY = AirwayStart(2, 0);
    Redraw();
    Shell().SetMenuChecked("mnuPlanS", true);
    Shell().SetMenuChecked("mnu3d", false);
}

void View3D() {
    if (ActivePicture() == nullptr)
        return;
    Shell().SetMenuChecked("mnuPlanS", false);
    Shell().SetMenuChecked("mnu3d", true);
    SetVisibleAirways();
    RotationCentreSet = 1;
    // The centre is taken from what the window shows now, before the view turns (the screen records of the
    // last drawing may be older than the airways drawn since).
    PrepareDrawing();
    WindowCentre();
    ViewIs3D = 1;
    RotateView();
    if (RedrawDeferred == 0)
        Redraw();
}

void ToggleView3D() {
    if (ViewIs3D != 1) {
        View3D();
        return;
    }
    // Back to plan about the point the 3-D window shows in its middle, not about a centre an earlier view
    // left behind.
    if (ActivePicture() != nullptr) {
        PrepareDrawing();
        WindowCentre();
        RotationCentreSet = 1;
    }
    PlanView();
}

void ShowWindowTitle() {
    double height = 0;
    const PictureBox *pic = ActivePicture();
    if (pic != nullptr) {
        WindowExtent = static_cast<float>(pic->ScaleWidth);
        height = std::abs(pic->ScaleHeight);
    }
    if (PrintPageShown) {
        if (const auto page = VB::PrinterPageSizeMm(); page && page->width() > 0)
            ScaleNumber = FittedScale(WindowExtent, height, page->width(), page->height());
    } else if (pic != nullptr && pic->PixelWidth() > 0) {
        // The drawing's metres per pixel over the length of a pixel of the picture: a resized or maximised
        // window at the same zoom, or a print, leaves it as it is.
        const double perPixel = std::abs(pic->ScaleWidth) / pic->PixelWidth();
        ScaleNumber = static_cast<float>(VB::Int(perPixel * pic->Image().dotsPerMeterX()));
    }
    auto trimmed = [](const std::string &t) {
        const auto b = t.find_first_not_of(' ');
        return b == std::string::npos ? std::string() : t.substr(b, t.find_last_not_of(' ') - b + 1);
    };
    std::string caption = "GUSTROM [";
    if (!trimmed(NetworkFileTitle).empty())
        caption += NetworkFileTitle;
    if (!trimmed(NetworkTitle).empty())
        caption += "  " + NetworkTitle;
    caption += "] [Scale = 1:" + VB::CStrSingle(ScaleNumber) + "]";
    Shell().SetCaption(caption);
}

float FittedScale(double worldWidth, double worldHeight, double pageWidthMm, double pageHeightMm) {
    if (!(pageWidthMm > 0))
        return 0;
    // Whichever dimension needs the smaller drawing governs, so the fitted scale is the scale drawn.
    double metresPerMm = worldWidth * 1.1 / (pageWidthMm * 0.995);
    if (pageHeightMm > 0)
        metresPerMm = std::max(metresPerMm, worldHeight * 1.1 / (pageHeightMm * 0.995));
    return static_cast<float>(VB::Int(metresPerMm * 1000));
}

void HookWheel(int window) {
    if (HookedWindow != -1 && HookedWindow != window)
        UnhookWheel();
    HookedWindow = window;
}

void UnhookWheel() {
    HookedWindow = -1;
}

bool WheelEvent(int window, int keys, int rotation, int x, int y) {
    if (window != HookedWindow || window == -1)
        return false;
    if (wheelHandler != nullptr)
        wheelHandler(keys, rotation, x, y);
    return true;
}

void SetWheelHandler(void (*handler)(int, int, int, int)) {
    wheelHandler = handler;
}
