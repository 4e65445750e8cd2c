#pragma once
// The progress window of a simulation run: stage caption, progress bar, balancing figures and "Cancel".
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class frmSimForm : public QWidget {
    Q_OBJECT
public:
    explicit frmSimForm(QWidget *parent = nullptr);

    void SetStage(const QString &caption);
    void SetProgress(int percent);
    void ShowBalanceLabels();
    void SetSweepFigures(const QString &sweep, const QString &largestCorrection);
    // Closes and deletes the window.
    void Unload();

    QLabel *Label1, *Lbl1, *LblItt, *Lbl2, *LblError;
    QProgressBar *ProgBar;
    QPushButton *Command1;

protected:
    bool event(QEvent *e) override;

private:
    void Command1_Click();
};
