#include "shell/level_windows.h"

#include "graphics/graphics_state.h"
#include "shell/MainForm.h"
#include "tables/frmRange.h"

void ShellLevelDialogs::ShowSelectLevelDialog() {
    // frmSelLevel is not built yet: nothing can be chosen.
    LevelSelectCancelled = true;
}

void ShellLevelDialogs::ShowRangeDialog() {
    ShowRangeChooser(MainForm::Instance());
}
