#pragma once
// The shell's level choosers behind the view-mode change: the selected-levels dialog and the elevation
// range dialog, shown modally.
#include "graphics/level_dialogs.h"

class ShellLevelDialogs final : public LevelDialogs {
public:
    void ShowSelectLevelDialog() override;
    void ShowRangeDialog() override;
};
