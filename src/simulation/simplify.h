#pragma once
// Network simplification: chains of airways in series that run in nearly one direction are joined into
// one airway, and airways without flow can be removed; the whole run is one undo step.
#include <QWidget>

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// What the run may join or remove.
struct SimplifyFilter {
    int32_t maxLength = 200;     // m: an airway longer than this in a straight line is not extended
    float maxAngle = 15;         // degrees between the directions of two airways joined
    bool sameWall = false;       // join only airways of one wall type
    bool sameSize = false;       // join only airways of one size
    bool noPresets = false;      // leave airways with a resistance type other than "Automatic"
    bool selectedOnly = false;   // work on selected airways only
    bool combineLengths = false; // the joined airway gets the sum of the lengths, fixed
    bool removeZeroFlow = false; // delete airways whose flow is exactly 0
};

// The run, ending with the message of the reduction. Returns the number of airways removed.
int SimplifyNetwork(const SimplifyFilter &filter);

// The window "Simplify Network Filter" (modeless).
class frmSimplify : public QWidget {
    Q_OBJECT
public:
    explicit frmSimplify(QWidget *parent = nullptr);

    QLabel *Label1, *Label2;
    QLineEdit *TxtL, *TxtA;
    QScrollBar *HSL, *HSA;
    QCheckBox *CheckK, *CheckS, *CheckR, *CheckSel, *ChkCombine, *ChkZero;
    QPushButton *CmdSimp, *CmdExit;

    void CmdSimp_Click();
};
