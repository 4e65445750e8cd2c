#include "shell/level_windows.h"

#include "graphics/graphics_state.h"
#include "platform/VBControls.h"
#include "settings/frmSelLevel.h"

void ShellLevelDialogs::ShowSelectLevelDialog() {
    // Leaving the dialog any way but by OK is a cancel.
    LevelSelectCancelled = true;
    frmSelLevel dialog;
    VB::ShowModal(dialog);
}

void ShellLevelDialogs::ShowRangeDialog() {
    // frmRange is not built yet: the window keeps its elevation range.
}
