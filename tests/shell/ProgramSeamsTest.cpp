// The running program shows its own windows behind every seam of the lower layers: started as a user
// starts it, on the example mine with the program's own files beside it.
#include "ShellFixture.h"

#include "common/RealKeys.h"
#include "dialogs/frmAirEdit.h"
#include "dialogs/frmAirInfo.h"
#include "exchange/export.h"
#include "exchange/frmImport.h"
#include "exchange/frmPrinter.h"
#include "graphics/drawing.h"
#include "graphics/editor_windows.h"
#include "graphics/tool_state.h"
#include "graphics/view_state.h"
#include "model/geometry.h"
#include "model/network_load.h"
#include "model/node_keys.h"
#include "model/record_line.h"
#include "model/recovery_copy.h"
#include "model/undo.h"
#include "platform/Busy.h"
#include "platform/FileLock.h"
#include "platform/System.h"
#include "shell/small_windows.h"
#include "simulation/frmError.h"
#include "simulation/frmSimForm.h"
#include "simulation/frmSmoke.h"
#include "simulation/frmSmokeLegend.h"
#include "simulation/frmSmokeTrace.h"
#include "simulation/simplify.h"
#include "simulation/simulation_windows.h"
#include "simulation/smoke_windows.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

const std::string SourceDir = GUSTROM_SOURCE_DIR;

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Number of drawn primitives of one kind in a repaint of the active window.
int drawnCount(DrawnPrimitive::Kind kind) {
    std::vector<DrawnPrimitive> drawn;
    PictureBox *pic = ActivePicture();
    pic->Recording = &drawn;
    Redraw();
    pic->Recording = nullptr;
    return static_cast<int>(std::count_if(drawn.begin(), drawn.end(),
                                          [kind](const DrawnPrimitive &p) { return p.kind == kind; }));
}

} // namespace

class ProgramSeamsTest : public ShellTest {
protected:
    void SetUp() override {
        StartOnExample("mine.sim");
        ASSERT_EQ(AirwayCount, 300);
    }

    // A drive that leads nowhere from the end of airway 1, for the checks to find; returns its slot.
    static int addDeadEnd() {
        const int a = AirwayCount + 1;
        AirwayFlags(a) = AirwayFlag::Rectangular;
        AirwaySize(1, a) = AirwaySize(2, a) = 4;
        AirwayParallelCount(a) = 1;
        AirwayPrimaryLayer(a) = AirwaySecondaryLayer(a) = 1;
        for (int c = 1; c <= 3; ++c)
            AirwayStart(c, a) = AirwayEnd(c, a) = AirwayEnd(c, 1);
        AirwayEnd(1, a) += 150;
        AirwayCount = a;
        UpdateNodeKeys();
        CalcAllAirways();
        return a;
    }

    // The scale in the main window's caption ("... [Scale = 1:n]").
    double captionScale() const {
        const auto match = QRegularExpression(R"(\[Scale = 1:([0-9.E+]+)\]$)").match(form->windowTitle());
        return match.hasMatch() ? match.captured(1).toDouble() : -1;
    }
};

TEST_F(ProgramSeamsTest, RunMenuShowsTheProgressWindowThenEverythingTheResultsHave) {
    std::set<int> bars;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (const frmSimForm *w = form->Simulation().ProgressWindow(); w != nullptr && w->isVisible())
            bars.insert(w->ProgBar->value());
    });
    watch.start();
    form->MenuItem("mnuExecute")->trigger();
    watch.stop();
    EXPECT_GE(bars.size(), 3u) << "the bar moves through the stages";
    flushDeletes();
    EXPECT_EQ(form->Simulation().ProgressWindow(), nullptr);
    ASSERT_EQ(form->LblSim->text(), "OK");

    // The program's settings show quantities, names, arrows and fans on a solved network.
    const struct {
        int bit;
        DrawnPrimitive::Kind kind;
        const char *what;
    } shown[] = {{4, DrawnPrimitive::Text, "data values"},
                 {1, DrawnPrimitive::Text, "node names"},
                 {64, DrawnPrimitive::Line, "arrows"},
                 {16, DrawnPrimitive::Picture, "fan symbols"}};
    ASSERT_EQ(GraphicsDetail, 511);
    for (const auto &s : shown) {
        const int all = drawnCount(s.kind);
        GraphicsDetail = 511 & ~s.bit;
        EXPECT_GT(all, drawnCount(s.kind)) << s.what;
        GraphicsDetail = 511;
    }
}

TEST_F(ProgramSeamsTest, ACheckFaultShowsTheErrorWindowWithItsLines) {
    const int a = addDeadEnd();
    const QString deadEnd = QString::number(AirwayNumber(a)) + "\tNo exit from branch";
    form->MenuItem("mnuExecute")->trigger();
    const frmError *errors = form->Simulation().ErrorWindow();
    ASSERT_NE(errors, nullptr);
    EXPECT_TRUE(errors->isVisible());
    EXPECT_FALSE(errors->Errorlist->findItems(deadEnd, Qt::MatchExactly).isEmpty()) << deadEnd.toStdString();
}

TEST_F(ProgramSeamsTest, TheErrorWindowClosesWhenAnotherNetworkReplacesTheOneItsLinesBelongTo) {
    std::filesystem::copy_file(SourceDir + "/examples/teaching.sim", folder.path() + "teaching.sim");
    const struct {
        const char *what;
        std::function<void()> replace;
    } cases[] = {
        {"File > New",
         [&] {
             boxes->Expect(VB::vbOK, "Current Data will be lost ?");
             form->MenuItem("mnuNewFile")->trigger();
         }},
        {"File > Open",
         [&] {
             boxes->Expect(VB::vbNo, "Network Data is not saved - Save it?")
                 .ExpectFile(folder.path() + "teaching.sim");
             form->MenuItem("mnuOpenFile")->trigger();
             ASSERT_EQ(AirwayCount, 10);
         }},
    };
    for (const auto &c : cases) {
        StartOnExample("mine.sim");
        addDeadEnd();
        form->MenuItem("mnuExecute")->trigger();
        ASSERT_NE(form->Simulation().ErrorWindow(), nullptr) << c.what;
        ASSERT_TRUE(form->Simulation().ErrorWindow()->isVisible()) << c.what;
        c.replace();
        flushDeletes();
        EXPECT_TRUE(boxes->Done()) << c.what;
        EXPECT_EQ(form->Simulation().ErrorWindow(), nullptr) << c.what;
        EXPECT_TRUE(Errorlist.empty()) << c.what;
    }
}

TEST_F(ProgramSeamsTest, ACommandThatFailsEndsQuietlyAtEveryDispatchPointAndTheNetworkStays) {
    // Every question fails, as an unexpected error inside the command would; file choices name a table.
    int failures = 0;
    const auto fail = [&failures] {
        ++failures;
        throw std::runtime_error("failed");
    };
    struct FailingBoxes : VB::DialogResponder {
        std::function<void()> fail;
        std::string file;
        int Message(const VB::MessageRequest &) override {
            fail();
            return VB::vbOK;
        }
        std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
        std::optional<std::string> File(const VB::FileRequest &) override { return file; }
    } failing;
    failing.fail = fail;
    failing.file = folder.path() + "mine.txt";
    ExportText(failing.file);
    const auto network = [] {
        std::string lines = std::to_string(AirwayCount);
        for (int a = 1; a <= AirwayCount; ++a)
            lines += AirwayLine(a);
        return lines;
    };
    const std::string before = network();
    PictureBox *picture = ActivePicture();
    const auto repaint = picture->Changed;
    NetworkSaved = 0;
    const struct {
        const char *where;
        std::function<void()> fail;
    } points[] = {
        {"menu", [&] { form->MenuItem("mnuNewFile")->trigger(); }},
        {"toolbar", [&] { form->Tools_Click(19); }},
        {"modal dialog",
         [&] {
             VB::SetModalDriver(
                 [](QDialog &d) { QTest::mouseClick(static_cast<frmImport &>(d).Import, Qt::LeftButton); });
             // Shown directly, not from a menu whose guard would end the failure in its place.
             ImportFileName = failing.file;
             frmImport dialog;
             EXPECT_EQ(VB::ShowModal(dialog), QDialog::Rejected); // as after Cancel
             VB::SetModalDriver({});
         }},
        {"input timer",
         [&] {
             RealtimeInputOn = -1;
             RealtimeInputFile = folder.path() + "none.rem";
             form->Timer1_Timer();
         }},
        {"output timer",
         [&] {
             RealtimeOutputOn = -1;
             RealtimeOutputFile = folder.path() + "no folder/results.txt";
             form->Timer2_Timer();
         }},
        {"recovery timer",
         [&] {
             // A file stands where the private folder's parent would be made; the lock that the program
             // took when it opened its file is let go, so that the copy needs the folder.
             folder.Write("taken", "");
             LetGoOfRecoveryCopy();
             VB::SetPrivateFolderOverride(folder.path() + "taken/private/");
             AutosaveTicks = 10;
             form->Autosave_Timer();
             VB::SetPrivateFolderOverride(folder.path());
         }},
        {"rotation timer",
         [&] {
             picture->Changed = fail;
             RotatorX = 7; // spinning
             RotatorY = 28;
             form->TimerRotate_Timer();
             EXPECT_FALSE(RotateBusy);
             // The window is told of drawing again: the failed tick's batch is closed.
             int notices = 0;
             picture->Changed = [&notices] { ++notices; };
             picture->Cls();
             EXPECT_EQ(notices, 1);
             picture->Changed = repaint;
         }},
    };
    VB::DialogResponder *previous = VB::SetDialogResponder(&failing);
    for (const auto &point : points) {
        const int failed = failures;
        point.fail();
        EXPECT_EQ(failures, failed + 1) << point.where;
        EXPECT_EQ(network(), before) << point.where;
        EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault) << point.where;
        EXPECT_FALSE(VB::IsBusy()) << point.where;
    }
    VB::SetDialogResponder(previous);
    RealtimeInputOn = RealtimeOutputOn = 0;
    // The program goes on working.
    form->MenuItem("mnuExecute")->trigger();
    EXPECT_EQ(form->LblSim->text(), "OK");
}

TEST_F(ProgramSeamsTest, NoToTheConvergenceQuestionShowsTheFlowsAsNotBalancedAndWritesNoResults) {
    // The main fan's pressure falls away at 320 m³/s, where the mine needs it: the question comes after the
    // first sweep.
    MaxIterations = 1;
    for (int p = 1; p <= 9; ++p)
        FanCurveFlow(p, 1) = 320;
    boxes->Expect(VB::vbNo, "Your Network only has a convergence of");
    form->MenuItem("mnuExecute")->trigger();
    EXPECT_TRUE(boxes->Done());
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_EQ(form->LblSim->text(), "NOT BAL");
    EXPECT_TRUE(form->LblSim->styleSheet().contains("rgb(255, 96, 96)"))
        << form->LblSim->styleSheet().toStdString();
    const frmError *errors = form->Simulation().ErrorWindow();
    ASSERT_NE(errors, nullptr);
    EXPECT_TRUE(errors->isVisible());
    const QList<QListWidgetItem *> lines =
        errors->Errorlist->findItems("Not balanced: ", Qt::MatchStartsWith);
    ASSERT_EQ(lines.size(), 1);
    const QString line = lines.front()->text();
    // One sweep after the whole-network solve, too few to tell the error left.
    EXPECT_TRUE(line.endsWith(" meshes did not converge, the flow error left cannot be estimated"))
        << line.toStdString();
    // Realtime output writes the heading alone.
    RealtimeOutputOn = -1;
    RealtimeOutputFile = folder.path() + "results.txt";
    form->Timer2_Timer();
    RealtimeOutputOn = 0;
    const std::string text = folder.Read("results.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text.substr(0, 400);
}

TEST_F(ProgramSeamsTest, ANetworkEmptiedOrChangedByUndoOrRedoKeepsNoResultsOfTheLastRun) {
    const struct {
        const char *what;
        std::function<void()> change;
    } changes[] = {
        {"File > New",
         [&] {
             boxes->Expect(VB::vbOK, "Current Data will be lost ?");
             form->MenuItem("mnuNewFile")->trigger();
             EXPECT_EQ(AirwayCount, 0);
         }},
        {"closing the last window",
         [&] {
             boxes->Expect(VB::vbNo, "Network Data is not saved - Save it?");
             window(0)->close();
             EXPECT_EQ(AirwayCount, 0);
             // This program runs on as another, whose lock notes no file: the file opens without a question.
             const std::string copy = RecoveryCopyPath();
             LetGoOfRecoveryCopy();
             const VB::FileLock other(copy.substr(0, copy.size() - 4) + ".lock", false);
             EXPECT_FALSE(HeldByAnotherProgram(folder.path() + "mine.sim"));
         }},
        {"Edit > Undo of the edit before the run",
         [&] {
             AutoSimulate = false;
             form->MenuItem("mnuUndo")->trigger();
         }},
        {"Edit > Redo of an edit undone before the run",
         [&] {
             AutoSimulate = false;
             // An edit after the run, which has turned what it had to: the runs below record nothing.
             RecordUndo(2, UndoCode::Before, UndoStep);
             AirwayName(2) = "Renamed too";
             RecordUndo(2, UndoCode::After, UndoStep);
             ++UndoStep;
             form->MenuItem("mnuUndo")->trigger();
             form->MenuItem("mnuExecute")->trigger();
             ASSERT_EQ(form->LblSim->text(), "OK");
             form->MenuItem("mnuRedo")->trigger();
             EXPECT_EQ(AirwayName(2).trimmed(), "Renamed too");
         }},
    };
    for (const auto &c : changes) {
        StartOnExample("mine.sim");
        // An edit as every tool records it, for the undo to take back.
        RecordUndo(1, UndoCode::Before, UndoStep);
        AirwayName(1) = "Renamed";
        RecordUndo(1, UndoCode::After, UndoStep);
        ++UndoStep;
        form->MenuItem("mnuExecute")->trigger();
        ASSERT_EQ(form->LblSim->text(), "OK") << c.what;
        c.change();
        EXPECT_TRUE(boxes->Done()) << c.what;
        EXPECT_FALSE(NetworkBalanced) << c.what;
        EXPECT_EQ(form->LblSim->text(), "SIM") << c.what;
        for (const QComboBox *combo : {form->CmbDataType, form->CmbDataVal})
            EXPECT_TRUE(combo->styleSheet().contains("rgb(255, 255, 192)")) << c.what;
    }
}

TEST_F(ProgramSeamsTest, FixedQuantitiesInSeriesThatDifferFailTheRunNamingTheirAirways) {
    std::filesystem::copy_file(SourceDir + "/examples/teaching.sim", folder.path() + "teaching.sim");
    NetworkFileName = folder.path() + "teaching.sim";
    ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded);
    // The 800 drive segment that feeds the stope (fixed at 20 m³/s), fixed at 12.5 m³/s.
    int stope = 0, drive = 0;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayName(a).trimmed() == "Stope")
            stope = a;
    ASSERT_NE(stope, 0);
    ASSERT_TRUE(AirwayFlags(stope) & AirwayFlag::FixedFlow);
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayName(a).trimmed() == "800 drive" && AirwayEndKey(a) == AirwayStartKey(stope))
            drive = a;
    ASSERT_NE(drive, 0);
    AirwayFlags(drive) |= AirwayFlag::FixedFlow;
    AirwayFlow(drive) = 12.5f;
    AirwayFlow(stope) = 12000; // m³/s, beyond what a run can honour: kept as typed
    const int numbers[] = {AirwayNumber(stope), AirwayNumber(drive)};
    RealKeys::Click(window(0)->View(), Qt::Key_F12);
    EXPECT_NE(form->LblSim->text(), "OK");
    EXPECT_FALSE(NetworkBalanced);
    const frmError *errors = form->Simulation().ErrorWindow();
    ASSERT_NE(errors, nullptr);
    EXPECT_TRUE(errors->isVisible());
    for (const int number : numbers) {
        const QString line = QString::number(number) + "\tFixed quantities do not balance";
        EXPECT_FALSE(errors->Errorlist->findItems(line, Qt::MatchExactly).isEmpty()) << line.toStdString();
    }
    const QString beyond = QString::number(numbers[0]) + "\tFixed quantity beyond 9994 m3/s";
    EXPECT_EQ(errors->Errorlist->findItems(beyond, Qt::MatchExactly).size(), 1) << beyond.toStdString();
    form->MenuItem("mnuSaveFile")->trigger();
    EXPECT_NE(folder.Read("teaching.sim").find("\t12000\t"), std::string::npos);
}

TEST_F(ProgramSeamsTest, InformationPopupAndCaptionScaleAreTheProgramsOwn) {
    form->Tools_Click(13);
    ASSERT_EQ(ToolMode, 9);
    ASSERT_GT(AirwayScreenCount, 0);
    const AirwayScreenRecord &r = AirwayScreen(1);
    // The mouse gives window positions, as the screen records hold them (whatever the axis signs).
    const float x = (r.x1 + r.x2) / 2;
    const float y = (r.y1 + r.y2) / 2;
    const int a = r.airway;
    window(0)->Form_MouseDown(2, 0, x, y);
    EXPECT_TRUE(PopData().isVisible());
    const std::string text = PopData().Text->toPlainText().toStdString();
    EXPECT_EQ(text.rfind("     AIRWAY " + std::to_string(AirwayNumber(a)) + "\n\nQ = ", 0), 0u) << text;
    EXPECT_NE(text.find("\nLayers = "), std::string::npos) << text;
    window(0)->Form_MouseUp(2, 0, x, y);
    EXPECT_FALSE(PopData().isVisible());

    // The caption's drawing scale is the drawing's on the screen: a wheel step in shows 0.8 times the metres
    // in a pixel.
    const double scale = captionScale();
    EXPECT_GT(scale, 0) << form->windowTitle().toStdString();
    frmWindow::MouseWheel(0, 120, 0, 0);
    const double zoomed = captionScale();
    EXPECT_NEAR(zoomed / scale, 0.8, 1e-3);
    // While the print dialog is open it is the scale at which the window fits the page, as the dialog
    // offers it: a landscape page is wider, so the same window fits at a larger scale. Closed, the dialog
    // leaves the screen's scale.
    withDialog<frmPrinter>(form->MenuItem("mnuPrint"), [&](frmPrinter &dialog) {
        const double portrait = captionScale();
        EXPECT_EQ(portrait, dialog.TxtScale->text().toDouble());
        dialog.OptOrient[1]->click();
        EXPECT_EQ(captionScale(), dialog.TxtScale->text().toDouble());
        EXPECT_LT(captionScale(), portrait);
        dialog.OptOrient[0]->click();
        dialog.CancelIt->click();
    });
    EXPECT_EQ(captionScale(), zoomed);
    // A click of the zoom tool halves the metres in a pixel.
    form->Tools_Click(0);
    window(0)->Form_MouseDown(1, 0, x, y);
    window(0)->Form_MouseUp(1, 0, x, y);
    EXPECT_NEAR(captionScale() / zoomed, 0.5, 1e-3);
}

TEST_F(ProgramSeamsTest, TheAirwayDialogsAreTheProgramsOwn) {
    // The information tool's click on a graphics window shows the report of the airway under it.
    form->Tools_Click(13);
    ASSERT_EQ(ToolMode, 9);
    const AirwayScreenRecord r = AirwayScreen(1);
    PictureBox &pic = window(0)->Picture();
    const QPoint at(static_cast<int>(std::lround(pic.ToPixelX((r.x1 + r.x2) / 2))),
                    static_cast<int>(std::lround(pic.ToPixelY((r.y1 + r.y2) / 2))));
    CurrentAirway = 0;
    QTest::mouseClick(window(0)->View(), Qt::LeftButton, Qt::NoModifier, at);
    // The airway picked there (airways of other levels may lie under the same point).
    const int a = CurrentAirway;
    ASSERT_GT(a, 0);
    QPointer<frmAirInfo> info = form->findChild<frmAirInfo *>();
    ASSERT_FALSE(info.isNull());
    EXPECT_TRUE(info->isVisible());
    EXPECT_TRUE(info->LblAirName->text().endsWith(" " + QString::number(AirwayNumber(a))))
        << info->LblAirName->text().toStdString();

    // Its Edit button leads to the edit dialog for the same airway, and the other entries to theirs.
    std::vector<std::string> shown;
    VB::SetModalDriver([&](QDialog &dialog) {
        if (auto *edit = dynamic_cast<frmAirEdit *>(&dialog))
            shown.push_back("edit " + edit->TxtUnique->text().toStdString());
        else
            shown.push_back(dialog.windowTitle().toStdString());
        dialog.reject();
    });
    QTest::mouseClick(info->Command2, Qt::LeftButton);
    CoordsForSelection = false;
    Editor().ShowCoordinateEntry();
    CurrentAirway = a;
    Editor().ShowFanEdit();
    form->MenuItem("mnucpAttrib")->trigger();
    VB::SetModalDriver({});
    EXPECT_EQ(shown, (std::vector<std::string>{"edit " + std::to_string(AirwayNumber(a)), "Coordinate Entry",
                                               "Fan Edit", "Copy/Paste Attributes"}));
    EXPECT_EQ(CoordsCancelled, -1);
}

TEST_F(ProgramSeamsTest, TheSmokeWindowsAreTheProgramsOwn) {
    int intake = 0;
    for (int a = 1; a <= AirwayCount && intake == 0; ++a)
        if (AirwayFlags(a) & AirwayFlag::SurfaceEntry)
            intake = a;
    ASSERT_NE(intake, 0);
    AirwayFlags(intake) |= AirwayFlag::ContaminantSource;
    AirwayContaminant(intake) = 100;
    form->MenuItem("mnuFire")->trigger();
    frmSmoke *dialog = form->Smoke().Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    dialog->OK->click(); // simulates first: the results were out of date
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_EQ(SmokeMode, 1);
    EXPECT_EQ(form->Smoke().Dialog(), nullptr);
    ASSERT_NE(form->Smoke().Legend(), nullptr);
    EXPECT_TRUE(form->Smoke().Legend()->isVisible());
    EXPECT_EQ(form->CmbDataVal->currentText(), "Contaminant");

    // The trace closes the legend, which gives the data type back.
    form->RunCommand(30);
    ASSERT_NE(form->Smoke().Trace(), nullptr);
    EXPECT_TRUE(form->Smoke().Trace()->isVisible());
    EXPECT_EQ(form->Smoke().Legend(), nullptr);
    EXPECT_EQ(form->CmbDataVal->currentText(), "Quantity");

    form->MenuItem("mnuSimp")->trigger();
    bool simplifyShown = false;
    for (QWidget *w : QApplication::topLevelWidgets())
        simplifyShown = simplifyShown || (qobject_cast<frmSimplify *>(w) != nullptr && w->isVisible());
    EXPECT_TRUE(simplifyShown);
}
