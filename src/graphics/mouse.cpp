#include "graphics/mouse.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/editor_windows.h"
#include "graphics/graphics_state.h"
#include "graphics/picking.h"
#include "graphics/projection.h"
#include "graphics/tool_state.h"
#include "graphics/tools.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/MouseInput.h"
#include "platform/PictureBox.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <exception>
#include <utility>

namespace {

constexpr double HalfPi = ViewPi / 2;
// Cursor positions beyond this are outside what the model's whole-metre coordinates can take, m.
constexpr double CursorLimit = 9999999;

std::function<void(const std::string &)> dispatchObserver;

// Shift was held at the press (a Shift that appears during the drag is noted separately).
int shiftAtPress = 0;

// A press first lets pending events run. Mouse events among them (the release of a tap, the moves of a
// quick drag, the next press) come after this press: they wait until it has opened its gesture, and are
// then delivered in their order.
bool pressPumping = false;
std::deque<std::function<void()>> heldBack;
bool delivering = false;

bool holdBack(std::function<void()> event) {
    if (!pressPumping)
        return false;
    heldBack.push_back(std::move(event));
    return true;
}

// Delivers the held events after their press; modals is the dialog count when the press was handled.
void deliverHeldBack(int modals) {
    // A press delivered from here queues its own followers behind the events already waiting: all come
    // in their order.
    if (delivering)
        return;
    delivering = true;
    // A handler that fails is ended by the application's guard: the queue must not stay closed after it.
    struct Reopen {
        ~Reopen() {
            delivering = false;
            heldBack.clear();
        }
    } reopen;
    while (!heldBack.empty()) {
        std::function<void()> event = std::move(heldBack.front());
        heldBack.pop_front();
        // A dialog that the press or an earlier event opened takes the input queued behind it, as any
        // modal window does: a double click does not open it twice.
        if (VB::ModalDialogsShown() == modals)
            event();
    }
}

// A drag shorter than this in both axes is a click: 1/50 of the window's world width.
double clickSize(const PictureBox &pic) {
    return pic.ScaleWidth / 50;
}

// A release that the pointer reached from the press by less than the platform's drag distance: a click,
// however a hand on the mouse jitters.
bool releasedAtPress(const PictureBox &pic) {
    // Whole pixels, as the platform delivered them.
    const auto pixelX = [&](float x) { return std::lround(pic.ToPixelX(x * AxisSignX)); };
    const auto pixelY = [&](float y) { return std::lround(pic.ToPixelY(y * AxisSignY)); };
    const long dx = pixelX(CursorX) - pixelX(PressCursorX), dy = pixelY(CursorY) - pixelY(PressCursorY);
    return std::abs(dx) + std::abs(dy) < VB::DragStartDistance();
}

void dispatch(const char *tool, void (*run)()) {
    if (dispatchObserver)
        dispatchObserver(tool);
    run();
}

// Re-projects and redraws with MouseShift = 1, which keeps the edge-on conversions on the shifted centre.
void rotateAndRedrawShifted() {
    const int shift = MouseShift;
    MouseShift = 1;
    RotateView();
    Redraw();
    MouseShift = shift;
}

// In an edge-on view a pan moves the rotation centre along with the picture.
void shiftCentreByPan() {
    ShiftPointByScreenDelta(PanAtPressX, PanAtPressY, PanX, PanY, AirwayStart(1, 0), AirwayStart(2, 0),
                            AirwayStart(3, 0));
    rotateAndRedrawShifted();
}

// The lines only, for the drags that must follow the mouse.
void redrawLines(PictureBox &pic) {
    PrepareDrawing();
    pic.Cls();
    DrawAirwayLines();
}

void toWorld(double x, double y, double z, int32_t &X, int32_t &Y, int32_t &Z) {
    double wx = 0, wy = 0, wz = z;
    ScreenToWorld(x, y, z, wx, wy, wz);
    X = RoundToLong(wx);
    Y = RoundToLong(wy);
    Z = RoundToLong(wz);
}

// Coordinates quantity, no unit, no extra precision.
std::string formatCoordinate(int32_t value) {
    return FormatValue(static_cast<float>(value), 14, 0, 0);
}

// The airway data pop-up beside the cursor, flipped above or to the left near the window's edges.
void showAirwayPopup() {
    PickedAirway = AirwayAtCursor();
    if (PickedAirway == 0)
        return;
    EditorWindows &editor = Editor();
    int32_t px = 0, py = 0;
    editor.CursorScreenPosition(px, py);
    int32_t left = editor.PixelsToTwips(px, false);
    int32_t top = editor.PixelsToTwips(py, true);
    const TwipsRect popup = editor.PopupRect();
    const TwipsRect window = editor.GraphicsWindowRect(ActiveWindow);
    if (top > window.top + window.height - popup.height)
        top -= popup.height;
    if (left > window.left + window.width - popup.width)
        left -= popup.width;
    editor.ShowPopup(left, top, AirwayPopupText(PickedAirway));
    PickedAirway = 0;
}

// The typed start point of the draw and move tools (right press on empty space). False when the gesture
// ends here.
bool typedStartPoint() {
    EntryPointX = DrawStartX;
    EntryPointY = DrawStartY;
    EntryPointZ = DrawStartZ;
    CoordEntryActive = true;
    Editor().ShowCoordinateEntry();
    if (CoordsCancelled == -1 || (EntryPointX == 0 && EntryPointY == 0)) {
        ButtonHeld = false;
        CoordEntryActive = false;
        PickedAirway = 0;
        Redraw();
        CoordsCancelled = 0;
        return false;
    }
    double sx = 0, sy = 0;
    ProjectPoint(EntryPointX, EntryPointY, EntryPointZ, sx, sy);
    BuildStartX = BuildEndX = static_cast<float>(sx);
    BuildStartY = BuildEndY = static_cast<float>(sy);
    DrawStartX = EntryPointX;
    DrawStartY = EntryPointY;
    DrawStartZ = EntryPointZ;
    BuildStartZ = static_cast<float>(EntryPointZ);
    StartSnapped = 0;
    // The typed point is used up as the start: the end is still picked where the release falls.
    PointTyped = false;
    DrawRubberLine(BuildStartX, BuildStartY, BuildStartX, BuildStartY, BuildStartX, BuildStartY);
    CoordEntryActive = false;
    return true;
}

// Press of the draw and move tools: snaps the start to a node, an airway or (move tool) a floating text.
void drawOrMovePress() {
    PressElevation = static_cast<float>(LevelElevation);
    PressLevel = Shell().LevelScrollGetValue();
    BuildStartZ = PressElevation;
    DrawSplitAirway = 0;
    MoveFenceMode = false;
    PickAirwayEnd(CursorX, CursorY, DrawStartX, DrawStartY, DrawStartZ, DrawStartNodeName, PressPick);
    if (PressPick == 0) {
        PickAirway(CursorX, CursorY, DrawStartX, DrawStartY, DrawStartZ, PressPick);
        const int a = PressPick;
        if (a != 0 && ToolMode == 1) {
            DrawSplitAirway = a;
        } else if (a != 0 && ToolMode == 2 && (AirwayFlags(a) & AirwayFlag::Selected) == 0) {
            // The nearer end of the airway is detached and moved.
            if (PickedFraction < 0.5f) {
                PressAirwayEnd = -a;
                DrawStartZ = AirwayStart(3, a);
            } else {
                PressAirwayEnd = a;
                DrawStartZ = AirwayEnd(3, a);
            }
        } else if (a == 0 && ToolMode == 2 && MouseButton == 1) {
            MoveFenceMode = true;
        }
    }
    TextDragging = false;
    if (ToolMode == 2 && PressPick == 0) {
        DrawStartNodeName.clear();
        PickFloatingText(CursorX, CursorY, SplitPointX, SplitPointY, SplitPointZ, DrawStartNodeName,
                         PressPick);
        if (PressPick != 0) {
            BuildEndX = CursorX;
            BuildEndY = CursorY;
            TextDragging = true;
            StartSnapped = 1;
            return;
        }
    }
    if (PressPick == 0 && MouseButton == 1) {
        StartSnapped = 0;
        return;
    }
    if (PressPick != 0) {
        BuildStartZ = PressElevation = static_cast<float>(DrawStartZ);
        DrawJoinAirway = std::abs(PressPick);
        double sx = 0, sy = 0;
        ProjectPoint(DrawStartX, DrawStartY, DrawStartZ, sx, sy);
        BuildStartX = BuildEndX = static_cast<float>(sx);
        BuildStartY = BuildEndY = static_cast<float>(sy);
        StartSnapped = 1;
        StartElevation = static_cast<float>(DrawStartZ);
        if (MouseShift == 1 || Tilt == static_cast<float>(HalfPi))
            ShowCursorCoords(CursorX, CursorY);
        return;
    }
    if (MouseButton == 2)
        typedStartPoint();
}

// First move of a two-button drag: a plan view turns 3-D, a 3-D view starts rotating.
void startRotation(const PictureBox &pic) {
    SpinStep = 0;
    if (ViewIs3D == 0) {
        Tilt = 0;
        Spin = 0;
        ViewIs3D = 1;
        CentreAtView();
        RedrawDeferred = 1;
        View3D();
        RedrawDeferred = 0;
        return;
    }
    BuildStartX = CursorX;
    BuildStartY = CursorY;
    MouseMoveSeen = true;
    RotateStartFractionX = static_cast<float>((BuildStartX - pic.ScaleLeft) / pic.ScaleWidth);
    RotateStartFractionY = static_cast<float>((BuildStartY - pic.ScaleTop) / pic.ScaleHeight);
    if (RotationCentreSet < 2)
        WindowCentre();
    RotateStartSpin = Spin;
    RotateStartTilt = Tilt;
}

void rotationStep(PictureBox &pic) {
    const double fx = (CursorX - pic.ScaleLeft) / pic.ScaleWidth;
    const double fy = (CursorY - pic.ScaleTop) / pic.ScaleHeight;
    // A drag across the whole window turns the view by half a turn in spin and a quarter in tilt.
    Spin = static_cast<float>(RotateStartSpin + (RotateStartFractionX - fx) * 3.14159 * AxisSignY);
    Tilt = static_cast<float>(RotateStartTilt + (RotateStartFractionY - fy) * 3.14159 / 2);
    MouseBusy = true;
    RotateView();
    redrawLines(pic);
    MouseBusy = false;
}

bool isFenceTool(int mode) {
    return mode == 0 || mode == 2 || mode == 4 || mode == 15 || mode == 16 || mode == 19;
}

void rubberRectangle(PictureBox &pic) {
    pic.DrawMode = PictureBox::vbNotXorPen;
    const double sx = AxisSignX, sy = AxisSignY;
    if (FenceDrawn)
        pic.Box(BuildStartX * sx, BuildStartY * sy, BuildEndX * sx, BuildEndY * sy, 0);
    pic.Box(BuildStartX * sx, BuildStartY * sy, CursorX * sx, CursorY * sy, 0);
    pic.DrawMode = PictureBox::vbCopyPen;
    BuildEndX = CursorX;
    BuildEndY = CursorY;
    FenceDrawn = true;
}

// The release's tool, for ToolMode 3 and above. The tools mark the network changed themselves, through
// what they record for undo, so a miss or a cancelled dialog leaves a saved network saved.
void dispatchTool() {
    const bool left = MouseButton == 1;
    switch (ToolMode) {
    case 3:
        dispatch("ReverseTool", ReverseTool);
        break;
    case 4:
        if (left)
            dispatch("DeleteTool", DeleteTool);
        break;
    case 5:
        dispatch("InsertFanTool", InsertFanTool);
        break;
    case 6:
        dispatch("NameTool", NameTool);
        Redraw();
        break;
    case 7:
        dispatch("ContaminantSourceTool", ContaminantSourceTool);
        break;
    case 8:
        dispatch("InsertNodeTool", InsertNodeTool);
        break;
    case 9:
        Editor().HidePopup();
        if (left)
            dispatch("AirwayInfoTool", AirwayInfoTool);
        break;
    case 10:
        if (left)
            dispatch("RotationCentreTool", RotationCentreTool);
        break;
    case 11:
        dispatch("PickLevelTool", PickLevelTool);
        break;
    case 15:
        dispatch("CopyPasteAttributes", CopyPasteAttributes);
        break;
    case 16:
        dispatch("CopyPasteLayers", CopyPasteLayers);
        break;
    case 17:
        EditSubMode = 3;
        dispatch("InsertNodeTool", InsertNodeTool);
        EditSubMode = 1;
        break;
    case 18:
        SmokeReportKind = left ? 1 : 2;
        dispatch("PlaceSmokeReport", PlaceSmokeReport);
        break;
    case 19:
        dispatch("FenceTool", FenceTool);
        break;
    default:
        break;
    }
}

void endGesture() {
    ButtonHeld = false;
    MouseBusy = false;
    MoveFenceMode = true;
}

// Runs one of the editor's handlers; a failed tool must not leave the windows deaf to the next gesture.
void guarded(void (*handler)()) {
    try {
        handler();
    } catch (const std::exception &) {
        endGesture();
    }
}

bool windowFrozen(int w) {
    return WindowFrozen.InBounds(w) && WindowFrozen(w);
}

void releaseHandler(PictureBox &pic) {
    const double click = clickSize(pic);
    if (MouseMoveSeen) {
        MouseMoveSeen = false;
        ButtonHeld = false;
        MouseBusy = false;
        Redraw();
        return;
    }
    if (CoordsCancelled == 3) {
        MouseBusy = false;
        return;
    }
    if (MouseBusy)
        return;
    // Only an open gesture is released: the second release of a two-button drag, or a release after a
    // gesture that ended at its press, has no start point to act on.
    if (!ButtonHeld)
        return;
    MouseBusy = true;

    if ((std::abs(CursorX) > CursorLimit || std::abs(CursorY) > CursorLimit) && ToolMode > 2) {
        VB::MsgBox("ERROR - Cursor Coordinates exceed size limit", VB::vbInformation);
        ButtonHeld = false;
        MouseBusy = false;
        Redraw();
        return;
    }

    if (FenceDrawn) {
        if (std::abs(CursorX - BuildStartX) >= click || std::abs(CursorY - BuildStartY) >= click) {
            if (BuildStartX > BuildEndX)
                std::swap(BuildStartX, BuildEndX);
            if (BuildStartY > BuildEndY)
                std::swap(BuildStartY, BuildEndY);
            CursorX = BuildEndX;
            CursorY = BuildEndY;
        }
        FenceDrawn = false;
    }

    // While a long operation lets events run, a tool could change the network under it: none runs.
    const bool toolRuns = !ViewDrag && !VB::IsBusy();
    if (toolRuns)
        dispatchTool();

    const bool zoomGesture = MouseButton == 4 || ToolMode == 0;
    if (ButtonHeld && zoomGesture && PanState == 1) {
        ButtonHeld = false;
        if (MouseMode == 5) {
            if (ViewKind() == 2)
                shiftCentreByPan();
            else
                RecentreAfterPan();
            MouseMode = 0;
        } else {
            MouseZoom();
        }
    }
    if (ButtonHeld && zoomGesture && PanState == 2) {
        if (ViewKind() == 2)
            shiftCentreByPan();
        else
            RecentreAfterPan();
    }

    if (toolRuns) {
        if (ToolMode == 1) {
            dispatch("ConstructAirway", ConstructAirway);
        } else if (ToolMode == 2) {
            int32_t x = 0, y = 0, z = 0;
            if (ViewIs3D != 0) {
                int32_t endZ = 0;
                toWorld(BuildEndX, BuildEndY, BuildStartZ, x, y, endZ);
                BuildEndZ = static_cast<float>(endZ);
                z = endZ;
            } else {
                x = RoundToLong(PanX + BuildEndX);
                y = RoundToLong(PanY + BuildEndY);
                z = RoundToLong(BuildStartZ);
            }
            // A left click moves nothing (the right button types the target).
            const bool unmoved = MouseButton == 1 && releasedAtPress(pic);
            if (!unmoved && (StartSnapped == 1 || MoveFenceMode)) {
                if (dispatchObserver)
                    dispatchObserver("MoveNodeTool");
                MoveNodeTool(DrawStartX, DrawStartY, DrawStartZ, x, y, z, PressAirwayEnd, PressPick);
            } else {
                Redraw();
            }
        }
    }
    endGesture();
}

} // namespace

void SetToolDispatchObserver(std::function<void(const std::string &)> observer) {
    dispatchObserver = std::move(observer);
}

void WindowPressEvent(int window, int button, int shift, float x, float y) {
    if (holdBack([=] { WindowPressEvent(window, button, shift, x, y); }))
        return;
    Shell().StopRotationTimer();
    x *= static_cast<float>(AxisSignX);
    y *= static_cast<float>(AxisSignY);
    Shell().FocusGraphicsWindow(window);
    const PictureBox *pic = WindowPicture(window);
    if (windowFrozen(window) || MouseBusy || pic == nullptr)
        return;
    pressPumping = true;
    VB::DoEvents();
    pressPumping = false;
    const int modals = VB::ModalDialogsShown();
    ReleasePending = false;
    PressShift = shift;
    SetToolCursor(button);
    PressLeft = static_cast<float>(pic->ScaleLeft);
    PressTop = static_cast<float>(pic->ScaleTop);
    PressRight = static_cast<float>(pic->ScaleLeft + pic->ScaleWidth);
    PressBottom = static_cast<float>(pic->ScaleTop + pic->ScaleHeight);
    PressWindow = window;
    // A release without a move belongs to the pressed window, whatever the last drag crossed.
    MoveWindow = window;
    MouseButton = button;
    MouseShift = shift;
    CursorX = x;
    CursorY = y;
    if (ToolMode == 1) {
        WorkingElevation = static_cast<float>(LevelElevation);
        if (ActiveWindow >= 0) {
            SaveView(ActiveWindow + 100);
            WindowOpen(ActiveWindow) = true;
        }
    }
    guarded(WindowMouseDown);
    deliverHeldBack(modals);
}

void WindowMoveEvent(int window, int buttons, int shift, float x, float y) {
    if (holdBack([=] { WindowMoveEvent(window, buttons, shift, x, y); }))
        return;
    MouseRawX = x;
    MouseRawY = y;
    x *= static_cast<float>(AxisSignX);
    y *= static_cast<float>(AxisSignY);
    if (windowFrozen(ActiveWindow) || WindowPicture(window) == nullptr)
        return;
    SetToolCursor(buttons);
    if (MouseBusy)
        return;
    MoveWindow = window;
    MouseButton = buttons;
    CursorX = x;
    CursorY = y;
    MouseShift = shift;
    MoveX = x;
    MoveY = y;
    ShowCursorCoords(CursorX, CursorY);
    guarded(WindowMouseMove);
}

void WindowReleaseEvent(int window, int button, int shift, float x, float y) {
    if (holdBack([=] { WindowReleaseEvent(window, button, shift, x, y); }))
        return;
    x *= static_cast<float>(AxisSignX);
    y *= static_cast<float>(AxisSignY);
    if (windowFrozen(window))
        return;
    ReleasePending = true;
    ReleaseWindow = window;
    PictureBox *pic = ActivePicture();
    if (pic != nullptr && button < 2 && ToolMode == 1 && ButtonHeld && !MouseMoveSeen) {
        // The last rubber line is drawn once more in not-xor, which takes it off the picture.
        pic->DrawMode = PictureBox::vbNotXorPen;
        pic->Line(BuildStartX * AxisSignX, BuildStartY * AxisSignY, BuildEndX * AxisSignX,
                  BuildEndY * AxisSignY, 0);
        pic->DrawMode = PictureBox::vbCopyPen;
    }
    // A release beyond the pressed window's edges counts at the last point the moves reported.
    const bool inside = x >= std::min(PressLeft, PressRight) && x <= std::max(PressLeft, PressRight) &&
                        y >= std::min(PressTop, PressBottom) && y <= std::max(PressTop, PressBottom);
    if (!inside) {
        VB::DoEvents();
        x = CursorX;
        y = CursorY;
    }
    MouseShift = shift;
    if (MoveWindow != PressWindow && WindowPicture(MoveWindow) != nullptr) {
        // Released over another window: it becomes active with its own view before the tool runs, the
        // pressed window's view being kept first.
        if (ActiveWindow >= 0) {
            SaveView(ActiveWindow + 100);
            WindowOpen(ActiveWindow) = true;
        }
        ActiveWindow = MoveWindow;
        WindowSwitching = true;
        Shell().FocusGraphicsWindow(MoveWindow);
        WindowSwitching = false;
        RestoreView(MoveWindow + 100);
        Redraw();
    }
    CursorX = x;
    CursorY = y;
    WorkingElevation = static_cast<float>(LevelElevation);
    MouseButton = button;
    guarded(WindowMouseUp);
    ReleasePending = false;
    if (ToolMode == 1)
        Shell().FocusGraphicsWindow(ReleaseWindow);
}

void WindowMouseWheel(int /*keys*/, int rotation, int /*x*/, int /*y*/) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    CursorX = static_cast<float>(pic->ScaleLeft + pic->ScaleWidth / 2);
    CursorY = static_cast<float>(pic->ScaleTop + pic->ScaleHeight / 2);
    float width = static_cast<float>(pic->ScaleWidth);
    float height = static_cast<float>(pic->ScaleHeight);
    if (rotation > 0) {
        width *= 0.8f;
        height *= 0.8f;
    } else {
        width /= 0.8f;
        height /= 0.8f;
    }
    SetZoomScale(width, height);
}

void WindowMouseDown() {
    if (MouseMoveSeen || ButtonHeld || Shell().IsMinimized())
        return;
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    PanState = 1;
    PressCursorX = CursorX;
    PressCursorY = CursorY;
    toWorld(CursorX, CursorY, LevelElevation, DrawStartX, DrawStartY, DrawStartZ);
    BuildStartX = BuildEndX = CursorX;
    BuildStartY = BuildEndY = CursorY;
    PanAtPressX = PanX;
    PanAtPressY = PanY;
    ButtonHeld = true;
    CoordEntryActive = false;
    DrawJoinAirway = 0;
    PressAirwayEnd = 0;
    FenceDrawn = false;
    shiftAtPress = MouseShift;
    ViewDrag = MouseButton >= 3 || (ToolMode == 10 && MouseButton > 1);

    if (ToolMode == 0 && MouseShift == 1) {
        MouseMode = 5;
        MouseZoom();
        return;
    }
    if (MouseButton == 4) {
        EntryPointX = RoundToLong(CursorX);
        EntryPointY = RoundToLong(CursorY);
        return;
    }
    if (ViewDrag)
        return;
    switch (ToolMode) {
    case 1:
    case 2:
        drawOrMovePress();
        break;
    case 9:
        if ((MouseButton & 2) != 0)
            showAirwayPopup();
        break;
    case 0:
        if (MouseButton == 2) {
            EntryPointX = RoundToLong(CursorX);
            EntryPointY = RoundToLong(CursorY);
        }
        break;
    default:
        break;
    }
}

void WindowMouseMove() {
    if (CoordsCancelled == 3 || CoordEntryActive || MouseMode == 5)
        return;
    if (ToolMode == 10 && MouseButton == 2)
        MouseButton = 3;
    if (!ButtonHeld)
        return;
    PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return;
    if (MouseButton == 3 && !MouseMoveSeen) {
        startRotation(*pic);
        if (!MouseMoveSeen)
            return;
    }
    const bool rotating = MouseMoveSeen;
    if (MouseButton == 3 && rotating) {
        rotationStep(*pic);
        return;
    }
    const bool panButton = MouseButton == 4 || (MouseButton == 2 && ToolMode == 0);
    if (panButton && !rotating) {
        const bool farX = std::abs(CursorX - BuildStartX) > pic->ScaleWidth / 50;
        const bool farY = std::abs(CursorY - BuildStartY) > std::abs(pic->ScaleHeight) / 50;
        if (PanState == 2 || farX || farY) {
            // The world point under the press follows the cursor.
            PanX = EntryPointX - static_cast<double>(CursorX) + PanAtPressX;
            PanY = EntryPointY - static_cast<double>(CursorY) + PanAtPressY;
            redrawLines(*pic);
            PanState = 2;
        }
    }
    if (ViewDrag)
        return;
    if (isFenceTool(ToolMode) && MouseButton == 1 && (ToolMode != 2 || MoveFenceMode)) {
        rubberRectangle(*pic);
        return;
    }
    if (ToolMode == 1 || (ToolMode == 2 && !MoveFenceMode)) {
        DrawRubberLine(BuildStartX, BuildStartY, BuildEndX, BuildEndY, CursorX, CursorY);
        BuildEndX = CursorX;
        BuildEndY = CursorY;
        // Shift pressed during the drag only marks the start; the working elevation stays as it is.
        if (MouseShift == 1 && shiftAtPress != 1)
            StartSnapped = 3;
    }
}

void WindowMouseUp() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr) {
        ButtonHeld = false;
        MouseBusy = false;
        return;
    }
    releaseHandler(*pic);
}

void ShowCursorCoords(float x, float y) {
    int32_t X = RoundToLong(PanX + x), Y = RoundToLong(PanY + y);
    int32_t Z = RoundToLong(StartSnapped != 0 ? StartElevation : LevelElevation);
    if (ViewIs3D != 0)
        toWorld(x, y, Z, X, Y, Z);
    ShellHooks &shell = Shell();
    shell.SetLabelText("TxtZ", formatCoordinate(Z));
    shell.SetLabelText("TxtX", formatCoordinate(X));
    shell.SetLabelText("TxtY", formatCoordinate(Y));
    if (ViewIs3D == 0) {
        PlanCursorX = static_cast<float>(PanX + x);
        PlanCursorY = static_cast<float>(PanY + y);
    }
}

void DrawRubberLine(float startX, float startY, float oldX, float oldY, float newX, float newY) {
    PictureBox *pic = ActivePicture();
    if (ReleasePending || pic == nullptr)
        return;
    pic->DrawMode = PictureBox::vbNotXorPen;
    const int32_t colour = ToolMode == 1 ? 0 : PictureBox::QBColor(12);
    const double sx = AxisSignX, sy = AxisSignY;
    pic->Line(startX * sx, startY * sy, oldX * sx, oldY * sy, colour);
    pic->Line(startX * sx, startY * sy, newX * sx, newY * sy, colour);
    pic->DrawMode = PictureBox::vbCopyPen;
}

void RecentreAfterPan() {
    if (ViewKind() >= 2) {
        ShiftPointByScreenDelta(0, 0, CursorX, CursorY, AirwayStart(1, 0), AirwayStart(2, 0),
                                AirwayStart(3, 0));
        rotateAndRedrawShifted();
        return;
    }
    int32_t x = 0, y = 0, z = 0;
    toWorld(0, 0, AirwayStart(3, 0), x, y, z);
    AirwayStart(1, 0) = x;
    AirwayStart(2, 0) = y;
    AirwayStart(3, 0) = z;
    if (ViewIs3D != 0)
        RotateView();
    Redraw();
}

bool ReleaseIsClick() {
    const PictureBox *pic = ActivePicture();
    if (pic == nullptr)
        return false;
    const double click = clickSize(*pic);
    return std::abs(CursorX - BuildStartX) < click && std::abs(CursorY - BuildStartY) < click;
}

void FenceTool() {
    VB::SetScreenPointer(VB::vbHourglass);
    if (!ButtonHeld || ActivePicture() == nullptr) {
        VB::SetScreenPointer(VB::vbDefault);
        return;
    }
    if (ReleaseIsClick()) {
        int32_t x = 0, y = 0, z = 0;
        PickAirway(CursorX, CursorY, x, y, z, PickedAirway);
        if (PickedAirway != 0) {
            if (MouseButton == 1)
                AirwayFlags(PickedAirway) |= AirwayFlag::Selected;
            else
                AirwayFlags(PickedAirway) &= ~AirwayFlag::Selected;
            RedrawAll();
        }
        PickedAirway = 0;
    } else {
        const int32_t left = RoundToLong(BuildStartX), bottom = RoundToLong(BuildStartY);
        const int32_t right = RoundToLong(BuildEndX), top = RoundToLong(BuildEndY);
        FenceFound = FenceHoldsAirways(left, bottom, right, top);
        if (FenceFound) {
            for (int a : AirwaysInFence(left, bottom, right, top))
                AirwayFlags(a) |= AirwayFlag::Selected;
            RedrawAll();
        }
    }
    VB::SetScreenPointer(VB::vbDefault);
}

void AirwayInfoTool() {
    PickedAirway = AirwayAtCursor();
    if (PickedAirway != 0) {
        CurrentAirway = PickedAirway;
        AirEditMode = 2;
        Editor().ShowAirwayInformation();
    }
    PickedAirway = 0;
}

std::string AirwayPopupText(int a) {
    static const struct {
        const char *label;
        int code;
    } lines[] = {{"Q = ", 12},     {"Vel = ", 13},  {"Res = ", 32},  {"kFac = ", 34},  {"PLoss = ", 22},
                 {"Shock = ", 33}, {"Size = ", 35}, {"Cost = ", 44}, {"Power = ", 42}, {"Layers = ", 54}};
    std::string text = "     AIRWAY " + std::to_string(AirwayNumber(a)) + "\n\n";
    bool first = true;
    for (const auto &line : lines) {
        if (!first)
            text += "\r\n";
        first = false;
        text += line.label;
        text += AirwayDataText(line.code, a, 1);
    }
    return text;
}
