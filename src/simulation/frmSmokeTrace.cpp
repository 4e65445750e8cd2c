#include "simulation/frmSmokeTrace.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/tool_state.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/MouseInput.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "simulation/smoke_spread.h"
#include "simulation/smoke_windows.h"
#include "solver/smoke_ui.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int ContaminantSourceTool = 11;

} // namespace

frmSmokeTrace::frmSmokeTrace(QWidget *parent) : QWidget(parent, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Smoke Source");
    auto *layout = new QVBoxLayout(this);
    Frm2 = new QGroupBox("Smoke Legend", this);
    auto *key = new QGridLayout(Frm2);
    const struct {
        const char *caption, *rgb;
    } marks[] = {{"Smoke", "FF0000"}, {"Potential", "FFFF00"}, {"Clear", "00FFFF"}};
    int row = 0;
    for (const auto &mark : marks) {
        key->addWidget(ColourSwatch(mark.rgb, Frm2), row, 0);
        key->addWidget(new QLabel(mark.caption, Frm2), row, 1);
        ++row;
    }
    layout->addWidget(Frm2);
    CmdSim = new QPushButton("Clear Trace", this);
    CmdClearS = new QPushButton("Clear Pins", this);
    CmdExit = new QPushButton("Exit", this);
    for (QPushButton *b : {CmdSim, CmdClearS, CmdExit})
        layout->addWidget(b);
    connect(CmdSim, &QPushButton::clicked, this, [this] { CmdSim_Click(); });
    connect(CmdClearS, &QPushButton::clicked, this, [this] { CmdClearS_Click(); });
    connect(CmdExit, &QPushButton::clicked, this, [this] { CmdExit_Click(); });
    // Form_Load: the graphics windows show the current tool's cursor.
    SetToolCursor(1);
    VB_NAME_CONTROLS(Frm2, CmdSim, CmdClearS, CmdExit);
}

void frmSmokeTrace::Form_MouseDown(int button) {
    SmokeReportKind = button;
    Rotating = 0;
    if (ToolCode != ContaminantSourceTool)
        PreviousToolCode = ToolCode;
    ToolCode = ContaminantSourceTool;
    Shell().RunToolCommand();
    SetToolCursor(1);
    EditSubMode = 0;
}

void frmSmokeTrace::Form_MouseUp(int button) {
    if (button == SmokeReportKind)
        Form_MouseDown(button);
}

void frmSmokeTrace::CmdSim_Click() {
    // The marks of the last trace are shown again; nothing is recomputed.
    if (SmokeMode != 0) {
        SmokeMode = 0;
        CmdSim->setText("Show Traces");
    } else {
        SmokeMode = 2;
        CmdSim->setText("Clear Traces");
    }
    RedrawAll();
}

void frmSmokeTrace::CmdClearS_Click() {
    if (VB::MsgBox("Confirm deletion of all report pins", VB::vbYesNo | VB::vbQuestion,
                   "Delete smoke reports") == VB::vbNo)
        return;
    ClearSmokeReports();
    SmokeMode = 0;
    CmdSim->setText("Show Traces");
    RedrawAll();
}

void frmSmokeTrace::CmdExit_Click() {
    SmokeMode = 0;
    Smoke().UnloadTrace();
    VB::DoEvents();
    RedrawAll();
}

void frmSmokeTrace::mousePressEvent(QMouseEvent *event) {
    Form_MouseDown(VB::MouseButtonValue(event->button()));
}

void frmSmokeTrace::mouseReleaseEvent(QMouseEvent *event) {
    Form_MouseUp(VB::MouseButtonValue(event->button()));
}

void frmSmokeTrace::closeEvent(QCloseEvent *event) {
    if (Unloaded)
        Unloaded();
    QWidget::closeEvent(event);
}
