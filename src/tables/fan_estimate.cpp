// Estimating a fan's missing static or total curve from the other through the velocity pressure at its
// exit diameter: total pressure = static pressure + velocity pressure.
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"
#include "tables/frmFanData.h"

#include <array>

namespace {

constexpr int Points = 10;

// Exit area (m²) and the velocity pressure (Pa) of each point.
std::array<float, Points + 1> velocityPressures(int fan, float &area) {
    area = static_cast<float>(static_cast<double>(FanDiameter(fan)) * FanDiameter(fan) * 3.141592654 / 4);
    std::array<float, Points + 1> pv{};
    for (int p = 1; p <= Points; ++p) {
        if (area > 0) {
            const double v = FanCurveFlow(p, fan) / static_cast<double>(area);
            pv[p] = static_cast<float>(v * v * AirDensity / 2);
        }
    }
    return pv;
}

// The network file carries the fans: a changed point marks the network changed.
void setPressure(int curve, int p, int fan, float value) {
    if (FanCurvePressure(curve, p, fan) != value)
        NetworkSaved = 0;
    FanCurvePressure(curve, p, fan) = value;
}

struct EstimateCommand {
    const char *caption;
    const char *prompt;
};

constexpr EstimateCommand Estimates[2][2] = {
    {{"Estimate static curve",
      "Gustrom will attempt to calculate a static fan curve based on the total curve and fan diameter. This "
      "may not represent the true fan curve."},
     {"Estimate static curves",
      "Gustrom will attempt to calculate a static fan curve for all fans based on the total curves and fan "
      "diameters. This may not represent the true fan curves."}},
    {{"Estimate total curve",
      "Gustrom will attempt to calculate a total fan curve based on the static curve and fan diameter. This "
      "may not represent the true fan curve."},
     {"Estimate total curves",
      "Gustrom will attempt to calculate a total fan curve for all fans based on the static curves and fan "
      "diameters. This may not represent the true fan curves."}}};

} // namespace

void frmFanData::StaticFan(int fan) {
    // Estimated from nothing, a static-only fan would lose its curve.
    if (ColumnEmpty(fan, 2))
        return;
    float area = 0;
    const auto pv = velocityPressures(fan, area);
    for (int p = 1; p <= Points; ++p)
        setPressure(1, p, fan, static_cast<float>(VB::Int(FanCurvePressure(2, p, fan) - pv[p])));
}

void frmFanData::TotalFan(int fan) {
    if (FanCurveFlow(1, fan) == 0 && FanCurveFlow(Points, fan) == 0)
        return;
    float area = 0;
    const auto pv = velocityPressures(fan, area);
    if (area == 0) {
        VB::MsgBox(
            "No fan diameter has been entered for Fan " + std::to_string(fan) +
            ".  Cannot estimate Total Pressure unless the velocity pressure can be calculated from the fan "
            "diameter!!");
        return;
    }
    for (int p = 1; p <= Points; ++p)
        setPressure(2, p, fan, static_cast<float>(VB::Int(pv[p] + FanCurvePressure(1, p, fan))));
}

void frmFanData::estimate(bool total, bool all) {
    const EstimateCommand &command = Estimates[total ? 1 : 0][all ? 1 : 0];
    if (VB::MsgBox(command.prompt, VB::vbOKCancel, command.caption) != VB::vbOK)
        return;
    // A cell or diameter still being typed is part of what the window shows; one refused stops the estimate.
    const bool kept = commitEdit();
    DrawFanCurve();
    if (!kept || (TxtOutDiam->isModified() && !storeDiameter(true)))
        return;
    const int first = all ? 1 : CurrentFan, last = all ? MaxFans : CurrentFan;
    for (int f = first; f <= last; ++f)
        total ? TotalFan(f) : StaticFan(f);
    FillCurveGrid();
}

void frmFanData::mnuStaticCurrent_Click() {
    estimate(false, false);
}

void frmFanData::mnuStaticAll_Click() {
    estimate(false, true);
}

void frmFanData::mnuTotalCurrent_Click() {
    estimate(true, false);
}

void frmFanData::mnuTotalAll_Click() {
    estimate(true, true);
}
