#pragma once
// The editing tools the mouse release dispatches to. Each works on the gesture state of tool_state.h and
// the pick globals, records its changes for undo and redraws. Until a tool is built it shows nothing and
// changes nothing.
#include <cstdint>

// Draw tool: a new airway from the press to the release.
void ConstructAirway();
// Move tool: moves or joins the node, airway end, selection, text or fence contents of the press to the
// drop point (from..: press point, to..: drop point, m).
void MoveNodeTool(int32_t &fromX, int32_t &fromY, int32_t &fromZ, int32_t &toX, int32_t &toY, int32_t &toZ,
                  int &pressAirwayEnd, int &pressPick);
// Attribute and layer copy (right button) and paste (left button).
void CopyPasteAttributes();
void CopyPasteLayers();
// Deletes the picked airway or the selection; joins airways at a node.
void DeleteTool();
// Airway keep takes over the end of airway remove, which is cleared; one undo step.
void JoinAirways(int keep, int remove);
// Splits airway a at (x, y, z): a ends there and a new airway runs on to a's old end. Both are recorded
// for undo under UndoStep, which the caller raises. On refusal (no free slot) a becomes 0.
void SplitAirway(int32_t &x, int32_t &y, int32_t &z, int &a);
// Edit tool and insert-node tool (by EditSubMode).
void InsertNodeTool();
// Reverses the picked airway or the selection.
void ReverseTool();
// Sets the rotation centre at the picked point.
void RotationCentreTool();
// Follows the picked airway to its level.
void PickLevelTool();
// Smoke report (SmokeReportKind) and contaminant source at the picked airway.
void PlaceSmokeReport();
void ContaminantSourceTool();
// Fan, name and floating text tools.
void InsertFanTool();
void NameTool();
