#include "platform/GridEdit.h"

#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

void GridEditShow(VBGrid &grid, VBTextBox &box, int &keyAscii) {
    switch (keyAscii) {
    case 27:
        keyAscii = 0;
        return;
    case 13:
        if (grid.Row() < grid.Rows() - 1)
            grid.SetRow(grid.Row() + 1);
        return;
    case 9:
        if (grid.Col() < grid.Cols() - 1)
            grid.SetCol(grid.Col() + 1);
        return;
    default:
        break;
    }
    if (keyAscii >= 0 && keyAscii <= 32) {
        box.SetText(grid.Text());
        box.SetSelStart(1000);
    } else {
        box.SetText(std::string(1, static_cast<char>(keyAscii)));
        box.SetSelStart(1);
    }
    // The cell's place in twips relative to the grid, then in the box's container.
    const QPoint cell(grid.CellLeft() / VBGrid::TwipsPerPixel, grid.CellTop() / VBGrid::TwipsPerPixel);
    const QPoint topLeft =
        box.parentWidget() ? box.parentWidget()->mapFromGlobal(grid.mapToGlobal(cell)) : cell;
    box.setGeometry(topLeft.x(), topLeft.y(), grid.CellWidth() / VBGrid::TwipsPerPixel,
                    grid.CellHeight() / VBGrid::TwipsPerPixel);
    box.raise();
    box.show();
    box.SetFocus();
}

void GridEditKey(VBGrid &grid, VBTextBox &box, int &keyCode, int) {
    switch (keyCode) {
    case 27:
        keyCode = 0;
        box.hide();
        grid.SetFocus();
        break;
    case 13:
        if (grid.Row() < grid.Rows() - 1)
            grid.SetRow(grid.Row() + 1);
        grid.SetFocus();
        VB::DoEvents();
        box.hide();
        break;
    case 9:
        if (grid.Col() < grid.Cols() - 1)
            grid.SetCol(grid.Col() + 1);
        keyCode = 0;
        grid.SetFocus();
        VB::DoEvents();
        box.hide();
        break;
    case 38:
        if (grid.Row() > 1)
            grid.SetRow(grid.Row() - 1);
        grid.SetFocus();
        VB::DoEvents();
        break;
    case 40:
        if (grid.Row() < grid.Rows() - 1)
            grid.SetRow(grid.Row() + 1);
        grid.SetFocus();
        VB::DoEvents();
        break;
    default:
        break;
    }
}

bool GridCommit(VBGrid &grid, VBTextBox &box) {
    if (!box.isVisible())
        return false;
    grid.SetText(box.Text());
    box.hide();
    return true;
}

bool GridCommandKey(int keyAscii, const VBTextBox &box, const GridCommands &commands) {
    const std::function<void()> *command = nullptr;
    if (keyAscii == 3)
        command = &commands.copy;
    else if (keyAscii == 22)
        command = &commands.paste;
    else if (keyAscii == 27 && !box.isVisible() && commands.cancel)
        command = &commands.cancel;
    if (command == nullptr)
        return false;
    if (*command)
        (*command)();
    return true;
}

bool AskedToDropChanges(const std::string &prompt, const std::function<void()> &keep) {
    const int answer = VB::MsgBox(prompt, VB::vbYesNoCancel, "Save changes");
    if (answer == VB::vbYes)
        keep();
    return answer == VB::vbNo;
}

void GridCopy(const VBGrid &grid) {
    QGuiApplication::clipboard()->clear();
    QGuiApplication::clipboard()->setText(ToQt(GridCopyText(grid)));
}

void GridPasteClipboard(VBGrid &grid, const GridPasteRules &rules) {
    GridPaste(grid, FromQt(QGuiApplication::clipboard()->text()), rules);
}

std::string GridCopyText(const VBGrid &grid) {
    std::string text;
    for (int r = grid.Row(); r <= grid.RowSel(); ++r) {
        if (grid.ColSel() < grid.Col())
            break;
        for (int c = grid.Col(); c <= grid.ColSel(); ++c)
            text += grid.TextMatrix(r, c) + '\t';
        text.pop_back();
        text += "\r\n";
    }
    return text;
}

void GridPaste(VBGrid &grid, const std::string &text, const GridPasteRules &rules) {
    const auto run = [&](const std::function<void()> &work) {
        if (rules.step)
            return rules.step(work);
        work();
        return true;
    };
    const int firstCol = grid.Col();
    int row = grid.Row(), col = firstCol;
    // Writes one piece at (row, col); false ends the paste.
    const auto write = [&](const std::string &piece) {
        // Rows are added below the last one only for a value to go into.
        while (!piece.empty() && row >= grid.Rows()) {
            if (!rules.addRow)
                return true;
            const int rows = grid.Rows();
            bool added = false;
            if (!run([&] { added = rules.addRow(); }) || !added || grid.Rows() <= rows)
                return false;
        }
        if (row >= grid.Rows() || col >= grid.Cols() || (rules.writable && !rules.writable(row, col)))
            return true;
        return run([&] {
            if (rules.accept)
                rules.accept(row, col, piece);
            grid.SetTextMatrix(row, col, piece);
            if (rules.written)
                rules.written(row, col);
        });
    };
    std::string piece;
    for (;;) {
        const int passStart = row;
        for (const char ch : text) {
            if (ch == '\n')
                continue;
            if (ch != '\t' && ch != '\r') {
                piece += ch;
                continue;
            }
            if (!write(piece))
                return;
            piece.clear();
            ++col;
            if (ch == '\r') {
                ++row;
                col = firstCol;
            }
        }
        // A last piece without TAB or line end is pasted too, and ends its line.
        if (!piece.empty()) {
            if (!write(piece))
                return;
            piece.clear();
            if (row != passStart) {
                ++row;
                col = firstCol;
            }
        }
        if (row > grid.RowSel() || row == passStart)
            return;
    }
}
