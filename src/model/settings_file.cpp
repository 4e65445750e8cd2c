#include "model/settings_file.h"

#include "model/Gustrom1.h"
#include "platform/Dialogs.h"

#include <fstream>

void LoadDefaults() {
    std::ifstream in(AppFolder + "Defaults.dat", std::ios::binary);
    if (!in) {
        VB::MsgBox("Error re-loading defaults");
        return;
    }
    // The settings block itself is read by the defaults-block reader once it exists; until then the
    // built-in values stand.
}
