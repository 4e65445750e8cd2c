#include "ShellFixture.h"

#include "common/FileMutations.h"
#include "graphics/projection.h"
#include "model/network_save.h"
#include "model/node_keys.h"
#include "model/recovery_copy.h"
#include "platform/FileLock.h"
#include "platform/System.h"
#include "shell/frmTitle.h"

#include <QDir>

#include <filesystem>
#include <fstream>
#include <set>

TEST_F(ShellTest, PlainStartShowsOneEmptyWindowWithTheStartingDisplayChoice) {
    ASSERT_NE(window(0), nullptr);
    for (int w = 1; w <= 4; ++w)
        EXPECT_EQ(window(w), nullptr);
    EXPECT_EQ(ActiveWindow, 0);
    EXPECT_EQ(window(0)->Tag(), "0");
    EXPECT_EQ(window(0)->Caption().rfind("View 1", 0), 0u) << window(0)->Caption();
    EXPECT_EQ(ToolMode, 0);
    EXPECT_EQ(ToolCode, 0);
    EXPECT_TRUE(form->Tools(0)->isChecked());
    EXPECT_FALSE(form->Tools(0)->isEnabled());
    EXPECT_TRUE(form->Tools(31)->isEnabled()); // the select tool; tools not built yet stay disabled
    EXPECT_EQ(form->CmbDataType->currentText(), "Airflow");
    EXPECT_EQ(form->CmbDataVal->currentText(), "Quantity");
    EXPECT_EQ(form->LblUnit->text(), "m3/s");
    EXPECT_EQ(DataCode, 12);
    EXPECT_EQ(form->CmbRL->count(), 2);
    EXPECT_EQ(form->CmbRL->currentText(), "U/Ground");
    EXPECT_EQ(form->VsbRL->value(), 2);
    EXPECT_EQ(form->VsbRL->minimum(), 1);
    EXPECT_EQ(form->VsbRL->maximum(), 2);
    EXPECT_EQ(RLWindowLow, 480);
    EXPECT_EQ(RLWindowHigh, 500);
    EXPECT_DOUBLE_EQ(LevelElevation, 490);
    EXPECT_TRUE(form->MenuItem("mnuGridFlag")->isChecked());
    EXPECT_TRUE(GridOn);
    EXPECT_EQ(window(0)->Caption(), "View 1 : U/Ground Quantity");
    EXPECT_EQ(form->MenuItem("mnuWindowView(0)")->text(), "View 1 : U/Ground Quantity");
    EXPECT_TRUE(boxes->Shown().empty());
}

TEST_F(ShellTest, ANewNetworkIsDrawnNorthUpWithReadableLabelsAndSymbolsAndAStoredFileKeepsItsOwn) {
    // A network stored with north down and small labels that shrink with the zoom.
    AddAirways(1);
    AxisSignY = 1;
    FontScale = 1;
    for (int k = 1; k <= 4; ++k)
        FontSize(k) = 6;
    for (int k = 0; k <= 6; ++k) {
        IconSize(k) = 2;
        IconScale(k) = 1;
    }
    const std::string stored = folder.path() + "old.sim";
    NetworkFileName = stored;
    ASSERT_TRUE(SaveNetwork(0));
    // The built-in section and iso views, chosen in the view list, show a higher point above a lower one
    // whichever way the network's Y axis points.
    const auto sectionsShowHigherAbove = [&](const std::string &what) {
        for (const char *view : {" 3. Long Section", " 4. Cross Section", " 5. Iso View"}) {
            form->CmbView->SetListIndex(form->CmbView->findText(view));
            double pixelY[2] = {};
            for (int k = 0; k < 2; ++k) {
                double sx = 0, sy = 0;
                ProjectPoint(100, 100, k == 0 ? 500 : 400, sx, sy);
                pixelY[k] = window(ActiveWindow)->Picture().ToPixelY(sy * AxisSignY);
            }
            EXPECT_LT(pixelY[0], pixelY[1]) << what << view;
        }
    };

    const struct {
        const char *what;
        std::function<void()> start;
    } cases[] = {
        {"start without a file", [&] { StartAsInstalled(""); }},
        {"File > New after a stored file",
         [&] {
             StartAsInstalled(stored);
             ASSERT_EQ(AirwayCount, 1);
             EXPECT_EQ(AxisSignY, 1);
             EXPECT_EQ(FontSize(1), 6);
             EXPECT_EQ(FontScale, 1);
             EXPECT_EQ(IconScale(3), 1);
             sectionsShowHigherAbove("the stored file");
             boxes->Expect(VB::vbOK, "Current Data will be lost ?");
             form->MenuItem("mnuNewFile")->trigger();
         }},
    };
    for (const auto &c : cases) {
        c.start();
        // As the examples: Y grows upwards, texts of 9, 10, 8 and 10 points whatever the zoom.
        EXPECT_EQ(AxisSignX, 1) << c.what;
        EXPECT_EQ(AxisSignY, -1) << c.what;
        EXPECT_EQ(std::vector<int>({FontSize(1), FontSize(2), FontSize(3), FontSize(4)}),
                  std::vector<int>({9, 10, 8, 10}))
            << c.what;
        EXPECT_EQ(FontScale, 0) << c.what;
        // Symbols keep their share of the window, node marks their size in the mine.
        std::vector<int> sizes, scales;
        for (int k = 0; k <= 6; ++k) {
            sizes.push_back(IconSize(k));
            scales.push_back(IconScale(k));
        }
        EXPECT_EQ(sizes, std::vector<int>({1, 3, 5, 5, 5, 5, 5})) << c.what;
        EXPECT_EQ(scales, std::vector<int>({0, 0, 0, 0, 1, 0, 0})) << c.what;
        sectionsShowHigherAbove(c.what);
    }

    // Save Special > Defaults makes the stored file's label sizes those of every new network.
    StartAsInstalled(stored);
    boxes->Expect(VB::vbYes, "Replace it?");
    form->MenuItem("mnuSaveDef")->trigger();
    boxes->Expect(VB::vbOK, "Current Data will be lost ?");
    form->MenuItem("mnuNewFile")->trigger();
    EXPECT_EQ(std::vector<int>({FontSize(1), FontSize(2), FontSize(3), FontSize(4)}),
              std::vector<int>({6, 6, 6, 6}));
    EXPECT_EQ(FontScale, 1);
    EXPECT_TRUE(boxes->Done());
}

TEST(CommandLine, QuotesAreStrippedOnlyWhenPresentAndNetworkNamesArmTheStart) {
    struct Case {
        std::string given, file;
        bool opens;
    } cases[] = {
        {"\"/home/eng/mine.sim\"", "/home/eng/mine.sim", true},
        {"/home/eng/mine.sim", "/home/eng/mine.sim", true},
        {"/home/eng/master.Smm", "/home/eng/master.Smm", true},
        {"/home/eng/notes.txt", "/home/eng/notes.txt", false},
        {"\"a\"", "\"a\"", false},
        {"", "", false},
    };
    for (const Case &c : cases) {
        TakeCommandLine(c.given);
        EXPECT_EQ(CommandLineFile, c.file) << c.given;
        EXPECT_EQ(OpenAtStart, c.opens) << c.given;
    }
    OpenAtStart = false;
}

TEST(PixelsToTwips, OneInchOfPixelsIs1440Twips) {
    EXPECT_EQ(PixelsToTwips(0, 0), 0);
    const int inch = PixelsToTwips(96, 1);
    // The offscreen screen reports its own resolution; the rule is 1440 per inch of that resolution.
    EXPECT_GT(inch, 0);
    EXPECT_EQ(PixelsToTwips(192, 1), 2 * inch);
}

TEST_F(ShellTest, ANetworkFileRefusedAtStartLeavesTheProgramUnnamedSoThatSaveAsksForAName) {
    std::string big = "1.4 GUSTROM3\tBig mine\r\nRL Name\r\n**END OF RL LIST**\r\nEntry Node\r\n";
    for (int a = 0; a < AirwayLimit; ++a)
        big += "x\r\n";
    const struct {
        std::string name, bytes, message;
    } cases[] = {
        {"big.sim", big, "File too big for current Gustrom Settings - Increase Default Size"},
        {"notes.sim", "Shopping list\r\n", "Not a GUSTROM File - Action Aborted"},
    };
    for (const auto &c : cases) {
        folder.Write(c.name, c.bytes);
        form.reset();
        boxes->Expect(VB::vbOK, c.message);
        frmTitle title(folder.path() + c.name);
        title.Start();
        form.reset(title.MainWindow());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(NetworkFileName, "") << c.name;
        EXPECT_EQ(form->windowTitle().toStdString().find(c.name), std::string::npos) << c.name;
        // The toolbar's save asks for a name, and Cancel there writes nothing.
        boxes->ExpectFile(std::nullopt);
        form->Tools(20)->click();
        EXPECT_TRUE(boxes->Done()) << c.name;
        EXPECT_TRUE(folder.Read(c.name) == c.bytes) << c.name << " was written over";
    }
}

TEST_F(ShellTest, AFileOpenedByARelativeNameIsOneRecentEntryByItsWholePathThatOpensFromAnyFolder) {
    StartOnExample("teaching.sim"); // by its whole path
    std::filesystem::create_directories(folder.path() + "run");
    const QString startedIn = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.path() + "run"));
    StartAsInstalled("../teaching.sim");
    EXPECT_EQ(RecentFiles(1), folder.path() + "teaching.sim");
    EXPECT_FALSE(form->MenuItem("mnuOld(2)")->isVisible());
    // From another folder the entry still opens its file.
    QDir::setCurrent(QString::fromStdString(folder.path()));
    boxes->Expect(VB::vbOK, "Current Data will be lost");
    form->MenuItem("mnuNewFile")->trigger();
    form->MenuItem("mnuOld(1)")->trigger();
    QDir::setCurrent(startedIn);
    EXPECT_EQ(AirwayCount, 10);
    EXPECT_EQ(NetworkFileName, folder.path() + "teaching.sim");
}

TEST_F(ShellTest, ANetworkFileWithLfLineEndsOpensWholeAndSavesAsItsCrLfOriginal) {
    VB::DateTime clock{2026, 3, 14, 9, 5, 7}; // the memo's save stamp
    VB::SetClockOverride(&clock);
    std::string saved[2];
    for (const bool lf : {false, true}) {
        StartOnExample("teaching.sim");
        if (lf) {
            // The file as a Unix tool or a checkout leaves it, given to the program at start.
            folder.Write("teaching_lf.sim", WithLineEnds(folder.Read("teaching.sim"), {"\n"}));
            StartAsInstalled(folder.path() + "teaching_lf.sim");
        }
        EXPECT_EQ(AirwayCount, 10);
        form->Tools(20)->click(); // Save
        saved[lf] = folder.Read(lf ? "teaching_lf.sim" : "teaching.sim");
    }
    VB::SetClockOverride(nullptr);
    EXPECT_TRUE(boxes->Done());
    EXPECT_TRUE(saved[1] == saved[0])
        << saved[1].size() << " bytes saved, " << saved[0].size() << " expected";
}

TEST_F(ShellTest, AirwaysMeetingAtTheOriginOpenDrawSolveAndSaveLikeAnyOther) {
    // The teaching mine lowered by 900 m, its levels with it: the intake shaft, the shaft below it and the
    // 900 drive meet at 0, 0, 0.
    StartOnExample("teaching.sim");
    for (int a = 1; a <= AirwayCount; ++a) {
        AirwayStart(3, a) -= 900;
        AirwayEnd(3, a) -= 900;
    }
    for (int l = 1; !LevelName(l).empty(); ++l)
        for (int c = 1; c <= 2; ++c)
            LevelRange(l, c) -= 900;
    SurfacePressureRL -= 900;
    for (int t = 1; t <= MaxFloatingTexts; ++t)
        FloatingTextPosition(3, t) -= FloatingTextUsed(t) ? 900 : 0;
    NetworkFileName = folder.path() + "origin.sim";
    ASSERT_TRUE(SaveNetwork(0));

    StartAsInstalled(folder.path() + "origin.sim");
    ASSERT_EQ(AirwayCount, 10);
    std::set<int> drawn;
    for (int i = 1; VisibleAirways(i) != 0; ++i)
        drawn.insert(VisibleAirways(i));
    int endsAtOrigin = 0;
    for (int a = 1; a <= AirwayCount; ++a) {
        const bool atOrigin = AirwayStartKey(a) == OriginNodeKey || AirwayEndKey(a) == OriginNodeKey;
        endsAtOrigin += (AirwayStartKey(a) == OriginNodeKey) + (AirwayEndKey(a) == OriginNodeKey);
        EXPECT_TRUE(!atOrigin || drawn.count(a)) << "airway " << a << " is not drawn";
    }
    EXPECT_EQ(endsAtOrigin, 3);
    form->Tools(14)->click(); // Run
    EXPECT_TRUE(NetworkBalanced);
    form->Tools(20)->click(); // Save
    EXPECT_TRUE(boxes->Done());
    const std::string saved = folder.Read("origin.sim");
    const std::size_t heading = saved.find("Entry Node\t");
    ASSERT_NE(heading, std::string::npos);
    int records = -1; // the heading's own line end
    for (std::size_t end = saved.find("\r\n", heading); end != std::string::npos;
         end = saved.find("\r\n", end + 2))
        ++records;
    EXPECT_EQ(records, 10);
}

class RecoveryTest : public ShellTest {
protected:
    VB::DateTime clock{2026, 3, 14, 9, 5, 7};
    bool filesWritten_ = false;

    void SetUp() override {}
    void TearDown() override {
        ShellTest::TearDown();
        VB::SetClockOverride(nullptr);
    }
    // Starts the program; the first start writes its files beside it.
    void StartProgram() {
        if (!filesWritten_) {
            filesWritten_ = true;
            ShellTest::SetUp();
            return;
        }
        form = std::make_unique<MainForm>();
        form->show();
        form->MDIForm_Load();
    }

    // A program that autosaves a network of `airways` airways and then ends without an orderly exit, as
    // a crash or a power loss ends it. Returns its copy.
    std::string LeaveCopy(const std::string &networkFile, const std::string &title, int airways) {
        StartProgram();
        AddAirways(airways);
        NetworkFileName = networkFile;
        NetworkTitle = title;
        FileNote = "Note of " + title;
        VB::SetClockOverride(&clock);
        EXPECT_TRUE(SaveNetwork(1));
        VB::SetClockOverride(nullptr);
        const std::string copy = RecoveryCopyPath();
        form.reset();
        LetGoOfRecoveryCopy();
        NetworkFileName.clear();
        return copy;
    }
};

TEST_F(RecoveryTest, RecoveryCopyIsOfferedAndOnlyTheProgramsOwnIsDeletedAtAnOrderlyExit) {
    const std::string left = LeaveCopy("", "", 2);
    boxes->Expect(VB::vbNo, "An autosaved recovery file exists - do you wish to load this file");
    StartProgram();
    ASSERT_EQ(boxes->Shown().size(), 1u);
    EXPECT_EQ(boxes->Shown()[0].title, "Auto save recovery");
    EXPECT_EQ(boxes->Shown()[0].buttonSet, VB::vbYesNo);
    EXPECT_NE(boxes->Shown()[0].prompt.find("Network file: none"), std::string::npos);
    ASSERT_TRUE(SaveNetwork(1));
    const std::string own = RecoveryCopyPath();
    EXPECT_NE(own, left);
    bool cancel = false;
    form->MDIForm_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_FALSE(std::filesystem::exists(own));
    // No kept the copy it was asked about: the next start offers it again.
    EXPECT_TRUE(std::filesystem::exists(left));
    LetGoOfRecoveryCopy();
    boxes->Expect(VB::vbNo, "Network file: none");
    StartProgram();
    EXPECT_TRUE(boxes->Done());
}

TEST_F(RecoveryTest, RecoveryCopyLoadedWithYesLeavesTheNetworkUnnamed) {
    const std::string left = LeaveCopy("", "", 2);
    std::ofstream(left, std::ios::trunc) << "x";
    boxes->Expect(VB::vbYes, "recovery file").Expect(VB::vbOK, "Not a GUSTROM File - Action Aborted");
    StartProgram();
    EXPECT_EQ(boxes->Shown().size(), 2u);
    EXPECT_TRUE(NetworkFileName.empty());
    // A copy that could not be read stays where it was.
    EXPECT_TRUE(std::filesystem::exists(left));
}

TEST_F(RecoveryTest, OnlyCopiesOfProgramsNoLongerRunningAreOfferedWithTheirNetworkAndTime) {
    const std::string crashed = LeaveCopy("/home/eng/mine.sim", "Teaching mine", 3);
    boxes->Expect(VB::vbNo, "/home/eng/mine.sim");
    const std::string running = LeaveCopy("/home/eng/other.sim", "Other mine", 4);
    // The second program still runs: it holds the lock beside its copy.
    VB::FileLock stillRunning(running.substr(0, running.size() - 4) + ".lock", false);
    ASSERT_TRUE(stillRunning.Held());
    boxes->Expect(VB::vbNo, "An autosaved recovery file exists - do you wish to load this file");
    StartProgram();
    ASSERT_EQ(boxes->Shown().size(), 2u);
    const std::string &question = boxes->Shown()[1].prompt;
    for (const char *named : {"/home/eng/mine.sim", "Teaching mine", "09:05:07   Sat, 14 Mar 2026"})
        EXPECT_NE(question.find(named), std::string::npos) << named << " in " << question;
    EXPECT_EQ(question.find("Other mine"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(crashed));
}

TEST_F(RecoveryTest, ARecoveredNetworkIsUnsavedAndItsCaptionTellsWhereItCameFrom) {
    const std::string left = LeaveCopy("/home/eng/mine.sim", "Teaching mine", 3);
    boxes->Expect(VB::vbYes, "/home/eng/mine.sim");
    StartProgram();
    EXPECT_EQ(AirwayCount, 3);
    EXPECT_TRUE(NetworkFileName.empty());
    EXPECT_EQ(FileNote, "Note of Teaching mine") << "an autosave saved no file: no save stamp";
    EXPECT_NE(form->windowTitle().toStdString().find("Recovered copy of mine.sim"), std::string::npos);
    // The copy is this program's own now: a crash before the next autosave still leaves it.
    EXPECT_FALSE(std::filesystem::exists(left));
    EXPECT_TRUE(std::filesystem::exists(RecoveryCopyPath()));
    boxes->Expect(VB::vbNo, "Gustrom data is not saved - Save it?");
    bool cancel = false;
    form->MDIForm_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(RecoveryTest, AStartOnTheShippedFilesKeepsTheRecoveryCopyComing) {
    UnitSystem = 1;
    AppFolder = folder.path();
    for (const char *name : {"Defaults.dat", "Conversion.dat", "fansdata.dat", "Remotes.dat"})
        std::filesystem::copy_file(std::string(GUSTROM_SOURCE_DIR) + "/data/" + name, folder.path() + name);
    frmTitle title("");
    title.Start();
    form.reset(title.MainWindow());
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Autosave.isActive());
    EXPECT_EQ(form->Autosave.interval(), 5 * 6000);
}

TEST_F(ShellTest, ExitAsksNetworkThenDefaultsAndCancelKeepsRunning) {
    NetworkSaved = 0;
    DefaultsSaved = 0;
    boxes->Expect(VB::vbNo, "Gustrom data is not saved - Save it?")
        .Expect(VB::vbCancel, "Gustrom defaults are not saved - Save them?");
    form->close();
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(boxes->Shown().size(), 2u);
    EXPECT_EQ(boxes->Shown()[0].buttonSet, VB::vbYesNoCancel);
    EXPECT_EQ(ActiveWindow, 0);
    EXPECT_NE(window(0), nullptr);
}

TEST_F(ShellTest, ExitStopsWhenTheAgreedSaveDoesNotHappen) {
    NetworkSaved = 0;
    boxes->Expect(VB::vbYes, "Gustrom data is not saved - Save it?").ExpectFile(std::nullopt);
    bool cancel = false;
    form->MDIForm_QueryUnload(cancel); // the unnamed network's Save As is cancelled
    EXPECT_TRUE(cancel);
    EXPECT_EQ(boxes->Shown().size(), 1u);
}

TEST_F(ShellTest, ExitWithEverythingSavedAsksNothing) {
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(boxes->Shown().empty());
}
