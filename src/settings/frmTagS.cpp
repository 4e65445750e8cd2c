#include "settings/frmTagS.h"

#include "model/Gustrom1.h"
#include "platform/Printer.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "settings/button_pictures.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace {

// Names are stored in comma- and quote-delimited files: text pasted or dropped into a name box loses
// these characters as typed text does.
class LayerNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override {
        const auto banned = [](QChar c) { return c == u'"' || c == u','; };
        pos -= static_cast<int>(std::count_if(input.cbegin(), input.cbegin() + pos, banned));
        input.removeIf(banned);
        return Acceptable;
    }
};

// The active layer's name shows in red.
void markActive(QLineEdit *box, bool active) {
    box->setStyleSheet(active ? "color: rgb(255, 0, 0);" : "color: rgb(0, 0, 0);");
}

std::string layerText(const std::string &name, int layer) {
    return name.empty() ? std::to_string(layer) : name;
}

// Name box `index` of a group shows layer index + 1: a click makes that layer the active one.
template <size_t N> void makeActive(const std::array<QLineEdit *, N> &boxes, int index, int &active) {
    if (index < 0 || index >= static_cast<int>(N))
        return;
    if (active >= 1 && active <= static_cast<int>(N))
        markActive(boxes[static_cast<size_t>(active - 1)], false);
    markActive(boxes[static_cast<size_t>(index)], true);
    active = index + 1;
    NetworkSaved = 0;
}

// A name box names its own layer, however it got the focus; names are kept with the network.
void storeName(const QLineEdit *box, std::string &name) {
    const std::string text = FromQt(box->text());
    if (name != text) {
        name = text;
        NetworkSaved = 0;
    }
}

// Shows a group's names (the number of an unnamed layer), its shown layers and, in red, its active one.
template <size_t N>
void fillGroup(const std::array<QLineEdit *, N> &boxes, VBCheckBox *const *shown,
               const VBArray<std::string> &names, const VBArray<bool> &visible, int active) {
    for (int i = 1; i <= static_cast<int>(N); ++i) {
        boxes[static_cast<size_t>(i - 1)]->setText(ToQt(layerText(names(i), i)));
        shown[i - 1]->setChecked(visible(i));
        markActive(boxes[static_cast<size_t>(i - 1)], i == active);
    }
}

// "Hide All" leaves only the active layer of a group ticked.
void showOnly(VBCheckBox *const *shown, int count, int active) {
    for (int i = 1; i <= count; ++i)
        shown[i - 1]->setChecked(i == active);
}

} // namespace

frmTagS::frmTagS(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Viewing Layers");
    auto *primary = new QGroupBox("Primary Layers", this);
    auto *primaryGrid = new QGridLayout(primary);
    for (int k = 0; k < 16; ++k) {
        Tag1[static_cast<size_t>(k + 1)] = new VBCheckBox(QString(), primary);
        PLabel[static_cast<size_t>(k)] = new QLineEdit(primary);
        primaryGrid->addWidget(Tag1[static_cast<size_t>(k + 1)], k, 0);
        primaryGrid->addWidget(PLabel[static_cast<size_t>(k)], k, 1);
    }
    auto *secondary = new QGroupBox("Secondary Layers", this);
    auto *secondaryGrid = new QGridLayout(secondary);
    for (int k = 0; k < 48; ++k) {
        Tag2[static_cast<size_t>(k)] = new VBCheckBox(QString(), secondary);
        TagLabel[static_cast<size_t>(k)] = new QLineEdit(secondary);
        const int column = k < 24 ? 0 : 2;
        secondaryGrid->addWidget(Tag2[static_cast<size_t>(k)], k % 24, column);
        secondaryGrid->addWidget(TagLabel[static_cast<size_t>(k)], k % 24, column + 1);
    }
    auto *names = new LayerNameValidator(this);
    for (size_t k = 0; k < PLabel.size(); ++k) {
        PLabel[k]->setValidator(names);
        PLabel[k]->installEventFilter(this);
        connect(PLabel[k], &QLineEdit::textEdited, this, [this, k] { primaryEdited_[k] = true; });
    }
    for (size_t k = 0; k < TagLabel.size(); ++k) {
        TagLabel[k]->setValidator(names);
        TagLabel[k]->installEventFilter(this);
        connect(TagLabel[k], &QLineEdit::textEdited, this, [this, k] { secondaryEdited_[k] = true; });
    }

    auto *show = new QGroupBox("Show", this);
    auto *showLayout = new QVBoxLayout(show);
    ChkData = new VBCheckBox("Data", show);
    ChkBranch = new VBCheckBox("Branch", show);
    ChkName = new VBCheckBox("Name", show);
    ChkArrow = new VBCheckBox("Arrow", show);
    ChkNode = new VBCheckBox("Nodes", show);
    for (VBCheckBox *box : {ChkData, ChkBranch, ChkName, ChkArrow, ChkNode})
        showLayout->addWidget(box);
    auto *lines = new QGroupBox("Lines", this);
    auto *linesLayout = new QVBoxLayout(lines);
    const char *const styles[3] = {"Invisible", "Dim", "Solid"};
    for (int i = 0; i < 3; ++i) {
        LineOpt[static_cast<size_t>(i)] = new VBOptionButton(styles[i], lines);
        linesLayout->addWidget(LineOpt[static_cast<size_t>(i)]);
    }

    cmdSet = new QPushButton("Show All", this);
    CmdReset = new QPushButton("Hide All", this);
    OK = new QPushButton("OK", this);
    Prnter = NewPrintButton(this);
    auto *side = new QVBoxLayout;
    side->addWidget(show);
    side->addWidget(lines);
    side->addStretch();
    for (QPushButton *b : {cmdSet, CmdReset, OK, Prnter})
        side->addWidget(b);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(primary);
    layout->addWidget(secondary, 2);
    layout->addLayout(side);

    connect(cmdSet, &QPushButton::clicked, this, &frmTagS::cmdSet_Click);
    connect(CmdReset, &QPushButton::clicked, this, &frmTagS::CmdReset_Click);
    connect(OK, &QPushButton::clicked, this, &frmTagS::OK_Click);
    connect(Prnter, &QPushButton::clicked, this, &frmTagS::Prnter_Click);
    OK->setDefault(true);
    Form_Load();
    VB_NAME_CONTROLS(ChkData, ChkBranch, ChkName, ChkArrow, ChkNode, cmdSet, CmdReset, OK, Prnter);
    VB::NameControlArray(Tag1, "Tag1");
    VB::NameControlArray(PLabel, "PLabel");
    VB::NameControlArray(Tag2, "Tag2");
    VB::NameControlArray(TagLabel, "TagLabel");
    VB::NameControlArray(LineOpt, "LineOpt");
}

void frmTagS::Form_Load() {
    // A stored value of 3 has no button of its own; it is drawn solid.
    const int style = LayerDisplay & 3;
    LineOpt[static_cast<size_t>(style == 3 ? 2 : style)]->SetValue(true);
    const std::pair<VBCheckBox *, int32_t> details[] = {
        {ChkData, 4}, {ChkBranch, 8}, {ChkName, 16}, {ChkArrow, 32}, {ChkNode, 64}};
    for (const auto &[box, bit] : details)
        box->setChecked((LayerDisplay & bit) != 0);
    if (ActivePrimaryLayer == 0)
        ActivePrimaryLayer = 1;
    filling_ = true;
    fillGroup(PLabel, &Tag1[1], PrimaryLayerName, PrimaryLayerVisible, ActivePrimaryLayer);
    if (ActiveSecondaryLayer == 0)
        ActiveSecondaryLayer = 1;
    fillGroup(TagLabel, Tag2.data(), SecondaryLayerName, SecondaryLayerVisible, ActiveSecondaryLayer);
    filling_ = false;
}

void frmTagS::PLabel_Click(int index) {
    if (!filling_)
        makeActive(PLabel, index, ActivePrimaryLayer);
}

void frmTagS::TagLabel_Click(int index) {
    if (!filling_)
        makeActive(TagLabel, index, ActiveSecondaryLayer);
}

void frmTagS::PLabel_LostFocus(int index) {
    storeName(PLabel[static_cast<size_t>(index)], PrimaryLayerName(index + 1));
}

void frmTagS::TagLabel_LostFocus(int index) {
    storeName(TagLabel[static_cast<size_t>(index)], SecondaryLayerName(index + 1));
}

void frmTagS::cmdSet_Click() {
    filling_ = true;
    for (VBCheckBox *box : Tag2)
        box->setChecked(true);
    for (int i = 1; i <= 16; ++i)
        Tag1[static_cast<size_t>(i)]->setChecked(true);
    filling_ = false;
}

void frmTagS::CmdReset_Click() {
    filling_ = true;
    showOnly(Tag2.data(), 48, ActiveSecondaryLayer);
    showOnly(&Tag1[1], 16, ActivePrimaryLayer);
    filling_ = false;
}

void frmTagS::OK_Click() {
    accept();
}

void frmTagS::Prnter_Click() {
    // A failed print ends the click without a word.
    VB::PrintWindowImage(*this, CurrentLine);
}

void frmTagS::Form_Unload() {
    if (stored_)
        return;
    stored_ = true;
    // A box typed in, or holding the focus, keeps its name even when the dialog closes before it loses
    // the focus.
    for (int k = 0; k < 16; ++k)
        if (primaryEdited_[static_cast<size_t>(k)] || PLabel[static_cast<size_t>(k)]->hasFocus())
            PLabel_LostFocus(k);
    for (int k = 0; k < 48; ++k)
        if (secondaryEdited_[static_cast<size_t>(k)] || TagLabel[static_cast<size_t>(k)]->hasFocus())
            TagLabel_LostFocus(k);
    LayerDisplay = 0;
    for (int i = 0; i <= 2; ++i)
        if (LineOpt[static_cast<size_t>(i)]->Value())
            LayerDisplay = i;
    const std::pair<VBCheckBox *, int32_t> details[] = {
        {ChkData, 4}, {ChkBranch, 8}, {ChkName, 16}, {ChkArrow, 32}, {ChkNode, 64}};
    for (const auto &[box, bit] : details)
        if (box->Value() == 1)
            LayerDisplay += bit;
    for (int i = 1; i <= 48; ++i)
        SecondaryLayerVisible(i) = Tag2[static_cast<size_t>(i - 1)]->Value() == 1;
    for (int i = 1; i <= 16; ++i)
        PrimaryLayerVisible(i) = Tag1[static_cast<size_t>(i)]->Value() == 1;
}

void frmTagS::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

bool frmTagS::eventFilter(QObject *watched, QEvent *event) {
    const auto primary = std::find(PLabel.begin(), PLabel.end(), watched);
    const auto secondary = std::find(TagLabel.begin(), TagLabel.end(), watched);
    const bool isPrimary = primary != PLabel.end();
    if (!isPrimary && secondary == TagLabel.end())
        return QDialog::eventFilter(watched, event);
    const int index = static_cast<int>(isPrimary ? primary - PLabel.begin() : secondary - TagLabel.begin());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        isPrimary ? PLabel_Click(index) : TagLabel_Click(index);
        break;
    case QEvent::FocusOut:
        isPrimary ? PLabel_LostFocus(index) : TagLabel_LostFocus(index);
        break;
    case QEvent::KeyPress: {
        // Names are stored in comma- and quote-delimited files: these characters cannot be typed.
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text == "\"" || text == ",")
            return true;
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
