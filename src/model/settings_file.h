#pragma once
// The settings file "Defaults.dat" in the program folder.

// Reads the settings file; a missing or unreadable file is reported and the values read so far stay.
void LoadDefaults();
// Writes the settings file and the unit conversion file.
void SaveDefaults();
