#include "simulation/smoke_spread.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/projection.h"
#include "graphics/tools.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBMath.h"
#include "solver/checks.h"
#include "solver/contaminant_spread.h"
#include "solver/driver.h"
#include "solver/pressures.h"
#include "solver/smoke_ui.h"

#include <algorithm>
#include <cmath>

int SavedDataGroup = 0;
int SavedDataItem = 0;
int RetainLegend = 0, LegendSet = 0;
bool SettingDataCombos = false;

namespace {

constexpr int LatestOnSlider = 10800; // s: the time slider ends at three hours
// The data type shown during a spread: "Other" / "Contaminant".
constexpr int OtherGroup = 5, ContaminantItem = 5;

// The common precondition: results of a successful simulation. Simulates first when they are out of
// date; false (after the message) when the network still does not balance.
bool balanced(bool trace) {
    if (!NetworkBalanced) {
        ShowProgress = 1;
        AnalysisMode = 0;
        Simulate();
        SetVisibleAirways();
        if (trace)
            RotateView();
    }
    if (NetworkBalanced)
        return true;
    VB::MsgBox(trace ? "Network must be successfully balanced before smoke sourcing simulation can work"
                     : "Network must be successfully balanced before smoke simulation can work",
               VB::vbOKOnly);
    // Nothing was computed, so nothing is shown as a result.
    SmokeMode = 0;
    Redraw();
    return false;
}

// Steps 11 .. 16: the legend, the levels, the data type and the time slider.
void finishSpread() {
    Smoke().UnloadDialog();
    SetVisibleAirways();
    RotateView();
    SmokeMode = 1;
    SmokeBusy = true;
    Smoke().LoadLegend();
    PlaceLegendWindow();
    for (int i = 1; i <= 5; ++i)
        SmokeLegendLevel(i) = static_cast<float>(VB::Val(Smoke().LegendBox(i)));
    float maximum = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        maximum = std::max(maximum, static_cast<float>(AirwaySmoke(2, a)));
    SmokeMaximum = maximum;
    for (int i = 0; i <= 5; ++i) {
        const double level =
            RetainLegend != 0 && LegendSet != 0 ? SmokeLegendLevel(i) : SmokeMaximum - SmokeMaximum / 5 * i;
        Smoke().SetLegendBox(i, LegendLevelText(level));
        SmokeLegendLevel(i) = static_cast<float>(VB::Val(LegendLevelText(level)));
    }
    LegendSet = 1;
    Shell().FocusActiveWindow();
    SetVisibleAirways();
    RotateView();
    // Another item of "Other" stays shown: only a different group is switched.
    if (DataGroup != OtherGroup) {
        SettingDataCombos = true;
        Shell().SetDataComboIndexes(OtherGroup - 1, ContaminantItem - 2);
        SettingDataCombos = false;
    }
    RedrawAll();
    ShowSmokeTime();
    SmokeBusy = false;
}

} // namespace

void ShowSmokeDialog() {
    Smoke().ShowDialog();
    VB::SetScreenPointer(VB::vbHourglass);
    SmokeSimulate();
    VB::SetScreenPointer(VB::vbDefault);
}

void SmokeSimulate() {
    try {
        if (!balanced(false))
            return;
        // The type shown before; while the contaminant itself is shown there is nothing to keep.
        if (!(DataGroup == OtherGroup && DataItem == ContaminantItem)) {
            SavedDataGroup = DataGroup;
            SavedDataItem = DataItem;
        }
        RunState = 0;
        if (AirwayCount <= 1) {
            VB::MsgBox("No Data to Simulate", VB::vbExclamation);
            return;
        }
        VB::BusyScope busy;
        if (!busy.Acquired())
            return;
        if (!SourcesEdited)
            RetainLegend = Smoke().RetainLegendTicked() ? 1 : 0;
        // The results (and the sorted order) are kept in the network file.
        NetworkSaved = 0;
        UpdateNodeKeys();
        // The connection lists follow the slots, so they are rebuilt after the records move.
        if (!SortAirwayRecords().empty())
            SetVisibleAirways();
        BuildConnections();
        if (!SpreadContaminant()) {
            VB::MsgBox("No contaminant source with airflow - nothing to simulate", VB::vbExclamation);
            // Without a legend on screen nothing is shown as a result.
            if (!Smoke().LegendLoaded())
                SmokeMode = 0;
            SetVisibleAirways();
            RotateView();
            RedrawAll();
            return;
        }
        finishSpread();
    } catch (const std::exception &) {
        VB::MsgBox("Error during gas simulation - check data", VB::vbOKOnly);
        SmokeMode = 0;
        SmokeBusy = false;
        Smoke().UnloadDialog();
        SetVisibleAirways();
        RotateView();
        RedrawAll();
    }
}

void ShowSmokeTime() {
    int latest = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwaySmoke(2, a) > 1 && AirwaySmokeTime(a) > latest)
            latest = static_cast<int>(VB::RoundHalfEven(AirwaySmokeTime(a)));
    latest = std::min(latest + 1, LatestOnSlider);
    Smoke().SetTimeSlider(latest);
    SmokeDisplayTime = 0;
    PrepareDrawing();
}

void SmokeTrace() {
    if (!balanced(true))
        return;
    VB::BusyScope busy;
    if (!busy.Acquired())
        return;
    SmokeMode = 2;
    // The trace marks are kept in the network file.
    NetworkSaved = 0;
    MarkSmokeTrace();
    RedrawAll();
    // Loaded for PlaceTraceWindow, which the callers run next.
    Smoke().LoadTrace();
}

void ClearContaminantSources() {
    for (int a = 1; a <= AirwayCount; ++a) {
        if ((AirwayFlags(a) & AirwayFlag::ContaminantSource) || AirwayContaminant(a) != 0)
            NetworkSaved = 0;
        AirwayFlags(a) &= ~AirwayFlag::ContaminantSource;
        AirwayContaminant(a) = 0;
    }
}

void ClearSmokeReports() {
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwaySmoke(1, a) != 0 || AirwaySmoke(2, a) != 0)
            NetworkSaved = 0;
        AirwaySmoke(1, a) = 0;
        AirwaySmoke(2, a) = 0;
    }
}

void CloseSmokeLegend() {
    Smoke().UnloadLegend();
}

void RestoreSavedDataType() {
    const bool valid = SavedDataGroup >= 1 && SavedDataGroup <= 5 && SavedDataItem >= 2 &&
                       SavedDataItem <= 10 && DataTypeCaption.InBounds(SavedDataGroup, SavedDataItem) &&
                       !DataTypeCaption(SavedDataGroup, SavedDataItem).empty();
    if (!valid)
        return;
    DataGroup = SavedDataGroup;
    DataItem = SavedDataItem;
    SettingDataCombos = true;
    Shell().SetDataComboIndexes(DataGroup - 1, DataItem - 2);
    SettingDataCombos = false;
}
