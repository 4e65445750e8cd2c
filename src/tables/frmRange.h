#pragma once
// "Select Range" (modal): the elevation window of the active view from the top of one level down to the
// bottom of another, chosen in either order.
#include <QDialog>

class QLabel;
class QPushButton;
class VBComboBox;

class frmRange : public QDialog {
    Q_OBJECT
public:
    explicit frmRange(QWidget *parent = nullptr);

    VBComboBox *CmbRL1 = nullptr, *CmbRL2 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
};

// Shows the range chooser modally (the view's elevation range mode).
void ShowRangeChooser(QWidget *owner);
