#pragma once
// A fresh model for each test: defaults set (no settings file), empty network, and the program's
// folders, settings store, message boxes and main-window controls all in test hands.
#include "common/RecordingShell.h"
#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "model/Gustrom1.h"

#include <gtest/gtest.h>

// The built-in defaults in a folder that holds no settings file, whose message is answered.
void SetFreshDefaults();

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override;
    TestFolder folder;
    RecordingShell shell;
    // The built-in unit table in SI units, with "." as the decimal separator: for windows that show values.
    static void UseSIDisplay();
    // Appends an airway from (x1, y1, z1) to (x2, y2, z2), rectangular 4 × 4 m, and returns its slot.
    int AddAirway(int32_t x1, int32_t y1, int32_t z1, int32_t x2, int32_t y2, int32_t z2);
};
