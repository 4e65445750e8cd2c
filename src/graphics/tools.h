#pragma once
// The editing tools the mouse release dispatches to. Each works on the gesture state of tool_state.h and
// the pick globals, records its changes for undo and redraws. Until a tool is built it shows nothing and
// changes nothing.
#include <cstdint>

// Draw tool: a new airway from the press to the release.
void ConstructAirway();
// Size, shape, wall and shock of new airway a, whose ends are set: copied from airway `source` when
// Property Inheritance is on and source is not 0, otherwise the defaults of a drive, a raise (steeper than
// 30 degrees) or a typed area.
void GiveNewAirwayProperties(int a, int source);
// Whether `more` new airways leave the count below MaxAirways; otherwise "Maximum Number of Airways
// Exceeded" is shown.
bool RoomForAirways(int more);
// Move tool: moves or joins the node, airway end, selection, text or fence contents of the press to the
// drop point (from..: press point, to..: drop point, m).
void MoveNodeTool(int32_t &fromX, int32_t &fromY, int32_t &fromZ, int32_t &toX, int32_t &toY, int32_t &toZ,
                  int &pressAirwayEnd, int &pressPick);
// Shifts every selected airway by EntryPointX..Z, or adds shifted copies of them when MakeCopy is set;
// one undo step.
void CopyMarkedAirways();

// The attributes the attribute tool copied from an airway, kept for the whole run.
struct CopiedAttributes {
    int shape = 0;                             // 1 rectangular, 2 round, 3 irregular
    float height = 0, width = 0, diameter = 0; // m
    float area = 0, perimeter = 0;             // m², m
    int wallType = 0;
    float frictionFactor = 0; // kg/m³
    int resistanceType = 0;
    float resistance = 0; // Ns²/m⁸
    int shockType = 0;
    float shockLength = 0; // m
    int32_t flags = 0;     // the source's flags without the surface bits; 0: none
    float fixedLength = 0; // m
    int primaryLayer = 0, secondaryLayer = 0;
};
extern CopiedAttributes AttributeBuffer;
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
// The smoke trace or legend window at the main window's lower right, on top; each closes the other.
void PlaceTraceWindow();
void PlaceLegendWindow();
// Fan, name and floating text tools.
void InsertFanTool();
void NameTool();
