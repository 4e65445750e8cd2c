#pragma once
// The whole network solved at once by Newton's method on the junction pressures, before the mesh sweeps:
// each step solves one sparse symmetric system over the junctions (a graph Laplacian weighted by the
// airways' inverse slopes), so its cost follows the network's own sparsity whatever the meshes look like.
#include <cstdint>
#include <vector>

struct NetworkSolveResult {
    bool solved = false;  // false: the flows were left as they came in
    int steps = 0;        // Newton steps taken
    bool stopped = false; // a stop request ended the solve
};

// Balances the flows (m³/s, by airway slot) of the airways marked free (those of a corrected mesh); every
// other airway keeps its flow, a fixed quantity or the no flow of a bulkhead, and counts as known at its
// junctions. Each step is damped so that the network's content (over the airways, the integral over the
// flow of the pressure lost, R Q|Q| less the fan or fixed pressure) falls, so the flows reached are a
// stable balanced state near the ones given. Where the system is singular (an airway ties its junctions)
// or no step lowers the content,
// or on a stop request, the flows are left as they came in. The solve ends once the flows are far within
// tolerance (m³/s) of the balance, or as exact as the arithmetic holds them.
NetworkSolveResult SolveNetworkByNewton(std::vector<double> &flow, const std::vector<uint8_t> &free,
                                        double tolerance);
