#pragma once
// The settings dialog (modeless): every setting, preset and unit format in display units on seven tabs.
// OK checks and stores them in SI units and applies them; the font, icon, colour-scheme and fan-curve
// controls act at once; the unit buttons store everything, switch the unit system and fill the dialog
// again. A box whose text is still what filling put there keeps its setting exactly.
#include "model/value_rules.h"
#include "platform/ShownValues.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QTabWidget;
class VBCheckBox;
class VBComboBox;
class VBGrid;
class VBOptionButton;
class VBTextBox;
class PaletteStrip;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget *parent = nullptr);
    ~frmOptions() override;

    QTabWidget *SSTab1 = nullptr;
    QPushButton *cmdOK = nullptr, *cmdCancel = nullptr;
    // Defaults
    std::array<VBOptionButton *, 3> Optcurve{};
    VBTextBox *TxtVPart = nullptr;
    QLabel *LblCPart = nullptr;
    VBTextBox *txtHeight = nullptr, *TxtWidth = nullptr, *TxtDiam = nullptr, *TxtArea = nullptr,
              *TxtPerim = nullptr;
    std::array<QLabel *, 11> LblUnit{};
    VBComboBox *WallCombo = nullptr, *WallCombo2 = nullptr, *ShockCombo = nullptr;
    VBCheckBox *ChkEDIT = nullptr, *ChkLayer = nullptr, *ChkInherit = nullptr, *ChkArea = nullptr;
    // Simulation
    std::array<VBOptionButton *, 2> OptSimSource{};
    VBTextBox *TxtCost = nullptr, *TxtEff = nullptr;
    VBTextBox *txtIt = nullptr, *txtMe = nullptr, *TxtDensity = nullptr, *TxtFanMax = nullptr,
              *TxtAirP = nullptr, *TxtAirRL = nullptr;
    std::array<VBOptionButton *, 2> OptUnitType{};
    VBCheckBox *ChkSaveTime = nullptr, *ChkRemote = nullptr;
    VBTextBox *txtsavetime = nullptr;
    // Graphics
    std::array<VBOptionButton *, 4> OptType{};
    std::array<VBCheckBox *, 10> ChkViewer{};
    VBComboBox *CmbIcon = nullptr, *CmbIconSize = nullptr, *CmbFonts = nullptr, *CmbFontSize = nullptr;
    VBCheckBox *ChkScaleIcon = nullptr, *ChkFontBold = nullptr, *ChkFontScale = nullptr;
    QLabel *IconPicture = nullptr;
    // Colours
    std::array<VBOptionButton *, 2> OptColour{};
    std::array<QLabel *, 8> Col{};        // swatches
    std::array<QLabel *, 8> ColCaption{}; // their captions
    PaletteStrip *Frame3D2 = nullptr;
    // Display
    VBTextBox *TxtTol = nullptr, *TxtCd = nullptr, *TxtMj = nullptr, *Txtgwidth = nullptr, *Txtgx = nullptr,
              *Txtgy = nullptr, *TxtTilt = nullptr, *TxtSpin = nullptr, *TxtPowerZoom = nullptr;
    VBCheckBox *ChkHor = nullptr, *ChkVert = nullptr, *ChkScroll = nullptr, *ChkInfo = nullptr,
               *ChkBuffer = nullptr, *ChkTilt = nullptr, *ChkSpeed = nullptr;
    // Presets
    VBComboBox *CmbWall = nullptr, *CmbShock = nullptr, *CmbRes = nullptr;
    VBTextBox *TxtWallC = nullptr, *TxtShockC = nullptr, *TxtRes = nullptr;
    VBTextBox *TxtW = nullptr, *TxtS = nullptr, *TxtR = nullptr; // hidden: the preset being edited
    VBCheckBox *ChkUnderR = nullptr;
    // Units
    VBGrid *MSFlexGrid1 = nullptr;
    VBTextBox *TxtEdit = nullptr;
    std::string SavedCellText;

    // ---- Filling and storing ----
    void Form_Load();
    void UnloadData();
    void cmdOK_Click();
    void cmdCancel_Click();

    // ---- Presets ----
    void CmbWall_Click();
    void CmbShock_Click();
    void CmbRes_Click();

    // ---- Unit grid ----
    void ValidateData();

    // ---- Immediate effects ----
    void CmbFonts_Click();
    void CmbFontSize_Click();
    void ChkFontBold_Click();
    void ChkFontScale_Click();
    void CmbIcon_Click();
    void CmbIconSize_Click();
    void ChkScaleIcon_Click();
    void Col_Click(int index);
    // A press on the palette at Y (palette units, one per colour from the top).
    void Frame3D2_MouseDown(double y);
    void OptColour_Click(int index);
    void SetColourCaptions();
    void Optcurve_Click(int index);
    void ChkSaveTime_Click();
    void ChkHor_Click();
    void ChkVert_Click();
    void OptUnitType_Click(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    // What each box showed when filling ended, and each preset value box when its preset was chosen.
    ShownValues shown_;
    // The British factors as the unit grid showed them.
    std::array<std::string, 16> filledFactors_{};
    // Each editor's preset values (SI) and names as filling showed them: OK stores only those the user
    // changed, so a network loaded while the dialog is open keeps its own presets.
    std::array<std::array<float, 50>, 3> filledPresetValues_{};
    std::array<std::array<std::string, 50>, 3> filledPresetNames_{};
    // Set while code shows a font or icon setting in its list or box, whose click then stores nothing.
    bool shownFromCode_ = false;
    bool unloading_ = false;

    void buildDefaultsTab();
    void buildSimulationTab();
    void buildGraphicsTab();
    void buildColoursTab();
    void buildDisplayTab();
    void buildPresetsTab();
    void buildUnitsTab();
    void wireImmediateControls();
    void wirePresets();
    void wireUnitGrid();

    bool edited(const VBTextBox *box) const;
    // The font size list: every size from the first listed to the last, and `shown` when outside them.
    static constexpr int FirstListedFontSize = 6, LastListedFontSize = 40;
    void fillFontSizes(int shown);
    void fillPresets();
    void fillUnitGrid();
    // One preset editor: list, value box, hidden index box, working copy and value quantity.
    struct PresetEditor {
        VBComboBox *list;
        VBTextBox *value;
        VBTextBox *index;
        std::array<float, 50> *work;
        int quantity;
        Value rule;
    };
    PresetEditor preset(int which) const; // 0 wall, 1 shock, 2 resistance
    // A working value as its box shows it.
    static std::string presetText(const PresetEditor &e, int i);
    void presetClick(const PresetEditor &e);
    void presetRename(const PresetEditor &e);
    void presetStore(const PresetEditor &e);
    void unitGridLeaveCell();
    // A field the user changed: its value, taken to SI by `toSI` (none: as typed), is stored when its rule
    // (as the setting keeps it: a whole number where the rule counts, a single where it is one) and `also`
    // accept it. While checking, nothing is stored and the first field refused is kept in `refused_`.
    void checkField(VBTextBox *box, Value rule, const std::function<double(double)> &toSI,
                    const std::function<void(double)> &store, const char *message, int icon,
                    const std::function<bool(double)> &also = {});
    // The checked fields: the curve percentage, rows 1 .. 5, the default airway sizes, rows 6 .. 17; sets
    // recalculate when the density changed.
    void storeDisplayFields();
    void storeSizes();
    void storeCheckedFields(bool &recalculate);
    // Whether every checked field holds a value its rule accepts; the first refused says so and is selected.
    bool fieldsAccepted();
    // Steps 15 to 22 of storing: presets, names, autosave, units, and what the new values need.
    void restOfUnload(bool recalculate);
    struct Refusal {
        VBTextBox *box;
        std::string message;
        int icon;
    };
    bool checking_ = false;
    std::optional<Refusal> refused_;
    // A swatch's colour, shown and kept for OK.
    void paintSwatch(int index, int32_t colour);
    void unload();
};

// Tools > "Options": shows the settings dialog, or raises it when it is open.
void ShowOptions(QWidget *owner);
// The open settings dialog, or null.
frmOptions *OptionsWindow();
// Fills the open settings dialog again from the settings, so that OK cannot store what it showed before a
// network with settings of its own was loaded.
void RefillOptions();
