#include "simulation/simulation_ui.h"

#include "model/Gustrom1.h"
#include "platform/System.h"

namespace {
SimulationUi silentUi;
SimulationUi *currentUi = &silentUi;
} // namespace

void SimulationUi::PumpEvents() {
    VB::DoEvents();
}

SimulationUi &SimUi() {
    return *currentUi;
}

SimulationUi *SetSimulationUi(SimulationUi *ui) {
    SimulationUi *previous = currentUi == &silentUi ? nullptr : currentUi;
    currentUi = ui ? ui : &silentUi;
    return previous;
}

void AddErrorLine(int a, const std::string &fault) {
    std::string line = std::to_string(AirwayNumber(a)) + "\t" + fault;
    Errorlist.push_back(line);
    SimUi().ErrorAdded(line);
}
