#include "model/NetworkFileFixture.h"

#include "model/file_dialogs.h"
#include "model/file_note.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "platform/FileLock.h"
#include "platform/VBError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

// Puts recognisable values into a view slot.
void fillView(int slot, const std::string &name, float base) {
    ViewName(slot) = name;
    for (int f = 1; f <= 27; ++f)
        ViewSingles(slot, f) = base + 0.25f * static_cast<float>(f);
    for (int f = 1; f <= 5; ++f)
        ViewCurrency(slot, f) = static_cast<Currency>(base * 10000) + 1234 * f;
}

// Counts the lines of a file's text that begin with `start`.
int linesStarting(const std::string &text, const std::string &start) {
    int count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, start.size(), start) == 0)
            ++count;
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            break;
        pos = end + 2;
    }
    return count;
}

std::string afterHeading(const std::string &text) {
    const std::size_t heading = text.find("Entry Node\t");
    const std::size_t end = text.find("\r\n", heading);
    return text.substr(end + 2);
}

} // namespace

TEST_F(NetworkFileTest, EverySectionComesBackAfterSaveAndLoad) {
    GenerateNetwork(300, 7);
    NetworkTitle = "Round trip";
    FileNote = "First line, with commas, and more\r\nSecond line";
    AxisSignY = -1;
    PowerCost = 0.125f;
    AirDensity = 1.15f;
    FanName(7) = "Spare fan without curve";
    PrimaryLayerName(12) = "Hidden layer";
    PrimaryLayerVisible(12) = false;
    SecondaryLayerName(30) = "Secondary hidden";
    SecondaryLayerVisible(30) = false;
    fillView(6, "North", 10);
    fillView(9, "South", 20);
    fillView(40, "Shaft", 30);
    CalcAllAirways();
    const std::string before = Snapshot();

    ASSERT_TRUE(SaveTo("round.sim"));
    EXPECT_EQ(NetworkSaved, 255);
    const std::string stamp = "\r*** File Saved 09:05:07   Sat, 14 Mar 2026 ***\r";
    EXPECT_EQ(FileNote, "First line, with commas, and more\r\nSecond line" + stamp);
    const std::string view6 = ViewName(6);

    // Another network in memory first, so that the load has to replace everything.
    ClearNetwork();
    GenerateNetwork(20, 99);
    fillView(9, "Leftover", 5);
    ASSERT_EQ(LoadFrom("round.sim"), LoadOutcome::Loaded);

    ExpectSameLines(Snapshot(), before);
    EXPECT_EQ(FileNote, "First line, with commas, and more\r\nSecond line" + stamp);
    EXPECT_EQ(NetworkFileName, Path("round.sim"));
    EXPECT_EQ(NetworkSaved, 255);
    EXPECT_FALSE(SecondaryLayerVisible(30)) << "the startup view hides the layer again";
    EXPECT_FALSE(PrimaryLayerVisible(12));
    for (int a = 1; a <= AirwayCount; ++a)
        ASSERT_EQ(AirwayUndoStamp(a), 0);
    // Views come back packed from slot 6, fields 1 to 26 and the five currency fields as saved.
    const std::pair<int, float> packed[] = {{6, 10}, {7, 20}, {8, 30}};
    const char *names[] = {"North", "South", "Shaft"};
    for (int i = 0; i < 3; ++i) {
        const int slot = packed[i].first;
        EXPECT_EQ(ViewName(slot), names[i]);
        for (int f = 1; f <= 26; ++f)
            EXPECT_FLOAT_EQ(ViewSingles(slot, f), packed[i].second + 0.25f * static_cast<float>(f))
                << slot << ' ' << f;
        for (int f = 1; f <= 5; ++f)
            EXPECT_EQ(ViewCurrency(slot, f), static_cast<Currency>(packed[i].second * 10000) + 1234 * f);
    }
    EXPECT_TRUE(ViewName(9).empty());
    EXPECT_TRUE(ViewName(40).empty());
    EXPECT_EQ(ViewName(0), "startupview");
    EXPECT_EQ(view6, "North");
}

TEST_F(NetworkFileTest, FileLayoutHasTheSectionsInOrder) {
    GenerateNetwork(30, 3);
    fillView(6, "One", 1);
    ASSERT_TRUE(SaveTo("layout.sim"));
    const std::string text = folder.Read("layout.sim");
    const char *order[] = {"3.1 GUSTROM3\t",
                           "Defaults List for Network",
                           "**End of Network Defaults**",
                           "Saved Views",
                           "startupview\t",
                           "One\t",
                           "End of saved views",
                           "Tag List",
                           "End of Tag List",
                           "Fan Name/Point\tPressure Pa\tQuantity m3/s\tMax Fans=\t 250 ",
                           "**End of Fan Database**",
                           "RL Name\tRL Max\tRL Min",
                           "**END OF RL LIST**",
                           "**End Of Floating Text",
                           "Entry Node\tExit Node\tBranch Name\tBlank"};
    std::size_t pos = 0;
    for (const char *marker : order) {
        const std::size_t found = text.find(marker, pos);
        ASSERT_NE(found, std::string::npos) << marker;
        pos = found;
    }
    // The heading has 37 names and no TAB at its end; the view line has 33 fields each ending in TAB.
    const std::size_t heading = text.find("Entry Node");
    const std::string headingLine = text.substr(heading, text.find("\r\n", heading) - heading);
    EXPECT_EQ(std::count(headingLine.begin(), headingLine.end(), '\t'), 36);
    const std::size_t view = text.find("startupview");
    const std::string viewLine = text.substr(view, text.find("\r\n", view) - view);
    EXPECT_EQ(std::count(viewLine.begin(), viewLine.end(), '\t'), 33);
    EXPECT_EQ(viewLine.back(), '\t');
    EXPECT_EQ(linesStarting(afterHeading(text), ""), 30);
}

TEST_F(NetworkFileTest, SavedAirwaysAreExactlyOneToAirwayCount) {
    // An airway without a start key in the middle is still written; slots after AirwayCount are not.
    GenerateNetwork(12, 1);
    AirwayStartKey(5) = 0;
    AirwayStartKey(13) = 77;
    ASSERT_TRUE(SaveTo("count.sim"));
    EXPECT_EQ(linesStarting(afterHeading(folder.Read("count.sim")), ""), 12);
    ASSERT_TRUE(SaveNetwork(1));
    EXPECT_EQ(linesStarting(afterHeading(RecoveryCopyText()), ""), 12);

    // An empty network has no airway lines at all.
    ClearNetwork();
    ASSERT_TRUE(SaveTo("empty.sim"));
    const std::string empty = folder.Read("empty.sim");
    EXPECT_EQ(afterHeading(empty), "");
    ASSERT_EQ(LoadFrom("empty.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(AirwayCount, 0);
}

TEST_F(NetworkFileTest, CommaDecimalFileLoadsWithSameValues) {
    GenerateNetwork(60, 11);
    AirDensity = 1.175f;
    FanDiameter(1) = 2.35f;
    CalcAllAirways();
    const std::string before = Snapshot();
    VB::SetLocaleDecimalSeparatorOverride(',');
    ASSERT_TRUE(SaveTo("comma.sim"));
    VB::SetLocaleDecimalSeparatorOverride('.');
    const std::string text = folder.Read("comma.sim");
    EXPECT_EQ(text.substr(0, 4), "3,1 ");
    EXPECT_NE(text.find("1,175"), std::string::npos);
    EXPECT_EQ(afterHeading(text).find('.'), std::string::npos); // the airway lines too
    ClearNetwork();
    ASSERT_EQ(LoadFrom("comma.sim"), LoadOutcome::Loaded);
    ExpectSameLines(Snapshot(), before);
}

TEST_F(NetworkFileTest, MagicWordDecidesWhetherTheFileIsRead) {
    GenerateNetwork(20, 5);
    ASSERT_TRUE(SaveTo("good.sim"));
    std::string text = folder.Read("good.sim");

    std::string foreign = text;
    foreign.replace(foreign.find("GUSTROM3"), 8, "FOO");
    folder.Write("foo.sim", foreign);
    std::string second = text;
    second.replace(second.find("GUSTROM3"), 8, "GUSTROM2");
    folder.Write("two.sim", second);

    NetworkFileName = Path("good.sim");
    RecentFiles(1) = "first.sim";
    RecentFiles(2) = "second.sim";
    AirwayName(3) = "Kept";
    const std::string before = Snapshot();
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Not a GUSTROM File - Action Aborted");
        NetworkFileName = Path("foo.sim");
        EXPECT_EQ(LoadNetwork(), LoadOutcome::NotOpened);
    }
    NetworkFileName = Path("good.sim");
    ExpectSameLines(Snapshot(), before);
    EXPECT_EQ(RecentFiles(1), "first.sim");
    EXPECT_EQ(RecentFiles(2), "second.sim");

    EXPECT_EQ(LoadFrom("two.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(AirwayCount, 20);
    EXPECT_EQ(RecentFiles(1), Path("two.sim"));
    EXPECT_EQ(RecentFiles(2), "first.sim");
}

TEST_F(NetworkFileTest, FailedOpenChangesNothing) {
    GenerateNetwork(15, 2);
    NetworkFileName = Path("current.sim");
    RecentFiles(1) = Path("current.sim");
    const std::string before = Snapshot();
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(Path("missing.sim")).Expect(VB::vbOK, "ERROR 53: That file doesn't exist.");
        EXPECT_FALSE(OpenNetworkDialog());
    }
    EXPECT_EQ(NetworkFileName, Path("current.sim"));
    EXPECT_EQ(RecentFiles(1), Path("current.sim"));
    EXPECT_TRUE(RecentFiles(2).empty());
    ExpectSameLines(Snapshot(), before);
    {
        ScriptedDialogs boxes;
        folder.Write("old.sim", "0.9 GUSTROM\tx\r\n");
        boxes.ExpectFile(Path("old.sim")).Expect(VB::vbOK, "Cannot read file format");
        EXPECT_FALSE(OpenNetworkDialog());
    }
    EXPECT_EQ(NetworkFileName, Path("current.sim"));
    ExpectSameLines(Snapshot(), before);
}

TEST_F(NetworkFileTest, LoadedAndSavedFilesMoveToTheTopOfTheRecentList) {
    GenerateNetwork(10, 4);
    for (int i = 1; i <= 9; ++i)
        RecentFiles(i) = "f" + std::to_string(i);
    ASSERT_TRUE(SaveTo("a.sim"));
    EXPECT_EQ(RecentFiles(1), Path("a.sim"));
    EXPECT_EQ(RecentFiles(2), "f1");
    EXPECT_EQ(RecentFiles(9), "f8");
    EXPECT_TRUE(shell.recentMenu[1].second);
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "1Name"), Path("a.sim"));

    RecentFiles(4) = Path("b.sim");
    ASSERT_TRUE(SaveTo("b.sim"));
    const std::string expected[] = {Path("b.sim"), Path("a.sim"), "f1", "f2", "f4", "f5", "f6", "f7", "f8"};
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(RecentFiles(i), expected[i - 1]) << i;

    ASSERT_EQ(LoadFrom("a.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(RecentFiles(1), Path("a.sim"));
    EXPECT_EQ(RecentFiles(2), Path("b.sim"));
    EXPECT_EQ(RecentFiles(3), "f1");

    // The recovery copy stays out of the list.
    ASSERT_TRUE(SaveNetwork(1));
    NetworkFileName = RecoveryCopyPath();
    ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded);
    EXPECT_EQ(RecentFiles(1), Path("a.sim"));
}

TEST_F(NetworkFileTest, FailedSaveKeepsFileNameStateAndNote) {
    GenerateNetwork(10, 4);
    ASSERT_TRUE(SaveTo("kept.sim"));
    const std::string original = folder.Read("kept.sim");
    NetworkSaved = 0;
    FileNote = "note";
    NetworkFileName = Path("no-such-folder/kept.sim");
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "ERROR 76: That path doesn't exist.");
        EXPECT_FALSE(SaveNetwork(0));
    }
    EXPECT_EQ(NetworkFileName, Path("no-such-folder/kept.sim"));
    EXPECT_EQ(NetworkSaved, 0);
    EXPECT_EQ(FileNote, "note");
    EXPECT_EQ(StatusText, "ERROR 76: That path doesn't exist.");

    // A target that cannot be replaced leaves the old file whole.
    std::filesystem::create_directory(Path("folder.sim"));
    NetworkFileName = Path("folder.sim");
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "occurred saving file");
        EXPECT_FALSE(SaveNetwork(0));
    }
    EXPECT_EQ(folder.Read("kept.sim"), original);
}

TEST_F(NetworkFileTest, SaveRefusalsWriteNothing) {
    GenerateNetwork(10, 4);
    // No graphics window: nothing at all.
    ActiveWindow = -1;
    FileNote = "n";
    EXPECT_FALSE(SaveTo("none.sim"));
    EXPECT_EQ(FileNote, "n");
    EXPECT_FALSE(std::filesystem::exists(Path("none.sim")));
    ActiveWindow = 0;

    // Smoke display on: the file is refused, the recovery copy is not.
    SmokeMode = 1;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Clear gas simulation first !");
        EXPECT_FALSE(SaveTo("smoke.sim"));
    }
    EXPECT_FALSE(std::filesystem::exists(Path("smoke.sim")));
    EXPECT_EQ(FileNote, "n");
    EXPECT_TRUE(SaveNetwork(1));
    // No file was saved: neither the copy nor the live note carries a save stamp.
    EXPECT_EQ(RecoveryCopyText().find("*** File Saved"), std::string::npos);
    EXPECT_EQ(FileNote, "n");
    SmokeMode = 0;

    // Master file answered No: nothing written. The recovery copy asks nothing and is written.
    MasterFile = true;
    std::filesystem::remove(RecoveryCopyPath());
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbNo, "You are about to save as a Master file - are you sure ?");
        EXPECT_FALSE(SaveTo("master.smm"));
        EXPECT_TRUE(SaveNetwork(1));
    }
    EXPECT_FALSE(std::filesystem::exists(Path("master.smm")));
    EXPECT_TRUE(std::filesystem::exists(RecoveryCopyPath()));
    EXPECT_EQ(FileNote, "n");
}

TEST_F(NetworkFileTest, UnnamedNetworkGoesToSaveAs) {
    GenerateNetwork(10, 4);
    FileNote.clear();
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(std::nullopt);
        EXPECT_FALSE(SaveNetwork(0));
    }
    EXPECT_TRUE(NetworkFileName.empty());
    EXPECT_TRUE(FileNote.empty()) << "no stamp without a write";
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(Path("named.sim"));
        EXPECT_TRUE(SaveNetwork(0));
        ASSERT_EQ(boxes.FileDialogs().size(), 1u);
        EXPECT_TRUE(boxes.FileDialogs()[0].save);
        EXPECT_EQ(boxes.FileDialogs()[0].defaultExt, "sim");
    }
    EXPECT_EQ(NetworkFileName, Path("named.sim"));
    EXPECT_TRUE(std::filesystem::exists(Path("named.sim")));
    EXPECT_EQ(linesStarting(FileNote, "\r*** File Saved"), 1);
}

TEST_F(NetworkFileTest, EachProgramWritesItsOwnRecoveryCopyOnlyItsUserCanRead) {
    VB::SetPrivateFolderOverride(Path("private/"));
    GenerateNetwork(10, 4);
    // A usual mask, which leaves new files readable by everyone.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(SaveNetwork(1));
    ::umask(mask);
    const std::string first = RecoveryCopyPath();
    EXPECT_EQ(first.rfind(Path("private/"), 0), 0u) << first;
    EXPECT_EQ(std::filesystem::status(Path("private")).permissions(), std::filesystem::perms::owner_all);
    // Owner-only also where the folder is not: the copy and its lock, whatever the mask.
    const auto ownerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    for (const std::string &file : {first, first.substr(0, first.size() - 4) + ".lock"})
        EXPECT_EQ(std::filesystem::status(file).permissions(), ownerOnly) << file;
    const std::string firstText = TextOf(first);
    // The next program writes a copy of its own and leaves the first program's alone.
    LetGoOfRecoveryCopy();
    GenerateNetwork(12, 5);
    ASSERT_TRUE(SaveNetwork(1));
    EXPECT_NE(RecoveryCopyPath(), first);
    EXPECT_EQ(TextOf(first), firstText);
}

TEST_F(NetworkFileTest, RecoveryCopyLeavesTheSavedStateAlone) {
    GenerateNetwork(10, 4);
    for (const uint8_t state : {uint8_t{0}, uint8_t{255}}) {
        NetworkSaved = state;
        ASSERT_TRUE(SaveNetwork(1));
        EXPECT_EQ(NetworkSaved, state);
    }
    EXPECT_TRUE(std::filesystem::exists(RecoveryCopyPath()));
}

TEST_F(NetworkFileTest, EachSaveStampsTheNoteAndTheShownWindow) {
    GenerateNetwork(10, 4);
    shell.noteShown = true;
    shell.noteText = "Typed";
    ASSERT_TRUE(SaveTo("a.sim"));
    ASSERT_TRUE(SaveTo("a.sim"));
    const std::string stamp = "*** File Saved 09:05:07   Sat, 14 Mar 2026 ***";
    EXPECT_EQ(shell.noteText, "Typed" + stamp + "\r\r" + stamp + "\r\r");
    EXPECT_EQ(FileNote, shell.noteText);
    EXPECT_EQ(shell.noteSelStart, 10000000);
    // The recovery copy takes the shown text but stamps neither it nor the note.
    shell.noteText += "typed since";
    ASSERT_TRUE(SaveNetwork(1));
    EXPECT_EQ(shell.noteText, FileNote + "typed since");
    EXPECT_NE(RecoveryCopyText().find("typed since"), std::string::npos);

    ClearFileNote();
    EXPECT_TRUE(FileNote.empty());
    EXPECT_TRUE(shell.noteText.empty());
    shell.noteShown = false;
    FileNote = "kept";
    ClearFileNote();
    EXPECT_EQ(FileNote, "kept");
}

TEST_F(NetworkFileTest, AxisFlagsGiveSignsAndOddValuesAreNormal) {
    GenerateNetwork(10, 4);
    ASSERT_TRUE(SaveTo("axis.sim"));
    const std::string text = folder.Read("axis.sim");
    const std::size_t first = text.find('\t', text.find('\t') + 1); // before the x flag
    const std::size_t end = text.find('\t', text.find('\t', first + 1) + 1);
    const struct {
        const char *x, *y;
        int signX, signY;
    } cases[] = {
        {"0", "1", 1, -1}, {"1", "0", -1, 1}, {"0.5", "0.5", 1, 1}, {"5", "-3", 1, 1}, {"", "x", 1, 1}};
    for (const auto &c : cases) {
        std::string changed = text;
        changed.replace(first + 1, end - first - 1, std::string(c.x) + "\t" + c.y);
        folder.Write("axis2.sim", changed);
        ASSERT_EQ(LoadFrom("axis2.sim"), LoadOutcome::Loaded);
        EXPECT_EQ(AxisSignX, c.signX) << c.x;
        EXPECT_EQ(AxisSignY, c.signY) << c.y;
    }
}

TEST_F(NetworkFileTest, StartupViewDoesNotOutliveItsNetwork) {
    fillView(0, "startupview", 3);
    ClearNetwork();
    EXPECT_TRUE(ViewName(0).empty());
    EXPECT_EQ(ViewSingles(0, 5), 0);
    EXPECT_EQ(ViewCurrency(0, 4), 0);
}
