#pragma once
// In-place editing of a grid's cells: each table window keeps a text box hidden over its grid. A key typed
// in the grid opens the box over the current cell (GridEditShow); the navigation keys pressed in the box
// move the current cell (GridEditKey), and the window's LeaveCell and GotFocus handlers commit the box's
// text into the cell being left (GridCommit). Clipboard blocks are TAB-separated cells, CR LF per row.
#include <functional>
#include <string>

class VBGrid;
class VBTextBox;

// Called with a character typed in the grid (32 for a double click). Esc: the code becomes 0. Enter and
// Tab move one row down or one column right. Any other code opens the box over the current cell: a
// control code or blank with the cell's text and the caret at its end, a character as the new text.
void GridEditShow(VBGrid &grid, VBTextBox &box, int &keyAscii);
// Called with the box's KeyDown. Esc hides the box without a commit and is consumed, so the window (a
// dialog would close) never sees it; Enter and Down move one row down, Up one row up (not above row 1),
// Tab one column right (the key is consumed); each gives the grid the focus, so the move or the focus
// commits the text.
void GridEditKey(VBGrid &grid, VBTextBox &box, int &keyCode, int shift);
// When the box is open: its text into the current cell, the box hidden. Returns whether it committed.
bool GridCommit(VBGrid &grid, VBTextBox &box);

// The command keys of a table window's grid: Ctrl+C runs its copy, Ctrl+V its paste, Esc with the box
// hidden its cancel (when it has one). Returns whether the key was one of them; other keys go on to
// GridEditShow.
struct GridCommands {
    std::function<void()> copy, paste, cancel;
};
bool GridCommandKey(int keyAscii, const VBTextBox &box, const GridCommands &commands);

// A table window's question before it closes with changes ("Save ... changes to network ?", box title
// "Save changes", Yes, No and Cancel): Yes runs `keep`, Cancel goes back to the window with its changes.
// True only for No: the window then closes without them.
bool AskedToDropChanges(const std::string &prompt, const std::function<void()> &keep);

// The cells from the current cell to the far corner of the selection, each followed by a TAB, the last
// TAB of each row replaced by CR LF; empty when the far corner lies above or left of the current cell.
std::string GridCopyText(const VBGrid &grid);
// The same text put on the clipboard.
void GridCopy(const VBGrid &grid);
// Walks clipboard text into the grid from the current cell: LF is ignored, TAB and CR end a field, which
// goes into the target cell when `writable` allows it (then `written` runs for that cell); the target
// moves one column right and, at a CR, back to the first column one row down. A piece after the last TAB
// or CR is written too. A value that falls below the last row first has `addRow` append a row (false, or
// no `addRow`, ends the paste there); no row is added for nothing. Passes repeat while the target row has
// not passed the selection's last row and the pass reached a new row, so a short block fills a taller
// selection and every paste ends. `step` runs each cell write and row addition, so the caller can handle
// a failure of one. `accept` runs before a cell is written: what it throws leaves the cell as it was.
struct GridPasteRules {
    std::function<bool(int row, int col)> writable;
    std::function<void(int row, int col, const std::string &piece)> accept;
    std::function<void(int row, int col)> written;
    std::function<bool()> addRow;
    std::function<bool(const std::function<void()> &work)> step;
};
void GridPaste(VBGrid &grid, const std::string &text, const GridPasteRules &rules);
// The clipboard's text pasted so.
void GridPasteClipboard(VBGrid &grid, const GridPasteRules &rules);
