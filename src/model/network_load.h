#pragma once
// Reading a network file (any version from 1.0), a master file or the recovery copy into the model,
// as a new network or merged into the current one, and rebuilding what derives from the data.

class TextFileReader;

enum class LoadOutcome {
    NotOpened, // the file could not be opened or is not a network file: nothing changed
    Loaded,    // the whole file was read
    Stopped,   // the user stopped the load after an error: what was read stays, the name is cleared
};

// Loads NetworkFileName. LoadMode 1 replaces the network; above 1 merges the file into slots from LoadMode
// on, with the file's levels from LevelOffset.
LoadOutcome LoadNetwork();

// Stores the view line in LineFields into view slot `slot`.
void ReadViewLine(int slot);

// Reads lines until one begins with "End of Tag" or the file ends.
void SkipToEndOfTag(TextFileReader &in);
