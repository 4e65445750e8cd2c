// The airway edit dialog's window: its controls, loading, the behaviour of every field while the user
// types, and the ways of closing it.
#include "dialogs/frmAirEdit.h"

#include "dialogs/airway_dialogs.h"
#include "dialogs/dialog_state.h"
#include "dialogs/dialog_support.h"
#include "dialogs/frmShock.h"
#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/undo.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

// ---- Shape swatches ----

ShapeSwatch::ShapeSwatch(int shape, QWidget *parent) : QWidget(parent), shape_(shape) {
    setFixedSize(28, 28);
}

void ShapeSwatch::SetFillColour(int32_t vbColour) {
    colour_ = vbColour;
    update();
}

void ShapeSwatch::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(colour_ & 0xFF, (colour_ >> 8) & 0xFF, (colour_ >> 16) & 0xFF));
    const QRectF r = QRectF(rect()).adjusted(3, 3, -3, -3);
    if (shape_ == 0) {
        painter.drawRect(r);
    } else if (shape_ == 1) {
        painter.drawEllipse(r);
    } else {
        const QPointF points[] = {{r.left() + 2, r.bottom()},
                                  {r.left(), r.top() + 6},
                                  {r.center().x(), r.top()},
                                  {r.right(), r.top() + 8},
                                  {r.right() - 2, r.bottom()}};
        painter.drawPolygon(points, 5);
    }
}

// ---- Building ----

namespace {

// Names a new control (when given) and sets its tip (when given).
template <typename W> W *named(W *w, const char *name, const char *tip) {
    if (name != nullptr)
        w->setObjectName(name);
    if (tip != nullptr)
        w->setToolTip(tip);
    return w;
}

QLineEdit *lineEdit(QWidget *parent, const char *name, const char *tip = nullptr) {
    return named(new QLineEdit(parent), name, tip);
}

VBCheckBox *checkBox(QWidget *parent, const char *name, const char *caption, const char *tip = nullptr) {
    return named(new VBCheckBox(caption, parent), name, tip);
}

VBComboBox *comboBox(QWidget *parent, const char *name, const char *tip, bool editable) {
    auto *combo = named(new VBComboBox(parent), name, tip);
    if (editable)
        VB::MakeEditable(combo);
    return combo;
}

QPushButton *button(QWidget *parent, const char *name, const char *caption, const char *tip = nullptr) {
    auto *b = named(new QPushButton(caption, parent), name, tip);
    b->setAutoDefault(false);
    return b;
}

QLabel *label(QWidget *parent, const char *caption, const char *tip = nullptr) {
    return named(new QLabel(caption, parent), nullptr, tip);
}

} // namespace

frmAirEdit::frmAirEdit(QWidget *parent) : CancelOnClose(parent) {
    setWindowTitle("Airway Edit");
    buildControls();
    connectHandlers();
    Form_Load();
}

frmAirEdit::~frmAirEdit() = default;

void frmAirEdit::buildControls() {
    CmdResetSekection = button(this, "CmdResetSekection", "Reset Selection");
    Info = button(this, "Info", "Info");
    Prnter = button(this, "Prnter", "Print");
    cmdCancel = button(this, "cmdCancel", "Cancel");
    OK = button(this, "OK", "OK");
    CmdResetSekection->hide();

    Frame4 = new QGroupBox("Airway Data", this);
    auto *data = new QGridLayout(Frame4);
    TxtUnique = lineEdit(Frame4, "TxtUnique", "ID Number");
    LblFrom = lineEdit(Frame4, "LblFrom", "Entry node name");
    LblTo = lineEdit(Frame4, "LblTo", "Exit node name");
    TxtName = lineEdit(Frame4, "TxtName", "Airway name");
    CheckDirection = checkBox(Frame4, "CheckDirection", "Fix Direction", "Fix airway direction");
    CheckFix = checkBox(Frame4, "CheckFix", "Quantity", "Fix flow");
    ChkPress = checkBox(Frame4, "ChkPress", "Pressure", "Fix pressure");
    CheckLength = checkBox(Frame4, "CheckLength", "Length", "Fix length");
    ChkFixRes = checkBox(Frame4, "ChkFixRes", "Resist", "Fix resistance");
    ChkFixK = checkBox(Frame4, "ChkFixK", "K Factor", "Fix friction factor");
    ChkShock = checkBox(Frame4, "ChkShock", "Shock", "Fix shock loss");
    TxtFlow = lineEdit(Frame4, "TxtFlow");
    TxtPres = lineEdit(Frame4, "TxtPres");
    TxtLength = lineEdit(Frame4, "TxtLength");
    TxtFixRes = lineEdit(Frame4, "TxtFixRes");
    TxtWall = lineEdit(Frame4, "TxtWall");
    TxtShock = lineEdit(Frame4, "TxtShock");
    for (size_t i = 0; i < LblUnit.size(); ++i)
        LblUnit[i] = new QLabel(this);
    data->addWidget(label(Frame4, "ID"), 0, 0);
    data->addWidget(TxtUnique, 0, 1);
    data->addWidget(CheckDirection, 0, 2, 1, 2);
    data->addWidget(label(Frame4, "From"), 1, 0);
    data->addWidget(LblFrom, 1, 1, 1, 3);
    data->addWidget(label(Frame4, "To"), 2, 0);
    data->addWidget(LblTo, 2, 1, 1, 3);
    data->addWidget(label(Frame4, "Name"), 3, 0);
    data->addWidget(TxtName, 3, 1, 1, 3);
    const std::array<std::pair<VBCheckBox *, QLineEdit *>, 6> fixRows{{{CheckFix, TxtFlow},
                                                                       {ChkPress, TxtPres},
                                                                       {CheckLength, TxtLength},
                                                                       {ChkFixRes, TxtFixRes},
                                                                       {ChkFixK, TxtWall},
                                                                       {ChkShock, TxtShock}}};
    for (size_t i = 0; i < fixRows.size(); ++i) {
        const int row = 4 + static_cast<int>(i);
        data->addWidget(fixRows[i].first, row, 0);
        data->addWidget(fixRows[i].second, row, 1, 1, 2);
        LblUnit[i]->setParent(Frame4);
        data->addWidget(LblUnit[i], row, 3);
    }

    Frame3 = new QGroupBox("Preset Values", this);
    auto *presets = new QGridLayout(Frame3);
    ResCombo = comboBox(Frame3, "ResCombo", "Preset resistances", false);
    WallCombo = comboBox(Frame3, "WallCombo", "Preset friction factors", false);
    ShockCombo = comboBox(Frame3, "ShockCombo", "Preset shock loss lengths", false);
    LblRes = label(Frame3, "Res");
    LblWall = label(Frame3, "Wall");
    LblShock = label(Frame3, "Shock");
    CmdShock = button(Frame3, "CmdShock", "Shock");
    CmdOriface = button(Frame3, "CmdOriface", "Orifice");
    ReCalc = button(Frame3, "ReCalc", "Recalc");
    presets->addWidget(LblRes, 0, 0);
    presets->addWidget(ResCombo, 0, 1);
    presets->addWidget(LblWall, 1, 0);
    presets->addWidget(WallCombo, 1, 1);
    presets->addWidget(LblShock, 2, 0);
    presets->addWidget(ShockCombo, 2, 1);
    auto *presetButtons = new QHBoxLayout;
    presetButtons->addWidget(CmdShock);
    presetButtons->addWidget(CmdOriface);
    presetButtons->addWidget(ReCalc);
    presets->addLayout(presetButtons, 3, 0, 1, 2);

    Frame2 = new QGroupBox("Fan(s) Selection", this);
    auto *fans = new QGridLayout(Frame2);
    FanCombo2 = comboBox(Frame2, "FanCombo2", "Fan selection", false);
    TxtFanN = lineEdit(Frame2, "TxtFanN", "Number of fans");
    Label1 = label(Frame2, "Fans");
    VSF = new QScrollBar(Qt::Vertical, Frame2);
    VSF->setObjectName("VSF");
    VSF->setRange(0, 10);
    VSF->setFixedHeight(36);
    OptPar2 = new VBOptionButton("Parallel", Frame2);
    OptPar2->setToolTip("Fans in parallel");
    OptSer2 = new VBOptionButton("Series", Frame2);
    OptSer2->setToolTip("Fans in series");
    Optcurve[0] = checkBox(Frame2, "Optcurve(0)", "Use Static", "Use fan static pressure curve");
    Optcurve[1] = checkBox(Frame2, "Optcurve(1)", "Use Total", "Use fan total pressure curve");
    Optcurve[2] = checkBox(Frame2, "Optcurve(2)", "Use Combo", "Use combination of static and total curves");
    TxtCPart = lineEdit(Frame2, "TxtCPart", "% of useful velocity pressure");
    LblCPart = label(Frame2, "% Pv", "Percentage Velocity Pressure");
    TxtCPart->hide();
    LblCPart->hide();
    fans->addWidget(FanCombo2, 0, 0, 1, 4);
    fans->addWidget(Label1, 1, 0);
    fans->addWidget(TxtFanN, 1, 1);
    fans->addWidget(VSF, 1, 2);
    fans->addWidget(OptPar2, 2, 0, 1, 2);
    fans->addWidget(OptSer2, 2, 2, 1, 2);
    for (int i = 0; i < 3; ++i)
        fans->addWidget(Optcurve[static_cast<size_t>(i)], 3 + i, 0, 1, 2);
    fans->addWidget(TxtCPart, 5, 2);
    fans->addWidget(LblCPart, 5, 3);

    Frame1 = new QGroupBox("Airway Settings", this);
    auto *settings = new QGridLayout(Frame1);
    txtRemote = comboBox(Frame1, "txtRemote", "Realtime Station Name", false);
    LblRemote = label(Frame1, "Station");
    CmbPrimary = comboBox(Frame1, "CmbPrimary", "Primary View Layer", true);
    Label5 = label(Frame1, "Prim Layer");
    CmbSecond = comboBox(Frame1, "CmbSecond", "Secondary View Layer", true);
    Label6 = label(Frame1, "Sec Layer");
    TxtMultiAir = lineEdit(Frame1, "TxtMultiAir", "Number of parallel airways");
    CmdShape = button(Frame1, "CmdShape", "Type", "Change airway shape");
    for (int i = 0; i < 3; ++i)
        DriveShape[static_cast<size_t>(i)] = new ShapeSwatch(i, Frame1);
    TxtWidth = lineEdit(Frame1, "TxtWidth", "Airway width");
    txtHeight = lineEdit(Frame1, "txtHeight", "Airway height");
    LblWidth = label(Frame1, "Width");
    LblHeight = label(Frame1, "Height");
    LblUnit[6]->setParent(Frame1);
    LblUnit[7]->setParent(Frame1);
    OptShowData = checkBox(Frame1, "OptShowData", "Show Data");
    CheckService = checkBox(Frame1, "CheckService", "Add Services", "Reduce airway area 0.6m2");
    ChkSurfaceEntry = checkBox(Frame1, "ChkSurfaceEntry", "Surface Entry", "Force entry from surface");
    ChkSurfaceExit = checkBox(Frame1, "ChkSurfaceExit", "Surface Exit", "Force exit to surface");
    OptAirType[0] = checkBox(Frame1, "OptAirType(0)", "Fresh");
    OptAirType[1] = checkBox(Frame1, "OptAirType(1)", "Exhaust");
    settings->addWidget(LblRemote, 0, 0);
    settings->addWidget(txtRemote, 0, 1, 1, 3);
    settings->addWidget(Label5, 1, 0);
    settings->addWidget(CmbPrimary, 1, 1, 1, 3);
    settings->addWidget(Label6, 2, 0);
    settings->addWidget(CmbSecond, 2, 1, 1, 3);
    auto *shapeRow = new QHBoxLayout;
    shapeRow->addWidget(CmdShape);
    for (ShapeSwatch *swatch : DriveShape)
        shapeRow->addWidget(swatch);
    shapeRow->addWidget(TxtMultiAir);
    settings->addLayout(shapeRow, 3, 0, 1, 4);
    settings->addWidget(LblWidth, 4, 0);
    settings->addWidget(TxtWidth, 4, 1, 1, 2);
    settings->addWidget(LblUnit[7], 4, 3);
    settings->addWidget(LblHeight, 5, 0);
    settings->addWidget(txtHeight, 5, 1, 1, 2);
    settings->addWidget(LblUnit[6], 5, 3);
    settings->addWidget(OptShowData, 6, 0, 1, 2);
    settings->addWidget(CheckService, 6, 2, 1, 2);
    settings->addWidget(ChkSurfaceEntry, 7, 0, 1, 2);
    settings->addWidget(ChkSurfaceExit, 7, 2, 1, 2);
    settings->addWidget(OptAirType[0], 8, 0, 1, 2);
    settings->addWidget(OptAirType[1], 8, 2, 1, 2);

    auto *columns = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(Frame4);
    left->addWidget(Frame3);
    auto *right = new QVBoxLayout;
    right->addWidget(Frame2);
    right->addWidget(Frame1);
    columns->addLayout(left);
    columns->addLayout(right);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdResetSekection);
    buttons->addWidget(Prnter);
    buttons->addStretch();
    buttons->addWidget(Info);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(OK);
    auto *whole = new QVBoxLayout(this);
    whole->addLayout(columns);
    whole->addLayout(buttons);
    // Shown in one selection mode and hidden in the other, they keep their room: one size for both.
    for (QWidget *modal : {static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Info),
                           static_cast<QWidget *>(CmdResetSekection)}) {
        QSizePolicy policy = modal->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        modal->setSizePolicy(policy);
    }
    VB_NAME_CONTROLS(Frame1, Frame2, Frame3, Frame4, OptPar2, OptSer2, LblRes, LblWall, LblShock, Label1,
                     LblCPart, LblRemote, Label5, Label6, LblWidth, LblHeight);
    VB::NameControlArray(LblUnit, "LblUnit");
    VB::NameControlArray(DriveShape, "DriveShape");
}

// ---- Field behaviour ----

void frmAirEdit::connectHandlers() {
    fieldRules_ = {
        {TxtFlow, SelectAll, true, false, false, false, TxtPres, LostFocus::Positive, false, false},
        {TxtPres, SelectAll, true, false, false, false, TxtLength, LostFocus::Signed, false, false},
        {TxtLength, MarkOnFocus | SelectAll, true, false, false, true, nullptr, LostFocus::None, true, true},
        // A resistance or a size typed negative is refused by the save, not turned positive unseen.
        {TxtFixRes, SelectAll, true, false, false, false, TxtWall, LostFocus::Signed, true, true},
        {TxtWall, SelectAll, true, false, false, false, TxtShock, LostFocus::None, true, true},
        {TxtShock, MarkOnFocus | SelectAll, true, false, false, false, TxtWidth, LostFocus::None, true, true},
        {TxtWidth, SelectAll, true, true, false, true, nullptr, LostFocus::Signed, true, true},
        {txtHeight, MarkOnFocus | SelectAll, true, false, false, true, nullptr, LostFocus::Signed, true,
         true},
        // A count keeps what was typed: the save refuses a fraction with its rule.
        {TxtMultiAir, MarkOnFocus | SelectAll, false, true, true, true, nullptr, LostFocus::None, true,
         false},
        {TxtName, 0, true, false, false, true, nullptr, LostFocus::None, false, false},
        {TxtCPart, SelectAll, false, false, false, false, nullptr, LostFocus::None, false, false},
        {TxtFanN, SelectAll, false, false, false, false, nullptr, LostFocus::None, false, false},
        {ResCombo, MarkOnFocus, false, false, false, false, WallCombo, LostFocus::None, false, false},
        {WallCombo, MarkOnFocus, false, false, false, false, nullptr, LostFocus::None, false, false},
        {ShockCombo, MarkOnFocus, false, false, false, false, nullptr, LostFocus::None, false, true},
        {CmbPrimary, MarkOnFocus, false, false, false, false, nullptr, LostFocus::LayerRename, false, false},
        {CmbSecond, MarkOnFocus, false, false, false, false, nullptr, LostFocus::LayerRename, false, false},
        {LblFrom, 0, false, false, false, true, nullptr, LostFocus::None, false, false},
        {LblTo, 0, false, false, false, true, nullptr, LostFocus::None, false, false},
    };
    for (const FieldRule &rule : fieldRules_) {
        fieldOf_[rule.control] = &rule;
        rule.control->installEventFilter(this);
        // Installed last, so it sees a typed key first and the dialog's filter sees the replacement.
        if (rule.separator)
            VB::DecimalKeyFilter::Install(rule.control);
    }
    // Names keep "." as typed and take no comma.
    for (QWidget *name : std::initializer_list<QWidget *>{TxtName, LblFrom, LblTo, CmbPrimary, CmbSecond})
        VB::NameBox(name);

    connect(OK, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(Info, &QPushButton::clicked, this, [this] { Info_Click(); });
    connect(ReCalc, &QPushButton::clicked, this, [this] { ReCalc_Click(); });
    connect(Prnter, &QPushButton::clicked, this, [this] { Prnter_Click(); });
    connect(CmdResetSekection, &QPushButton::clicked, this, [this] { CmdResetSekection_Click(); });
    connect(CmdShape, &QPushButton::clicked, this, [this] { CmdShape_Click(); });
    connect(CmdShock, &QPushButton::clicked, this, [this] { CmdShock_Click(); });
    connect(CmdOriface, &QPushButton::clicked, this, [this] { CmdOriface_Click(); });

    for (VBCheckBox *box : {ChkFixRes, ChkFixK, ChkShock})
        connect(box, &VBCheckBox::Click, this, [this, box] { fixBoxClick(box); });
    connect(CheckFix, &VBCheckBox::Click, this, [this] { TxtFlow->setEnabled(CheckFix->isChecked()); });
    connect(ChkPress, &VBCheckBox::Click, this, [this] { TxtPres->setEnabled(ChkPress->isChecked()); });
    connect(CheckLength, &VBCheckBox::Click, this, [this] {
        if (Loading)
            return;
        mark(TxtLength);
        TxtLength->setEnabled(CheckLength->isChecked());
    });
    // In multiple selection only the user's own click carries the box to every selected airway: filling
    // the dialog shows the clicked airway's value without touching it.
    connect(CheckDirection, &VBCheckBox::Click, this, [this] {
        if (!filling_ || AirEditMode != 3)
            mark(CheckDirection);
    });
    for (VBCheckBox *box : {CheckService, OptShowData})
        connect(box, &VBCheckBox::Click, this, [this, box] { flagTagClick(box); });
    connect(ChkSurfaceEntry, &VBCheckBox::Click, this,
            [this] { surfaceClick(ChkSurfaceEntry, ChkSurfaceExit); });
    connect(ChkSurfaceExit, &VBCheckBox::Click, this,
            [this] { surfaceClick(ChkSurfaceExit, ChkSurfaceEntry); });
    for (int i = 0; i < 2; ++i)
        connect(OptAirType[static_cast<size_t>(i)], &VBCheckBox::Click, this,
                [this, i] { OptAirType_Click(i); });
    for (int i = 0; i < 3; ++i)
        connect(Optcurve[static_cast<size_t>(i)], &VBCheckBox::Click, this, [this, i] { Optcurve_Click(i); });
    connect(FanCombo2, &VBComboBox::Click, this, [this] { FanCombo2_Click(); });
    connect(ResCombo, &VBComboBox::Click, this, [this] { ResCombo_Click(); });
    connect(WallCombo, &VBComboBox::Click, this, [this] { presetClick(presetField(WallCombo)); });
    connect(ShockCombo, &VBComboBox::Click, this, [this] { presetClick(presetField(ShockCombo)); });
    connect(VSF, &QScrollBar::valueChanged, this, [this] { VSF_Change(); });
}

bool frmAirEdit::eventFilter(QObject *watched, QEvent *event) {
    const auto it = fieldOf_.find(watched);
    if (it != fieldOf_.end() && fieldEvent(*it->second, event))
        return true;
    return QDialog::eventFilter(watched, event);
}

namespace {

// Focus moving to a popup or another window is no change of field.
bool fieldFocusChange(QEvent *event) {
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// A key that types a character (what the fields' key-press rules see).
bool typedKey(const QKeyEvent *key) {
    return !key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab;
}

} // namespace

bool frmAirEdit::fieldEvent(const FieldRule &rule, QEvent *event) {
    QWidget *control = rule.control;
    auto *edit = qobject_cast<QLineEdit *>(control);
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!fieldFocusChange(event))
            return false;
        if ((rule.focus & MarkOnFocus) != 0)
            mark(control);
        if ((rule.focus & SelectAll) != 0 && edit != nullptr)
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        return false;
    case QEvent::FocusOut:
        if (!fieldFocusChange(event) || Unloading())
            return false;
        if (rule.lost == LostFocus::LayerRename) {
            layerLostFocus(static_cast<VBComboBox *>(control));
        } else if (rule.lost != LostFocus::None) {
            // A text that is not a number stays as typed.
            try {
                const double value = StrictValue(BoxText(*edit));
                const double kept = rule.lost == LostFocus::Positive ? std::fabs(value) : value;
                // A box still showing its value keeps its text, and so the exact value behind it.
                if (shown_.Edited(*edit) || kept != value)
                    edit->setText(ToQt(NumberText(kept)));
            } catch (const VBError &) {
            }
        }
        return false;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!typedKey(key))
            return false;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (rule.lost == LostFocus::LayerRename)
            layerKeyPress(static_cast<VBComboBox *>(control));
        if (rule.markOnKey)
            mark(control);
        if (rule.discardPoint && key->text() == ".")
            return true;
        if (enter && rule.enterOK) {
            OK_Click();
            return true;
        }
        if (enter && rule.enterFocus != nullptr) {
            rule.enterFocus->setFocus(Qt::TabFocusReason);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        // The release that ends a double click is not a second click.
        if (afterDoubleClick_ == control) {
            afterDoubleClick_ = nullptr;
            return false;
        }
        if (rule.clickMark)
            mark(control);
        return false;
    case QEvent::MouseButtonDblClick:
        afterDoubleClick_ = control;
        if (rule.doubleClickUnmark)
            unmark(control);
        return false;
    default:
        return false;
    }
}

// ---- Touched marks ----

bool frmAirEdit::isTagMarked(const QWidget *control) const {
    return control == OptAirType[0] || control == OptAirType[1] || control == OptShowData ||
           control == CheckService || control == ChkSurfaceEntry || control == ChkSurfaceExit;
}

void frmAirEdit::mark(QWidget *control) {
    touched_[control] = true;
    showMark(control, Qt::white);
}

void frmAirEdit::unmark(QWidget *control) {
    touched_[control] = false;
    showMark(control, QApplication::palette().color(QPalette::Button));
}

void frmAirEdit::showMark(QWidget *control, const QColor &colour) {
    // A check box shows its mark as its background; a box or list as its edit field.
    const bool check = qobject_cast<QCheckBox *>(control) != nullptr;
    control->setAutoFillBackground(check);
    QPalette palette = control->palette();
    palette.setColor(check ? QPalette::Window : QPalette::Base, colour);
    control->setPalette(palette);
}

void frmAirEdit::setTag(VBCheckBox *box, bool touched) {
    touched_[box] = touched;
}

bool frmAirEdit::Touched(const QWidget *control) const {
    const auto it = touched_.find(control);
    return it != touched_.end() && it->second;
}

bool frmAirEdit::ShownWhite(const QWidget *control) const {
    if (isTagMarked(control))
        return false;
    const QPalette::ColorRole role =
        qobject_cast<const QCheckBox *>(control) ? QPalette::Window : QPalette::Base;
    return control->palette().color(role) == Qt::white;
}

// ---- Loading ----

void frmAirEdit::Form_Load() {
    // The same bounds the airway load applies, so that nothing reads outside the network.
    CurrentAirway = std::max(1, std::min(CurrentAirway, AirwayCount));
    const int a = CurrentAirway;
    filling_ = true;
    // Text boxes and lists start white (touched), the fixed-direction box grey.
    for (QWidget *control : std::initializer_list<QWidget *>{TxtLength, TxtFixRes, TxtWall, TxtShock,
                                                             txtHeight, TxtWidth, TxtMultiAir, ResCombo,
                                                             WallCombo, ShockCombo, CmbPrimary, CmbSecond})
        mark(control);
    unmark(CheckDirection);
    if (AirEditMode != 3) {
        for (VBCheckBox *box :
             {OptAirType[0], OptAirType[1], OptShowData, ChkSurfaceEntry, ChkSurfaceExit, CheckService})
            setTag(box, true);
    } else {
        PartialDisable();
        int selected = 0;
        for (int s = 1; s <= AirwayCount; ++s)
            if ((AirwayFlags(s) & AirwayFlag::Selected) != 0)
                ++selected;
        setWindowTitle("Airway Edit - Multiple select (" + QString::number(selected) + ")");
    }
    LoadedResistanceType = AirwayResistanceType(a);

    FillFanList(*FanCombo2);
    CmbPrimary->clear();
    CmbSecond->clear();
    txtRemote->clear();
    txtRemote->addItem("none");
    for (int s = 1; s <= MaxStations; ++s)
        txtRemote->addItem(ToQt(StationName(s)));
    for (int i = 1; i <= 16; ++i)
        CmbPrimary->addItem(ToQt(PrimaryLayerName(i).empty() ? std::to_string(i) : PrimaryLayerName(i)));
    for (int i = 1; i <= 48; ++i)
        CmbSecond->addItem(ToQt(SecondaryLayerName(i).empty() ? std::to_string(i) : SecondaryLayerName(i)));

    // The fan entry; a fan missing from the list is reported by the airway load.
    if (AirwayFan(a) > 0) {
        const int entry = FindFanEntry(*FanCombo2, AirwayFan(a));
        fanLoaded_ = entry >= 0;
        if (fanLoaded_)
            FanCombo2->SetListIndex(entry);
    } else {
        FanCombo2->SetListIndex(0);
    }
    if (fanLoaded_) {
        TxtFanN->setText(QString::number(AirwayFanCount(a)));
        if (AirwayFan(a) != 0 && (AirwayFlags(a) & AirwayFlag::FansInSeries) != 0)
            OptSer2->SetValue(true);
        else
            OptPar2->SetValue(true);
        setFanSpinner(AirwayFanCount(a));
    }
    LoadAirway();
    filling_ = false;

    VB::KeepPlaceAndSize(*this, "frmAirEdit");
}

void frmAirEdit::setFanSpinner(int fans) {
    const int value = 10 - fans;
    if (value >= VSF->minimum() && value <= VSF->maximum()) {
        VSF->setValue(value);
        return;
    }
    // A count the spinner cannot show: the spinner stops at its end and the count stays.
    const QSignalBlocker quiet(VSF);
    VSF->setValue(std::clamp(value, VSF->minimum(), VSF->maximum()));
}

// ---- Closing ----

void frmAirEdit::beginWrite(int a) {
    if (openWrite_ == a)
        return;
    endWrite();
    RecordUndo(a, UndoCode::Before, UndoStep);
    openWrite_ = a;
    wrote_ = true;
}

void frmAirEdit::endWrite() {
    if (openWrite_ == 0)
        return;
    RecordUndo(openWrite_, UndoCode::After, UndoStep);
    openWrite_ = 0;
}

void frmAirEdit::unload(int result) {
    if (Unloading())
        return;
    const int a = CurrentAirway;
    if (a >= 1 && a <= AirwayCount && AirwayResistanceType(a) != LoadedResistanceType) {
        // A new resistance type gets its symbol where the airway was picked.
        beginWrite(a);
        AirwayIconPosition(a) = PickedFraction - 0.3f;
    }
    endWrite();
    Unload(result);
    // One confirmation, whatever it wrote, is one undo step.
    if (wrote_)
        ++UndoStep;
}

void frmAirEdit::closeform() {
    unload(QDialog::Rejected);
    PickedAirway = 0;
    VB::DoEvents();
    if (!ScreenBuffer)
        Redraw();
}

void frmAirEdit::OK_Click() {
    if (Unloading())
        return;
    // A refused value keeps the dialog open on its box, with nothing stored.
    if (!(AirEditMode != 3 ? SaveOne() : SaveSelected()))
        return;
    unload(QDialog::Accepted);
    PickedAirway = 0;
    VB::DoEvents();
    Redraw();
}

void frmAirEdit::cmdCancel_Click() {
    closeform();
}

void frmAirEdit::Info_Click() {
    if (!SaveOne())
        return;
    unload(QDialog::Accepted);
    AirwayDialogs::ShowAirwayInformation();
}

void frmAirEdit::ReCalc_Click() {
    if (!SaveOne())
        return;
    filling_ = true;
    LoadAirway();
    filling_ = false;
}

void frmAirEdit::Prnter_Click() {
    PrintDialogImage(*this);
}

void frmAirEdit::CmdResetSekection_Click() {
    PartialDisable();
}

void frmAirEdit::changeEvent(QEvent *event) {
    // Losing the focus is judged once the new window is active.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() && !Unloading())
        QTimer::singleShot(0, this, [this] { activationSettled(); });
    QDialog::changeEvent(event);
}

void frmAirEdit::activationSettled() {
    if (!Unloading() && AnotherProgramWindowActive(*this))
        Form_Deactivate();
}

void frmAirEdit::Form_Deactivate() {
    if (SubDialogOpen)
        return;
    if (!SaveOne())
        return;
    unload(QDialog::Accepted);
    SubDialogOpen = false;
    PickedAirway = 0;
    Redraw();
}

// ---- Buttons of the preset frame ----

void frmAirEdit::CmdShape_Click() {
    mark(TxtMultiAir);
    EditShape = EditShape + 1 > 2 ? 0 : EditShape + 1;
    SetShape();
}

void frmAirEdit::CmdShock_Click() {
    SubDialogOpen = true;
    {
        frmShock shock(this);
        VB::ShowModal(shock);
    }
    if (ShockTotal != 0) {
        ChkShock->setChecked(true);
        fixBoxClick(ChkShock);
        TxtShock->setText(ToQt(FormatPattern(ShockTotal, "0")));
    }
}

void frmAirEdit::CmdOriface_Click() {
    OrificeWizard(*this);
}

void frmAirEdit::SetFixedResistanceText(const std::string &text) {
    TxtFixRes->setText(ToQt(text));
}

void frmAirEdit::FixResistance() {
    ChkFixRes->setChecked(true);
    fixBoxClick(ChkFixRes);
}
