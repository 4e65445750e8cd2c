#include "shell/tool_command.h"

#include "exchange/frmPrinting.h"
#include "graphics/drawing.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/locate.h"
#include "graphics/projection.h"
#include "graphics/tools.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/file_dialogs.h"
#include "model/network_save.h"
#include "model/undo.h"
#include "platform/Busy.h"
#include "platform/Guard.h"
#include "platform/ShellHooks.h"
#include "platform/VBControls.h"
#include "settings/frmViewer.h"
#include "shell/MainForm.h"
#include "shell/file_commands.h"
#include "shell/network_commands.h"
#include "shell/shell_state.h"
#include "simulation/smoke_spread.h"
#include "solver/driver.h"

#include <algorithm>
#include <cctype>

int ToolModeOfCommand(int code) {
    switch (code) {
    case 0:
        return 0;
    case 2:
        return 16;
    case 4:
        return 1;
    case 6:
        return 2;
    case 7:
        return 3;
    case 8:
        return 4;
    case 9:
        return 5;
    case 10:
        return 6;
    case 11:
        return 7;
    case 12:
        return 8;
    case 13:
        return 9;
    case 15:
        return 17;
    case 16:
        return 11;
    case 17:
        return 18;
    case 18:
        return 10;
    case 21:
    case 91:
        return 15;
    case 31:
        return 19;
    case 32:
        return 20;
    default:
        return -1;
    }
}

namespace {

bool masterOrUnnamed() {
    if (NetworkFileName.empty())
        return true;
    if (NetworkFileName.size() < 4)
        return false;
    std::string tail = NetworkFileName.substr(NetworkFileName.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::toupper(c); });
    return tail == ".SMM";
}

} // namespace

void ShowViewOptions() {
    frmViewer viewer(MainForm::Instance());
    VB::ShowModal(viewer);
    RotateView();
    Redraw();
}

bool SaveCommand() {
    return masterOrUnnamed() ? SaveNetworkAs() : SaveNetwork(0);
}

namespace {

// An immediate command leaves the tool that was current before it.
void restore() {
    ToolCode = PreviousToolCode;
}

void runImmediate(int c) {
    switch (c) {
    case 1:
        restore();
        FitNetwork();
        Redraw();
        break;
    case 3:
        restore();
        FindNextBranch();
        break;
    case 5:
        restore();
        RedoAction();
        break;
    case 14:
        SmokeMode = 0;
        restore();
        ShowProgress = 1;
        AnalysisMode = 0;
        Simulate();
        SetVisibleAirways();
        RotateView();
        break;
    case 19:
        restore();
        OpenCommand();
        break;
    case 29:
        SmokeMode = 1;
        restore();
        SmokeSimulate();
        break;
    case 30:
        SmokeMode = 2;
        restore();
        SmokeTrace();
        PlaceTraceWindow();
        break;
    case 20:
        restore();
        SaveCommand();
        break;
    case 22:
        // The print screen leaves the zoom tool working, with the previous tool's button marked.
        ToolCode = 0;
        ToolCommand();
        ToolCode = PreviousToolCode;
        PrintScreen();
        Redraw();
        break;
    case 23:
        restore();
        UndoAction();
        break;
    case 24:
        restore();
        Rotating = 0;
        ToggleView3D();
        break;
    case 25:
        restore();
        ToggleGridFlag();
        break;
    case 26:
        restore();
        ShowViewOptions();
        break;
    case 27:
        restore();
        ToggleSingleLevel();
        break;
    case 28:
        restore();
        DeselectAll();
        RedrawAll();
        break;
    default:
        // Every button in use has its case; any other code leaves the tool as it was.
        restore();
        break;
    }
}

void runCommand() {
    // While a long operation lets events run, an immediate command (open, save, undo, a run ...) could
    // change or free the arrays it works on: it does nothing and the tool stays.
    if (VB::IsBusy() && ToolCode != 91 && ToolModeOfCommand(ToolCode) < 0) {
        ToolCode = PreviousToolCode;
        return;
    }
    if (ToolCode == 0)
        ToolMode = 0;
    const int c = ToolCode;
    SetToolCursor(0);
    if (c == 91) {
        ToolMode = 15;
        CopyToDefaults = true;
        ToolCode = 21;
    } else if (const int mode = ToolModeOfCommand(c); mode >= 0) {
        ToolMode = mode;
        if (c == 21) {
            CopyToDefaults = false;
            Shell().SetMenuChecked("mnuCopy2", false);
            Shell().SetMenuChecked("mnuCpyPst", true);
        }
    } else if (c >= 1 && c <= 30) {
        runImmediate(c);
    }
    Shell().MarkToolButton(ToolCode);
    if (c != 14 && c != 17)
        Shell().FocusActiveWindow();
}

} // namespace

void ToolCommand() {
    // A failing command ends quietly; the toolbar still marks the current tool.
    if (!VB::Guarded(runCommand))
        VB::Guarded([] { Shell().MarkToolButton(ToolCode); });
}
