#include "common/NetworkGenerator.h"
#include "common/RecordingSimulationUi.h"
#include "common/ScriptedDialogs.h"
#include "common/test_network.h"
#include "solver/balance.h"
#include "solver/certification.h"
#include "solver/checks.h"
#include "solver/fan_curves.h"
#include "solver/meshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <unordered_map>

using namespace testnet;

namespace {

struct FanModel {
    double p0, slope; // static pressure p0 - slope × Q, Pa; total 100 Pa above
};
const FanModel fanModels[] = {{2500, 10}, {1500, 5}};

// The pressure an airway's fans give at flow q, worked out from the straight-line models above.
double expectedFanPressure(int a, double q) {
    if (AirwayFan(a) == -1)
        return AirwayPressure(a);
    if (AirwayFan(a) == 0)
        return 0;
    const FanModel &m = fanModels[AirwayFan(a) - 1];
    const int n = AirwayFanCount(a) == 0 ? 1 : AirwayFanCount(a);
    const bool series = (AirwayFlags(a) & AirwayFlag::FansInSeries) != 0;
    const double flowFactor = series ? 1 : n, pressureFactor = series ? n : 1;
    const double c = AirwayCurvePercent(a) / 100.0;
    auto flowAt = [&](int p) {
        if (p <= 10)
            return 10.0 * (p - 1) * flowFactor;
        const double p10 = m.p0 - m.slope * 90;
        return (p10 / m.slope + 90) * flowFactor;
    };
    auto pressureAt = [&](int p) {
        double ps, pt;
        if (p <= 10) {
            ps = m.p0 - m.slope * flowAt(p) / flowFactor;
            pt = ps + 100;
        } else {
            ps = -(m.p0 - m.slope * 90 + 100);
            pt = 0;
        }
        return pressureFactor * (ps + c * (pt - ps));
    };
    if (q < flowAt(1))
        return pressureAt(1);
    if (q >= flowAt(11))
        return 0;
    int i = 2;
    while (!(flowAt(i) > q))
        ++i;
    return pressureAt(i) +
           (q - flowAt(i)) * (pressureAt(i - 1) - pressureAt(i)) / (flowAt(i - 1) - flowAt(i));
}

// A closed network of about the given number of airways: a ring through the surface so that every node
// has an entry and an exit, random cross airways, exhaust fans, fixed quantities, bulkheads and a
// fixed-pressure airway, all heavy airways parallel to light ones.
void generate(int airways, unsigned seed) {
    NewNetwork(airways + 10, 20);
    for (int f = 1; f <= 2; ++f)
        SetLinearFan(f, fanModels[f - 1].p0, fanModels[f - 1].slope);
    std::mt19937 random(seed);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto node = [&](int n) { return 1 + static_cast<int>(random() % n); };
    const int nodes = std::max(3, airways / 3);
    std::set<std::pair<int, int>> used;
    auto fresh = [&](int from, int to) { return from != to && used.insert({from, to}).second; };
    auto light = [&](int from, int to) { AddAirway(from, to, uniform(0.005, 0.2)); };
    fresh(0, 1);
    light(0, 1);
    for (int i = 1; i < nodes; ++i) {
        fresh(i, i + 1);
        light(i, i + 1);
    }
    fresh(nodes, 0);
    light(nodes, 0);
    const int special = std::max(1, airways / 40);
    for (int k = 0; k < special; ++k) {
        int from = node(nodes);
        if (fresh(from, 0)) {
            const int f = 1 + static_cast<int>(random() % 2);
            const int count = 1 + static_cast<int>(random() % 3);
            AddFanAirway(from, 0, uniform(0.01, 0.05), f, count, random() % 2 == 0,
                         random() % 2 == 0 ? 0 : 100);
        }
        int a = node(nodes), b = node(nodes);
        if (fresh(a, b))
            AddFixedFlow(a, b, uniform(0.01, 0.1), uniform(1, 5));
        a = node(nodes), b = node(nodes);
        if (fresh(a, b))
            AddBulkhead(a, b);
    }
    int from = node(nodes);
    if (fresh(from, 0)) {
        const int a = AddAirway(from, 0, 0.05);
        AirwayFan(a) = -1;
        AirwayPressure(a) = 300;
    }
    while (AirwayCount < airways) {
        const int a = random() % 10 == 0 ? 0 : node(nodes);
        const int b = a != 0 && random() % 10 == 0 ? 0 : node(nodes);
        if (fresh(a, b))
            light(a, b);
    }
}

double dropOf(int a) {
    const double q = AirwayFlow(a);
    return AirwayResistance(a) * q * std::fabs(q) - expectedFanPressure(a, q);
}

} // namespace

TEST(BalanceAirflows, GeneratedNetworksBalanceFlowsAndPressures) {
    // 0 airways: 200, one of them without resistance, which joins its two junctions into one for the
    // whole-network solve.
    for (int airways : {20, 60, 200, 700, 2000, 0}) {
        generate(airways == 0 ? 200 : airways, 1000u + airways);
        if (airways == 0)
            AirwayResistance(AirwayCount) = 0;
        MaxError = 1e-4f;
        MaxIterations = 30000;
        ScriptedDialogs boxes; // any box (a convergence question) fails the test
        ASSERT_TRUE(Solve()) << airways << (Errorlist.empty() ? "" : " " + Errorlist[0]);
        ASSERT_GT(MeshCount, 0);
        EXPECT_TRUE(LastBalance.converged) << airways;
        EXPECT_GT(LastBalance.newtonSteps, 0) << airways;

        // Flow balance at every node.
        std::unordered_map<Currency, double> net;
        double inflow = 0;
        for (int a = 1; a <= AirwayCount; ++a) {
            const double q = AirwayFlow(a);
            net[AirwayEndKey(a)] += q;
            net[AirwayStartKey(a)] -= q;
            if (AirwayStartKey(a) == SurfaceNodeKey)
                inflow += std::max(q, 0.0);
            if (AirwayEndKey(a) == SurfaceNodeKey)
                inflow += std::max(-q, 0.0);
        }
        ASSERT_GT(inflow, 1.0) << airways;
        for (const auto &[key, sum] : net)
            EXPECT_LE(std::fabs(sum), 1e-5 * inflow) << airways << " node " << key;

        // Fixed quantities keep their flow, bulkheads carry none.
        for (int a = 1; a <= AirwayCount; ++a) {
            if (AirwayFlags(a) & AirwayFlag::FixedFlow) {
                EXPECT_GT(AirwayFlow(a), 0.99f);
            }
            if (AirwayResistance(a) >= static_cast<float>(BulkheadResistance)) {
                EXPECT_EQ(AirwayFlow(a), 0.0f);
            }
        }

        // Node pressures from the surface along free airways, then every free airway must agree with them.
        ExpectPressuresAgree(dropOf, std::to_string(airways));
    }
}

namespace {

// Surface S, nodes 1 and 2: a free fan mesh, a bulkhead mesh and a fixed-quantity mesh, balanced by the
// sweeps alone so that their question comes.
void threeMeshes() {
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    AddAirway(0, 1, 0);
    AddAirway(1, 2, 0.5);
    AddFanAirway(2, 0, 0.1, 1);
    AddBulkhead(1, 0);
    AddFixedFlow(0, 2, 0.1, 5);
}

std::vector<float> flows() {
    std::vector<float> q;
    for (int a = 1; a <= AirwayCount; ++a)
        q.push_back(AirwayFlow(a));
    return q;
}

} // namespace

TEST(BalanceAirflows, ConvergenceQuestionShowsTheCutPercentageAndNoKeepsTheFlows) {
    threeMeshes();
    MaxIterations = 1;
    RecordingSimulationUi ui;
    std::vector<float> afterOneSweep;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbNo,
                     "Your Network only has a convergence of 66%\r\nDo you wish to keep on simulating ?");
        ASSERT_TRUE(Solve(true));
        EXPECT_TRUE(boxes.Done());
        EXPECT_EQ(boxes.Shown().at(0).title, "Convergence Warning");
        EXPECT_EQ(boxes.Shown().at(0).icon, VB::vbQuestion);
        EXPECT_EQ(MeshCount, 3);
        afterOneSweep = flows();
    }
    EXPECT_TRUE(ui.balanceLabelsShown);
    ASSERT_EQ(ui.sweepFigures.size(), 1u);
    EXPECT_EQ(ui.sweepFigures[0].first, "1");
    EXPECT_NE(ui.sweepFigures[0].second.find(" m3/s"), std::string::npos);
    float sum = 0;
    for (float q : afterOneSweep)
        sum += std::fabs(q);
    EXPECT_GT(sum, 5.0f); // the sweep's flows stand, not the start

    // The same start with Yes: one more sweep from where it was, then the question again.
    threeMeshes();
    MaxIterations = 1;
    RecordingSimulationUi ui2;
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbYes, "66%").Expect(VB::vbNo, "66%");
    ASSERT_TRUE(Solve(true));
    EXPECT_TRUE(boxes.Done());
    ASSERT_EQ(ui2.sweepFigures.size(), 2u);
    EXPECT_EQ(ui2.sweepFigures[1].first, "1"); // the count starts again after Yes
    EXPECT_NE(flows(), afterOneSweep);
}

TEST(BalanceAirflows, OnlyFixedMeshesEndAfterOneSweepWithoutFigures) {
    NewNetwork();
    AddAirway(0, 1, 0.5);
    AddAirway(1, 2, 0.5);
    AddFixedFlow(2, 0, 0.1, 5);
    RecordingSimulationUi ui;
    ScriptedDialogs boxes;
    ASSERT_TRUE(Solve());
    EXPECT_EQ(MeshCount, 1);
    EXPECT_TRUE(ui.sweepFigures.empty());
    EXPECT_EQ(ui.pumps, 0);
    for (int a = 1; a <= AirwayCount; ++a)
        EXPECT_FLOAT_EQ(AirwayFlow(a), 5.0f);
}

TEST(BalanceAirflows, NonConvergingModeListsEachAirwayOnce) {
    // Two fan meshes share the intake S-1, which has no resistance.
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    AddAirway(0, 1, 0);
    AddAirway(1, 2, 0.5);
    AddFanAirway(1, 0, 0.1, 1);
    AddFanAirway(2, 0, 0.1, 1);
    AnalysisMode = -1;
    MaxIterations = 1;
    RecordingSimulationUi ui;
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbNo, "convergence of 0%");
    CheckFanCurves();
    ASSERT_TRUE(CheckAndMesh());
    BuildFanCurves();
    BalanceBySweeps();
    EXPECT_EQ(ErrorLevel, 1);
    EXPECT_EQ(LinesWith("\tConverge Error").size(), 4u);
    std::set<std::string> distinct(ui.errors.begin(), ui.errors.end());
    EXPECT_EQ(distinct.size(), 4u);
    for (int a = 1; a <= AirwayCount; ++a)
        EXPECT_EQ(AirwayComment(a).trimmed().rfind("Converge ", 0), 0u);
}

TEST(BalanceAirflows, CancelStopsTheRunAfterTheSweep) {
    threeMeshes();
    RecordingSimulationUi ui;
    ui.cancelAtPump = 1;
    ScriptedDialogs boxes;
    Solve(true);
    EXPECT_EQ(ErrorLevel, 1);
    EXPECT_EQ(ui.sweepFigures.size(), 1u);
}

TEST(SetProgress, DrawsTheBarAndLetsEventsRun) {
    RecordingSimulationUi ui;
    SetProgress(40);
    SetProgress(100);
    EXPECT_EQ(ui.progress, (std::vector<int>{40, 100}));
    EXPECT_EQ(ui.pumps, 2);
}

namespace {

// S-1, a ring without resistance from 1 to 2 (straight, and through 3) given a circulation of its own, then
// the fan from 2 to S (model 1, or none where it is switched off); solved whole or by the sweeps alone.
void solveRing(float stored, int fan, bool sweepsAlone) {
    NewNetwork();
    SetLinearFan(1, fanModels[0].p0, fanModels[0].slope);
    AddAirway(0, 1, 0.5);
    for (const auto &[from, to] : {std::pair{1, 2}, {1, 3}, {3, 2}})
        AirwayFlow(AddAirway(from, to, 0)) = stored;
    AddFanAirway(2, 0, 0.1, fan);
    MaxError = 1e-4f;
    MaxIterations = 5000;
    ScriptedDialogs boxes;
    ASSERT_TRUE(Solve(sweepsAlone));
    EXPECT_TRUE(LastBalance.converged);
    EXPECT_EQ(LastBalance.newtonSteps > 0, !sweepsAlone);
    // Equal resistances split as the square root of the path lengths: the straight airway carries the
    // square root of 2 times the path through 3, and nothing goes round where nothing goes through.
    std::map<int, double> q; // by the order added
    for (int a = 1; a <= AirwayCount; ++a)
        q[AirwayNumber(a) - 1000] = AirwayFlow(a);
    EXPECT_NEAR(q[2], std::sqrt(2.0) * q[3], 1e-3) << stored << " " << fan << " " << sweepsAlone;
    EXPECT_NEAR(q[2] + q[3], q[1], 1e-3);
    ExpectPressuresAgree(dropOf, "ring");
}

} // namespace

TEST(BalanceAirflows, ARingOfAirwaysWithoutResistanceTakesTheSplitOfEqualSmallResistances) {
    for (const float stored : {3.0f, -300.0f})
        for (const int fan : {1, 0})
            for (const bool sweepsAlone : {false, true})
                solveRing(stored, fan, sweepsAlone);
}

TEST(BalanceAirflows, AnEstimateBeyondEveryFlowIsNoEstimate) {
    // Sweeps alone on a generated network, stopped at the question: after 20 sweeps the changes shrink too
    // slowly for the estimate to mean anything, after 40 it is a real figure.
    for (const int sweeps : {20, 40}) {
        GenerateNetwork(200, 3);
        LevelRange(1, 1) = LevelRange(1, 2) = 1000; // its surface
        MaxIterations = sweeps;
        MaxError = 0.05f;
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbNo, "convergence of");
        Solve(true);
        EXPECT_TRUE(boxes.Done());
        double largest = 0;
        for (int a = 1; a <= AirwayCount; ++a)
            largest = std::max(largest, std::fabs(static_cast<double>(AirwayFlow(a))));
        if (sweeps == 20)
            EXPECT_FALSE(std::isfinite(LastBalance.flowErrorLeft)) << LastBalance.flowErrorLeft;
        else
            EXPECT_LE(LastBalance.flowErrorLeft, largest);
    }
}

TEST(BalanceAirflows, TheOutcomeRecordsTheFlowErrorTheSweepsLeft) {
    // A ladder of six meshes, balanced by sweeps alone and stopped at the question after 30: slowly enough
    // that an error is left, steadily enough that it can be estimated.
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    AddAirway(0, 1, 0.01);
    for (int i = 1; i <= 6; ++i) {
        AddAirway(i, i + 1, 0.05 * i);
        AddAirway(i, 20 + i, 0.3);
        if (i > 1)
            AddAirway(19 + i, 20 + i, 0.02);
    }
    AddAirway(7, 26, 0.1);
    AddFanAirway(26, 0, 0.05, 1);
    MaxError = 1e-5f;
    MaxIterations = 30;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbNo, "convergence of");
        Solve(true);
        EXPECT_TRUE(boxes.Done());
    }
    ASSERT_FALSE(LastBalance.converged);
    const double recorded = LastBalance.flowErrorLeft; // m³/s
    std::vector<double> left;
    for (int a = 1; a <= AirwayCount; ++a)
        left.push_back(AirwayFlow(a));
    // The balanced flows, run on from there to a far finer tolerance.
    MaxError = 1e-7f;
    MaxIterations = 5000;
    ScriptedDialogs boxes;
    ASSERT_TRUE(Solve(true));
    ASSERT_TRUE(LastBalance.converged);
    double error = 0, largest = 0; // m³/s
    for (int a = 1; a <= AirwayCount; ++a) {
        error = std::max(error, std::fabs(left[static_cast<std::size_t>(a - 1)] - AirwayFlow(a)));
        largest = std::max(largest, static_cast<double>(std::fabs(AirwayFlow(a))));
    }
    // The figure covers the error really left, without exceeding the flows themselves.
    EXPECT_GT(error, 1e-4);
    EXPECT_GE(recorded, error);
    EXPECT_LT(recorded, largest);
}

TEST(SweepStopRule, TheFlowsGoToBeCertifiedOnlyWhenWhatBoundsTheirErrorIsWithinHalfTheTolerance) {
    const double unknown = INFINITY, tolerance = 0.5; // m³/s
    const struct {
        double solveBound, movedSince, estimate;
        bool sweepsAlone;
        SweepStop stop;
    } cases[] = {
        {0.125, 0.125, unknown, false, SweepStop::Certify}, // together at half the tolerance
        {0.125, 0.25, unknown, false, SweepStop::GoOn},     // the sweeps' changes since the bound count
        {unknown, 0, 0, false, SweepStop::Certify},         // the flows stand still
        {unknown, 0, 0.25, false, SweepStop::BoundBySolve}, // an estimate is bounded by a solve first
        {unknown, 0, 0.25, true, SweepStop::Certify},       // unless the sweeps run alone
        {unknown, 0, 0.375, true, SweepStop::GoOn},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SweepStopRule(c.solveBound, c.movedSince, c.estimate, tolerance, c.sweepsAlone), c.stop)
            << c.solveBound << " + " << c.movedSince << ", estimate " << c.estimate;
}

TEST(CertifyBalance, AOneMeshLoopIsCorrectedByItsPressureSumOverItsSlopeAndAllowedTheNextSuchCorrection) {
    // Surface -> 1 -> 2 -> surface, 1 Ns²/m⁸ in all, driven by a fixed pressure of 100 Pa: balanced at
    // 10 m³/s. At 10.2 m³/s the loop loses 104.04 Pa against 100 Pa over a slope of 2 x 10.2 Pa per m³/s;
    // after that correction it loses (its size)² more than 100 Pa, over the same slope.
    NewNetwork();
    const int driven = AddAirway(0, 1, 0.25);
    AirwayFan(driven) = -1;
    AirwayPressure(driven) = 100;
    AddAirway(1, 2, 0.25);
    AddAirway(2, 0, 0.5);
    CheckFanCurves();
    ASSERT_TRUE(CheckAndMesh());
    BuildFanCurves();
    const double correction = 4.04 / 20.4, next = correction * correction / 20.4;
    for (const double tolerance : {0.5, 0.25}) {
        MaxError = static_cast<float>(tolerance);
        const BalanceCertificate c = CertifyBalance(std::vector<double>(AirwayCount + 1, 10.2));
        EXPECT_NEAR(c.correction, correction, 1e-12);
        EXPECT_NEAR(c.allowance, next / (1 - next / correction), 1e-12);
        EXPECT_EQ(c.balanced, tolerance == 0.5) << "bound 0.2 m3/s against half of " << tolerance;
    }
}

TEST(BalanceAirflows, NegligibleAirwaysKeepTheirFansAndTheirRingsTheSplitOfTheirResistances) {
    // The fan from S to 1 (model 1, 2,500 - 10 Q Pa), then either straight back to S (0.5 Ns²/m⁸) or
    // through a ring of negligible airways from 1 to 2 and from 2 to S: 0.5 Q² = 2,500 - 10 Q, Q = 61.41.
    // The ring: straight from 1 to 2 at 1e-9, and through 3 at 1e-9 and 3e-9, each part drawn along the
    // flow or against it; square roots of the resistances split it: the straight airway carries twice the
    // path through 3.
    const double total = -10 + std::sqrt(100 + 2 * 2500);
    const struct {
        const char *what;
        float fanResistance; // Ns²/m⁸
        bool ring, straightBack, pathBack;
    } cases[] = {{"a fan without resistance", 0, false, false, false},
                 {"a fan of negligible resistance", 1e-9f, false, false, false},
                 {"a ring drawn along the flow", 0.01f, true, false, false},
                 {"a ring whose straight airway is drawn against the flow", 0.01f, true, true, false},
                 {"a ring whose path is drawn against the flow", 0.01f, true, false, true}};
    for (const auto &c : cases) {
        NewNetwork();
        SetLinearFan(1, fanModels[0].p0, fanModels[0].slope);
        std::map<int32_t, int> along; // by airway number: +1 drawn along the flow, -1 against it
        auto add = [&](int from, int to, double r, bool back) {
            along[AirwayNumber(back ? AddAirway(to, from, r) : AddAirway(from, to, r))] = back ? -1 : 1;
        };
        along[AirwayNumber(AddFanAirway(0, 1, c.fanResistance, 1))] = 1;
        if (c.ring) {
            add(1, 2, 1e-9, c.straightBack);
            add(1, 3, 1e-9, c.pathBack);
            add(3, 2, 3e-9, c.pathBack);
        }
        add(c.ring ? 2 : 1, 0, 0.5 - c.fanResistance, false);
        MaxError = 1e-4f;
        ScriptedDialogs boxes;
        ASSERT_TRUE(Solve()) << c.what;
        // The whole-network solve finds it; the sweeps only confirm it.
        EXPECT_EQ(LastBalance.sweeps, 1) << c.what;
        std::map<int, double> q; // by the order added, along the flow
        for (int a = 1; a <= AirwayCount; ++a)
            q[AirwayNumber(a) - 1000] = along[AirwayNumber(a)] * AirwayFlow(a);
        EXPECT_NEAR(q[1], total, 1e-3) << c.what;
        if (c.ring) {
            EXPECT_NEAR(q[2], 2 * total / 3, 1e-3) << c.what;
            EXPECT_NEAR(q[3], total / 3, 1e-3) << c.what;
        }
    }
}

TEST(BalanceAirflows, FlowsBalancedBeforeAreCertifiedAsTheyStandAndMovedOnesAreSolvedAgain) {
    // The same run again, with the last run's results standing or not, and with one airway's stored flow
    // moved by 1 m³/s, at 0.05 and 1e-3.
    struct Again {
        bool resultsStood;
        float moved; // m³/s
        bool certifiedAsTheyStand;
    };
    for (const float tolerance : {0.05f, 1e-3f}) {
        generate(700, 1700u);
        MaxError = tolerance;
        MaxIterations = 50;
        ScriptedDialogs boxes; // any box (a convergence question) fails the test
        ASSERT_TRUE(Solve());
        std::vector<float> first(AirwayCount + 1);
        for (int a = 1; a <= AirwayCount; ++a)
            first[a] = AirwayFlow(a);
        const int chord = std::abs(MeshAirwayList(MeshStart(1))); // its stored flow starts the run
        for (const Again &c : {Again{true, 0, true}, Again{false, 0, false}, Again{true, 1, false}}) {
            SCOPED_TRACE(testing::Message()
                         << tolerance << " stood " << c.resultsStood << " moved " << c.moved);
            for (int a = 1; a <= AirwayCount; ++a)
                AirwayFlow(a) = first[a];
            AirwayFlow(chord) += c.moved;
            ASSERT_TRUE(CheckAndMesh());
            BuildFanCurves();
            BalanceAirflows(c.resultsStood);
            EXPECT_TRUE(LastBalance.converged);
            EXPECT_EQ(LastBalance.newtonSteps + LastBalance.sweeps == 0, c.certifiedAsTheyStand);
            for (int a = 1; a <= AirwayCount; ++a)
                EXPECT_NEAR(AirwayFlow(a), first[a], tolerance) << "airway " << a;
        }
    }
}
