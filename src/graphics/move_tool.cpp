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
#include "model/value_rules.h"
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

// Whether a point lies within the coordinate rules; where it does not, the user is told and nothing moves
// (an end beyond them would be a damaged record the next time the file is read).
bool allowedPoint(const std::array<int64_t, 3> &p) {
    if (PointInRange(static_cast<double>(p[0]), static_cast<double>(p[1]), static_cast<double>(p[2])))
        return true;
    VB::MsgBox("Coordinates exceed allowed values");
    return false;
}
bool allowedPoint(const Point &p) {
    return allowedPoint(std::array<int64_t, 3>{p[0], p[1], p[2]});
}

// Shifts the chosen ends of airway a. An end on the surface stays on the surface node when the shift
// takes it below the surface level, so what is moved keeps its connection to the surface.
void shiftChosenEnds(int a, const Point &by, bool start, bool end) {
    if (start) {
        const bool surface = StartsAtSurface(a);
        setStart(a, shifted(startOf(a), by));
        if (surface && !StartsAtSurface(a))
            AirwayFlags(a) |= AirwayFlag::SurfaceEntry;
    }
    if (end) {
        const bool surface = EndsAtSurface(a);
        setEnd(a, shifted(endOf(a), by));
        if (surface && !EndsAtSurface(a))
            AirwayFlags(a) |= AirwayFlag::SurfaceExit;
    }
}

// Moves ends of airway a, recorded before and after (with the length and resistance of its new ends,
// which a redo gives back).
template <typename Move> void recordedMove(int a, Move move) {
    RecordUndo(a, UndoCode::Before, UndoStep);
    move();
    CalcAirway(a);
    RecordUndo(a, UndoCode::After, UndoStep);
}

void shiftEnds(int a, const Point &by, bool start, bool end) {
    recordedMove(a, [&] { shiftChosenEnds(a, by, start, end); });
}

// An airway of a fence or of the selection, with which of its ends take part.
struct Chosen {
    int airway;
    bool start, end;
};

// Whether every chosen end shifted stays within the rules (worked in 64 bits: a shift may be as large as
// a coordinate).
bool allowedShift(const std::vector<Chosen> &chosen, const Point &by) {
    const auto allowed = [&](const Point &p) {
        return allowedPoint(
            std::array<int64_t, 3>{int64_t{p[0]} + by[0], int64_t{p[1]} + by[1], int64_t{p[2]} + by[2]});
    };
    for (const Chosen &c : chosen)
        if ((c.start && !allowed(startOf(c.airway))) || (c.end && !allowed(endOf(c.airway))))
            return false;
    return true;
}

// New airways after the last one, each made from an airway through its record line with its chosen ends
// shifted: blank names, new numbers, not selected.
void addShiftedCopies(const std::vector<Chosen> &sources, const Point &by) {
    const int first = AirwayCount + 1;
    int n = AirwayCount;
    for (const Chosen &f : sources) {
        AirwayFromRecord(AirwayLine(f.airway), ++n, 3.8f);
        shiftChosenEnds(n, by, f.start, f.end);
        AirwayName(n) = "";
        AirwayFlags(n) &= ~AirwayFlag::Selected;
        CalcAirway(n);
    }
    AirwayCount = n;
    NumberNewAirways(first, n);
    for (int c = first; c <= n; ++c)
        RecordUndo(c, UndoCode::After, UndoStep);
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
std::vector<Chosen> fencedAirways(double left, double bottom, double right, double top) {
    const auto inside = [&](double x, double y) { return left < x && x < right && bottom < y && y < top; };
    std::vector<Chosen> fenced;
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
    const std::vector<Chosen> fenced = fencedAirways(BuildStartX, BuildStartY, CursorX, CursorY);
    if (!allowedShift(fenced, by)) {
        MakeCopy = 0;
        showMoved();
        return;
    }
    if (MakeCopy != 0) {
        if (!RoomForAirways(static_cast<int>(fenced.size()))) {
            MakeCopy = 0;
            Redraw();
            return;
        }
        addShiftedCopies(fenced, by);
    } else {
        for (const Chosen &f : fenced)
            shiftEnds(f.airway, by, f.start, f.end);
    }
    MakeCopy = 0;
    finish();
}

// Moves the picked node's ends, or the one end of the airway whose middle was pressed, to the target.
void moveEnds(const Point &from, const Point &target, int pressAirwayEnd) {
    const auto moveTo = [&](int a, bool start, bool end) {
        recordedMove(a, [&] {
            if (start)
                setStart(a, target);
            if (end)
                setEnd(a, target);
        });
    };
    if (pressAirwayEnd != 0) {
        const bool atStart = pressAirwayEnd < 0;
        moveTo(std::abs(pressAirwayEnd), atStart, !atStart);
        return;
    }
    for (int a = 1; a <= AirwayCount; ++a) {
        const bool start = startOf(a) == from, end = endOf(a) == from;
        if (start || end)
            moveTo(a, start, end);
    }
}

bool hasEndAt(int a, const Point &p) {
    return a != 0 && (startOf(a) == p || endOf(a) == p);
}

// Whether moving the ends to the target would leave an airway with both ends on one point.
bool collapses(const Point &from, const Point &target, int pressAirwayEnd) {
    if (pressAirwayEnd != 0) {
        const int a = std::abs(pressAirwayEnd);
        return (pressAirwayEnd < 0 ? endOf(a) : startOf(a)) == target;
    }
    for (int a = 1; a <= AirwayCount; ++a) {
        const bool start = startOf(a) == from, end = endOf(a) == from;
        if (start != end && (start ? endOf(a) : startOf(a)) == target)
            return true;
    }
    return false;
}

// The drop of a node or an end with the left button: onto a node (after the join question), onto the
// middle of an unrelated airway (split there) or to the cursor point. An end is never joined to its own
// airway, nor where an airway would be left without length: such drops are plain moves.
Point leftDropTarget(const Point &from, int pressAirwayEnd, int32_t &toX, int32_t &toY, int32_t &toZ) {
    double x = 0, y = 0, z = LevelElevation;
    ScreenToWorld(CursorX, CursorY, LevelElevation, x, y, z);
    const Point cursor{RoundToLong(x), RoundToLong(y), RoundToLong(z)};
    const int pressed = std::abs(pressAirwayEnd);
    if (PickedEnd != 0) {
        const Point node{toX, toY, toZ};
        if (hasEndAt(std::abs(PickedEnd), from) || hasEndAt(pressed, node) ||
            collapses(from, node, pressAirwayEnd))
            return cursor;
        if (VB::MsgBox("Are you sure you want to join to this node?", VB::vbYesNo | VB::vbQuestion,
                       "Join Nodes") != VB::vbYes)
            return cursor;
        return {toX, toY, toZ};
    }
    int b = 0;
    PickAirway(CursorX, CursorY, toX, toY, toZ, b);
    if (b == 0 || b == pressed || hasEndAt(b, from) || collapses(from, {toX, toY, toZ}, pressAirwayEnd))
        return cursor;
    SplitAirway(toX, toY, toZ, b);
    return {toX, toY, toZ};
}

// Moves the ends and finishes, unless an airway would be left without length or an end beyond the
// coordinate rules: then nothing changes.
void moveEndsOrRefuse(const Point &from, const Point &target, int pressAirwayEnd) {
    if (collapses(from, target, pressAirwayEnd) || !allowedPoint(target)) {
        showMoved();
        return;
    }
    moveEnds(from, target, pressAirwayEnd);
    finish();
}

} // namespace

void MoveNodeTool(int32_t &fromX, int32_t &fromY, int32_t &fromZ, int32_t &toX, int32_t &toY, int32_t &toZ,
                  int &pressAirwayEnd, int &pressPick) {
    const Point from{fromX, fromY, fromZ};
    if (TextDragging) {
        if (pressPick >= 1 && pressPick <= MaxFloatingTexts && allowedPoint(Point{toX, toY, toZ})) {
            FloatingTextPosition(1, pressPick) = toX;
            FloatingTextPosition(2, pressPick) = toY;
            FloatingTextPosition(3, pressPick) = toZ;
            NetworkSaved = 0; // texts are not in the undo log
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
        if (AirwaySelected(pressed)) {
            // The selection moves by the drag itself, in the view's plane: nothing at the drop is snapped
            // to, so it keeps its shape, its elevation in plan and its connections.
            ScreenDeltaToWorld(PressCursorX, PressCursorY, CursorX, CursorY, EntryPointX, EntryPointY,
                               EntryPointZ);
            if (EntryPointX != 0 || EntryPointY != 0 || EntryPointZ != 0)
                CopyMarkedAirways();
            return;
        }
        PickAirwayEnd(CursorX, CursorY, toX, toY, toZ, DrawEndNodeName, PickedEnd);
        moveEndsOrRefuse(from, leftDropTarget(from, pressAirwayEnd, toX, toY, toZ), pressAirwayEnd);
        return;
    }
    PointTyped = true;
    if (!AirwaySelected(pressed)) {
        if (!typedEntry({toX, toY, toZ}))
            return;
        moveEndsOrRefuse(from, {SplitPointX, SplitPointY, SplitPointZ}, pressAirwayEnd);
        return;
    }
    // The dialog gives a displacement for a selection, as for a fence: it is used as typed.
    if (!typedDisplacement({toX, toY, toZ}))
        return;
    CopyMarkedAirways();
}

void CopyMarkedAirways() {
    const Point by = entryPoint();
    std::vector<Chosen> selected;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwaySelected(a))
            selected.push_back({a, true, true});
    if (!allowedShift(selected, by)) {
        MakeCopy = 0;
        Redraw();
        return;
    }
    if (MakeCopy != 0) {
        if (!RoomForAirways(static_cast<int>(selected.size()))) {
            MakeCopy = 0;
            Redraw();
            return;
        }
        addShiftedCopies(selected, by);
    } else {
        for (const Chosen &f : selected)
            shiftEnds(f.airway, by, true, true);
    }
    ++UndoStep;
    MakeCopy = 0;
    UpdateNodeKeys();
    SetVisibleAirways();
    RotateView();
    PickedEnd = 0;
    RedrawAll();
    PointTyped = false;
    CoordsCancelled = 0;
}
