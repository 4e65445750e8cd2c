// The airway edit dialog's load of one airway into its controls and the save of its controls into one
// airway or every selected airway.
#include "dialogs/dialog_state.h"
#include "dialogs/dialog_support.h"
#include "dialogs/frmAirEdit.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr float Pi = 3.1415926f;

// Selects a list entry from code as a list index property does: -1 clears, a position beyond the list is
// an error.
void selectEntry(VBComboBox &list, int index) {
    if (index < -1 || index >= list.count())
        throw VBError(VBErr::InvalidPropertyValue, "invalid property value");
    list.setCurrentIndex(index);
}

void setFlag(int a, int32_t bit, bool on) {
    if (on)
        AirwayFlags(a) |= bit;
    else
        AirwayFlags(a) &= ~bit;
}

// The preset list of one type code: entries 0..49 with a name, each carrying its preset index.
void fillPresets(VBComboBox &list, const VBArray<std::string> &names, bool skipUndefined) {
    list.clear();
    for (int p = 0; p < TypedPreset; ++p) {
        const std::string &name = names(p);
        if (name.empty())
            continue;
        if (skipUndefined && QString::fromStdString(name).toUpper() == "UNDEFINED")
            continue;
        list.addItem(ToQt(name), p);
    }
}

} // namespace

// ---- Loading ----

void frmAirEdit::LoadAirway() {
    Loading = true;
    const bool single = AirEditMode != 3;
    txtRemote->setVisible(RealtimeEnabled != 0);
    LblRemote->setVisible(RealtimeEnabled != 0);
    constexpr std::array<int, 8> unitRows{Quantity::Airflow,    Quantity::Pressure,       Quantity::Length,
                                          Quantity::Resistance, Quantity::FrictionFactor, Quantity::Length,
                                          Quantity::Length,     Quantity::Length};
    for (size_t i = 0; i < unitRows.size(); ++i)
        LblUnit[i]->setText(ToQt(UnitName(unitRows[i])));

    if (CurrentAirway > AirwayCount)
        CurrentAirway = AirwayCount;
    if (CurrentAirway < 1)
        CurrentAirway = 1;
    const int a = CurrentAirway;
    const int32_t flags = AirwayFlags(a);

    if ((flags & AirwayFlag::Rectangular) != 0)
        EditShape = 0;
    if ((flags & AirwayFlag::Round) != 0)
        EditShape = 1;
    if ((flags & AirwayFlag::Irregular) != 0)
        EditShape = 2;
    EditWidth = AirwaySize(2, a);
    EditHeight = AirwaySize(1, a);
    EditDiameter = EditArea = EditWidth;
    EditPerimeter = EditHeight;
    if (EditShape == 0) {
        EditArea = EditWidth * EditHeight;
        EditPerimeter = 2 * EditWidth + 2 * EditHeight;
        EditDiameter = EditWidth;
    } else if (EditShape == 1) {
        const float d = AirwaySize(2, a);
        EditWidth = EditHeight = d;
        EditArea = (d / 2) * (d / 2) * Pi;
        EditPerimeter = d * Pi;
    } else if (EditShape == 2) {
        EditWidth = std::sqrt(std::max(0.0f, AirwaySize(2, a)));
        EditHeight = EditDiameter = EditWidth;
    }
    SetShape();

    DataEntryStatement([&] { selectEntry(*CmbPrimary, AirwayPrimaryLayer(a) - 1); });
    DataEntryStatement([&] { selectEntry(*CmbSecond, AirwaySecondaryLayer(a) - 1); });
    TxtMultiAir->setText(AirwayParallelCount(a) > 1 ? QString::number(AirwayParallelCount(a)) : "1");

    CheckService->SetValue((flags & AirwayFlag::Services) != 0);
    CheckFix->SetValue((flags & AirwayFlag::FixedFlow) != 0);
    TxtFlow->setEnabled(single && (flags & AirwayFlag::FixedFlow) != 0);
    CheckLength->SetValue((flags & AirwayFlag::FixedLength) != 0);
    TxtLength->setEnabled((flags & AirwayFlag::FixedLength) != 0);
    CheckDirection->SetValue((flags & AirwayFlag::FixedDirection) != 0);

    const bool fixedPressure = AirwayFan(a) == -1;
    ChkPress->SetValue(fixedPressure);
    showValue(*TxtPres, AirwayPressure(a), Quantity::Pressure, 0);
    TxtPres->setEnabled(single && fixedPressure);

    OptAirType[0]->SetValue(false);
    OptAirType[1]->SetValue(false);
    OptAirType[0]->SetValue((flags & AirwayFlag::FreshAir) != 0);
    OptAirType[1]->SetValue((flags & AirwayFlag::ExhaustAir) != 0);
    ColourAirType();

    TxtUnique->setText(QString::number(AirwayNumber(a)));
    const std::string name = Trim(AirwayName(a)), from = Trim(AirwayStartName(a)),
                      to = Trim(AirwayEndName(a));
    TxtName->setText(ToQt(name));
    LblFrom->setText(ToQt(from));
    LblTo->setText(ToQt(to));
    AirwayName(a) = name;
    AirwayStartName(a) = from;
    AirwayEndName(a) = to;

    showValue(*txtHeight, AirwaySize(1, a), Quantity::Length, 1);
    showValue(*TxtWidth, AirwaySize(2, a), EditShape == 2 ? Quantity::Area : Quantity::Length, 1);
    showValue(*TxtFlow, AirwayFlow(a), Quantity::Airflow, 0);
    showValue(*TxtLength, AirwayLength(a), Quantity::Coordinates, 1);
    DataEntryStatement([&] { selectEntry(*txtRemote, AirwayStation(a)); });

    fillPresets(*ResCombo, ResistanceTypeName, true);
    fillPresets(*ShockCombo, ShockTypeName, false);
    fillPresets(*WallCombo, WallTypeName, false);

    for (const PresetField &field : presetFields()) {
        const int type = field.type(a);
        const bool typed = type == TypedPreset;
        if (!typed) {
            const int entry = field.list->findData(type);
            if (entry >= 0)
                field.list->SetListIndex(entry);
        }
        field.list->setVisible(!typed);
        field.caption->setVisible(!typed);
        field.fix->SetValue(typed);
        showValue(*field.value, field.stored(a), field.shownQuantity, field.shownPrecision);
        field.value->setEnabled(typed);
    }

    // The fan; re-selecting the entry already chosen runs nothing.
    const int fan = AirwayFan(a);
    fanLoaded_ = true;
    if (fan > 0) {
        const int entry = FindFanEntry(*FanCombo2, fan);
        if (entry < 0) {
            VB::MsgBox("Fan not detected in fan database");
            fanLoaded_ = false;
        } else if (entry != FanCombo2->ListIndex()) {
            FanCombo2->SetListIndex(entry);
        }
    } else if (FanCombo2->ListIndex() != 0) {
        FanCombo2->SetListIndex(0);
    }
    if (fanLoaded_) {
        TxtFanN->setText(QString::number(AirwayFanCount(a)));
        const int percent = AirwayCurvePercent(a);
        if (percent == 0) {
            Optcurve[0]->SetValue(true);
        } else if (percent == 100) {
            Optcurve[1]->SetValue(true);
        } else if (percent >= 1 && percent <= 99) {
            Optcurve[2]->SetValue(true);
            TxtCPart->show();
            LblCPart->show();
        }
        TxtCPart->setText(QString::number(percent));
        if ((flags & AirwayFlag::FansInSeries) != 0 && fan != 0)
            OptSer2->SetValue(true);
        else
            OptPar2->SetValue(true);
        setFanSpinner(AirwayFanCount(a));
    }

    OptShowData->SetValue((flags & AirwayFlag::DataHidden) == 0);
    ChkSurfaceEntry->SetValue((flags & AirwayFlag::SurfaceEntry) != 0);
    ChkSurfaceExit->SetValue((flags & AirwayFlag::SurfaceExit) != 0);
    Loading = false;
}

// ---- Saving ----

bool frmAirEdit::SaveOne() {
    const auto entry = readEntry();
    if (!entry)
        return false;
    beginWrite(CurrentAirway);
    storeEntry(*entry);
    return true;
}

bool frmAirEdit::SaveSelected() {
    const auto entry = readEntry();
    if (!entry)
        return false;
    const int count = AirwayCount;
    for (int a = 1; a <= count; ++a) {
        if ((AirwayFlags(a) & AirwayFlag::Selected) == 0)
            continue;
        CurrentAirway = a;
        beginWrite(a);
        storeEntry(*entry);
    }
    return true;
}

std::optional<frmAirEdit::Entry> frmAirEdit::readEntry() {
    const bool single = AirEditMode != 3;
    Entry e;
    QLineEdit *reading = nullptr; // the box being read, selected when it is refused
    const auto read = [&](QLineEdit &box, int quantity, Value rule) {
        reading = &box;
        return boxValue(box, quantity, rule);
    };
    const auto whole = [&](QLineEdit &box, Value rule) {
        reading = &box;
        return static_cast<int>(TypedValue(rule, BoxText(box), 0));
    };
    try {
        e.pressureAndFlow = single && ChkPress->isChecked() && CheckFix->isChecked();
        if (single) {
            if (ChkPress->isChecked())
                e.pressure = read(*TxtPres, Quantity::Pressure, Value::Pressure);
            // With a fixed pressure the flow becomes part of a fixed resistance, no longer fixed itself.
            const bool fixedFlow = CheckFix->isChecked() && !e.pressureAndFlow;
            e.flow = read(*TxtFlow, Quantity::Airflow, fixedFlow ? Value::FixedFlow : Value::Flow);
            reading = nullptr;
            e.station = stationChoice();
        }
        // The boxes hold the dialog's shape: the save gives them only to airways of that shape.
        if (Touched(TxtWidth))
            e.width = EditShape == 2 ? read(*TxtWidth, Quantity::Area, Value::SectionArea)
                                     : read(*TxtWidth, Quantity::Length, Value::Section);
        if (Touched(txtHeight) && EditShape != 1)
            e.height = read(*txtHeight, Quantity::Length, Value::Section);
        if (Touched(TxtMultiAir))
            e.parallel = whole(*TxtMultiAir, Value::ParallelCount);
        if (Touched(TxtLength))
            e.length = read(*TxtLength, Quantity::Coordinates, Value::Length);
        const auto fields = presetFields();
        for (size_t i = 0; i < fields.size(); ++i) {
            const PresetField &field = fields[i];
            Entry::Preset &p = e.presets[i];
            const bool fromPressure = i == 0 && e.pressureAndFlow;
            p.touched = Touched(field.value) || fromPressure;
            p.fixed = field.fix->isChecked() || fromPressure;
            if (!p.touched)
                continue;
            if (!p.fixed) {
                reading = nullptr;
                p.preset = presetChoice(*field.list);
                continue;
            }
            const auto computed = fromPressure ? resistanceOfPressureAndFlow() : std::nullopt;
            if (computed) {
                reading = TxtFlow;
                p.typed = TypedValue(field.rule, *computed, field.typedQuantity);
            } else if (!field.value->text().isEmpty()) {
                // An empty box keeps the value.
                p.typed = read(*field.value, field.typedQuantity, field.rule);
            }
        }
        e.fans = single && fanLoaded_;
        if (e.fans) {
            e.fanCount = Trim(BoxText(*TxtFanN)).empty() ? 0 : whole(*TxtFanN, Value::FanCount);
            e.curvePercent = whole(*TxtCPart, Value::CurvePercent);
        }
    } catch (const VBError &error) {
        ShowDataEntryError(error);
        if (reading != nullptr && reading->isVisible() && reading->isEnabled()) {
            reading->setFocus(Qt::OtherFocusReason);
            reading->selectAll();
        }
        return std::nullopt;
    }
    return e;
}

void frmAirEdit::storeEntry(const Entry &e) {
    const int a = CurrentAirway;
    const bool single = AirEditMode != 3;

    if (e.pressureAndFlow) {
        // Fixed pressure with fixed flow is a fixed resistance.
        ChkFixRes->SetValue(true);
        UpdateFixR();
        ChkPress->SetValue(false);
        CheckFix->SetValue(false);
        AirwayPressure(a) = e.pressure;
        AirwayFan(a) = 0;
    }
    if (Touched(CheckDirection))
        setFlag(a, AirwayFlag::FixedDirection, CheckDirection->isChecked());
    for (VBComboBox *combo : {CmbPrimary, CmbSecond}) {
        if (!Touched(combo))
            continue;
        const bool primary = combo == CmbPrimary;
        int &renaming = primary ? PrimaryRenameIndex : SecondaryRenameIndex;
        const int layer = renaming != 0 ? renaming : combo->currentIndex() + 1;
        if (layer > 0 && layer <= combo->count()) {
            (primary ? AirwayPrimaryLayer : AirwaySecondaryLayer)(a) = layer;
            storeLayerName(primary, layer, FromQt(combo->currentText()));
            renaming = 0;
        }
    }
    if (Touched(TxtMultiAir)) {
        AirwayFlags(a) &= ~(AirwayFlag::Rectangular | AirwayFlag::Round | AirwayFlag::Irregular);
        AirwayFlags(a) |= EditShape == 0   ? AirwayFlag::Rectangular
                          : EditShape == 1 ? AirwayFlag::Round
                                           : AirwayFlag::Irregular;
    }
    if (single) {
        AirwayName(a) = BoxText(*TxtName);
        AirwayStartName(a) = BoxText(*LblFrom);
        AirwayEndName(a) = BoxText(*LblTo);
        // Node names belong to the junction: every end there takes the new name, except at the surface.
        auto spread = [](Currency key, const NodeName &nodeName) {
            if (key == SurfaceNodeKey)
                return;
            for (int i = 1; i <= AirwayCount; ++i) {
                if (AirwayStartKey(i) == key)
                    AirwayStartName(i) = nodeName;
                if (AirwayEndKey(i) == key)
                    AirwayEndName(i) = nodeName;
            }
        };
        spread(AirwayStartKey(a), NodeName(AirwayStartName(a)));
        spread(AirwayEndKey(a), NodeName(AirwayEndName(a)));
        AirwayFlow(a) = e.flow;
        AirwayStation(a) = e.station;
        setFlag(a, AirwayFlag::FixedDirection, CheckDirection->isChecked());
        if (ChkPress->isChecked()) {
            AirwayFan(a) = -1;
            AirwayPressure(a) = e.pressure;
        } else if (AirwayFan(a) == -1) {
            AirwayFan(a) = 0;
        }
        setFlag(a, AirwayFlag::FixedFlow, CheckFix->isChecked());
        if (Touched(ChkSurfaceEntry))
            setFlag(a, AirwayFlag::SurfaceEntry, ChkSurfaceEntry->isChecked());
        if (Touched(ChkSurfaceExit))
            setFlag(a, AirwayFlag::SurfaceExit, ChkSurfaceExit->isChecked());
    }
    if (Touched(CheckService))
        setFlag(a, AirwayFlag::Services, CheckService->isChecked());
    if (Touched(TxtLength))
        setFlag(a, AirwayFlag::FixedLength, CheckLength->isChecked());
    if (Touched(OptAirType[0]))
        setFlag(a, AirwayFlag::FreshAir, OptAirType[0]->isChecked());
    if (Touched(OptAirType[1]))
        setFlag(a, AirwayFlag::ExhaustAir, OptAirType[1]->isChecked());
    if (Touched(OptShowData))
        setFlag(a, AirwayFlag::DataHidden, !OptShowData->isChecked());

    // Sizes reach only airways whose stored shape is the dialog's.
    const int32_t flags = AirwayFlags(a);
    const bool rectangular = (flags & AirwayFlag::Rectangular) != 0 && EditShape == 0;
    const bool round = (flags & AirwayFlag::Round) != 0 && EditShape == 1;
    const bool irregular = (flags & AirwayFlag::Irregular) != 0 && EditShape == 2;
    if (e.width && (rectangular || round || irregular))
        AirwaySize(2, a) = *e.width;
    if (e.height && (rectangular || irregular))
        AirwaySize(1, a) = *e.height;
    else if (Touched(txtHeight) && round)
        AirwaySize(1, a) = 0;
    if (e.parallel)
        AirwayParallelCount(a) = *e.parallel;
    if (e.length)
        AirwayLength(a) = *e.length;

    const auto fields = presetFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const PresetField &field = fields[i];
        const Entry::Preset &p = e.presets[i];
        if (!p.touched)
            continue;
        if (!p.fixed) {
            field.type(a) = p.preset;
            field.stored(a) = field.presetValue(p.preset);
            continue;
        }
        field.type(a) = TypedPreset;
        if (p.typed)
            field.stored(a) = *p.typed;
    }

    CalcAirway(a);

    if (e.fans) {
        int fans = e.fanCount;
        if (AirwayParallelCount(a) > 1 && fans > 0) {
            VB::MsgBox("Fans not allowed in multiple airways");
            TxtFanN->setText("0");
            fans = 0;
        }
        if (fans != 0) {
            AirwayFan(a) = FanEntryNumber(FromQt(FanCombo2->currentText()));
            AirwayFlags(a) |= AirwayFlag::FixedDirection;
        } else {
            if (AirwayFan(a) != -1)
                AirwayFan(a) = 0;
            if (!CheckDirection->isChecked())
                AirwayFlags(a) &= ~AirwayFlag::FixedDirection;
        }
        if (AirwayFan(a) < 1) {
            AirwayFanCount(a) = 0;
        } else {
            AirwayFanCount(a) = fans;
            // An airway with a fan never keeps a fixed flow.
            AirwayFlags(a) &= ~AirwayFlag::FixedFlow;
        }
        if (AirwayFan(a) >= 1 && AirwayFanCount(a) == 0)
            AirwayFanCount(a) = 1;
        setFlag(a, AirwayFlag::FansInSeries, OptSer2->isChecked());
        AirwayCurvePercent(a) = e.curvePercent;
    }
    if (single)
        AirwayStation(a) = e.station;

    endWrite();
}

void frmAirEdit::showValue(QLineEdit &box, float value, int quantity, int precision) {
    shown_.Show(box, ToQt(FormatValue(value, quantity, 0, precision)), value);
}

float frmAirEdit::boxValue(const QLineEdit &box, int quantity, Value rule) const {
    if (const auto shown = shown_.Unedited(box))
        return static_cast<float>(*shown);
    return TypedValue(rule, BoxText(box), quantity);
}

int frmAirEdit::stationChoice() const {
    const int station = txtRemote->currentIndex();
    if (station < 0)
        throw VBError(VBErr::InvalidPropertyValue, "no station chosen");
    return station;
}

int frmAirEdit::presetChoice(const VBComboBox &list) {
    if (list.currentIndex() < 0)
        throw VBError(VBErr::InvalidPropertyValue, "no preset chosen");
    return list.currentData().toInt();
}
