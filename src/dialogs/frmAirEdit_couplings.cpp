// The coupled controls of the airway edit dialog: fix boxes with their value boxes and preset lists, the
// exclusive pairs, the fan curve choice, the fan list, the shape button, layer renaming and the marks of
// multiple selection.
#include "dialogs/dialog_state.h"
#include "dialogs/dialog_support.h"
#include "dialogs/frmAirEdit.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr int LengthQuantity = 1;
constexpr int AreaQuantity = 3;
constexpr int ResistanceQuantity = 5;
constexpr int FrictionQuantity = 10;
constexpr int CoordinateQuantity = 14;

constexpr int32_t Green = 0x00FF00, Blue = 0xFF0000, Red = 0x0000FF; // VB colours, red in the low byte

// A value as the quantity's format shows it, then with one decimal.
QString oneDecimal(float value, int quantity) {
    double shown = 0;
    try {
        shown = StrictValue(FormatValue(value, quantity, 0, 0));
    } catch (const VBError &) {
        shown = ToDisplayUnits(value, quantity);
    }
    return ToQt(FormatPattern(shown, "0.0"));
}

double boxNumber(const QLineEdit *box) {
    return VB::Val(FromQt(box->text()), VB::LocaleDecimalSeparator());
}

} // namespace

// ---- Fix boxes ----

void frmAirEdit::fixBoxClick(VBCheckBox *box) {
    if (Loading)
        return;
    QLineEdit *value = box == ChkFixRes ? TxtFixRes : box == ChkFixK ? TxtWall : TxtShock;
    VBComboBox *list = box == ChkFixRes ? ResCombo : box == ChkFixK ? WallCombo : ShockCombo;
    QLabel *caption = box == ChkFixRes ? LblRes : box == ChkFixK ? LblWall : LblShock;
    mark(value);
    if (box->isChecked()) {
        list->hide();
        caption->hide();
        value->setEnabled(true);
        return;
    }
    list->show();
    caption->show();
    // The stored preset, found by its index as the load finds it; a typed value falls back to the first.
    const int a = CurrentAirway;
    const int stored = box == ChkFixRes ? AirwayResistanceType(a)
                       : box == ChkFixK ? AirwayWallType(a)
                                        : AirwayShockType(a);
    const int entry = stored >= TypedPreset ? 0 : std::max(0, list->findData(stored));
    value->setEnabled(false);
    if (entry < list->count())
        list->SetListIndex(entry);
}

void frmAirEdit::flagTagClick(VBCheckBox *box) {
    if (!Loading)
        setTag(box, true);
}

void frmAirEdit::surfaceClick(VBCheckBox *box, VBCheckBox *other) {
    setTag(box, true);
    if (box->isChecked() && !Loading)
        SetCheckValue(*other, false);
}

void frmAirEdit::OptAirType_Click(int index) {
    VBCheckBox *box = OptAirType[static_cast<size_t>(index)];
    VBCheckBox *other = OptAirType[static_cast<size_t>(1 - index)];
    if (!Loading)
        setTag(box, true);
    if (box->isChecked() && other->isChecked())
        SetCheckValue(*other, false);
    ColourAirType();
}

void frmAirEdit::ColourAirType() {
    int32_t colour = Green;
    if (OptAirType[0]->isChecked())
        colour = Blue;
    else if (OptAirType[1]->isChecked())
        colour = Red;
    for (ShapeSwatch *swatch : DriveShape)
        swatch->SetFillColour(colour);
}

// ---- Fan controls ----

void frmAirEdit::Optcurve_Click(int index) {
    if (CurveBusy)
        return;
    CurveBusy = true;
    TxtCPart->hide();
    LblCPart->hide();
    if (index == 0) {
        TxtCPart->setText("0");
    } else if (index == 1) {
        TxtCPart->setText("100");
    } else {
        TxtCPart->show();
        LblCPart->show();
    }
    for (int i = 0; i < 3; ++i)
        SetCheckValue(*Optcurve[static_cast<size_t>(i)], i == index);
    if (index == 2)
        TxtCPart->setText(DefaultCurvePercent != 0 ? QString::number(DefaultCurvePercent) : "50");
    CurveBusy = false;
}

void frmAirEdit::FanCombo2_Click() {
    const int entry = FanCombo2->ListIndex();
    if (entry > 0 && boxNumber(TxtFanN) == 0) {
        TxtFanN->setText("1");
        SetCheckValue(*CheckDirection, true);
    } else if (entry == 0) {
        SetCheckValue(*CheckDirection, false);
        TxtFanN->setText("0");
    }
}

void frmAirEdit::VSF_Change() {
    TxtFanN->setText(QString::number(10 - VSF->value()));
}

// ---- Preset lists ----

void frmAirEdit::ResCombo_Click() {
    if (ResCombo->ListIndex() < 0)
        return;
    ResistancePreset = ResCombo->currentData().toInt();
    if (ResistancePreset != 0) {
        TxtFixRes->setText(ToQt(FormatValue(ResistanceTypeValue(ResistancePreset), ResistanceQuantity, 0, 0)));
        SetCheckValue(*ChkFixRes, false);
        if (!Loading)
            mark(TxtFixRes);
    } else {
        SetCheckValue(*ChkFixRes, false);
        if (!Loading)
            mark(TxtFixRes);
        TxtFixRes->setText(ToQt(FormatValue(AirwayResistance(CurrentAirway), ResistanceQuantity, 0, 0)));
    }
}

void frmAirEdit::WallCombo_Click() {
    if (WallCombo->ListIndex() < 0)
        return;
    const int preset = WallCombo->currentData().toInt();
    if (preset >= TypedPreset)
        return;
    TxtWall->setText(ToQt(FormatValue(WallTypeFactor(preset), FrictionQuantity, 0, 0)));
    if (!Loading)
        mark(TxtWall);
}

void frmAirEdit::ShockCombo_Click() {
    if (ShockCombo->ListIndex() < 0)
        return;
    const int preset = ShockCombo->currentData().toInt();
    if (preset >= TypedPreset)
        return;
    TxtShock->setText(ToQt(FormatValue(ShockTypeLength(preset), CoordinateQuantity, 0, 0)));
    if (!Loading)
        mark(TxtShock);
}

// ---- Layers ----

void frmAirEdit::layerKeyPress(VBComboBox *combo) {
    int &renaming = combo == CmbPrimary ? PrimaryRenameIndex : SecondaryRenameIndex;
    if (renaming == 0)
        renaming = combo->currentIndex() + 1;
}

void frmAirEdit::layerLostFocus(VBComboBox *combo) {
    const bool primary = combo == CmbPrimary;
    int &renaming = primary ? PrimaryRenameIndex : SecondaryRenameIndex;
    CurrentLine = FromQt(combo->currentText());
    if (renaming == 0)
        renaming = combo->currentIndex() + 1;
    // A text put in while no layer was chosen belongs to no layer.
    if (renaming < 1 || renaming > combo->count())
        return;
    if (QString::fromStdString(CurrentLine).trimmed().isEmpty())
        return;
    (primary ? PrimaryLayerName : SecondaryLayerName)(renaming) = CurrentLine;
    combo->setItemText(renaming - 1, ToQt(CurrentLine));
    combo->setCurrentIndex(renaming - 1);
    VBArray<int> &layer = primary ? AirwayPrimaryLayer : AirwaySecondaryLayer;
    const int a = CurrentAirway;
    if (layer(a) != renaming) {
        beginWrite(a);
        layer(a) = renaming;
    }
    renaming = 0;
}

// ---- Shape ----

void frmAirEdit::SetShape() {
    for (ShapeSwatch *swatch : DriveShape)
        swatch->hide();
    DriveShape[static_cast<size_t>(std::clamp(EditShape, 0, 2))]->show();
    const bool round = EditShape == 1;
    LblHeight->setVisible(!round);
    LblUnit[6]->setVisible(!round);
    txtHeight->setVisible(!round);
    switch (EditShape) {
    case 0:
        LblWidth->setText("Width");
        LblHeight->setText("Height");
        LblUnit[7]->setText(ToQt(UnitName(LengthQuantity)));
        txtHeight->setText(oneDecimal(EditHeight, LengthQuantity));
        TxtWidth->setText(oneDecimal(EditWidth, LengthQuantity));
        break;
    case 1:
        LblWidth->setText("Diam");
        LblUnit[7]->setText(ToQt(UnitName(LengthQuantity)));
        txtHeight->setText("0");
        break;
    default:
        LblWidth->setText("Area");
        LblHeight->setText("Perim");
        LblUnit[7]->setText(ToQt(UnitName(AreaQuantity)));
        txtHeight->setText(oneDecimal(EditPerimeter, LengthQuantity));
        TxtWidth->setText(oneDecimal(EditArea, AreaQuantity));
        break;
    }
}

void frmAirEdit::UpdateFixR() {
    if (!ChkPress->isChecked() || !CheckFix->isChecked())
        return;
    try {
        const float flow = StrictSingle(StrictValue(BoxText(*TxtFlow)));
        const float pressure = StrictSingle(StrictValue(BoxText(*TxtPres)));
        if (flow != 0 && pressure != 0)
            TxtFixRes->setText(ToQt(FormatPattern(std::fabs(pressure / (flow * flow)), "0.00000")));
    } catch (const VBError &) {
    }
}

// ---- Multiple selection ----

void frmAirEdit::PartialDisable() {
    for (QWidget *control : std::initializer_list<QWidget *>{CheckFix, ChkPress, TxtFlow, TxtPres, ChkSurfaceEntry,
                                                             ChkSurfaceExit, TxtName, TxtUnique, LblFrom, LblTo,
                                                             LblUnit[1], LblUnit[0]})
        control->setEnabled(false);
    Frame2->hide();
    setWindowTitle("Airway Edit - Multiple select");
    Info->hide();
    for (QWidget *control : std::initializer_list<QWidget *>{CmbPrimary, CmbSecond, txtHeight, TxtWidth, TxtMultiAir,
                                                             ResCombo, WallCombo, ShockCombo, TxtLength, TxtFixRes,
                                                             TxtWall, TxtShock, CheckDirection})
        unmark(control);
    for (VBCheckBox *box : {OptAirType[0], OptAirType[1], OptShowData, ChkSurfaceEntry, ChkSurfaceExit, CheckService})
        setTag(box, false);
    CmdResetSekection->show();
}
