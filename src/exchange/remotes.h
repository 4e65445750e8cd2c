#pragma once
// Remote station settings.

// Reads the station settings into the station tables.
void LoadRemotes();
// Writes the station settings file.
void SaveRemotes();
