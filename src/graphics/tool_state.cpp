#include "graphics/tool_state.h"

bool ViewDrag = false;
int PanState = 0;
bool CoordEntryActive = false;
int CoordsCancelled = 0;

float PressCursorX = 0, PressCursorY = 0;
float BuildStartZ = 0;
float BuildEndX = 0, BuildEndY = 0, BuildEndZ = 0;
std::string DrawStartNodeName = "&&";
int DrawJoinAirway = 0;
int DrawSplitAirway = 0;
int PressPick = 0;
int PressAirwayEnd = 0;
int StartSnapped = 0;
// Between gestures the move tool's drag counts as a fence until a press picks something.
bool MoveFenceMode = true;
bool TextDragging = false;
int32_t SplitPointX = 0, SplitPointY = 0, SplitPointZ = 0;
float PressElevation = 0, StartElevation = 0;
int PressLevel = 0;
double PanAtPressX = 0, PanAtPressY = 0;
int32_t EntryPointX = 0, EntryPointY = 0, EntryPointZ = 0;
float RotateStartFractionX = 0, RotateStartFractionY = 0;
float RotateStartSpin = 0, RotateStartTilt = 0;
bool FenceDrawn = false;
bool FenceFound = false;
int SmokeReportKind = 0;
float PlanCursorX = 0, PlanCursorY = 0;
bool PointTyped = false;
bool CoordsForSelection = false;
int MakeCopy = 0;
int PickedEnd = 0;
std::string DrawEndNodeName;

float PickTolerance = 0;

int LastKey = 0;
bool ComboUpdating = false;
