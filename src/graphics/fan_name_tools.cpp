// The fan tool and the name tool (airway, node and floating-text names).
#include "graphics/drawing.h"
#include "graphics/editor_windows.h"
#include "graphics/graphics_state.h"
#include "graphics/picking.h"
#include "graphics/tool_state.h"
#include "graphics/tools.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/airway_fields.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/Text1252.h"

#include <cstdlib>
#include <string>

namespace {

// A name typed for an airway or a node; a comma is refused with a message and counts as no answer.
std::string typedName(const std::string &prompt, const std::string &title, const std::string &current) {
    const std::string answer = VB::InputBox(prompt, title, current);
    if (answer.find(',') != std::string::npos) {
        VB::MsgBox("Commas are not allowed!");
        return {};
    }
    return answer;
}

// Renames airways, each recorded before and after once, as one undo step (none when nothing changed).
template <typename F> void renameAll(F &&rename) {
    UndoStepRecorder step;
    for (int a = 1; a <= AirwayCount; ++a) {
        NodeName start = AirwayStartName(a), end = AirwayEndName(a), name = AirwayName(a);
        rename(a, start, end, name);
        if (start == AirwayStartName(a) && end == AirwayEndName(a) && name == AirwayName(a))
            continue;
        step.Changing(a);
        AirwayStartName(a) = start;
        AirwayEndName(a) = end;
        AirwayName(a) = name;
    }
    step.Close();
}

// Records airway a, which was `before`, as one undo step when it changed: a cancelled dialog or a fan
// removed where there was none leaves no step and no unsaved mark.
void recordChange(int a, const AirwayValues &before) {
    UndoStepRecorder step;
    step.Changed(a, before);
    step.Close();
}

void nameSelection() {
    const std::string answer = typedName("Enter Name of Selected Branch(s) ", "Input Branch Name", "");
    if (!answer.empty()) {
        renameAll([&](int a, NodeName &, NodeName &, NodeName &name) {
            if (AirwaySelected(a))
                name = answer;
        });
        RedrawAll();
    }
}

void nameAirway(int hit) {
    std::string name;
    if (MouseButton == 1) {
        name = Trim(typedName("Enter Name of Branch ", "Input Branch Name", Trim(AirwayName(hit).str())));
        if (name.empty())
            return;
    }
    // A right click clears the name, recorded like any other change.
    renameAll([&](int a, NodeName &, NodeName &, NodeName &airwayName) {
        if (a == hit)
            airwayName = name;
    });
}

// Names the clicked end and every end at the same node (only the clicked end at the surface node).
void nameNode(int endNumber) {
    const int hit = std::abs(endNumber);
    const bool atStart = endNumber > 0;
    const std::string current = Trim((atStart ? AirwayStartName(hit) : AirwayEndName(hit)).str());
    std::string name;
    if (MouseButton == 1) {
        const std::string answer = VB::InputBox("Enter Name of Node", "Node Name", current);
        if (answer.empty())
            return;
        // A comma keeps the old name, which still goes to the other ends at the node.
        if (answer.find(',') != std::string::npos) {
            VB::MsgBox("Commas are not allowed!");
            name = current;
        } else {
            name = Trim(answer);
        }
    }
    const Currency key = atStart ? AirwayStartKey(hit) : AirwayEndKey(hit);
    const bool surface = key == SurfaceNodeKey;
    renameAll([&](int a, NodeName &start, NodeName &end, NodeName &) {
        if (surface ? (a == hit && atStart) : AirwayStartKey(a) == key)
            start = name;
        if (surface ? (a == hit && !atStart) : AirwayEndKey(a) == key)
            end = name;
    });
}

void placeFloatingText() {
    float x = CursorX, y = CursorY;
    int32_t X = 0, Y = 0, Z = 0;
    std::string text;
    int t = 0;
    PickFloatingText(x, y, X, Y, Z, text, t);
    // Floating texts are kept in the network file but not in the undo log: each change marks the network.
    if (t != 0 && MouseButton != 1) {
        FloatingTextUsed(t) = false;
        NetworkSaved = 0;
    } else if (t != 0) {
        const std::string answer = VB::InputBox("Enter Text", "Floating Text", text);
        if (!answer.empty() && answer != FloatingTextString(t)) {
            FloatingTextString(t) = answer;
            NetworkSaved = 0;
        }
    } else {
        const std::string answer = VB::InputBox("Enter Floating Text", "Floating Text", "");
        if (!answer.empty()) {
            int free = 0;
            for (int i = 1; i <= MaxFloatingTexts && free == 0; ++i)
                if (!FloatingTextUsed(i))
                    free = i;
            if (free == 0) {
                VB::MsgBox("Exceeded " + std::to_string(MaxFloatingTexts) +
                           " text boxes - increase number in defaults");
            } else {
                // The world point under the cursor, which the pick gives on a miss.
                FloatingTextPosition(1, free) = X;
                FloatingTextPosition(2, free) = Y;
                FloatingTextPosition(3, free) = Z;
                FloatingTextString(free) = answer;
                FloatingTextUsed(free) = true;
                NetworkSaved = 0;
            }
        }
    }
    SetVisibleAirways();
}

} // namespace

void InsertFanTool() {
    int32_t x = 0, y = 0, z = 0;
    int a = 0;
    PickAirway(CursorX, CursorY, x, y, z, a);
    PickedAirway = 0;
    if (a == 0)
        return;
    if (AirwayFan(a) == -1) {
        VB::MsgBox("Fan not allowed with fixed pressure airway");
        return;
    }
    if (AirwayFlags(a) & AirwayFlag::FixedFlow) {
        VB::MsgBox("Fan not allowed with fixed quantity airway");
        return;
    }
    const AirwayValues before = TakeAirwayValues(a);
    if (MouseButton != 1) {
        AirwayFan(a) = 0;
        AirwayFanCount(a) = 0;
        AirwayFlags(a) &= ~AirwayFlag::FixedDirection;
        recordChange(a, before);
        Redraw();
        return;
    }
    // A fan placed where there was none gets its symbol a little before the clicked point.
    const bool hadFan = AirwayFan(a) >= 1;
    const float symbolAt = PickedFraction - 0.3f;
    CurrentAirway = a;
    PickedAirway = a;
    Editor().ShowFanEdit();
    PickedAirway = 0;
    if (!hadFan && TakeAirwayValues(a) != before)
        AirwayIconPosition(a) = symbolAt;
    recordChange(a, before);
}

void NameTool() {
    int32_t x = 0, y = 0, z = 0;
    std::string node;
    int endNumber = 0;
    PickAirwayEnd(CursorX, CursorY, x, y, z, node, endNumber);
    int hit = std::abs(endNumber);
    if (endNumber == 0)
        PickAirway(CursorX, CursorY, x, y, z, hit);
    if (hit != 0 && AirwaySelected(hit))
        nameSelection();
    else if (endNumber != 0)
        nameNode(endNumber);
    else if (hit != 0)
        nameAirway(hit);
    else
        placeFloatingText();
    PickedAirway = 0;
    PickedEnd = 0;
}
