#pragma once
// A drawing surface with a user scale, as the graphics windows draw on it: world coordinates are mapped onto
// the pixels of an image by ScaleLeft, ScaleTop, ScaleWidth and ScaleHeight (a negative width or height
// flips that axis). Works headless; the window that shows it repaints from Image().
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRawFont>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QPainter;

// One drawing operation as a recording sees it (world units, VB colours).
struct DrawnPrimitive {
    enum Kind { Line, Circle, Text, Picture, Band };
    Kind kind = Line;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // line ends; circle centre and radius in x2; text or picture
                                           // top-left corner and picture size in x2, y2; band corners
    int32_t colour = 0;
    int width = 0;       // pen width in pixels
    std::string text;    // printed text
    double fontSize = 0; // points
    bool bold = false;
    qint64 pictureKey = 0; // QImage::cacheKey of a drawn picture
};

class PictureBox {
public:
    // Draw modes.
    static constexpr int vbNotXorPen = 10;
    static constexpr int vbCopyPen = 13;
    // Mouse pointers.
    static constexpr int vbDefault = 0;
    static constexpr int vbCrosshair = 2;
    static constexpr int vbHourglass = 11;
    static constexpr int vbCustom = 99;

    PictureBox(int pixelWidth = 800, int pixelHeight = 600);

    // New pixel size; the picture is cleared to the back colour, the scale is kept.
    void Resize(int pixelWidth, int pixelHeight);
    int PixelWidth() const { return image_.width(); }
    int PixelHeight() const { return image_.height(); }
    const QImage &Image() const { return image_; }

    // The user scale (world units).
    double ScaleLeft = 0, ScaleTop = 0, ScaleWidth = 800, ScaleHeight = 600;
    // World position to pixel position (fractional) and back.
    double ToPixelX(double x) const;
    double ToPixelY(double y) const;
    double FromPixelX(double px) const;
    double FromPixelY(double py) const;

    // Pen and text state.
    double CurrentX = 0, CurrentY = 0;
    int DrawWidth = 1;        // pixels, whatever the scale
    int DrawMode = vbCopyPen; // vbCopyPen or vbNotXorPen
    int32_t ForeColor = 0;    // VB colour, red in the low byte
    int32_t BackColor = 0xFFFFFF;
    std::string FontName = "Arial";
    double FontSize = 8.25; // points, never scaled by the world
    bool FontBold = false;

    // Pointer shape and the custom cursor's resource name; the window reads them.
    int MousePointer = vbDefault;
    std::string MouseIcon;
    // Free text of the window (its number once it is set up).
    std::string Tag;
    // The child window's state as the shell reports it.
    bool Minimized = false;
    bool Maximized = false;

    // Clears to the back colour; the current position goes to the scale's origin corner.
    void Cls();
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
    // A circle about (x, y); the radius is in world units of the horizontal axis.
    void Circle(double x, double y, double radius);
    void Circle(double x, double y, double radius, int32_t colour);
    // Text with its top-left corner at the current position; the current position moves to the start of
    // the next line.
    void Print(const std::string &text);
    // Size of a text in world units (always positive).
    double TextWidth(const std::string &text) const;
    double TextHeight(const std::string &text) const;
    // Draws a picture scaled into the world rectangle with top-left corner (x, y) and size w by h.
    void PaintPicture(const QImage &picture, double x, double y, double w, double h);
    // Fills the world rectangle with these corners (a band of lines closer than a pixel).
    void FillBand(double x1, double y1, double x2, double y2, int32_t colour);

    // A repaint keeps one painter open from BeginDrawing to the matching EndDrawing, so that pen and font
    // are set only when they change; Changed is called once at the end. Calls nest.
    void BeginDrawing();
    void EndDrawing();

    // While set, every drawing operation is also appended here (tests read what was drawn).
    std::vector<DrawnPrimitive> *Recording = nullptr;

    // The 16 standard colours 0..15 as VB colours; other numbers give black.
    static int32_t QBColor(int index);
    // A VB colour as a Qt colour.
    static QRgb ToRgb(int32_t vbColour);

    // Called after every drawing operation, so a window can repaint.
    std::function<void()> Changed;

    PictureBox(const PictureBox &) = delete;
    PictureBox &operator=(const PictureBox &) = delete;
    ~PictureBox();

private:
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    int drawingDepth_ = 0;
    // What the open painter has been given, so that unchanged state is not set again.
    int32_t penColour_ = -1;
    int penWidth_ = -1;
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
        QRawFont raw;
        std::array<quint32, 256> glyph{}; // 0 = not in the font
        std::array<double, 256> advance{};
    };
    mutable std::vector<std::unique_ptr<CachedFont>> fonts_;
    mutable const CachedFont *currentFont_ = nullptr;
    const CachedFont *fontInPainter_ = nullptr;

    // Pictures already scaled to a pixel size, by picture and size: a symbol drawn thousands of times is
    // scaled once.
    std::map<std::array<qint64, 3>, QImage> scaledPictures_;

    const CachedFont &font() const;
    QPainter &painter(int32_t colour, bool antialiased);
    void release();
    void record(DrawnPrimitive primitive);
    void strokeLine(double x1, double y1, double x2, double y2, int32_t colour);
    void notify();
};
