// Floating texts, node names, junction values and the text stack at the middle of each airway.
#include "graphics/graphics_state.h"
#include "graphics/network_drawing.h"
#include "graphics/projection.h"
#include "model/Gustrom1.h"
#include "model/units.h"
#include "platform/PictureBox.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"

#include <cmath>

namespace {

// Unit-table rows of the junction values.
constexpr int PressureRow = 8;
constexpr int AbsolutePressureRow = 13;
constexpr int CoordinateRow = 14;
constexpr float UnsetElevation = 99999;

// A name field without its padding: trailing blanks show nothing.
std::string withoutPadding(const std::string &s) {
    const auto last = s.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

void printAt(PictureBox &pic, double x, double y, const std::string &text) {
    pic.CurrentX = x;
    pic.CurrentY = y;
    pic.Print(text);
}

std::string endValue(int code, float pressure, int32_t x, int32_t y, int32_t z, double zr) {
    switch (code) {
    case 26:
        return FormatValue(pressure, PressureRow, 0, 0);
    case 27:
        return FormatValue(pressure / 1000 + SurfacePressure, AbsolutePressureRow, 0, 0);
    case 28:
        // The absolute pressure plus the weight of the air column between the reference elevation and the
        // end.
        return FormatValue(
            static_cast<float>(pressure / 1000.0 + SurfacePressure + (zr - z) * AirDensity * 9.81 / 1000),
            AbsolutePressureRow, 0, 0);
    default:
        return FormatValue(static_cast<float>(x), CoordinateRow, 0, 0) + "," +
               FormatValue(static_cast<float>(y), CoordinateRow, 0, 0) + "," +
               FormatValue(static_cast<float>(z), CoordinateRow, 0, 0);
    }
}

} // namespace

void DrawFloatingTexts() {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || (GraphicsDetail & 256) == 0 || FloatFontSize == 0)
        return;
    pic->FontSize = FloatFontSize;
    pic->FontBold = FontBold.InBounds(4) && FontBold(4) != 0;
    if (FontName.InBounds(4) && !FontName(4).empty())
        pic->FontName = FontName(4);
    pic->ForeColor = ColourTable(4);
    for (int i = FloatingTextShown.LBound() < 1 ? 1 : FloatingTextShown.LBound();
         i <= FloatingTextShown.UBound(); ++i) {
        const int t = FloatingTextShown(i);
        if (t == 0 || !FloatingTextString.InBounds(t))
            break;
        double px = 0, py = 0;
        ProjectPoint(FloatingTextPosition(1, t), FloatingTextPosition(2, t), FloatingTextPosition(3, t), px,
                     py);
        const double cx = AxisSignX * px, cy = AxisSignY * py;
        pic->Circle(cx, cy, WindowExtent / 1000.0, pic->ForeColor);
        printAt(*pic, cx, cy, FloatingTextString(t));
    }
}

void DrawNodeNames(int a) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || NodeFontSize == 0 || (GraphicsDetail & 1) == 0 || !LayerTest(a, 16) ||
        (EndOnScreen != 1 && StartOnScreen != 1))
        return;
    pic->FontBold = FontBold.InBounds(3) && FontBold(3) != 0;
    pic->FontSize = NodeFontSize;
    // A name stands one line of its own font above its end, so it never covers the end's value.
    const double above = pic->TextHeight("F");
    if (EndOnScreen == 1)
        printAt(*pic, SegmentX2 + LetterHeight / 2, SegmentY2 - above, withoutPadding(AirwayEndName(a)));
    // Entry-end names would repeat the exit-end name of the airway before; only steep airways show them.
    if (AirwayIncline == 5 && StartOnScreen == 1)
        printAt(*pic, SegmentX1 + LetterHeight / 2, SegmentY1 - above, withoutPadding(AirwayStartName(a)));
}

void DrawEndValues(int a) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || FontFactor <= 0 ||
        (DataCode != 26 && DataCode != 27 && DataCode != 28 && DataCode != 37) || DataFontSize == 0 ||
        (GraphicsDetail & 4) == 0 || !LayerTest(a, 4) || (EndOnScreen != 1 && StartOnScreen != 1))
        return;
    pic->FontBold = FontBold.InBounds(1) && FontBold(1) != 0;
    pic->FontSize = DataFontSize;
    const double zr = SurfacePressureRL == UnsetElevation ? static_cast<double>(AirwayStart(3, 1))
                                                          : VB::RoundHalfEven(SurfacePressureRL);
    if (EndOnScreen == 1)
        printAt(
            *pic, SegmentX2 + LetterHeight / 2, SegmentY2,
            endValue(DataCode, AirwayEndPressure(a), AirwayEnd(1, a), AirwayEnd(2, a), AirwayEnd(3, a), zr));
    if (AirwayIncline == 5 && StartOnScreen == 1) {
        AirwayIncline = 0;
        printAt(*pic, SegmentX1 + LetterHeight / 2, SegmentY1,
                endValue(DataCode, AirwayStartPressure(a), AirwayStart(1, a), AirwayStart(2, a),
                         AirwayStart(3, a), zr));
    }
}

void DrawMidpointTexts(int a) {
    PictureBox *pic = ActivePicture();
    if (pic == nullptr || DataFontSize == 0 || LabelOnScreen != -1)
        return;
    // A resistance name left by a data text built elsewhere must not label this airway.
    ResistanceLabel.clear();
    // The data text is built when it is shown, or when it may name the resistance (flow and resistance
    // codes); otherwise it could change nothing on the picture.
    const bool labelShown = (GraphicsDetail & 4) != 0 && LayerTest(a, 4);
    AirwayLabelText =
        labelShown || DataCode == 12 || DataCode == 32 ? AirwayDataText(DataCode, a, 0) : std::string();
    pic->FontSize = DataFontSize;
    pic->FontBold = FontBold.InBounds(1) && FontBold(1) != 0;
    const int32_t background = ColourTable(3);
    // Data labels of lines in the background colour or dimmed keep the colour in force.
    if (LineColour != background && LineColour != PictureBox::QBColor(8) && SmokeMode == 0)
        pic->ForeColor = ColourTable(5);
    // The stack grows upward from the middle of the airway, each line written one line of its own font
    // above the one before, so that no two overlap; a line not written leaves its place to the next.
    bool written = false;
    const auto writeLine = [&](const std::string &text) {
        if (written)
            LabelY -= static_cast<float>(pic->TextHeight("F"));
        pic->CurrentX = LabelX + LabelShift;
        pic->CurrentY = LabelY;
        pic->Print(text);
        written = true;
    };
    if ((AirwayFlags(a) & AirwayFlag::ErrorMark) != 0)
        ResistanceLabel = Trim(AirwayComment(a));
    if (!Trim(ResistanceLabel).empty())
        writeLine(ResistanceLabel);
    if (!Trim(AirwayLabelText).empty() && (GraphicsDetail & 4) != 0 && LayerTest(a, 4))
        writeLine(AirwayLabelText);
    ResistanceLabel = Trim(AirwayName(a));
    if (!ResistanceLabel.empty() && NameFontSize != 0 && (GraphicsDetail & 2) != 0 && LayerTest(a, 8)) {
        if (LineColour != background && SmokeMode == 0)
            pic->ForeColor = LineColour;
        pic->FontBold = FontBold.InBounds(2) && FontBold(2) != 0;
        pic->FontSize = NameFontSize;
        writeLine(ResistanceLabel);
    }
    ResistanceLabel.clear();
}
