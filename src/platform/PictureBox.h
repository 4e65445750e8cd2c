#pragma once
// A drawing surface with a user scale, as the graphics windows draw on it: world coordinates are mapped onto
// the pixels of an image by ScaleLeft, ScaleTop, ScaleWidth and ScaleHeight (a negative width or height
// flips that axis). Works headless; the window that shows it repaints from Image().
#include <QImage>

#include <cstdint>
#include <functional>
#include <string>

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

    // Clears to the back colour; the current position goes to the scale's origin corner.
    void Cls();
    // A line in the fore colour (or the given colour); the current position ends at (x2, y2).
    void Line(double x1, double y1, double x2, double y2);
    void Line(double x1, double y1, double x2, double y2, int32_t colour);
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

    // The 16 standard colours 0..15 as VB colours; other numbers give black.
    static int32_t QBColor(int index);
    // A VB colour as a Qt colour.
    static QRgb ToRgb(int32_t vbColour);

    // Called after every drawing operation, so a window can repaint.
    std::function<void()> Changed;

private:
    QImage image_;
    void strokeLine(double x1, double y1, double x2, double y2, int32_t colour);
    void notify();
};
