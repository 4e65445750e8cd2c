// Filling the settings dialog from the settings, in the current unit system.
#include "settings/frmOptions.h"
#include "settings/options_state.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/PictureBox.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"
#include "platform/WindowPlacement.h"

#include <QLabel>
#include <QTabWidget>

#include <cmath>

namespace {

// The name of a quantity's unit in the current unit system.
QString unitName(int quantity) {
    return ToQt(UnitText(quantity, UnitSystem == 2 ? 2 : 1));
}

} // namespace

void frmOptions::Form_Load() {
    if (OptionsLoaded)
        return;
    UnitSwitchArmed = false;
    // 1. Realtime box and the tab shown last.
    ChkRemote->SetValue(RealtimeEnabled != 0);
    SSTab1->setCurrentIndex(OptionsTab);
    // 2. Fan curve.
    if (DefaultCurvePercent == 0)
        Optcurve[0]->SetValue(true);
    else if (DefaultCurvePercent == 100)
        Optcurve[1]->SetValue(true);
    else
        Optcurve[2]->SetValue(true);
    // 3. Smoke sources and colour scheme.
    OptSimSource[SmokeSourceMode == 1 ? 1 : 0]->SetValue(true);
    OptColour[ColourScheme != 0 ? 1 : 0]->SetValue(true);
    // 4. Graphics detail.
    for (int i = 0; i < 10; ++i)
        ChkViewer[static_cast<size_t>(i)]->SetValue((GraphicsDetail >> i) & 1);
    // 5. Data display.
    if (DataDisplayMode >= 0 && DataDisplayMode <= 3)
        OptType[static_cast<size_t>(DataModeOfButton[DataDisplayMode])]->SetValue(true);
    // 6. (The dialog is placed once it is filled, below.)
    // 7.
    ChkLayer->SetValue(LayerInheritance);
    ChkEDIT->SetValue(RightClickEditOff != 0);
    OptUnitType[UnitSystem != 1 ? 1 : 0]->SetValue(true);
    ChkBuffer->SetValue(ScreenBuffer);
    ChkInfo->SetValue(AutoInfo);
    ChkScroll->SetValue(ScrollZoomOff != 0);
    // Shown only: on a refill the icon box would otherwise give class 0's flag to the class selected.
    shownFromCode_ = true;
    ChkFontScale->SetValue(FontScale != 0);
    ChkScaleIcon->SetValue(IconScale(0) != 0);
    shownFromCode_ = false;
    // 8. Fonts and icons; the size lists show the sizes they store.
    CmbFonts->clear();
    CmbFonts->addItems({"Data values", "Branch names", "Node names", "Floating text"});
    CmbFonts->SetListIndex(0);
    CmbIcon->clear();
    CmbIcon->addItems({"Lines", "Arrows", "Smoke", "Fans", "Nodes", "Obstruction", "Bulkhead"});
    CmbIcon->SetListIndex(0);
    CmbIconSize->clear();
    for (int size = 1; size <= 20; ++size)
        CmbIconSize->addItem(QString::number(size));
    fillFontSizes(FirstListedFontSize);
    CmbFonts_Click();
    CmbIcon_Click();
    // 9. Swatches and palette.
    SelectedSwatch = 0;
    for (size_t i = 0; i < Col.size(); ++i)
        paintSwatch(static_cast<int>(i), ColourTable(static_cast<int>(i)));
    // 10. Rotation and zoom.
    TxtPowerZoom->SetText(NumberText(PowerZoomSpeed));
    TxtTilt->SetText(NumberText(TiltSpeed));
    TxtSpin->SetText(NumberText(SpinSpeed));
    ChkTilt->SetValue(FullRotation != 0);
    ChkSpeed->SetValue(UnlimitedSpeed != 0);
    // 11. Grid and axes.
    TxtMj->SetText(NumberText(GridSpacing));
    Txtgwidth->SetText(NumberText(DefaultScaleWidth));
    Txtgx->SetText(NumberText(DefaultCentreX));
    Txtgy->SetText(NumberText(DefaultCentreY));
    ChkHor->SetValue(AxisSignX != 1);
    ChkVert->SetValue(AxisSignY != 1);
    // 12. Default airway size.
    for (int label : {3, 4, 5, 7})
        LblUnit[static_cast<size_t>(label)]->setText(unitName(1));
    LblUnit[6]->setText(unitName(3));
    txtHeight->SetText(FormatValue(DefaultDriveHeight, 1, 0, 0));
    TxtWidth->SetText(FormatValue(DefaultDriveWidth, 1, 0, 0));
    TxtDiam->SetText(FormatValue(DefaultRaiseDiameter, 1, 0, 0));
    TxtPerim->SetText(FormatValue(DefaultPerimeter, 1, 0, 0));
    TxtArea->SetText(FormatValue(DefaultArea, 3, 0, 0));
    // 13. Construction.
    ChkInherit->SetValue(!PropertyInheritance);
    ChkArea->SetValue(UseDefaultArea != 0);
    // 14. Default wall and shock presets.
    WallCombo->clear();
    WallCombo2->clear();
    ShockCombo->clear();
    for (int i = 0; i < PresetEntries; ++i) {
        const QString wall = ToQt(FormatValue(WallTypeFactor(i), 10, 1, 0) + "  (" + WallTypeName(i) + ")");
        WallCombo->addItem(wall);
        WallCombo2->addItem(wall);
        ShockCombo->addItem(ToQt(FormatValue(ShockTypeLength(i), 14, 1, 0) + "  (" + ShockTypeName(i) + ")"));
    }
    WallCombo->SetListIndex(DefaultDriveWallType);
    WallCombo2->SetListIndex(DefaultRaiseWallType);
    ShockCombo->SetListIndex(static_cast<int>(VB::RoundHalfEven(DefaultShockLength)));
    // 15. Presets tab.
    fillPresets();
    // 16. Mouse and simulation values.
    TxtCd->SetText(std::to_string(MinNodeSpacing));
    TxtTol->SetText(FormatPattern(PickDivisor != 0 ? 100.0 / PickDivisor : 0, "0.0"));
    LblUnit[0]->setText(unitName(6));
    LblUnit[1]->setText(unitName(13));
    LblUnit[2]->setText(unitName(1));
    txtIt->SetText(std::to_string(MaxIterations));
    txtMe->SetText(NumberText(MaxError));
    TxtCost->SetText(NumberText(PowerCost));
    // The whole percent of the efficiency's own 7 digits: 0.53 is held as 0.529999971, which cut shows 52.
    TxtEff->SetText(
        std::to_string(static_cast<int>(VB::Fix(ShownValue(AirPowerEfficiency * 100.0f, 9)))));
    TxtDensity->SetText(FormatValue(AirDensity, 6, 0, 0));
    TxtFanMax->SetText(std::to_string(MaxFans));
    TxtAirP->SetText(FormatValue(SurfacePressure, 13, 0, 0));
    TxtAirRL->SetText(SurfacePressureRL == 99999 ? "???" : FormatValue(SurfacePressureRL, 1, 0, 0));
    // 17. Autosave.
    UnitSwitchArmed = true;
    ChkSaveTime->SetValue(AutosaveMinutes != 0);
    txtsavetime->SetText(std::to_string(AutosaveMinutes));
    // 18. Unit grid.
    fillUnitGrid();
    // Where it last stood, at one size: a unit switch refills it without moving a field.
    VB::KeepPlaceAndSize(*this, "frmOptions");
    // 19.
    OptionsLoaded = true;
    shown_.Clear();
    for (const VBTextBox *box : findChildren<VBTextBox *>())
        shown_.Keep(*box);
}

void frmOptions::fillPresets() {
    LblUnit[10]->setText(unitName(5));
    LblUnit[9]->setText(unitName(10));
    LblUnit[8]->setText(unitName(1));
    ChkUnderR->SetValue(UnderlyingResistanceOff == 0);
    for (int i = 0; i < PresetEntries; ++i) {
        WallFactorWork[static_cast<size_t>(i)] = WallTypeFactor(i);
        ShockLengthWork[static_cast<size_t>(i)] = ShockTypeLength(i);
        ResistanceValueWork[static_cast<size_t>(i)] = ResistanceTypeValue(i);
    }
    const auto fill = [](VBComboBox *list, const VBArray<std::string> &names) {
        list->clear();
        for (int i = 0; i < PresetEntries; ++i)
            list->addItem(ToQt(names(i).empty() ? "undefined" : names(i)));
    };
    fill(CmbWall, WallTypeName);
    fill(CmbShock, ShockTypeName);
    fill(CmbRes, ResistanceTypeName);
    for (size_t which = 0; which < 3; ++which) {
        const PresetEditor e = preset(static_cast<int>(which));
        filledPresetValues_[which] = *e.work;
        for (int i = 0; i < PresetEntries; ++i)
            filledPresetNames_[which][static_cast<size_t>(i)] = FromQt(e.list->itemText(i));
    }
    CmbWall->SetListIndex(DefaultDriveWallType);
    CmbShock->SetListIndex(static_cast<int>(VB::RoundHalfEven(DefaultShockLength)));
    CmbRes->SetListIndex(1);
}

void frmOptions::fillUnitGrid() {
    VBGrid &g = *MSFlexGrid1;
    g.SetRows(16);
    g.SetCols(6);
    g.SetTextMatrix(0, 0, "Data Type");
    // Headings of the unit table: 2 the factor's, 3 and 4 the unit names', 5 and 6 the formats'.
    const int headings[6] = {0, 5, 3, 6, 4, 2};
    for (int c = 1; c <= 5; ++c)
        g.SetTextMatrix(0, c, UnitText(0, headings[c]));
    const int widths[6] = {1900, 1100, 900, 1400, 1200, 1000};
    for (int c = 0; c < 6; ++c)
        g.SetColWidth(c, widths[c]);
    for (int q = 1; q <= 15; ++q) {
        g.SetTextMatrix(q, 0, UnitText(q, 0));
        g.SetTextMatrix(q, 1, UnitText(q, 3));
        g.SetTextMatrix(q, 2, UnitText(q, 1));
        g.SetTextMatrix(q, 3, UnitText(q, 4));
        g.SetTextMatrix(q, 4, UnitText(q, 2));
        g.SetTextMatrix(q, 5, NumberText(UnitFactor(q, 2)));
        filledFactors_[static_cast<size_t>(q)] = g.TextMatrix(q, 5);
    }
    g.SetRow(1);
    g.SetCol(1);
    TxtEdit->SetText(g.Text());
}

bool frmOptions::edited(const VBTextBox *box) const {
    return shown_.Edited(*box);
}
