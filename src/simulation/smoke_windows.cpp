#include "simulation/smoke_windows.h"

#include "platform/Text1252.h"
#include "simulation/frmSmoke.h"
#include "simulation/frmSmokeLegend.h"
#include "simulation/frmSmokeTrace.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

// Closes a window; it deletes itself later, and its Unloaded handler forgets it at once.
template <typename W> void unload(QPointer<W> &window) {
    if (window)
        window->close();
}

} // namespace

QLabel *ColourSwatch(const char *rgb, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setFixedSize(24, 16);
    label->setStyleSheet(QString("background-color: #%1; border: 1px solid black;").arg(rgb));
    return label;
}

SmokeWindows::SmokeWindows(QWidget *mainWindow) : mainWindow_(mainWindow) {}

SmokeWindows::~SmokeWindows() {
    delete dialog_.data();
    delete legend_.data();
    delete trace_.data();
}

frmSmoke *SmokeWindows::Dialog() const {
    return dialog_;
}
frmSmokeLegend *SmokeWindows::Legend() const {
    return legend_;
}
frmSmokeTrace *SmokeWindows::Trace() const {
    return trace_;
}
QWidget *SmokeWindows::LegendWindow() const {
    return legend_;
}
QWidget *SmokeWindows::TraceWindow() const {
    return trace_;
}

void SmokeWindows::ShowDialog() {
    if (!dialog_) {
        dialog_ = new frmSmoke(mainWindow_);
        dialog_->Unloaded = [this] { dialog_ = nullptr; };
    }
    dialog_->show();
    dialog_->raise();
}

void SmokeWindows::UnloadDialog() {
    unload(dialog_);
}

bool SmokeWindows::RetainLegendTicked() const {
    return dialog_ && dialog_->ChkRetain->isChecked();
}

void SmokeWindows::SetIteration(const std::string &text) {
    if (dialog_)
        dialog_->TxtItt->setText(ToQt(text));
}

void SmokeWindows::SetSmokeRate(const std::string &text) {
    if (dialog_)
        dialog_->TxtRate->setText(ToQt(text));
}

void SmokeWindows::SetSpread(const std::string &text) {
    if (dialog_)
        dialog_->TxtSpread->setText(ToQt(text));
}

void SmokeWindows::SetConvergence(const std::string &text) {
    if (dialog_)
        dialog_->TxtErr->setText(ToQt(text));
}

void SmokeWindows::LoadLegend() {
    load(legend_);
}

void SmokeWindows::UnloadLegend() {
    unload(legend_);
}

bool SmokeWindows::LegendLoaded() const {
    return !legend_.isNull();
}

std::string SmokeWindows::LegendBox(int i) const {
    if (!legend_ || i < 0 || i > 5)
        return SmokeUi::LegendBox(i);
    return FromQt(legend_->Percent[i]->text());
}

void SmokeWindows::SetLegendBox(int i, const std::string &text) {
    if (legend_ && i >= 0 && i <= 5)
        legend_->Percent[i]->setText(ToQt(text));
}

void SmokeWindows::SetTimeSlider(int latest) {
    LoadLegend();
    QScrollBar &slider = *legend_->Slider;
    slider.setRange(0, latest);
    slider.setPageStep(60);
    slider.setSingleStep(10);
    slider.setValue(latest);
}

void SmokeWindows::LoadTrace() {
    load(trace_);
}

void SmokeWindows::UnloadTrace() {
    unload(trace_);
}

template <typename W> void SmokeWindows::load(QPointer<W> &window) {
    if (window)
        return;
    window = new W(mainWindow_);
    window->Unloaded = [this, &window] { forget(window); };
    if (WindowsChanged)
        WindowsChanged();
}

template <typename W> void SmokeWindows::forget(QPointer<W> &window) {
    window = nullptr;
    if (WindowsChanged)
        WindowsChanged();
}
