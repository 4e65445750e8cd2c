#pragma once
// Menu commands that change every airway at once. Each one that changes data the network file keeps
// marks the network unsaved; only the namings record undo.
#include <string>

// Gives every unnamed airway the prefix and a running number (1, 2, ...), in slot order; one undo step.
void AutoNameAirways(const std::string &prefix);
// Gives every unnamed end node the prefix and a running number: every airway ending at that node takes the
// name as its end name, and every airway leaving it without a start name as its start name; one undo step.
void AutoNameNodes(const std::string &prefix);
// Airways whose name is empty or begins with "(" take their airflow as "(12.3)" (m³/s, one decimal).
void PreserveFlowNames();
// Names of the form "(...)" are emptied.
void RemoveFlowNames();
// Sets or clears the fixed-length bit of every airway, leaving every other bit.
void SetAllLengthsFixed(bool fixed);
// Every airway without fixed flow gets this airflow (m³/s); the results are out of date afterwards.
void ReseedAirflows(int seed);
// Turns airways so that each starts before it ends by Z, then Y, then X, so that twins drawn in opposite
// directions compare equal; airways with a fan, a fixed pressure, fixed flow or fixed direction stay, and so
// does an airway whose turn would leave a node without a way in or out. The turns are one undo step. Returns
// the number of airways that join the same two nodes as another.
int OrientDuplicates();
// Exchanges X and Y of both ends of every airway and flips both axis signs, then rebuilds the view.
void ReverseCoordinateAxes();
// Empties the spread's work arrays; with clearSources also every contaminant source. A shown spread is
// switched off and the data type shown before it returns.
void ClearSmokeTracking(bool clearSources);
// Clears the selection of every airway.
void DeselectAll();
