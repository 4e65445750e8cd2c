#pragma once
// What the solver shows while it runs: the stage caption and bar of the progress window, the balancing
// figures, the error list and the event pump through which "Cancel" reaches RunState. The progress and
// error windows implement this; without them every call is silent, and tests install a recording one.
// Message boxes go through VB::MsgBox like everywhere else; the windows are redrawn through Upper().
#include <string>

class SimulationUi {
public:
    virtual ~SimulationUi() = default;

    // Caption of the progress window (the stage text).
    virtual void SetStage(const std::string & /*caption*/) {}
    // The progress bar, 0 .. 100.
    virtual void SetProgressBar(int /*percent*/) {}
    // Shows "Attempt Number :" and "Maximum Error :" when balancing starts.
    virtual void ShowBalanceLabels() {}
    // LblItt and LblError: the sweep count and the largest correction as shown.
    virtual void SetSweepFigures(const std::string & /*sweep*/, const std::string & /*largestCorrection*/) {}
    // A line was added to Errorlist.
    virtual void ErrorAdded(const std::string & /*line*/) {}
    // Lets pending window events run; the stop buttons set RunState from here.
    virtual void PumpEvents();
    // After Max Iterations sweeps short of convergence, with percent of the meshes converged: whether to
    // go on balancing ("Convergence Warning", Yes/No).
    virtual bool KeepBalancing(int percent);

    // The progress window: shown (modeless) at the start of a run that shows progress, unloaded at its end.
    virtual void ShowProgressWindow() {}
    virtual void CloseProgressWindow() {}
    // The error window: its list emptied at the start of a run, hidden while the run goes on, made
    // visible with a caption when the run ends with findings, unloaded otherwise.
    virtual void ClearErrorList() {}
    virtual void HideErrorWindow() {}
    virtual void ShowErrorWindow(const std::string & /*caption*/) {}
    virtual void CloseErrorWindow() {}
};

// The current implementation (never null).
SimulationUi &SimUi();
// Installs an implementation; nullptr restores the silent one. Returns the previous one.
SimulationUi *SetSimulationUi(SimulationUi *ui);

// Appends "airway number TAB fault" for airway slot a to Errorlist.
void AddErrorLine(int a, const std::string &fault);
