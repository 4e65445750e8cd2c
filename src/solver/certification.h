#pragma once
// What "OK" means, in one place: the flows a balancing ends with are balanced when the correction that the
// true laws at those flows call for, and what the square law adds beyond it, lie within half of Max
// Allowable Error. Every path by which the balancing ends converged goes through CertifyBalance.
#include <limits>
#include <vector>

// The verdict on the flows of the network as its meshes stand, and what it rests on.
struct BalanceCertificate {
    bool balanced = false; // within half of the tolerance of a stable balanced state: the run may say "OK"
    // m³/s: Max Allowable Error as the run holds it, raised to the spacing of single-precision values at the
    // largest flow where it was below that (toleranceRaised).
    double tolerance = 0;
    bool toleranceRaised = false;
    // m³/s: the largest change of an airway's flow that the correction from the true laws makes, and the
    // allowance for what the square law and the fan curves add beyond that linear correction (the next
    // correction from the corrected flows, carried on at the rate it shrank by). Infinite where the
    // correction cannot be trusted: its second correction shrank by less than half.
    double correction = std::numeric_limits<double>::infinity();
    double allowance = std::numeric_limits<double>::infinity();
    // The fan airway (slot) at or past the fold of its curve, where the meshes' true slopes are not
    // positive definite and the flows are no stable state; 0 when none is.
    int stallFan = 0;
    // The fan airways (slots) whose flow lies on a rising piece of their curve.
    std::vector<int> risingFans;
    // Negligible airways close rings of their own: any circulation round such a ring meets the laws, so
    // the certificate cannot tell the split the whole-network solve gives them (by their resistances, or
    // equal small ones) from a circulation left over.
    bool ringsOfTies = false;

    double Bound() const { return correction + allowance; }
};

// Certifies flows (m³/s, by airway slot; they balance the junctions as the meshes carry them) against the
// laws of every corrected mesh: each airway's pressure loss R Q|Q| less its fan's pressure on the curve
// as the sweeps take it (or its fixed pressure), each mesh's pressure sum, and the correction that the
// meshes' matrix of true slopes (twice R|Q| less the fan curve's slope) gives for those sums, found over
// the junctions as a Newton step is. Where correction is given it receives that correction by airway slot.
BalanceCertificate CertifyBalance(const std::vector<double> &flow, std::vector<double> *correction = nullptr);
