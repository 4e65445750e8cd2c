#pragma once
// Fan curves: the check and extrapolated 11th point of every database fan, the solver's fan tables for
// each model and arrangement in use, and fan pressure, slope and efficiency at a flow.
#include <array>
#include <string>

// Solver fans in use (FanSolverFlow, FanSolverPressure 1 .. SolverFanCount).
extern int SolverFanCount;

// Where a flow lies on a fan curve.
namespace CurveRegion {
constexpr int Below = -1; // below point 1
constexpr int On = 0;
constexpr int Beyond = 1; // at or beyond the last point
} // namespace CurveRegion

// The last point of a fan curve: the ten measured points and the one CheckFanCurves adds where the curve
// reaches no pressure.
constexpr int LastCurvePoint = 11;

// A fan curve as an airway reads it: points 1 .. LastCurvePoint of flow (m³/s) and pressure (Pa). Below
// point 1 the pressure is point 1's, between points it runs straight, at or beyond the last point it is
// nothing. Every reading of a curve, its pressure at a flow and the integral of it, goes by its pieces.
struct FanCurvePoints {
    std::array<double, LastCurvePoint + 1> flow{}, pressure{};

    // The piece of the curve that flow q lies on: 0 below point 1, i for the line from point i - 1 to i,
    // LastCurvePoint + 1 at or beyond the last point.
    int PieceAt(double q) const;
    // The flow (m³/s) where a piece ends (infinite for the last).
    double PieceEnd(int piece) const;
    // Pa per m³/s along a piece between points (0 below and beyond the curve).
    double PieceSlope(int piece) const;
    // Pa on a piece at flow q.
    double OnPiece(int piece, double q) const;
};
// The solver fan's curve blended for the airway's curve percentage.
FanCurvePoints SolverFanCurve(int airway, int solverFan);

// Checks every named fan and computes its 11th point; an invalid curve is reported by message box and
// gets point 11 = point 10.
void CheckFanCurves();
// Gives every fan airway its solver fan and fills the solver tables. A fan number outside the database
// or naming an empty slot, or a fan count the arrangement code cannot hold, is listed as an error and
// the airway runs without fan pressure.
void BuildFanCurves();
// Pressure of a point of a solver fan's curve blended for the airway's curve percentage, Pa.
double SolverFanPointPressure(int point, int solverFan, int airway);
// The same on the database curve of a fan model.
double FanDataPressure(int point, int fanModel, int airway);
// Pressure p (Pa) and slope (Pa per m³/s) of the airway's fan at flow q (m³/s, the whole airway's flow).
// A fixed-pressure airway (solver fan -1) passes its pressure in p. Returns the CurveRegion.
int FanPressureAtFlow(int airway, int solverFan, double q, double &p, double &slope);
// What is wrong with the duty point of the airway's database fans at its flow: beyond the last measured
// point of their curve (on the extrapolated run), or a negative pressure there, where the fans act as a
// resistance; empty when nothing is.
std::string FanDutyWarning(int airway);
// After a balanced run: lists every fan airway whose duty point FanDutyWarning finds fault with as a
// warning (ErrorLevel 2 unless errors were found), once per airway.
void ListFanDutyWarnings();
