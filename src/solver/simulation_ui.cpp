#include "solver/simulation_ui.h"

#include "model/Gustrom1.h"
#include "platform/Seam.h"
#include "platform/System.h"

namespace {
Seam<SimulationUi> seam;
} // namespace

void SimulationUi::PumpEvents() {
    VB::DoEvents();
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
