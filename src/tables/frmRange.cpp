#include "tables/frmRange.h"

#include "model/Gustrom1.h"
#include "model/levels_views.h"
#include "platform/ShellHooks.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

frmRange::frmRange(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Select Range");
    auto *layout = new QGridLayout(this);
    Label1 = new QLabel("From", this);
    Label2 = new QLabel("To", this);
    CmbRL1 = new VBComboBox(this);
    CmbRL2 = new VBComboBox(this);
    Command1 = new QPushButton("OK", this);
    Command2 = new QPushButton("Cancel", this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(CmbRL1, 0, 1);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(CmbRL2, 1, 1);
    layout->addWidget(Command1, 2, 0);
    layout->addWidget(Command2, 2, 1);
    CmbRL1->setMinimumWidth(160);
    connect(Command1, &QPushButton::clicked, this, &frmRange::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmRange::Command2_Click);
    VB_NAME_CONTROLS(CmbRL1, CmbRL2, Label1, Label2, Command1, Command2);
}

void frmRange::Form_Load() {
    VB::CentreOnMainWindow(*this);
    CmbRL1->clear();
    CmbRL2->clear();
    for (const std::string &name : LevelListNames()) {
        CmbRL1->addItem(ToQt(name));
        CmbRL2->addItem(ToQt(name));
    }
    const int shown = Shell().LevelListGetIndex();
    CmbRL1->setCurrentIndex(shown < CmbRL1->count() ? shown : -1);
    CmbRL2->setCurrentIndex(shown < CmbRL2->count() ? shown : -1);
}

void frmRange::Command1_Click() {
    const int from = CmbRL1->ListIndex(), to = CmbRL2->ListIndex();
    // Only a range between two listed levels is taken.
    if (from >= 0 && to >= 0) {
        const int32_t top = LevelRange(from + 1, 1);
        WorkingElevation = static_cast<float>(LevelRange(to + 1, 2));
        const auto bottom = VB::ClampToInt<int32_t>(VB::RoundHalfEven(WorkingElevation));
        RLWindowHigh = std::max(top, bottom);
        RLWindowLow = std::min(top, bottom);
    }
    accept();
}

void frmRange::Command2_Click() {
    reject();
}

void ShowRangeChooser(QWidget *owner) {
    frmRange window(owner);
    window.Form_Load();
    VB::ShowModal(window);
}
