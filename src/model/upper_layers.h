#pragma once
// What the model and the solver core run after they change the network: the graphics, the solver (for the
// model) and the station procedures of the layers above them, reached only through this seam. The program
// installs the real procedures when the main window is created; without them nothing is redrawn,
// simulated or read.
class UpperLayers {
public:
    virtual ~UpperLayers() = default;

    // Graphics: the visible list, projection, the view table, fitting, the caption and repaints.
    virtual void SetVisibleAirways() {}
    virtual void RotateView() {}
    virtual void SaveView(int /*slot*/) {}
    virtual void RestoreView(int /*slot*/) {}
    virtual void FitNetwork() {}
    virtual void CentreOfVisible() {}
    virtual void ShowWindowTitle() {}
    // The level new airways take, shown in the level controls and the cursor read-out.
    virtual void ShowWorkingLevel() {}
    virtual void Redraw() {}
    virtual void RedrawAll() {}
    virtual void ShowNetworkInEveryWindow(bool /*anew*/) {}
    // Shows the first saved view's name in the view list without loading it, and leaves the active view
    // in plan.
    virtual void ShowViewListTopInPlan() {}

    // The solver (automatic simulation after undo and redo).
    virtual void Simulate() {}
    // Closes the solver's error and warning window, whose lines belong to the network they were found on.
    virtual void CloseErrorWindow() {}

    // The remote station settings file.
    virtual void LoadRemotes() {}
    virtual void SaveRemotes() {}
};

// The current implementation (never null).
UpperLayers &Upper();
// Installs an implementation; nullptr restores the silent one. Returns the previous one.
UpperLayers *SetUpperLayers(UpperLayers *layers);
