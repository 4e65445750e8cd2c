#include "graphics/graphics_state.h"

#include "model/Gustrom1.h"

#include <array>

namespace {
std::array<PictureBox *, 5> pictures{};
}

PictureBox *WindowPicture(int w) {
    return w >= 0 && w < 5 ? pictures[static_cast<size_t>(w)] : nullptr;
}

void SetWindowPicture(int w, PictureBox *picture) {
    if (w >= 0 && w < 5)
        pictures[static_cast<size_t>(w)] = picture;
}

PictureBox *ActivePicture() {
    return WindowPicture(ActiveWindow);
}

bool WindowSwitching = false;
bool RedrawSuspended = false;

float Tilt = 0, Spin = 0;
float TiltStep = 0, SpinStep = 0;
double SpinCos = 1, SpinSin = 0, TiltSin = 0, TiltCos = 1;
int ViewIs3D = 0;
double PanX = 0, PanY = 0;
int KeepPan = 0;
int PlanProjected = 0;
float EyeX = 0, EyeY = 0, EyeZ = 0;
int RotationCentreSet = 0;

int32_t WindowLeft = 0, WindowRight = 0, WindowTop = 0, WindowBottom = 0;
float WindowExtent = 0;
float WindowExtentHeight = 0;
float ScaleNumber = 0;
bool PrintPageShown = false;

int ViewRestored = 0;
bool DataComboUpdating = false;
bool FitPass = false;
int RedrawDeferred = 0;
int32_t PrimaryLayerMask = 0, SecondaryLayerMaskLow = 0, SecondaryLayerMaskHigh = 0;

int32_t RangeLow = 0, RangeHigh = 0;
bool LevelSelectCancelled = false;

int MouseButton = 0;
int MouseShift = 0;
float CursorX = 0, CursorY = 0;
bool ButtonHeld = false;
bool MouseMoveSeen = false;
int MouseMode = 0;
float BuildStartX = 0, BuildStartY = 0;
int32_t DrawStartX = 0, DrawStartY = 0, DrawStartZ = 0;

bool ScreenRecordsPresent = false;
int AirwayIncline = 6;
int BaseDrawWidth = 1;

int HookedWindow = -1;

int ToolCode = 0, PreviousToolCode = 0;
int ToolMode = 0;
bool CopyToDefaults = false;
int EditSubMode = 0;
bool MouseBusy = false;
bool MouseDownActive = false;
float StartPointX = 0, StartPointY = 0;
int PressShift = 0;
int PressWindow = 0, MoveWindow = 0, ReleaseWindow = 0;
float PressLeft = 0, PressTop = 0, PressRight = 0, PressBottom = 0;
float MoveX = 0, MoveY = 0;
float MouseRawX = 0, MouseRawY = 0;
bool ReleasePending = false;
std::string ToolCursorName[41][3];
bool GridOn = false;
int Rotating = 0;
