#include "platform/PictureBox.h"

#include "platform/Text1252.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

// Pixels per inch of the surface: fonts are sized in points against it.
constexpr double SurfaceDpi = 96.0;

QFont makeFont(const std::string &name, double points, bool bold) {
    QFont font(ToQt(name));
    font.setPointSizeF(points > 0 ? points : 8.25);
    font.setBold(bold);
    return font;
}

} // namespace

PictureBox::PictureBox(int pixelWidth, int pixelHeight) {
    ScaleWidth = pixelWidth;
    ScaleHeight = pixelHeight;
    Resize(pixelWidth, pixelHeight);
}

void PictureBox::Resize(int pixelWidth, int pixelHeight) {
    image_ = QImage(std::max(pixelWidth, 1), std::max(pixelHeight, 1), QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(SurfaceDpi / 0.0254));
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
    image_.fill(ToRgb(BackColor));
    notify();
}

double PictureBox::ToPixelX(double x) const {
    return ScaleWidth == 0 ? 0 : (x - ScaleLeft) * image_.width() / ScaleWidth;
}
double PictureBox::ToPixelY(double y) const {
    return ScaleHeight == 0 ? 0 : (y - ScaleTop) * image_.height() / ScaleHeight;
}
double PictureBox::FromPixelX(double px) const {
    return ScaleLeft + px * ScaleWidth / image_.width();
}
double PictureBox::FromPixelY(double py) const {
    return ScaleTop + py * ScaleHeight / image_.height();
}

QRgb PictureBox::ToRgb(int32_t c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int32_t PictureBox::QBColor(int index) {
    static constexpr int32_t palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                            0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                            0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return index >= 0 && index < 16 ? palette[index] : 0;
}

void PictureBox::notify() {
    if (Changed)
        Changed();
}

void PictureBox::Cls() {
    image_.fill(ToRgb(BackColor));
    CurrentX = ScaleLeft;
    CurrentY = ScaleTop;
    notify();
}

void PictureBox::strokeLine(double x1, double y1, double x2, double y2, int32_t colour) {
    QPainter p(&image_);
    // The not-XOR pen must touch every pixel exactly once, so that drawing again restores the picture:
    // no antialiasing in that mode.
    const bool notXor = DrawMode == vbNotXorPen;
    p.setRenderHint(QPainter::Antialiasing, false);
    if (notXor)
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    const int width = std::max(DrawWidth, 1);
    QPen pen(QColor::fromRgb(ToRgb(colour)));
    pen.setWidth(width);
    pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(QPointF(ToPixelX(x1), ToPixelY(y1)), QPointF(ToPixelX(x2), ToPixelY(y2)));
}

void PictureBox::Line(double x1, double y1, double x2, double y2) {
    Line(x1, y1, x2, y2, ForeColor);
}

void PictureBox::Line(double x1, double y1, double x2, double y2, int32_t colour) {
    strokeLine(x1, y1, x2, y2, colour);
    CurrentX = x2;
    CurrentY = y2;
    notify();
}

void PictureBox::LineTo(double x2, double y2) {
    Line(CurrentX, CurrentY, x2, y2, ForeColor);
}
void PictureBox::LineTo(double x2, double y2, int32_t colour) {
    Line(CurrentX, CurrentY, x2, y2, colour);
}

void PictureBox::Box(double x1, double y1, double x2, double y2, int32_t colour) {
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (DrawMode == vbNotXorPen)
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    QPen pen(QColor::fromRgb(ToRgb(colour)));
    pen.setWidth(std::max(DrawWidth, 1));
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // One closed outline, so that the corners are not inverted twice in not-XOR mode.
    const QPointF corners[4] = {{ToPixelX(x1), ToPixelY(y1)},
                                {ToPixelX(x2), ToPixelY(y1)},
                                {ToPixelX(x2), ToPixelY(y2)},
                                {ToPixelX(x1), ToPixelY(y2)}};
    p.drawPolygon(corners, 4);
    p.end();
    CurrentX = x2;
    CurrentY = y2;
    notify();
}

void PictureBox::Circle(double x, double y, double radius) {
    Circle(x, y, radius, ForeColor);
}

void PictureBox::Circle(double x, double y, double radius, int32_t colour) {
    QPainter p(&image_);
    const bool notXor = DrawMode == vbNotXorPen;
    p.setRenderHint(QPainter::Antialiasing, !notXor);
    if (notXor)
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    QPen pen(QColor::fromRgb(ToRgb(colour)));
    pen.setWidth(std::max(DrawWidth, 1));
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double r = ScaleWidth == 0 ? 0 : std::abs(radius * image_.width() / ScaleWidth);
    p.drawEllipse(QPointF(ToPixelX(x), ToPixelY(y)), r, r);
    p.end();
    CurrentX = x;
    CurrentY = y;
    notify();
}

void PictureBox::Print(const std::string &text) {
    const QFont font = makeFont(FontName, FontSize, FontBold);
    {
        QPainter p(&image_);
        const bool notXor = DrawMode == vbNotXorPen;
        p.setRenderHint(QPainter::TextAntialiasing, !notXor);
        if (notXor)
            p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        p.setFont(font);
        p.setPen(QColor::fromRgb(ToRgb(ForeColor)));
        const QFontMetricsF metrics(font, &image_);
        p.drawText(QPointF(ToPixelX(CurrentX), ToPixelY(CurrentY) + metrics.ascent()), ToQt(text));
    }
    const double height = TextHeight(text);
    CurrentX = ScaleLeft;
    CurrentY += ScaleHeight < 0 ? -height : height;
    notify();
}

double PictureBox::TextWidth(const std::string &text) const {
    const QFontMetricsF metrics(makeFont(FontName, FontSize, FontBold), &image_);
    return std::abs(metrics.horizontalAdvance(ToQt(text)) * ScaleWidth / image_.width());
}

double PictureBox::TextHeight(const std::string &) const {
    const QFontMetricsF metrics(makeFont(FontName, FontSize, FontBold), &image_);
    return std::abs(metrics.height() * ScaleHeight / image_.height());
}

void PictureBox::PaintPicture(const QImage &picture, double x, double y, double w, double h) {
    QPainter p(&image_);
    const QRectF target =
        QRectF(QPointF(ToPixelX(x), ToPixelY(y)), QPointF(ToPixelX(x + w), ToPixelY(y + h))).normalized();
    p.drawImage(target, picture);
    p.end();
    notify();
}
