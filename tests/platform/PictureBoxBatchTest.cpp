#include "platform/PictureBox.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// The same drawing, once call by call and once inside one batch with the painter kept open.
void drawScene(PictureBox &box, bool batched) {
    box.BackColor = 0x101010;
    box.Cls();
    if (batched)
        box.BeginDrawing();
    box.DrawWidth = 1;
    box.Line(-40, -30, 45, 35, 0x00FF00);
    box.DrawWidth = 3;
    box.Line(-40, 30, 45, -35, 0x0000FF);
    box.Lines({{-50, 0, 50, 0}, {0, -50, 0, 50}}, 0xFFFFFF);
    box.DrawWidth = 1;
    box.Circle(10, 10, 12, 0x00FFFF);
    box.ForeColor = 0xFFFF00;
    box.FontSize = 9;
    box.CurrentX = -45;
    box.CurrentY = -45;
    box.Print("Airway 12 \xe9");
    box.FontBold = true;
    box.Print("Junction 7");
    box.FillBand(20, 20, 30, 40, 0x808080);
    QImage red(8, 8, QImage::Format_ARGB32_Premultiplied);
    red.fill(qRgb(255, 0, 0));
    box.PaintPicture(red, -20, 20, 10, 10);
    box.PaintPicture(red, 30, -40, 10, 10);
    if (batched)
        box.EndDrawing();
}

TEST(PictureBoxBatch, BatchedDrawingGivesTheSamePictureAsSingleCalls) {
    PictureBox single(120, 120), batched(120, 120);
    for (PictureBox *box : {&single, &batched}) {
        box->ScaleLeft = box->ScaleTop = -60;
        box->ScaleWidth = box->ScaleHeight = 120;
    }
    int changes = 0;
    batched.Changed = [&] { ++changes; };
    drawScene(single, false);
    changes = 0;
    drawScene(batched, true);
    EXPECT_EQ(single.Image(), batched.Image());
    // The window hears of the clearing and then once of the whole batch, at its end.
    EXPECT_EQ(changes, 2);
    // The scene drew something in each colour.
    EXPECT_EQ(batched.Image().pixel(25 + 60, 30 + 60), qRgb(128, 128, 128));
    EXPECT_EQ(batched.Image().pixel(-15 + 60, 25 + 60), qRgb(255, 0, 0));
    EXPECT_EQ(batched.Image().pixel(100, 60), qRgb(255, 255, 255));
}

TEST(PictureBoxBatch, RecordingListsEveryPrimitiveInWorldUnits) {
    PictureBox box(120, 120);
    box.ScaleLeft = box.ScaleTop = -60;
    box.ScaleWidth = box.ScaleHeight = 120;
    std::vector<DrawnPrimitive> drawn;
    box.Recording = &drawn;
    drawScene(box, true);
    ASSERT_EQ(drawn.size(), 10u);
    EXPECT_EQ(drawn[0].kind, DrawnPrimitive::Line);
    EXPECT_EQ(drawn[1].width, 3);
    EXPECT_EQ(drawn[2].kind, DrawnPrimitive::Line);
    EXPECT_EQ(drawn[3].y2, 50);
    EXPECT_EQ(drawn[4].kind, DrawnPrimitive::Circle);
    EXPECT_EQ(drawn[4].x2, 12);
    EXPECT_EQ(drawn[5].kind, DrawnPrimitive::Text);
    EXPECT_EQ(drawn[5].text, "Airway 12 \xe9");
    EXPECT_EQ(drawn[5].colour, 0xFFFF00);
    EXPECT_FALSE(drawn[5].bold);
    EXPECT_TRUE(drawn[6].bold);
    EXPECT_GT(drawn[6].y1, drawn[5].y1); // Print moves down one line
    EXPECT_EQ(drawn[7].kind, DrawnPrimitive::Band);
    EXPECT_EQ(drawn[8].kind, DrawnPrimitive::Picture);
    EXPECT_EQ(drawn[8].pictureKey, drawn[9].pictureKey);
}

TEST(PictureBoxBatch, TextOutsideThePictureIsSkippedButMovesThePosition) {
    PictureBox box(100, 100);
    box.BackColor = 0;
    box.Cls();
    box.ForeColor = 0xFFFFFF;
    const QImage empty = box.Image().copy();
    for (const auto &at : std::vector<std::array<double, 2>>{{-500, 10}, {150, 10}, {10, 200}, {10, -80}}) {
        box.CurrentX = at[0];
        box.CurrentY = at[1];
        box.Print("Outside");
        EXPECT_EQ(box.Image(), empty) << at[0] << "," << at[1];
        EXPECT_DOUBLE_EQ(box.CurrentY, at[1] + box.TextHeight("Outside"));
    }
    // Partly inside on the left: drawn.
    box.CurrentX = -10;
    box.CurrentY = 10;
    box.Print("Partly");
    EXPECT_NE(box.Image(), empty);
}

} // namespace
