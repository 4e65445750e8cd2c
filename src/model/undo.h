#pragma once
// The undo log of airway changes.

// Undo counters back to their start: slot 1, step 1.
void ResetUndoSteps();
// Starts an empty undo record store for a new network.
void ResetUndoFile();

// ---- Recording (minimal until the full undo log lands) ----
// Set by a simulation that reversed airways under an undo step of their own; undo then takes back the
// step before as well. Cleared at the start of every run and by every new recording.
extern bool ReversalStepPending;
// NetworkBalanced off and the main window's results label and data combos show stale results.
void MarkResultsStale();
// Records airway a for an action (2 before a change, 1 after it or for a new airway) under step.
void RecordUndo(int a, int action, int step);
