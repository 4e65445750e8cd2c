#include "simulation/frmSmoke.h"

#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"
#include "simulation/smoke_spread.h"
#include "solver/smoke_ui.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmSmoke::frmSmoke(QWidget *parent) : QWidget(parent, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Smoke Simulation");
    auto *grid = new QGridLayout(this);
    auto figure = [&](QLabel *&label, QLineEdit *&box, const char *caption, int row) {
        label = new QLabel(caption, this);
        box = new QLineEdit(this);
        box->setReadOnly(true);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
    };
    figure(Label2, TxtItt, "Iteration", 0);
    figure(Label3, TxtRate, "Smoke Rate", 1);
    figure(Label4, TxtSpread, "Spread", 2);
    figure(Label5, TxtErr, "Convergence", 3);

    // The spread reads the setting, not these options: they only show it.
    auto *sources = new QGroupBox(this);
    auto *sourceLayout = new QVBoxLayout(sources);
    Label1 = new QLabel("Simulation Sources", sources);
    sourceLayout->addWidget(Label1);
    const char *options[2] = {"Fixed", "Cumulative"};
    for (int i = 0; i < 2; ++i) {
        OptSimSource[i] = new QRadioButton(options[i], sources);
        OptSimSource[i]->setEnabled(false);
        sourceLayout->addWidget(OptSimSource[i]);
    }
    OptSimSource[SmokeSourceMode != 0 ? 1 : 0]->setChecked(true);
    grid->addWidget(sources, 4, 0, 1, 2);

    ChkRetain = new QCheckBox("Retain Legend", this);
    grid->addWidget(ChkRetain, 5, 0, 1, 2);
    OK = new QPushButton("Simulate", this);
    Cancel = new QPushButton("Cancel", this);
    grid->addWidget(OK, 6, 0);
    grid->addWidget(Cancel, 6, 1);
    connect(OK, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { Cancel_Click(); });
    adjustSize();
    VB::CentreOnMainWindow(*this);
    VB_NAME_CONTROLS(Label1, Label2, Label3, Label4, Label5, TxtItt, TxtRate, TxtSpread, TxtErr, ChkRetain,
                     OK, Cancel);
    VB::NameControlArray(OptSimSource, "OptSimSource");
}

void frmSmoke::OK_Click() {
    VB::SetScreenPointer(VB::vbHourglass);
    SmokeSimulate();
    VB::SetScreenPointer(VB::vbDefault);
    Smoke().UnloadDialog();
}

void frmSmoke::Cancel_Click() {
    // A running spread stops at its next airway and shows what it has reached.
    RunState = 255;
    SmokeMode = 0;
    Smoke().UnloadDialog();
    Smoke().UnloadLegend();
    for (int a = 1; a <= AirwayCount; ++a)
        if ((AirwayFlags(a) & AirwayFlag::ContaminantSource) == 0)
            AirwayContaminant(a) = 0;
    Redraw();
}

void frmSmoke::closeEvent(QCloseEvent *event) {
    if (Unloaded)
        Unloaded();
    QWidget::closeEvent(event);
}
