// The drawing import: TXT tables and DXF drawings become airways, with their levels.
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "exchange/dxf_reader.h"
#include "exchange/dxf_writer.h"
#include "exchange/export.h"
#include "exchange/frmImport.h"
#include "exchange/import.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/geometry.h"
#include "model/units.h"
#include "platform/Busy.h"
#include "platform/PictureBox.h"
#include "platform/System.h"
#include "platform/VBControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

namespace {

constexpr const char *Heading =
    "X1\tY1\tZ1\tX2\tY2\tZ2\tQUANTITY\tRESISTANCE\tFAN TYPE\tNO FANS\tBRANCH NAME\t"
    "ENTRY NODE\tEXIT NODE\tHEIGHT\tWIDTH/DIAM\tAirway No";

// One TXT data line from its sixteen fields.
std::string row(std::initializer_list<std::string> fields) {
    std::string line;
    for (const auto &f : fields)
        line += (line.empty() ? "" : "\t") + f;
    return line;
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ImportTest : public ModelTest {
protected:
    PictureBox picture{400, 300};
    ScriptedDialogs unexpectedBoxes; // fails a test on any box it does not script itself

    void SetUp() override {
        ModelTest::SetUp();
        SetBuiltInUnits();
        UnitSystem = 1;
        VB::SetLocaleDecimalSeparatorOverride('.');
        picture.ScaleWidth = 400;
        picture.ScaleHeight = 300;
        picture.ScaleLeft = -200;
        picture.ScaleTop = -150;
        SetWindowPicture(0, &picture);
        ActiveWindow = 0;
        ViewMode = 4;
        NetworkSaved = 255;
        CoordinateWarningShown = false;
    }
    void TearDown() override {
        VB::SetModalDriver({});
        VB::SetLocaleDecimalSeparatorOverride(0);
        SetWindowPicture(0, nullptr);
        ActiveWindow = -1;
    }

    // Imports a file; the network counts as saved, so nothing asks first.
    static ImportOutcome ImportPath(const std::string &path, ImportOptions options = {}) {
        ImportFileName = path;
        NetworkSaved = 255;
        return ImportNetwork(options, {});
    }
    ImportOutcome Import(const std::string &name, const std::string &bytes, ImportOptions options = {}) {
        folder.Write(name, bytes);
        return ImportPath(folder.path() + name, options);
    }
    ImportOutcome ImportText(std::initializer_list<std::string> lines, ImportOptions options = {}) {
        std::string bytes = Heading;
        for (const auto &l : lines)
            bytes += "\r\n" + l;
        return Import("net.txt", bytes, options);
    }
    // The flags without the layer-visible mark of the visible list.
    static int32_t Shape(int a) { return AirwayFlags(a) & ~AirwayFlag::LayerVisible; }
    static std::array<int32_t, 6> Ends(int a) {
        return {AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a),
                AirwayEnd(1, a),   AirwayEnd(2, a),   AirwayEnd(3, a)};
    }
};

} // namespace

TEST_F(ImportTest, TextLinesBecomeNewAirwaysWithTheNewAirwaySettings) {
    AddAirway(0, 0, 0, 1, 0, 0);
    FanName(2) = "Booster";
    NextAirwayNumber = 40;
    // A drive with sizes, a steep airway without sizes, a fan airway; the last line has no line end.
    ASSERT_EQ(
        ImportText({row({"0", "0", "-100", "50", "0", "-100", "12.5", ".5", "0", "0", " Main ", "A", "B", "3",
                         "4", "7"}),
                    row({"50", "0", "-100", "50", "0", "0", "0", "0", "0", "0", "", "", "", "0", "0", "8"}),
                    row({"50", "0", "0", "60", "0", "0", "0", "0", "2", "1", "", "", "", "", "", ""})}),
        ImportOutcome::Imported);
    ASSERT_EQ(AirwayCount, 3); // replaced
    EXPECT_EQ(Ends(1), (std::array<int32_t, 6>{0, 0, -100, 50, 0, -100}));
    EXPECT_EQ(AirwayName(1).trimmed(), "Main");
    EXPECT_EQ(AirwayFlow(1), 12.5f);
    EXPECT_EQ(Shape(1), AirwayFlag::Rectangular);
    EXPECT_EQ(AirwaySize(1, 1), 3);
    EXPECT_EQ(Shape(2), AirwayFlag::Round);
    EXPECT_EQ(AirwaySize(2, 2), DefaultRaiseDiameter);
    EXPECT_EQ(AirwayWallType(2), DefaultRaiseWallType);
    EXPECT_EQ(Shape(3), AirwayFlag::Rectangular | AirwayFlag::FansInSeries);
    EXPECT_EQ(AirwaySize(1, 3), DefaultDriveHeight);
    EXPECT_EQ(AirwayNumber(1), 41); // numbered on from the program's counter
    EXPECT_EQ(AirwayNumber(3), 43);
    EXPECT_GT(AirwayLength(1), 49); // computed
    EXPECT_EQ(NetworkSaved, 0);
    EXPECT_EQ(shell.simCaption, "SIM");
    EXPECT_EQ(VB::ScreenPointer(), VB::vbHourglass); // the dialog's caller restores it

    // Forced common size and default areas, merged after the three.
    UseDefaultArea = 1;
    DefaultArea = 20;
    DefaultPerimeter = 18;
    ImportOptions merge;
    merge.merge = true;
    merge.forceCommonSize = true;
    ImportText({row({"5", "5", "-10", "5", "5", "-100"})}, merge);
    ASSERT_EQ(AirwayCount, 4);
    EXPECT_EQ(Shape(4), AirwayFlag::Irregular);
    EXPECT_EQ(AirwaySize(2, 4), 20);
    UseDefaultArea = 0;
    ImportText({row({"5", "5", "-10", "5", "5", "-100"}),
                row({"1", "5", "-10", "1", "5", "-100", "", "", "", "", "", "", "", "5"})},
               merge);
    EXPECT_EQ(Shape(5), AirwayFlag::Rectangular);
    EXPECT_EQ(AirwaySize(1, 5), DefaultDriveHeight);
    // A height without a width is a drive of the default width.
    EXPECT_EQ(Shape(6), AirwayFlag::Rectangular);
    EXPECT_EQ(AirwaySize(2, 6), DefaultDriveWidth);
}

TEST_F(ImportTest, OffsetsAndSignsMoveTheNewAirwaysOnly) {
    AddAirway(50, 0, 0, 60, 0, 0);
    ImportOptions o;
    o.merge = true;
    o.xOffset = "100";
    o.negateX = true;
    o.zOffset = "";
    o.yOffset = "2,5"; // the locale's mark or "."
    VB::SetLocaleDecimalSeparatorOverride(',');
    ImportText({row({"50", "0", "0", "60", "0", "0"})}, o);
    EXPECT_EQ(Ends(1), (std::array<int32_t, 6>{50, 0, 0, 60, 0, 0}));
    EXPECT_EQ(Ends(2), (std::array<int32_t, 6>{-150, 2, 0, -160, 2, 0}));

    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Offsets must be numbers");
    o.zOffset = "ten";
    EXPECT_EQ(ImportText({row({"1", "0", "0", "2", "0", "0"})}, o), ImportOutcome::OffsetsInvalid);
    EXPECT_EQ(AirwayCount, 2);
    // The dialog stays open on that offset.
    boxes.Expect(VB::vbOK, "Offsets must be numbers");
    frmImport dialog;
    dialog.show();
    dialog.TxtYOffset->setText("ten");
    dialog.Import->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.TxtYOffset->selectedText(), "ten");
    boxes.Expect(VB::vbOK, "Only .TXT and .DXF files can be imported");
    EXPECT_EQ(Import("net.csv", "", {}), ImportOutcome::Unchanged);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(ImportTest, ExportedNetworkComesBackAlike) {
    for (const int system : {1, 2}) {
        ClearNetwork();
        FanName(3) = "Booster";
        UnitSystem = system;
        const int a = AddAirway(-123, 456, -100, 200, 456, -100);
        AirwayName(a) = "Drive 1";
        AirwayStartName(a) = "N1";
        AirwayEndName(a) = "N2";
        AirwayFan(a) = 3;
        AirwayFanCount(a) = 2;
        AirwaySize(1, a) = 3.5f;
        AirwaySize(2, a) = 4.5f;
        AirwayFlags(a) |= AirwayFlag::FixedFlow; // and two fans side by side
        const int r = AddAirway(200, 456, -100, 200, 456, -300);
        AirwayFlags(r) = AirwayFlag::Round;
        AirwaySize(1, r) = 0;
        AirwaySize(2, r) = 3;
        AirwayFan(r) = -1;
        AirwayPressure(r) = 300;
        const std::string bytes = ExportTextBytes();
        ASSERT_EQ(Import("round.txt", bytes), ImportOutcome::Imported);
        ASSERT_EQ(AirwayCount, 2);
        EXPECT_EQ(Ends(1), (std::array<int32_t, 6>{-123, 456, -100, 200, 456, -100})) << system;
        EXPECT_EQ(Ends(2), (std::array<int32_t, 6>{200, 456, -100, 200, 456, -300})) << system;
        EXPECT_EQ(AirwayName(1).trimmed() + AirwayStartName(1).trimmed() + AirwayEndName(1).trimmed(),
                  "Drive 1N1N2");
        EXPECT_EQ(AirwayFan(1), 3);
        EXPECT_EQ(AirwayFanCount(1), 2);
        EXPECT_NEAR(AirwaySize(1, 1), 3.5, 1e-4) << system;
        EXPECT_NEAR(AirwaySize(2, 1), 4.5, 1e-4) << system;
        EXPECT_EQ(Shape(1), AirwayFlag::Rectangular | AirwayFlag::FixedFlow);
        EXPECT_EQ(Shape(2), AirwayFlag::Round);
        EXPECT_NEAR(AirwaySize(2, 2), 3, 1e-4) << system;
        EXPECT_NEAR(AirwayPressure(2), 300, 1e-3) << system;
    }
}

TEST_F(ImportTest, ExportedMineComesBackWithEveryResistance) {
    // Export Data > TXT file, then Import Data with both Retain boxes ticked: the file's readers solve with
    // the resistances, so each must come back to within the single precision it was printed with.
    VB::SetModalDriver([](QDialog &d) {
        auto &f = static_cast<frmImport &>(d);
        QTest::mouseClick(f.ChkRDrive, Qt::LeftButton);
        QTest::mouseClick(f.ChkRRaise, Qt::LeftButton);
        QTest::mouseClick(f.Import, Qt::LeftButton);
    });
    for (const int system : {1, 2}) {
        GenerateMultiLevelMine(2000, 17);
        UnitSystem = system;
        std::vector<float> before;
        for (int a = 1; a <= AirwayCount; ++a)
            before.push_back(AirwayResistance(a));
        const std::string path = folder.path() + "mine.txt";
        {
            ScriptedDialogs boxes;
            boxes.ExpectFile(path);
            ExportMode = 0;
            ExportNetwork();
        }
        ImportFileName = path;
        NetworkSaved = 255;
        frmImport dialog;
        ASSERT_EQ(VB::ShowModal(dialog), QDialog::Accepted);
        ASSERT_EQ(AirwayCount, static_cast<int>(before.size()));
        int off = 0;
        for (int a = 1; a <= AirwayCount; ++a) {
            const double was = before[static_cast<std::size_t>(a - 1)];
            if (std::fabs(AirwayResistance(a) - was) > 1e-6 * std::fabs(was) && ++off <= 3)
                ADD_FAILURE() << "system " << system << ", airway " << a << ": " << was << " came back as "
                              << AirwayResistance(a);
        }
        EXPECT_EQ(off, 0) << "system " << system;
    }
}

TEST_F(ImportTest, RetainKeepsOnlyResistancesTheFileGave) {
    for (const bool retain : {true, false}) {
        ImportOptions o;
        o.retainDriveResistance = o.retainRaiseResistance = retain;
        ImportText({row({"5", "5", "-10", "100", "5", "-10", "0", ".25", "0", "0", "", "", "", "4", "4"})},
                   o);
        EXPECT_EQ(AirwayResistance(1) == 0.25f, retain);
        EXPECT_EQ(AirwayResistanceType(1), retain ? TypedPreset : 0);
    }
    ImportOptions o;
    o.retainDriveResistance = true;
    Import("line.dxf", "0\nLINE\n10\n5\n11\n100\n0\nEOF\n", o);
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayResistanceType(1), 0);
    EXPECT_GT(AirwayResistance(1), 0);
}

TEST_F(ImportTest, RetainRaiseAndRetainDriveEachKeepTheResistanceOfTheirOwnShapeOnly) {
    const struct { bool raise, drive; } ticked[] = {{true, false}, {false, true}};
    for (const auto &t : ticked) {
        ImportOptions o;
        o.retainRaiseResistance = t.raise;
        o.retainDriveResistance = t.drive;
        // A raise of 3 m diameter and a 4 by 4 m drive, each given 0.25 Ns²/m⁸ by the file.
        ImportText({row({"5", "5", "-10", "5", "50", "-200", "0", ".25", "0", "0", "", "", "", "0", "3"}),
                    row({"5", "5", "-10", "100", "5", "-10", "0", ".25", "0", "0", "", "", "", "4", "4"})},
                   o);
        ASSERT_EQ(AirwayCount, 2);
        ASSERT_NE(Shape(1) & AirwayFlag::Round, 0);
        EXPECT_EQ(AirwayResistance(1) == 0.25f, t.raise) << "raise, Retain Raise " << t.raise;
        EXPECT_EQ(AirwayResistance(2) == 0.25f, t.drive) << "drive, Retain Drive " << t.drive;
    }
}

TEST_F(ImportTest, TextRowsWithTextInNumberColumnsAreLeftOutAndListed) {
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Lines: 3");
    // A label in the "Airway No" column, which is not read, refuses nothing.
    ImportText({row({"5", "0", "-10", "10,5", "0", "-10"}), row({"5", "0", "-10", "#VALUE!", "0", "-10"}),
                row({"5", "", "-10", "20", "0", "-10", "", "", "", "", "", "", "", "", "", "B-12"})});
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_EQ(AirwayEnd(1, 1), 10); // 10.5 halves to even
    EXPECT_EQ(AirwayEnd(1, 2), 20);

    // A replacing import that reads no airway leaves the network as it was, and says so.
    boxes.Expect(VB::vbOK, "Lines: 2").Expect(VB::vbOK, "No airway could be read");
    EXPECT_EQ(ImportText({row({"5", "0", "-10", "#VALUE!", "0", "-10"})}), ImportOutcome::Unchanged);
    EXPECT_EQ(AirwayCount, 2);
    EXPECT_EQ(AirwayEnd(1, 2), 20);
    EXPECT_TRUE(boxes.Done());
}

// The coordinate rules hold where the offsets take the ends: an airway taken beyond them would be a damaged
// record when the network is next opened, so it is left out at the user's word; up to them it is imported.
TEST_F(ImportTest, AnOffsetTakingAnEndBeyondTheCoordinateRulesLeavesThatAirwayOut) {
    ImportOptions o;
    o.merge = true;
    o.xOffset = "2000";
    o.zOffset = "-1000";
    ScriptedDialogs boxes;
    for (int refused = 0; refused < 2; ++refused)
        boxes.Expect(VB::vbYes, "Error Loading Data - Do you wish to continue loading ?");
    EXPECT_EQ(ImportText({row({"9998000", "0", "0", "9997000", "0", "0"}),     // east to the rule
                          row({"9998001", "0", "0", "9997000", "0", "0"}),     // a metre past it
                          row({"0", "0", "-9998999", "10", "0", "-9998999"}),  // down to the RL rule
                          row({"0", "0", "-9999000", "10", "0", "-9998000"})}, // a metre past it
                         o),
              ImportOutcome::Imported);
    EXPECT_TRUE(boxes.Done());
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_EQ(Ends(1), (std::array<int32_t, 6>{10000000, 0, -1000, 9999000, 0, -1000}));
    EXPECT_EQ(Ends(2), (std::array<int32_t, 6>{2000, 0, -9999999, 2010, 0, -9999999}));
}

TEST_F(ImportTest, AFanTheTablesCannotHoldAsksAndOneTheDatabaseLacksIsLeftOff) {
    FanName(2) = "Main fan";
    FanName(MaxFans) = "Last fan";
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbYes, "Error Loading Data - Do you wish to continue loading ?")
        .Expect(VB::vbOK, "1 airway(s) name a fan that the fan database does not hold");
    const auto fanRow = [](const std::string &fan) {
        return row({"5", "0", "-10", "50", "0", "-10", "", "", fan, "1"});
    };
    ImportText({fanRow(std::to_string(MaxFans + 1)), fanRow("7"), fanRow("2"), fanRow("-1"),
                fanRow(std::to_string(MaxFans))});
    ASSERT_EQ(AirwayCount, 5);
    EXPECT_EQ(AirwayFan(1), 0); // Yes stores no fan
    EXPECT_EQ(AirwayFan(2), 0);
    EXPECT_EQ(AirwayFan(3), 2);
    EXPECT_EQ(AirwayFan(4), -1); // a fixed pressure
    EXPECT_EQ(AirwayFan(5), MaxFans);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(ImportTest, CapacityStopsReadingAndKeepsWhatWasRead) {
    MaxAirways = 3;
    ReDimNetwork();
    AddAirway(5, 0, -10, 1, 0, -10);
    ImportOptions merge;
    merge.merge = true;
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Data exceeds maximum number of nodes!");
    ImportText({row({"5", "0", "-10", "1", "0", "-10"}), row({"5", "0", "-10", "2", "0", "-10"}),
                row({"5", "0", "-10", "3", "0", "-10"})},
               merge);
    EXPECT_EQ(AirwayCount, 3);
    // A drawing leaves the last slot free.
    boxes.Expect(VB::vbOK, "Data exceeds maximum number of nodes!");
    Import("lines.dxf", "0\nLINE\n10\n5\n11\n1\n0\nLINE\n10\n5\n11\n2\n0\nLINE\n10\n5\n11\n3\n0\nEOF\n");
    EXPECT_EQ(AirwayCount, 2);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(ImportTest, ThroughTheDialogAFullNetworkAndAnUnreadableDrawingKeepTheNetwork) {
    MaxAirways = 3;
    ReDimNetwork();
    for (int k = 1; k <= 3; ++k)
        AddAirway(5, 0, -10, k, 0, -10);
    folder.Write("more.dxf",
                 "0\nLINE\n10\n5\n11\n9\n0\n3DLINE\n10\n5\n31\n9\n0\nLWPOLYLINE\n90\n2\n10\n1\n20\n1\n"
                 "10\n5\n20\n5\n0\nEOF\n");
    const struct {
        const char *file; // "gone.dxf" was removed after it was chosen
        std::vector<std::string> boxes;
    } cases[] = {{"more.dxf", {"Data exceeds maximum number of nodes!", "No airway could be read"}},
                 {"gone.dxf", {"Error Loading Data - Do you wish to continue loading ?"}}};
    VB::SetModalDriver(
        [](QDialog &d) { QTest::mouseClick(static_cast<frmImport &>(d).Import, Qt::LeftButton); });
    for (const auto &c : cases) {
        ImportFileName = folder.path() + c.file;
        ScriptedDialogs boxes;
        for (const std::string &box : c.boxes)
            boxes.Expect(VB::vbYes, box);
        frmImport dialog;
        dialog.ChkMerge->setChecked(true);
        EXPECT_EQ(VB::ShowModal(dialog), QDialog::Accepted) << c.file;
        EXPECT_TRUE(boxes.Done()) << c.file;
        ASSERT_EQ(AirwayCount, 3) << c.file;
        EXPECT_EQ(Ends(3), (std::array<int32_t, 6>{5, 0, -10, 3, 0, -10})) << c.file;
    }
}

TEST_F(ImportTest, ReplacingAChangedNetworkOffersToSaveItFirst) {
    AddAirway(5, 0, -10, 1, 0, -10);
    folder.Write("net.txt", std::string(Heading) + "\r\n" + row({"5", "0", "-10", "7", "0", "-10"}));
    ImportFileName = folder.path() + "net.txt";
    NetworkFileName.clear();
    NetworkSaved = 0;
    ImportOptions merge;
    merge.merge = true;
    ScriptedDialogs boxes;
    // Cancel, and Yes with the save dialog cancelled, keep the network.
    boxes.Expect(VB::vbCancel, "Gustrom data is not saved - Save it?");
    EXPECT_EQ(ImportNetwork({}, {}), ImportOutcome::Unchanged);
    boxes.Expect(VB::vbYes, "not saved").ExpectFile(std::nullopt);
    EXPECT_EQ(ImportNetwork({}, {}), ImportOutcome::Unchanged);
    EXPECT_EQ(AirwayEnd(1, 1), 1);
    // A merge asks nothing; No replaces.
    EXPECT_EQ(ImportNetwork(merge, {}), ImportOutcome::Imported);
    EXPECT_EQ(AirwayCount, 2);
    boxes.Expect(VB::vbNo, "not saved");
    EXPECT_EQ(ImportNetwork({}, {}), ImportOutcome::Imported);
    EXPECT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayEnd(1, 1), 7);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(ImportTest, DrawingsFromACadWriterGiveTheirLinesAndPolylineSegments) {
    const std::string data = std::string(GUSTROM_TEST_DATA) + "/import/";
    ASSERT_EQ(ImportPath(data + "r12.dxf"), ImportOutcome::Imported);
    // Two lines, a flat polyline at 100 and a 3-D polyline; not the block's line, the text or the layer.
    ASSERT_EQ(AirwayCount, 6);
    EXPECT_EQ(Ends(2), (std::array<int32_t, 6>{100, 5, 0, 100, 50, -20}));
    EXPECT_EQ(Ends(3), (std::array<int32_t, 6>{5, 5, 100, 10, 5, 100}));
    EXPECT_EQ(Ends(4), (std::array<int32_t, 6>{10, 5, 100, 10, 10, 100}));
    EXPECT_EQ(Ends(6), (std::array<int32_t, 6>{5, 5, -50, 20, 5, -50}));

    ASSERT_EQ(ImportPath(data + "r2010.dxf"), ImportOutcome::Imported);
    // Two segments at 100 (the repeated vertex dropped), two at 0, none from one vertex, one line.
    ASSERT_EQ(AirwayCount, 5);
    EXPECT_EQ(Ends(2), (std::array<int32_t, 6>{50, 5, 100, 50, 50, 100}));
    EXPECT_EQ(Ends(3), (std::array<int32_t, 6>{5, 5, 0, 5, 30, 0}));
    EXPECT_EQ(Ends(5), (std::array<int32_t, 6>{1, 2, 3, 4, 5, 6}));
}

TEST_F(ImportTest, HandWrittenDrawingsReadByGroupCodeZeroOnly) {
    // A LINE straight after a 3DLINE, CR line ends, a value "LINE" under another code, coordinates
    // rounding halves to even; a line and a polyline segment whose ends round to one point make no airway.
    Import("a.dxf", "0\rLINE\r10\r2.5\r11\r3.5\r0\r3DLINE\r10\r1\r11\r2\r31\r7\r1\rLINE\r"
                    "0\rLINE\r10\r2.4\r11\r1.6\r0\rPOLYLINE\r70\r8\r0\rVERTEX\r10\r1\r0\rVERTEX\r10\r1.4\r"
                    "0\rVERTEX\r10\r5\r0\rSEQEND\r0\rEOF\r");
    ASSERT_EQ(AirwayCount, 3);
    EXPECT_EQ(Ends(1), (std::array<int32_t, 6>{2, 0, 0, 4, 0, 0}));
    EXPECT_EQ(Ends(2), (std::array<int32_t, 6>{1, 0, 0, 2, 0, 7}));
    EXPECT_EQ(Ends(3), (std::array<int32_t, 6>{1, 0, 0, 5, 0, 0}));
    // A 3DLINE without its group 31 ends at the next group 0 like any entity.
    Import("c.dxf", "0\n3DLINE\n10\n1\n11\n2\n0\nLINE\n10\n3\n11\n4\n0\nLINE\n10\n5\n11\n6\n0\nEOF\n");
    ASSERT_EQ(AirwayCount, 3);
    EXPECT_EQ(Ends(1), (std::array<int32_t, 6>{1, 0, 0, 2, 0, 0}));
    EXPECT_EQ(Ends(2), (std::array<int32_t, 6>{3, 0, 0, 4, 0, 0}));

    // Ten million and five becomes 5, with one warning in the run.
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "Coordinate data exceeds 9999999");
        Import("b.dxf", "0\nLINE\n10\n10000005\n11\n1\n0\nLINE\n10\n20000006\n11\n1\n0\nEOF\n");
        EXPECT_EQ(AirwayStart(1, 1), 5);
        EXPECT_EQ(AirwayStart(1, 2), 6);
        Import("b.dxf", "0\nLINE\n10\n10000005\n11\n1\n0\nEOF\n");
        EXPECT_TRUE(boxes.Done());
    }

    // The program's own screen export: its lines (arrowheads too) but no polylines.
    AddAirway(5, 0, 0, 100, 0, 0);
    SetVisibleAirways();
    PrepareDrawing();
    const int records = AirwayScreenCount;
    ASSERT_GE(records, 1);
    std::string own = DxfScreenBytes();
    own.insert(own.find("0\r\nENDSEC"),
               "0\r\nLWPOLYLINE\r\n90\r\n2\r\n10\r\n1\r\n20\r\n1\r\n10\r\n5\r\n20\r\n5\r\n");
    folder.Write("own.dxf", own);
    ImportReading reading(1, {});
    ReadDxfFile(folder.path() + "own.dxf", reading);
    // Arrowheads of size 0 are points: no airway.
    EXPECT_EQ(reading.airways.size(), static_cast<std::size_t>(records));
}

TEST_F(ImportTest, ADrawingCutShortAsksOnceAndNoChangesNothing) {
    const int a = AddAirway(5, 0, 0, 1, 0, 0);
    const std::string cut = "0\nLINE\n10\n1\n11\n2\n0\nLINE\n10\n5\n";
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbNo, "Error Loading Data - Do you wish to continue loading ?");
        EXPECT_EQ(Import("cut.dxf", cut), ImportOutcome::Unchanged);
        EXPECT_EQ(AirwayCount, 1);
        EXPECT_EQ(AirwayEnd(1, a), 1);
        EXPECT_EQ(boxes.Shown()[0].title, "Import Error");
    }
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbYes, "continue loading");
    EXPECT_EQ(Import("cut.dxf", cut), ImportOutcome::Imported);
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayEnd(1, 1), 2);
    // A polyline whose file ends in the name of its next vertex may have lost vertices, a 3DLINE whose
    // file ends in its last coordinate may have lost digits: neither stays.
    for (const char *entity : {"0\nPOLYLINE\n70\n8\n0\nVERTEX\n10\n1\n0\nVERTEX\n10\n9\n0\nVER",
                               "0\n3DLINE\n10\n1\n11\n2\n31\n1"}) {
        boxes.Expect(VB::vbYes, "continue loading").Expect(VB::vbOK, "No airway could be read");
        EXPECT_EQ(Import("cut.dxf", entity), ImportOutcome::Unchanged) << entity;
    }
    EXPECT_TRUE(boxes.Done());
}

TEST_F(ImportTest, TheProgramsOwnDrawingsCutAnywhereAskOnceAndKeepOnlyWholeEntities) {
    GenerateNetwork(20, 3);
    ExportArrowSize = 3;
    ExportNodeSize = ExportAirwaySize = ExportDataSize = ExportFloatSize = 2;
    SetVisibleAirways();
    PrepareDrawing();
    const auto endsOf = [](int from) {
        std::vector<std::array<int32_t, 6>> ends;
        for (int a = from; a <= AirwayCount; ++a)
            ends.push_back(Ends(a));
        return ends;
    };
    // The network each cut drawing is merged into.
    const std::vector<std::array<int32_t, 6>> own = endsOf(1);
    std::mt19937 random(4511);
    for (const std::string &whole : {DxfTrueBytes(), DxfScreenBytes()}) {
        // Where the pairs of group code 0 begin (entities, section marks and the end marker).
        std::vector<std::size_t> codeZero;
        for (std::size_t at = 0, line = 0; at < whole.size(); at = whole.find("\r\n", at) + 2, ++line)
            if (line % 2 == 0 && whole.compare(at, 3, "0\r\n") == 0)
                codeZero.push_back(at);
        for (int round = 0; round < 30; ++round) {
            // Short of the last "F\r\n": every cut loses at least a letter of the end marker.
            const std::size_t cut = 1 + random() % (whole.size() - 3);
            // The entities read whole are those before the last code-0 pair that the cut leaves readable
            // (its code line and a letter of its value): a drawing of only those, closed, is the expectation.
            std::size_t closed = 0;
            for (const std::size_t at : codeZero)
                if (at + 4 <= cut)
                    closed = at;
            folder.Write("whole.dxf", whole.substr(0, closed) + "0\r\nENDSEC\r\n0\r\nEOF\r\n");
            ImportReading expected(1, {});
            ReadDxfFile(folder.path() + "whole.dxf", expected);

            const bool goOn = random() % 2 == 0;
            ScriptedDialogs boxes;
            boxes.Expect(goOn ? VB::vbYes : VB::vbNo,
                         "Error Loading Data - Do you wish to continue loading ?");
            if (goOn && expected.airways.empty())
                boxes.Expect(VB::vbOK, "No airway could be read");
            // Moved away, so that no end of the screen form's flat drawing lies on the surface.
            ImportOptions merge;
            merge.merge = true;
            merge.xOffset = "12345";
            merge.zOffset = "-5000";
            GenerateNetwork(20, 3);
            Import("cut.dxf", whole.substr(0, cut), merge);
            EXPECT_TRUE(boxes.Done()) << cut;
            const auto after = endsOf(1);
            ASSERT_EQ(after.size(), own.size() + (goOn ? expected.airways.size() : 0)) << cut;
            EXPECT_TRUE(std::equal(own.begin(), own.end(), after.begin())) << cut;
            for (std::size_t i = 0; goOn && i < expected.airways.size(); ++i) {
                const ImportedAirway &e = expected.airways[i];
                EXPECT_EQ(Ends(static_cast<int>(own.size() + 1 + i)),
                          (std::array<int32_t, 6>{e.start[0] + 12345, e.start[1], e.start[2] - 5000,
                                                  e.end[0] + 12345, e.end[1], e.end[2] - 5000}))
                    << cut;
            }
        }
    }
}

TEST_F(ImportTest, LevelsSpanTheNewAirwaysOrOnePerElevation) {
    // Starts from 300 to 900: a surface above and one import band.
    ImportText({row({"5", "0", "300", "10", "0", "300"}), row({"5", "0", "900", "10", "0", "900"})});
    EXPECT_EQ(LevelName(1), "Surface");
    EXPECT_EQ(LevelRange(1, 1), 910);
    EXPECT_EQ(LevelName(2), "Import Level");
    EXPECT_EQ(LevelRange(2, 1), 900);
    EXPECT_EQ(LevelRange(2, 2), 300);
    EXPECT_EQ(shell.scrollValue, 2);

    // All below 0: both levels are listed.
    ImportText({row({"5", "0", "-300", "10", "0", "-300"})});
    EXPECT_EQ(shell.levelList, (std::vector<std::string>{"Surface", "Import Level"}));

    // One level per end elevation, the highest made the surface or put above the next.
    ImportOptions database;
    database.levelDatabase = true;
    const auto ends = {row({"5", "0", "0", "1", "0", "100"}), row({"5", "0", "0", "2", "0", "200"}),
                       row({"5", "0", "0", "3", "0", "100"})};
    for (const auto &[answer, surface] : {std::pair{VB::vbNo, 110}, std::pair{VB::vbYes, 200}}) {
        ScriptedDialogs boxes;
        boxes.Expect(answer, "Place highest RL data on surface level?");
        ImportText(ends, database);
        EXPECT_EQ(LevelName(1), "Surface");
        EXPECT_EQ(LevelRange(1, 1), surface);
        EXPECT_EQ(LevelName(2), "Level 100");
        EXPECT_EQ(LevelRange(2, 2), 100);
        EXPECT_EQ(shell.levelList, (std::vector<std::string>{"Surface", "Level 100"}));
    }

    // A database merge adds new elevations in free levels and keeps the others.
    database.merge = true;
    ImportText({row({"5", "0", "0", "1", "0", "-50"})}, database);
    EXPECT_EQ(shell.levelList, (std::vector<std::string>{"Surface", "Level 100", "Level-50"}));
    EXPECT_EQ(LevelRange(1, 1), 200);

    // Ends raised beyond the RL rule are not imported: each airway asks, and with none left the network
    // stays as it was.
    ImportOptions raised;
    raised.levelDatabase = true;
    raised.zOffset = "100";
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbYes, "Error Loading Data")
        .Expect(VB::vbYes, "Error Loading Data")
        .Expect(VB::vbOK, "No airway could be read");
    EXPECT_EQ(
        ImportText({row({"5", "0", "0", "1", "0", "9999950"}), row({"5", "0", "0", "2", "0", "9999960"})},
                   raised),
        ImportOutcome::Unchanged);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(ImportTest, DialogImportsWithItsOptionsAndStartsFreshEachTime) {
    {
        frmImport dialog;
        EXPECT_EQ(dialog.windowTitle(), "Import Data Options");
        dialog.ChkMerge->setChecked(true);
        VB::SetModalDriver(
            [](QDialog &d) { QTest::mouseClick(static_cast<frmImport &>(d).Cancel, Qt::LeftButton); });
        EXPECT_EQ(VB::ShowModal(dialog), QDialog::Rejected);
    }
    frmImport dialog;
    EXPECT_FALSE(dialog.ChkMerge->isChecked());
    EXPECT_EQ(dialog.TxtXOffset->text(), "0");
    EXPECT_EQ(dialog.ChkRDrive->toolTip(), "Retain original drive resistances if set in txt file");

    AddAirway(5, 0, 0, 1, 0, 0);
    folder.Write("d.txt", std::string(Heading) + "\r\n" + row({"1000", "0", "-10", "1100", "0", "-10"}));
    ImportFileName = folder.path() + "d.txt";
    bool busyWhileLoading = false;
    std::string shownMessage;
    VB::SetModalDriver([&](QDialog &d) {
        auto &f = static_cast<frmImport &>(d);
        // Runs inside the import's first event pump.
        QTimer::singleShot(0, [&] {
            busyWhileLoading = VB::IsBusy();
            shownMessage = f.LblMessage->text().toStdString();
        });
        QTest::mouseClick(f.Import, Qt::LeftButton);
    });
    EXPECT_EQ(VB::ShowModal(dialog), QDialog::Accepted);
    EXPECT_TRUE(busyWhileLoading);
    EXPECT_EQ(shownMessage.rfind("Loading data .....", 0), 0u);
    EXPECT_FALSE(VB::IsBusy());
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayStart(1, 1), 1000);
    EXPECT_EQ(shell.simCaption, "SIM");
    EXPECT_NEAR(PanX, 1050, 1); // fitted on the new airway
    EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);
}

TEST_F(ImportTest, DamagedFilesNeitherCrashNorHang) {
    // Every box answered at random; the files mutated byte by byte.
    struct RandomAnswers : VB::DialogResponder {
        std::mt19937 random{11};
        int Message(const VB::MessageRequest &) override { return random() % 2 ? VB::vbYes : VB::vbNo; }
        std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
        std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
    } answers;
    VB::DialogResponder *previous = VB::SetDialogResponder(&answers);
    const std::string data = std::string(GUSTROM_TEST_DATA) + "/import/";
    AddAirway(5, 0, 0, 10, 0, 0);
    const std::string sources[][2] = {{"r12.dxf", readFile(data + "r12.dxf")},
                                      {"r2010.dxf", readFile(data + "r2010.dxf")},
                                      {"net.txt", ExportTextBytes()}};
    std::mt19937 random(2024);
    static const char replacements[] = "0\n\r\t -.,9E#LINEVERTEX";
    // Then again into a network at or next to its capacity, merging, so that the files meet the limit.
    for (const bool nearlyFull : {false, true}) {
        if (nearlyFull) {
            MaxAirways = 8;
            ReDimNetwork();
            AirwayCount = 0;
        }
        for (int round = 0; round < 60; ++round) {
            for (const auto &[name, original] : sources) {
                std::string bytes = original;
                for (int k = 0; k < 8; ++k) {
                    const std::size_t at = random() % bytes.size();
                    if (random() % 3 == 0)
                        bytes.erase(at, random() % 40);
                    else
                        bytes[at] = replacements[random() % (sizeof replacements - 1)];
                }
                ImportOptions o;
                o.merge = nearlyFull || random() % 2 == 0;
                o.levelDatabase = random() % 2 == 0;
                if (nearlyFull) {
                    const int filled = MaxAirways - static_cast<int>(random() % 3); // 0 to 2 slots free
                    AirwayCount = std::min(AirwayCount, filled);
                    while (AirwayCount < filled)
                        AddAirway(5, 0, 0, 10 + AirwayCount, 0, 0);
                }
                Import(name, bytes, o);
                ASSERT_LE(AirwayCount, MaxAirways);
            }
        }
    }
    VB::SetDialogResponder(previous);
}
