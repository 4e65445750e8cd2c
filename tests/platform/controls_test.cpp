#include "common/RealKeys.h"
#include "common/ScriptedDialogs.h"
#include "platform/System.h"
#include "platform/VBControls.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

// A list index set from code always runs Click; a check box's value only when it changes.
TEST(VBControlEvents, SettingFromCodeRunsClick) {
    VBComboBox combo;
    combo.addItems({"Airflow", "Pressure"});
    QSignalSpy clicks(&combo, &VBComboBox::Click);
    combo.SetListIndex(1);
    combo.SetListIndex(1);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(combo.ListIndex(), 1);

    VBCheckBox check("Grid");
    QSignalSpy checks(&check, &VBCheckBox::Click);
    check.SetValue(true);
    check.SetValue(true);
    check.SetValue(false);
    EXPECT_EQ(checks.count(), 2);
    EXPECT_EQ(check.Value(), 0);
}

TEST(VBControlEvents, AUserClickRunsClickOnce) {
    VBCheckBox check("Grid");
    check.show();
    QSignalSpy checks(&check, &VBCheckBox::Click);
    QTest::mouseClick(&check, Qt::LeftButton);
    EXPECT_EQ(checks.count(), 1);
    EXPECT_EQ(check.Value(), 1);
}

TEST(VBControlEvents, OptionButtonsExcludeEachOtherAndRunClickWhenSelected) {
    QWidget frame;
    auto *parallel = new VBOptionButton("Parallel", &frame);
    auto *series = new VBOptionButton("Series", &frame);
    (new QVBoxLayout(&frame))->addWidget(parallel);
    frame.layout()->addWidget(series);
    frame.show();
    QSignalSpy parallelClicks(parallel, &VBOptionButton::Click);
    QSignalSpy seriesClicks(series, &VBOptionButton::Click);

    parallel->SetValue(true);
    series->SetValue(true);
    EXPECT_FALSE(parallel->Value());
    EXPECT_EQ(parallelClicks.count(), 1);
    EXPECT_EQ(seriesClicks.count(), 1);

    // Clearing from code leaves none selected and runs nothing.
    series->SetValue(false);
    EXPECT_FALSE(series->Value() || parallel->Value());
    EXPECT_EQ(seriesClicks.count(), 1);

    // A user's click selects and runs Click; a click on the selected button changes nothing.
    QTest::mouseClick(parallel, Qt::LeftButton);
    QTest::mouseClick(parallel, Qt::LeftButton);
    EXPECT_TRUE(parallel->Value());
    EXPECT_EQ(parallelClicks.count(), 2);
}

TEST(DecimalKeys, APointTypedInANumberBecomesTheLocaleMarkAndANameTakesNoComma) {
    QLineEdit number, name;
    VB::DecimalKeyFilter::Install(&number);
    VB::DecimalKeyFilter::Install(&name);
    VB::NameBox(&name);
    for (char mark : {',', '.'}) {
        VB::SetLocaleDecimalSeparatorOverride(mark);
        number.clear();
        name.clear();
        RealKeys::Type(&number, "2.5,1x");
        RealKeys::Type(&name, "A.1,b");
        EXPECT_EQ(number.text().toStdString(), std::string("2") + mark + "5,1x");
        EXPECT_EQ(name.text().toStdString(), "A.1b") << mark;
    }
    // A pasted comma goes too.
    QGuiApplication::clipboard()->setText("North, 2");
    RealKeys::Click(&name, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(name.text().toStdString(), "A.1bNorth 2");
    VB::SetLocaleDecimalSeparatorOverride(0);
}

TEST(ModalDialogs, ATestDriverWorksTheDialog) {
    QDialog dialog;
    auto *ok = new QPushButton("OK", &dialog);
    (new QVBoxLayout(&dialog))->addWidget(ok);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    VB::SetModalDriver([](QDialog &d) {
        EXPECT_TRUE(d.isVisible());
        QTest::mouseClick(d.findChild<QPushButton *>(), Qt::LeftButton);
    });
    EXPECT_EQ(VB::ShowModal(dialog), QDialog::Accepted);
    // A driver that leaves the dialog open cancels it.
    VB::SetModalDriver([](QDialog &) {});
    EXPECT_EQ(VB::ShowModal(dialog), QDialog::Rejected);
    VB::SetModalDriver({});
}

TEST(ScriptedMessageBoxes, FileDialogsAreScriptedWithTheirSettings) {
    ScriptedDialogs boxes;
    boxes.ExpectFile(std::string("/mines/north.sim")).ExpectFile(std::nullopt);
    VB::FileRequest open;
    open.filter = "Gustrom Data (*.sim)|*.sim|All Files (*.*)|*.*";
    open.mustExist = true;
    EXPECT_EQ(VB::FileDialog(open), std::optional<std::string>("/mines/north.sim"));
    VB::FileRequest save;
    save.save = true;
    save.defaultExt = "sim";
    EXPECT_FALSE(VB::FileDialog(save).has_value());
    ASSERT_EQ(boxes.FileDialogs().size(), 2u);
    EXPECT_TRUE(boxes.FileDialogs()[0].mustExist);
    EXPECT_EQ(boxes.FileDialogs()[1].defaultExt, "sim");
}
