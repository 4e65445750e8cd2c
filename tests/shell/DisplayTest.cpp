#include "ShellFixture.h"

#include "model/levels_views.h"
#include "model/node_keys.h"
#include "settings/frmOptions.h"

#include <QTest>

#include <map>

TEST_F(ShellTest, EachDataGroupReturnsToItsLastItemAndShowsItsUnit) {
    form->CmbDataType->SetListIndex(1); // Pressure
    EXPECT_EQ(form->CmbDataVal->currentText(), "Total Loss");
    form->CmbDataVal->SetListIndex(2); // Boost
    EXPECT_EQ(DataCode, 24);
    EXPECT_EQ(form->LblUnit->text(), "Pa");
    form->CmbDataType->SetListIndex(0);
    EXPECT_EQ(form->CmbDataVal->currentText(), "Quantity");
    form->CmbDataType->SetListIndex(1);
    EXPECT_EQ(form->CmbDataVal->currentText(), "Boost");
    EXPECT_EQ(DataCode, 24);
    EXPECT_EQ(window(0)->Caption(), "View 1 : U/Ground Boost");

    form->CmbDataVal->SetListIndex(3); // Regulator Load, a mass
    EXPECT_EQ(form->LblUnit->text(), "kg");
    form->CmbDataType->SetListIndex(4);
    form->CmbDataVal->SetListIndex(2); // Layer Name: no unit
    EXPECT_EQ(DataCode, 54);
    EXPECT_EQ(form->LblUnit->text(), "");

    UnitSystem = 2;
    form->CmbDataType->SetListIndex(0);
    EXPECT_EQ(form->LblUnit->text(), "kcf/m");
    UnitSystem = 1;
}

TEST_F(ShellTest, EveryDataValueIsLabelledWithTheUnitOfItsQuantityInBothUnitSystems) {
    const struct {
        int group;
        const char *item, *si, *british;
    } rows[] = {
        {1, "Quantity", "m3/s", "kcf/m"},   {1, "Velocity", "m/s", "ft/min"},
        {2, "Total Loss", "Pa", "m.in.wg"}, {2, "Friction Loss", "Pa", "m.in.wg"},
        {2, "Boost", "Pa", "m.in.wg"},      {2, "Regulator Load", "kg", "lb"},
        {2, "Relative", "Pa", "m.in.wg"},   {2, "Absolute", "kPa", "in.Hg"},
        {2, "Barometric", "kPa", "in.Hg"},  {3, "Resistance", "Ns2/m8", "Rx1e9"},
        {3, "Shock Length", "m", "ft"},     {3, "Friction Factor", "kg/m3", "Kx1e10"},
        {3, "Dimensions", "m", "ft"},       {3, "Airway Length", "m", "ft"},
        {3, "Coordinates", "m", "ft"},      {4, "Friction Power", "kW", "hp"},
        {4, "Fan/Fix Power", "kW", "hp"},   {4, "Friction Cost", "$", "$"},
        {4, "Fan/Fix Cost", "$", "$"},      {5, "Airway Number", "", ""},
        {5, "Layer Number", "", ""},        {5, "Layer Name", "", ""},
        {5, "Contaminant", "", ""},         {5, "Spread Time", "h:m:s", "h:m:s"},
    };
    // The unit system is switched as the user does it, in the settings dialog.
    form->MenuItem("mnuOptionShow")->trigger();
    frmOptions *options = OptionsWindow();
    ASSERT_NE(options, nullptr);
    for (const int system : {2, 1}) {
        options->OptUnitType[static_cast<size_t>(system - 1)]->click();
        ASSERT_EQ(UnitSystem, system);
        std::map<int, int> items;
        for (const auto &r : rows) {
            form->CmbDataType->SetListIndex(r.group - 1);
            ++items[r.group];
            form->CmbDataVal->SetListIndex(form->CmbDataVal->findText(r.item));
            ASSERT_EQ(form->CmbDataVal->currentText().toStdString(), r.item);
            EXPECT_EQ(form->LblUnit->text().toStdString(), system == 1 ? r.si : r.british)
                << r.item << ", unit system " << system;
        }
        // No quantity of the lists is left unlabelled.
        for (const auto &[group, count] : items) {
            form->CmbDataType->SetListIndex(group - 1);
            EXPECT_EQ(form->CmbDataVal->count(), count) << group;
        }
    }
    options->cmdCancel_Click();
}

TEST_F(ShellTest, AUnitSwitchShowsTheCursorCoordinatesInTheNewUnitsAtOnce) {
    QWidget *view = window(0)->View();
    const QPoint spot(view->width() * 3 / 4, view->height() / 4);
    QTest::mouseMove(view, spot);
    const QString metres = form->TxtX->text();
    form->MenuItem("mnuOptionShow")->trigger();
    OptionsWindow()->OptUnitType[1]->click();
    const QString shown = form->TxtX->text();
    EXPECT_NE(shown, metres);
    // What the next move at the same spot would show.
    QTest::mouseMove(view, spot + QPoint(1, 0));
    QTest::mouseMove(view, spot);
    EXPECT_EQ(shown, form->TxtX->text());
    OptionsWindow()->cmdCancel_Click();
}

TEST_F(ShellTest, ChoosingALevelSwitchesToSingleLevelAndMovesTheScrollBar) {
    LevelName(3) = "Decline";
    LevelRange(3, 1) = 300;
    LevelRange(3, 2) = 250;
    FillLevelList();
    ASSERT_EQ(form->VsbRL->maximum(), 3);
    ViewMode = 4;
    form->CmbRL->SetListIndex(2);
    EXPECT_EQ(ViewMode, 1);
    EXPECT_EQ(PreviousViewMode, 4);
    EXPECT_TRUE(form->MenuItem("mnuLevels(0)")->isChecked());
    EXPECT_FALSE(form->MenuItem("mnuLevels(3)")->isChecked());
    EXPECT_EQ(form->VsbRL->value(), 3);
    EXPECT_EQ(RLWindowLow, 250);
    EXPECT_EQ(RLWindowHigh, 300);
    EXPECT_DOUBLE_EQ(LevelElevation, 275);
    EXPECT_FLOAT_EQ(WorkingElevation, 275);
    EXPECT_EQ(window(0)->Caption(), "View 1 : Decline Quantity");

    form->VsbRL->setValue(1);
    EXPECT_EQ(form->CmbRL->currentText(), "SURFACE");
    EXPECT_EQ(RLWindowLow, 1000);

    // From all levels, choosing the level the controls already show shows that level alone.
    AddAirways(1);
    UpdateNodeKeys();
    form->MenuItem("mnuLevels(3)")->trigger();
    ASSERT_EQ(VisibleAirways(1), 1);
    form->CmbRL->SetListIndex(0);
    EXPECT_EQ(ViewMode, 1);
    EXPECT_EQ(VisibleAirways(1), 0);
}

TEST_F(ShellTest, DraggingTheThumbMovesOnlyTheLevelComboUntilReleased) {
    form->VsbRL->setSliderDown(true);
    form->VsbRL->setValue(1);
    EXPECT_EQ(form->CmbRL->currentText(), "SURFACE");
    EXPECT_EQ(RLWindowLow, 480); // the level is unchanged while the thumb moves
    form->VsbRL->setSliderDown(false);
    EXPECT_EQ(RLWindowLow, 1000);
}

TEST_F(ShellTest, RealtimeMenusFollowTheSetting) {
    form->ShowRemoteMenus(false);
    for (const char *name : {"mnuRemote", "mnuRemote2", "mnuRemoteStation", "mnuRD", "mnuRT2"})
        EXPECT_FALSE(form->MenuItem(name)->isVisible()) << name;
    form->ShowRemoteMenus(true);
    for (const char *name : {"mnuRemote", "mnuRemote2", "mnuRemoteStation", "mnuRD", "mnuRT2"})
        EXPECT_TRUE(form->MenuItem(name)->isVisible()) << name;
}
