// The move tool: moves or joins nodes and airway ends, moves or copies the airways of a fence or of the
// selection, and moves floating texts.
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
#include "model/record_line.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/VBMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

using Point = std::array<int32_t, 3>;

Point startOf(int a) {
    return {AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a)};
}
Point endOf(int a) {
    return {AirwayEnd(1, a), AirwayEnd(2, a), AirwayEnd(3, a)};
}
void setStart(int a, const Point &p) {
    for (int c = 1; c <= 3; ++c)
        AirwayStart(c, a) = p[static_cast<size_t>(c - 1)];
}
void setEnd(int a, const Point &p) {
    for (int c = 1; c <= 3; ++c)
        AirwayEnd(c, a) = p[static_cast<size_t>(c - 1)];
}
Point shifted(const Point &p, const Point &by) {
    return {p[0] + by[0], p[1] + by[1], p[2] + by[2]};
}

// Shifts the chosen ends of airway a, recorded before and after.
void shiftEnds(int a, const Point &by, bool start, bool end) {
    RecordUndo(a, UndoCode::Before, UndoStep);
    if (start)
        setStart(a, shifted(startOf(a), by));
    if (end)
        setEnd(a, shifted(endOf(a), by));
    RecordUndo(a, UndoCode::After, UndoStep);
}

// A new airway in slot n made from airway a through its record line, its chosen ends shifted: blank name,
// a new number, not selected.
void copyShifted(int a, int n, const Point &by, bool start, bool end) {
    AirwayFromRecord(AirwayLine(a), n, 3.8f);
    if (start)
        setStart(n, shifted(startOf(n), by));
    if (end)
        setEnd(n, shifted(endOf(n), by));
    ++NextAirwayNumber;
    AirwayNumber(n) = NextAirwayNumber;
    AirwayName(n) = "";
    AirwayFlags(n) &= ~AirwayFlag::Selected;
    RecordUndo(n, UndoCode::After, UndoStep);
}

Point entryPoint() {
    return {EntryPointX, EntryPointY, EntryPointZ};
}

// The coordinate dialog preset with a point; false when it was cancelled (the picture is redrawn).
bool typedEntry(const Point &preset) {
    EntryPointX = preset[0];
    EntryPointY = preset[1];
    EntryPointZ = preset[2];
    Editor().ShowCoordinateEntry();
    if (CoordsCancelled == -1) {
        PickedAirway = 0;
        Redraw();
        CoordsCancelled = 0;
        return false;
    }
    SplitPointX = EntryPointX;
    SplitPointY = EntryPointY;
    SplitPointZ = EntryPointZ;
    return true;
}

// The same entry asking for a displacement of the fence contents or the selection.
bool typedDisplacement(const Point &preset) {
    CoordsForSelection = true;
    const bool typed = typedEntry(preset);
    CoordsForSelection = false;
    return typed;
}

// The visible list and the picture after a move, the view kept where it is.
void showMoved() {
    SetVisibleAirways();
    KeepPan = 1;
    RotateView();
    PickedEnd = 0;
    Redraw();
    PointTyped = false;
    CoordsCancelled = 0;
}

// One undo step for the whole move; then keys, lengths, the visible list and the picture.
void finish() {
    ++UndoStep;
    UpdateNodeKeys();
    CalcAllAirways();
    showMoved();
}

// The airways of the fence: each once, with which of its ends lie strictly inside.
struct Fenced {
    int airway;
    bool start, end;
};
std::vector<Fenced> fencedAirways(double left, double bottom, double right, double top) {
    const auto inside = [&](double x, double y) { return left < x && x < right && bottom < y && y < top; };
    std::vector<Fenced> fenced;
    std::vector<bool> taken(static_cast<size_t>(AirwayCount) + 1, false);
    const int count = std::clamp(AirwayScreenCount, 0, AirwayScreen.UBound());
    for (int i = 1; i <= count; ++i) {
        const AirwayScreenRecord &r = AirwayScreen(i);
        if (r.airway < 1 || r.airway > AirwayCount || taken[static_cast<size_t>(r.airway)])
            continue;
        const bool start =
            inside(AxisSignX * static_cast<double>(r.x1), AxisSignY * static_cast<double>(r.y1));
        const bool end = inside(AxisSignX * static_cast<double>(r.x2), AxisSignY * static_cast<double>(r.y2));
        if (start || end) {
            taken[static_cast<size_t>(r.airway)] = true;
            fenced.push_back({r.airway, start, end});
        }
    }
    return fenced;
}

void moveFence() {
    FenceFound = FenceHoldsAirways(RoundToLong(BuildStartX), RoundToLong(BuildStartY), RoundToLong(CursorX),
                                   RoundToLong(CursorY));
    if (!FenceFound)
        return;
    PointTyped = true;
    if (!typedDisplacement({SplitPointX, SplitPointY, SplitPointZ}))
        return;
    const Point by = entryPoint();
    const std::vector<Fenced> fenced = fencedAirways(BuildStartX, BuildStartY, CursorX, CursorY);
    if (MakeCopy != 0) {
        if (!RoomForAirways(static_cast<int>(fenced.size()))) {
            MakeCopy = 0;
            Redraw();
            return;
        }
        int n = AirwayCount;
        for (const Fenced &f : fenced)
            copyShifted(f.airway, ++n, by, f.start, f.end);
        AirwayCount = n;
    } else {
        for (const Fenced &f : fenced)
            shiftEnds(f.airway, by, f.start, f.end);
    }
    MakeCopy = 0;
    finish();
}

// Moves the picked node's ends, or the one end of the airway whose middle was pressed, to the target.
void moveEnds(const Point &from, const Point &target, int pressAirwayEnd) {
    if (pressAirwayEnd != 0) {
        const int a = std::abs(pressAirwayEnd);
        RecordUndo(a, UndoCode::Before, UndoStep);
        if (pressAirwayEnd < 0)
            setStart(a, target);
        else
            setEnd(a, target);
        RecordUndo(a, UndoCode::After, UndoStep);
        return;
    }
    for (int a = 1; a <= AirwayCount; ++a) {
        const bool start = startOf(a) == from, end = endOf(a) == from;
        if (!start && !end)
            continue;
        RecordUndo(a, UndoCode::Before, UndoStep);
        if (start)
            setStart(a, target);
        if (end)
            setEnd(a, target);
        RecordUndo(a, UndoCode::After, UndoStep);
    }
}

bool hasEndAt(int a, const Point &p) {
    return startOf(a) == p || endOf(a) == p;
}

// The drop of a node or an end with the left button: onto a node (after the join question), onto the
// middle of an unrelated airway (split there) or to the cursor point.
Point leftDropTarget(const Point &from, int32_t &toX, int32_t &toY, int32_t &toZ) {
    double x = 0, y = 0, z = LevelElevation;
    ScreenToWorld(CursorX, CursorY, LevelElevation, x, y, z);
    const Point cursor{RoundToLong(x), RoundToLong(y), RoundToLong(z)};
    if (PickedEnd != 0) {
        if (hasEndAt(std::abs(PickedEnd), from))
            return cursor;
        if (VB::MsgBox("Are you sure you want to join to this node?", VB::vbYesNo | VB::vbQuestion,
                       "Join Nodes") != VB::vbYes)
            return cursor;
        return {toX, toY, toZ};
    }
    int b = 0;
    PickAirway(CursorX, CursorY, toX, toY, toZ, b);
    if (b == 0 || hasEndAt(b, from))
        return cursor;
    SplitAirway(toX, toY, toZ, b);
    return {toX, toY, toZ};
}

} // namespace

void MoveNodeTool(int32_t &fromX, int32_t &fromY, int32_t &fromZ, int32_t &toX, int32_t &toY, int32_t &toZ,
                  int &pressAirwayEnd, int &pressPick) {
    const Point from{fromX, fromY, fromZ};
    if (TextDragging) {
        if (pressPick >= 1 && pressPick <= MaxFloatingTexts) {
            FloatingTextPosition(1, pressPick) = toX;
            FloatingTextPosition(2, pressPick) = toY;
            FloatingTextPosition(3, pressPick) = toZ;
        }
        showMoved();
        pressPick = 0;
        return;
    }
    if (MoveFenceMode) {
        moveFence();
        return;
    }
    const int pressed = std::abs(pressPick);
    if (MouseButton != 2) {
        PickAirwayEnd(CursorX, CursorY, toX, toY, toZ, DrawEndNodeName, PickedEnd);
        if (AirwaySelected(pressed)) {
            EntryPointX = toX - fromX;
            EntryPointY = toY - fromY;
            EntryPointZ = toZ - fromZ;
            if (EntryPointX != 0 || EntryPointY != 0 || EntryPointZ != 0)
                CopyMarkedAirways();
            return;
        }
        moveEnds(from, leftDropTarget(from, toX, toY, toZ), pressAirwayEnd);
        finish();
        return;
    }
    PointTyped = true;
    if (!AirwaySelected(pressed)) {
        if (!typedEntry({toX, toY, toZ}))
            return;
        moveEnds(from, {SplitPointX, SplitPointY, SplitPointZ}, pressAirwayEnd);
        finish();
        return;
    }
    // The dialog gives a displacement for a selection, as for a fence: it is used as typed.
    if (!typedDisplacement({toX, toY, toZ}))
        return;
    CopyMarkedAirways();
}

void CopyMarkedAirways() {
    const int count = AirwayCount;
    const Point by = entryPoint();
    if (MakeCopy != 0) {
        int copies = 0;
        for (int a = 1; a <= count; ++a)
            copies += AirwaySelected(a) ? 1 : 0;
        if (!RoomForAirways(copies)) {
            MakeCopy = 0;
            Redraw();
            return;
        }
    }
    int n = count;
    for (int a = 1; a <= count; ++a) {
        if (!AirwaySelected(a))
            continue;
        if (MakeCopy != 0)
            copyShifted(a, ++n, by, true, true);
        else
            shiftEnds(a, by, true, true);
    }
    ++UndoStep;
    AirwayCount = n;
    MakeCopy = 0;
    UpdateNodeKeys();
    SetVisibleAirways();
    RotateView();
    PickedEnd = 0;
    RedrawAll();
    PointTyped = false;
    CoordsCancelled = 0;
}
