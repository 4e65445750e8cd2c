#pragma once
// A fresh model with the built-in units and an airway network for the dialog tests; dialogs are shown
// offscreen and driven with QTest keys and clicks.
#include "common/ModelFixture.h"
#include "common/RealKeys.h"
#include "dialogs/dialog_state.h"
#include "model/units.h"
#include "platform/System.h"
#include "platform/VBControls.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

class DialogTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        UseSIDisplay();
        SubDialogOpen = false;
        EditShape = 0;
        ScreenBuffer = false;
        PickedAirway = 0;
        PickedFraction = 0.5f;
    }
    void TearDown() override {
        VB::SetLocaleDecimalSeparatorOverride(0);
        VB::SetModalDriver({});
    }

    // Shows a window and makes it the active one.
    static void Activate(QWidget &window) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // Makes a dialog of type D and shows it as the active window.
    template <typename D> static std::unique_ptr<D> Shown() {
        auto dialog = std::make_unique<D>();
        Activate(*dialog);
        return dialog;
    }
    // Focuses a box, as a click or Tab would, and replaces its text by typing.
    static void Type(QWidget *box, const QString &text) {
        box->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        if (auto *edit = qobject_cast<QLineEdit *>(box))
            edit->selectAll();
        RealKeys::Type(box, text);
    }
    // Clicks a check box on its tick, where a click always lands on it.
    static void ClickBox(QWidget *box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    // Moves the focus away from the box, so that its lost-focus rule runs.
    static void Leave(QWidget *to) {
        to->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }
};
