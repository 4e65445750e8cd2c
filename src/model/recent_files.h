#pragma once
// The list of recently used network files.

void LoadRecentFiles();
void ShowRecentFiles();
void AddRecentFile();
