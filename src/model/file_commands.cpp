#include "model/file_commands.h"

#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "model/file_note.h"
#include "model/levels_views.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "model/node_keys.h"
#include "model/recent_files.h"
#include "model/undo.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "simulation/checks.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string folderOf(const std::string &path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Removes a level that repeats the one before it (name and range), as merging the same levels twice gives.
void removeAdjacentDuplicateLevels() {
    int last = 1;
    while (last < 249 && !(LevelName(last + 1).empty() && LevelRange(last + 1, 1) == 0))
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
    ClearNetwork();
    ClearFileNote();
    LoadMode = 1;
    AirwayCount = 0;
    if (ActiveWindow == -1) {
        ActiveWindow = 0;
        SetViewCaption();
        FitNetwork();
        Redraw();
    }
    LoadFanData();
}

void OpenCommand() {
    // The zoom tool is current after an open, so that the next click cannot edit.
    Shell().SetMenuChecked("mnuZoom", true);
    PreviousToolCode = ToolCode;
    ToolCode = ZoomToolCode;
    Shell().RunToolCommand();
    if (NetworkSaved == 0) {
        const int answer =
            VB::MsgBox("Network Data is not saved - Save it?", VB::vbYesNoCancel | VB::vbQuestion);
        if (answer == VB::vbCancel)
            return;
        // The edits are kept unless they were written.
        if (answer == VB::vbYes && !SaveNetworkAs())
            return;
    }
    OpenNetworkDialog();
}

bool OpenNetworkDialog() {
    VB::FileRequest request;
    request.initialDir = VB::GetSetting("Gustrom", "Files", "DefaultDir", "");
    request.filter = "Gustrom Data (*.sim)|*.sim|Master Files (*.smm)|*.smm|All Files (*.*)|*.*";
    request.filterIndex = 1;
    request.mustExist = true;
    const std::optional<std::string> chosen = VB::FileDialog(request);
    DialogCancelled = !chosen || chosen->empty();
    if (DialogCancelled)
        return false;
    VB::SetScreenPointer(VB::vbHourglass);
    VB::SaveSetting("Gustrom", "Files", "DefaultDir", folderOf(*chosen));
    VB::DoEvents();
    const bool merge = LoadMode > 1;
    const std::string previousName = NetworkFileName;
    const int previousViewMode = ViewMode;
    ViewMode = 1;
    NetworkFileName = *chosen;
    const LoadOutcome outcome = LoadNetwork();
    if (outcome == LoadOutcome::NotOpened) {
        NetworkFileName = previousName;
        ViewMode = previousViewMode;
    } else if (merge && outcome == LoadOutcome::Loaded) {
        // The merged network stays under its own name: saving it must not overwrite the merged file.
        NetworkFileName = previousName;
    }
    if (outcome != LoadOutcome::NotOpened)
        SetFileName();
    VB::SetScreenPointer(VB::vbDefault);
    return outcome == LoadOutcome::Loaded;
}

void OpenRecentFile(int index) {
    if (index < 1 || index > 9 || RecentFiles(index).empty())
        return;
    if (NetworkSaved == 0) {
        const int answer =
            VB::MsgBox("Network Data is not saved - Save it?", VB::vbYesNoCancel | VB::vbQuestion);
        // A Save As that is cancelled or fails keeps the unsaved network.
        if (answer == VB::vbCancel || (answer == VB::vbYes && !SaveNetworkAs()))
            return;
    }
    VB::SetScreenPointer(VB::vbHourglass);
    const std::string previousName = NetworkFileName;
    NetworkFileName = RecentFiles(index);
    LoadMode = 1;
    if (LoadNetwork() == LoadOutcome::NotOpened)
        NetworkFileName = previousName;
    else
        SetFileName();
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
    const bool merged = OpenNetworkDialog();
    FillLevelList();
    removeAdjacentDuplicateLevels();
    FillLevelList();
    if (merged && AirwayCount >= firstMerged) {
        // The merged airways are numbered while they still sit after the network's own; the sort then
        // moves whole records.
        RenumberAirways(firstMerged, false);
        SortAirways();
    }
    UpdateNodeKeys();
    LoadMode = 1;
    LevelOffset = 0;
}

bool SaveNetworkAs() {
    std::string offered = NetworkFileName;
    if (offered.size() >= 4) {
        const std::string ext = upper(offered.substr(offered.size() - 4));
        if (ext == ".SIM" || ext == ".SMM")
            offered.erase(offered.size() - 4);
    }
    VB::FileRequest request;
    request.save = true;
    request.defaultExt = "sim";
    request.filter = "Data Files (*.sim)|*.sim|Master Files (*.smm)|*.smm|All files (*.*)|*.*";
    request.filterIndex = 1;
    request.fileName = offered;
    request.confirmOverwrite = true;
    const std::optional<std::string> chosen = VB::FileDialog(request);
    DialogCancelled = !chosen || chosen->empty();
    if (!chosen)
        return false;
    if (chosen->empty()) {
        VB::MsgBox("Error Save File - Check Name", VB::vbExclamation);
        return false;
    }
    const std::string previousName = NetworkFileName;
    NetworkFileName = *chosen;
    SetFileName();
    ShowWindowTitle();
    if (SaveNetwork(0))
        return true;
    // The network still belongs to the file it came from.
    NetworkFileName = previousName;
    SetFileName();
    return false;
}

void SetFileName() {
    const auto cut = NetworkFileName.find_last_of("/\\");
    NetworkFileTitle = cut == std::string::npos ? NetworkFileName : NetworkFileName.substr(cut + 1);
    if (NetworkFileTitle.size() > 100)
        NetworkFileTitle.resize(100);
    ShowWindowTitle();
    MasterFile =
        NetworkFileTitle.size() >= 3 && upper(NetworkFileTitle.substr(NetworkFileTitle.size() - 3)) == "SMM";
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
