// The station settings file "Remotes.dat": its defaults, a round trip of the table and damaged files.
#include "common/FileMutations.h"
#include "common/ModelFixture.h"
#include "exchange/remotes.h"
#include "platform/System.h"

#include <QDir>
#include <cstdio>

namespace {

std::string stationName(int s) {
    std::string name = std::to_string(s);
    name.insert(name.begin(), 'A');
    return name;
}

class StationSettings : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        VB::SetLocaleDecimalSeparatorOverride('.');
    }
    void TearDown() override { VB::SetLocaleDecimalSeparatorOverride(0); }

    // Stations named "A1" .. "A50" with multiplier s, written to the file.
    void WriteNamedStations() {
        for (int s = 1; s <= MaxStations; ++s) {
            StationName(s) = stationName(s);
            StationFactor(s, 1) = static_cast<float>(s);
        }
        SaveRemotes();
    }
    static void NameAllStations(const std::string &name) {
        for (int s = 1; s <= MaxStations; ++s)
            StationName(s) = name;
    }
    std::vector<std::string> FileLines() const {
        std::vector<std::string> lines;
        const std::string text = folder.Read("Remotes.dat");
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
};

TEST_F(StationSettings, AMissingFileGivesTheDefaultStationsWrittenToANewFile) {
    const std::string settings = "\t" + folder.path() + "Gustrom.rem\t 0 \t 10 \t 0 \t\t\t\r\n";
    std::string expected;
    for (int s = 1; s <= 50; ++s) {
        std::string line =
            s == 1 ? "Velocity\tOxygen\tMethane\tCarbon Monoxide\tCarbon Dioxide\tVel\tO2\tCH4\tCO\t"
                     "CO2\tm/s\t%\t%\tppm\t%\t"
                   : std::string(15, '\t');
        for (int c = 1; c <= 5; ++c)
            line += s <= 20 ? " 1 \t" : " 0 \t";
        for (int c = 1; c <= 10; ++c)
            line += " 0 \t";
        line += (s <= 20 ? "Station  " + std::to_string(s) : "") + "\t 0 " + settings;
        expected += line;
    }
    NameAllStations("old");
    StationAlarmHigh(30, 2) = 7;
    std::remove((folder.path() + "Remotes.dat").c_str());
    shell.timerInterval[1] = 0;
    LoadRemotes();
    EXPECT_EQ(folder.Read("Remotes.dat"), expected);
    EXPECT_EQ(StationAlarmHigh(30, 2), 0);
    EXPECT_EQ(shell.timerInterval[1], 10000);
}

TEST_F(StationSettings, SaveThenLoadKeepsTheTableAndTheRealtimeSettings) {
    StationName(7) = "Fan, drive 3.5";
    StationChannelName(7, 1) = "velocity";
    StationChannelAbbrev(7, 2) = "m\xB3/s";
    StationChannelUnit(50, 5) = "ppm";
    StationFactor(7, 1) = 0.01f;
    StationAlarmLow(7, 3) = -2.5f;
    StationAlarmHigh(50, 5) = 1e-7f;
    StationUpdateFlow(7) = 1;
    StationUpdateFlow(8) = 2; // only a hand-edited file holds such a flag
    RealtimeInputFile = "/mines/north.rem";
    ResimulateOnInput = 1;
    InputInterval = "2,5"; // as typed
    AlarmsOn = 1;
    RealtimeOutputFile = "/mines/out.txt";
    OutputInterval = "";
    SaveRemotes();
    NameAllStations("");
    StationFactor(7, 1) = 9;
    StationAlarmLow(7, 3) = StationAlarmHigh(50, 5) = 0;
    StationUpdateFlow(7) = StationUpdateFlow(8) = 0;
    StationChannelName(7, 1) = StationChannelAbbrev(7, 2) = StationChannelUnit(50, 5) = "";
    RealtimeInputFile = RealtimeOutputFile = InputInterval = OutputInterval = "x";
    ResimulateOnInput = AlarmsOn = 0;

    ScriptedDialogs boxes; // no message
    LoadRemotes();
    EXPECT_EQ(StationName(7), "Fan, drive 3.5");
    EXPECT_EQ(StationName(20), "Station  20");
    EXPECT_EQ(StationChannelName(7, 1), "velocity");
    EXPECT_EQ(StationChannelAbbrev(7, 2), "m\xB3/s");
    EXPECT_EQ(StationChannelUnit(50, 5), "ppm");
    EXPECT_FLOAT_EQ(StationFactor(7, 1), 0.01f);
    EXPECT_FLOAT_EQ(StationAlarmLow(7, 3), -2.5f);
    EXPECT_FLOAT_EQ(StationAlarmHigh(50, 5), 1e-7f);
    EXPECT_EQ(StationUpdateFlow(7), 1);
    EXPECT_EQ(StationUpdateFlow(8), 2);
    EXPECT_EQ(RealtimeInputFile, "/mines/north.rem");
    EXPECT_EQ(ResimulateOnInput, 1);
    EXPECT_EQ(AlarmsOn, 1);
    EXPECT_EQ(RealtimeOutputFile, "/mines/out.txt");
    EXPECT_EQ(OutputInterval, "");
    EXPECT_EQ(TimerIntervalOf(InputInterval), 2500);
    EXPECT_EQ(shell.timerInterval[1], 2500);
    EXPECT_EQ(shell.timerInterval[2], 0);
    EXPECT_EQ(FileLines()[6].substr(FileLines()[6].rfind("north.rem")),
              "north.rem\t 1 \t2,5\t 1 \t\t/mines/out.txt\t");
}

TEST_F(StationSettings, AFileCutShortOrBrokenKeepsTheStationsBeforeTheBreak) {
    WriteNamedStations();
    const std::vector<std::string> good = FileLines();
    std::string noMultiplier = good[2];
    const std::size_t at = noMultiplier.find("\t 3 \t");
    noMultiplier.replace(at, 5, "\t\t");
    const struct {
        const char *what;
        std::string text;
        bool message;
        int loaded; // stations 1 .. loaded take the file's names
    } cases[] = {
        {"empty multiplier", good[0] + "\r\n" + good[1] + "\r\n" + noMultiplier + "\r\n" + good[3] + "\r\n",
         true, 2},
        {"two lines", good[0] + "\r\n" + good[1] + "\r\n", false, 2},
        {"empty second line", good[0] + "\r\n\r\n" + good[2] + "\r\n", false, 1},
        {"out-of-range interval",
         good[0] + "\r\n" + good[1].substr(0, good[1].find("\t 10 \t")) + "\t-1\t 0 \t\t\t\r\n", true, 1},
    };
    for (const auto &c : cases) {
        folder.Write("Remotes.dat", c.text);
        NameAllStations("old");
        ScriptedDialogs boxes;
        if (c.message)
            boxes.Expect(VB::vbOK, "Error reading remote file");
        LoadRemotes();
        EXPECT_TRUE(boxes.Done()) << c.what;
        for (int s = 1; s <= 4; ++s)
            EXPECT_EQ(StationName(s), s <= c.loaded ? stationName(s) : "old") << c.what << " " << s;
        EXPECT_EQ(shell.timerInterval[1], 10000) << c.what;
    }
}

TEST_F(StationSettings, AFileThatCannotBeReplacedSaysSo) {
    std::remove((folder.path() + "Remotes.dat").c_str());
    ASSERT_TRUE(QDir(QString::fromStdString(folder.path())).mkdir("Remotes.dat"));
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Error writing remote file");
    SaveRemotes();
    EXPECT_TRUE(boxes.Done());
}

TEST_F(StationSettings, DamagedFilesNeverBreakTheLoader) {
    WriteNamedStations();
    const std::string good = folder.Read("Remotes.dat");
    std::mt19937 random(20261208);
    RandomAnswers answers(random);
    for (int n = 0; n < 400; ++n) {
        folder.Write("Remotes.dat", Mutate(good, random));
        LoadRemotes();
        ASSERT_TRUE(TimerIntervalOf(InputInterval).has_value()) << n;
        ASSERT_TRUE(TimerIntervalOf(OutputInterval).has_value()) << n;
    }
    EXPECT_GT(answers.boxes, 0);
}

} // namespace
