#include "tables/frmRLBase.h"

#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/levels_views.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/GridEdit.h"
#include "platform/ShellHooks.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "platform/WindowPlacement.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int LevelRows = 250; // the headings and levels 1 .. 249

} // namespace

frmRLBase::frmRLBase(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Level List");
    auto *outer = new QVBoxLayout(this);
    auto *bar = new QMenuBar(this);
    outer->setMenuBar(bar);
    auto *gridArea = new QWidget(this);
    GridRL = new VBGrid(gridArea);
    TxtEdit = new VBTextBox(gridArea);
    TxtEdit->hide();
    gridArea->setMinimumSize(300, 300);
    auto *gridLayout = new QVBoxLayout(gridArea);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->addWidget(GridRL);
    outer->addWidget(gridArea);
    RLOK = new QPushButton("OK", this);
    RLCancel = new QPushButton("Cancel", this);
    RLOK->setAutoDefault(false);
    RLCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(RLOK);
    buttons->addWidget(RLCancel);
    outer->addLayout(buttons);
    resize(400, 420);

    QMenu *file = bar->addMenu("File");
    items_["mnuFile"] = file->menuAction();
    connect(items_["mnuSave"] = file->addAction("Save"), &QAction::triggered, this,
            &frmRLBase::mnuSave_Click);
    items_["mnuSpc"] = file->addSeparator();
    connect(items_["mnuExit"] = file->addAction("Exit"), &QAction::triggered, this,
            &frmRLBase::mnuExit_Click);
    QMenu *edit = bar->addMenu("Edit");
    items_["mnuEdit"] = edit->menuAction();
    connect(items_["CopyData"] = edit->addAction("Copy  Ctrl+C"), &QAction::triggered, this,
            &frmRLBase::CopyData_Click);
    connect(items_["PasteData"] = edit->addAction("Paste  Ctrl+V"), &QAction::triggered, this,
            &frmRLBase::PasteData_Click);

    VB::DecimalKeyFilter::Install(GridRL);
    VB::DecimalKeyFilter::Install(TxtEdit);
    const auto nameColumn = [this] { return GridRL->Col() == 1; };
    VB::NameBox(GridRL, nameColumn);
    VB::NameBox(TxtEdit, nameColumn);
    connect(GridRL, &VBGrid::KeyPress, this, &frmRLBase::gridKeyPress);
    connect(GridRL, &VBGrid::KeyDown, this, &frmRLBase::gridKeyDown);
    connect(GridRL, &VBGrid::GotFocus, this, [this] { GridCommit(*GridRL, *TxtEdit); });
    connect(GridRL, &VBGrid::LeaveCell, this, [this] { GridCommit(*GridRL, *TxtEdit); });
    connect(TxtEdit, &VBTextBox::KeyDown, this,
            [this](int &code, int shift) { GridEditKey(*GridRL, *TxtEdit, code, shift); });
    connect(TxtEdit, &VBTextBox::KeyPress, this, [](int &key) {
        if (key == 13)
            key = 0;
    });
    connect(RLOK, &QPushButton::clicked, this, &frmRLBase::RLOK_Click);
    connect(RLCancel, &QPushButton::clicked, this, &frmRLBase::RLCancel_Click);
    VB_NAME_CONTROLS(GridRL, TxtEdit, RLOK, RLCancel);
}

frmRLBase::~frmRLBase() {
    VB::DetachChildSignals(*this);
}

QAction *frmRLBase::MenuItem(const std::string &name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

void frmRLBase::Form_Load() {
    LevelsChanged = false;
    VB::CentreOnMainWindow(*this);
    VBGrid &g = *GridRL;
    g.SetCols(4);
    g.SetRows(LevelRows);
    const int widths[] = {600, 1500, 1100, 1100};
    for (int c = 0; c < 4; ++c)
        g.SetColWidth(c, widths[c]);
    const std::string unit = UnitText(1, UnitSystem);
    g.SetTextMatrix(0, 0, "No");
    g.SetTextMatrix(0, 1, "Name");
    g.SetTextMatrix(0, 2, "RL High " + unit);
    g.SetTextMatrix(0, 3, "RL Low " + unit);
    g.SetColAlignment(1, VBGrid::AlignLeft);
    g.SetColAlignment(2, VBGrid::AlignRight);
    g.SetColAlignment(3, VBGrid::AlignRight);
    for (int level = 1; level < LevelRows; ++level) {
        g.SetTextMatrix(level, 0, std::to_string(level));
        if (LevelName(level).empty())
            continue;
        g.SetTextMatrix(level, 1, LevelName(level));
        g.SetTextMatrix(level, 2, FormatValue(static_cast<float>(LevelRange(level, 1)), 14, 0, 0));
        g.SetTextMatrix(level, 3, FormatValue(static_cast<float>(LevelRange(level, 2)), 14, 0, 0));
    }
    g.SetRow(1);
    g.SetCol(1);
}

void frmRLBase::gridKeyPress(int &keyAscii) {
    if (GridCommandKey(
            keyAscii, *TxtEdit,
            {[this] { CopyData_Click(); }, [this] { PasteData_Click(); }, [this] { RLCancel_Click(); }}))
        return;
    LevelsChanged = true;
    GridEditShow(*GridRL, *TxtEdit, keyAscii);
}

void frmRLBase::gridKeyDown(int &keyCode, int) {
    if (keyCode != 46)
        return;
    VBGrid &g = *GridRL;
    LevelsChanged = true;
    const int first = g.Row(), last = g.RowSel();
    const int n = last - first + 1;
    for (int r = std::max(first, 1); r <= last; ++r)
        for (int c = std::max(g.Col(), 1); c <= g.ColSel(); ++c)
            g.SetTextMatrix(r, c, "");
    // Name, RL High and RL Low all selected: the rows go, the levels below move up and the last rows empty.
    if (g.ColSel() - g.Col() != 2 || n < 1 || first < 1)
        return;
    for (int r = first; r < LevelRows; ++r)
        for (int c = 1; c <= 3; ++c)
            g.SetTextMatrix(r, c, r + n < LevelRows ? g.TextMatrix(r + n, c) : std::string());
}

void frmRLBase::CopyData_Click() {
    GridCopy(*GridRL);
}

void frmRLBase::PasteData_Click() {
    LevelsChanged = true;
    GridRL->SetRedraw(false);
    GridPasteRules rules;
    rules.writable = [](int row, int col) { return row >= 1 && col >= 1 && col <= 3; };
    GridPasteClipboard(*GridRL, rules);
    GridRL->SetRedraw(true);
}

void frmRLBase::RLOK_Click() {
    if (TxtEdit->isVisible()) {
        GridRL->SetText(TxtEdit->Text());
        TxtEdit->hide();
    }
    std::vector<std::string> namesBefore;
    std::vector<int32_t> rangesBefore;
    for (int level = 1; level < LevelRows; ++level) {
        namesBefore.push_back(LevelName(level));
        rangesBefore.push_back(LevelRange(level, 1));
        rangesBefore.push_back(LevelRange(level, 2));
    }
    std::vector<LevelGridRow> rows;
    for (int r = 1; r < LevelRows; ++r)
        rows.push_back({GridRL->TextMatrix(r, 1), GridRL->TextMatrix(r, 2), GridRL->TextMatrix(r, 3)});
    // A refused height keeps the table open on its cell, the levels as they were.
    if (const auto refused = CheckLevelRanges(std::move(rows))) {
        GridRL->SetRow(refused->first);
        GridRL->SetCol(refused->second);
        GridRL->SetFocus();
        return;
    }
    // The network file carries the levels.
    for (int level = 1; level < LevelRows; ++level) {
        const size_t i = static_cast<size_t>(level - 1);
        if (namesBefore[i] != LevelName(level) || rangesBefore[2 * i] != LevelRange(level, 1) ||
            rangesBefore[2 * i + 1] != LevelRange(level, 2))
            NetworkSaved = 0;
    }
    const int level = Shell().LevelScrollGetValue();
    if (LevelRange.InBounds(level, 2)) {
        RLWindowLow = LevelRange(level, 2);
        RLWindowHigh = LevelRange(level, 1);
        LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
    }
    RotateView();
    SetVisibleAirways();
    FitNetwork();
    Shell().LevelListSetIndex(Shell().LevelScrollGetValue() - 1);
    QDialog::done(QDialog::Accepted);
}

void frmRLBase::RLCancel_Click() {
    if (LevelsChanged &&
        !AskedToDropChanges("Save spreadsheet changes to network ?", [this] { RLOK_Click(); }))
        return;
    QDialog::done(QDialog::Rejected);
}

void frmRLBase::mnuSave_Click() {
    LevelsChanged = true;
    RLOK_Click();
}

void frmRLBase::mnuExit_Click() {
    RLCancel_Click();
}

void frmRLBase::reject() {
    // The close box and Esc outside the grid ask as Cancel does: typed levels are not thrown away unasked.
    RLCancel_Click();
}

void ShowLevelTable(QWidget *owner) {
    frmRLBase window(owner);
    window.Form_Load();
    VB::ShowModal(window);
}
