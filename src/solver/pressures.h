#pragma once
// After balancing: fixing pressures of fixed meshes, airway pressures, reversal of airways whose flow
// came out negative, junction pressures walked from the surface, and the upstream and downstream lists
// of every airway.

// Fixing pressure of every fixed chord's mesh and the pressure source value of every airway in
// AirwaySolverFan (fan duty pressure, ±9999 off the curve, or the fixing pressure). Returns at once when
// the run is stopped.
void FixedMeshPressures();
// AirwayPressure of every airway from its flow, fan or fixing pressure; a fixed-pressure airway keeps
// the pressure typed for it.
void AirwaySourcePressures();
// The finish step of a run. After balancing (afterBalancing true, modes 0 and -1) it reverses every
// airway without fan whose flow is negative beyond MaxError as one undo step of its own and reports fan
// and fixed-pressure airways whose flow reversed. On a stopped or failed run it only marks the progress
// window "Simulation Failed !"; in the troubleshooting modes the flows are stale and nothing is reversed.
void ReverseNegativeFlows(bool afterBalancing);
// Reverses airway a in place: keys, points, names, surface flags, flow, junction pressures, symbol
// position, and the fixing pressure of a fixed-flow airway.
void ReverseAirway(int a);
// The first airway at which the pressures the airways add, summed as magnitudes, pass what a single holds;
// 0 when they stay within it, so no junction pressure walked from them can overflow.
int PressuresBeyondSingle();
// Junction pressures at both ends of every airway, relative to the surface (0 Pa); -9999999 as end
// pressure where no path from the surface reaches. Leaves the airways sorted.
void ResolvePressures();
// Reverses the airways still negative: those within MaxError without fan silently, fixed-direction
// airways only when the user agrees. Fan and fixed-pressure airways without the fixed-direction flag
// keep their direction. The reversals join the run's reversal undo step.
void ReverseFixedDirection();
// AirwayLinks and AirwayLinkList: the upstream and downstream airways of every airway.
void BuildConnections();
