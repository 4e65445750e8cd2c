#include "common/RecordingShell.h"
#include "common/TestFolder.h"
#include "model/Gustrom1.h"
#include "model/recent_files.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class RecentFilesList : public ::testing::Test {
protected:
    TestFolder folder;
    RecordingShell shell;
    void SetUp() override {
        for (int i = 1; i <= 9; ++i)
            RecentFiles(i) = "";
    }
};

TEST(RecentFileNames, LongPathsKeepTheirStartAndFileName) {
    const struct {
        std::string path, shown;
    } cases[] = {
        {"C:\\Mines\\Projects\\North\\net.sim", "C:\\Mines\\Pr..\\net.sim"},
        {"C:\\Mines\\Projec.sim", "C:\\Mines\\Projec.sim"}, // exactly 19 characters
        {"C:\\Mines\\Projects\\", "C:\\Mines\\Projects\\"},
        {"C:\\Mines\\Projects\\North\\", "C:\\Mines\\Pr..\\North\\"},
        {"/home/eng/mines/north/net.sim", "/home/eng/m../net.sim"},
        {"averyveryverylongnamewithoutfolder.sim", "averyveryverylongnamewithoutfolder.sim"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ShortRecentName(c.path), c.shown) << c.path;
}

TEST_F(RecentFilesList, MenuShowsNumberedEntriesAndHidesEmptyOnes) {
    RecentFiles(1) = "C:\\Mines\\Projects\\North\\net.sim";
    RecentFiles(2) = "D:\\a.sim";
    RecentFiles(3) = "D:\\b.sim";
    ShowRecentFiles();
    EXPECT_EQ(shell.recentMenu[1], std::make_pair(std::string("&1 C:\\Mines\\Pr..\\net.sim"), true));
    EXPECT_EQ(shell.recentMenu[3], std::make_pair(std::string("&3 D:\\b.sim"), true));
    for (int i = 4; i <= 9; ++i)
        EXPECT_FALSE(shell.recentMenu[i].second) << i;
}

TEST_F(RecentFilesList, StoredListIsReadBack) {
    RecentFiles(1) = "C:\\one.sim";
    RecentFiles(9) = "C:\\nine.sim";
    AddRecentFile();
    for (int i = 1; i <= 9; ++i)
        RecentFiles(i) = "stale";
    LoadRecentFiles();
    EXPECT_EQ(RecentFiles(1), "C:\\one.sim");
    EXPECT_EQ(RecentFiles(2), "");
    EXPECT_EQ(RecentFiles(9), "C:\\nine.sim");
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "9Name"), "C:\\nine.sim");
}

TEST_F(RecentFilesList, OldListFileIsTakenOverOnceAndDeleted) {
    VB::SaveSetting("Gustrom", "Files", "1Name", "C:\\from store.sim");
    folder.Write("Gustrom.old", "C:\\a.sim\r\nC:\\b.sim\r\nC:\\c.sim\r\nC:\\d.sim\r\nC:\\e.sim\r\n");
    LoadRecentFiles();
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "Gustrom.old"));
    EXPECT_EQ(RecentFiles(1), "C:\\a.sim");
    EXPECT_EQ(RecentFiles(4), "C:\\d.sim");
    EXPECT_EQ(RecentFiles(5), "");

    AddRecentFile();
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "1Name"), "C:\\a.sim");
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "4Name"), "C:\\d.sim");
    // The next start reads the store.
    RecentFiles(1) = "";
    LoadRecentFiles();
    EXPECT_EQ(RecentFiles(1), "C:\\a.sim");
}

} // namespace
