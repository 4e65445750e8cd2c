#pragma once
// A drawing surface with a user scale, as the graphics windows draw on it: world coordinates are mapped onto
// the pixels of an image by ScaleLeft, ScaleTop, ScaleWidth and ScaleHeight (a negative width or height
// flips that axis). Works headless; the window that shows it repaints from Image().
#include "platform/DrawingSurface.h"

#include <QImage>

#include <functional>
#include <string>

class PictureBox : public DrawingSurface {
public:
    // Mouse pointers.
    static constexpr int vbDefault = 0;
    static constexpr int vbCrosshair = 2;
    static constexpr int vbHourglass = 11;
    static constexpr int vbCustom = 99;

    PictureBox(int pixelWidth = 800, int pixelHeight = 600);
    ~PictureBox() override;

    // New pixel size; the picture is cleared to the back colour, the scale is kept.
    void Resize(int pixelWidth, int pixelHeight);
    int PixelWidth() const { return image_.width(); }
    int PixelHeight() const { return image_.height(); }
    const QImage &Image() const { return image_; }

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

    // Called after every drawing operation (and once at the end of a BeginDrawing batch), so a window can
    // repaint.
    std::function<void()> Changed;

protected:
    QPaintDevice &device() override { return image_; }
    QRectF area() const override { return QRectF(0, 0, image_.width(), image_.height()); }
    const QPaintDevice &metricsDevice() const override { return image_; }
    void changed() override {
        if (Changed)
            Changed();
    }

private:
    QImage image_;
};
