// Storing the settings dialog: every field checked against its limits, converted to SI and stored, and
// what the new values need applied. A box still showing what filling put there keeps its setting exactly.
#include "settings/frmOptions.h"
#include "settings/options_state.h"

#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/GridEdit.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"
#include "solver/flow_limits.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include <cfloat>
#include <cmath>
#include <functional>
#include <optional>

namespace {

std::optional<double> numberIn(const VBTextBox *box) {
    return VB::StrictNumber(box->Text(), ',');
}

// A value typed in display units, in SI.
float siOf(double display, int quantity) {
    float value = static_cast<float>(display);
    return FromDisplayUnits(value, quantity);
}

// A check box stored into a 0/1 (or True/False) setting only when its state differs from the setting.
void storeCheck(int &setting, const VBCheckBox *box) {
    if ((setting != 0) != box->isChecked())
        setting = box->Value();
}

// The highest fan slot in use: named in the database or chosen by an airway.
int highestFanInUse() {
    int highest = 0;
    for (int f = 1; f <= MaxFans; ++f)
        if (FanName.InBounds(f) && !FanName(f).empty())
            highest = f;
    for (int a = 1; a <= AirwayCount; ++a)
        highest = std::max(highest, AirwayFan(a));
    return highest;
}

} // namespace

void frmOptions::checkField(VBTextBox *box, Value rule, const std::function<double(double)> &toSI,
                            const std::function<void(double)> &store, const char *message, int icon,
                            const std::function<bool(double)> &also) {
    // A field the user changed whose value lies outside its rule, or is no number, keeps its setting and
    // shows its message. The curve percentage is stored also as filled: the curve buttons rewrite it.
    if (!edited(box) && box != TxtVPart)
        return;
    const auto v = numberIn(box);
    if (v)
        EditValue = static_cast<float>(*v);
    const double si = v ? (toSI ? toSI(*v) : *v) : 0;
    // Checked as kept: 1e-46 passes an open bound as a double but is 0 in the single that holds it.
    const bool accepted = v && InRange(rule, si) && std::fabs(si) <= FLT_MAX &&
                          InRange(rule, static_cast<float>(si)) && (!also || also(si));
    if (accepted) {
        if (!checking_)
            store(si);
        return;
    }
    const std::string text =
        *message != 0 ? std::string(message) + "\r\n" + RangeText(rule) : RangeText(rule);
    if (checking_ && !refused_)
        refused_ = Refusal{box, text, icon};
    else if (!checking_)
        VB::MsgBox(text, icon);
}

bool frmOptions::fieldsAccepted() {
    checking_ = true;
    refused_.reset();
    bool recalculate = false;
    storeDisplayFields();
    storeSizes();
    storeCheckedFields(recalculate);
    checking_ = false;
    if (!refused_)
        return true;
    VB::MsgBox(refused_->message, refused_->icon);
    // The box is shown on its tab, selected for the correction.
    for (QWidget *w = refused_->box->parentWidget(); w != nullptr; w = w->parentWidget())
        if (const int tab = SSTab1->indexOf(w); tab >= 0)
            SSTab1->setCurrentIndex(tab);
    refused_->box->SetFocus();
    refused_->box->SetSelStart(0);
    refused_->box->SetSelLength(static_cast<int>(refused_->box->Text().size()));
    refused_.reset();
    return false;
}

void frmOptions::storeCheckedFields(bool &recalculate) {
    const int warn = VB::vbExclamation;
    const auto single = [](double v) { return static_cast<float>(v); };
    const auto as = [](int quantity) { return [quantity](double v) { return siOf(v, quantity); }; };

    // Rows 6 .. 9, the axes, rows 10 .. 17.
    checkField(
        TxtMj, Value::GridSpacing, {}, [](double v) { GridSpacing = v; },
        "Limits of Allowable Major Grid Size Exceeded", warn);
    checkField(
        Txtgwidth, Value::ScaleWidth, {}, [&](double v) { DefaultScaleWidth = single(v); },
        "Limits of Allowable Major Grid Width Exceeded", warn);
    checkField(
        Txtgx, Value::GridCentre, {}, [&](double v) { DefaultCentreX = single(v); },
        "Limits of Allowable Grid Exceeded", warn);
    checkField(
        Txtgy, Value::GridCentre, {}, [&](double v) { DefaultCentreY = single(v); },
        "Limits of Allowable Grid Exceeded", warn);
    checkField(
        txtIt, Value::MaxIterations, {}, [](double v) { MaxIterations = static_cast<int>(v); },
        "Limits of Iterations Exceeded", warn);
    checkField(
        txtMe, Value::MaxError, [&](double v) { return static_cast<double>(single(v)); },
        [&](double v) {
            MaxError = single(v);
            // Kept as typed, but the flows are single precision: a run holds them no closer than their
            // spacing at the largest flow.
            double largest = 0;
            for (int a = 1; a <= AirwayCount; ++a)
                largest = std::max(largest, std::fabs(static_cast<double>(AirwayFlow(a))));
            if (MaxError < FlowErrorFloor(largest))
                VB::MsgBox("Max Allowable Error is finer than the flows of this network hold in single "
                           "precision: runs raise it to " +
                               NumberText(static_cast<float>(FlowErrorFloor(largest))) + " m3/s",
                           VB::vbInformation);
        },
        "Limits of Allowable Errors Exceeded", warn);
    checkField(
        TxtDensity, Value::AirDensity, as(6),
        [&](double si) {
            if (single(si) != AirDensity) {
                AirDensity = single(si);
                recalculate = true;
            }
        },
        "Limits of Allowable Density Exceeded", warn);
    checkField(
        TxtAirP, Value::SurfacePressure, as(13), [&](double si) { SurfacePressure = single(si); },
        "Limits of Allowable Air Pressure Exceeded", warn);
    checkField(
        TxtCost, Value::PowerCost, {}, [&](double v) { PowerCost = single(v); },
        "Limits of Allowable Cost Exceeded", warn);
    checkField(
        TxtEff, Value::PowerEfficiency, [](double v) { return v / 100; },
        [&](double v) { AirPowerEfficiency = single(v); }, "Limits of Allowable Efficiency Exceeded", warn);
    // The fan capacity may not drop below a fan in use; 10 itself, which files may hold, is not typed.
    checkField(
        TxtFanMax, Value::MaxFans, {},
        [](double v) {
            const int fans = static_cast<int>(v);
            if (fans != MaxFans) {
                MaxFans = fans;
                ReDimNetworkPreserve();
            }
        },
        "Limits of Allowable Fan Types Exceeded", warn,
        [](double v) { return v > 10 && v >= highestFanInUse(); });
    if (TxtAirRL->Text() != "???")
        checkField(
            TxtAirRL, Value::SurfacePressureRL, as(1), [&](double si) { SurfacePressureRL = single(si); },
            "Limits of Allowable RL's Exceeded", warn);
}

void frmOptions::UnloadData() {
    // 1.
    OptionsLoaded = false;
    // 2. Fan curve percentage, with rows 1 .. 5 below.
    // 3. Realtime menus.
    storeCheck(RealtimeEnabled, ChkRemote);
    Shell().ShowRemoteMenus(RealtimeEnabled != 0);
    // 4. Graphics detail; settings bits above the ten boxes stay.
    int32_t detail = GraphicsDetail & ~0x3FF;
    for (int i = 0; i < 10; ++i)
        if (ChkViewer[static_cast<size_t>(i)]->isChecked())
            detail |= 1 << i;
    GraphicsDetail = detail;
    // 5. Data display.
    for (size_t b = 0; b < OptType.size(); ++b)
        if (OptType[b]->Value())
            DataDisplayMode = DataModeOfButton[b];
    SetVisibleAirways();
    // 6.
    SmokeSourceMode = OptSimSource[1]->Value() ? 1 : 0;
    // 7. Screen buffer: the active window is cleared.
    ScreenBuffer = ChkBuffer->isChecked();
    if (ActiveWindow >= 0)
        Shell().SetGraphicsWindowLook(ActiveWindow, ColourTable(3), ScreenBuffer);
    // 8.
    AutoInfo = ChkInfo->isChecked();
    storeCheck(ScrollZoomOff, ChkScroll);
    LayerInheritance = ChkLayer->isChecked();
    storeCheck(RightClickEditOff, ChkEDIT);
    // 9. Rows 1 .. 5, then the rotation boxes.
    storeDisplayFields();
    storeCheck(FullRotation, ChkTilt);
    storeCheck(UnlimitedSpeed, ChkSpeed);
    // 10. Colours and scheme; the active window takes the background.
    for (size_t i = 0; i < Col.size(); ++i)
        ColourTable(static_cast<int>(i)) = Col[i]->property("colour").toInt();
    ColourScheme = OptColour[0]->Value() ? 0 : 1;
    if (ActiveWindow >= 0)
        Shell().SetGraphicsWindowLook(ActiveWindow, ColourTable(3), ScreenBuffer);
    // 11. Default airway size.
    storeSizes();
    // 12. New airways.
    PropertyInheritance = !ChkInherit->isChecked();
    if (WallCombo->ListIndex() >= 0)
        DefaultDriveWallType = WallCombo->ListIndex();
    if (WallCombo2->ListIndex() >= 0)
        DefaultRaiseWallType = WallCombo2->ListIndex();
    if (ShockCombo->ListIndex() >= 0 && ShockCombo->ListIndex() != VB::RoundHalfEven(DefaultShockLength))
        DefaultShockLength = static_cast<float>(ShockCombo->ListIndex());
    storeCheck(UseDefaultArea, ChkArea);
    // 13.
    DefaultsSaved = 0;
    // 14.
    bool recalculate = false;
    AxisSignX = ChkHor->isChecked() ? -1 : 1;
    AxisSignY = ChkVert->isChecked() ? -1 : 1;
    storeCheckedFields(recalculate);
    restOfUnload(recalculate);
}

void frmOptions::storeDisplayFields() {
    // A box no curve button has filled keeps the setting.
    if (!TxtVPart->Text().empty())
        checkField(
            TxtVPart, Value::CurvePercent, {},
            [](double v) { DefaultCurvePercent = static_cast<int32_t>(v); }, "", VB::vbExclamation);
    checkField(
        TxtCd, Value::MinNodeSpacing, {}, [](double v) { MinNodeSpacing = static_cast<int>(v); },
        "Limits of Allowable Divisions Exceeded", VB::vbExclamation);
    checkField(
        TxtTol, Value::PickTolerance, {},
        [](double v) { PickDivisor = static_cast<int>(VB::RoundHalfEven(100 / v)); },
        "Limits Exceeded.  Keep values between .25% and 20%", VB::vbExclamation);
    checkField(
        TxtPowerZoom, Value::PowerZoomSpeed, {}, [](double v) { PowerZoomSpeed = static_cast<float>(v); },
        "Power Zoom exceeds limits", 0);
    checkField(
        TxtTilt, Value::RotationSpeed, {}, [](double v) { TiltSpeed = static_cast<float>(v); },
        "Tilt rotation exceeds limits", 0);
    checkField(
        TxtSpin, Value::RotationSpeed, {}, [](double v) { SpinSpeed = static_cast<float>(v); },
        "Spin rotation exceeds limits", 0);
}

void frmOptions::storeSizes() {
    // A new airway's cross-section has a size: the one rule of every door that takes one.
    const auto size = [this](VBTextBox *box, float &setting, int quantity, Value rule) {
        checkField(
            box, rule, [quantity](double v) { return static_cast<double>(siOf(v, quantity)); },
            [&setting](double si) { setting = static_cast<float>(si); }, "", VB::vbExclamation);
    };
    size(txtHeight, DefaultDriveHeight, Quantity::Length, Value::Section);
    size(TxtWidth, DefaultDriveWidth, Quantity::Length, Value::Section);
    size(TxtDiam, DefaultRaiseDiameter, Quantity::Length, Value::Section);
    size(TxtPerim, DefaultPerimeter, Quantity::Length, Value::Section);
    size(TxtArea, DefaultArea, Quantity::Area, Value::SectionArea);
}

void frmOptions::restOfUnload(bool recalculate) {
    // 15. Preset values the user changed, positive; a changed value reaches the airways that use the preset.
    VBArray<float> *const values[3] = {&WallTypeFactor, &ShockTypeLength, &ResistanceTypeValue};
    for (size_t which = 0; which < 3; ++which)
        for (int i = 0; i < PresetEntries; ++i) {
            const float work = (*preset(static_cast<int>(which)).work)[static_cast<size_t>(i)];
            if (work == filledPresetValues_[which][static_cast<size_t>(i)])
                continue;
            if (std::fabs(work) != (*values[which])(i))
                recalculate = true;
            (*values[which])(i) = std::fabs(work);
        }
    if (recalculate)
        CalcAllAirways();
    // 16. Preset names the user changed.
    VBArray<std::string> *const names[3] = {&WallTypeName, &ShockTypeName, &ResistanceTypeName};
    for (size_t which = 0; which < 3; ++which) {
        const QComboBox *list = preset(static_cast<int>(which)).list;
        for (int i = 0; i < PresetEntries && i < list->count(); ++i) {
            const std::string name = FromQt(list->itemText(i));
            if (name != filledPresetNames_[which][static_cast<size_t>(i)])
                (*names[which])(i) = UCase1252(name) == "UNDEFINED" ? std::string() : name;
        }
    }
    // 17. Autosave: under a minute is off.
    int32_t minutes = AutosaveMinutes;
    if (edited(txtsavetime))
        if (const auto v = numberIn(txtsavetime))
            minutes = VB::ClampToInt<int32_t>(VB::RoundHalfEven(*v));
    if (!ChkSaveTime->isChecked() || minutes < 1) {
        AutosaveMinutes = 0;
        Shell().SetAutosaveTimer(false, 0);
    } else {
        AutosaveMinutes = std::min(minutes, 10);
        Shell().SetAutosaveTimer(true, AutosaveMinutes * 6000);
    }
    // 18. Unit formats and British factors (unit names are not stored).
    for (int q = 1; q <= 15; ++q) {
        UnitText(q, 3) = MSFlexGrid1->TextMatrix(q, 1);
        UnitText(q, 4) = MSFlexGrid1->TextMatrix(q, 3);
        const std::string factor = MSFlexGrid1->TextMatrix(q, 5);
        if (factor != filledFactors_[static_cast<size_t>(q)])
            if (const auto v = VB::StrictNumber(factor, ','); v && InRange(Value::UnitFactor, *v))
                UnitFactor(q, 2) = static_cast<float>(*v);
    }
    // 19.
    UnderlyingResistanceOff = ChkUnderR->isChecked() ? 0 : 1;
    // 20.
    hide();
    VB::DoEvents();
    // 21.
    if (AxisChanged) {
        Tilt = 0;
        Spin = 0;
        ViewIs3D = 0;
        PrepareDrawing();
        FitNetwork();
        AxisChanged = false;
    }
    // 22.
    RedrawAll();
}

void frmOptions::cmdOK_Click() {
    // A run lets events in: storing would re-allocate or recalculate arrays the solver is using.
    if (VB::IsBusy())
        return;
    unitGridLeaveCell();
    // A refused value keeps the dialog open on its box, with nothing stored.
    if (!fieldsAccepted())
        return;
    UnloadData();
    unload();
    PickedAirway = 0;
}

void frmOptions::cmdCancel_Click() {
    OptionsLoaded = false;
    hide();
    VB::DoEvents();
    RedrawAll();
    unload();
}
