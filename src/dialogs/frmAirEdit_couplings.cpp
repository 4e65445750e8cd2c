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

std::array<frmAirEdit::PresetField, 3> frmAirEdit::presetFields() {
    return {{{ChkFixRes, TxtFixRes, ResCombo, LblRes, AirwayResistanceType, AirwayResistance,
              ResistanceTypeValue, Quantity::Resistance, 0, Quantity::Resistance, Value::FixedResistance},
             {ChkFixK, TxtWall, WallCombo, LblWall, AirwayWallType, AirwayFrictionFactor, WallTypeFactor,
              Quantity::FrictionFactor, 0, Quantity::FrictionFactor, Value::FixedFrictionFactor},
             // The shock length shows as a coordinate and is read as a length: both are metres or feet.
             {ChkShock, TxtShock, ShockCombo, LblShock, AirwayShockType, AirwayShockLength, ShockTypeLength,
              Quantity::Coordinates, 1, Quantity::Length, Value::ShockLength}}};
}

frmAirEdit::PresetField frmAirEdit::presetField(const QWidget *control) {
    const auto fields = presetFields();
    for (const PresetField &field : fields)
        if (field.fix == control || field.value == control || field.list == control)
            return field;
    return fields[0];
}

void frmAirEdit::fixBoxClick(VBCheckBox *box) {
    if (Loading)
        return;
    const PresetField field = presetField(box);
    mark(field.value);
    if (box->isChecked()) {
        field.list->hide();
        field.caption->hide();
        field.value->setEnabled(true);
        return;
    }
    field.list->show();
    field.caption->show();
    // The stored preset, found by its index as the load finds it; a typed value falls back to the first.
    const int stored = field.type(CurrentAirway);
    const int entry = stored >= TypedPreset ? 0 : std::max(0, field.list->findData(stored));
    field.value->setEnabled(false);
    if (entry < field.list->count())
        field.list->SetListIndex(entry);
}

void frmAirEdit::flagTagClick(VBCheckBox *box) {
    if (!Loading)
        setTag(box, true);
}

void frmAirEdit::surfaceClick(VBCheckBox *box, VBCheckBox *other) {
    setTag(box, true);
    if (box->isChecked() && !Loading)
        other->SetValue(false);
}

void frmAirEdit::OptAirType_Click(int index) {
    VBCheckBox *box = OptAirType[static_cast<size_t>(index)];
    VBCheckBox *other = OptAirType[static_cast<size_t>(1 - index)];
    if (!Loading)
        setTag(box, true);
    if (box->isChecked() && other->isChecked())
        other->SetValue(false);
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
        Optcurve[static_cast<size_t>(i)]->SetValue(i == index);
    if (index == 2)
        TxtCPart->setText(DefaultCurvePercent != 0 ? QString::number(DefaultCurvePercent) : "50");
    CurveBusy = false;
}

void frmAirEdit::FanCombo2_Click() {
    const int entry = FanCombo2->ListIndex();
    if (entry > 0 && boxNumber(TxtFanN) == 0) {
        TxtFanN->setText("1");
        CheckDirection->SetValue(true);
    } else if (entry == 0) {
        CheckDirection->SetValue(false);
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
        showValue(*TxtFixRes, ResistanceTypeValue(ResistancePreset), Quantity::Resistance, 0);
        ChkFixRes->SetValue(false);
        if (!Loading)
            mark(TxtFixRes);
    } else {
        ChkFixRes->SetValue(false);
        if (!Loading)
            mark(TxtFixRes);
        showValue(*TxtFixRes, AirwayResistance(CurrentAirway), Quantity::Resistance, 0);
    }
}

void frmAirEdit::presetClick(const PresetField &field) {
    if (field.list->ListIndex() < 0)
        return;
    const int preset = field.list->currentData().toInt();
    if (preset >= TypedPreset)
        return;
    showValue(*field.value, field.presetValue(preset), field.shownQuantity, 0);
    if (!Loading)
        mark(field.value);
}

// ---- Layers ----

void frmAirEdit::storeLayerName(bool primary, int layer, const std::string &text) {
    std::string &name = (primary ? PrimaryLayerName : SecondaryLayerName)(layer);
    // An untouched layer list must not name every unnamed layer it passes with its number.
    if (name.empty() && text == std::to_string(layer))
        return;
    name = text;
}

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
    storeLayerName(primary, renaming, CurrentLine);
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
        LblUnit[7]->setText(ToQt(UnitName(Quantity::Length)));
        shown_.Show(*txtHeight, oneDecimal(EditHeight, Quantity::Length), EditHeight);
        shown_.Show(*TxtWidth, oneDecimal(EditWidth, Quantity::Length), EditWidth);
        break;
    case 1:
        LblWidth->setText("Diam");
        LblUnit[7]->setText(ToQt(UnitName(Quantity::Length)));
        shown_.Show(*txtHeight, "0", 0);
        break;
    default:
        LblWidth->setText("Area");
        LblHeight->setText("Perim");
        LblUnit[7]->setText(ToQt(UnitName(Quantity::Area)));
        shown_.Show(*txtHeight, oneDecimal(EditPerimeter, Quantity::Length), EditPerimeter);
        shown_.Show(*TxtWidth, oneDecimal(EditArea, Quantity::Area), EditArea);
        break;
    }
}

std::optional<std::string> frmAirEdit::resistanceOfPressureAndFlow() const {
    if (!ChkPress->isChecked() || !CheckFix->isChecked())
        return std::nullopt;
    try {
        const float flow = StrictSingle(StrictValue(BoxText(*TxtFlow)));
        const float pressure = StrictSingle(StrictValue(BoxText(*TxtPres)));
        if (flow != 0 && pressure != 0)
            return FormatPattern(std::fabs(pressure / (flow * flow)), "0.00000");
    } catch (const VBError &) {
    }
    return std::nullopt;
}

void frmAirEdit::UpdateFixR() {
    if (const auto text = resistanceOfPressureAndFlow())
        TxtFixRes->setText(ToQt(*text));
}

// ---- Multiple selection ----

void frmAirEdit::PartialDisable() {
    for (QWidget *control : std::initializer_list<QWidget *>{
             CheckFix, ChkPress, TxtFlow, TxtPres, ChkSurfaceEntry, ChkSurfaceExit, TxtName, TxtUnique,
             LblFrom, LblTo, LblUnit[1], LblUnit[0]})
        control->setEnabled(false);
    Frame2->hide();
    setWindowTitle("Airway Edit - Multiple select");
    Info->hide();
    for (QWidget *control : std::initializer_list<QWidget *>{
             CmbPrimary, CmbSecond, txtHeight, TxtWidth, TxtMultiAir, ResCombo, WallCombo, ShockCombo,
             TxtLength, TxtFixRes, TxtWall, TxtShock, CheckDirection})
        unmark(control);
    for (VBCheckBox *box :
         {OptAirType[0], OptAirType[1], OptShowData, ChkSurfaceEntry, ChkSurfaceExit, CheckService})
        setTag(box, false);
    CmdResetSekection->show();
}
