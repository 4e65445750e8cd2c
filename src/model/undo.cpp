#include "model/undo.h"

#include "model/Gustrom1.h"

void ResetUndoSteps() {
    UndoSlot = 1;
    UndoStep = 1;
}

void ResetUndoFile() {
    // Nothing is recorded yet, so an empty log is a fresh store.
    if (UndoLog.size() > 0) UndoLog.Fill(0);
}
