// Realtime input (polls of the station readings file) and realtime output (the results file).
#include "common/FileMutations.h"
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "exchange/frmRemote.h"
#include "exchange/realtime.h"
#include "graphics/DrawingFixture.h"
#include "model/network_load.h"
#include "platform/Busy.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "solver/driver.h"

#include <QPushButton>
#include <QTest>

#include <cmath>
#include <initializer_list>

namespace {

const std::string Header = "Station, Date, Time, Vel, O2, CH4, CO, CO2";

std::string ReadingsText(std::initializer_list<std::string> stations, const std::string &end = "\r\n") {
    std::string text = Header + end + std::string(45, '-') + end;
    for (const std::string &line : stations)
        text += line + end;
    return text;
}

class Realtime : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        VB::SetLocaleDecimalSeparatorOverride('.');
        RealtimeInputFile = folder.path() + "mine.rem";
        RealtimeOutputFile = folder.path() + "results.txt";
        ResimulateOnInput = 0;
        RealtimeInputOn = -1;
    }
    void TearDown() override {
        RealtimeInputOn = RealtimeOutputOn = 0;
        VB::SetScreenPointer(VB::vbDefault);
        VB::SetLocaleDecimalSeparatorOverride(0);
    }
    std::vector<int32_t> Readings(int s) const {
        std::vector<int32_t> r;
        for (int c = 1; c <= StationChannels; ++c)
            r.push_back(StationReading(s, c));
        return r;
    }
};

TEST_F(Realtime, APollStoresReadingsHalvesToEvenAndTheLaterLineOfAStation) {
    for (const char *end : {"\r\n", "\n", "\r"}) {
        StationReading(3, 1) = 77;
        StationFileText(3, 2) = "earlier";
        folder.Write("mine.rem",
                     ReadingsText({"1\t8/12/26\t10:00:01\t12.5\t13.5\t\t-2.5\tabc",
                                   "2\t8/12/26\t10:00:02\t1\t1\t1\t1\t1", "60\td\tt\t1\t1\t1\t1\t1",
                                   "2\t8/12/26\t10:00:03\t5\t6\t7\t8\t9\textra"},
                                  end));
        ScriptedDialogs boxes; // no message
        RemoteRoutine();
        EXPECT_EQ(Readings(1), (std::vector<int32_t>{12, 14, 0, -2, 0}));
        EXPECT_EQ(StationFileText(1, 2), "10:00:01");
        EXPECT_EQ(Readings(2), (std::vector<int32_t>{5, 6, 7, 8, 9}));
        EXPECT_EQ(StationFileText(2, 2), "10:00:03");
        EXPECT_EQ(StationReading(3, 1), 77);
        EXPECT_EQ(StationFileText(3, 2), "earlier");
        EXPECT_EQ(RealtimeInputOn, -1);
    }
}

TEST_F(Realtime, ALastLineStillBeingWrittenIsLeftUnread) {
    StationReading(4, 1) = 500;
    ScriptedDialogs boxes; // no message
    folder.Write("mine.rem", ReadingsText({"2\td\tt\t1\t2\t3\t4\t5", "3\td\tt\t7"}) + "4\td\t10:00:05\t5");
    RemoteRoutine();
    EXPECT_EQ(StationReading(4, 1), 500);
    EXPECT_EQ(StationReading(2, 5), 5);
    EXPECT_EQ(StationReading(3, 1), 7); // a short line with its line end is whole
    // A whole last line without its line end, as a hand-made file may have it, is read.
    folder.Write("mine.rem", ReadingsText({}) + "4\td\tt\t1\t2\t3\t4\t5");
    RemoteRoutine();
    EXPECT_EQ(StationReading(4, 5), 5);
    EXPECT_EQ(RealtimeInputOn, -1);
}

TEST_F(Realtime, AFileThatCannotBeReadTurnsInputOff) {
    const struct {
        const char *what;
        std::string text;
    } cases[] = {{"the two heading lines only", ReadingsText({})},
                 {"no file", ""},
                 {"a station number beyond the integer range", ReadingsText({"40000\td\tt\t1\t1\t1\t1\t1"})}};
    for (const auto &c : cases) {
        std::remove((folder.path() + "mine.rem").c_str());
        if (!c.text.empty())
            folder.Write("mine.rem", c.text);
        RealtimeInputOn = -1;
        shell.timerEnabled[1] = true;
        shell.menuChecked["mnuRemote"] = true;
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK,
                     "Error - Can't find correct realtime station file - check directory or file name "
                     "in TOOLS => realtime stations");
        RemoteRoutine();
        EXPECT_TRUE(boxes.Done()) << c.what;
        EXPECT_EQ(RealtimeInputOn, 0) << c.what;
        EXPECT_FALSE(shell.timerEnabled[1]) << c.what;
        EXPECT_FALSE(shell.menuChecked["mnuRemote"]) << c.what;
    }
}

TEST_F(Realtime, NothingIsReadOrWrittenWhileALongOperationRuns) {
    folder.Write("mine.rem", ReadingsText({"1\td\tt\t5\t5\t5\t5\t5"}));
    folder.Write("results.txt", "old");
    StationReading(1, 1) = 3;
    AddAirway(0, 0, 0, 100, 0, 0);
    {
        VB::BusyScope busy;
        RemoteRoutine();
        RealOutRoutine();
    }
    VB::SetScreenPointer(VB::vbHourglass);
    RemoteRoutine();
    RealOutRoutine();
    EXPECT_EQ(StationReading(1, 1), 3);
    EXPECT_EQ(folder.Read("results.txt"), "old");
}

TEST_F(Realtime, AVelocityReadingFixesTheFlowOfEveryLinkedAirwayDrawnOrNot) {
    const int a = AddAirway(0, 0, 0, 100, 0, 0);
    AirwaySize(1, a) = 4;
    AirwaySize(2, a) = 5;
    AirwayStation(a) = 4;
    StationChannelName(4, 1) = "VELOCITY";
    StationFactor(4, 1) = 0.01f;
    StationUpdateFlow(4) = 1;
    ActiveWindow = -1; // nothing is drawn
    folder.Write("mine.rem", ReadingsText({"4\td\tt\t500\t0\t0\t0\t0"}));
    RemoteRoutine();
    EXPECT_FLOAT_EQ(AirwayFlow(a), 100);
    EXPECT_NE(AirwayFlags(a) & AirwayFlag::FixedFlow, 0);
}

TEST_F(Realtime, UntickingUpdateAirflowInTheStationEditorReleasesTheFixAtTheNextPoll) {
    const GeneratedNetwork net = GenerateNetwork(60, 7);
    MaxIterations = 300; // enough sweeps to balance fully
    ShowProgress = 0;
    Simulate();
    // An ordinary drive, its freely balanced flow noted.
    int a = 1;
    while (a == net.fixedFlowAirway || AirwayFan(a) != 0 || std::fabs(AirwayFlow(a)) < 1)
        ++a;
    const float free = AirwayFlow(a);
    AirwayStation(a) = 1;
    StationChannelName(1, 1) = "QUANTITY";
    StationFactor(1, 1) = 1;
    folder.Write("mine.rem",
                 ReadingsText({"1\td\tt\t" + std::to_string(std::lround(free) + 5) + "\t0\t0\t0\t0"}));
    for (const bool update : {true, false}) {
        frmRemote editor;
        editor.show();
        if (editor.ChkUpdateQ->isChecked() != update)
            QTest::mouseClick(editor.ChkUpdateQ, Qt::LeftButton, {},
                              QPoint(6, editor.ChkUpdateQ->height() / 2));
        QTest::mouseClick(editor.cmdOK, Qt::LeftButton);
        RemoteRoutine();
        EXPECT_EQ((AirwayFlags(a) & AirwayFlag::FixedFlow) != 0, update);
    }
    Simulate();
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_NEAR(AirwayFlow(a), free, 0.1); // balanced again, not held at the last reading
}

TEST_F(Realtime, WithResimulationEveryPollRunsAPlainAirflowSimulation) {
    GenerateNetwork(60, 7);
    MaxIterations = 300; // enough sweeps to balance fully
    ResimulateOnInput = 1;
    folder.Write("mine.rem", ReadingsText({"1\td\tt\t1\t1\t1\t1\t1"}));
    ScriptedDialogs boxes;
    for (int poll = 1; poll <= 2; ++poll) {
        AnalysisMode = 3; // left by a troubleshooting run
        NetworkBalanced = false;
        RemoteRoutine();
        EXPECT_TRUE(NetworkBalanced) << poll;
        EXPECT_EQ(AnalysisMode, 0) << poll;
    }
}

TEST_F(Realtime, ARunThatFailsOnNewReadingsLeavesNoResultsMarkedBalanced) {
    NetworkFileName = std::string(GUSTROM_SOURCE_DIR) + "/examples/teaching.sim";
    LoadMode = 1;
    ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded);
    ShowProgress = 0;
    AnalysisMode = 0;
    Simulate();
    ASSERT_TRUE(NetworkBalanced);
    ASSERT_EQ(shell.simCaption, "OK");
    // The two lengths of the intake shaft, one after the other, measured at flows that differ.
    int station = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (Trim(AirwayName(a).str()) == "Intake shaft") {
            AirwayStation(a) = ++station;
            StationChannelName(station, 1) = "QUANTITY";
            StationFactor(station, 1) = 1;
            StationUpdateFlow(station) = 1;
        }
    ASSERT_EQ(station, 2);
    folder.Write("mine.rem", ReadingsText({"1\td\tt\t60\t0\t0\t0\t0", "2\td\tt\t70\t0\t0\t0\t0"}));
    ResimulateOnInput = 1;
    ScriptedDialogs boxes; // no box
    RemoteRoutine();
    EXPECT_EQ(ErrorLevel, 1);
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(shell.simCaption, "SIM");
    RealOutRoutine();
    const std::string text = folder.Read("results.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << "the heading alone";
}

TEST_F(Realtime, TheResultsFileHasTheHeadingAndOneLineOf27FieldsPerSlot) {
    const int a = AddAirway(10, -20, 30, 40, 50, -60);
    AirwayNumber(a) = 7;
    AirwayStartName(a) = "  North ";
    AirwayName(a) = "";
    AirwayFlow(a) = 12.5f;
    AirwayFan(a) = -1;
    AirwayStation(a) = 3;
    AirwayStartPressure(a) = -0.25f;
    ++AirwayCount; // an empty slot is written like any other
    NetworkBalanced = true;
    RealOutRoutine();
    const std::string text = folder.Read("results.txt");
    const std::string heading = "Branch No\tFrom Node\tTo Node\tAirway Name\tX1\tY1\tZ1\tX2\tY2\tZ2\tDim "
                                "1\tDim 2\tk factor\tshock factor\t"
                                "resist\tquantity\tfan #\tno fans\tlength\tpres change\tsmoke\tprim "
                                "layer\tsec layer\tentry pres\texit "
                                "pres\tno of airways\tRemote Station\r\n";
    ASSERT_EQ(text.substr(0, heading.size()), heading);
    const std::string first = text.substr(heading.size(), text.find("\r\n", heading.size()) - heading.size());
    EXPECT_EQ(first, "7\tNorth\t\t\t10\t-20\t30\t40\t50\t-60\t4\t4\t0.012\t0\t0\t12.5\t-"
                     "1\t0\t0\t0\t0\t1\t1\t-0.25\t0\t1\t3");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

TEST_F(Realtime, AFailedWriteSaysSoOnceUntilAWriteSucceeds) {
    const std::string good = RealtimeOutputFile;
    RealOutRoutine(); // a write that succeeds
    RealtimeOutputFile = folder.path() + "no such folder/results.txt";
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Error writing realtime values");
    for (int tick = 0; tick < 3; ++tick)
        RealOutRoutine();
    EXPECT_TRUE(boxes.Done());
    RealtimeOutputFile = good;
    RealOutRoutine();
    RealtimeOutputFile = folder.path() + "no such folder/results.txt";
    boxes.Expect(VB::vbOK, "Error writing realtime values");
    RealOutRoutine();
    EXPECT_TRUE(boxes.Done());
    // Output turned on again tells the user once more.
    boxes.Expect(VB::vbOK, "Error writing realtime values");
    ToggleRealtimeOutput();
    EXPECT_TRUE(boxes.Done());
}

TEST_F(Realtime, ActivateCommandsRunOnceAtOnceAndTurnOff) {
    folder.Write("mine.rem", ReadingsText({"1\td\tt\t5\t5\t5\t5\t5"}));
    RealtimeInputOn = 0;
    ToggleRealtimeInput();
    ToggleRealtimeOutput();
    EXPECT_EQ(RealtimeInputOn, -1);
    EXPECT_EQ(RealtimeOutputOn, -1);
    EXPECT_EQ(StationReading(1, 1), 5);
    EXPECT_FALSE(folder.Read("results.txt").empty());
    EXPECT_TRUE(shell.timerEnabled[1] && shell.timerEnabled[2]);
    EXPECT_TRUE(shell.menuChecked["mnuRemote"] && shell.menuChecked["mnuRealOutStart"]);
    ToggleRealtimeInput();
    ToggleRealtimeOutput();
    EXPECT_EQ(RealtimeInputOn, 0);
    EXPECT_EQ(RealtimeOutputOn, 0);
    EXPECT_FALSE(shell.timerEnabled[1] || shell.timerEnabled[2]);
    EXPECT_FALSE(shell.menuChecked["mnuRemote"] || shell.menuChecked["mnuRealOutStart"]);
}

// A poll with a window to draw in.
class RealtimeDrawing : public DrawingTest {
protected:
    TestFolder folder;
    void TearDown() override {
        RealtimeInputOn = 0;
        DrawingTest::TearDown();
    }
};

TEST_F(RealtimeDrawing, APassedAlarmBeepsOncePerPollNotAtLaterRedraws) {
    GraphicsDetail = 2; // texts drawn
    const int a = AddAirway(-100, 0, 0, 100, 0, 0);
    AirwayStation(a) = 1;
    Show({a});
    StationUpdateFlow(1) = 0;
    StationChannelName(1, 2) = "Oxygen";
    StationChannelAbbrev(1, 2) = "O2";
    StationFactor(1, 2) = 0.1f;
    StationAlarmLow(1, 2) = 19.5f;
    AlarmsOn = 1;
    RealtimeInputOn = -1;
    RealtimeInputFile = folder.path() + "mine.rem";
    folder.Write("mine.rem", ReadingsText({"1\td\tt\t0\t180\t0\t0\t0"}));
    const int before = VB::BeepCount();
    RemoteRoutine();
    EXPECT_EQ(VB::BeepCount(), before + 1);
    Redraw();
    EXPECT_EQ(VB::BeepCount(), before + 1);
    RemoteRoutine();
    EXPECT_EQ(VB::BeepCount(), before + 2);
}

TEST_F(Realtime, DamagedReadingsFilesNeverBreakThePoll) {
    const std::string good = ReadingsText(
        {"1\t8/12/26\t10:00:01\t12\t13\t14\t15\t16", "2\td\tt\t1\t2\t3\t4\t5", "20\td\tt\t1\t2\t3\t4\t5"});
    std::mt19937 random(20261209);
    RandomAnswers answers(random);
    for (int n = 0; n < 400; ++n) {
        folder.Write("mine.rem", Mutate(good, random));
        RealtimeInputOn = -1;
        RemoteRoutine();
    }
    EXPECT_GT(answers.boxes, 0);
}

} // namespace
