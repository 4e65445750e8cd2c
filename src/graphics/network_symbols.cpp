// Arrowheads, node pictures and the airway symbols of the network drawing.
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double ArrowPi = 3.141592654;
// Half the opening angle of an arrowhead, radians.
constexpr double BarbAngle = 0.3;

} // namespace

void PaintSymbol(DrawingSurface &surface, int slot, double x, double y, double size) {
    if (SymbolPicture.InBounds(slot))
        surface.PaintPicture(SymbolPicture(slot), x - size / 2, y - size / 2, size, size);
}

ArrowBarbs ArrowheadBarbs(double tipX, double tipY, double dx, double dy, double size) {
    double theta = dx == 0 ? ArrowPi / 2 : std::atan(dy / dx);
    if (dx > 0)
        theta += ArrowPi;
    if (dy > 0 && dx == 0)
        theta += ArrowPi;
    return {tipX + size * std::cos(theta + BarbAngle), tipY + size * std::sin(theta + BarbAngle),
            tipX + size * std::cos(theta - BarbAngle), tipY + size * std::sin(theta - BarbAngle)};
}

void DrawArrow(int a) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || (GraphicsDetail & 64) == 0 || !LayerTest(a, 32) || LabelOnScreen != -1)
        return;
    const double dx = static_cast<double>(SegmentX2) - SegmentX1;
    const double dy = static_cast<double>(SegmentY2) - SegmentY1;
    if (dx == 0 && dy == 0)
        return;
    // The tip sits four fifths of the way along; the barbs point back toward the entry end.
    const double tx = SegmentX1 + 0.8 * dx, ty = SegmentY1 + 0.8 * dy;
    const ArrowBarbs barbs = ArrowheadBarbs(tx, ty, dx, dy, ArrowSize);
    pic->Line(barbs.x2, barbs.y2, tx, ty, LineColour);
    pic->Line(tx, ty, barbs.x1, barbs.y1, LineColour);
}

void DrawNodeSymbols(int a) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || (GraphicsDetail & 32) == 0 || !LayerTest(a, 64) || StartOnScreen != 1)
        return;
    PaintSymbol(*pic, SymbolSlot::Node, SegmentX1, SegmentY1, NodeSize);
    // Exit ends get their picture from the airway leaving them, except where no airway may leave them in
    // the drawing: steep airways, and every airway while the connection lists are still empty.
    const bool noLinks = !AirwayLinks.InBounds(2, 1, a) || AirwayLinks(2, 1, a) == 0;
    if (noLinks || AirwayIncline == 5)
        PaintSymbol(*pic, SymbolSlot::Node, SegmentX2, SegmentY2, NodeSize);
}

void DrawAirwaySymbols(int a) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    // A symbol over the corner of the middle texts (a fixed quantity's, or any on an airway seen end-on)
    // would hide their first letters: they start right of it.
    const auto paint = [pic](int slot, double x, double y, double size) {
        PaintSymbol(*pic, slot, x, y, size);
        if (std::abs(x - LabelX) < size / 2 && std::abs(y - LabelY) < size / 2)
            LabelShift = std::max(LabelShift, static_cast<float>(x + size / 2 - LabelX));
    };
    const int32_t flags = AirwayFlags(a);
    const bool layerShown = (flags & AirwayFlag::LayerVisible) != 0;
    const bool fixedFlow = (flags & AirwayFlag::FixedFlow) != 0;
    if (AirwayResistanceType(a) > 0 || AirwayFan(a) != 0 || fixedFlow) {
        if (layerShown && (GraphicsDetail & 16) != 0) {
            if (AirwayFan(a) != 0)
                paint(SymbolSlot::Fan, IconX, IconY, FanSize);
            if (fixedFlow)
                paint(AirwayPressure(a) < 0 ? SymbolSlot::Regulator : SymbolSlot::Fixed, LabelX, LabelY,
                      FanSize);
        }
        if (AirwayResistanceType(a) != 0 && (GraphicsDetail & 8) != 0 && layerShown) {
            if (AirwayResistanceType(a) == 1)
                paint(SymbolSlot::BulkheadSmall, IconX, IconY, BulkheadSize);
            else
                paint(SymbolSlot::ObstructionSmall, IconX, IconY, ObstructionSize);
        }
    }
    if ((flags & AirwayFlag::ContaminantSource) != 0 && (GraphicsDetail & 128) != 0 && layerShown)
        paint(SymbolSlot::Contaminant, IconX, IconY, SmokeSize);
    const int pin = AirwaySmoke.InBounds(1, a) ? AirwaySmoke(1, a) : 0;
    // The pin stands on the symbol point.
    if (pin != 0 && SymbolPicture.InBounds(SymbolSlot::PinBase + pin))
        pic->PaintPicture(SymbolPicture(SymbolSlot::PinBase + pin), IconX, IconY - 0.9 * SmokeSize, SmokeSize,
                          SmokeSize);
}
