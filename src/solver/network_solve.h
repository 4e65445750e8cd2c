#pragma once
// The whole network solved at once by Newton's method on the junction pressures, before the mesh sweeps:
// each step solves one sparse symmetric system over the junctions (a graph Laplacian weighted by the
// airways' inverse slopes), so its cost follows the network's own sparsity whatever the meshes look like.
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

class JunctionSystem;

struct NetworkSolveResult {
    bool solved = false;  // false: the flows were left as they came in
    int steps = 0;        // Newton steps kept
    bool stopped = false; // a stop request ended the solve
    // m³/s: the largest change of an airway's flow in the last step, where that step was taken whole and
    // lay far within the tolerance: the flow error it left behind, near the solution a small part of it.
    // Infinite where the solve ended otherwise.
    double errorBound = std::numeric_limits<double>::infinity();
};

// How an airway takes part in the solve: not at all (its flow is known), as a free airway, or as a free
// airway that is the chord of a corrected mesh.
enum class SolveRole : uint8_t { Known = 0, Free = 1, Chord = 2 };

// Replaces a change of the flows (m³/s, by airway slot) by the circulation that its chords' changes give
// through the corrected meshes, so that the junctions stay balanced to the last digit whatever the linear
// systems left.
using CarryThroughMeshes = std::function<void(std::vector<double> &change)>;

// Balances the flows (m³/s, by airway slot) of the free airways; every other airway keeps its flow, a
// fixed quantity or the no flow of a bulkhead, and counts as known at its junctions. The flows given must
// balance the junctions. Each step is formed from the meshes' own pressure sums (junction pressures walked
// along the meshes' tree leave only the chords' residuals), so its rounding follows the flows and not the
// network's pressures, and damped so that the network's content (over the airways, the integral over the
// flow of the pressure lost, R Q|Q| less the fan or fixed pressure) falls: the flows reached are a stable
// balanced state near the ones given. An airway without fan whose resistance is negligible at the
// network's scale joins its two junctions into one unknown, its pressure loss taken as it stands; where
// such airways close a ring of their own, the ring takes the split its resistances give, or where they
// have none the split of equal small resistances, whatever circulation it was given. Where no step
// lowers the content any further, the system cannot be solved or the steps run out, the flows reached so
// far are kept; on a stop request the flows are left as they came in. The solve ends once a step taken
// whole lies far within tolerance (m³/s), raised to the spacing of single-precision values at the
// largest flow, or once the flows are as exact as the arithmetic holds them. The junctions' system is the
// caller's: its order, analysis and storage serve the next solve again while the network's pattern stays.
NetworkSolveResult SolveNetworkByNewton(std::vector<double> &flow, const std::vector<SolveRole> &role,
                                        double tolerance, const CarryThroughMeshes &carry,
                                        JunctionSystem &junctions);
// The junctions' system of the runs' whole-network solves, kept for the program's life.
extern JunctionSystem WholeNetworkJunctions;
