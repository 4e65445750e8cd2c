#include "shell/level_windows.h"

#include "graphics/graphics_state.h"
#include "platform/VBControls.h"
#include "settings/frmSelLevel.h"
#include "shell/MainForm.h"
#include "tables/frmRange.h"

void ShellLevelDialogs::ShowSelectLevelDialog() {
    // Leaving the dialog any way but by OK is a cancel.
    LevelSelectCancelled = true;
    frmSelLevel dialog;
    VB::ShowModal(dialog);
}

void ShellLevelDialogs::ShowRangeDialog() {
    ShowRangeChooser(MainForm::Instance());
}
