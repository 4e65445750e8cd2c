#pragma once
// What the solver shows while it runs: the stage caption and bar of the progress window, the balancing
// figures, the error list and the event pump through which "Cancel" reaches RunState. The progress and
// error windows implement this; without them every call is silent, and tests install a recording one.
// It is the solver's one way to the user: the run's status and the redraws it asks for go through it too,
// to the main window and the graphics windows the program installs.
#include <cstdint>
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

    // The main window's results box ("SIM", "OK", "NOT BAL") and the data lists' colour.
    virtual void SetSimLabel(const std::string &caption, int32_t backColour);
    virtual void SetDataCombosBackColour(int32_t colour);
    // The graphics windows after a run changed what they show: the visible airways listed again, the view
    // projected again, the active window or every window redrawn.
    virtual void SetVisibleAirways();
    virtual void RotateView();
    virtual void Redraw();
    virtual void RedrawAll();
};

// The current implementation (never null).
SimulationUi &SimUi();
// Installs an implementation; nullptr restores the silent one. Returns the previous one.
SimulationUi *SetSimulationUi(SimulationUi *ui);

// Appends "airway number TAB fault" for airway slot a to Errorlist.
void AddErrorLine(int a, const std::string &fault);
