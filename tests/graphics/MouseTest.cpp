#include "MouseFixture.h"
#include "graphics/drawing_prep.h"
#include "graphics/keyboard.h"
#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "platform/System.h"

#include <cmath>
#include <stdexcept>

namespace {

using Mouse = MouseTest;

TEST_F(Mouse, ZoomToolClickHalvesTheWindowAboutTheCursor) {
    PanX = 1000;
    PanY = 2000;
    Click(1, 100, 50);
    EXPECT_EQ(picture.ScaleWidth, 500);
    EXPECT_EQ(picture.ScaleHeight, 500);
    EXPECT_EQ(PanX, 1100);
    EXPECT_EQ(PanY, 2050);
    EXPECT_FALSE(ButtonHeld);
    EXPECT_FALSE(MouseBusy);
    EXPECT_TRUE(dispatched.empty());
}

TEST_F(Mouse, MiddleDragBeyondAFiftiethPansAndTheReleaseRecentres) {
    AirwayStart(3, 0) = 75;
    // Within 1/50 of the 1000 m window: no pan, and a middle click does not change the scale.
    Drag(4, 0, 0, 15, 0);
    EXPECT_EQ(PanX, 0);
    EXPECT_EQ(picture.ScaleWidth, 1000);

    Drag(4, 0, 0, 100, -40);
    EXPECT_EQ(PanX, -100);
    EXPECT_EQ(PanY, 40);
    // The rotation centre moved to the middle of the window, at its own elevation.
    EXPECT_EQ(AirwayStart(1, 0), -100);
    EXPECT_EQ(AirwayStart(2, 0), 40);
    EXPECT_EQ(AirwayStart(3, 0), 75);
    EXPECT_EQ(picture.ScaleWidth, 1000);
    EXPECT_FALSE(ButtonHeld);
}

TEST_F(Mouse, PanInAnEdgeOnViewCarriesTheRotationCentreWithThePicture) {
    ViewIs3D = 1;
    Tilt = static_cast<float>(ViewPi / 2);
    RotationCentreSet = 1;
    AirwayStart(1, 0) = 0;
    AirwayStart(2, 0) = 0;
    AirwayStart(3, 0) = 0;
    RotateView();
    ASSERT_EQ(ViewKind(), 2);
    Drag(4, 0, 0, 100, -50);
    // Seen edge-on the screen's vertical is the elevation: the centre moved across and down.
    EXPECT_EQ(AirwayStart(1, 0), -100);
    EXPECT_EQ(AirwayStart(3, 0), -50);
    EXPECT_NEAR(PanX, -100, 1e-6);
    EXPECT_NEAR(PanY, 50, 1e-6);
}

TEST_F(Mouse, PanKeepsThePressedPointUnderTheCursorWithAFlippedAxis) {
    AxisSignX = -1;
    PanX = 500;
    // The world X under the press: pan + view position = 500 + (-1 × 200).
    const double worldAtPress = PanX + AxisSignX * 200.0;
    Press(4, 200, 0);
    Move(4, 300, 0);
    EXPECT_DOUBLE_EQ(PanX + AxisSignX * 300.0, worldAtPress);
    Release(4, 300, 0);
}

TEST_F(Mouse, WheelZoomsByFourFifthsPerStepWithinTheLimits) {
    const struct {
        double width;
        int rotation;
        double want;
        const char *status;
    } cases[] = {{1000, 120, 800, ""},
                 {1000, -120, 1250, ""},
                 {22, 120, 20, "Minimum Scaling Reached"},
                 {9e6, -120, 1e7, "Maximum Scaling Reached"}};
    for (const auto &c : cases) {
        picture.ScaleWidth = picture.ScaleHeight = c.width;
        picture.ScaleLeft = picture.ScaleTop = -c.width / 2;
        CursorX = 33;
        WindowMouseWheel(0, c.rotation, 10, 10);
        EXPECT_NEAR(picture.ScaleWidth, c.want, c.want * 1e-6) << c.width;
        EXPECT_NEAR(picture.ScaleLeft, -c.want / 2, c.want * 1e-6);
        EXPECT_EQ(StatusText, c.status);
        EXPECT_EQ(CursorX, 0);
    }
}

TEST_F(Mouse, TwoButtonDragRotatesA3DViewAndNoToolRunsAtEitherRelease) {
    ToolMode = 1;
    ViewIs3D = 1;
    RotationCentreSet = 2;
    RotateView();
    Press(1, 0, 0);
    Move(3, 100, 0); // the rotation starts where the first move is
    EXPECT_TRUE(MouseMoveSeen);
    EXPECT_NEAR(Spin, 0, 1e-6);
    // A tenth of the window to the right turns the spin back by a tenth of half a turn.
    Move(3, 200, 0);
    EXPECT_NEAR(Spin, 2 * ViewPi - 0.314159, 1e-4);
    Move(3, 200, -100);
    EXPECT_NEAR(Tilt, 0.157, 1e-3);
    Release(1, 200, -100);
    EXPECT_FALSE(ButtonHeld);
    Release(2, 200, -100);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_EQ(NetworkSaved, 255);

    // The same tool does run for an ordinary click (which draws nothing: the network stays saved).
    Click(1, 10, 10);
    EXPECT_EQ(dispatched, std::vector<std::string>{"ConstructAirway"});
    EXPECT_EQ(NetworkSaved, 255);
}

TEST_F(Mouse, TwoButtonDragInAPlanViewSwitchesTo3DInstead) {
    Press(1, 0, 0);
    Move(3, 100, 0);
    EXPECT_EQ(ViewIs3D, 1);
    EXPECT_FALSE(MouseMoveSeen);
    EXPECT_NEAR(Spin, 0, 1e-6);
}

TEST_F(Mouse, ReleaseWithoutAPressDispatchesNothing) {
    for (int mode : {1, 2, 3, 4, 19}) {
        ToolMode = mode;
        Release(1, 10, 10);
    }
    EXPECT_TRUE(dispatched.empty());
}

TEST_F(Mouse, ReleaseDispatchesTheToolOfTheModeWithItsButtonRules) {
    const struct {
        int mode, button;
        std::vector<std::string> tools;
    } cases[] = {
        {3, 1, {"ReverseTool"}},
        {4, 1, {"DeleteTool"}},
        {4, 2, {}},
        {5, 2, {"InsertFanTool"}},
        {6, 1, {"NameTool"}},
        {7, 1, {"ContaminantSourceTool"}},
        {8, 1, {"InsertNodeTool"}},
        {9, 2, {}},
        {10, 1, {"RotationCentreTool"}},
        {11, 1, {"PickLevelTool"}},
        {15, 2, {"CopyPasteAttributes"}},
        {16, 1, {"CopyPasteLayers"}},
        {17, 1, {"InsertNodeTool"}},
        {18, 2, {"PlaceSmokeReport"}},
        {19, 1, {"FenceTool"}},
        {20, 1, {}},
    };
    boxes.ExpectInput(std::nullopt); // the name tool on empty space offers a floating text
    for (const auto &c : cases) {
        ToolMode = c.mode;
        dispatched.clear();
        NetworkSaved = 255;
        Click(c.button, 300, 300);
        EXPECT_EQ(dispatched, c.tools) << c.mode;
        // On empty space no tool changes anything: a saved network stays saved.
        EXPECT_EQ(NetworkSaved, 255) << c.mode;
        if (c.mode == 17) {
            EXPECT_EQ(EditSubMode, 1);
        }
        if (c.mode == 18) {
            EXPECT_EQ(SmokeReportKind, 2);
        }
    }
}

TEST_F(Mouse, CursorBeyondTheSizeLimitStopsTheToolsButNotTheDrawTool) {
    picture.ScaleWidth = picture.ScaleHeight = 4e7;
    picture.ScaleLeft = picture.ScaleTop = -2e7;
    ToolMode = 4;
    boxes.Expect(VB::vbOK, "ERROR - Cursor Coordinates exceed size limit");
    Click(1, 1e7f, 0);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_TRUE(boxes.Done());
    EXPECT_FALSE(ButtonHeld);

    ToolMode = 1;
    Click(1, 1e7f, 0);
    EXPECT_EQ(dispatched, std::vector<std::string>{"ConstructAirway"});
}

TEST_F(Mouse, ReleaseBeyondTheWindowCountsAtTheLastMovePoint) {
    ToolMode = 3;
    AxisSignY = -1;
    Press(1, 400, -400);
    Move(1, 450, -300);
    Release(1, 5000, -7000);
    EXPECT_EQ(CursorX, 450);
    EXPECT_EQ(CursorY, 300); // the move's point after the axis sign
}

TEST_F(Mouse, ReleaseKeepsTheWindowExtent) {
    WindowExtent = 777;
    ToolMode = 11; // a dragged release of the level pick does nothing
    Drag(1, 5, 5, 300, 300);
    EXPECT_EQ(WindowExtent, 777);
}

TEST_F(Mouse, AFailingToolLeavesTheWindowReadyForTheNextGesture) {
    ToolMode = 3;
    SetToolDispatchObserver([](const std::string &) { throw std::runtime_error("tool failed"); });
    Click(1, 5, 5);
    EXPECT_FALSE(MouseBusy);
    EXPECT_FALSE(ButtonHeld);
    SetToolDispatchObserver([this](const std::string &tool) { dispatched.push_back(tool); });
    Click(1, 5, 5);
    EXPECT_EQ(dispatched, std::vector<std::string>{"ReverseTool"});
}

TEST_F(Mouse, ShiftDuringADrawDragMarksTheStartButKeepsTheWorkingElevation) {
    ToolMode = 1;
    LevelElevation = 250;
    Press(1, 0, 0);
    EXPECT_EQ(WorkingElevation, 250);
    Move(1, 50, 50, 1);
    EXPECT_EQ(StartSnapped, 3);
    EXPECT_EQ(WorkingElevation, 250);
    Release(1, 50, 50);
}

TEST_F(Mouse, CursorReadOutShowsTheWorldPointAtTheWorkingOrPickedElevation) {
    PanX = 1000;
    PanY = 2000;
    LevelElevation = 152.5;
    Move(0, 12.4f, -3.6f);
    EXPECT_EQ(shell.labels["TxtX"], FormatValue(1012, 14, 0, 0));
    EXPECT_EQ(shell.labels["TxtY"], FormatValue(1996, 14, 0, 0));
    EXPECT_EQ(shell.labels["TxtZ"], FormatValue(152, 14, 0, 0));
    EXPECT_FLOAT_EQ(PlanCursorX, 1012.4f);
    EXPECT_FLOAT_EQ(PlanCursorY, 1996.4f);

    // A start taken from the network shows its own elevation.
    StartSnapped = 1;
    StartElevation = -40;
    ShowCursorCoords(0, 0);
    EXPECT_EQ(shell.labels["TxtZ"], FormatValue(-40, 14, 0, 0));
    EXPECT_EQ(shell.labels["TxtX"], FormatValue(1000, 14, 0, 0));
}

class SelectTool : public MouseTest {
protected:
    void SetUp() override {
        MouseTest::SetUp();
        LevelRange(1, 1) = LevelRange(1, 2) = 1000;
        AddAirway(0, 0, 0, 100, 0, 0);
        AddAirway(0, 200, 0, 100, 200, 0);
        AddAirway(300, 300, 0, 400, 400, 0);
        SetVisibleAirways();
        PrepareDrawing();
        ToolMode = 19;
    }
    static std::vector<bool> SelectedFlags() {
        std::vector<bool> flags;
        for (int a = 1; a <= AirwayCount; ++a)
            flags.push_back((AirwayFlags(a) & AirwayFlag::Selected) != 0);
        return flags;
    }
};

TEST_F(SelectTool, ClickSelectsRightClickClearsAndFencesSelectByAnyOfThreePoints) {
    ASSERT_EQ(AirwayScreenCount, 3);
    Click(1, 50, 3);
    EXPECT_EQ(SelectedFlags(), (std::vector<bool>{true, false, false}));
    Click(2, 50, 3);
    EXPECT_EQ(SelectedFlags(), (std::vector<bool>{false, false, false}));
    Drag(1, 40, 190, 60, 210); // holds only the midpoint of airway 2
    EXPECT_EQ(SelectedFlags(), (std::vector<bool>{false, true, false}));
    Drag(1, 310, 290, 290, 310); // drawn from the other corner; holds the start of airway 3
    EXPECT_EQ(SelectedFlags(), (std::vector<bool>{false, true, true}));
    Drag(1, -400, -400, -300, -300); // empty
    EXPECT_EQ(SelectedFlags(), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);

    int esc = KeyCode::Escape;
    ToolMode = 19;
    KeyCommand(esc);
    EXPECT_EQ(SelectedFlags(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(ToolMode, 19);
    EXPECT_EQ(AirwayFlags(1), AirwayFlag::Rectangular | AirwayFlag::LayerVisible);
}

TEST_F(SelectTool, InformationToolShowsThePopupBesideTheCursorAndTheWindowOnALeftRelease) {
    AirwayNumber(2) = 57;
    AirwayFlow(2) = 12.5f;
    AirwayResistance(2) = 0.02f;
    ToolMode = 9;
    editor.cursorX = 100; // 1500 twips
    editor.cursorY = 200; // 3000 twips
    Press(2, 50, 200);
    ASSERT_EQ(editor.popups.size(), 1u);
    EXPECT_EQ(editor.popups[0].left, 1500);
    EXPECT_EQ(editor.popups[0].top, 3000);
    std::string want = "     AIRWAY 57\n\n";
    const std::pair<const char *, int> lines[] = {
        {"Q = ", 12},     {"Vel = ", 13},  {"Res = ", 32},  {"kFac = ", 34},  {"PLoss = ", 22},
        {"Shock = ", 33}, {"Size = ", 35}, {"Cost = ", 44}, {"Power = ", 42}, {"Layers = ", 54}};
    for (const auto &[label, code] : lines)
        want += (code == 12 ? "" : "\r\n") + std::string(label) + AirwayDataText(code, 2, 1);
    EXPECT_EQ(editor.popups[0].text, want);
    EXPECT_NE(editor.popups[0].text.find("Q = 12.5"), std::string::npos) << editor.popups[0].text;
    Release(2, 50, 200);
    EXPECT_EQ(editor.popupsHidden, 1);
    EXPECT_EQ(editor.informationWindows, 0);

    // Near the bottom-right corner the pop-up flips above and to the left of the cursor.
    editor.cursorX = 900; // 13500 twips, beyond 15000 - 3000
    editor.cursorY = 700; // 10500 twips, beyond 12000 - 2000
    Press(2, 50, 200);
    ASSERT_EQ(editor.popups.size(), 2u);
    EXPECT_EQ(editor.popups[1].left, 10500);
    EXPECT_EQ(editor.popups[1].top, 8500);
    Release(2, 50, 200);

    // Nothing under the cursor: no pop-up.
    Press(2, -450, -450);
    Release(2, -450, -450);
    EXPECT_EQ(editor.popups.size(), 2u);

    Click(1, 50, 200);
    EXPECT_EQ(editor.informationWindows, 1);
    EXPECT_EQ(CurrentAirway, 2);
    EXPECT_EQ(AirEditMode, 2);
    EXPECT_EQ(PickedAirway, 0);
}

TEST_F(SelectTool, MoveToolPressOnANodeDrawsARedRubberLineAndOnEmptySpaceAFence) {
    ToolMode = 2;
    Press(1, 100, 2); // the end of airway 1
    EXPECT_EQ(PressPick, -1);
    EXPECT_FALSE(MoveFenceMode);
    EXPECT_EQ(BuildStartX, 100);
    EXPECT_EQ(BuildStartY, 0);
    Move(1, 150, 100);
    const QImage &image = picture.Image();
    const QPoint mid(static_cast<int>(picture.ToPixelX(125)), static_cast<int>(picture.ToPixelY(50)));
    EXPECT_EQ(image.pixel(mid) & 0xFFFFFF, PictureBox::ToRgb(PictureBox::QBColor(12)) & 0xFFFFFF);
    // Drawn again from the same start, the line goes and the picture is as before.
    DrawRubberLine(BuildStartX, BuildStartY, 150, 100, 100, 0);
    EXPECT_EQ(picture.Image().pixel(mid) & 0xFFFFFF, PictureBox::ToRgb(picture.BackColor) & 0xFFFFFF);
    DrawRubberLine(BuildStartX, BuildStartY, 100, 0, 150, 100);
    Release(1, 150, 100);
    EXPECT_EQ(dispatched, std::vector<std::string>{"MoveNodeTool"});

    dispatched.clear();
    Drag(1, -300, -300, -200, -200);
    EXPECT_TRUE(MoveFenceMode);
    EXPECT_EQ(dispatched, std::vector<std::string>{"MoveNodeTool"});
}

TEST_F(SelectTool, RightPressOfTheDrawToolOnEmptySpaceAsksForThePoint) {
    ToolMode = 1;
    CoordsCancelled = 0;
    // A cancelled entry ends the gesture: the release does nothing.
    struct Cancel : RecordingEditor {
        void ShowCoordinateEntry() override {
            ++coordinateEntries;
            CoordsCancelled = -1;
        }
    };
    {
        Cancel cancel;
        Click(2, -400, -400);
        EXPECT_EQ(cancel.coordinateEntries, 1);
    }
    EXPECT_FALSE(ButtonHeld);
    EXPECT_TRUE(dispatched.empty());
    EXPECT_EQ(CoordsCancelled, 0);
}

} // namespace
