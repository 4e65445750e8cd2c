#pragma once
// The graphic editor's windows as the running program shows them: the airway data pop-up beside the
// pointer, placed in screen twips. The airway dialogs are forwarded here as they come.
#include "graphics/editor_windows.h"

class MainEditorWindows : public EditorWindows {
public:
    void ShowAirwayEdit() override;
    TwipsRect PopupRect() const override;
    void ShowPopup(int32_t left, int32_t top, const std::string &text) override;
    void HidePopup() override;
    void CursorScreenPosition(int32_t &x, int32_t &y) const override;
    int32_t PixelsToTwips(int32_t pixels, bool vertical) const override;
    TwipsRect GraphicsWindowRect(int w) const override;
};
