#include "model/undo.h"

#include "model/Gustrom1.h"
#include "model/airway_fields.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

bool UndoLogSynced = true;
bool ReversalStepPending = false;

namespace {

// Snapshot of log slot s at index s: every stored field of the airway, kept exactly, so that a restored
// airway is the recorded one to the bit (no text conversion, no version rules, no length limit). The store
// belongs to this process.
std::vector<AirwayValues> undoStore;

constexpr int32_t rgb(int r, int g, int b) {
    return r + g * 256 + b * 65536;
}

// Applies the entries of one step in place. Finding the airway of a stamp must give the same airway as
// searching the airways from AirwayCount down for the first one holding it, so the slots of each stamp
// are kept in ascending order and the last one is taken; airways restored during the pass join them.
class StepApplier {
public:
    StepApplier() { index(); }

    // Clears the topmost airway holding the stamp; false when none does.
    bool Remove(int32_t stamp) {
        const auto it = slots_.find(stamp);
        if (it == slots_.end() || it->second.empty())
            return false;
        const int a = it->second.back();
        it->second.pop_back();
        ClearAirway(a);
        return true;
    }

    // Adds the recorded airway of log slot s as a new airway after the last one.
    void Restore(int s) {
        if (AirwayCount + 1 > MaxAirways && AirwayCount > 0) {
            // The gaps left by removals in this pass would make the restored network fit: close them
            // first. Packing keeps the order, so the result is the one without the capacity limit.
            PackAirways();
            index();
        }
        ++AirwayCount;
        if (AirwayCount > MaxAirways) {
            AirwayCount = MaxAirways;
            if (!warned_)
                VB::MsgBox("Insufficient memory for undo function - please increase file size in defaults");
            warned_ = true;
            return;
        }
        if (s < 0 || static_cast<size_t>(s) >= undoStore.size())
            return;
        PutAirwayValues(undoStore[static_cast<size_t>(s)], AirwayCount);
        const int32_t stamp = AirwayUndoStamp(AirwayCount);
        if (stamp != 0) {
            slots_[stamp].push_back(AirwayCount);
            restored_.insert(stamp);
        }
    }

    // An airway brought back keeps its number unless an airway that stayed now holds it (a renumbering
    // since the step was recorded): then it takes a new one, so every number stays unique.
    void NumberClashes() const {
        if (restored_.empty())
            return;
        std::unordered_set<int32_t> held;
        for (int a = 1; a <= AirwayCount; ++a)
            if (!restored_.contains(AirwayUndoStamp(a)))
                held.insert(AirwayNumber(a));
        std::vector<int> clashing;
        for (int a = 1; a <= AirwayCount; ++a)
            if (restored_.contains(AirwayUndoStamp(a)) && AirwayNumber(a) != 0 &&
                held.contains(AirwayNumber(a)))
                clashing.push_back(a);
        NumberNewAirways(clashing);
    }

private:
    std::unordered_map<int32_t, std::vector<int>> slots_;
    std::unordered_set<int32_t> restored_;
    bool warned_ = false;

    void index() {
        slots_.clear();
        slots_.reserve(static_cast<size_t>(AirwayCount));
        for (int a = 1; a <= AirwayCount; ++a)
            if (AirwayUndoStamp(a) != 0)
                slots_[AirwayUndoStamp(a)].push_back(a);
    }
};

bool logReady() {
    return UndoLog.size() > 0;
}

// The log slots of step `step`, from UndoSlot - 1 down to the first slot of an earlier step.
template <typename F> void forEachEntryOfStep(int step, F &&f) {
    if (!logReady())
        return;
    for (int s = UndoSlot - 1; s >= 1; --s) {
        if (!UndoLog.InBounds(1, s))
            continue;
        if (UndoLog(1, s) < step)
            break;
        if (UndoLog(1, s) == step)
            f(s);
    }
}

// Takes back the entries of step UndoStep; true when there was something to take back.
bool undoOneStep() {
    bool undone = false;
    StepApplier apply;
    forEachEntryOfStep(UndoStep, [&](int s) {
        switch (UndoLog(2, s)) {
        case UndoCode::After:
            if (apply.Remove(UndoLog(3, s)))
                undone = true;
            break;
        case UndoCode::Before:
            undone = true;
            apply.Restore(s);
            break;
        default:
            break;
        }
    });
    PackAirways();
    apply.NumberClashes();
    return undone;
}

// Puts the entries of step UndoStep back; true when there was something to put back.
bool redoOneStep() {
    bool redone = false;
    StepApplier apply;
    // A version recorded after a change and then again before a further change in the same step is
    // not part of the step's outcome; only the last version of each airway is put back.
    std::unordered_set<int32_t> superseded;
    forEachEntryOfStep(UndoStep, [&](int s) {
        if (UndoLog(2, s) != UndoCode::Before)
            return;
        superseded.insert(UndoLog(3, s));
        if (apply.Remove(UndoLog(3, s)))
            redone = true;
    });
    forEachEntryOfStep(UndoStep, [&](int s) {
        if (UndoLog(2, s) == UndoCode::After && !superseded.contains(UndoLog(3, s))) {
            redone = true;
            apply.Restore(s);
        }
    });
    PackAirways();
    apply.NumberClashes();
    return redone;
}

void afterChange() {
    UpdateNodeKeys();
    if (AutoSimulate) {
        ShowProgress = 1;
        Upper().Simulate();
    }
    Upper().SetVisibleAirways();
    Upper().RotateView();
}

} // namespace

std::string GetTempDir() {
    return VB::TempDir();
}

void ResetUndoSteps() {
    UndoSlot = 1;
    UndoStep = 1;
}

void ResetUndoFile() {
    // The recorded airways live in this process only, so two running copies never share them.
    undoStore.clear();
    undoStore.shrink_to_fit();
    if (logReady())
        UndoLog.Fill(0);
    UndoLogSynced = true;
}

void MarkResultsStale() {
    NetworkBalanced = false;
    Shell().SetSimLabel("SIM", rgb(255, 192, 128));
    Shell().SetDataCombosBackColour(rgb(255, 255, 192));
}

void RecordUndo(int a, int action, int step) {
    MarkResultsStale();
    // Whatever is recorded changes the network: one rule for every edit, so none can skip the question
    // before its change is thrown away.
    NetworkSaved = 0;
    // A new edit ends any claim of the last run's reversals on the next undo (the solver sets the flag
    // again after recording its own reversals).
    ReversalStepPending = false;
    if (!logReady())
        return;
    if (!UndoLogSynced) {
        // The first recording after an undo overwrites the undone steps.
        for (int s = 1; s <= UndoSlot && s <= UndoBufferSize; ++s)
            if (UndoLog(1, s) == step) {
                UndoSlot = s;
                break;
            }
        UndoLogSynced = true;
    }
    // A log shrunk by new settings starts again at its first slot.
    if (UndoSlot < 1 || UndoSlot > UndoBufferSize)
        UndoSlot = 1;
    const bool keepsAirway = action != UndoCode::Marker;
    if (keepsAirway && !AirwayFlags.InBounds(a))
        return;
    if (action == UndoCode::After || (keepsAirway && AirwayUndoStamp(a) == 0)) {
        ++UndoStampCounter;
        AirwayUndoStamp(a) = UndoStampCounter;
    }
    UndoLog(1, UndoSlot) = step;
    UndoLog(2, UndoSlot) = action;
    if (keepsAirway) {
        // Stamps are kept whole, so the log finds the recorded version however many have been given.
        UndoLog(3, UndoSlot) = AirwayUndoStamp(a);
        if (undoStore.size() <= static_cast<size_t>(UndoSlot))
            undoStore.resize(static_cast<size_t>(UndoSlot) + 1);
        undoStore[static_cast<size_t>(UndoSlot)] = TakeAirwayValues(a);
    }
    ++UndoSlot;
    if (UndoSlot > UndoBufferSize) {
        VB::MsgBox("Undo buffer full - clearing buffer ...");
        UndoSlot = 1;
    }
}

void UndoAction() {
    VB::SetScreenPointer(VB::vbHourglass);
    bool anyUndone = false;
    for (;;) {
        bool undone = false;
        while (!undone) {
            --UndoStep;
            if (UndoStep < 1) {
                UndoStep = 1;
                VB::MsgBox("No more actions to undo");
                // A step already taken back in this command still has to be shown.
                if (anyUndone)
                    Upper().RedrawAll();
                VB::SetScreenPointer(VB::vbDefault);
                return;
            }
            undone = undoOneStep();
        }
        anyUndone = true;
        UndoLogSynced = false;
        NetworkSaved = 0;
        // The reversals of a run go back together with the edit before them. The flag is read before
        // anything re-simulates, so a run started by the undo cannot make it undo again.
        if (!ReversalStepPending)
            break;
        ReversalStepPending = false;
    }
    afterChange();
    Upper().RedrawAll();
    VB::SetScreenPointer(VB::vbDefault);
}

void RedoAction() {
    VB::SetScreenPointer(VB::vbHourglass);
    if (redoOneStep())
        NetworkSaved = 0;
    else
        VB::MsgBox("No more actions available to redo");
    ++UndoStep;
    afterChange();
    Upper().RedrawAll();
    VB::SetScreenPointer(VB::vbDefault);
}
