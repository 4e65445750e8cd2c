// Display choice: data group and item, level combo and level scroll bar.
#include "graphics/drawing.h"
#include "graphics/editor_input.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "settings/frmOptions.h"
#include "shell/MainForm.h"
#include "shell/frmWindow.h"
#include "shell/shell_state.h"
#include "simulation/smoke_spread.h"

#include <QScopedValueRollback>

void MainForm::CmbDataType_Click() {
    if (CmbDataType->ListIndex() < 0)
        return;
    DataGroup = CmbDataType->ListIndex() + 1;
    for (int g = 1; g <= 4; ++g)
        SetMenuChecked("MnuQFlag(" + std::to_string(g) + ")", false);
    CmbDataVal->clear();
    for (int item = 2; item <= 10; ++item)
        if (!DataTypeCaption(DataGroup, item).empty())
            CmbDataVal->addItem(ToQt(DataTypeCaption(DataGroup, item)));
    int &remembered = DataItemOfGroup[static_cast<size_t>(DataGroup)];
    if (remembered < 2)
        remembered = 2;
    if (DataGroup != 0)
        CmbDataVal->SetListIndex(remembered - 2);
    if (!DataComboUpdating)
        DataCode = DataGroup * 10 + DataItem;
}

void MainForm::showWindowCaption() {
    if (ActiveWindow < 0)
        return;
    setWindowCaption(ActiveWindow, "View " + std::to_string(ActiveWindow + 1) + " : " +
                                       FromQt(CmbRL->currentText()) + " " +
                                       FromQt(CmbDataVal->currentText()));
}

void MainForm::CmbDataVal_Click() {
    if (DataComboUpdating || CmbDataVal->ListIndex() < 0)
        return;
    DataItem = CmbDataVal->ListIndex() + 2;
    DataCode = DataGroup * 10 + DataItem;
    DataItemOfGroup[static_cast<size_t>(DataGroup)] = DataItem;
    ShowDisplayChoice();
    if (ActiveWindow >= 0) {
        SaveView(ActiveWindow + 100);
        WindowOpen(ActiveWindow) = true;
    }
    if (!SmokeBusy && !SettingDataCombos)
        Redraw();
}

void MainForm::ShowDisplayChoice() {
    LblUnit->setText(ToQt(DataUnitName(DataCode)));
    showWindowCaption();
}

void MainForm::RefreshDataList() {
    CmbDataVal_Click();
}

void MainForm::SettingsReplaced() {
    RefillOptions();
}

void MainForm::CmbRL_Click() {
    if (LevelSyncBusy || ActiveWindow == -1 || CmbRL->ListIndex() < 0)
        return;
    const bool toSingleLevel = ViewMode != 1;
    if (toSingleLevel) {
        PreviousViewMode = ViewMode;
        ViewMode = 1;
    }
    ShowLevelModeMarks(0);
    LevelScrollValue = CmbRL->ListIndex() + 1;
    showWindowCaption();
    if (VsbRL->value() != static_cast<int>(LevelScrollValue))
        VsbRL->setValue(static_cast<int>(LevelScrollValue));
    else if (toSingleLevel)
        VsbRL_Change(); // the scroll bar already stands on the level: it is shown alone all the same
    if (MouseDownActive) {
        StartPointX = CursorX;
        StartPointY = CursorY;
    }
}

void MainForm::VsbRL_Change() {
    if (LevelSyncBusy)
        return;
    if (ViewMode != 1)
        PreviousViewMode = ViewMode;
    RotationCentreSet = 1;
    ViewMode = 1;
    const int level = VsbRL->value();
    LevelScrollValue = level;
    // The combo's handler finds the scroll bar already on this level.
    CmbRL->SetListIndex(level - 1);
    if (!LevelRange.InBounds(level, 1))
        return;
    RLWindowLow = LevelRange(level, 2);
    RLWindowHigh = LevelRange(level, 1);
    LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
    WorkingElevation = static_cast<float>(LevelElevation);
    CursorElevation = static_cast<float>(LevelElevation);
    // Disabling and enabling again takes the keyboard focus off the scroll bar.
    VsbRL->setEnabled(false);
    VsbRL->setEnabled(true);
    SetVisibleAirways();
    RotateView();
    Redraw();
    if (ActiveWindow >= 0) {
        SaveView(ActiveWindow + 100);
        WindowOpen(ActiveWindow) = true;
    }
    VB::DoEvents();
    ShowCursorCoords(CursorX, CursorY);
}

void MainForm::ShowLevelChoice(int level) {
    {
        const QScopedValueRollback syncing(LevelSyncBusy, true);
        if (level >= VsbRL->minimum() && level <= VsbRL->maximum())
            VsbRL->setValue(level);
        CmbRL->SetListIndex(level >= 1 && level <= CmbRL->count() ? level - 1 : -1);
    }
    CursorElevation = static_cast<float>(LevelElevation);
    showWindowCaption();
}

void MainForm::VsbRL_Scroll() {
    const QScopedValueRollback syncing(LevelSyncBusy, true);
    LevelScrollValue = VsbRL->value();
    CmbRL->SetListIndex(VsbRL->value() - 1);
}

void MainForm::VsbRL_KeyDown(int keyCode) {
    KeyCommand(keyCode);
}

void MainForm::setWindowCaption(int w, const std::string &caption) {
    if (w < 0 || w > 4)
        return;
    if (frmWindow *window = Windows[static_cast<size_t>(w)])
        window->SetCaption(caption);
    if (QAction *a = MenuItem("mnuWindowView(" + std::to_string(w) + ")"))
        a->setText(ToQt(caption));
}

void MainForm::SetWindowListItem(int w, const std::string &caption, bool visible) {
    if (QAction *a = MenuItem("mnuWindowView(" + std::to_string(w) + ")")) {
        if (!caption.empty())
            a->setText(ToQt(caption));
        a->setVisible(visible);
    }
}
