#include "ShellFixture.h"

#include "platform/System.h"
#include "shell/frmTitle.h"

#include <filesystem>
#include <fstream>

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
    std::string big = "3.1 GUSTROM3\tBig mine\r\n**END OF RL LIST**\r\n";
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

class RecoveryTest : public ShellTest {
protected:
    void SetUp() override {}
};

TEST_F(RecoveryTest, RecoveryCopyIsOfferedAndDeletedAtAnOrderlyExit) {
    const std::string copy = VB::TempDir() + "tempsim.sim";
    std::ofstream(copy) << "x";
    boxes->Expect(VB::vbNo, "An autosaved recovery file exists - do you wish to load this file");
    ShellTest::SetUp();
    ASSERT_EQ(boxes->Shown().size(), 1u);
    EXPECT_EQ(boxes->Shown()[0].title, "Auto save recovery");
    EXPECT_TRUE(std::filesystem::exists(copy)); // No keeps it until the exit
    bool cancel = false;
    form->MDIForm_QueryUnload(cancel);
    EXPECT_FALSE(cancel);
    EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(RecoveryTest, RecoveryCopyLoadedWithYesLeavesTheNetworkUnnamed) {
    const std::string copy = VB::TempDir() + "tempsim.sim";
    std::ofstream(copy) << "x";
    boxes->Expect(VB::vbYes, "recovery file").Expect(VB::vbOK, "Not a GUSTROM File - Action Aborted");
    ShellTest::SetUp();
    EXPECT_EQ(boxes->Shown().size(), 2u);
    EXPECT_TRUE(NetworkFileName.empty());
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
