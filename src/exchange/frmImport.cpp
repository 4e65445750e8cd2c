#include "exchange/frmImport.h"

frmImport::frmImport(QWidget *parent) : QDialog(parent) {
    // The import itself is not built yet: the dialog only closes.
    setObjectName("frmImport");
    setWindowTitle("Import Data Options");
}
