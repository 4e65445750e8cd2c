#include "simulation/frmSimForm.h"

#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

frmSimForm::frmSimForm(QWidget *parent) : QWidget(parent, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Simulate");
    Label1 = new QLabel("Progress", this);
    ProgBar = new QProgressBar(this);
    ProgBar->setObjectName("ProgBar");
    ProgBar->setRange(0, 100);
    ProgBar->setTextVisible(false);
    Lbl1 = new QLabel("Attempt Number :", this);
    LblItt = new QLabel(this);
    Lbl2 = new QLabel("Maximum Error :", this);
    LblError = new QLabel(this);
    Command1 = new QPushButton("Cancel", this);
    auto *grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 2);
    grid->addWidget(ProgBar, 1, 0, 1, 2);
    grid->addWidget(Lbl1, 2, 0);
    grid->addWidget(LblItt, 2, 1);
    grid->addWidget(Lbl2, 3, 0);
    grid->addWidget(LblError, 3, 1);
    grid->addWidget(Command1, 4, 0, 1, 2, Qt::AlignHCenter);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    Lbl1->hide();
    Lbl2->hide();
    resize(320, 150);
    VB::CentreOnMainWindow(*this);
    VB_NAME_CONTROLS(Label1, Lbl1, LblItt, Lbl2, LblError, ProgBar, Command1);
}

void frmSimForm::SetStage(const QString &caption) {
    setWindowTitle(caption);
}

void frmSimForm::SetProgress(int percent) {
    ProgBar->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
}

void frmSimForm::ShowBalanceLabels() {
    Lbl1->show();
    Lbl2->show();
}

void frmSimForm::SetSweepFigures(const QString &sweep, const QString &largestCorrection) {
    LblItt->setText(sweep);
    LblError->setText(largestCorrection);
}

void frmSimForm::Unload() {
    close();
}

void frmSimForm::Command1_Click() {
    RunState = 255;
    Unload();
    Redraw();
}

bool frmSimForm::event(QEvent *e) {
    // A window left over from a run that is already over or stopped goes away when it is next activated.
    if (e->type() == QEvent::WindowActivate && RunState != 0) {
        const bool handled = QWidget::event(e);
        Unload();
        Redraw();
        return handled;
    }
    return QWidget::event(e);
}
