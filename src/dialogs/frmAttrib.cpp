#include "dialogs/frmAttrib.h"

#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

frmAttrib::frmAttrib(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Copy/Paste Attributes");
    Frame3D1 = new QGroupBox(this);
    auto *groups = new QVBoxLayout(Frame3D1);
    const char *captions[Groups] = {
        "Shape and Dimensions", "Wall Friction Factor", "Shock Value",     "Resistance",  "Length",
        "Fresh / Return Air",   "Primary Layer",        "Secondary Layer", "Display data"};
    for (int i = 0; i < Groups; ++i) {
        ChkAttrib[static_cast<size_t>(i)] = new VBCheckBox(captions[i], Frame3D1);
        groups->addWidget(ChkAttrib[static_cast<size_t>(i)]);
        ChkAttrib[static_cast<size_t>(i)]->setChecked((AttributeMask & (1 << i)) == 0);
    }
    Command1 = new QPushButton("Select All", this);
    Command3 = new QPushButton("Deselect All", this);
    Command2 = new QPushButton("OK", this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {Command1, Command3, Command2}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto *whole = new QVBoxLayout(this);
    whole->addWidget(Frame3D1);
    whole->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    adjustSize();
    VB::CentreOnMainWindow(*this);
    VB_NAME_CONTROLS(Frame3D1, Command1, Command2, Command3);
    VB::NameControlArray(ChkAttrib, "ChkAttrib");
}

void frmAttrib::Command1_Click() {
    for (VBCheckBox *box : ChkAttrib)
        box->SetValue(true);
}

void frmAttrib::Command3_Click() {
    for (VBCheckBox *box : ChkAttrib)
        box->SetValue(false);
}

void frmAttrib::Command2_Click() {
    int32_t mask = 0;
    for (int i = 0; i < Groups; ++i)
        if (!ChkAttrib[static_cast<size_t>(i)]->isChecked())
            mask += 1 << i;
    // A changed choice is a changed setting: leaving the program offers to save it.
    if (mask != AttributeMask)
        DefaultsSaved = 0;
    AttributeMask = mask;
    accept();
    Redraw();
}
