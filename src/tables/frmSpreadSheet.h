#pragma once
// The network spreadsheet: one row per visible airway, edited cell by cell and written back into the
// network on request. The hidden column 0 holds each row's airway slot; the window also keeps with each
// row what identifies its airway, so a row that the solver's sort or a pack moved to another slot is
// still written into its own airway, and a row whose airway is gone is written nowhere.
#include <QMainWindow>

#include <functional>
#include <map>
#include <string>
#include <vector>

class VBGrid;
class VBTextBox;
enum class Value;

class frmSpreadSheet : public QMainWindow {
    Q_OBJECT
public:
    explicit frmSpreadSheet(QWidget *owner = nullptr);
    ~frmSpreadSheet() override;

    VBGrid *Spreadsheet = nullptr;
    VBTextBox *TxtEdit = nullptr;

    // ---- Layout and filling ----
    // Writes grid row `row` from VisibleAirways(row); returns that airway (0 = the list has ended).
    int SetRow(int row);
    // Copies the grid's cell colours of columns 4..13 into SheetCellColour.
    void ResetColour();
    void Form_Load();
    // The close sequence; false when the window was not shown (nothing to do).
    bool Form_Unload();
    // Before the network changes under the sheet: an open edit is committed and edits not yet written
    // are offered to the network they belong to ("Save spreadsheet changes to network ?"); whatever the
    // answer, the grid holds no unsaved edits afterwards.
    void OfferSave();
    // Fills the grid again from the network as it now is.
    void Refill();

    // ---- Cell commit and row recalculation ----
    void CheckNames();
    void UpdateRes(int row, int airway);
    // A cell text as a number: empty gives 0, a text that is not a number "Error in Number Format" and 0.
    double Star(const std::string &text);

    // ---- Saving ----
    // False when a new row was left out for lack of its ends (the user is told; the row stays).
    bool SaveGrid();
    void mnuSaveChanges_Click();

    // ---- Commands ----
    void Search();
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuUndo_Click();
    void mnuEditBox_Click();
    void mnuInfo_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuClear_Click();
    void mnuSelAll_Click();
    void mnuInsert_Click();
    void mnuInsert2_Click();
    void mnuDelete_Click();
    void mnuFind_Click();
    void mnuAgain_Click();
    void mnuReplace_Click();
    void mnuAscend_Click();
    void mnuDescend_Click();
    void mnuFix_Click();
    void mnuUnfix_Click();
    void mnuRecalc_Click();
    void mnuRecalcAll_Click();
    void mnuSim_Click();
    void mnuFixCols_Click(int columns); // "Fix Columns" 1 .. 4
    void mnuFixR_Click();
    void mnuUnfixC_Click();
    void mnuUnfixR_Click();
    void mnuHideC_Click();
    void mnuShowC_Click();
    void mnuShowAll_Click();

    // The airway of a grid row, checked against the network (0 = none: a heading, a blank new row, an
    // airway that is gone).
    int RowAirway(int row);
    // A menu item by its control name ("mnuSaveChanges", "mnu3", ...); null if absent.
    QAction *MenuItem(const std::string &name) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // RowData of a row added for a new airway.
    static constexpr int64_t NewRow = -1;
    // What identifies the airway written into a row: its unique number and its two ends; and the row's
    // fixed marks as last written from or into the airway (bit c - 4 for column c), so a save can tell
    // the marks the user changed from the airway's own flags, which others may have changed meanwhile.
    struct RowAirwayMark {
        int32_t number = 0;
        int32_t ends[6] = {};
        uint16_t fixedMarks = 0;
    };
    std::vector<RowAirwayMark> marks_;
    std::map<std::string, QAction *> items_;
    bool unloaded_ = false;
    // The count of network changes the grid shows (NetworkChanges at its fill, or after the sheet's own
    // command); a change made elsewhere refills it once the event that made it is over.
    uint64_t filledAt_ = 0;
    bool followPending_ = false;
    static void networkChanged();
    void followNetwork(int delayMs);
    // Runs one of the sheet's own commands: what it changes in the network the grid shows already, or it
    // fills itself anew, so the sheet does not take it for a change made elsewhere.
    void runOwn(const std::function<void()> &command);

    void buildMenus();
    void LoadGrid();
    // Writes row `row` from airway a (the fill's row writing, also used after the airway edit dialog).
    void writeRow(int row, int a);
    // Ties a row to airway a (-1: a new row for an empty slot).
    void markRow(int row, int a);
    // The text the fill writes in column `col` for airway a.
    std::string cellText(int col, int a) const;
    bool cellFixedInModel(int col, int a) const;
    bool fixed(int row, int col) const;
    // Whether the user changed the fixed mark of a cell since the row was written from or into its airway.
    bool markChanged(int row, int col) const;
    // Whether a row holds edits or fixed marks that its airway does not have yet.
    bool rowChanged(int row) const;
    void markFixed(int row, int col, bool on);
    void growColourMemory(int rows);
    void rememberWidths();
    // A new airway slot at the end of the network for a new row; 0 (after the message) when all are used.
    int newAirwaySlot();
    // Whether the network has room for one more new row beside the `pending` ones (the message when
    // not); new rows take their slots only when they are saved, so a row left blank never becomes an
    // empty airway.
    bool roomForNewRow(int pending);
    // New rows not yet saved as airways.
    int newRowCount() const;
    void appendNewRow();
    // New rows at positions first .. last (row 1 for the headings' position).
    void insertRows(int first, int last);
    // Grid events.
    void gridKeyPress(int &keyAscii);
    void gridKeyDown(int &keyCode, int shift);
    void gridDblClick();
    void commitEdit();
    // The unit row and the rule of the number a cell of column `col` holds for airway a; false for a
    // column without one.
    bool cellRule(int col, int a, int &unit, Value &rule) const;
    // The rule a number typed into cell (row, col) breaks; false when it keeps to it or is no number.
    bool refusedCell(int row, int col, const std::string &text, Value &rule);
    // "Error in Number Format", with the rule that refused the value.
    static void refuseCell(Value rule);
    // Whether the user may change a cell: not a heading, the slot column nor a read-only column.
    bool editable(int row, int col) const;
    // What a committed value in cell (r, c) does to its row: node names, fixed marks, recalculation. True
    // when the Flow and Pdrop gave a calculated resistance.
    bool commitCell(int r, int c);
    // Recalculates row `row` of airway a after cell `editedCol` changed (a typed resistance stays).
    void recalcRow(int row, int a, int editedCol);
    void sort(bool descending);
    // A new row's airway, once its cells are written, completed as a drawn airway is: the defaults for
    // what the row leaves empty, node keys, length and resistance; the row then shows it.
    void completeNewAirway(int row, int a);
    // Whether a new row gives a coordinate of each end (0 is a coordinate like any other).
    bool newRowHasEnds(int row) const;
};

// The one spreadsheet window: Tools > "Spreadsheet" shows it, loading and filling it on first use.
frmSpreadSheet *ShowSpreadSheet(QWidget *owner);
// The loaded window, or null.
frmSpreadSheet *SpreadSheetWindow();
// Runs the close sequence of a loaded window and unloads it (the main window's shutdown).
void UnloadSpreadSheet();
// Runs a command that opens, merges, imports or starts a network: a loaded sheet first offers to save
// its edits into the network they were made on, and afterwards shows the network as it now is.
void SpreadSheetAroundNetworkChange(const std::function<void()> &command);
