#include "simulation/frmError.h"

#include "graphics/drawing.h"
#include "graphics/locate.h"
#include "model/Gustrom1.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

// A tool window of the main window, so that it stays above it.
frmError::frmError(QWidget *mainWindow) : QWidget(mainWindow, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Sim Fail Error List");
    NET = new QLabel("Network Errors", this);
    Errorlist = new QListWidget(this);
    Errorlist->setObjectName("Errorlist");
    Command2 = new QPushButton("Goto", this);
    Command1 = new QPushButton("Cancel", this);
    auto *grid = new QGridLayout(this);
    grid->addWidget(NET, 0, 0, 1, 2);
    grid->addWidget(Errorlist, 1, 0, 1, 2);
    grid->addWidget(Command2, 2, 0);
    grid->addWidget(Command1, 2, 1);
    connect(Errorlist->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { fitLines(first, last); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    resize(300, 260);
    QRect area;
    if (mainWindow)
        area = VB::WorkArea(*mainWindow);
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        VB::PlaceInLowerRight(*this, area);
    VB_NAME_CONTROLS(NET, Errorlist, Command2, Command1);
}

void frmError::fitLines(int first, int last) {
    // Every line is read whole, without scrolling: the window widens to the longest, its right edge kept.
    int widest = 0;
    for (int row = first; row <= last; ++row)
        widest = std::max(widest, Errorlist->sizeHintForIndex(Errorlist->model()->index(row, 0)).width());
    const QMargins margins = layout()->contentsMargins();
    const int needed = widest + 2 * Errorlist->frameWidth() +
                       Errorlist->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right();
    if (needed <= width())
        return;
    const int grown = needed - width();
    resize(needed, height());
    if (isVisible()) {
        move(pos() - QPoint(grown, 0));
        VB::KeepOnScreen(*this);
    }
}

void frmError::Unload() {
    unloading_ = true;
    close();
}

void frmError::Command1_Click() {
    RunState = 255;
    if (onStop)
        onStop();
    Unload();
    Redraw();
}

void frmError::closeEvent(QCloseEvent *e) {
    // Closed from its close box: the same as "Cancel".
    if (!unloading_) {
        RunState = 255;
        if (onStop)
            onStop();
        Redraw();
    }
    QWidget::closeEvent(e);
}

void frmError::Command2_Click() {
    const QListWidgetItem *item = Errorlist->currentItem();
    const std::string text = item ? FromQt(item->text()) : std::string();
    const double number = VB::Fix(VB::Val(text));
    // A line whose number matches no airway names nothing to show.
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwayNumber(a) != number)
            continue;
        LocateByName(3, a);
        SearchKind = 1;
        return;
    }
}
