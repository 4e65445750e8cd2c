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
// "n fan(s) of <what> left out: a value lies outside its range." shown when n is above 0.
void ReportFansLeftOut(int count, const std::string &what);
