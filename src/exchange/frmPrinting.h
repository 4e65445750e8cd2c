#pragma once
// "PRINTING": the notice shown while the toolbar's print screen prints the network.
#include <QDialog>

class QLabel;

class frmPrinting : public QDialog {
    Q_OBJECT
public:
    explicit frmPrinting(QWidget *parent = nullptr);
    QLabel *lblComment; // the network's title
    // Centres the notice and shows the network's title.
    void Form_Load();
};

// The toolbar's print screen: asks "Print Screen ?" and on OK prints the network with the stored print
// settings while the notice shows.
void PrintScreen();
