#pragma once
// State of the settings dialog that outlives the window: whether it is filled, the unit buttons armed, the
// axis change mark, the remembered "underlying resistance" box, the swatch the palette paints, the preset
// working copies and the tab shown last.
#include <array>

extern bool OptionsLoaded;          // the dialog shows the settings (cleared by storing and by Cancel)
extern bool UnitSwitchArmed;        // the unit-system buttons act
extern bool AxisChanged;            // a reversal box was clicked: the next OK resets the view
extern int UnderlyingResistanceOff; // 1 when "Add underlying airway resistance" was left clear
extern float EditValue;             // the value of the field being checked
extern int SelectedSwatch;          // the colour swatch the palette paints
extern bool ColourOptionGuard;      // set while the scheme captions change
extern int OptionsTab;              // the tab shown when the dialog opens
// The data display mode of each data button, in the settings and the view dialogs: the numbers run the
// other way for 0 and 3, so the table also gives the button of a mode.
constexpr int DataModeOfButton[4] = {3, 1, 2, 0};
constexpr int PresetEntries = 50;
// Preset values being edited, SI: friction factors (kg/m³), shock lengths (m), resistances (Ns²/m⁸).
extern std::array<float, PresetEntries> WallFactorWork, ShockLengthWork, ResistanceValueWork;
