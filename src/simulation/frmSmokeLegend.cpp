#include "simulation/frmSmokeLegend.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "simulation/smoke_spread.h"
#include "simulation/smoke_windows.h"
#include "solver/smoke_ui.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

frmSmokeLegend::frmSmokeLegend(QWidget *parent) : QWidget(parent, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Smoke Spread");
    auto *layout = new QGridLayout(this);

    frmLegend = new QGroupBox("Legend", this);
    auto *classes = new QGridLayout(frmLegend);
    // Top class first, as the drawing colours them.
    const char *colours[6] = {"FFFFFF", "FFFF00", "FF0000", "C000C0", "0000FF", "008000"};
    for (int i = 0; i <= 5; ++i) {
        Percent[i] = new QLineEdit("0", frmLegend);
        Percent[i]->setObjectName(QString("Percent(%1)").arg(i));
        Percent[i]->installEventFilter(this);
        VB::DecimalKeyFilter::Install(Percent[i]);
        connect(Percent[i], &QLineEdit::returnPressed, this, [this] { CmdClearS->setFocus(); });
        classes->addWidget(ColourSwatch(colours[i], frmLegend), i, 0);
        classes->addWidget(Percent[i], i, 1);
    }
    LblNone = new QLabel("none", frmLegend);
    classes->addWidget(ColourSwatch("808080", frmLegend), 6, 0);
    classes->addWidget(LblNone, 6, 1);
    layout->addWidget(frmLegend, 0, 0);

    Slider = new QScrollBar(Qt::Vertical, this);
    layout->addWidget(Slider, 0, 1);
    Label1 = new QLabel("Time", this);
    LblTimer = new QLabel(this);
    layout->addWidget(Label1, 1, 0);
    layout->addWidget(LblTimer, 1, 1);
    // A thumb drag only shows the time; the display follows when the value is set.
    connect(Slider, &QScrollBar::valueChanged, this, [this] {
        if (Slider->isSliderDown())
            Slider_Scroll();
        else
            Slider_Change();
    });
    connect(Slider, &QScrollBar::sliderReleased, this, [this] { Slider_Change(); });

    auto *buttons = new QVBoxLayout;
    CmdClearS = new QPushButton("Clear Smoke", this);
    CmdClearSources = new QPushButton("Clear Sources", this);
    CmdExit = new QPushButton("Exit", this);
    for (QPushButton *b : {CmdClearS, CmdClearSources, CmdExit})
        buttons->addWidget(b);
    layout->addLayout(buttons, 2, 0, 1, 2);
    connect(CmdClearS, &QPushButton::clicked, this, [this] { CmdClearS_Click(); });
    connect(CmdClearSources, &QPushButton::clicked, this, [this] { CmdClearSources_Click(); });
    connect(CmdExit, &QPushButton::clicked, this, [this] { CmdExit_Click(); });
    VB_NAME_CONTROLS(frmLegend, LblNone, Label1, LblTimer, Slider, CmdClearS, CmdClearSources, CmdExit);
    VB::NameControlArray(Percent, "Percent");
}

void frmSmokeLegend::CmdClearS_Click() {
    if (SmokeMode == 0) {
        SmokeMode = 1;
        CmdClearS->setText("Clear Smoke");
        frmLegend->setEnabled(true);
        ShowSmokeDialog();
    } else {
        SmokeMode = 0;
        CmdClearS->setText("Show Smoke");
        frmLegend->setEnabled(false);
    }
    Redraw();
}

void frmSmokeLegend::CmdClearSources_Click() {
    if (VB::MsgBox("Clear contaminant sources ?", VB::vbYesNo | VB::vbQuestion, "CLEAR CONTAMINANTS") ==
        VB::vbYes)
        ClearContaminantSources();
    Redraw();
}

void frmSmokeLegend::CmdExit_Click() {
    SmokeDisplayTime = 0;
    SmokeMode = 0;
    Smoke().UnloadLegend();
    VB::DoEvents();
    RedrawAll();
}

void frmSmokeLegend::Percent_LostFocus(int index) {
    const double typed = VB::Val(FromQt(Percent[index]->text()));
    if (SmokeLegendLevel.InBounds(index) && typed == SmokeLegendLevel(index))
        return;
    for (int i = 0; i <= 5; ++i)
        SmokeLegendLevel(i) = static_cast<float>(VB::Val(FromQt(Percent[i]->text())));
    Redraw();
}

void frmSmokeLegend::showTime() {
    LblTimer->setText(ToQt(SmokeTimeText(Slider->value())));
}

void frmSmokeLegend::Slider_Change() {
    // 0 would mean no time limit: the slider's start shows the first second.
    SmokeDisplayTime = Slider->value() == 0 ? 1 : Slider->value();
    showTime();
    PrepareDrawing();
    if (!SmokeBusy) {
        DrawAirwayLines();
        DrawNetwork();
    }
}

void frmSmokeLegend::Slider_Scroll() {
    showTime();
    VB::DoEvents();
}

void frmSmokeLegend::Form_Unload() {
    RestoreSavedDataType();
    SmokeBusy = false;
}

void frmSmokeLegend::closeEvent(QCloseEvent *event) {
    Form_Unload();
    if (Unloaded)
        Unloaded();
    QWidget::closeEvent(event);
}

bool frmSmokeLegend::eventFilter(QObject *watched, QEvent *event) {
    for (int i = 0; i <= 5; ++i) {
        if (watched != Percent[i])
            continue;
        if (event->type() == QEvent::FocusIn)
            Percent[i]->selectAll();
        else if (event->type() == QEvent::FocusOut)
            Percent_LostFocus(i);
    }
    return QWidget::eventFilter(watched, event);
}
