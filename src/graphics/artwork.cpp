#include "graphics/artwork.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <map>

namespace {

constexpr int Size = 32;
const QColor Outline(32, 32, 32);
const QColor Paper(255, 255, 255);

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

QImage canvas() {
    QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A painter with the house style: antialiased, two-pixel dark outline with round joins.
void stylePainter(QPainter &p, const QColor &fill) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(Outline, 2);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(fill);
}

QImage draw(const QColor &fill, const std::function<void(QPainter &)> &body) {
    QImage image = canvas();
    QPainter p(&image);
    stylePainter(p, fill);
    body(p);
    return image;
}

QPainterPath pinPath() {
    QPainterPath path;
    path.moveTo(16, 30);
    path.cubicTo(12, 22, 6, 17, 6, 11);
    path.arcTo(6, 1, 20, 20, 180, -180);
    path.cubicTo(26, 17, 20, 22, 16, 30);
    return path;
}

QImage pin(const QColor &fill) {
    return draw(fill, [](QPainter &p) {
        p.drawPath(pinPath());
        p.setBrush(Paper);
        p.drawEllipse(QPointF(16, 11), 4, 4);
    });
}

// Three curved blades about a hub, inside a ring.
void fanShape(QPainter &p, double cx, double cy, double r) {
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.save();
    p.setBrush(Outline);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 3; ++k) {
        p.save();
        p.translate(cx, cy);
        p.rotate(120.0 * k);
        QPainterPath blade;
        blade.moveTo(0, 0);
        blade.cubicTo(r * 0.2, -r * 0.45, r * 0.65, -r * 0.55, r * 0.8, -r * 0.25);
        blade.cubicTo(r * 0.55, -r * 0.05, r * 0.25, 0.05 * r, 0, 0);
        p.drawPath(blade);
        p.restore();
    }
    p.restore();
    p.drawEllipse(QPointF(cx, cy), r * 0.16, r * 0.16);
}

QImage symbolFor(const std::string &key) {
    if (key == "LINE")
        return draw(Qt::NoBrush, [](QPainter &p) {
            p.setPen(QPen(Outline, 6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 27), QPointF(27, 5));
            p.setPen(QPen(QColor(80, 200, 90), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 27), QPointF(27, 5));
        });
    if (key == "ARROW")
        return draw(Qt::NoBrush, [](QPainter &p) {
            const QPointF head[3] = {{15, 6}, {26, 16}, {15, 26}};
            for (const auto &[colour, width] :
                 {std::pair{Outline, 6.0}, std::pair{QColor(80, 200, 90), 3.0}}) {
                p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawLine(QPointF(5, 16), QPointF(25, 16));
                p.drawPolyline(head, 3);
            }
        });
    if (key == "SMOKE2")
        return draw(QColor(150, 150, 150), [](QPainter &p) {
            // A source: a flame under a cloud of contaminant.
            QPainterPath cloud;
            cloud.addEllipse(QPointF(11, 12), 7, 6);
            cloud.addEllipse(QPointF(20, 10), 8, 7);
            cloud.addEllipse(QPointF(16, 16), 9, 5);
            p.drawPath(cloud.simplified());
            p.setBrush(QColor(240, 120, 20));
            QPainterPath flame;
            flame.moveTo(16, 30);
            flame.cubicTo(9, 29, 10, 23, 16, 19);
            flame.cubicTo(22, 23, 23, 29, 16, 30);
            p.drawPath(flame);
        });
    if (key == "FANBIG")
        return draw(QColor(120, 190, 255), [](QPainter &p) { fanShape(p, 16, 16, 13); });
    if (key == "NODE2")
        return draw(Paper, [](QPainter &p) {
            p.drawEllipse(QPointF(16, 16), 11, 11);
            p.setBrush(Outline);
            p.drawEllipse(QPointF(16, 16), 4, 4);
        });
    if (key == "HAZARD2")
        return draw(QColor(255, 205, 40), [](QPainter &p) {
            const QPointF triangle[3] = {{16, 3}, {30, 28}, {2, 28}};
            p.drawPolygon(triangle, 3);
            p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(16, 11), QPointF(16, 19));
            p.drawPoint(QPointF(16, 24));
        });
    if (key == "BBH2")
        return draw(QColor(190, 70, 50), [](QPainter &p) {
            // A brick wall across the airway.
            p.drawRect(QRectF(3, 4, 26, 24));
            p.setPen(QPen(QColor(245, 225, 200), 1.5));
            for (double y : {10.0, 16.0, 22.0})
                p.drawLine(QPointF(4, y), QPointF(28, y));
            static constexpr double evenJoints[2] = {11, 20};
            static constexpr double oddJoints[3] = {7, 16, 24};
            for (int row = 0; row < 4; ++row) {
                const double *joints = row % 2 == 0 ? evenJoints : oddJoints;
                const int count = row % 2 == 0 ? 2 : 3;
                for (int j = 0; j < count; ++j)
                    p.drawLine(QPointF(joints[j], 5 + row * 6.0), QPointF(joints[j], 9.5 + row * 6.0));
            }
        });
    if (key == "PINRED2")
        return pin(QColor(220, 40, 40));
    if (key == "PINBLU2")
        return pin(QColor(40, 100, 230));
    if (key == "RES")
        return draw(QColor(255, 150, 40), [](QPainter &p) {
            // A regulator: a box whose opening is narrowed.
            p.drawRoundedRect(QRectF(3, 3, 26, 26), 4, 4);
            p.setBrush(Outline);
            const QPointF top[3] = {{8, 8}, {24, 8}, {16, 14}};
            const QPointF bottom[3] = {{8, 24}, {24, 24}, {16, 18}};
            p.drawPolygon(top, 3);
            p.drawPolygon(bottom, 3);
        });
    if (key == "FIXED")
        return draw(QColor(80, 200, 90), [](QPainter &p) {
            // A fixed quantity: a box with a flow arrow held between two bars.
            p.drawRoundedRect(QRectF(3, 3, 26, 26), 4, 4);
            p.setPen(QPen(Outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(8, 16), QPointF(22, 16));
            const QPointF head[3] = {{17, 11}, {22, 16}, {17, 21}};
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(head, 3);
            p.drawLine(QPointF(8, 8), QPointF(24, 8));
            p.drawLine(QPointF(8, 24), QPointF(24, 24));
        });
    return {};
}

// Cursors: the tool's picture in white with the dark outline, so that it shows on dark and light drawings.
CursorArtwork cursor(int hx, int hy, const std::function<void(QPainter &)> &body) {
    CursorArtwork c;
    c.image = draw(Paper, body);
    c.hotX = hx;
    c.hotY = hy;
    return c;
}

// A small cross marking the hot spot of cursors whose picture has no natural point.
void hotCross(QPainter &p, double x, double y) {
    p.save();
    p.setPen(QPen(Outline, 3));
    p.drawLine(QPointF(x - 5, y), QPointF(x + 5, y));
    p.drawLine(QPointF(x, y - 5), QPointF(x, y + 5));
    p.setPen(QPen(Paper, 1));
    p.drawLine(QPointF(x - 4, y), QPointF(x + 4, y));
    p.drawLine(QPointF(x, y - 4), QPointF(x, y + 4));
    p.restore();
}

void arrowLine(QPainter &p, QPointF from, QPointF to) {
    p.save();
    p.setPen(QPen(Outline, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    p.setPen(QPen(Paper, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    const QPointF head[3] = {to + QPointF(std::cos(angle + 2.5) * 7, std::sin(angle + 2.5) * 7),
                             to + QPointF(std::cos(angle) * 2, std::sin(angle) * 2),
                             to + QPointF(std::cos(angle - 2.5) * 7, std::sin(angle - 2.5) * 7)};
    p.setPen(QPen(Outline, 1.5));
    p.setBrush(Paper);
    p.drawPolygon(head, 3);
    p.restore();
}

CursorArtwork cursorFor(const std::string &key) {
    if (key == "MAGNIFY")
        return cursor(12, 12, [](QPainter &p) {
            p.setPen(QPen(Outline, 5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(19, 19), QPointF(29, 29));
            stylePainter(p, QColor(220, 240, 255));
            p.drawEllipse(QPointF(12, 12), 9, 9);
            hotCross(p, 12, 12);
        });
    if (key == "HAND")
        return cursor(16, 16, [](QPainter &p) {
            for (int k = 0; k < 4; ++k)
                p.drawRoundedRect(QRectF(7 + k * 5, 3 + (k == 0 || k == 3 ? 3 : 0), 5, 14), 2.5, 2.5);
            p.drawRoundedRect(QRectF(6, 12, 21, 16), 6, 6);
            p.drawRoundedRect(QRectF(1, 14, 8, 5), 2.5, 2.5);
        });
    if (key == "TAG")
        return cursor(2, 2, [](QPainter &p) {
            const QPointF tag[5] = {{2, 2}, {15, 2}, {30, 17}, {17, 30}, {2, 15}};
            p.setBrush(QColor(255, 230, 120));
            p.drawPolygon(tag, 5);
            p.setBrush(Paper);
            p.drawEllipse(QPointF(9, 9), 2.5, 2.5);
        });
    if (key == "CROSS")
        return cursor(16, 16, [](QPainter &p) {
            p.setBrush(Qt::NoBrush);
            for (const auto &[colour, width] : {std::pair{Outline, 4.0}, std::pair{Paper, 2.0}}) {
                p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
                p.drawEllipse(QPointF(16, 16), 8, 8);
                p.drawLine(QPointF(16, 1), QPointF(16, 12));
                p.drawLine(QPointF(16, 20), QPointF(16, 31));
                p.drawLine(QPointF(1, 16), QPointF(12, 16));
                p.drawLine(QPointF(20, 16), QPointF(31, 16));
            }
        });
    if (key == "PASTE")
        return cursor(3, 3, [](QPainter &p) {
            p.setBrush(QColor(200, 150, 90));
            p.drawRoundedRect(QRectF(6, 5, 20, 25), 2, 2);
            p.setBrush(Paper);
            p.drawRect(QRectF(10, 11, 12, 15));
            p.setBrush(QColor(160, 160, 160));
            p.drawRoundedRect(QRectF(11, 2, 10, 6), 2, 2);
            hotCross(p, 4, 4);
        });
    if (key == "MOVE")
        return cursor(16, 16, [](QPainter &p) {
            arrowLine(p, {16, 16}, {16, 3});
            arrowLine(p, {16, 16}, {16, 29});
            arrowLine(p, {16, 16}, {3, 16});
            arrowLine(p, {16, 16}, {29, 16});
        });
    if (key == "REVERSE")
        return cursor(16, 16, [](QPainter &p) {
            arrowLine(p, {4, 10}, {28, 10});
            arrowLine(p, {28, 22}, {4, 22});
            hotCross(p, 16, 16);
        });
    if (key == "DELETE")
        return cursor(16, 16, [](QPainter &p) {
            p.setPen(QPen(Outline, 7, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 6), QPointF(26, 26));
            p.drawLine(QPointF(26, 6), QPointF(6, 26));
            p.setPen(QPen(QColor(230, 50, 50), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 6), QPointF(26, 26));
            p.drawLine(QPointF(26, 6), QPointF(6, 26));
        });
    if (key == "FAN")
        return cursor(16, 16, [](QPainter &p) {
            fanShape(p, 16, 16, 12);
            hotCross(p, 16, 16);
        });
    if (key == "ALPHA")
        return cursor(3, 3, [](QPainter &p) {
            // A letter A drawn as strokes, for the naming tools.
            p.setPen(QPen(Outline, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF a[3] = {{9, 29}, {19, 6}, {29, 29}};
            p.drawPolyline(a, 3);
            p.drawLine(QPointF(13, 21), QPointF(25, 21));
            p.setPen(QPen(Paper, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(a, 3);
            p.drawLine(QPointF(13, 21), QPointF(25, 21));
            hotCross(p, 4, 4);
        });
    if (key == "CLOUD")
        return cursor(16, 16, [](QPainter &p) {
            QPainterPath cloud;
            cloud.addEllipse(QPointF(10, 17), 8, 7);
            cloud.addEllipse(QPointF(20, 13), 9, 8);
            cloud.addEllipse(QPointF(22, 21), 8, 6);
            p.setBrush(QColor(200, 200, 200));
            p.drawPath(cloud.simplified());
            hotCross(p, 16, 16);
        });
    if (key == "EDIT")
        return cursor(2, 29, [](QPainter &p) {
            // A pencil whose point is the hot spot.
            const QPointF body[5] = {{2, 30}, {5, 21}, {23, 3}, {29, 9}, {11, 27}};
            p.setBrush(QColor(255, 210, 80));
            p.drawPolygon(body, 5);
            p.setBrush(Outline);
            const QPointF tip[3] = {{2, 30}, {4, 24}, {8, 28}};
            p.drawPolygon(tip, 3);
        });
    if (key == "INFO")
        return cursor(3, 3, [](QPainter &p) {
            p.setBrush(QColor(90, 150, 240));
            p.drawEllipse(QPointF(18, 18), 12, 12);
            p.setPen(QPen(Paper, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(18, 17), QPointF(18, 24));
            p.drawPoint(QPointF(18, 11));
            hotCross(p, 4, 4);
        });
    if (key == "INSERT")
        return cursor(16, 16, [](QPainter &p) {
            p.setPen(QPen(Outline, 5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(2, 26), QPointF(30, 6));
            p.setPen(QPen(Paper, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(2, 26), QPointF(30, 6));
            stylePainter(p, Paper);
            p.drawEllipse(QPointF(16, 16), 6, 6);
            p.setPen(QPen(Outline, 2));
            p.drawLine(QPointF(16, 12), QPointF(16, 20));
            p.drawLine(QPointF(12, 16), QPointF(20, 16));
        });
    if (key == "TRACE")
        return cursor(16, 16, [](QPainter &p) {
            // Following the air upstream: a path with an arrow.
            p.setBrush(Qt::NoBrush);
            QPainterPath path;
            path.moveTo(3, 28);
            path.cubicTo(10, 10, 20, 28, 26, 8);
            p.setPen(QPen(Outline, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(path);
            p.setPen(QPen(Paper, 2, Qt::DashLine, Qt::FlatCap));
            p.drawPath(path);
            arrowLine(p, {22, 14}, {27, 5});
            hotCross(p, 16, 16);
        });
    if (key == "ROTATE")
        return cursor(16, 16, [](QPainter &p) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Outline, 5, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(5, 5, 22, 22), 30 * 16, 290 * 16);
            p.setPen(QPen(Paper, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(5, 5, 22, 22), 30 * 16, 290 * 16);
            stylePainter(p, Paper);
            const QPointF head[3] = {{21, 2}, {30, 10}, {19, 12}};
            p.drawPolygon(head, 3);
            hotCross(p, 16, 16);
        });
    if (key == "COPY")
        return cursor(3, 3, [](QPainter &p) {
            p.drawRect(QRectF(6, 4, 16, 20));
            p.drawRect(QRectF(12, 10, 16, 20));
            hotCross(p, 4, 4);
        });
    return {};
}

} // namespace

QImage SymbolArtwork(const std::string &name) {
    static std::map<std::string, QImage> cache;
    const std::string key = upper(name);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, symbolFor(key)).first;
    return it->second;
}

CursorArtwork ToolCursorArtwork(const std::string &name) {
    static std::map<std::string, CursorArtwork> cache;
    const std::string key = upper(name);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, cursorFor(key)).first;
    return it->second;
}
