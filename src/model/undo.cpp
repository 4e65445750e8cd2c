#include "model/undo.h"

#include "model/Gustrom1.h"
#include "model/airway_fields.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

bool UndoLogSynced = true;
bool ReversalStepPending = false;

namespace {

// The step whose recordings have marked the results out of date since the main window last showed a
// run's outcome (0: none).
int staleStep = 0;

// What log slot s keeps, at index s: every stored field of the airway, kept exactly, so that a restored
// airway is the recorded one to the bit (no text conversion, no version rules, no length limit), and the
// slot and number the airway had when it was recorded. The store belongs to this process.
struct StoredAirway {
    AirwayValues values;
    int slot = 0;
    int32_t number = 0;
};
std::vector<StoredAirway> undoStore;

const StoredAirway *stored(int s) {
    return s >= 0 && static_cast<size_t>(s) < undoStore.size() ? &undoStore[static_cast<size_t>(s)] : nullptr;
}

constexpr int32_t rgb(int r, int g, int b) {
    return r + g * 256 + b * 65536;
}

// Applies the entries of one step in place. Finding the airway of a stamp must give the same airway as
// searching the airways from AirwayCount down for the first one holding it, so the slots of each stamp
// are kept in ascending order and the last one is taken; airways restored during the pass join them.
// Restored airways are added after the last one and then put back at the slots they were recorded in.
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
        // The selection is the user's, not the network's: the version put back in its place keeps it.
        selected_[AirwayNumber(a)] = (AirwayFlags(a) & AirwayFlag::Selected) != 0;
        removedNumbers_.insert(AirwayNumber(a));
        targets_.erase(stamp);
        ClearAirway(a);
        return true;
    }

    // Adds the recorded airway of log slot s, to go back to slot `target`.
    void Restore(int s, int target) {
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
        const StoredAirway *entry = stored(s);
        if (entry == nullptr)
            return;
        const int a = AirwayCount;
        PutAirwayValues(entry->values, a);
        // A version the user had not selected, or whose selection was cleared since, comes back unselected.
        const auto sel = selected_.find(AirwayNumber(a));
        if (sel != selected_.end() && sel->second)
            AirwayFlags(a) |= AirwayFlag::Selected;
        else
            AirwayFlags(a) &= ~AirwayFlag::Selected;
        restoredNumbers_.insert(AirwayNumber(a));
        const int32_t stamp = AirwayUndoStamp(a);
        if (stamp != 0) {
            slots_[stamp].push_back(a);
            restored_.insert(stamp);
            targets_[stamp] = target;
        }
    }

    // Closes the gaps and puts every restored airway back at its slot; the others keep their order.
    void Place() {
        std::vector<int> kept;
        std::vector<std::pair<int, int>> placed; // (target slot, slot now)
        kept.reserve(static_cast<size_t>(AirwayCount));
        for (int a = 1; a <= AirwayCount; ++a) {
            if (AirwayFlags(a) == 0)
                continue;
            const auto it = targets_.find(AirwayUndoStamp(a));
            if (it == targets_.end()) {
                kept.push_back(a);
                continue;
            }
            placed.emplace_back(it->second, a);
            targets_.erase(it);
        }
        std::stable_sort(placed.begin(), placed.end(),
                         [](const auto &x, const auto &y) { return x.first < y.first; });
        std::vector<int> order;
        order.reserve(kept.size() + placed.size());
        for (size_t i = 0, j = 0; i < kept.size() || j < placed.size();) {
            const int slot = static_cast<int>(order.size()) + 1;
            if (j < placed.size() && (placed[j].first <= slot || i == kept.size()))
                order.push_back(placed[j++].second);
            else
                order.push_back(kept[i++]);
        }
        const int n = static_cast<int>(order.size());
        bool inPlace = true;
        for (int k = 0; k < n && inPlace; ++k)
            inPlace = order[static_cast<size_t>(k)] == k + 1;
        if (!inPlace)
            PermuteAirwayFields(order);
        for (int a = n + 1; a <= AirwayCount; ++a)
            ClearAirway(a);
        AirwayCount = n;
    }

    // Numbers given to airways of the step that the step's undo removed for good.
    std::vector<int32_t> NumbersTakenBack() const {
        std::vector<int32_t> numbers;
        for (const int32_t n : removedNumbers_)
            if (n != 0 && !restoredNumbers_.contains(n))
                numbers.push_back(n);
        return numbers;
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
    std::unordered_map<int32_t, int> targets_;   // restored stamp -> slot to go back to
    std::unordered_map<int32_t, bool> selected_; // airway number -> selection of the version removed
    std::unordered_set<int32_t> removedNumbers_, restoredNumbers_;
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

// Takes back the entries of step UndoStep; true when there was something to take back. Each airway goes
// back to the slot it had before the step, so the network is in its old order again.
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
            apply.Restore(s, stored(s) ? stored(s)->slot : 0);
            break;
        default:
            break;
        }
    });
    apply.Place();
    apply.NumberClashes();
    // The numbers the step gave to new airways are free again when nothing numbered since holds a higher
    // one, so that undoing every step gives back the counter the network had.
    const std::vector<int32_t> freed = apply.NumbersTakenBack();
    if (!freed.empty() && NextAirwayNumber == *std::max_element(freed.begin(), freed.end())) {
        NextAirwayNumber = *std::min_element(freed.begin(), freed.end()) - 1;
        LiftNextAirwayNumber();
    }
    return undone;
}

// Puts the entries of step UndoStep back; true when there was something to put back.
bool redoOneStep() {
    bool redone = false;
    StepApplier apply;
    // A version recorded after a change and then again before a further change in the same step is
    // not part of the step's outcome; only the last version of each airway is put back.
    std::unordered_set<int32_t> superseded;
    std::unordered_set<int32_t> kept;            // numbers of airways the step left in the network
    std::vector<std::pair<int32_t, int>> before; // number and slot of each airway recorded before
    forEachEntryOfStep(UndoStep, [&](int s) {
        if (UndoLog(2, s) == UndoCode::After) {
            if (const StoredAirway *e = stored(s))
                kept.insert(e->number);
            return;
        }
        if (UndoLog(2, s) != UndoCode::Before)
            return;
        superseded.insert(UndoLog(3, s));
        if (const StoredAirway *e = stored(s))
            before.emplace_back(e->number, e->slot);
        if (apply.Remove(UndoLog(3, s)))
            redone = true;
    });
    // An airway is recorded after its change at the slot it then had; the airways the step deleted were
    // packed away after that, each moving the later ones one slot down.
    std::vector<int> deleted;
    for (const auto &[number, slot] : before)
        if (!kept.contains(number))
            deleted.push_back(slot);
    std::sort(deleted.begin(), deleted.end());
    deleted.erase(std::unique(deleted.begin(), deleted.end()), deleted.end());
    forEachEntryOfStep(UndoStep, [&](int s) {
        if (UndoLog(2, s) == UndoCode::After && !superseded.contains(UndoLog(3, s))) {
            redone = true;
            const int slot = stored(s) ? stored(s)->slot : 0;
            const auto below = std::lower_bound(deleted.begin(), deleted.end(), slot) - deleted.begin();
            apply.Restore(s, slot - static_cast<int>(below));
        }
    });
    apply.Place();
    apply.NumberClashes();
    LiftNextAirwayNumber();
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
    // The recorded airways live in this process only, so two running copies never share them. The store
    // keeps its room for the next network's records: a run that reverses thousands of airways would
    // otherwise take fresh memory after every open.
    undoStore.clear();
    if (logReady())
        UndoLog.Fill(0);
    UndoLogSynced = true;
    staleStep = 0;
}

void MarkResultsStale() {
    NetworkBalanced = false;
    Shell().SetSimLabel("SIM", rgb(255, 192, 128));
    Shell().SetDataCombosBackColour(rgb(255, 255, 192));
}

void RunOutcomeShown() {
    staleStep = 0;
}

void RecordUndo(int a, int action, int step) {
    // Once per step: a bulk edit records thousands of airways, and the main window's status would be set
    // as often.
    if (NetworkBalanced || step != staleStep) {
        MarkResultsStale();
        staleStep = step;
    }
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
        undoStore[static_cast<size_t>(UndoSlot)] = {TakeAirwayValues(a), a, AirwayNumber(a)};
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
        // The network is no longer the one solved, and may be empty now.
        MarkResultsStale();
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
    if (redoOneStep()) {
        NetworkSaved = 0;
        MarkResultsStale();
    } else {
        VB::MsgBox("No more actions available to redo");
    }
    ++UndoStep;
    afterChange();
    Upper().RedrawAll();
    VB::SetScreenPointer(VB::vbDefault);
}

bool UndoStepRecorder::note(int a) {
    if (a < 1)
        return false;
    if (noted_.size() <= static_cast<size_t>(a))
        noted_.resize(std::max(static_cast<size_t>(AirwayCount), static_cast<size_t>(a)) + 1, false);
    if (noted_[static_cast<size_t>(a)])
        return false;
    noted_[static_cast<size_t>(a)] = true;
    airways_.push_back(a);
    return true;
}

void UndoStepRecorder::Changing(int a) {
    if (note(a))
        RecordUndo(a, UndoCode::Before, UndoStep);
}

void UndoStepRecorder::Changed(int a, const AirwayValues &before) {
    const AirwayValues after = TakeAirwayValues(a);
    if (after == before || !note(a))
        return;
    PutAirwayValues(before, a);
    RecordUndo(a, UndoCode::Before, UndoStep);
    const int32_t stamp = AirwayUndoStamp(a); // a first recording gives the airway its stamp
    PutAirwayValues(after, a);
    AirwayUndoStamp(a) = stamp;
}

void UndoStepRecorder::Added(int a) {
    note(a);
}

bool UndoStepRecorder::Close() {
    for (const int a : airways_)
        RecordUndo(a, UndoCode::After, UndoStep);
    const bool any = !airways_.empty();
    if (any)
        ++UndoStep;
    airways_.clear();
    noted_.clear();
    return any;
}
