#pragma once
// A graphics child window: shows its picture box and turns pointer, wheel, key, focus, size and close
// events into the shared gesture state and the graphic editor's calls.
#include "platform/PictureBox.h"

#include <QMdiSubWindow>
#include <QWidget>
#include <memory>
#include <string>

class frmWindow;

// The picture surface of a graphics window on screen.
class MouseInputAdapter;

class GraphicsView : public QWidget {
    Q_OBJECT
public:
    explicit GraphicsView(frmWindow *owner);
    PictureBox &Picture() { return picture_; }
    const PictureBox &Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    frmWindow *owner_;
    PictureBox picture_;
    int wheelRemainder_ = 0; // angle delta not yet worth a zoom step
    MouseInputAdapter *input_ = nullptr;
};

class frmWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    frmWindow(int number, QWidget *parent = nullptr);
    ~frmWindow() override;

    PictureBox &Picture() { return view_->Picture(); }
    const PictureBox &Picture() const { return view_->Picture(); }
    GraphicsView *View() { return view_; }
    int Number() const { return number_; }
    // The window's number as text once it is set up; empty before.
    std::string Tag() const { return Picture().Tag; }
    std::string Caption() const;
    void SetCaption(const std::string &caption);

    void loadscreen();
    void UnLoadscreen();
    // One zoom step about the window centre: positive rotation zooms in.
    static void MouseWheel(int keys, int rotation, int x, int y);

    // Button: 1 left, 2 right, 4 middle; Shift: 1 Shift, 2 Ctrl, 4 Alt; X, Y in the picture's scale.
    void Form_MouseDown(int button, int shift, float x, float y);
    void Form_MouseMove(int button, int shift, float x, float y);
    void Form_MouseUp(int button, int shift, float x, float y);
    void Form_KeyDown(int keyCode);
    void Form_Resize();
    // Returns true when the close is cancelled.
    bool Form_Unload();

protected:
    void closeEvent(QCloseEvent *event) override;

private:

    int number_;
    GraphicsView *view_;
};

// Qt key and button state as the program's key codes and shift masks.
int VBKeyCode(int qtKey);
