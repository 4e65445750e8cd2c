#pragma once
// The windows the mouse tools open (coordinate entry, airway information, airway edit, fan, the airway data
// pop-up, the smoke trace and legend) and the screen facts they are placed by. The shell and the dialogs
// implement this interface; without an implementation nothing is shown and nothing changes, and tests install
// a recording one.
#include <cstdint>
#include <string>

struct TwipsRect {
    int32_t left = 0, top = 0, width = 0, height = 0;
};

class EditorWindows {
public:
    virtual ~EditorWindows() = default;

    // frmCoords, modal: reads EntryPointX..Z and CoordsForSelection; writes the typed point back, with
    // CoordsCancelled 0 on OK and -1 on Cancel.
    virtual void ShowCoordinateEntry() {}
    // frmAirInfo, modeless: the information report of CurrentAirway.
    virtual void ShowAirwayInformation() {}
    // frmAirEdit, modal: edits CurrentAirway (AirEditMode 1) or the selection (AirEditMode 3).
    virtual void ShowAirwayEdit() {}
    // frmFanEdit, modal: the fans of CurrentAirway.
    virtual void ShowFanEdit() {}
    // The smoke trace and legend windows at the main window's lower right, modeless and on top; showing
    // one closes the other.
    virtual void PlaceTraceWindow() {}
    virtual void PlaceLegendWindow() {}

    // frmPopData: the airway data pop-up, placed by its top-left corner (twips, screen).
    virtual TwipsRect PopupRect() const { return {}; }
    virtual void ShowPopup(int32_t /*left*/, int32_t /*top*/, const std::string & /*text*/) {}
    virtual void HidePopup() {}

    // The mouse pointer's screen position in pixels.
    virtual void CursorScreenPosition(int32_t &x, int32_t &y) const { x = y = 0; }
    // Pixels to twips along one axis of the screen.
    virtual int32_t PixelsToTwips(int32_t pixels, bool /*vertical*/) const { return pixels * 15; }
    // Screen rectangle (twips) of graphics window w.
    virtual TwipsRect GraphicsWindowRect(int /*w*/) const { return {}; }
};

// The current implementation (never null).
EditorWindows &Editor();
// Installs an implementation; nullptr restores the silent one. Returns the previous one.
EditorWindows *SetEditorWindows(EditorWindows *windows);
