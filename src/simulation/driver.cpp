#include "simulation/driver.h"

void Simulate() {
    // The solver is not built yet: the network stays as it is.
}
