#include "shell/file_commands.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "model/file_dialogs.h"
#include "model/file_note.h"
#include "model/levels_views.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "model/node_keys.h"
#include "model/recent_files.h"
#include "model/recovery_copy.h"
#include "model/settings_file.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "shell/tool_command.h"
#include "solver/checks.h"
#include "tables/frmSpreadSheet.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

// Removes a level that repeats the one before it (name and range), as merging the same levels twice gives.
void removeAdjacentDuplicateLevels() {
    int last = 1;
    while (last < 249 && !IsUnusedLevel(last + 1))
        ++last;
    for (int i = 2; i <= last;) {
        if (LevelName(i) == LevelName(i - 1) && LevelRange(i, 1) == LevelRange(i - 1, 1) &&
            LevelRange(i, 2) == LevelRange(i - 1, 2)) {
            for (int j = i; j < last; ++j) {
                LevelName(j) = LevelName(j + 1);
                LevelRange(j, 1) = LevelRange(j + 1, 1);
                LevelRange(j, 2) = LevelRange(j + 1, 2);
            }
            LevelName(last).clear();
            LevelRange(last, 1) = 0;
            LevelRange(last, 2) = 0;
            --last;
        } else {
            ++i;
        }
    }
}

} // namespace

void NewNetwork() {
    if (!(NetworkFileName.empty() && AirwayCount == 0) &&
        VB::MsgBox("Current Data will be lost ?", VB::vbOKCancel, "Data Exists") == VB::vbCancel)
        return;
    NetworkFileName.clear();
    NoteOpenNetworkFile("");
    ClearNetwork();
    ClearFileNote();
    // The memo of the network that was closed does not travel into the new one, shown or not.
    FileNote.clear();
    // The axes, label and symbol sizes of the network closed belong to its file, not to the new one.
    SetNewNetworkAxes();
    UseSettingsLabelSizes();
    LoadMode = 1;
    AirwayCount = 0;
    // The new network holds nothing to save, and its airways are numbered from 1.
    NetworkSaved = 255;
    NextAirwayNumber = 0;
    if (ActiveWindow == -1) {
        ActiveWindow = 0;
        SetViewCaption();
    }
    // The new network starts as a start without a file does: its two levels, the second alone in plan,
    // fitted in every window, and nothing of the network closed left in the level controls, the captions or
    // the read-outs.
    SetDefaultLevels();
    ViewMode = 1;
    ShowLevelModeMarks(0);
    LevelScrollValue = 2;
    ShowWorkingLevel();
    PlanView();
    FitNetwork();
    ShowNetworkInEveryWindow(true);
    LoadFanData();
}

void OpenCommand() {
    // The zoom tool is current after an open, so that the next click cannot edit.
    Shell().SetMenuChecked("mnuZoom", true);
    PreviousToolCode = ToolCode;
    ToolCode = ZoomToolCode;
    Shell().RunToolCommand();
    SpreadSheetAroundNetworkChange([] {
        if (NetworkSaved == 0) {
            const int answer =
                VB::MsgBox("Network Data is not saved - Save it?", VB::vbYesNoCancel | VB::vbQuestion);
            // Yes saves as File > Save does; the edits are kept unless they were written.
            if (answer == VB::vbCancel || (answer == VB::vbYes && !SaveCommand()))
                return;
        }
        OpenNetworkDialog();
    });
}

void OpenRecentFile(int index) {
    if (index < 1 || index > 9 || RecentFiles(index).empty())
        return;
    // The file chosen, taken before a save moves the entries.
    const std::string chosen = RecentFiles(index);
    if (NetworkSaved == 0) {
        const int answer =
            VB::MsgBox("Network Data is not saved - Save it?", VB::vbYesNoCancel | VB::vbQuestion);
        // A save that is cancelled or fails keeps the unsaved network.
        if (answer == VB::vbCancel || (answer == VB::vbYes && !SaveCommand()))
            return;
    }
    VB::SetScreenPointer(VB::vbHourglass);
    LoadMode = 1;
    LoadNetworkFile(chosen);
    VB::SetScreenPointer(VB::vbDefault);
}

void MergeCommand() {
    LoadMode = AirwayCount + 1;
    LevelOffset = 1;
    while (LevelOffset < 249 && !LevelName(LevelOffset).empty())
        ++LevelOffset;
    // The merged levels fill the slots from the first free one.
    --LevelOffset;
    const int firstMerged = LoadMode;
    // The load lifts the counter over the merged file's own numbers.
    const int32_t nextNumber = NextAirwayNumber;
    // The file dialog says that it adds to the open network, not that it opens one.
    const bool merged = OpenNetworkDialog("Merge File");
    FillLevelList();
    removeAdjacentDuplicateLevels();
    FillLevelList();
    if (AirwayCount >= firstMerged) {
        // The merged airways, also those of a merge stopped part-way, continue the open network's numbers;
        // they are numbered while they still sit after the network's own, and the sort then moves whole
        // records.
        NextAirwayNumber = nextNumber;
        RenumberAirways(firstMerged, false);
        if (merged)
            SortAirways();
    }
    UpdateNodeKeys();
    LoadMode = 1;
    LevelOffset = 0;
}

void PrintCommand() {
    Shell().ShowPrintWindow();
    Redraw();
}

void ShowHelp(int) {
    const std::string path = AppFolder + "help/index.html";
    std::error_code error;
    if (std::filesystem::exists(path, error) && Shell().OpenHelpFile(path, 100))
        return;
    VB::MsgBox("Help is not available: no help file is installed with this copy of Gustrom.",
               VB::vbInformation);
}
