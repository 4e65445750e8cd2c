// Readings of the remote stations beside their airways, with the alarm colours and the flow a station's
// first channel sets.
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBox.h"
#include "platform/System.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>

namespace {

constexpr int32_t White = 0xFFFFFF;
constexpr int32_t Red = 0x0000FF; // red in the low byte
constexpr int32_t Blue = 0xFF0000;
constexpr double StationPi = 3.1415926;

// Cross-section area from the shape bits (m²), the last matching bit winning; no services deduction.
double crossSection(int a) {
    const int32_t flags = AirwayFlags(a);
    double area = 0;
    if (flags & AirwayFlag::Round)
        area = static_cast<double>(AirwaySize(2, a)) * AirwaySize(2, a) * StationPi / 4;
    if (flags & AirwayFlag::Rectangular)
        area = static_cast<double>(AirwaySize(1, a)) * AirwaySize(2, a);
    if (flags & AirwayFlag::Irregular)
        area = AirwaySize(2, a);
    return area;
}

// The flow meaning of channel c's name.
StationFlow channelFlow(int s, int c) {
    std::string kind = StationChannelName(s, c);
    std::transform(kind.begin(), kind.end(), kind.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    if (kind == "QUANTITY")
        return StationFlow::Quantity;
    if (kind == "VELOCITY")
        return StationFlow::Velocity;
    if (kind == "PRESSURE")
        return StationFlow::Pressure;
    return StationFlow::None;
}

} // namespace

StationFlow StationFlowKind(int s) {
    if (!StationName.InBounds(s))
        return StationFlow::None;
    const StationFlow first = channelFlow(s, 1);
    if (StationUpdateFlow(s) != 0 && first != StationFlow::None)
        return first;
    for (int c = 1; c <= StationChannels; ++c)
        if (channelFlow(s, c) != StationFlow::None)
            return StationFlow::Release;
    return StationFlow::None;
}

// A reading that cannot give a real flow the model can hold (a pressure without a positive resistance or
// below zero, a product beyond the single range) leaves the flow as it is.
void ApplyStationFlow(int a, StationFlow kind) {
    if (kind == StationFlow::None)
        return;
    if (kind == StationFlow::Release) {
        AirwayFlags(a) &= ~AirwayFlag::FixedFlow;
        return;
    }
    const int s = AirwayStation(a);
    const double v = static_cast<double>(StationReading(s, 1)) * StationFactor(s, 1);
    double flow = v; // m³/s
    if (kind == StationFlow::Velocity) {
        flow = v * crossSection(a);
    } else if (kind == StationFlow::Pressure) {
        const double r = AirwayResistance(a);
        flow = r > 0 && v >= 0 ? std::sqrt(v / r) : NAN;
    }
    if (std::fabs(flow) <= FLT_MAX)
        AirwayFlow(a) = static_cast<float>(flow);
    if (v != 0)
        AirwayFlags(a) |= AirwayFlag::FixedFlow;
    else
        AirwayFlags(a) &= ~AirwayFlag::FixedFlow;
}

void DrawStationReadings(int a) {
    PictureBox *pic = ActivePicture();
    const int s = AirwayStation(a);
    if (pic == nullptr || !StationName.InBounds(s))
        return;
    // A branch-name size of 0 cannot be set: the size in force stays.
    if (NameFontSize > 0)
        pic->FontSize = NameFontSize;
    pic->ForeColor = White;
    pic->CurrentX = LabelX;
    pic->CurrentY = LabelY + LetterWidth;
    pic->Print(StationName(s) + "   " + StationFileText(s, 2));
    ApplyStationFlow(a, StationFlowKind(s));
    // Each line of the block stands one line of its own font below the one before, whatever the font.
    const double line = pic->TextHeight("F");
    double d = LetterWidth + line;
    for (int c = 1; c <= StationChannels; ++c) {
        pic->ForeColor = White;
        pic->CurrentX = LabelX;
        pic->CurrentY = LabelY + d;
        const double v = static_cast<double>(StationReading(s, c)) * StationFactor(s, c);
        if (AlarmsOn != 0) {
            if (StationAlarmLow(s, c) != 0 && v < StationAlarmLow(s, c)) {
                pic->ForeColor = Red;
                if (AlarmBeep == -1)
                    VB::Beep();
            }
            if (StationAlarmHigh(s, c) != 0 && v > StationAlarmHigh(s, c)) {
                pic->ForeColor = Blue;
                if (AlarmBeep == -1)
                    VB::Beep();
            }
        }
        if (!StationChannelAbbrev(s, c).empty()) {
            pic->Print(StationChannelAbbrev(s, c) + "  " + FormatPattern(v, "0.0") +
                       StationChannelUnit(s, c));
            d += line;
        }
    }
}
