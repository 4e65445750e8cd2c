#include "model/NetworkFileFixture.h"

#include "model/file_dialogs.h"
#include "shell/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST_F(NetworkFileTest, NewNetworkAsksOnlyWhenThereIsSomethingToLose) {
    {
        // Empty and unnamed: no question, only the fan database reload (none in the test folder).
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Can't find FAN DATABASE");
        NewNetwork();
    }
    EXPECT_EQ(AirwayCount, 0);

    GenerateNetwork(10, 1);
    NetworkFileName = Path("kept.sim");
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbCancel, "Current Data will be lost ?");
        NewNetwork();
        EXPECT_EQ(boxes.Shown()[0].title, "Data Exists");
    }
    EXPECT_EQ(AirwayCount, 10);
    EXPECT_EQ(NetworkFileName, Path("kept.sim"));
    // With the memo window closed the old memo goes all the same.
    shell.noteShown = false;
    FileNote = "old note";
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Current Data will be lost ?").Expect(VB::vbOK, "Can't find FAN DATABASE");
        NewNetwork();
    }
    EXPECT_EQ(AirwayCount, 0);
    EXPECT_TRUE(NetworkFileName.empty());
    EXPECT_TRUE(FileNote.empty());
    // The caption of an unnamed network with the scale of its drawing, as at a start without a file.
    EXPECT_EQ(shell.caption.rfind("GUSTROM [] [Scale = 1:", 0), 0u) << shell.caption;
}

TEST_F(NetworkFileTest, SaveAsOffersTheNameWithoutItsExtension) {
    GenerateNetwork(10, 1);
    NetworkFileName = Path("master.SMM");
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(std::nullopt);
        EXPECT_FALSE(SaveNetworkAs());
        const VB::FileRequest &r = boxes.FileDialogs().at(0);
        EXPECT_EQ(r.fileName, Path("master"));
        EXPECT_EQ(r.defaultExt, "sim");
        EXPECT_EQ(r.filter, "Data Files (*.sim)|*.sim|Master Files (*.smm)|*.smm|All files (*.*)|*.*");
        EXPECT_TRUE(r.save);
        EXPECT_TRUE(r.confirmOverwrite);
    }
    EXPECT_TRUE(DialogCancelled);
    EXPECT_EQ(NetworkFileName, Path("master.SMM")) << "a cancelled Save As keeps the extension";

    // A name ending in .smm makes a master file, and the writer asks about it.
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(Path("new.smm")).Expect(VB::vbYes, "You are about to save as a Master file");
        EXPECT_TRUE(SaveNetworkAs());
    }
    EXPECT_TRUE(MasterFile);
    EXPECT_EQ(NetworkFileTitle, "new.smm");
    EXPECT_TRUE(std::filesystem::exists(Path("new.smm")));

    // Refusing the master question keeps the network under its old name.
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(Path("other.smm")).Expect(VB::vbNo, "Master file");
        EXPECT_FALSE(SaveNetworkAs());
    }
    EXPECT_EQ(NetworkFileName, Path("new.smm"));
    EXPECT_FALSE(std::filesystem::exists(Path("other.smm")));

    // Opening it again warns that it is a master file.
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Caution - a MASTER SMM file is being loaded");
    EXPECT_EQ(LoadNetwork(), LoadOutcome::Loaded);
}

TEST_F(NetworkFileTest, FileTitleIsTheNameAfterTheLastSeparatorCutTo100) {
    const struct {
        std::string name, title;
        bool master;
    } cases[] = {{"C:\\mines\\north.sim", "north.sim", false},
                 {"/home/a/plan.smm", "plan.smm", true},
                 {"bare.SMM", "bare.SMM", true},
                 {"/x/" + std::string(120, 'n') + ".sim", std::string(100, 'n'), false},
                 {"", "", false}};
    for (const auto &c : cases) {
        NetworkFileName = c.name;
        SetFileName();
        EXPECT_EQ(NetworkFileTitle, c.title) << c.name;
        EXPECT_EQ(MasterFile, c.master) << c.name;
    }
}

TEST_F(NetworkFileTest, OpenSelectsTheZoomToolAndKeepsUnsavedEditsWhenSaveAsFails) {
    GenerateNetwork(12, 3);
    ASSERT_TRUE(SaveTo("other.sim"));
    GenerateNetwork(10, 1);
    NetworkFileName.clear();
    NetworkSaved = 0;
    ToolCode = 6;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbYes, "Network Data is not saved - Save it?").ExpectFile(std::nullopt);
        OpenCommand();
        EXPECT_EQ(boxes.FileDialogs().size(), 1u) << "no open dialog after a cancelled save";
    }
    EXPECT_EQ(ToolCode, ZoomToolCode);
    EXPECT_EQ(PreviousToolCode, 6);
    EXPECT_EQ(shell.toolCommands, 1);
    EXPECT_TRUE(shell.menuChecked["mnuZoom"]);
    EXPECT_EQ(AirwayCount, 10);

    // Cancel ends the command; No opens without saving.
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbCancel, "Save it?");
        OpenCommand();
    }
    EXPECT_EQ(AirwayCount, 10);
    VB::SaveSetting("Gustrom", "Files", "DefaultDir", folder.path());
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbNo, "Save it?").ExpectFile(Path("other.sim"));
        OpenCommand();
        const VB::FileRequest &r = boxes.FileDialogs().at(0);
        EXPECT_FALSE(r.save);
        EXPECT_TRUE(r.mustExist);
        EXPECT_EQ(r.initialDir, folder.path());
        EXPECT_EQ(r.filter, "Gustrom Data (*.sim)|*.sim|Master Files (*.smm)|*.smm|All Files (*.*)|*.*");
    }
    EXPECT_EQ(AirwayCount, 12);
    EXPECT_EQ(NetworkFileTitle, "other.sim");
    EXPECT_EQ(NetworkSaved, 255);
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "DefaultDir"), folder.path());
}

TEST_F(NetworkFileTest, HelpOpensTheInstalledFileOrSaysItIsMissing) {
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Help is not available");
        ShowHelp();
    }
    EXPECT_TRUE(shell.helpOpened.empty());
    std::filesystem::create_directories(Path("help"));
    folder.Write("help/index.html", "<html></html>");
    shell.helpAvailable = true;
    ShowHelp();
    ASSERT_EQ(shell.helpOpened.size(), 1u);
    EXPECT_EQ(shell.helpOpened[0].first, Path("help/index.html"));
    EXPECT_EQ(shell.helpOpened[0].second, 100);

    PrintCommand();
    EXPECT_EQ(shell.printWindows, 1);
}

TEST_F(NetworkFileTest, RecentFileEntryLoadsItsFileOrChangesNothing) {
    GenerateNetwork(12, 3);
    ASSERT_TRUE(SaveTo("recent.sim"));
    GenerateNetwork(10, 1);
    NetworkFileName = Path("current.sim");
    NetworkSaved = 255;
    RecentFiles(1) = Path("recent.sim");
    RecentFiles(2) = Path("gone.sim");
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "ERROR 53");
        OpenRecentFile(2);
    }
    EXPECT_EQ(NetworkFileName, Path("current.sim"));
    EXPECT_EQ(AirwayCount, 10);
    EXPECT_EQ(RecentFiles(1), Path("recent.sim"));

    // A changed network is offered for saving first; a cancelled Save As keeps an unnamed one.
    NetworkFileName.clear();
    NetworkSaved = 0;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbYes, "Network Data is not saved - Save it?").ExpectFile(std::nullopt);
        OpenRecentFile(1);
    }
    EXPECT_EQ(AirwayCount, 10);
    // Yes saves a named network under its name, as File > Save does, before a recent entry or Open opens.
    for (const bool recent : {true, false}) {
        GenerateNetwork(10, 1);
        NetworkFileName = Path("current.sim");
        NetworkSaved = 0;
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbYes, "Network Data is not saved - Save it?");
        if (!recent)
            boxes.ExpectFile(Path("recent.sim"));
        recent ? OpenRecentFile(1) : OpenCommand();
        EXPECT_EQ(AirwayCount, 12) << recent; // the entry chosen, though the save moved it down
        EXPECT_EQ(boxes.FileDialogs().size(), recent ? 0u : 1u) << "a Save As was offered";
        EXPECT_TRUE(std::filesystem::remove(Path("current.sim")));
    }
}
