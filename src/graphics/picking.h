#pragma once
// What lies under the cursor in the active graphics window. The searches scan what was drawn last (the
// screen records and the shown floating texts), so a pick always agrees with the picture. Positions given
// to them are view positions (window position times the axis signs).
#include <cstdint>
#include <string>
#include <vector>

// The node name a pick returns when it finds no node.
inline constexpr const char *NoNodeName = "&&";

// Whether airway a (1..AirwayCount) carries the selection mark; false for any other number.
bool AirwaySelected(int a);

// Nearest airway end within PickTolerance (city-block distance inside a square; earlier record and the
// start end win ties). endNumber = +a for the start of airway a, -a for its end, 0 none. On a hit X, Y, Z
// and nodeName are the end's point and name and LevelElevation its Z; on a miss they are left as passed
// except nodeName, which becomes "&&".
void PickAirwayEnd(float x, float y, int32_t &X, int32_t &Y, int32_t &Z, std::string &nodeName,
                   int &endNumber);

// Nearest airway within the tolerance and the world point on it. On a hit PickedFraction is where the
// cursor lies along the drawn segment and X, Y, Z (and LevelElevation) the world point at that fraction;
// on a miss airway = 0 and X, Y, Z the cursor at the working elevation.
void PickAirway(float x, float y, int32_t &X, int32_t &Y, int32_t &Z, int &airway);
// The airway PickAirway finds at the cursor (0 none), its world point not wanted.
int AirwayAtCursor();

// Nearest shown floating text within the tolerance. On a hit x, y snap to the text's anchor and X, Y, Z,
// text are the text's; on a miss textNumber = 0 and X, Y, Z the cursor at the working elevation.
void PickFloatingText(float &x, float &y, int32_t &X, int32_t &Y, int32_t &Z, std::string &text,
                      int &textNumber);

// Whether any drawn airway has its start, end or midpoint inside the rectangle (bounds included; the
// caller orders the corners). When nothing is inside the active window is redrawn, which erases the
// rubber rectangle.
bool FenceHoldsAirways(int32_t left, int32_t bottom, int32_t right, int32_t top);
// The drawn airways with their start, end or midpoint inside the rectangle (bounds included), in drawing
// order, each once.
std::vector<int> AirwaysInFence(double left, double bottom, double right, double top);

// Whether the point lies inside the fence, bounds included.
inline bool InsideFence(double px, double py, double left, double bottom, double right, double top) {
    return left <= px && px <= right && bottom <= py && py <= top;
}
