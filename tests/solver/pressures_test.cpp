#include "common/run_fixture.h"
#include "solver/driver.h"
#include "solver/pressures.h"

#include <random>

using namespace testnet;

namespace {

struct AirwayState {
    Currency startKey, endKey;
    int32_t start[3], end[3];
    std::string startName, endName;
    int32_t flags;
    float flow, icon, startPressure, endPressure, pressure;
    bool operator==(const AirwayState &) const = default;
};

AirwayState stateOf(int a) {
    AirwayState s{};
    s.startKey = AirwayStartKey(a);
    s.endKey = AirwayEndKey(a);
    for (int c = 1; c <= 3; ++c) {
        s.start[c - 1] = AirwayStart(c, a);
        s.end[c - 1] = AirwayEnd(c, a);
    }
    s.startName = AirwayStartName(a).str();
    s.endName = AirwayEndName(a).str();
    s.flags = AirwayFlags(a);
    s.flow = AirwayFlow(a);
    s.icon = AirwayIconPosition(a);
    s.startPressure = AirwayStartPressure(a);
    s.endPressure = AirwayEndPressure(a);
    s.pressure = AirwayPressure(a);
    return s;
}

// The connection lists as the plain double loop over all airway pairs gives them.
std::vector<int> pairwiseLinks(std::vector<int32_t> &bounds) {
    std::vector<int> list;
    bounds.clear();
    for (int direction = 1; direction <= 2; ++direction) {
        for (int a = 1; a <= AirwayCount; ++a) {
            bounds.push_back(static_cast<int32_t>(list.size()));
            for (int j = 1; j <= AirwayCount; ++j) {
                const bool linked = direction == 1 ? AirwayEndKey(j) == AirwayStartKey(a)
                                                   : AirwayStartKey(j) == AirwayEndKey(a);
                if (j != a && linked)
                    list.push_back(j);
            }
            bounds.push_back(static_cast<int32_t>(list.size()) - 1);
        }
    }
    return list;
}

} // namespace

TEST_F(SimRunTest, ReversingAnAirwayTurnsEverythingThatHasADirection) {
    const struct {
        int32_t flags;
        int fan;
        int32_t flagsAfter;
        float pressureAfter; // from 40 Pa
    } cases[] = {
        {AirwayFlag::SurfaceEntry, 0, AirwayFlag::SurfaceExit, 40},
        {AirwayFlag::SurfaceExit, 0, AirwayFlag::SurfaceEntry, 40},
        {AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit, 0, AirwayFlag::SurfaceExit, 40},
        {0, 0, 0, 40},
        {AirwayFlag::FixedFlow, 0, AirwayFlag::FixedFlow, -40}, // fixing pressure acts along the airway
        {AirwayFlag::FixedFlow, -1, AirwayFlag::FixedFlow, 40}, // a typed fixed pressure stays
    };
    for (const auto &c : cases) {
        NewNetwork(10, 5);
        const int a = AddAirway(1, 2, 0.1, c.flags);
        AirwayFan(a) = c.fan;
        AirwayStartName(a) = "FROM";
        AirwayEndName(a) = "TO";
        AirwayFlow(a) = -3;
        AirwayIconPosition(a) = 0.25f;
        AirwayStartPressure(a) = -10;
        AirwayEndPressure(a) = -30;
        AirwayPressure(a) = 40;
        const AirwayState before = stateOf(a);
        ReverseAirway(a);
        const int32_t other = AirwayFlag::Rectangular;
        EXPECT_EQ(AirwayFlags(a), c.flagsAfter | other);
        EXPECT_EQ(AirwayStartKey(a), before.endKey);
        EXPECT_EQ(AirwayEndKey(a), before.startKey);
        EXPECT_EQ(AirwayStart(1, a), before.end[0]);
        EXPECT_EQ(AirwayEnd(1, a), before.start[0]);
        EXPECT_EQ(AirwayStartName(a).str(), NodeName("TO").str());
        EXPECT_EQ(AirwayEndName(a).str(), NodeName("FROM").str());
        EXPECT_EQ(AirwayFlow(a), 3.0f);
        EXPECT_EQ(AirwayIconPosition(a), -0.25f);
        EXPECT_EQ(AirwayStartPressure(a), -30.0f);
        EXPECT_EQ(AirwayEndPressure(a), -10.0f);
        EXPECT_EQ(AirwayPressure(a), c.pressureAfter);
        // Turned back, an airway with at most one surface flag is exactly as it was.
        if ((c.flags & AirwayFlag::SurfaceEntry) && (c.flags & AirwayFlag::SurfaceExit))
            continue;
        ReverseAirway(a);
        EXPECT_EQ(stateOf(a), before);
    }
}

TEST_F(SimRunTest, LeftoverNegativeFlowsTurnOnlyWhereAllowedAndAreUndoable) {
    const struct {
        int fan;
        int32_t flags;
        int answer; // 0: no question expected
        bool turned;
    } cases[] = {
        {0, 0, 0, true},                                  // within the tolerance, ordinary airway
        {1, 0, 0, false},                                 // fan: reported, never turned unasked
        {-1, 0, 0, false},                                // fixed pressure likewise
        {0, AirwayFlag::FixedDirection, VB::vbYes, true}, // fixed direction with consent
        {0, AirwayFlag::FixedDirection, VB::vbNo, false}, // and without
        {1, AirwayFlag::FixedDirection, VB::vbYes, true}, // a fixed-direction fan the user lets turn
    };
    for (const auto &c : cases) {
        SetUp();
        const int a = AddAirway(1, 2, 0.1, c.flags);
        AirwayFan(a) = c.fan;
        AirwayFlow(a) = -0.04f;
        const int steady = AddAirway(2, 3, 0.1);
        AirwayFlow(steady) = 1;
        const AirwayState before = stateOf(a);
        if (c.answer != 0)
            boxes.Expect(c.answer, "Do you want to allow Gustrom to do this ?");
        ReverseFixedDirection();
        EXPECT_EQ(AirwayFlow(a), c.turned ? 0.04f : -0.04f);
        EXPECT_EQ(AirwayStartKey(a), c.turned ? before.endKey : before.startKey);
        if (c.turned) {
            EXPECT_EQ(LogEntries(), (std::vector<std::pair<int, int>>{{1, 2}, {1, 1}}));
            EXPECT_EQ(UndoStep, 2);
            EXPECT_TRUE(ReversalStepPending);
        } else {
            EXPECT_TRUE(LogEntries().empty());
            EXPECT_EQ(UndoStep, 1);
            EXPECT_FALSE(ReversalStepPending);
        }
        EXPECT_TRUE(boxes.Done());
    }
}

TEST_F(SimRunTest, ReversalsAfterTheFinishStepJoinItsUndoStep) {
    const int a = AddAirway(1, 2, 0.1);
    AirwayFlow(a) = -2;
    const int b = AddAirway(2, 3, 0.1);
    AirwayFlow(b) = -0.01f;
    ErrorLevel = 0;
    ReverseNegativeFlows(true);
    EXPECT_EQ(UndoStep, 2);
    ReverseFixedDirection();
    EXPECT_EQ(LogEntries(), (std::vector<std::pair<int, int>>{{1, 2}, {1, 1}, {1, 2}, {1, 1}}));
    EXPECT_EQ(UndoStep, 2);
    EXPECT_TRUE(ReversalStepPending);
}

TEST_F(SimRunTest, FinishStepOfAStoppedOrTroubleshootingRunReversesNothing) {
    const struct {
        bool afterBalancing;
        int mode, errorLevel;
        uint8_t runState;
        bool failedCaption;
    } cases[] = {
        {false, 0, 0, 0, false}, {false, 0, 1, 0, true},  {false, 0, 0, 255, true}, {true, 0, 1, 0, true},
        {true, 0, 0, 255, true}, {false, 1, 0, 0, false}, {false, -1, 1, 0, true},
    };
    for (const auto &c : cases) {
        SetUp();
        const int a = AddAirway(1, 2, 0.1);
        AirwayFlow(a) = -2;
        AnalysisMode = c.mode;
        ErrorLevel = c.errorLevel;
        RunState = c.runState;
        ui.stages.clear();
        ReverseNegativeFlows(c.afterBalancing);
        EXPECT_EQ(AirwayFlow(a), -2.0f);
        EXPECT_EQ(UndoSlot, 1);
        EXPECT_EQ(!ui.stages.empty() && ui.stages.back() == "Simulation Failed !", c.failedCaption);
    }
}

TEST_F(SimRunTest, ParallelAirwaysShareTheirRunsAndNeverListEachOther) {
    const int in1 = AddAirway(5, 1, 0.1), in2 = AddAirway(6, 1, 0.1);
    const int a = AddAirway(1, 2, 0.1), b = AddAirway(1, 2, 0.2);
    const int out = AddAirway(2, 7, 0.1);
    BuildConnections();
    auto run = [](int direction, int x) {
        std::vector<int> r;
        for (int32_t p = AirwayLinks(direction, 1, x); p <= AirwayLinks(direction, 2, x); ++p)
            r.push_back(AirwayLinkList(p));
        return r;
    };
    for (const int x : {a, b}) {
        EXPECT_EQ(run(1, x), (std::vector<int>{in1, in2}));
        EXPECT_EQ(run(2, x), std::vector<int>{out});
    }
    EXPECT_EQ(run(2, in1), (std::vector<int>{a, b}));
    EXPECT_EQ(run(1, out), (std::vector<int>{a, b}));
    EXPECT_TRUE(run(1, in1).empty());
    EXPECT_EQ(AirwayLinks(1, 2, in1), AirwayLinks(1, 1, in1) - 1);
}

TEST_F(SimRunTest, ConnectionListsMatchThePairwiseComparison) {
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        NewNetwork(400, 5);
        std::mt19937 random(seed);
        const int nodes = 5 + static_cast<int>(seed) * 7;
        for (int i = 0; i < 60 * static_cast<int>(seed); ++i) {
            const int from = static_cast<int>(random() % nodes), to = static_cast<int>(random() % nodes);
            if (from != to)
                AddAirway(from, to, 0.1); // node 0 is the surface
        }
        std::vector<int32_t> bounds;
        const std::vector<int> expected = pairwiseLinks(bounds);
        BuildConnections();
        std::vector<int32_t> got;
        for (int direction = 1; direction <= 2; ++direction)
            for (int a = 1; a <= AirwayCount; ++a) {
                got.push_back(AirwayLinks(direction, 1, a));
                got.push_back(AirwayLinks(direction, 2, a));
            }
        EXPECT_EQ(got, bounds) << seed;
        ASSERT_GE(AirwayLinkList.UBound() + 1, static_cast<int>(expected.size()));
        for (std::size_t p = 0; p < expected.size(); ++p)
            EXPECT_EQ(AirwayLinkList(static_cast<int>(p)), expected[p]) << seed << " at " << p;
    }
}

TEST_F(SimRunTest, WithoutASurfaceStartEveryJunctionIsZero) {
    const int a = AddAirway(1, 2, 0.1), b = AddAirway(2, 1, 0.1);
    AirwayFlow(a) = AirwayFlow(b) = 5;
    AirwayStartPressure(a) = AirwayEndPressure(b) = 77;
    ResolvePressures();
    for (int x = 1; x <= AirwayCount; ++x) {
        EXPECT_EQ(AirwayStartPressure(x), 0.0f);
        EXPECT_EQ(AirwayEndPressure(x), 0.0f);
    }
}

TEST_F(SimRunTest, UnreachedAirwaysKeepTheUnresolvedMark) {
    const int in = AddAirway(0, 1, 0.01), out = AddAirway(1, 0, 0.01);
    const int island = AddAirway(8, 9, 0.01), back = AddAirway(9, 8, 0.01);
    for (const int a : {in, out})
        AirwayFlow(a) = 10;
    for (const int a : {island, back})
        AirwayFlow(a) = 0;
    ResolvePressures();
    int unresolved = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayEndPressure(a) == -9999999.0f) {
            ++unresolved;
            EXPECT_EQ(AirwayStartPressure(a), 0.0f);
        }
    EXPECT_EQ(unresolved, 2);
}

TEST_F(SimRunTest, JunctionPressuresAgreeAtEveryNodeOfABalancedNetwork) {
    for (const unsigned seed : {7u, 8u, 9u}) {
        SetUp();
        SetLinearFan(1, 2500, 10);
        std::mt19937 random(seed);
        constexpr int Side = 6;
        auto node = [](int r, int c) { return 1 + r * Side + c; };
        auto r = [&] { return 0.01 + 0.001 * static_cast<double>(random() % 50); };
        auto either = [&](int x, int y) {
            return random() % 2 ? AddAirway(x, y, r()) : AddAirway(y, x, r());
        };
        // Rows run east from an intake to an exhaust (one through the fan); the cross-cuts between rows
        // are drawn either way, so some come out against the flow.
        for (int row = 0; row < Side; ++row) {
            AddAirway(0, node(row, 0), 0.02);
            if (row == Side - 1)
                AddFanAirway(node(row, Side - 1), 0, 0.01, 1);
            else
                AddAirway(node(row, Side - 1), 0, 0.5);
            for (int col = 0; col < Side; ++col) {
                if (col + 1 < Side)
                    AddAirway(node(row, col), node(row, col + 1), r());
                if (row + 1 < Side)
                    either(node(row, col), node(row + 1, col));
            }
        }
        AddFixedFlow(node(2, 2), node(3, 3), 0.02, 5);
        AddBulkhead(node(1, 3), node(2, 4));
        Simulate();
        ASSERT_NE(ErrorLevel, 1) << seed;
        int compared = 0;
        for (int a = 1; a <= AirwayCount; ++a) {
            EXPECT_GE(AirwayFlow(a), -MaxError) << seed;
            if (AirwayEndKey(a) == SurfaceNodeKey)
                continue;
            for (int b = 1; b <= AirwayCount; ++b) {
                if (AirwayStartKey(b) != AirwayEndKey(a))
                    continue;
                ASSERT_NE(AirwayEndPressure(a), -9999999.0f);
                ASSERT_NE(AirwayEndPressure(b), -9999999.0f);
                EXPECT_NEAR(AirwayStartPressure(b), AirwayEndPressure(a), 0.5)
                    << seed << ": " << a << " " << b;
                ++compared;
            }
        }
        EXPECT_GT(compared, 2 * Side * Side);
        EXPECT_GT(UndoSlot, 1) << seed; // some cross-cuts were turned round
        // Where air leaves for the surface it arrives at surface pressure.
        for (int a = 1; a <= AirwayCount; ++a)
            if (AirwayEndKey(a) == SurfaceNodeKey) {
                EXPECT_NEAR(AirwayEndPressure(a), 0.0, 0.5) << seed << ": " << a;
            }
    }
}

TEST_F(SimRunTest, JunctionWalkTakesEachNodePressureFromTheFirstAirwayThePassesReach) {
    // Flows that do not balance, so a node's pressure depends on which airway into it is taken.
    for (const unsigned seed : {11u, 12u, 13u, 14u, 15u}) {
        NewNetwork(300, 5);
        std::mt19937 random(seed);
        const int nodes = 30;
        for (int i = 0; i < 150; ++i) {
            const int from = static_cast<int>(random() % nodes), to = static_cast<int>(random() % nodes);
            if (from == to || (from == 0 && to == 0))
                continue;
            const int a = AddAirway(from, to, 0.01 + 0.01 * static_cast<double>(random() % 10));
            AirwayFlow(a) = static_cast<float>(static_cast<int>(random() % 41) - 20);
        }
        ResolvePressures();
        // The walk as whole passes in slot order until nothing changes, on the order the walk left.
        const int n = AirwayCount;
        std::vector<float> start(n + 1, 0.0f), end(n + 1, -9999999.0f);
        auto source = [](int b) {
            const double q = AirwayFlow(b);
            return -static_cast<double>(AirwayResistance(b)) * q * std::fabs(q);
        };
        for (int a = 1; a <= n; ++a)
            if (AirwayStartKey(a) == SurfaceNodeKey)
                end[a] = static_cast<float>(source(a));
        for (bool changed = true; changed;) {
            changed = false;
            for (int a = 1; a <= n; ++a) {
                if (end[a] == -9999999.0f || AirwayEndKey(a) == SurfaceNodeKey)
                    continue;
                for (int b = 1; b <= n; ++b)
                    if (AirwayStartKey(b) == AirwayEndKey(a) && end[b] == -9999999.0f) {
                        start[b] = end[a];
                        end[b] = static_cast<float>(static_cast<double>(end[a]) + source(b));
                        changed = true;
                    }
            }
        }
        for (int a = 1; a <= n; ++a) {
            EXPECT_EQ(AirwayStartPressure(a), start[a]) << seed << " " << a;
            EXPECT_EQ(AirwayEndPressure(a), end[a]) << seed << " " << a;
        }
    }
}
