#pragma once
// The fan database editor "Fan List" (modal): the fan slots, the chosen fan's name, exit diameter and ten
// curve points, the curve chart, curve estimation and the default fan file. Edits go straight into the
// fan arrays; the grid reaches them through the chart's read-back at every commit. The window keeps the
// database as it found it: only OK (or Yes to keeping the changes) leaves the edits, every other way out
// asks whenever anything differs and gives the database back on No.
#include <QDialog>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class Value;
class QLabel;
class QPushButton;
class PictureBoxView;
class VBCheckBox;
class VBGrid;
class VBListBox;
class VBTextBox;

class frmFanData : public QDialog {
    Q_OBJECT
public:
    explicit frmFanData(QWidget *parent = nullptr);
    ~frmFanData() override;

    VBListBox *FanList = nullptr;
    VBTextBox *TxtFanName = nullptr;
    QLabel *Label1 = nullptr;
    VBTextBox *TxtOutDiam = nullptr;
    QLabel *LblUnit = nullptr;
    VBGrid *Spreadsheet = nullptr;
    VBTextBox *TxtEdit = nullptr;
    PictureBoxView *PicFan = nullptr;
    VBCheckBox *ChkStatic = nullptr, *ChkTotal = nullptr, *ChkEff = nullptr;
    QPushButton *ExitFan = nullptr, *Cancel = nullptr, *Command2 = nullptr;

    bool StaticEmpty = false, TotalEmpty = false, FlowEmpty = false, EfficiencyEmpty = false;

    // ---- Public operations ----
    // The static curve of fan `fan` from its total curve, and the total curve from the static one, through
    // the velocity pressure at the fan's exit diameter. A fan without a total curve, or without flows, has
    // nothing to estimate from and is left as it is.
    void StaticFan(int fan);
    void TotalFan(int fan);
    void SetWidths();
    // Whether a curve column of a fan (1 static, 2 total, 3 flow, 4 efficiency) holds no value at all.
    static bool ColumnEmpty(int fan, int column);
    void DeleteCells();
    void FanCurveSet();

    void Form_Load();
    void FillFanList();
    void FillCurveGrid();
    void CheckZeroEfficiency();
    // Reads the grid back into the current fan, then draws its curves in PicFan.
    void DrawFanCurve();

    // ---- Commands ----
    void ExitFan_Click();
    void Cancel_Click();
    void Command2_Click();
    void mnuSave_Click();
    void mnuPrintF_Click();
    void mnuex_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuStaticCurrent_Click();
    void mnuStaticAll_Click();
    void mnuTotalCurrent_Click();
    void mnuTotalAll_Click();

    QAction *MenuItem(const std::string &name) const;

protected:
    void reject() override;

private:
    std::map<std::string, QAction *> items_;
    bool unloading_ = false;
    // The fan database and the network's saved flag as they were when the window opened.
    struct FanSlot;
    std::vector<FanSlot> opened_;
    uint8_t openedNetworkSaved_ = 255;
    // The curve grid as the last fill left it: each cell's text and the value (SI) it shows, so that a cell
    // nobody changed gives back the stored value and not its rounded text.
    struct ShownCell {
        std::string text;
        float value = 0;
    };
    std::array<std::array<ShownCell, 5>, 11> shown_{};
    int shownFan_ = 0;

    void buildMenus(class QMenuBar *bar);
    // FanList entry of a slot: its number with a leading blank, a blank and the name.
    static std::string listEntry(int fan, const std::string &name);
    void FanList_Click();
    void pressureCheckClick(VBCheckBox *clicked, VBCheckBox *other);
    void gridKeyPress(int &keyAscii);
    void gridKeyDown(int &keyCode, int shift);
    // An open edit box's text into its cell; a curve point needs a number, so other text gives the cell
    // back as it was, with a word, and gives false.
    bool commitEdit();
    // Whether a number typed into curve column `col` breaks its rule (named in `rule`).
    static bool refusedPoint(int col, const std::string &text, Value &rule);
    // Whether the fan database differs from what the window opened on.
    bool databaseChanged() const;
    void nameKeyPress(int &keyAscii);
    void storeName();
    // The typed diameter into the fan; false when its rule refuses it (said, nothing stored).
    bool storeDiameter(bool onLeaving);
    // Asks the estimate question, reads the grid, estimates current or all fans and shows the fan again.
    void estimate(bool total, bool all);
    // Unloads the window once: kept, the edits stay after the zero-efficiency check; otherwise the fan
    // database goes back to what the window opened on.
    void unloadWindow(bool keep);
};

// Tools > "Fans": the fan database editor, modal.
void ShowFanDatabase(QWidget *owner);
