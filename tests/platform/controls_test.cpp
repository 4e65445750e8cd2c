#include "common/ScriptedDialogs.h"
#include "platform/VBControls.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

TEST(VBControlEvents, SettingFromCodeRunsClickEvenWithoutAChange) {
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
    EXPECT_EQ(checks.count(), 2);
    EXPECT_EQ(check.Value(), 1);
}

TEST(VBControlEvents, AUserClickRunsClickOnce) {
    VBCheckBox check("Grid");
    check.show();
    QSignalSpy checks(&check, &VBCheckBox::Click);
    QTest::mouseClick(&check, Qt::LeftButton);
    EXPECT_EQ(checks.count(), 1);
    EXPECT_EQ(check.Value(), 1);
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
