#include "platform/PictureBoxView.h"

#include <QPainter>

PictureBoxView::PictureBoxView(int pixelWidth, int pixelHeight, QWidget *parent)
    : QWidget(parent), picture_(pixelWidth, pixelHeight) {
    setFixedSize(pixelWidth, pixelHeight);
    picture_.Changed = [this] { update(); };
}

void PictureBoxView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture_.Image());
}
