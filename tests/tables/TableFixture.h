#pragma once
// A table window of the program shown for real (offscreen) over the test's model, with scripted boxes, SI
// units and "." as the decimal separator.
#include "common/ModelFixture.h"

#include <QTest>

#include <memory>

template <class Window> class TableWindowTest : public ModelTest {
protected:
    ScriptedDialogs boxes;
    std::unique_ptr<Window> window;

    void SetUp() override {
        ModelTest::SetUp();
        UseSIDisplay();
    }
    void TearDown() override { window.reset(); }

    // A new window, shown, active and loaded.
    void Show() {
        window = std::make_unique<Window>();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->Form_Load();
    }
};
