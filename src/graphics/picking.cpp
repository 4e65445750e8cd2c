#include "graphics/picking.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/tool_state.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double NoDistance = 9999999;

// The pick distance of the active window: its world width over the proximity divisor.
float refreshTolerance() {
    if (const PictureBox *pic = ActivePicture())
        WindowExtent = static_cast<float>(pic->ScaleWidth);
    const int divisor = PickDivisor > 0 ? PickDivisor : 25;
    PickTolerance = WindowExtent / static_cast<float>(divisor);
    return PickTolerance;
}

// Screen records that can be read: the count never reaches past the array.
int recordCount() {
    return std::clamp(AirwayScreenCount, 0, AirwayScreen.UBound());
}

bool isAirwaySlot(int a) {
    return a >= 1 && AirwayStart.InBounds(1, a) && AirwayEnd.InBounds(1, a);
}

// The cursor at the working elevation, in whole metres.
void cursorToWorld(float x, float y, int32_t &X, int32_t &Y, int32_t &Z) {
    double wx = 0, wy = 0, wz = LevelElevation;
    ScreenToWorld(x, y, LevelElevation, wx, wy, wz);
    X = RoundToLong(wx);
    Y = RoundToLong(wy);
    Z = RoundToLong(wz);
}

} // namespace

bool AirwaySelected(int a) {
    return a >= 1 && a <= AirwayCount && (AirwayFlags(a) & AirwayFlag::Selected) != 0;
}

void PickAirwayEnd(float x, float y, int32_t &X, int32_t &Y, int32_t &Z, std::string &nodeName,
                   int &endNumber) {
    const double tolerance = refreshTolerance();
    nodeName = NoNodeName;
    endNumber = 0;
    double best = NoDistance;
    const double cx = AxisSignX * static_cast<double>(x), cy = AxisSignY * static_cast<double>(y);
    const int count = recordCount();
    for (int i = 1; i <= count; ++i) {
        const AirwayScreenRecord &r = AirwayScreen(i);
        if (r.airway == 0)
            break;
        double dx = std::abs(r.x1 - cx), dy = std::abs(r.y1 - cy);
        if (dx < tolerance && dy < tolerance && dx + dy < best) {
            endNumber = r.airway;
            best = dx + dy;
        }
        dx = std::abs(r.x2 - cx);
        dy = std::abs(r.y2 - cy);
        if (dx < tolerance && dy < tolerance && dx + dy < best) {
            endNumber = -r.airway;
            best = dx + dy;
        }
    }
    const int a = std::abs(endNumber);
    if (endNumber == 0 || !isAirwaySlot(a)) {
        endNumber = 0;
        return;
    }
    const auto &end = endNumber > 0 ? AirwayStart : AirwayEnd;
    X = end(1, a);
    Y = end(2, a);
    Z = end(3, a);
    const std::string name = (endNumber > 0 ? AirwayStartName(a) : AirwayEndName(a)).str();
    const auto first = name.find_first_not_of(' ');
    nodeName = first == std::string::npos ? std::string()
                                          : name.substr(first, name.find_last_not_of(' ') - first + 1);
    LevelElevation = Z;
}

void PickAirway(float x, float y, int32_t &X, int32_t &Y, int32_t &Z, int &airway) {
    const double tolerance = refreshTolerance();
    airway = 0;
    double best = NoDistance;
    int kept = 0;
    const int count = recordCount();
    for (int i = 1; i <= count; ++i) {
        const AirwayScreenRecord &r = AirwayScreen(i);
        const double x1 = AxisSignX * static_cast<double>(r.x1), y1 = AxisSignY * static_cast<double>(r.y1);
        const double x2 = AxisSignX * static_cast<double>(r.x2), y2 = AxisSignY * static_cast<double>(r.y2);
        if (x1 == x2 && y1 == y2)
            continue;
        const bool upright = x1 == x2;
        const double slope = upright ? 1e8 : (y2 - y1) / (x2 - x1);
        // Nearly level segments are widened up and down, nearly upright ones sideways, so a short stroke
        // can still be hit; diagonal ones are not widened.
        const double widenY = std::abs(slope) < 0.2 ? tolerance : 0;
        const double widenX = std::abs(slope) > 5 ? tolerance : 0;
        if (x < std::min(x1, x2) - widenX || x > std::max(x1, x2) + widenX || y < std::min(y1, y2) - widenY ||
            y > std::max(y1, y2) + widenY)
            continue;
        const double distance =
            upright ? std::abs(x - x1)
                    : std::abs(y - slope * x - (y1 - slope * x1)) / std::sqrt(slope * slope + 1);
        if (distance < best) {
            best = distance;
            airway = r.airway;
            kept = i;
        }
    }
    if (tolerance < best || !isAirwaySlot(airway)) {
        airway = 0;
        cursorToWorld(x, y, X, Y, Z);
        return;
    }
    const AirwayScreenRecord &r = AirwayScreen(kept);
    const double d1 =
        std::hypot(x - AxisSignX * static_cast<double>(r.x1), y - AxisSignY * static_cast<double>(r.y1));
    const double d2 =
        std::hypot(x - AxisSignX * static_cast<double>(r.x2), y - AxisSignY * static_cast<double>(r.y2));
    PickedFraction = static_cast<float>(d1 / (d1 + d2));
    const double f = PickedFraction;
    const int a = airway;
    LevelElevation = AirwayStart(3, a) + (AirwayEnd(3, a) - AirwayStart(3, a)) * f;
    X = RoundToLong(AirwayStart(1, a) + (AirwayEnd(1, a) - static_cast<double>(AirwayStart(1, a))) * f);
    Y = RoundToLong(AirwayStart(2, a) + (AirwayEnd(2, a) - static_cast<double>(AirwayStart(2, a))) * f);
    Z = RoundToLong(LevelElevation);
}

int AirwayAtCursor() {
    int32_t x = 0, y = 0, z = 0;
    int a = 0;
    PickAirway(CursorX, CursorY, x, y, z, a);
    return a;
}

void PickFloatingText(float &x, float &y, int32_t &X, int32_t &Y, int32_t &Z, std::string &text,
                      int &textNumber) {
    const double tolerance = refreshTolerance();
    textNumber = 0;
    double best = NoDistance;
    const int last = std::min(MaxFloatingTexts, FloatingTextShown.UBound());
    for (int i = 1; i <= last; ++i) {
        const int t = FloatingTextShown(i);
        if (t == 0)
            break;
        if (!FloatingTextPosition.InBounds(3, t))
            continue;
        double sx = 0, sy = 0;
        ProjectPoint(FloatingTextPosition(1, t), FloatingTextPosition(2, t), FloatingTextPosition(3, t), sx,
                     sy);
        const double dx = std::abs(sx - x), dy = std::abs(sy - y);
        if (dx < tolerance && dy < tolerance && dx + dy < best) {
            textNumber = t;
            best = dx + dy;
            x = static_cast<float>(sx);
            y = static_cast<float>(sy);
        }
    }
    if (textNumber == 0) {
        cursorToWorld(x, y, X, Y, Z);
        return;
    }
    X = FloatingTextPosition(1, textNumber);
    Y = FloatingTextPosition(2, textNumber);
    Z = FloatingTextPosition(3, textNumber);
    if (FloatingTextString.InBounds(textNumber))
        text = FloatingTextString(textNumber);
}

namespace {

// Whether screen record r has its start, end or midpoint inside the rectangle.
bool recordInFence(const AirwayScreenRecord &r, double left, double bottom, double right, double top) {
    const double x1 = AxisSignX * static_cast<double>(r.x1), y1 = AxisSignY * static_cast<double>(r.y1);
    const double x2 = AxisSignX * static_cast<double>(r.x2), y2 = AxisSignY * static_cast<double>(r.y2);
    return InsideFence(x1, y1, left, bottom, right, top) || InsideFence(x2, y2, left, bottom, right, top) ||
           InsideFence((x1 + x2) / 2, (y1 + y2) / 2, left, bottom, right, top);
}

} // namespace

bool FenceHoldsAirways(int32_t left, int32_t bottom, int32_t right, int32_t top) {
    bool found = false;
    const int count = recordCount();
    for (int i = 1; i <= count && !found; ++i)
        found = recordInFence(AirwayScreen(i), left, bottom, right, top);
    if (!found)
        Redraw();
    return found;
}

std::vector<int> AirwaysInFence(double left, double bottom, double right, double top) {
    std::vector<int> inside;
    std::vector<bool> taken(static_cast<size_t>(std::max(AirwayCount, 0)) + 1, false);
    const int count = recordCount();
    for (int i = 1; i <= count; ++i) {
        const AirwayScreenRecord &r = AirwayScreen(i);
        if (r.airway < 1 || r.airway > AirwayCount || taken[static_cast<size_t>(r.airway)] ||
            !recordInFence(r, left, bottom, right, top))
            continue;
        taken[static_cast<size_t>(r.airway)] = true;
        inside.push_back(r.airway);
    }
    return inside;
}
