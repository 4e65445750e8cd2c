#pragma once
// State of the active graphics view, the mouse gesture and the drawing that the graphic editor shares
// between its procedures. Every graphics window keeps its own copy in its view row; these variables always
// describe the active window.
#include <cstdint>
#include <string>

class PictureBox;

// ---- Graphics windows ----
// The drawing surface of graphics window w (0..4); null when that window does not exist. The code that
// creates the windows registers their surfaces.
PictureBox *WindowPicture(int w);
void SetWindowPicture(int w, PictureBox *picture);
// The active window's surface, or null when there is none.
PictureBox *ActivePicture();

extern bool WindowSwitching; // the shell is rearranging windows
extern bool RedrawSuspended; // no repaint while the main window loads or closes

// ---- View angles and projection ----
extern float Tilt, Spin;         // radians
extern float TiltStep, SpinStep; // radians per rotation step; 0 outside a rotation pad tick
// Cached trigonometry of the last rotation step. Kept in double: mine-grid coordinates (X about 500,000 m)
// in a window a few metres wide would jitter in single precision.
extern double SpinCos, SpinSin, TiltSin, TiltCos;
extern int ViewIs3D;           // 0 plan, non-zero 3-D
extern double PanX, PanY;      // projected point shown at the window centre, m
extern int KeepPan;            // the next RotateView keeps the pan and makes no rotation centre
extern int PlanProjected;      // 1 = the projected arrays hold the plan projection
extern float EyeX, EyeY, EyeZ; // eye point of the perspective, m
extern int RotationCentreSet;  // 0 none yet; 1 set; 999 set by the rotation pad

// ---- World window of the active window (derived) ----
extern int32_t WindowLeft, WindowRight, WindowTop, WindowBottom;
extern float WindowExtent;       // world width of the active window, m
extern float WindowExtentHeight; // height of the fitted extent, m
extern float ScaleNumber;        // drawing scale 1 : ScaleNumber
// True while the print dialog is open: the caption's scale is then the one at which the active window fits
// the printer's page; otherwise it is the scale of the drawing on the screen.
extern bool PrintPageShown;

// ---- View bookkeeping ----
extern int ViewRestored;       // 1 after RestoreView loaded a view
extern bool DataComboUpdating; // the data combos are being set by RestoreView
extern bool FitPass;           // the drawing preparation keeps every visible airway
extern int RedrawDeferred;     // non-zero: View3D leaves the redraw to its caller
extern int32_t PrimaryLayerMask, SecondaryLayerMaskLow, SecondaryLayerMaskHigh;

// ---- Level display ----
extern int32_t RangeLow, RangeHigh; // RL window noted when the range mode is chosen, m
extern bool LevelSelectCancelled;

// ---- Mouse gesture (filled by the window's mouse handlers) ----
extern int MouseButton;        // 1 left, 2 right, 4 middle, sums for several
extern int MouseShift;         // 1 = Shift held
extern float CursorX, CursorY; // view position of the event
extern bool ButtonHeld;
extern bool MouseMoveSeen;
extern int MouseMode;                              // 5 during a Shift press of the zoom tool
extern float BuildStartX, BuildStartY;             // view position of the press
extern int32_t DrawStartX, DrawStartY, DrawStartZ; // world point where the drag started, m

// ---- Drawing preparation ----
extern bool ScreenRecordsPresent;
extern int AirwayIncline; // 5 steep, 6 otherwise
extern int BaseDrawWidth; // line width of the window, pixels; 0 counts as 1

// ---- Mouse wheel ----
extern int HookedWindow; // the graphics window whose wheel events zoom; -1 none

// ---- Tools and the window events' gesture record ----
// The command chosen last (toolbar index 0..31, 32, 91) and the one current before it.
extern int ToolCode, PreviousToolCode;
extern int ToolMode;                   // the editor's tool, 0..20; 0 zoom and pan
extern bool CopyToDefaults;            // the attribute tool copies into the new-airway defaults
extern int EditSubMode;                // step of the edit tool's node insertion; 0 after every tool choice
extern bool MouseBusy;                 // the editor is working on an event: presses and moves are ignored
extern bool MouseDownActive;           // a press began a drag or construction still pending
extern float StartPointX, StartPointY; // start of that drag or construction, view units
extern int PressShift;
extern int PressWindow, MoveWindow, ReleaseWindow;         // window numbers of the last press, move, release
extern float PressLeft, PressTop, PressRight, PressBottom; // the pressed window's world rectangle
extern float MoveX, MoveY;                                 // last move point, view units
extern float MouseRawX, MouseRawY;                         // last move point before the axis signs
extern bool ReleasePending; // a release is being handled (no rubber lines meanwhile)
// Cursor resource name per command code 0..40; column 1 normal, column 2 while the right button is down.
extern std::string ToolCursorName[41][3];
extern bool GridOn;  // the grid is drawn
extern int Rotating; // 1 while a button is held on the rotation pad
