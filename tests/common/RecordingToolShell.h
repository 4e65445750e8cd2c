#pragma once
// The recording main window with the command dispatcher's choice of tools, for the graphics windows' keys.
#include "common/RecordingShell.h"
#include "graphics/graphics_state.h"
#include "shell/tool_command.h"

#include <vector>

class RecordingToolShell : public RecordingShell {
public:
    std::vector<int> commands;
    // Tools are selected as the dispatcher selects them; commands are only recorded, and give the previous
    // tool back as the dispatcher does.
    void RunCommand(int code) override {
        if (const int mode = ToolModeOfCommand(code); mode >= 0) {
            ToolMode = mode;
            return;
        }
        commands.push_back(code);
        ToolCode = PreviousToolCode;
    }
};
