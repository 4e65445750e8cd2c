#include "settings/palette_strip.h"

#include "platform/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>

PaletteStrip::PaletteStrip(QWidget *parent) : QWidget(parent) {
    setFixedSize(24, 16 * Colours);
}

void PaletteStrip::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const double cell = static_cast<double>(height()) / Colours;
    for (int i = 0; i < Colours; ++i)
        p.fillRect(QRectF(0, i * cell, width(), cell), QColor(PictureBox::ToRgb(PictureBox::QBColor(i))));
}

void PaletteStrip::mousePressEvent(QMouseEvent *event) {
    emit Pressed(event->position().y() * Colours / std::max(height(), 1));
}
