#pragma once
// Graphics window 0 with the mouse and tool state at rest, a record of the tools the release dispatches
// to and of the windows the tools open.
#include "GraphicsFixture.h"
#include "common/ScriptedDialogs.h"
#include "graphics/editor_windows.h"
#include "graphics/mouse.h"
#include "graphics/tool_state.h"
#include "model/units.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class RecordingEditor : public EditorWindows {
public:
    RecordingEditor() { previous_ = SetEditorWindows(this); }
    ~RecordingEditor() override { SetEditorWindows(previous_); }

    int coordinateEntries = 0, informationWindows = 0, popupsHidden = 0;
    // The coordinate dialog's answer: Cancel, or OK with this point typed (none: the proposal kept).
    bool coordinatesCancelled = false;
    std::optional<std::array<int32_t, 3>> typedPoint;
    // AirEditMode of every airway edit dialog shown.
    std::vector<int> airwayEdits;
    struct Popup {
        int32_t left, top;
        std::string text;
    };
    std::vector<Popup> popups;
    TwipsRect popup{0, 0, 3000, 2000};
    TwipsRect window{0, 0, 15000, 12000};
    int32_t cursorX = 0, cursorY = 0; // pixels

    void ShowCoordinateEntry() override {
        ++coordinateEntries;
        if (coordinatesCancelled) {
            CoordsCancelled = -1;
            return;
        }
        if (typedPoint) {
            EntryPointX = (*typedPoint)[0];
            EntryPointY = (*typedPoint)[1];
            EntryPointZ = (*typedPoint)[2];
            // As the real dialog's OK: an absolute point is marked typed.
            PointTyped = PointTyped || !CoordsForSelection;
        }
    }
    void ShowAirwayEdit() override { airwayEdits.push_back(AirEditMode); }
    void ShowAirwayInformation() override { ++informationWindows; }
    TwipsRect PopupRect() const override { return popup; }
    void ShowPopup(int32_t left, int32_t top, const std::string &text) override {
        popups.push_back({left, top, text});
    }
    void HidePopup() override { ++popupsHidden; }
    void CursorScreenPosition(int32_t &x, int32_t &y) const override {
        x = cursorX;
        y = cursorY;
    }
    int32_t PixelsToTwips(int32_t pixels, bool) const override { return pixels * 15; }
    TwipsRect GraphicsWindowRect(int) const override { return window; }

private:
    EditorWindows *previous_ = nullptr;
};

class MouseTest : public GraphicsTest {
protected:
    ScriptedDialogs boxes;
    RecordingEditor editor;
    std::vector<std::string> dispatched;

    void SetUp() override {
        GraphicsTest::SetUp();
        PickDivisor = 25;
        PowerZoomSpeed = 4;
        ToolMode = ToolCode = PreviousToolCode = EditSubMode = 0;
        MouseBusy = ViewDrag = CoordEntryActive = FenceDrawn = TextDragging = false;
        MoveFenceMode = true;
        PanState = CoordsCancelled = StartSnapped = 0;
        LevelElevation = 0;
        WorkingElevation = 0;
        AirwayScreenCount = 0;
        AirwayStart(1, 0) = AirwayStart(2, 0) = AirwayStart(3, 0) = 0;
        NetworkSaved = 255;
        // The surface well above the test network.
        LevelRange(1, 1) = LevelRange(1, 2) = 1000;
        UnitSystem = 1;
        SetBuiltInUnits();
        SetToolDispatchObserver([this](const std::string &tool) { dispatched.push_back(tool); });
    }
    void TearDown() override {
        SetToolDispatchObserver(nullptr);
        GraphicsTest::TearDown();
    }

    // Window positions (scale units of the picture).
    static void Press(int button, float x, float y, int shift = 0) {
        WindowPressEvent(0, button, shift, x, y);
    }
    static void Move(int buttons, float x, float y, int shift = 0) {
        WindowMoveEvent(0, buttons, shift, x, y);
    }
    static void Release(int button, float x, float y, int shift = 0) {
        WindowReleaseEvent(0, button, shift, x, y);
    }
    static void Click(int button, float x, float y) {
        Press(button, x, y);
        Release(button, x, y);
    }
    static void Drag(int button, float x1, float y1, float x2, float y2) {
        Press(button, x1, y1);
        Move(button, (x1 + x2) / 2, (y1 + y2) / 2);
        Move(button, x2, y2);
        Release(button, x2, y2);
    }
};
