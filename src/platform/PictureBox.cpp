#include "platform/PictureBox.h"

#include "platform/Text1252.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
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

PictureBox::~PictureBox() {
    release();
}

void PictureBox::Resize(int pixelWidth, int pixelHeight) {
    release();
    image_ = QImage(std::max(pixelWidth, 1), std::max(pixelHeight, 1), QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(SurfaceDpi / 0.0254));
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
    image_.fill(ToRgb(BackColor));
    fonts_.clear();
    currentFont_ = nullptr;
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
    if (drawingDepth_ == 0 && Changed)
        Changed();
}

void PictureBox::record(DrawnPrimitive primitive) {
    if (Recording != nullptr)
        Recording->push_back(std::move(primitive));
}

void PictureBox::BeginDrawing() {
    ++drawingDepth_;
}

void PictureBox::EndDrawing() {
    if (drawingDepth_ == 0)
        return;
    if (--drawingDepth_ == 0) {
        release();
        notify();
    }
}

void PictureBox::release() {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

// The painter with the pen of this colour, the current width and draw mode. Outside BeginDrawing the
// painter is closed again by the caller's release().
QPainter &PictureBox::painter(int32_t colour, bool antialiased) {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        penColour_ = -1;
        penWidth_ = -1;
        penMode_ = -1;
        fontInPainter_ = nullptr;
        painter_->setBrush(Qt::NoBrush);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        penAntialiased_ = false;
    }
    QPainter &p = *painter_;
    if (penMode_ != DrawMode) {
        // The not-XOR pen must touch every pixel exactly once, so that drawing again restores the picture.
        p.setCompositionMode(DrawMode == vbNotXorPen ? QPainter::RasterOp_NotSourceXorDestination
                                                     : QPainter::CompositionMode_SourceOver);
        penMode_ = DrawMode;
    }
    const bool aa = antialiased && DrawMode != vbNotXorPen;
    if (aa != penAntialiased_) {
        p.setRenderHint(QPainter::Antialiasing, aa);
        p.setRenderHint(QPainter::TextAntialiasing, aa);
        penAntialiased_ = aa;
    }
    const int width = std::max(DrawWidth, 1);
    if (colour != penColour_ || width != penWidth_) {
        QPen pen(QColor::fromRgb(ToRgb(colour)));
        pen.setWidth(width);
        pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        penColour_ = colour;
        penWidth_ = width;
    }
    return p;
}

const PictureBox::CachedFont &PictureBox::font() const {
    const auto matches = [&](const CachedFont &f) {
        return f.points == FontSize && f.bold == FontBold && f.name == FontName;
    };
    if (currentFont_ != nullptr && matches(*currentFont_))
        return *currentFont_;
    for (const auto &f : fonts_)
        if (matches(*f)) {
            currentFont_ = f.get();
            return *f;
        }
    if (fonts_.size() >= 16)
        fonts_.clear();
    auto f = std::make_unique<CachedFont>();
    f->name = FontName;
    f->points = FontSize;
    f->bold = FontBold;
    f->font = makeFont(FontName, FontSize, FontBold);
    f->metrics = std::make_unique<QFontMetricsF>(f->font, &image_);
    f->raw = QRawFont::fromFont(f->font);
    if (f->raw.isValid()) {
        for (int c = 32; c < 256; ++c) {
            const QString ch = ToQt(std::string(1, static_cast<char>(c)));
            const QList<quint32> glyphs = f->raw.glyphIndexesForString(ch);
            if (glyphs.size() == 1 && glyphs[0] != 0) {
                f->glyph[static_cast<size_t>(c)] = glyphs[0];
                f->advance[static_cast<size_t>(c)] = f->raw.advancesForGlyphIndexes(glyphs).value(0).x();
            }
        }
    }
    currentFont_ = f.get();
    fonts_.push_back(std::move(f));
    return *currentFont_;
}

void PictureBox::Cls() {
    release();
    image_.fill(ToRgb(BackColor));
    CurrentX = ScaleLeft;
    CurrentY = ScaleTop;
    notify();
}

void PictureBox::strokeLine(double x1, double y1, double x2, double y2, int32_t colour) {
    QPainter &p = painter(colour, false);
    p.drawLine(QPointF(ToPixelX(x1), ToPixelY(y1)), QPointF(ToPixelX(x2), ToPixelY(y2)));
    record({DrawnPrimitive::Line, x1, y1, x2, y2, colour, std::max(DrawWidth, 1), {}, 0, false, 0});
    if (drawingDepth_ == 0)
        release();
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

void PictureBox::Lines(const std::vector<std::array<double, 4>> &lines, int32_t colour) {
    if (lines.empty())
        return;
    QPainter &p = painter(colour, false);
    std::vector<QLineF> pixels;
    pixels.reserve(lines.size());
    for (const auto &l : lines) {
        pixels.emplace_back(ToPixelX(l[0]), ToPixelY(l[1]), ToPixelX(l[2]), ToPixelY(l[3]));
        record(
            {DrawnPrimitive::Line, l[0], l[1], l[2], l[3], colour, std::max(DrawWidth, 1), {}, 0, false, 0});
    }
    p.drawLines(pixels.data(), static_cast<int>(pixels.size()));
    if (drawingDepth_ == 0)
        release();
    CurrentX = lines.back()[2];
    CurrentY = lines.back()[3];
    notify();
}

void PictureBox::LineTo(double x2, double y2) {
    Line(CurrentX, CurrentY, x2, y2, ForeColor);
}
void PictureBox::LineTo(double x2, double y2, int32_t colour) {
    Line(CurrentX, CurrentY, x2, y2, colour);
}

void PictureBox::Box(double x1, double y1, double x2, double y2, int32_t colour) {
    QPainter &p = painter(colour, false);
    // One closed outline, so that the corners are not inverted twice in not-XOR mode.
    QPen pen = p.pen();
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    const QPointF corners[4] = {{ToPixelX(x1), ToPixelY(y1)},
                                {ToPixelX(x2), ToPixelY(y1)},
                                {ToPixelX(x2), ToPixelY(y2)},
                                {ToPixelX(x1), ToPixelY(y2)}};
    p.drawPolygon(corners, 4);
    penColour_ = -1; // the join style differs from the line pen's
    if (drawingDepth_ == 0)
        release();
    CurrentX = x2;
    CurrentY = y2;
    notify();
}

void PictureBox::Circle(double x, double y, double radius) {
    Circle(x, y, radius, ForeColor);
}

void PictureBox::Circle(double x, double y, double radius, int32_t colour) {
    QPainter &p = painter(colour, true);
    const double r = ScaleWidth == 0 ? 0 : std::abs(radius * image_.width() / ScaleWidth);
    p.drawEllipse(QPointF(ToPixelX(x), ToPixelY(y)), r, r);
    record({DrawnPrimitive::Circle, x, y, radius, 0, colour, std::max(DrawWidth, 1), {}, 0, false, 0});
    if (drawingDepth_ == 0)
        release();
    CurrentX = x;
    CurrentY = y;
    notify();
}

void PictureBox::Print(const std::string &text) {
    const CachedFont &f = font();
    const QFontMetricsF &m = *f.metrics;
    const double px = ToPixelX(CurrentX), py = ToPixelY(CurrentY);
    record({DrawnPrimitive::Text, CurrentX, CurrentY, 0, 0, ForeColor, 0, text, FontSize, FontBold, 0});
    // Texts wholly outside the picture show nothing: they are left out.
    const bool outside = py > image_.height() || py + m.height() < 0 || px > image_.width();
    if (!outside && !text.empty()) {
        // Single-byte text with every character in the font is placed glyph by glyph from the cached
        // advances, which spares the text layout; anything else goes through the full layout.
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
        glyphs.reserve(text.size());
        positions.reserve(text.size());
        double x = 0;
        bool simple = f.raw.isValid();
        for (unsigned char c : text) {
            if (c == ' ') {
                x += f.advance[c] > 0 ? f.advance[c] : m.horizontalAdvance(QLatin1Char(' '));
                continue;
            }
            if (f.glyph[c] == 0) {
                simple = false;
                break;
            }
            glyphs.push_back(f.glyph[c]);
            positions.emplace_back(x, 0);
            x += f.advance[c];
        }
        if (px + x >= 0 || !simple) {
            QPainter &p = painter(ForeColor, true);
            if (fontInPainter_ != &f) {
                p.setFont(f.font);
                fontInPainter_ = &f;
            }
            const QPointF origin(px, py + m.ascent());
            if (simple && !glyphs.empty()) {
                QGlyphRun run;
                run.setRawFont(f.raw);
                run.setGlyphIndexes(QList<quint32>(glyphs.begin(), glyphs.end()));
                run.setPositions(QList<QPointF>(positions.begin(), positions.end()));
                p.drawGlyphRun(origin, run);
            } else if (!simple) {
                p.drawText(origin, ToQt(text));
            }
            if (drawingDepth_ == 0)
                release();
        }
    }
    const double height = std::abs(m.height() * ScaleHeight / image_.height());
    CurrentX = ScaleLeft;
    CurrentY += ScaleHeight < 0 ? -height : height;
    notify();
}

double PictureBox::TextWidth(const std::string &text) const {
    return std::abs(font().metrics->horizontalAdvance(ToQt(text)) * ScaleWidth / image_.width());
}

double PictureBox::TextHeight(const std::string &) const {
    return std::abs(font().metrics->height() * ScaleHeight / image_.height());
}

void PictureBox::PaintPicture(const QImage &picture, double x, double y, double w, double h) {
    record({DrawnPrimitive::Picture, x, y, w, h, 0, 0, {}, 0, false, picture.cacheKey()});
    const QRectF target =
        QRectF(QPointF(ToPixelX(x), ToPixelY(y)), QPointF(ToPixelX(x + w), ToPixelY(y + h))).normalized();
    if (target.intersects(QRectF(image_.rect())) && !picture.isNull()) {
        QPainter &p = painter(penColour_ < 0 ? ForeColor : penColour_, false);
        const int pw = std::max(1, static_cast<int>(std::lround(target.width())));
        const int ph = std::max(1, static_cast<int>(std::lround(target.height())));
        if (pw <= 256 && ph <= 256) {
            if (scaledPictures_.size() > 256)
                scaledPictures_.clear();
            QImage &scaled = scaledPictures_[{picture.cacheKey(), pw, ph}];
            if (scaled.isNull())
                scaled = picture.scaled(pw, ph, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            p.drawImage(QPointF(std::round(target.left()), std::round(target.top())), scaled);
        } else {
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
            p.drawImage(target, picture);
        }
        if (drawingDepth_ == 0)
            release();
    }
    notify();
}

void PictureBox::FillBand(double x1, double y1, double x2, double y2, int32_t colour) {
    record({DrawnPrimitive::Band, x1, y1, x2, y2, colour, 0, {}, 0, false, 0});
    QPainter &p = painter(colour, false);
    const QRectF band = QRectF(QPointF(ToPixelX(x1), ToPixelY(y1)), QPointF(ToPixelX(x2), ToPixelY(y2)))
                            .normalized()
                            .adjusted(-0.5, -0.5, 0.5, 0.5);
    p.fillRect(band, QColor::fromRgb(ToRgb(colour)));
    if (drawingDepth_ == 0)
        release();
    notify();
}
