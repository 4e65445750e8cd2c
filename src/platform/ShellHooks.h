#pragma once
// The main window's controls that the model, solver and graphics write. The main window implements
// this; without one the calls do nothing, and tests install a recording implementation.
#include <cstdint>
#include <string>

class ShellHooks {
public:
    virtual ~ShellHooks() = default;

    // Main window caption.
    virtual void SetCaption(const std::string& /*caption*/) {}
    virtual bool IsMinimized() const { return false; }

    // LblSim: caption and back colour (VB colour, red in the low byte).
    virtual void SetSimLabel(const std::string& /*caption*/, int32_t /*backColour*/) {}
    // CmbDataType and CmbDataVal back colour.
    virtual void SetDataCombosBackColour(int32_t /*colour*/) {}

    // Shows graphics window w (created when missing) with its number as tag, caption, background colour
    // and automatic redraw.
    virtual void SetupGraphicsWindow(int /*w*/, const std::string& /*caption*/, int32_t /*backColour*/,
                                     bool /*autoRedraw*/) {}

    // CmbView: saved view names. Setting the list index runs the combo's click handler.
    virtual void ViewListClear() {}
    virtual void ViewListAdd(const std::string& /*name*/) {}
    virtual void ViewListSetIndex(int /*index*/) {}
    virtual int ViewListCount() const { return 0; }
    virtual std::string ViewListText(int /*index*/) const { return {}; }

    // CmbRL: level names. Setting the list index runs the combo's click handler.
    virtual void LevelListClear() {}
    virtual void LevelListAdd(const std::string& /*name*/) {}
    virtual void LevelListSetIndex(int /*index*/) {}
    // VsbRL: level scroll bar; setting the value runs its change handler.
    virtual void LevelScrollSetRange(int /*min*/, int /*max*/) {}
    virtual void LevelScrollSetValue(int /*value*/) {}
    virtual int LevelScrollGetValue() const { return 1; }
    virtual int LevelScrollGetMin() const { return 1; }
    virtual int LevelScrollGetMax() const { return 1; }
    // CmbRL: the list index shown (-1 none).
    virtual int LevelListGetIndex() const { return -1; }
    // CmbRL and VsbRL show this level without running their handlers (the view mode and the displayed
    // levels stay); the active graphics window's caption names it.
    virtual void ShowLevelChoice(int /*level*/) {}

    // mnuOld(1..9): recent files.
    virtual void RecentMenuSet(int /*index*/, const std::string& /*caption*/, bool /*visible*/) {}
    // Check mark of a named menu item ("mnuConfirm", "mnuGridFlag", "mnuLevels(2)", ...).
    virtual void SetMenuChecked(const std::string& /*item*/, bool /*checked*/) {}

    // Caption of a read-out label of the main window ("TxtX", "TxtY", "TxtZ", "LblWin1", "LblWin2", "LblUnit").
    virtual void SetLabelText(const std::string& /*control*/, const std::string& /*text*/) {}
    // List indexes of the data group combo (CmbDataType) and the data item combo (CmbDataVal).
    virtual void SetDataComboIndexes(int /*groupIndex*/, int /*itemIndex*/) {}

    // Autosave timer: interval in ms.
    virtual void SetAutosaveTimer(bool /*enabled*/, int /*intervalMs*/) {}
    virtual void ShowRemoteMenus(bool /*show*/) {}

    // Toolbar: the button of this command shows pressed (none for a command without a button).
    virtual void MarkToolButton(int /*toolCode*/) {}
    // Keyboard focus to the active graphics window.
    virtual void FocusActiveWindow() {}
    // TimerRotate: the rotation pad's timer is stopped by every key and mouse press.
    virtual void StopRotationTimer() {}
    // Runs the command dispatcher on ToolCode (a key chose a tool or a command by its number).
    virtual void RunCommand(int /*code*/) {}
    // The note window (frmFileNote) and its text box.
    virtual bool FileNoteShown() const { return false; }
    virtual std::string FileNoteText() const { return {}; }
    virtual void SetFileNoteText(const std::string& /*text*/) {}
    virtual void SetFileNoteSelStart(int /*start*/) {}
    // The command dispatcher (ToolCommand) applying the current ToolCode.
    virtual void RunToolCommand() {}
    // Background colour and picture retention of graphics window w.
    virtual void SetGraphicsWindowLook(int /*w*/, int32_t /*backColour*/, bool /*autoRedraw*/) {}
    // The print window (modal).
    virtual void ShowPrintWindow() {}
    // Opens a help file at a context number; false when it cannot be shown.
    virtual bool OpenHelpFile(const std::string& /*path*/, int /*context*/) { return false; }
    // Gives graphics window w the focus.
    virtual void FocusGraphicsWindow(int /*w*/) {}
    // Timer1 (realtime input, timer 1) and Timer2 (realtime output, timer 2): enabled state and interval in
    // ms. A timer ticks only while it is enabled and its interval is above 0.
    virtual void SetRealtimeTimerEnabled(int /*timer*/, bool /*enabled*/) {}
    virtual void SetRealtimeTimerInterval(int /*timer*/, int /*intervalMs*/) {}
    // CmbRL: the text shown (the current level's name).
    virtual std::string LevelListText() const { return {}; }
    // frmMessage: shows the text and closes itself after the given time (ms).
    virtual void ShowMessageWindow(const std::string& /*text*/, int /*milliseconds*/) {}
    // CmbDataVal given its own text again: the unit label and captions follow the unit system and the
    // windows are redrawn.
    virtual void RefreshDataList() {}
    // The unit label (LblUnit) and the active graphics window's caption follow the data value and the level
    // the combos show; nothing is redrawn.
    virtual void ShowDisplayChoice() {}
    // A loaded network brought its own settings: a settings dialog that is open shows them.
    virtual void SettingsReplaced() {}
};

// The current implementation (never null).
ShellHooks& Shell();
// Installs an implementation; nullptr restores the silent one. Returns the previous one.
ShellHooks* SetShellHooks(ShellHooks* hooks);
