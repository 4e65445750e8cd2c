#include "shell/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

// One style for every button: a dark slate line drawing with one accent colour per meaning
// (blue for views, green for airways and air, red for removal and contaminants, amber for files).
const QColor Ink(40, 52, 64);
const QColor Blue(40, 110, 200);
const QColor Green(30, 150, 80);
const QColor Red(200, 50, 40);
const QColor Amber(215, 150, 30);

void arrowHead(QPainter &p, QPointF tip, QPointF from, const QColor &c) {
    const QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (len == 0)
        return;
    const QPointF u(d.x() / len, d.y() / len), n(-u.y(), u.x());
    QPolygonF head;
    head << tip << tip - u * 5 + n * 3 << tip - u * 5 - n * 3;
    p.setBrush(c);
    p.drawPolygon(head);
    p.setBrush(Qt::NoBrush);
}

void arrow(QPainter &p, QPointF a, QPointF b, const QColor &c) {
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(c, 1));
    arrowHead(p, b, a, c);
}

void airway(QPainter &p, QPointF a, QPointF b, const QColor &c = Green) {
    p.setPen(QPen(c, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(a, b);
    p.setPen(QPen(Ink, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(a, 2, 2);
    p.drawEllipse(b, 2, 2);
    p.setBrush(Qt::NoBrush);
}

void magnifier(QPainter &p) {
    p.setPen(QPen(Ink, 2));
    p.drawEllipse(QPointF(10, 10), 6, 6);
    p.setPen(QPen(Ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
}

void cross(QPainter &p, QPointF c, double r, const QColor &col) {
    p.setPen(QPen(col, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
    p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
}

void fan(QPainter &p, QPointF c, double r) {
    p.setPen(QPen(Ink, 1.5));
    p.drawEllipse(c, r, r);
    p.setBrush(Blue);
    for (int k = 0; k < 3; ++k) {
        p.save();
        p.translate(c);
        p.rotate(120.0 * k);
        p.drawEllipse(QPointF(0, -r / 2), r / 4, r / 2);
        p.restore();
    }
    p.setBrush(Qt::NoBrush);
}

void page(QPainter &p, const QColor &c) {
    QPolygonF sheet;
    sheet << QPointF(5, 3) << QPointF(15, 3) << QPointF(19, 7) << QPointF(19, 21) << QPointF(5, 21);
    p.setPen(QPen(Ink, 1.5));
    p.setBrush(QColor(250, 250, 245));
    p.drawPolygon(sheet);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c, 1.5));
    for (int y = 10; y <= 18; y += 4)
        p.drawLine(8, y, 16, y);
}

void cloud(QPainter &p, const QColor &c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(8, 13), 5, 4);
    p.drawEllipse(QPointF(13, 10), 6, 5);
    p.drawEllipse(QPointF(17, 14), 4, 3.5);
    p.setBrush(Qt::NoBrush);
}

void letter(QPainter &p, const QString &text, const QColor &c, QRectF r = QRectF(0, 0, 24, 24),
            int size = 11) {
    QFont f("Sans", size);
    f.setBold(true);
    f.setPixelSize(size);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
}

void curvedArrow(QPainter &p, bool clockwise, const QColor &c) {
    QPainterPath path;
    path.arcMoveTo(QRectF(5, 5, 14, 14), clockwise ? 160 : 20);
    path.arcTo(QRectF(5, 5, 14, 14), clockwise ? 160 : 20, clockwise ? -250 : 250);
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
    const QPointF end = path.currentPosition();
    const QPointF before = path.pointAtPercent(0.93);
    p.setPen(QPen(c, 1));
    arrowHead(p, end + (end - before) * 0.5, before, c);
}

void drawIcon(QPainter &p, int index) {
    switch (index) {
    case 0: // zoom and pan
        magnifier(p);
        p.setPen(QPen(Blue, 1.5));
        p.drawLine(7, 10, 13, 10);
        p.drawLine(10, 7, 10, 13);
        break;
    case 1: // fit all
        p.setPen(QPen(Blue, 1.5));
        p.drawRect(QRectF(3, 3, 18, 18));
        airway(p, {7, 16}, {12, 8});
        airway(p, {12, 8}, {17, 15});
        break;
    case 2: // layers copy
        for (int k = 0; k < 3; ++k) {
            QPolygonF sheet;
            const double y = 14 - 4 * k;
            sheet << QPointF(3, y) << QPointF(12, y - 4) << QPointF(21, y) << QPointF(12, y + 4);
            p.setPen(QPen(Ink, 1));
            p.setBrush(k == 2 ? Blue : QColor(200, 215, 235));
            p.drawPolygon(sheet);
        }
        break;
    case 3: // find
        magnifier(p);
        letter(p, "?", Red, QRectF(4, 4, 12, 12), 10);
        break;
    case 4: // draw airway
        airway(p, {4, 19}, {17, 6});
        p.setPen(QPen(Amber, 2));
        p.drawLine(QPointF(17, 6), QPointF(21, 2));
        break;
    case 5: // redo
        curvedArrow(p, true, Blue);
        break;
    case 6: // move airway end
        airway(p, {4, 19}, {12, 11});
        p.setPen(QPen(Ink, 1, Qt::DashLine));
        p.drawLine(QPointF(12, 11), QPointF(20, 5));
        arrow(p, {13, 10}, {20, 4}, Amber);
        break;
    case 7: // reverse direction
        arrow(p, {4, 9}, {20, 9}, Green);
        arrow(p, {20, 16}, {4, 16}, Blue);
        break;
    case 8: // delete airway
        airway(p, {4, 18}, {20, 6});
        cross(p, {12, 12}, 5, Red);
        break;
    case 9: // fan
        airway(p, {2, 12}, {22, 12});
        fan(p, {12, 12}, 7);
        break;
    case 10: // text
        letter(p, "Ab", Ink, QRectF(0, 0, 24, 24), 13);
        p.setPen(QPen(Amber, 2));
        p.drawLine(4, 20, 20, 20);
        break;
    case 11: // contaminant source
        cloud(p, QColor(120, 120, 120));
        p.setPen(QPen(Red, 2));
        p.drawLine(12, 16, 12, 22);
        p.drawLine(9, 19, 15, 19);
        break;
    case 12: // edit airway
        airway(p, {3, 20}, {12, 11});
        p.setPen(QPen(Amber, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 14), QPointF(20, 6));
        p.setPen(QPen(Ink, 1));
        p.drawLine(QPointF(10, 16), QPointF(12, 14));
        break;
    case 13: // airway information
        p.setPen(QPen(Blue, 2));
        p.drawEllipse(QPointF(12, 12), 9, 9);
        letter(p, "i", Blue, QRectF(0, 0, 24, 24), 13);
        break;
    case 14: // air simulation
        arrow(p, {3, 7}, {19, 7}, Green);
        arrow(p, {3, 12}, {21, 12}, Green);
        arrow(p, {3, 17}, {19, 17}, Green);
        break;
    case 15: // insert node
        airway(p, {3, 18}, {21, 6});
        p.setPen(QPen(Ink, 1));
        p.setBrush(Amber);
        p.drawEllipse(QPointF(12, 12), 3.5, 3.5);
        p.setBrush(Qt::NoBrush);
        break;
    case 16: // follow airway
        airway(p, {3, 19}, {10, 12});
        airway(p, {10, 12}, {20, 10});
        arrow(p, {12, 16}, {20, 15}, Blue);
        break;
    case 17: // smoke report
        cloud(p, QColor(150, 150, 150));
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(12, 14, 12, 22);
        p.setBrush(Red);
        p.drawEllipse(QPointF(12, 6), 3, 3);
        p.setBrush(Qt::NoBrush);
        break;
    case 18: // centre or rotate
        curvedArrow(p, false, Blue);
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(12, 9, 12, 15);
        p.drawLine(9, 12, 15, 12);
        break;
    case 19: // open file
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(Amber);
        p.drawRect(QRectF(3, 8, 18, 12));
        p.setBrush(QColor(245, 200, 110));
        p.drawPolygon(QPolygonF() << QPointF(3, 8) << QPointF(8, 5) << QPointF(12, 5) << QPointF(14, 8));
        p.setBrush(Qt::NoBrush);
        break;
    case 20: // save
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(Blue);
        p.drawRect(QRectF(4, 4, 16, 16));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 4, 10, 6));
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(7, 13, 10, 7));
        p.setBrush(Qt::NoBrush);
        break;
    case 21: // attributes copy
        page(p, Green);
        arrow(p, {2, 12}, {9, 12}, Amber);
        break;
    case 22: // print
        p.setPen(QPen(Ink, 1.5));
        p.setBrush(QColor(210, 210, 210));
        p.drawRect(QRectF(3, 10, 18, 8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 4, 10, 6));
        p.drawRect(QRectF(7, 15, 10, 6));
        p.setBrush(Qt::NoBrush);
        break;
    case 23: // undo
        curvedArrow(p, false, Amber);
        break;
    case 24: // 2D / 3D
        p.setPen(QPen(Ink, 1.5));
        p.drawRect(QRectF(4, 9, 11, 11));
        p.drawLine(QPointF(4, 9), QPointF(9, 4));
        p.drawLine(QPointF(15, 9), QPointF(20, 4));
        p.drawLine(QPointF(15, 20), QPointF(20, 15));
        p.drawLine(QPointF(9, 4), QPointF(20, 4));
        p.drawLine(QPointF(20, 4), QPointF(20, 15));
        letter(p, "3D", Blue, QRectF(4, 9, 11, 11), 7);
        break;
    case 25: // grid
        p.setPen(QPen(Blue, 1));
        for (int k = 4; k <= 20; k += 4) {
            p.drawLine(k, 3, k, 21);
            p.drawLine(3, k, 21, k);
        }
        break;
    case 26: // display options
        p.setPen(QPen(Ink, 1.5));
        p.drawRect(QRectF(3, 4, 18, 14));
        p.setPen(QPen(Blue, 2));
        p.drawLine(6, 9, 18, 9);
        p.setPen(QPen(Green, 2));
        p.drawLine(6, 13, 14, 13);
        p.setPen(QPen(Ink, 2));
        p.drawLine(9, 21, 15, 21);
        break;
    case 27: // single or multi level
        for (int k = 0; k < 3; ++k) {
            p.setPen(QPen(k == 1 ? Green : QColor(160, 170, 180), k == 1 ? 3 : 2));
            p.drawLine(QPointF(4, 6 + 6 * k), QPointF(20, 6 + 6 * k));
        }
        break;
    case 28: // update screen (deselect all)
        p.setPen(QPen(Blue, 1.5));
        p.drawRect(QRectF(3, 4, 18, 15));
        curvedArrow(p, true, Green);
        break;
    case 29: // contaminant simulation
        cloud(p, QColor(110, 110, 110));
        arrow(p, {4, 20}, {20, 20}, Red);
        break;
    case 30: // sourcing simulation
        cloud(p, QColor(110, 110, 110));
        arrow(p, {20, 20}, {4, 20}, Red);
        break;
    case 31: // select airway
        airway(p, {4, 19}, {14, 9}, Blue);
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF() << QPointF(13, 5) << QPointF(13, 19) << QPointF(16.5, 15.5)
                                  << QPointF(19, 21) << QPointF(21, 20) << QPointF(18.5, 14.5)
                                  << QPointF(23, 14.5));
        p.setBrush(Qt::NoBrush);
        break;
    default:
        break;
    }
}

} // namespace

QImage ToolIcon(int index) {
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawIcon(p, index);
    return image;
}
