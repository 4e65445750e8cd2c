#include "model/pending_services.h"

#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "platform/ShellHooks.h"
#include "platform/System.h"

void FillLevelList() {
    Shell().LevelListClear();
    for (int i = 2; i <= 249; ++i) {
        if (LevelName(i).empty() || LevelRange(i, 1) < LevelRange(i - 1, 1))
            continue;
        const std::string name = LevelName(i);
        const int32_t high = LevelRange(i, 1), low = LevelRange(i, 2);
        int j = i;
        while (j > 1 && LevelRange(j - 1, 1) <= high) {
            LevelName(j) = LevelName(j - 1);
            LevelRange(j, 1) = LevelRange(j - 1, 1);
            LevelRange(j, 2) = LevelRange(j - 1, 2);
            --j;
        }
        LevelName(j) = name;
        LevelRange(j, 1) = high;
        LevelRange(j, 2) = low;
    }
    int n = 1;
    while (n <= 250 && !(LevelName(n).empty() && LevelRange(n, 1) == 0 && LevelRange(n, 2) == 0)) {
        Shell().LevelListAdd(LevelName(n));
        ++n;
    }
    if (n < 2) {
        n = 2;
        LevelName(1) = "SURFACE";
        Shell().LevelListAdd(LevelName(1));
    }
    Shell().LevelScrollSetRange(1, n - 1);
}

void AddNamedView(int slot, int code, const std::string &name) {
    ViewName(slot) = name;
    SaveView(slot);
    if (slot != 0 && code != 6)
        Shell().ViewListAdd(name);
    NetworkSaved = 0;
}

void AddRecentFile() {
    for (int i = 1; i <= 9; ++i) {
        Shell().RecentMenuSet(i, RecentFiles(i), !RecentFiles(i).empty());
        // Every write of the store rewrites its file: entries that did not change are left alone.
        const std::string key = std::to_string(i) + "Name";
        if (VB::GetSetting("Gustrom", "Files", key, "\x01") != RecentFiles(i))
            VB::SaveSetting("Gustrom", "Files", key, RecentFiles(i));
    }
}

void LoadFanData() {
    // The fan database file reader is not in place yet; the fan table stays as it is.
}

void MarkResultsStale() {
    NetworkBalanced = false;
    Shell().SetSimLabel("SIM", 0x80C0FF);
    Shell().SetDataCombosBackColour(0xC0FFFF);
}
