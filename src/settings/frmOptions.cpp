// The settings dialog's window: its tabs, frames and controls, and the one dialog the main window shows.
#include "settings/frmOptions.h"

#include "settings/options_state.h"
#include "settings/palette_strip.h"

#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QPointer<frmOptions> instance;

// A labelled box in a form: the box, its caption in front and an optional unit label behind.
VBTextBox *addBox(QFormLayout *form, const char *caption, QLabel **unit = nullptr) {
    auto *box = new VBTextBox;
    box->setMaximumWidth(110);
    if (unit == nullptr) {
        form->addRow(caption, box);
        return box;
    }
    auto *row = new QHBoxLayout;
    row->addWidget(box);
    *unit = new QLabel;
    row->addWidget(*unit);
    row->addStretch();
    form->addRow(caption, row);
    return box;
}

QGroupBox *frame(const char *caption, QLayout *layout) {
    auto *box = new QGroupBox(caption);
    box->setLayout(layout);
    return box;
}

template <size_t N>
void addOptions(std::array<VBOptionButton *, N> &buttons, QLayout *layout,
                std::initializer_list<const char *> captions) {
    size_t i = 0;
    for (const char *caption : captions) {
        buttons[i] = new VBOptionButton(caption);
        layout->addWidget(buttons[i++]);
    }
}

} // namespace

frmOptions::frmOptions(QWidget *parent) : QDialog(parent) {
    setWindowTitle("Options");
    setModal(false);
    for (auto &label : LblUnit)
        label = new QLabel;
    auto *outer = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    outer->addWidget(SSTab1);
    buildDefaultsTab();
    buildSimulationTab();
    buildGraphicsTab();
    buildColoursTab();
    buildDisplayTab();
    buildPresetsTab();
    buildUnitsTab();
    cmdOK = new QPushButton("OK", this);
    cmdCancel = new QPushButton("Cancel", this);
    cmdOK->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    outer->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    wireImmediateControls();
    wirePresets();
    wireUnitGrid();
    VB_NAME_CONTROLS(SSTab1, cmdOK, cmdCancel, TxtVPart, LblCPart, txtHeight, TxtWidth, TxtDiam, TxtArea,
                     TxtPerim, WallCombo, WallCombo2, ShockCombo, ChkEDIT, ChkLayer, ChkInherit, ChkArea,
                     TxtCost, TxtEff, txtIt, txtMe, TxtDensity, TxtFanMax, TxtAirP, TxtAirRL, ChkSaveTime,
                     ChkRemote, txtsavetime, CmbIcon, CmbIconSize, CmbFonts, CmbFontSize, ChkScaleIcon,
                     ChkFontBold, ChkFontScale, IconPicture, Frame3D2, TxtTol, TxtCd, TxtMj, Txtgwidth, Txtgx,
                     Txtgy, TxtTilt, TxtSpin, TxtPowerZoom, ChkHor, ChkVert, ChkScroll, ChkInfo, ChkBuffer,
                     ChkTilt, ChkSpeed, CmbWall, CmbShock, CmbRes, TxtWallC, TxtShockC, TxtRes, TxtW, TxtS,
                     TxtR, ChkUnderR, MSFlexGrid1, TxtEdit);
    VB::NameControlArray(Optcurve, "Optcurve");
    VB::NameControlArray(LblUnit, "LblUnit");
    VB::NameControlArray(OptSimSource, "OptSimSource");
    VB::NameControlArray(OptUnitType, "OptUnitType");
    VB::NameControlArray(OptType, "OptType");
    VB::NameControlArray(ChkViewer, "ChkViewer");
    VB::NameControlArray(OptColour, "OptColour");
    VB::NameControlArray(Col, "Col");
    VB::NameControlArray(ColCaption, "ColCaption");
}

frmOptions::~frmOptions() {
    VB::DetachChildSignals(*this);
}

void frmOptions::buildDefaultsTab() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);

    auto *curve = new QVBoxLayout;
    addOptions(Optcurve, curve, {"Use static curve", "Use total curve", "Use combo curve"});
    LblCPart = new QLabel("Percentage Velocity Pressure");
    TxtVPart = new VBTextBox;
    TxtVPart->setMaximumWidth(60);
    curve->addWidget(LblCPart);
    curve->addWidget(TxtVPart);
    grid->addWidget(frame("Fan Curve Defaults", curve), 0, 0);

    auto *size = new QFormLayout;
    txtHeight = addBox(size, "Drive Height", &LblUnit[3]);
    TxtWidth = addBox(size, "Drive Width", &LblUnit[4]);
    TxtDiam = addBox(size, "Raise Diameter", &LblUnit[5]);
    TxtArea = addBox(size, "Airway Area", &LblUnit[6]);
    TxtPerim = addBox(size, "Airway Perimeter", &LblUnit[7]);
    grid->addWidget(frame("Default Airway Size", size), 0, 1);

    auto *values = new QFormLayout;
    WallCombo = new VBComboBox;
    WallCombo2 = new VBComboBox;
    ShockCombo = new VBComboBox;
    values->addRow("Wall Smoothness - Drives", WallCombo);
    values->addRow("Wall Smoothness - Raises", WallCombo2);
    values->addRow("Shock Distance", ShockCombo);
    grid->addWidget(frame("Default Airway Values", values), 1, 0);

    auto *constructing = new QVBoxLayout;
    ChkEDIT = new VBCheckBox("EDIT disable right mouse click");
    ChkLayer = new VBCheckBox("Layer Inheritance");
    ChkInherit = new VBCheckBox("Property Inheritance");
    ChkArea = new VBCheckBox("Use 'area' for new airways");
    for (QWidget *w : {ChkEDIT, ChkLayer, ChkInherit, ChkArea})
        constructing->addWidget(w);
    grid->addWidget(frame("Constructing Airways", constructing), 1, 1);
    SSTab1->addTab(page, "Defaults");
}

void frmOptions::buildSimulationTab() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);

    auto *sources = new QVBoxLayout;
    addOptions(OptSimSource, sources, {"Fixed Injection", "Cumulative"});
    grid->addWidget(frame("Smoke Sources", sources), 0, 0);

    auto *cost = new QFormLayout;
    TxtCost = addBox(cost, "Power Cost $ per kWhr");
    TxtEff = addBox(cost, "Air Power Efficiency Factor (%)");
    grid->addWidget(frame("Cost and Efficiency Defaults", cost), 1, 0);

    auto *simulation = new QFormLayout;
    txtIt = addBox(simulation, "Max Iterations (1-5000)");
    txtMe = addBox(simulation, "Max Allowable Error (0.0001-5.0)");
    TxtDensity = addBox(simulation, "Average Air Density", &LblUnit[0]);
    TxtFanMax = addBox(simulation, "Max Number of Fan Types (1000)");
    TxtAirP = addBox(simulation, "Surface Barometric Press", &LblUnit[1]);
    TxtAirRL = addBox(simulation, "RL at Surface Pressure", &LblUnit[2]);
    grid->addWidget(frame("Simulation Defaults", simulation), 0, 1, 2, 1);

    auto *units = new QVBoxLayout;
    addOptions(OptUnitType, units, {"SI Metric", "British Imperial"});
    grid->addWidget(frame("Units", units), 2, 0);

    auto *automated = new QGridLayout;
    ChkSaveTime = new VBCheckBox("Auto Save simulations");
    txtsavetime = new VBTextBox;
    txtsavetime->setMaximumWidth(50);
    ChkRemote = new VBCheckBox("Activate Realtime Monitoring Options");
    automated->addWidget(ChkSaveTime, 0, 0);
    automated->addWidget(txtsavetime, 0, 1);
    automated->addWidget(new QLabel("minutes"), 0, 2);
    automated->addWidget(ChkRemote, 1, 0, 1, 3);
    grid->addWidget(frame("Automated Options", automated), 2, 1);

    TxtAirRL->setToolTip("RL height at surface");
    TxtAirP->setToolTip("Surface barometric pressure");
    TxtDensity->setToolTip("Average air density throughout mine");
    txtIt->setToolTip("Maximum number of iterations");
    txtMe->setToolTip("Maximum allowable error");
    ChkRemote->setToolTip("Show remote monitoring options on menus");
    SSTab1->addTab(page, "Simulation");
}

void frmOptions::buildGraphicsTab() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);

    auto *display = new QVBoxLayout;
    addOptions(OptType, display,
               {"Selected Data only", "Vertical Data only", "Horizontal data only", "Show All Data"});
    grid->addWidget(frame("Data Display", display), 0, 0);

    auto *detail = new QGridLayout;
    const char *const captions[10] = {"Node Names",    "Airway Names",    "Data Values", "Resistance Symbols",
                                      "Fan Symbols",   "Node Symbols",    "Arrows",      "Contaminants",
                                      "Floating Text", "Off Level Raises"};
    for (int i = 0; i < 10; ++i) {
        ChkViewer[static_cast<size_t>(i)] = new VBCheckBox(captions[i]);
        detail->addWidget(ChkViewer[static_cast<size_t>(i)], i % 5, i / 5);
    }
    grid->addWidget(frame("Graphics Detail", detail), 0, 1);

    auto *icons = new QGridLayout;
    CmbIcon = new VBComboBox;
    CmbIconSize = new VBComboBox;
    ChkScaleIcon = new VBCheckBox("Scale icon with zoom");
    IconPicture = new QLabel;
    IconPicture->setFixedSize(40, 40);
    icons->addWidget(CmbIcon, 0, 0);
    icons->addWidget(CmbIconSize, 0, 1);
    icons->addWidget(IconPicture, 0, 2);
    icons->addWidget(ChkScaleIcon, 1, 0, 1, 3);
    auto *fonts = new QGridLayout;
    CmbFonts = new VBComboBox;
    CmbFontSize = new VBComboBox;
    ChkFontBold = new VBCheckBox("Bold");
    ChkFontScale = new VBCheckBox("Scale font with zoom");
    fonts->addWidget(CmbFonts, 0, 0);
    fonts->addWidget(CmbFontSize, 0, 1);
    fonts->addWidget(ChkFontBold, 1, 0);
    fonts->addWidget(ChkFontScale, 1, 1);
    icons->addWidget(frame("Fonts", fonts), 2, 0, 1, 3);
    grid->addWidget(frame("Icon Display", icons), 1, 0, 1, 2);
    SSTab1->addTab(page, "Graphics");
}

void frmOptions::buildColoursTab() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto *scheme = new QVBoxLayout;
    addOptions(OptColour, scheme, {"Levels", "Fresh / Exhaust"});
    OptColour[0]->setToolTip("Colour airways travelling away from current level");
    OptColour[1]->setToolTip("Colour airways as set in the edit box");
    grid->addWidget(frame("Colour Scheme", scheme), 0, 0);

    auto *colours = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        auto *swatch = new QLabel;
        swatch->setFixedSize(40, 18);
        swatch->setAutoFillBackground(true);
        swatch->installEventFilter(this);
        Col[static_cast<size_t>(i)] = swatch;
        ColCaption[static_cast<size_t>(i)] = new QLabel;
        colours->addWidget(swatch, i, 0);
        colours->addWidget(ColCaption[static_cast<size_t>(i)], i, 1);
    }
    Frame3D2 = new PaletteStrip;
    colours->addWidget(Frame3D2, 0, 2, 8, 1);
    grid->addWidget(frame("Colours", colours), 0, 1);
    SSTab1->addTab(page, "Colours");
}

void frmOptions::buildDisplayTab() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto *mouse = new QFormLayout;
    TxtTol = addBox(mouse, "Airway Proximity Search");
    mouse->addRow("", new QLabel("(% of screen area)"));
    TxtCd = addBox(mouse, "Minimum Node Spacing (1-100)");
    TxtTol->setToolTip("Click onto nearby node");
    TxtCd->setToolTip("Minimum node spacing");
    grid->addWidget(frame("Mouse Settings", mouse), 0, 0);

    auto *gridBox = new QFormLayout;
    TxtMj = addBox(gridBox, "Grid Line Spacing (5-1000)");
    Txtgwidth = addBox(gridBox, "Scale Width");
    Txtgx = addBox(gridBox, "Centre X Coord");
    Txtgy = addBox(gridBox, "Centre Y Coord");
    ChkHor = new VBCheckBox("Reverse Horizontal Coordinates");
    ChkVert = new VBCheckBox("Reverse Vertical Coordinates");
    gridBox->addRow(ChkHor);
    gridBox->addRow(ChkVert);
    grid->addWidget(frame("Grid", gridBox), 0, 1);

    auto *network = new QFormLayout;
    ChkScroll = new VBCheckBox("Scroll Zoom Off");
    ChkInfo = new VBCheckBox("Auto Info");
    ChkBuffer = new VBCheckBox("Screen Buffer");
    ChkTilt = new VBCheckBox("Allow full 360 degree rotation");
    ChkBuffer->setToolTip("Store screen in memory for smoother display");
    for (QWidget *w : {ChkScroll, ChkInfo, ChkBuffer, ChkTilt})
        network->addRow(w);
    TxtTilt = addBox(network, "Tilt/Spin rotation speed");
    TxtSpin = addBox(network, "Spin rotation speed");
    TxtPowerZoom = addBox(network, "Power Zoom Speed");
    ChkSpeed = new VBCheckBox("Unlimited rotation and zoom speed");
    ChkSpeed->setToolTip("Rotation speed restriction");
    network->addRow(ChkSpeed);
    grid->addWidget(frame("Network Display", network), 1, 0, 1, 2);
    SSTab1->addTab(page, "Display");
}

void frmOptions::buildPresetsTab() {
    auto *page = new QWidget;
    auto *grid = new QGridLayout;
    const auto editor = [grid](int row, const char *caption, VBComboBox *&list, VBTextBox *&value,
                               QLabel *unit) {
        grid->addWidget(new QLabel(caption), row, 0);
        list = new VBComboBox;
        VB::MakeEditable(list);
        VB::NameBox(list);
        list->setMinimumWidth(180);
        value = new VBTextBox;
        value->setMaximumWidth(110);
        grid->addWidget(list, row, 1);
        grid->addWidget(value, row, 2);
        grid->addWidget(unit, row, 3);
    };
    editor(0, "Wall Types", CmbWall, TxtWallC, LblUnit[9]);
    editor(1, "Shock Loss Types", CmbShock, TxtShockC, LblUnit[8]);
    editor(2, "Resistance Types", CmbRes, TxtRes, LblUnit[10]);
    ChkUnderR = new VBCheckBox("Add underlying airway resistance");
    ChkUnderR->setToolTip("Add original airway resistance to preset value");
    grid->addWidget(ChkUnderR, 3, 0, 1, 4);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(frame("Preset Values", grid));
    layout->addStretch();
    // The number of the preset each value box edits, kept out of sight.
    TxtW = new VBTextBox(page);
    TxtS = new VBTextBox(page);
    TxtR = new VBTextBox(page);
    for (VBTextBox *hidden : {TxtW, TxtS, TxtR})
        hidden->hide();
    SSTab1->addTab(page, "Presets");
}

void frmOptions::buildUnitsTab() {
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *area = new QWidget;
    MSFlexGrid1 = new VBGrid(area);
    TxtEdit = new VBTextBox(area);
    TxtEdit->hide();
    auto *areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->addWidget(MSFlexGrid1);
    area->setMinimumSize(520, 340);
    layout->addWidget(area);
    SSTab1->addTab(page, "Units");
}

// ---- The one dialog ----

bool frmOptions::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress)
        for (size_t i = 0; i < Col.size(); ++i)
            if (watched == Col[i]) {
                Col_Click(static_cast<int>(i));
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::closeEvent(QCloseEvent *event) {
    // The close box is Cancel.
    event->ignore();
    cmdCancel_Click();
}

void frmOptions::reject() {
    cmdCancel_Click();
}

void frmOptions::unload() {
    if (unloading_)
        return;
    unloading_ = true;
    OptionsTab = SSTab1->currentIndex();
    hide();
    deleteLater();
}

void ShowOptions(QWidget *owner) {
    if (!instance) {
        instance = new frmOptions(owner);
        instance->Form_Load();
    }
    instance->show();
    instance->raise();
    instance->activateWindow();
}

frmOptions *OptionsWindow() {
    return instance;
}

void RefillOptions() {
    // A hidden dialog is storing or closing: it shows nothing OK could store again.
    if (!instance || !instance->isVisible())
        return;
    OptionsLoaded = false;
    instance->Form_Load();
}
