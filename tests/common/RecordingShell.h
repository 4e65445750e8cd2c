#pragma once
// Records what the model, the solver and graphics write into the main window's controls (the commands
// the keyboard runs: RecordingToolShell).
#include "platform/ShellHooks.h"

#include <map>
#include <string>
#include <vector>

class RecordingShell : public ShellHooks {
public:
    RecordingShell() { previous_ = SetShellHooks(this); }
    ~RecordingShell() override { SetShellHooks(previous_); }

    std::string caption;
    bool minimized = false;
    std::string simCaption;
    int32_t simColour = -1;
    int simLabelSets = 0;
    int32_t comboColour = -1;
    std::vector<std::string> viewList;
    std::vector<int> viewIndexSet;
    std::vector<std::string> levelList;
    std::vector<int> levelIndexSet;
    int scrollMin = 0, scrollMax = 0, scrollValue = 0;
    int levelIndex = -1;
    int rotationTimerStops = 0;
    std::map<int, std::pair<std::string, bool>> recentMenu;
    std::map<std::string, bool> menuChecked;
    bool autosaveEnabled = false;
    int autosaveInterval = 0;
    bool remoteMenus = false;
    std::map<std::string, std::string> labels;
    int dataGroupIndex = -1, dataItemIndex = -1;
    struct GraphicsWindow {
        std::string caption;
        int32_t backColour = 0;
        bool autoRedraw = false;
    };
    std::map<int, GraphicsWindow> graphicsWindows;

    void SetCaption(const std::string &c) override { caption = c; }
    bool IsMinimized() const override { return minimized; }
    void SetSimLabel(const std::string &c, int32_t colour) override {
        simCaption = c;
        simColour = colour;
        ++simLabelSets;
    }
    void SetDataCombosBackColour(int32_t colour) override { comboColour = colour; }
    void SetupGraphicsWindow(int w, const std::string &c, int32_t back, bool autoRedraw) override {
        graphicsWindows[w] = {c, back, autoRedraw};
    }
    void ViewListClear() override { viewList.clear(); }
    void ViewListAdd(const std::string &name) override { viewList.push_back(name); }
    void ViewListSetIndex(int index) override { viewIndexSet.push_back(index); }
    int ViewListCount() const override { return static_cast<int>(viewList.size()); }
    std::string ViewListText(int index) const override {
        return index >= 0 && index < ViewListCount() ? viewList[static_cast<size_t>(index)] : std::string();
    }
    void LevelListClear() override { levelList.clear(); }
    void LevelListAdd(const std::string &name) override { levelList.push_back(name); }
    void LevelListSetIndex(int index) override {
        levelIndexSet.push_back(index);
        levelIndex = index;
    }
    int LevelListGetIndex() const override { return levelIndex; }
    void ShowLevelChoice(int level) override {
        levelIndex = level - 1;
        scrollValue = level;
    }
    void LevelScrollSetRange(int min, int max) override {
        scrollMin = min;
        scrollMax = max;
    }
    void LevelScrollSetValue(int value) override { scrollValue = value; }
    int LevelScrollGetValue() const override { return scrollValue; }
    int LevelScrollGetMin() const override { return scrollMin; }
    int LevelScrollGetMax() const override { return scrollMax; }
    void SetLabelText(const std::string &control, const std::string &text) override {
        labels[control] = text;
    }
    void SetDataComboIndexes(int group, int item) override {
        dataGroupIndex = group;
        dataItemIndex = item;
    }
    void RecentMenuSet(int index, const std::string &c, bool visible) override {
        recentMenu[index] = {c, visible};
    }
    void SetMenuChecked(const std::string &item, bool checked) override { menuChecked[item] = checked; }
    void SetAutosaveTimer(bool enabled, int intervalMs) override {
        autosaveEnabled = enabled;
        autosaveInterval = intervalMs;
    }
    void ShowRemoteMenus(bool show) override { remoteMenus = show; }
    int markedTool = -1;
    int focusCount = 0;
    void MarkToolButton(int code) override { markedTool = code; }
    void FocusActiveWindow() override { ++focusCount; }
    void StopRotationTimer() override { ++rotationTimerStops; }

    bool noteShown = false;
    std::string noteText;
    int noteSelStart = -1;
    int toolCommands = 0;
    int printWindows = 0;
    std::vector<std::pair<std::string, int>> helpOpened;
    bool helpAvailable = false;
    bool FileNoteShown() const override { return noteShown; }
    std::string FileNoteText() const override { return noteText; }
    void SetFileNoteText(const std::string &text) override { noteText = text; }
    void SetFileNoteSelStart(int start) override { noteSelStart = start; }
    void RunToolCommand() override { ++toolCommands; }
    void SetGraphicsWindowLook(int w, int32_t back, bool autoRedraw) override {
        graphicsWindows[w].backColour = back;
        graphicsWindows[w].autoRedraw = autoRedraw;
    }
    void ShowPrintWindow() override { ++printWindows; }
    bool OpenHelpFile(const std::string &path, int context) override {
        helpOpened.emplace_back(path, context);
        return helpAvailable;
    }
    std::vector<int> focusedWindows;
    void FocusGraphicsWindow(int w) override { focusedWindows.push_back(w); }
    // Timer1 and Timer2 (index 1, 2).
    bool timerEnabled[3] = {};
    int timerInterval[3] = {};
    void SetRealtimeTimerEnabled(int timer, bool enabled) override { timerEnabled[timer] = enabled; }
    void SetRealtimeTimerInterval(int timer, int ms) override { timerInterval[timer] = ms; }
    std::string LevelListText() const override {
        return levelIndex >= 0 && levelIndex < static_cast<int>(levelList.size())
                   ? levelList[static_cast<size_t>(levelIndex)]
                   : std::string();
    }

    int dataListRefreshes = 0;
    void RefreshDataList() override { ++dataListRefreshes; }

private:
    ShellHooks *previous_ = nullptr;
};
