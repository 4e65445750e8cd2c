#include "ShellFixture.h"

#include "graphics/drawing.h"
#include "graphics/keyboard.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/network_save.h"
#include "model/node_keys.h"
#include "model/recovery_copy.h"
#include "platform/Busy.h"
#include "platform/PictureBox.h"
#include "platform/System.h"
#include "shell/Rotator.h"

#include <QApplication>
#include <QTest>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

namespace {

constexpr double Degree = 3.141592654 / 180;

} // namespace

class RotationTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        AddAirways(6);
        for (int a = 1; a <= 6; ++a)
            AirwayStart(2, a) = 5 * a;
        UpdateNodeKeys();
        SetVisibleAirways();
        FitNetwork();
        Redraw();
        SpinSpeed = TiltSpeed = 2;
        GraphicsDetail = 511;
    }
    std::vector<DrawnPrimitive> record(const std::function<void()> &work) {
        std::vector<DrawnPrimitive> drawn;
        window(0)->Picture().Recording = &drawn;
        work();
        window(0)->Picture().Recording = nullptr;
        return drawn;
    }
};

TEST_F(RotationTest, PadTiltsFromPlanViewDrawingLinesOnlyUntilTheRelease) {
    ASSERT_EQ(ViewIs3D, 0);
    form->Rotator_MouseDown(1, 0, 22, 13);
    EXPECT_EQ(ViewIs3D, 1);
    EXPECT_FLOAT_EQ(Tilt, 0);
    EXPECT_FLOAT_EQ(Spin, 0);
    EXPECT_TRUE(form->TimerRotate.isActive());

    const auto tick = record([&] { form->TimerRotate_Timer(); });
    EXPECT_NEAR(Tilt, Degree, 1e-6);
    EXPECT_FLOAT_EQ(Spin, 0);
    ASSERT_FALSE(tick.empty());
    for (const DrawnPrimitive &p : tick)
        EXPECT_EQ(p.kind, DrawnPrimitive::Line);

    // A tick that comes while the last one still runs does nothing.
    RotateBusy = true;
    form->TimerRotate_Timer();
    EXPECT_NEAR(Tilt, Degree, 1e-6);
    RotateBusy = false;

    AirwayName(1) = "Main";
    const auto release = record([&] { form->Rotator_MouseUp(1, 0, 22, 13); });
    EXPECT_FALSE(form->TimerRotate.isActive());
    EXPECT_TRUE(std::any_of(release.begin(), release.end(), [](const DrawnPrimitive &p) {
        return p.kind == DrawnPrimitive::Text && p.text == "Main";
    }));
    // The release completes the last tick's picture: all a redraw draws but the six airway lines.
    const auto full = record([] { Redraw(); });
    const auto lines = [](const std::vector<DrawnPrimitive> &drawn) {
        return std::count_if(drawn.begin(), drawn.end(),
                             [](const DrawnPrimitive &p) { return p.kind == DrawnPrimitive::Line; });
    };
    EXPECT_EQ(release.size(), full.size() - 6);
    EXPECT_EQ(lines(release), lines(full) - 6);
}

TEST_F(RotationTest, RightReleaseKeepsSpinningUntilAKeyOrAWindowPress) {
    form->Rotator_MouseDown(2, 0, 7, 40);
    form->Rotator_MouseUp(2, 0, 7, 40);
    EXPECT_TRUE(form->TimerRotate.isActive());
    EXPECT_FLOAT_EQ(RotatorY, 28);
    const float spin = Spin;
    form->TimerRotate_Timer();
    EXPECT_NEAR(Spin - spin, Degree, 1e-6);
    int key = 65;
    KeyCommand(key);
    EXPECT_FALSE(form->TimerRotate.isActive());

    form->Rotator_MouseDown(2, 0, 7, 28);
    form->Rotator_MouseUp(2, 0, 7, 28);
    window(0)->Form_MouseDown(1, 0, 0, 0);
    EXPECT_FALSE(form->TimerRotate.isActive());
}

TEST_F(RotationTest, TheReadOutShowsThePanAtTheDigitsASingleHolds) {
    // The significant digits of a number's text ("-0.0012340" has four, "880" three).
    const auto significant = [](const std::string &text) {
        std::string digits;
        for (const char c : text.substr(0, text.find_first_of("Ee")))
            if (std::isdigit(static_cast<unsigned char>(c)))
                digits += c;
        digits.erase(0, digits.find_first_not_of('0'));
        if (text.find('.') != std::string::npos)
            digits.erase(digits.find_last_not_of('0') + 1);
        return static_cast<int>(digits.size());
    };
    int longer = 0; // turns whose pan a double's 15 digits would show with more than 7
    form->Rotator_MouseDown(2, 0, 7, 40);
    for (int tick = 0; tick < 12; ++tick) {
        form->TimerRotate_Timer();
        for (const auto &[label, pan] : {std::pair{form->LblWin1, PanX}, std::pair{form->LblWin2, PanY}}) {
            const std::string text = label->text().toStdString();
            char full[32];
            std::snprintf(full, sizeof full, "%.15g", pan);
            longer += significant(full) > 7 ? 1 : 0;
            EXPECT_LE(significant(text), 7) << text;
            EXPECT_NEAR(std::stod(text), pan, 5e-7 * std::fabs(pan) + 1e-30) << text;
        }
    }
    form->Rotator_MouseUp(2, 0, 7, 40);
    EXPECT_GT(longer, 0);
}

TEST_F(RotationTest, PadOnTheMainWindowTakesRealPressesInItsOwnUnits) {
    RotatorPad &pad = *form->Rotator;
    const QPoint spot(pad.width() * 22 / 50, pad.height() * 13 / 50);
    QTest::mousePress(&pad, Qt::RightButton, {}, spot);
    EXPECT_TRUE(form->TimerRotate.isActive());
    EXPECT_NEAR(RotatorX, 22, 1);
    EXPECT_NEAR(RotatorY, 13, 1);
    // A right release leaves the view turning; a key on the pad stops it.
    QTest::mouseRelease(&pad, Qt::RightButton, {}, spot);
    EXPECT_TRUE(form->TimerRotate.isActive());
    QTest::keyClick(&pad, Qt::Key_A);
    EXPECT_FALSE(form->TimerRotate.isActive());
}

TEST_F(RotationTest, ARightPressOnThePadOpensNoMenu) {
    RotatorPad &pad = *form->Rotator;
    // Through the window system, which makes a context menu event of a right press.
    const QPoint spot = pad.mapTo(form.get(), QPoint(pad.width() * 7 / 50, pad.height() * 28 / 50));
    QTest::mousePress(form->windowHandle(), Qt::RightButton, {}, spot);
    QTest::mouseRelease(form->windowHandle(), Qt::RightButton, {}, spot);
    QWidget *menu = QApplication::activePopupWidget();
    EXPECT_EQ(menu, nullptr);
    if (menu != nullptr)
        menu->close();
    EXPECT_TRUE(form->TimerRotate.isActive());
}

TEST_F(ShellTest, AutosaveWritesTheRecoveryCopyOnTheEleventhIdleTick) {
    AddAirways(2);
    const std::string copy = RecoveryCopyPath();
    std::filesystem::remove(copy);
    AutosaveTicks = 0;
    {
        VB::BusyScope run;
        for (int tick = 1; tick <= 11; ++tick)
            form->Autosave_Timer();
        EXPECT_FALSE(std::filesystem::exists(copy));
    }
    form->Autosave_Timer();
    EXPECT_TRUE(std::filesystem::exists(copy));
    std::filesystem::remove(copy);
    for (int tick = 1; tick <= 10; ++tick)
        form->Autosave_Timer();
    EXPECT_FALSE(std::filesystem::exists(copy));
    form->Autosave_Timer();
    EXPECT_TRUE(std::filesystem::exists(copy));
}
