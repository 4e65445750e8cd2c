#pragma once
// Small networks built by code for the solver tests: nodes are numbered, node 0 is the surface.
#include "model/Gustrom1.h"
#include "model/node_keys.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testnet {

// Empty arrays for capacity airways and the solver settings the tests rely on.
void NewNetwork(int capacity = 200, int fans = 20);

Currency KeyOf(int node);

// Adds an airway from node to node with a typed resistance R (Ns²/m⁸); returns its slot. Underground node
// n lies at (10 n, 0, -100); surface ends get points of their own so that they touch nothing.
int AddAirway(int from, int to, double resistance, int32_t extraFlags = 0);
// A fixed-flow airway carrying q (m³/s).
int AddFixedFlow(int from, int to, double resistance, double q);
// An airway of bulkhead resistance (resistance type 1).
int AddBulkhead(int from, int to);
// An airway with fan model f, n fans (series or parallel) and a curve percentage.
int AddFanAirway(int from, int to, double resistance, int f, int count = 1, bool series = false,
                 int percent = 0);

// Fan model f with flows 0, 10, .. 90 m³/s and static pressure p0 - slope × Q (Pa); total pressure is the
// static pressure plus 100 Pa and the efficiency is 50 + Q / 10 percent.
void SetLinearFan(int f, double p0, double slope);

// The lines of Errorlist that end with the fault text.
std::vector<std::string> LinesWith(const std::string &fault);

// Junction pressures walked out from the surface along the airways whose flow is free (no fixed quantity,
// no bulkhead); then every such airway must lose between its ends what dropOf gives for it (Pa), within a
// thousandth of the largest drop.
void ExpectPressuresAgree(const std::function<double(int)> &dropOf, const std::string &what);

// Every stage up to meshing, in the driver's order; false when a stage raised ErrorLevel.
bool CheckAndMesh();
// Checks, meshing, fan tables and balancing (by the sweeps alone where asked).
bool Solve(bool sweepsAlone = false);

} // namespace testnet
