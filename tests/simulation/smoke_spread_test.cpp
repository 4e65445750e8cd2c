#include "common/NetworkGenerator.h"
#include "common/run_fixture.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/tool_state.h"
#include "platform/PictureBox.h"
#include "simulation/frmSmoke.h"
#include "simulation/frmSmokeLegend.h"
#include "simulation/frmSmokeTrace.h"
#include "simulation/smoke_spread.h"
#include "simulation/smoke_windows.h"
#include "solver/driver.h"
#include "solver/pressures.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <array>
#include <cmath>
#include <map>

using namespace testnet;

namespace {

class SmokeTest : public SimRunTest {
protected:
    SmokeWindows windows;
    void SetUp() override {
        SimRunTest::SetUp();
        SetSmokeUi(&windows);
        SmokeSourceMode = 0;
        DataGroup = 1;
        DataItem = 2;
    }
    void TearDown() override {
        SetSmokeUi(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Airway from node to node carrying q (m³/s) over 100 m, 3 × 3 m unless said otherwise.
    static int Carrying(int from, int to, float q) {
        const int a = AddAirway(from, to, 0.1);
        AirwayFlow(a) = q;
        AirwayLength(a) = 100;
        return a;
    }
    static void MakeSource(int a, float contaminant) {
        AirwayFlags(a) |= AirwayFlag::ContaminantSource;
        AirwayContaminant(a) = contaminant;
    }
    // The source chain of the tests: surface -> 1 (source, 4 × 4 m, 16 m³/s) -> 2 -> surface.
    void SourceChain(float contaminant = 100) {
        const int source = Carrying(0, 1, 16);
        AirwaySize(1, source) = AirwaySize(2, source) = 4;
        MakeSource(source, contaminant);
        Carrying(1, 2, 16);
        Carrying(2, 0, 16);
        // As the last run left them: lists of these slots, which the spread's sort moves.
        BuildConnections();
        NetworkBalanced = true;
        SmokeMode = 1;
    }
    static std::vector<std::string> Boxes(const frmSmokeLegend &legend) {
        std::vector<std::string> boxes;
        for (const QLineEdit *box : legend.Percent)
            boxes.push_back(box->text().toStdString());
        return boxes;
    }
};

} // namespace

TEST_F(SmokeTest, AnUnbalancedNetworkIsSimulatedFirstAndAFailureChangesNothing) {
    Carrying(0, 1, 5);
    AirwaySmoke(2, 1) = 33;
    for (const bool trace : {false, true}) {
        NetworkBalanced = false;
        SmokeMode = trace ? 2 : 1;
        boxes.Expect(VB::vbOK, "Not enough data to simulate")
            .Expect(VB::vbOK,
                    trace ? "before smoke sourcing simulation can work" : "before smoke simulation can work");
        trace ? SmokeTrace() : SmokeSimulate();
        EXPECT_TRUE(boxes.Done());
        EXPECT_EQ(AirwaySmoke(2, 1), 33);
        EXPECT_EQ(SmokeMode, 0);
        EXPECT_FALSE(windows.LegendLoaded());
    }
}

TEST_F(SmokeTest, TheNextAirwayIsReachedWhenTheContaminantHasPassedAlongTheSource) {
    SourceChain();
    windows.ShowDialog();
    const QPointer<frmSmoke> dialog = windows.Dialog();
    SmokeSimulate();
    // The last sweep changed no concentration: fully converged.
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog->TxtErr->text(), "100.0 %");
    const int next = SlotOf(2), out = SlotOf(3);
    // 16 m³/s through 4 × 4 m is 1 m/s: 100 s along the source; 16/9 m/s along the next airway.
    EXPECT_FLOAT_EQ(AirwaySmokeTime(SlotOf(1)), 0);
    EXPECT_FLOAT_EQ(AirwaySmokeTime(next), 100);
    EXPECT_FLOAT_EQ(AirwaySmokeTime(out), 156.25f);
    EXPECT_EQ(AirwaySmoke(2, next), 100);
    EXPECT_EQ(SmokeMode, 1);
    ASSERT_NE(windows.Legend(), nullptr);
    EXPECT_EQ(Boxes(*windows.Legend()), (std::vector<std::string>{"100", "80", "60", "40", "20", "0"}));
    const QScrollBar &slider = *windows.Legend()->Slider;
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), 157);
    EXPECT_EQ(slider.value(), 157);
    EXPECT_EQ(windows.Legend()->LblTimer->text(), "0:02:37");
    EXPECT_EQ(SmokeDisplayTime, 0);
    windows.Legend()->Slider->setValue(0);
    EXPECT_EQ(SmokeDisplayTime, 1);
    // The contaminant is shown; the type shown before is kept for later.
    EXPECT_EQ(shell.dataGroupIndex, 4);
    EXPECT_EQ(shell.dataItemIndex, 3);
    EXPECT_EQ(SavedDataGroup, 1);
    EXPECT_EQ(SavedDataItem, 2);
    EXPECT_FALSE(SettingDataCombos);
    EXPECT_FALSE(SmokeBusy);

    // An arrival after three hours is kept, but the slider ends there.
    AirwayLength(next) = 20000;
    SmokeSimulate();
    EXPECT_GT(AirwaySmokeTime(out), 10800);
    EXPECT_EQ(windows.Legend()->Slider->maximum(), 10800);
}

TEST_F(SmokeTest, ArrivalFollowsTheEarliestEnteredUpstreamAirwayWhereverTheWorkListHasIt) {
    // Node 3 is fed by a chain entered 90 s after the release and by an airway entered at 126 s that the
    // reach passes find only after the airway leaving node 3; the earlier one counts, whatever the
    // concentration.
    for (const float contaminant : {1.0f, 100.0f}) {
        NewNetwork(200, 20);
        MakeSource(Carrying(0, 10, 10), contaminant);
        AirwayLength(Carrying(10, 11, 5)) = 10;
        AirwayLength(Carrying(11, 12, 5)) = 10;
        AirwayLength(Carrying(12, 3, 5)) = 10;
        AirwayLength(Carrying(10, 4, 5)) = 1000;
        AirwayLength(Carrying(4, 3, 5)) = 10;
        const int out = 7;
        Carrying(3, 0, 10);
        NetworkBalanced = true;
        SmokeSimulate();
        // 100 m at 10/9 m/s, then 10 m at 5/9 m/s three times.
        EXPECT_FLOAT_EQ(AirwaySmokeTime(SlotOf(out)), 90 + 18 + 18 + 18) << contaminant;
    }
}

TEST_F(SmokeTest, SourcesNeedFlowAndAnAirwayWithoutInflowStaysClean) {
    // No source with flow: nothing is shown, and one message says so.
    const int dead = Carrying(0, 1, 0);
    MakeSource(dead, 100);
    Carrying(1, 0, 0);
    NetworkBalanced = true;
    SmokeMode = 1;
    boxes.Expect(VB::vbOK, "No contaminant source with airflow - nothing to simulate");
    SmokeSimulate();
    EXPECT_FALSE(windows.LegendLoaded());
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(SmokeMode, 0);

    // A reached airway whose inflow is at most MaxError gets 0.
    MaxError = 0.05f;
    const int weak = Carrying(0, 2, 0.04f);
    MakeSource(weak, 100);
    Carrying(2, 0, 1);
    SmokeSimulate();
    EXPECT_EQ(AirwaySmoke(2, SlotOf(4)), 0);
    EXPECT_LT(AirwaySmokeTime(SlotOf(4)), 9999999) << "reached";
}

TEST_F(SmokeTest, ASourceAboveTheTopConcentrationSettlesWithoutAQuestion) {
    SourceChain(30000);
    // A spread that cannot settle keeps asking; this stop ends it so that the failure is reported.
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { RunState = 255; });
    stop.start(3000);
    SmokeSimulate();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(AirwaySmoke(2, SlotOf(2)), 20000);
}

TEST_F(SmokeTest, BadDataEndsTheSpreadWithItsMessage) {
    const struct {
        float contaminant;
        int32_t shape;
    } cases[] = {{40000, AirwayFlag::Rectangular}, {100, AirwayFlag::Irregular}};
    for (const auto &c : cases) {
        NewNetwork(200, 20);
        SourceChain(c.contaminant);
        AirwayFlags(1) = (AirwayFlags(1) & ~AirwayFlag::Rectangular) | c.shape;
        if (c.shape == AirwayFlag::Irregular)
            AirwaySize(2, 1) = 0; // no area
        boxes.Expect(VB::vbOK, "Error during gas simulation - check data");
        SmokeSimulate();
        EXPECT_TRUE(boxes.Done()) << c.contaminant;
        EXPECT_EQ(SmokeMode, 0);
        EXPECT_FALSE(windows.LegendLoaded());
    }
}

TEST_F(SmokeTest, MixedConcentrationsAndArrivalTimesSettleOnAGeneratedMine) {
    GenerateNetwork(600, 7);
    MaxIterations = 1000; // enough sweeps to balance within the tolerance
    NetworkBalanced = false;
    ShowProgress = 0;
    // Sources by airway number, which the sort keeps.
    std::vector<int32_t> sourceNumbers;
    for (int a = 40; a <= AirwayCount; a += 97)
        sourceNumbers.push_back(AirwayNumber(a));
    // Where each airway starts as drawn: the simulation before the first spread reverses some.
    std::map<int32_t, std::array<int32_t, 3>> drawnStart;
    for (int a = 1; a <= AirwayCount; ++a)
        drawnStart[AirwayNumber(a)] = {AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a)};
    std::map<int32_t, float> firstTimes;
    for (const float contaminant : {1.0f, 100.0f}) {
        for (int a = 1; a <= AirwayCount; ++a)
            for (const int32_t n : sourceNumbers)
                if (AirwayNumber(a) == n)
                    MakeSource(a, contaminant);
        SmokeMode = 1;
        SmokeSimulate();
        ASSERT_TRUE(NetworkBalanced);
        ASSERT_EQ(SmokeMode, 1);
        int reversed = 0;
        for (int a = 1; a <= AirwayCount; ++a)
            reversed += drawnStart[AirwayNumber(a)] !=
                        std::array<int32_t, 3>{AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a)};
        EXPECT_GT(reversed, 0);
        int reached = 0;
        for (int a = 1; a <= AirwayCount; ++a) {
            if (contaminant == 1)
                firstTimes[AirwayNumber(a)] = AirwaySmokeTime(a);
            else
                EXPECT_EQ(AirwaySmokeTime(a), firstTimes[AirwayNumber(a)]) << "airway " << AirwayNumber(a);
            if (AirwaySmokeTime(a) == 0 || AirwaySmokeTime(a) == 9999999)
                continue;
            ++reached;
            // The mixing rule over the upstream airways, and the time of the earliest-entered one.
            double inflow = 0, load = 0;
            int lead = a;
            for (int k = AirwayLinks(1, 1, a); k <= AirwayLinks(1, 2, a); ++k) {
                const int b = AirwayLinkList(k);
                inflow += AirwayFlow(b);
                load += std::abs(AirwaySmoke(2, b)) * static_cast<double>(AirwayFlow(b));
                if (AirwaySmokeTime(lead) > AirwaySmokeTime(b))
                    lead = b;
            }
            const double mixed = inflow > MaxError ? std::min(load / std::fabs(inflow), 20000.0) : 0;
            EXPECT_NEAR(AirwaySmoke(2, a), mixed, 2) << "airway " << AirwayNumber(a);
            const double w = AirwaySize(2, lead);
            const double area =
                (AirwayFlags(lead) & AirwayFlag::Round) ? w * w / 4 * 3.1415927 : AirwaySize(1, lead) * w;
            EXPECT_FLOAT_EQ(
                AirwaySmokeTime(a),
                static_cast<float>(AirwaySmokeTime(lead) + AirwayLength(lead) * area / AirwayFlow(lead)))
                << "airway " << AirwayNumber(a);
        }
        EXPECT_GT(reached, 20);
    }
}

TEST_F(SmokeTest, TheLegendSplitsTheMaximumUnlessRetainedAndRedrawsOnlyOnAChange) {
    SourceChain(1000);
    SmokeSimulate();
    frmSmokeLegend *legend = windows.Legend();
    ASSERT_NE(legend, nullptr);
    EXPECT_EQ(Boxes(*legend), (std::vector<std::string>{"1000", "800", "600", "400", "200", "0"}));
    EXPECT_FLOAT_EQ(SmokeLegendLevel(0), 1000);

    PictureBox picture(100, 100);
    picture.Tag = "0";
    SetWindowPicture(0, &picture);
    ActiveWindow = 0;
    int repaints = 0;
    picture.Changed = [&repaints] { ++repaints; };
    legend->Percent_LostFocus(2);
    EXPECT_EQ(repaints, 0) << "unchanged box";
    legend->Percent[2]->setText("650");
    legend->Percent_LostFocus(2);
    EXPECT_GT(repaints, 0);
    EXPECT_FLOAT_EQ(SmokeLegendLevel(2), 650);

    // A new spread with "Retain Legend" keeps the bounds set.
    windows.ShowDialog();
    windows.Dialog()->ChkRetain->setChecked(true);
    SmokeSimulate();
    EXPECT_EQ(Boxes(*windows.Legend())[2], "650");
    EXPECT_FLOAT_EQ(SmokeLegendLevel(2), 650);
    picture.Changed = nullptr;
    SetWindowPicture(0, nullptr);
    ActiveWindow = -1;
}

TEST_F(SmokeTest, CancelDuringTheSpreadShowsWhatWasReached) {
    SourceChain();
    windows.ShowDialog();
    QPointer<frmSmoke> dialog = windows.Dialog();
    QTimer::singleShot(0, dialog.data(), [dialog] { dialog->Cancel->click(); });
    SmokeSimulate();
    EXPECT_EQ(RunState, 255);
    EXPECT_EQ(SmokeMode, 1);
    EXPECT_TRUE(windows.LegendLoaded());
    EXPECT_EQ(windows.Dialog(), nullptr);
}

TEST_F(SmokeTest, LegendButtonsSwitchTheDisplayAndClearSources) {
    DataTypeCaption(1, 2) = "Quantity";
    SourceChain();
    SmokeSimulate();
    frmSmokeLegend *legend = windows.Legend();
    ASSERT_NE(legend, nullptr);
    boxes.Expect(VB::vbYes, "Clear contaminant sources ?");
    legend->CmdClearSources->click();
    EXPECT_EQ(AirwayFlags(SlotOf(1)) & AirwayFlag::ContaminantSource, 0);
    EXPECT_EQ(AirwayContaminant(SlotOf(1)), 0);
    EXPECT_EQ(SmokeMode, 1) << "the last spread stays shown";
    legend->CmdClearS->click();
    EXPECT_EQ(SmokeMode, 0);
    EXPECT_EQ(legend->CmdClearS->text(), "Show Smoke");
    EXPECT_FALSE(legend->frmLegend->isEnabled());
    // Exit restores the data type shown before the spread.
    legend->CmdExit->click();
    EXPECT_FALSE(windows.LegendLoaded());
    EXPECT_EQ(shell.dataGroupIndex, 0);
    EXPECT_EQ(shell.dataItemIndex, 0);
    // With no type saved the contaminant stays shown, never an entry before the first.
    MakeSource(SlotOf(1), 100);
    SmokeSimulate();
    SavedDataGroup = SavedDataItem = 0;
    ASSERT_NE(windows.Legend(), nullptr);
    windows.Legend()->CmdExit->click();
    EXPECT_EQ(shell.dataGroupIndex, 4);
    EXPECT_EQ(shell.dataItemIndex, 3);
}

TEST_F(SmokeTest, TheTraceMarksSourcesAndSmokeAndItsWindowWorksTheMarks) {
    const int a = Carrying(0, 1, 5), b = Carrying(1, 2, 5), reported = Carrying(2, 3, 5),
              d = Carrying(3, 0, 5);
    const int weak = Carrying(4, 2, 0.05f); // feeds the report's node with too little air to carry smoke
    Carrying(0, 4, 0.05f);
    AirwaySmoke(1, reported) = 1;
    NetworkBalanced = true;
    BuildConnections();
    SmokeTrace();
    EXPECT_EQ(SmokeMode, 2);
    EXPECT_EQ(AirwaySmoke(2, a), 5);
    EXPECT_EQ(AirwaySmoke(2, b), 5);
    EXPECT_EQ(AirwaySmoke(2, reported), 4);
    EXPECT_EQ(AirwaySmoke(2, d), 4);
    EXPECT_EQ(AirwaySmoke(2, weak), 0);

    windows.LoadTrace();
    frmSmokeTrace *trace = windows.Trace();
    trace->show();
    AirwaySmoke(2, weak) = 7; // a mark the toggle must not recompute
    trace->CmdSim->click();
    EXPECT_EQ(SmokeMode, 0);
    EXPECT_EQ(trace->CmdSim->text(), "Show Traces");
    trace->CmdSim->click();
    EXPECT_EQ(SmokeMode, 2);
    EXPECT_EQ(trace->CmdSim->text(), "Clear Traces");
    EXPECT_EQ(AirwaySmoke(2, weak), 7);

    ToolCode = 4;
    QTest::mousePress(trace, Qt::RightButton);
    EXPECT_EQ(ToolCode, 11);
    EXPECT_EQ(PreviousToolCode, 4);
    EXPECT_EQ(SmokeReportKind, 2);

    boxes.Expect(VB::vbYes, "Confirm deletion of all report pins");
    trace->CmdClearS->click();
    EXPECT_EQ(AirwaySmoke(1, reported), 0);
    EXPECT_EQ(AirwaySmoke(2, a), 0);
    EXPECT_EQ(SmokeMode, 0);
}
