#include "exchange/PrintFixture.h"

#include "common/RealKeys.h"
#include "common/TestFolder.h"
#include "exchange/frmPrinter.h"
#include "graphics/view_state.h"
#include "platform/System.h"
#include "platform/VBControls.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

std::string setting(const char *key) {
    return VB::GetSetting("Gustrom", "Files", key, "");
}

class PrinterDialogTest : public PrintTest {
protected:
    TestFolder folder; // the settings store
    void SetUp() override {
        PrintTest::SetUp();
        LevelAirway(-100, 0, 100, 0);
    }
    static void Store(const std::string &printer, int paper, int colour, int orientation) {
        VB::SaveSetting("Gustrom", "Files", "PrinterName", printer);
        VB::SaveSetting("Gustrom", "Files", "Papersize", std::to_string(paper));
        VB::SaveSetting("Gustrom", "Files", "PrintColour", std::to_string(colour));
        VB::SaveSetting("Gustrom", "Files", "PrintOrient", std::to_string(orientation));
    }
};

TEST_F(PrinterDialogTest, LoadShowsTheStoredPrinterPaperColourAndOrientation) {
    Store("PDF File", VB::PaperA3, 1, 1);
    frmPrinter dialog;
    EXPECT_EQ(CurrentLine, "Paper"); // current when the dialog opened
    EXPECT_EQ(VB::Printer().DeviceName(), "PDF File");
    EXPECT_EQ(dialog.PrintList->currentText(), "PDF File");
    EXPECT_EQ(dialog.PrintSize->currentText(), QPageSize::name(QPageSize::A3));
    EXPECT_TRUE(dialog.ChkColour->isChecked());
    EXPECT_TRUE(dialog.OptOrient[1]->isChecked());
    EXPECT_TRUE(dialog.ShpLandscape->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.ShpPortrait->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.PSizer->text(), "400mm wide x  277mm high");
    EXPECT_EQ(dialog.TxtCopies->text(), "1");
    EXPECT_EQ(dialog.TxtTitle->text(), "Unnamed Network");
    EXPECT_EQ(dialog.TxtScale->text().toFloat(), FittedScale(1000, 1000, 400, 277));
    dialog.reject();

    // A printer that is gone leaves the one current at opening shown and used.
    Store("Gone", VB::PaperA3, 0, 0);
    NetworkTitle = "North mine";
    std::string first = "Paper";
    VB::SelectPrinter(first);
    frmPrinter again;
    EXPECT_EQ(VB::Printer().DeviceName(), "Paper");
    EXPECT_EQ(again.PrintList->currentText(), "Paper");
    EXPECT_EQ(again.TxtTitle->text(), "North mine");
}

TEST_F(PrinterDialogTest, ScaleOrientationAndPaperRenewTheFit) {
    Store("Paper", VB::PaperA4, 0, 1);
    frmPrinter dialog;
    const float landscapeFit = FittedScale(1000, 1000, 277, 190);
    EXPECT_EQ(dialog.FitScale, landscapeFit);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Scale exceeds paper size !");
        // Wide enough for the page's width, too tall for its height.
        ASSERT_LT(FittedScale(1000, 0, 277, 0), 4500);
        dialog.TxtScale->setText("4500");
        dialog.TxtScale_LostFocus();
        EXPECT_EQ(dialog.TxtScale->text().toFloat(), landscapeFit);
        dialog.TxtScale->setText("99999");
        dialog.TxtScale_LostFocus();
        EXPECT_EQ(dialog.TxtScale->text(), "99999");
    }
    dialog.OptOrient[0]->SetValue(true);
    EXPECT_TRUE(dialog.ShpPortrait->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.ShpLandscape->isVisibleTo(&dialog));
    EXPECT_EQ(VB::Printer().Orientation(), VB::vbPRORPortrait);
    EXPECT_EQ(dialog.PSizer->text(), "190mm wide x  277mm high");
    EXPECT_EQ(dialog.TxtScale->text().toFloat(), FittedScale(1000, 1000, 190, 277));

    dialog.PrintSize->SetListIndex(1); // A3
    EXPECT_EQ(VB::Printer().PaperSize(), VB::PaperA3);
    EXPECT_EQ(dialog.PSizer->text(), "277mm wide x  400mm high");
    EXPECT_EQ(dialog.TxtScale->text().toFloat(), FittedScale(1000, 1000, 277, 400));
    dialog.TxtScale->clear();
    dialog.PrintSize->SetListIndex(0);
    EXPECT_EQ(VB::Printer().PaperSize(), VB::PaperA3);
}

TEST_F(PrinterDialogTest, PrinterWithoutPapersListsNone) {
    printers.emplace(std::vector<std::shared_ptr<VB::PrinterDriver>>{
        paper, std::make_shared<ImagePrinter>("Plotter", std::vector<int>{})});
    frmPrinter dialog;
    EXPECT_EQ(dialog.PrintSize->count(), 2);
    dialog.PrintList->SetListIndex(1);
    EXPECT_EQ(VB::Printer().DeviceName(), "Plotter");
    EXPECT_EQ(dialog.PrintSize->count(), 0);
    EXPECT_EQ(dialog.PaperCount, 0);
}

TEST_F(PrinterDialogTest, EnterMovesOnAndOnlyTheScaleTakesTheLocalDecimalMark) {
    VB::SetLocaleDecimalSeparatorOverride(',');
    frmPrinter dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.TxtTitle->clear();
    QTest::keyClicks(dialog.TxtTitle, "No.2");
    EXPECT_EQ(dialog.TxtTitle->text(), "No.2");
    dialog.TxtScale->setFocus();
    dialog.TxtScale->clear();
    QTest::keyClicks(dialog.TxtScale, "2500.5");
    EXPECT_EQ(dialog.TxtScale->text(), "2500,5");
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Scale exceeds paper size !");
    RealKeys::Click(dialog.TxtScale, Qt::Key_Return);
    EXPECT_TRUE(dialog.TxtCopies->hasFocus());
    dialog.TxtTitle->setFocus();
    RealKeys::Click(dialog.TxtTitle, Qt::Key_Return);
    EXPECT_TRUE(dialog.PrintList->hasFocus());
    dialog.reject();
}

TEST_F(PrinterDialogTest, EveryCopyPrintsAtTheTypedScale) {
    std::vector<float> ratios;
    paper->onOpen = [&] { ratios.push_back(ScaleRatio); };
    for (const char *once : {"0", "-2", "x"}) {
        frmPrinter dialog;
        dialog.TxtCopies->setText(once);
        dialog.PrintIt->click();
    }
    EXPECT_EQ(paper->documents, 3);

    frmPrinter dialog;
    const float fit = dialog.FitScale;
    dialog.TxtScale->setText(QString::number(2 * fit));
    dialog.TxtCopies->setText("3");
    dialog.TxtTitle->setText("No.2");
    dialog.ChkColour->SetValue(true);
    dialog.PrintIt->click();
    // The copies are the pages of one document, each at the typed scale.
    EXPECT_EQ(paper->documents, 4);
    ASSERT_EQ(ratios.size(), 4u);
    EXPECT_FLOAT_EQ(ratios[3], 2);
    ASSERT_EQ(paper->pages.size(), 6u);
    EXPECT_NE(paper->pages[3], paper->pages[0]);
    EXPECT_EQ(paper->pages[4], paper->pages[3]);
    EXPECT_EQ(paper->pages[5], paper->pages[3]);
    EXPECT_EQ(PrintTitle, "No.2");
    EXPECT_EQ(PrintInColour, 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PrinterDialogTest, PdfCopiesGoAsPagesIntoTheOneFileAskedForOnceAndCancelEndsThePrint) {
    Store("PDF File", VB::PaperA4, 0, 0);
    const std::string file = folder.path() + "copies.pdf";
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(file);
        frmPrinter dialog;
        dialog.TxtCopies->setText("3");
        dialog.PrintIt->click();
        EXPECT_TRUE(boxes.Done());
    }
    QProcess info;
    info.start("pdfinfo", {QString::fromStdString(file)});
    ASSERT_TRUE(info.waitForFinished());
    EXPECT_TRUE(QString(info.readAllStandardOutput()).simplified().contains("Pages: 3"));

    // Cancel in the file dialog ends the print: the dialog is not asked for again.
    ScriptedDialogs boxes;
    boxes.ExpectFile(std::nullopt);
    frmPrinter dialog;
    dialog.TxtCopies->setText("2");
    dialog.PrintIt->click();
    EXPECT_EQ(boxes.FileDialogs().size(), 1u);
}

TEST_F(PrinterDialogTest, ScaleBeyondASingleFailsAndCancelStoresOnlyThePrinterChoices) {
    PrintInColour = 0;
    for (const auto &[scale, copies] : {std::pair{"1e40", "1"}, {"2000", "1e9"}}) {
        // A scale or copies that cannot be used keep the dialog open on the box, the colour unstored.
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Error while trying to print - Check Printer");
        frmPrinter dialog;
        dialog.show();
        dialog.ChkColour->SetValue(true);
        dialog.TxtScale->setText(scale);
        dialog.TxtCopies->setText(copies);
        dialog.PrintIt->click();
        EXPECT_TRUE(dialog.isVisible()) << scale;
        EXPECT_EQ(dialog.focusWidget(), scale[0] == '1' ? dialog.TxtScale : dialog.TxtCopies);
        EXPECT_EQ(PrintInColour, 0);
        dialog.CancelIt->click();
    }
    EXPECT_EQ(paper->opened, 0);
    EXPECT_EQ(setting("PrinterName"), "Paper");

    PrintScale = 1234;
    PrintTitle = "kept";
    PrintInColour = 0;
    frmPrinter dialog;
    dialog.PrintSize->SetListIndex(1);
    dialog.OptOrient[1]->SetValue(true);
    dialog.ChkColour->SetValue(true);
    dialog.TxtTitle->setText("changed");
    dialog.CancelIt->click();
    EXPECT_EQ(setting("Papersize"), "8");
    EXPECT_EQ(setting("PrintOrient"), "1");
    EXPECT_EQ(setting("PrintColour"), "1");
    EXPECT_EQ(PrintScale, 1234);
    EXPECT_EQ(PrintTitle, "kept");
    EXPECT_EQ(PrintInColour, 0);
}

} // namespace
