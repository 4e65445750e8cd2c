#pragma once
// Opening the airway dialogs; the main window's editor windows and the tables call these.
namespace AirwayDialogs {

// frmAirEdit, modal: CurrentAirway (AirEditMode 1) or every selected airway (AirEditMode 3).
void ShowAirwayEdit();
// frmAirInfo, modeless: the report of CurrentAirway; closes itself when another window is activated.
void ShowAirwayInformation();
// frmCoords, modal: the point or displacement typed for the drawing and move tools.
void ShowCoordinateEntry();
// frmFanEdit, modal: the fans of CurrentAirway.
void ShowFanEdit();
// frmAttrib, modal: which attributes the copy tool carries.
void ShowAttributeOptions();

} // namespace AirwayDialogs
