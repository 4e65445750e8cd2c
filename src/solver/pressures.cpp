#include "solver/pressures.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "solver/balance.h"
#include "solver/checks.h"
#include "solver/fan_curves.h"
#include "solver/simulation_ui.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr float Unresolved = -9999999.0f; // end pressure of an airway no path from the surface reaches

// Per slot during a run, in the airway's own direction: the pressure its fans or its fixed pressure add
// at the balanced flow (Pa), and the fixing pressure of a fixed chord (Pa). Junction pressures are built
// from these rather than from AirwayPressure, which shows one value per airway only.
std::vector<double> fanTerm, fixingTerm;

void sizeTerms() {
    const std::size_t n = static_cast<std::size_t>(AirwayCount) + 1;
    if (fanTerm.size() != n) {
        fanTerm.assign(n, 0.0);
        fixingTerm.assign(n, 0.0);
    }
}

template <typename T> void permute(std::vector<T> &values, const std::vector<int> &order) {
    std::vector<T> moved(values.size());
    moved[0] = values[0];
    for (std::size_t k = 0; k < order.size(); ++k)
        moved[k + 1] = values[order[k]];
    values.swap(moved);
}

void exchangeSurfaceFlags(int a) {
    int32_t &flags = AirwayFlags(a);
    if (flags & AirwayFlag::SurfaceEntry) {
        flags &= ~(AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit);
        flags |= AirwayFlag::SurfaceExit;
    } else if (flags & AirwayFlag::SurfaceExit) {
        flags &= ~AirwayFlag::SurfaceExit;
        flags |= AirwayFlag::SurfaceEntry;
    }
}

bool startsWith(const std::string &text, const char *prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

void FixedMeshPressures() {
    const int n = AirwayCount;
    fanTerm.assign(n + 1, 0.0);
    fixingTerm.assign(n + 1, 0.0);
    for (int a = 1; a <= n; ++a)
        AirwayWeight(a) = AirwayResistance(a);
    auto fanPressure = [](int a) {
        if (AirwaySolverFan(a) == 0)
            return 0.0;
        double p = AirwayPressure(a), slope = 0;
        FanPressureAtFlow(a, static_cast<int>(AirwaySolverFan(a)), AirwayFlow(a), p, slope);
        return p;
    };
    // Each fixed chord's mesh: the pressure the chord must add so that the mesh closes at its flow.
    for (int m = 1; m <= MeshCount; ++m) {
        if (RunState == 255)
            return;
        const int from = MeshStart(m), to = MeshStart(m + 1);
        const int first = MeshAirwayList(from);
        if (first >= 0)
            continue;
        double h = 0;
        for (int i = from; i < to; ++i) {
            const int e = MeshAirwayList(i);
            const int a = std::abs(e);
            const double s = i == from || e > 0 ? 1.0 : -1.0;
            const double q = s * AirwayFlow(a);
            h += q * std::fabs(q * AirwayResistance(a)) - s * fanPressure(a);
        }
        fixingTerm[-first] = h;
    }
    for (int a = 1; a <= n; ++a) {
        // Only fixed chords carry a scratch value; an airway in no mesh carries no flow and starts from 0.
        AirwayWeight(a) = static_cast<float>(fixingTerm[a]);
        if (AirwaySolverFan(a) != 0) {
            double p = AirwayPressure(a), slope = 0;
            const int region =
                FanPressureAtFlow(a, static_cast<int>(AirwaySolverFan(a)), AirwayFlow(a), p, slope);
            fanTerm[a] = p;
            AirwaySolverFan(a) = region == CurveRegion::On ? static_cast<float>(p) : 9999.0f * region;
        }
        if (fixingTerm[a] != 0)
            AirwaySolverFan(a) = static_cast<float>(fixingTerm[a]);
    }
}

void AirwaySourcePressures() {
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwayFan(a) == -1)
            continue; // the typed fixed pressure is input, not result
        if (AirwayFan(a) == 0)
            AirwayPressure(a) = -(AirwayFlow(a) * AirwayFlow(a) * AirwayResistance(a));
        else
            AirwayPressure(a) = AirwaySolverFan(a);
        if (AirwaySolverFan(a) != 0)
            AirwayPressure(a) = AirwaySolverFan(a);
    }
}

void ReverseAirway(int a) {
    std::swap(AirwayStartKey(a), AirwayEndKey(a));
    AirwayIconPosition(a) = -AirwayIconPosition(a);
    for (int c = 1; c <= 3; ++c)
        std::swap(AirwayStart(c, a), AirwayEnd(c, a));
    AirwayFlow(a) = -AirwayFlow(a);
    std::swap(AirwayStartName(a), AirwayEndName(a));
    exchangeSurfaceFlags(a);
    std::swap(AirwayStartPressure(a), AirwayEndPressure(a));
    // The fixing pressure acts along the airway, so it changes sign with it; a typed fixed pressure
    // stays as typed.
    if ((AirwayFlags(a) & AirwayFlag::FixedFlow) && AirwayFan(a) != -1)
        AirwayPressure(a) = -AirwayPressure(a);
    if (static_cast<std::size_t>(a) < fanTerm.size()) {
        fanTerm[a] = -fanTerm[a];
        fixingTerm[a] = -fixingTerm[a];
    }
}

void ReverseNegativeFlows(bool afterBalancing) {
    SimUi().SetVisibleAirways();
    if (RunState == 255 || (ErrorLevel == 1 && !(afterBalancing && AnalysisMode == -1))) {
        SimUi().SetStage("Simulation Failed !");
        return;
    }
    if (!afterBalancing || AnalysisMode > 0)
        return; // the flows are those of an earlier run
    const int step = UndoStep;
    bool reversed = false;
    for (int a = 1; a <= AirwayCount; ++a) {
        float &icon = AirwayIconPosition(a);
        icon = std::fabs(icon);
        if (icon > 1)
            icon = 0.5f;
        if (!(AirwayFlow(a) < 0) || std::fabs(AirwayFlow(a)) <= MaxError)
            continue;
        if (AirwayFan(a) == 0) {
            if (AirwayFlags(a) & AirwayFlag::FixedDirection)
                continue; // asked about by ReverseFixedDirection
            RecordUndo(a, 2, step);
            ReverseAirway(a);
            RecordUndo(a, 1, step);
            reversed = true;
        } else {
            AddErrorLine(a, "Fan flow reversed");
            if (ErrorLevel == 0)
                ErrorLevel = 2;
            AirwayComment(a) = "Flow Reversed";
            AirwayFlags(a) |= AirwayFlag::ErrorMark;
        }
    }
    if (reversed) {
        UndoStep = step + 1;
        ReversalStepPending = true;
    }
}

int PressuresBeyondSingle() {
    sizeTerms();
    double total = 0; // Pa
    for (int a = 1; a <= AirwayCount; ++a) {
        const double q = AirwayFlow(a);
        total += std::fabs(fanTerm[a]) + std::fabs(fixingTerm[a]) + std::fabs(AirwayResistance(a) * q * q);
        if (!(total <= std::numeric_limits<float>::max()))
            return a;
    }
    return 0;
}

void ResolvePressures() {
    sizeTerms();
    const int n = AirwayCount;
    std::vector<double> source(n + 1, 0.0);
    for (int a = 1; a <= n; ++a) {
        const double q = AirwayFlow(a);
        source[a] = fanTerm[a] + fixingTerm[a] - AirwayResistance(a) * q * std::fabs(q);
    }
    // The reversals broke the order the search below needs. The plain sort: antiparallel airways that a
    // reversal made parallel must not raise the duplicate question in the middle of the run.
    const std::vector<int> order = SortAirwayRecords();
    if (!order.empty()) {
        permute(source, order);
        permute(fanTerm, order);
        permute(fixingTerm, order);
        std::vector<float> solverFan(n + 1, 0.0f);
        for (int k = 1; k <= n; ++k)
            solverFan[k] = AirwaySolverFan(order[k - 1]);
        for (int k = 1; k <= n; ++k)
            AirwaySolverFan(k) = solverFan[k];
    }
    bool anySurfaceStart = false;
    for (int a = 1; a <= n; ++a) {
        AirwayStartPressure(a) = 0;
        AirwayEndPressure(a) = Unresolved;
        if (AirwayStartKey(a) == SurfaceNodeKey) {
            AirwayEndPressure(a) = static_cast<float>(source[a]);
            anySurfaceStart = true;
        }
    }
    if (!anySurfaceStart)
        for (int a = 1; a <= n; ++a)
            AirwayEndPressure(a) = 0;
    // The terms belong to this run's balanced flows; later reversals need only the junction pressures.
    fanTerm.clear();
    fixingTerm.clear();
    SetProgress(95);
    if (!anySurfaceStart)
        return;

    // The first slot of each run of equal start keys.
    std::unordered_map<Currency, int> firstStarting;
    firstStarting.reserve(n);
    for (int a = n; a >= 1; --a)
        firstStarting[AirwayStartKey(a)] = a;
    // Whole passes in slot order until nothing changes: a node takes its pressure from the first resolved
    // airway into it that the passes reach. Each airway passes its pressure on once, so the passes are
    // replayed with a heap of the slots still due in this pass and a list of those due in the next.
    std::priority_queue<int, std::vector<int>, std::greater<int>> thisPass;
    std::vector<int> nextPass;
    for (int a = 1; a <= n; ++a)
        if (AirwayEndPressure(a) != Unresolved)
            thisPass.push(a);
    while (!thisPass.empty()) {
        while (!thisPass.empty()) {
            const int a = thisPass.top();
            thisPass.pop();
            if (AirwayEndKey(a) == SurfaceNodeKey)
                continue;
            const auto found = firstStarting.find(AirwayEndKey(a));
            if (found == firstStarting.end())
                continue;
            const float p = AirwayEndPressure(a);
            for (int b = found->second; b <= n && AirwayStartKey(b) == AirwayEndKey(a); ++b) {
                if (AirwayEndPressure(b) != Unresolved)
                    continue;
                AirwayStartPressure(b) = p;
                AirwayEndPressure(b) = static_cast<float>(p + source[b]);
                if (b > a)
                    thisPass.push(b); // still reached in this pass
                else
                    nextPass.push_back(b);
            }
        }
        for (int b : nextPass)
            thisPass.push(b);
        nextPass.clear();
    }
}

void ReverseFixedDirection() {
    // A reversal made here joins the step the finish step opened; without one it opens its own.
    const bool joining = ReversalStepPending;
    const int step = joining ? UndoStep - 1 : UndoStep;
    bool asked = false;
    bool allowed = true;
    bool reversed = false;
    for (int a = 1; a <= AirwayCount; ++a) {
        const bool fixedDirection = (AirwayFlags(a) & AirwayFlag::FixedDirection) != 0;
        if (AirwayFlow(a) < 0) {
            if (fixedDirection && !asked) {
                asked = true;
                allowed =
                    VB::MsgBox("Gustrom detects a number of airways have a 'FIXED DIRECTION' on them and "
                               "require reversing.  Gustrom may not simulate correctly next time unless "
                               "these airways are reversed.  Do you want to allow Gustrom to do this ?",
                               VB::vbYesNo | VB::vbQuestion, "Reverse airways") == VB::vbYes;
            }
            // A fan or fixed-pressure airway was reported; it turns round only when the user allows it.
            const bool turn = fixedDirection ? allowed : AirwayFan(a) == 0;
            if (turn) {
                RecordUndo(a, 2, step);
                ReverseAirway(a);
                RecordUndo(a, 1, step);
                reversed = true;
            }
        }
        if (fixedDirection && startsWith(AirwayComment(a).str(), "Rev"))
            AddErrorLine(a, "Fixed direction violated!");
    }
    if (reversed) {
        if (!joining)
            UndoStep = step + 1;
        ReversalStepPending = true;
    } else {
        ReversalStepPending = joining;
    }
}

void BuildConnections() {
    const int n = AirwayCount;
    // Slots by end key and by start key, each in slot order.
    std::unordered_map<Currency, std::vector<int>> endingAt, startingAt;
    endingAt.reserve(n);
    startingAt.reserve(n);
    for (int a = 1; a <= n; ++a) {
        endingAt[AirwayEndKey(a)].push_back(a);
        startingAt[AirwayStartKey(a)].push_back(a);
    }
    int32_t p = 0;
    auto append = [&p](int j) {
        if (AirwayLinkList.size() == 0 || p > AirwayLinkList.UBound())
            AirwayLinkList.ReDimPreserve(Bounds{0, std::max(2 * p, 4 * MaxAirways)});
        AirwayLinkList(p) = j;
        ++p;
    };
    auto listRuns = [&](int direction, const std::unordered_map<Currency, std::vector<int>> &byKey,
                        const VBArray<Currency> &ownKey) {
        for (int a = 1; a <= n; ++a) {
            AirwayLinks(direction, 1, a) = p;
            const auto found = byKey.find(ownKey(a));
            if (found != byKey.end())
                for (int j : found->second)
                    if (j != a)
                        append(j);
            AirwayLinks(direction, 2, a) = p - 1;
        }
    };
    listRuns(1, endingAt, AirwayStartKey);
    listRuns(2, startingAt, AirwayEndKey);
}
