#pragma once
// The drawing core shared by the picture boxes of the graphics windows and the printer page: a user scale
// in world units mapped onto a rectangle of device pixels, a pen, a font and a current position, with
// lines, boxes, circles, text and pictures. Text sizes are points and never follow the scale. The device
// (an image, a printer) comes from the subclass.
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRawFont>
#include <QRectF>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPaintDevice;

// One drawing operation as a recording sees it (world units, VB colours).
struct DrawnPrimitive {
    enum Kind { Line, Circle, Text, Picture, Band, Box, FilledBox };
    Kind kind = Line;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // line ends; circle centre and radius in x2; text or picture
                                           // top-left corner and picture size in x2, y2; band and box
                                           // corners
    int32_t colour = 0;
    int width = 0;       // pen width as set (DrawWidth)
    std::string text;    // printed text
    double fontSize = 0; // points
    bool bold = false;
    qint64 pictureKey = 0; // QImage::cacheKey of a drawn picture
    int penStyle = 0;      // DrawStyle of a line or box
    bool opaque = false;   // text printed on the back colour
};

class DrawingSurface {
public:
    // Draw modes.
    static constexpr int vbNotXorPen = 10;
    static constexpr int vbCopyPen = 13;
    // Pen styles.
    static constexpr int vbSolid = 0;
    static constexpr int vbDot = 2;

    virtual ~DrawingSurface();
    DrawingSurface(const DrawingSurface &) = delete;
    DrawingSurface &operator=(const DrawingSurface &) = delete;

    // The user scale (world units).
    double ScaleLeft = 0, ScaleTop = 0, ScaleWidth = 800, ScaleHeight = 600;
    // World position to device position (fractional) and back.
    double ToPixelX(double x) const;
    double ToPixelY(double y) const;
    double FromPixelX(double px) const;
    double FromPixelY(double py) const;

    // Pen and text state.
    double CurrentX = 0, CurrentY = 0;
    int DrawWidth = 1;        // device pixels of a picture box, dots of a 600-dpi device on a printer
    int DrawMode = vbCopyPen; // vbCopyPen or vbNotXorPen
    int DrawStyle = vbSolid;  // vbSolid or vbDot
    int32_t ForeColor = 0;    // VB colour, red in the low byte
    int32_t BackColor = 0xFFFFFF;
    std::string FontName = "Arial";
    double FontSize = 8.25; // points, never scaled by the world
    bool FontBold = false;
    bool FontTransparent = true; // false: text is printed on a box of the back colour

    // A line in the fore colour (or the given colour); the current position ends at (x2, y2).
    void Line(double x1, double y1, double x2, double y2);
    void Line(double x1, double y1, double x2, double y2, int32_t colour);
    // Many lines of one colour at the current width: (x1, y1, x2, y2) per line, in world units. The current
    // position ends at the last line's end.
    void Lines(const std::vector<std::array<double, 4>> &lines, int32_t colour);
    // A line from the current position.
    void LineTo(double x2, double y2);
    void LineTo(double x2, double y2, int32_t colour);
    // The outline of the rectangle with these corners.
    void Box(double x1, double y1, double x2, double y2, int32_t colour);
    // The rectangle with these corners filled with the colour.
    void FilledBox(double x1, double y1, double x2, double y2, int32_t colour);
    // A circle about (x, y); the radius is in world units of the horizontal axis.
    void Circle(double x, double y, double radius);
    void Circle(double x, double y, double radius, int32_t colour);
    // Text with its top-left corner at the current position; the current position moves to the start of
    // the next line.
    void Print(const std::string &text);
    // Text as Print, but the current position moves to the end of the text on the same line.
    void PrintInLine(const std::string &text);
    // Size of a text in world units (always positive).
    double TextWidth(const std::string &text) const;
    double TextHeight(const std::string &text) const;
    // Device pixels across that Print writes `text` over in the current font.
    double PrintedWidth(std::string_view text) const;
    class TextMeasure;
    // PrintedWidth in the current font for many texts, the font looked up once.
    TextMeasure MeasureInFont() const;
    // Draws a picture scaled into the world rectangle with top-left corner (x, y) and size w by h.
    void PaintPicture(const QImage &picture, double x, double y, double w, double h);
    // Fills the world rectangle with these corners (a band of lines closer than a pixel).
    void FillBand(double x1, double y1, double x2, double y2, int32_t colour);

    // A repaint keeps one painter open from BeginDrawing to the matching EndDrawing, so that pen and font
    // are set only when they change. Calls nest.
    void BeginDrawing();
    void EndDrawing();

    // While set, every drawing operation is also appended here (tests read what was drawn).
    std::vector<DrawnPrimitive> *Recording = nullptr;
    // While set, drawing operations paint nothing: each adds the device rectangle it would cover, wherever
    // that lies, to this one (a fit measures what a repaint draws).
    QRectF *Measured = nullptr;
    // While set with Measured: each of those rectangles is also kept here, one by one, with the region
    // where the point it was placed at may lie (a text stands right of its point, at most a line height
    // away, and at most two lines above it; anything else has its point within itself).
    struct MeasuredItem {
        QRectF rect, placedAt;
    };
    std::vector<MeasuredItem> *MeasuredItems = nullptr;

    // The 16 standard colours 0..15 as VB colours; other numbers give black.
    static int32_t QBColor(int index);
    // A VB colour as a Qt colour.
    static QRgb ToRgb(int32_t vbColour);

protected:
    DrawingSurface();

    // The device drawn on; a printer page opens its document here (and may throw).
    virtual QPaintDevice &device() = 0;
    // The device rectangle that the user scale covers.
    virtual QRectF area() const = 0;
    // A device of the same resolution for text metrics, available before anything is drawn.
    virtual const QPaintDevice &metricsDevice() const = 0;
    // Device pixels per unit of DrawWidth.
    virtual double penUnit() const { return 1; }
    // Pictures are scaled once per size and cached (pixel devices); a printer takes the picture as it is.
    virtual bool cachesScaledPictures() const { return true; }
    // Called after every drawing operation outside BeginDrawing .. EndDrawing, and at the end of it.
    virtual void changed() {}
    // Called when painting on the device cannot begin, before the failure is thrown.
    virtual void paintingFailed() {}

    // Keeps the painter open between operations (a printed document lives as long as its painter).
    bool holdPainter_ = false;
    // The painter on the device, opened (and the device with it) when it is not yet.
    QPainter &openPainter() { return painter(ForeColor, false); }
    // Ends the painter (and with it a printed document).
    void releasePainter();
    // Forgets cached fonts and scaled pictures (the device changed).
    void resetCaches();
    // Runs changed() unless a batch is open.
    void notify();

private:
    std::unique_ptr<QPainter> painter_;
    int drawingDepth_ = 0;
    // What the open painter has been given, so that unchanged state is not set again.
    int32_t penColour_ = -1;
    int penWidth_ = -1;
    int penStyle_ = -1;
    bool penAntialiased_ = false;
    int penMode_ = -1;
    // Fonts in use, with their metrics and the glyph and advance of every character: the airway texts
    // switch between a few fonts thousands of times per repaint.
    struct CachedFont {
        std::string name;
        double points = 0;
        bool bold = false;
        QFont font;
        std::unique_ptr<QFontMetricsF> metrics;
        // The metrics every text asks for, kept: asking QFontMetricsF costs a font engine lookup each time.
        double height = 0, ascent = 0;
        QRawFont raw;
        std::array<quint32, 256> glyph{}; // 0 = not in the font
        std::array<double, 256> advance{};
        // Widths of the texts measured last (device pixels): fit tests measure the same samples again
        // and again.
        mutable std::map<std::string, double, std::less<>> widths;
    };
    // Shared with the measures taken from them, which outlive a clearing of the cache.
    mutable std::vector<std::shared_ptr<const CachedFont>> fonts_;
    mutable const CachedFont *currentFont_ = nullptr;
    mutable const CachedFont *fontInPainter_ = nullptr;

    // Pictures already scaled to a pixel size, by picture and size: a symbol drawn thousands of times is
    // scaled once.
    std::map<std::array<qint64, 3>, QImage> scaledPictures_;

    const CachedFont &font() const;
    QPainter &painter(int32_t colour, bool antialiased);
    void done();
    // True while measuring: the rectangle is added and nothing is painted.
    bool measured(const QRectF &device, const QRectF &placedAt = QRectF());
    void strokeLine(double x1, double y1, double x2, double y2, int32_t colour);
    void printText(const std::string &text, bool lineBreak);
};

class DrawingSurface::TextMeasure {
public:
    // Device pixels across, as PrintedWidth gives them.
    double Width(std::string_view text) const;
    // Device pixels of one line.
    double Height() const { return font_->height; }

private:
    friend class DrawingSurface;
    explicit TextMeasure(std::shared_ptr<const CachedFont> font);
    std::shared_ptr<const CachedFont> font_;
    bool glyphs_;
    double space_;
};

// One BeginDrawing .. EndDrawing batch for a scope: the batch ends however the scope is left, so a failure
// while drawing never leaves the surface without its repaints.
class DrawingBatch {
public:
    explicit DrawingBatch(DrawingSurface &surface) : surface_(surface) { surface_.BeginDrawing(); }
    // Ends the batch here; the repaint notice at its end may fail as any drawing operation can.
    void End() {
        if (open_) {
            open_ = false;
            surface_.EndDrawing();
        }
    }
    // A batch still open (its scope left by a failure) ends without that notice failing again.
    ~DrawingBatch() {
        try {
            End();
        } catch (...) {
        }
    }
    DrawingBatch(const DrawingBatch &) = delete;
    DrawingBatch &operator=(const DrawingBatch &) = delete;

private:
    DrawingSurface &surface_;
    bool open_ = true;
};
