#include "exchange/PrintFixture.h"

#include "common/TestFolder.h"
#include "graphics/view_state.h"
#include "platform/Busy.h"

#include <QDir>
#include <QTimer>

namespace {

TEST_F(PrintTest, PageFitsTheWindowAndTheBorderIsBlack) {
    ActiveWindow = -1;
    PrintNetwork();
    EXPECT_EQ(paper->opened, 0);
    ActiveWindow = 0;

    LevelAirway(-100, 0, 100, 0);
    PrintNetwork();
    EXPECT_EQ(paper->documents, 1);
    EXPECT_EQ(PrintScale, 0);
    // A4 portrait is narrower than the square window: its width takes the window and 5 % a side, less the
    // half percent the fit leaves.
    const VB::PrinterPage &page = VB::Printer();
    EXPECT_FLOAT_EQ(ScaleRatio, 1);
    EXPECT_NEAR(page.ScaleWidth, 1100 / 0.995, 0.5);
    EXPECT_NEAR(page.ScaleLeft, -550, 1e-3);
    EXPECT_NEAR(page.ScaleTop, -550, 1e-3);
    ASSERT_FALSE(printed.empty());
    const DrawnPrimitive &border = printed.front();
    EXPECT_EQ(border.kind, DrawnPrimitive::Box);
    EXPECT_EQ(border.width, 5);
    EXPECT_EQ(border.colour, 0);
    EXPECT_EQ((std::vector<double>{border.x1, border.y1, border.x2, border.y2}),
              (std::vector<double>{-500, -500, 500, 500}));

    // Twice the fitted scale draws half as large from the same corner.
    const float fitted = FittedScale(1000, 1000, page.PrintableWidthMm(), page.PrintableHeightMm());
    PrintScale = 2 * fitted;
    PrintNetwork();
    EXPECT_FLOAT_EQ(ScaleRatio, 2);
    EXPECT_NEAR(VB::Printer().ScaleWidth, 2200 / 0.995, 1);
    EXPECT_EQ(PrintScale, 0);
}

TEST_F(PrintTest, TextSizesFollowTheFontScaleWithAThreePointFloor) {
    LevelAirway(-100, 0, 100, 0);
    PrintNetwork();
    EXPECT_EQ(DataTextSize, 8);
    EXPECT_EQ(NameTextSize, 8);

    FontScale = 1;
    FontSize(1) = 6;
    picture.ScaleLeft = -500000;
    picture.ScaleWidth = 1000000;
    PrintNetwork();
    EXPECT_FLOAT_EQ(PrintFontFactor, 0.5f);
    EXPECT_EQ(DataTextSize, 3);
    // A data font of size 0 has no floor to divide by.
    FontSize(1) = 0;
    PrintNetwork();
    EXPECT_EQ(DataTextSize, 0);
    EXPECT_EQ(paper->documents, 3);
}

TEST_F(PrintTest, PrinterThatCannotStartOffersRetryAndCancelKeepsTheTypedScale) {
    LevelAirway(-100, 0, 100, 0);
    PrintScale = 5000;
    paper->startFailures = 2;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbRetry, "Error printing network").Expect(VB::vbCancel, "Error printing network");
        PrintNetwork();
        EXPECT_EQ(boxes.Shown()[0].title, "Printing Error");
        EXPECT_EQ(boxes.Shown()[0].buttonSet, VB::vbRetryCancel);
        EXPECT_EQ(boxes.Shown()[0].icon, VB::vbExclamation);
    }
    EXPECT_EQ(PrintScale, 5000);
    EXPECT_EQ(paper->documents, 0);
    EXPECT_FALSE(VB::Printer().DocumentOpen());
    // A cancelled fitted printout stays fitted for the next one.
    PrintScale = 0;
    paper->startFailures = 1;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbCancel, "Error printing network");
        PrintNetwork();
    }
    EXPECT_EQ(PrintScale, 0);

    paper->startFailures = 1;
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbRetry, "Error printing network");
        PrintNetwork();
    }
    EXPECT_EQ(paper->documents, 1);
    EXPECT_EQ(PrintScale, 0);
}

TEST_F(PrintTest, UnwritablePdfIsRetriedAndAStopLeavesTheOldFileWhole) {
    TestFolder folder;
    const std::string file = folder.path() + "plan.pdf";
    folder.Write("plan.pdf", "old plan");
    LevelAirway(-100, 0, 100, 0);
    printers.emplace(std::vector<std::shared_ptr<VB::PrinterDriver>>{
        std::make_shared<VB::PdfPrinter>("Missing folder", folder.path() + "gone/plan.pdf"),
        std::make_shared<VB::PdfPrinter>("Plan", file)});
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbRetry, "Error printing network").Expect(VB::vbCancel, "Error printing network");
        PrintNetwork();
    }
    std::string plan = "Plan";
    VB::SelectPrinter(plan);
    // The stop button is pressed while the airways print.
    QTimer::singleShot(0, [] { QTimer::singleShot(0, [] { RunState = 255; }); });
    PrintNetwork();
    EXPECT_EQ(folder.Read("plan.pdf"), "old plan");
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_FALSE(VB::Printer().DocumentOpen());
}

TEST_F(PrintTest, PrintsWhatWasDrawnWhenItStartedAndNothingWhileAnotherLongOperationRuns) {
    LevelAirway(-100, 0, 100, 0);
    LevelAirway(-100, 50, 100, 50);
    // A redraw while the printout lets events run leaves other screen records.
    QTimer::singleShot(0, [] {
        AirwayScreenCount = 1;
        AirwayScreen(1).y1 = AirwayScreen(1).y2 = -300;
    });
    PrintNetwork();
    const auto lines = Printed(DrawnPrimitive::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].y1, 0);
    EXPECT_EQ(lines[1].y1, 50);

    VB::BusyScope simulation;
    PrintNetwork();
    EXPECT_EQ(paper->opened, 1);
}

} // namespace
