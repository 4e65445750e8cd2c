#pragma once
// The title window the program starts in; a click (or, with a network named on the command line, a short
// wait) hands over to the main window.
#include <QLabel>
#include <QTimer>
#include <QWidget>

class MainForm;

class frmTitle : public QWidget {
    Q_OBJECT
public:
    // commandLine: the network file argument as given ("" when none).
    explicit frmTitle(const std::string &commandLine);
    // Closes the title and opens the main window (owned by the caller through MainWindow()).
    void Start();
    MainForm *MainWindow() const { return main_; }
    QTimer TimerStart;

    // The title picture, drawn by code.
    static QImage TitlePicture();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLabel *TitlePic, *LblWin, *Lbl1, *Lbl3, *Lbl2, *LblCopy;
    MainForm *main_ = nullptr;
};
