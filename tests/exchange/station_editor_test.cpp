// The station editor and the output dialog, worked through their controls.
#include "common/ModelFixture.h"
#include "common/RealKeys.h"
#include "exchange/frmRealOut.h"
#include "exchange/frmRemote.h"
#include "exchange/remotes.h"
#include "platform/System.h"
#include "platform/VBControls.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

class StationEditor : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        VB::SetLocaleDecimalSeparatorOverride('.');
        DefaultsSaved = 255;
    }
    void TearDown() override { VB::SetLocaleDecimalSeparatorOverride(0); }

    static void Type(QLineEdit *box, const QString &text) {
        box->clear();
        QTest::keyClicks(box, text);
    }
    std::string SavedTable() {
        SaveRemotes();
        return folder.Read("Remotes.dat");
    }
};

TEST_F(StationEditor, OKWithoutEditsKeepsTheTableAndMarksTheSettingsUnsaved) {
    StationAlarmHigh(1, 2) = 21.5f;
    StationFactor(1, 3) = 0.001f;
    InputInterval = "10"; // as the dialog gives it back
    const std::string before = SavedTable();
    frmRemote dialog;
    EXPECT_EQ(dialog.LblNumber->text(), "1");
    EXPECT_EQ(dialog.ALow[1]->text(), "");
    EXPECT_EQ(dialog.AHigh[1]->text(), "21.5");
    dialog.mnuPaste->trigger(); // nothing copied yet: nothing pasted
    QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(SavedTable(), before);
    EXPECT_EQ(DefaultsSaved, 0);
}

TEST_F(StationEditor, AnEmptyAlarmBoxKeepsTheLimitAndZeroRemovesIt) {
    StationAlarmLow(1, 2) = 5;
    for (const char *typed : {"", "0"}) {
        frmRemote dialog;
        EXPECT_EQ(dialog.ALow[1]->text(), "5");
        Type(dialog.ALow[1], typed);
        dialog.cmdOK_Click();
    }
    EXPECT_EQ(StationAlarmLow(1, 2), 0);
    frmRemote dialog;
    EXPECT_EQ(dialog.ALow[1]->text(), "");
}

TEST_F(StationEditor, PastedRowsReplaceAnotherStationsChannelsButNotItsNameOrFlag) {
    for (int c = 1; c <= 5; ++c) {
        StationChannelName(3, c) = "Gas " + std::to_string(c);
        StationChannelAbbrev(3, c) = "G";
        StationChannelUnit(3, c) = "%";
        StationFactor(3, c) = 0.5f * static_cast<float>(c);
        StationAlarmLow(3, c) = c == 2 ? 0 : 1;
        StationAlarmHigh(3, c) = 10;
        StationAlarmLow(7, c) = 4; // replaced by station 3's limits, zero included
    }
    StationName(7) = "Seven";
    StationUpdateFlow(7) = 1;
    frmRemote dialog;
    dialog.VScStation->setValue(3);
    dialog.mnuCopy->trigger();
    dialog.VScStation->setValue(7);
    dialog.mnuPaste->trigger();
    dialog.mnuExit->trigger();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    for (int c = 1; c <= 5; ++c) {
        EXPECT_EQ(StationChannelName(7, c), StationChannelName(3, c));
        EXPECT_EQ(StationChannelAbbrev(7, c), "G");
        EXPECT_EQ(StationChannelUnit(7, c), "%");
        EXPECT_FLOAT_EQ(StationFactor(7, c), StationFactor(3, c));
        EXPECT_EQ(StationAlarmLow(7, c), StationAlarmLow(3, c)) << c;
        EXPECT_EQ(StationAlarmHigh(7, c), 10);
    }
    EXPECT_EQ(StationName(7), "Seven");
    EXPECT_EQ(StationUpdateFlow(7), 1);
}

TEST_F(StationEditor, SamplingSecondsSetThePollingInterval) {
    frmRemote dialog;
    Type(dialog.TxtTimer, "5");
    dialog.cmdOK_Click();
    EXPECT_EQ(InputInterval, "5");
    EXPECT_EQ(shell.timerInterval[1], 5000);
}

TEST_F(StationEditor, APastedTabInASecondsBoxNeverReachesTheSettingsFile) {
    frmRemote stations;
    stations.TxtTimer->setText("5\t");
    stations.cmdOK_Click();
    frmRealOut output;
    output.TxtTimer->setText("2\t");
    output.cmdOK_Click();
    EXPECT_EQ(InputInterval + "|" + OutputInterval, "5 |2 ");
    EXPECT_EQ(shell.timerInterval[1], 5000);
}

TEST_F(StationEditor, ANumberBoxThatDoesNotReadKeepsTheDialogAndTheStation) {
    const struct {
        const char *box;
        const char *typed;
    } cases[] = {{"Factor", "abc"}, {"Sampling", "-1"}, {"Sampling", ""}};
    for (const auto &c : cases) {
        frmRemote dialog;
        dialog.show();
        QLineEdit *box = std::string(c.box) == "Factor" ? dialog.Mult[0] : dialog.TxtTimer;
        Type(box, c.typed);
        Type(dialog.TxtStationName, "Renamed");
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Not a valid number").Expect(VB::vbOK, "Not a valid number");
        // The scroll arrow's press alone: the message takes the release while it is read.
        QTest::mousePress(dialog.VScStation, Qt::LeftButton, {}, QPoint(5, dialog.VScStation->height() - 3));
        QTest::qWait(600);
        EXPECT_EQ(dialog.VScStation->value(), 1) << c.box;
        EXPECT_EQ(dialog.LblNumber->text(), "1") << c.box;
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        EXPECT_TRUE(boxes.Done()) << c.box;
        EXPECT_TRUE(dialog.isVisible()) << c.box;
        EXPECT_EQ(dialog.focusWidget(), box) << c.box;
        EXPECT_EQ(StationName(1), "Station  1") << c.box;
        EXPECT_EQ(DefaultsSaved, 255) << c.box;
    }
}

TEST_F(StationEditor, ACancelledBrowseKeepsTheReadingsPath) {
    RealtimeInputFile = "Gustrom.rem";
    frmRemote dialog;
    const QString path = dialog.TxtRemoteSource->text();
    ScriptedDialogs boxes;
    boxes.ExpectFile(std::nullopt);
    QTest::mouseClick(dialog.CmdBrowse, Qt::LeftButton);
    EXPECT_EQ(dialog.TxtRemoteSource->text(), path);
    EXPECT_TRUE(DialogCancelled);
    ASSERT_EQ(boxes.FileDialogs().size(), 1u);
    EXPECT_EQ(boxes.FileDialogs()[0].filter, "Gustrom Remote Files (*.rem)|*.rem|All Files (*.*)|*.*");
    EXPECT_TRUE(boxes.FileDialogs()[0].mustExist);
    EXPECT_EQ(boxes.FileDialogs()[0].initialDir, AppFolder + "Gustrom.rem"); // where the poll reads it
}

TEST_F(StationEditor, EnterInABoxNeitherBrowsesNorCloses) {
    frmRemote stations;
    frmRealOut output;
    for (auto [dialog, box] : {std::pair<QDialog *, QLineEdit *>{&stations, stations.TxtStationName},
                               {&output, output.TxtRealOut}}) {
        dialog->show();
        ScriptedDialogs boxes;
        RealKeys::Click(box, Qt::Key_Return);
        EXPECT_TRUE(boxes.FileDialogs().empty()) << dialog->windowTitle().toStdString();
        EXPECT_TRUE(dialog->isVisible()) << dialog->windowTitle().toStdString();
    }
}

TEST_F(StationEditor, TheOutputDialogAddsTxtToANameWithoutADot) {
    const struct {
        const char *typed, *stored;
    } cases[] = {{"/mine/results", "/mine/results.txt"}, {"/mine.v2/results", "/mine.v2/results"}};
    for (const auto &c : cases) {
        DefaultsSaved = 255;
        frmRealOut dialog;
        Type(dialog.TxtRealOut, c.typed);
        Type(dialog.TxtTimer, "3");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        EXPECT_EQ(dialog.TxtRealOut->text().toStdString(), c.stored);
        EXPECT_EQ(RealtimeOutputFile, c.stored);
        EXPECT_EQ(shell.timerInterval[2], 3000);
        EXPECT_EQ(DefaultsSaved, 0);
    }
}

} // namespace
