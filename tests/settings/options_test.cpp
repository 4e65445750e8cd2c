#include "common/ModelFixture.h"
#include "common/RealKeys.h"
#include "graphics/graphics_state.h"
#include "model/geometry.h"
#include "model/units.h"
#include "platform/Busy.h"
#include "platform/PictureBox.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "settings/frmOptions.h"
#include "settings/options_state.h"
#include "settings/palette_strip.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>

namespace {

class OptionsTest : public ModelTest {
protected:
    ScriptedDialogs boxes;
    QPointer<frmOptions> dialog;

    void SetUp() override {
        ModelTest::SetUp();
        UseSIDisplay();
    }
    void TearDown() override { delete dialog.data(); }

    void Open() {
        delete dialog.data();
        ShowOptions(nullptr);
        dialog = OptionsWindow();
        ASSERT_NE(dialog, nullptr);
    }
    // OK, then the window is gone.
    void Ok() {
        dialog->cmdOK_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

template <typename T> void bits(std::ostringstream &out, const T &v) {
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, &v, sizeof(T));
    for (unsigned char c : raw)
        out << int(c) << ' ';
}

// Every setting the dialog shows, bit by bit.
std::string settingsBits() {
    std::ostringstream out;
    for (auto v : {DefaultCurvePercent,
                   int32_t(RealtimeEnabled),
                   GraphicsDetail,
                   int32_t(DataDisplayMode),
                   int32_t(SmokeSourceMode),
                   int32_t(ScrollZoomOff),
                   int32_t(RightClickEditOff),
                   int32_t(MinNodeSpacing),
                   int32_t(PickDivisor),
                   int32_t(FullRotation),
                   int32_t(UnlimitedSpeed),
                   int32_t(ColourScheme),
                   int32_t(DefaultDriveWallType),
                   int32_t(DefaultRaiseWallType),
                   int32_t(UseDefaultArea),
                   int32_t(AxisSignX),
                   int32_t(AxisSignY),
                   int32_t(MaxIterations),
                   int32_t(MaxFans),
                   AutosaveMinutes,
                   int32_t(FontScale),
                   int32_t(UnderlyingResistanceOff)})
        bits(out, v);
    for (bool v : {ScreenBuffer, AutoInfo, LayerInheritance, PropertyInheritance})
        bits(out, v);
    for (float v : {PowerZoomSpeed, TiltSpeed, SpinSpeed, DefaultDriveHeight, DefaultDriveWidth,
                    DefaultRaiseDiameter, DefaultArea, DefaultPerimeter, DefaultShockLength,
                    DefaultScaleWidth, DefaultCentreX, DefaultCentreY, MaxError, AirDensity, SurfacePressure,
                    PowerCost, AirPowerEfficiency, SurfacePressureRL})
        bits(out, v);
    bits(out, GridSpacing);
    for (int i = 0; i < 8; ++i)
        bits(out, ColourTable(i));
    for (int i = 0; i < 50; ++i) {
        bits(out, WallTypeFactor(i));
        bits(out, ShockTypeLength(i));
        bits(out, ResistanceTypeValue(i));
        out << WallTypeName(i) << '|' << ShockTypeName(i) << '|' << ResistanceTypeName(i) << '|';
    }
    for (int q = 1; q <= 15; ++q) {
        bits(out, UnitFactor(q, 2));
        out << UnitText(q, 3) << '|' << UnitText(q, 4) << '|';
    }
    for (int c = 1; c <= 4; ++c) {
        bits(out, FontSize(c));
        bits(out, FontBold(c));
    }
    for (int c = 0; c <= 6; ++c) {
        bits(out, IconSize(c));
        bits(out, IconScale(c));
    }
    return out.str();
}

} // namespace

TEST_F(OptionsTest, OkWithoutEditsKeepsEverySettingExactlyAlsoThroughBothUnitSystems) {
    // Values the boxes show rounded, in every numeric box.
    PickDivisor = 400;
    AirPowerEfficiency = 0.855f;
    AirDensity = 1.2034567f;
    DefaultDriveHeight = 3.333333f;
    DefaultDriveWidth = 10.0f / 3;
    DefaultRaiseDiameter = 2.3456789f;
    DefaultArea = 25.55555f;
    DefaultPerimeter = 20.123456f;
    SurfacePressure = 101.32501f;
    SurfacePressureRL = 1234.5678f;
    GridSpacing = 50.0 / 3;
    DefaultScaleWidth = 1000.0f / 3;
    DefaultCentreX = 1234.5678f;
    MaxError = 0.0512345f;
    PowerCost = 0.0812345f;
    TiltSpeed = 10.0f / 3;
    WallTypeFactor(4) = 0.0123456f;
    ShockTypeLength(3) = 7.654321f;
    FontSize(1) = 9;
    FontBold(1) = -1;
    IconScale(3) = 0;
    ResistanceTypeValue(3) = 0.0123457f;
    RealtimeEnabled = -1;
    const std::string before = settingsBits();
    DefaultsSaved = 255;
    Open();
    dialog->CmbIcon->SetListIndex(3); // the refill must not give it class 0's scale flag
    dialog->OptUnitType[1]->click();
    EXPECT_EQ(UnitSystem, 2);
    dialog->OptUnitType[0]->click();
    EXPECT_EQ(UnitSystem, 1);
    Ok();
    EXPECT_EQ(settingsBits(), before);
    EXPECT_EQ(DefaultsSaved, 0);
    EXPECT_TRUE(boxes.Shown().empty());
}

// Each checked field of the settings dialog, typed as a keyboard types it: a value its rule refuses (as
// the setting keeps it) keeps the dialog open with every setting as it was; an accepted one is stored as
// typed.
TEST_F(OptionsTest, EveryCheckedFieldStoresWhatIsTypedOrRefusesItAndStoresNothing) {
    const char *const texts[] = {"NaN", "inf", "1e39", "1e", "5,5", "-5", "1e-46", "0"};
    constexpr std::nullopt_t no = std::nullopt;
    using Stored = std::array<std::optional<double>, 8>;
    const Stored none{no, no, no, no, no, no, no, no}, above0{no, no, no, no, 5.5, no, no, no},
        from0{no, no, no, no, 5.5, no, 0, 0}, any{no, no, no, no, 5.5, -5, 0, 0};
    const struct {
        VBTextBox *frmOptions::*box;
        std::function<double()> setting;
        Stored expected;
    } fields[] = {
        {&frmOptions::TxtCd, [] { return MinNodeSpacing; }, none},
        {&frmOptions::TxtTol, [] { return PickDivisor; }, {no, no, no, no, 18, no, no, no}},
        {&frmOptions::TxtPowerZoom, [] { return PowerZoomSpeed; }, above0},
        {&frmOptions::TxtTilt, [] { return TiltSpeed; }, above0},
        {&frmOptions::TxtSpin, [] { return SpinSpeed; }, above0},
        {&frmOptions::TxtMj, [] { return GridSpacing; }, above0},
        {&frmOptions::Txtgwidth, [] { return DefaultScaleWidth; }, above0},
        {&frmOptions::Txtgx, [] { return DefaultCentreX; }, from0},
        {&frmOptions::txtIt, [] { return MaxIterations; }, none},
        {&frmOptions::txtMe, [] { return MaxError; }, none},
        {&frmOptions::TxtDensity, [] { return AirDensity; }, above0},
        {&frmOptions::TxtAirP, [] { return SurfacePressure; }, from0},
        {&frmOptions::TxtCost, [] { return PowerCost; }, above0},
        {&frmOptions::TxtEff, [] { return AirPowerEfficiency; }, {no, no, no, no, 0.055, no, no, no}},
        {&frmOptions::TxtFanMax, [] { return MaxFans; }, none},
        {&frmOptions::TxtAirRL, [] { return SurfacePressureRL; }, any},
        {&frmOptions::TxtVPart, [] { return DefaultCurvePercent; }, {no, no, no, no, no, no, no, 0}},
        {&frmOptions::txtHeight, [] { return DefaultDriveHeight; }, above0},
        {&frmOptions::TxtDiam, [] { return DefaultRaiseDiameter; }, above0},
        {&frmOptions::TxtArea, [] { return DefaultArea; }, above0},
    };
    for (const auto &f : fields)
        for (size_t t = 0; t < std::size(texts); ++t) {
            Open();
            // The combined curve shows the percentage box.
            QTest::mouseClick(dialog->Optcurve[2], Qt::LeftButton, {},
                              QPoint(6, dialog->Optcurve[2]->height() / 2));
            const std::string before = settingsBits();
            DefaultsSaved = 255;
            VBTextBox *box = dialog.data()->*f.box;
            box->selectAll();
            RealKeys::Type(box, texts[t]);
            const std::string what = box->objectName().toStdString() + " " + texts[t];
            if (!f.expected[t])
                boxes.Expect(VB::vbOK, "must be a");
            QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
            if (f.expected[t]) {
                EXPECT_FLOAT_EQ(static_cast<float>(f.setting()), static_cast<float>(*f.expected[t])) << what;
                continue;
            }
            EXPECT_TRUE(dialog->isVisible()) << what;
            EXPECT_EQ(settingsBits(), before) << what;
            EXPECT_EQ(DefaultsSaved, 255) << what;
            dialog->cmdCancel_Click();
        }
    EXPECT_TRUE(boxes.Done());
}

TEST_F(OptionsTest, TheEfficiencyShowsTheWholePercentItWasGiven) {
    const struct {
        float efficiency;
        const char *shown;
    } cases[] = {{0.53f, "53"}, {0.59f, "59"}, {0.855f, "85"}, {1.0f, "100"}};
    for (const auto &c : cases) {
        AirPowerEfficiency = c.efficiency;
        Open();
        EXPECT_EQ(dialog->TxtEff->Text(), c.shown) << c.efficiency;
        Ok();
    }
}

TEST_F(OptionsTest, EveryLimitRefusesValuesOutsideAndStoresValuesInside) {
    struct Row {
        VBTextBox *frmOptions::*box;
        const char *outside, *inside, *message;
        std::function<double()> setting;
        double stored;
    };
    const std::vector<Row> rows = {
        {&frmOptions::TxtCd, "101", "1", "Divisions", [] { return MinNodeSpacing; }, 1},
        {&frmOptions::TxtTol, "0.24", "20", ".25% and 20%", [] { return PickDivisor; }, 5},
        {&frmOptions::TxtPowerZoom, "0", "200", "Power Zoom", [] { return PowerZoomSpeed; }, 200},
        {&frmOptions::TxtTilt, "45.5", "45", "Tilt rotation", [] { return TiltSpeed; }, 45},
        {&frmOptions::TxtSpin, "0", "0.5", "Spin rotation", [] { return SpinSpeed; }, 0.5},
        {&frmOptions::TxtMj, "4", "5", "Major Grid Size", [] { return GridSpacing; }, 5},
        {&frmOptions::Txtgwidth, "10001", "10000", "Major Grid Width", [] { return DefaultScaleWidth; },
         10000},
        {&frmOptions::Txtgx, "-1", "0", "Grid Exceeded", [] { return DefaultCentreX; }, 0},
        {&frmOptions::Txtgy, "1000000001", "1000000000", "Grid Exceeded", [] { return DefaultCentreY; }, 1e9},
        {&frmOptions::txtIt, "abc", "5000", "Iterations", [] { return MaxIterations; }, 5000},
        {&frmOptions::txtMe, "0.00009", "0.0001", "Errors", [] { return MaxError; }, 0.0001f},
        {&frmOptions::TxtDensity, "2001", "2000", "Density", [] { return AirDensity; }, 2000},
        {&frmOptions::TxtAirP, "10001", "0", "Air Pressure", [] { return SurfacePressure; }, 0},
        {&frmOptions::TxtCost, "0", "1000", "Cost", [] { return PowerCost; }, 1000},
        {&frmOptions::TxtEff, "101", "100", "Efficiency", [] { return AirPowerEfficiency; }, 1},
        {&frmOptions::TxtFanMax, "10", "11", "Fan Types", [] { return MaxFans; }, 11},
        {&frmOptions::TxtAirRL, "10000001", "-9999999", "RL's", [] { return SurfacePressureRL; }, -9999999},
    };
    std::vector<double> start;
    for (const Row &r : rows)
        start.push_back(r.setting());
    // A value outside keeps the dialog open on its box and stores nothing, not even the other fields.
    const float height = DefaultDriveHeight;
    for (const Row &r : rows) {
        Open();
        (dialog->*r.box)->SetText(r.outside);
        dialog->txtHeight->SetText("2.5");
        boxes.Expect(VB::vbOK, r.message);
        dialog->cmdOK_Click();
        EXPECT_TRUE(dialog->isVisible()) << r.outside;
        EXPECT_EQ((dialog->*r.box)->SelLength(), static_cast<int>(std::strlen(r.outside))) << "selected";
        dialog->cmdCancel_Click();
    }
    EXPECT_TRUE(boxes.Done());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].setting(), start[i]) << rows[i].outside;
    EXPECT_EQ(DefaultDriveHeight, height);

    const int a = AddAirway(0, 0, 100, 100, 0, 100);
    CalcAllAirways();
    const float resistance = AirwayResistance(a);
    Open();
    for (const Row &r : rows)
        (dialog->*r.box)->SetText(r.inside);
    Ok();
    EXPECT_TRUE(boxes.Shown().size() == rows.size()) << "no new message";
    EXPECT_NE(AirwayResistance(a), resistance) << "the new density reaches the airways";
    for (const Row &r : rows)
        EXPECT_FLOAT_EQ(static_cast<float>(r.setting()), static_cast<float>(r.stored)) << r.inside;
}

TEST_F(OptionsTest, AMaxAllowableErrorFinerThanTheFlowsHoldSaysWhatRunsRaiseItTo) {
    // Singles between 4096 and 8192 lie 2^-11 m³/s apart.
    AirwayFlow(AddAirway(0, 0, 100, 100, 0, 100)) = -5000;
    Open();
    dialog->txtMe->SetText("0.0004");
    boxes.Expect(VB::vbOK, "runs raise it to 0.0004882812 m3/s");
    Ok();
    EXPECT_TRUE(boxes.Done());
    EXPECT_FLOAT_EQ(MaxError, 0.0004f); // kept as typed
}

TEST_F(OptionsTest, BritishDensityIsShownAndTypedInPoundsPerCubicFoot) {
    const double lbPerFt3 = 0.3048 * 0.3048 * 0.3048 / 0.45359237; // in 1 kg/m³
    const int a = AddAirway(0, 0, 100, 100, 0, 100);
    AirDensity = 1.2f;
    CalcAllAirways();
    const float resistance = AirwayResistance(a);
    Open();
    dialog->SSTab1->setCurrentIndex(1); // Simulation
    dialog->OptUnitType[1]->click();
    EXPECT_EQ(dialog->SSTab1->currentIndex(), 1);
    EXPECT_EQ(dialog->LblUnit[0]->text(), "lb/ft3");
    EXPECT_NEAR(std::stod(dialog->TxtDensity->Text()), 1.2 * lbPerFt3, 5e-5);
    dialog->TxtDensity->selectAll();
    RealKeys::Type(dialog->TxtDensity, "0.075");
    Ok();
    EXPECT_NEAR(AirDensity, 0.075 / lbPerFt3, 1e-5);
    // Every resistance follows the density in proportion.
    EXPECT_NEAR(AirwayResistance(a) / resistance, AirDensity / 1.2, 1e-5);
}

TEST_F(OptionsTest, AutosaveAndTheRealtimeMenus) {
    struct Case {
        bool ticked;
        const char *minutes;
        int32_t stored;
        bool timer;
        int interval;
    };
    for (const Case &c :
         {Case{true, "25", 10, true, 60000}, Case{false, "5", 0, false, 0}, Case{true, "0", 0, false, 0}}) {
        Open();
        dialog->ChkSaveTime->SetValue(c.ticked);
        dialog->txtsavetime->SetText(c.minutes);
        dialog->ChkRemote->SetValue(c.ticked);
        Ok();
        EXPECT_EQ(AutosaveMinutes, c.stored) << c.minutes;
        EXPECT_EQ(shell.autosaveEnabled, c.timer) << c.minutes;
        if (c.timer) {
            EXPECT_EQ(shell.autosaveInterval, c.interval);
        }
        EXPECT_EQ(shell.remoteMenus, c.ticked);
    }
}

TEST_F(OptionsTest, PresetsAreRenamedByTheirNumberStoredPositiveAndReachTheAirways) {
    const int a = AddAirway(0, 0, 100, 100, 0, 100);
    AirwayWallType(a) = 4;
    CalcAllAirways();
    const float resistance = AirwayResistance(a);
    ResistanceTypeName(3) = "Door frame";
    Open();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    dialog->CmbRes->SetListIndex(2);
    EXPECT_EQ(dialog->TxtR->Text(), "2");
    // Keys go where the keyboard sends them; a name is neither completed from the list nor takes a comma,
    // however it arrives.
    dialog->CmbRes->setFocus();
    dialog->CmbRes->lineEdit()->selectAll();
    RealKeys::Type(nullptr, "Do,or\r");
    dialog->CmbWall->setFocus();
    dialog->CmbWall->SetListIndex(6);
    dialog->CmbWall->lineEdit()->selectAll();
    QGuiApplication::clipboard()->setText("Main, shaft");
    RealKeys::Click(nullptr, Qt::Key_V, Qt::ControlModifier);
    RealKeys::Click(nullptr, Qt::Key_Return);
    // A negative value is refused (said, and the box shows the preset again); a value in range is kept.
    boxes.Expect(VB::vbOK, "Resistance must be a number from 0");
    dialog->TxtRes->SetText("-3");
    RealKeys::Click(dialog->TxtRes, Qt::Key_Return);
    EXPECT_EQ(dialog->TxtRes->Text(), "10");
    dialog->TxtRes->SetText("3");
    RealKeys::Click(dialog->TxtRes, Qt::Key_Return);
    dialog->CmbShock->setItemText(5, "UnDefined");
    dialog->CmbWall->SetListIndex(4);
    dialog->TxtWallC->SetText("0.02");
    RealKeys::Click(dialog->TxtWallC, Qt::Key_Return);
    Ok();
    EXPECT_EQ(ResistanceTypeName(2), "Door");
    EXPECT_EQ(ResistanceTypeName(3), "Door frame");
    EXPECT_EQ(WallTypeName(6), "Main shaft");
    EXPECT_FLOAT_EQ(ResistanceTypeValue(2), 3);
    EXPECT_EQ(ShockTypeName(5), "");
    EXPECT_FLOAT_EQ(WallTypeFactor(4), 0.02f);
    EXPECT_NE(AirwayResistance(a), resistance);

    // Cancel drops every preset edit.
    Open();
    dialog->CmbRes->SetListIndex(2);
    dialog->TxtRes->SetText("7");
    RealKeys::Click(dialog->TxtRes, Qt::Key_Return);
    dialog->cmdCancel_Click();
    EXPECT_FLOAT_EQ(ResistanceTypeValue(2), 3);

    // Presets loaded with a network while the dialog is open stay: OK stores only the presets edited.
    Open();
    WallTypeFactor(7) = 0.5f;
    ResistanceTypeName(9) = "Loaded";
    Ok();
    EXPECT_FLOAT_EQ(WallTypeFactor(7), 0.5f);
    EXPECT_EQ(ResistanceTypeName(9), "Loaded");
}

TEST_F(OptionsTest, TheUnitGridChecksFormatsAndFactors) {
    Open();
    VBGrid &g = *dialog->MSFlexGrid1;
    dialog->SSTab1->setCurrentIndex(6); // the Units tab
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    g.SetFocus();
    const auto type = [&](int row, int col, const char *text) {
        g.SetRow(row);
        g.SetCol(col);
        QTest::keyClicks(&g, QString(text).left(1));
        QTest::keyClicks(dialog->TxtEdit, QString(text).mid(1));
        RealKeys::Click(dialog->TxtEdit, Qt::Key_Return);
    };
    type(1, 1, "0.000");
    EXPECT_EQ(g.TextMatrix(1, 1), "0.000");
    boxes.Expect(VB::vbOK, "Invalid format code");
    type(2, 1, "abc");
    EXPECT_EQ(g.TextMatrix(2, 1), "0.0");
    boxes.Expect(VB::vbOK, "Invalid format code");
    type(15, 3, "xyz"); // Enter on the last row moves nowhere
    EXPECT_EQ(g.TextMatrix(15, 3), "0");
    for (int col : {2, 4, 5}) {
        g.SetRow(3);
        g.SetCol(col);
        QTest::keyClick(&g, Qt::Key_7);
        EXPECT_FALSE(dialog->TxtEdit->isVisible()) << col;
    }
    // Delete types nothing into a cell; Esc in the edit box drops that cell's edit and the dialog stays.
    g.SetCol(1);
    RealKeys::Click(&g, Qt::Key_Delete);
    EXPECT_FALSE(dialog->TxtEdit->isVisible());
    RealKeys::Type(&g, "9");
    RealKeys::Click(dialog->TxtEdit, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(g.TextMatrix(3, 1), "0.0");
    const auto doubleClickType = [&](int row, int col, const char *text) {
        g.SetRow(row);
        g.SetCol(col);
        g.CellLeft();
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, g.CellRect(row, col).center());
        dialog->TxtEdit->selectAll();
        QTest::keyClicks(dialog->TxtEdit, text);
        RealKeys::Click(dialog->TxtEdit, Qt::Key_Return);
    };
    doubleClickType(4, 5, "0,3");
    boxes.Expect(VB::vbOK, "Invalid format code").Expect(VB::vbOK, "Invalid format code");
    doubleClickType(5, 5, "0");
    doubleClickType(6, 5, "x");
    doubleClickType(7, 2, "kilowatt");
    // An entry left open on its tab is committed by OK.
    g.SetRow(14);
    g.SetCol(1);
    QTest::keyClicks(&g, "0");
    QTest::keyClicks(dialog->TxtEdit, ".00");
    dialog->SSTab1->setCurrentIndex(0);
    Ok();
    EXPECT_EQ(UnitText(1, 3), "0.000");
    EXPECT_EQ(FormatValue(12.5f, 1, 0, 0), "12.500");
    EXPECT_FLOAT_EQ(UnitFactor(4, 2), 0.3f);
    EXPECT_FLOAT_EQ(UnitFactor(5, 2), 0.8942f);
    EXPECT_EQ(UnitText(7, 1), "kW");
    EXPECT_EQ(UnitText(14, 3), "0.00");
    EXPECT_TRUE(boxes.Done());
}

TEST_F(OptionsTest, FontSizeListsHoldEverySizeAndShowTheStoredOneEvenOutsideThem) {
    const int stored[5] = {0, 9, 0, 48, 40}; // text classes 1 .. 4; 0 and 48 come from older files
    for (int k = 1; k <= 4; ++k)
        FontSize(k) = stored[k];
    Open();
    for (int k = 1; k <= 4; ++k) {
        dialog->CmbFonts->SetListIndex(k - 1);
        EXPECT_EQ(dialog->CmbFontSize->currentText().toStdString(), std::to_string(stored[k])) << k;
    }
    dialog->CmbFonts->SetListIndex(0);
    QStringList listed;
    for (int i = 0; i < dialog->CmbFontSize->count(); ++i)
        listed << dialog->CmbFontSize->itemText(i);
    QStringList everySize;
    for (int size = 6; size <= 40; ++size)
        everySize << QString::number(size);
    EXPECT_EQ(listed.join(' ').toStdString(), everySize.join(' ').toStdString());
    dialog->CmbFontSize->SetListIndex(dialog->CmbFontSize->findText("7"));
    Ok();
    EXPECT_EQ(FontSize(1), 7);
    for (int k = 2; k <= 4; ++k)
        EXPECT_EQ(FontSize(k), stored[k]) << k;
}

TEST_F(OptionsTest, ImmediateControlsActAtOnceAndCancelKeepsThem) {
    FontBold(1) = 0;
    FontSize(1) = 10;
    DefaultCurvePercent = 100;
    Open();
    dialog->CmbFonts->SetListIndex(0);
    dialog->CmbFontSize->SetListIndex(0);
    EXPECT_EQ(FontSize(1), 6);
    dialog->ChkFontBold->click();
    dialog->Optcurve[2]->click();
    EXPECT_EQ(dialog->TxtVPart->Text(), "50");
    EXPECT_EQ(DefaultCurvePercent, 50);
    dialog->Col_Click(5);
    dialog->Frame3D2_MouseDown(0.2);
    EXPECT_EQ(dialog->Col[5]->property("colour").toInt(), PictureBox::QBColor(0));
    dialog->Frame3D2_MouseDown(17);
    EXPECT_EQ(dialog->Col[5]->property("colour").toInt(), PictureBox::QBColor(15));
    dialog->OptColour[1]->click();
    EXPECT_EQ(dialog->ColCaption[0]->text(), "Unspecified Airways");
    EXPECT_EQ(dialog->ColCaption[2]->text(), "Fresh Air Airways");
    dialog->OptColour[0]->click();
    EXPECT_EQ(dialog->ColCaption[1]->text(), "Below Level Airways");
    const int32_t colour = ColourTable(5);
    dialog->cmdCancel_Click();
    EXPECT_EQ(FontBold(1), 1);
    EXPECT_EQ(DefaultCurvePercent, 50);
    EXPECT_EQ(ColourTable(5), colour); // swatches wait for OK

    // Back from the combined curve to the static curve shown when filling: OK stores the static curve.
    DefaultCurvePercent = 0;
    ScrollZoomOff = 0;
    Open();
    dialog->Optcurve[2]->click();
    dialog->Optcurve[0]->click();
    dialog->ChkScroll->click();
    Ok();
    EXPECT_EQ(DefaultCurvePercent, 0);
    EXPECT_NE(ScrollZoomOff, 0);
}

TEST_F(OptionsTest, FanCapacityCannotDropBelowAFanInUseAndGrowsTheFanArrays) {
    const int a = AddAirway(0, 0, 100, 100, 0, 100);
    AirwayFan(a) = 40;
    Open();
    dialog->TxtFanMax->SetText("30");
    boxes.Expect(VB::vbOK, "Limits of Allowable Fan Types Exceeded");
    dialog->cmdOK_Click();
    EXPECT_EQ(MaxFans, 250);
    dialog->cmdCancel_Click();
    Open();
    dialog->TxtFanMax->SetText("400");
    Ok();
    EXPECT_EQ(MaxFans, 400);
    EXPECT_EQ(FanName.UBound(), 400);
}

TEST_F(OptionsTest, WhileARunIsBusyOkAndTheUnitButtonsStoreNothing) {
    Open();
    dialog->txtIt->SetText("77");
    VB::BusyScope run;
    dialog->OptUnitType[1]->click();
    dialog->cmdOK_Click();
    EXPECT_EQ(UnitSystem, 1);
    EXPECT_NE(MaxIterations, 77);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->OptUnitType[0]->Value());
}

TEST_F(OptionsTest, AReversedAxisTurnsTheViewToAPlanOnTheNextOkAlsoAfterCancel) {
    Tilt = 0.5f;
    Spin = 0.3f;
    ViewIs3D = 1;
    AxisSignX = -1; // filling ticks the box, which marks no change
    Open();
    Ok();
    EXPECT_EQ(ViewIs3D, 1);
    Open();
    dialog->ChkVert->click();
    dialog->cmdCancel_Click();
    EXPECT_EQ(ViewIs3D, 1);
    Open();
    Ok();
    EXPECT_EQ(AxisSignY, 1);
    EXPECT_EQ(Tilt, 0);
    EXPECT_EQ(Spin, 0);
    EXPECT_EQ(ViewIs3D, 0);
}
