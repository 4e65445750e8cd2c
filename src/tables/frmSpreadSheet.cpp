#include "tables/frmSpreadSheet.h"

#include "graphics/drawing.h"
#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/units.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/GridEdit.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"
#include "tables/spreadsheet_state.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

QPointer<frmSpreadSheet> instance;

// The headings, alignments and default widths of the grid; the leading "|" makes column 0 empty.
const char *const SheetFormat =
    "|<No.   |<Name          |<From       |<To        |>Length|> Flow |> Vel |>Pdrop "
    "|>Resistance|>K-Factor|>Shock|"
    ">Fan |>F Pres|>Height|>Width|< Comments  |>X1     |>Y1     |>Z1     |>X2     |>Y2    |>Z2    ";

constexpr int FirstMarkedColumn = 4, LastMarkedColumn = 13;
// Columns 1 .. 21 are remembered and restored; 22 keeps the width of the headings unless hidden.
constexpr int LastRememberedColumn = 21;

} // namespace

frmSpreadSheet::frmSpreadSheet(QWidget *owner) : QMainWindow(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle("SpreadSheet");
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    Spreadsheet = new VBGrid(central);
    layout->addWidget(Spreadsheet);
    TxtEdit = new VBTextBox(central);
    TxtEdit->hide();
    setCentralWidget(central);
    VB::DecimalKeyFilter::Install(Spreadsheet);
    VB::DecimalKeyFilter::Install(TxtEdit);
    const auto nameColumn = [this] {
        const int col = Spreadsheet->Col();
        return col == SheetColName || col == SheetColFrom || col == SheetColTo || col == SheetColComments;
    };
    VB::NameBox(Spreadsheet, nameColumn);
    VB::NameBox(TxtEdit, nameColumn);
    buildMenus();
    resize(900, 500);

    connect(Spreadsheet, &VBGrid::KeyPress, this, [this](int &key) { runOwn([&] { gridKeyPress(key); }); });
    connect(Spreadsheet, &VBGrid::KeyDown, this,
            [this](int &code, int shift) { runOwn([&] { gridKeyDown(code, shift); }); });
    connect(Spreadsheet, &VBGrid::DblClick, this, [this] { runOwn([this] { gridDblClick(); }); });
    connect(Spreadsheet, &VBGrid::GotFocus, this, &frmSpreadSheet::commitEdit);
    connect(Spreadsheet, &VBGrid::LeaveCell, this, &frmSpreadSheet::commitEdit);
    connect(TxtEdit, &VBTextBox::KeyDown, this,
            [this](int &code, int shift) { GridEditKey(*Spreadsheet, *TxtEdit, code, shift); });
    connect(TxtEdit, &VBTextBox::KeyPress, this, [](int &key) {
        if (key == 13)
            key = 0;
    });
    VB_NAME_CONTROLS(Spreadsheet, TxtEdit);
}

frmSpreadSheet::~frmSpreadSheet() {
    if (instance == this || instance.isNull())
        SetNetworkChangeListener(nullptr);
    VB::DetachChildSignals(*this);
}

void frmSpreadSheet::runOwn(const std::function<void()> &command) {
    const bool current = filledAt_ == NetworkChanges();
    command();
    if (current)
        filledAt_ = NetworkChanges();
}

void frmSpreadSheet::networkChanged() {
    if (instance && !instance->followPending_)
        instance->followNetwork(0);
}

void frmSpreadSheet::followNetwork(int delayMs) {
    followPending_ = true;
    QTimer::singleShot(delayMs, this, [this] {
        followPending_ = false;
        if (unloaded_ || !isVisible() || filledAt_ == NetworkChanges())
            return;
        // A long operation or a question under way may leave the network half-changed: the sheet follows
        // once it is over.
        if (VB::IsBusy() || QApplication::activeModalWidget() != nullptr) {
            followNetwork(100);
            return;
        }
        OfferSave();
        Refill();
    });
}

QAction *frmSpreadSheet::MenuItem(const std::string &name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

void frmSpreadSheet::buildMenus() {
    // Every command first commits an open edit box into the cell it belongs to, before anything refills,
    // saves or moves the rows under it.
    const auto add = [this](QMenu *menu, const std::string &name, const char *caption, auto handler) {
        QAction *a = menu->addAction(caption);
        items_[name] = a;
        connect(a, &QAction::triggered, this, [this, handler] {
            runOwn([this, handler] {
                commitEdit();
                (this->*handler)();
            });
        });
    };
    QMenuBar *bar = menuBar();
    QMenu *file = bar->addMenu("File");
    add(file, "mnuSaveChanges", "Save Changes", &frmSpreadSheet::mnuSaveChanges_Click);
    file->addSeparator();
    add(file, "mnuPrint", "Print", &frmSpreadSheet::mnuPrint_Click);
    file->addSeparator();
    add(file, "mnuExit", "Exit", &frmSpreadSheet::mnuExit_Click);

    QMenu *edit = bar->addMenu("Edit");
    add(edit, "mnuUndo", "Undo changes", &frmSpreadSheet::mnuUndo_Click);
    edit->addSeparator();
    add(edit, "mnuEditBox", "Edit Box", &frmSpreadSheet::mnuEditBox_Click);
    add(edit, "mnuInfo", "Info Box", &frmSpreadSheet::mnuInfo_Click);
    edit->addSeparator();
    add(edit, "mnuCopy", "Copy  Ctrl+C", &frmSpreadSheet::mnuCopy_Click);
    add(edit, "mnuPaste", "Paste  Ctrl+V", &frmSpreadSheet::mnuPaste_Click);
    add(edit, "mnuClear", "Clear  <del>", &frmSpreadSheet::mnuClear_Click);
    add(edit, "mnuSelAll", "Select All", &frmSpreadSheet::mnuSelAll_Click);
    edit->addSeparator();
    add(edit, "mnuInsert", "Insert Row Before", &frmSpreadSheet::mnuInsert_Click);
    add(edit, "mnuInsert2", "Insert Row After", &frmSpreadSheet::mnuInsert2_Click);
    add(edit, "mnuDelete", "Delete Row", &frmSpreadSheet::mnuDelete_Click);
    edit->addSeparator();
    add(edit, "mnuFind", "Column Find", &frmSpreadSheet::mnuFind_Click);
    add(edit, "mnuAgain", "Find Again (F3)", &frmSpreadSheet::mnuAgain_Click);
    add(edit, "mnuReplace", "Column Replace", &frmSpreadSheet::mnuReplace_Click);

    QMenu *sortMenu = bar->addMenu("Sort");
    add(sortMenu, "mnuAscend", "Ascending", &frmSpreadSheet::mnuAscend_Click);
    add(sortMenu, "mnuDescend", "Descending", &frmSpreadSheet::mnuDescend_Click);

    QMenu *data = bar->addMenu("Data");
    add(data, "mnuFix", "Fix", &frmSpreadSheet::mnuFix_Click);
    add(data, "mnuUnfix", "Unfix", &frmSpreadSheet::mnuUnfix_Click);
    data->addSeparator();
    add(data, "mnuRecalc", "Recalc row", &frmSpreadSheet::mnuRecalc_Click);
    add(data, "mnuRecalcAll", "Recalc all", &frmSpreadSheet::mnuRecalcAll_Click);
    data->addSeparator();
    add(data, "mnuSim", "Simulate <F5>", &frmSpreadSheet::mnuSim_Click);

    QMenu *view = bar->addMenu("View");
    QMenu *fixCols = view->addMenu("Fix Columns");
    for (int n = 1; n <= 4; ++n) {
        QAction *a = fixCols->addAction(QString::number(n));
        items_["mnu" + std::to_string(n)] = a;
        connect(a, &QAction::triggered, this, [this, n] { mnuFixCols_Click(n); });
    }
    add(view, "mnuFixR", "Fix Headings", &frmSpreadSheet::mnuFixR_Click);
    add(view, "mnuUnfixC", "Unfix Columns", &frmSpreadSheet::mnuUnfixC_Click);
    add(view, "mnuUnfixR", "Unfix Headings", &frmSpreadSheet::mnuUnfixR_Click);
    view->addSeparator();
    add(view, "mnuHideC", "Hide Columns", &frmSpreadSheet::mnuHideC_Click);
    add(view, "mnuShowC", "Show Columns", &frmSpreadSheet::mnuShowC_Click);
    view->addSeparator();
    add(view, "mnuShowAll", "Show All Data", &frmSpreadSheet::mnuShowAll_Click);
}

// ---- Filling ----

void frmSpreadSheet::Form_Load() {
    if (SheetColumnWidths.size() == 0)
        SheetColumnWidths.ReDim(Bounds{0, 22});
    SheetCellColour.ReDim(Bounds{0, std::max<int>(MaxAirways, 1)},
                          Bounds{FirstMarkedColumn, LastMarkedColumn});
    SheetChanged = false;
    SetNetworkChangeListener(&frmSpreadSheet::networkChanged);
    LoadGrid();
}

void frmSpreadSheet::growColourMemory(int rows) {
    if (rows - 1 > SheetCellColour.UBound(0))
        SheetCellColour.ReDimPreserve(Bounds{0, rows + 100}, Bounds{FirstMarkedColumn, LastMarkedColumn});
}

void frmSpreadSheet::LoadGrid() {
    VB::SetScreenPointer(VB::vbHourglass);
    filledAt_ = NetworkChanges();
    int n = 0;
    while (n < AirwayCount && VisibleAirways.InBounds(n + 1) && VisibleAirways(n + 1) != 0)
        ++n;
    VBGrid &g = *Spreadsheet;
    g.SetRedraw(false);
    marks_.clear();
    g.SetRows(n + 1);
    g.Clear();
    g.SetFormatString(SheetFormat);
    int col = 1;
    for (int *global :
         {&SheetColNo,       &SheetColName, &SheetColFrom,  &SheetColTo,         &SheetColLength,
          &SheetColFlow,     &SheetColVel,  &SheetColPdrop, &SheetColResistance, &SheetColKFactor,
          &SheetColShock,    &SheetColFan,  &SheetColFPres, &SheetColHeight,     &SheetColWidth,
          &SheetColComments, &SheetColX1,   &SheetColY1,    &SheetColZ1,         &SheetColX2,
          &SheetColY2,       &SheetColZ2})
        *global = col++;
    // The save writes none of these: "No." is the airway's own number, "Vel" follows from the flow, and
    // "Comments" holds the checks' status text, which every run replaces.
    for (int c = 1; c < g.Cols(); ++c)
        g.SetColReadOnly(c, c == SheetColNo || c == SheetColVel || c == SheetColComments);

    g.SetColWidth(0, 0);
    bool remembered = false;
    for (int c = 1; c <= LastRememberedColumn; ++c)
        remembered = remembered || SheetColumnWidths(c) != 0;
    if (!remembered) {
        for (int c = 1; c <= LastRememberedColumn; ++c)
            SheetColumnWidths(c) = g.ColWidth(c);
    } else {
        for (int c = 1; c <= LastRememberedColumn; ++c)
            g.SetColWidth(c, std::max(SheetColumnWidths(c), 0));
    }
    growColourMemory(n + 1);
    for (int row = 1; row <= n; ++row)
        if (SetRow(row) == 0 || row >= AirwayCount)
            break;
    // Every shown column is wide enough for its heading and its widest value; the width it is shown
    // at is the one a column brought back by Show Columns returns to.
    for (int c = 1; c <= SheetColZ2; ++c) {
        if (g.ColWidth(c) == 0)
            continue;
        g.SetColWidth(c, std::max(g.ColWidth(c), g.FitColWidth(c)));
        if (c <= LastRememberedColumn && SheetColumnWidths(c) > 0)
            SheetColumnWidths(c) = g.ColWidth(c);
    }

    g.SetRow(0);
    g.SetCol(1);
    VB::SetScreenPointer(VB::vbDefault);
    // Rows in the order of the airway numbers; the headings stay on top.
    g.SortRows(VBGrid::SortNumericAscending, 1, g.Rows() - 1, SheetColNo, SheetColNo);
    g.SetRedraw(true);
    VB::DoEvents();
    ResetColour();
}

int frmSpreadSheet::SetRow(int row) {
    if (!VisibleAirways.InBounds(row))
        return 0;
    const int a = VisibleAirways(row);
    if (a == 0)
        return 0;
    writeRow(row, a);
    return a;
}

std::string frmSpreadSheet::cellText(int col, int a) const {
    const int32_t flags = AirwayFlags(a);
    const bool irregular = (flags & AirwayFlag::Irregular) != 0;
    if (col == SheetColNo)
        return std::to_string(AirwayNumber(a));
    if (col == SheetColName)
        return AirwayName(a).trimmed();
    if (col == SheetColFrom)
        return AirwayStartName(a).trimmed();
    if (col == SheetColTo)
        return AirwayEndName(a).trimmed();
    if (col == SheetColLength)
        return FormatValue(AirwayLength(a), 1, 0, -1);
    // Flows show to 3 decimals and resistances to 7 in SI, rounded from the digits the single holds: a
    // typed 0.0002 reads 0.0002, not the 0.0001999 its binary form cut there would give.
    if (col == SheetColFlow)
        return FormatValue(ShownValue(AirwayFlow(a), 3), 4, 0, -1);
    if (col == SheetColVel)
        return AirwayDataText(13, a, 0);
    if (col == SheetColPdrop)
        return FormatValue(AirwayFlow(a) * AirwayFlow(a) * AirwayResistance(a), 8, 0, 0);
    if (col == SheetColResistance)
        return FormatValue(ShownValue(AirwayResistance(a), 7), 5, 0, -1);
    if (col == SheetColKFactor)
        return FormatValue(AirwayFrictionFactor(a), 10, 0, 0);
    if (col == SheetColShock)
        return FormatValue(AirwayShockLength(a), 1, 0, -1);
    if (col == SheetColFan)
        return AirwayFan(a) > 0 ? std::to_string(AirwayFan(a)) : std::string();
    if (col == SheetColFPres) {
        std::string text;
        if (AirwayFan(a) != 0 || (flags & AirwayFlag::FixedFlow))
            text = FormatPattern(ToDisplayUnits(AirwayPressure(a), 8), "0", 7);
        // The solver's marks for a fan beyond its last or below its first curve point.
        if (AirwayPressure(a) == 9999)
            text = "Negate";
        else if (AirwayPressure(a) == -9999)
            text = "Stall";
        return text;
    }
    if (col == SheetColHeight)
        return (flags & AirwayFlag::Round) ? std::string() : FormatValue(AirwaySize(1, a), 1, 0, -1);
    if (col == SheetColWidth)
        return FormatValue(AirwaySize(2, a), irregular ? 3 : 1, 0, -1);
    if (col == SheetColComments) {
        std::string text = AirwayComment(a).trimmed();
        if (AirwayResistanceType(a) != 0)
            text += " " + ResistanceTypeName(AirwayResistanceType(a));
        return text;
    }
    if (col >= SheetColX1 && col <= SheetColZ1)
        return FormatValue(static_cast<float>(AirwayStart(col - SheetColX1 + 1, a)), 14, 0, 0);
    if (col >= SheetColX2 && col <= SheetColZ2)
        return FormatValue(static_cast<float>(AirwayEnd(col - SheetColX2 + 1, a)), 14, 0, 0);
    return {};
}

bool frmSpreadSheet::cellFixedInModel(int col, int a) const {
    const int32_t flags = AirwayFlags(a);
    const bool fixedFlow = (flags & AirwayFlag::FixedFlow) != 0;
    if (col == SheetColLength)
        return (flags & AirwayFlag::FixedLength) != 0;
    if (col == SheetColFlow)
        return fixedFlow;
    if (col == SheetColPdrop)
        return AirwayFan(a) == -1 && fixedFlow;
    if (col == SheetColResistance)
        return AirwayResistanceType(a) != 0;
    if (col == SheetColKFactor)
        return AirwayWallType(a) == TypedPreset;
    if (col == SheetColShock)
        return AirwayShockType(a) == TypedPreset;
    if (col == SheetColFPres)
        return !fixedFlow && AirwayFan(a) == -1;
    return false;
}

void frmSpreadSheet::writeRow(int row, int a) {
    VBGrid &g = *Spreadsheet;
    growColourMemory(row + 1);
    // The memory and the grid's marks of the row start clear together, so no stale red survives a rewrite.
    for (int c = FirstMarkedColumn; c <= LastMarkedColumn; ++c)
        markFixed(row, c, false);
    g.SetTextMatrix(row, 0, std::to_string(a));
    // Every cell, empty ones too: a row rewritten after the airway dialog shows what the airway holds.
    for (int c = SheetColNo; c <= SheetColZ2; ++c) {
        g.SetTextMatrix(row, c, cellText(c, a));
        if (c >= FirstMarkedColumn && c <= LastMarkedColumn && cellFixedInModel(c, a))
            markFixed(row, c, true);
    }
    markRow(row, a);
    g.ClearModified(row);
}

void frmSpreadSheet::markRow(int row, int a) {
    if (a == NewRow) {
        Spreadsheet->SetRowData(row, NewRow);
        return;
    }
    RowAirwayMark m;
    m.number = AirwayNumber(a);
    for (int k = 0; k < 3; ++k) {
        m.ends[k] = AirwayStart(k + 1, a);
        m.ends[3 + k] = AirwayEnd(k + 1, a);
    }
    for (int c = FirstMarkedColumn; c <= LastMarkedColumn; ++c)
        if (fixed(row, c))
            m.fixedMarks |= static_cast<uint16_t>(1u << (c - FirstMarkedColumn));
    // A row keeps its place in the list; a row written for the first time gets one.
    const int64_t data = Spreadsheet->RowData(row);
    if (data >= 1 && data <= static_cast<int64_t>(marks_.size())) {
        marks_[static_cast<size_t>(data - 1)] = m;
        return;
    }
    marks_.push_back(m);
    Spreadsheet->SetRowData(row, static_cast<int64_t>(marks_.size()));
}

int frmSpreadSheet::RowAirway(int row) {
    VBGrid &g = *Spreadsheet;
    if (row < 1 || row >= g.Rows())
        return 0;
    const int a = static_cast<int>(VB::Val(g.TextMatrix(row, 0)));
    const int64_t data = g.RowData(row);
    const bool inRange = a >= 1 && a <= AirwayCount;
    if (data == NewRow)
        return 0; // its airway slot is taken when it is saved
    if (data < 1 || data > static_cast<int64_t>(marks_.size()))
        return 0;
    const RowAirwayMark &m = marks_[static_cast<size_t>(data - 1)];
    // The ends in either direction: the solver reverses airways whose flow came out negative.
    const auto sameEnds = [&m](int s) {
        bool forward = true, backward = true;
        for (int k = 0; k < 3; ++k) {
            forward = forward && AirwayStart(k + 1, s) == m.ends[k] && AirwayEnd(k + 1, s) == m.ends[3 + k];
            backward = backward && AirwayEnd(k + 1, s) == m.ends[k] && AirwayStart(k + 1, s) == m.ends[3 + k];
        }
        return forward || backward;
    };
    if (inRange && AirwayFlags(a) != 0 && (AirwayNumber(a) == m.number || sameEnds(a)))
        return a;
    // The airway moved to another slot: it is the one airway with its number and its ends.
    int found = 0;
    for (int s = 1; s <= AirwayCount; ++s) {
        if (AirwayFlags(s) == 0 || AirwayNumber(s) != m.number || !sameEnds(s))
            continue;
        if (found != 0)
            return 0;
        found = s;
    }
    if (found != 0)
        g.SetTextMatrix(row, 0, std::to_string(found));
    return found;
}

bool frmSpreadSheet::markChanged(int row, int col) const {
    const int64_t data = Spreadsheet->RowData(row);
    bool before = false;
    if (data >= 1 && data <= static_cast<int64_t>(marks_.size()))
        before = (marks_[static_cast<size_t>(data - 1)].fixedMarks >> (col - FirstMarkedColumn)) & 1u;
    return fixed(row, col) != before;
}

bool frmSpreadSheet::rowChanged(int row) const {
    if (Spreadsheet->RowModified(row))
        return true;
    for (int c = FirstMarkedColumn; c <= LastMarkedColumn; ++c)
        if (c != SheetColPdrop && markChanged(row, c))
            return true;
    return false;
}

void frmSpreadSheet::ResetColour() {
    VBGrid &g = *Spreadsheet;
    growColourMemory(g.Rows());
    for (int r = 1; r < g.Rows(); ++r)
        for (int c = FirstMarkedColumn; c <= LastMarkedColumn; ++c)
            SheetCellColour(r, c) = g.CellBackColorAt(r, c);
}

bool frmSpreadSheet::fixed(int row, int col) const {
    return SheetCellColour.InBounds(row, col) && SheetCellColour(row, col) == SheetFixedColour;
}

void frmSpreadSheet::markFixed(int row, int col, bool on) {
    growColourMemory(row + 1);
    Spreadsheet->SetCellBackColorAt(row, col, on ? SheetFixedColour : 0);
    if (SheetCellColour.InBounds(row, col))
        SheetCellColour(row, col) = on ? SheetFixedColour : 0;
}

// ---- Closing ----

void frmSpreadSheet::rememberWidths() {
    for (int c = 1; c <= LastRememberedColumn; ++c)
        if (SheetColumnWidths(c) >= 0)
            SheetColumnWidths(c) = Spreadsheet->ColWidth(c);
}

void frmSpreadSheet::OfferSave() {
    commitEdit();
    if (SheetChanged &&
        VB::MsgBox("Save spreadsheet changes to network ?", VB::vbYesNo, "Save changes") == VB::vbYes &&
        !VB::IsBusy())
        SaveGrid();
    SheetChanged = false;
}

void frmSpreadSheet::Refill() {
    commitEdit();
    LoadGrid();
}

bool frmSpreadSheet::Form_Unload() {
    if (unloaded_ || !isVisible())
        return false;
    OfferSave();
    hide();
    rememberWidths();
    unloaded_ = true;
    SetVisibleAirways();
    RotateView();
    Redraw();
    return true;
}

void frmSpreadSheet::closeEvent(QCloseEvent *event) {
    // A run pumping events must not lose the window's edits half-way.
    if (VB::IsBusy()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
    deleteLater();
}

void frmSpreadSheet::mnuExit_Click() {
    close();
}

frmSpreadSheet *ShowSpreadSheet(QWidget *owner) {
    if (!instance) {
        instance = new frmSpreadSheet(owner);
        instance->Form_Load();
    }
    instance->show();
    instance->raise();
    instance->activateWindow();
    return instance;
}

frmSpreadSheet *SpreadSheetWindow() {
    return instance;
}

void SpreadSheetAroundNetworkChange(const std::function<void()> &command) {
    if (instance && instance->isVisible())
        instance->OfferSave();
    command();
    if (instance && instance->isVisible())
        instance->Refill();
}

void UnloadSpreadSheet() {
    if (!instance)
        return;
    instance->Form_Unload();
    delete instance.data();
}
