#pragma once
// Fan efficiency at an airway's duty point, read from the fan database (the data texts and the solver's
// power figures use it).

// Efficiency of an airway's fans at their duty point, percent (set by FanEfficiency).
extern float FanDutyEfficiency;

// A database fan an airway may use: inside the database and named.
bool FanInDatabase(int f);
// Efficiency of the airway's fans at their duty point, percent; also stored in FanDutyEfficiency.
float FanEfficiency(int airway);
// The same, also giving the flow through each fan (m³/s).
float FanEfficiency(int airway, double &flowPerFan);
