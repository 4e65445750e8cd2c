#include "model/file_dialogs.h"

#include "model/Gustrom1.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "model/recovery_copy.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/System.h"

#include <algorithm>
#include <cctype>

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string folderOf(const std::string &path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The part after the last separator, at most 100 characters.
std::string fileTitleOf(const std::string &path) {
    const auto cut = path.find_last_of("/\\");
    std::string title = cut == std::string::npos ? path : path.substr(cut + 1);
    if (title.size() > 100)
        title.resize(100);
    return title;
}

// Two programs saving one file would each write over what the other saved: opening a file that another
// program has open asks first. No opens nothing.
bool openWhereverHeld(const std::string &path) {
    return !HeldByAnotherProgram(path) ||
           VB::MsgBox("The file " + path +
                          " is open in another running Gustrom program.\r\n\r\nChanges saved in one "
                          "program would be lost when the other saves. Open it here anyway?",
                      VB::vbYesNo | VB::vbQuestion | VB::vbDefaultButton2, "File Already Open") == VB::vbYes;
}

} // namespace

std::string FileDialogFolder() {
    const std::string network = folderOf(NetworkFileName);
    return !network.empty() ? network : VB::GetSetting("Gustrom", "Files", "DefaultDir", "");
}

void RememberFileDialogFolder(const std::string &chosen) {
    VB::SaveSetting("Gustrom", "Files", "DefaultDir", folderOf(chosen));
}

bool OpenNetworkDialog(const std::string &title) {
    VB::FileRequest request;
    request.title = title;
    request.initialDir = FileDialogFolder();
    request.filter = "Gustrom Data (*.sim)|*.sim|Master Files (*.smm)|*.smm|All Files (*.*)|*.*";
    request.filterIndex = 1;
    request.mustExist = true;
    const std::optional<std::string> chosen = VB::FileDialog(request);
    DialogCancelled = !chosen || chosen->empty();
    if (DialogCancelled)
        return false;
    VB::SetScreenPointer(VB::vbHourglass);
    RememberFileDialogFolder(*chosen);
    VB::DoEvents();
    const int previousViewMode = ViewMode;
    ViewMode = 1;
    const LoadOutcome outcome = LoadNetworkFile(*chosen);
    if (outcome == LoadOutcome::NotOpened)
        ViewMode = previousViewMode;
    VB::SetScreenPointer(VB::vbDefault);
    return outcome == LoadOutcome::Loaded;
}

LoadOutcome LoadNetworkFile(const std::string &named) {
    const bool merge = LoadMode > 1;
    // The network keeps its file's whole name, so that its saves, its lock and the recent files reach that
    // file wherever the program runs from.
    const std::string path = VB::WholeFilePath(named);
    if (!merge && !openWhereverHeld(path))
        return LoadOutcome::NotOpened;
    const std::string previousName = NetworkFileName;
    NetworkFileName = path;
    const LoadOutcome outcome = LoadNetwork();
    if (outcome == LoadOutcome::NotOpened) {
        NetworkFileName = previousName;
        return outcome;
    }
    // The merged network stays under its own name: saving it must not overwrite the merged file.
    if (merge && outcome == LoadOutcome::Loaded)
        NetworkFileName = previousName;
    SetFileName();
    return outcome;
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
    // The network takes the new name only once it is written there: a refused or failed save leaves it
    // with the file it came from.
    if (!SaveNetworkTo(*chosen))
        return false;
    NetworkFileName = VB::WholeFilePath(*chosen);
    SetFileName();
    return true;
}

void SetFileName() {
    NetworkFileTitle = fileTitleOf(NetworkFileName);
    Upper().ShowWindowTitle();
    MasterFile = IsMasterFileName(NetworkFileName);
    NoteOpenNetworkFile(NetworkFileName);
}

bool IsMasterFileName(const std::string &path) {
    const std::string title = fileTitleOf(path);
    return title.size() >= 3 && upper(title.substr(title.size() - 3)) == "SMM";
}
