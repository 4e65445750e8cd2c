#include "solver/meshes.h"

#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "platform/Dialogs.h"
#include "solver/checks.h"
#include "solver/disjoint_sets.h"
#include "solver/simulation_ui.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>
#include <numeric>
#include <vector>

int32_t MeshingFinding = 0;

namespace {

bool isFixedChord(int a) {
    return (AirwayFlags(a) & AirwayFlag::FixedFlow) ||
           AirwayResistance(a) >= static_cast<float>(BulkheadResistance);
}

// Disjoint sets of nodes; each set is one tree of the forest and knows its label and its root node.
// Labels only matter for which tree survives a merge: the lower label keeps its root.
struct Forest {
    DisjointSets sets;
    std::vector<int> label, root;
    explicit Forest(int nodes) : sets(nodes), label(nodes + 1, 0), root(nodes + 1) {
        std::iota(root.begin(), root.end(), 0);
    }
    int find(int x) { return sets.Find(x); }
    bool inForest(int node) { return label[find(node)] != 0; }
    // Adds an unlabelled node to the tree of another node.
    void attach(int node, int to) { merge(node, to); }
    void merge(int x, int y) {
        x = find(x);
        y = find(y);
        if (x == y)
            return;
        const int keep = label[x] == 0 || (label[y] != 0 && label[y] < label[x]) ? y : x;
        const int keepLabel = label[keep];
        const int keepRoot = root[keep];
        const int joined = sets.Unite(x, y);
        label[joined] = keepLabel;
        root[joined] = keepRoot;
    }
};

void listFinding(int a, const char *comment, const char *line) {
    AirwayComment(a) = comment;
    AddErrorLine(a, line);
    MeshingFinding = -1;
    ErrorLevel = 1;
    AirwayFlags(a) |= AirwayFlag::ErrorMark;
}

void checkTreeAirway(int a) {
    if (AirwayFlags(a) & AirwayFlag::FixedFlow) {
        AddErrorLine(a, "FIX restricting flow");
        AirwayComment(a) = "Bad Fix";
        ErrorLevel = 1;
    }
    if (AnalysisMode == 0 || AirwayWeight(a) < HeavyTreeWeight)
        return;
    if (AirwayResistanceType(a) == 1 && (AnalysisMode == 1 || AnalysisMode == 2))
        listFinding(a, "Bad BBH", "BBH not required");
    if (AirwayFan(a) != 0 && AnalysisMode == 3)
        listFinding(a, "Bad Fan", "Fan restricted");
}

// Points every tree node at its parent: the forest's edges with each tree's root give one orientation.
void orientForest(Forest &forest, const std::vector<int> &treeAirways) {
    const int nodes = NodeCount;
    std::vector<int> first(nodes + 2, 0);
    for (int a : treeAirways) {
        ++first[AirwayStartNode(a)];
        ++first[AirwayEndNode(a)];
    }
    for (int v = 1; v <= nodes + 1; ++v)
        first[v] += first[v - 1];
    std::vector<int> adjacent(first[nodes + 1]);
    for (int a : treeAirways) {
        adjacent[--first[AirwayStartNode(a)]] = a;
        adjacent[--first[AirwayEndNode(a)]] = a;
    }
    std::vector<uint8_t> seen(nodes + 1, 0);
    std::vector<int> queue;
    queue.reserve(nodes);
    for (int v = 1; v <= nodes; ++v) {
        if (!forest.inForest(v))
            continue;
        const int set = forest.find(v);
        NodeLabel(v) = forest.label[set];
        const int r = forest.root[set];
        if (seen[r])
            continue;
        seen[r] = 1;
        NodeTreeAirway(r) = 0;
        queue.assign(1, r);
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const int n = queue[head];
            for (int i = first[n]; i < first[n + 1]; ++i) {
                const int a = adjacent[i];
                const bool fromStart = AirwayStartNode(a) == n;
                const int child = fromStart ? AirwayEndNode(a) : AirwayStartNode(a);
                if (seen[child])
                    continue;
                seen[child] = 1;
                // The child reaches its parent n through a: +a when the child is a's start.
                NodeTreeAirway(child) = fromStart ? -a : a;
                queue.push_back(child);
            }
        }
    }
}

void removeRedundantBulkheads() {
    if (VB::MsgBox("WARNING - This will remove redundant bulkheads from the network.  Continue ?",
                   VB::vbYesNo, "Remove redundant bulkheads") == VB::vbNo) {
        ErrorLevel = 1;
        return;
    }
    int count = 0;
    for (int a = 1; a <= AirwayCount; ++a) {
        const std::string &c = AirwayComment(a).str();
        const auto b = c.find_first_not_of(' ');
        const auto e = c.find_last_not_of(' ');
        if (b != std::string::npos && c.substr(b, e - b + 1) == "Bad BBH") {
            AirwayResistanceType(a) = 0;
            ++count;
        }
    }
    CalcAllAirways();
    VB::MsgBox("There were " + std::to_string(count) + " unnecessary bulkheads removed from the network");
}

// Memory ran out while the meshes were listed: the run stops with what the user can do about it.
void meshMemoryExhausted() {
    VB::MsgBox("There is not enough memory to list the meshes of this network.\r\n"
               "Close other programs, or simplify the network (Tools > Simplify), and run again.",
               VB::vbExclamation, "meshes Error");
    ErrorLevel = 1;
}

int parentOf(int c) {
    return c < 0 ? std::abs(AirwayStartNode(-c)) : std::abs(AirwayEndNode(c));
}

// The mesh list grows to what the meshes need, so any network that loads can be meshed.
void formChordMeshes() {
    const int n = AirwayCount;
    int chords = 0;
    for (int a = 1; a <= n; ++a)
        if (AirwayStartNode(a) < 1)
            ++chords;
    if (MeshStart.size() == 0 || MeshStart.UBound() < chords + 1)
        MeshStart.ReDim(Bounds{0, chords + 1});
    // Position of each tree airway in the current mesh's first path (valid when its mesh mark matches).
    std::vector<int> firstPos(n + 1, 0), mark(n + 1, 0);
    std::vector<int> second;
    MeshCount = 0;
    int p = 1;
    auto write = [&](int entry) {
        if (MeshAirwayList.size() == 0 || p > MeshAirwayList.UBound()) {
            const int64_t grown = std::max<int64_t>(2 * static_cast<int64_t>(p), 20 * int64_t{MaxAirways});
            if (grown > std::numeric_limits<int32_t>::max())
                throw std::bad_alloc();
            MeshAirwayList.ReDimPreserve(Bounds{0, static_cast<int>(grown)});
        }
        MeshAirwayList(p) = entry;
        ++p;
    };
    for (int a = 1; a <= n; ++a) {
        if (AirwayStartNode(a) >= 1)
            continue;
        ++MeshCount;
        MeshStart(MeshCount) = p;
        write(AirwayEndNode(a) < 0 ? -a : a);
        int node = std::abs(AirwayEndNode(a));
        for (int c = NodeTreeAirway(node); c != 0; c = NodeTreeAirway(node)) {
            firstPos[std::abs(c)] = p;
            mark[std::abs(c)] = MeshCount;
            write(c);
            node = parentOf(c);
        }
        second.clear();
        node = std::abs(AirwayStartNode(a));
        for (int c = NodeTreeAirway(node); c != 0; c = NodeTreeAirway(node)) {
            if (mark[std::abs(c)] == MeshCount) {
                // The paths share everything from here to the root.
                p = firstPos[std::abs(c)];
                break;
            }
            second.push_back(c);
            node = parentOf(c);
        }
        for (auto it = second.rbegin(); it != second.rend(); ++it)
            write(-*it);
    }
    MeshStart(MeshCount + 1) = p;
}

} // namespace

void OrderAirwaysForMeshing() {
    const int n = AirwayCount;
    const float bulkhead = static_cast<float>(BulkheadResistance);
    for (int a = 1; a <= n; ++a) {
        AirwayWeight(a) = AirwayResistance(a);
        if (AirwayResistance(a) >= bulkhead) {
            AirwayWeight(a) = HeavyWeight;
            if (!(AirwayFlags(a) & AirwayFlag::FixedFlow))
                AirwayFlow(a) = 0;
        }
        if ((AirwayFlags(a) & AirwayFlag::FixedFlow) || AirwayFan(a) != 0)
            AirwayWeight(a) = HeavyWeight;
    }
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 1);
    // Unordered weights (not a number) sort as the lightest, so the order stays a strict one.
    auto weightOf = [](int a) {
        const float w = AirwayWeight(a);
        return std::isnan(w) ? -INFINITY : w;
    };
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        const float wx = weightOf(x), wy = weightOf(y);
        return wx != wy ? wx > wy : x > y;
    });
    for (int i = 0; i < n; ++i)
        AirwayMeshOrder(i + 1) = order[i];
}

void FormMeshes() {
    const int n = AirwayCount;
    if (n < 1 || NodeCount < 1)
        return;
    Forest forest(NodeCount);
    int trees = 1;
    forest.label[AirwayStartNode(1)] = 1;
    std::vector<int> treeAirways;
    treeAirways.reserve(NodeCount);
    for (int pos = n; pos >= 1; --pos) {
        if (RunState == 255)
            return;
        const int a = AirwayMeshOrder(pos);
        const int s = AirwayStartNode(a), e = AirwayEndNode(a);
        if (s < 1 || s > NodeCount || e < 1 || e > NodeCount)
            continue; // unchecked airway: no node
        const bool ins = forest.inForest(s), ine = forest.inForest(e);
        if (s == e) {
            // An airway from a node to itself closes a loop of its own.
            if (!ins)
                forest.label[forest.find(s)] = ++trees;
        } else if (!ins && !ine) {
            // e becomes the root of a new tree.
            forest.label[forest.find(e)] = ++trees;
            forest.attach(s, e);
            treeAirways.push_back(a);
            checkTreeAirway(a);
            continue;
        } else if (!ins || !ine || forest.find(s) != forest.find(e)) {
            forest.merge(s, e);
            treeAirways.push_back(a);
            checkTreeAirway(a);
            continue;
        }
        AirwayStartNode(a) = -AirwayStartNode(a);
        if (isFixedChord(a))
            AirwayEndNode(a) = -AirwayEndNode(a);
    }
    orientForest(forest, treeAirways);

    if (MeshingFinding == -1) {
        MeshingFinding = 0;
        if (AnalysisMode == 1) {
            VB::MsgBox("CAUTION - Bulkheads are present which MAY restrict meshes formation.",
                       VB::vbExclamation, "Possible meshing problems");
            ErrorLevel = 1;
        } else if (AnalysisMode == 3) {
            VB::MsgBox("WARNING - Fans are present which restrict other fans.", VB::vbExclamation,
                       "Possible meshing problems");
            ErrorLevel = 1;
        } else if (AnalysisMode == 2) {
            removeRedundantBulkheads();
        }
        return;
    }
    if (AnalysisMode != 0 && AnalysisMode != -1)
        return;
    try {
        formChordMeshes();
    } catch (const std::bad_alloc &) {
        MeshCount = 0;
        if (MeshStart.size() > 0)
            MeshStart(1) = 1;
        meshMemoryExhausted();
    }
}
