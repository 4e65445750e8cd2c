#include "dialogs/frmShock.h"

#include "dialogs/dialog_state.h"
#include "dialogs/dialog_support.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

namespace {

struct ShockType {
    const char *caption;
    int length; // m
};

constexpr std::array<ShockType, frmShock::Types> shockTypes{{
    {"Bend, acute, round", 1},
    {"Bend, acute, sharp", 45},
    {"Bend, right, round", 1},
    {"Bend, right, sharp", 20},
    {"Bend, obtuse, round", 1},
    {"Bend, obtuse, sharp", 5},
    {"Contraction, gradual", 1},
    {"Contraction, abrupt", 3},
    {"Expansion, gradual", 1},
    {"Expansion, abrupt", 6},
    {"Splitting, straight branch", 10},
    {"Splitting, deflected branch", 60},
    {"Junction, straight branch", 20},
    {"Junction, deflected branch", 10},
    {"Obstruction 20% area", 30},
    {"Obstruction 40% area", 150},
    {"Doorway, open", 20},
    {"Overcast airway", 20},
    {"Inlet", 6},
    {"Discharge", 20},
}};

double leadingNumber(const QLineEdit *box) {
    return VB::Val(FromQt(box->text()), VB::LocaleDecimalSeparator());
}

// A count as typed: the whole box a number ("2x" is none, NaN); an empty box is 0.
double typedCount(const QLineEdit *box) {
    const std::string text = FromQt(box->text());
    return Trim(text).empty() ? 0 : VB::StrictNumber(text, ',').value_or(std::nan(""));
}

} // namespace

frmShock::frmShock(QWidget *parent) : CancelOnClose(parent) {
    setWindowTitle("Shock Calculator");
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Shock Type", this), 0, 0);
    grid->addWidget(new QLabel("No.", this), 0, 1);
    grid->addWidget(new QLabel("Shock Type", this), 0, 2);
    grid->addWidget(new QLabel("No.", this), 0, 3);
    for (int i = 0; i < Types; ++i) {
        const auto index = static_cast<size_t>(i);
        ChkShockType[index] = new VBCheckBox(shockTypes[index].caption, this);
        LblNumS[index] = new QLineEdit(this);
        LblNumS[index]->setMaximumWidth(50);
        const int row = 1 + i % 10, column = i < 10 ? 0 : 2;
        grid->addWidget(ChkShockType[index], row, column);
        grid->addWidget(LblNumS[index], row, column + 1);
        connect(ChkShockType[index], &VBCheckBox::Click, this, [this, i] { ChkShockType_Click(i); });
        LblNumS[index]->installEventFilter(this);
    }
    grid->addWidget(new QLabel("Shock Total", this), 11, 0);
    LblShockTotal = new QLabel(this);
    grid->addWidget(LblShockTotal, 11, 1);
    auto *note =
        new QLabel("Note : Shock losses to be included in airway following a change, except discharge "
                   "which should precede a change.",
                   this);
    note->setWordWrap(true);
    grid->addWidget(note, 12, 0, 1, 4);
    auto *source = new QLabel("Equivalent lengths after a published mine ventilation handbook (1997).", this);
    source->setWordWrap(true);
    grid->addWidget(source, 13, 0, 1, 4);
    CmdUpdate = new QPushButton("Update", this);
    cmdOK = new QPushButton("OK", this);
    Command2 = new QPushButton("Cancel", this);
    for (QPushButton *button : {CmdUpdate, cmdOK, Command2})
        button->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {CmdUpdate, cmdOK, Command2})
        buttons->addWidget(button);
    grid->addLayout(buttons, 14, 0, 1, 4);
    connect(CmdUpdate, &QPushButton::clicked, this, [this] { ReCalc(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    Form_Load();
    adjustSize();
    VB::CentreOnMainWindow(*this);
    VB_NAME_CONTROLS(LblShockTotal, CmdUpdate, cmdOK, Command2);
    VB::NameControlArray(ChkShockType, "ChkShockType");
    VB::NameControlArray(LblNumS, "LblNumS");
}

void frmShock::Form_Load() {
    for (int i = 0; i < Types; ++i) {
        EquivalentLength[static_cast<size_t>(i)] = shockTypes[static_cast<size_t>(i)].length;
        LblNumS[static_cast<size_t>(i)]->setText("0");
    }
    LblShockTotal->setText("0");
    ShockTotal = 0;
}

QLineEdit *frmShock::ReCalc() {
    ShockTotal = 0;
    QLineEdit *refused = nullptr;
    for (int i = 0; i < Types; ++i) {
        const auto index = static_cast<size_t>(i);
        const int ticked = ChkShockType[index]->Value();
        double count = typedCount(LblNumS[index]);
        // A count that is not a whole number of fittings is said and counts for nothing; the box keeps what
        // was typed, selected for its correction.
        if (ticked != 0 && !InRange(Value::ShockCount, count)) {
            count = 0;
            if (refused == nullptr)
                refused = LblNumS[index];
            LblNumS[index]->selectAll();
            VB::MsgBox(RangeText(Value::ShockCount), VB::vbExclamation);
        }
        // The length as the length format shows it in display units.
        const double length =
            VB::Val(FormatValue(static_cast<float>(EquivalentLength[index]), Quantity::Length, 0, 0),
                    VB::LocaleDecimalSeparator());
        ShockTotal += static_cast<float>(length * ticked * count);
    }
    LblShockTotal->setText(ToQt(FormatPattern(ShockTotal, "0")));
    return refused;
}

void frmShock::ChkShockType_Click(int index) {
    const auto i = static_cast<size_t>(index);
    const double count = leadingNumber(LblNumS[i]);
    if (ChkShockType[i]->isChecked()) {
        if (count == 0 && !TypingCount)
            LblNumS[i]->setText("1");
    } else {
        LblNumS[i]->setText("0");
    }
    ReCalc();
}

bool frmShock::eventFilter(QObject *watched, QEvent *event) {
    int index = -1;
    for (int i = 0; i < Types; ++i)
        if (watched == LblNumS[static_cast<size_t>(i)])
            index = i;
    if (index < 0)
        return QDialog::eventFilter(watched, event);
    QLineEdit *box = LblNumS[static_cast<size_t>(index)];
    switch (event->type()) {
    case QEvent::FocusIn:
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason)
            ReCalc();
        break;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            break;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            ReCalc();
        // A count typed into a row ticks it and keeps the count being typed.
        TypingCount = true;
        ChkShockType[static_cast<size_t>(index)]->SetValue(true);
        TypingCount = false;
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmShock::cmdOK_Click() {
    // A refused count keeps the calculator open on its box: no total goes to the airway without it.
    if (QLineEdit *refused = ReCalc()) {
        refused->setFocus(Qt::OtherFocusReason);
        refused->selectAll();
        return;
    }
    SubDialogOpen = false;
    Unload(QDialog::Accepted);
}

// Every way of closing without OK leaves no total, and the edit dialog takes its focus back.
void frmShock::Command2_Click() {
    ShockTotal = 0;
    SubDialogOpen = false;
    Unload(QDialog::Rejected);
}
