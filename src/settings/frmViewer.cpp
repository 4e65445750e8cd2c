#include "settings/frmViewer.h"

#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"
#include "settings/button_pictures.h"
#include "settings/options_state.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <array>
#include <optional>

namespace {

constexpr int AirflowQuantity = 4;

// A flow typed in display units, in m³/s when it lies in 0 .. 10000 as typed; said and none otherwise.
std::optional<float> readFlow(const QLineEdit *box) {
    // The whole box is the number ("5x" is no flow); an empty box is 0.
    const std::string text = FromQt(box->text());
    const std::optional<double> typed = Trim(text).empty() ? std::optional(0.0) : VB::StrictNumber(text, ',');
    if (typed && *typed >= 0 && *typed <= 10000) {
        auto value = static_cast<float>(*typed);
        return FromDisplayUnits(value, AirflowQuantity);
    }
    VB::MsgBox("Limits of Allowable Significant Flows", VB::vbExclamation);
    return std::nullopt;
}

} // namespace

frmViewer::frmViewer(QWidget *parent) : QDialog(parent) {
    setWindowTitle("View Options");
    auto *items = new QGroupBox(this);
    auto *itemsLayout = new QGridLayout(items);
    const char *const captions[10] = {"Node Names",    "Airway Names",    "Data Values", "Resistance Symbols",
                                      "Fan Symbols",   "Node Symbols",    "Arrows",      "Contaminants",
                                      "Floating Text", "Off Level Raises"};
    for (int i = 0; i < 10; ++i) {
        ChkViewer[static_cast<size_t>(i)] = new VBCheckBox(captions[i], items);
        itemsLayout->addWidget(ChkViewer[static_cast<size_t>(i)], i % 5, i / 5);
    }
    auto *data = new QGroupBox("Data Display", this);
    auto *dataLayout = new QVBoxLayout(data);
    const char *const dataCaptions[4] = {"Selected Data only", "Vertical Data only", "Horizontal data only",
                                         "Show All Data"};
    for (int i = 0; i < 4; ++i)
        OptType[static_cast<size_t>(i)] = new VBOptionButton(dataCaptions[i], data);
    for (int i : {3, 1, 2, 0})
        dataLayout->addWidget(OptType[static_cast<size_t>(i)]);
    auto *colours = new QGroupBox("Colour Scheme", this);
    auto *coloursLayout = new QVBoxLayout(colours);
    ColOpt[0] = new VBOptionButton("Levels", colours);
    ColOpt[1] = new VBOptionButton("Fresh / Exhaust", colours);
    coloursLayout->addWidget(ColOpt[0]);
    coloursLayout->addWidget(ColOpt[1]);
    auto *flows = new QGroupBox("Show airways by flow", this);
    auto *flowsLayout = new QGridLayout(flows);
    TxtSig = new QLineEdit(flows);
    TxtSig->setToolTip("maximum flow");
    TxtSigMin = new QLineEdit(flows);
    TxtSigMin->setToolTip("minimum flow");
    flowsLayout->addWidget(new QLabel("Flow Limits", flows), 0, 0, 2, 1);
    flowsLayout->addWidget(TxtSig, 0, 1);
    flowsLayout->addWidget(TxtSigMin, 1, 1);
    const char *const dimCaptions[3] = {"All", "Dim", "Invisible"};
    for (int i = 0; i < 3; ++i) {
        OptDimmer[static_cast<size_t>(i)] = new VBOptionButton(dimCaptions[i], flows);
        flowsLayout->addWidget(OptDimmer[static_cast<size_t>(i)], i, 2);
    }
    for (QLineEdit *box : {TxtSig, TxtSigMin}) {
        VB::DecimalKeyFilter::Install(box);
        box->installEventFilter(this);
    }
    OK = new QPushButton("OK", this);
    Show = new QPushButton(ShowAllPicture(), "Show All", this);
    Hide = new QPushButton(HideAllPicture(), "Hide All", this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Show);
    buttons->addWidget(Hide);
    buttons->addStretch();
    buttons->addWidget(OK);
    auto *layout = new QGridLayout(this);
    layout->addWidget(items, 0, 0, 1, 2);
    layout->addWidget(data, 1, 0);
    layout->addWidget(colours, 1, 1);
    layout->addWidget(flows, 2, 0, 1, 2);
    layout->addLayout(buttons, 3, 0, 1, 2);
    connect(OK, &QPushButton::clicked, this, &frmViewer::OK_Click);
    connect(Show, &QPushButton::clicked, this, &frmViewer::Show_Click);
    connect(Hide, &QPushButton::clicked, this, &frmViewer::Hide_Click);
    OK->setDefault(true);
    Form_Load();
    VB_NAME_CONTROLS(TxtSig, TxtSigMin, OK, Show, Hide);
    VB::NameControlArray(ChkViewer, "ChkViewer");
    VB::NameControlArray(OptType, "OptType");
    VB::NameControlArray(ColOpt, "ColOpt");
    VB::NameControlArray(OptDimmer, "OptDimmer");
}

void frmViewer::Form_Load() {
    adjustSize();
    VB::CentreOnMainWindow(*this);
    for (int i = 0; i <= 9; ++i)
        ChkViewer[static_cast<size_t>(i)]->setChecked((GraphicsDetail & (1 << i)) != 0);
    for (int b = 0; b <= 3; ++b)
        if (DataModeOfButton[b] == DataDisplayMode)
            OptType[static_cast<size_t>(b)]->SetValue(true);
    TxtSig->setText(ToQt(FormatValue(MaxShownFlow, AirflowQuantity, 0, 0)));
    TxtSigMin->setText(ToQt(FormatValue(MinShownFlow, AirflowQuantity, 0, 0)));
    if (DimOption >= 0 && DimOption <= 2)
        OptDimmer[static_cast<size_t>(DimOption)]->SetValue(true);
    ColOpt[ColourScheme != 0 ? 1 : 0]->SetValue(true);
}

void frmViewer::OK_Click() {
    // Both flows are read before anything is stored: a refused one keeps the dialog open, its box selected.
    std::array<float, 2> flows{};
    const std::array<QLineEdit *, 2> flowBoxes{TxtSig, TxtSigMin};
    for (size_t i = 0; i < flowBoxes.size(); ++i) {
        const auto flow = readFlow(flowBoxes[i]);
        if (!flow) {
            flowBoxes[i]->setFocus();
            flowBoxes[i]->selectAll();
            return;
        }
        flows[i] = *flow;
    }
    GraphicsDetail = 0;
    for (int i = 0; i <= 9; ++i)
        if (ChkViewer[static_cast<size_t>(i)]->isChecked())
            GraphicsDetail += 1 << i;
    for (int b = 0; b <= 3; ++b)
        if (OptType[static_cast<size_t>(b)]->Value())
            DataDisplayMode = DataModeOfButton[b];
    MaxShownFlow = flows[0];
    MinShownFlow = flows[1];
    for (int i = 0; i <= 2; ++i)
        if (OptDimmer[static_cast<size_t>(i)]->Value())
            DimOption = i;
    ColourScheme = ColOpt[0]->Value() ? 0 : 1;
    SetVisibleAirways();
    accept();
}

void frmViewer::Show_Click() {
    for (int i = 0; i <= 8; ++i)
        ChkViewer[static_cast<size_t>(i)]->setChecked(true);
}

void frmViewer::Hide_Click() {
    for (int i = 0; i <= 8; ++i)
        ChkViewer[static_cast<size_t>(i)]->setChecked(false);
}

bool frmViewer::eventFilter(QObject *watched, QEvent *event) {
    // Enter in one flow box moves to the other.
    if ((watched == TxtSig || watched == TxtSigMin) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            (watched == TxtSig ? TxtSigMin : TxtSig)->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
