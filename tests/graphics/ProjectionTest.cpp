#include "GraphicsFixture.h"

#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"

#include <QCoreApplication>

#include <random>

namespace {

constexpr double HalfPi = ViewPi / 2;

class Projection : public GraphicsTest {};

TEST_F(Projection, TopDownViewProjectsAsPlanAndSectionShowsElevation) {
    AddAirway(500123, 7000456, -250, 500900, 7000100, 40);
    AddAirway(-300, 20, 1000, 15, -8, 0);
    SetVisibleAirways();
    ProjectPlan();
    std::vector<double> plan;
    for (int a = 1; a <= 2; ++a)
        for (int c = 1; c <= 2; ++c)
            plan.insert(plan.end(), {AirwayStartProjected(c, a), AirwayEndProjected(c, a)});

    ViewIs3D = 1;
    RotationCentreSet = 1;
    RotateView();
    std::vector<double> topDown;
    for (int a = 1; a <= 2; ++a)
        for (int c = 1; c <= 2; ++c)
            topDown.insert(topDown.end(), {AirwayStartProjected(c, a), AirwayEndProjected(c, a)});
    EXPECT_EQ(plan, topDown);

    Tilt = static_cast<float>(HalfPi);
    RotateView();
    for (int a = 1; a <= 2; ++a) {
        EXPECT_NEAR(AirwayStartProjected(1, a), AirwayStart(1, a), 1e-6);
        EXPECT_NEAR(AirwayStartProjected(2, a), -AirwayStart(3, a), 1);
        EXPECT_NEAR(AirwayEndProjected(1, a), AirwayEnd(1, a), 1e-6);
        EXPECT_NEAR(AirwayEndProjected(2, a), -AirwayEnd(3, a), 1);
    }
    // Mine-grid coordinates keep their decimals: the far airway's section is exact to a millimetre.
    EXPECT_NEAR(AirwayStartProjected(2, 1), 250 + 7000456 * std::cos(double(Tilt)), 1e-3);
}

TEST_F(Projection, ScreenToWorldInvertsProjectPointAtAnyAngle) {
    ViewIs3D = 1;
    PanX = 500200.25;
    PanY = -3000.5;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> x(480000, 520000), y(6990000, 7010000), z(-1500, 500);
    std::uniform_real_distribution<double> spin(0, 2 * ViewPi), tilt(-1.5, 1.5);
    std::vector<std::pair<double, double>> angles;
    for (int i = 0; i < 200; ++i)
        angles.emplace_back(spin(random), tilt(random));
    angles.emplace_back(3 * ViewPi / 2, 0.7);
    angles.emplace_back(ViewPi / 2, -0.4);
    angles.emplace_back(3 * ViewPi / 2, 0.0);
    for (const auto &[s, t] : angles) {
        Spin = static_cast<float>(s);
        Tilt = static_cast<float>(t);
        const double px = x(random), py = y(random), pz = z(random);
        double sx = 0, sy = 0;
        ProjectPoint(px, py, pz, sx, sy);
        double X = 0, Y = 0, Z = 0;
        ScreenToWorld(sx, sy, pz, X, Y, Z);
        ASSERT_NEAR(X, px, 1) << "spin " << s << " tilt " << t;
        ASSERT_NEAR(Y, py, 1) << "spin " << s << " tilt " << t;
        ASSERT_EQ(Z, pz);
    }
}

TEST_F(Projection, ShiftedPointSeenFromAboveMovesAcrossThePlan) {
    ViewIs3D = 1;
    Tilt = 0;
    Spin = 0.3f;
    MouseShift = 1;
    ButtonHeld = true;
    DrawStartX = 1000;
    DrawStartY = 2000;
    DrawStartZ = 300;
    BuildStartX = 5;
    BuildStartY = 5;
    double X = 0, Y = 0, Z = 0;
    ScreenToWorld(45, 85, 0, X, Y, Z);
    ASSERT_TRUE(std::isfinite(X) && std::isfinite(Y) && std::isfinite(Z));
    EXPECT_EQ(Z, 300);
    EXPECT_NE(X, 1000);
    EXPECT_NE(Y, 2000);
    // The moved point follows the cursor on the screen.
    double sx0 = 0, sy0 = 0, sx = 0, sy = 0;
    ProjectPoint(1000, 2000, 300, sx0, sy0);
    ProjectPoint(X, Y, Z, sx, sy);
    EXPECT_NEAR(sx - sx0, 40, 1);
    EXPECT_NEAR(sy - sy0, 80, 1);
}

TEST_F(Projection, EdgeOnClickLandsOnTheClickAtTheCentreDepth) {
    ViewIs3D = 1;
    Tilt = static_cast<float>(HalfPi);
    Spin = 0.8f;
    AirwayStart(1, 0) = 1000;
    AirwayStart(2, 0) = -400;
    AirwayStart(3, 0) = 50;
    PanX = 300;
    PanY = -20;
    ASSERT_EQ(ViewKind(), 2);
    double X = 0, Y = 0, Z = 0;
    ScreenToWorld(120, -60, 0, X, Y, Z);
    double sx = 0, sy = 0;
    ProjectPoint(X, Y, Z, sx, sy);
    EXPECT_NEAR(sx, 120, 1);
    EXPECT_NEAR(sy, -60, 1);
    // At the centre's depth: along the viewing direction it has not moved.
    const double depth0 = 1000 * std::sin(0.8) + -400 * std::cos(0.8);
    EXPECT_NEAR(X * std::sin(0.8) + Y * std::cos(0.8), depth0, 1);
}

TEST_F(Projection, RotationStepKeepsAnglesInRange) {
    ViewIs3D = 1;
    RotationCentreSet = 1;
    struct Case {
        int axisSignY;
        int fullRotation;
        float tilt, spin;
        float wantTilt, wantSpin;
    };
    const float quarter = static_cast<float>(HalfPi);
    const Case cases[] = {
        {1, 0, -0.2f, 0.5f, 0, 0.5f},
        {1, 0, 2.0f, 0.5f, quarter, 0.5f},
        {-1, 0, 0.3f, 0.5f, 0, 0.5f},
        {-1, 0, -2.0f, 0.5f, -quarter, 0.5f},
        {1, 1, 2.0f, 0.5f, 2.0f, 0.5f},
        {1, 1, 7.0f, -0.5f, static_cast<float>(7.0f - 2 * ViewPi), static_cast<float>(-0.5f + 2 * ViewPi)},
        {1, 0, 0.4f, 1.5705f, 0.4f, static_cast<float>(1.5705f + ViewPi / 1000)},
        {1, 0, 0.4f, 4.7125f, 0.4f, static_cast<float>(4.7125f + ViewPi / 1000)},
    };
    for (const Case &c : cases) {
        AxisSignY = c.axisSignY;
        FullRotation = c.fullRotation;
        Tilt = c.tilt;
        Spin = c.spin;
        RotateView();
        EXPECT_NEAR(Tilt, c.wantTilt, 1e-5) << c.tilt;
        EXPECT_NEAR(Spin, c.wantSpin, 1e-5) << c.spin;
    }
    EXPECT_EQ(shell.labels["TxtX"], "RotX 22");
    EXPECT_EQ(shell.labels["TxtY"], "RotY 270");
}

TEST_F(Projection, PerspectiveLeavesFarPointsUndistorted) {
    AddAirway(0, 0, 0, 100, 0, 0);
    AddAirway(-100000, 0, 0, 100000, 0, 0);
    SetVisibleAirways();
    ViewIs3D = 1;
    Tilt = 0.5f;
    RotationCentreSet = 1;
    Perspective = 1;
    PerspectiveDepth = 1;
    RotateView();
    for (int a = 1; a <= 2; ++a)
        for (int c = 1; c <= 2; ++c) {
            ASSERT_TRUE(std::isfinite(AirwayStartProjected(c, a)));
            ASSERT_TRUE(std::isfinite(AirwayEndProjected(c, a)));
        }
    // The far ends lie beyond the eye distance: drawn where the plain projection puts them.
    EXPECT_DOUBLE_EQ(AirwayStartProjected(1, 2), -100000);
    EXPECT_DOUBLE_EQ(AirwayEndProjected(1, 2), 100000);
    // The near airway is drawn closer to the window centre.
    EXPECT_LT(std::abs(AirwayEndProjected(1, 1) - PanX), 100);
}

TEST_F(Projection, ViewKindTellsPlanThreeDAndEdgeOn) {
    const struct {
        int is3D;
        float tilt;
        int kind;
    } cases[] = {{0, 1.5708f, 0},  {1, 0.0f, 1},    {1, 1.5708f, 2},
                 {1, -1.5708f, 2}, {1, 4.7124f, 2}, {1, 1.569f, 1}};
    for (const auto &c : cases) {
        ViewIs3D = c.is3D;
        Tilt = c.tilt;
        EXPECT_EQ(ViewKind(), c.kind) << c.tilt;
    }
}

TEST_F(Projection, ZoomClampsAtTheLimits) {
    AspectRatio = 0.5f;
    const struct {
        float width, wantWidth, wantHeight;
        const char *status;
    } cases[] = {{10, 20, 10, "Minimum Scaling Reached"},
                 {2e7f, 1e7f, 5e6f, "Maximum Scaling Reached"},
                 {500, 500, 250, ""}};
    for (const auto &c : cases) {
        float w = c.width, h = c.width * AspectRatio;
        SetZoomScale(w, h);
        EXPECT_EQ(w, c.wantWidth);
        EXPECT_EQ(h, c.wantHeight);
        EXPECT_EQ(StatusText, c.status);
        EXPECT_EQ(picture.ScaleWidth, c.wantWidth);
        EXPECT_EQ(picture.ScaleLeft, -c.wantWidth / 2);
        EXPECT_EQ(picture.ScaleTop, -c.wantHeight / 2);
    }
    // During the Shift zoom only the clamped size goes back.
    MouseMode = 5;
    float w = 5, h = 5;
    SetZoomScale(w, h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(picture.ScaleWidth, 500);
}

TEST_F(Projection, ZoomToolClickHalvesAboutTheCursorAndBoxFitsTheBox) {
    PanX = 1000;
    PanY = 2000;
    MouseButton = 1;
    BuildStartX = 100;
    BuildStartY = -50;
    CursorX = 110; // within 1/50 of the 1000 m window
    CursorY = -45;
    MouseZoom();
    EXPECT_EQ(picture.ScaleWidth, 500);
    EXPECT_EQ(picture.ScaleHeight, 500);
    EXPECT_EQ(PanX, 1110);
    EXPECT_EQ(PanY, 1955);

    PanX = PanY = 0;
    BuildStartX = -100;
    BuildStartY = 0;
    CursorX = 100;
    CursorY = 100;
    MouseZoom();
    EXPECT_EQ(picture.ScaleWidth, 200);
    EXPECT_EQ(picture.ScaleHeight, 200);
    EXPECT_EQ(PanX, 0);
    EXPECT_EQ(PanY, 50);

    MouseButton = 2;
    MouseZoom();
    EXPECT_EQ(picture.ScaleWidth, 400);
}

TEST_F(Projection, ShiftZoomStepsKeepTheWorldPointUnderTheCursor) {
    PowerZoomSpeed = 4;
    PanX = 1000;
    PanY = 2000;
    CursorX = 100;
    CursorY = 50;
    MouseButton = 1;
    MouseShift = 1;
    MouseMode = 5;
    // The release arrives during the first pause of the zoom.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { MouseMode = 0; }, Qt::QueuedConnection);
    MouseZoom();
    EXPECT_EQ(MouseMode, 0);
    EXPECT_DOUBLE_EQ(picture.ScaleWidth, 960);
    EXPECT_DOUBLE_EQ(picture.ScaleHeight, 960);
    EXPECT_EQ(PanX, 1004);
    EXPECT_EQ(PanY, 2002);
    EXPECT_FLOAT_EQ(CursorX, 96);
    EXPECT_FLOAT_EQ(CursorY, 48);
    EXPECT_DOUBLE_EQ(CursorX + PanX, 1100);
}

TEST_F(Projection, SwappingAxesTwiceRestoresTheNetwork) {
    LevelRange(1, 1) = LevelRange(1, 2) = 1000;
    AddAirway(10, 20, 30, 40, 50, 60);
    AddAirway(-5, 7, 0, 9, -11, 3);
    AxisSignX = 1;
    AxisSignY = -1;
    SwapXY();
    EXPECT_EQ(AirwayStart(1, 1), 20);
    EXPECT_EQ(AirwayStart(2, 1), 10);
    EXPECT_EQ(AxisSignX, -1);
    EXPECT_EQ(AxisSignY, 1);
    EXPECT_EQ(ViewIs3D, 0);
    SwapXY();
    const int want[2][6] = {{10, 20, 30, 40, 50, 60}, {-5, 7, 0, 9, -11, 3}};
    for (int a = 1; a <= 2; ++a)
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(AirwayStart(c, a), want[a - 1][c - 1]);
            EXPECT_EQ(AirwayEnd(c, a), want[a - 1][c + 2]);
        }
    EXPECT_EQ(AxisSignX, 1);
    EXPECT_EQ(AxisSignY, -1);
}

} // namespace
