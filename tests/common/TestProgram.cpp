// Every test program runs inside a QApplication (offscreen), so widgets can be driven headless. Each test
// starts from the program's start state.
#include "common/TestProgram.h"
#include "common/QuietPluginNotices.h"
#include "platform/Guard.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class ResetBeforeEachTest : public ::testing::EmptyTestEventListener {
public:
    explicit ResetBeforeEachTest(void (*reset)()) : reset_(reset) {}

private:
    void OnTestStart(const ::testing::TestInfo &) override { reset_(); }
    void (*reset_)();
};

} // namespace

int RunTestProgram(int argc, char **argv, void (*capture)(), void (*reset)()) {
    // Offscreen, on a laptop's 1366 x 768 screen: the smallest screen the program's windows must fit.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" GUSTROM_TEST_DATA "/laptop-screen.json");
    QuietPluginNotices::Install();
    // The program's own application object: a failing handler ends that handler, as in the program.
    VB::GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    capture();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetBeforeEachTest(reset));
    return RUN_ALL_TESTS();
}
