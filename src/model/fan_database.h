#pragma once
// The fan database file.

void LoadFanData();
