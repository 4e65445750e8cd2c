#pragma once
// The settings file "Defaults.dat" and the unit conversion file "Conversion.dat" in the program folder.
#include <string>

// Reads the settings file of any version from 1.0 on; a missing or damaged file is reported and the
// values read so far stay.
void LoadDefaults();
// Gives the network in hand the label sizes (FontSize, FontScale) and the symbol sizes (IconSize,
// IconScale) of the settings file as last read or written, as a new network starts with them.
void UseSettingsLabelSizes();
// Reads the settings file again under a loaded network: the fan arrays follow a changed fan capacity,
// never below the highest fan in use, and every airway is recalculated once when the air density or a
// preset value changed, so stored resistances follow the reloaded settings.
void ReloadDefaults();
// What Save Special > Defaults replaces, naming the settings file; empty when there is no file yet.
std::string DefaultsFileReplacement();
// Writes the settings file, the unit conversion file and the station settings; false (after a message)
// when the settings file could not be written, the old one then being left as it was.
bool SaveDefaults();
// Reads the unit table; a missing or damaged file is reported and rows not reached keep their values.
void LoadConversion();
// Writes the unit table; false (after a message) when it could not be written.
bool SaveConversion();
