#include "common/run_fixture.h"
#include "graphics/graphics_state.h"
#include "graphics/locate.h"
#include "platform/PictureBox.h"
#include "simulation/frmError.h"
#include "simulation/frmSimForm.h"
#include "simulation/simulation_windows.h"
#include "solver/driver.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace testnet;

namespace {

// The real windows, with a look at the progress window at every event pump of the run.
class WatchedWindows : public SimulationWindows {
public:
    struct Look {
        std::string title, sweep;
        bool labelsShown = false;
        int bar = 0;
    };
    std::vector<Look> looks;
    std::function<void()> onPump;

    void PumpEvents() override {
        SimulationWindows::PumpEvents();
        if (const frmSimForm *w = ProgressWindow(); w && w->isVisible())
            looks.push_back({w->windowTitle().toStdString(), w->LblItt->text().toStdString(),
                             w->Lbl1->isVisible(), w->ProgBar->value()});
        if (onPump)
            onPump();
    }
};

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class SimWindowsTest : public SimRunTest {
protected:
    WatchedWindows windows;
    void SetUp() override {
        SimRunTest::SetUp();
        SetSimulationUi(&windows);
        SetLinearFan(1, 1000, 10);
        AddAirway(0, 1, 0.05);
        AddAirway(1, 2, 0.05);
        AddFanAirway(2, 0, 0.1, 1);
    }
    void TearDown() override {
        SetSimulationUi(&ui);
        flushDeletes();
    }
};

} // namespace

TEST_F(SimWindowsTest, ProgressWindowShowsTheStagesAndTheSweepCounter) {
    // The sweeps go on from the whole-network solve, counting their sweeps, where a drop in the fan's curve
    // lets neither settle.
    SetSteppedFan(1);
    MaxIterations = 2;
    boxes.Expect(VB::vbNo, "convergence of");
    Simulate();
    ASSERT_FALSE(windows.looks.empty());
    std::vector<std::string> titles;
    for (const auto &look : windows.looks)
        if (titles.empty() || titles.back() != look.title)
            titles.push_back(look.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Checking airways", "Meshing airways", "Balancing airflows",
                                                "Resolving Pressures"}));
    EXPECT_FALSE(windows.looks.front().labelsShown);
    EXPECT_TRUE(windows.looks.front().sweep.empty());
    bool counted = false;
    for (const auto &look : windows.looks)
        if (look.title == "Balancing airflows" && look.sweep == "1") {
            counted = true;
            EXPECT_TRUE(look.labelsShown);
        }
    EXPECT_TRUE(counted);
    EXPECT_EQ(windows.looks.back().bar, 100);
    flushDeletes();
    EXPECT_EQ(windows.ProgressWindow(), nullptr);
    EXPECT_EQ(shell.simCaption, "NOT BAL");
}

TEST_F(SimWindowsTest, CancelButtonStopsTheRun) {
    windows.onPump = [&] {
        frmSimForm *w = windows.ProgressWindow();
        if (w && w->isVisible() && w->windowTitle() == "Balancing airflows")
            QTest::mouseClick(w->Command1, Qt::LeftButton);
    };
    Simulate();
    EXPECT_EQ(ErrorLevel, 1);
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(shell.simCaption, "NOT BAL"); // the flows the sweeps left
    flushDeletes();
    EXPECT_EQ(windows.ProgressWindow(), nullptr);
    ASSERT_NE(windows.ErrorWindow(), nullptr);
    EXPECT_TRUE(windows.ErrorWindow()->isVisible());
    EXPECT_EQ(windows.ErrorWindow()->windowTitle(), "Sim Fail Error List");
}

TEST_F(SimWindowsTest, ClosingTheErrorWindowStopsTheRunAndClosesTheProgressWindow) {
    windows.onPump = [&] {
        frmSimForm *w = windows.ProgressWindow();
        if (!w || w->windowTitle() != "Balancing airflows" || RunState != 0)
            return;
        windows.ShowErrorWindow("Sim Fail Error List");
        windows.ErrorWindow()->close(); // the close box
        EXPECT_EQ(RunState, 255);
        EXPECT_FALSE(w->isVisible());
    };
    Simulate();
    EXPECT_EQ(ErrorLevel, 1);
    EXPECT_EQ(shell.simCaption, "NOT BAL");
    EXPECT_FALSE(ui.Reached("Resolving Pressures"));
}

TEST_F(SimWindowsTest, ErrorWindowListsTheFindingsWithTheirCaption) {
    AddAirway(1, 3, 0.1); // a dead end
    Simulate();
    ASSERT_NE(windows.ErrorWindow(), nullptr);
    const frmError &w = *windows.ErrorWindow();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(w.Errorlist->count(), 1);
    EXPECT_EQ(w.Errorlist->item(0)->text(), "1004\tNo exit from branch");
    // The next run starts the list afresh.
    Simulate();
    ASSERT_NE(windows.ErrorWindow(), nullptr);
    EXPECT_EQ(windows.ErrorWindow()->Errorlist->count(), 1);
    // Once the dead end leads to the surface there is nothing to report and the window goes.
    const int deadEnd = SlotOf(4);
    AirwayEnd(1, deadEnd) = 600000;
    AirwayEnd(3, deadEnd) = 0;
    Simulate();
    flushDeletes();
    EXPECT_EQ(windows.ErrorWindow(), nullptr);
    EXPECT_EQ(shell.simCaption, "OK");
}

TEST(ErrorWindow, GotoLocatesTheListedAirwayByItsNumber) {
    RecordingShell shell;
    ScriptedDialogs boxes;
    NewNetwork(20, 5);
    PictureBox picture{400, 400};
    picture.ScaleWidth = picture.ScaleHeight = 1000;
    picture.ScaleLeft = picture.ScaleTop = -500;
    SetWindowPicture(0, &picture);
    ActiveWindow = 0;
    ViewIs3D = 0;
    const int first = AddAirway(1, 2, 0.1), second = AddAirway(3, 4, 0.1);
    AirwayNumber(first) = 17;
    AirwayNumber(second) = 5;
    AirwayStart(1, second) = 100;
    AirwayEnd(1, second) = 301;
    AirwayStart(2, second) = 40;
    AirwayEnd(2, second) = 60;
    // A level that holds the airways, so that showing one needs no new level.
    LevelName(2) = "Mine";
    LevelRange(2, 1) = 9999;
    LevelRange(2, 2) = -9999;
    frmError window;
    window.Errorlist->addItem("5\tNo exit from branch");
    window.Errorlist->addItem("99\tNo entry into branch");
    window.show();

    const struct {
        int row;       // -1: nothing selected
        int foundSlot; // 0: nothing happens
    } cases[] = {{0, second}, {1, 0}, {-1, 0}};
    for (const auto &c : cases) {
        SearchAirway = 0;
        SearchKind = 0;
        PanX = PanY = 0;
        AirwayStart(1, 0) = AirwayStart(2, 0) = AirwayStart(3, 0) = -1;
        window.Errorlist->setCurrentRow(c.row);
        QTest::mouseClick(window.Command2, Qt::LeftButton);
        if (c.foundSlot == 0) {
            EXPECT_EQ(SearchAirway, 0) << c.row;
            EXPECT_EQ(AirwayStart(1, 0), -1) << c.row;
            EXPECT_EQ(PanX, 0) << c.row;
            continue;
        }
        EXPECT_EQ(SearchAirway, c.foundSlot);
        EXPECT_EQ(SearchKind, 1);
        // The rotation centre and the plan view sit on the airway's midpoint (halves to even).
        EXPECT_EQ(AirwayStart(1, 0), 200);
        EXPECT_EQ(AirwayStart(2, 0), 50);
        EXPECT_EQ(PanX, 200);
        EXPECT_EQ(PanY, 50);
        EXPECT_EQ(picture.ScaleWidth, 1000);
    }
    SetWindowPicture(0, nullptr);
    ActiveWindow = -1;
}

TEST(ErrorWindow, CancelStopsTheRunAndUnloadsBothWindows) {
    RecordingShell shell;
    SimulationWindows windows;
    SimulationUi *previous = SetSimulationUi(&windows);
    windows.ShowProgressWindow();
    windows.ShowErrorWindow("Sim Fail Error List");
    RunState = 0;
    QTest::mouseClick(windows.ErrorWindow()->Command1, Qt::LeftButton);
    EXPECT_EQ(RunState, 255);
    flushDeletes();
    EXPECT_EQ(windows.ProgressWindow(), nullptr);
    EXPECT_EQ(windows.ErrorWindow(), nullptr);
    SetSimulationUi(previous);
}

TEST(ErrorWindow, EveryLineIsReadWholeWithoutScrolling) {
    RecordingShell shell;
    SimulationWindows windows;
    SimulationUi *previous = SetSimulationUi(&windows);
    // A line listed before the window shows and one added while it shows.
    Errorlist = {"17\tFan beyond its curve"};
    windows.ShowErrorWindow("Warning-reversals");
    windows.ErrorAdded("12345\tFan beyond its curve, pressure negative");
    QCoreApplication::processEvents();
    const QListWidget &list = *windows.ErrorWindow()->Errorlist;
    for (int row = 0; row < list.count(); ++row)
        EXPECT_LE(list.sizeHintForIndex(list.model()->index(row, 0)).width(), list.viewport()->width())
            << list.item(row)->text().toStdString();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    windows.CloseErrorWindow();
    SetSimulationUi(previous);
}

TEST(ProgressWindow, LeftOverWindowGoesWhenActivatedAfterTheRun) {
    RecordingShell shell;
    SimulationWindows windows;
    windows.ShowProgressWindow();
    frmSimForm *w = windows.ProgressWindow();
    EXPECT_FALSE(w->Lbl1->isVisible());
    EXPECT_EQ(w->windowTitle(), "Simulate");
    RunState = 0;
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(w, &activate);
    EXPECT_TRUE(w->isVisible()); // a run is going: it stays
    RunState = 255;
    QCoreApplication::sendEvent(w, &activate);
    flushDeletes();
    EXPECT_EQ(windows.ProgressWindow(), nullptr);
}

TEST(ProgressWindow, EventsAreTakenAtEveryStageAndOtherwiseAtMostEvery100Ms) {
    RecordingShell shell;
    SimulationWindows windows;
    windows.ShowProgressWindow();
    int delivered = 0;
    const auto postEvent = [&] { QTimer::singleShot(0, [&] { ++delivered; }); };
    postEvent();
    windows.PumpEvents();
    EXPECT_EQ(delivered, 1);
    postEvent();
    windows.PumpEvents(); // the next sweep, at once: the event waits
    EXPECT_EQ(delivered, 1);
    windows.SetStage("Meshing airways");
    windows.PumpEvents();
    EXPECT_EQ(delivered, 2);
    windows.CloseProgressWindow();
}

TEST(SimulationWindowPlaces, ProgressIsCentredOnTheScreenAndErrorsSitInTheMainWindowsLowerRight) {
    QWidget main;
    main.setGeometry(100, 80, 700, 500);
    const frmSimForm progress(&main);
    EXPECT_LE((progress.frameGeometry().center() - progress.screen()->geometry().center()).manhattanLength(),
              1);
    const frmError errors(&main);
    EXPECT_EQ(errors.frameGeometry().bottomRight(), main.frameGeometry().bottomRight());
    // Both are tool windows of the main window, kept above it.
    EXPECT_TRUE(errors.isWindow() && errors.parentWidget() == &main && progress.parentWidget() == &main);
}
