#include "dialogs/airway_dialogs.h"

#include "dialogs/frmAirEdit.h"
#include "dialogs/frmAirInfo.h"
#include "dialogs/frmAttrib.h"
#include "dialogs/frmCoords.h"
#include "dialogs/frmFanEdit.h"
#include "platform/VBControls.h"

#include <QApplication>
#include <QPointer>

namespace AirwayDialogs {

namespace {

template <typename Dialog> void showModal() {
    Dialog dialog(QApplication::activeWindow());
    VB::ShowModal(dialog);
}

} // namespace

void ShowAirwayEdit() {
    showModal<frmAirEdit>();
}

void ShowAirwayInformation() {
    // One report at a time: a report still up gives way to the new one.
    static QPointer<frmAirInfo> shown;
    if (shown)
        shown->close();
    shown = new frmAirInfo(QApplication::activeWindow());
    shown->show();
    shown->activateWindow();
}

void ShowCoordinateEntry() {
    showModal<frmCoords>();
}

void ShowFanEdit() {
    showModal<frmFanEdit>();
}

void ShowAttributeOptions() {
    showModal<frmAttrib>();
}

} // namespace AirwayDialogs
