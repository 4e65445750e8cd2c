#include "solver/simulation_ui.h"

#include "model/Gustrom1.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/Seam.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"

namespace {
Seam<SimulationUi> seam;
} // namespace

void SimulationUi::PumpEvents() {
    VB::DoEvents();
}

bool SimulationUi::KeepBalancing(int percent) {
    return VB::MsgBox("Your Network only has a convergence of " + std::to_string(percent) + "%\r\n" +
                          "Do you wish to keep on simulating ?",
                      VB::vbYesNo | VB::vbQuestion, "Convergence Warning") == VB::vbYes;
}

void SimulationUi::SetSimLabel(const std::string &caption, int32_t backColour) {
    Shell().SetSimLabel(caption, backColour);
}

void SimulationUi::SetDataCombosBackColour(int32_t colour) {
    Shell().SetDataCombosBackColour(colour);
}

void SimulationUi::SetVisibleAirways() {
    Upper().SetVisibleAirways();
}

void SimulationUi::RotateView() {
    Upper().RotateView();
}

void SimulationUi::Redraw() {
    Upper().Redraw();
}

void SimulationUi::RedrawAll() {
    Upper().RedrawAll();
}

SimulationUi &SimUi() {
    return seam.Get();
}

SimulationUi *SetSimulationUi(SimulationUi *ui) {
    return seam.Set(ui);
}

void AddErrorLine(int a, const std::string &fault) {
    std::string line = std::to_string(AirwayNumber(a)) + "\t" + fault;
    Errorlist.push_back(line);
    SimUi().ErrorAdded(line);
}
