#include "graphics/tool_command.h"

#include "graphics/drawing.h"
#include "graphics/keyboard.h"
#include "graphics/tool_state.h"
#include "model/undo.h"
#include "platform/ShellHooks.h"

int ToolModeOfCode(int code) {
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

void ToolCommand() {
    const int code = ToolCode;
    if (const int mode = ToolModeOfCode(code); mode >= 0) {
        ToolMode = mode;
        return;
    }
    switch (code) {
    case 25:
        ToggleGridFlag();
        break;
    case 27:
        ToggleSingleLevel();
        break;
    case 28:
        RedrawAll();
        break;
    case 5:
        RedoAction();
        break;
    case 23:
        UndoAction();
        break;
    default:
        Shell().RunCommand(code);
        break;
    }
    // An immediate command leaves the tool as it was.
    ToolCode = PreviousToolCode;
}
