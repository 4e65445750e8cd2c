#include "graphics/level_dialogs.h"

#include "graphics/graphics_state.h"

namespace {
LevelDialogs silentDialogs;
LevelDialogs *current = &silentDialogs;
} // namespace

void LevelDialogs::ShowSelectLevelDialog() {
    LevelSelectCancelled = true;
}

LevelDialogs &LevelChoosers() {
    return *current;
}

LevelDialogs *SetLevelDialogs(LevelDialogs *dialogs) {
    LevelDialogs *previous = current == &silentDialogs ? nullptr : current;
    current = dialogs != nullptr ? dialogs : &silentDialogs;
    return previous;
}
