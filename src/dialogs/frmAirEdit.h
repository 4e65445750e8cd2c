#pragma once
// The airway edit dialog: one airway (AirEditMode 1) or every selected airway (AirEditMode 3) edited
// field by field. It works on CurrentAirway; the opener sets it and shows the dialog modally.
#include "dialogs/orifice_wizard.h"
#include "model/value_rules.h"
#include "platform/ShownValues.h"
#include "platform/VBArray.h"
#include "platform/VBControls.h"

#include "dialogs/CancelOnClose.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QColor;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// One of the three cross-section swatches, filled in the colour of the airway's air type.
class ShapeSwatch : public QWidget {
    Q_OBJECT
public:
    ShapeSwatch(int shape, QWidget *parent);
    void SetFillColour(int32_t vbColour);
    int32_t FillColour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int shape_;
    int32_t colour_ = 0x00FF00;
};

class frmAirEdit : public CancelOnClose, public FixedResistanceBox {
    Q_OBJECT
public:
    // Builds the window and loads it for CurrentAirway and AirEditMode.
    explicit frmAirEdit(QWidget *parent = nullptr);
    ~frmAirEdit() override;

    // ---- Public operations ----
    // Unloads without saving: PickedAirway 0, pending events, redraw unless ScreenBuffer.
    void closeform();
    // |P / Q²| of the fixed pressure and fixed flow shown, into TxtFixRes when both boxes are ticked.
    void UpdateFixR();
    // The text UpdateFixR puts into TxtFixRes, if any.
    std::optional<std::string> resistanceOfPressureAndFlow() const;
    // Shows the swatch, labels and dimension boxes of the shape in EditShape.
    void SetShape();
    // Multiple selection: disables the single-airway fields and clears every touched mark.
    void PartialDisable();

    // ---- Buttons ----
    void OK_Click();
    void cmdCancel_Click();
    void Info_Click();
    void ReCalc_Click();
    void Prnter_Click();
    void CmdResetSekection_Click();
    void CmdShape_Click();
    void CmdShock_Click();
    void CmdOriface_Click();

    // Whether a field counts as touched (white, or Tag "True" for the flag boxes), as the save reads it.
    bool Touched(const QWidget *control) const;
    // The back colour shown for a touched mark: white when touched, grey otherwise.
    bool ShownWhite(const QWidget *control) const;

    // ---- Controls ----
    QPushButton *CmdResetSekection, *Info, *Prnter, *cmdCancel, *OK;
    QGroupBox *Frame4, *Frame3, *Frame2, *Frame1;
    QLineEdit *TxtUnique, *LblFrom, *LblTo, *TxtName;
    VBCheckBox *CheckDirection;
    VBCheckBox *CheckFix, *ChkPress, *CheckLength, *ChkFixRes, *ChkFixK, *ChkShock;
    QLineEdit *TxtFlow, *TxtPres, *TxtLength, *TxtFixRes, *TxtWall, *TxtShock;
    std::array<QLabel *, 8> LblUnit{};
    VBComboBox *ResCombo, *WallCombo, *ShockCombo;
    QLabel *LblRes, *LblWall, *LblShock;
    QPushButton *CmdShock, *CmdOriface, *ReCalc;
    VBComboBox *FanCombo2;
    QLineEdit *TxtFanN;
    QLabel *Label1;
    QScrollBar *VSF;
    VBOptionButton *OptPar2, *OptSer2;
    std::array<VBCheckBox *, 3> Optcurve{};
    QLineEdit *TxtCPart;
    QLabel *LblCPart;
    VBComboBox *txtRemote, *CmbPrimary, *CmbSecond;
    QLabel *LblRemote, *Label5, *Label6;
    QLineEdit *TxtMultiAir, *TxtWidth, *txtHeight;
    QPushButton *CmdShape;
    std::array<ShapeSwatch *, 3> DriveShape{};
    QLabel *LblWidth, *LblHeight;
    VBCheckBox *OptShowData, *CheckService, *ChkSurfaceEntry, *ChkSurfaceExit;
    std::array<VBCheckBox *, 2> OptAirType{};

    // ---- Form state ----
    bool Loading = false;
    int ResistancePreset = 0;
    int LoadedResistanceType = 0;
    bool CurveBusy = false;
    int PrimaryRenameIndex = 0, SecondaryRenameIndex = 0;
    float EditWidth = 0, EditHeight = 0, EditDiameter = 0, EditArea = 0, EditPerimeter = 0; // m, m²

    // ---- FixedResistanceBox, for the orifice wizard ----
    void SetFixedResistanceText(const std::string &text) override;
    void FixResistance() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void CloseBoxHandler() override { closeform(); }

private:
    // Building and loading.
    void buildControls();
    void connectHandlers();
    void Form_Load();
    void LoadAirway();
    // Saving. What the boxes hold is read and checked first: a value a rule refuses is reported, its box
    // selected, and nothing is stored; the save then reports false.
    struct Entry {
        bool pressureAndFlow = false; // fixed pressure with fixed flow: a fixed resistance
        float pressure = 0, flow = 0; // Pa, m³/s
        int station = 0;
        std::optional<float> width, height, length; // SI
        std::optional<int> parallel;
        struct Preset {
            bool touched = false, fixed = false;
            int preset = 0;             // the list's choice, when not fixed
            std::optional<float> typed; // SI, when fixed and not empty
        };
        std::array<Preset, 3> presets;
        bool fans = false;
        int fanCount = 0, curvePercent = 0;
    };
    std::optional<Entry> readEntry();
    void storeEntry(const Entry &entry);
    bool SaveOne();
    bool SaveSelected();
    // The chosen station, and the preset index of a preset list's entry; no choice is a VBError.
    int stationChoice() const;
    static int presetChoice(const VBComboBox &list);
    // Undo: records airway a before a write (its state after the last write closes the entry pair).
    void beginWrite(int a);
    // Records the airway of the open write as it now is.
    void endWrite();
    // Shows an SI value in a box in display units; the box reads back as that value until it is edited.
    void showValue(QLineEdit &box, float value, int quantity, int precision);
    // The SI value of a box: the value it was shown from while unedited, else its text typed, held to its
    // rule (ValueRefused).
    float boxValue(const QLineEdit &box, int quantity, Value rule) const;
    // The fan-count spinner for a count; a count it cannot show leaves TxtFanN alone.
    void setFanSpinner(int fans);

    // The three fixed values with a preset list: resistance, friction factor, shock length.
    struct PresetField {
        VBCheckBox *fix;
        QLineEdit *value;
        VBComboBox *list;
        QLabel *caption;
        VBArray<int> &type;
        VBArray<float> &stored;
        const VBArray<float> &presetValue;
        int shownQuantity;  // how the box shows the value (and a preset's value)
        int shownPrecision; // of the stored value
        int typedQuantity;  // how the save reads the box
        Value rule;         // what may be typed
    };
    std::array<PresetField, 3> presetFields();
    PresetField presetField(const QWidget *control);
    void presetClick(const PresetField &field);

    // Couplings of the fix boxes, flags, fan list and presets.
    void fixBoxClick(VBCheckBox *box);
    void flagTagClick(VBCheckBox *box);
    void surfaceClick(VBCheckBox *box, VBCheckBox *other);
    void OptAirType_Click(int index);
    void ColourAirType();
    void Optcurve_Click(int index);
    void FanCombo2_Click();
    void ResCombo_Click();
    void VSF_Change();
    void layerKeyPress(VBComboBox *combo);
    void layerLostFocus(VBComboBox *combo);
    // Names a layer with the text its list shows, unless that is only the number an unnamed layer is listed
    // by.
    static void storeLayerName(bool primary, int layer, const std::string &text);

    // Touched marks.
    void mark(QWidget *control);
    void unmark(QWidget *control);
    void showMark(QWidget *control, const QColor &colour);
    void setTag(VBCheckBox *box, bool touched);
    bool isTagMarked(const QWidget *control) const;

    // Closing.
    void unload(int result);
    void Form_Deactivate();
    void activationSettled();

    // How a field behaves when it gets or loses the focus, on keys and on clicks.
    enum FocusAction : unsigned { SelectAll = 1, MarkOnFocus = 2 };
    enum class LostFocus { None, Positive, Signed, LayerRename };
    struct FieldRule {
        QWidget *control = nullptr;
        unsigned focus = 0;
        bool separator = false; // a typed "." becomes the decimal separator
        bool markOnKey = false;
        bool discardPoint = false;
        bool enterOK = false;          // Enter saves and closes
        QWidget *enterFocus = nullptr; // Enter moves the focus here
        LostFocus lost = LostFocus::None;
        bool clickMark = false;
        bool doubleClickUnmark = false;
    };
    bool fieldEvent(const FieldRule &rule, QEvent *event);
    std::vector<FieldRule> fieldRules_;
    std::map<const QObject *, const FieldRule *> fieldOf_;
    std::map<const QWidget *, bool> touched_;
    ShownValues shown_;
    const QObject *afterDoubleClick_ = nullptr; // the release that ends a double click is no click
    bool fanLoaded_ = true; // the fan controls show the airway's fan (it is in the fan list)
    bool filling_ = false;  // the dialog is being filled from an airway, not worked by the user
    bool wrote_ = false;    // an airway was written: closing raises the undo step
    int openWrite_ = 0;     // airway written since its last "after" undo record
};
