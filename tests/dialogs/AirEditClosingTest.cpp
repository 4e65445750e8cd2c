#include "dialogs/AirEditFixture.h"
#include "dialogs/frmAirInfo.h"
#include "dialogs/frmShock.h"
#include "model/network_save.h"
#include "model/record_line.h"
#include "model/text_files.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class AirEditClosing : public AirEditTest {
protected:
    // The airway's record apart from its undo stamp and the drawing's mark.
    static std::string Record(int airway) {
        const int32_t stamp = AirwayUndoStamp(airway), flags = AirwayFlags(airway);
        AirwayUndoStamp(airway) = 0;
        AirwayFlags(airway) &= ~AirwayFlag::LayerVisible;
        std::string line = AirwayLine(airway);
        AirwayUndoStamp(airway) = stamp;
        AirwayFlags(airway) = flags;
        return line;
    }
    static int SlotOfNumber(int number) {
        for (int s = 1; s <= AirwayCount; ++s)
            if (AirwayNumber(s) == number)
                return s;
        return 0;
    }
};

TEST_F(AirEditClosing, MultipleSelectionAppliesOnlyTouchedFields) {
    // The clicked airway's fixed direction is shown, not carried to the others.
    AirwayFlags(a) |= AirwayFlag::Selected | AirwayFlag::FixedDirection;
    AirwayFlags(b) = AirwayFlag::Round | AirwayFlag::Selected;
    AirwayFlags(c) |= AirwayFlag::Selected;
    {
        auto dialog = Open(a, 3);
        EXPECT_EQ(dialog->windowTitle(), "Airway Edit - Multiple select (3)");
        QTest::mouseClick(dialog->CmdResetSekection, Qt::LeftButton);
        EXPECT_EQ(dialog->windowTitle(), "Airway Edit - Multiple select");
        EXPECT_FALSE(dialog->ShownWhite(dialog->TxtWidth));
        // A typed width reaches only the airways of the dialog's shape; a greyed height none.
        Type(dialog->TxtWidth, "5");
        Type(dialog->txtHeight, "6");
        QTest::mouseDClick(dialog->txtHeight, Qt::LeftButton);
        EXPECT_FALSE(dialog->ShownWhite(dialog->txtHeight));
        EXPECT_TRUE(dialog->ShownWhite(dialog->TxtWidth));
        QTest::mouseClick(dialog->OK, Qt::LeftButton);
    }
    EXPECT_EQ(AirwaySize(2, a), 5.0f);
    EXPECT_EQ(AirwaySize(2, c), 5.0f);
    EXPECT_EQ(AirwaySize(1, a), 4.0f);
    EXPECT_EQ(AirwaySize(2, b), 4.0f);
    {
        // "Type" carries the shape and the parallel count to every selected airway.
        auto dialog = Open(a, 3);
        QTest::mouseClick(dialog->CmdShape, Qt::LeftButton);
        dialog->TxtMultiAir->setText("2");
        // "Show Data" unticked hides the data of every selected airway.
        ASSERT_TRUE(dialog->OptShowData->isChecked());
        ClickBox(dialog->OptShowData);
        QTest::mouseClick(dialog->OK, Qt::LeftButton);
    }
    for (int s : {a, b, c}) {
        EXPECT_EQ(AirwayFlags(s) & (AirwayFlag::Rectangular | AirwayFlag::Round), AirwayFlag::Round);
        EXPECT_EQ(AirwayParallelCount(s), 2);
        EXPECT_NE(AirwayFlags(s) & AirwayFlag::DataHidden, 0);
        EXPECT_EQ(AirwayFlags(s) & AirwayFlag::FixedDirection, s == a ? AirwayFlag::FixedDirection : 0);
    }
}

TEST_F(AirEditClosing, AnUntouchedOkChangesNothingTheFileStores) {
    const auto stored = [] {
        TextFileWriter file;
        WriteNetworkFile(file);
        return file.Text();
    };
    const std::string before = stored();
    auto dialog = Open(b);
    QTest::mouseClick(dialog->OK, Qt::LeftButton);
    EXPECT_EQ(stored(), before);
}

TEST_F(AirEditClosing, OneUndoTakesBackEveryWayOfWriting) {
    AirwayFlags(a) |= AirwayFlag::FixedDirection;
    CalcAirway(a);
    const std::string original = Record(a);
    {
        // A fanless fixed-direction airway saved unchanged is the airway as the recalculation left it.
        auto dialog = Open(a);
        QTest::mouseClick(dialog->OK, Qt::LeftButton);
    }
    EXPECT_EQ(Record(a), original);
    EXPECT_EQ(UndoStep, 2);
    for (bool ok : {false, true}) {
        auto dialog = Open(a);
        dialog->TxtName->setText(ok ? "Ok" : "Cancelled");
        QTest::mouseClick(dialog->ReCalc, Qt::LeftButton);
        dialog->TxtName->setText("Twice");
        QTest::mouseClick(ok ? dialog->OK : dialog->cmdCancel, Qt::LeftButton);
        EXPECT_EQ(AirwayName(a).trimmed(), ok ? "Twice" : "Cancelled");
        UndoAction();
        EXPECT_EQ(AirwayCount, 3);
        a = SlotOfNumber(1);
        EXPECT_EQ(Record(a), original);
    }
}

TEST_F(AirEditClosing, OnlyAnotherWindowOfTheProgramSavesAndClosesTheDialog) {
    auto dialog = Open(a);
    dialog->TxtName->setText("Kept");
    // Another application.
    QApplication::setActiveWindow(nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(dialog->isVisible());
    // The dialog's own error box.
    class BoxWindow : public VB::DialogResponder {
    public:
        int Message(const VB::MessageRequest &) override {
            QWidget box(QApplication::activeWindow(), Qt::Dialog);
            box.show();
            box.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
            QApplication::processEvents();
            ++shown;
            return VB::vbOK;
        }
        std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
        std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
        int shown = 0;
    } boxes;
    VB::DialogResponder *previous = VB::SetDialogResponder(&boxes);
    Activate(*dialog);
    dialog->txtHeight->setText("");
    QTest::mouseClick(dialog->ReCalc, Qt::LeftButton);
    VB::SetDialogResponder(previous);
    QApplication::processEvents();
    EXPECT_EQ(boxes.shown, 1);
    EXPECT_TRUE(dialog->isVisible());
    // The refused box keeps what was typed until it is corrected.
    EXPECT_EQ(dialog->txtHeight->text(), "");
    dialog->txtHeight->setText("4");
    // Another window of the program, while a window the dialog opened is up, and then without one.
    QWidget other;
    Activate(*dialog);
    SubDialogOpen = true;
    Activate(other);
    QApplication::processEvents();
    EXPECT_TRUE(dialog->isVisible());
    SubDialogOpen = false;
    Activate(*dialog);
    Activate(other);
    QApplication::processEvents();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(AirwayName(a).trimmed(), "Kept");
}

TEST_F(AirEditClosing, ShockCalculatorTotalFixesTheShockLength) {
    auto dialog = Open(a);
    VB::SetModalDriver([](QDialog &shown) {
        auto &shock = dynamic_cast<frmShock &>(shown);
        EXPECT_TRUE(SubDialogOpen);
        ClickBox(shock.ChkShockType[3]);
        ClickBox(shock.ChkShockType[19]);
        QTest::mouseClick(shock.cmdOK, Qt::LeftButton);
    });
    QTest::mouseClick(dialog->CmdShock, Qt::LeftButton);
    EXPECT_FALSE(SubDialogOpen);
    EXPECT_TRUE(dialog->ChkShock->isChecked());
    EXPECT_EQ(dialog->TxtShock->text(), "40");
}

} // namespace

TEST_F(AirEditClosing, InfoSavesAndShowsTheReport) {
    auto dialog = Open(b);
    dialog->TxtName->setText("Ramp");
    QTest::mouseClick(dialog->Info, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(AirwayName(b).trimmed(), "Ramp");
    frmAirInfo *info = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *shown = qobject_cast<frmAirInfo *>(w); shown != nullptr && shown->isVisible())
            info = shown;
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->LblData[0]->text(), "Ramp");
    EXPECT_TRUE(SubDialogOpen);
    info->close();
    EXPECT_FALSE(SubDialogOpen);
}
