#include "model/recent_files.h"

#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"
#include "platform/VBError.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr const char *App = "Gustrom";
constexpr const char *Section = "Files";
constexpr int Entries = 9;

std::string keyOf(int i) {
    return std::to_string(i) + "Name";
}

} // namespace

std::string ShortRecentName(const std::string &path) {
    if (path.size() <= 19)
        return path;
    // The last separator before the final character; paths of either kind of separator are shortened.
    const size_t cut = path.find_last_of("\\/", path.size() - 2);
    if (cut == std::string::npos)
        return path;
    return path.substr(0, 11) + ".." + path.substr(cut);
}

void ShowRecentFiles() {
    for (int i = 1; i <= Entries; ++i) {
        const std::string &entry = RecentFiles(i);
        std::string caption = "&";
        caption += std::to_string(i);
        caption += ' ';
        caption += ShortRecentName(entry);
        Shell().RecentMenuSet(i, caption, !entry.empty());
    }
}

void LoadRecentFiles() {
    ShowRecentFiles();
    const std::string old = AppFolder + "Gustrom.old";
    if (std::filesystem::is_regular_file(old)) {
        // An older release kept four entries in a file of its own: take them over once.
        try {
            TextFileReader in(old);
            std::string line;
            for (int i = 1; i <= 4 && in.ReadLine(line); ++i)
                RecentFiles(i) = line;
            std::remove(old.c_str());
            return;
        } catch (const VBError &) {
            // Unreadable: the settings store's list serves.
        }
    }
    for (int i = 1; i <= Entries; ++i)
        RecentFiles(i) = VB::GetSetting(App, Section, keyOf(i));
}

void AddRecentFile() {
    ShowRecentFiles();
    for (int i = 1; i <= Entries; ++i)
        VB::SaveSetting(App, Section, keyOf(i), RecentFiles(i));
}
