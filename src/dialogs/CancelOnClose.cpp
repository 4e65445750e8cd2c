#include "dialogs/CancelOnClose.h"

#include <QCloseEvent>

void CancelOnClose::Unload(int result) {
    unloading_ = true;
    done(result);
}

void CancelOnClose::closeEvent(QCloseEvent *event) {
    if (!unloading_)
        CloseBoxHandler();
    QDialog::closeEvent(event);
}

void CancelOnClose::reject() {
    if (!unloading_)
        CloseBoxHandler();
}
