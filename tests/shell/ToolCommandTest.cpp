#include "ShellFixture.h"

#include "graphics/locate.h"
#include "graphics/tools.h"
#include "platform/Busy.h"
#include "shell/main_editor_windows.h"
#include "shell/small_windows.h"
#include "shell/tool_command.h"

TEST_F(ShellTest, ToolButtonsSetTheEditorToolByTheTable) {
    const std::pair<int, int> table[] = {{2, 16},  {4, 1},   {6, 2},   {7, 3},   {8, 4},   {9, 5},
                                         {10, 6},  {11, 7},  {12, 8},  {13, 9},  {15, 17}, {16, 11},
                                         {17, 18}, {18, 10}, {21, 15}, {31, 19}, {0, 0}};
    for (const auto &[button, mode] : table) {
        form->Tools_Click(button);
        EXPECT_EQ(ToolMode, mode) << "button " << button;
        EXPECT_EQ(ToolCode, button);
        for (int i = 0; i <= 31; ++i)
            EXPECT_EQ(form->Tools(i)->isChecked(), i == button) << "button " << button << " look of " << i;
        EXPECT_FALSE(form->Tools(button)->isEnabled());
    }
}

TEST_F(ShellTest, ImmediateCommandsLeaveThePreviousToolCurrent) {
    form->Tools_Click(4);
    form->Tools_Click(1); // fit all
    EXPECT_EQ(ToolCode, 4);
    EXPECT_EQ(ToolMode, 1);
    EXPECT_TRUE(form->Tools(4)->isChecked());
    EXPECT_TRUE(form->Tools(1)->isEnabled());
    form->Tools_Click(25); // grid off
    EXPECT_FALSE(GridOn);
    EXPECT_FALSE(form->MenuItem("mnuGridFlag")->isChecked());
    EXPECT_EQ(ToolCode, 4);
}

TEST_F(ShellTest, UpdateScreenClearsOnlyTheSelectedFlagOfEveryAirway) {
    AddAirways(3);
    AirwayFlags(1) = 0x1 | 0x20000 | 0x4000;
    AirwayFlags(2) = 0x2 | 0x20000 | 0x1000000;
    AirwayFlags(3) = 0x10000 | 0x800;
    form->Tools_Click(28);
    EXPECT_EQ(AirwayFlags(1), 0x1 | 0x4000);
    EXPECT_EQ(AirwayFlags(2), 0x2 | 0x1000000);
    EXPECT_EQ(AirwayFlags(3), 0x10000 | 0x800);
    EXPECT_EQ(ToolCode, 0);
}

TEST_F(ShellTest, AttributeCopyToDefaultsMarksButton21AndButton21ResetsIt) {
    form->MenuItem("mnuCopy2")->trigger();
    EXPECT_EQ(ToolMode, 15);
    EXPECT_TRUE(CopyToDefaults);
    EXPECT_EQ(ToolCode, 21);
    EXPECT_TRUE(form->Tools(21)->isChecked());
    EXPECT_TRUE(form->MenuItem("mnuCopy2")->isChecked());
    form->Tools_Click(21);
    EXPECT_FALSE(CopyToDefaults);
    EXPECT_TRUE(form->MenuItem("mnuCpyPst")->isChecked());
    EXPECT_FALSE(form->MenuItem("mnuCopy2")->isChecked());
}

TEST_F(ShellTest, AddAirwayMenuItemActsAsButton4AndUnchecksCopyPaste) {
    form->MenuItem("mnuCpyPst")->trigger();
    ASSERT_TRUE(form->MenuItem("mnuCpyPst")->isChecked());
    form->mnuBar_Click(1);
    EXPECT_EQ(ToolCode, 4);
    EXPECT_EQ(ToolMode, 1);
    EXPECT_FALSE(form->MenuItem("mnuCpyPst")->isChecked());
}

TEST_F(ShellTest, ToolbarCarriesTheTooltipsAndUnbuiltCommandsAreDisabled) {
    EXPECT_EQ(form->Tools(0)->toolTip(), "Zoom / Pan  [F2]");
    EXPECT_EQ(form->Tools(14)->toolTip(), "Air simulation [F12]");
    EXPECT_EQ(form->Tools(31)->toolTip(), "Select airway tool (ESC to deselect)");
    for (int i = 0; i <= 31; ++i) {
        EXPECT_FALSE(form->Tools(i)->icon().isNull()) << i;
        if (i != 0) {
            EXPECT_EQ(form->Tools(i)->isEnabled(), MainForm::CommandAvailable(i)) << i;
        }
    }
}

TEST(ToolCodes, EveryToolCodeSelectsItsMode) {
    const int modes[][2] = {{0, 0},   {2, 16},  {4, 1},   {6, 2},   {7, 3},   {8, 4},   {9, 5},
                            {10, 6},  {11, 7},  {12, 8},  {13, 9},  {15, 17}, {16, 11}, {17, 18},
                            {18, 10}, {21, 15}, {31, 19}, {32, 20}, {91, 15}};
    for (const auto &m : modes)
        EXPECT_EQ(ToolModeOfCommand(m[0]), m[1]) << m[0];
    for (int code : {1, 3, 5, 14, 19, 20, 22, 23, 24, 25, 26, 27, 28, 29, 30, 33, 90})
        EXPECT_EQ(ToolModeOfCommand(code), -1) << code;
}

TEST_F(ShellTest, AKeyForAToolThatIsNotAvailableKeepsTheCurrentTool) {
    // Every button works now: the first code without one.
    int unavailable = 1;
    while (MainForm::CommandAvailable(unavailable))
        ++unavailable;
    form->Tools_Click(31);
    PreviousToolCode = ToolCode;
    form->RunCommand(unavailable);
    EXPECT_EQ(ToolCode, 31);
    EXPECT_EQ(ToolMode, 19);
    form->RunCommand(0); // zoom is available
    EXPECT_EQ(ToolMode, 0);
}

TEST_F(ShellTest, FindMenuAndFindButtonStepThroughTheMatchesAndWaitWhileBusy) {
    AddAirways(3);
    for (int a = 1; a <= 3; ++a)
        AirwayNumber(a) = 10 + a;
    AirwayFlags(1) |= AirwayFlag::FixedFlow;
    AirwayFlags(3) |= AirwayFlag::FixedFlow;
    ASSERT_TRUE(form->MenuItem("mnufind")->isEnabled());
    // A number no airway carries finds nothing, not the airway in that slot.
    boxes->ExpectInput("999").Expect(VB::vbOK, "No branches to find!");
    form->MenuItem("mnuFinder(3)")->trigger();
    EXPECT_TRUE(form->MenuItem("mnuFinder(3)")->isChecked());
    boxes->ExpectInput("12");
    form->MenuItem("mnuFinder(3)")->trigger();
    EXPECT_EQ(SearchPosition, 3);
    form->MenuItem("mnuFinder(6)")->trigger();
    EXPECT_EQ(SearchPosition, 4);
    form->Tools_Click(3);
    EXPECT_EQ(SearchPosition, 2); // wrapped round to the first fixed flow
    {
        VB::BusyScope busy;
        form->Tools_Click(3);
    }
    EXPECT_EQ(SearchPosition, 2);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ShellTest, SmokeTraceAndLegendEachCloseTheOtherAndPastesShowTheMessageWindow) {
    QWidget trace, legend;
    MainEditorWindows &editor = form->EditorWindowsOfProgram();
    editor.SmokeTrace = &trace;
    editor.SmokeLegend = &legend;
    PlaceTraceWindow();
    EXPECT_TRUE(trace.isVisible());
    EXPECT_TRUE(trace.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    PlaceLegendWindow();
    EXPECT_TRUE(legend.isVisible());
    EXPECT_FALSE(trace.isVisible());
    PlaceTraceWindow();
    EXPECT_FALSE(legend.isVisible());

    Shell().ShowMessageWindow("\r\n\r\nAttributes pasted to Branch 7", 400);
    EXPECT_TRUE(MessageWindow().isVisible());
    EXPECT_EQ(MessageWindow().Timer1.interval(), 400);
    EXPECT_EQ(CurrentLine, "\r\n\r\nAttributes pasted to Branch 7");
    MessageWindow().hide();
}
