#pragma once
// The default fan database file "fansdata.dat" in the program folder.
#include <string>

// Reads the file into the fan arrays; errors are reported and what was read stays.
void LoadFanData();
// Writes the fan database with the next revision number; false (after a message) when it could not be
// written, the old file then being left as it was.
bool SaveFanData();
// What a save would replace, for the question before it: the file, how many fans it holds and how many it
// will hold. Empty when there is no file to replace.
std::string FanFileReplacement();
// Empties fan slot f: no name, no diameter, no curve.
void EmptyFan(int f);
// The fans a reader left out, by reason.
struct FansLeftOut {
    int unreadable = 0; // a value is not a number, or the fan's lines end early
    int outOfRange = 0; // a value lies outside its rule
    int noSlot = 0;     // its number names no slot of the database
};
// The one message on them, "1 fan was left out of <from>: it could not be read."; empty when none was.
std::string FansLeftOutText(const FansLeftOut &fans, const std::string &from);
