#include "settings/frmSelLevel.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QLabel>

frmSelLevel::frmSelLevel(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Selected Levels");
    RLFrom = new QListWidget(this);
    RLTo = new QListWidget(this);
    OK = new QPushButton("OK", this);
    Command1 = new QPushButton("CANCEL", this);
    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel("Available Levels", this), 0, 0);
    layout->addWidget(new QLabel("Selected Levels", this), 0, 1);
    layout->addWidget(RLFrom, 1, 0);
    layout->addWidget(RLTo, 1, 1);
    layout->addWidget(OK, 2, 0);
    layout->addWidget(Command1, 2, 1);
    connect(RLFrom, &QListWidget::itemDoubleClicked, this, [this] { RLFrom_DblClick(); });
    connect(OK, &QPushButton::clicked, this, &frmSelLevel::OK_Click);
    connect(Command1, &QPushButton::clicked, this, &frmSelLevel::Command1_Click);
    Form_Load();
    VB_NAME_CONTROLS(RLFrom, RLTo, OK, Command1);
}

void frmSelLevel::Form_Load() {
    adjustSize();
    VB::CentreOnMainWindow(*this);
    moves_ = 0;
    for (int level = 1; level <= 249; ++level)
        if (LevelName.InBounds(level) && !LevelName(level).empty()) {
            auto *item = new QListWidgetItem(ToQt(LevelName(level)), RLFrom);
            item->setData(Qt::UserRole, level);
        }
}

void frmSelLevel::RLFrom_DblClick() {
    // Nothing selected: nothing to move, and no move counted.
    QListWidgetItem *item = RLFrom->currentItem();
    if (item == nullptr)
        return;
    if (++moves_ >= 7) {
        VB::MsgBox("Maximum of only 6 selected levels allowed!");
        return;
    }
    RLTo->addItem(RLFrom->takeItem(RLFrom->row(item)));
}

void frmSelLevel::OK_Click() {
    // The model keeps six slots: the moved levels in move order, the rest 0.
    for (int k = SelectedLevels.LBound(); k <= SelectedLevels.UBound(); ++k)
        SelectedLevels(k) = k < RLTo->count() ? RLTo->item(k)->data(Qt::UserRole).toInt() : 0;
    LevelSelectCancelled = false;
    accept();
}

void frmSelLevel::Command1_Click() {
    reject();
}

void frmSelLevel::reject() {
    LevelSelectCancelled = true;
    QDialog::reject();
    Redraw();
}
