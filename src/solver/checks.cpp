#include "solver/checks.h"

#include "model/airway_fields.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "solver/disjoint_sets.h"
#include "solver/simulation_ui.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

int NodeCount = 0;

namespace {

using Pair = std::pair<Currency, Currency>;

std::vector<int> sortOnce() {
    std::vector<Pair> pairs(AirwayCount);
    for (int a = 1; a <= AirwayCount; ++a)
        pairs[a - 1] = {AirwayStartKey(a), AirwayEndKey(a)};
    std::vector<int> order = DescendingPairOrder(pairs);
    bool moved = false;
    for (int k = 0; k < AirwayCount && !moved; ++k)
        moved = order[k] != k;
    if (!moved)
        return {};
    for (int &slot : order)
        ++slot;
    PermuteAirwayFields(order);
    return order;
}

void markFault(int a, const char *line, const char *comment) {
    AddErrorLine(a, line);
    AirwayComment(a) = comment;
    AirwayFlags(a) |= AirwayFlag::ErrorMark;
    ErrorLevel = 1;
}

struct PointHash {
    std::size_t operator()(const std::tuple<int32_t, int32_t, int32_t> &p) const {
        const auto [x, y, z] = p;
        return std::hash<int64_t>()((static_cast<int64_t>(x) * 73856093) ^
                                    (static_cast<int64_t>(y) * 19349663) ^
                                    (static_cast<int64_t>(z) * 83492791));
    }
};

// Fixed quantities that cannot all hold. The airways without a fixed quantity join the junctions into
// groups whose flows the balancing is free to share out; a group away from the surface whose fixed
// inflows and outflows differ can never balance, and balancing would force the difference through
// whatever it found (a bulkhead, at a pressure of billions of Pa). Bulkheads count as fixed at no flow, as
// the meshing holds them. Every fixed airway at the edge of such a group is listed.
void checkFixedQuantities(const std::vector<int> &endNode, int nodes, int surfaceNode) {
    const int n = AirwayCount;
    const float bulkhead = static_cast<float>(BulkheadResistance);
    bool anyFixedFlow = false;
    for (int a = 1; a <= n && !anyFixedFlow; ++a)
        anyFixedFlow = (AirwayFlags(a) & AirwayFlag::FixedFlow) != 0;
    if (!anyFixedFlow)
        return; // every fixed quantity is a bulkhead's nothing: all groups balance
    auto isBulkhead = [&](int a) { return AirwayResistance(a) >= bulkhead; };
    auto isFixed = [&](int a) { return (AirwayFlags(a) & AirwayFlag::FixedFlow) || isBulkhead(a); };
    DisjointSets groups(nodes);
    for (int a = 1; a <= n; ++a)
        if (!isFixed(a))
            groups.Unite(AirwayStartNode(a), endNode[a]);
    // Net fixed inflow of each group and the sum of the magnitudes it is made of (m³/s).
    std::vector<double> net(nodes + 1, 0), magnitude(nodes + 1, 0);
    for (int a = 1; a <= n; ++a) {
        if (!isFixed(a))
            continue;
        const int from = groups.Find(AirwayStartNode(a)), to = groups.Find(endNode[a]);
        const double q = isBulkhead(a) ? 0 : AirwayFlow(a);
        if (from == to)
            continue;
        net[from] -= q;
        net[to] += q;
        magnitude[from] += std::fabs(q);
        magnitude[to] += std::fabs(q);
    }
    const int surface = surfaceNode > 0 ? groups.Find(surfaceNode) : 0;
    // Within the solver's tolerance, and above the rounding of the single-precision flows.
    auto unbalanced = [&](int g) {
        return g != surface && std::fabs(net[g]) > std::max<double>(MaxError, 1e-6 * magnitude[g]);
    };
    for (int a = 1; a <= n; ++a) {
        if (!isFixed(a))
            continue;
        const int from = groups.Find(AirwayStartNode(a)), to = groups.Find(endNode[a]);
        if (from != to && (unbalanced(from) || unbalanced(to)))
            markFault(a, "Fixed quantities do not balance", "Bad Fix");
    }
}

// A fixed pressure without resistance whose two ends are joined by airways with neither resistance nor
// fan drives air round that ring with nothing to hold it back: no flow balances it.
void checkShortCircuits(const std::vector<int> &endNode, int nodes) {
    auto withoutResistance = [](int a) {
        return !(AirwayResistance(a) > 0) && !(AirwayFlags(a) & AirwayFlag::FixedFlow);
    };
    auto drives = [&](int a) { return withoutResistance(a) && AirwayFan(a) == -1 && AirwayPressure(a) != 0; };
    const int n = AirwayCount;
    DisjointSets joined(nodes);
    bool anyDriving = false;
    for (int a = 1; a <= n; ++a) {
        anyDriving = anyDriving || drives(a);
        if (withoutResistance(a) && AirwayFan(a) == 0)
            joined.Unite(AirwayStartNode(a), endNode[a]);
    }
    for (int a = 1; a <= n && anyDriving; ++a)
        if (drives(a) && joined.Find(AirwayStartNode(a)) == joined.Find(endNode[a]))
            markFault(a, "Fixed pressure short-circuited by airways without resistance", "Short Circ");
}

} // namespace

std::vector<int> DescendingPairOrder(const std::vector<Pair> &pairs) {
    // A record goes in front of its equals exactly when some record before it in the input has a smaller
    // pair (then the insertion sort lifts it past them); otherwise it is appended behind them. So within
    // a group of equals the lifted records come first, latest first, then the appended ones in input order.
    const int n = static_cast<int>(pairs.size());
    std::vector<int> rank(n); // sorts within a group: lifted by descending position, then appended ascending
    Pair smallest{};
    for (int p = 0; p < n; ++p) {
        const bool lifted = p > 0 && smallest < pairs[p];
        rank[p] = lifted ? -p - 1 : p + n;
        if (p == 0 || pairs[p] < smallest)
            smallest = pairs[p];
    }
    std::vector<int> order(n);
    for (int p = 0; p < n; ++p)
        order[p] = p;
    std::sort(order.begin(), order.end(), [&](int x, int y) {
        if (pairs[x] != pairs[y])
            return pairs[y] < pairs[x];
        return rank[x] < rank[y];
    });
    return order;
}

void SortAirways() {
    if (AirwayCount < 2) {
        VB::MsgBox("No Data to sort", VB::vbInformation);
        return;
    }
    sortOnce();
    RemoveDuplicates();
    sortOnce();
    PickedAirway = 0;
    SimUi().SetVisibleAirways();
    SimUi().RotateView();
}

void RemoveDuplicates() {
    // What the checks delete was the user's: every airway deleted goes into one undo step.
    bool recorded = false;
    const auto deleteAirway = [&recorded](int a) {
        RecordUndo(a, UndoCode::Before, UndoStep);
        recorded = true;
        ClearAirway(a);
    };
    bool asked = false;
    bool remove = false;
    bool emptied = false;
    for (int i = 1; i < AirwayCount; ++i) {
        if (AirwayStartKey(i) != AirwayStartKey(i + 1) || AirwayEndKey(i) != AirwayEndKey(i + 1))
            continue;
        if (!asked) {
            asked = true;
            remove = AnalysisMode != 4 &&
                     VB::MsgBox("Duplicate branches exist - delete them ?", VB::vbYesNo | VB::vbQuestion,
                                "Duplicate branches") == VB::vbYes;
        }
        if (remove) {
            deleteAirway(i);
            emptied = true;
        } else {
            markFault(i, "Duplicate airway", "Duplicate branch");
        }
    }
    if (emptied)
        PackAirways();

    asked = false;
    remove = false;
    emptied = false;
    for (int a = 1; a <= AirwayCount; ++a) {
        const Currency key = AirwayStartKey(a);
        if (key != AirwayEndKey(a) || key == SurfaceNodeKey || key == 0)
            continue;
        if (!asked) {
            asked = true;
            remove = VB::MsgBox("Branches with identical start/end points detected - delete them ?",
                                VB::vbYesNo | VB::vbQuestion, "Zero length branches") == VB::vbYes;
        }
        if (remove) {
            deleteAirway(a);
            emptied = true;
        } else {
            markFault(a, "Same start/end", "Same start/end");
        }
    }
    if (emptied)
        PackAirways();
    if (recorded)
        ++UndoStep;
    CalcAllAirways();
    VB::SetScreenPointer(VB::vbHourglass);
}

void CheckNetwork() {
    const int n = AirwayCount;
    std::vector<uint8_t> entered(n + 1, 0);
    for (int a = 1; a <= n; ++a) {
        AirwayComment(a) = "";
        AirwayFlags(a) &= ~AirwayFlag::ErrorMark;
    }
    // Node numbers follow the sorted order; a map finds the node of a start key.
    std::unordered_map<Currency, int> slotOfKey;
    slotOfKey.reserve(n);
    int node = 0;
    for (int a = 1; a <= n; ++a) {
        if (a == 1 || AirwayStartKey(a) != AirwayStartKey(a - 1))
            ++node;
        AirwayStartNode(a) = node;
        slotOfKey.emplace(AirwayStartKey(a), a);
    }
    NodeCount = node;

    // Node of every end; an end where no airway starts gets a node of its own.
    std::vector<int> endNode(n + 1, 0);
    std::unordered_map<Currency, int> deadEnds;
    for (int a = 1; a <= n; ++a) {
        const auto found = slotOfKey.find(AirwayEndKey(a));
        if (found != slotOfKey.end()) {
            entered[found->second] = 1;
            AirwayEndNode(a) = AirwayStartNode(found->second);
            endNode[a] = AirwayEndNode(a);
        } else {
            markFault(a, "No exit from branch", "No Exit");
            const auto known =
                deadEnds.try_emplace(AirwayEndKey(a), node + 1 + static_cast<int>(deadEnds.size()));
            endNode[a] = known.first->second;
        }
    }

    std::unordered_set<Currency> endKeys;
    endKeys.reserve(n);
    for (int a = 1; a <= n; ++a)
        endKeys.insert(AirwayEndKey(a));
    for (int a = 1; a <= n; ++a)
        if (entered[a] != 1 && !endKeys.count(AirwayStartKey(a)))
            markFault(a, "No entry into branch", "No Entry");

    // Surface ends carry the surface key, so coincidence is judged on the points themselves.
    using Point = std::tuple<int32_t, int32_t, int32_t>;
    auto startPoint = [](int a) { return Point{AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a)}; };
    auto endPoint = [](int a) { return Point{AirwayEnd(1, a), AirwayEnd(2, a), AirwayEnd(3, a)}; };
    bool anySurface = false;
    for (int a = 1; a <= n && !anySurface; ++a)
        anySurface = (AirwayFlags(a) & (AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit)) != 0;
    if (anySurface) {
        std::unordered_map<Point, int, PointHash> endsAt;
        for (int a = 1; a <= n; ++a) {
            ++endsAt[startPoint(a)];
            ++endsAt[endPoint(a)];
        }
        // Ends of other airways at point p: all ends there minus this airway's own.
        auto othersAt = [&](int a, const Point &p) {
            return endsAt[p] - (startPoint(a) == p ? 1 : 0) - (endPoint(a) == p ? 1 : 0);
        };
        for (int a = 1; a <= n; ++a) {
            if ((AirwayFlags(a) & AirwayFlag::SurfaceEntry) && othersAt(a, startPoint(a)) > 0)
                markFault(a, "Airway into surface entry", "Bad Entry");
            if ((AirwayFlags(a) & AirwayFlag::SurfaceExit) && othersAt(a, endPoint(a)) > 0)
                markFault(a, "Airway into surface exit", "Bad Exit");
        }
    }

    for (int a = 1; a <= n; ++a) {
        NodeLabel(a) = 0;
        NodeTreeAirway(a) = 0;
        // A user's fixed quantity is kept as typed: a run cannot honour it, so it is reported.
        if (!(std::fabs(AirwayFlow(a)) <= SolverFlowLimit)) {
            if (AirwayFlags(a) & AirwayFlag::FixedFlow)
                markFault(a, "Fixed quantity beyond 9994 m3/s", "Bad Fix");
            else
                AirwayFlow(a) = 0;
        }
        if (!(AirwayResistance(a) >= 0))
            markFault(a, "Negative resistance", "Negative Res");
        // A bulkhead that is also to carry a fixed quantity contradicts itself: the user chooses which.
        if ((AirwayFlags(a) & AirwayFlag::FixedFlow) &&
            AirwayResistance(a) >= static_cast<float>(BulkheadResistance))
            markFault(a, "Fixed quantity in a bulkhead", "Bad Fix");
        if (a > 1 && AirwayStartKey(a) == AirwayStartKey(a - 1) && AirwayEndKey(a) == AirwayEndKey(a - 1))
            markFault(a, "Duplicate branch", "Error-Duplicate");
    }

    int surfaceNode = 0;
    if (const auto s = slotOfKey.find(SurfaceNodeKey); s != slotOfKey.end())
        surfaceNode = AirwayStartNode(s->second);
    else if (const auto d = deadEnds.find(SurfaceNodeKey); d != deadEnds.end())
        surfaceNode = d->second;
    checkFixedQuantities(endNode, node + static_cast<int>(deadEnds.size()), surfaceNode);
    checkShortCircuits(endNode, node + static_cast<int>(deadEnds.size()));
}

std::vector<int> SortAirwayRecords() {
    return sortOnce();
}
