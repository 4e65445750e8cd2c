#include "ShellFixture.h"

#include "graphics/level_dialogs.h"
#include "shell/small_windows.h"

TEST_F(ShellTest, ToolWindowSitsAtTheMainWindowsLowerRightOnTop) {
    form->showNormal();
    form->setGeometry(100, 120, 900, 700);
    QWidget list;
    list.resize(200, 150);
    PlaceLowerRight(list);
    EXPECT_TRUE(list.isVisible());
    EXPECT_TRUE(list.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const QRect main = form->frameGeometry(), own = list.frameGeometry();
    EXPECT_EQ(own.x() + own.width(), main.x() + main.width());
    // 40 twips above the bottom edge: 2 or 3 pixels on common screens.
    const int lift = main.y() + main.height() - (own.y() + own.height());
    EXPECT_GE(lift, 1);
    EXPECT_LE(lift, 4);
}

TEST_F(ShellTest, ProgramInstallsItsOwnLevelChoosers) {
    EXPECT_NE(dynamic_cast<ShellLevelDialogs *>(&LevelChoosers()), nullptr);
    form.reset();
    EXPECT_EQ(dynamic_cast<ShellLevelDialogs *>(&LevelChoosers()), nullptr);
}
