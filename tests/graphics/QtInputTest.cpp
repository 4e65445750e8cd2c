#include "MouseFixture.h"
#include "PictureWindow.h"
#include "graphics/projection.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

namespace {

TEST(QtInput, ButtonsModifiersAndKeysBecomeTheProgramsValues) {
    EXPECT_EQ(VB::MouseButtonValue(Qt::LeftButton), 1);
    EXPECT_EQ(VB::MouseButtonValue(Qt::RightButton), 2);
    EXPECT_EQ(VB::MouseButtonValue(Qt::MiddleButton), 4);
    EXPECT_EQ(VB::MouseButtonValue(Qt::BackButton), 0);
    EXPECT_EQ(VB::MouseButtonMask(Qt::LeftButton | Qt::RightButton), 3);
    EXPECT_EQ(VB::MouseButtonMask(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton | Qt::BackButton), 7);
    EXPECT_EQ(VB::MouseButtonMask(Qt::NoButton), 0);
    EXPECT_EQ(VB::ShiftMask(Qt::ShiftModifier), 1);
    EXPECT_EQ(VB::ShiftMask(Qt::ControlModifier | Qt::AltModifier), 6);
    EXPECT_EQ(VB::ShiftMask(Qt::KeypadModifier), 0);
    EXPECT_EQ(VB::WheelKeys(Qt::LeftButton | Qt::MiddleButton, Qt::ShiftModifier | Qt::ControlModifier),
              0x1d);
    const int keys[][2] = {{Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},   {Qt::Key_Escape, 27},
                           {Qt::Key_Home, 36},     {Qt::Key_Up, 38},   {Qt::Key_Down, 40},
                           {Qt::Key_F2, 113},      {Qt::Key_F12, 123}, {Qt::Key_A, 65},
                           {Qt::Key_7, 55},        {Qt::Key_Pause, 0}};
    for (const auto &k : keys)
        EXPECT_EQ(VB::KeyCodeValue(k[0]), k[1]) << k[0];
}

class QtWindow : public MouseTest {
protected:
    std::unique_ptr<PictureWindow> window;
    void SetUp() override {
        MouseTest::SetUp();
        window = std::make_unique<PictureWindow>(picture);
        window->show();
        HookWheel(0);
        SetWheelHandler(WindowMouseWheel);
    }
    void TearDown() override {
        SetWheelHandler(nullptr);
        UnhookWheel();
        window.reset();
        MouseTest::TearDown();
    }
    // Pixel of a window position.
    QPoint Pixel(double x, double y) const {
        return {static_cast<int>(std::lround(picture.ToPixelX(x))),
                static_cast<int>(std::lround(picture.ToPixelY(y)))};
    }
};

TEST_F(QtWindow, ClickWithTheZoomToolZoomsInAboutTheCursor) {
    const QPoint p = Pixel(100, 50);
    const double x = picture.FromPixelX(p.x()), y = picture.FromPixelY(p.y());
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, p);
    EXPECT_EQ(picture.ScaleWidth, 500);
    EXPECT_NEAR(PanX, x, 0.5);
    EXPECT_NEAR(PanY, y, 0.5);
}

TEST_F(QtWindow, MiddleDragPansAndTheWheelZooms) {
    QTest::mousePress(window.get(), Qt::MiddleButton, {}, Pixel(0, 0));
    QTest::mouseMove(window.get(), Pixel(100, 0));
    QTest::mouseRelease(window.get(), Qt::MiddleButton, {}, Pixel(100, 0));
    EXPECT_NEAR(PanX, -100, 2.5);
    EXPECT_EQ(AirwayStart(1, 0), static_cast<int32_t>(std::lround(PanX)));

    QWheelEvent wheel(QPointF(250, 250), QPointF(250, 250), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.get(), &wheel);
    EXPECT_NEAR(picture.ScaleWidth, 800, 1e-3);
}

TEST_F(QtWindow, TwoButtonDragRotatesAndNeitherReleaseRunsTheDrawTool) {
    ViewIs3D = 1;
    RotationCentreSet = 2;
    RotateView();
    ToolMode = 1;
    QTest::mousePress(window.get(), Qt::LeftButton, {}, Pixel(0, 0));
    QTest::mousePress(window.get(), Qt::RightButton, {}, Pixel(0, 0));
    QTest::mouseMove(window.get(), Pixel(10, 0));
    QTest::mouseMove(window.get(), Pixel(200, 0));
    EXPECT_TRUE(MouseMoveSeen);
    // From the first move, 19 % of the window to the right: the spin goes back by 19 % of half a turn.
    EXPECT_NEAR(Spin, 2 * ViewPi - 0.19 * ViewPi, 0.02);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, Pixel(200, 0));
    QTest::mouseRelease(window.get(), Qt::RightButton, {}, Pixel(200, 0));
    EXPECT_EQ(window->releases, 2);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_FALSE(ButtonHeld);
}

TEST_F(QtWindow, ContinuousZoomRunsWhileTheButtonIsHeldAndStopsWhenItIsNot) {
    bool held = true;
    window->input->SetButtonStateSource([&held] { return held ? Qt::LeftButton : Qt::NoButton; });
    bool safetyUsed = false;
    // The release never reaches the window; the held-button check ends the zoom once the button is up.
    QTimer::singleShot(100, [&held] { held = false; });
    QTimer::singleShot(5000, [&safetyUsed] {
        safetyUsed = true;
        MouseMode = 0;
    });
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::ShiftModifier, Pixel(100, 0));
    EXPECT_FALSE(safetyUsed);
    EXPECT_EQ(MouseMode, 0);
    EXPECT_FALSE(ButtonHeld);
    EXPECT_EQ(window->releases, 1);
    EXPECT_LT(picture.ScaleWidth, 1000);
    EXPECT_FALSE(window->input->Checking());
}

TEST_F(QtWindow, KeysReachTheKeyCommands) {
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_EQ(ToolMode, 1);
    EXPECT_EQ(ToolCode, 4);
    QTest::keyClick(window.get(), Qt::Key_F2);
    EXPECT_EQ(ToolMode, 0);
}

} // namespace
