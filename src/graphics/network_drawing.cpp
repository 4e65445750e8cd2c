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
    const auto last = s.find_last_not_of(' ');
    return last == std::string::npos ? std::string_view() : std::string_view(s).substr(0, last + 1);
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
    const auto pixel = [&](double x, double y) { return QPointF(x0 + kx * x, y0 + ky * y); };
    // Each text class's font; the tallest line (pixels) of them.
    struct TextFont {
        int size, boldSlot;
    };
    const auto select = [&](const TextFont &f) {
        pic->FontBold = FontBold.InBounds(f.boldSlot) && FontBold(f.boldSlot) != 0;
        if (f.size != 0)
            pic->FontSize = f.size;
    };
    const TextFont dataFont{DataFontSize, 1}, nameFont{NameFontSize, 2}, nodeFont{NodeFontSize, 3};
    double line = 0;
    for (const TextFont &f : {dataFont, nameFont, nodeFont}) {
        select(f);
        line = std::max(line, std::abs(pic->TextHeight("F") * ky));
    }
    // Names stand a line above their ends and the middle texts stack up to two lines above the middle:
    // "above" runs against the window's y, whichever way the picture turns it.
    const double up = ky > 0 ? -1 : 1;
    const auto width = [&](std::string_view text) { return text.empty() ? 0.0 : pic->PrintedWidth(text); };
    // A data text may put a resistance type's name over it.
    double resistanceName = 0;
    select(dataFont);
    for (int i = ResistanceTypeName.LBound(); i <= ResistanceTypeName.UBound(); ++i)
        resistanceName = std::max(resistanceName, width(unpadded(ResistanceTypeName(i))));
    const bool endValues = DataCode == 26 || DataCode == 27 || DataCode == 28 || DataCode == 37;

    const int count = std::max(std::min(AirwayScreenCount, AirwayScreen.UBound()), 0);
    bounds.resize(static_cast<size_t>(count));
    // The widest text at each end and in the middle, font by font (a font is chosen once for all records).
    std::vector<std::array<double, 3>> widths(bounds.size());
    const auto widen = [&](const TextFont &font, const auto &texts) {
        select(font);
        for (int k = 1; k <= count; ++k)
            if (const int a = AirwayScreen(k).airway; AirwayFlags.InBounds(a))
                texts(a, widths[static_cast<size_t>(k - 1)]);
    };
    widen(nodeFont, [&](int a, std::array<double, 3> &w) {
        w[0] = width(unpadded(AirwayStartName(a)));
        w[1] = width(unpadded(AirwayEndName(a)));
    });
    if (DataFontSize != 0) {
        widen(dataFont, [&](int a, std::array<double, 3> &w) {
            ResistanceLabel.clear();
            const std::string data = AirwayDataText(DataCode, a, 0);
            ResistanceLabel.clear();
            w[2] = std::max({width(data), width(unpadded(AirwayComment(a))), resistanceName});
        });
        widen(nameFont, [&](int a, std::array<double, 3> &w) {
            w[2] = std::max(w[2], width(unpadded(AirwayName(a))));
        });
    }
    const double c = std::cos(0.3), sn = std::sin(0.3);
    for (int k = 1; k <= count; ++k) {
        const AirwayScreenRecord &r = AirwayScreen(k);
        const int a = r.airway;
        if (!AirwayFlags.InBounds(a))
            continue;
        DrawnBound &bound = bounds[static_cast<size_t>(k - 1)];
        // Texts whose width is not known without building them, and station readings, are not bounded.
        if ((endValues && DataFontSize != 0) || (AirwayStation(a) != 0 && RealtimeInputOn == -1)) {
            bound.rect = bound.placedAt = QRectF(-1e30, -1e30, 2e30, 2e30);
            continue;
        }
        const int32_t flags = AirwayFlags(a);
        const double dx = static_cast<double>(r.x2) - r.x1, dy = static_cast<double>(r.y2) - r.y1;
        const double mx = r.x1 + dx / 2, my = r.y1 + dy / 2;
        // Strokes and symbols: the arrowhead's barbs, node pictures at the ends, the airway's symbols at
        // its symbol point and middle (window units).
        QRectF shapes(pixel(r.x1, r.y1), pixel(r.x2, r.y2));
        shapes = shapes.normalized();
        const auto add = [&](double x, double y, double half) {
            shapes |= QRectF(pixel(x - half, y - half), pixel(x + half, y + half)).normalized();
        };
        if (const double length = std::hypot(dx, dy); length > 0) {
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
            const double ix = r.x1 + dx * f, iy = r.y1 + dy * f;
            const double size = std::max({FanSize, ObstructionSize, BulkheadSize, SmokeSize});
            add(ix, iy, size);
            add(mx, my, size);
            shift = size;
        }
        // Texts: each covers its line right of and below its point, which may lie a line left of it and two
        // below (pixels); a name a line above its end, the middle stack up to two lines above the middle,
        // right of it by a shift clear of a symbol.
        QRectF drawn = shapes, placed = shapes;
        const auto text = [&](double x, double y, double lines, double shiftX, double wide) {
            if (wide <= 0)
                return;
            const QPointF p = pixel(x, y);
            const QPointF q = pixel(x + shiftX, y);
            const double top = std::min(p.y(), p.y() + up * lines * line),
                         bottom = std::max(p.y(), p.y() + up * lines * line);
            const double left = std::min(p.x(), q.x()), right = std::max(p.x(), q.x());
            drawn |= QRectF(QPointF(left, top), QPointF(right + wide, bottom + line));
            placed |= QRectF(QPointF(left - line, top), QPointF(right, bottom + 2 * line));
        };
        const bool steep =
            1.5 * std::abs(static_cast<double>(AirwayStart(3, a)) - AirwayEnd(3, a)) > AirwayLength(a) ||
            (flags & (AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit)) != 0;
        const std::array<double, 3> &w = widths[static_cast<size_t>(k - 1)];
        if (steep)
            text(r.x1 + LetterHeight / 2.0, r.y1, 1, 0, w[0]);
        text(r.x2 + LetterHeight / 2.0, r.y2, 1, 0, w[1]);
        text(mx, my, 2, shift, w[2]);
        bound.rect = drawn;
        bound.placedAt = placed;
    }
    return bounds;
}
