// Mouse gestures on the program's own graphics window, as the window system delivers them.
#include "ShellFixture.h"

#include "dialogs/frmCoords.h"
#include "graphics/drawing.h"
#include "graphics/projection.h"
#include "graphics/tool_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "platform/VBControls.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Window 0 of a freshly started program, worked with the mouse.
class Pointer : public ShellTest {
protected:
    // The pixel of the window showing the world point (x, y) at the working elevation.
    QPoint pixel(double x, double y) const {
        double sx = 0, sy = 0;
        ProjectPoint(x, y, LevelElevation, sx, sy);
        const PictureBox &pic = window(0)->Picture();
        return {static_cast<int>(std::lround(pic.ToPixelX(sx * AxisSignX))),
                static_cast<int>(std::lround(pic.ToPixelY(sy * AxisSignY)))};
    }
    // Clicks back to back, each a press and its release with no move between, as a tap, a quick click or
    // a double click arrives: all that follows the first press is already waiting when it is handled.
    void tap(QPoint at, int clicks = 1) const {
        QWidget *view = window(0)->View();
        QTimer::singleShot(0, view, [view, at, clicks] {
            QTest::mouseRelease(view, Qt::LeftButton, {}, at);
            for (int c = 2; c <= clicks; ++c) {
                QTest::mousePress(view, Qt::LeftButton, {}, at);
                QTest::mouseRelease(view, Qt::LeftButton, {}, at);
            }
        });
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at);
        QCoreApplication::processEvents();
    }
    void drag(Qt::MouseButton button, QPoint from, QPoint to) const {
        QWidget *view = window(0)->View();
        QTest::mousePress(view, button, Qt::NoModifier, from);
        QTest::mouseMove(view, (from + to) / 2);
        QTest::mouseMove(view, to);
        QTest::mouseRelease(view, button, Qt::NoModifier, to);
    }
};

// Two level drives 400 m long, 200 m apart, drawn in window 0 of a freshly started program.
class Gestures : public Pointer {
protected:
    void SetUp() override {
        Pointer::SetUp();
        const int32_t z = static_cast<int32_t>(std::lround(LevelElevation));
        for (int a = 1; a <= 2; ++a) {
            AirwayFlags(a) = AirwayFlag::Rectangular;
            AirwaySize(1, a) = AirwaySize(2, a) = 4;
            AirwayParallelCount(a) = AirwayPrimaryLayer(a) = AirwaySecondaryLayer(a) = 1;
            AirwayStart(1, a) = 1000;
            AirwayEnd(1, a) = 1400;
            AirwayStart(2, a) = AirwayEnd(2, a) = 800 + 200 * a;
            AirwayStart(3, a) = AirwayEnd(3, a) = z;
        }
        AirwayCount = 2;
        UpdateNodeKeys();
        CalcAllAirways();
        SetVisibleAirways();
        FitNetwork();
        Redraw();
        ASSERT_EQ(AirwayScreenCount, 2);
    }
};

TEST_F(Gestures, EveryTapActsAndEveryPressStartsItsOwnGesture) {
    // The first click of the delete tool after the start.
    form->Tools_Click(8);
    tap(pixel(1200, 1000));
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayStart(2, 1), 1200);
    // A drawn airway starts where its own press was, not at the tapped point.
    form->Tools_Click(4);
    drag(Qt::LeftButton, pixel(1000, 1100), pixel(1400, 1100));
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_NEAR(AirwayStart(1, 2), 1000, 10);
    EXPECT_NEAR(AirwayStart(2, 2), 1100, 10);
    EXPECT_NEAR(AirwayEnd(1, 2), 1400, 10);

    // The dialog the first click of a double click opens takes the second, as a modal window does.
    form->Tools_Click(12);
    int dialogs = 0;
    VB::SetModalDriver([&](QDialog &) { ++dialogs; });
    tap(pixel(1200, 1100), 2);
    VB::SetModalDriver({});
    EXPECT_EQ(dialogs, 1);
}

TEST_F(Gestures, CancelInTheCoordinateDialogLeavesTheNextMoveAMove) {
    AirwayFlags(1) |= AirwayFlag::Selected;
    form->Tools_Click(6);
    // A right press on the selection asks for a displacement: "Make a copy" ticked, then Cancel.
    withDialog<frmCoords>([&] { drag(Qt::RightButton, pixel(1200, 1000), pixel(1250, 1000)); },
                          [](frmCoords &dialog) {
                              dialog.ChkCopy->click();
                              dialog.Cancel->click();
                          });
    EXPECT_EQ(MakeCopy, 0);
    // The next drag of the selection moves it.
    drag(Qt::LeftButton, pixel(1200, 1000), pixel(1200, 950));
    EXPECT_EQ(AirwayCount, 2);
    EXPECT_LT(AirwayStart(2, 1), 1000);
}

TEST_F(Pointer, TheTwoAndThreeDToggleKeepsANewlyDrawnNetworkInView) {
    form->MenuItem("mnuNewFile")->trigger();
    ASSERT_EQ(AirwayCount, 0);
    // Five airways drawn where the new network's window looks, away from any earlier centre.
    form->Tools_Click(4);
    const double x = PanX, y = PanY;
    for (int k = 0; k < 5; ++k)
        drag(Qt::LeftButton, pixel(x - 200 + 80 * k, y + 60 * (k % 2)),
             pixel(x - 120 + 80 * k, y + 60 * ((k + 1) % 2)));
    ASSERT_EQ(AirwayCount, 5);
    const PictureBox &pic = window(0)->Picture();
    for (const char *shown : {"3-D", "plan", "3-D again"}) {
        form->Tools_Click(24);
        int inView = 0;
        for (int i = 1; i <= AirwayScreenCount; ++i) {
            const AirwayScreenRecord &r = AirwayScreen(i);
            const auto inside = [&](double px, double py) {
                return std::abs(px) <= std::abs(pic.ScaleWidth) / 2 &&
                       std::abs(py) <= std::abs(pic.ScaleHeight) / 2;
            };
            inView += inside(r.x1, r.y1) && inside(r.x2, r.y2);
        }
        EXPECT_EQ(inView, 5) << shown;
    }
}

} // namespace
