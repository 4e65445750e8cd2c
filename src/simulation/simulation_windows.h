#pragma once
// The progress and error windows behind the solver's display seam. The shell installs one with
// SetSimulationUi; each window is created on first use and lives until it is unloaded.
#include "solver/simulation_ui.h"

#include <memory>

class QWidget;
class frmSimForm;
class frmError;

class SimulationWindows : public SimulationUi {
public:
    // mainWindow: where the error window is placed (its bottom right corner); may be null.
    explicit SimulationWindows(QWidget *mainWindow = nullptr);
    ~SimulationWindows() override;

    void SetStage(const std::string &caption) override;
    void SetProgressBar(int percent) override;
    void ShowBalanceLabels() override;
    void SetSweepFigures(const std::string &sweep, const std::string &largestCorrection) override;
    void ErrorAdded(const std::string &line) override;
    void PumpEvents() override;

    void ShowProgressWindow() override;
    void CloseProgressWindow() override;
    void ClearErrorList() override;
    void HideErrorWindow() override;
    void ShowErrorWindow(const std::string &caption) override;
    void CloseErrorWindow() override;

    // The windows while they are loaded, else null.
    frmSimForm *ProgressWindow() const;
    frmError *ErrorWindow() const;

private:
    struct Windows;
    std::unique_ptr<Windows> windows_;
};
