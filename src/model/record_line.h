#pragma once
// One airway as one line of 39 TAB-separated fields in a fixed order: the network file's airway lines,
// the undo records and the copies the editing tools make all use it.
#include <string>
#include <string_view>

// The heading of the airway lines in a network file: the names of fields 1 to 37 between separators, none
// at its end.
std::string AirwayHeadingLine(char separator);

// Builds the line of slot `airway` into `line` and returns it. Trims the names and the comment (and
// replaces control characters in them) in the slot itself. Fields 4 and 5 (node keys) stay empty; the
// undo stamp is written as 0 unless asked for.
std::string &AirwayLine(std::string &line, int airway, bool undoStamp = true);
// The same with the decimal separator given, for a caller writing many lines with one separator (asking
// the system's locale costs as much as the rest of a line).
std::string &AirwayLine(std::string &line, int airway, bool undoStamp, char decimalSeparator);
std::string AirwayLine(int airway);

// Parses a line into slot `airway`. `version` is the version of the text the line came from: it
// decides the separator and the conversions of older files. A slot above MaxAirways is refused with a
// message. A measured field that is empty or not a number raises VBError 13 after the fields before it
// were stored; fields 26 to 31 are stored only when present.
void AirwayFromRecord(std::string_view line, int airway, float version);
