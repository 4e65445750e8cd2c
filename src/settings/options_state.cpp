#include "settings/options_state.h"

bool OptionsLoaded = false;
bool UnitSwitchArmed = false;
bool AxisChanged = false;
int UnderlyingResistanceOff = 0;
float EditValue = 0;
int SelectedSwatch = 0;
bool ColourOptionGuard = false;
int OptionsTab = 0;
std::array<float, PresetEntries> WallFactorWork{}, ShockLengthWork{}, ResistanceValueWork{};
