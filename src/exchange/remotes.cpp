#include "exchange/remotes.h"

#include "model/Gustrom1.h"
#include "model/safe_file.h"
#include "model/text_files.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/VBError.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <QDir>
#include <climits>
#include <cmath>

namespace {

std::string settingsPath() {
    return AppFolder + "Remotes.dat";
}

// The station lines are always TAB-separated, whatever settings file was read before them.
constexpr float TabVersion = 2.9f;

// Seconds as a field holds them: the number at its start, kept in print form; an empty field stays unset.
std::string secondsField(const std::string &field) {
    if (Trim(field).empty())
        return {};
    return PrintedNumber(LenientSingle(LenientValue(field)));
}

// One line of the file, converted before anything is stored, so that a line that fails leaves its station
// and the realtime settings as they were.
struct StationLine {
    std::string name, abbrev, unit;
};

struct RemoteLine {
    StationLine channels[StationChannels + 1];
    float factor[StationChannels + 1] = {}, low[StationChannels + 1] = {}, high[StationChannels + 1] = {};
    std::string name;
    int updateFlow = 0;
    std::string inputFile, inputSeconds, outputFile, outputSeconds;
    int resimulate = 0, alarms = 0;
};

float measured(int field) {
    return StrictSingle(StrictValue(LineFields(field)));
}

RemoteLine parseLine(const std::string &line) {
    SplitFields(TabVersion, line, LineFields);
    RemoteLine r;
    for (int c = 1; c <= StationChannels; ++c) {
        r.channels[c] = {LineFields(c), LineFields(5 + c), LineFields(10 + c)};
        r.factor[c] = measured(15 + c);
        r.low[c] = measured(20 + c);
        r.high[c] = measured(25 + c);
    }
    r.name = LineFields(31);
    r.updateFlow = LenientInteger(LenientValue(LineFields(32)));
    r.inputFile = LineFields(33);
    r.resimulate = LenientInteger(LenientValue(LineFields(34)));
    r.inputSeconds = secondsField(LineFields(35));
    r.alarms = LenientInteger(LenientValue(LineFields(36)));
    r.outputFile = LineFields(38);
    r.outputSeconds = secondsField(LineFields(39));
    if (!TimerIntervalOf(r.inputSeconds) || !TimerIntervalOf(r.outputSeconds))
        throw VBError(VBErr::Overflow, "interval out of range");
    return r;
}

void store(int s, const RemoteLine &r) {
    for (int c = 1; c <= StationChannels; ++c) {
        StationChannelName(s, c) = r.channels[c].name;
        StationChannelAbbrev(s, c) = r.channels[c].abbrev;
        StationChannelUnit(s, c) = r.channels[c].unit;
        StationFactor(s, c) = r.factor[c];
        StationAlarmLow(s, c) = r.low[c];
        StationAlarmHigh(s, c) = r.high[c];
    }
    StationName(s) = r.name;
    StationUpdateFlow(s) = r.updateFlow;
    // Every line carries the realtime settings; the last line read wins.
    RealtimeInputFile = r.inputFile;
    ResimulateOnInput = r.resimulate;
    InputInterval = r.inputSeconds;
    AlarmsOn = r.alarms;
    RealtimeOutputFile = r.outputFile;
    OutputInterval = r.outputSeconds;
}

void setDefaultStations() {
    for (int s = 1; s <= MaxStations; ++s) {
        for (int c = 1; c <= StationChannels; ++c) {
            StationChannelName(s, c).clear();
            StationChannelAbbrev(s, c).clear();
            StationChannelUnit(s, c).clear();
            StationFactor(s, c) = s <= 20 ? 1.0f : 0.0f;
            StationAlarmLow(s, c) = 0;
            StationAlarmHigh(s, c) = 0;
        }
        StationName(s) = s <= 20 ? "Station " + VB::Str(s) : std::string();
        StationUpdateFlow(s) = 0;
    }
    const char *const channels[][3] = {{"Velocity", "Vel", "m/s"},
                                       {"Oxygen", "O2", "%"},
                                       {"Methane", "CH4", "%"},
                                       {"Carbon Monoxide", "CO", "ppm"},
                                       {"Carbon Dioxide", "CO2", "%"}};
    for (int c = 1; c <= StationChannels; ++c) {
        StationChannelName(1, c) = channels[c - 1][0];
        StationChannelAbbrev(1, c) = channels[c - 1][1];
        StationChannelUnit(1, c) = channels[c - 1][2];
    }
    InputInterval = PrintedNumber(10.0f);
    RealtimeInputFile = AppFolder + "Gustrom.rem";
    ResimulateOnInput = 0;
    AlarmsOn = 0;
    RealtimeOutputFile.clear();
    OutputInterval.clear();
}

} // namespace

std::optional<int> TimerIntervalOf(const std::string &seconds) {
    if (Trim(seconds).empty())
        return 0;
    double value = 0;
    try {
        value = StrictValue(seconds);
    } catch (const VBError &) {
        return std::nullopt;
    }
    const double ms = std::nearbyint(value * 1000.0);
    if (!(ms >= 0 && ms <= INT_MAX))
        return std::nullopt;
    return static_cast<int>(ms);
}

std::string RealtimePath(const std::string &path) {
    if (path.empty() || QDir::isAbsolutePath(QString::fromLatin1(path.c_str())))
        return path;
    return AppFolder + path;
}

void LoadRemotes() {
    try {
        TextFileReader in(settingsPath());
        for (int s = 1; s <= MaxStations && !in.AtEnd(); ++s) {
            CurrentLine = in.LineInput();
            if (CurrentLine.empty())
                break;
            store(s, parseLine(CurrentLine));
        }
    } catch (const VBError &e) {
        if (e.number == VBErr::FileNotFound) {
            setDefaultStations();
            SaveRemotes();
        } else {
            VB::MsgBox("Error reading remote file");
        }
    }
    // The timers follow the settings as they now stand, which are always valid intervals.
    Shell().SetRealtimeTimerInterval(1, TimerIntervalOf(InputInterval).value_or(0));
    Shell().SetRealtimeTimerInterval(2, TimerIntervalOf(OutputInterval).value_or(0));
}

void SaveRemotes() {
    TextFileWriter out;
    for (int s = 1; s <= MaxStations; ++s) {
        for (const VBArray<std::string, 2> *texts :
             {&StationChannelName, &StationChannelAbbrev, &StationChannelUnit})
            for (int c = 1; c <= StationChannels; ++c) {
                out.Print((*texts)(s, c));
                out.Tab();
            }
        for (const VBArray<float, 2> *numbers : {&StationFactor, &StationAlarmLow, &StationAlarmHigh})
            for (int c = 1; c <= StationChannels; ++c) {
                out.PrintNumber((*numbers)(s, c));
                out.Tab();
            }
        out.Print(StationName(s));
        out.Tab();
        out.PrintNumber(static_cast<int32_t>(StationUpdateFlow(s)));
        out.Tab();
        out.Print(RealtimeInputFile);
        out.Tab();
        out.PrintNumber(static_cast<int32_t>(ResimulateOnInput));
        out.Tab();
        out.Print(InputInterval);
        out.Tab();
        out.PrintNumber(static_cast<int32_t>(AlarmsOn));
        out.Tab();
        out.Tab(); // an unused field
        out.Print(RealtimeOutputFile);
        out.Tab();
        out.Print(OutputInterval);
        out.EndLine();
    }
    try {
        ReplaceFileContents(settingsPath(), out.Text());
    } catch (const VBError &) {
        VB::MsgBox("Error writing remote file");
    }
}
