#include "graphics/keyboard.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/tool_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/undo.h"
#include "platform/ShellHooks.h"

#include <algorithm>
#include <string>

namespace {

// The command number of a command key, or -1.
int commandOfKey(int keyCode) {
    switch (keyCode) {
    case KeyCode::Tab:
        return 5;
    case KeyCode::Home:
        return 1;
    case KeyCode::F1 + 1:
        return 0;
    case KeyCode::F1 + 2:
        return 4;
    case KeyCode::F1 + 3:
        return 8;
    case KeyCode::F1 + 4:
        return 6;
    case KeyCode::F1 + 5:
        return 7;
    case KeyCode::F1 + 6:
        return 10;
    case KeyCode::F1 + 7:
        return 9;
    case KeyCode::F1 + 8:
        return 13;
    case KeyCode::F1 + 9:
        return 12;
    case KeyCode::F1 + 10:
        return 21;
    case KeyCode::F1 + 11:
        return 14;
    default:
        return -1;
    }
}

} // namespace

bool IsCommandKey(int keyCode) {
    switch (keyCode) {
    case KeyCode::Back:
    case KeyCode::Escape:
    case KeyCode::Up:
    case KeyCode::Down:
        return true;
    default:
        return commandOfKey(keyCode) >= 0;
    }
}

void KeyCommand(int &keyCode) {
    Shell().StopRotationTimer();
    PreviousToolCode = ToolCode;
    switch (keyCode) {
    case KeyCode::Back:
        UndoAction();
        return;
    case KeyCode::Escape: {
        const int last = std::min(AirwayCount, AirwayFlags.UBound());
        for (int a = 1; a <= last; ++a)
            AirwayFlags(a) &= ~AirwayFlag::Selected;
        RedrawAll();
        return;
    }
    case KeyCode::Up:
    case KeyCode::Down:
        LastKey = keyCode;
        StepLevelScroll();
        return;
    default:
        break;
    }
    if (const int command = commandOfKey(keyCode); command >= 0) {
        ToolCode = command;
        Shell().RunCommand(command);
    }
}

void StepLevelScroll() {
    ShellHooks &shell = Shell();
    const int value = shell.LevelScrollGetValue();
    if (ToolMode == 1) {
        if (WorkingElevation == 0)
            WorkingElevation = static_cast<float>(LevelElevation);
        // The level the construction began on.
        if (PressLevel == 0)
            PressLevel = value;
    }
    int step = LastKey == KeyCode::Down ? 1 : LastKey == KeyCode::Up ? -1 : 0;
    if (value + step > shell.LevelScrollGetMax() || value + step < shell.LevelScrollGetMin())
        step = 0;
    shell.LevelScrollSetValue(value + step);
}

void ToggleGridFlag() {
    Rotating = false;
    GridOn = !GridOn;
    Shell().SetMenuChecked("mnuGridFlag", GridOn);
    Redraw();
}

void ToggleSingleLevel() {
    if (PreviousViewMode == 0 || PreviousViewMode == 1)
        PreviousViewMode = 4;
    if (ViewMode != 1) {
        PreviousViewMode = ViewMode;
        ViewMode = 1;
    } else {
        ViewMode = PreviousViewMode;
        PreviousViewMode = 1;
    }
    ShellHooks &shell = Shell();
    if (ViewMode == 1) {
        ComboUpdating = true;
        shell.LevelListSetIndex(CurrentLevel);
        ComboUpdating = false;
        SetViewMode(0);
        return;
    }
    CurrentLevel = shell.LevelListGetIndex();
    shell.LevelListSetIndex(-1);
    // The caption names no level once the combo shows none.
    shell.ShowDisplayChoice();
    ShowLevelModeMarks(ViewMode - 1);
    if (ViewMode == 3) {
        RLWindowLow = RangeLow;
        RLWindowHigh = RangeHigh;
    }
    SetVisibleAirways();
    KeepPan = 1;
    RotateView();
    KeepPan = 0;
    Redraw();
}
