#pragma once
// The remote station table and the realtime settings, kept in the station settings file "Remotes.dat" of
// the program folder: one line per station 1..50, each repeating the realtime settings.
#include <optional>
#include <string>

// Reads "Remotes.dat" into the station table and the realtime settings, then gives the realtime timers
// their intervals. A missing file gets the default stations and is written.
void LoadRemotes();
// Writes the station table and the realtime settings to "Remotes.dat", replacing it only when the whole
// file is written.
void SaveRemotes();

// The timer interval (ms) of an interval setting: 1,000 × its seconds, halves to even; an empty setting
// gives 0 (no ticks). nullopt when the text is not a number or the interval is negative or beyond what a
// timer can hold.
std::optional<int> TimerIntervalOf(const std::string &seconds);

// A readings or results path as the program opens it: a relative path lies in the program folder.
std::string RealtimePath(const std::string &path);
