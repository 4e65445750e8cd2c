#include "common/RealKeys.h"
#include "platform/GridEdit.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A window with a grid and its edit box, wired by the table windows' handler pattern.
struct EditedGrid {
    QWidget window;
    VBGrid *grid = new VBGrid(&window);
    VBTextBox *box = new VBTextBox(&window);
    int cancels = 0;

    EditedGrid(int rows, int cols) {
        window.resize(600, 400);
        grid->setGeometry(0, 0, 600, 400);
        grid->SetRows(rows);
        grid->SetCols(cols);
        box->hide();
        QObject::connect(grid, &VBGrid::KeyPress, [this](int &key) {
            if (key == 27 && !box->isVisible())
                ++cancels;
            GridEditShow(*grid, *box, key);
        });
        QObject::connect(box, &VBTextBox::KeyDown,
                         [this](int &code, int shift) { GridEditKey(*grid, *box, code, shift); });
        QObject::connect(box, &VBTextBox::KeyPress, [](int &key) {
            if (key == 13)
                key = 0;
        });
        QObject::connect(grid, &VBGrid::LeaveCell, [this] { GridCommit(*grid, *box); });
        QObject::connect(grid, &VBGrid::GotFocus, [this] { GridCommit(*grid, *box); });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        grid->SetFocus();
    }
};

std::vector<std::string> column(const VBGrid &g, int col) {
    std::vector<std::string> out;
    for (int r = 1; r < g.Rows(); ++r)
        out.push_back(g.TextMatrix(r, col));
    return out;
}

} // namespace

TEST(GridControl, SortKindsOrderTheRowsBelowTheHeadingsAndColoursMoveWithThem) {
    struct Case {
        int kind;
        std::vector<std::string> expected;
    };
    const std::vector<std::string> cells = {"Beta", "10", "alpha", "9", "Negate"};
    const std::vector<Case> cases = {
        {VBGrid::SortTextAscending, {"10", "9", "alpha", "Beta", "Negate"}},
        {VBGrid::SortTextDescending, {"Negate", "Beta", "alpha", "9", "10"}},
        {VBGrid::SortGenericAscending, {"9", "10", "Beta", "Negate", "alpha"}},
        {VBGrid::SortNumericDescending, {"10", "9", "Beta", "alpha", "Negate"}},
    };
    for (const Case &c : cases) {
        VBGrid g;
        g.SetRows(6);
        g.SetCols(2);
        g.SetTextMatrix(0, 1, "Heading");
        for (int r = 1; r <= 5; ++r)
            g.SetTextMatrix(r, 1, cells[static_cast<size_t>(r - 1)]);
        g.SetRow(3); // "alpha" marked red
        g.SetCellBackColor(255);
        g.SetRow(0); // one row selected: every row below the headings sorts
        g.SetSort(c.kind);
        EXPECT_EQ(column(g, 1), c.expected) << "kind " << c.kind;
        EXPECT_EQ(g.TextMatrix(0, 1), "Heading");
        for (int r = 1; r <= 5; ++r) {
            g.SetRow(r);
            EXPECT_EQ(g.CellBackColor() == 255, g.Text() == "alpha") << "kind " << c.kind << " row " << r;
        }
    }
}

TEST(GridControl, MovingTheCurrentCellRaisesLeaveCellWhileTheOldCellIsCurrent) {
    VBGrid g;
    g.SetRows(5);
    g.SetCols(4);
    g.SetRow(1);
    g.SetCol(1);
    g.SetRowSel(3);
    g.SetColSel(3);
    std::vector<std::pair<int, int>> left;
    QObject::connect(&g, &VBGrid::LeaveCell, [&] { left.emplace_back(g.Row(), g.Col()); });
    QSignalSpy moves(&g, &VBGrid::RowColChange);
    g.SetRow(2);
    g.SetRow(2); // no move, no event
    g.SetCol(3);
    EXPECT_EQ(left, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}}));
    EXPECT_EQ(moves.count(), 2);
    // The selection collapses onto the new current cell.
    EXPECT_EQ(g.RowSel(), 2);
    EXPECT_EQ(g.ColSel(), 3);
}

TEST(GridControl, FormatStringAddItemRemoveItemAndClear) {
    VBGrid g;
    g.SetRows(1);
    g.SetFormatString("|<Name   |>Flow");
    ASSERT_EQ(g.Cols(), 3);
    EXPECT_EQ(g.TextMatrix(0, 1), "Name   ");
    EXPECT_EQ(g.ColAlignment(1), VBGrid::AlignLeft);
    EXPECT_EQ(g.ColAlignment(2), VBGrid::AlignRight);
    EXPECT_GT(g.ColWidth(1), g.ColWidth(2)); // the blanks widen the column
    g.AddItem("7\tMain\t12.5");
    g.AddItem("3\tDrive", 1);
    EXPECT_EQ(g.Rows(), 3);
    EXPECT_EQ(column(g, 1), (std::vector<std::string>{"Drive", "Main"}));
    EXPECT_EQ(g.TextMatrix(2, 2), "12.5");
    g.RemoveItem(1);
    EXPECT_EQ(column(g, 1), (std::vector<std::string>{"Main"}));
    g.SetRow(1);
    g.SetCellBackColor(255);
    g.Clear();
    EXPECT_EQ(g.TextMatrix(0, 1), "");
    EXPECT_EQ(g.TextMatrix(1, 2), "");
    EXPECT_EQ(g.CellBackColor(), 0);
}

TEST(GridControl, AHiddenColumnTakesNoRoomAndKeepsItsText) {
    VBGrid g;
    g.resize(400, 200);
    g.SetRows(3);
    g.SetCols(3);
    g.SetFixedCols(0);
    g.SetColWidth(0, 0);
    g.SetColWidth(1, 900);
    g.SetTextMatrix(1, 0, "17");
    int row = -1, col = -1;
    ASSERT_TRUE(g.CellAt(QPoint(5, g.RowHeight() / VBGrid::TwipsPerPixel + 2), row, col));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(g.TextMatrix(1, 0), "17");
}

TEST(GridControl, KeysReachTheHandlersAsCharacterCodes) {
    VBGrid g;
    g.show();
    std::vector<int> typed;
    std::vector<int> downs;
    QObject::connect(&g, &VBGrid::KeyPress, [&](int &key) { typed.push_back(key); });
    QObject::connect(&g, &VBGrid::KeyDown, [&](int &code, int) { downs.push_back(code); });
    RealKeys::Click(&g, Qt::Key_C, Qt::ControlModifier);
    RealKeys::Click(&g, Qt::Key_V, Qt::ControlModifier);
    // Delete types no character: it reaches KeyDown only, though a real keyboard sends it with "\x7f".
    RealKeys::Click(&g, Qt::Key_Delete);
    RealKeys::Click(&g, Qt::Key_F5);
    RealKeys::Click(&g, Qt::Key_Tab);
    EXPECT_EQ(typed, (std::vector<int>{3, 22, 9}));
    EXPECT_EQ(downs, (std::vector<int>{67, 86, 46, 116, 9}));
}

TEST(GridCellEditing, TypingOpensTheBoxAndTheMoveKeysCommit) {
    EditedGrid e(4, 3);
    e.grid->SetTextMatrix(1, 1, "120");
    e.grid->SetRow(1);
    e.grid->SetCol(1);

    // A printable key replaces the text; Enter stores it and moves one row down.
    QTest::keyClick(e.grid, Qt::Key_7);
    ASSERT_TRUE(e.box->isVisible());
    EXPECT_EQ(e.box->Text(), "7");
    EXPECT_EQ(e.box->SelStart(), 1);
    RealKeys::Click(e.box, Qt::Key_Return);
    EXPECT_EQ(e.grid->TextMatrix(1, 1), "7");
    EXPECT_EQ(e.grid->Row(), 2);
    EXPECT_FALSE(e.box->isVisible());

    // Backspace opens the old text with the caret at its end; Esc drops the edit.
    e.grid->SetRow(1);
    RealKeys::Click(e.grid, Qt::Key_Backspace);
    EXPECT_EQ(e.box->Text(), "7");
    EXPECT_EQ(e.box->SelStart(), 1);
    QTest::keyClicks(e.box, "5");
    RealKeys::Click(e.box, Qt::Key_Escape);
    EXPECT_FALSE(e.box->isVisible());
    EXPECT_EQ(e.grid->TextMatrix(1, 1), "7");
    EXPECT_EQ(e.cancels, 0);

    // Tab in the last column stores and stays; Up on row 1 stores through the grid's focus.
    e.grid->SetCol(2);
    QTest::keyClick(e.grid, Qt::Key_X);
    RealKeys::Click(e.box, Qt::Key_Tab);
    EXPECT_EQ(e.grid->TextMatrix(1, 2), "x");
    EXPECT_EQ(e.grid->Col(), 2);
    QTest::keyClick(e.grid, Qt::Key_Y);
    QTest::keyClick(e.box, Qt::Key_Up);
    EXPECT_EQ(e.grid->TextMatrix(1, 2), "y");
    EXPECT_EQ(e.grid->Row(), 1);

    // Enter and Tab in the grid move without opening the box; Esc there is the window's cancel.
    RealKeys::Click(e.grid, Qt::Key_Return);
    EXPECT_EQ(e.grid->Row(), 2);
    RealKeys::Click(e.grid, Qt::Key_Escape);
    EXPECT_EQ(e.cancels, 1);
    EXPECT_FALSE(e.box->isVisible());
}

TEST(GridClipboard, CopyGivesTabbedRowsAndPasteRepeatsDownTheSelection) {
    VBGrid g;
    g.SetRows(6);
    g.SetCols(4);
    g.SetTextMatrix(1, 1, "a");
    g.SetTextMatrix(1, 2, "b");
    g.SetTextMatrix(2, 1, "c");
    g.SetTextMatrix(2, 2, "d");
    g.SetRow(1);
    g.SetCol(1);
    g.SetRowSel(2);
    g.SetColSel(2);
    EXPECT_EQ(GridCopyText(g), "a\tb\r\nc\td\r\n");
    g.SetColSel(0);
    EXPECT_EQ(GridCopyText(g), "");

    // A block repeats down the four selected rows; a piece after the last CR is pasted too.
    g.SetCol(3);
    g.SetRowSel(4);
    GridPaste(g, "100\r\n7", {});
    EXPECT_EQ(column(g, 3), (std::vector<std::string>{"100", "7", "100", "7", ""}));

    // Fields beyond the last column are dropped and the next line still lands; text without CR ends.
    g.SetRow(1);
    g.SetCol(2);
    GridPaste(g, "p\tq\tr\r\ns\r\n", {});
    EXPECT_EQ(g.TextMatrix(1, 3), "q");
    EXPECT_EQ(g.TextMatrix(2, 2), "s");
    g.SetRowSel(5);
    GridPaste(g, "z\t", {});
    EXPECT_EQ(g.TextMatrix(1, 2), "z");

    // A value copied without a line end is pasted; a line end below the last row adds no empty row,
    // a value there adds the one row it needs.
    int added = 0;
    GridPasteRules rules;
    rules.addRow = [&] {
        g.SetRows(g.Rows() + 1);
        ++added;
        return true;
    };
    g.SetRow(5);
    g.SetCol(1);
    GridPaste(g, "6.0", rules);
    EXPECT_EQ(g.TextMatrix(5, 1), "6.0");
    GridPaste(g, "6.5\r\n\r\n", rules);
    EXPECT_EQ(g.TextMatrix(5, 1), "6.5");
    EXPECT_EQ(added, 0);
    GridPaste(g, "1\r\n2\r\n", rules);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(g.TextMatrix(6, 1), "2");
}
