#include "model/levels_views.h"

#include "model/Gustrom1.h"
#include "platform/ShellHooks.h"

void FillViewList() {
    Shell().ViewListClear();
    for (int v = 1; v <= 100; ++v)
        if (!ViewName(v).empty()) Shell().ViewListAdd(ViewName(v));
}

void SetViewCaption() {
    const int w = ActiveWindow < 0 ? 0 : ActiveWindow;
    Shell().SetupGraphicsWindow(w, "View " + std::to_string(w + 1), ColourTable(3), ScreenBuffer);
}
