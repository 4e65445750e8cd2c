#include "model/undo.h"

#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"

void ResetUndoSteps() {
    UndoSlot = 1;
    UndoStep = 1;
}

void ResetUndoFile() {
    // Nothing is recorded yet, so an empty log is a fresh store.
    if (UndoLog.size() > 0) UndoLog.Fill(0);
}

bool ReversalStepPending = false;

void MarkResultsStale() {
    NetworkBalanced = false;
    Shell().SetSimLabel("SIM", 0x80C0FF);
    Shell().SetDataCombosBackColour(0xC0FFFF);
}

void RecordUndo(int a, int action, int step) {
    MarkResultsStale();
    ReversalStepPending = false;
    if (action == 1 || AirwayUndoStamp(a) == 0)
        AirwayUndoStamp(a) = ++UndoStampCounter;
    if (UndoLog.size() == 0 || UndoSlot > UndoLog.UBound(1))
        return;
    UndoLog(1, UndoSlot) = step;
    UndoLog(2, UndoSlot) = action;
    UndoLog(3, UndoSlot) = action == 3 ? 0 : AirwayUndoStamp(a);
    ++UndoSlot;
    if (UndoSlot > UndoBufferSize) {
        VB::MsgBox("Undo buffer full - clearing buffer ...");
        UndoSlot = 1;
    }
}
