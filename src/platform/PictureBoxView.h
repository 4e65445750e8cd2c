#pragma once
// A window's picture box control: shows a PictureBox of a fixed pixel size, which keeps its drawing
// between repaints (a repaint only shows the picture, it never draws).
#include "platform/PictureBox.h"

#include <QWidget>

class PictureBoxView : public QWidget {
    Q_OBJECT
public:
    PictureBoxView(int pixelWidth, int pixelHeight, QWidget *parent = nullptr);
    PictureBox &Picture() { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PictureBox picture_;
};
