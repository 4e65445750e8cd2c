#pragma once
// The smoke dialog, the legend window and the trace window behind the spread's display seam. The main
// window installs one with SetSmokeUi; each window is created on first use and lives until it is unloaded.
#include "solver/smoke_ui.h"

#include <QPointer>

#include <functional>

class QLabel;
class QWidget;
class frmSmoke;
class frmSmokeLegend;
class frmSmokeTrace;

class SmokeWindows : public SmokeUi {
public:
    // mainWindow: the windows' owner; may be null.
    explicit SmokeWindows(QWidget *mainWindow = nullptr);
    ~SmokeWindows() override;

    void ShowDialog() override;
    void UnloadDialog() override;
    bool RetainLegendTicked() const override;
    void SetIteration(const std::string &text) override;
    void SetSmokeRate(const std::string &text) override;
    void SetSpread(const std::string &text) override;
    void SetConvergence(const std::string &text) override;

    void LoadLegend() override;
    void UnloadLegend() override;
    bool LegendLoaded() const override;
    std::string LegendBox(int i) const override;
    void SetLegendBox(int i, const std::string &text) override;
    void SetTimeSlider(int latest) override;

    void LoadTrace() override;
    void UnloadTrace() override;

    // The windows while they are loaded, else null.
    frmSmoke *Dialog() const;
    frmSmokeLegend *Legend() const;
    frmSmokeTrace *Trace() const;
    QWidget *LegendWindow() const;
    QWidget *TraceWindow() const;
    // Told whenever the legend or the trace window is created or closed (the code that places them needs
    // them).
    std::function<void()> WindowsChanged;

private:
    template <typename W> void load(QPointer<W> &window);
    template <typename W> void forget(QPointer<W> &window);
    QWidget *mainWindow_;
    QPointer<frmSmoke> dialog_;
    QPointer<frmSmokeLegend> legend_;
    QPointer<frmSmokeTrace> trace_;
};

// A colour key square beside a class of the legend or a mark of the trace (colour as "RRGGBB").
QLabel *ColourSwatch(const char *rgb, QWidget *parent);
