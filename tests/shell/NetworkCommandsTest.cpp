#include "ShellFixture.h"

#include "graphics/view_state.h"
#include "model/network_load.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "simulation/smoke_spread.h"
#include "simulation/smoke_windows.h"
#include "solver/checks.h"
#include "solver/driver.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

namespace {

std::string name(int a) {
    return AirwayName(a).trimmed();
}

} // namespace

TEST_F(ShellTest, AutoNamingFillsOnlyEmptyNamesAndCancelChangesNothing) {
    AddAirways(4);
    AirwayName(1) = "A";
    AirwayName(4) = "C";
    // The naming is one undo step, and the question says so.
    const std::string question = " that do not have an existing name - Are you sure you want to proceed "
                                 "(Edit > Undo takes it back) ?";
    boxes->Expect(VB::vbCancel, "automatically names all airways" + question);
    form->mnuAutoName_Click();
    // Cancel on the prefix too changes nothing.
    boxes->Expect(VB::vbOK, "automatically names all airways").ExpectInput(std::nullopt);
    form->mnuAutoName_Click();
    EXPECT_EQ(name(2), "");
    EXPECT_EQ(NetworkSaved, 255);

    boxes->Expect(VB::vbOK, "automatically names all airways").ExpectInput("B");
    form->mnuAutoName_Click();
    EXPECT_EQ(name(1) + name(2) + name(3) + name(4), "AB1B2C");
    EXPECT_EQ(NetworkSaved, 0);
    // The naming is one undo step.
    UndoAction();
    std::multiset<std::string> names;
    for (int a = 1; a <= AirwayCount; ++a)
        names.insert(name(a));
    EXPECT_EQ(names, (std::multiset<std::string>{"", "", "A", "C"}));

    // Two airways end at one node; the named end takes the new name too, and so does the airway leaving it.
    AddAirways(3);
    AirwayEnd(1, 2) = AirwayEnd(1, 1);
    AirwayStart(1, 3) = AirwayEnd(1, 1);
    UpdateNodeKeys();
    AirwayEndName(1) = "X";
    boxes->Expect(VB::vbOK, "automatically names all nodes" + question).ExpectInput(std::nullopt);
    form->mnuAutoNodes_Click();
    EXPECT_EQ(AirwayEndName(2).trimmed(), "");
    boxes->Expect(VB::vbOK, "automatically names all nodes").ExpectInput("N");
    form->mnuAutoNodes_Click();
    EXPECT_EQ(AirwayEndName(1).trimmed(), "N1");
    EXPECT_EQ(AirwayEndName(2).trimmed(), "N1");
    EXPECT_EQ(AirwayStartName(3).trimmed(), "N1");
    EXPECT_EQ(AirwayEndName(3).trimmed(), "N2");
    UndoAction();
    std::multiset<std::string> ends;
    for (int a = 1; a <= AirwayCount; ++a)
        ends.insert(AirwayStartName(a).trimmed() + ">" + AirwayEndName(a).trimmed());
    EXPECT_EQ(ends, (std::multiset<std::string>{">X", ">", ">"}));
}

TEST_F(ShellTest, FlowsInNamesArePreservedAndRemoved) {
    AddAirways(5);
    AirwayName(1) = "(12.3)";
    AirwayName(2) = "Main";
    AirwayName(3) = "(4.0)";
    AirwayName(4) = "x(4.0)";
    AirwayFlow(1) = 20.26f;
    AirwayFlow(3) = 0.35f;  // held as 0.349999994
    AirwayFlow(5) = -2.25f; // a half goes away from zero
    boxes->Expect(VB::vbNo, "copy existing airflows to branch names that do not have a pre-existing text "
                            "name.\r\n\r\nAre you sure you want to proceed ?");
    form->mnuPres_Click();
    EXPECT_EQ(name(1), "(12.3)");
    boxes->Expect(VB::vbYes, "copy existing airflows");
    form->mnuPres_Click();
    EXPECT_EQ(name(1), "(20.3)");
    EXPECT_EQ(name(2), "Main");
    EXPECT_EQ(name(3), "(0.4)");
    EXPECT_EQ(name(5), "(-2.3)");
    form->mnuRmvFlow_Click();
    EXPECT_EQ(name(1), "");
    EXPECT_EQ(name(3), "");
    EXPECT_EQ(name(4), "x(4.0)");
}

TEST_F(ShellTest, ReseedSetsWholeFlowsOnAirwaysThatAreNotFixed) {
    AddAirways(2);
    AirwayFlags(2) |= AirwayFlag::FixedFlow;
    AirwayFlow(2) = 3.5f;
    NetworkBalanced = true;
    const std::pair<std::optional<std::string>, float> answers[] = {
        {"", 0.5f}, {std::nullopt, 0.5f}, {"40000", 0.5f}, {"abc", 0}, {"7.9", 7}};
    AirwayFlow(1) = 0.5f;
    for (const auto &[typed, flow] : answers) {
        boxes->ExpectInput(typed);
        if (typed == "40000")
            boxes->Expect(VB::vbOK, "seed value");
        form->mnuResetAirflows_Click();
        EXPECT_FLOAT_EQ(AirwayFlow(1), flow) << typed.value_or("(cancel)");
        EXPECT_FLOAT_EQ(AirwayFlow(2), 3.5f);
    }
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(NetworkSaved, 0);

    AirwayFlags(1) = 0x1 | 0x1000000 | 0x20000;
    boxes->Expect(VB::vbYes, "fixed").Expect(VB::vbOK, "now fixed");
    form->mnuFixL_Click();
    EXPECT_EQ(AirwayFlags(1), 0x1 | 0x1000000 | 0x20000 | AirwayFlag::FixedLength);
    boxes->Expect(VB::vbYes, "unfixed").Expect(VB::vbOK, "now unfixed");
    form->mnuUnFixL_Click();
    EXPECT_EQ(AirwayFlags(1), 0x1 | 0x1000000 | 0x20000);
}

TEST_F(ShellTest, RemoveDuplicatesTurnsTwinsWholeSoTheDuplicateSearchFindsThem) {
    AddAirways(3);
    // Airway 2 runs the other way over airway 1's ends; airway 3 does the same with a fan on it.
    for (int a : {2, 3}) {
        std::swap(AirwayStart(1, a), AirwayEnd(1, a));
        AirwayStart(1, a) = AirwayEnd(1, 1);
        AirwayEnd(1, a) = AirwayStart(1, 1);
    }
    AirwayFan(3) = 1;
    AirwayStartName(1) = "P";
    AirwayEndName(1) = "Q";
    AirwayStartName(2) = "Q";
    AirwayEndName(2) = "P";
    UpdateNodeKeys();
    const Currency fanStart = AirwayStartKey(3);
    form->mnuremdup_Click();
    EXPECT_EQ(AirwayStartKey(2), AirwayStartKey(1));
    EXPECT_EQ(AirwayEndKey(2), AirwayEndKey(1));
    EXPECT_EQ(AirwayStartName(2).trimmed(), "P");
    EXPECT_EQ(AirwayStartKey(3), fanStart);
    EXPECT_EQ(NetworkSaved, 0);
    Errorlist.clear();
    AnalysisMode = 4;
    SortAirways();
    AnalysisMode = 0;
    EXPECT_FALSE(Errorlist.empty());
}

TEST_F(ShellTest, RemoveDuplicatesLeavesANetworkThatSolvedSolvingWithTheSameFlows) {
    // The generated mine has airways drawn downwards, the intake shaft among them; turning that one
    // would leave the surface node without a way in.
    std::filesystem::copy_file(std::string(GUSTROM_SOURCE_DIR) + "/examples/mine.sim",
                               folder.path() + "mine.sim");
    NetworkFileName = folder.path() + "mine.sim";
    LoadMode = 1;
    ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded);
    const float tolerance = MaxError;
    MaxError = 0.001f;
    AnalysisMode = 0;
    ShowProgress = 0;
    auto solve = [] {
        Errorlist.clear();
        ErrorLevel = 0;
        Simulate();
        EXPECT_TRUE(NetworkBalanced);
        EXPECT_NE(ErrorLevel, 1) << (Errorlist.empty() ? "" : Errorlist.front());
    };
    solve();
    std::map<int, std::pair<Currency, float>> before;
    for (int a = 1; a <= AirwayCount; ++a)
        before[AirwayNumber(a)] = {AirwayStartKey(a), std::fabs(AirwayFlow(a))};
    // The mine has no twins: turning its airways finds none, and the command says so.
    boxes->Expect(VB::vbOK, "No duplicate airways found");
    form->mnuremdup_Click();
    int turned = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        turned += AirwayStartKey(a) != before[AirwayNumber(a)].first;
    EXPECT_GT(turned, 0);
    EXPECT_FALSE(NetworkBalanced); // the flows were found for the airways as they ran
    solve();
    for (int a = 1; a <= AirwayCount; ++a)
        EXPECT_NEAR(std::fabs(AirwayFlow(a)), before[AirwayNumber(a)].second, 0.01f) << AirwayNumber(a);
    MaxError = tolerance;
}

TEST_F(ShellTest, ReverseCoordinateAxisExchangesXAndYAndFlipsTheSigns) {
    AddAirways(1);
    AirwayStart(2, 1) = 70;
    UpdateNodeKeys();
    const Currency key = AirwayStartKey(1);
    boxes->Expect(VB::vbNo, "swap your X and Y axis coordinates");
    form->mnuReverse_Click();
    EXPECT_EQ(AirwayStart(1, 1), 10);
    EXPECT_EQ(NetworkSaved, 255);
    boxes->Expect(VB::vbYes, "swap your X and Y axis coordinates");
    form->mnuReverse_Click();
    EXPECT_EQ(AirwayStart(1, 1), 70);
    EXPECT_EQ(AirwayStart(2, 1), 10);
    EXPECT_EQ(AirwayEnd(2, 1), 18);
    EXPECT_EQ(AxisSignX, -1);
    EXPECT_EQ(AxisSignY, -1);
    EXPECT_NE(AirwayStartKey(1), key);
    EXPECT_EQ(NetworkSaved, 0);
}

TEST_F(ShellTest, ClearSmokeTrackingKeepsSourcesOnNoAndBringsBackTheDataType) {
    AddAirways(2);
    AirwayFlags(1) |= AirwayFlag::ContaminantSource;
    AirwayContaminant(1) = 50;
    AirwayMeshOrder(2) = 7;
    form->MenuItem("mnuPressure(2)")->trigger();
    SavedDataGroup = 2;
    SavedDataItem = 3;
    form->MenuItem("mnuOther(4)")->trigger();
    SmokeMode = 1;
    form->Smoke().LoadLegend();
    boxes->Expect(VB::vbNo, "Clear contaminant sources as well?");
    form->mnuClrSmoke_Click();
    EXPECT_FALSE(form->Smoke().LegendLoaded());
    EXPECT_FLOAT_EQ(AirwayContaminant(1), 50);
    EXPECT_EQ(AirwayMeshOrder(2), 0);
    EXPECT_EQ(NetworkSaved, 255);
    EXPECT_EQ(SmokeMode, 0);
    EXPECT_EQ(DataCode, 23);
    EXPECT_EQ(form->CmbDataVal->ListIndex(), 1);

    boxes->Expect(VB::vbYes, "Clear contaminant sources as well?");
    form->mnuClrSmoke_Click();
    EXPECT_FLOAT_EQ(AirwayContaminant(1), 0);
    EXPECT_FALSE(AirwayFlags(1) & AirwayFlag::ContaminantSource);
    EXPECT_EQ(NetworkSaved, 0);
}

TEST_F(ShellTest, CommandsThatChangeTheNetworkMarkItUnsavedAndDeselectClearsOnlyTheSelection) {
    AddAirways(2);
    AirwaySmoke(1, 2) = 3;
    // In this order: the flow names Preserve writes are the ones Remove takes away.
    const std::pair<void (MainForm::*)(), std::vector<int>> commands[] = {
        {&MainForm::mnuPres_Click, {VB::vbYes}},
        {&MainForm::mnuRmvFlow_Click, {}},
        {&MainForm::mnuFixL_Click, {VB::vbYes, VB::vbOK}},
        {&MainForm::mnuUnFixL_Click, {VB::vbYes, VB::vbOK}},
        {&MainForm::mnuResetAir_Click, {VB::vbOK}},
        {&MainForm::mnuRevCoord_Click, {VB::vbOK}},
        {&MainForm::mnuClrSources_Click, {}},
    };
    for (size_t i = 0; i < std::size(commands); ++i) {
        NetworkSaved = 255;
        for (int answer : commands[i].second)
            boxes->Expect(answer);
        (form.get()->*commands[i].first)();
        EXPECT_EQ(NetworkSaved, 0) << "command " << i;
        EXPECT_TRUE(boxes->Done()) << "command " << i;
    }

    AirwayFlags(1) |= AirwayFlag::Selected | AirwayFlag::FixedFlow;
    form->MenuItem("mnuDeselect")->trigger();
    EXPECT_EQ(AirwayFlags(1) & (AirwayFlag::Selected | AirwayFlag::FixedFlow), AirwayFlag::FixedFlow);
}
