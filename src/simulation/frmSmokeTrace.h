#pragma once
// The trace window "Smoke Source": the colour key of the trace marks; a press on it takes up the smoke
// report tool; its buttons switch the trace display, clear the report pins and close.
#include <QWidget>

#include <functional>

class QGroupBox;
class QPushButton;

class frmSmokeTrace : public QWidget {
    Q_OBJECT
public:
    explicit frmSmokeTrace(QWidget *parent = nullptr);
    // Told when the window closes, however it is closed.
    std::function<void()> Unloaded;

    QGroupBox *Frm2;
    QPushButton *CmdSim, *CmdClearS, *CmdExit;

    // A button pressed on the window (1 left, 2 right, 4 middle).
    void Form_MouseDown(int button);
    // The second mouse event of the window (the release).
    void Form_MouseUp(int button);
    void CmdSim_Click();
    void CmdClearS_Click();
    void CmdExit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
