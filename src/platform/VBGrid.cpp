#include "platform/VBGrid.h"

#include "platform/MouseInput.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace {

const std::string EmptyText;

uint64_t modifiedBit(int col) {
    return uint64_t{1} << std::min(col, 63);
}

QColor vbColour(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// How a cell sorts: numbers as numbers where the kind asks for it, else upper-case text.
struct SortKey {
    bool isNumber = false;
    double number = 0;
    std::string text;
};

SortKey keyOf(const std::string &text, int kind) {
    SortKey k;
    switch (kind) {
    case VBGrid::SortNumericAscending:
    case VBGrid::SortNumericDescending:
        k.isNumber = true;
        k.number = VB::Val(text);
        break;
    case VBGrid::SortGenericAscending:
    case VBGrid::SortGenericDescending:
        if (const auto n = VB::StrictNumber(text)) {
            k.isNumber = true;
            k.number = *n;
        } else {
            k.text = text;
        }
        break;
    default:
        k.text = UCase1252(text);
        break;
    }
    return k;
}

// Numbers before text; numbers by value, text by bytes.
int compareKeys(const SortKey &a, const SortKey &b) {
    if (a.isNumber != b.isNumber)
        return a.isNumber ? -1 : 1;
    if (a.isNumber)
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    return a.text.compare(b.text) < 0 ? -1 : (a.text == b.text ? 0 : 1);
}

} // namespace

VBGrid::VBGrid(QWidget *parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    widths_.assign(static_cast<size_t>(cols_), -1);
    alignments_.assign(static_cast<size_t>(cols_), AlignLeft);
    readOnly_.assign(static_cast<size_t>(cols_), false);
    rows_.assign(2, emptyRow());
    horizontalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBars();
}

VBGrid::~VBGrid() = default;

VBGrid::GridRow VBGrid::emptyRow() const {
    GridRow r;
    r.text.resize(static_cast<size_t>(cols_));
    r.back.assign(static_cast<size_t>(cols_), 0);
    return r;
}

int VBGrid::Rows() const {
    return static_cast<int>(rows_.size());
}

void VBGrid::SetRows(int rows) {
    rows = std::max(rows, 0);
    const size_t n = static_cast<size_t>(rows);
    if (n < rows_.size())
        rows_.resize(n);
    else
        rows_.resize(n, emptyRow());
    clampPosition();
    refresh();
}

int VBGrid::Cols() const {
    return cols_;
}

void VBGrid::SetCols(int cols) {
    cols = std::max(cols, 0);
    const size_t n = static_cast<size_t>(cols);
    for (auto &r : rows_) {
        r.text.resize(n);
        r.back.resize(n, 0);
    }
    widths_.resize(n, -1);
    alignments_.resize(n, AlignLeft);
    readOnly_.resize(n, false);
    cols_ = cols;
    clampPosition();
    refresh();
}

void VBGrid::SetFixedRows(int rows) {
    fixedRows_ = std::clamp(rows, 0, std::max(Rows() - 1, 0));
    clampPosition();
    refresh();
}

void VBGrid::SetFixedCols(int cols) {
    fixedCols_ = std::clamp(cols, 0, std::max(cols_ - 1, 0));
    clampPosition();
    refresh();
}

void VBGrid::clampPosition() {
    const int lastRow = std::max(Rows() - 1, 0), lastCol = std::max(cols_ - 1, 0);
    row_ = std::clamp(row_, 0, lastRow);
    rowSel_ = std::clamp(rowSel_, 0, lastRow);
    col_ = std::clamp(col_, 0, lastCol);
    colSel_ = std::clamp(colSel_, 0, lastCol);
    fixedRows_ = std::min(fixedRows_, lastRow);
    fixedCols_ = std::min(fixedCols_, lastCol);
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(lastFullRow(), fixedRows_));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(lastFullCol(), fixedCols_));
}

// ---- Current cell and selection ----

void VBGrid::moveCurrent(int row, int col) {
    if (row >= Rows() || col >= cols_ || (row < 0 && col < 0))
        return;
    const bool moves = (row >= 0 && row != row_) || (col >= 0 && col != col_);
    if (moves)
        emit LeaveCell();
    // A LeaveCell handler may have moved the current cell or changed the grid.
    if (row >= 0 && row < Rows())
        row_ = row;
    if (col >= 0 && col < cols_)
        col_ = col;
    if (moves)
        emit RowColChange();
    setSelection(row_, col_);
}

void VBGrid::setSelection(int rowSel, int colSel) {
    rowSel_ = std::clamp(rowSel, 0, std::max(Rows() - 1, 0));
    colSel_ = std::clamp(colSel, 0, std::max(cols_ - 1, 0));
    if (redraw_)
        viewport()->update();
    emit SelChange();
}

void VBGrid::SetRow(int row) {
    if (row >= 0)
        moveCurrent(row, -1);
}

void VBGrid::SetCol(int col) {
    if (col >= 0)
        moveCurrent(-1, col);
}

void VBGrid::SetRowSel(int row) {
    if (row >= 0 && row < Rows())
        setSelection(row, colSel_);
}

void VBGrid::SetColSel(int col) {
    if (col >= 0 && col < cols_)
        setSelection(rowSel_, col);
}

void VBGrid::SetTopRow(int row) {
    topRow_ = std::clamp(row, fixedRows_, std::max(lastFullRow(), fixedRows_));
    updateScrollBars();
    if (redraw_)
        viewport()->update();
}

void VBGrid::SetLeftCol(int col) {
    leftCol_ = std::clamp(col, fixedCols_, std::max(lastFullCol(), fixedCols_));
    updateScrollBars();
    if (redraw_)
        viewport()->update();
}

// ---- Cells ----

const std::string &VBGrid::Text() const {
    return TextMatrix(row_, col_);
}

void VBGrid::SetText(const std::string &text) {
    SetTextMatrix(row_, col_, text);
}

const std::string &VBGrid::TextMatrix(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        return EmptyText;
    return rows_[static_cast<size_t>(row)].text[static_cast<size_t>(col)];
}

void VBGrid::SetTextMatrix(int row, int col, const std::string &text) {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        return;
    GridRow &r = rows_[static_cast<size_t>(row)];
    r.text[static_cast<size_t>(col)] = text;
    r.modified |= modifiedBit(col);
    if (redraw_ && viewport()->isVisible())
        viewport()->update(CellRect(row, col));
}

int32_t VBGrid::CellBackColor() const {
    if (row_ >= Rows() || col_ >= cols_)
        return 0;
    return rows_[static_cast<size_t>(row_)].back[static_cast<size_t>(col_)];
}

void VBGrid::SetCellBackColor(int32_t colour) {
    if (row_ >= Rows() || col_ >= cols_)
        return;
    rows_[static_cast<size_t>(row_)].back[static_cast<size_t>(col_)] = colour;
    if (redraw_ && viewport()->isVisible())
        viewport()->update(CellRect(row_, col_));
}

int32_t VBGrid::CellBackColorAt(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        return 0;
    return rows_[static_cast<size_t>(row)].back[static_cast<size_t>(col)];
}

void VBGrid::SetCellBackColorAt(int row, int col, int32_t colour) {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        return;
    rows_[static_cast<size_t>(row)].back[static_cast<size_t>(col)] = colour;
    if (redraw_ && viewport()->isVisible())
        viewport()->update(CellRect(row, col));
}

int64_t VBGrid::RowData(int row) const {
    return row >= 0 && row < Rows() ? rows_[static_cast<size_t>(row)].data : 0;
}

bool VBGrid::CellModified(int row, int col) const {
    return row >= 0 && row < Rows() && (rows_[static_cast<size_t>(row)].modified & modifiedBit(col)) != 0;
}

bool VBGrid::RowModified(int row) const {
    return row >= 0 && row < Rows() && rows_[static_cast<size_t>(row)].modified != 0;
}

void VBGrid::ClearModified(int row) {
    if (row >= 0 && row < Rows())
        rows_[static_cast<size_t>(row)].modified = 0;
}

void VBGrid::SetRowData(int row, int64_t data) {
    if (row >= 0 && row < Rows())
        rows_[static_cast<size_t>(row)].data = data;
}

// ---- Columns ----

int VBGrid::defaultWidth() const {
    return 64 * TwipsPerPixel;
}

int VBGrid::ColWidth(int col) const {
    if (col < 0 || col >= cols_)
        return 0;
    const int w = widths_[static_cast<size_t>(col)];
    return w < 0 ? defaultWidth() : w;
}

void VBGrid::SetColWidth(int col, int twips) {
    if (col < 0 || col >= cols_)
        return;
    widths_[static_cast<size_t>(col)] = std::max(twips, 0);
    refresh();
}

int VBGrid::widthPx(int col) const {
    return (ColWidth(col) + TwipsPerPixel / 2) / TwipsPerPixel;
}

int VBGrid::ColAlignment(int col) const {
    return col >= 0 && col < cols_ ? alignments_[static_cast<size_t>(col)] : AlignLeft;
}

void VBGrid::SetColAlignment(int col, int alignment) {
    if (col >= 0 && col < cols_)
        alignments_[static_cast<size_t>(col)] = alignment;
    refresh();
}

bool VBGrid::ColReadOnly(int col) const {
    return col >= 0 && col < cols_ && readOnly_[static_cast<size_t>(col)];
}

void VBGrid::SetColReadOnly(int col, bool readOnly) {
    if (col >= 0 && col < cols_)
        readOnly_[static_cast<size_t>(col)] = readOnly;
    refresh();
}

int VBGrid::FitColWidth(int col) const {
    if (col < 0 || col >= cols_)
        return 0;
    // Texts are summed from the advances of their characters, so that tens of thousands of rows cost no
    // text layout each; the widest one is then measured as a whole.
    const QFontMetricsF metrics(font());
    std::array<double, 256> advance{};
    for (int b = 0; b < 256; ++b)
        advance[static_cast<size_t>(b)] =
            metrics.horizontalAdvance(ToQt(std::string(1, static_cast<char>(b))));
    double widest = 0;
    const std::string *widestText = nullptr;
    for (const GridRow &r : rows_) {
        const std::string &text = r.text[static_cast<size_t>(col)];
        double w = 0;
        for (const char ch : text)
            w += advance[static_cast<unsigned char>(ch)];
        if (w > widest) {
            widest = w;
            widestText = &text;
        }
    }
    if (widestText != nullptr)
        widest = std::max(widest, metrics.horizontalAdvance(ToQt(*widestText)));
    // The painted text keeps 3 pixels from each border.
    return (static_cast<int>(std::ceil(widest)) + 8) * TwipsPerPixel;
}

int VBGrid::rowHeightPx() const {
    return fontMetrics().height() + 4;
}

int VBGrid::RowHeight() const {
    return rowHeightPx() * TwipsPerPixel;
}

void VBGrid::SetFormatString(const std::string &format) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t bar = format.find('|', start);
        parts.push_back(format.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    SetCols(static_cast<int>(parts.size()));
    if (Rows() == 0)
        SetRows(1);
    const QFontMetrics metrics = fontMetrics();
    for (size_t c = 0; c < parts.size(); ++c) {
        std::string text = parts[c];
        int alignment = AlignLeft;
        if (!text.empty() && (text[0] == '<' || text[0] == '^' || text[0] == '>')) {
            alignment = text[0] == '<' ? AlignLeft : (text[0] == '^' ? AlignCentre : AlignRight);
            text.erase(0, 1);
        }
        alignments_[c] = alignment;
        // The heading's own width, blanks included, with a margin on each side.
        widths_[c] = (metrics.horizontalAdvance(ToQt(text)) + 8) * TwipsPerPixel;
        rows_[0].text[c] = text;
    }
    refresh();
}

// ---- Sorting ----

void VBGrid::SetSort(int kind) {
    int first = std::min(row_, rowSel_), last = std::max(row_, rowSel_);
    if (first == last) {
        first = fixedRows_;
        last = Rows() - 1;
    }
    SortRows(kind, first, last, std::min(col_, colSel_), std::max(col_, colSel_));
}

void VBGrid::SortRows(int kind, int firstRow, int lastRow, int firstCol, int lastCol) {
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, Rows() - 1);
    firstCol = std::max(firstCol, 0);
    lastCol = std::min(lastCol, cols_ - 1);
    if (firstRow >= lastRow || firstCol > lastCol || kind < SortGenericAscending || kind > SortTextDescending)
        return;
    const bool descending = kind % 2 == 0;
    const size_t n = static_cast<size_t>(lastRow - firstRow + 1);
    const size_t keyCount = static_cast<size_t>(lastCol - firstCol + 1);
    // Keys are made once per cell, not once per comparison.
    std::vector<SortKey> keys(n * keyCount);
    for (size_t i = 0; i < n; ++i)
        for (size_t k = 0; k < keyCount; ++k)
            keys[i * keyCount + k] =
                keyOf(rows_[static_cast<size_t>(firstRow) + i].text[static_cast<size_t>(firstCol) + k], kind);
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k < keyCount; ++k) {
            const int c = compareKeys(keys[a * keyCount + k], keys[b * keyCount + k]);
            if (c != 0)
                return descending ? c > 0 : c < 0;
        }
        return false;
    });
    std::vector<GridRow> sorted;
    sorted.reserve(n);
    for (size_t i : order)
        sorted.push_back(std::move(rows_[static_cast<size_t>(firstRow) + i]));
    std::move(sorted.begin(), sorted.end(), rows_.begin() + firstRow);
    refresh();
}

// ---- Rows ----

void VBGrid::AddItem(const std::string &item, int index) {
    if (index < 0 || index > Rows())
        index = Rows();
    GridRow r = emptyRow();
    size_t start = 0;
    for (size_t c = 0; c < static_cast<size_t>(cols_); ++c) {
        const size_t tab = item.find('\t', start);
        r.text[c] = item.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
        if (tab == std::string::npos)
            break;
        start = tab + 1;
    }
    rows_.insert(rows_.begin() + index, std::move(r));
    clampPosition();
    refresh();
}

void VBGrid::RemoveItem(int index) {
    if (index < 0 || index >= Rows())
        return;
    rows_.erase(rows_.begin() + index);
    clampPosition();
    refresh();
}

void VBGrid::Clear() {
    for (auto &r : rows_) {
        std::fill(r.text.begin(), r.text.end(), std::string());
        std::fill(r.back.begin(), r.back.end(), 0);
        r.data = 0;
        r.modified = ~uint64_t{0};
    }
    refresh();
}

void VBGrid::SetRedraw(bool on) {
    redraw_ = on;
    if (on)
        refresh();
}

void VBGrid::refresh() {
    if (!redraw_)
        return;
    updateScrollBars();
    viewport()->update();
}

// ---- Geometry ----

int VBGrid::CellLeft() {
    showCell(row_, col_);
    return (CellRect(row_, col_).left() + viewport()->x()) * TwipsPerPixel;
}

int VBGrid::CellTop() {
    showCell(row_, col_);
    return (CellRect(row_, col_).top() + viewport()->y()) * TwipsPerPixel;
}

int VBGrid::CellWidth() {
    showCell(row_, col_);
    return widthPx(col_) * TwipsPerPixel;
}

int VBGrid::CellHeight() {
    showCell(row_, col_);
    return rowHeightPx() * TwipsPerPixel;
}

QRect VBGrid::CellRect(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_)
        return {};
    const int h = rowHeightPx();
    int y;
    if (row < fixedRows_)
        y = row * h;
    else if (row >= topRow_)
        y = (fixedRows_ + row - topRow_) * h;
    else
        return {};
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c)
            x += widthPx(c);
    } else if (col >= leftCol_) {
        for (int c = 0; c < fixedCols_; ++c)
            x += widthPx(c);
        for (int c = leftCol_; c < col; ++c)
            x += widthPx(c);
    } else {
        return {};
    }
    return QRect(x, y, widthPx(col), h);
}

bool VBGrid::CellAt(const QPoint &p, int &row, int &col) const {
    if (p.x() < 0 || p.y() < 0)
        return false;
    const int h = rowHeightPx();
    const int line = p.y() / h;
    row = line < fixedRows_ ? line : topRow_ + line - fixedRows_;
    if (row >= Rows())
        return false;
    int x = 0;
    for (int c = 0; c < cols_; ++c) {
        if (c >= fixedCols_ && c < leftCol_)
            continue;
        x += widthPx(c);
        if (p.x() < x) {
            col = c;
            return true;
        }
    }
    return false;
}

int VBGrid::lastFullRow() const {
    // The top row that shows the last row at the bottom of the view.
    const int h = rowHeightPx();
    const int shown = std::max((viewport()->height() / h) - fixedRows_, 1);
    return std::max(Rows() - shown, fixedRows_);
}

int VBGrid::lastFullCol() const {
    int fixedWidth = 0;
    for (int c = 0; c < fixedCols_; ++c)
        fixedWidth += widthPx(c);
    const int room = viewport()->width() - fixedWidth;
    int used = 0, col = cols_;
    while (col > fixedCols_ && used + widthPx(col - 1) <= room) {
        used += widthPx(col - 1);
        --col;
    }
    return std::max(std::min(col, cols_ - 1), fixedCols_);
}

void VBGrid::updateScrollBars() {
    syncingScroll_ = true;
    verticalScrollBar()->setRange(fixedRows_, std::max(lastFullRow(), fixedRows_));
    verticalScrollBar()->setPageStep(std::max(viewport()->height() / rowHeightPx() - fixedRows_, 1));
    verticalScrollBar()->setValue(topRow_);
    horizontalScrollBar()->setRange(fixedCols_, std::max(lastFullCol(), fixedCols_));
    horizontalScrollBar()->setPageStep(1);
    horizontalScrollBar()->setValue(leftCol_);
    syncingScroll_ = false;
}

void VBGrid::scrollContentsBy(int, int) {
    if (syncingScroll_)
        return;
    topRow_ = verticalScrollBar()->value();
    leftCol_ = horizontalScrollBar()->value();
    viewport()->update();
}

void VBGrid::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    clampPosition();
    updateScrollBars();
}

void VBGrid::showCell(int row, int col) {
    if (row >= fixedRows_) {
        const int shown = std::max(viewport()->height() / rowHeightPx() - fixedRows_, 1);
        if (row < topRow_)
            topRow_ = row;
        else if (row >= topRow_ + shown)
            topRow_ = row - shown + 1;
    }
    if (col >= fixedCols_) {
        if (col < leftCol_) {
            leftCol_ = col;
        } else {
            int fixedWidth = 0;
            for (int c = 0; c < fixedCols_; ++c)
                fixedWidth += widthPx(c);
            const int room = viewport()->width() - fixedWidth;
            auto span = [&] {
                int w = 0;
                for (int c = leftCol_; c <= col; ++c)
                    w += widthPx(c);
                return w;
            };
            while (leftCol_ < col && span() > room)
                ++leftCol_;
        }
    }
    clampPosition();
    updateScrollBars();
    viewport()->update();
}

// ---- Painting ----

void VBGrid::paintEvent(QPaintEvent *) {
    QPainter p(viewport());
    const QPalette pal = palette();
    p.fillRect(viewport()->rect(), pal.color(QPalette::Window).darker(105));
    const int h = rowHeightPx();
    const int top = std::min(row_, rowSel_), bottom = std::max(row_, rowSel_);
    const int left = std::min(col_, colSel_), right = std::max(col_, colSel_);
    const bool range = top != bottom || left != right;
    const int lines = viewport()->height() / h + 1;
    for (int line = 0; line < lines; ++line) {
        const int r = line < fixedRows_ ? line : topRow_ + line - fixedRows_;
        if (r >= Rows())
            break;
        int x = 0;
        for (int c = 0; c < cols_ && x < viewport()->width(); ++c) {
            if (c >= fixedCols_ && c < leftCol_)
                continue;
            const int w = widthPx(c);
            if (w == 0)
                continue;
            const QRect cell(x, line * h, w, h);
            x += w;
            const bool fixed = r < fixedRows_ || c < fixedCols_;
            const bool selected = !fixed && range && r >= top && r <= bottom && c >= left && c <= right &&
                                  !(r == row_ && c == col_);
            const int32_t back = rows_[static_cast<size_t>(r)].back[static_cast<size_t>(c)];
            const bool readOnly = !fixed && readOnly_[static_cast<size_t>(c)];
            QColor fill = fixed ? pal.color(QPalette::Button)
                                : (readOnly ? pal.color(QPalette::Window) : pal.color(QPalette::Base));
            if (back != 0)
                fill = vbColour(back);
            if (selected)
                fill = pal.color(QPalette::Highlight);
            p.fillRect(cell, fill);
            p.setPen(fixed ? pal.color(QPalette::Dark) : pal.color(QPalette::Midlight).darker(115));
            p.drawLine(cell.topRight(), cell.bottomRight());
            p.drawLine(cell.bottomLeft(), cell.bottomRight());
            const std::string &text = rows_[static_cast<size_t>(r)].text[static_cast<size_t>(c)];
            if (!text.empty()) {
                p.setPen(selected   ? pal.color(QPalette::HighlightedText)
                         : readOnly ? pal.color(QPalette::Disabled, QPalette::Text)
                                    : pal.color(QPalette::Text));
                const int a = alignments_[static_cast<size_t>(c)];
                const Qt::Alignment align =
                    (a == AlignRight ? Qt::AlignRight
                                     : (a == AlignCentre ? Qt::AlignHCenter : Qt::AlignLeft)) |
                    Qt::AlignVCenter;
                const QRect inner = cell.adjusted(3, 0, -3, 0);
                p.drawText(inner, align, fontMetrics().elidedText(ToQt(text), Qt::ElideRight, inner.width()));
            }
            if (r == row_ && c == col_ && !fixed) {
                QPen pen(pal.color(QPalette::Text));
                pen.setStyle(Qt::DotLine);
                p.setPen(pen);
                p.drawRect(cell.adjusted(1, 1, -2, -2));
            }
        }
    }
}

// ---- Input ----

bool VBGrid::event(QEvent *event) {
    // Tab belongs to the key handlers, not to the focus chain.
    if (event->type() == QEvent::KeyPress) {
        auto *e = static_cast<QKeyEvent *>(event);
        if (e->key() == Qt::Key_Tab) {
            keyPressEvent(e);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void VBGrid::keyPressEvent(QKeyEvent *event) {
    const int shift = VB::ShiftMask(event->modifiers());
    int keyCode = VB::KeyCodeValue(event->key());
    if (keyCode != 0)
        emit KeyDown(keyCode, shift);
    if (keyCode != 0) {
        // Arrows, pages, Home and End move the current cell; with Shift they stretch the selection.
        const bool extend = (shift & VB::vbShiftMask) != 0;
        const bool ctrl = (shift & VB::vbCtrlMask) != 0;
        int r = extend ? rowSel_ : row_, c = extend ? colSel_ : col_;
        const int page = std::max(viewport()->height() / rowHeightPx() - fixedRows_, 1);
        bool navigation = true;
        switch (keyCode) {
        case 38:
            r = std::max(r - 1, fixedRows_);
            break;
        case 40:
            r = std::min(r + 1, Rows() - 1);
            break;
        case 37:
            c = std::max(c - 1, fixedCols_);
            break;
        case 39:
            c = std::min(c + 1, cols_ - 1);
            break;
        case 33:
            r = std::max(r - page, fixedRows_);
            break;
        case 34:
            r = std::min(r + page, Rows() - 1);
            break;
        case 36:
            if (ctrl)
                r = fixedRows_;
            c = fixedCols_;
            break;
        case 35:
            if (ctrl)
                r = Rows() - 1;
            c = cols_ - 1;
            break;
        default:
            navigation = false;
            break;
        }
        if (navigation && r >= 0 && c >= 0) {
            if (extend)
                setSelection(r, c);
            else
                moveCurrent(r, c);
            showCell(r, c);
            return;
        }
    }
    int keyAscii = VB::KeyAsciiValue(event->key(), event->modifiers(), event->text());
    if (keyAscii != 0)
        emit KeyPress(keyAscii);
}

int VBGrid::borderAt(int x) const {
    int edge = 0;
    for (int c = 0; c < cols_; ++c) {
        if (c >= fixedCols_ && c < leftCol_)
            continue;
        edge += widthPx(c);
        if (std::abs(x - edge) <= 3 && widthPx(c) > 0)
            return c;
        if (edge > x + 3)
            break;
    }
    return -1;
}

void VBGrid::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    SetFocus();
    const QPoint p = event->position().toPoint();
    if (p.y() < fixedRows_ * rowHeightPx()) {
        const int border = borderAt(p.x());
        if (border >= 0) {
            resizeCol_ = border;
            resizeStartX_ = p.x();
            resizeStartWidth_ = widthPx(border);
            return;
        }
    }
    int r = 0, c = 0;
    if (!CellAt(p, r, c) || Rows() <= fixedRows_ || cols_ <= fixedCols_)
        return;
    const bool headingRow = r < fixedRows_, headingCol = c < fixedCols_;
    if (headingRow && headingCol) {
        moveCurrent(fixedRows_, fixedCols_);
        setSelection(Rows() - 1, cols_ - 1);
    } else if (headingRow) { // a heading selects its whole column
        moveCurrent(fixedRows_, c);
        setSelection(Rows() - 1, c);
    } else if (headingCol) {
        moveCurrent(r, fixedCols_);
        setSelection(r, cols_ - 1);
    } else if (event->modifiers() & Qt::ShiftModifier)
        setSelection(r, c);
    else {
        moveCurrent(r, c);
        dragging_ = true;
    }
}

void VBGrid::mouseMoveEvent(QMouseEvent *event) {
    const QPoint p = event->position().toPoint();
    if (resizeCol_ >= 0) {
        SetColWidth(resizeCol_, std::max(resizeStartWidth_ + p.x() - resizeStartX_, 0) * TwipsPerPixel);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        const bool onBorder = p.y() < fixedRows_ * rowHeightPx() && borderAt(p.x()) >= 0;
        viewport()->setCursor(onBorder ? Qt::SplitHCursor : Qt::ArrowCursor);
        return;
    }
    int r = 0, c = 0;
    if (dragging_ && CellAt(p, r, c) && r >= fixedRows_ && c >= fixedCols_ && (r != rowSel_ || c != colSel_))
        setSelection(r, c);
}

void VBGrid::mouseReleaseEvent(QMouseEvent *) {
    dragging_ = false;
    resizeCol_ = -1;
}

void VBGrid::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    int r = 0, c = 0;
    if (CellAt(event->position().toPoint(), r, c) && r >= fixedRows_ && c >= fixedCols_) {
        moveCurrent(r, c);
        emit DblClick();
    }
}

void VBGrid::SetFocus() {
    const bool had = hasFocus_;
    focusFromCode_ = true;
    setFocus();
    focusFromCode_ = false;
    if (!had) {
        hasFocus_ = true;
        emit GotFocus();
    }
}

void VBGrid::focusInEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusInEvent(event);
    if (!focusFromCode_ && !hasFocus_) {
        hasFocus_ = true;
        emit GotFocus();
    }
}

void VBGrid::focusOutEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusOutEvent(event);
    hasFocus_ = false;
}
