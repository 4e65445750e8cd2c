// The data tables and the settings dialog as the main window opens and closes them.
#include "ShellFixture.h"
#include "common/RealKeys.h"

#include "exchange/frmSummary.h"

#include "graphics/graphics_state.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/Text1252.h"
#include "platform/VBTextBox.h"
#include "settings/frmOptions.h"
#include "tables/frmFanData.h"
#include "tables/frmRLBase.h"
#include "tables/frmRange.h"
#include "tables/frmSpreadSheet.h"
#include "tables/name_lists.h"
#include "tables/spreadsheet_state.h"

#include <QApplication>
#include <QCloseEvent>

TEST_F(ShellTest, TheSpreadsheetOpensFromToolsAndAsksFirstAtExit) {
    AddAirways(3);
    form->MenuItem("mnuPower")->trigger();
    frmSpreadSheet *sheet = SpreadSheetWindow();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    SheetChanged = true;
    NetworkSaved = 0;
    boxes->Expect(VB::vbNo, "Save spreadsheet changes to network ?")
        .Expect(VB::vbCancel, "Gustrom data is not saved - Save it?");
    bool cancel = false;
    form->MDIForm_QueryUnload(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(SpreadSheetWindow(), nullptr);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ShellTest, TheTableDialogsAndTheRangeChooserOpenFromTheirMenus) {
    std::vector<std::string> shown;
    VB::SetModalDriver([&](QDialog &dialog) {
        if (qobject_cast<frmFanData *>(&dialog))
            shown.push_back("fans");
        else if (qobject_cast<frmRLBase *>(&dialog))
            shown.push_back("levels");
        else if (qobject_cast<frmRange *>(&dialog))
            shown.push_back("range");
        dialog.reject();
    });
    form->MenuItem("mnuFanData")->trigger();
    form->MenuItem("mnuRLBase")->trigger();
    form->MenuItem("mnuLevels(2)")->trigger();
    VB::SetModalDriver({});
    EXPECT_EQ(shown, (std::vector<std::string>{"fans", "levels", "range"}));
    EXPECT_EQ(ViewMode, 3);
}

TEST_F(ShellTest, NameListsOpenBesideTheMainWindowAndFillOnce) {
    AddAirways(2);
    AirwayName(1) = "Main";
    form->MenuItem("mnuFBName")->trigger();
    auto *list = form->findChild<frmListAirNames *>();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(list->List1->ListCount(), 1);
    AirwayName(2) = "Decline";
    form->MenuItem("mnuFBName")->trigger();
    EXPECT_EQ(list->List1->ListCount(), 1);
}

TEST_F(ShellTest, TheOptionsDialogIsOneWindowAndItsUnitSwitchRelabelsTheMainWindow) {
    form->MenuItem("mnuOptionShow")->trigger();
    frmOptions *options = OptionsWindow();
    ASSERT_NE(options, nullptr);
    form->MenuItem("mnuOptionShow")->trigger();
    EXPECT_EQ(OptionsWindow(), options);
    form->CmbDataType->SetListIndex(0); // airflow, in m3/s
    const QString si = form->LblUnit->text();
    options->OptUnitType[1]->click();
    EXPECT_EQ(UnitSystem, 2);
    EXPECT_NE(form->LblUnit->text(), si);
    EXPECT_EQ(options->LblUnit[2]->text(), "ft");
    options->cmdCancel_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OptionsWindow(), nullptr);
}

TEST_F(ShellTest, AnOpenSettingsDialogTakesTheSettingsOfANetworkLoadedMeanwhile) {
    AddAirways(2);
    ColourTable(5) = 0x123456;
    GraphicsDetail = 4;
    NetworkFileName = folder.path() + "own.sim";
    ASSERT_TRUE(SaveNetwork(0));
    ColourTable(5) = 0x654321;
    GraphicsDetail = 2;
    form->MenuItem("mnuOptionShow")->trigger();
    LoadNetwork();
    ASSERT_EQ(ColourTable(5), 0x123456);
    OptionsWindow()->cmdOK_Click();
    EXPECT_EQ(ColourTable(5), 0x123456);
    EXPECT_EQ(GraphicsDetail, 4);
}

TEST_F(ShellTest, TheSurfaceRlShowsTheExamplesSurfaceAndATypedOneSurvivesAMerge) {
    StartOnExample("teaching.sim");
    form->MenuItem("mnuOptionShow")->trigger();
    frmOptions *options = OptionsWindow();
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->TxtAirRL->Text(), "1000.0");
    options->TxtAirRL->selectAll();
    RealKeys::Type(options->TxtAirRL, "1010");
    options->cmdOK_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    boxes->ExpectFile(folder.path() + "teaching.sim")
        .Expect(VB::vbYes, "original fan database")
        .Expect(VB::vbNo, "Duplicate branches exist");
    form->MenuItem("mnuMergeFile")->trigger();
    form->MenuItem("mnuOptionShow")->trigger();
    ASSERT_NE(OptionsWindow(), nullptr);
    EXPECT_EQ(OptionsWindow()->TxtAirRL->Text(), "1010.0");
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ShellTest, OpeningANetworkOffersTheSpreadsheetEditsAndRefillsIt) {
    // The network to open: a bulkhead and a fixed-pressure airway under the numbers the sheet shows.
    AddAirways(2);
    for (int a = 1; a <= 2; ++a)
        AirwayNumber(a) = a;
    AirwayResistanceType(1) = 1;
    AirwayFan(2) = -1;
    AirwayPressure(2) = 300;
    const std::string other = folder.path() + "other.sim";
    NetworkFileName = other;
    ASSERT_TRUE(SaveNetwork(0));
    // The network shown in the sheet: plain drives.
    AirwayResistanceType(1) = 0;
    AirwayFan(2) = 0;
    for (int a = 1; a <= 2; ++a)
        VisibleAirways(a) = a;
    VisibleAirways(3) = 0;
    NetworkSaved = 255;
    form->MenuItem("mnuPower")->trigger();
    frmSpreadSheet *sheet = SpreadSheetWindow();
    ASSERT_NE(sheet, nullptr);
    // Typed, and the edit box still open.
    sheet->Spreadsheet->SetRow(1);
    sheet->Spreadsheet->SetCol(SheetColName);
    RealKeys::Type(sheet->Spreadsheet, "T");

    boxes->Expect(VB::vbNo, "Save spreadsheet changes to network ?").ExpectFile(other);
    form->MenuItem("mnuOpenFile")->trigger();
    ASSERT_EQ(sheet->Spreadsheet->Rows(), 3);
    EXPECT_EQ(sheet->Spreadsheet->TextMatrix(1, SheetColComments), " Bulkhead");
    boxes->Expect(VB::vbYes, "Save spreadsheet changes to network ?");
    sheet->MenuItem("mnuSaveChanges")->trigger();
    EXPECT_EQ(AirwayResistanceType(1), 1);
    EXPECT_EQ(AirwayFan(2), -1);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ShellTest, ARowInsertedInTheSpreadsheetAndLeftBlankIsNoAirway) {
    StartOnExample("teaching.sim");
    form->MenuItem("mnuPower")->trigger();
    frmSpreadSheet *sheet = SpreadSheetWindow();
    ASSERT_NE(sheet, nullptr);
    sheet->Spreadsheet->SetRow(1);
    sheet->MenuItem("mnuInsert2")->trigger();
    boxes->Expect(VB::vbYes, "Save spreadsheet changes to network ?");
    sheet->MenuItem("mnuSaveChanges")->trigger();
    form->MenuItem("mnuSummary")->trigger();
    auto *summary = form->findChild<frmSummary *>();
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->LblNA->text(), "10");
}

TEST_F(ShellTest, AnOpenSpreadsheetFollowsUndoAndARunInTheMainWindowAndSavesNothingOlder) {
    StartOnExample("teaching.sim");
    form->MenuItem("mnuPower")->trigger();
    frmSpreadSheet *sheet = SpreadSheetWindow();
    ASSERT_NE(sheet, nullptr);
    VBGrid &grid = *sheet->Spreadsheet;
    int row = 1;
    while (row < grid.Rows() && sheet->RowAirway(row) != 1)
        ++row;
    ASSERT_LT(row, grid.Rows());
    const float resistance = AirwayResistance(1);
    ASSERT_NEAR(resistance, 0.00152517, 1e-8);
    // The first key opens the edit box, which takes the rest.
    const auto typeAndSave = [&](int col, const QString &text) {
        grid.SetRow(row);
        grid.SetCol(col);
        RealKeys::Type(&grid, text.left(1));
        RealKeys::Type(sheet->TxtEdit, text.mid(1) + "\r");
        boxes->Expect(VB::vbYes, "Save spreadsheet changes to network ?");
        sheet->MenuItem("mnuSaveChanges")->trigger();
    };
    typeAndSave(SheetColResistance, "0.5");
    ASSERT_FLOAT_EQ(AirwayResistance(1), 0.5f);

    // Undo and a run in the main window: the sheet shows the network as they leave it.
    form->MenuItem("mnuUndo")->trigger();
    QCoreApplication::processEvents();
    EXPECT_FLOAT_EQ(AirwayResistance(1), resistance);
    EXPECT_EQ(grid.TextMatrix(row, SheetColResistance), "0.0015252");
    RealKeys::Click(window(0)->View(), Qt::Key_F12);
    QCoreApplication::processEvents();
    ASSERT_NEAR(AirwayFlow(1), 240.98, 0.01);
    EXPECT_NEAR(std::stod(grid.TextMatrix(row, SheetColFlow)), 240.98, 0.01);

    // A save of another cell writes that cell alone.
    typeAndSave(SheetColName, "Intake");
    EXPECT_EQ(Trim(AirwayName(1)), "Intake");
    EXPECT_FLOAT_EQ(AirwayResistance(1), resistance);
    EXPECT_NEAR(AirwayFlow(1), 240.98, 0.01);

    // An edit not yet saved is offered before the sheet follows a change made elsewhere.
    grid.SetRow(row);
    grid.SetCol(SheetColName);
    RealKeys::Type(&grid, "D");
    RealKeys::Type(sheet->TxtEdit, "rive\r");
    boxes->Expect(VB::vbNo, "Save spreadsheet changes to network ?");
    form->MenuItem("mnuUndo")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.TextMatrix(row, SheetColName), Trim(AirwayName(1)));
    EXPECT_TRUE(boxes->Done());
}
