#pragma once
// Records what the solver shows while it runs, and can press "Cancel" at a chosen event pump.
#include "model/Gustrom1.h"
#include "solver/simulation_ui.h"

#include <string>
#include <utility>
#include <vector>

class RecordingSimulationUi : public SimulationUi {
public:
    RecordingSimulationUi() { previous_ = SetSimulationUi(this); }
    ~RecordingSimulationUi() override { SetSimulationUi(previous_); }

    std::vector<std::string> stages;
    std::vector<int> progress;
    bool balanceLabelsShown = false;
    std::vector<std::pair<std::string, std::string>> sweepFigures;
    std::vector<std::string> errors;
    int pumps = 0;
    // RunState becomes 255 at this pump (0 = never), as if "Cancel" were pressed.
    int cancelAtPump = 0;

    void SetStage(const std::string &caption) override { stages.push_back(caption); }
    void SetProgressBar(int percent) override { progress.push_back(percent); }
    void ShowBalanceLabels() override { balanceLabelsShown = true; }
    void SetSweepFigures(const std::string &sweep, const std::string &largest) override {
        sweepFigures.emplace_back(sweep, largest);
    }
    void ErrorAdded(const std::string &line) override { errors.push_back(line); }
    void PumpEvents() override {
        ++pumps;
        if (cancelAtPump != 0 && pumps == cancelAtPump)
            RunState = 255;
    }

private:
    SimulationUi *previous_ = nullptr;
};
