// The airway-by-airway tools: split and insert node, edit and bulkhead toggle, join and delete, reverse,
// rotation centre and level pick.
#include "graphics/drawing.h"
#include "graphics/editor_windows.h"
#include "graphics/graphics_state.h"
#include "graphics/locate.h"
#include "graphics/mouse.h"
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
#include "platform/System.h"
#include "platform/Text1252.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

double distance(double x1, double y1, double z1, double x2, double y2, double z2) {
    return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1) + (z2 - z1) * (z2 - z1));
}

// The airway under the cursor (0 none); fills the split point and PickedFraction.
int pickedAirway() {
    int a = 0;
    PickAirway(CursorX, CursorY, SplitPointX, SplitPointY, SplitPointZ, a);
    return a;
}

// Re-projects without moving the view: the edit changed the network, not what the user looks at.
void rotateKeepingPan() {
    KeepPan = 1;
    RotateView();
    KeepPan = 0;
}

// The end of every step: the visible list, the projection and the picture follow the network.
void showChanges() {
    SetVisibleAirways();
    rotateKeepingPan();
    RedrawAll();
}

// Records every selected airway before it is cleared, as one step.
void deleteSelected() {
    for (int a = 1; a <= AirwayCount; ++a) {
        if (!AirwaySelected(a))
            continue;
        RecordUndo(a, UndoCode::Before, UndoStep);
        ClearAirway(a);
    }
    ++UndoStep;
    PackAirways();
    PickedAirway = 0;
    RedrawAll();
}

// The click of the delete tool on an airway end: removes the node when exactly one airway arrives and one
// leaves. Returns false when there is no airway on the far side (the click then deletes an airway).
bool removeNode(int endNumber) {
    const int a = std::abs(endNumber);
    const bool atEnd = endNumber < 0;
    const Currency key = atEnd ? AirwayEndKey(a) : AirwayStartKey(a);
    int arriving = 0, leaving = 0, farSide = 0;
    for (int u = 1; u <= AirwayCount; ++u) {
        if (AirwayFlags(u) == 0)
            continue;
        if (AirwayEndKey(u) == key) {
            ++arriving;
            if (!atEnd && u != a)
                farSide = u;
        }
        if (AirwayStartKey(u) == key) {
            ++leaving;
            if (atEnd && u != a)
                farSide = u;
        }
    }
    if (farSide == 0)
        return false;
    // Only a node that one airway enters and one leaves can go; the surface node joins airways far apart.
    if (key == SurfaceNodeKey || arriving != 1 || leaving != 1) {
        VB::MsgBox("Too many attached branches to delete node");
        return true;
    }
    // The node of a two-airway ring: the joined airway would start and end on one point.
    const int keep = atEnd ? a : farSide, remove = atEnd ? farSide : a;
    bool onePoint = true;
    for (int c = 1; c <= 3; ++c)
        onePoint = onePoint && AirwayStart(c, keep) == AirwayEnd(c, remove);
    if (onePoint) {
        VB::MsgBox("Cannot delete node - the joined airway would start and end at the same point");
        return true;
    }
    JoinAirways(keep, remove);
    RedrawAll();
    return true;
}

// The bulkhead toggle of the edit tool's right click.
void toggleBulkhead(int h) {
    RecordUndo(h, UndoCode::Before, UndoStep);
    if (AirwayResistanceType(h) < 1) {
        AirwayResistanceType(h) = 1;
        AirwayResistance(h) = ResistanceTypeValue(1);
        // The symbol sits a little before the clicked point.
        AirwayIconPosition(h) = PickedFraction - 0.3f;
    } else {
        AirwayResistanceType(h) = 0;
    }
    CalcAirway(h);
    RecordUndo(h, UndoCode::After, UndoStep);
    ++UndoStep;
    Redraw();
}

// Turns airway a round: keys, ends, node names and surface flags change places, the symbol position
// its sign.
void reverseAirway(int a) {
    std::swap(AirwayStartKey(a), AirwayEndKey(a));
    AirwayIconPosition(a) = -AirwayIconPosition(a);
    for (int c = 1; c <= 3; ++c)
        std::swap(AirwayStart(c, a), AirwayEnd(c, a));
    std::swap(AirwayStartName(a), AirwayEndName(a));
    const int32_t flags = AirwayFlags(a);
    const int32_t surface = AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit;
    AirwayFlags(a) = (flags & ~surface) | ((flags & AirwayFlag::SurfaceEntry) ? AirwayFlag::SurfaceExit : 0) |
                     ((flags & AirwayFlag::SurfaceExit) ? AirwayFlag::SurfaceEntry : 0);
}

} // namespace

void SplitAirway(int32_t &x, int32_t &y, int32_t &z, int &a) {
    if (AirwayCount + 1 > MaxAirways) {
        VB::MsgBox("Network size has exceeded maximum airways - increase airways in default settings");
        a = 0;
        Redraw();
        return;
    }
    RecordUndo(a, UndoCode::Before, UndoStep);
    const int32_t oldEnd[3] = {AirwayEnd(1, a), AirwayEnd(2, a), AirwayEnd(3, a)};
    const double first = distance(AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a), x, y, z);
    const double second = distance(x, y, z, oldEnd[0], oldEnd[1], oldEnd[2]);
    AirwayEnd(1, a) = x;
    AirwayEnd(2, a) = y;
    AirwayEnd(3, a) = z;

    const int n = ++AirwayCount;
    ClearAirway(n);
    AirwayStartKey(n) = 1; // not empty until the node keys are recomputed
    AirwayStart(1, n) = x;
    AirwayStart(2, n) = y;
    AirwayStart(3, n) = z;
    for (int c = 1; c <= 3; ++c)
        AirwayEnd(c, n) = oldEnd[c - 1];
    AirwaySize(1, n) = AirwaySize(1, a);
    AirwaySize(2, n) = AirwaySize(2, a);
    AirwayFlow(n) = AirwayFlow(a);
    AirwayWallType(n) = AirwayWallType(a);
    // A source stays one source, on the first half; entry and exit stay at their own ends.
    AirwayFlags(n) = AirwayFlags(a) & ~(AirwayFlag::ContaminantSource | AirwayFlag::SurfaceEntry);
    AirwayFlags(a) &= ~AirwayFlag::SurfaceExit;
    AirwayShockType(n) = AirwayShockType(a);
    AirwayShockLength(n) = AirwayShockLength(a);
    AirwayFrictionFactor(n) = AirwayFrictionFactor(a);
    AirwayPrimaryLayer(n) = AirwayPrimaryLayer(a);
    AirwaySecondaryLayer(n) = AirwaySecondaryLayer(a);
    // Both halves are as many airways side by side as the whole.
    AirwayParallelCount(n) = AirwayParallelCount(a);
    // A fixed length, a shock length or a fixed resistance is shared in the proportion of the halves'
    // straight lengths, so that the two in series have the whole one's.
    const double share = first + second > 0 ? first / (first + second) : 0.5;
    if ((AirwayFlags(a) & AirwayFlag::FixedLength) != 0) {
        const double whole = AirwayLength(a);
        AirwayLength(a) = static_cast<float>(whole * share);
        AirwayLength(n) = static_cast<float>(whole - whole * share);
    }
    if (AirwayShockLength(a) != 0) {
        // Typed, for a recalculation would give each half a preset's whole length again.
        const double whole = AirwayShockLength(a);
        AirwayShockType(a) = AirwayShockType(n) = TypedPreset;
        AirwayShockLength(a) = static_cast<float>(whole * share);
        AirwayShockLength(n) = static_cast<float>(whole - whole * share);
    }
    if (AirwayResistanceType(a) == TypedPreset) {
        const double whole = AirwayResistance(a);
        AirwayResistanceType(n) = TypedPreset;
        AirwayResistance(a) = static_cast<float>(whole * share);
        AirwayResistance(n) = static_cast<float>(whole - whole * share);
    }
    AirwayEndName(n) = Trim(AirwayEndName(a).str());
    AirwayEndName(a) = "";
    AirwayStartName(n) = "";
    AirwayName(a) = Trim(AirwayName(a).str());
    AirwayName(n) = AirwayName(a);
    CalcAirway(a);
    CalcAirway(n);
    NumberNewAirways(n, n);
    RecordUndo(a, UndoCode::After, UndoStep);
    RecordUndo(n, UndoCode::After, UndoStep);
}

void InsertNodeTool() {
    int h = pickedAirway();
    if (h != 0 && AirwaySelected(h)) {
        AirEditMode = 3;
        CurrentAirway = h;
        Editor().ShowAirwayEdit();
        SetVisibleAirways();
        RotateView();
        Redraw();
        return;
    }
    if (h == 0)
        return;
    if (EditSubMode == 3) {
        SplitAirway(SplitPointX, SplitPointY, SplitPointZ, h);
        if (h == 0)
            return;
        ++UndoStep;
        UpdateNodeKeys();
        PressPick = 0;
        SetVisibleAirways();
        RotateView();
        Redraw();
        return;
    }
    CurrentAirway = h;
    if (MouseButton == 1) {
        AirEditMode = 1;
        Editor().ShowAirwayEdit();
        SetVisibleAirways();
        RotateView();
        Redraw();
    } else if (RightClickEditOff == 0) {
        toggleBulkhead(h);
    }
}

void JoinAirways(int keep, int remove) {
    RecordUndo(keep, UndoCode::Before, UndoStep);
    RecordUndo(remove, UndoCode::Before, UndoStep);
    AirwayEndKey(keep) = AirwayEndKey(remove);
    for (int c = 1; c <= 3; ++c)
        AirwayEnd(c, keep) = AirwayEnd(c, remove);
    CalcAirway(keep);
    RecordUndo(keep, UndoCode::After, UndoStep);
    ++UndoStep;
    ClearAirway(remove);
    PackAirways();
    SetVisibleAirways();
    rotateKeepingPan();
}

void DeleteTool() {
    VB::SetScreenPointer(VB::vbHourglass);
    if (!ButtonHeld || ActivePicture() == nullptr) {
        VB::SetScreenPointer(VB::vbDefault);
        return;
    }
    if (!ReleaseIsClick()) {
        const std::vector<int> inside = AirwaysInFence(BuildStartX, BuildStartY, BuildEndX, BuildEndY);
        if (inside.empty()) {
            Redraw(); // takes the rubber rectangle off
        } else if (VB::MsgBox("Are you sure you want to delete all airways within the fence?",
                              VB::vbYesNo | VB::vbQuestion, "Fence Delete") != VB::vbYes) {
            Redraw();
        } else {
            for (int a : inside) {
                RecordUndo(a, UndoCode::Before, UndoStep);
                ClearAirway(a);
            }
            ++UndoStep;
            PackAirways();
            RedrawAll();
        }
        VB::SetScreenPointer(VB::vbDefault);
        return;
    }
    int32_t x = 0, y = 0, z = 0;
    std::string name;
    int endNumber = 0;
    PickAirwayEnd(CursorX, CursorY, x, y, z, name, endNumber);
    if (endNumber != 0 && AirwaySelected(std::abs(endNumber))) {
        deleteSelected();
    } else if (endNumber == 0 || !removeNode(endNumber)) {
        const int a = pickedAirway();
        if (a != 0 && AirwaySelected(a)) {
            deleteSelected();
        } else if (a != 0) {
            RecordUndo(a, UndoCode::Before, UndoStep);
            ++UndoStep;
            ClearAirway(a);
            PackAirways();
            PickedAirway = 0;
            showChanges();
        } else {
            float tx = CursorX, ty = CursorY;
            int text = 0;
            PickFloatingText(tx, ty, x, y, z, name, text);
            if (text != 0) {
                FloatingTextUsed(text) = false;
                NetworkSaved = 0; // texts are not in the undo log
                SetVisibleAirways();
                RedrawAll();
            }
        }
    }
    VB::SetScreenPointer(VB::vbDefault);
}

void ReverseTool() {
    const int a = pickedAirway();
    if (a == 0)
        return;
    // Each reversed airway is recorded before and after, all in one step, so one undo restores them.
    const bool all = AirwaySelected(a);
    for (int u = 1; u <= AirwayCount; ++u) {
        if (all ? !AirwaySelected(u) : u != a)
            continue;
        RecordUndo(u, UndoCode::Before, UndoStep);
        reverseAirway(u);
        RecordUndo(u, UndoCode::After, UndoStep);
    }
    ++UndoStep;
    PickedAirway = 0;
    SetVisibleAirways();
    if (ViewIs3D == 1)
        rotateKeepingPan();
    Redraw();
}

void RotationCentreTool() {
    int a = 0;
    PickAirway(CursorX, CursorY, AirwayStart(1, 0), AirwayStart(2, 0), AirwayStart(3, 0), a);
    RotationCentreSet = 1;
    if (a != 0) {
        RotationCentreSet = a;
        if (ViewIs3D == 0) {
            // Into 3-D, still seen from straight above.
            Tilt = 0;
            Spin = 0;
            ViewIs3D = 1;
        }
    }
    PickedAirway = 0;
    RotateView();
    Redraw();
}

void PickLevelTool() {
    if (!ButtonHeld || !ReleaseIsClick())
        return;
    const int a = pickedAirway();
    if (a == 0)
        return;
    PickedAirway = 0;
    ShowAirway(a);
}
