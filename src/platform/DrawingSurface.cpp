#include "platform/DrawingSurface.h"

#include "platform/Text1252.h"
#include "platform/VBError.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>

#include <cmath>

namespace {

QFont makeFont(const std::string &name, double points, bool bold, const QPaintDevice &device) {
    QFont font(ToQt(name));
    font.setPointSizeF(points > 0 ? points : 8.25);
    font.setBold(bold);
    // Points are resolved against the device's resolution, so a printed text has its size on paper.
    return QFont(font, &device);
}

DrawnPrimitive shape(DrawnPrimitive::Kind kind, double x1, double y1, double x2, double y2, int32_t colour,
                     int width, int penStyle = 0) {
    DrawnPrimitive p;
    p.kind = kind;
    p.x1 = x1;
    p.y1 = y1;
    p.x2 = x2;
    p.y2 = y2;
    p.colour = colour;
    p.width = width;
    p.penStyle = penStyle;
    return p;
}

} // namespace

DrawingSurface::DrawingSurface() = default;
DrawingSurface::~DrawingSurface() = default;

double DrawingSurface::ToPixelX(double x) const {
    const QRectF a = area();
    return ScaleWidth == 0 ? a.left() : a.left() + (x - ScaleLeft) * a.width() / ScaleWidth;
}
double DrawingSurface::ToPixelY(double y) const {
    const QRectF a = area();
    return ScaleHeight == 0 ? a.top() : a.top() + (y - ScaleTop) * a.height() / ScaleHeight;
}
double DrawingSurface::FromPixelX(double px) const {
    const QRectF a = area();
    return ScaleLeft + (px - a.left()) * ScaleWidth / a.width();
}
double DrawingSurface::FromPixelY(double py) const {
    const QRectF a = area();
    return ScaleTop + (py - a.top()) * ScaleHeight / a.height();
}

QRgb DrawingSurface::ToRgb(int32_t c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int32_t DrawingSurface::QBColor(int index) {
    static constexpr int32_t palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                            0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                            0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return index >= 0 && index < 16 ? palette[index] : 0;
}

void DrawingSurface::notify() {
    if (drawingDepth_ == 0)
        changed();
}

void DrawingSurface::BeginDrawing() {
    ++drawingDepth_;
}

void DrawingSurface::EndDrawing() {
    if (drawingDepth_ == 0)
        return;
    if (--drawingDepth_ == 0) {
        if (!holdPainter_)
            releasePainter();
        notify();
    }
}

void DrawingSurface::releasePainter() {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

void DrawingSurface::resetCaches() {
    fonts_.clear();
    currentFont_ = nullptr;
    fontInPainter_ = nullptr;
    scaledPictures_.clear();
}

bool DrawingSurface::measured(const QRectF &device, const QRectF &placedAt) {
    if (Measured == nullptr)
        return false;
    // A point is a rectangle without size, which a union would drop.
    const QRectF r = device.normalized().adjusted(0, 0, 1e-9, 1e-9);
    *Measured = Measured->isNull() ? r : Measured->united(r);
    if (MeasuredItems != nullptr)
        MeasuredItems->push_back({r, placedAt.isNull() ? r : placedAt});
    return true;
}

// Ends an operation: outside a batch the painter is closed again, unless the surface holds it.
void DrawingSurface::done() {
    if (drawingDepth_ == 0 && !holdPainter_)
        releasePainter();
}

// The painter with the pen of this colour, the current width, style and draw mode.
QPainter &DrawingSurface::painter(int32_t colour, bool antialiased) {
    if (!painter_) {
        QPaintDevice &target = device();
        auto p = std::make_unique<QPainter>();
        if (!p->begin(&target)) {
            paintingFailed();
            throw VBError(482, "Printer error");
        }
        painter_ = std::move(p);
        penColour_ = -1;
        penWidth_ = -1;
        penStyle_ = -1;
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
    if (colour != penColour_ || width != penWidth_ || DrawStyle != penStyle_) {
        QPen pen(QColor::fromRgb(ToRgb(colour)));
        if (penUnit() == 1)
            pen.setWidth(width);
        else
            pen.setWidthF(std::max(1.0, width * penUnit())); // never thinner than a device dot
        pen.setCapStyle(width > 1 || penUnit() != 1 ? Qt::RoundCap : Qt::SquareCap);
        pen.setJoinStyle(Qt::RoundJoin);
        if (DrawStyle == vbDot)
            pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        penColour_ = colour;
        penWidth_ = width;
        penStyle_ = DrawStyle;
    }
    return p;
}

const DrawingSurface::CachedFont &DrawingSurface::font() const {
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
    if (fonts_.size() >= 16) {
        fonts_.clear();
        fontInPainter_ = nullptr;
    }
    auto f = std::make_shared<CachedFont>();
    f->name = FontName;
    f->points = FontSize;
    f->bold = FontBold;
    f->font = makeFont(FontName, FontSize, FontBold, metricsDevice());
    f->metrics = std::make_unique<QFontMetricsF>(f->font, &metricsDevice());
    f->height = f->metrics->height();
    f->ascent = f->metrics->ascent();
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

void DrawingSurface::strokeLine(double x1, double y1, double x2, double y2, int32_t colour) {
    const QPointF from(ToPixelX(x1), ToPixelY(y1)), to(ToPixelX(x2), ToPixelY(y2));
    if (measured(QRectF(from, to)))
        return;
    QPainter &p = painter(colour, false);
    p.drawLine(from, to);
    if (Recording != nullptr)
        Recording->push_back(
            shape(DrawnPrimitive::Line, x1, y1, x2, y2, colour, std::max(DrawWidth, 1), DrawStyle));
    done();
}

void DrawingSurface::Line(double x1, double y1, double x2, double y2) {
    Line(x1, y1, x2, y2, ForeColor);
}

void DrawingSurface::Line(double x1, double y1, double x2, double y2, int32_t colour) {
    strokeLine(x1, y1, x2, y2, colour);
    CurrentX = x2;
    CurrentY = y2;
    notify();
}

void DrawingSurface::Lines(const std::vector<std::array<double, 4>> &lines, int32_t colour) {
    if (lines.empty())
        return;
    std::vector<QLineF> pixels;
    pixels.reserve(lines.size());
    bool measuring = false;
    for (const auto &l : lines) {
        pixels.emplace_back(ToPixelX(l[0]), ToPixelY(l[1]), ToPixelX(l[2]), ToPixelY(l[3]));
        measuring = measured(QRectF(pixels.back().p1(), pixels.back().p2()));
        if (Recording != nullptr)
            Recording->push_back(shape(DrawnPrimitive::Line, l[0], l[1], l[2], l[3], colour,
                                       std::max(DrawWidth, 1), DrawStyle));
    }
    if (!measuring) {
        painter(colour, false).drawLines(pixels.data(), static_cast<int>(pixels.size()));
        done();
    }
    CurrentX = lines.back()[2];
    CurrentY = lines.back()[3];
    notify();
}

void DrawingSurface::LineTo(double x2, double y2) {
    Line(CurrentX, CurrentY, x2, y2, ForeColor);
}
void DrawingSurface::LineTo(double x2, double y2, int32_t colour) {
    Line(CurrentX, CurrentY, x2, y2, colour);
}

void DrawingSurface::Box(double x1, double y1, double x2, double y2, int32_t colour) {
    if (measured(QRectF(QPointF(ToPixelX(x1), ToPixelY(y1)), QPointF(ToPixelX(x2), ToPixelY(y2))))) {
        CurrentX = x2;
        CurrentY = y2;
        return;
    }
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
    if (Recording != nullptr)
        Recording->push_back(
            shape(DrawnPrimitive::Box, x1, y1, x2, y2, colour, std::max(DrawWidth, 1), DrawStyle));
    done();
    CurrentX = x2;
    CurrentY = y2;
    notify();
}

void DrawingSurface::FilledBox(double x1, double y1, double x2, double y2, int32_t colour) {
    const QRectF box =
        QRectF(QPointF(ToPixelX(x1), ToPixelY(y1)), QPointF(ToPixelX(x2), ToPixelY(y2))).normalized();
    if (measured(box)) {
        CurrentX = x2;
        CurrentY = y2;
        return;
    }
    QPainter &p = painter(colour, false);
    p.fillRect(box, QColor::fromRgb(ToRgb(colour)));
    if (Recording != nullptr)
        Recording->push_back(shape(DrawnPrimitive::FilledBox, x1, y1, x2, y2, colour, 0));
    done();
    CurrentX = x2;
    CurrentY = y2;
    notify();
}

void DrawingSurface::Circle(double x, double y, double radius) {
    Circle(x, y, radius, ForeColor);
}

void DrawingSurface::Circle(double x, double y, double radius, int32_t colour) {
    const double r = ScaleWidth == 0 ? 0 : std::abs(radius * area().width() / ScaleWidth);
    const QPointF centre(ToPixelX(x), ToPixelY(y));
    if (measured(QRectF(centre - QPointF(r, r), centre + QPointF(r, r)))) {
        CurrentX = x;
        CurrentY = y;
        return;
    }
    QPainter &p = painter(colour, true);
    p.drawEllipse(centre, r, r);
    if (Recording != nullptr)
        Recording->push_back(shape(DrawnPrimitive::Circle, x, y, radius, 0, colour, std::max(DrawWidth, 1)));
    done();
    CurrentX = x;
    CurrentY = y;
    notify();
}

void DrawingSurface::Print(const std::string &text) {
    printText(text, true);
}

void DrawingSurface::PrintInLine(const std::string &text) {
    printText(text, false);
}

void DrawingSurface::printText(const std::string &text, bool lineBreak) {
    const CachedFont &f = font();
    const QFontMetricsF &m = *f.metrics;
    const QRectF a = area();
    const double px = ToPixelX(CurrentX), py = ToPixelY(CurrentY);
    if (Recording != nullptr) {
        DrawnPrimitive p = shape(DrawnPrimitive::Text, CurrentX, CurrentY, 0, 0, ForeColor, 0);
        p.text = text;
        p.fontSize = FontSize;
        p.bold = FontBold;
        p.opaque = !FontTransparent;
        Recording->push_back(std::move(p));
    }
    // Texts wholly outside the drawing area show nothing: they are left out.
    const bool outside = py > a.bottom() || py + f.height < a.top() || px > a.right();
    double x = 0;
    if (Measured != nullptr && !text.empty()) {
        x = PrintedWidth(text);
        measured(QRectF(px, py, x, f.height), QRectF(px - f.height, py, f.height, 2 * f.height));
    } else if (!text.empty()) {
        // Single-byte text with every character in the font is placed glyph by glyph from the cached
        // advances, which spares the text layout; anything else goes through the full layout.
        std::vector<quint32> glyphs;
        std::vector<QPointF> positions;
        glyphs.reserve(text.size());
        positions.reserve(text.size());
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
        if (!simple)
            x = m.horizontalAdvance(ToQt(text));
        if (!measured(QRectF(px, py, x, f.height)) && !outside && (px + x >= a.left() || !simple)) {
            QPainter &p = painter(ForeColor, true);
            if (!FontTransparent)
                p.fillRect(QRectF(px, py, x, f.height), QColor::fromRgb(ToRgb(BackColor)));
            const QPointF origin(px, py + f.ascent);
            if (simple && !glyphs.empty()) {
                // A glyph run carries its own font: the painter's is set only for the full layout.
                QGlyphRun run;
                run.setRawFont(f.raw);
                run.setGlyphIndexes(QList<quint32>(glyphs.begin(), glyphs.end()));
                run.setPositions(QList<QPointF>(positions.begin(), positions.end()));
                p.drawGlyphRun(origin, run);
            } else if (!simple) {
                if (fontInPainter_ != &f) {
                    p.setFont(f.font);
                    fontInPainter_ = &f;
                }
                p.drawText(origin, ToQt(text));
            }
            done();
        }
    }
    if (lineBreak) {
        const double height = std::abs(f.height * ScaleHeight / a.height());
        CurrentX = ScaleLeft;
        CurrentY += ScaleHeight < 0 ? -height : height;
    } else {
        const double width = std::abs(x * ScaleWidth / a.width());
        CurrentX += ScaleWidth < 0 ? -width : width;
    }
    notify();
}

double DrawingSurface::TextWidth(const std::string &text) const {
    const CachedFont &f = font();
    auto known = f.widths.find(text);
    if (known == f.widths.end()) {
        if (f.widths.size() >= 64)
            f.widths.clear();
        known = f.widths.emplace(text, f.metrics->horizontalAdvance(ToQt(text))).first;
    }
    return std::abs(known->second * ScaleWidth / area().width());
}

double DrawingSurface::PrintedWidth(std::string_view text) const {
    return MeasureInFont().Width(text);
}

DrawingSurface::TextMeasure DrawingSurface::MeasureInFont() const {
    const CachedFont *current = &font();
    return TextMeasure(
        *std::find_if(fonts_.begin(), fonts_.end(), [&](const auto &f) { return f.get() == current; }));
}

DrawingSurface::TextMeasure::TextMeasure(std::shared_ptr<const CachedFont> font)
    : font_(std::move(font)), glyphs_(font_->raw.isValid()),
      space_(font_->advance[' '] > 0 ? font_->advance[' ']
                                     : font_->metrics->horizontalAdvance(QLatin1Char(' '))) {}

double DrawingSurface::TextMeasure::Width(std::string_view text) const {
    // A measure needs the width alone: the cached advances, or the full layout for what they lack.
    double x = 0;
    for (unsigned char c : text) {
        if (!glyphs_ || (c != ' ' && font_->glyph[c] == 0))
            return font_->metrics->horizontalAdvance(ToQt(std::string(text)));
        x += c == ' ' ? space_ : font_->advance[c];
    }
    return x;
}

double DrawingSurface::TextHeight(const std::string &) const {
    return std::abs(font().height * ScaleHeight / area().height());
}

void DrawingSurface::PaintPicture(const QImage &picture, double x, double y, double w, double h) {
    if (Recording != nullptr) {
        DrawnPrimitive p = shape(DrawnPrimitive::Picture, x, y, w, h, 0, 0);
        p.pictureKey = picture.cacheKey();
        Recording->push_back(std::move(p));
    }
    const QRectF target =
        QRectF(QPointF(ToPixelX(x), ToPixelY(y)), QPointF(ToPixelX(x + w), ToPixelY(y + h))).normalized();
    if (!measured(target) && target.intersects(area()) && !picture.isNull()) {
        QPainter &p = painter(penColour_ < 0 ? ForeColor : penColour_, false);
        const int pw = std::max(1, static_cast<int>(std::lround(target.width())));
        const int ph = std::max(1, static_cast<int>(std::lround(target.height())));
        if (cachesScaledPictures() && pw <= 256 && ph <= 256) {
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
        done();
    }
    notify();
}

void DrawingSurface::FillBand(double x1, double y1, double x2, double y2, int32_t colour) {
    if (Recording != nullptr)
        Recording->push_back(shape(DrawnPrimitive::Band, x1, y1, x2, y2, colour, 0));
    const QRectF band = QRectF(QPointF(ToPixelX(x1), ToPixelY(y1)), QPointF(ToPixelX(x2), ToPixelY(y2)))
                            .normalized()
                            .adjusted(-0.5, -0.5, 0.5, 0.5);
    if (!measured(band)) {
        painter(colour, false).fillRect(band, QColor::fromRgb(ToRgb(colour)));
        done();
    }
    notify();
}
