#include "ShellFixture.h"

#include "common/RealKeys.h"
#include "common/TestPrinters.h"
#include "graphics/drawing.h"
#include "graphics/level_dialogs.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "platform/Printer.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/WindowPlacement.h"
#include "shell/frmAbout2.h"
#include "shell/frmFileNote.h"
#include "shell/small_windows.h"

#include <QStatusBar>
#include <QTest>

TEST_F(ShellTest, ToolWindowSitsAtTheMainWindowsLowerRightOnTop) {
    form->showNormal();
    form->setGeometry(60, 50, 600, 450);
    QWidget list;
    list.resize(200, 150);
    PlaceLowerRight(list);
    EXPECT_TRUE(list.isVisible());
    EXPECT_TRUE(list.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // In the main window's work area: the status bar stays in view.
    const QRect main = VB::WorkArea(*form), own = list.frameGeometry();
    EXPECT_FALSE(
        own.intersects(QRect(form->statusBar()->mapToGlobal(QPoint(0, 0)), form->statusBar()->size())));
    EXPECT_EQ(own.x() + own.width(), main.x() + main.width());
    // 40 twips above the bottom edge: 2 or 3 pixels on common screens.
    const int lift = main.y() + main.height() - (own.y() + own.height());
    EXPECT_GE(lift, 1);
    EXPECT_LE(lift, 4);
}

TEST_F(ShellTest, ProgramInstallsItsOwnLevelChoosers) {
    EXPECT_NE(dynamic_cast<ShellLevelDialogs *>(&LevelChoosers()), nullptr);
    form.reset();
    EXPECT_EQ(dynamic_cast<ShellLevelDialogs *>(&LevelChoosers()), nullptr);
}

TEST_F(ShellTest, TitleNoteRefusesCommasAndQuotesAndCancelKeepsIt) {
    NetworkTitle = "Old";
    boxes->ExpectInput(std::nullopt);
    form->mnuComment_Click();
    EXPECT_EQ(NetworkTitle, "Old");
    EXPECT_EQ(NetworkSaved, 255);
    const std::pair<const char *, const char *> refused[] = {{"A, B", "Commas not allowed in comment !"},
                                                             {"A \"B\"", "Invalid comment text"}};
    for (const auto &[typed, message] : refused) {
        NetworkTitle = "Old";
        NetworkSaved = 255;
        boxes->ExpectInput(typed).Expect(VB::vbOK, message);
        form->mnuComment_Click();
        // The message stands and the note keeps its text.
        EXPECT_EQ(NetworkTitle, "Old");
        EXPECT_EQ(NetworkSaved, 255);
    }
    boxes->ExpectInput("Main decline");
    form->mnuComment_Click();
    EXPECT_EQ(NetworkTitle, "Main decline");
}

TEST_F(ShellTest, MemoOpensAtTheLowerRightAndKeepsItsTextPlaceAndSize) {
    form->showNormal();
    form->setGeometry(50, 60, 700, 600);
    form->mnuMessage_Click();
    frmFileNote &note = form->FileNoteWindow();
    ASSERT_TRUE(note.isVisible());
    // In the lower right corner of the work area: the status bar stays in view.
    const QRect main = VB::WorkArea(*form);
    QRect first = note.frameGeometry();
    EXPECT_NEAR(first.x() + first.width(), main.x() + main.width(), 2);
    EXPECT_NEAR(first.y() + first.height(), main.y() + main.height(), 2);
    EXPECT_NEAR(first.width(), TwipsToPixels(5000, 0), 1);

    note.setGeometry(100, 120, 300, 200);
    const QRect moved = note.frameGeometry();
    note.MessageBox->setPlainText("Fan 2 stalls above 40 m3/s");
    EXPECT_EQ(FileNote, "");
    RealKeys::Click(note.MessageBox, Qt::Key_Escape);
    EXPECT_FALSE(note.isVisible());
    EXPECT_EQ(FileNote, "Fan 2 stalls above 40 m3/s");
    EXPECT_EQ(NetworkSaved, 0);
    form->mnuMessage_Click();
    const QRect again = note.frameGeometry();
    EXPECT_NEAR(again.x(), moved.x(), 1);
    EXPECT_NEAR(again.y(), moved.y(), 1);
    EXPECT_NEAR(again.width(), moved.width(), 1);
    EXPECT_NEAR(again.height(), moved.height(), 1);

    // A save stamps the open memo.
    AddAirways(2);
    NetworkFileName = folder.path() + "memo.sim";
    ASSERT_TRUE(SaveNetwork(0));
    EXPECT_NE(note.MessageBox->toPlainText().indexOf("*** File Saved"), -1);
    EXPECT_FALSE(note.Changed());

    // Text typed into the open memo is covered by the exit's save question.
    note.MessageBox->append("Regulator 4 opened");
    boxes->Expect(VB::vbCancel, "Gustrom data is not saved - Save it?");
    bool cancel = false;
    form->MDIForm_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    note.close();
}

TEST_F(ShellTest, AboutBoxAndSystemInformation) {
    VB::ClearConfigValues();
    withDialog<frmAbout2>([this] { form->mnuAbout_Click(); }, [this](frmAbout2 &about) {
        EXPECT_EQ(about.windowTitle(), "About GUSTROM");
        EXPECT_EQ(about.lblVersion->text(), "Version 3.9.3a May 2010");
        boxes->Expect(VB::vbOK, "System Information Is Unavailable At This Time");
        about.cmdSysInfo->click();
        about.cmdOK->click();
    });

    // A double word is stored low byte first, each byte two hexadecimal digits.
    VB::SetConfigValue(VB::HKEY_LOCAL_MACHINE, "K", "Word", {VB::REG_DWORD, std::string("\x01\x02\0\0", 4)});
    VB::SetConfigValue(VB::HKEY_LOCAL_MACHINE, "K", "Text", {VB::REG_SZ, std::string("C:\\Tools\0", 9)});
    std::string value = "left";
    EXPECT_TRUE(frmAbout2::GetKeyValue(VB::HKEY_LOCAL_MACHINE, "K", "Word", value));
    EXPECT_EQ(value, "513");
    EXPECT_TRUE(frmAbout2::GetKeyValue(VB::HKEY_LOCAL_MACHINE, "K", "Text", value));
    EXPECT_EQ(value, "C:\\Tools");
    EXPECT_FALSE(frmAbout2::GetKeyValue(VB::HKEY_LOCAL_MACHINE, "K", "None", value));
    EXPECT_EQ(value, "");

    std::vector<std::string> started;
    VB::SetProgramStarter([&](const std::string &path) {
        started.push_back(path);
        return true;
    });
    VB::SetConfigValue(VB::HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                       {VB::REG_SZ, "msinfo"});
    frmAbout2::StartSysInfo();
    VB::SetProgramStarter({});
    VB::ClearConfigValues();
    EXPECT_EQ(started, std::vector<std::string>{"msinfo"});
}

TEST_F(ShellTest, WindowBitmapIsSavedAndItsNameOfferedAgain) {
    AddAirways(3);
    Redraw();
    // Names are the program's text; "Süd" is one of them.
    const std::string path = folder.path() + "S\xFC" "d.bmp";
    boxes->ExpectFile(path);
    form->mnuSvScreen_Click();
    QImage saved(ToQt(path));
    const QImage &shown = window(0)->Picture().Image();
    ASSERT_EQ(saved.size(), shown.size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));

    boxes->ExpectFile(std::nullopt).ExpectFile("").Expect(VB::vbOK, "Error Save File - Check Name");
    form->mnuSvScreen_Click();
    form->mnuSvScreen_Click();
    EXPECT_EQ(boxes->FileDialogs()[1].fileName, path);
    EXPECT_EQ(boxes->FileDialogs()[1].filter, "Picture Files (*.BMP)|*.BMP|All files (*.*)|*.*");
}

TEST_F(ShellTest, PrintSetupMakesTheChoiceCurrentAndStoresIt) {
    TestPrinters printers(
        {std::make_shared<ImagePrinter>("Office", std::vector<int>{VB::PaperA3, VB::PaperA4}),
         std::make_shared<ImagePrinter>("Plotter")});
    boxes->ExpectPrintSetup(VB::PrinterChoice{"Plotter", VB::PaperA4});
    form->mnuPsetup_Click();
    EXPECT_EQ(VB::Printer().DeviceName(), "Plotter");
    EXPECT_EQ(VB::Printer().PaperSize(), VB::PaperA4);
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "PrinterName"), "Plotter");
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "Papersize"), "9");
}

TEST_F(ShellTest, LoadedNetworkDrawsOnTheBackgroundColour) {
    AddAirways(2);
    ColourTable(0) = 0x0000FF;
    ColourTable(3) = 0x203040;
    NetworkFileName = folder.path() + "look.sim";
    ASSERT_TRUE(SaveNetwork(0));
    window(0)->Picture().BackColor = 0;
    LoadNetwork();
    EXPECT_EQ(window(0)->Picture().BackColor, ColourTable(3));
}
