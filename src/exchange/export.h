#pragma once
// The export command: asks for a file and writes the network as the TXT exchange file or as a DXF
// drawing.
#include <string>

// The form the next export writes: 0 TXT exchange file, 1 DXF in true coordinates, 2 DXF of the screen.
extern int ExportMode;

// Asks for the file name and calls the writer of ExportMode; reports every failure.
void ExportNetwork();

// The TXT exchange file: a heading and one TAB-separated line per airway slot, numbers in the printed
// form with the locale's decimal separator, lines ended by CR LF. After the sixteen table columns come the
// airway's flags ("Branch Code", every surface end marked) and its fixed or fan pressure, so that a file
// read back solves as the network it came from.
std::string ExportTextBytes();
// Writes the TXT exchange file in place of any file of that name; VBError when it cannot be written.
void ExportText(const std::string &fileName);
