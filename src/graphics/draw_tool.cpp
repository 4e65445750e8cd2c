// The draw tool: one new airway from the press to the release, splitting the airways its ends fall on.
#include "graphics/drawing.h"
#include "graphics/editor_windows.h"
#include "graphics/graphics_state.h"
#include "graphics/picking.h"
#include "graphics/projection.h"
#include "graphics/tool_state.h"
#include "graphics/tools.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <cmath>
#include <string>

namespace {

// The draw state goes back to rest, whether an airway was built or not.
void resetDrawState() {
    WorkingElevation = 0;
    PressLevel = 0;
    StartSnapped = 0;
    PickedAirway = 0;
    PointTyped = false;
    CoordsCancelled = 0;
}

// Refuses the draw: nothing in the model, the count or the undo log has changed yet.
void refuse(const std::string &message) {
    if (!message.empty())
        VB::MsgBox(message, VB::vbExclamation);
    Redraw();
    resetDrawState();
}

} // namespace

void GiveNewAirwayProperties(int a, int source) {
    if (!PropertyInheritance && source != 0) { // the option is stored inverted: false is on
        AirwaySize(1, a) = AirwaySize(1, source);
        AirwaySize(2, a) = AirwaySize(2, source);
        AirwayWallType(a) = AirwayWallType(source);
        AirwayFlags(a) = AirwayFlags(source) & 0x10F13;
        AirwayShockType(a) = AirwayShockType(source);
        AirwayShockLength(a) = AirwayShockLength(source);
        AirwayFrictionFactor(a) = AirwayFrictionFactor(source);
        return;
    }
    const double rise = std::fabs(static_cast<double>(AirwayEnd(3, a)) - AirwayStart(3, a));
    const double length = std::hypot(static_cast<double>(AirwayEnd(1, a)) - AirwayStart(1, a),
                                     static_cast<double>(AirwayEnd(2, a)) - AirwayStart(2, a), rise);
    if (UseDefaultArea == 1) {
        AirwaySize(1, a) = DefaultPerimeter;
        AirwaySize(2, a) = DefaultArea;
        AirwayWallType(a) = DefaultDriveWallType;
        AirwayFlags(a) |= AirwayFlag::Irregular;
    } else if (2 * rise > length) { // steeper than 30 degrees: a raise
        AirwaySize(1, a) = 0;
        AirwaySize(2, a) = DefaultRaiseDiameter;
        AirwayWallType(a) = DefaultRaiseWallType;
        AirwayFlags(a) |= AirwayFlag::Round;
    } else {
        AirwaySize(1, a) = DefaultDriveHeight;
        AirwaySize(2, a) = DefaultDriveWidth;
        AirwayWallType(a) = DefaultDriveWallType;
        AirwayFlags(a) |= AirwayFlag::Rectangular;
    }
    AirwayShockType(a) = static_cast<int>(VB::RoundHalfEven(DefaultShockLength));
    if (ShockTypeLength.InBounds(AirwayShockType(a)))
        AirwayShockLength(a) = ShockTypeLength(AirwayShockType(a));
    if (WallTypeFactor.InBounds(AirwayWallType(a)))
        AirwayFrictionFactor(a) = WallTypeFactor(AirwayWallType(a));
}

namespace {

// Of an airway split into `first` and `second` (which continues it), the half that holds the point: the
// second when the point lies beyond the split along the airway's direction.
int halfHolding(int first, int second, int32_t x, int32_t y, int32_t z) {
    double along = 0, split = 0;
    for (int c = 1; c <= 3; ++c) {
        const double direction = static_cast<double>(AirwayEnd(c, second)) - AirwayStart(c, first);
        const double point = (c == 1 ? x : c == 2 ? y : z);
        along += (point - AirwayStart(c, first)) * direction;
        split += (static_cast<double>(AirwayEnd(c, first)) - AirwayStart(c, first)) * direction;
    }
    return along > split ? second : first;
}

} // namespace

bool RoomForAirways(int more) {
    if (AirwayCount + more < MaxAirways)
        return true;
    VB::MsgBox("Maximum Number of Airways Exceeded\r\nIncrease allowable number of branches in Defaults !",
               VB::vbExclamation);
    return false;
}

void ConstructAirway() {
    if (ActivePrimaryLayer == 0)
        ActivePrimaryLayer = 1;
    if (ActiveSecondaryLayer == 0)
        ActiveSecondaryLayer = 1;
    if (PictureBox *pic = ActivePicture())
        pic->DrawMode = PictureBox::vbCopyPen;
    if (DrawStartNodeName == NoNodeName)
        DrawStartNodeName.clear();

    // The end point: a node, a point on an airway or the cursor.
    int32_t endX = 0, endY = 0, endZ = RoundToLong(WorkingElevation);
    std::string endName = NoNodeName;
    int endSplit = 0;
    bool endSnapped = false;
    if (!PointTyped) {
        int endNumber = 0;
        PickAirwayEnd(CursorX, CursorY, endX, endY, endZ, endName, endNumber);
        if (endNumber == 0)
            PickAirway(CursorX, CursorY, endX, endY, endZ, endSplit);
        endSnapped = endNumber != 0 || endSplit != 0;
    }
    const bool left = MouseButton == 1;
    if (left &&
        ((BuildEndX == BuildStartX && BuildEndY == BuildStartY && WorkingElevation == PressElevation) ||
         (endX == DrawStartX && endY == DrawStartY && endZ == PressElevation))) {
        resetDrawState();
        return;
    }
    int primary = std::abs(ActivePrimaryLayer), secondary = std::abs(ActiveSecondaryLayer);
    if (DrawJoinAirway != 0 && LayerInheritance) {
        primary = AirwayPrimaryLayer(DrawJoinAirway);
        secondary = AirwaySecondaryLayer(DrawJoinAirway);
    }

    // Every refusal is decided before anything changes, so a refused draw leaves no trace.
    if (!RoomForAirways(1)) {
        PickedAirway = 0;
        refuse("");
        return;
    }
    if (ViewIs3D == 1 && !endSnapped && !PointTyped) {
        double x = 0, y = 0, z = WorkingElevation;
        ScreenToWorld(CursorX, CursorY, WorkingElevation, x, y, z);
        endX = RoundToLong(x);
        endY = RoundToLong(y);
        endZ = RoundToLong(z);
        if (ReleaseWindow == ActiveWindow)
            WorkingElevation = static_cast<float>(endZ);
    }
    if (MouseButton == 2) {
        EntryPointX = endX;
        EntryPointY = endY;
        EntryPointZ = endZ;
        Editor().ShowCoordinateEntry();
        if (CoordsCancelled == -1) {
            PickedAirway = 0;
            refuse("");
            return;
        }
        endX = EntryPointX;
        endY = EntryPointY;
        endZ = EntryPointZ;
    }
    if (DrawStartZ == endZ && DrawStartZ >= LevelRange(1, 2)) {
        // A level airway at or above the surface RL would join the surface node to itself.
        std::string message = "Cannot construct an airway within the surface RL.";
        if (Trim(LevelName(2)).empty() && LevelRange(2, 1) == 0)
            message += "\r\nYou will need to construct an RL database first!";
        PickedAirway = 0;
        refuse(message);
        return;
    }

    const int a = ++AirwayCount;
    ClearAirway(a);
    PickedAirway = a;
    AirwayStart(1, a) = DrawStartX;
    AirwayStart(2, a) = DrawStartY;
    AirwayStart(3, a) = DrawStartZ;
    AirwayStartName(a) = DrawStartNodeName;
    bool split = false;
    if (DrawSplitAirway != 0) {
        int32_t x = DrawStartX, y = DrawStartY, z = DrawStartZ;
        int splitAirway = DrawSplitAirway;
        SplitAirway(x, y, z, splitAirway);
        if (splitAirway != 0) {
            split = true;
            primary = AirwayPrimaryLayer(splitAirway);
            secondary = AirwaySecondaryLayer(splitAirway);
            // A bypass along one airway: its end lies on whichever half of the first split holds it.
            if (endSplit == splitAirway)
                endSplit = halfHolding(splitAirway, AirwayCount, endX, endY, endZ);
        }
    }
    if (endName == NoNodeName)
        endName.clear();
    if (left && endSplit != 0) {
        int32_t x = endX, y = endY, z = endZ;
        SplitAirway(x, y, z, endSplit);
        split = split || endSplit != 0;
        endName.clear();
    }
    AirwayEnd(1, a) = endX;
    AirwayEnd(2, a) = endY;
    AirwayEnd(3, a) = endZ;
    AirwayEndName(a) = endName;
    BuildStartX = static_cast<float>(DrawStartX);
    BuildStartY = static_cast<float>(DrawStartY);
    BuildStartZ = static_cast<float>(DrawStartZ);
    BuildEndX = static_cast<float>(endX);
    BuildEndY = static_cast<float>(endY);
    BuildEndZ = static_cast<float>(endZ);
    AirwayLength(a) = static_cast<float>(
        VB::Int(std::hypot(static_cast<double>(endX) - DrawStartX, static_cast<double>(endY) - DrawStartY,
                           static_cast<double>(endZ) - DrawStartZ)));
    GiveNewAirwayProperties(a, DrawJoinAirway);
    AirwayPrimaryLayer(a) = primary;
    AirwaySecondaryLayer(a) = secondary;
    if (PrimaryLayerVisible.InBounds(primary) && !PrimaryLayerVisible(primary))
        VB::MsgBox("Primary layer is set to invisible - drawn airway may be invisible");
    if (SecondaryLayerVisible.InBounds(secondary) && !SecondaryLayerVisible(secondary))
        VB::MsgBox("Secondary layer is set to invisible - drawn airway may be invisible");
    AirwayStartKey(a) = NodeKey(DrawStartZ, DrawStartY, DrawStartX);
    AirwayEndKey(a) = NodeKey(endZ, endY, endX);
    CalcAirway(a);
    NumberNewAirways(a, a);
    AirwayName(a) = "";
    // Recorded whole, so a redo brings back the numbered, calculated airway.
    RecordUndo(a, UndoCode::After, UndoStep);
    ++UndoStep;
    // A split half carries a placeholder start key until the keys are recomputed.
    if (split)
        UpdateNodeKeys();
    SetVisibleAirways();
    PickedAirway = 0;
    if (ViewIs3D == 1)
        RotateView();
    if (!PointTyped && !split)
        RedrawLinesAllWindows();
    else
        RedrawAll();
    resetDrawState();
}
