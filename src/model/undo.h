#pragma once
// The undo log of airway changes. Every editing action records each airway it changes with action 2
// before the change and action 1 after it (a new airway only with action 1), all under the current
// UndoStep, and raises UndoStep by one when the action is complete.
#include "model/airway_fields.h"

#include <string>
#include <vector>

namespace UndoCode {
// Log entry actions.
constexpr int After = 1;  // the airway after the change, or a new airway
constexpr int Before = 2; // the airway before the change
constexpr int Marker = 3; // step and action only
} // namespace UndoCode

// False after an undo: the next recording cuts the log at the step it records.
extern bool UndoLogSynced;
// Set by the solver when it reverses airways under a step of their own: undo then takes back one more.
extern bool ReversalStepPending;

// The temporary folder, ending in a separator.
std::string GetTempDir();
// Undo counters back to their start: slot 1, step 1.
void ResetUndoSteps();
// Starts an empty store of recorded airways for a new network.
void ResetUndoFile();
// Clears NetworkBalanced and shows on the main window that the results are out of date.
void MarkResultsStale();
// The main window shows a run's outcome: the next recording marks the results out of date again, whatever
// its step.
void RunOutcomeShown();
// Records airway slot a for one action of one step; action 1 gives the airway a new undo stamp. Marks the
// network changed and its results out of date, so every recorded edit counts as a change; the results are
// marked once per step, not once per airway of a bulk edit.
void RecordUndo(int a, int action, int step);
// Takes back the last step (and the step before a pending reversal step); the network is then changed and
// its results out of date.
void UndoAction();
// Puts the step at UndoStep back; the network is then changed when there was one.
void RedoAction();

// The airways one editing action changes, recorded as one undo step: each airway as it was before its
// first change and, when the step closes, as it then is. An action that changed nothing records nothing.
class UndoStepRecorder {
public:
    // Airway a is about to change.
    void Changing(int a);
    // Airway a has changed already and was `before`: recorded when it differs.
    void Changed(int a, const AirwayValues &before);
    // Airway a is new.
    void Added(int a);
    // Records every airway noted as it now is and raises UndoStep; false (nothing recorded) when none was.
    bool Close();

private:
    std::vector<bool> noted_; // by slot
    std::vector<int> airways_;
    bool note(int a);
};
