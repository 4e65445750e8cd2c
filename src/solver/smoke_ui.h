#pragma once
// What the contaminant spread and trace show: the smoke dialog (its progress figures and "Retain Legend"
// box), the legend window (its six class boxes and the time slider) and the trace window. The smoke
// windows implement this; without them nothing is shown, the legend boxes read as the levels they show,
// and tests install the windows themselves or a recording stand-in.
#include <string>

class SmokeUi {
public:
    virtual ~SmokeUi() = default;

    // frmSmoke: shown modeless (it then serves as the progress window) and unloaded.
    virtual void ShowDialog() {}
    virtual void UnloadDialog() {}
    // Its "Retain Legend" box.
    virtual bool RetainLegendTicked() const { return false; }
    // TxtItt, TxtRate, TxtSpread, TxtErr: reach pass, airways newly reached, spread and convergence.
    virtual void SetIteration(const std::string & /*text*/) {}
    virtual void SetSmokeRate(const std::string & /*text*/) {}
    virtual void SetSpread(const std::string & /*text*/) {}
    virtual void SetConvergence(const std::string & /*text*/) {}

    // frmSmokeLegend: loaded (not yet shown; PlaceLegendWindow shows it) and unloaded.
    virtual void LoadLegend() {}
    virtual void UnloadLegend() {}
    virtual bool LegendLoaded() const { return false; }
    // Percent(i), i = 0 (top class) .. 5; without a legend they read as SmokeLegendLevel(i) shows.
    virtual std::string LegendBox(int i) const;
    virtual void SetLegendBox(int /*i*/, const std::string & /*text*/) {}
    // The time slider: 0 .. latest s, steps 60 and 10, at latest; its change handler runs.
    virtual void SetTimeSlider(int /*latest*/) {}

    // frmSmokeTrace: loaded (PlaceTraceWindow shows it) and unloaded.
    virtual void LoadTrace() {}
    virtual void UnloadTrace() {}
};

// The current implementation (never null).
SmokeUi &Smoke();
// Installs an implementation; nullptr restores the silent one. Returns the previous one.
SmokeUi *SetSmokeUi(SmokeUi *ui);

// A legend bound as its box shows it: a whole number (format "0").
std::string LegendLevelText(double level);
// Seconds as hours, minutes and seconds "h:mm:ss" (the legend's time label).
std::string SmokeTimeText(int seconds);
