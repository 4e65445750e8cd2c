#pragma once
// The legend window "Smoke Spread": the concentration classes with editable lower bounds, the time slider
// that replays the spread, and the buttons that switch the display off and on, clear the sources and close.
#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

class frmSmokeLegend : public QWidget {
    Q_OBJECT
public:
    explicit frmSmokeLegend(QWidget *parent = nullptr);
    // Told when the window closes, however it is closed.
    std::function<void()> Unloaded;

    QGroupBox *frmLegend;
    QLineEdit *Percent[6];
    QLabel *LblNone, *Label1, *LblTimer;
    QScrollBar *Slider;
    QPushButton *CmdClearS, *CmdClearSources, *CmdExit;

    void CmdClearS_Click();
    void CmdClearSources_Click();
    void CmdExit_Click();
    void Percent_LostFocus(int index);
    void Slider_Change();
    void Slider_Scroll();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Form_Unload: the data type shown before the spread returns.
    void Form_Unload();
    void showTime();
};
