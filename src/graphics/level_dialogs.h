#pragma once
// The two level choosers the view-mode change opens: the selected-levels dialog and the elevation range
// dialog. The shell installs the windows (graphics holds no widgets); without them nothing can be chosen,
// and tests install a recording implementation.
class LevelDialogs {
public:
    virtual ~LevelDialogs() = default;

    // frmSelLevel, modal: OK fills SelectedLevels and clears LevelSelectCancelled; CANCEL and the close
    // box set LevelSelectCancelled. Without the dialog the choice counts as cancelled.
    virtual void ShowSelectLevelDialog();
    // frmRange, modal: OK sets RLWindowLow, RLWindowHigh and WorkingElevation; Cancel changes nothing.
    virtual void ShowRangeDialog() {}
};

// The current implementation (never null).
LevelDialogs &LevelChoosers();
// Installs an implementation; nullptr restores the silent one. Returns the previous one.
LevelDialogs *SetLevelDialogs(LevelDialogs *dialogs);
