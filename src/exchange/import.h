#pragma once
// The drawing import: a TXT exchange file or a DXF drawing becomes airways of the network, replacing it
// or merged into it, with the new-airway settings, moved by offsets, with levels built for them.
#include <functional>
#include <string>

// The choices of the import options dialog.
struct ImportOptions {
    bool merge = false;                 // keep the network and add the new airways
    bool forceCommonSize = false;       // steep airways without sizes become drives, not raises
    bool retainDriveResistance = false; // rectangular and irregular airways keep the file's resistance
    bool retainRaiseResistance = false; // round airways keep the file's resistance
    bool levelDatabase = false;         // one level per distinct end elevation
    std::string xOffset = "0", yOffset = "0", zOffset = "0"; // display units of length, as typed
    bool negateX = false, negateY = false, negateZ = false;
};

enum class ImportOutcome {
    Imported,       // the network holds the file's airways
    Unchanged,      // refused, cancelled or abandoned: network, levels and view as they were
    OffsetsInvalid, // an offset is not a number (reported); nothing was read
};

// The first offset box (0 X, 1 Y, 2 Z) whose text is not a number, or -1 when every offset reads.
int RefusedOffset(const ImportOptions &options);

// Imports ImportFileName. `message` shows the progress text. The network changes only when the whole
// file has been read; a changed network is offered for saving before a replacing import.
ImportOutcome ImportNetwork(const ImportOptions &options,
                            const std::function<void(const std::string &)> &message);
