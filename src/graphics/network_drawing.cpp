#include "graphics/network_drawing.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

float ArrowSize = 0, SmokeSize = 0, FanSize = 0, NodeSize = 0, ObstructionSize = 0, BulkheadSize = 0;
float FontFactor = 1;
int DataFontSize = 0, NameFontSize = 0, NodeFontSize = 0, FloatFontSize = 0;
float LetterWidth = 0, LetterHeight = 0;

int32_t LineColour = 0;
float SegmentX1 = 0, SegmentY1 = 0, SegmentX2 = 0, SegmentY2 = 0;
int StartOnScreen = 0, EndOnScreen = 0;
float LabelX = 0, LabelY = 0, LabelShift = 0;
int LabelOnScreen = 0;
float IconX = 0, IconY = 0;
int IconOnScreen = 0;
std::string AirwayLabelText;

namespace {

bool strictlyInside(double x, double y) {
    return WindowLeft < x && x < WindowRight && WindowTop < y && y < WindowBottom;
}

int iconSize(int k) {
    return IconSize.InBounds(k) ? IconSize(k) : 1;
}
bool iconScaled(int k) {
    return IconScale.InBounds(k) && IconScale(k) == 1;
}

// Size of symbol class k in window units; `divisor` 5 for the pictures, 2 for the smoke class.
float symbolSize(int k, double divisor, double extent) {
    const double s = iconSize(k);
    if (!iconScaled(k))
        return static_cast<float>(extent / 200 * s);
    double size = std::pow(std::abs(100 / extent), 0.04) * s / divisor;
    // A scaled symbol keeps a nearly constant world size but never shrinks below 1/500 of the window.
    if (extent / size > 500)
        size = extent / 500;
    return static_cast<float>(size);
}

int fontSize(int k) {
    return FontSize.InBounds(k) ? FontSize(k) : 0;
}

void computeSizes(PictureBox &pic) {
    const double e = WindowExtent;
    if (e > 0) {
        ArrowSize = iconScaled(1)
                        ? static_cast<float>(std::sqrt(static_cast<double>(WindowRight - WindowLeft)) *
                                             iconSize(1) / 20)
                        : static_cast<float>(e / 200 * iconSize(1));
        SmokeSize = symbolSize(2, 2, e);
        FanSize = symbolSize(3, 5, e);
        NodeSize = symbolSize(4, 5, e);
        ObstructionSize = symbolSize(5, 5, e);
        BulkheadSize = symbolSize(6, 5, e);
    } else {
        ArrowSize = SmokeSize = FanSize = NodeSize = ObstructionSize = BulkheadSize = 0;
    }
    if (FontScale == 0) {
        FontFactor = 1;
    } else {
        FontFactor = e > 0 ? static_cast<float>(std::sqrt(1 / e) * 100 / 8) : 0;
        // A window wider than about 3.9 km would make every text unreadably small: no text at all.
        if (FontFactor < 0.2f)
            FontFactor = 0;
    }
    DataFontSize = static_cast<int>(std::floor(fontSize(1) * FontFactor));
    NameFontSize = static_cast<int>(std::floor(fontSize(2) * FontFactor));
    NodeFontSize = static_cast<int>(std::floor(fontSize(3) * FontFactor));
    FloatFontSize = static_cast<int>(std::floor(fontSize(4) * FontFactor));
    (void)pic;
}

} // namespace

bool LayerTest(int a, int32_t bit) {
    return (AirwayFlags(a) & AirwayFlag::LayerVisible) != 0 || (LayerDisplay & bit) != 0;
}

void DrawAirwayLines() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    const int lineWidth = iconSize(0);
    DrawingBatch batch(*pic);
    // Records of one colour and width in a row go to the painter as one batch.
    std::vector<std::array<double, 4>> run;
    int32_t runColour = 0;
    int runWidth = 0;
    const auto flush = [&] {
        if (run.empty())
            return;
        pic->DrawWidth = runWidth;
        pic->Lines(run, runColour);
        run.clear();
    };
    const int count = std::min(AirwayScreenCount, AirwayScreen.UBound());
    for (int k = 1; k <= count; ++k) {
        const AirwayScreenRecord &r = AirwayScreen(k);
        if (!run.empty() && (r.colour != runColour || r.width != runWidth))
            flush();
        runColour = r.colour;
        runWidth = r.width;
        run.push_back({r.x1, r.y1, r.x2, r.y2});
    }
    flush();
    pic->DrawWidth = lineWidth;
    batch.End();
}

void DrawNetwork() {
    if (GraphicsDetail == 0)
        return;
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    if (ViewIs3D == 0)
        ProjectPlan();
    RefreshWindowBounds();
    WindowExtent = static_cast<float>(WindowRight - WindowLeft);
    DrawingBatch batch(*pic);
    computeSizes(*pic);

    if ((GraphicsDetail & 256) != 0 && FloatFontSize != 0)
        DrawFloatingTexts();
    // A fit measures the floating texts and then each airway apart.
    DrawnAreas *const measuring = pic->Measured != nullptr ? MeasuringAreas() : nullptr;
    if (measuring != nullptr)
        measuring->floating = std::exchange(*pic->Measured, QRectF());

    pic->FontBold = FontBold.InBounds(1) && FontBold(1) != 0;
    if (FontName.InBounds(1))
        pic->FontName = FontName(1);
    if (DataFontSize != 0)
        pic->FontSize = DataFontSize;
    pic->DrawWidth = iconSize(0);
    LetterWidth = static_cast<float>(pic->TextWidth("F"));
    LetterHeight = static_cast<float>(pic->TextHeight("F"));

    const int count = std::min(AirwayScreenCount, AirwayScreen.UBound());
    for (int k = 1; k <= count; ++k) {
        AirwayScreenRecord &r = AirwayScreen(k);
        const struct RecordArea {
            QRectF *drawn;
            QRectF *area;
            ~RecordArea() {
                if (area != nullptr)
                    *area = std::exchange(*drawn, QRectF());
            }
        } recordArea{pic->Measured, measuring != nullptr && k <= static_cast<int>(measuring->records.size())
                                        ? &measuring->records[static_cast<size_t>(k - 1)]
                                        : nullptr};
        const int a = r.airway;
        if (!AirwayFlags.InBounds(a))
            continue;
        const int32_t flags = AirwayFlags(a);
        if (DataDisplayMode == 3 && (flags & AirwayFlag::DataHidden) != 0)
            continue;
        if (DimOption == 1 && (AirwayFlow(a) < MinShownFlow || AirwayFlow(a) > MaxShownFlow))
            continue;
        LineColour = r.colour < 0 ? -r.colour : r.colour;
        r.colour = LineColour;
        if (PickedAirway != 0 && a != PickedAirway)
            continue;

        SegmentX1 = r.x1;
        SegmentY1 = r.y1;
        SegmentX2 = r.x2;
        SegmentY2 = r.y2;
        StartOnScreen = strictlyInside(r.x1, r.y1) ? 1 : 0;
        EndOnScreen = strictlyInside(r.x2, r.y2) ? 1 : 0;
        LabelX = (r.x1 + r.x2) / 2;
        LabelY = (r.y1 + r.y2) / 2;
        LabelShift = 0;
        const float f = AirwayIconPosition(a) + 0.3f;
        IconX = r.x1 + (r.x2 - r.x1) * f;
        IconY = r.y1 + (r.y2 - r.y1) * f;
        LabelOnScreen = strictlyInside(LabelX, LabelY) ? -1 : 0;
        IconOnScreen = strictlyInside(IconX, IconY) ? -1 : 0;
        const double rise = std::abs(static_cast<double>(AirwayStart(3, a)) - AirwayEnd(3, a));
        const bool surfaceEnd = (flags & (AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit)) != 0;
        AirwayIncline = (1.5 * rise > AirwayLength(a) || surfaceEnd) ? 5 : 6;

        DrawArrow(a);
        // Names and end values take the line colour while a smoke result shows, and vanish with a line
        // drawn in the background colour.
        pic->ForeColor = SmokeMode != 0 ? LineColour : ColourTable(4);
        if (LineColour == ColourTable(3))
            pic->ForeColor = ColourTable(3);
        DrawNodeSymbols(a);
        if (DataDisplayMode != 0 && (DataDisplayMode & AirwayIncline) == 0)
            continue;
        DrawNodeNames(a);
        DrawEndValues(a);
        if (IconOnScreen == -1)
            DrawAirwaySymbols(a);
        if (AirwayStation(a) != 0 && RealtimeInputOn == -1)
            DrawStationReadings(a);
        if (DataFontSize != 0 && LabelOnScreen == -1)
            DrawMidpointTexts(a);
    }
    batch.End();
}
