#include "exchange/frmRealOut.h"

#include "exchange/realtime_boxes.h"
#include "exchange/remotes.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmRealOut::frmRealOut(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Realtime Output File");
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Output Data File"), 0, 0);
    TxtRealOut = new QLineEdit(this);
    TxtRealOut->setMinimumWidth(320);
    grid->addWidget(TxtRealOut, 0, 1);
    CmdBrowse = new QPushButton("Browse", this);
    grid->addWidget(CmdBrowse, 0, 2);
    grid->addWidget(new QLabel("Sampling (Sec)"), 1, 0);
    TxtTimer = new QLineEdit(this);
    VB::DecimalKeyFilter::Install(TxtTimer);
    grid->addWidget(TxtTimer, 1, 1);
    cmdOK = new QPushButton("OK", this);
    grid->addWidget(cmdOK, 1, 2);
    // Enter in a box presses no button (it would open the file dialog).
    for (QPushButton *b : {CmdBrowse, cmdOK})
        b->setAutoDefault(false);
    connect(cmdOK, &QPushButton::clicked, this, &frmRealOut::cmdOK_Click);
    connect(CmdBrowse, &QPushButton::clicked, this, &frmRealOut::CmdBrowse_Click);
    OKLoad();
    VB_NAME_CONTROLS(TxtRealOut, CmdBrowse, TxtTimer, cmdOK);
}

void frmRealOut::OKLoad() {
    TxtRealOut->setText(ToQt(RealtimeOutputFile));
    TxtTimer->setText(ToQt(OutputInterval).trimmed());
}

bool frmRealOut::OKSave() {
    // An empty seconds box leaves the output without timed writes.
    const std::string seconds = BoxText(TxtTimer);
    const std::optional<int> interval = TimerIntervalOf(seconds);
    if (!interval)
        return RefuseNumber(TxtTimer);
    if (!TxtRealOut->text().contains('.'))
        TxtRealOut->setText(TxtRealOut->text() + ".txt");
    RealtimeOutputFile = BoxText(TxtRealOut);
    OutputInterval = seconds;
    Shell().SetRealtimeTimerInterval(2, *interval);
    return true;
}

void frmRealOut::cmdOK_Click() {
    if (!OKSave())
        return;
    DefaultsSaved = 0;
    accept();
}

void frmRealOut::CmdBrowse_Click() {
    VB::FileRequest request;
    request.filter = "Gustrom Realtime Output Files (*.txt)|*.txt|All Files (*.*)|*.*";
    request.filterIndex = 1;
    // A new file name is allowed; its folder must exist.
    request.mustExist = false;
    const std::optional<std::string> chosen = VB::FileDialog(request);
    DialogCancelled = !chosen || chosen->empty();
    if (!DialogCancelled)
        TxtRealOut->setText(ToQt(*chosen));
}
