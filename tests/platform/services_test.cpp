#include "common/QuietPluginNotices.h"
#include "common/RealKeys.h"
#include "common/RecordingShell.h"
#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "platform/Dialogs.h"
#include "platform/System.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

TEST(ScriptedMessageBoxes, AnswerFromTheScriptAndRecordEveryBox) {
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbYes, "Save it").Expect(VB::vbOK).ExpectInput(std::string("North"));
    EXPECT_EQ(VB::MsgBox("Gustrom data is not saved - Save it?", VB::vbYesNoCancel | VB::vbQuestion),
              VB::vbYes);
    EXPECT_EQ(VB::MsgBox("Done", VB::vbOKOnly, "Title"), VB::vbOK);
    EXPECT_EQ(VB::InputBox("Name?"), "North");
    ASSERT_EQ(boxes.Shown().size(), 3u);
    EXPECT_EQ(boxes.Shown()[0].buttonSet, VB::vbYesNoCancel);
    EXPECT_EQ(boxes.Shown()[0].icon, VB::vbQuestion);
    EXPECT_EQ(boxes.Shown()[0].title, "Gustrom");
    EXPECT_EQ(boxes.Shown()[1].title, "Title");
    EXPECT_TRUE(boxes.Done());
}

TEST(ScriptedMessageBoxes, ABoxNobodyExpectedFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogs boxes;
            VB::MsgBox("surprise");
        },
        "unexpected message box");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogs boxes;
            boxes.Expect(VB::vbOK);
        },
        "never shown");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedDialogs boxes;
            boxes.Expect(VB::vbOK, "expected words");
            VB::MsgBox("other words");
        },
        "should contain");
}

TEST(ScriptedMessageBoxes, CancelledInputGivesEmptyText) {
    ScriptedDialogs boxes;
    boxes.ExpectInput(std::nullopt);
    EXPECT_EQ(VB::InputBox("Name?", "", "default"), "");
}

TEST(MessageBoxes, ReturnAnswersWithTheFirstButtonOrTheSecondWhereTheFirstCannotBeUndone) {
    for (const auto &[buttons, answer] :
         {std::pair{VB::vbYesNo, VB::vbYes}, {VB::vbYesNoCancel | VB::vbDefaultButton2, VB::vbNo}}) {
        QTimer::singleShot(0, [] { RealKeys::Click(QApplication::activeModalWidget(), Qt::Key_Return); });
        EXPECT_EQ(VB::MsgBox("Replace it?", buttons), answer) << buttons;
    }
}

TEST(PlatformServices, SettingsStoreRoundTripsInTheTestFolder) {
    TestFolder folder;
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "1Name", "none"), "none");
    VB::SaveSetting("Gustrom", "Files", "1Name", "C:\\mines\\north m\xB3.sim");
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "1Name"), "C:\\mines\\north m\xB3.sim");
    VB::DeleteSetting("Gustrom", "Files", "1Name");
    EXPECT_EQ(VB::GetSetting("Gustrom", "Files", "1Name", "gone"), "gone");
}

TEST(PlatformServices, FoldersEndInASeparatorAndFollowOverrides) {
    TestFolder folder;
    EXPECT_EQ(VB::TempDir(), folder.path());
    EXPECT_EQ(VB::ProgramFolder(), folder.path());
}

TEST(PlatformServices, DecimalSeparatorAndClockCanBeFixedForTests) {
    VB::SetLocaleDecimalSeparatorOverride(',');
    EXPECT_EQ(VB::LocaleDecimalSeparator(), ',');
    VB::SetLocaleDecimalSeparatorOverride(0);
    const VB::DateTime fixed{2026, 12, 8, 1, 2, 5};
    VB::SetClockOverride(&fixed);
    EXPECT_EQ(VB::Now().minute, 2);
    EXPECT_DOUBLE_EQ(VB::Timer(), 3725.0);
    VB::SetClockOverride(nullptr);
}

TEST(PlatformServices, HourglassIsVisibleToTheTimers) {
    VB::SetScreenPointer(VB::vbHourglass);
    EXPECT_EQ(VB::ScreenPointer(), VB::vbHourglass);
    VB::SetScreenPointer(VB::vbDefault);
    EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);
}

TEST(TestOutput, OffscreenPluginNoticesAreDroppedAndOtherMessagesPassOn) {
    // The test program's main installed the quiet handler.
    const QtMessageHandler installed = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(installed);
    EXPECT_EQ(installed, &QuietPluginNotices::Handler);

    static std::vector<std::string> passed;
    passed.clear();
    const QtMessageHandler next = QuietPluginNotices::Next();
    QuietPluginNotices::Next() = [](QtMsgType, const QMessageLogContext &, const QString &message) {
        passed.push_back(message.toStdString());
    };
    const std::pair<const char *, bool> messages[] = {
        {"This plugin does not support propagateSizeHints()", false},
        {"This plugin does not support raise()", false},
        {"This plugin does not support setOpacity()", true},
        {"QLayout: Attempting to add QLayout \"\" to QWidget \"\", which already has a layout", true},
    };
    for (const auto &[message, shown] : messages) {
        passed.clear();
        qWarning("%s", message);
        EXPECT_EQ(passed.size(), shown ? 1u : 0u) << message;
    }
    QuietPluginNotices::Next() = next;
}

TEST(PlatformServices, FileFiltersShowEachDescriptionsPatternsOnce) {
    const struct {
        const char *filter;
        std::vector<std::string> shown;
    } cases[] = {
        {"Gustrom Data (*.sim)|*.sim|All Files (*.*)|*.*", {"Gustrom Data (*.sim)", "All Files (*.*)"}},
        {"DXF Files|*.dxf", {"DXF Files (*.dxf)"}},
        {"Text (*.txt;*.prn)|*.txt;*.prn", {"Text (*.txt;*.prn)"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VB::FileDialogFilters(c.filter), c.shown) << c.filter;
}
