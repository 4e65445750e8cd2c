#include "exchange/dxf_writer.h"

#include "exchange/frmExport.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "graphics/projection.h"
#include "model/Gustrom1.h"
#include "model/safe_file.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/Text1252.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

bool ExportVisibleOnly = false;
bool ExportConfirmed = false;

namespace {

constexpr int LengthQuantity = 1;
constexpr double Pi = 3.1415927;
constexpr double BarbAngle = 0.3; // radians either side of the airway

// LINE colours (CAD colour numbers) of the true-coordinate form.
constexpr int32_t FreshColour = 4, ExhaustColour = 1, OtherColour = 3;
// CAD colour numbers that the screen colours ColourTable(0..7) become.
constexpr int32_t ScreenColourNumber[8] = {3, 1, 4, 5, 0, 1, 7, 6};

void code(std::string &dxf, std::string_view groupCode) {
    dxf += groupCode;
    dxf += "\r\n";
}

void group(std::string &dxf, std::string_view groupCode, std::string_view value) {
    code(dxf, groupCode);
    dxf += value;
    dxf += "\r\n";
}

void group(std::string &dxf, std::string_view groupCode, float value) {
    code(dxf, groupCode);
    AppendPrintedNumber(dxf, value, '.');
    dxf += "\r\n";
}

void group(std::string &dxf, std::string_view groupCode, int32_t value) {
    code(dxf, groupCode);
    AppendPrintedNumber(dxf, value);
    dxf += "\r\n";
}

// The groups TEXT and CIRCLE share: layer, position and size (text height or radius).
void placedEntity(std::string &dxf, std::string_view type, std::string_view layer, float x, float y, float z,
                  int size) {
    group(dxf, "0", type);
    group(dxf, "8", layer);
    group(dxf, "10", x);
    group(dxf, "20", y);
    group(dxf, "30", z);
    group(dxf, "40", static_cast<int32_t>(size));
}

void banner(std::string &dxf) {
    const std::string stars = "GUSTROM" + std::string(42, '*') + "GUSTROM";
    const VB::DateTime now = VB::Now();
    char created[64];
    std::snprintf(created, sizeof created, "       DXF Export - Created %02d:%02d:%02d %02d-%02d-%04d",
                  now.hour, now.minute, now.second, now.month, now.day, now.year);
    group(dxf, "999", stars);
    group(dxf, "999", created);
    group(dxf, "999", stars);
}

// Floating texts of a plan view, placed by `place` (model position to drawing position).
template <typename Place> void floatingTexts(std::string &dxf, Place place) {
    if (ViewIs3D != 0 || (GraphicsDetail & 256) == 0)
        return;
    for (int i = 1; i <= MaxFloatingTexts && FloatingTextShown.InBounds(i); ++i) {
        const int t = FloatingTextShown(i);
        if (t == 0)
            break;
        if (!FloatingTextString.InBounds(t) || Trim(FloatingTextString(t)).empty())
            continue;
        float x, y, z;
        place(FloatingTextPosition(1, t), FloatingTextPosition(2, t), FloatingTextPosition(3, t), x, y, z);
        DxfText(dxf, "FLOAT", ExportFloatSize, FloatingTextString(t), x, y, z);
    }
}

struct Segment {
    float x1, y1, z1, x2, y2, z2;
};

// The airway's line, arrowhead, names, data label and exit circle.
void airwayEntities(std::string &dxf, int a, const Segment &s, int32_t colour, bool arrow, bool circle) {
    const float mx = (s.x1 + s.x2) / 2, my = (s.y1 + s.y2) / 2, mz = (s.z1 + s.z2) / 2;
    const std::string label = AirwayDataText(DataCode, a, 0);

    // The arrow point sits before the middle in the direction of flow, so that the barbs point back.
    const double dx = static_cast<double>(s.x2) - s.x1, dy = static_cast<double>(s.y2) - s.y1;
    const double lean = dx + 0.1;
    const double f = 0.5 - 0.1 * (lean > 0 ? 1 : lean < 0 ? -1 : 0);
    const double px = s.x1 + f * dx, py = s.y1 + f * dy, pz = s.z1 + f * (static_cast<double>(s.z2) - s.z1);
    double theta = dx == 0 ? Pi / 2 : std::atan(dy / dx);
    if (dx > 0)
        theta += Pi;
    if (dy > 0 && dx == 0)
        theta += Pi;
    const double size = ExportArrowSize;

    DxfLine(dxf, "Branch", colour, s.x1, s.y1, s.z1, s.x2, s.y2, s.z2);
    if (arrow) {
        const auto P = [](double v) { return static_cast<float>(v); };
        DxfLine(dxf, "Arrow", colour, P(px + size * std::cos(theta - BarbAngle)),
                P(py + size * std::sin(theta - BarbAngle)), P(pz), P(px), P(py), P(pz));
        DxfLine(dxf, "Arrow", colour, P(px), P(py), P(pz), P(px + size * std::cos(theta + BarbAngle)),
                P(py + size * std::sin(theta + BarbAngle)), P(pz));
    }
    const std::string node = Trim(AirwayEndName(a).str());
    if (!node.empty() && LayerTest(a, 16) && (GraphicsDetail & 1) != 0)
        DxfText(dxf, "NNAMES", ExportNodeSize, node, s.x2, s.y2, s.z2);
    const std::string name = Trim(AirwayName(a).str());
    if (!name.empty() && LayerTest(a, 8) && (GraphicsDetail & 2) != 0)
        DxfText(dxf, "BNAMES", ExportAirwaySize, name, mx, my, mz);
    if (!Trim(label).empty() && LayerTest(a, 4) && (GraphicsDetail & 4) != 0)
        DxfText(dxf, "DATA", ExportDataSize, label, mx, my + static_cast<float>(ExportDataSize), mz);
    if (circle)
        DxfCircle(dxf, "NODES", ExportNodeCircleSize, s.x2, s.y2, s.z2);
}

void sectionStart(std::string &dxf) {
    group(dxf, "0", "SECTION");
    group(dxf, "2", "ENTITIES");
}

void sectionEnd(std::string &dxf) {
    group(dxf, "0", "ENDSEC");
    group(dxf, "0", "EOF");
}

float display(int32_t metres) {
    return ToDisplayUnits(static_cast<float>(metres), LengthQuantity);
}

// The options dialog, then the drawing built by `bytes` in place of the file.
template <typename Bytes> void exportDrawing(const std::string &fileName, Bytes bytes) {
    VB::SetScreenPointer(VB::vbDefault);
    ExportConfirmed = false;
    ShowExportOptions();
    if (!ExportConfirmed)
        return;
    VB::SetScreenPointer(VB::vbHourglass);
    ReplaceFileContents(fileName, bytes());
    VB::SetScreenPointer(VB::vbDefault);
    Redraw();
}

} // namespace

void DxfLine(std::string &dxf, std::string_view layer, int32_t colour, float x1, float y1, float z1, float x2,
             float y2, float z2) {
    group(dxf, "0", "LINE");
    group(dxf, "8", layer);
    group(dxf, "62", colour);
    group(dxf, "10", x1);
    group(dxf, "20", y1);
    group(dxf, "30", z1);
    group(dxf, "11", x2);
    group(dxf, "21", y2);
    group(dxf, "31", z2);
}

void DxfText(std::string &dxf, std::string_view layer, int height, std::string_view text, float x, float y,
             float z) {
    placedEntity(dxf, "TEXT", layer, x, y, z, height);
    group(dxf, "1", text);
}

void DxfCircle(std::string &dxf, std::string_view layer, int radius, float x, float y, float z) {
    placedEntity(dxf, "CIRCLE", layer, x, y, z, radius);
}

std::string DxfTrueBytes() {
    std::string dxf;
    dxf.reserve(static_cast<std::size_t>(AirwayCount) * 600 + 256);
    sectionStart(dxf);
    floatingTexts(dxf, [](int32_t x, int32_t y, int32_t z, float &dx, float &dy, float &dz) {
        dx = display(x);
        dy = display(y);
        dz = display(z);
    });
    for (int i = 1; i <= AirwayCount; ++i) {
        const int a = ExportVisibleOnly ? (VisibleAirways.InBounds(i) ? VisibleAirways(i) : 0) : i;
        if (a == 0)
            break;
        const int32_t flags = AirwayFlags(a);
        const int32_t colour = (flags & AirwayFlag::ExhaustAir) ? ExhaustColour
                               : (flags & AirwayFlag::FreshAir) ? FreshColour
                                                                : OtherColour;
        const Segment s{display(AirwayStart(1, a)), display(AirwayStart(2, a)), display(AirwayStart(3, a)),
                        display(AirwayEnd(1, a)),   display(AirwayEnd(2, a)),   display(AirwayEnd(3, a))};
        airwayEntities(dxf, a, s, colour, ExportArrowSize > 0, ExportNodeCircleSize > 0);
    }
    sectionEnd(dxf);
    return dxf;
}

std::string DxfScreenBytes() {
    std::string dxf;
    dxf.reserve(static_cast<std::size_t>(AirwayScreenCount) * 700 + 512);
    banner(dxf);
    sectionStart(dxf);
    floatingTexts(dxf, [](int32_t x, int32_t y, int32_t z, float &dx, float &dy, float &dz) {
        double sx = 0, sy = 0;
        ProjectPoint(x, y, z, sx, sy);
        dx = static_cast<float>(sx * AxisSignX);
        dy = static_cast<float>(-sy * AxisSignY);
        dz = 0;
    });
    const int count = std::min(AirwayScreenCount, AirwayScreen.UBound());
    for (int k = 1; k <= count; ++k) {
        const AirwayScreenRecord &r = AirwayScreen(k);
        const int a = r.airway;
        if (!AirwayFlags.InBounds(a))
            continue;
        auto colour = static_cast<int32_t>(std::llabs(static_cast<int64_t>(r.colour)));
        for (int i = 0; i <= 7; ++i)
            if (ColourTable.InBounds(i) && colour == ColourTable(i))
                colour = ScreenColourNumber[i];
        airwayEntities(dxf, a, Segment{r.x1, -r.y1, 0, r.x2, -r.y2, 0}, colour, true, true);
    }
    sectionEnd(dxf);
    return dxf;
}

void ExportDxfTrue(const std::string &fileName) {
    exportDrawing(fileName, DxfTrueBytes);
}

void ExportDxfScreen(const std::string &fileName) {
    exportDrawing(fileName, DxfScreenBytes);
}
