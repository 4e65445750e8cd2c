#include "common/RecordingSimulationUi.h"
#include "common/ScriptedDialogs.h"
#include "common/test_network.h"
#include "solver/balance.h"
#include "solver/checks.h"
#include "solver/fan_curves.h"
#include "solver/meshes.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace testnet;

namespace {

// Mesh m as signed airway numbers (unique numbers, so the test does not depend on slots).
std::vector<int> meshOf(int m) {
    std::vector<int> mesh;
    for (int i = MeshStart(m); i < MeshStart(m + 1); ++i) {
        const int e = MeshAirwayList(i);
        mesh.push_back(e < 0 ? -AirwayNumber(-e) : AirwayNumber(e));
    }
    return mesh;
}

int slotOfNumber(int number) {
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayNumber(a) == number)
            return a;
    return 0;
}

// A bridge from node 1 to the loop 2-3: nothing can flow through it, so it belongs to the tree.
int bridgeNetwork(int kind) {
    AddAirway(0, 1, 0.5);
    AddAirway(1, 0, 0.5);
    int bridge = 0;
    if (kind == 0)
        bridge = AddFixedFlow(1, 2, 0.5, 10);
    if (kind == 1)
        bridge = AddBulkhead(1, 2);
    if (kind == 2)
        bridge = AddFanAirway(1, 2, 0.5, 1);
    AddAirway(2, 3, 0.5);
    AddAirway(3, 2, 0.5);
    return 1000 + bridge;
}

} // namespace

TEST(FormMeshes, FanLoopThroughTheSurfaceIsOneMeshOfFanThenOtherAirway) {
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    const int a = AddAirway(0, 1, 0.5);
    const int b = AddFanAirway(1, 0, 0.1, 1);
    ASSERT_TRUE(CheckAndMesh());
    ASSERT_EQ(MeshCount, 1);
    EXPECT_EQ(meshOf(1), (std::vector<int>{1000 + b, 1000 + a}));
}

TEST(FormMeshes, MeshesFollowTheTreeAroundEachChordAndDropTheCommonStretch) {
    NewNetwork();
    // Tree S-1-2-3 of light airways; chords close loops at different depths.
    const int s1 = AddAirway(0, 1, 0.1);
    const int a12 = AddAirway(1, 2, 0.1);
    const int a23 = AddAirway(2, 3, 0.1);
    const int c31 = AddAirway(3, 1, 5);
    const int c30 = AddAirway(3, 0, 5);
    ASSERT_TRUE(CheckAndMesh());
    ASSERT_EQ(MeshCount, 2);
    std::vector<std::vector<int>> meshes{meshOf(1), meshOf(2)};
    std::sort(meshes.begin(), meshes.end());
    std::vector<std::vector<int>> expected{{1000 + c31, 1000 + a12, 1000 + a23},
                                           {1000 + c30, 1000 + s1, 1000 + a12, 1000 + a23}};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(meshes, expected);
}

TEST(FormMeshes, FixedFlowTreeAirwayRestrictsFlowInEveryMode) {
    for (int mode : {0, -1, 1, 3, 4}) {
        NewNetwork();
        AnalysisMode = mode;
        const int bridge = bridgeNetwork(0);
        SortAirways();
        CheckNetwork();
        // The checks already find that the fixed flow cannot leave the far side; the meshing, reached
        // here all the same, reports the airway it had to take into the tree.
        ASSERT_EQ(LinesWith("\tFixed quantities do not balance").size(), 1u);
        ErrorLevel = 0;
        Errorlist.clear();
        OrderAirwaysForMeshing();
        FormMeshes();
        EXPECT_EQ(ErrorLevel, 1) << mode;
        ASSERT_EQ(LinesWith("\tFIX restricting flow").size(), 1u) << mode;
        EXPECT_EQ(LinesWith("\tFIX restricting flow")[0], std::to_string(bridge) + "\tFIX restricting flow");
        EXPECT_EQ(AirwayComment(slotOfNumber(bridge)).trimmed(), "Bad Fix");
    }
}

TEST(FormMeshes, BulkheadChordIsAFixedMeshWithNoFlow) {
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    AddAirway(0, 1, 0.2);
    AddAirway(1, 2, 0.2);
    const int fan = AddFanAirway(2, 0, 0.1, 1);
    const int bulkhead = AddBulkhead(1, 0);
    AirwayFlow(bulkhead) = 30;
    ASSERT_TRUE(Solve());
    ASSERT_EQ(MeshCount, 2);
    int fixedMeshes = 0;
    for (int m = 1; m <= MeshCount; ++m) {
        const auto mesh = meshOf(m);
        if (mesh[0] < 0) {
            ++fixedMeshes;
            EXPECT_EQ(mesh[0], -(1000 + bulkhead));
        }
    }
    EXPECT_EQ(fixedMeshes, 1);
    EXPECT_EQ(AirwayFlow(slotOfNumber(1000 + bulkhead)), 0.0f);
    EXPECT_GT(AirwayFlow(slotOfNumber(1000 + fan)), 1.0f);
}

TEST(FormMeshes, TroubleshootingModesReportHeavyTreeAirways) {
    struct Case {
        int mode;
        int kind; // bridge of bridgeNetwork
        const char *line;
        const char *comment;
        const char *box;
    };
    const Case cases[] = {
        {1, 1, "BBH not required", "Bad BBH",
         "CAUTION - Bulkheads are present which MAY restrict meshes formation."},
        {3, 2, "Fan restricted", "Bad Fan", "WARNING - Fans are present which restrict other fans."},
    };
    for (const Case &c : cases) {
        NewNetwork();
        SetLinearFan(1, 1000, 10);
        AnalysisMode = c.mode;
        const int bridge = bridgeNetwork(c.kind);
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, c.box);
        CheckAndMesh();
        EXPECT_TRUE(boxes.Done()) << c.mode;
        EXPECT_EQ(boxes.Shown().at(0).title, "Possible meshing problems");
        EXPECT_EQ(ErrorLevel, 1);
        EXPECT_EQ(MeshingFinding, 0);
        ASSERT_EQ(LinesWith(c.line).size(), 1u) << c.mode;
        EXPECT_EQ(LinesWith(c.line)[0], std::to_string(bridge) + "\t" + c.line);
        EXPECT_EQ(AirwayComment(slotOfNumber(bridge)).trimmed(), c.comment);
        EXPECT_NE(AirwayFlags(slotOfNumber(bridge)) & AirwayFlag::ErrorMark, 0);
    }
    // A plain run reports neither.
    NewNetwork();
    bridgeNetwork(1);
    CheckAndMesh();
    EXPECT_TRUE(Errorlist.empty());
}

TEST(FormMeshes, RemovingUnnecessaryBulkheadsMakesThemAutomatic) {
    for (int answer : {VB::vbYes, VB::vbNo}) {
        NewNetwork();
        AnalysisMode = 2;
        const int bridge = bridgeNetwork(1);
        ScriptedDialogs boxes;
        boxes.Expect(answer, "WARNING - This will remove redundant bulkheads from the network.  Continue ?");
        if (answer == VB::vbYes)
            boxes.Expect(VB::vbOK, "There were 1 unnecessary bulkheads removed from the network");
        CheckAndMesh();
        EXPECT_TRUE(boxes.Done());
        EXPECT_EQ(ErrorLevel, 1);
        EXPECT_EQ(MeshCount, 0);
        const int a = slotOfNumber(bridge);
        EXPECT_EQ(AirwayResistanceType(a), answer == VB::vbYes ? 0 : 1);
        EXPECT_EQ(AirwayResistance(a) < 1e9f, answer == VB::vbYes);
    }
}

TEST(OrderAirwaysForMeshing, HeavyAirwaysFirstAndEqualWeightsHigherSlotFirst) {
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    AddAirway(0, 1, 0.3);
    AddAirway(1, 2, 0.3);
    AddAirway(2, 0, 0.1);
    AddFanAirway(2, 1, 0.05, 1);
    AddFixedFlow(1, 0, 0.01, 5);
    SortAirways();
    CheckNetwork();
    OrderAirwaysForMeshing();
    for (int i = 2; i <= AirwayCount; ++i) {
        const int before = AirwayMeshOrder(i - 1), after = AirwayMeshOrder(i);
        EXPECT_TRUE(AirwayWeight(before) > AirwayWeight(after) ||
                    (AirwayWeight(before) == AirwayWeight(after) && before > after));
    }
    EXPECT_EQ(AirwayWeight(AirwayMeshOrder(1)), HeavyWeight);
    EXPECT_EQ(AirwayWeight(AirwayMeshOrder(2)), HeavyWeight);
}

TEST(FormMeshes, MoreMeshesThanHalfTheCapacityAndAShortMeshListAreMeshedWhole) {
    // Five loops through the surface in a network of exactly the capacity.
    NewNetwork(10);
    for (int n = 1; n <= 5; ++n) {
        AddAirway(0, n, 0.5);
        AddAirway(n, 0, 0.7);
    }
    ASSERT_TRUE(CheckAndMesh());
    EXPECT_EQ(MeshCount, 5);
    for (int m = 1; m <= MeshCount; ++m)
        EXPECT_EQ(meshOf(m).size(), 2u);

    NewNetwork(10);
    for (int n = 1; n <= 5; ++n) {
        AddAirway(0, n, 0.5);
        AddAirway(n, 0, 0.7);
    }
    // A list too short for the meshes grows to what they need.
    MeshAirwayList.ReDim(Bounds{0, 7});
    ScriptedDialogs boxes; // any message fails
    ASSERT_TRUE(CheckAndMesh());
    EXPECT_EQ(MeshCount, 5);
    EXPECT_EQ(MeshStart(MeshCount + 1), 11);
    for (int m = 1; m <= MeshCount; ++m)
        EXPECT_EQ(meshOf(m).size(), 2u);
}

TEST(FormMeshes, StopRequestEndsTheTreePassWithoutMeshes) {
    NewNetwork();
    AddAirway(0, 1, 0.5);
    AddAirway(1, 0, 0.7);
    SortAirways();
    CheckNetwork();
    OrderAirwaysForMeshing();
    MeshCount = 0;
    RunState = 255;
    FormMeshes();
    EXPECT_EQ(MeshCount, 0);
    for (int a = 1; a <= AirwayCount; ++a)
        EXPECT_GT(AirwayStartNode(a), 0);
}

namespace {

struct Forest {
    std::vector<int> startNode, endNode, treeAirway, label;
};

// The spanning forest built step by step with tree labels and re-rooting: the reference for FormMeshes.
Forest labelledForestReference() {
    Forest f;
    const int n = AirwayCount;
    f.startNode.assign(n + 1, 0);
    f.endNode.assign(n + 1, 0);
    for (int a = 1; a <= n; ++a) {
        f.startNode[a] = AirwayStartNode(a);
        f.endNode[a] = AirwayEndNode(a);
    }
    f.treeAirway.assign(NodeCount + 1, 0);
    f.label.assign(NodeCount + 1, 0);
    f.label[f.startNode[1]] = 1;
    int trees = 1;
    for (int pos = n; pos >= 1; --pos) {
        const int a = AirwayMeshOrder(pos);
        const int s = f.startNode[a], e = f.endNode[a];
        const int ls = f.label[s], le = f.label[e];
        if (ls == 0 && le == 0) {
            ++trees;
            f.label[s] = f.label[e] = trees;
            f.treeAirway[s] = a;
        } else if (ls == 0) {
            f.label[s] = le;
            f.treeAirway[s] = a;
        } else if (le == 0) {
            f.label[e] = ls;
            f.treeAirway[e] = -a;
        } else if (ls != le) {
            const int high = std::max(ls, le), low = std::min(ls, le);
            int c = a;
            int node = f.label[s] == high ? s : e;
            for (;;) {
                const int old = std::abs(f.treeAirway[node]);
                f.treeAirway[node] = node == f.startNode[c] ? c : -c;
                f.label[node] = low;
                if (old == 0)
                    break;
                c = old;
                node = f.label[f.startNode[c]] == high ? f.startNode[c] : f.endNode[c];
            }
            for (int v = 1; v <= NodeCount; ++v)
                if (f.label[v] == high)
                    f.label[v] = low;
        } else {
            f.startNode[a] = -s;
            if ((AirwayFlags(a) & AirwayFlag::FixedFlow) || AirwayResistance(a) >= 1e9f)
                f.endNode[a] = -e;
        }
    }
    return f;
}

} // namespace

TEST(FormMeshes, ForestMatchesTheLabelledTreeBuildOnRandomNetworks) {
    std::mt19937 random(777);
    for (int trial = 0; trial < 60; ++trial) {
        NewNetwork(400);
        SetLinearFan(1, 1000, 10);
        std::set<std::pair<int, int>> used;
        // Few distinct resistances, so that many weights tie.
        auto r = [&] { return 0.1 * (1 + random() % 3); };
        auto add = [&](int from, int to) {
            if (from == to || !used.insert({from, to}).second)
                return;
            switch (random() % 8) {
            case 0:
                AddFanAirway(from, to, r(), 1);
                break;
            case 1:
                AddBulkhead(from, to);
                break;
            case 2:
                AddFixedFlow(from, to, r(), 3);
                break;
            default:
                AddAirway(from, to, r());
            }
        };
        // A ring through the surface and a separate ring underground, each with cross airways.
        const int first = 5 + static_cast<int>(random() % 30), second = 3 + static_cast<int>(random() % 10);
        add(0, 1);
        for (int i = 1; i < first; ++i)
            add(i, i + 1);
        add(first, 0);
        for (int i = 0; i < second; ++i)
            add(100 + i, 100 + (i + 1) % second);
        for (int k = 0; k < first * 2; ++k)
            add(static_cast<int>(random() % (first + 1)), 1 + random() % first);
        for (int k = 0; k < second; ++k)
            add(100 + random() % second, 100 + random() % second);
        SortAirways();
        CheckNetwork();
        // Random fixed flows need not balance; the forest is built all the same.
        for (const std::string &line : Errorlist)
            ASSERT_NE(line.find("\tFixed quantities do not balance"), std::string::npos) << line;
        ErrorLevel = 0;
        OrderAirwaysForMeshing();
        const Forest expected = labelledForestReference();
        Errorlist.clear();
        FormMeshes();
        for (int a = 1; a <= AirwayCount; ++a) {
            EXPECT_EQ(AirwayStartNode(a), expected.startNode[a]) << trial << " airway " << a;
            EXPECT_EQ(AirwayEndNode(a), expected.endNode[a]) << trial << " airway " << a;
        }
        for (int v = 1; v <= NodeCount; ++v) {
            EXPECT_EQ(NodeTreeAirway(v), expected.treeAirway[v]) << trial << " node " << v;
            EXPECT_EQ(NodeLabel(v), expected.label[v]) << trial << " node " << v;
        }
    }
}
