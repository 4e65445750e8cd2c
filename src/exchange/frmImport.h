#pragma once
// The import options dialog: imports the file named by ImportFileName into the network.
#include <QDialog>

class frmImport : public QDialog {
    Q_OBJECT
public:
    explicit frmImport(QWidget *parent = nullptr);
};
