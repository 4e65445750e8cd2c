#include "shell/level_windows.h"

#include "graphics/graphics_state.h"

void ShellLevelDialogs::ShowSelectLevelDialog() {
    // frmSelLevel is not built yet: nothing can be chosen.
    LevelSelectCancelled = true;
}

void ShellLevelDialogs::ShowRangeDialog() {
    // frmRange is not built yet: the window keeps its elevation range.
}
