#include "platform/PictureBox.h"

#include <cmath>

namespace {

// Pixels per inch of the surface: fonts are sized in points against it.
constexpr double SurfaceDpi = 96.0;

} // namespace

PictureBox::PictureBox(int pixelWidth, int pixelHeight) {
    ScaleWidth = pixelWidth;
    ScaleHeight = pixelHeight;
    Resize(pixelWidth, pixelHeight);
}

PictureBox::~PictureBox() {
    releasePainter();
}

void PictureBox::Resize(int pixelWidth, int pixelHeight) {
    releasePainter();
    image_ = QImage(std::max(pixelWidth, 1), std::max(pixelHeight, 1), QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(SurfaceDpi / 0.0254));
    image_.setDotsPerMeterX(dotsPerMetre);
    image_.setDotsPerMeterY(dotsPerMetre);
    image_.fill(ToRgb(BackColor));
    resetCaches();
    notify();
}

void PictureBox::Cls() {
    releasePainter();
    image_.fill(ToRgb(BackColor));
    CurrentX = ScaleLeft;
    CurrentY = ScaleTop;
    notify();
}
