// The smoke report and contaminant source tools, and the placing of the smoke trace and legend windows.
#include "graphics/drawing.h"
#include "graphics/editor_windows.h"
#include "graphics/graphics_state.h"
#include "graphics/picking.h"
#include "graphics/tool_state.h"
#include "graphics/tools.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/VBMath.h"

#include <cmath>
#include <limits>
#include <string>

namespace {

// Smoke marks of the last trace (AirwaySmoke component 2).
constexpr int TracedSmoked = 4;
constexpr int TracedClear = 7;
// The concentration a source gets with a left click.
constexpr float DefaultConcentration = 100;

void makeSource(int a, float concentration) {
    AirwayFlags(a) |= AirwayFlag::ContaminantSource;
    AirwayContaminant(a) = concentration;
    AirwayIconPosition(a) = PickedFraction - 0.3f;
}

} // namespace

void PlaceSmokeReport() {
    const int a = AirwayAtCursor();
    if (a == 0)
        return;
    PickedAirway = 0;
    if (SmokeReportKind == 1 && AirwaySmoke(2, a) == TracedClear &&
        VB::MsgBox("You are about to place a smoke report in a defined clear airway - is this correct",
                   VB::vbYesNo | VB::vbQuestion, "Conflicting Report") != VB::vbYes)
        return;
    if (SmokeReportKind == 2 && AirwaySmoke(2, a) == TracedSmoked &&
        VB::MsgBox("You are about to place a 'clear' report in a defined smoked airway - is this correct",
                   VB::vbYesNo | VB::vbQuestion, "Conflicting Report") != VB::vbYes)
        return;
    if (AirwaySmoke(1, a) == SmokeReportKind) {
        AirwaySmoke(1, a) = 0;
    } else {
        AirwaySmoke(1, a) = SmokeReportKind;
        AirwayIconPosition(a) = PickedFraction - 0.3f;
    }
    // Reports are saved with the network.
    NetworkSaved = 0;
    RedrawAll();
}

void ContaminantSourceTool() {
    const int a = AirwayAtCursor();
    if (a == 0)
        return;
    if (MouseButton == 1) {
        if (AirwayFlags(a) & AirwayFlag::ContaminantSource) {
            AirwayFlags(a) &= ~AirwayFlag::ContaminantSource;
            AirwayContaminant(a) = 0;
        } else {
            makeSource(a, DefaultConcentration);
        }
    } else {
        const float current = AirwayContaminant(a) == 0 ? DefaultConcentration : AirwayContaminant(a);
        const std::string answer =
            VB::InputBox("Enter contamination concentration", "Concentration", VB::CStrSingle(current));
        const double concentration = VB::Val(answer);
        // No answer, or a concentration no source can have (or a stored Single cannot hold): nothing changes.
        if (answer.empty() || !std::isfinite(concentration) || concentration < 0 ||
            concentration > std::numeric_limits<float>::max()) {
            PickedAirway = 0;
            Redraw();
            return;
        }
        if (concentration != 0) {
            makeSource(a, static_cast<float>(concentration));
        } else {
            AirwayContaminant(a) = 0;
            AirwayFlags(a) &= ~AirwayFlag::ContaminantSource;
        }
    }
    PickedAirway = 0;
    SourcesEdited = true;
    // Sources are saved with the network.
    NetworkSaved = 0;
    Redraw();
}

void PlaceTraceWindow() {
    Editor().PlaceTraceWindow();
}

void PlaceLegendWindow() {
    Editor().PlaceLegendWindow();
}
