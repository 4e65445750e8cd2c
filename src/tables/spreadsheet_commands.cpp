// The menu commands of the network spreadsheet: airway dialogs for a row, clipboard, rows, column find and
// replace, sorting, fixing, recalculation, simulation and the column view.
#include "graphics/editor_windows.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/text_files.h"
#include "model/undo.h"
#include "model/value_rules.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/GridEdit.h"
#include "platform/Printer.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "solver/driver.h"
#include "tables/frmSpreadSheet.h"
#include "tables/spreadsheet_state.h"

#include <algorithm>
#include <stdexcept>

void frmSpreadSheet::mnuUndo_Click() {
    LoadGrid();
}

void frmSpreadSheet::mnuEditBox_Click() {
    const int a = RowAirway(Spreadsheet->Row());
    if (a == 0 || AirwayFlags(a) == 0)
        return;
    PickedAirway = 1;
    CurrentAirway = a;
    AirEditMode = 1;
    Editor().ShowAirwayEdit();
    writeRow(Spreadsheet->Row(), CurrentAirway);
    PickedAirway = 0;
}

void frmSpreadSheet::mnuInfo_Click() {
    PickedAirway = 1;
    const int a = RowAirway(Spreadsheet->Row());
    CurrentAirway = a == 0 ? 1 : a;
    AirEditMode = 2;
    Editor().ShowAirwayInformation();
    PickedAirway = 0;
}

void frmSpreadSheet::mnuCopy_Click() {
    GridCopy(*Spreadsheet);
}

void frmSpreadSheet::appendNewRow() {
    VBGrid &g = *Spreadsheet;
    const int row = g.Rows();
    g.AddItem("");
    markRow(row, NewRow);
    growColourMemory(row + 1);
    for (int c = 4; c <= 13; ++c)
        SheetCellColour(row, c) = 0;
}

void frmSpreadSheet::mnuPaste_Click() {
    if (VB::IsBusy())
        return;
    GridPasteRules rules;
    rules.writable = [this](int row, int col) { return editable(row, col); };
    // Each pasted value is committed as a typed one is, and refused as one is.
    rules.accept = [this](int row, int col, const std::string &piece) {
        Value rule{};
        if (refusedCell(row, col, piece, rule))
            throw ValueRefused(rule);
    };
    rules.written = [this](int row, int col) { commitCell(row, col); };
    int pending = newRowCount();
    rules.addRow = [this, &pending] {
        if (!roomForNewRow(pending))
            return false;
        appendNewRow();
        ++pending;
        return true;
    };
    rules.step = [](const std::function<void()> &work) {
        for (;;) {
            try {
                work();
                return true;
            } catch (const std::exception &e) {
                const auto *refused = dynamic_cast<const ValueRefused *>(&e);
                const int answer = VB::MsgBox("An error has occurred while attempting to paste data" +
                                                  (refused ? "\r\n" + std::string(refused->what()) : ""),
                                              VB::vbAbortRetryIgnore, "Paste Error");
                if (answer == VB::vbAbort)
                    return false;
                if (answer == VB::vbIgnore)
                    return true;
            }
        }
    };
    GridPasteClipboard(*Spreadsheet, rules);
    SheetChanged = true;
}

void frmSpreadSheet::mnuClear_Click() {
    VBGrid &g = *Spreadsheet;
    for (int r = std::max(g.Row(), 1); r <= g.RowSel(); ++r)
        for (int c = std::max(g.Col(), 1); c <= g.ColSel(); ++c)
            if (editable(r, c))
                g.SetTextMatrix(r, c, "");
    SheetChanged = true;
}

void frmSpreadSheet::mnuSelAll_Click() {
    VBGrid &g = *Spreadsheet;
    g.SetRow(0);
    g.SetCol(0);
    g.SetRowSel(g.Rows() - 1);
    g.SetColSel(g.Cols() - 1);
}

void frmSpreadSheet::insertRows(int first, int last) {
    if (VB::IsBusy())
        return;
    VBGrid &g = *Spreadsheet;
    int pending = newRowCount();
    for (int p = first; p <= last; ++p, ++pending) {
        if (!roomForNewRow(pending))
            break;
        const int at = std::max(p, 1);
        g.AddItem("", at);
        markRow(at, NewRow);
    }
    // The fixed marks follow the rows that moved down, however many rows were added.
    ResetColour();
    SheetChanged = true;
}

void frmSpreadSheet::mnuInsert_Click() {
    insertRows(Spreadsheet->Row(), Spreadsheet->RowSel());
}

void frmSpreadSheet::mnuInsert2_Click() {
    insertRows(Spreadsheet->Row() + 1, Spreadsheet->RowSel() + 1);
}

void frmSpreadSheet::mnuDelete_Click() {
    if (VB::IsBusy())
        return;
    VBGrid &g = *Spreadsheet;
    const int first = g.Row(), last = g.RowSel();
    const bool several = first != last;
    if (several) {
        if (VB::MsgBox("Permanently delete row selections ?", VB::vbYesNo | VB::vbQuestion,
                       "Delete multiple rows") == VB::vbNo)
            return;
        SaveGrid();
    }
    if (first < 1)
        return;
    g.SetRedraw(false);
    bool deleted = false;
    for (int n = first; n <= last; ++n) {
        const int row = g.Row();
        const int a = RowAirway(row);
        if (!several) {
            // The airway as the row shows it: its number, not the slot it happens to lie in.
            const std::string number = Trim(g.TextMatrix(row, SheetColNo));
            if (VB::MsgBox("Permanently delete branch ?" + (number.empty() ? "" : " " + number),
                           VB::vbYesNo | VB::vbQuestion, "Delete") == VB::vbNo)
                break;
            SaveGrid();
        }
        g.RemoveItem(row);
        if (a != 0)
            ClearAirway(a);
        deleted = true;
    }
    g.SetRedraw(true);
    if (!deleted)
        return;
    PackAirways();
    NetworkSaved = 0;
    MarkResultsStale();
    LoadGrid();
    ResetColour();
}

void frmSpreadSheet::mnuFind_Click() {
    SheetReplaceMode = 0;
    SheetSearchRow = 1;
    SheetSearchText = VB::InputBox("Enter Search");
    Search();
}

void frmSpreadSheet::mnuAgain_Click() {
    SheetReplaceMode = 0;
    Search();
}

void frmSpreadSheet::mnuReplace_Click() {
    SheetSearchRow = 1;
    SheetReplaceMode = -1;
    SheetSearchText = VB::InputBox("Enter text to replace");
    SheetReplaceText = VB::InputBox("Enter replacement text");
    Search();
}

void frmSpreadSheet::Search() {
    VBGrid &g = *Spreadsheet;
    const int c = g.Col();
    const std::string wanted = UCase1252(SheetSearchText);
    const int start = std::max(SheetSearchRow, 1);
    int accepted = 0;
    int replaced = 0;
    for (int r = start; r < g.Rows(); ++r) {
        if (UCase1252(g.TextMatrix(r, c)) != wanted)
            continue;
        if (SheetReplaceMode != 0) {
            if (editable(r, c)) {
                g.SetTextMatrix(r, c, SheetReplaceText);
                ++replaced;
            }
        } else if (SheetSearchRow == 1) {
            accepted = r;
            break;
        }
    }
    if (SheetReplaceMode != 0) {
        VB::MsgBox(VB::Str(replaced) + " replacements made");
        if (replaced > 0)
            SheetChanged = true;
        return;
    }
    for (int r = start; r < g.Rows() && accepted == 0; ++r) {
        const std::string cell = g.TextMatrix(r, c);
        if (UCase1252(cell).find(wanted) == std::string::npos)
            continue;
        const int answer = VB::MsgBox("Could not find name - Do you mean " + cell,
                                      VB::vbYesNoCancel | VB::vbQuestion, "Find");
        if (answer == VB::vbYes)
            accepted = r;
        else if (answer == VB::vbCancel) {
            SheetSearchRow = 1;
            return;
        }
    }
    if (accepted == 0) {
        VB::MsgBox("Level name not found");
        SheetSearchRow = 1;
        return;
    }
    g.SetTopRow(accepted);
    g.SetRow(accepted);
    SheetSearchRow = accepted + 1 > g.Rows() - 1 ? 1 : accepted + 1;
}

void frmSpreadSheet::sort(bool descending) {
    VBGrid &g = *Spreadsheet;
    const int c = g.Col();
    int kind = VBGrid::SortNumericAscending;
    if (c == SheetColName || c == SheetColFrom || c == SheetColTo || c == SheetColComments)
        kind = VBGrid::SortTextAscending;
    else if (c == SheetColFPres)
        kind = VBGrid::SortGenericAscending;
    if (descending)
        ++kind;
    int first = std::min(g.Row(), g.RowSel()), last = std::max(g.Row(), g.RowSel());
    if (first == last) {
        first = 1;
        last = g.Rows() - 1;
    }
    // The headings never move.
    g.SortRows(kind, std::max(first, 1), last, std::min(c, g.ColSel()), std::max(c, g.ColSel()));
    ResetColour();
}

void frmSpreadSheet::mnuAscend_Click() {
    sort(false);
}

void frmSpreadSheet::mnuDescend_Click() {
    sort(true);
}

namespace {
bool fixable(int c) {
    return c == SheetColLength || c == SheetColFlow || c == SheetColResistance || c == SheetColFPres ||
           c == SheetColKFactor || c == SheetColShock;
}
} // namespace

void frmSpreadSheet::mnuFix_Click() {
    SheetChanged = true;
    VBGrid &g = *Spreadsheet;
    const int c = g.Col();
    if (!fixable(c))
        return;
    const int first = std::max(g.Row(), 1), last = g.RowSel();
    for (int r = first; r <= last; ++r)
        markFixed(r, c, true);
    if (last >= first)
        g.SetRow(last);
}

void frmSpreadSheet::mnuUnfix_Click() {
    VBGrid &g = *Spreadsheet;
    const int c = g.Col();
    if (!fixable(c))
        return;
    for (int r = std::max(g.Row(), 1); r <= g.RowSel(); ++r)
        if (g.CellBackColorAt(r, c) == SheetFixedColour)
            markFixed(r, c, false);
    SheetChanged = true;
}

void frmSpreadSheet::mnuRecalc_Click() {
    VBGrid &g = *Spreadsheet;
    const int col = g.Col();
    g.SetCol(0);
    UpdateRes(g.Row(), RowAirway(g.Row()));
    g.SetCol(col);
}

void frmSpreadSheet::mnuRecalcAll_Click() {
    VBGrid &g = *Spreadsheet;
    VB::SetScreenPointer(VB::vbHourglass);
    const int col = g.Col();
    g.SetCol(0);
    for (int r = 1; r < g.Rows(); ++r)
        UpdateRes(r, RowAirway(r));
    g.SetCol(col);
    VB::SetScreenPointer(VB::vbDefault);
}

void frmSpreadSheet::mnuSim_Click() {
    if (VB::IsBusy())
        return;
    // A run would refill the sheet and drop the rows the save left out.
    if (!SaveGrid())
        return;
    rememberWidths();
    AnalysisMode = 0;
    ShowProgress = 1;
    Simulate();
    LoadGrid();
}

void frmSpreadSheet::mnuFixCols_Click(int columns) {
    Spreadsheet->SetFixedCols(columns);
}

void frmSpreadSheet::mnuFixR_Click() {
    Spreadsheet->SetFixedRows(1);
}

void frmSpreadSheet::mnuUnfixC_Click() {
    Spreadsheet->SetFixedCols(0);
}

void frmSpreadSheet::mnuUnfixR_Click() {
    Spreadsheet->SetFixedRows(0);
}

void frmSpreadSheet::mnuHideC_Click() {
    VBGrid &g = *Spreadsheet;
    const int step = g.ColSel() < g.Col() ? -1 : 1;
    for (int c = g.Col();; c += step) {
        // A column hidden once keeps the width it had, to come back with.
        if (SheetColumnWidths(c) == 0 && c != 0)
            SheetColumnWidths(c) = g.ColWidth(c);
        SheetColumnWidths(c) = -std::abs(SheetColumnWidths(c));
        g.SetColWidth(c, 0);
        if (c == g.ColSel())
            break;
    }
}

void frmSpreadSheet::mnuShowC_Click() {
    VBGrid &g = *Spreadsheet;
    for (int c = 1; c <= SheetColZ2; ++c) {
        if (c == SheetColZ2 && SheetColumnWidths(c) >= 0)
            continue;
        SheetColumnWidths(c) = std::abs(SheetColumnWidths(c));
        g.SetColWidth(c, SheetColumnWidths(c));
    }
}

void frmSpreadSheet::mnuShowAll_Click() {
    // The refill shows other rows: edits not yet written are offered to the network first.
    OfferSave();
    ViewMode = 4;
    SetVisibleAirways();
    if (ViewIs3D == 1)
        RotateView();
    LoadGrid();
}

void frmSpreadSheet::mnuPrint_Click() {
    VB::PrinterPage &page = VB::Printer();
    const std::string answer = VB::InputBox("Enter Printer Font Size", "Font Size", "6");
    if (answer.empty() || VB::Val(answer, ',') < 6)
        return;
    VBGrid &g = *Spreadsheet;
    try {
        page.ScaleTwips();
        page.FontName = FromQt(font().family());
        page.FontSize = VB::Val(answer, ',');
        const double width = page.ScaleWidth - page.ScaleWidth / 10;
        const double height = page.ScaleHeight - page.ScaleHeight / 25;
        // Columns 0 .. 20 share the usable width in proportion to their widths; Y2 and Z2 are left out.
        constexpr int LastPrintedColumn = 20;
        double total = 0;
        for (int c = 0; c <= LastPrintedColumn; ++c)
            total += g.ColWidth(c);
        const double scale = total > 0 ? width / total : 0;
        int line = 0;
        for (int r = 0; r < g.Rows(); ++r) {
            ++line;
            const double y = line * 1.2 * page.TextHeight("F") + height / 20;
            double x = width / 20;
            for (int c = 0; c <= LastPrintedColumn; ++c) {
                if (g.ColWidth(c) == 0)
                    continue;
                page.CurrentX = x;
                page.CurrentY = y;
                page.Print(g.TextMatrix(r, c));
                x += scale * g.ColWidth(c);
            }
            if (page.CurrentY > height && r < g.Rows() - 1) {
                page.NewPage();
                line = 0;
            }
        }
        page.EndDoc();
    } catch (const std::exception &) {
        VB::MsgBox("Error printing data ! - aborting");
        page.KillDoc();
    }
}
