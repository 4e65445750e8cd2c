#pragma once
// The station editor "Realtime Input Stations": one station at a time (name, update flag and five channels
// of name, abbreviation, unit, multiplier and alarm limits) and the realtime input settings. Scrolling to
// another station stores the one shown; OK and File > Exit store it and close; the close box stores
// nothing of the station shown.
#include <QDialog>
#include <array>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class VBCheckBox;

class frmRemote : public QDialog {
    Q_OBJECT
public:
    explicit frmRemote(QWidget *parent = nullptr);

    // Shows station j and the realtime input settings.
    void OKLoad(int j);
    // Stores the dialog into station j and the realtime input settings. A number box that does not read
    // is refused: nothing is stored and false comes back.
    bool OKSave(int j);

    void VScStation_Change();
    void cmdOK_Click();
    void mnuExit_Click();
    void CmdBrowse_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();

    // The station whose fields the dialog shows.
    int ShownStation = 1;
    // The channel rows of the last "Copy Station".
    struct CopiedChannel {
        std::string name, abbrev, unit;
        float factor = 0, low = 0, high = 0;
    };
    std::array<CopiedChannel, 5> CopiedChannels{};
    bool Copied = false; // whether "Copy Station" has filled CopiedChannels

    QLabel *LblNumber = nullptr;
    QScrollBar *VScStation = nullptr;
    QLineEdit *TxtStationName = nullptr;
    // Channel rows 0..4 for channels 1..5.
    std::array<QLineEdit *, 5> TxtLngNames{}, Abrev{}, RUnits{}, Mult{}, ALow{}, AHigh{};
    VBCheckBox *ChkUpdateQ = nullptr;
    QLineEdit *TxtRemoteSource = nullptr;
    QPushButton *CmdBrowse = nullptr;
    VBCheckBox *ChkResim = nullptr;
    VBCheckBox *ChkAlarm = nullptr;
    QLineEdit *TxtTimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QAction *mnuExit = nullptr, *mnuCopy = nullptr, *mnuPaste = nullptr;

private:
    // The first number box whose text does not read (the seconds box too when asked), or none.
    QLineEdit *unreadableBox(bool withSeconds = true) const;
    // Stores the station shown and closes.
    void storeAndClose();
};
