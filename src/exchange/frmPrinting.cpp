#include "exchange/frmPrinting.h"

#include "exchange/print_network.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"

#include <QLabel>
#include <QVBoxLayout>

frmPrinting::frmPrinting(QWidget *parent) : QDialog(parent) {
    setObjectName("frmPrinting");
    setWindowTitle("PRINTING");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Printing network ....  please wait", this));
    lblComment = new QLabel(this);
    layout->addWidget(lblComment);
    Form_Load();
    VB_NAME_CONTROLS(lblComment);
}

void frmPrinting::Form_Load() {
    lblComment->setText(ToQt(NetworkTitle));
    adjustSize();
    VB::CentreOnMainWindow(*this);
}

void PrintScreen() {
    if (VB::MsgBox("Print Screen ?", VB::vbOKCancel | VB::vbQuestion, "Printing") != VB::vbOK)
        return;
    frmPrinting notice;
    notice.show();
    notice.repaint();
    PrintNetwork();
}
