// The settings dialog's controls that act at once: fonts, icons, colours, the colour scheme, the fan curve,
// autosave, the axis boxes, the decimal keys, and the unit-system switch.
#include "settings/frmOptions.h"
#include "settings/options_state.h"
#include "settings/palette_strip.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/mouse.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "platform/Busy.h"
#include "platform/PictureBox.h"
#include "platform/ShellHooks.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"

#include <QLabel>
#include <QPixmap>

#include <cmath>

void frmOptions::wireImmediateControls() {
    connect(CmbFonts, &VBComboBox::Click, this, &frmOptions::CmbFonts_Click);
    connect(CmbFontSize, &VBComboBox::Click, this, &frmOptions::CmbFontSize_Click);
    connect(ChkFontBold, &VBCheckBox::Click, this, &frmOptions::ChkFontBold_Click);
    connect(ChkFontScale, &VBCheckBox::Click, this, &frmOptions::ChkFontScale_Click);
    connect(CmbIcon, &VBComboBox::Click, this, &frmOptions::CmbIcon_Click);
    connect(CmbIconSize, &VBComboBox::Click, this, &frmOptions::CmbIconSize_Click);
    connect(ChkScaleIcon, &VBCheckBox::Click, this, &frmOptions::ChkScaleIcon_Click);
    connect(Frame3D2, &PaletteStrip::Pressed, this, &frmOptions::Frame3D2_MouseDown);
    for (int i = 0; i < 2; ++i)
        connect(OptColour[static_cast<size_t>(i)], &VBOptionButton::Click, this,
                [this, i] { OptColour_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(Optcurve[static_cast<size_t>(i)], &VBOptionButton::Click, this,
                [this, i] { Optcurve_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(OptUnitType[static_cast<size_t>(i)], &VBOptionButton::Click, this,
                [this, i] { OptUnitType_Click(i); });
    connect(ChkSaveTime, &VBCheckBox::Click, this, &frmOptions::ChkSaveTime_Click);
    connect(ChkHor, &VBCheckBox::Click, this, &frmOptions::ChkHor_Click);
    connect(ChkVert, &VBCheckBox::Click, this, &frmOptions::ChkVert_Click);
    for (VBTextBox *box : {TxtAirP, TxtAirRL, TxtArea, TxtDensity, TxtDiam, TxtFanMax, Txtgwidth, Txtgx,
                           Txtgy, txtHeight, txtIt, txtMe, TxtMj, TxtPerim, TxtWidth})
        VB::DecimalKeyFilter::Install(box);
    // Enter moves on from these boxes.
    const std::pair<VBTextBox *, QWidget *> moves[] = {
        {TxtCd, TxtTol}, {TxtPowerZoom, TxtTilt}, {TxtTilt, TxtSpin}, {TxtSpin, ChkSpeed}};
    for (const auto &[from, to] : moves) {
        VB::DecimalKeyFilter::Install(from);
        connect(from, &VBTextBox::KeyPress, this, [target = to](int &key) {
            if (key == 13) {
                target->setFocus();
                key = 0;
            }
        });
    }
}

// ---- Fonts and icons ----

void frmOptions::fillFontSizes(int shown) {
    // Every point size from 6 to 40; a stored size outside them (from an older file) is listed too, so
    // that it shows as it is.
    CmbFontSize->clear();
    for (int size = std::min(shown, FirstListedFontSize); size <= std::max(shown, LastListedFontSize); ++size)
        if ((size >= FirstListedFontSize && size <= LastListedFontSize) || size == shown)
            CmbFontSize->addItem(QString::number(size), size);
}

void frmOptions::CmbFonts_Click() {
    if (CmbFontSize->count() == 0 || CmbFonts->ListIndex() < 0)
        return;
    const int textClass = CmbFonts->ListIndex() + 1;
    shownFromCode_ = true;
    fillFontSizes(FontSize(textClass));
    CmbFontSize->SetListIndex(CmbFontSize->findData(FontSize(textClass)));
    ChkFontBold->SetValue(FontBold(textClass) != 0);
    shownFromCode_ = false;
}

void frmOptions::CmbFontSize_Click() {
    // Only the user's choice is stored: showing the settings of a class changes none of them.
    if (shownFromCode_ || CmbFonts->ListIndex() < 0 || CmbFontSize->ListIndex() < 0)
        return;
    FontSize(CmbFonts->ListIndex() + 1) = CmbFontSize->currentData().toInt();
}

void frmOptions::ChkFontBold_Click() {
    if (!shownFromCode_ && CmbFonts->ListIndex() >= 0)
        FontBold(CmbFonts->ListIndex() + 1) = ChkFontBold->Value();
}

void frmOptions::ChkFontScale_Click() {
    if (!shownFromCode_)
        FontScale = ChkFontScale->Value();
}

void frmOptions::CmbIcon_Click() {
    const int iconClass = CmbIcon->ListIndex();
    if (CmbIconSize->ListIndex() < 0 || iconClass < 0)
        return;
    shownFromCode_ = true;
    CmbIconSize->SetListIndex(std::clamp(IconSize(iconClass) - 1, 0, CmbIconSize->count() - 1));
    ChkScaleIcon->SetValue(IconScale(iconClass) != 0);
    shownFromCode_ = false;
    if (SymbolPicture.InBounds(iconClass))
        IconPicture->setPixmap(
            QPixmap::fromImage(SymbolPicture(iconClass))
                .scaled(IconPicture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmOptions::CmbIconSize_Click() {
    if (shownFromCode_ || CmbIcon->ListIndex() < 0 || CmbIconSize->ListIndex() < 0)
        return;
    IconSize(CmbIcon->ListIndex()) = CmbIconSize->ListIndex() + 1;
}

void frmOptions::ChkScaleIcon_Click() {
    if (!shownFromCode_ && CmbIcon->ListIndex() >= 0)
        IconScale(CmbIcon->ListIndex()) = ChkScaleIcon->Value();
}

// ---- Colours ----

void frmOptions::paintSwatch(int index, int32_t colour) {
    QLabel *swatch = Col[static_cast<size_t>(index)];
    swatch->setProperty("colour", colour);
    swatch->setStyleSheet(QString("background-color: #%1; border: %2;")
                              .arg(PictureBox::ToRgb(colour) & 0xFFFFFF, 6, 16, QChar('0'))
                              .arg(index == SelectedSwatch ? "1px solid black" : "none"));
}

void frmOptions::Col_Click(int index) {
    SelectedSwatch = index;
    for (size_t i = 0; i < Col.size(); ++i)
        paintSwatch(static_cast<int>(i), Col[i]->property("colour").toInt());
}

void frmOptions::Frame3D2_MouseDown(double y) {
    const int colour = std::clamp(static_cast<int>(VB::Int(y)), 0, PaletteStrip::Colours - 1);
    paintSwatch(SelectedSwatch, PictureBox::QBColor(colour));
}

void frmOptions::OptColour_Click(int index) {
    if (ColourOptionGuard)
        return;
    ColourScheme = index == 0 ? 0 : 1;
    SetColourCaptions();
}

void frmOptions::SetColourCaptions() {
    ColourOptionGuard = true;
    const bool freshExhaust = ColourScheme == 1;
    ColCaption[0]->setText(freshExhaust ? "Unspecified Airways" : "On Level Airways");
    ColCaption[2]->setText(freshExhaust ? "Fresh Air Airways" : "Above Level Airways");
    ColCaption[1]->setText(freshExhaust ? "Exhaust Air Airways" : "Below Level Airways");
    OptColour[freshExhaust ? 1 : 0]->SetValue(true);
    const char *const fixed[] = {"Background", "Node Text", "Data Text", "Grid Lines", "Grid Text"};
    for (int i = 3; i < 8; ++i)
        ColCaption[static_cast<size_t>(i)]->setText(fixed[i - 3]);
    ColourOptionGuard = false;
}

// ---- Other controls ----

void frmOptions::Optcurve_Click(int index) {
    switch (index) {
    case 0:
    case 1:
        TxtVPart->SetText(index == 0 ? "0" : "100");
        TxtVPart->hide();
        LblCPart->hide();
        break;
    default:
        TxtVPart->SetText(DefaultCurvePercent >= 1 && DefaultCurvePercent <= 99
                              ? std::to_string(DefaultCurvePercent)
                              : std::string("50"));
        TxtVPart->show();
        LblCPart->show();
        DefaultCurvePercent = static_cast<int32_t>(LenientValue(TxtVPart->Text()));
        break;
    }
}

void frmOptions::ChkSaveTime_Click() {
    txtsavetime->SetText(ChkSaveTime->isChecked() ? "5" : "0");
}

void frmOptions::ChkHor_Click() {
    if (OptionsLoaded)
        AxisChanged = true;
}

void frmOptions::ChkVert_Click() {
    if (OptionsLoaded)
        AxisChanged = true;
}

void frmOptions::OptUnitType_Click(int index) {
    if (!UnitSwitchArmed)
        return;
    // A run lets events in: storing would re-allocate or recalculate arrays the solver is using.
    // While a run is busy, or a typed value is refused, the units stay as they were.
    const auto stay = [this] {
        UnitSwitchArmed = false;
        OptUnitType[UnitSystem == 2 ? 1 : 0]->SetValue(true);
        UnitSwitchArmed = true;
    };
    if (VB::IsBusy()) {
        stay();
        return;
    }
    unitGridLeaveCell();
    if (!fieldsAccepted()) {
        stay();
        return;
    }
    UnloadData();
    UnitSystem = index == 0 ? 1 : 2;
    // Filled again on the tab the buttons sit on, not on the one the dialog opened with.
    OptionsTab = SSTab1->currentIndex();
    Form_Load();
    Shell().RefreshDataList();
    // The cursor's coordinates in the status bar follow the new units at once, not at the next move.
    ShowCursorCoords(CursorX, CursorY);
    show();
}
