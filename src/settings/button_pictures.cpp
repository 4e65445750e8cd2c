#include "settings/button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

namespace {

template <typename Draw> QIcon picture(Draw draw) {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pixmap);
}

// An eye, open or struck through.
void eye(QPainter &p, bool struck) {
    p.setPen(QPen(QColor(30, 60, 120), 1.6));
    QPainterPath lid;
    lid.moveTo(2, 10);
    lid.quadTo(10, 2, 18, 10);
    lid.quadTo(10, 18, 2, 10);
    p.drawPath(lid);
    p.setBrush(QColor(30, 60, 120));
    p.drawEllipse(QPointF(10, 10), 2.5, 2.5);
    if (struck) {
        p.setPen(QPen(QColor(190, 30, 30), 2));
        p.drawLine(3, 17, 17, 3);
    }
}

} // namespace

static QIcon printerPicture() {
    return picture([](QPainter &p) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(6, 2, 8, 6); // paper going in
        p.setBrush(QColor(150, 150, 160));
        p.drawRect(2, 8, 16, 7); // body
        p.setBrush(Qt::white);
        p.drawRect(5, 13, 10, 5); // paper coming out
        p.setPen(QColor(40, 160, 40));
        p.drawPoint(15, 10);
    });
}

QIcon ShowAllPicture() {
    return picture([](QPainter &p) { eye(p, false); });
}

QIcon HideAllPicture() {
    return picture([](QPainter &p) { eye(p, true); });
}

QPushButton *NewPrintButton(QWidget *parent) {
    auto *button = new QPushButton(parent);
    button->setIcon(printerPicture());
    button->setToolTip("Print");
    return button;
}
