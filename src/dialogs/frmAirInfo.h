#pragma once
// The airway information window: the report of CurrentAirway (title, up to sixteen rows, the coordinates
// of both ends) and, for an airway with a database fan, the fan's duty-point chart. It is modeless and
// closes itself as soon as another window of the program becomes active.
#include "platform/PictureBox.h"

#include <QWidget>
#include <array>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

// Shows a picture box's image and reports mouse moves in its user scale.
class PictureView : public QWidget {
    Q_OBJECT
public:
    PictureView(PictureBox &picture, QWidget *parent);
    std::function<void(double x, double y)> MouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    PictureBox &picture_;
};

class frmAirInfo : public QWidget {
    Q_OBJECT
public:
    // Loads the report of CurrentAirway; SubDialogOpen is set while the window lives.
    explicit frmAirInfo(QWidget *parent = nullptr);
    ~frmAirInfo() override;

    // Draws the chart of the airway's fan (done once while the report loads).
    void DrawFanCurve();
    // The chart's cursor read-out at (x, y) in the chart's user scale.
    void PicFan2_MouseMove(double x, double y);
    void Command1_Click();
    void Command2_Click();
    void Prnter_Click();

    // The window's designed width as loaded, twips: with the chart column or without (the value column may
    // widen beyond it).
    int WidthTwips() const { return widthTwips_; }

    QLabel *LblAirName;
    std::array<QLabel *, 16> LblDName{};
    std::array<QLineEdit *, 16> LblData{};
    QLabel *LblCoord, *LblCoord2;
    QPushButton *Prnter, *Command2, *Command1;
    // The fan chart.
    PictureBox Chart;
    PictureView *PicFan2;
    QLabel *LblFanName, *LblDutyP, *LblDutyQ, *LblP, *LblQ;
    float PressureFactor = 0, FlowFactor = 0, PressureScale = 0, FlowScale = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void ShowAirwayData();
    // Widens the value column where a value would not show whole.
    void fitValues();
    // Closes the window, and redraws the active graphics window unless ScreenBuffer is set.
    void unloadAndRedraw();
    int twips(int value) const;
    int widthTwips_ = 0;
    bool unloaded_ = false;
};
