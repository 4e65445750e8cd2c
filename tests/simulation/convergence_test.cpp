// When balancing may stop: the flow error still left, estimated from the run's own changes, against the
// flows of the same network solved far past the tolerance.
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "common/RecordingSimulationUi.h"
#include "graphics/graphics_state.h"
#include "model/network_load.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "platform/PictureBox.h"
#include "platform/System.h"
#include "simulation/balance.h"
#include "simulation/driver.h"
#include "test_network.h"

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <unordered_map>

namespace {

constexpr double Infinite = std::numeric_limits<double>::infinity();

// The largest flow changes (m³/s) of `sweeps` sweeps, and the changes that the same law gives after them.
struct ChangeSequence {
    const char *what;
    std::function<double(int)> change; // of sweep k, from 1
    int sweeps;
    bool settles; // the changes die away: the error left is the sum of those still to come
};

} // namespace

TEST(FlowErrorLeft, OnlyChangesThatShrinkSteadilyGiveAnErrorAndItCoversTheChangesStillToCome) {
    const double pi = std::acos(-1.0);
    const ChangeSequence cases[] = {
        {"shrinking by a tenth each sweep", [](int k) { return std::pow(0.9, k); }, 40, true},
        // Two parts of the error turning against each other: the last sweep caught the changes at their
        // smallest, at a tenth of their size a few sweeps before.
        {"swelling and shrinking while dying away",
         [pi](int k) { return std::pow(0.95, k) * (1.2 + std::cos(2 * pi * k / 20)); }, 70, true},
        {"standing still", [](int) { return 1e-4; }, 40, false},
        {"growing", [](int k) { return 1e-6 * std::pow(1.1, k); }, 40, false},
        {"swelling and shrinking for ever", [pi](int k) { return 1e-4 * (1.2 + std::cos(2 * pi * k / 20)); },
         70, false},
        {"by turns larger and smaller", [](int k) { return k % 2 ? 2e-4 : 1e-4; }, 41, false},
        {"shrinking, but the last sweep's change grew", [](int k) { return std::pow(0.5, k < 40 ? k : 38); },
         40, false},
        {"too few sweeps to tell", [](int k) { return std::pow(0.1, k); }, 3, false},
    };
    for (const ChangeSequence &c : cases) {
        std::vector<double> changes;
        for (int k = 1; k <= c.sweeps; ++k)
            changes.push_back(c.change(k));
        const double left = FlowErrorLeft(changes);
        if (!c.settles) {
            EXPECT_EQ(left, Infinite) << c.what;
            continue;
        }
        // The flows still move by the sum of the changes to come.
        double toCome = 0;
        for (int k = c.sweeps + 1; c.change(k) > 1e-12 * changes.back(); ++k)
            toCome += c.change(k);
        EXPECT_GE(left, toCome * (1 - 1e-9)) << c.what;
        EXPECT_LE(left, 10 * toCome) << c.what; // an estimate, not a refusal
    }
    EXPECT_EQ(FlowErrorLeft({0.5, 0.2, 0.0}), 0.0) << "flows that no longer move";
}

namespace {

class SolvedNetworks : public ModelTest {
protected:
    PictureBox picture{400, 300};
    RecordingSimulationUi ui;
    void SetUp() override {
        ModelTest::SetUp();
        SetWindowPicture(0, &picture);
        ActiveWindow = 0;
        VB::SetLocaleDecimalSeparatorOverride('.');
    }
    void TearDown() override {
        SetWindowPicture(0, nullptr);
        ActiveWindow = -1;
        VB::SetLocaleDecimalSeparatorOverride(0);
    }
};

// Pressure (Pa) of the airway's fans at flow q by straight lines between the stored curve points (the
// eleventh closing the curve at zero pressure), for their number, arrangement and curve percentage.
double curvePressure(int a, double q) {
    const int f = AirwayFan(a);
    const int n = std::max(1, static_cast<int>(AirwayFanCount(a)));
    const bool series = (AirwayFlags(a) & AirwayFlag::FansInSeries) != 0;
    auto flow = [&](int p) { return FanCurveFlow(p, f) * (series ? 1.0 : n); };
    auto pressure = [&](int p) {
        const double c = AirwayCurvePercent(a) / 100.0;
        return (FanCurvePressure(1, p, f) * (1 - c) + FanCurvePressure(2, p, f) * c) * (series ? n : 1.0);
    };
    if (q < flow(1))
        return pressure(1);
    for (int p = 2; p <= 11; ++p)
        if (q < flow(p))
            return pressure(p - 1) +
                   (q - flow(p - 1)) * (pressure(p) - pressure(p - 1)) / (flow(p) - flow(p - 1));
    return 0;
}

// Pressure lost along airway a at its flow (Pa): friction less what its fans or its fixed pressure add.
double dropOf(int a) {
    const double q = AirwayFlow(a);
    const double added = AirwayFan(a) == -1 ? AirwayPressure(a) : AirwayFan(a) > 0 ? curvePressure(a, q) : 0;
    return AirwayResistance(a) * q * std::fabs(q) - added;
}

// The flows of a solved network obey both laws: air is neither made nor lost at a junction, and the
// pressures round every closed path of airways that set their own flow add up to nothing.
void expectBothLaws(const std::string &what) {
    std::unordered_map<Currency, double> net, through;
    for (int a = 1; a <= AirwayCount; ++a) {
        net[AirwayEndKey(a)] += AirwayFlow(a);
        net[AirwayStartKey(a)] -= AirwayFlow(a);
        through[AirwayEndKey(a)] += std::fabs(AirwayFlow(a));
    }
    for (const auto &[key, sum] : net) {
        if (key == SurfaceNodeKey)
            continue;
        EXPECT_LE(std::fabs(sum), 1e-5 * through[key] + 1e-6) << what << " junction " << key;
    }

    testnet::ExpectPressuresAgree(dropOf, what);
}

// Every airway's flow after a whole run, by airway number, in the direction it was drawn in (m³/s).
std::map<int32_t, double> solvedFlows(const std::function<void()> &load, float maxError, int sweeps) {
    load();
    std::map<int32_t, std::array<int32_t, 3>> drawnStart;
    for (int a = 1; a <= AirwayCount; ++a)
        drawnStart[AirwayNumber(a)] = {AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a)};
    MaxError = maxError;
    MaxIterations = sweeps;
    AnalysisMode = 0;
    ShowProgress = 0;
    ScriptedDialogs boxes; // a convergence question fails the test
    Simulate();
    EXPECT_TRUE(NetworkBalanced);
    std::map<int32_t, double> flows;
    for (int a = 1; a <= AirwayCount; ++a) {
        const bool asDrawn = drawnStart[AirwayNumber(a)] ==
                             std::array<int32_t, 3>{AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a)};
        flows[AirwayNumber(a)] = asDrawn ? AirwayFlow(a) : -AirwayFlow(a);
    }
    return flows;
}

} // namespace

TEST_F(SolvedNetworks, AtTheDefaultToleranceEveryFlowLiesWithinItOfTheSolution) {
    auto example = [](const char *name) {
        return [name] {
            NetworkFileName = std::string(GUSTROM_SOURCE_DIR) + "/examples/" + name;
            LoadMode = 1;
            ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded);
        };
    };
    // Every case as a user runs it: the default tolerance and the shipped Max Iterations.
    const struct {
        const char *what;
        std::function<void()> load;
    } cases[] = {
        {"examples/teaching.sim", example("teaching.sim")},
        {"examples/mine.sim", example("mine.sim")},
        {"a generated mine of 5,000 airways",
         [] {
             GenerateNetwork(5000, 7);
             LevelRange(1, 1) = LevelRange(1, 2) = 1000; // its surface
         }},
        // A slower part of the error surfaces only after the faster ones have died away.
        {"a generated mine of 2,000 airways",
         [] {
             GenerateNetwork(2000, 8);
             LevelRange(1, 1) = LevelRange(1, 2) = 1000;
         }},
        // Panels of drives and cross-cuts on four levels.
        {"a generated multi-level mine of 5,000 airways", [] { GenerateMultiLevelMine(5000, 11); }},
        // Levels so wide and so often joined that their junctions are eliminated by nested dissection.
        {"a generated grid mine of 32,000 airways",
         [] {
             UndoBufferSize = 70000; // the reversals of half its airways, recorded before and after
             GenerateGridMine(6, 50, 2, 4);
         }},
    };
    for (const auto &c : cases) {
        const std::map<int32_t, double> solution = solvedFlows(c.load, 1e-7f, 30000);
        expectBothLaws(c.what);
        const std::map<int32_t, double> flows = solvedFlows(c.load, 0.05f, 50);
        ASSERT_EQ(flows.size(), solution.size()) << c.what;
        for (const auto &[number, q] : flows)
            EXPECT_NEAR(q, solution.at(number), 0.05) << c.what << " airway " << number;
    }
}

TEST_F(SolvedNetworks, AMultiLevelMineOf30000AirwaysBalancesWithNoMessageAndNoQuestion) {
    GenerateMultiLevelMine(30000, 5);
    MaxError = 0.05f;
    MaxIterations = 50;
    AnalysisMode = 0;
    ShowProgress = 0;
    ScriptedDialogs boxes; // the mesh memory message or a convergence question fails the test
    Simulate();
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_EQ(Errorlist, std::vector<std::string>{});
}

namespace {

// How a generated mine is edited before it is run, as users edit theirs.
enum class Edit { TwentyAtOneHundredth, TwentyAtOneMillionth, OneWithoutResistance, WildStoredFlows };

// Ordinary airways of the network: no fan, no fixed quantity, no bulkhead.
std::vector<int> ordinaryAirways() {
    std::vector<int> ordinary;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayFan(a) == 0 && !(AirwayFlags(a) & AirwayFlag::FixedFlow) &&
            AirwayResistanceType(a) != BulkheadPreset && AirwayResistance(a) < 1000)
            ordinary.push_back(a);
    return ordinary;
}

void editMine(int airways, Edit edit) {
    GenerateMultiLevelMine(airways, 23);
    ResetUndoSteps(); // as a network opened anew: its reversals go to an empty undo log
    std::mt19937 random(static_cast<uint32_t>(airways) + static_cast<uint32_t>(edit));
    const std::vector<int> ordinary = ordinaryAirways();
    auto typed = [&](int count, float resistance) {
        for (int k = 0; k < count; ++k) {
            const int a = ordinary[random() % ordinary.size()];
            AirwayResistanceType(a) = 50;
            AirwayResistance(a) = resistance;
        }
    };
    switch (edit) {
    case Edit::TwentyAtOneHundredth:
        return typed(20, 0.01f);
    case Edit::TwentyAtOneMillionth:
        return typed(20, 1e-6f);
    case Edit::OneWithoutResistance:
        return typed(1, 0.0f);
    case Edit::WildStoredFlows: {
        std::uniform_real_distribution<float> wild(-5000, 5000);
        for (int a : ordinary)
            AirwayFlow(a) = wild(random);
        return;
    }
    }
}

class EditedMines : public SolvedNetworks, public ::testing::WithParamInterface<int> {};

} // namespace

TEST_P(EditedMines, BalanceAtTheDefaultsWithinTheToleranceOfTheSolution) {
    const int airways = GetParam();
    for (Edit edit : {Edit::TwentyAtOneHundredth, Edit::TwentyAtOneMillionth, Edit::OneWithoutResistance,
                      Edit::WildStoredFlows}) {
        const std::string what = std::to_string(airways) + " airways, edit " + std::to_string(int(edit));
        const std::map<int32_t, double> solution =
            solvedFlows([&] { editMine(airways, edit); }, 1e-7f, 30000);
        expectBothLaws(what);
        const std::map<int32_t, double> flows = solvedFlows([&] { editMine(airways, edit); }, 0.05f, 50);
        ASSERT_EQ(flows.size(), solution.size()) << what;
        for (const auto &[number, q] : flows)
            EXPECT_NEAR(q, solution.at(number), 0.05) << what << " airway " << number;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, EditedMines, ::testing::Values(5000, 17000, 30000));
