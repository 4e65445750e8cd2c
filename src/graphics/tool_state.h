#pragma once
// State of the current tool and of the mouse gesture in progress, shared by the mouse and keyboard
// handlers, the editing tools and the dialogs they open. The button, shift and cursor of the event and the
// press point itself live in graphics_state.h.
#include "graphics/graphics_state.h"

#include <cstdint>
#include <string>

// ---- Tool selection ----

// ---- Mouse event state ----
extern bool ViewDrag;         // the gesture drags the view; no tool runs for it
extern int PanState;          // 1 after a press, 2 once the drag has panned
extern bool CoordEntryActive; // the coordinate dialog opened by a press is up
extern int CoordsCancelled;   // 3 coordinate dialog open, 0 OK, -1 cancelled

// ---- Gesture ----
extern float PressCursorX, PressCursorY;              // the cursor at the press, before any snapping
extern float BuildStartZ;                             // elevation of the start point, m
extern float BuildEndX, BuildEndY, BuildEndZ;         // moving corner of the rubber band (view position)
extern std::string DrawStartNodeName;                 // node picked at the press ("&&" none) or the text
extern int DrawJoinAirway;                            // airway whose end or middle the press picked
extern int DrawSplitAirway;                           // draw tool: airway whose middle the press hit
extern int PressPick;                                 // signed end, airway or text number of the press
extern int PressAirwayEnd;                            // move tool: -a near the start of a, +a near its end
extern int StartSnapped;                              // 0 free, 1 from the network, 3 Shift during the drag
extern bool MoveFenceMode;                            // the move tool's drag is a fence
extern bool TextDragging;                             // the move tool's press picked a floating text
extern int32_t SplitPointX, SplitPointY, SplitPointZ; // picked text position / move target, m
extern float PressElevation, StartElevation;          // working elevation at the press; picked Z, m
extern int PressLevel;                                // level scroll value at the press
extern double PanAtPressX, PanAtPressY;               // pan at the press, m
extern int32_t EntryPointX, EntryPointY, EntryPointZ; // rounded press point / typed point, m
extern float RotateStartFractionX, RotateStartFractionY; // press as a fraction of the window (0..1)
extern float RotateStartSpin, RotateStartTilt;           // view angles when the rotation drag began, rad
extern bool FenceDrawn;                                  // a rubber rectangle is on the picture
extern bool FenceFound;                                  // the fence holds at least one airway
extern int SmokeReportKind;                              // 1 smoke (left release), 2 clear
extern float PlanCursorX, PlanCursorY;                   // world X, Y of the cursor in a plan view, m
extern bool PointTyped;                                  // the point comes from the coordinate dialog
extern bool CoordsForSelection;                          // the coordinate dialog asks for a displacement
extern int MakeCopy;                                     // the coordinate dialog's "Make a copy"
extern int PickedEnd;                                    // move tool: signed end picked at the drop, 0 none
extern std::string DrawEndNodeName;                      // move tool: node name found at the drop

// ---- Picking ----
extern float PickTolerance; // pick distance in view units, m

// ---- Keyboard and display toggles ----
extern int LastKey;        // 38 up, 40 down
extern bool ComboUpdating; // the level combo is being set by code: its handler does nothing
