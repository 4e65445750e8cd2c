#include "ShellFixture.h"

#include "exchange/frmRealOut.h"
#include "exchange/frmRemote.h"
#include "platform/VBControls.h"

#include <QAction>
#include <QPushButton>

TEST_F(ShellTest, RealtimeTimersTickOnlyWhileOnWithAnInterval) {
    // The program's own station settings give the polling interval at start; neither timer runs.
    EXPECT_EQ(form->Timer1.interval(), 10000);
    EXPECT_FALSE(form->Timer1.isActive());
    EXPECT_FALSE(form->Timer2.isActive());
    form->SetRealtimeTimerEnabled(2, true); // no output interval is set
    EXPECT_FALSE(form->Timer2.isActive());
    form->SetRealtimeTimerInterval(2, 3000);
    EXPECT_TRUE(form->Timer2.isActive());
    EXPECT_EQ(form->Timer2.interval(), 3000);
    form->SetRealtimeTimerEnabled(2, false);
    EXPECT_FALSE(form->Timer2.isActive());
}

TEST_F(ShellTest, TheRealtimeDialogsOpenModallyAndTheirOKMarksTheSettingsUnsaved) {
    form->ShowRemoteMenus(true);
    std::vector<QString> opened;
    VB::SetModalDriver([&](QDialog &dialog) {
        opened.push_back(dialog.windowTitle());
        if (auto *stations = qobject_cast<frmRemote *>(&dialog))
            stations->cmdOK->click();
        else if (auto *output = qobject_cast<frmRealOut *>(&dialog))
            output->cmdOK->click();
    });
    form->MenuItem("mnuRemoteStation")->trigger();
    form->MenuItem("mnuRealOut")->trigger();
    VB::SetModalDriver(nullptr);
    EXPECT_EQ(opened, (std::vector<QString>{"Realtime Input Stations", "Realtime Output File"}));
    EXPECT_EQ(DefaultsSaved, 0);
}

TEST_F(ShellTest, ActivateInputFromTheMenuPollsAtOnceAndRunsThePollingTimerUntilTurnedOff) {
    folder.Write("mine.rem", "Station\r\n---\r\n1\td\t10:00:00\t5\t6\t7\t8\t9\r\n");
    RealtimeInputFile = folder.path() + "mine.rem";
    form->ShowRemoteMenus(true); // as the realtime setting does
    QAction *activate = form->MenuItem("mnuRemote");
    ASSERT_TRUE(activate->isEnabled());
    activate->trigger();
    EXPECT_TRUE(activate->isChecked());
    EXPECT_TRUE(form->Timer1.isActive());
    EXPECT_EQ(StationReading(1, 5), 9);
    activate->trigger();
    EXPECT_FALSE(activate->isChecked());
    EXPECT_FALSE(form->Timer1.isActive());
    EXPECT_EQ(RealtimeInputOn, 0);

    // Realtime options turned off while input runs: with its menu gone, input stops too.
    activate->trigger();
    form->ShowRemoteMenus(false);
    EXPECT_FALSE(activate->isChecked());
    EXPECT_FALSE(form->Timer1.isActive());
    EXPECT_EQ(RealtimeInputOn, 0);
}
