// Every command that changes the network marks it changed, so that Exit, New and Open ask before the
// change is lost; a command that records undo gives the saved airways back with one undo; a cancelled one
// leaves the network saved.
#include "ShellFixture.h"

#include "common/RealKeys.h"
#include "common/StoredAirways.h"
#include "dialogs/frmAirEdit.h"
#include "dialogs/frmAirInfo.h"
#include "dialogs/frmCoords.h"
#include "dialogs/frmFanEdit.h"
#include "exchange/frmImport.h"
#include "graphics/graphics_state.h"
#include "graphics/tool_state.h"
#include "model/undo.h"
#include "platform/System.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "settings/frmTagS.h"
#include "shell/frmFileNote.h"
#include "simulation/frmSmoke.h"
#include "simulation/frmSmokeLegend.h"
#include "simulation/frmSmokeTrace.h"
#include "simulation/simplify.h"
#include "simulation/smoke_windows.h"
#include "tables/frmFanData.h"
#include "tables/frmRLBase.h"
#include "tables/frmSpreadSheet.h"
#include "tables/spreadsheet_state.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

const std::string SourceDir = GUSTROM_SOURCE_DIR;

// The teaching mine (plan view, all levels): airways 3 and 4 are the 900 drive, 5 and 6 the 800 drive,
// 7 the stope with its fixed flow, 8 the bulkhead, 1 and 2 the intake shaft, 10 the fan.
class UnsavedMark : public ShellTest {
protected:
    void SetUp() override { StartOnExample("teaching.sim"); }
    void TearDown() override {
        VB::SetModalDriver({});
        ShellTest::TearDown();
    }

public:
    using ShellTest::boxes;
    using ShellTest::folder;
    using ShellTest::form;

    // The pixel at fraction f along airway a as window 0 shows it.
    QPoint At(int a, double f = 0.5) const {
        const PictureBox &pic = window(0)->Picture();
        for (int i = 1; i <= AirwayScreenCount; ++i) {
            const AirwayScreenRecord &r = AirwayScreen(i);
            if (r.airway == a)
                return {static_cast<int>(std::lround(pic.ToPixelX(r.x1 + f * (r.x2 - r.x1)))),
                        static_cast<int>(std::lround(pic.ToPixelY(r.y1 + f * (r.y2 - r.y1))))};
        }
        ADD_FAILURE() << "airway " << a << " is not drawn";
        return {};
    }
    QWidget *View() const { return window(0)->View(); }
    void Click(QPoint p, Qt::MouseButton button = Qt::LeftButton) const {
        QTest::mouseClick(View(), button, Qt::NoModifier, p);
    }
    void Drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) const {
        QTest::mousePress(View(), button, Qt::NoModifier, from);
        QTest::mouseMove(View(), (from + to) / 2);
        QTest::mouseMove(View(), to);
        QTest::mouseRelease(View(), button, Qt::NoModifier, to);
    }
    // Chooses a toolbar tool, then clicks airway a with it.
    void ToolClick(int tool, int a, Qt::MouseButton button = Qt::LeftButton) {
        form->Tools_Click(tool);
        Click(At(a), button);
    }
    // Works every modal dialog of type D that opens meanwhile with `work`.
    template <typename D> void Answer(void (*work)(D &)) {
        VB::SetModalDriver([work](QDialog &dialog) {
            auto *d = qobject_cast<D *>(&dialog);
            ASSERT_NE(d, nullptr) << dialog.metaObject()->className();
            work(*d);
        });
    }
    // The spreadsheet opened from the Tools menu, on its first row.
    frmSpreadSheet &Sheet() {
        Menu("mnuPower");
        frmSpreadSheet *sheet = SpreadSheetWindow();
        if (sheet == nullptr)
            throw std::runtime_error("the spreadsheet did not open");
        sheet->Spreadsheet->SetRow(1);
        return *sheet;
    }
    // A floating text placed with the name tool in the empty space below the 900 drive.
    QPoint TextPoint() const { return At(4) + QPoint(0, 80); }
    void PlaceText() {
        boxes->ExpectInput("Workings");
        form->Tools_Click(10);
        Click(TextPoint());
    }
    static void RenameAndConfirm(frmAirEdit &d) {
        d.TxtName->setText("Renamed");
        QTest::mouseClick(d.OK, Qt::LeftButton);
    }
    void Menu(const char *item) const { form->MenuItem(item)->trigger(); }
    // A menu command whose one message box is answered.
    void Menu(const char *item, int answer, const char *prompt) {
        boxes->Expect(answer, prompt);
        Menu(item);
    }
    // A contaminant source on the intake shaft, and the network solved: its results are current.
    void SolvedWithASource() {
        AirwayFlags(1) |= AirwayFlag::ContaminantSource;
        AirwayContaminant(1) = 100;
        Menu("mnuExecute");
        ASSERT_TRUE(NetworkBalanced);
    }
    // A smoke report on the 900 drive, and the network solved.
    void SolvedWithAReport() {
        AirwaySmoke(1, 4) = 1;
        Menu("mnuExecute");
        ASSERT_TRUE(NetworkBalanced);
    }
    // The spread from the intake shaft and its legend.
    void SpreadShown() {
        SolvedWithASource();
        form->RunCommand(29);
        ASSERT_NE(form->Smoke().Legend(), nullptr);
    }
    // The trace from the 900 drive's report and its window.
    void TraceShown() {
        SolvedWithAReport();
        form->RunCommand(30);
        ASSERT_NE(form->Smoke().Trace(), nullptr);
    }
};

using Step = void (*)(UnsavedMark &);

// Marks: the network is marked changed. Undoable: marked too, and one undo gives the saved airways back.
// Nothing: a cancel or a refusal, which leaves the network saved and records no undo step.
enum Effect { Marks, Undoable, Nothing };

struct Command {
    const char *name;
    Effect effect;
    Step run;
    Step prepare = nullptr; // what the command needs first, done before the network counts as saved
};

void PrintTo(const Command &command, std::ostream *out) {
    *out << command.name;
}

// One row per command that changes what the network file keeps. Not here: what changes only the view, the
// selection (Deselect, Update Screen, the select tool) or the rotation centre, the settings (they have a
// question of their own at exit), the station files and the flows realtime readings set (live values, not
// edits), and New and Open, which replace the network.
// clang-format off
const Command Commands[] = {
    // ---- Toolbar tools and immediate commands ----
    {"LayerPaste", Undoable, [](UnsavedMark &t) { ActivePrimaryLayer = 2; t.ToolClick(2, 3); }},
    {"DrawAirway", Undoable, [](UnsavedMark &t) {
        t.form->Tools_Click(4);
        t.Drag(t.At(4, 0.2) + QPoint(0, 60), t.At(4, 0.8) + QPoint(0, 60));
    }},
    {"MoveAirwayEnd", Undoable, [](UnsavedMark &t) {
        t.form->Tools_Click(6);
        t.Drag(t.At(6, 1), t.At(6, 1) + QPoint(30, 60));
    }},
    {"ReverseAirway", Undoable, [](UnsavedMark &t) { t.ToolClick(7, 3); }},
    {"DeleteAirway", Undoable, [](UnsavedMark &t) { t.ToolClick(8, 3); }},
    {"PlaceFan", Undoable, [](UnsavedMark &t) {
        t.Answer<frmFanEdit>([](frmFanEdit &d) {
            d.FanCombo2->SetListIndex(1);
            QTest::mouseClick(d.Command1, Qt::LeftButton);
        });
        t.ToolClick(9, 3);
    }},
    {"NameAirway", Undoable, [](UnsavedMark &t) { t.boxes->ExpectInput("Renamed"); t.ToolClick(10, 3); }},
    {"FloatingText", Marks, [](UnsavedMark &t) { t.PlaceText(); }},
    {"DeleteFloatingText", Marks, [](UnsavedMark &t) { t.form->Tools_Click(8); t.Click(t.TextPoint()); },
     [](UnsavedMark &t) { t.PlaceText(); }},
    {"MoveFloatingText", Marks, [](UnsavedMark &t) {
        t.form->Tools_Click(6);
        t.Drag(t.TextPoint(), t.TextPoint() + QPoint(40, 40));
    }, [](UnsavedMark &t) { t.PlaceText(); }},
    {"ContaminantSource", Marks, [](UnsavedMark &t) { t.ToolClick(11, 3); }},
    {"EditAirway", Undoable, [](UnsavedMark &t) {
        t.Answer<frmAirEdit>(UnsavedMark::RenameAndConfirm);
        t.ToolClick(12, 3);
    }},
    {"EditSelectedAirways", Undoable, [](UnsavedMark &t) {
        t.Answer<frmAirEdit>([](frmAirEdit &d) {
            d.OptShowData->click();
            QTest::mouseClick(d.OK, Qt::LeftButton);
        });
        t.ToolClick(12, 3);
    }, [](UnsavedMark &) { AirwayFlags(3) |= AirwayFlag::Selected; AirwayFlags(4) |= AirwayFlag::Selected; }},
    {"EditToolBulkhead", Undoable, [](UnsavedMark &t) { t.ToolClick(12, 3, Qt::RightButton); }},
    {"InformationEdit", Undoable, [](UnsavedMark &t) {
        t.ToolClick(13, 3);
        auto *info = t.form->findChild<frmAirInfo *>();
        ASSERT_NE(info, nullptr);
        t.Answer<frmAirEdit>(UnsavedMark::RenameAndConfirm);
        QTest::mouseClick(info->Command2, Qt::LeftButton);
    }},
    {"InsertNode", Undoable, [](UnsavedMark &t) { t.ToolClick(15, 3); }},
    {"SmokeReport", Marks, [](UnsavedMark &t) { t.ToolClick(17, 3); }},
    {"AttributePaste", Undoable, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbOK, "were copied for future pasting");
        t.ToolClick(21, 7, Qt::RightButton);
        t.Click(t.At(3));
    }},
    {"MoveSelectionByTypedOffset", Undoable, [](UnsavedMark &t) {
        t.Answer<frmCoords>([](frmCoords &d) {
            d.TxtdX->setText("50");
            QTest::mouseClick(d.OK, Qt::LeftButton);
        });
        t.form->Tools_Click(6);
        t.Drag(t.At(3), t.At(3) + QPoint(20, 0), Qt::RightButton);
    }, [](UnsavedMark &) { AirwayFlags(3) |= AirwayFlag::Selected; }},
    {"RedoButton", Undoable, [](UnsavedMark &t) { t.form->Tools_Click(5); },
     [](UnsavedMark &t) { t.ToolClick(7, 3); UndoAction(); }},
    {"UndoButton", Marks, [](UnsavedMark &t) { t.form->Tools_Click(23); },
     [](UnsavedMark &t) { t.ToolClick(7, 3); }},
    {"AirSimulation", Marks, [](UnsavedMark &t) { t.form->Tools_Click(14); }},
    {"ContaminantSimulation", Marks, [](UnsavedMark &t) { t.form->Tools_Click(29); },
     [](UnsavedMark &t) { t.SolvedWithASource(); }},
    {"SmokeSourcingSimulation", Marks, [](UnsavedMark &t) { t.form->Tools_Click(30); },
     [](UnsavedMark &t) { t.SolvedWithAReport(); }},

    // ---- Menu commands ----
    {"MergeFile", Marks, [](UnsavedMark &t) {
        t.boxes->ExpectFile(t.folder.path() + "teaching.sim")
            .Expect(VB::vbYes, "original fan database")
            .Expect(VB::vbNo, "Duplicate branches exist");
        t.Menu("mnuMergeFile");
    }},
    {"ReloadFanDatabase", Marks,
     [](UnsavedMark &t) { t.Menu("mnuReLoadFan", VB::vbOK, "Current fan database will be lost!"); }},
    {"ImportDxf", Marks, [](UnsavedMark &t) {
        t.boxes->ExpectFile(SourceDir + "/tests/data/import/r12.dxf");
        t.Answer<frmImport>([](frmImport &d) {
            d.ChkMerge->setChecked(true);
            QTest::mouseClick(d.Import, Qt::LeftButton);
        });
        t.Menu("MnuDXF");
    }},
    {"ImportTxt", Marks, [](UnsavedMark &t) {
        t.folder.Write("drive.txt", "X1\tY1\tZ1\tX2\tY2\tZ2\r\n0\t500\t900\t300\t500\t900\r\n");
        t.boxes->ExpectFile(t.folder.path() + "drive.txt");
        t.Answer<frmImport>([](frmImport &d) {
            d.ChkMerge->setChecked(true);
            QTest::mouseClick(d.Import, Qt::LeftButton);
        });
        t.Menu("mnuImportData");
    }},
    {"TitleNote", Marks, [](UnsavedMark &t) { t.boxes->ExpectInput("Mine 2"); t.Menu("mnuComment"); }},
    {"FileMemo", Marks, [](UnsavedMark &t) {
        t.Menu("mnuMessage");
        frmFileNote &note = t.form->FileNoteWindow();
        RealKeys::Type(note.MessageBox, "Fan checked\x1b");
        EXPECT_FALSE(note.isVisible());
    }},
    {"UndoMenu", Marks, [](UnsavedMark &t) { t.Menu("mnuUndo"); }, [](UnsavedMark &t) { t.ToolClick(7, 3); }},
    {"RedoMenu", Undoable, [](UnsavedMark &t) { t.Menu("mnuRedo"); },
     [](UnsavedMark &t) { t.ToolClick(7, 3); UndoAction(); }},
    {"SaveView", Marks, [](UnsavedMark &t) { t.boxes->ExpectInput("Stope view"); t.Menu("mnuSaveView"); }},
    {"DeleteView", Marks,
     [](UnsavedMark &t) { t.Menu("mnuDelView", VB::vbYes, "Are you sure"); },
     [](UnsavedMark &t) { t.boxes->ExpectInput("Stope view"); t.Menu("mnuSaveView"); }},
    {"Layers", Marks, [](UnsavedMark &t) {
        t.Answer<frmTagS>([](frmTagS &d) {
            d.PLabel[1]->setFocus();
            d.PLabel[1]->selectAll();
            RealKeys::Type(d.PLabel[1], "Returns");
            QTest::mouseClick(d.OK, Qt::LeftButton);
        });
        t.Menu("mnuShowLayers");
    }},
    {"AirflowSimulation", Marks, [](UnsavedMark &t) { t.Menu("mnuExecute"); }},
    {"SmokeSimulation", Marks, [](UnsavedMark &t) {
        t.Menu("mnuFire");
        ASSERT_NE(t.form->Smoke().Dialog(), nullptr);
        t.form->Smoke().Dialog()->OK->click();
    }, [](UnsavedMark &t) { t.SolvedWithASource(); }},
    {"SourcingSimulation", Marks, [](UnsavedMark &t) { t.Menu("mnuTrace"); },
     [](UnsavedMark &t) { t.SolvedWithAReport(); }},
    {"Fans", Marks, [](UnsavedMark &t) {
        t.Answer<frmFanData>([](frmFanData &d) {
            d.TxtFanName->SetFocus();
            d.TxtFanName->selectAll();
            RealKeys::Type(d.TxtFanName, "Main fan");
            QTest::mouseClick(d.ExitFan, Qt::LeftButton);
        });
        t.Menu("mnuFanData");
    }},
    {"Levels", Marks, [](UnsavedMark &t) {
        t.Answer<frmRLBase>([](frmRLBase &d) {
            d.GridRL->SetTextMatrix(2, 1, "900 Drive");
            QTest::mouseClick(d.RLOK, Qt::LeftButton);
        });
        t.Menu("mnuRLBase");
    }},
    {"SpreadsheetSave", Undoable, [](UnsavedMark &t) {
        frmSpreadSheet &sheet = t.Sheet();
        sheet.Spreadsheet->SetTextMatrix(1, SheetColName, "Renamed");
        t.boxes->Expect(VB::vbYes, "Save spreadsheet changes to network ?");
        sheet.mnuSaveChanges_Click();
    }},
    {"SpreadsheetEditBox", Undoable, [](UnsavedMark &t) {
        t.Answer<frmAirEdit>(UnsavedMark::RenameAndConfirm);
        t.Sheet().mnuEditBox_Click();
    }},
    {"SpreadsheetDeleteRow", Marks, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbYes, "Permanently delete branch ?");
        t.Sheet().mnuDelete_Click();
    }},
    {"Simplify", Undoable, [](UnsavedMark &t) {
        t.Menu("mnuSimp");
        auto *simplify = t.form->findChild<frmSimplify *>();
        ASSERT_NE(simplify, nullptr);
        // The 800 drive's east piece runs on into the cross-cut alone: joined at angles up to 90 degrees.
        simplify->TxtA->setText("90");
        simplify->TxtL->setText("1000");
        t.boxes->Expect(VB::vbOK, "The network size was reduced by");
        QTest::mouseClick(simplify->CmdSimp, Qt::LeftButton);
    }},
    // The 900 drive's east piece drawn westwards is turned back.
    {"RemoveDuplicates", Marks, [](UnsavedMark &t) { t.Menu("mnuremdup", VB::vbOK, "No duplicate airways"); },
     [](UnsavedMark &t) { t.ToolClick(7, 4); }},
    {"PreserveFlows", Marks, [](UnsavedMark &t) { t.Menu("mnuPres", VB::vbYes, "copy existing airflows"); },
     [](UnsavedMark &) { AirwayName(3) = ""; }},
    {"RemoveFlows", Marks, [](UnsavedMark &t) { t.Menu("mnuRmvFlow"); },
     [](UnsavedMark &) { AirwayName(3) = "(12.0)"; }},
    {"FixAllLengths", Marks, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbYes, "fixed").Expect(VB::vbOK, "now fixed");
        t.Menu("mnuFixL");
    }},
    {"UnfixAllLengths", Marks, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbYes, "unfixed").Expect(VB::vbOK, "now unfixed");
        t.Menu("mnuUnFixL");
    }},
    {"AutoNameAirways", Undoable, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbOK, "names all airways").ExpectInput("B");
        t.Menu("mnuAutoName");
    }, [](UnsavedMark &) { AirwayName(3) = ""; }},
    {"AutoNameNodes", Undoable, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbOK, "names all nodes").ExpectInput("N");
        t.Menu("mnuAutoNodes");
    }},
    {"RenumberAirways", Marks, [](UnsavedMark &t) { t.Menu("mnuResetAir", VB::vbOK, "renumbered"); },
     [](UnsavedMark &) { AirwayNumber(3) = 30; }},
    {"CheckNumbering", Marks, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbYes);
        t.Menu("mnuchecknumbers");
    }, [](UnsavedMark &) { AirwayNumber(3) = AirwayNumber(4); }},
    {"SwapXYAxis", Marks, [](UnsavedMark &t) { t.Menu("mnuRevCoord", VB::vbOK, "swap your X & Y axis"); }},
    {"ReverseCoordinateAxis", Marks,
     [](UnsavedMark &t) { t.Menu("mnuReverse", VB::vbYes, "swap your X and Y axis coordinates"); }},
    {"ClearSmokeTracking", Marks,
     [](UnsavedMark &t) { t.Menu("mnuClrSmoke", VB::vbYes, "Clear contaminant sources as well?"); },
     [](UnsavedMark &) { AirwayFlags(1) |= AirwayFlag::ContaminantSource; AirwayContaminant(1) = 100; }},
    {"ClearSmokeSourcing", Marks, [](UnsavedMark &t) { t.Menu("mnuClrSources"); },
     [](UnsavedMark &) { AirwaySmoke(1, 4) = 1; }},
    {"FindRestrictiveFans", Marks, [](UnsavedMark &t) { t.Menu("mnuFindResFans", VB::vbOK, "NO fans"); }},
    {"FindDuplicateAirways", Marks, [](UnsavedMark &t) { t.Menu("mnuDupAir"); }},
    {"FindUnnecessaryBulkheads", Marks,
     [](UnsavedMark &t) { t.Menu("mnuProblems", VB::vbOK, "NO unnecessary bulkheads"); }},
    {"RemoveUnnecessaryBulkheads", Marks,
     [](UnsavedMark &t) { t.Menu("mnuRemoveRedund", VB::vbOK, "NO unnecessary bulkheads removed"); }},
    {"NonConvergingAirways", Marks,
     [](UnsavedMark &t) { t.Menu("mnnuNonConverge", VB::vbOK, "NO major convergence problems"); }},
    {"ReseedAirflows", Marks, [](UnsavedMark &t) { t.boxes->ExpectInput("5"); t.Menu("mnuResetAirflows"); }},

    // ---- Cancels change nothing ----
    {"PlaceFanCancelled", Nothing, [](UnsavedMark &t) {
        t.Answer<frmFanEdit>([](frmFanEdit &d) { QTest::mouseClick(d.Command2, Qt::LeftButton); });
        t.ToolClick(9, 3);
    }},
    {"EditAirwayCancelled", Nothing, [](UnsavedMark &t) {
        t.Answer<frmAirEdit>([](frmAirEdit &d) { QTest::mouseClick(d.cmdCancel, Qt::LeftButton); });
        t.ToolClick(12, 3);
    }},
    {"NameAirwayCancelled", Nothing,
     [](UnsavedMark &t) { t.boxes->ExpectInput(std::nullopt); t.ToolClick(10, 3); }},

    // ---- Buttons of the smoke windows ----
    {"LegendClearSources", Marks, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbYes, "Clear contaminant sources ?");
        QTest::mouseClick(t.form->Smoke().Legend()->CmdClearSources, Qt::LeftButton);
    }, [](UnsavedMark &t) { t.SpreadShown(); }},
    {"TraceClearPins", Marks, [](UnsavedMark &t) {
        t.boxes->Expect(VB::vbYes, "Confirm deletion of all report pins");
        QTest::mouseClick(t.form->Smoke().Trace()->CmdClearS, Qt::LeftButton);
    }, [](UnsavedMark &t) { t.TraceShown(); }},
};
// clang-format on

class EveryChange : public UnsavedMark, public ::testing::WithParamInterface<Command> {};

} // namespace

TEST_P(EveryChange, MarksTheNetworkOnlyWhenItChangesAndOneUndoGivesTheSavedAirwaysBack) {
    const Command &command = GetParam();
    ASSERT_EQ(AirwayCount, 10);
    ASSERT_EQ(NetworkSaved, 255) << "a saved network";
    if (command.prepare != nullptr) {
        command.prepare(*this);
        // What the command starts from counts as saved.
        NetworkSaved = 255;
    }
    const std::vector<AirwayValues> saved = StoredAirways();
    const int step = UndoStep;
    command.run(*this);
    VB::SetModalDriver({});
    EXPECT_TRUE(boxes->Done());
    if (command.effect == Nothing) {
        EXPECT_EQ(NetworkSaved, 255);
        EXPECT_EQ(UndoStep, step);
        EXPECT_TRUE(SameAirways(StoredAirways(), saved));
        return;
    }
    EXPECT_EQ(NetworkSaved, 0);
    if (command.effect == Undoable) {
        EXPECT_FALSE(SameAirways(StoredAirways(), saved));
        UndoAction();
        EXPECT_TRUE(SameAirways(StoredAirways(), saved));
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, EveryChange, ::testing::ValuesIn(Commands),
                         [](const ::testing::TestParamInfo<Command> &info) { return info.param.name; });

// Undo and redo walk the whole session: every undo back to the start gives back the file as it was
// opened, and every redo the file as it was last edited, byte for byte.
TEST_F(UnsavedMark, UndoingEveryStepGivesBackTheFileAsOpenedAndRedoingEveryStepTheEditedFile) {
    const VB::DateTime clock{2026, 3, 14, 9, 5, 7};
    VB::SetClockOverride(&clock);
    const std::string note = FileNote;
    // Each save stamps the memo: every copy is saved from the memo as opened.
    const auto saveAs = [&](const std::string &name) {
        FileNote = note;
        boxes->ExpectFile(folder.path() + name);
        Menu("mnuSaveAs");
        return folder.Read(name);
    };
    const std::string opened = saveAs("opened.sim");
    // A new drive below the 900 drive, then a node of the 800 drive dragged away.
    form->Tools_Click(4);
    Drag(At(4, 0.2) + QPoint(0, 60), At(4, 0.8) + QPoint(0, 60));
    ASSERT_EQ(AirwayCount, 11);
    form->Tools_Click(6);
    Drag(At(6, 1), At(6, 1) + QPoint(30, 60));
    // The 900 drive and the new drive selected, edited together, and the selection cleared. The last
    // airway picked is the new drive, so the working elevation the file keeps is the one it opened with.
    ToolClick(31, 3);
    ToolClick(31, 11);
    Answer<frmAirEdit>([](frmAirEdit &d) {
        d.OptShowData->click();
        QTest::mouseClick(d.OK, Qt::LeftButton);
    });
    ToolClick(12, 11);
    VB::SetModalDriver({});
    Menu("mnuDeselect");
    // The new drive named in the spreadsheet.
    frmSpreadSheet &sheet = Sheet();
    VBGrid &grid = *sheet.Spreadsheet;
    for (int r = 1; r < grid.Rows(); ++r)
        if (grid.TextMatrix(r, SheetColNo) == "11")
            grid.SetRow(r);
    grid.SetCol(SheetColName);
    RealKeys::Type(&grid, "T");
    RealKeys::Type(sheet.TxtEdit, "est drive\r");
    boxes->Expect(VB::vbYes, "Save spreadsheet changes to network ?");
    sheet.MenuItem("mnuSaveChanges")->trigger();
    sheet.MenuItem("mnuExit")->trigger();
    const std::string edited = saveAs("edited.sim");
    ASSERT_NE(edited.find("Test drive"), std::string::npos);

    // Draw, move, dialog and spreadsheet: four steps.
    for (int step = 1; step <= 4; ++step)
        Menu("mnuUndo");
    Menu("mnuUndo", VB::vbOK, "No more actions to undo");
    EXPECT_EQ(saveAs("undone.sim"), opened);
    for (int step = 1; step <= 4; ++step)
        Menu("mnuRedo");
    Menu("mnuRedo", VB::vbOK, "No more actions available to redo");
    EXPECT_EQ(saveAs("redone.sim"), edited);
    VB::SetClockOverride(nullptr);
}
