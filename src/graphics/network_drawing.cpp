#include "graphics/network_drawing.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
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

// The font of the airway texts, and the letter size taken from it.
void setAirwayFont(PictureBox &pic) {
    pic.FontBold = FontBold.InBounds(1) && FontBold(1) != 0;
    if (FontName.InBounds(1))
        pic.FontName = FontName(1);
    if (DataFontSize != 0)
        pic.FontSize = DataFontSize;
    pic.DrawWidth = iconSize(0);
    LetterWidth = static_cast<float>(pic.TextWidth("F"));
    LetterHeight = static_cast<float>(pic.TextHeight("F"));
}

// Characters up to the last one that is not a blank (what a trimmed name can print at most).
std::string_view unpadded(const std::string &s) {
    std::size_t length = s.size();
    while (length > 0 && s[length - 1] == ' ')
        --length;
    return std::string_view(s).substr(0, length);
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

    setAirwayFont(*pic);

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

std::vector<DrawnBound> DrawnBounds() {
    std::vector<DrawnBound> bounds;
    PictureBox *pic = ActivePicture();
    if (GraphicsDetail == 0 || pic == nullptr)
        return bounds;
    RefreshWindowBounds();
    WindowExtent = static_cast<float>(WindowRight - WindowLeft);
    computeSizes(*pic);
    setAirwayFont(*pic);
    const double x0 = pic->ToPixelX(0), kx = pic->ToPixelX(1) - x0, y0 = pic->ToPixelY(0),
                 ky = pic->ToPixelY(1) - y0;
    // Each text class in its own font, looked up once (a font change costs more than a short text).
    const auto inFont = [&](int size, int boldSlot) {
        pic->FontBold = FontBold.InBounds(boldSlot) && FontBold(boldSlot) != 0;
        pic->FontSize = size;
        return pic->MeasureInFont();
    };
    const bool stack = DataFontSize != 0;
    const bool names = NodeFontSize != 0 && (GraphicsDetail & 1) != 0;
    const bool nameLines = stack && NameFontSize != 0 && (GraphicsDetail & 2) != 0;
    const bool dataLines = stack && (GraphicsDetail & 4) != 0;
    const auto measureOf = [&](bool used, int size, int boldSlot) {
        return used ? std::optional(inFont(size, boldSlot)) : std::nullopt;
    };
    const std::optional<DrawingSurface::TextMeasure> node = measureOf(names, NodeFontSize, 3),
                                                     airwayName = measureOf(nameLines, NameFontSize, 2),
                                                     data = measureOf(stack, DataFontSize, 1);
    // A name stands one line of its font above its end; the middle texts stack up from the middle, each
    // line at most the taller font's height. "Above" runs against the window's y, whichever way the
    // picture turns it.
    const double up = ky > 0 ? -1 : 1;
    const double nodeLine = node ? node->Height() : 0;
    const double stackLine = std::max(data ? data->Height() : 0, airwayName ? airwayName->Height() : 0);
    // The resistance types' names, which a flow or resistance text puts over it, as printed.
    std::vector<double> typeWidths;
    if (data)
        for (int i = 0; i <= ResistanceTypeName.UBound(); ++i)
            typeWidths.push_back(ResistanceTypeName.InBounds(i) ? data->Width(ResistanceTypeName(i)) : 0);
    const bool typeNamed = DataCode == 12 || DataCode == 32;
    const bool endValues = DataCode == 26 || DataCode == 27 || DataCode == 28 || DataCode == 37;
    const auto blank = [](const std::string &s) { return s.find_first_not_of(' ') == std::string::npos; };

    const int count = std::max(std::min(AirwayScreenCount, AirwayScreen.UBound()), 0);
    bounds.resize(static_cast<size_t>(count));
    const double c = std::cos(0.3), sn = std::sin(0.3);
    const double symbolSize = std::max({FanSize, ObstructionSize, BulkheadSize, SmokeSize});
    for (int k = 1; k <= count; ++k) {
        const AirwayScreenRecord &r = AirwayScreen(k);
        const int a = r.airway;
        if (!AirwayFlags.InBounds(a))
            continue;
        DrawnBound &bound = bounds[static_cast<size_t>(k - 1)];
        // Texts whose width is not known without building them, and station readings, are not bounded.
        if ((endValues && stack) || (AirwayStation(a) != 0 && RealtimeInputOn == -1)) {
            bound.rect = bound.placedAt = QRectF(-1e30, -1e30, 2e30, 2e30);
            continue;
        }
        const int32_t flags = AirwayFlags(a);
        const double dx = static_cast<double>(r.x2) - r.x1, dy = static_cast<double>(r.y2) - r.y1;
        const double mx = r.x1 + dx / 2, my = r.y1 + dy / 2;
        // Strokes and symbols: the arrowhead's barbs, node pictures at the ends, the airway's symbols at
        // its symbol point and middle (pixels).
        double left = x0 + kx * r.x1, top = y0 + ky * r.y1, right = left, bottom = top;
        const auto add = [&](double x, double y, double half) {
            const double px = x0 + kx * x, py = y0 + ky * y, hx = std::abs(kx * half),
                         hy = std::abs(ky * half);
            left = std::min(left, px - hx);
            right = std::max(right, px + hx);
            top = std::min(top, py - hy);
            bottom = std::max(bottom, py + hy);
        };
        add(r.x2, r.y2, 0);
        if (const double length = std::sqrt(dx * dx + dy * dy); length > 0) {
            const double ux = dx / length, uy = dy / length, tx = r.x1 + 0.8 * dx, ty = r.y1 + 0.8 * dy;
            for (const double side : {-1.0, 1.0})
                add(tx - ArrowSize * (c * ux + side * sn * uy), ty - ArrowSize * (c * uy - side * sn * ux),
                    0);
        }
        add(r.x1, r.y1, NodeSize / 2.0);
        add(r.x2, r.y2, NodeSize / 2.0);
        const bool symbols = AirwayResistanceType(a) > 0 || AirwayFan(a) != 0 ||
                             (flags & (AirwayFlag::FixedFlow | AirwayFlag::ContaminantSource)) != 0 ||
                             (AirwaySmoke.InBounds(1, a) && AirwaySmoke(1, a) != 0);
        double shift = 0;
        if (symbols) {
            const float f = AirwayIconPosition(a) + 0.3f;
            add(r.x1 + dx * f, r.y1 + dy * f, symbolSize);
            add(mx, my, symbolSize);
            shift = symbolSize;
        }
        // Texts: `lines` lines of `line` pixels up from the line of the point `raised` pixels above (x, y),
        // right of it by up to `shiftX`; each line's point may lie a line left of it and two below.
        double placedLeft = left, placedTop = top, placedRight = right, placedBottom = bottom;
        const auto text = [&](double x, double y, double raised, double lines, double line, double shiftX,
                              double wide) {
            const double px = x0 + kx * x, py = y0 + ky * y + up * raised, qx = x0 + kx * (x + shiftX);
            const double lineTop = std::min(py, py + up * lines * line),
                         lineBottom = std::max(py, py + up * lines * line);
            const double textLeft = std::min(px, qx), textRight = std::max(px, qx);
            left = std::min(left, textLeft);
            right = std::max(right, textRight + wide);
            top = std::min(top, lineTop);
            bottom = std::max(bottom, lineBottom + line);
            placedLeft = std::min(placedLeft, textLeft - line);
            placedRight = std::max(placedRight, textRight);
            placedTop = std::min(placedTop, lineTop);
            placedBottom = std::max(placedBottom, lineBottom + 2 * line);
        };
        if (node && LayerTest(a, 16)) {
            // A line of its own above the end.
            const bool steep =
                1.5 * std::abs(static_cast<double>(AirwayStart(3, a)) - AirwayEnd(3, a)) > AirwayLength(a) ||
                (flags & (AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit)) != 0;
            if (const std::string_view name = unpadded(AirwayStartName(a)); steep && !name.empty())
                text(r.x1 + LetterHeight / 2.0, r.y1, nodeLine, 0, nodeLine, 0, node->Width(name));
            if (const std::string_view name = unpadded(AirwayEndName(a)); !name.empty())
                text(r.x2 + LetterHeight / 2.0, r.y2, nodeLine, 0, nodeLine, 0, node->Width(name));
        }
        if (stack) {
            // The middle stack: a resistance name or marked error, the data text, the airway's name.
            int lines = 0;
            double wide = 0;
            const auto line = [&](double width) {
                ++lines;
                wide = std::max(wide, width);
            };
            if ((flags & AirwayFlag::ErrorMark) != 0) {
                if (!blank(AirwayComment(a)))
                    line(data->Width(unpadded(AirwayComment(a))));
            } else if (const int type = AirwayResistanceType(a);
                       typeNamed && type > 0 && static_cast<size_t>(type) < typeWidths.size() &&
                       !blank(ResistanceTypeName(type))) {
                line(typeWidths[static_cast<size_t>(type)]);
            }
            if (dataLines && LayerTest(a, 4)) {
                const std::string label = AirwayDataText(DataCode, a, 0);
                ResistanceLabel.clear();
                if (!blank(label))
                    line(data->Width(label));
            }
            if (airwayName && LayerTest(a, 8) && !blank(AirwayName(a)))
                line(airwayName->Width(unpadded(AirwayName(a))));
            if (lines > 0)
                text(mx, my, 0, lines - 1, stackLine, shift, wide);
        }
        bound.rect = QRectF(QPointF(left, top), QPointF(right, bottom));
        bound.placedAt = QRectF(QPointF(placedLeft, placedTop), QPointF(placedRight, placedBottom));
    }
    return bounds;
}
