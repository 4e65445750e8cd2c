#include "dialogs/frmFanEdit.h"

#include "dialogs/dialog_support.h"
#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

double leadingNumber(const QLineEdit *box) {
    return VB::Val(FromQt(box->text()), VB::LocaleDecimalSeparator());
}

} // namespace

frmFanEdit::frmFanEdit(QWidget *parent) : CancelOnClose(parent) {
    setWindowTitle("Fan Edit");
    FrmFan = new QGroupBox(this);
    auto *fan = new QGridLayout(FrmFan);
    FanCombo2 = new VBComboBox(FrmFan);
    TxtFanN = new QLineEdit(FrmFan);
    VSF = new QScrollBar(Qt::Vertical, FrmFan);
    VSF->setRange(0, 10);
    VSF->setFixedHeight(36);
    fan->addWidget(new QLabel("Fan", FrmFan), 0, 0);
    fan->addWidget(FanCombo2, 0, 1, 1, 2);
    fan->addWidget(new QLabel("No", FrmFan), 1, 0);
    fan->addWidget(TxtFanN, 1, 1);
    fan->addWidget(VSF, 1, 2);
    Frame2 = new QGroupBox(FrmFan);
    auto *arrangement = new QVBoxLayout(Frame2);
    OptSer2 = new VBOptionButton("Series", Frame2);
    OptPar2 = new VBOptionButton("Parallel", Frame2);
    arrangement->addWidget(OptSer2);
    arrangement->addWidget(OptPar2);
    fan->addWidget(Frame2, 2, 0, 1, 3);
    Frame1 = new QGroupBox(this);
    auto *curve = new QGridLayout(Frame1);
    const char *captions[] = {"Static curve", "Total curve", "Combo curve"};
    for (int i = 0; i < 3; ++i) {
        OptCurveType[static_cast<size_t>(i)] = new VBOptionButton(captions[i], Frame1);
        curve->addWidget(OptCurveType[static_cast<size_t>(i)], i, 0, 1, 2);
        connect(OptCurveType[static_cast<size_t>(i)], &VBOptionButton::Click, this,
                [this, i] { OptCurveType_Click(i); });
    }
    TxtVPart = new QLineEdit(Frame1);
    TxtVPart->setToolTip("% of useful velocity pressure");
    LblCPart = new QLabel("% Pv", Frame1);
    LblCPart->setToolTip("Percentage Velocity Pressure");
    curve->addWidget(TxtVPart, 3, 0);
    curve->addWidget(LblCPart, 3, 1);
    TxtVPart->hide();
    LblCPart->hide();
    Command1 = new QPushButton("OK", this);
    Command2 = new QPushButton("Cancel", this);
    for (QPushButton *b : {Command1, Command2})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *whole = new QVBoxLayout(this);
    whole->addWidget(FrmFan);
    whole->addWidget(Frame1);
    whole->addLayout(buttons);

    TxtFanN->installEventFilter(this);
    connect(FanCombo2, &VBComboBox::Click, this, [this] { FanCombo2_Click(); });
    connect(VSF, &QScrollBar::valueChanged, this, [this] { VSF_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    Form_Load();
    adjustSize();
    VB::CentreOnMainWindow(*this);
    VB_NAME_CONTROLS(FrmFan, Frame1, Frame2, FanCombo2, TxtFanN, TxtVPart, VSF, OptSer2, OptPar2, LblCPart,
                     Command1, Command2);
    VB::NameControlArray(OptCurveType, "OptCurveType");
}

void frmFanEdit::Form_Load() {
    const int a = CurrentAirway;
    // A load step that fails is reported and the next one runs.
    auto step = [](auto &&body) {
        try {
            body();
        } catch (const VBError &) {
            VB::MsgBox("Error detected in Fan Database");
        }
    };
    // Held to the curves the fan has, as OK holds a typed one: a stored value outside would select no
    // curve and leave nothing to confirm.
    const int percent = std::clamp(AirwayFan(a) != 0 ? AirwayCurvePercent(a) : DefaultCurvePercent, 0, 100);
    const int curve = percent == 0 ? 0 : percent == 100 ? 1 : percent >= 1 && percent <= 99 ? 2 : -1;
    if (curve >= 0) {
        OptCurveType[static_cast<size_t>(curve)]->SetValue(true);
        TxtVPart->setText(QString::number(percent));
    }
    FillFanList(*FanCombo2);
    if (AirwayFan(a) > 0) {
        const int entry = FindFanEntry(*FanCombo2, AirwayFan(a));
        if (entry < 0) {
            VB::MsgBox("Fan not detected in fan database");
            return;
        }
        FanCombo2->SetListIndex(entry);
    } else {
        FanCombo2->SetListIndex(0);
    }
    TxtFanN->setText(QString::number(AirwayFanCount(a)));
    if ((AirwayFlags(a) & AirwayFlag::FansInSeries) != 0 && AirwayFan(a) != 0)
        OptSer2->SetValue(true);
    else
        OptPar2->SetValue(true);
    step([&] {
        const int value = 10 - AirwayFanCount(a);
        if (value < VSF->minimum() || value > VSF->maximum())
            throw VBError(VBErr::InvalidPropertyValue, "fan count beyond the spinner");
        VSF->setValue(value);
    });
}

void frmFanEdit::FanCombo2_Click() {
    if (FanCombo2->ListIndex() > 0 && leadingNumber(TxtFanN) == 0)
        TxtFanN->setText("1");
}

void frmFanEdit::VSF_Change() {
    TxtFanN->setText(QString::number(10 - VSF->value()));
}

void frmFanEdit::OptCurveType_Click(int index) {
    TxtVPart->setVisible(index == 2);
    LblCPart->setVisible(index == 2);
    if (index == 0) {
        TxtVPart->setText("0");
    } else if (index == 1) {
        TxtVPart->setText("100");
    } else {
        const bool combined = DefaultCurvePercent >= 1 && DefaultCurvePercent <= 99;
        TxtVPart->setText(combined ? QString::number(DefaultCurvePercent) : "50");
        DefaultCurvePercent = TxtVPart->text().toInt();
    }
}

bool frmFanEdit::eventFilter(QObject *watched, QEvent *event) {
    if (watched == TxtFanN && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, TxtFanN, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void frmFanEdit::Command1_Click() {
    const int a = CurrentAirway;
    // Both numbers are read before anything is written, so a refused entry leaves the airway alone.
    // Whole numbers as typed: a fraction, or a blend beyond the total curve or below the static one, is
    // refused, not rounded or held.
    int percent = 0, count = 0;
    try {
        percent = static_cast<int>(TypedValue(Value::CurvePercent, FromQt(TxtVPart->text()), 0));
        const std::string fans = Trim(FromQt(TxtFanN->text()));
        count = fans.empty() ? 0 : static_cast<int>(TypedValue(Value::FanCount, fans, 0));
    } catch (const VBError &e) {
        ShowDataEntryError(e);
        return;
    }
    AirwayCurvePercent(a) = percent;
    if (count == 0) {
        if (AirwayFan(a) != -1)
            AirwayFan(a) = 0;
    } else {
        if (AirwayFan(a) == 0)
            AirwayCurvePercent(a) = std::clamp(DefaultCurvePercent, 0, 100);
        AirwayFan(a) = FanEntryNumber(FromQt(FanCombo2->currentText()));
        AirwayFlags(a) |= AirwayFlag::FixedDirection;
    }
    if (AirwayFan(a) < 1)
        AirwayFanCount(a) = 0;
    else
        AirwayFanCount(a) = std::max(1, count);
    if (OptSer2->Value())
        AirwayFlags(a) |= AirwayFlag::FansInSeries;
    else
        AirwayFlags(a) &= ~AirwayFlag::FansInSeries;
    unload(QDialog::Accepted);
}

void frmFanEdit::Command2_Click() {
    unload(QDialog::Rejected);
}

void frmFanEdit::unload(int result) {
    Unload(result);
    PickedAirway = 0;
    Redraw();
}
