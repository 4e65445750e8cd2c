// Mouse gestures on the program's own graphics window, as the window system delivers them.
#include "ShellFixture.h"

#include "common/RealKeys.h"
#include "common/StoredAirways.h"
#include "dialogs/frmAirEdit.h"
#include "dialogs/frmCoords.h"
#include "graphics/drawing.h"
#include "graphics/projection.h"
#include "graphics/tool_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/geometry.h"
#include "model/levels_views.h"
#include "model/node_keys.h"
#include "platform/MouseInput.h"
#include "platform/VBControls.h"
#include "simulation/simplify.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Window 0 of a freshly started program, worked with the mouse.
class Pointer : public ShellTest {
protected:
    // The pixel of the window showing the world point (x, y, z), by default at the working elevation.
    QPoint pixel(double x, double y, double z = LevelElevation) const {
        double sx = 0, sy = 0;
        ProjectPoint(x, y, z, sx, sy);
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

// The teaching mine in a maximised window, fitted with Home: north up, the cross-cut (airway 8) from
// (600, 150, 800) to (600, 0, 900), the return raise (9, 10) from there to the surface at RL 1000.
class TeachingGestures : public Pointer {
protected:
    void SetUp() override { Start(); }
    void Start() {
        StartOnExample("teaching.sim");
        form->showMaximized();
        window(0)->showMaximized();
        QCoreApplication::processEvents();
        Home();
    }
    void TearDown() override {
        VB::SetModalDriver({});
        Pointer::TearDown();
    }
    QWidget *view() const { return window(0)->View(); }
    void Home() const {
        RealKeys::Click(view(), Qt::Key_Home);
        QCoreApplication::processEvents();
    }
    // Metres of the mine that one pixel of the window shows.
    double metresPerPixel() const {
        const PictureBox &pic = window(0)->Picture();
        return std::abs(pic.ScaleHeight) / pic.PixelHeight();
    }
    // The ends of airway a.
    static std::array<int32_t, 6> ends(int a) {
        return {AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a),
                AirwayEnd(1, a),   AirwayEnd(2, a),   AirwayEnd(3, a)};
    }
};

TEST_F(TeachingGestures, ASelectionMovesByTheDraggedDistanceInTheViewsPlaneKeepingItsConnections) {
    const std::vector<int> selection{4, 6, 8, 9, 10};
    const struct {
        const char *view;
        bool typed;
        int axis; // the world axis the screen's vertical shows: 2 Y (north up), 3 Z
    } cases[] = {
        {" 1. Default View", false, 2}, {" 1. Default View", true, 2}, {" 3. Long Section", false, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.view) + (c.typed ? " typed" : " dragged"));
        Start();
        // The raise's top is on the surface by its elevation alone.
        AirwayFlags(10) &= ~AirwayFlag::SurfaceExit;
        // The select tool's fence round x 540 .. 645 in plan.
        form->Tools_Click(31);
        drag(Qt::LeftButton, pixel(540, -60, 900), pixel(645, 210, 900));
        for (int a = 1; a <= AirwayCount; ++a)
            ASSERT_EQ((AirwayFlags(a) & AirwayFlag::Selected) != 0,
                      std::find(selection.begin(), selection.end(), a) != selection.end())
                << a;
        form->CmbView->SetListIndex(form->CmbView->findText(c.view));
        Home();
        std::vector<std::array<int32_t, 6>> before;
        for (int a = 1; a <= AirwayCount; ++a)
            before.push_back(ends(a));
        std::vector<Currency> keysBefore;
        for (const int a : selection)
            keysBefore.insert(keysBefore.end(), {AirwayStartKey(a), AirwayEndKey(a)});

        // 50 m up the screen in plan (north), 50 m down in the section (deeper), as whole pixels.
        const int pixels = static_cast<int>(std::lround(50 / metresPerPixel())) * (c.axis == 3 ? -1 : 1);
        const int32_t metres = static_cast<int32_t>(std::lround(pixels * metresPerPixel()));
        form->Tools_Click(6);
        const QPoint middle = pixel(600, 75, 850);
        if (c.typed) {
            withDialog<frmCoords>([&] { QTest::mouseClick(view(), Qt::RightButton, Qt::NoModifier, middle); },
                                  [&](frmCoords &d) {
                                      d.TxtdY->setFocus();
                                      d.TxtdY->selectAll();
                                      RealKeys::Type(d.TxtdY, QString::number(metres));
                                      d.OK->click();
                                  });
        } else {
            drag(Qt::LeftButton, middle, middle - QPoint(0, pixels));
        }

        for (int a = 1; a <= AirwayCount; ++a) {
            const bool moved = std::find(selection.begin(), selection.end(), a) != selection.end();
            std::array<int32_t, 6> expected = before[static_cast<size_t>(a - 1)];
            if (moved) {
                expected[static_cast<size_t>(c.axis - 1)] += metres;
                expected[static_cast<size_t>(c.axis + 2)] += metres;
            }
            EXPECT_EQ(ends(a), expected) << "airway " << a;
        }
        // Ends that met before meet after, the raise's top on the surface included.
        std::vector<Currency> keysAfter;
        for (const int a : selection)
            keysAfter.insert(keysAfter.end(), {AirwayStartKey(a), AirwayEndKey(a)});
        for (size_t i = 0; i < keysBefore.size(); ++i)
            for (size_t j = 0; j < keysBefore.size(); ++j)
                EXPECT_EQ(keysBefore[i] == keysBefore[j], keysAfter[i] == keysAfter[j]) << i << ", " << j;
        EXPECT_EQ(AirwayEndKey(10), SurfaceNodeKey);
    }
}

TEST_F(TeachingGestures, SimplifyKeepsADoorInsertedOnTheMainReturnAndSaysSo) {
    // A node on the 900 drive at X 450, the second half given the preset "Steel Door".
    form->Tools_Click(15);
    QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, pixel(450, 0, 900));
    ASSERT_EQ(AirwayCount, 11);
    const int door = 11;
    form->Tools_Click(12);
    withDialog<frmAirEdit>(
        [&] { QTest::mouseClick(view(), Qt::LeftButton, Qt::NoModifier, pixel(525, 0, 900)); },
        [](frmAirEdit &d) {
            d.ResCombo->SetListIndex(d.ResCombo->findText("Steel Door"));
            d.OK->click();
        });
    ASSERT_EQ(AirwayResistanceType(door), 2);
    const std::array<int32_t, 6> doorEnds = ends(door);

    form->MenuItem("mnuSimp")->trigger();
    auto *simplify = form->findChild<frmSimplify *>();
    ASSERT_NE(simplify, nullptr);
    simplify->TxtL->selectAll();
    RealKeys::Type(simplify->TxtL, "400");
    boxes->Expect(VB::vbOK, "The network size was reduced by 0 airways\r\n1 joins were left");
    simplify->CmdSimp->click();
    EXPECT_TRUE(boxes->Done());
    ASSERT_EQ(AirwayCount, 11);
    int kept = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayResistanceType(a) == 2 && ends(a) == doorEnds)
            ++kept;
    EXPECT_EQ(kept, 1);
}

TEST_F(TeachingGestures, AMoveToolReleaseWithinTheDragDistanceIsAClick) {
    // The node where the 900 drive's two airways meet.
    const QPoint node = pixel(300, 0, 900);
    form->Tools_Click(6);
    const int distance = VB::DragStartDistance();
    const struct {
        int pixels;
        bool moves;
    } cases[] = {{1, false}, {distance - 1, false}, {distance, true}};
    for (const auto &c : cases) {
        const auto before = StoredAirways();
        drag(Qt::LeftButton, node, node + QPoint(c.pixels, 0));

        EXPECT_EQ(StoredAirways() != before, c.moves) << c.pixels;
        EXPECT_EQ(AirwayEnd(1, 3) != 300, c.moves) << c.pixels;
    }
}

TEST_F(TeachingGestures, ALevelPickKeepsTheSurfaceOnTopAndWhatTheChecksDeleteOneUndoBringsBack) {
    // The fan drift rises from the raise's top at RL 980, on no level.
    form->Tools_Click(16);
    boxes->Expect(VB::vbOK, "Could not find a valid defined display level");
    tap(pixel(600, -30, 985));
    FillLevelList(); // as the next load sorts the levels
    EXPECT_EQ(LevelName(1), "SURFACE");
    // A second copy of the first 900 drive, which the run deletes.
    PutAirwayValues(TakeAirwayValues(3), 11);
    AirwayNumber(11) = AirwayCount = 11;
    boxes->Expect(VB::vbYes, "Duplicate branches exist - delete them ?");
    RealKeys::Click(view(), Qt::Key_F12);
    ASSERT_EQ(AirwayCount, 10);
    RealKeys::Click(view(), Qt::Key_Backspace);
    EXPECT_EQ(AirwayCount, 11);
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
