// The fan editor's chart: the curve grid read back into the current fan, then its static, total and
// efficiency curves drawn in PicFan.
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBoxView.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"
#include "tables/frmFanData.h"

#include <algorithm>
#include <array>

namespace {

constexpr int Points = 10;

struct CurvePoint {
    float statics = 0, total = 0, flow = 0;
    int efficiency = 0;
    bool operator==(const CurvePoint &) const = default;
};

CurvePoint pointOf(int p, int f) {
    return {FanCurvePressure(1, p, f), FanCurvePressure(2, p, f), FanCurveFlow(p, f),
            FanCurveEfficiency(p, f)};
}

void storePoint(int p, int f, const CurvePoint &c) {
    FanCurvePressure(1, p, f) = c.statics;
    FanCurvePressure(2, p, f) = c.total;
    FanCurveFlow(p, f) = c.flow;
    FanCurveEfficiency(p, f) = c.efficiency;
}

} // namespace

void frmFanData::DrawFanCurve() {
    const int f = CurrentFan;
    if (f < 1 || f > MaxFans)
        return;
    const VBGrid &g = *Spreadsheet;
    std::array<CurvePoint, Points + 1> points;
    std::array<CurvePoint, Points + 1> before;
    for (int p = 1; p <= Points; ++p)
        before[p] = pointOf(p, f);

    // 1. Read-back, in SI: an empty cell or one that is not a number repeats the value of the row above; a
    // cell as the last fill left it keeps the value it shows, unrounded.
    float runStatic = 0, runTotal = 0, runFlow = 0, runEfficiency = 0;
    float largestFlow = 0, largestPressure = 0;
    const auto read = [&](int p, int col, int unit, float &running) {
        const std::string text = g.TextMatrix(p, col);
        const ShownCell &shown = shown_[p][col];
        if (shownFan_ == f && text == shown.text) {
            if (!text.empty())
                running = shown.value;
        } else if (const auto v = VB::StrictNumber(text, ',')) {
            float display = static_cast<float>(*v);
            running = unit == 0 ? display : FromDisplayUnits(display, unit);
        }
    };
    for (int p = 1; p <= Points; ++p) {
        read(p, 1, 8, runStatic);
        read(p, 2, 8, runTotal);
        read(p, 3, 4, runFlow);
        read(p, 4, 0, runEfficiency);
        runFlow = std::max(runFlow, 0.0f);
        runEfficiency = std::clamp(runEfficiency, 0.0f, 100.0f);
        points[p].statics = runStatic;
        points[p].total = runTotal;
        points[p].flow = runFlow;
        points[p].efficiency = VB::CInt(runEfficiency).value_or(0);
        largestFlow = std::max(largestFlow, runFlow);
        largestPressure = std::max({largestPressure, runStatic, runTotal});
    }

    // 2. A fan with data gets a name.
    const std::string shownName = TxtFanName->Text();
    if (largestFlow > 0 && largestPressure > 0 && (shownName == "-none-" || shownName.empty())) {
        FanName(f) = "Fan #" + std::to_string(f);
        FanList->SetList(f - 1, VB::Str(f) + " " + FanName(f));
        TxtFanName->SetText(FanName(f));
        NetworkSaved = 0;
    }

    // 3. Points by falling pressure, total pressure when the static curve is empty; a point equal to an
    // earlier one goes before it. Empty is judged on the curve read, not as the fan was shown: a static curve
    // typed into an empty fan orders its points (ordered by the still empty total curve, they would turn
    // round at every redraw).
    const bool noStatic = std::all_of(points.begin() + 1, points.end(),
                                      [&](const CurvePoint &c) { return c.statics == points[1].statics; });
    const auto key = [noStatic](const CurvePoint &c) { return noStatic ? c.total : c.statics; };
    for (int p = 2; p <= Points; ++p) {
        if (key(points[p - 1]) > key(points[p]))
            continue;
        const CurvePoint taken = points[p];
        int j = p;
        while (j > 1 && key(taken) >= key(points[j - 1])) {
            points[j] = points[j - 1];
            --j;
        }
        points[j] = taken;
    }
    // 4. Empty points at the end repeat the last real point.
    for (int p = 2; p <= Points; ++p)
        if (points[p].statics == 0 && points[p].flow == 0)
            points[p] = points[p - 1];
    for (int p = 1; p <= Points; ++p)
        storePoint(p, f, points[p]);
    if (points != before)
        NetworkSaved = 0;

    // 5. Scales: the largest flow and pressure span 1000 chart units.
    const float flowScale = largestFlow / 1000;
    const float pressureScale = largestPressure / 1000;

    // 6. - 8. The curves, their labels and the frame.
    PictureBox &pic = PicFan->Picture();
    pic.BeginDrawing();
    pic.DrawWidth = 2;
    pic.DrawMode = PictureBox::vbCopyPen;
    const bool staticFlat = points[1].statics == points[Points].statics;
    const bool totalFlat = points[1].total == points[Points].total;
    pic.Cls();
    if (flowScale != 0 && pressureScale != 0) {
        const auto x = [&](int p) { return points[p].flow / flowScale; };
        const auto yStatic = [&](int p) { return 1000 - points[p].statics / pressureScale; };
        const auto yTotal = [&](int p) { return 1000 - points[p].total / pressureScale; };
        const auto yEfficiency = [&](int p) { return 1000 - 10.0 * points[p].efficiency; };
        for (int p = 1; p < Points; ++p) {
            if (!staticFlat)
                pic.Line(x(p), yStatic(p), x(p + 1), yStatic(p + 1), PictureBox::QBColor(0));
            pic.Line(x(p), yEfficiency(p), x(p + 1), yEfficiency(p + 1), PictureBox::QBColor(1));
            if (!totalFlat)
                pic.Line(x(p), yTotal(p), x(p + 1), yTotal(p + 1), PictureBox::QBColor(2));
            if (!staticFlat)
                pic.Circle(x(p), yStatic(p), 20, PictureBox::QBColor(4));
            if (!totalFlat)
                pic.Circle(x(p), yTotal(p), 20, PictureBox::QBColor(6));
        }
        pic.ForeColor = PictureBox::QBColor(0);
        pic.FontName = "MS Serif";
        pic.FontSize = 7;
        const auto text = [&pic](double px, double py, const std::string &s) {
            pic.CurrentX = px;
            pic.CurrentY = py;
            pic.Print(s);
        };
        text(40, -30, "P");
        text(950, 1070, "Q");
        text(0, 1050, "0,0");
        // The ends of the axes: what the curve read spans, however far its typing has come.
        text(40, 20, FormatValue(largestPressure, 8, 1, 0));
        text(680, 1010, FormatValue(largestFlow, 4, 1, 0));
        text(850, -30, "Eff");
        text(850, 40, "100%");
        pic.FontName = "MS Sans Serif";
        pic.FontSize = 8;
    }
    pic.Line(0, 0, 0, 1000, PictureBox::QBColor(0));
    pic.Line(0, 1000, 1000, 1000, PictureBox::QBColor(0));
    pic.Line(1000, 0, 1000, 1000, PictureBox::QBColor(0));
    pic.DrawWidth = 1;
    pic.EndDrawing();
}
