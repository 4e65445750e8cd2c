#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "common/TestPrinters.h"
#include "platform/Printer.h"
#include "platform/VBError.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<ImagePrinter> imagePrinter(const std::string &name) {
    return std::make_shared<ImagePrinter>(name);
}

int printerError(const std::function<void()> &action) {
    try {
        action();
    } catch (const VBError &e) {
        return e.number;
    }
    return 0;
}

TEST(Printers, SelectPrinterMakesOnlyAnExactNameCurrent) {
    TestPrinters printers({imagePrinter("A"), imagePrinter("B"), imagePrinter("C")});
    EXPECT_EQ(VB::PrinterNames(), (std::vector<std::string>{"A", "B", "C", "PDF File"}));
    std::string name = "B";
    VB::SelectPrinter(name);
    name.clear();
    VB::SelectPrinter(name);
    EXPECT_EQ(name, "B");
    EXPECT_EQ(VB::Printer().DeviceName(), "B");
    for (std::string unknown : {"c", "Z"}) {
        VB::SelectPrinter(unknown);
        EXPECT_EQ(VB::Printer().DeviceName(), "B") << unknown;
    }
    name = "C";
    VB::SelectPrinter(name);
    EXPECT_EQ(VB::Printer().DeviceName(), "C");

    TestPrinters none({});
    for (std::string any : {"", "A", "PDF File"}) {
        VB::SelectPrinter(any);
        EXPECT_EQ(VB::Printer().DeviceName(), "PDF File");
    }
}

TEST(Printers, PaperCodesNameQtPageSizes) {
    EXPECT_EQ(VB::PaperCode(QPageSize::A4), 9);
    EXPECT_EQ(VB::PaperCode(QPageSize::Letter), 1);
    EXPECT_EQ(VB::PaperPageSize(8), QPageSize::A3);
    // A size without a driver code still keeps one of its own.
    const int code = VB::PaperCode(QPageSize::A0);
    EXPECT_EQ(VB::PaperPageSize(code), QPageSize::A0);
    EXPECT_FALSE(VB::PaperPageSize(0));
}

TEST(Printers, PdfFilePrinterTakesSixPapersWithTenMillimetreMargins) {
    TestPrinters printers({});
    VB::PrinterPage &page = VB::Printer();
    std::vector<int> codes;
    for (const VB::Paper &p : page.Papers())
        codes.push_back(p.code);
    EXPECT_EQ(codes, (std::vector<int>{8, 9, 11, 1, 5, 3}));
    EXPECT_EQ(page.PaperSize(), VB::PaperA4);
    EXPECT_NEAR(page.PrintableWidthMm(), 190, 1e-6);
    EXPECT_NEAR(page.PrintableHeightMm(), 277, 1e-6);
    page.SetOrientation(VB::vbPRORLandscape);
    page.SetPaperSize(VB::PaperA3);
    EXPECT_NEAR(page.PrintableWidthMm(), 400, 1e-6);
    EXPECT_NEAR(page.PrintableHeightMm(), 277, 1e-6);
    EXPECT_EQ(printerError([&] { page.SetPaperSize(66); }), VB::InvalidPropertyValue);
    EXPECT_EQ(printerError([&] { page.SetOrientation(3); }), VB::InvalidPropertyValue);
    EXPECT_EQ(page.PaperSize(), VB::PaperA3);
}

TEST(Printers, PdfDocumentReplacesItsFileOnlyWhenItEnds) {
    TestFolder folder;
    const std::string file = folder.path() + "network.pdf";
    folder.Write("network.pdf", "old");
    const auto shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(QString::fromStdString(file), shared);
    TestPrinters printers({std::make_shared<VB::PdfPrinter>("Pdf", file)});
    VB::PrinterPage &page = VB::Printer();
    page.ScaleMillimetres();
    page.Line(0, 0, 100, 100);
    EXPECT_TRUE(page.DocumentOpen());
    page.KillDoc();
    EXPECT_EQ(folder.Read("network.pdf"), "old");
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::Files).size(), 1);

    page.CurrentX = 20;
    page.CurrentY = 20;
    page.Print("GUSTROM");
    page.EndDoc();
    EXPECT_FALSE(page.DocumentOpen());
    EXPECT_EQ(folder.Read("network.pdf").substr(0, 5), "%PDF-");
    QProcess text;
    text.start("pdftotext", {QString::fromStdString(file), "-"});
    ASSERT_TRUE(text.waitForFinished());
    EXPECT_TRUE(text.readAllStandardOutput().contains("GUSTROM"));
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::Files).size(), 1);
    // The file replaced keeps its permissions.
    const auto ownerGroupOther = QFileDevice::Permissions(0x7077);
    EXPECT_EQ(QFile::permissions(QString::fromStdString(file)) & ownerGroupOther, shared);
}

TEST(Printers, PdfFilePrinterAsksForTheFileOfEachDocument) {
    TestFolder folder;
    TestPrinters printers({});
    ScriptedDialogs boxes;
    boxes.ExpectFile(std::nullopt).ExpectFile(folder.path() + "plan.pdf");
    EXPECT_EQ(printerError([] { VB::Printer().Line(0, 0, 1, 1); }), VB::PrintCancelled);
    VB::Printer().Line(0, 0, 1, 1);
    VB::Printer().EndDoc();
    // A new document is readable as any other new file of the user is.
    folder.Write("plain.txt", "");
    EXPECT_EQ(QFile::permissions(QString::fromStdString(folder.path() + "plan.pdf")),
              QFile::permissions(QString::fromStdString(folder.path() + "plain.txt")));
    const VB::FileRequest &asked = boxes.FileDialogs().at(0);
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.filter, "PDF Files (*.pdf)|*.pdf");
    EXPECT_EQ(asked.defaultExt, "pdf");
    EXPECT_TRUE(asked.confirmOverwrite);
}

TEST(Printers, PagePrintsPointTextsSixHundredDotPensOpaqueTextAndDots) {
    auto paper = imagePrinter("Image");
    TestPrinters printers({paper});
    VB::PrinterPage &page = VB::Printer();
    std::vector<DrawnPrimitive> drawn;
    page.Recording = &drawn;
    page.ScaleMillimetres();
    // 12 points are a sixth of an inch high; 1 mm is 100 / 25.4 dots.
    page.FontSize = 12;
    EXPECT_NEAR(page.TextHeight("F"), 25.4 / 6 * 1.16, 25.4 / 6 * 0.2);

    page.FilledBox(10, 10, 60, 30, 0xFF0000);
    page.FontTransparent = false;
    page.CurrentX = 20;
    page.CurrentY = 15;
    const double textWidth = page.TextWidth("IIII"), textHeight = page.TextHeight("IIII");
    page.Print("IIII");
    page.FontTransparent = true;
    page.DrawStyle = VB::PrinterPage::vbDot;
    page.DrawWidth = 60; // a tenth of an inch
    page.Line(10, 100, 150, 100, 0);
    page.EndDoc();
    ASSERT_EQ(paper->pages.size(), 1u);
    const QImage &image = paper->pages[0];
    const auto dot = [&](double mm) { return static_cast<int>(mm * 100 / 25.4); };
    EXPECT_EQ(image.pixel(dot(12), dot(12)), qRgb(0, 0, 255));
    // The opaque text's box is white inside the blue box: no blue within it, white where no glyph lies.
    int white = 0;
    for (int y = dot(15) + 1; y < dot(15 + textHeight) - 1; ++y)
        for (int x = dot(20) + 1; x < dot(20 + textWidth) - 1; ++x) {
            EXPECT_NE(image.pixel(x, y), qRgb(0, 0, 255)) << x << "," << y;
            white += image.pixel(x, y) == qRgb(255, 255, 255);
        }
    EXPECT_GT(white, 0);
    // The dotted line is ten dots thick with gaps along it.
    int ink = 0, gaps = 0;
    for (int x = dot(10) + 10; x < dot(150) - 10; ++x)
        (qGray(image.pixel(x, dot(100))) < 128 ? ink : gaps) += 1;
    EXPECT_GT(ink, 0);
    EXPECT_GT(gaps, 0);
    EXPECT_LT(qGray(image.pixel(dot(10) + 4, dot(100) + 4)), 128);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].kind, DrawnPrimitive::FilledBox);
    EXPECT_TRUE(drawn[1].opaque);
    EXPECT_EQ(drawn[2].penStyle, VB::PrinterPage::vbDot);
    EXPECT_EQ(drawn[2].width, 60);
    page.Recording = nullptr;
}

TEST(Printers, WindowImagePrintsOnTheNamedPrinterAtItsScreenSize) {
    auto first = imagePrinter("First");
    auto second = imagePrinter("Second");
    TestPrinters printers({first, second});
    QLabel window("Airway 12");
    window.setStyleSheet("background: black");
    window.resize(96, 48);
    std::string name = "Second";
    EXPECT_TRUE(VB::PrintWindowImage(window, name));
    EXPECT_EQ(first->documents, 0);
    ASSERT_EQ(second->pages.size(), 1u);
    // One inch by half an inch on a 100-dpi page.
    const QImage &page = second->pages[0];
    EXPECT_EQ(page.pixel(95, 45), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(105, 45), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(50, 55), qRgb(255, 255, 255));

    second->startFailures = 1;
    EXPECT_FALSE(VB::PrintWindowImage(window, name));
    EXPECT_FALSE(VB::Printer().DocumentOpen());
    EXPECT_EQ(second->documents, 1);
}

} // namespace
