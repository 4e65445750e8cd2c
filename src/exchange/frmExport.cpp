#include "exchange/frmExport.h"

#include "exchange/dxf_writer.h"
#include "model/Gustrom1.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <cstdint>
#include <limits>

namespace {

// The six sizes in the order the boxes are read.
std::array<int *, 6> sizeSettings() {
    return {&ExportDataSize,       &ExportNodeSize,  &ExportAirwaySize,
            &ExportNodeCircleSize, &ExportArrowSize, &ExportFloatSize};
}

int fontSize(int textClass) {
    return FontSize.InBounds(textClass) ? FontSize(textClass) : 0;
}

} // namespace

frmExport::frmExport(QWidget *parent) : QDialog(parent) {
    setWindowTitle("DXF Export Options");
    TxtData = new QLineEdit(this);
    TxtNode = new QLineEdit(this);
    TxtAirway = new QLineEdit(this);
    TxtNodeCircle = new QLineEdit(this);
    TxtArrow = new QLineEdit(this);
    TxtFloat = new QLineEdit(this);
    ChkVisible = new VBCheckBox("Export visible airways only", this);
    Export = new QPushButton("Export", this);
    Cancel = new QPushButton("Cancel", this);

    auto *grid = new QGridLayout(this);
    const std::array<std::pair<const char *, QLineEdit *>, 6> rows = {{{"Data Text Size", TxtData},
                                                                       {"Node Text Size", TxtNode},
                                                                       {"Airway Label Text Size", TxtAirway},
                                                                       {"Node Size", TxtNodeCircle},
                                                                       {"Arrow Size", TxtArrow},
                                                                       {"Floating Text Size", TxtFloat}}};
    int row = 0;
    for (const auto &[caption, box] : rows) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(box, row++, 1);
    }
    grid->addWidget(ChkVisible, row++, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Export);
    buttons->addWidget(Cancel);
    grid->addLayout(buttons, row, 0, 1, 2);

    connect(Export, &QPushButton::clicked, this, [this] { Export_Click(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { Cancel_Click(); });
    Form_Load();
    VB_NAME_CONTROLS(TxtData, TxtNode, TxtAirway, TxtNodeCircle, TxtArrow, TxtFloat, ChkVisible, Export,
                     Cancel);
}

void frmExport::Form_Load() {
    adjustSize();
    VB::CentreOnMainWindow(*this);
    // Older settings files carried defaults for the node and arrow sizes; newer ones leave them 0.
    const std::array<int, 6> defaults = {fontSize(1), fontSize(3), fontSize(2), 0, 0, fontSize(4)};
    const std::array<QLineEdit *, 6> boxes = {TxtData, TxtNode, TxtAirway, TxtNodeCircle, TxtArrow, TxtFloat};
    const auto settings = sizeSettings();
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const int size = *settings[k] != 0 ? *settings[k] : defaults[k];
        boxes[k]->setText(QString::number(size));
    }
    ChkVisible->setChecked(ExportVisibleOnly);
}

void frmExport::Export_Click() {
    const std::array<QLineEdit *, 6> boxes = {TxtData, TxtNode, TxtAirway, TxtNodeCircle, TxtArrow, TxtFloat};
    std::array<int, 6> sizes{};
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        // A text that is no number is 0, the size given at the next opening; a fraction is refused, not
        // rounded.
        const double value = VB::Val(boxes[k]->text().toStdString(), VB::LocaleDecimalSeparator());
        if (!InRange(Value::ExportSize, value)) {
            VB::MsgBox(RangeText(Value::ExportSize), VB::vbExclamation);
            boxes[k]->setFocus();
            boxes[k]->selectAll();
            return;
        }
        sizes[k] = static_cast<int>(value);
    }
    ExportConfirmed = true;
    ExportVisibleOnly = ChkVisible->isChecked();
    const auto settings = sizeSettings();
    for (std::size_t k = 0; k < sizes.size(); ++k)
        *settings[k] = sizes[k];
    accept();
}

void frmExport::Cancel_Click() {
    reject();
}

void ShowExportOptions() {
    frmExport dialog;
    VB::ShowModal(dialog);
}
