#pragma once
// The whole network solved at once by Newton's method on the junction pressures, before the mesh sweeps:
// each step solves one sparse symmetric system over the junctions (a graph Laplacian weighted by the
// airways' inverse slopes), so its cost follows the network's own sparsity whatever the meshes look like.
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
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

// Which free airways without fan are negligible (1), by airway slot, the junctions numbered by the checks
// and the meshing: such airways join their junctions into one unknown. Taken in rising order of resistance,
// the airways join their junctions into clusters (as Kruskal's method grows a forest): when an airway leads
// out of a cluster, that is the least resistance in series with every airway of the cluster, so a cluster
// whose airways all lie at or below a millionth of it is negligible beside whatever carries its air on. An
// airway joining two junctions of one cluster lies in parallel with it and seals nothing, so stoppings and
// leakage paths across the drives never make the drives negligible, nor does any airway elsewhere; it
// joins the cluster unless it lies as far above it. A cluster on which a fan or a fixed pressure works is
// driven from within and never negligible. An airway without resistance is always negligible.
std::vector<uint8_t> NegligibleAirways(const std::vector<SolveRole> &role);

// The junctions of a run's free airways numbered as the unknowns of a junction solve, the two ends of a
// negligible airway (a tie) as one: in each connected part the surface's group, or else its lowest
// junction's, holds the reference pressure. Built once per run for every junction solve of it.
struct JunctionNumbering {
    // An airway of negligible resistance that joins two junctions into one unknown: its flow follows from
    // the balance of the junction beyond it, child, away from the root of its group.
    struct Tie {
        int airway = 0;
        int child = 0, parent = 0;
        bool towardParent = false; // the airway runs from child to parent
    };
    // A ring closed by ties: the airway that closes it, then the ties back from its end to its start, each
    // with +1 where the ring runs along it.
    struct Ring {
        std::vector<std::pair<int, double>> airways;
    };
    // A free airway that is no tie: its slot, its junctions, and the unknowns of their groups (-1 the
    // reference, -2 both for an airway whose ends one group holds).
    struct Branch {
        int airway = 0;
        int start = 0, end = 0;
        int from = -1, to = -1;
        bool chord = false; // the chord of a corrected mesh
    };
    std::vector<int> freeAirways; // the ties' airways, then the branches'
    std::vector<Tie> ties;        // each group's from its root outwards
    std::vector<Ring> rings;
    std::vector<Branch> branches;
    int unknowns = 0;
    std::vector<int64_t> identity;          // per unknown: the least key of its junctions, kept run to run
    std::vector<std::pair<int, int>> links; // the unknowns each branch joins (none to itself)
};
JunctionNumbering NumberJunctions(const std::vector<SolveRole> &role);
// Gives each tie the flow (m³/s, into `flow` by airway slot) that balances its child junction, from the
// outermost in, each child's excess (m³/s, by junction) passed on to its parent: the groups' roots are left
// with the rest.
void BalanceTies(const std::vector<JunctionNumbering::Tie> &ties, std::vector<double> &excess,
                 std::vector<double> &flow);

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
// balanced state near the ones given. An airway without fan whose resistance is negligible beside every
// airway that carries its air on (a cluster of such airways far below the least resistance that leads
// out of it) joins its two junctions into one unknown, its pressure loss taken as it stands; where such
// airways close rings of their own, the rings take together the split their resistances give, or where they
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
