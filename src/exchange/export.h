#pragma once
// The export command: asks for a file and writes the network as the TXT exchange file or as a DXF
// drawing.

// The form the next export writes: 0 TXT exchange file, 1 DXF in true coordinates, 2 DXF of the screen.
extern int ExportMode;

// Asks for the file name and calls the writer of ExportMode; reports every failure.
void ExportNetwork();
