#include "exchange/frmRemote.h"

#include "exchange/realtime_boxes.h"
#include "exchange/remotes.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

// An alarm limit of 0 means none and shows blank.
QString alarmText(float limit) {
    return limit == 0 ? QString() : ToQt(NumberText(limit));
}

} // namespace

frmRemote::frmRemote(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Realtime Input Stations");
    auto *grid = new QGridLayout(this);
    auto *menu = new QMenuBar(this);
    grid->setMenuBar(menu);
    QMenu *file = menu->addMenu("File");
    mnuExit = file->addAction("Exit");
    QMenu *edit = menu->addMenu("Edit");
    mnuCopy = edit->addAction("Copy Station");
    mnuPaste = edit->addAction("Paste Station");

    grid->addWidget(new QLabel("Station No"), 0, 0);
    LblNumber = new QLabel(this);
    grid->addWidget(LblNumber, 0, 1);
    grid->addWidget(new QLabel("Station Name"), 1, 0);
    TxtStationName = new QLineEdit(this);
    grid->addWidget(TxtStationName, 1, 1, 1, 3);
    ChkUpdateQ = new VBCheckBox("Update airflow", this);
    grid->addWidget(ChkUpdateQ, 1, 4, 1, 2);

    const char *const headings[] = {"", "Abrev", "Unit", "Factor", "A Low", "A High"};
    for (int col = 0; col < 6; ++col)
        grid->addWidget(new QLabel(headings[col]), 2, col + 1);
    for (int row = 0; row < 5; ++row) {
        const auto r = static_cast<size_t>(row);
        grid->addWidget(new QLabel(QString("(%1)").arg(row + 1)), row + 3, 0);
        int col = 1;
        for (auto *boxes : {&TxtLngNames, &Abrev, &RUnits, &Mult, &ALow, &AHigh}) {
            (*boxes)[r] = new QLineEdit(this);
            grid->addWidget((*boxes)[r], row + 3, col++);
        }
        for (auto *boxes : {&Mult, &ALow, &AHigh})
            VB::DecimalKeyFilter::Install((*boxes)[r]);
    }
    TxtLngNames[0]->setToolTip(
        "Specify Quantity, Velocity or Pressure if you want Gustrom to recalculate flows");

    VScStation = new QScrollBar(Qt::Vertical, this);
    VScStation->setRange(1, MaxStations);
    VScStation->setValue(1);
    grid->addWidget(VScStation, 0, 7, 8, 1);

    grid->addWidget(new QLabel("Input Data File"), 8, 0);
    TxtRemoteSource = new QLineEdit(this);
    grid->addWidget(TxtRemoteSource, 8, 1, 1, 4);
    CmdBrowse = new QPushButton("Browse", this);
    grid->addWidget(CmdBrowse, 8, 5);
    ChkResim = new VBCheckBox("Resimulate Network", this);
    grid->addWidget(ChkResim, 9, 1, 1, 2);
    ChkAlarm = new VBCheckBox("Activate Alarms", this);
    grid->addWidget(ChkAlarm, 9, 3, 1, 2);
    grid->addWidget(new QLabel("Sampling (Sec)"), 10, 0);
    TxtTimer = new QLineEdit(this);
    VB::DecimalKeyFilter::Install(TxtTimer);
    grid->addWidget(TxtTimer, 10, 1);
    cmdOK = new QPushButton("OK", this);
    grid->addWidget(cmdOK, 10, 5);
    // Enter in a box presses no button (it would open the file dialog).
    for (QPushButton *b : {CmdBrowse, cmdOK})
        b->setAutoDefault(false);

    connect(VScStation, &QScrollBar::valueChanged, this, &frmRemote::VScStation_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmRemote::cmdOK_Click);
    connect(CmdBrowse, &QPushButton::clicked, this, &frmRemote::CmdBrowse_Click);
    connect(mnuExit, &QAction::triggered, this, &frmRemote::mnuExit_Click);
    connect(mnuCopy, &QAction::triggered, this, &frmRemote::mnuCopy_Click);
    connect(mnuPaste, &QAction::triggered, this, &frmRemote::mnuPaste_Click);

    ShownStation = 1;
    OKLoad(1);
    VB_NAME_CONTROLS(LblNumber, VScStation, TxtStationName, ChkUpdateQ, TxtRemoteSource, CmdBrowse, ChkResim,
                     ChkAlarm, TxtTimer, cmdOK, mnuExit, mnuCopy, mnuPaste);
    VB::NameControlArray(TxtLngNames, "TxtLngNames");
    VB::NameControlArray(Abrev, "Abrev");
    VB::NameControlArray(RUnits, "RUnits");
    VB::NameControlArray(Mult, "Mult");
    VB::NameControlArray(ALow, "ALow");
    VB::NameControlArray(AHigh, "AHigh");
}

void frmRemote::OKLoad(int j) {
    LblNumber->setText(QString::number(j));
    for (int c = 1; c <= StationChannels; ++c) {
        const auto r = static_cast<size_t>(c - 1);
        TxtLngNames[r]->setText(ToQt(StationChannelName(j, c)));
        Abrev[r]->setText(ToQt(StationChannelAbbrev(j, c)));
        RUnits[r]->setText(ToQt(StationChannelUnit(j, c)));
        Mult[r]->setText(ToQt(NumberText(StationFactor(j, c))));
        ALow[r]->setText(alarmText(StationAlarmLow(j, c)));
        AHigh[r]->setText(alarmText(StationAlarmHigh(j, c)));
    }
    TxtStationName->setText(ToQt(StationName(j)));
    // A hand-edited flag other than 0 or 1 shows ticked.
    ChkUpdateQ->SetValue(StationUpdateFlow(j) != 0);
    TxtRemoteSource->setText(ToQt(RealtimeInputFile));
    ChkResim->SetValue(ResimulateOnInput != 0);
    ChkAlarm->SetValue(AlarmsOn != 0);
    TxtTimer->setText(ToQt(InputInterval).trimmed());
}

QLineEdit *frmRemote::unreadableBox(bool withSeconds) const {
    for (size_t r = 0; r < 5; ++r)
        for (QLineEdit *box : {Mult[r], ALow[r], AHigh[r]})
            if (!box->text().isEmpty() && !BoxNumber(box))
                return box;
    if (withSeconds && (TxtTimer->text().trimmed().isEmpty() || !TimerIntervalOf(BoxText(TxtTimer))))
        return TxtTimer;
    return nullptr;
}

bool frmRemote::OKSave(int j) {
    // Every number box is read before anything is stored, so a refused box leaves the station whole.
    if (QLineEdit *refused = unreadableBox())
        return RefuseNumber(refused);
    const std::string seconds = BoxText(TxtTimer);
    for (int c = 1; c <= StationChannels; ++c) {
        const auto r = static_cast<size_t>(c - 1);
        StationChannelName(j, c) = BoxText(TxtLngNames[r]);
        StationChannelAbbrev(j, c) = BoxText(Abrev[r]);
        StationChannelUnit(j, c) = BoxText(RUnits[r]);
        // An empty box keeps the stored value: an alarm is removed by typing 0.
        if (const auto v = BoxNumber(Mult[r]))
            StationFactor(j, c) = *v;
        if (const auto v = BoxNumber(ALow[r]))
            StationAlarmLow(j, c) = *v;
        if (const auto v = BoxNumber(AHigh[r]))
            StationAlarmHigh(j, c) = *v;
    }
    StationName(j) = BoxText(TxtStationName);
    StationUpdateFlow(j) = ChkUpdateQ->Value();
    RealtimeInputFile = BoxText(TxtRemoteSource);
    ResimulateOnInput = ChkResim->Value();
    InputInterval = seconds;
    AlarmsOn = ChkAlarm->Value();
    Shell().SetRealtimeTimerInterval(1, TimerIntervalOf(seconds).value_or(0));
    return true;
}

void frmRemote::VScStation_Change() {
    if (QLineEdit *refused = unreadableBox()) {
        // The refused station stays shown for mending.
        {
            const QSignalBlocker block(VScStation);
            VScStation->setValue(ShownStation);
        }
        // The message takes the mouse release from the scroll bar, whose arrow would go on repeating its
        // step, and the message with it, for ever: the bar rests while the message shows.
        VScStation->setEnabled(false);
        RefuseNumber(refused);
        VScStation->setEnabled(true);
        return;
    }
    OKSave(ShownStation);
    ShownStation = VScStation->value();
    OKLoad(ShownStation);
}

void frmRemote::storeAndClose() {
    ShownStation = VScStation->value();
    if (!OKSave(ShownStation))
        return;
    DefaultsSaved = 0;
    accept();
}

void frmRemote::cmdOK_Click() {
    storeAndClose();
}

void frmRemote::mnuExit_Click() {
    storeAndClose();
}

void frmRemote::CmdBrowse_Click() {
    VB::FileRequest request;
    // A relative path lies in the program folder, where the poll looks for it.
    request.initialDir = RealtimePath(FromQt(TxtRemoteSource->text()));
    request.filter = "Gustrom Remote Files (*.rem)|*.rem|All Files (*.*)|*.*";
    request.filterIndex = 1;
    request.mustExist = true;
    const std::optional<std::string> chosen = VB::FileDialog(request);
    DialogCancelled = !chosen || chosen->empty();
    // The path takes effect when the dialog is confirmed.
    if (!DialogCancelled)
        TxtRemoteSource->setText(ToQt(*chosen));
}

void frmRemote::mnuCopy_Click() {
    // A row whose multiplier or alarm does not read copies nothing, as storing would refuse it.
    if (QLineEdit *refused = unreadableBox(false)) {
        RefuseNumber(refused);
        return;
    }
    Copied = true;
    for (size_t r = 0; r < 5; ++r) {
        CopiedChannel &row = CopiedChannels[r];
        row.name = BoxText(TxtLngNames[r]);
        row.abbrev = BoxText(Abrev[r]);
        row.unit = BoxText(RUnits[r]);
        // An empty box leaves that copied value as it was.
        if (const auto v = BoxNumber(Mult[r]))
            row.factor = *v;
        if (const auto v = BoxNumber(ALow[r]))
            row.low = *v;
        if (const auto v = BoxNumber(AHigh[r]))
            row.high = *v;
    }
}

void frmRemote::mnuPaste_Click() {
    // Nothing copied yet: nothing to paste.
    if (!Copied)
        return;
    for (size_t r = 0; r < 5; ++r) {
        const CopiedChannel &row = CopiedChannels[r];
        TxtLngNames[r]->setText(ToQt(row.name));
        Abrev[r]->setText(ToQt(row.abbrev));
        RUnits[r]->setText(ToQt(row.unit));
        // Pasted alarms of 0 show as 0, so that they replace the target's limits.
        Mult[r]->setText(ToQt(NumberText(row.factor)));
        ALow[r]->setText(ToQt(NumberText(row.low)));
        AHigh[r]->setText(ToQt(NumberText(row.high)));
    }
}
