#include "ShellFixture.h"

#include "common/TestPrinters.h"
#include "exchange/print_network.h"
#include "graphics/drawing.h"
#include "shell/frmTitle.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The main window started on the mine example, with its drawing in window 0.
class PrintingTest : public ShellTest {
protected:
    std::unique_ptr<MainForm> started;

    void SetUp() override {
        UnitSystem = 1;
        AppFolder = folder.path();
        WriteStartupFiles();
        // A copy, so that nothing can write over the checked-in example.
        const std::string copy = folder.path() + "mine.sim";
        std::filesystem::copy_file(std::string(GUSTROM_SOURCE_DIR) + "/examples/mine.sim", copy);
        frmTitle title(copy);
        title.Start();
        started.reset(title.MainWindow());
        ASSERT_NE(started, nullptr);
        PrintScale = 0;
        PrintTitle = "Example mine";
    }
    void TearDown() override { started.reset(); }

    // The page pixel of the point `along` the way on screen record k.
    static QPoint pagePixel(const QImage &page, int k, double along) {
        const AirwayScreenRecord &r = AirwayScreen(k);
        const VB::PrinterPage &printer = VB::Printer();
        const double x = r.x1 + (r.x2 - r.x1) * along, y = r.y1 + (r.y2 - r.y1) * along;
        return {static_cast<int>((x - printer.ScaleLeft) * page.width() / printer.ScaleWidth),
                static_cast<int>((y - printer.ScaleTop) * page.height() / printer.ScaleHeight)};
    }
    // The first record from `from` on that is long enough on paper to find.
    static int longRecord(int from) {
        for (int k = from; k <= AirwayScreenCount; ++k) {
            const AirwayScreenRecord &r = AirwayScreen(k);
            if (std::hypot(r.x2 - r.x1, r.y2 - r.y1) > WindowExtent / 10)
                return k;
        }
        return 0;
    }
};

TEST_F(PrintingTest, MineExamplePrintsToPdfWithItsTitle) {
    const std::string file = folder.path() + "mine.pdf";
    TestPrinters printers({std::make_shared<VB::PdfPrinter>("Pdf", file)});
    PrintNetwork();
    QProcess text;
    text.start("pdftotext", {QString::fromStdString(file), "-"});
    ASSERT_TRUE(text.waitForFinished());
    // The text tool shows runs of blanks as one.
    EXPECT_TRUE(QString(text.readAllStandardOutput()).simplified().contains("GUSTROM Example mine Scale 1:"));
}

TEST_F(PrintingTest, MineExampleOnPaperKeepsItsInkInsideTheBorderAndItsColours) {
    auto paper = std::make_shared<ImagePrinter>("Paper");
    TestPrinters printers({paper});
    // An exhaust airway shows red in the air-type colours, a selected one white.
    const int red = longRecord(1), selected = longRecord(red + 1);
    ASSERT_NE(selected, 0);
    AirwayFlags(AirwayScreen(red).airway) |= AirwayFlag::ExhaustAir;
    ColourScheme = 1;
    GraphicsDetail = 0; // lines only, so that a selection changes nothing else on paper
    Redraw();
    ASSERT_EQ(AirwayScreen(red).colour, ColourTable(1));
    PrintInColour = 1;
    PrintNetwork();
    AirwayFlags(AirwayScreen(selected).airway) |= AirwayFlag::Selected;
    Redraw();
    ASSERT_EQ(AirwayScreen(selected).colour, 0xFFFFFF);
    PrintNetwork();
    PrintInColour = 0;
    PrintNetwork();
    ASSERT_EQ(paper->pages.size(), 3u);
    const QImage &unselected = paper->pages[0], &colour = paper->pages[1], &black = paper->pages[2];
    const QRgb redInk = PictureBox::ToRgb(ColourTable(1));
    int redPixels = 0, selectedPixels = 0;
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x) {
            if (colour.pixel(x, y) == redInk) {
                ++redPixels;
                EXPECT_EQ(black.pixel(x, y), qRgb(0, 0, 0));
            }
            if (colour.pixel(x, y) != unselected.pixel(x, y)) {
                ++selectedPixels;
                EXPECT_EQ(colour.pixel(x, y), qRgb(0, 0, 0));
            }
        }
    EXPECT_GT(redPixels, 20);
    EXPECT_GT(selectedPixels, 20);

    // Beside and below the border the paper stays white; the title stands above it.
    const VB::PrinterPage &printer = VB::Printer();
    const auto column = [&](double x) {
        return (x - printer.ScaleLeft) * colour.width() / printer.ScaleWidth;
    };
    const auto row = [&](double y) { return (y - printer.ScaleTop) * colour.height() / printer.ScaleHeight; };
    int outside = 0;
    for (int y = static_cast<int>(row(WindowTop)); y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x) {
            const bool beyond =
                x < column(WindowLeft) - 2 || x > column(WindowRight) + 2 || y > row(WindowBottom) + 2;
            outside += beyond && colour.pixel(x, y) != qRgb(255, 255, 255);
        }
    EXPECT_EQ(outside, 0);
}

TEST_F(PrintingTest, PageWhoseHeightGovernsPrintsAtTheScaleInItsTitle) {
    auto paper = std::make_shared<ImagePrinter>("Paper");
    TestPrinters printers({paper});
    VB::Printer().SetPaperSize(VB::PaperA3);
    PrintOrientation = 1;
    PrintInColour = 1;
    GraphicsDetail = 0; // lines only: the border is the one long black outline
    Redraw();
    std::vector<DrawnPrimitive> printed;
    const QString caption = started->windowTitle();
    VB::Printer().Recording = &printed;
    PrintNetwork();
    VB::Printer().Recording = nullptr;
    ASSERT_GT(PageAspect, WindowAspect);
    ASSERT_EQ(paper->pages.size(), 1u);
    double titled = 0;
    for (const DrawnPrimitive &p : printed)
        if (p.kind == DrawnPrimitive::Text && p.text.rfind("GUSTROM", 0) == 0)
            titled = std::stod(p.text.substr(p.text.find("Scale 1:") + 8));
    ASSERT_GT(titled, 0);
    // The border on paper: the outermost columns that are black over most of the border's height.
    const QImage &page = paper->pages[0];
    std::vector<int> black(static_cast<size_t>(page.width()));
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            black[static_cast<size_t>(x)] += page.pixel(x, y) == qRgb(0, 0, 0);
    const int tallest = *std::max_element(black.begin(), black.end());
    size_t left = 0, right = black.size() - 1;
    while (black[left] < tallest / 2)
        ++left;
    while (black[right] < tallest / 2)
        --right;
    const double borderMm = static_cast<double>(right - left) * 25.4 / paper->Resolution();
    const double drawn = (WindowRight - WindowLeft) * 1000.0 / borderMm;
    EXPECT_NEAR(drawn / titled, 1, 0.01) << "drawn 1:" << drawn << ", titled 1:" << titled;
    // The border's height at that scale: the whole window, bottom edge included, lies on the page.
    std::vector<int> across(static_cast<size_t>(page.height()));
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            across[static_cast<size_t>(y)] += page.pixel(x, y) == qRgb(0, 0, 0);
    size_t top = 0, bottom = across.size() - 1;
    while (across[top] < static_cast<int>(right - left) / 2)
        ++top;
    while (across[bottom] < static_cast<int>(right - left) / 2)
        --bottom;
    const double heightMm = static_cast<double>(bottom - top) * 25.4 / paper->Resolution();
    EXPECT_NEAR((WindowBottom - WindowTop) * 1000.0 / heightMm / titled, 1, 0.01);
    // The print leaves the caption's scale, the drawing's on the screen, as it was.
    EXPECT_EQ(started->windowTitle(), caption);
}

TEST_F(PrintingTest, FilePrintShowsTheDialogAndRedrawsAfter) {
    std::string shown;
    VB::SetModalDriver([&](QDialog &dialog) {
        shown = dialog.windowTitle().toStdString();
        dialog.reject();
    });
    AirwayScreenCount = 0;
    started->MenuItem("mnuPrint")->trigger();
    EXPECT_EQ(shown, "PRINT NETWORK");
    EXPECT_GT(AirwayScreenCount, 0);
}

TEST_F(PrintingTest, PrintScreenAsksShowsTheNoticeAndLeavesTheZoomTool) {
    auto paper = std::make_shared<ImagePrinter>("Paper");
    TestPrinters printers({paper});
    NetworkTitle = "Example mine";
    started->Tools_Click(13); // the information tool
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbCancel, "Print Screen ?");
        AirwayScreenCount = 0;
        started->Tools(22)->click(); // the button is enabled
        EXPECT_EQ(boxes.Shown().at(0).title, "Printing");
        EXPECT_EQ(boxes.Shown().at(0).buttonSet, VB::vbOKCancel);
        EXPECT_EQ(boxes.Shown().at(0).icon, VB::vbQuestion);
    }
    EXPECT_EQ(paper->opened, 0);
    EXPECT_GT(AirwayScreenCount, 0);
    EXPECT_EQ(ToolMode, 0);
    EXPECT_TRUE(started->Tools(13)->isChecked());

    // The notice shows the network's title while the document prints.
    const auto notice = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmPrinting" && w->isVisible())
                return w;
        return static_cast<QWidget *>(nullptr);
    };
    std::vector<float> ratios;
    paper->onOpen = [&] {
        QWidget *shown = notice();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->windowTitle(), "PRINTING");
        EXPECT_EQ(shown->findChildren<QLabel *>().back()->text(), "Example mine");
        ratios.push_back(ScaleRatio);
    };
    for (int print = 0; print < 2; ++print) {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Print Screen ?");
        started->Tools_Click(22);
    }
    EXPECT_EQ(paper->documents, 2);
    EXPECT_EQ(notice(), nullptr);
    EXPECT_EQ(ratios, (std::vector<float>{1, 1}));
}

} // namespace
