#include "dialogs/airway_dialogs.h"

#include "dialogs/frmAirEdit.h"
#include "platform/VBControls.h"

#include <QApplication>

namespace AirwayDialogs {

void ShowAirwayEdit() {
    frmAirEdit dialog(QApplication::activeWindow());
    VB::ShowModal(dialog);
}

} // namespace AirwayDialogs
