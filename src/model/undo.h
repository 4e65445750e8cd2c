#pragma once
// The undo log of airway changes.

// Undo counters back to their start: slot 1, step 1.
void ResetUndoSteps();
// Starts an empty undo record store for a new network.
void ResetUndoFile();
// Undo and redo of the last editing step.
void UndoAction();
void RedoAction();
