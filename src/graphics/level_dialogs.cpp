#include "graphics/level_dialogs.h"

#include "graphics/graphics_state.h"
#include "platform/Seam.h"

namespace {
Seam<LevelDialogs> seam;
} // namespace

void LevelDialogs::ShowSelectLevelDialog() {
    LevelSelectCancelled = true;
}

LevelDialogs &LevelChoosers() {
    return seam.Get();
}

LevelDialogs *SetLevelDialogs(LevelDialogs *dialogs) {
    return seam.Set(dialogs);
}
