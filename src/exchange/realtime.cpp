#include "exchange/realtime.h"

#include "exchange/remotes.h"
#include "graphics/drawing.h"
#include "graphics/network_drawing.h"
#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/safe_file.h"
#include "model/text_files.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBError.h"
#include "solver/driver.h"

#include <QScopedValueRollback>
#include <array>
#include <type_traits>

namespace {

constexpr int InputTimer = 1, OutputTimer = 2;

// Station lines are TAB-separated.
constexpr float ReadingsVersion = 2.9f;

// A redraw or another long operation is running: realtime work waits for the next tick.
bool waiting() {
    return VB::IsBusy() || VB::ScreenPointer() == VB::vbHourglass;
}

void stopInput() {
    Shell().SetRealtimeTimerEnabled(InputTimer, false);
    VB::MsgBox("Error - Can't find correct realtime station file - check directory or file name in TOOLS => "
               "realtime stations");
    Shell().SetMenuChecked("mnuRemote", false);
    RealtimeInputOn = 0;
}

// A station number outside the table has no slot: its line is skipped.
void storeStationLine() {
    const int s = StrictInteger(LenientValue(LineFields(1)));
    if (s < 1 || s > MaxStations)
        return;
    StationFileText(s, 2) = LineFields(3);
    for (int c = 1; c <= StationChannels; ++c)
        StationReading(s, c) = StrictLong(LenientValue(LineFields(c + 3)));
}

// Every linked airway takes its station's first-channel flow, drawn or not, so that a re-simulation
// balances around the measured flows.
void applyStationFlows() {
    std::array<StationFlow, MaxStations + 1> kinds{};
    for (int s = 1; s <= MaxStations; ++s)
        kinds[static_cast<size_t>(s)] = StationFlowKind(s);
    for (int a = 1; a <= AirwayCount; ++a) {
        const int s = AirwayStation(a);
        if (AirwayFlags(a) != 0 && s >= 1 && s <= MaxStations)
            ApplyStationFlow(a, kinds[static_cast<size_t>(s)]);
    }
}

// A name without its leading and trailing blanks.
void appendTrimmed(std::string &out, const std::string &s) {
    const auto b = s.find_first_not_of(' ');
    if (b != std::string::npos)
        out.append(s, b, s.find_last_not_of(' ') - b + 1);
}

const char *const ResultsHeading[] = {"Branch No",
                                      "From Node",
                                      "To Node",
                                      "Airway Name",
                                      "X1",
                                      "Y1",
                                      "Z1",
                                      "X2",
                                      "Y2",
                                      "Z2",
                                      "Dim 1",
                                      "Dim 2",
                                      "k factor",
                                      "shock factor",
                                      "resist",
                                      "quantity",
                                      "fan #",
                                      "no fans",
                                      "length",
                                      "pres change",
                                      "smoke",
                                      "prim layer",
                                      "sec layer",
                                      "entry pres",
                                      "exit pres",
                                      "no of airways",
                                      "Remote Station"};

void appendResultsLine(std::string &out, int a, char separator) {
    auto number = [&](auto x) {
        out += '\t';
        if constexpr (std::is_same_v<decltype(x), float>)
            AppendNumberText(out, x, separator);
        else
            AppendNumberText(out, static_cast<int32_t>(x));
    };
    AppendNumberText(out, AirwayNumber(a));
    for (const VBArray<NodeName> *names : {&AirwayStartName, &AirwayEndName, &AirwayName}) {
        out += '\t';
        appendTrimmed(out, (*names)(a).str());
    }
    for (int i = 1; i <= 3; ++i)
        number(AirwayStart(i, a));
    for (int i = 1; i <= 3; ++i)
        number(AirwayEnd(i, a));
    number(AirwaySize(1, a));
    number(AirwaySize(2, a));
    number(AirwayFrictionFactor(a));
    number(AirwayShockLength(a));
    number(AirwayResistance(a));
    number(AirwayFlow(a));
    number(AirwayFan(a));
    number(AirwayFanCount(a));
    number(AirwayLength(a));
    number(AirwayPressure(a));
    number(AirwayContaminant(a));
    number(AirwayPrimaryLayer(a));
    number(AirwaySecondaryLayer(a));
    number(AirwayStartPressure(a));
    number(AirwayEndPressure(a));
    number(AirwayParallelCount(a));
    number(AirwayStation(a));
    out += "\r\n";
}

} // namespace

bool RealtimeOutputFailed = false;

void RemoteRoutine() {
    if (waiting())
        return;
    try {
        TextFileReader in(RealtimePath(RealtimeInputFile));
        // The heading and separator lines carry nothing the program uses.
        in.LineInput();
        in.LineInput();
        do {
            CurrentLine = in.LineInput();
            SplitFields(ReadingsVersion, CurrentLine, LineFields);
            // A last line that stops short of its eight fields is still being written: its missing
            // readings would read as 0 and unfix the airways its station sets.
            if (!in.LineEnded() && LineFieldCount < 8)
                break;
            storeStationLine();
        } while (!in.AtEnd());
    } catch (const VBError &) {
        stopInput();
        return;
    }
    applyStationFlows();
    // Only the redraw right after new readings beeps at passed alarms.
    if (VB::ScreenPointer() != VB::vbHourglass) {
        const QScopedValueRollback beep(AlarmBeep, -1);
        Redraw();
    }
    if (ResimulateOnInput != 0) {
        // A plain airflow run: a troubleshooting mode left from before would repeat its own work at
        // every poll.
        ShowProgress = 0;
        AnalysisMode = 0;
        Simulate();
        SetVisibleAirways();
        RotateView();
        if (VB::ScreenPointer() != VB::vbHourglass)
            Redraw();
    }
}

void RealOutRoutine() {
    if (waiting())
        return;
    const char separator = VB::LocaleDecimalSeparator();
    std::string text;
    text.reserve(static_cast<size_t>(AirwayCount + 1) * 200);
    for (const char *name : ResultsHeading) {
        if (name != ResultsHeading[0])
            text += '\t';
        text += name;
    }
    text += "\r\n";
    // Results that no run balanced (a failed run, or an edit since) are no results: the heading alone.
    if (NetworkBalanced)
        for (int a = 1; a <= AirwayCount; ++a)
            appendResultsLine(text, a, separator);
    try {
        ReplaceFileContents(RealtimePath(RealtimeOutputFile), text);
        RealtimeOutputFailed = false;
    } catch (const VBError &) {
        // One box while the fault lasts: ticks go on while it is open.
        if (!RealtimeOutputFailed) {
            RealtimeOutputFailed = true;
            VB::MsgBox("Error writing realtime values");
        }
    }
}

void ToggleRealtimeInput() {
    const bool on = RealtimeInputOn == 0;
    Shell().SetMenuChecked("mnuRemote", on);
    RealtimeInputOn = on ? -1 : 0;
    Shell().SetRealtimeTimerEnabled(InputTimer, on);
    if (on)
        RemoteRoutine();
    Redraw();
}

void ToggleRealtimeOutput() {
    const bool on = RealtimeOutputOn == 0;
    Shell().SetMenuChecked("mnuRealOutStart", on);
    RealtimeOutputOn = on ? -1 : 0;
    Shell().SetRealtimeTimerEnabled(OutputTimer, on);
    if (on) {
        RealtimeOutputFailed = false;
        RealOutRoutine();
    }
    Redraw();
}
