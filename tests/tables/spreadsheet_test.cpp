#include "tables/SheetFixture.h"

#include "common/AirwayEnds.h"
#include "common/NetworkGenerator.h"
#include "common/RealKeys.h"
#include "common/TestPrinters.h"

#include "graphics/editor_windows.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "platform/Busy.h"
#include "solver/checks.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>

#include <filesystem>

TEST_F(SheetTest, FillOrdersRowsByNumberAndMarksFixedValues) {
    const int fan = Drive(30, 0, "Fan drive");
    AirwayFan(fan) = 2;
    AirwayPressure(fan) = 9999;
    const int round = Drive(10, 100, "Raise");
    AirwayFlags(round) = AirwayFlag::Round;
    AirwaySize(2, round) = 3;
    const int fixedPressure = Drive(20, 200);
    AirwayFlags(fixedPressure) |= AirwayFlag::FixedFlow;
    AirwayFan(fixedPressure) = -1;
    AirwayPressure(fixedPressure) = -9999;
    AirwayFlow(fixedPressure) = 12.34567f;
    AirwayResistanceType(fixedPressure) = 1;
    ResistanceTypeName(1) = "Bulkhead";
    Open();

    EXPECT_EQ(cell(1, SheetColNo), "10");
    EXPECT_EQ(cell(2, SheetColNo), "20");
    EXPECT_EQ(cell(3, SheetColNo), "30");
    EXPECT_EQ(cell(1, SheetColHeight), "");
    EXPECT_EQ(cell(1, SheetColWidth), "3.0");
    EXPECT_EQ(cell(3, SheetColFPres), "Negate");
    EXPECT_EQ(cell(2, SheetColFPres), "Stall");
    EXPECT_EQ(cell(2, SheetColFlow), "12.346");
    EXPECT_EQ(cell(2, SheetColComments), " Bulkhead");
    // Fixed flow, fixed pressure with fixed flow (Pdrop), and a resistance type: red, remembered.
    for (int c : {SheetColFlow, SheetColPdrop, SheetColResistance}) {
        EXPECT_TRUE(Marked(2, c)) << c;
        EXPECT_EQ(grid().CellBackColorAt(2, c), SheetFixedColour) << c;
    }
    EXPECT_FALSE(Marked(2, SheetColFPres)); // fixed pressure shows as F Pres only without fixed flow
    EXPECT_FALSE(Marked(3, SheetColPdrop));

    // An empty visible list gives the headings only.
    VisibleAirways(1) = 0;
    window->mnuUndo_Click();
    EXPECT_EQ(grid().Rows(), 1);
    EXPECT_EQ(cell(0, SheetColName), "Name          ");
}

TEST_F(SheetTest, FlowsAndResistancesShowRoundedFromTheDigitsTheyHold) {
    // Flows to 3 decimals and resistances to 7, each rounded from the value as typed, never cut below it.
    const struct {
        float flow, resistance; // m³/s, Ns²/m⁸
        const char *flowText, *resistanceText;
    } cases[] = {
        {0.7f, 0.0002f, "0.7", "0.0002"},
        {12.34567f, 0.000105487f, "12.346", "0.0001055"},
        {12.3455f, 0.009858535f, "12.346", "0.0098585"},
        {-0.7f, 0.12345676f, "-0.7", "0.1234568"},
        {150.0f, 1.1f, "150.0", "1.1"},
    };
    for (const auto &c : cases) {
        const int a = Drive(AirwayCount + 1, 100 * AirwayCount);
        AirwayFlow(a) = c.flow;
        AirwayResistance(a) = c.resistance;
    }
    Open();
    for (int r = 1; r <= AirwayCount; ++r) {
        const auto &c = cases[r - 1];
        EXPECT_EQ(cell(r, SheetColFlow), c.flowText) << c.flow;
        EXPECT_EQ(cell(r, SheetColResistance), c.resistanceText) << c.resistance;
    }
}

TEST_F(SheetTest, TypingEditsTheOpenColumnsOnlyAndTheDecimalKeyFollowsTheLocale) {
    Drive(1, 0);
    Drive(2, 100);
    Open();
    AirwayShockType(1) = TypedPreset;
    grid().SetTextMatrix(1, SheetColShock, "120");
    Type(1, SheetColShock, "7");
    EXPECT_EQ(cell(1, SheetColShock), "7");
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_TRUE(SheetChanged);

    for (int col : {SheetColNo, SheetColComments}) {
        Go(1, col);
        QTest::keyClick(&grid(), Qt::Key_5);
        EXPECT_FALSE(window->TxtEdit->isVisible()) << col;
    }
    Go(1, SheetColName);
    grid().CellLeft(); // scrolls the cell into view
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, grid().CellRect(1, SheetColName).center());
    EXPECT_TRUE(window->TxtEdit->isVisible());
    RealKeys::Click(window->TxtEdit, Qt::Key_Escape);

    // Delete empties a cell and types nothing: no edit box, no fixed mark.
    Go(1, SheetColFlow);
    RealKeys::Click(&grid(), Qt::Key_Delete);
    EXPECT_FALSE(window->TxtEdit->isVisible());
    EXPECT_EQ(cell(1, SheetColFlow), "");
    grid().SetRow(2);
    EXPECT_FALSE(Marked(1, SheetColFlow));
    // Text that is no number leaves a number cell as it was and unmarked, and the sheet open.
    for (int col : {SheetColResistance, SheetColFan, SheetColLength, SheetColX1}) {
        const std::string before = cell(2, col);
        boxes.Expect(VB::vbOK, "Error in Number Format");
        Type(2, col, "abc");
        EXPECT_EQ(cell(2, col), before) << col;
        EXPECT_FALSE(Marked(2, col)) << col;
    }
    EXPECT_TRUE(window->isVisible());

    VB::SetLocaleDecimalSeparatorOverride(',');
    DecimalSeparator = ',';
    Type(2, SheetColHeight, "2.5");
    EXPECT_EQ(cell(2, SheetColHeight), "2,5");
    // Names take no comma and keep their points.
    for (int col : {SheetColName, SheetColFrom, SheetColTo}) {
        Go(2, col);
        RealKeys::Type(&grid(), ",");
        EXPECT_FALSE(window->TxtEdit->isVisible()) << col;
        Type(2, col, "A,.1");
        EXPECT_EQ(cell(2, col), "A.1") << col;
    }
}

TEST_F(SheetTest, RenamingANodeRenamesEveryEndAtThatPosition) {
    Drive(1, 0);
    Drive(2, 50); // starts where airway 1 ends
    Drive(3, 200);
    Open();
    grid().SetTextMatrix(3, SheetColX2, "");
    grid().SetTextMatrix(3, SheetColY2, "");
    grid().SetTextMatrix(3, SheetColZ2, "");
    Type(2, SheetColFrom, "North");
    EXPECT_EQ(cell(1, SheetColTo), "North");
    EXPECT_EQ(cell(2, SheetColFrom), "North");
    EXPECT_EQ(cell(3, SheetColTo), "");
}

TEST_F(SheetTest, EveryColumnShowsItsHeadingAndValuesWhole) {
    const int a = Drive(123456, 0, "Fan drive to the north east return shaft");
    AirwayStartName(a) = "Ventilation door 17";
    AirwayFlow(a) = 1503.25f;
    AirwayResistance(a) = 0.0123456f;
    AirwayLength(a) = 12345.5f;
    AirwayFan(a) = 2;
    AirwayPressure(a) = 2345;
    AirwayComment(a) = "Door shut for the night shift";
    SetAirwayEnds(a, -1234567, 7654321, 987, 1234567, -7654321, -987);
    Drive(2, 100);
    Open();
    const QFontMetrics metrics = grid().fontMetrics();
    for (int col = SheetColNo; col <= SheetColZ2; ++col)
        for (int row = 0; row < grid().Rows(); ++row)
            // The cell's text is painted 3 pixels inside each border.
            EXPECT_LE(metrics.horizontalAdvance(QString::fromStdString(cell(row, col))),
                      grid().ColWidth(col) / VBGrid::TwipsPerPixel - 6)
                << "row " << row << ", column " << col << ": " << cell(row, col);
}

TEST_F(SheetTest, CommitsMarkAndRecalculateTheRow) {
    Drive(1, 0);
    Open();
    Type(1, SheetColFlow, "10");
    boxes.Expect(VB::vbYes, "Calculate and fix resistance ?");
    Type(1, SheetColPdrop, "100");
    EXPECT_EQ(cell(1, SheetColResistance), "1.00000");
    EXPECT_TRUE(Marked(1, SheetColResistance));

    boxes.Expect(VB::vbOK, "Cannot fix this pressure due to fixed flow");
    Type(1, SheetColFPres, "250");
    EXPECT_FALSE(Marked(1, SheetColFPres));

    // A rectangle has a height: 0 is refused. A round airway's row shows height 0, and with width 2 it is
    // calculated round: area π, perimeter 2π.
    grid().SetCol(SheetColResistance);
    window->mnuUnfix_Click();
    grid().SetTextMatrix(1, SheetColKFactor, "0.012");
    grid().SetTextMatrix(1, SheetColShock, "0");
    boxes.Expect(VB::vbOK, "Size must be a number above 0");
    const std::string height = cell(1, SheetColHeight);
    Type(1, SheetColHeight, "0");
    EXPECT_EQ(cell(1, SheetColHeight), height);
    AirwayFlags(1) = (AirwayFlags(1) & ~AirwayFlag::Rectangular) | AirwayFlag::Round;
    grid().SetTextMatrix(1, SheetColHeight, "0");
    Type(1, SheetColWidth, "2");
    const double expected = 0.012 * 6.2831852 * 50 * AirDensity / (1.2 * 3.1415926 * 3.1415926 * 3.1415926);
    EXPECT_EQ(cell(1, SheetColResistance), FormatValue(static_cast<float>(expected), 5, 0, 0));
    EXPECT_TRUE(boxes.Done());

    // A moved end shows the row's new length; the airway takes it only when the sheet is saved.
    Type(1, SheetColX2, "80");
    EXPECT_EQ(cell(1, SheetColLength), "80.0");
    EXPECT_FLOAT_EQ(AirwayLength(1), 50);
}

TEST_F(SheetTest, ReadOnlyColumnsKeepTheirTextAndAreShownAsSuch) {
    const int a = Drive(1, 0);
    Drive(2, 100);
    AirwayComment(a) = "Door shut";
    Open();
    for (const int col : {SheetColNo, SheetColVel, SheetColComments}) {
        const std::string shown = cell(1, col);
        Go(1, col);
        grid().CellLeft(); // scrolls the cell into view
        QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, grid().CellRect(1, col).center());
        EXPECT_FALSE(window->TxtEdit->isVisible()) << col;
        RealKeys::Click(&grid(), Qt::Key_Delete);
        QGuiApplication::clipboard()->setText("x\tx\r\n");
        QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
        window->mnuClear_Click();
        boxes.ExpectInput(shown).ExpectInput("x").Expect(VB::vbOK, " 0 replacements made");
        window->mnuReplace_Click();
        EXPECT_EQ(cell(1, col), shown) << col;
    }
    // Painted apart from the cells beside them that take typing.
    const QImage shot = grid().viewport()->grab().toImage();
    const auto inside = [&](int col) { return shot.pixel(grid().CellRect(2, col).topLeft() + QPoint(1, 1)); };
    EXPECT_NE(inside(SheetColComments), inside(SheetColWidth));
}

TEST_F(SheetTest, APastedValueIsCommittedAsATypedOne) {
    const int a = Drive(1, 0);
    Open();
    // A single value as a text editor copies it, without a line end.
    QGuiApplication::clipboard()->setText("6.0");
    Go(1, SheetColLength);
    QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cell(1, SheetColLength), "6.0");
    EXPECT_TRUE(Marked(1, SheetColLength));
    // 4 m by 4 m, k 0.012, no shock length: the resistance of 6 m.
    EXPECT_EQ(cell(1, SheetColResistance),
              FormatValue(static_cast<float>(0.012 * 16 * 6 * AirDensity / (1.2 * 4096)), 5, 0, 0));
    // The same value with its line end adds no empty row below the last.
    QGuiApplication::clipboard()->setText("6.0\r\n");
    QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid().Rows(), 2);
    window->SaveGrid();
    CalcAllAirways(); // as the next run does
    EXPECT_FLOAT_EQ(AirwayLength(a), 6);
}

TEST_F(SheetTest, CopyAndPasteBlocksAppendRowsThatBlankAreGoneAtClose) {
    for (int i = 1; i <= 6; ++i)
        Drive(i, 100 * i);
    Open();
    Go(1, SheetColName);
    grid().SetRowSel(2);
    grid().SetColSel(SheetColFrom);
    grid().SetTextMatrix(1, SheetColName, "a");
    grid().SetTextMatrix(1, SheetColFrom, "b");
    grid().SetTextMatrix(2, SheetColName, "c");
    grid().SetTextMatrix(2, SheetColFrom, "d");
    QTest::keyClick(&grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a\tb\r\nc\td\r\n");

    // Two lines pasted on the last row: the second line takes a new row, which is no airway yet.
    QGuiApplication::clipboard()->setText("p\tq\tr\r\ns\tt\tu\r\n");
    Go(6, SheetColName);
    QTest::keyClick(&grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cell(6, SheetColTo), "r");
    EXPECT_EQ(cell(7, SheetColName), "s");
    EXPECT_EQ(grid().Rows(), 8);
    EXPECT_EQ(AirwayCount, 6);
    boxes.Expect(VB::vbNo, "Save spreadsheet changes to network ?");
    window->Form_Unload();
    EXPECT_EQ(AirwayCount, 6);
}

TEST_F(SheetTest, FindOffersPartialHitsAndReplaceCounts) {
    Drive(1, 0, "ABC");
    Drive(2, 100, "xabcx");
    Drive(3, 200, "a");
    Open();
    grid().SetCol(SheetColName);
    boxes.ExpectInput("abc");
    window->mnuFind_Click();
    EXPECT_EQ(grid().Row(), 1);
    boxes.Expect(VB::vbYes, "Could not find name - Do you mean xabcx");
    window->mnuAgain_Click();
    EXPECT_EQ(grid().Row(), 2);
    boxes.Expect(VB::vbOK, "Level name not found");
    window->mnuAgain_Click();
    EXPECT_EQ(SheetSearchRow, 1);

    grid().SetTextMatrix(1, SheetColName, "A");
    grid().SetTextMatrix(2, SheetColName, "a");
    boxes.ExpectInput("a").ExpectInput("B").Expect(VB::vbOK, "");
    window->mnuReplace_Click();
    EXPECT_EQ(boxes.Shown().back().prompt, " 3 replacements made");
    EXPECT_EQ(cell(3, SheetColName), "B");
    EXPECT_TRUE(SheetChanged);
}

TEST_F(SheetTest, SortsKeepHeadingsAndMoveMarksWithTheirRows) {
    const int beta = Drive(1, 0, "Beta");
    AirwayFlags(beta) |= AirwayFlag::FixedFlow;
    Drive(2, 100, "alpha");
    Open();
    Go(1, SheetColName);
    window->mnuAscend_Click();
    EXPECT_EQ(cell(1, SheetColName), "alpha");
    EXPECT_EQ(cell(0, SheetColName), "Name          ");
    EXPECT_TRUE(Marked(2, SheetColFlow));
    EXPECT_FALSE(Marked(1, SheetColFlow));

    grid().SetTextMatrix(1, SheetColFPres, "100");
    grid().SetTextMatrix(2, SheetColFPres, "20");
    grid().SetCol(SheetColFPres);
    window->mnuAscend_Click();
    EXPECT_EQ(cell(1, SheetColFPres), "20");

    // Three frozen columns keep No. and Name in view however far the grid scrolls.
    window->mnuFixCols_Click(3);
    grid().SetLeftCol(SheetColZ2);
    EXPECT_FALSE(grid().CellRect(1, SheetColName).isEmpty());
    EXPECT_TRUE(grid().CellRect(1, SheetColLength).isEmpty());
}

TEST_F(SheetTest, SaveKeepsTypesAndValuesTheRulesProtect) {
    const int bulkhead = Drive(1, 0);
    AirwayResistanceType(bulkhead) = 1;
    AirwayResistance(bulkhead) = 500;
    const int walled = Drive(2, 100);
    AirwayFrictionFactor(walled) = 0.0123456f;
    Open();
    const int r1 = RowOf(bulkhead), r2 = RowOf(walled);
    Go(r2, SheetColKFactor);
    window->mnuUnfix_Click();
    EXPECT_TRUE(SheetChanged) << "closing must ask";
    grid().SetTextMatrix(r2, SheetColLength, "abc");
    grid().SetTextMatrix(r2, SheetColName, "Main");
    grid().SetTextMatrix(r2, SheetColFlow, "12.5");
    grid().SetTextMatrix(r2, SheetColFan, "99"); // no such fan
    grid().SetTextMatrix(r2, SheetColX1, "20000000");
    boxes.Expect(VB::vbOK, "Error in Number Format").Expect(VB::vbOK, "Coordinates exceed allowed values");
    window->SaveGrid();
    EXPECT_EQ(AirwayFan(walled), 0);
    EXPECT_EQ(AirwayStart(1, walled), 100);
    EXPECT_EQ(AirwayResistanceType(bulkhead), 1);
    EXPECT_EQ(AirwayWallType(walled), TypedPreset);
    EXPECT_FLOAT_EQ(AirwayFrictionFactor(walled), 0.0123456f); // untouched cells keep every digit
    EXPECT_FLOAT_EQ(AirwayLength(walled), 50);
    EXPECT_EQ(AirwayName(walled).trimmed(), "Main");
    EXPECT_FLOAT_EQ(AirwayFlow(walled), 12.5f);
    EXPECT_EQ(NetworkSaved, 0);

    // A value fixed by the Fix command alone changes the airway's flags: the network has changed.
    NetworkSaved = 255;
    NetworkBalanced = true;
    Go(r1, SheetColLength);
    window->mnuFix_Click();
    window->SaveGrid();
    EXPECT_TRUE(AirwayFlags(bulkhead) & AirwayFlag::FixedLength);
    EXPECT_EQ(NetworkSaved, 0);
    EXPECT_FALSE(NetworkBalanced) << "the last run's results are out of date";

    // Select All and Clear write neither slot 0 nor the headings.
    const float scratch = AirwayLength(0);
    window->mnuSelAll_Click();
    window->mnuClear_Click();
    EXPECT_EQ(cell(0, SheetColName), "Name          ");
    EXPECT_EQ(cell(r1, 0), std::to_string(bulkhead));
    // An emptied height or width is no size: refused, once for each cell.
    for (int i = 0; i < 4; ++i)
        boxes.Expect(VB::vbOK, "Size must be a number above 0");
    window->SaveGrid();
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(AirwaySize(1, bulkhead), 4.0f);
    EXPECT_EQ(AirwayLength(0), scratch);
    EXPECT_EQ(AirwayStart(1, bulkhead), 0); // an emptied coordinate keeps its place
}

TEST_F(SheetTest, RowsFollowTheirAirwaysWhenSlotsMove) {
    const int a = Drive(1, 0, "East");
    Drive(2, 500, "West");
    SetAirwayKeys(1);
    SetAirwayKeys(2);
    Open();
    const int eastRow = RowOf(a);
    SortAirwayRecords(); // the solver's sort moves West to the first slot
    ASSERT_EQ(AirwayName(1).trimmed(), "West");
    grid().SetTextMatrix(eastRow, SheetColFrom, "Portal");
    window->SaveGrid();
    EXPECT_EQ(AirwayStartName(2).trimmed(), "Portal");
    EXPECT_EQ(AirwayStartName(1).trimmed(), "");
}

TEST_F(SheetTest, AnInsertedRowFilledInBecomesAnAirway) {
    SetAirwayKeys(Drive(7, 0));
    NextAirwayNumber = 3; // below the highest number in use
    RLWindowHigh = 1000;  // the view shows the drives' elevation
    Open();
    Go(1, SheetColName);
    window->mnuInsert2_Click();
    ASSERT_EQ(grid().Rows(), 3);
    EXPECT_TRUE(SheetChanged);
    const std::pair<int, const char *> typed[] = {
        {SheetColName, "New drive"}, {SheetColHeight, "4"}, {SheetColWidth, "4"}, {SheetColKFactor, "0.012"},
        {SheetColShock, "0"},        {SheetColX1, "0"},     {SheetColY1, "0"},    {SheetColZ1, "0"},
        {SheetColX2, "30"},          {SheetColY2, "40"},    {SheetColZ2, "0"}}; // from the origin
    // Without its start the row is no airway yet: the user is told, the row keeps what was typed.
    grid().SetTextMatrix(2, SheetColName, "New drive");
    grid().SetTextMatrix(2, SheetColX2, "30");
    boxes.Expect(VB::vbOK, "Not saved as airways");
    EXPECT_FALSE(window->SaveGrid());
    EXPECT_EQ(AirwayFlags(2), 0);
    EXPECT_EQ(cell(2, SheetColName), "New drive");
    EXPECT_TRUE(SheetChanged);
    // Nor does a run from the sheet, which would refill the grid without it.
    boxes.Expect(VB::vbOK, "Not saved as airways");
    QTest::keyClick(&grid(), Qt::Key_F5);
    ASSERT_EQ(grid().Rows(), 3);
    EXPECT_EQ(cell(2, SheetColName), "New drive");
    for (const auto &[col, text] : typed)
        grid().SetTextMatrix(2, col, text);
    EXPECT_TRUE(window->SaveGrid());
    EXPECT_EQ(VisibleAirways(2), 2); // shown at once, so a refill keeps its row
    PackAirways();
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_EQ(AirwayName(2).trimmed(), "New drive");
    EXPECT_EQ(AirwayFlags(2) & ~AirwayFlag::LayerVisible, AirwayFlag::Rectangular);
    EXPECT_EQ(AirwayNumber(2), 8);
    EXPECT_EQ(AirwayEnd(1, 2), 30);
    EXPECT_NE(AirwayStartKey(2), 0);
    EXPECT_NE(AirwayEndKey(2), 0);
    // Completed at once as a drawn airway: length and resistance, shown in its row.
    EXPECT_FLOAT_EQ(AirwayLength(2), 50);
    EXPECT_NEAR(AirwayResistance(2), 0.012 * 16 * 50 * AirDensity / (4096 * 1.2), 1e-7);
    EXPECT_EQ(cell(2, SheetColLength), "50.0");
    EXPECT_EQ(cell(2, SheetColNo), "8");
    // After a renumbering, as a merge or Renumber Airways leaves the counter, the next row takes the
    // number after the highest.
    RenumberAirways(1, true);
    Open();
    Go(2, SheetColName);
    window->mnuInsert2_Click();
    for (const auto &[col, text] : typed)
        grid().SetTextMatrix(3, col, text);
    window->SaveGrid();
    EXPECT_EQ(AirwayNumber(3), 3);
}

TEST_F(SheetTest, AnInsertThatRunsOutOfSlotsKeepsTheMarksWithTheirRows) {
    const int plain = Drive(1, 0);
    const int fixedFlow = Drive(2, 100);
    AirwayFlags(fixedFlow) |= AirwayFlag::FixedFlow;
    Open();
    MaxAirways = AirwayCount + 1; // room for one of the two rows asked for
    Go(1, SheetColName);
    grid().SetRowSel(2);
    boxes.Expect(VB::vbOK, "Network size has exceeded maximum airways");
    window->MenuItem("mnuInsert")->trigger();
    ASSERT_EQ(grid().Rows(), 4);
    window->SaveGrid();
    EXPECT_TRUE(AirwayFlags(fixedFlow) & AirwayFlag::FixedFlow);
    EXPECT_FALSE(AirwayFlags(plain) & AirwayFlag::FixedFlow);
}

TEST_F(SheetTest, ASaveWritesOnlyWhatTheSheetChanged) {
    const int flow = Drive(1, 0);
    const int door = Drive(2, 100);
    Open();
    // Meanwhile the airway dialog fixes one flow and makes the other airway a bulkhead.
    AirwayFlags(flow) |= AirwayFlag::FixedFlow;
    AirwayResistanceType(door) = 1;
    Type(RowOf(flow), SheetColName, "Renamed");
    boxes.Expect(VB::vbYes, "Save spreadsheet changes to network ?");
    window->MenuItem("mnuSaveChanges")->trigger();
    EXPECT_EQ(AirwayName(flow).trimmed(), "Renamed");
    EXPECT_TRUE(AirwayFlags(flow) & AirwayFlag::FixedFlow);
    EXPECT_EQ(AirwayResistanceType(door), 1);
}

TEST_F(SheetTest, ACommandFirstCommitsTheOpenEditIntoItsOwnRow) {
    const int ten = Drive(10, 0);
    Drive(20, 100);
    const int thirty = Drive(30, 200);
    Open();
    Go(RowOf(ten), SheetColFlow);
    RealKeys::Type(&grid(), "7");
    ASSERT_TRUE(window->TxtEdit->isVisible());
    // The sort moves the rows under the box: the edit lands in its own row first.
    window->MenuItem("mnuDescend")->trigger();
    EXPECT_FALSE(window->TxtEdit->isVisible());
    EXPECT_EQ(cell(RowOf(ten), SheetColFlow), "7");
    // Show All Data refills the grid: the edit is offered to the network first.
    boxes.Expect(VB::vbYes, "Save spreadsheet changes to network ?");
    window->MenuItem("mnuShowAll")->trigger();
    EXPECT_FALSE(window->TxtEdit->isVisible());
    EXPECT_FLOAT_EQ(AirwayFlow(ten), 7);
    EXPECT_TRUE(AirwayFlags(ten) & AirwayFlag::FixedFlow);
    EXPECT_FALSE(AirwayFlags(thirty) & AirwayFlag::FixedFlow);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(SheetTest, DeletingAskedNoLeavesTheGridAndYesRemovesTheAirway) {
    Drive(7, 0, "One");
    Drive(9, 100, "Two");
    Open();
    grid().SetTextMatrix(1, SheetColName, "Edited");
    Go(2, SheetColName);
    // The question names the airway by the number its row shows.
    boxes.Expect(VB::vbNo, "Permanently delete branch ? 9");
    window->mnuDelete_Click();
    EXPECT_EQ(grid().Rows(), 3);
    EXPECT_EQ(cell(1, SheetColName), "Edited");

    boxes.Expect(VB::vbYes, "Permanently delete branch ? 9");
    window->mnuDelete_Click();
    EXPECT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayName(1).trimmed(), "Edited");
    EXPECT_EQ(NetworkSaved, 0);
}

TEST_F(SheetTest, WhileARunIsBusyCommandsThatWriteDoNothing) {
    Drive(1, 0);
    Drive(2, 100);
    Open();
    grid().SetTextMatrix(1, SheetColName, "Changed");
    VB::BusyScope run;
    window->mnuSaveChanges_Click();
    window->mnuInsert_Click();
    QTest::keyClick(&grid(), Qt::Key_F5);
    EXPECT_EQ(AirwayName(1).trimmed(), "");
    EXPECT_EQ(grid().Rows(), 3);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(SheetTest, F5RunsAnAirflowSimulationWhateverRanLast) {
    GenerateNetwork(60, 3);
    MaxIterations = 500;
    Open();
    AnalysisMode = 2; // the bulkhead removal ran last
    QTest::keyClick(&grid(), Qt::Key_F5);
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_EQ(AnalysisMode, 0);
}

TEST_F(SheetTest, HiddenColumnsStayHiddenThroughARunAndAReopeningUntilShown) {
    GenerateNetwork(60, 3);
    MaxIterations = 500;
    Open();
    const int length = grid().ColWidth(SheetColLength);
    Go(1, SheetColLength);
    window->mnuHideC_Click();
    QTest::keyClick(&grid(), Qt::Key_F5);
    EXPECT_EQ(grid().ColWidth(SheetColLength), 0) << "after a run";
    window->Form_Unload();
    Open();
    EXPECT_EQ(grid().ColWidth(SheetColLength), 0) << "after reopening";
    window->mnuShowC_Click();
    EXPECT_EQ(grid().ColWidth(SheetColLength), length);
    // Z2, whose width the window never remembers, comes back too once hidden.
    const int z2 = grid().ColWidth(SheetColZ2);
    ASSERT_GT(z2, 0);
    Go(1, SheetColZ2);
    window->mnuHideC_Click();
    window->mnuShowC_Click();
    EXPECT_EQ(grid().ColWidth(SheetColZ2), z2);
}

TEST_F(SheetTest, PrintsEveryRowAtTheAnsweredSizeAndNothingBelowSix) {
    Drive(1, 0, "Intake");
    Drive(2, 100, "Return");
    Open();
    const std::string file = folder.path() + "sheet.pdf";
    TestPrinters printers({std::make_shared<VB::PdfPrinter>("Pdf", file)});
    boxes.ExpectInput("5");
    window->mnuPrint_Click();
    EXPECT_FALSE(std::filesystem::exists(file));
    boxes.ExpectInput("8");
    window->mnuPrint_Click();
    QProcess text;
    text.start("pdftotext", {QString::fromStdString(file), "-"});
    ASSERT_TRUE(text.waitForFinished());
    const QByteArray printed = text.readAllStandardOutput();
    for (const char *expected : {"Resistance", "Intake", "Return"})
        EXPECT_TRUE(printed.contains(expected)) << expected;
}

namespace {
// The airway dialogs as the spreadsheet opens them: the edit dialog renames its airway.
class RenamingEditor : public EditorWindows {
public:
    int edited = 0, informed = 0, mode = 0;
    void ShowAirwayEdit() override {
        edited = CurrentAirway;
        mode = AirEditMode;
        AirwayName(CurrentAirway) = "Renamed";
        AirwayFan(CurrentAirway) = 0;
    }
    void ShowAirwayInformation() override { informed = CurrentAirway; }
};
} // namespace

TEST_F(SheetTest, EditAndInfoBoxesOpenTheAirwayDialogsForTheRow) {
    Drive(1, 0, "One");
    const int two = Drive(2, 100, "Two");
    AirwayFan(two) = 3;
    Open();
    RenamingEditor editor;
    EditorWindows *previous = SetEditorWindows(&editor);
    Go(RowOf(two), SheetColName);
    window->mnuEditBox_Click();
    window->mnuInfo_Click();
    SetEditorWindows(previous);
    EXPECT_EQ(editor.edited, two);
    EXPECT_EQ(editor.mode, 1);
    EXPECT_EQ(editor.informed, two);
    EXPECT_EQ(cell(RowOf(two), SheetColName), "Renamed");
    EXPECT_EQ(cell(RowOf(two), SheetColFan), ""); // the fan the dialog removed
    EXPECT_EQ(PickedAirway, 0);
}
