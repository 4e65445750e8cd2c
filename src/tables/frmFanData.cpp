#include "tables/frmFanData.h"

#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "model/text_files.h"
#include "model/units.h"
#include "model/value_rules.h"
#include "platform/Dialogs.h"
#include "platform/GridEdit.h"
#include "platform/PictureBoxView.h"
#include "platform/Printer.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBMath.h"
#include "platform/VBTextBox.h"
#include "platform/WindowPlacement.h"

#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int Points = 10;

void fanDatabaseChanged() {
    NetworkSaved = 0;
}

} // namespace

// One fan slot of the database, every curve point the arrays hold.
struct frmFanData::FanSlot {
    std::string name;
    float diameter = 0;
    std::vector<float> flow, statics, total;
    std::vector<int> efficiency;

    static FanSlot Take(int f) {
        FanSlot s{FanName(f), FanDiameter(f), {}, {}, {}, {}};
        for (int p = FanCurveFlow.LBound(0); p <= FanCurveFlow.UBound(0); ++p) {
            s.flow.push_back(FanCurveFlow(p, f));
            s.statics.push_back(FanCurvePressure(1, p, f));
            s.total.push_back(FanCurvePressure(2, p, f));
            s.efficiency.push_back(FanCurveEfficiency(p, f));
        }
        return s;
    }
    bool operator==(const FanSlot &) const = default;
    void Restore(int f) const {
        FanName(f) = name;
        FanDiameter(f) = diameter;
        int i = 0;
        for (int p = FanCurveFlow.LBound(0); p <= FanCurveFlow.UBound(0); ++p, ++i) {
            FanCurveFlow(p, f) = flow[i];
            FanCurvePressure(1, p, f) = statics[i];
            FanCurvePressure(2, p, f) = total[i];
            FanCurveEfficiency(p, f) = efficiency[i];
        }
    }
};

frmFanData::frmFanData(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Fan List");
    auto *outer = new QVBoxLayout(this);
    auto *bar = new QMenuBar(this);
    outer->setMenuBar(bar);
    auto *body = new QGridLayout;
    outer->addLayout(body);

    FanList = new VBListBox(this);
    FanList->setMinimumWidth(170);
    body->addWidget(FanList, 0, 0, 6, 1);

    TxtFanName = new VBTextBox(this);
    body->addWidget(TxtFanName, 0, 1, 1, 3);
    Label1 = new QLabel("Fan Exit Diameter", this);
    TxtOutDiam = new VBTextBox(this);
    LblUnit = new QLabel(this);
    body->addWidget(Label1, 1, 1);
    body->addWidget(TxtOutDiam, 1, 2);
    body->addWidget(LblUnit, 1, 3);

    // The grid's edit box lies in the grid's own container.
    auto *gridArea = new QWidget(this);
    Spreadsheet = new VBGrid(gridArea);
    TxtEdit = new VBTextBox(gridArea);
    TxtEdit->hide();
    Spreadsheet->SetRows(Points + 1);
    Spreadsheet->SetCols(5);
    Spreadsheet->setGeometry(0, 0, 262, Spreadsheet->RowHeight() / VBGrid::TwipsPerPixel * (Points + 1) + 4);
    gridArea->setFixedSize(Spreadsheet->size());
    body->addWidget(gridArea, 2, 1, 1, 3);

    ChkStatic = new VBCheckBox("Static Curve", this);
    ChkTotal = new VBCheckBox("Total Curve", this);
    ChkEff = new VBCheckBox("Efficiency Curve", this);
    auto *checks = new QHBoxLayout;
    checks->addWidget(ChkStatic);
    checks->addWidget(ChkTotal);
    checks->addWidget(ChkEff);
    body->addLayout(checks, 3, 1, 1, 3);

    // 3045 by 4005 twips inside its border; chart units -50 .. 1050 across and -50 .. 1150 down.
    PicFan = new PictureBoxView(203, 267, this);
    PictureBox &pic = PicFan->Picture();
    pic.ScaleLeft = -50;
    pic.ScaleTop = -50;
    pic.ScaleWidth = 1100;
    pic.ScaleHeight = 1200;
    pic.Cls();
    body->addWidget(PicFan, 0, 4, 5, 1);

    ExitFan = new QPushButton("OK", this);
    Cancel = new QPushButton("Cancel", this);
    Command2 = new QPushButton("Delete", this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ExitFan);
    buttons->addWidget(Cancel);
    buttons->addWidget(Command2);
    body->addLayout(buttons, 5, 1, 1, 4);
    ExitFan->setAutoDefault(false);
    Cancel->setAutoDefault(false);
    Command2->setAutoDefault(false);

    buildMenus(bar);
    VB::DecimalKeyFilter::Install(Spreadsheet);
    VB::DecimalKeyFilter::Install(TxtEdit);
    VB::DecimalKeyFilter::Install(TxtOutDiam);
    VB::NameBox(TxtFanName);

    connect(FanList, &VBListBox::Click, this, &frmFanData::FanList_Click);
    connect(ChkEff, &VBCheckBox::Click, this, &frmFanData::SetWidths);
    connect(ChkStatic, &VBCheckBox::Click, this, [this] { pressureCheckClick(ChkStatic, ChkTotal); });
    connect(ChkTotal, &VBCheckBox::Click, this, [this] { pressureCheckClick(ChkTotal, ChkStatic); });
    connect(Spreadsheet, &VBGrid::KeyPress, this, &frmFanData::gridKeyPress);
    connect(Spreadsheet, &VBGrid::KeyDown, this, &frmFanData::gridKeyDown);
    connect(Spreadsheet, &VBGrid::GotFocus, this, [this] { commitEdit(); });
    connect(Spreadsheet, &VBGrid::LeaveCell, this, [this] {
        commitEdit();
        DrawFanCurve();
    });
    connect(TxtEdit, &VBTextBox::KeyDown, this, [this](int &code, int shift) {
        GridEditKey(*Spreadsheet, *TxtEdit, code, shift);
        if (!TxtEdit->isVisible())
            DrawFanCurve();
    });
    connect(TxtEdit, &VBTextBox::KeyPress, this, [](int &key) {
        if (key == 13)
            key = 0;
    });
    connect(TxtFanName, &VBTextBox::GotFocus, TxtFanName, &QLineEdit::selectAll);
    connect(TxtFanName, &VBTextBox::KeyPress, this, &frmFanData::nameKeyPress);
    // Whatever changed the text (any key, a paste, a drop) renames the fan; a fill of the box does not.
    connect(TxtFanName, &QLineEdit::textEdited, this, &frmFanData::storeName);
    connect(TxtOutDiam, &VBTextBox::GotFocus, TxtOutDiam, &QLineEdit::selectAll);
    connect(TxtOutDiam, &VBTextBox::KeyPress, this, [this](int &key) {
        if (key == 13) {
            storeDiameter(false);
            key = 0;
        }
    });
    connect(TxtOutDiam, &VBTextBox::LostFocus, this, [this] { storeDiameter(true); });
    connect(ExitFan, &QPushButton::clicked, this, &frmFanData::ExitFan_Click);
    connect(Cancel, &QPushButton::clicked, this, &frmFanData::Cancel_Click);
    connect(Command2, &QPushButton::clicked, this, &frmFanData::Command2_Click);
    VB_NAME_CONTROLS(FanList, TxtFanName, Label1, TxtOutDiam, LblUnit, Spreadsheet, TxtEdit, PicFan,
                     ChkStatic, ChkTotal, ChkEff, ExitFan, Cancel, Command2);
}

frmFanData::~frmFanData() {
    VB::DetachChildSignals(*this);
}

void frmFanData::buildMenus(QMenuBar *bar) {
    const auto add = [this](QMenu *menu, const std::string &name, const char *caption, auto handler) {
        QAction *a = menu->addAction(caption);
        items_[name] = a;
        connect(a, &QAction::triggered, this, handler);
    };
    QMenu *file = bar->addMenu("File");
    items_["mnuFile"] = file->menuAction();
    add(file, "mnuSave", "Save as default", &frmFanData::mnuSave_Click);
    file->addSeparator();
    add(file, "mnuPrintF", "Print Form", &frmFanData::mnuPrintF_Click);
    file->addSeparator();
    add(file, "mnuex", "Exit", &frmFanData::mnuex_Click);
    QMenu *edit = bar->addMenu("Edit");
    items_["mnuEdit"] = edit->menuAction();
    add(edit, "mnuCopy", "Copy  Ctrl+C", &frmFanData::mnuCopy_Click);
    add(edit, "mnuPaste", "Paste  Ctrl+V", &frmFanData::mnuPaste_Click);
    edit->addSeparator();
    add(edit, "mnuDelete", "Delete Fan", &frmFanData::Command2_Click);
    QMenu *tools = bar->addMenu("Tools");
    items_["mnuTools"] = tools->menuAction();
    QMenu *staticMenu = tools->addMenu("Estimate Static Curve");
    items_["mnuStatic"] = staticMenu->menuAction();
    add(staticMenu, "mnuStaticCurrent", "Current", &frmFanData::mnuStaticCurrent_Click);
    add(staticMenu, "mnuStaticAll", "All", &frmFanData::mnuStaticAll_Click);
    QMenu *totalMenu = tools->addMenu("Estimate Total Curve");
    items_["mnuTotal"] = totalMenu->menuAction();
    add(totalMenu, "mnuTotalCurrent", "Current", &frmFanData::mnuTotalCurrent_Click);
    add(totalMenu, "mnuTotalAll", "All", &frmFanData::mnuTotalAll_Click);
}

QAction *frmFanData::MenuItem(const std::string &name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

std::string frmFanData::listEntry(int fan, const std::string &name) {
    return VB::Str(fan) + " " + name;
}

// ---- Filling ----

void frmFanData::Form_Load() {
    opened_.clear();
    for (int f = FanName.LBound(); f <= FanName.UBound(); ++f)
        opened_.push_back(FanSlot::Take(f));
    openedNetworkSaved_ = NetworkSaved;
    resize(width(), 6440 / VBGrid::TwipsPerPixel);
    VB::CentreOnMainWindow(*this);
    CurrentFan = 1;
    FillFanList();
}

void frmFanData::FillFanList() {
    FanList->clear();
    for (int f = 1; f <= MaxFans; ++f)
        FanList->AddItem(listEntry(f, FanName(f).empty() ? "-none-" : FanName(f)));
    FanList->SetListIndex(0);
    CurrentFan = FanList->ListIndex() + 1;
    FillCurveGrid();
    FanCurveSet();
    SetWidths();
}

void frmFanData::FanList_Click() {
    // An edit still open belongs to the fan being left.
    if (TxtEdit->isVisible()) {
        commitEdit();
        DrawFanCurve();
    }
    CheckZeroEfficiency();
    if (FanList->ListIndex() < 0)
        return;
    CurrentFan = FanList->ListIndex() + 1;
    FillCurveGrid();
}

void frmFanData::FillCurveGrid() {
    const int f = CurrentFan;
    if (f < 1 || f > MaxFans)
        return;
    TxtFanName->SetText(FanName(f).empty() ? "-none-" : FanName(f));
    if (FanDiameter(f) != 0) {
        TxtOutDiam->SetText(FormatValue(FanDiameter(f), 1, 0, -1));
        LblUnit->setText(ToQt(UnitText(1, UnitSystem)));
    } else {
        TxtOutDiam->SetText("n/a");
    }
    FanCurveSet();
    VBGrid &g = *Spreadsheet;
    g.SetTextMatrix(0, 0, "Point");
    g.SetTextMatrix(0, 1, "Ps " + UnitText(8, UnitSystem));
    g.SetTextMatrix(0, 2, "Pt " + UnitText(8, UnitSystem));
    g.SetTextMatrix(0, 3, "Q " + UnitText(4, UnitSystem));
    g.SetTextMatrix(0, 4, "Efc%");
    // A column is left blank only when it holds no value at all.
    const bool noStatic = ColumnEmpty(f, 1), noTotal = ColumnEmpty(f, 2), noFlow = ColumnEmpty(f, 3),
               noEfficiency = ColumnEmpty(f, 4);
    for (int p = 1; p <= Points; ++p) {
        const float values[] = {0, FanCurvePressure(1, p, f), FanCurvePressure(2, p, f), FanCurveFlow(p, f),
                                static_cast<float>(FanCurveEfficiency(p, f))};
        const std::string texts[] = {std::to_string(p), noStatic ? "" : FormatValue(values[1], 8, 0, 0),
                                     noTotal ? "" : FormatValue(values[2], 8, 0, 0),
                                     noFlow ? "" : FormatValue(values[3], 4, 0, 0),
                                     noEfficiency ? "" : std::to_string(FanCurveEfficiency(p, f))};
        for (int c = 0; c <= 4; ++c) {
            g.SetTextMatrix(p, c, texts[c]);
            shown_[p][c] = {texts[c], values[c]};
        }
    }
    shownFan_ = f;
    DrawFanCurve();
}

bool frmFanData::ColumnEmpty(int fan, int column) {
    for (int p = 1; p <= Points; ++p) {
        const float value = column == 1   ? FanCurvePressure(1, p, fan)
                            : column == 2 ? FanCurvePressure(2, p, fan)
                            : column == 3 ? FanCurveFlow(p, fan)
                                          : static_cast<float>(FanCurveEfficiency(p, fan));
        if (value != 0)
            return false;
    }
    return true;
}

void frmFanData::FanCurveSet() {
    const int f = CurrentFan;
    if (f < 1 || f > MaxFans)
        return;
    ChkStatic->SetValue(true);
    ChkTotal->SetValue(true);
    ChkEff->SetValue(true);
    StaticEmpty = TotalEmpty = FlowEmpty = EfficiencyEmpty = false;
    if (FanCurvePressure(2, 1, f) == FanCurvePressure(2, Points, f)) {
        TotalEmpty = true;
        ChkTotal->SetValue(false);
    }
    if (FanCurvePressure(1, 1, f) == FanCurvePressure(1, Points, f)) {
        StaticEmpty = true;
        ChkStatic->SetValue(false);
    }
    if (FanCurveFlow(1, f) == FanCurveFlow(Points, f))
        FlowEmpty = true;
    if (FanCurveEfficiency(Points, f) == 0 && FanCurveEfficiency(1, f) == 0) {
        EfficiencyEmpty = true;
        ChkEff->SetValue(false);
    }
    if (!ChkStatic->isChecked() && !ChkTotal->isChecked())
        ChkStatic->SetValue(true);
}

void frmFanData::SetWidths() {
    VBGrid &g = *Spreadsheet;
    g.SetColWidth(0, 600);
    g.SetColWidth(1, ChkStatic->isChecked() ? 800 : 0);
    g.SetColWidth(2, ChkTotal->isChecked() ? 800 : 0);
    g.SetColWidth(3, 800);
    g.SetColWidth(4, ChkEff->isChecked() ? 600 : 0);
}

void frmFanData::pressureCheckClick(VBCheckBox *clicked, VBCheckBox *other) {
    // At least one pressure column always shows.
    if (!clicked->isChecked() && !other->isChecked())
        clicked->SetValue(true);
    else
        SetWidths();
}

// ---- Cells ----

void frmFanData::gridKeyPress(int &keyAscii) {
    if (GridCommandKey(
            keyAscii, *TxtEdit,
            {[this] { mnuCopy_Click(); }, [this] { mnuPaste_Click(); }, [this] { Cancel_Click(); }}))
        return;
    GridEditShow(*Spreadsheet, *TxtEdit, keyAscii);
}

void frmFanData::gridKeyDown(int &keyCode, int) {
    if (keyCode == 46)
        DeleteCells();
    fanDatabaseChanged();
}

bool frmFanData::refusedPoint(int col, const std::string &text, Value &rule) {
    const int units[] = {0, Quantity::Pressure, Quantity::Pressure, Quantity::Airflow, 0};
    const auto v = VB::StrictNumber(text, ',');
    if (!v || col < 1 || col > 4)
        return false;
    rule = col == 3 ? Value::FanFlow : col == 4 ? Value::FanEfficiency : Value::FanPressure;
    float display = static_cast<float>(*v);
    return !InRange(rule, units[col] == 0 ? display : FromDisplayUnits(display, units[col]));
}

bool frmFanData::commitEdit() {
    const std::string before = Spreadsheet->Text();
    if (!GridCommit(*Spreadsheet, *TxtEdit))
        return true;
    const std::string typed = Spreadsheet->Text();
    Value rule{};
    const bool refused = refusedPoint(Spreadsheet->Col(), typed, rule);
    if (typed == before || (VB::StrictNumber(typed, ',') && !refused) || Spreadsheet->Col() < 1)
        return true;
    // An empty or unreadable cell would silently take the point above's value.
    Spreadsheet->SetText(before);
    VB::MsgBox((refused ? RangeText(rule) : std::string("A curve point needs a number")) +
               ": the cell keeps " + (before.empty() ? "no value" : before) + ".");
    return false;
}

bool frmFanData::databaseChanged() const {
    int f = FanName.LBound();
    for (const FanSlot &slot : opened_)
        if (!(FanSlot::Take(f++) == slot))
            return true;
    return false;
}

void frmFanData::DeleteCells() {
    VBGrid &g = *Spreadsheet;
    const int top = std::max(g.Row(), 1), bottom = g.RowSel();
    bool kept = false;
    for (int c = std::max(g.Col(), 1); c <= g.ColSel(); ++c) {
        // A column is blank as a whole (no curve) or a number at every point: an empty cell among
        // values would silently take the point above's value.
        bool othersBlank = true, selectionBlank = true;
        for (int p = 1; p <= Points; ++p)
            (p >= top && p <= bottom ? selectionBlank : othersBlank) &= g.TextMatrix(p, c).empty();
        if (othersBlank) {
            for (int r = top; r <= bottom; ++r)
                g.SetTextMatrix(r, c, "");
        } else {
            kept = kept || !selectionBlank;
        }
    }
    if (kept)
        VB::MsgBox("A curve point needs a number: a column is cleared whole or not at all.");
}

void frmFanData::mnuCopy_Click() {
    GridCopy(*Spreadsheet);
}

void frmFanData::mnuPaste_Click() {
    GridPasteRules rules;
    rules.writable = [](int row, int col) { return row >= 1 && col >= 1; };
    rules.accept = [](int, int col, const std::string &piece) {
        Value rule{};
        if (refusedPoint(col, piece, rule))
            throw ValueRefused(rule);
    };
    // A value refused is said and left out; the paste goes on.
    rules.step = [](const std::function<void()> &work) {
        try {
            work();
        } catch (const ValueRefused &e) {
            VB::MsgBox(e.what(), VB::vbExclamation);
        }
        return true;
    };
    GridPasteClipboard(*Spreadsheet, rules);
    DrawFanCurve();
}

// ---- Name and diameter ----

void frmFanData::storeName() {
    const std::string name = TxtFanName->Text();
    if (FanName(CurrentFan) != name)
        fanDatabaseChanged();
    FanName(CurrentFan) = name;
    FanList->SetList(CurrentFan - 1, listEntry(CurrentFan, name));
}

void frmFanData::nameKeyPress(int &keyAscii) {
    if (keyAscii == 13) {
        storeName();
        keyAscii = 0;
        FanList->setFocus();
    }
}

bool frmFanData::storeDiameter(bool onLeaving) {
    // The box loses the focus as the window goes: the database may already be given back.
    if (unloading_)
        return true;
    const std::string text = TxtOutDiam->Text();
    float display = 0;
    if (!onLeaving) {
        display = static_cast<float>(LenientValue(text));
    } else if (!text.empty()) {
        // A text that is not a number ("n/a" for no diameter) keeps the stored diameter.
        const auto v = VB::StrictNumber(text, ',');
        if (!v)
            return true;
        display = static_cast<float>(*v);
    }
    const float metres = FromDisplayUnits(display, 1);
    if (!InRange(Value::FanDiameter, metres)) {
        VB::MsgBox(RangeText(Value::FanDiameter), VB::vbExclamation);
        return false;
    }
    if (FanDiameter(CurrentFan) != metres)
        fanDatabaseChanged();
    FanDiameter(CurrentFan) = metres;
    return true;
}

// ---- Fans ----

void frmFanData::Command2_Click() {
    if (VB::MsgBox("Are you sure you want to delete fan?", VB::vbOKCancel | VB::vbQuestion, "DELETE") ==
        VB::vbOK) {
        const int f = CurrentFan;
        FanName(f).clear();
        for (int p = 1; p <= Points; ++p) {
            FanCurvePressure(1, p, f) = 0;
            FanCurvePressure(2, p, f) = 0;
            FanCurveFlow(p, f) = 0;
        }
        fanDatabaseChanged();
    }
    FillFanList();
}

void frmFanData::CheckZeroEfficiency() {
    const int f = CurrentFan;
    if (f < 1 || f > MaxFans)
        return;
    int zeros = 0;
    for (int p = 1; p <= Points; ++p)
        zeros += FanCurveEfficiency(p, f) == 0 ? 1 : 0;
    // A fan without any efficiency data stays without.
    if (zeros < 1 || zeros > 9)
        return;
    VB::MsgBox("Your fan curve contains " + std::to_string(zeros) + " zero efficiency value(s)\r\n" +
               "Replacing these with the default efficiency value!");
    const int standard = VB::CInt(AirPowerEfficiency * 100.0).value_or(0);
    for (int p = 1; p <= Points; ++p)
        if (FanCurveEfficiency(p, f) == 0)
            FanCurveEfficiency(p, f) = standard;
    fanDatabaseChanged();
}

void frmFanData::mnuSave_Click() {
    const std::string replaced = FanFileReplacement();
    if (VB::MsgBox("Are you sure you want to save to default database ?" +
                       (replaced.empty() ? std::string() : "\r\n\r\n" + replaced),
                   VB::vbOKCancel | VB::vbQuestion, "Save Fan Database") != VB::vbOK)
        return;
    CheckZeroEfficiency();
    SaveFanData();
}

void frmFanData::mnuPrintF_Click() {
    // A failure ends the command without a message.
    VB::PrintWindowImage(*this, CurrentLine);
}

// ---- Closing ----

void frmFanData::unloadWindow(bool keep) {
    if (unloading_)
        return;
    unloading_ = true;
    if (keep) {
        CheckZeroEfficiency();
    } else {
        int f = FanName.LBound();
        for (const FanSlot &slot : opened_)
            slot.Restore(f++);
        NetworkSaved = openedNetworkSaved_;
    }
    QDialog::done(keep ? QDialog::Accepted : QDialog::Rejected);
}

void frmFanData::ExitFan_Click() {
    // A refused cell or diameter keeps the window open on it.
    if (TxtEdit->isVisible()) {
        const bool kept = commitEdit();
        DrawFanCurve();
        if (!kept) {
            Spreadsheet->SetFocus();
            return;
        }
    }
    if (TxtOutDiam->isModified() && !storeDiameter(true)) {
        TxtOutDiam->SetFocus();
        TxtOutDiam->selectAll();
        return;
    }
    CheckZeroEfficiency();
    unloadWindow(true);
}

void frmFanData::Cancel_Click() {
    if (unloading_)
        return;
    // A diameter typed but not yet stored is an edit too.
    if (TxtOutDiam->isModified())
        storeDiameter(true);
    // Any edit asks, however it was made, and only a change does: keys that end where they began (a
    // cell emptied and given back) leave nothing to save. No, like a close without edits, gives back the
    // database the window opened on.
    const bool typing = TxtEdit->isVisible() && TxtEdit->Text() != Spreadsheet->Text();
    if ((typing || databaseChanged()) &&
        !AskedToDropChanges("Save fan changes to network ?", [this] { ExitFan_Click(); }))
        return;
    TxtEdit->hide();
    unloadWindow(false);
}

void frmFanData::mnuex_Click() {
    Cancel_Click();
}

void frmFanData::reject() {
    // The close box and Esc outside the grid: Cancel.
    Cancel_Click();
}

void ShowFanDatabase(QWidget *owner) {
    frmFanData window(owner);
    window.Form_Load();
    VB::ShowModal(window);
}
