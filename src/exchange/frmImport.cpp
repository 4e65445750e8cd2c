#include "exchange/frmImport.h"

#include "exchange/import.h"
#include "graphics/drawing.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <array>

frmImport::frmImport(QWidget *parent) : QDialog(parent) {
    setObjectName("frmImport");
    setWindowTitle("Import Data Options");
    const auto check = [this](const char *caption, const char *tip) {
        auto *box = new VBCheckBox(caption, this);
        if (tip != nullptr)
            box->setToolTip(tip);
        return box;
    };
    ChkRDrive = check("Retain Drive Resistances", "Retain original drive resistances if set in txt file");
    ChkRRaise = check("Retain Raise Resistances", nullptr);
    ChkSize = check("Force common airway size", "Make horizontal and vertical airways the same default size");
    ChkRL = check("Attempt to create RL Database", "Find discrete levels to separate airways into");
    ChkMerge = check("Merge Data", "Merge with existing data");
    Label1 = new QLabel("X Offset", this);
    Label3 = new QLabel("Y Offset", this);
    Label4 = new QLabel("Z Offset", this);
    TxtXOffset = new QLineEdit("0", this);
    TxtYOffset = new QLineEdit("0", this);
    TxtZOffset = new QLineEdit("0", this);
    NegX = check("(-)ve", nullptr);
    NegY = check("(-)ve", nullptr);
    NegZ = check("(-)ve", nullptr);
    LblMessage = new QLabel(this);
    Import = new QPushButton("Import", this);
    Cancel = new QPushButton("Cancel", this);

    auto *grid = new QGridLayout(this);
    int row = 0;
    for (VBCheckBox *box : {ChkRDrive, ChkRRaise, ChkSize, ChkRL, ChkMerge})
        grid->addWidget(box, row++, 0, 1, 3);
    const std::tuple<QLabel *, QLineEdit *, VBCheckBox *> offsets[] = {
        {Label1, TxtXOffset, NegX}, {Label3, TxtYOffset, NegY}, {Label4, TxtZOffset, NegZ}};
    for (const auto &[label, box, negate] : offsets) {
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(negate, row++, 2);
        VB::DecimalKeyFilter::Install(box);
    }
    grid->addWidget(LblMessage, row++, 0, 1, 3);
    grid->addWidget(Import, row, 0);
    grid->addWidget(Cancel, row, 1);

    QWidget *order[] = {Import,     Cancel,     ChkMerge, ChkRL, ChkRDrive, ChkRRaise, TxtXOffset,
                        TxtYOffset, TxtZOffset, ChkSize,  NegX,  NegY,      NegZ};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    Import->setDefault(true);

    connect(Import, &QPushButton::clicked, this, [this] { Import_Click(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { Cancel_Click(); });
    Form_Load();
    VB_NAME_CONTROLS(ChkRDrive, ChkRRaise, ChkSize, ChkRL, ChkMerge, Label1, Label3, Label4, TxtXOffset,
                     TxtYOffset, TxtZOffset, NegX, NegY, NegZ, LblMessage, Import, Cancel);
}

void frmImport::Form_Load() {
    adjustSize();
    VB::CentreOnMainWindow(*this);
    Import->setFocus();
}

ImportOptions frmImport::Options() const {
    ImportOptions o;
    o.merge = ChkMerge->isChecked();
    o.forceCommonSize = ChkSize->isChecked();
    o.retainDriveResistance = ChkRDrive->isChecked();
    o.retainRaiseResistance = ChkRRaise->isChecked();
    o.levelDatabase = ChkRL->isChecked();
    o.xOffset = FromQt(TxtXOffset->text());
    o.yOffset = FromQt(TxtYOffset->text());
    o.zOffset = FromQt(TxtZOffset->text());
    o.negateX = NegX->isChecked();
    o.negateY = NegY->isChecked();
    o.negateZ = NegZ->isChecked();
    return o;
}

void frmImport::Import_Click() {
    // The import lets window events run: the buttons must not start it twice or close it halfway. They
    // come back however the import ends, a failure included, so the dialog can always be closed.
    struct Running {
        frmImport &dialog;
        explicit Running(frmImport &d) : dialog(d) { set(true); }
        ~Running() { set(false); }
        void set(bool running) {
            dialog.importing_ = running;
            dialog.Import->setEnabled(!running);
            dialog.Cancel->setEnabled(!running);
        }
    };
    ImportOutcome outcome;
    {
        const Running running(*this);
        outcome = ImportNetwork(Options(), [this](const std::string &text) {
            LblMessage->setText(ToQt(text));
            LblMessage->repaint();
        });
    }
    // The dialog stays open on the offset that is no number.
    if (outcome == ImportOutcome::OffsetsInvalid) {
        QLineEdit *offset = std::array{
            TxtXOffset, TxtYOffset, TxtZOffset}[static_cast<size_t>(std::max(RefusedOffset(Options()), 0))];
        offset->setFocus();
        offset->selectAll();
        return;
    }
    accept();
    Redraw();
    VB::SetScreenPointer(VB::vbDefault);
}

void frmImport::Cancel_Click() {
    reject();
}

void frmImport::reject() {
    if (!importing_)
        QDialog::reject();
}
