#pragma once
// Whole simulation runs on small networks built by code: recording main window, scripted boxes and a
// recording display whose event pump can act in the middle of a run.
#include "common/RecordingShell.h"
#include "common/RecordingSimulationUi.h"
#include "common/ScriptedDialogs.h"
#include "common/test_network.h"
#include "model/Gustrom1.h"
#include "model/undo.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Fan model f, 1000 Pa at no flow less 10 Pa per m³/s, dropping 1 Pa at 49.99 m³/s: a circuit of 0.2 Ns²/m⁸,
// which would take 50 m³/s, balances at no flow, and its flows turn about the drop by some 0.03 m³/s.
inline void SetSteppedFan(int f) {
    testnet::SetLinearFan(f, 1000, 10);
    FanCurveFlow(6, f) = FanCurveFlow(7, f) = 49.99f;
    for (int k : {1, 2})
        FanCurvePressure(k, 6, f) = 500.1f + 100 * (k - 1),
                               FanCurvePressure(k, 7, f) = 499.1f + 100 * (k - 1);
}

class RunUi : public RecordingSimulationUi {
public:
    int progressShown = 0, progressClosed = 0, errorsCleared = 0, errorHidden = 0, errorClosed = 0;
    std::vector<std::string> errorWindowCaptions;
    // Runs at every event pump after the recording (a button pressed, a timer fired ...).
    std::function<void()> onPump;

    void PumpEvents() override {
        RecordingSimulationUi::PumpEvents();
        if (onPump)
            onPump();
    }
    void ShowProgressWindow() override { ++progressShown; }
    void CloseProgressWindow() override { ++progressClosed; }
    void ClearErrorList() override { ++errorsCleared; }
    void HideErrorWindow() override { ++errorHidden; }
    void ShowErrorWindow(const std::string &caption) override { errorWindowCaptions.push_back(caption); }
    void CloseErrorWindow() override { ++errorClosed; }
    bool Reached(const std::string &stage) const {
        for (const std::string &s : stages)
            if (s == stage)
                return true;
        return false;
    }
};

class SimRunTest : public ::testing::Test {
protected:
    RecordingShell shell;
    ScriptedDialogs boxes;
    RunUi ui;

    void SetUp() override {
        testnet::NewNetwork(200, 20);
        LevelRange(1, 1) = 0;
        LevelRange(1, 2) = 0; // ends at elevation 0 and above are on the surface
        MaxError = 0.001f;
        MaxIterations = 500;
        UndoStep = 1;
        UndoSlot = 1;
        UndoStampCounter = 0;
        ReversalStepPending = false;
        NetworkSaved = 255;
        NetworkBalanced = false;
        ShowProgress = 1;
        VB::SetScreenPointer(VB::vbDefault);
    }

    // The slot of the airway a test added as slot `added` (the run sorts the airways).
    static int SlotOf(int added) {
        for (int a = 1; a <= AirwayCount; ++a)
            if (AirwayNumber(a) == 1000 + added)
                return a;
        return 0;
    }

    // Undo log entries (step, action) of the airway's current stamp and of earlier ones.
    static std::vector<std::pair<int, int>> LogEntries() {
        std::vector<std::pair<int, int>> entries;
        for (int s = 1; s < UndoSlot; ++s)
            entries.emplace_back(UndoLog(1, s), UndoLog(2, s));
        return entries;
    }
};
