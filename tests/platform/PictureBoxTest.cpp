#include "platform/PictureBox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

QRgb pixel(const PictureBox &box, int x, int y) {
    return box.Image().pixel(x, y);
}

TEST(PictureBox, NotXorLineDrawnTwiceRestoresThePicture) {
    PictureBox box(120, 90);
    box.ScaleLeft = -60;
    box.ScaleTop = 45;
    box.ScaleWidth = 120;
    box.ScaleHeight = -90;
    box.BackColor = 0x204060;
    box.Cls();
    box.Line(-50, -40, 50, 40, PictureBox::QBColor(12));
    box.Circle(0, 0, 20, PictureBox::QBColor(10));
    const QImage before = box.Image().copy();

    box.DrawMode = PictureBox::vbNotXorPen;
    for (int width : {1, 3}) {
        box.DrawWidth = width;
        box.Line(-55, 30, 47.3, -21.7, PictureBox::QBColor(14));
        EXPECT_NE(box.Image(), before) << width;
        box.Line(-55, 30, 47.3, -21.7, PictureBox::QBColor(14));
        EXPECT_EQ(box.Image(), before) << width;
    }
    // A black not-XOR pen inverts; a white one leaves the picture as it is.
    box.DrawWidth = 1;
    box.Line(-55, 30, 47.3, -21.7, 0xFFFFFF);
    EXPECT_EQ(box.Image(), before);
    box.Box(-30, -20, 25, 15, 0);
    EXPECT_NE(box.Image(), before);
    box.Box(-30, -20, 25, 15, 0);
    EXPECT_EQ(box.Image(), before);
}

TEST(PictureBox, WorldLineLandsOnPixelsOfAFlippedScale) {
    PictureBox box(100, 100);
    box.ScaleLeft = 0;
    box.ScaleTop = 100;
    box.ScaleWidth = 100;
    box.ScaleHeight = -100;
    box.BackColor = 0xFFFFFF;
    box.Cls();
    box.ForeColor = 0x0000FF; // red in the low byte
    box.Line(20.5, 90.5, 20.5, 60.5);
    box.Line(40.5, 25.5, 80.5, 25.5);
    const QRgb red = qRgb(255, 0, 0);
    for (int y = 10; y <= 39; ++y)
        EXPECT_EQ(pixel(box, 20, y), red) << y;
    EXPECT_EQ(pixel(box, 20, 45), qRgb(255, 255, 255));
    for (int x = 40; x <= 80; ++x)
        EXPECT_EQ(pixel(box, x, 74), red) << x;
    EXPECT_EQ(pixel(box, 60, 25), qRgb(255, 255, 255));
    EXPECT_DOUBLE_EQ(box.ToPixelY(25), 75);
    EXPECT_DOUBLE_EQ(box.FromPixelY(75), 25);
    EXPECT_EQ(box.CurrentX, 80.5);
    EXPECT_EQ(box.CurrentY, 25.5);
}

TEST(PictureBox, TextSizeFollowsTheScaleButNotTheFont) {
    PictureBox box(200, 100);
    box.ScaleWidth = 200;
    box.ScaleHeight = 100;
    box.FontSize = 10;
    const double w = box.TextWidth("Airway 12");
    const double h = box.TextHeight("Airway 12");
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    box.ScaleWidth = 400;
    box.ScaleHeight = -200;
    EXPECT_DOUBLE_EQ(box.TextWidth("Airway 12"), 2 * w);
    EXPECT_DOUBLE_EQ(box.TextHeight("Airway 12"), 2 * h);

    // Text is written below and right of the current position.
    box.ScaleWidth = 200;
    box.ScaleHeight = 100;
    box.BackColor = 0xFFFFFF;
    box.Cls();
    box.ForeColor = 0;
    box.CurrentX = 100;
    box.CurrentY = 50;
    box.Print("WWW");
    int dark = 0, darkAboveOrLeft = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (qGray(pixel(box, x, y)) < 128)
                (x < 100 || y < 50 ? darkAboveOrLeft : dark)++;
    EXPECT_GT(dark, 0);
    EXPECT_EQ(darkAboveOrLeft, 0);
    EXPECT_DOUBLE_EQ(box.CurrentY, 50 + h);
}

// A measure taken in one font measures as PrintedWidth does, and goes on doing so after the surface has let
// its fonts go (a few dozen fonts in use clear its cache), a blank and a character outside the font's
// single-byte table included.
TEST(PictureBox, FontMeasureKeepsItsFontWhenTheSurfaceLetsItsFontsGo) {
    PictureBox box(200, 100);
    box.FontSize = 11;
    box.FontBold = true;
    const char *const texts[] = {"", "Fan drift", "Intake shaft 241.0", "  \x80 5\xa0m3/s  "};
    const DrawingSurface::TextMeasure measure = box.MeasureInFont();
    std::vector<double> widths;
    for (const char *text : texts)
        widths.push_back(box.PrintedWidth(text));
    EXPECT_EQ(widths[0], 0);
    EXPECT_GT(widths[2], widths[1]);
    EXPECT_GT(measure.Height(), 0);
    for (int size = 1; size <= 40; ++size) {
        box.FontSize = size;
        box.FontBold = false;
        (void)box.PrintedWidth("x");
    }
    for (std::size_t i = 0; i < std::size(texts); ++i)
        EXPECT_DOUBLE_EQ(measure.Width(texts[i]), widths[i]) << texts[i];
}

TEST(PictureBox, StandardPaletteHasRedInTheLowByte) {
    EXPECT_EQ(PictureBox::QBColor(0), 0x000000);
    EXPECT_EQ(PictureBox::QBColor(12), 0x0000FF);
    EXPECT_EQ(PictureBox::QBColor(9), 0xFF0000);
    EXPECT_EQ(PictureBox::QBColor(15), 0xFFFFFF);
    EXPECT_EQ(PictureBox::QBColor(16), 0);
    EXPECT_EQ(PictureBox::ToRgb(PictureBox::QBColor(12)), qRgb(255, 0, 0));
}

TEST(PictureBox, PictureFillsItsWorldRectangle) {
    PictureBox box(100, 100);
    box.ScaleLeft = 0;
    box.ScaleTop = 0;
    box.ScaleWidth = 10;
    box.ScaleHeight = 10;
    box.BackColor = 0xFFFFFF;
    box.Cls();
    QImage green(4, 4, QImage::Format_RGB32);
    green.fill(qRgb(0, 255, 0));
    box.PaintPicture(green, 2, 3, 4, 2);
    EXPECT_EQ(pixel(box, 30, 40), qRgb(0, 255, 0));
    EXPECT_EQ(pixel(box, 59, 49), qRgb(0, 255, 0));
    EXPECT_EQ(pixel(box, 61, 40), qRgb(255, 255, 255));
    EXPECT_EQ(pixel(box, 30, 51), qRgb(255, 255, 255));
}

} // namespace
