#include "exchange/frmSummary.h"

#include "exchange/network_summary.h"
#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/Printer.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"
#include "settings/button_pictures.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Quantities of the unit tables.
constexpr int Airflow = 4, Resistance = 5, Power = 7, Coordinates = 14;

std::string unitName(int quantity) {
    return UnitText(quantity, UnitSystem == 2 ? 2 : 1);
}

// A figure that cannot be shown (overflow, division by nothing) leaves its label empty.
void showFigure(QLabel *label, double value, int quantity) {
    if (std::isfinite(static_cast<float>(value)))
        label->setText(ToQt(FormatValue(static_cast<float>(value), quantity, 0, 0)));
}

// "$#,##0": whole dollars with groups of three.
std::string dollars(double amount) {
    std::string digits = std::to_string(static_cast<long long>(std::fabs(amount)));
    const char group = DecimalSeparator == ',' ? '.' : ',';
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), 1, group);
    return (amount < 0 ? "-$" : "$") + digits;
}

} // namespace

frmSummary::frmSummary(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Network Summary");
    auto *frame = new QGroupBox("Network Summary", this);
    auto *grid = new QGridLayout(frame);
    const struct {
        const char *caption;
        QLabel **value;
        int unit;
    } rows[9] = {{"Total Airflow", &LblAF, 0},       {"Mine Resistance", &LblResist, 4},
                 {"Total Air Power", &LblAP, 1},     {"Network Input Power", &LblIP, 2},
                 {"Network Efficiency", &LblEff, 3}, {"Annual Power Cost", &LblCost, 5},
                 {"Number of Airways", &LblNA, 6},   {"Number of Fans", &LblNF, 8},
                 {"Length of Airways", &LblLA, 7}};
    for (int r = 0; r < 9; ++r) {
        *rows[r].value = new QLabel(frame);
        (*rows[r].value)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        (*rows[r].value)->setMinimumWidth(90);
        LblUnit[static_cast<size_t>(rows[r].unit)] = new QLabel(frame);
        grid->addWidget(new QLabel(rows[r].caption, frame), r, 0);
        grid->addWidget(*rows[r].value, r, 1);
        grid->addWidget(LblUnit[static_cast<size_t>(rows[r].unit)], r, 2);
    }
    OK = new QPushButton("OK", this);
    Prnter = NewPrintButton(this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Prnter);
    buttons->addStretch();
    buttons->addWidget(OK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    connect(OK, &QPushButton::clicked, this, &frmSummary::OK_Click);
    connect(Prnter, &QPushButton::clicked, this, &frmSummary::Prnter_Click);
    Form_Load();
    VB_NAME_CONTROLS(LblAF, LblResist, LblAP, LblIP, LblEff, LblCost, LblNA, LblNF, LblLA, OK, Prnter);
    VB::NameControlArray(LblUnit, "LblUnit");
}

void frmSummary::Form_Load() {
    adjustSize();
    VB::CentreOnMainWindow(*this);
    LblUnit[0]->setText(ToQt(unitName(Airflow)));
    LblUnit[4]->setText(ToQt(unitName(Resistance)));
    LblUnit[1]->setText(ToQt(unitName(Power)));
    LblUnit[2]->setText(ToQt(unitName(Power)));
    LblUnit[7]->setText(ToQt(unitName(Coordinates)));

    const NetworkSummary s = SumNetwork();
    showFigure(LblAF, VB::Int(s.totalAirflow), Airflow);
    showFigure(LblAP, VB::Int(s.airPower / 1000), Power);
    showFigure(LblIP, VB::Int(s.inputPower / 1000), Power);
    if (s.inputPower != 0 && std::isfinite(s.airPower / s.inputPower))
        LblEff->setText(QString::number(std::lround(s.airPower / s.inputPower * 100)) + " %");
    if (s.totalAirflow != 0)
        showFigure(LblResist, s.airPower / (s.totalAirflow * s.totalAirflow * s.totalAirflow), Resistance);
    const double cost = VB::Int(s.inputPower / 1000 * PowerCost * 24 * 365);
    if (std::isfinite(cost) && std::fabs(cost) < 1e18)
        LblCost->setText(ToQt(dollars(cost)));
    LblNA->setText(QString::number(AirwayCount));
    showFigure(LblLA, s.totalLength, Coordinates);
    LblNF->setText(ToQt(VB::CStrSingle(static_cast<float>(s.fanCount))));
}

void frmSummary::OK_Click() {
    close();
    Redraw();
}

void frmSummary::Prnter_Click() {
    // A failed print ends the click without a word.
    VB::PrintWindowImage(*this, CurrentLine);
}
