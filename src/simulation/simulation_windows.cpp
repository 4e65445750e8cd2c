#include "simulation/simulation_windows.h"

#include "model/Gustrom1.h"
#include "platform/Text1252.h"
#include "simulation/frmError.h"
#include "simulation/frmSimForm.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>

namespace {
// The solver asks for the event pump after every sweep and stage; window events (repaints and "Cancel")
// are taken at a new stage and otherwise at most this often.
constexpr qint64 PumpIntervalMs = 100;
} // namespace

struct SimulationWindows::Windows {
    QWidget *mainWindow = nullptr;
    QPointer<frmSimForm> progress;
    QPointer<frmError> errors;
    QElapsedTimer pumped; // invalid: pump at the next call

    frmError &errorWindow() {
        if (!errors) {
            errors = new frmError(mainWindow);
            errors->onStop = [this] {
                if (progress)
                    progress->Unload();
            };
        }
        return *errors;
    }
};

SimulationWindows::SimulationWindows(QWidget *mainWindow) : windows_(std::make_unique<Windows>()) {
    windows_->mainWindow = mainWindow;
}

SimulationWindows::~SimulationWindows() {
    delete windows_->progress.data();
    delete windows_->errors.data();
}

void SimulationWindows::SetStage(const std::string &caption) {
    windows_->pumped.invalidate();
    if (windows_->progress)
        windows_->progress->SetStage(ToQt(caption));
}

void SimulationWindows::SetProgressBar(int percent) {
    if (windows_->progress)
        windows_->progress->SetProgress(percent);
}

void SimulationWindows::ShowBalanceLabels() {
    if (windows_->progress)
        windows_->progress->ShowBalanceLabels();
}

void SimulationWindows::SetSweepFigures(const std::string &sweep, const std::string &largestCorrection) {
    if (windows_->progress)
        windows_->progress->SetSweepFigures(ToQt(sweep), ToQt(largestCorrection));
}

void SimulationWindows::ErrorAdded(const std::string &line) {
    if (windows_->errors)
        windows_->errors->Errorlist->addItem(ToQt(line));
}

void SimulationWindows::PumpEvents() {
    if (windows_->pumped.isValid() && windows_->pumped.elapsed() < PumpIntervalMs)
        return;
    SimulationUi::PumpEvents();
    windows_->pumped.start();
}

void SimulationWindows::ShowProgressWindow() {
    if (!windows_->progress)
        windows_->progress = new frmSimForm(windows_->mainWindow);
    windows_->pumped.invalidate();
    windows_->progress->show();
}

void SimulationWindows::CloseProgressWindow() {
    if (windows_->progress)
        windows_->progress->Unload();
}

void SimulationWindows::ClearErrorList() {
    if (windows_->errors)
        windows_->errors->Errorlist->clear();
}

void SimulationWindows::HideErrorWindow() {
    if (windows_->errors)
        windows_->errors->hide();
}

void SimulationWindows::ShowErrorWindow(const std::string &caption) {
    frmError &window = windows_->errorWindow();
    // Some writers add to the list without telling the window; the list is the model's.
    window.Errorlist->clear();
    for (const std::string &line : Errorlist)
        window.Errorlist->addItem(ToQt(line));
    window.setWindowTitle(ToQt(caption));
    window.show();
}

void SimulationWindows::CloseErrorWindow() {
    if (windows_->errors)
        windows_->errors->Unload();
}

frmSimForm *SimulationWindows::ProgressWindow() const {
    return windows_->progress.data();
}

frmError *SimulationWindows::ErrorWindow() const {
    return windows_->errors.data();
}
