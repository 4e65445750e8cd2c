#pragma once
// The graphic editor's windows as the running program shows them: the airway dialogs, the airway data
// pop-up beside the pointer (placed in screen twips), and the smoke trace and legend windows at the main
// window's lower right.
#include "graphics/editor_windows.h"

#include <QPointer>
#include <QWidget>

class MainEditorWindows : public EditorWindows {
public:
    void ShowCoordinateEntry() override;
    void ShowAirwayInformation() override;
    void ShowAirwayEdit() override;
    void ShowFanEdit() override;
    // The smoke trace and legend windows, set by the code that creates them.
    QPointer<QWidget> SmokeTrace, SmokeLegend;
    void PlaceTraceWindow() override;
    void PlaceLegendWindow() override;
    TwipsRect PopupRect() const override;
    void ShowPopup(int32_t left, int32_t top, const std::string &text) override;
    void HidePopup() override;
    void CursorScreenPosition(int32_t &x, int32_t &y) const override;
    int32_t PixelsToTwips(int32_t pixels, bool vertical) const override;
    TwipsRect GraphicsWindowRect(int w) const override;
};
