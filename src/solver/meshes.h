#pragma once
#include <cstdint>

// Meshing weights, the spanning forest of the nodes and one mesh per chord; in the troubleshooting modes
// also the bulkheads that are not needed and the fans restricted by other fans.

// Weight of a heavy airway (bulkhead, fixed flow, fan or fixed pressure): left over as a chord.
constexpr float HeavyWeight = 1e8f;
// A tree airway at least this heavy is one the troubleshooting modes report.
constexpr float HeavyTreeWeight = 999997.0f;

// -1 once the meshing has listed an unnecessary bulkhead or a restricted fan; cleared by the driver.
extern int32_t MeshingFinding;

// Weights every airway and orders the slots by descending weight (equal weights: higher slot first).
void OrderAirwaysForMeshing();
// Builds the spanning forest from the lightest airways, reports fixed-flow tree airways and the
// troubleshooting findings, and forms the meshes (modes 0 and -1).
void FormMeshes();
