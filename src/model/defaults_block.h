#pragma once
// The defaults block: the text form of the program settings (the friction, resistance and shock presets
// and one line of 90 scalar settings). It is the second section of every network file and the whole of
// the settings file.
#include "model/text_files.h"

// Writes the nine lines of the block: version line, six preset lines, the settings line, end marker.
void WriteNetworkDefaults(TextFileWriter &out);

// Reads the block whose first line is already in CurrentLine; reads the other lines from `in`. A field
// that does not convert leaves its setting as it was and the rest are still read; a block cut short
// keeps the settings it does not reach. Shows or hides the realtime menus and sets the autosave timer.
void ReadSettingsBlock(TextFileReader &in);
