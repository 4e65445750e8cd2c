#pragma once
// The program's grid control: a table of text cells with the properties, methods and events the table
// windows use. Row 0 and column 0 are cells like any other, so indices match the windows' own; the
// leading FixedRows rows and FixedCols columns are painted as headings and stay in view while the rest
// scrolls by whole rows and columns. The grid cannot be typed into: windows open a text box over the
// current cell (GridEdit.h).
//
// Cells hold model text (Windows-1252) in rows of their own, so filling, sorting and inserting tens of
// thousands of rows costs no widget per cell. Sizes and positions are in twips (15 per pixel), colours
// are VB colours (red in the low byte); a cell colour of 0 is the grid's default.
//
// Setting Row or Col from code moves the current cell as a click does: LeaveCell runs first, while the
// old cell is still current, then RowColChange and SelChange; the selection collapses to the new cell.
#include <QAbstractScrollArea>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class VBGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Sort kinds: generic (numbers as numbers, other text as text), numeric, text without regard to case.
    enum SortKind {
        SortGenericAscending = 1,
        SortGenericDescending = 2,
        SortNumericAscending = 3,
        SortNumericDescending = 4,
        SortTextAscending = 5,
        SortTextDescending = 6
    };
    // Column alignments.
    enum Alignment { AlignLeft = 1, AlignCentre = 4, AlignRight = 7 };
    static constexpr int TwipsPerPixel = 15;

    explicit VBGrid(QWidget *parent = nullptr);
    ~VBGrid() override;

    int Rows() const;
    void SetRows(int rows);
    int Cols() const;
    void SetCols(int cols);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int rows);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int cols);

    // The current cell and the far corner of the selection.
    int Row() const { return row_; }
    void SetRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);
    int RowSel() const { return rowSel_; }
    void SetRowSel(int row);
    int ColSel() const { return colSel_; }
    void SetColSel(int col);
    // The first scrolling row and column in view.
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);

    const std::string &Text() const;
    void SetText(const std::string &text);
    const std::string &TextMatrix(int row, int col) const;
    void SetTextMatrix(int row, int col, const std::string &text);
    // Back colour of the current cell.
    int32_t CellBackColor() const;
    void SetCellBackColor(int32_t colour);
    // Back colour of any cell, without moving the current cell.
    int32_t CellBackColorAt(int row, int col) const;
    void SetCellBackColorAt(int row, int col, int32_t colour);
    // A number the window keeps with each row; it moves with the row when rows are sorted or inserted.
    int64_t RowData(int row) const;
    void SetRowData(int row, int64_t data);
    // Whether a cell's text was written since the row's marks were last cleared, so a window can tell the
    // cells that changed since it filled them (columns from 63 on share one mark).
    bool CellModified(int row, int col) const;
    bool RowModified(int row) const;
    void ClearModified(int row);

    // Width in twips; 0 hides the column (its cells keep their text).
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void SetColAlignment(int col, int alignment);
    // A read-only column is painted as such; the window keeps the user from changing its cells.
    bool ColReadOnly(int col) const;
    void SetColReadOnly(int col, bool readOnly);
    // The width in twips that shows the column's heading and every value in it whole.
    int FitColWidth(int col) const;
    int RowHeight() const;
    // "|<No. |>Flow": one heading per "|"-separated part, "<" left, "^" centre, ">" right; sets Cols, the
    // headings of row 0, the alignments and widths that fit the heading texts.
    void SetFormatString(const std::string &format);

    // Sorts the selected rows (all rows below the fixed ones when one row is selected), keyed on the
    // selected columns from left to right.
    void SetSort(int kind);
    // Sorts rows firstRow .. lastRow keyed on columns firstCol .. lastCol; cell colours move with their
    // rows and equal keys keep their order.
    void SortRows(int kind, int firstRow, int lastRow, int firstCol, int lastCol);

    // The current cell's rectangle in twips, relative to the grid's top-left corner; reading one scrolls
    // the cell into view.
    int CellLeft();
    int CellTop();
    int CellWidth();
    int CellHeight();

    // Inserts a row before `index` (at the end when -1) holding the TAB-separated texts of `item`.
    void AddItem(const std::string &item, int index = -1);
    void RemoveItem(int index);
    // Empties every cell's text and colour and every row's data; rows and columns stay.
    void Clear();

    // Redraw off: many changes are made without repainting; on: shown at once.
    void SetRedraw(bool on);
    bool Redraw() const { return redraw_; }

    // Takes the focus; GotFocus runs at once when the grid did not have it, whether or not the window is
    // active.
    void SetFocus();

    // The cell under a point of the viewport (pixels); false outside the cells.
    bool CellAt(const QPoint &viewportPoint, int &row, int &col) const;
    // The rectangle of a cell in viewport pixels (empty when it is out of view or hidden).
    QRect CellRect(int row, int col) const;

signals:
    void GotFocus();
    void KeyDown(int &keyCode, int shift);
    void KeyPress(int &keyAscii);
    void DblClick();
    void SelChange();
    void RowColChange();
    void LeaveCell();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    struct GridRow {
        std::vector<std::string> text;
        std::vector<int32_t> back;
        int64_t data = 0;
        uint64_t modified = 0; // one bit per column
    };
    std::vector<GridRow> rows_;
    int cols_ = 2;
    std::vector<int> widths_; // twips
    std::vector<int> alignments_;
    std::vector<bool> readOnly_;
    int fixedRows_ = 1, fixedCols_ = 1;
    int row_ = 1, col_ = 1, rowSel_ = 1, colSel_ = 1;
    int topRow_ = 1, leftCol_ = 1;
    bool redraw_ = true;
    bool focusFromCode_ = false;
    bool hasFocus_ = false;
    bool syncingScroll_ = false;
    // Mouse state: selecting by drag, or resizing column resizeCol_.
    bool dragging_ = false;
    int resizeCol_ = -1;
    int resizeStartX_ = 0, resizeStartWidth_ = 0;

    GridRow emptyRow() const;
    int widthPx(int col) const;
    int rowHeightPx() const;
    int defaultWidth() const;
    // Moves the current cell to row and col (-1 keeps what a LeaveCell handler left) and collapses the
    // selection onto it.
    void moveCurrent(int row, int col);
    void setSelection(int rowSel, int colSel);
    void clampPosition();
    void updateScrollBars();
    // Scrolls the least needed to show a cell of the scrolling area.
    void showCell(int row, int col);
    int lastFullRow() const;
    int lastFullCol() const;
    // Column whose right border lies under x in a heading row, or -1.
    int borderAt(int x) const;
    void refresh();
};
