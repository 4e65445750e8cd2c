// Procedures of the file, level, undo, solver and editor code that the shell calls and that are not in this
// tree yet. Each keeps the state its callers rely on unchanged; the real ones replace this file.
#include "graphics/drawing.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/fan_database.h"
#include "model/file_commands.h"
#include "model/levels_views.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "model/recent_files.h"
#include "model/settings_file.h"
#include "model/undo.h"
#include "model/units.h"
#include "platform/ShellHooks.h"
#include "simulation/driver.h"

void LoadNetwork() {}
void SetFileName() {}
// Leaves NetworkSaved as it was: callers read a failed save from it.
void SaveNetwork(int) {}
void SaveNetworkAs() {}
void OpenCommand() {}
void LoadRecentFiles() {}
void ShowRecentFiles() {}
void AddRecentFile() {}
void LoadFanData() {}
void Simulate() {}
void KeyCommand(int) {}
void SetToolCursor(int) {}
void ShowCursorCoords(float, float) {}
void ToggleSingleLevel() {}
void CalibratePause() {}
void SaveDefaults() {}
void UndoAction() {}
void RedoAction() {}
void LoadConversion() {}

void ToggleGridFlag() {
    GridOn = !GridOn;
    Shell().SetMenuChecked("mnuGridFlag", GridOn);
    Redraw();
}

void FillLevelList() {
    Shell().LevelListClear();
    int last = 1;
    for (int level = 1; level <= LevelName.UBound(); ++level) {
        if (LevelName(level).empty() && LevelRange(level, 1) == 0 && LevelRange(level, 2) == 0)
            break;
        Shell().LevelListAdd(LevelName(level));
        last = level;
    }
    Shell().LevelScrollSetRange(1, last);
}

void AddNamedView(int slot, int reply, const std::string &name) {
    ViewName(slot) = name;
    SaveView(slot);
    NetworkSaved = 0;
    if (reply != 6)
        Shell().ViewListAdd(name);
}
