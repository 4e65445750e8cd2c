// The presets tab: three editors of a name list, a value box and the hidden number of the preset edited.
// Values live in the working copies (SI) until OK.
#include "settings/frmOptions.h"
#include "settings/options_state.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

// The key and focus habits of an editable preset list (a name box): Enter and leaving rename.
class PresetListKeys : public QObject {
public:
    PresetListKeys(QObject *parent, std::function<void()> rename)
        : QObject(parent), rename_(std::move(rename)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::FocusOut) {
            rename_();
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            rename_();
            return true;
        }
        return false;
    }

private:
    std::function<void()> rename_;
};

} // namespace

std::string frmOptions::presetText(const PresetEditor &e, int i) {
    const float si = (*e.work)[static_cast<size_t>(i)];
    return e.quantity == 14 ? FormatValue(si, 14, 0, 0) : NumberText(ToDisplayUnits(si, e.quantity));
}

frmOptions::PresetEditor frmOptions::preset(int which) const {
    switch (which) {
    case 0:
        return {CmbWall, TxtWallC, TxtW, &WallFactorWork, 10, Value::FrictionFactor};
    case 1:
        return {CmbShock, TxtShockC, TxtS, &ShockLengthWork, 14, Value::ShockLength};
    default:
        return {CmbRes, TxtRes, TxtR, &ResistanceValueWork, 5, Value::Resistance};
    }
}

void frmOptions::presetClick(const PresetEditor &e) {
    const int i = e.list->ListIndex();
    if (i < 0 || i >= PresetEntries)
        return;
    e.value->SetText(presetText(e, i));
    e.index->SetText(std::to_string(i));
    shown_.Keep(*e.value);
}

void frmOptions::presetRename(const PresetEditor &e) {
    const int i = static_cast<int>(LenientValue(e.index->Text()));
    if (e.index->Text().empty() || i < 0 || i >= e.list->count())
        return;
    e.list->setItemText(i, e.list->currentText());
    e.list->SetListIndex(i);
}

void frmOptions::presetStore(const PresetEditor &e) {
    // Only a value the user changed is stored: a shown value converted back could differ in its last digit.
    if (!edited(e.value))
        return;
    const int i = static_cast<int>(LenientValue(e.index->Text()));
    const auto v = VB::StrictNumber(e.value->Text(), ',');
    if (e.index->Text().empty() || i < 0 || i >= PresetEntries || !v)
        return;
    float display = static_cast<float>(*v);
    const float si = FromDisplayUnits(display, e.quantity);
    if (!InRange(e.rule, si)) {
        // The box shows the preset's value again first: leaving it for the message stores nothing.
        e.value->SetText(presetText(e, i));
        shown_.Keep(*e.value);
        VB::MsgBox(RangeText(e.rule), VB::vbExclamation);
        return;
    }
    (*e.work)[static_cast<size_t>(i)] = si;
    shown_.Keep(*e.value);
}

void frmOptions::CmbWall_Click() {
    presetClick(preset(0));
}

void frmOptions::CmbShock_Click() {
    presetClick(preset(1));
}

void frmOptions::CmbRes_Click() {
    presetClick(preset(2));
}

void frmOptions::wirePresets() {
    // Enter in a value box stores it and moves on: walls to shocks, shocks to the underlying box,
    // resistances to walls.
    QWidget *const next[3] = {TxtShockC, ChkUnderR, TxtWallC};
    for (int which = 0; which < 3; ++which) {
        const PresetEditor e = preset(which);
        connect(e.list, &VBComboBox::Click, this, [this, e] { presetClick(e); });
        // The keyboard gives its keys and focus to the combo, which hands them to its edit field.
        e.list->installEventFilter(new PresetListKeys(e.list, [this, e] { presetRename(e); }));
        VB::DecimalKeyFilter::Install(e.value);
        QWidget *target = next[which];
        connect(e.value, &VBTextBox::KeyPress, this, [this, e, target](int &key) {
            if (key != 13)
                return;
            presetStore(e);
            target->setFocus();
            key = 0;
        });
        connect(e.value, &VBTextBox::LostFocus, this, [this, e] { presetStore(e); });
    }
}
