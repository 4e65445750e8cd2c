#include "shell/network_commands.h"

#include "graphics/drawing.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "model/units.h"
#include "platform/ShellHooks.h"
#include "platform/Text1252.h"
#include "simulation/smoke_spread.h"
#include "solver/contaminant_spread.h"
#include "solver/pressures.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace {

// Names one field of airway a within a naming that is one undo step.
void setName(UndoStepRecorder &step, NodeName &field, int a, const std::string &name) {
    if (field == NodeName(name))
        return;
    step.Changing(a);
    field = name;
}

} // namespace

void AutoNameAirways(const std::string &prefix) {
    UndoStepRecorder step;
    int number = 1;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayName(a).trimmed().empty())
            setName(step, AirwayName(a), a, prefix + std::to_string(number++));
    step.Close();
}

void AutoNameNodes(const std::string &prefix) {
    BuildConnections();
    // The airways ending at each node, so that naming a node touches only its own airways.
    std::unordered_map<Currency, std::vector<int>> endingAt;
    endingAt.reserve(static_cast<size_t>(AirwayCount));
    for (int a = 1; a <= AirwayCount; ++a)
        endingAt[AirwayEndKey(a)].push_back(a);
    UndoStepRecorder step;
    int number = 1;
    for (int a = 1; a <= AirwayCount; ++a) {
        if (!AirwayEndName(a).trimmed().empty())
            continue;
        const std::string name = prefix + std::to_string(number++);
        for (int b : endingAt[AirwayEndKey(a)])
            setName(step, AirwayEndName(b), b, name);
        for (int32_t p = AirwayLinks(2, 1, a); p <= AirwayLinks(2, 2, a); ++p) {
            const int d = AirwayLinkList(p);
            if (AirwayStartName(d).trimmed().empty())
                setName(step, AirwayStartName(d), d, name);
        }
    }
    step.Close();
}

void PreserveFlowNames() {
    for (int a = 1; a <= AirwayCount; ++a) {
        const std::string name = Trim(AirwayName(a));
        if (name.empty() || name.front() == '(') {
            // Rounded from the flow's own 7 digits, as every shown value is: 0.35 gives (0.4).
            std::string text(1, '(');
            text += FormatPattern(AirwayFlow(a), "0.0", 7);
            text += ')';
            AirwayName(a) = text;
        }
    }
    NetworkSaved = 0;
}

void RemoveFlowNames() {
    for (int a = 1; a <= AirwayCount; ++a) {
        const std::string name = Trim(AirwayName(a));
        if (!name.empty() && name.front() == '(' && name.back() == ')') {
            AirwayName(a) = "";
            NetworkSaved = 0;
        }
    }
}

void SetAllLengthsFixed(bool fixed) {
    for (int a = 1; a <= AirwayCount; ++a) {
        if (fixed)
            AirwayFlags(a) |= AirwayFlag::FixedLength;
        else
            AirwayFlags(a) &= ~AirwayFlag::FixedLength;
    }
    NetworkSaved = 0;
}

void ReseedAirflows(int seed) {
    for (int a = 1; a <= AirwayCount; ++a)
        if (!(AirwayFlags(a) & AirwayFlag::FixedFlow))
            AirwayFlow(a) = static_cast<float>(seed);
    MarkResultsStale();
    NetworkSaved = 0;
}

int OrientDuplicates() {
    constexpr int32_t keepsDirection = AirwayFlag::FixedFlow | AirwayFlag::FixedDirection;
    // The network checks want every node, the surface node too, left by one airway and entered by
    // another. A turn that would take a node's last way out or in is not made, so a network that solved
    // before still solves; such an airway keeps its direction.
    std::unordered_map<Currency, int> leaving;
    std::unordered_map<Currency, int> entering;
    for (int a = 1; a <= AirwayCount; ++a) {
        ++leaving[AirwayStartKey(a)];
        ++entering[AirwayEndKey(a)];
    }
    // The turns are one undo step; they also put the last run's flows out of date.
    UndoStepRecorder step;
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwayFan(a) != 0 || (AirwayFlags(a) & keepsDirection))
            continue;
        const auto start = std::tie(AirwayStart(3, a), AirwayStart(2, a), AirwayStart(1, a));
        const auto end = std::tie(AirwayEnd(3, a), AirwayEnd(2, a), AirwayEnd(1, a));
        const Currency from = AirwayStartKey(a);
        const Currency to = AirwayEndKey(a);
        if (start > end && leaving[from] > 1 && entering[to] > 1) {
            --leaving[from];
            --entering[to];
            ++leaving[to];
            ++entering[from];
            step.Changing(a);
            ReverseAirway(a);
        }
    }
    step.Close();
    // Twins: airways joining the same two nodes, whichever way they run.
    std::map<std::pair<Currency, Currency>, int> joining;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayStartKey(a) != AirwayEndKey(a))
            ++joining[std::minmax(AirwayStartKey(a), AirwayEndKey(a))];
    int twins = 0;
    for (const auto &[ends, count] : joining)
        if (count > 1)
            twins += count;
    return twins;
}

void ReverseCoordinateAxes() {
    for (int a = 1; a <= AirwayCount; ++a) {
        std::swap(AirwayStart(1, a), AirwayStart(2, a));
        std::swap(AirwayEnd(1, a), AirwayEnd(2, a));
    }
    AxisSignX = AxisSignX == -1 ? 1 : -1;
    AxisSignY = AxisSignY == -1 ? 1 : -1;
    UpdateNodeKeys();
    SetVisibleAirways();
    CentreAtView();
    RotateView();
    FitNetwork();
    NetworkSaved = 0;
}

void ClearSmokeTracking(bool clearSources) {
    if (clearSources)
        ClearContaminantSources();
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwayMeshOrder.InBounds(a))
            AirwayMeshOrder(a) = 0;
        if (SmokeWork.InBounds(a))
            SmokeWork(a) = 0;
    }
    if (SmokeMode != 1)
        return;
    SmokeMode = 0;
    CloseSmokeLegend();
    RestoreSavedDataType();
}

void DeselectAll() {
    for (int a = 1; a <= AirwayCount; ++a)
        AirwayFlags(a) &= ~AirwayFlag::Selected;
}
