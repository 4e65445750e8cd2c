#include "model/NetworkFileFixture.h"

#include "model/file_dialogs.h"
#include "model/levels_views.h"
#include "shell/file_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {

std::string joined(const std::vector<std::string> &items, char separator) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += separator;
        out += items[i];
    }
    return out;
}

// Fifty items made from a pattern: "<prefix><i>" for i = 0..49.
std::string fifty(const std::string &prefix, char separator) {
    std::vector<std::string> items;
    for (int i = 0; i < 50; ++i)
        items.push_back(prefix + std::to_string(i));
    return joined(items, separator);
}

// An airway record of fields 1..25 (start, end, name, two keys, coordinates, sizes, codes, values).
std::string airwayRecord(char sep, const std::string &name, int x1, int x2, int z, int resType, int wallType,
                         const std::string &friction = "0.012", int fan = 0) {
    const std::vector<std::string> f = {"",
                                        "",
                                        name,
                                        "",
                                        "",
                                        std::to_string(x1),
                                        "0",
                                        std::to_string(z),
                                        std::to_string(x2),
                                        "0",
                                        std::to_string(z),
                                        "4",
                                        "4",
                                        "1",
                                        std::to_string(resType),
                                        "0",
                                        std::to_string(wallType),
                                        friction,
                                        "5",
                                        "ok",
                                        "0.5",
                                        "20",
                                        std::to_string(fan),
                                        "1",
                                        "100"};
    return joined(f, sep);
}

std::string trimmed(const std::string &text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string lines(const std::vector<std::string> &all) {
    std::string out;
    for (const std::string &l : all)
        out += l + "\r\n";
    return out;
}

std::string fanSection(char sep, const std::string &diameter, int count = 1) {
    std::vector<std::string> out = {
        joined({"Fan Name/Point", "Pressure Pa", "Quantity m3/s", "Max Fans=", std::to_string(count)}, sep),
        joined({"Old fan", diameter, "1"}, sep)};
    for (int p = 1; p <= 10; ++p)
        out.push_back(joined({std::to_string(p), std::to_string(2000 - 100 * p),
                              std::to_string(4.2 * p).substr(0, 4), "60", std::to_string(2100 - 100 * p)},
                             sep));
    out.push_back("**End of Fan Database**");
    return lines(out);
}

std::string levelSection(char sep) {
    return lines({joined({"RL Name", "RL Max", "RL Min"}, sep), joined({"SURFACE", "1000", "1000"}, sep),
                  joined({"Deep", "500", "480"}, sep), "**END OF RL LIST**"});
}

std::string heading(char sep) {
    return joined({"Entry Node", "Exit Node", "Branch Name"}, sep);
}

// The start of the n-th line after the line that holds `marker`.
std::size_t lineAfter(const std::string &text, const std::string &marker, int n) {
    std::size_t at = text.find(marker);
    for (int k = 0; k < n; ++k)
        at = text.find("\r\n", at) + 2;
    return at;
}

// The text with field `field` (from 1) of the line that begins at `at` replaced by `value`.
std::string withField(std::string text, std::size_t at, int field, const std::string &value) {
    for (int f = 1; f < field; ++f)
        at = text.find('\t', at) + 1;
    return text.replace(at, text.find_first_of("\t\r", at) - at, value);
}

std::string presetLines() {
    std::vector<std::string> out;
    for (int i = 0; i <= 10; ++i)
        out.push_back(std::to_string(i) + ",Wall " + std::to_string(i) + "," +
                      std::to_string(0.001 * (i + 1)));
    for (int i = 0; i <= 10; ++i)
        out.push_back(std::to_string(i) + ",Res " + std::to_string(i) + "," + std::to_string(10 * i));
    for (int i = 0; i <= 6; ++i)
        out.push_back(std::to_string(i) + ",Shock " + std::to_string(i) + "," + std::to_string(5 * i));
    return lines(out);
}

std::string sevenLines(char sep, const std::string &settings) {
    std::vector<std::string> factors, values;
    for (int i = 0; i < 50; ++i) {
        factors.push_back(i == 3 ? "0.01234" : "0.0" + std::to_string(10 + i));
        values.push_back(i == 1 ? "5000" : std::to_string(i));
    }
    return lines({fifty("W", sep), joined(factors, sep), fifty("R", sep), joined(values, sep),
                  fifty("S", sep), joined(values, sep), settings});
}

} // namespace

TEST_F(NetworkFileTest, Version10ListRecordsLoad) {
    std::vector<std::string> out = {"1.0 GUSTROM,List file,0,0", "\"SURFACE\",1000,1000",
                                    "\"Level A\",900,880"};
    for (int i = 3; i <= 99; ++i)
        out.push_back("\"\",0,0");
    out.push_back(
        "\"A, first\",\"B\",\"Drive 1\",0,0,0,0,900,100,0,900,4,4,1,10,0,10,0.012,5,\"ok\",0.5,20,0,1,"
        "100,0,1,1,9");
    out.push_back(
        "\"B\",\"C\",\"Drive 2\",0,0,100,0,900,200,0,900,4,4,1,2,6,4,0.012,5,\"\",0.5,20,0,1,100,0,1,1,9");
    folder.Write("v10.sim", lines(out));
    ASSERT_EQ(LoadFrom("v10.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(NetworkTitle, "List file");
    ASSERT_EQ(AirwayCount, 2);
    EXPECT_EQ(trimmed(AirwayStartName(1).str()), "A, first");
    EXPECT_EQ(trimmed(AirwayName(2).str()), "Drive 2");
    EXPECT_EQ(AirwayResistanceType(1), TypedPreset);
    EXPECT_EQ(AirwayWallType(1), TypedPreset);
    EXPECT_EQ(AirwayShockType(2), TypedPreset);
    EXPECT_EQ(AirwayEnd(1, 2), 200);
    EXPECT_FLOAT_EQ(AirwayFrictionFactor(1), 0.012f);
    EXPECT_EQ(LevelName(2), "Level A");
    EXPECT_EQ(LevelRange(2, 2), 880);
    EXPECT_EQ(NetworkSaved, 255);

    // An airway takes three lines: 11,000 of them fit, though their 33,000 lines would not.
    out.resize(100);
    for (int a = 0; a < 11000; ++a)
        out.insert(out.end(),
                   {"\"A\",\"B\",\"D\",0,0," + std::to_string(a) + ",0,0,0,1,0,4,4,1,0,0,4,0.012,5",
                    "\"\",0.5,20,0,1,100,0", "0,1,1"});
    folder.Write("v10.sim", lines(out));
    ASSERT_EQ(LoadFrom("v10.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(AirwayCount, 11000);
}

TEST_F(NetworkFileTest, Version15PresetLinesAndFans) {
    const std::string text = lines({"1.5 GUSTROM,Preset file,0,1,,2", "Defaults List for Network"}) +
                             presetLines() + fanSection(',', "2.5") + levelSection(',') +
                             lines({heading(','), airwayRecord(',', "Drive 1", 0, 100, 490, 10, 4), "",
                                    airwayRecord(',', "Drive 2", 100, 200, 490, 3, 4)});
    folder.Write("v15.sim", text);
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbNo, "Allow Gustrom to estimate fan diameters");
    ASSERT_EQ(LoadFrom("v15.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(AxisSignY, -1);
    EXPECT_EQ(WallTypeName(3), "Wall 3");
    EXPECT_FLOAT_EQ(WallTypeFactor(3), 0.004f);
    EXPECT_EQ(ResistanceTypeName(9), "Res 9");
    EXPECT_TRUE(ResistanceTypeName(10).empty());
    EXPECT_EQ(ResistanceTypeValue(10), 0);
    EXPECT_FLOAT_EQ(ShockTypeLength(6), 30);
    EXPECT_EQ(FanName(1), "Old fan");
    EXPECT_FLOAT_EQ(FanDiameter(1), 2.5f);
    EXPECT_FLOAT_EQ(FanCurvePressure(1, 1, 1), 1900);
    EXPECT_FLOAT_EQ(FanCurvePressure(2, 10, 1), 1100);
    EXPECT_EQ(FanCurveEfficiency(5, 1), 60);
    EXPECT_EQ(LevelName(2), "Deep");
    ASSERT_EQ(AirwayCount, 2) << "an empty line between airways is no airway";
    EXPECT_EQ(AirwayResistanceType(1), TypedPreset);
    EXPECT_EQ(AirwayResistanceType(2), 3);
    EXPECT_EQ(GraphicsDetail & 0x100, 0x100);
    EXPECT_EQ(FontName(2), "Arial");
}

TEST_F(NetworkFileTest, Version22AsksAboutTotalPressuresAndEstimatesDiameters) {
    const std::string settings = ",0.09,,0.75,,1.18,3,0,4,,1,77,7";
    const std::string text =
        lines({"2.2 GUSTROM,Comma file,1,0,Line one\x1dLine two,4", "Defaults List for Network"}) +
        sevenLines(',', settings) +
        lines(
            {"Saved Views", "End of saved views", "Tag List", "2,Haulage,0", "-3,Old,0", "End of Tag List"}) +
        fanSection(',', "") + levelSection(',') +
        lines({heading(','), airwayRecord(',', "Drive 1", 0, 100, 490, 0, 4, "0.0121", 1)});
    folder.Write("v22.sim", text);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbYes, "Gustrom now has a 'TOTAL PRESSURE' estimating function");
        ASSERT_EQ(LoadFrom("v22.sim"), LoadOutcome::Loaded);
        EXPECT_EQ(boxes.Shown()[0].title, "Total Pressures");
    }
    EXPECT_EQ(AxisSignX, -1);
    EXPECT_EQ(FileNote, "Line one\nLine two");
    EXPECT_EQ(WallTypeName(49), "W49");
    EXPECT_FLOAT_EQ(WallTypeFactor(3), 0.0123f) << "rounded to four decimals below 2.4";
    EXPECT_EQ(ResistanceTypeValue(1), 10000);
    EXPECT_FLOAT_EQ(PowerCost, 0.09f);
    EXPECT_FLOAT_EQ(AirDensity, 1.18f);
    EXPECT_EQ(LayerDisplay, 3);
    EXPECT_FLOAT_EQ(TiltSpeed, 4);
    EXPECT_EQ(AttributeMask, 77);
    EXPECT_EQ(GraphicsDetail, 7 | 0x100);
    EXPECT_EQ(PrimaryLayerName(2), "Haulage");
    EXPECT_EQ(SecondaryLayerName(3), "Old");
    EXPECT_TRUE(SecondaryLayerVisible(3)) << "every secondary layer is shown after a load";
    // Diameter from the tenth point: 2 * sqrt(42 / (21 * pi)) = 1.5958 -> 1.6.
    EXPECT_FLOAT_EQ(FanDiameter(1), 1.6f);
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayFan(1), 1);
}

TEST_F(NetworkFileTest, Version26SevenTabLinesAndFloatingTexts) {
    std::vector<std::string> settings(48, "");
    settings[1] = "0.1";
    settings[3] = "0.7";
    settings[5] = "1.2";
    settings[12] = "";     // field 13 empty: 511
    settings[33] = "True"; // field 34 ScreenBuffer
    settings[34] = "False";
    settings[41] = "9"; // field 42: IconSize(2)
    const std::string text =
        lines({"2.6 GUSTROM\tTab file\t0\t0\t\t1", "Defaults List for Network"}) +
        sevenLines('\t', joined(settings, '\t')) +
        lines({"Saved Views", "startupview\t1\t2\t3", "North\t0.5", "End of saved views", "Tag List",
               "End of Tag List"}) +
        fanSection('\t', "3") + levelSection('\t') +
        lines({"Portal\t100\t200\t1000", "\t0\t0\t0", "Crusher\t5\t6\t490", "**End Of Floating Text",
               heading('\t'), airwayRecord('\t', "Drive 1", 0, 100, 490, 10, 10)});
    folder.Write("v26.sim", text);
    ASSERT_EQ(LoadFrom("v26.sim"), LoadOutcome::Loaded);
    EXPECT_FLOAT_EQ(AirPowerEfficiency, 0.7f);
    // The startup view's empty detail field stands for 255; a view without a world window is not applied.
    EXPECT_EQ(ViewCurrency(0, 4), 255 * CurrencyScale);
    EXPECT_EQ(GraphicsDetail, 511);
    EXPECT_TRUE(ScreenBuffer);
    EXPECT_FALSE(ConfirmActions);
    EXPECT_EQ(shell.menuChecked["mnuConfirm"], false);
    EXPECT_EQ(IconSize(2), 9);
    EXPECT_EQ(ViewName(0), "startupview");
    EXPECT_FLOAT_EQ(ViewSingles(0, 2), 2);
    EXPECT_EQ(ViewName(6), "North");
    EXPECT_EQ(FloatingTextString(1), "Portal");
    EXPECT_EQ(FloatingTextPosition(3, 1), 1000);
    EXPECT_FALSE(FloatingTextUsed(2));
    EXPECT_EQ(FloatingTextString(3), "Crusher");
    ASSERT_EQ(AirwayCount, 1);
    EXPECT_EQ(AirwayResistanceType(1), 10) << "only files up to 2.0 mark a typed resistance with 10";
    EXPECT_EQ(AirwayWallType(1), TypedPreset);

    // From this version on the floating texts end in their marker line: a file without it is refused.
    const std::size_t marker = text.find("**End Of Floating Text");
    folder.Write("v26.sim", text.substr(0, marker) + text.substr(text.find("\r\n", marker) + 2));
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "(the line \"**End Of Floating Text\") is missing");
    EXPECT_EQ(LoadFrom("v26.sim"), LoadOutcome::NotOpened);
}

TEST_F(NetworkFileTest, Version28ReadsTheDefaultsBlock) {
    GenerateNetwork(10, 3);
    PowerCost = 0.3f;
    FontName(1) = "Courier";
    ASSERT_TRUE(SaveTo("v31.sim"));
    std::string text = folder.Read("v31.sim");
    text.replace(0, 3, "2.8");
    folder.Write("v28.sim", text);
    PowerCost = 0;
    FontName(1) = "Times";
    ASSERT_EQ(LoadFrom("v28.sim"), LoadOutcome::Loaded);
    EXPECT_FLOAT_EQ(PowerCost, 0.3f);
    EXPECT_EQ(FontName(1), "Courier") << "2.8 keeps its fonts";
    EXPECT_EQ(AirwayCount, 10);
}

TEST_F(NetworkFileTest, MergeAppendsAirwaysWithTheFanOffset) {
    const GeneratedNetwork b = GenerateNetwork(30, 2);
    for (int a = 1; a <= AirwayCount; ++a)
        AirwayName(a) = "B " + std::to_string(a);
    FloatingTextString(1) = "B text";
    AxisSignY = -1; // drawn with north down
    ASSERT_TRUE(SaveTo("b.sim"));
    GenerateNetwork(40, 1);
    AxisSignY = 1;
    ASSERT_TRUE(SaveTo("a.sim"));
    ASSERT_EQ(LoadFrom("a.sim"), LoadOutcome::Loaded);
    ASSERT_EQ(NetworkSaved, 255);
    NextAirwayNumber = 40; // as drawing leaves the counter: the last number given
    // The merged airways lie on the same nodes as the network's own: the sort reports them as duplicates.
    auto slotOf = [](const std::string &name) {
        for (int a = 1; a <= AirwayCount; ++a)
            if (AirwayName(a).str().substr(0, name.size() + 1) == name + " ")
                return a;
        return 0;
    };
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(Path("b.sim"))
            .Expect(VB::vbNo, "add the merged fan database to the existing fan list")
            .Expect(VB::vbNo, "Duplicate branches exist - delete them ?");
        MergeCommand();
    }
    ASSERT_EQ(AirwayCount, 70);
    EXPECT_NE(slotOf("Drive 40"), 0);
    EXPECT_EQ(AirwayFan(slotOf("B " + std::to_string(b.mainFanAirway))), 3);
    EXPECT_EQ(AirwayFan(slotOf("B " + std::to_string(b.boosterFanAirway))), 4);
    EXPECT_EQ(AirwayFan(slotOf("Shaft 4")), 1) << "the network's own fan numbers stay";
    EXPECT_EQ(FanName(3), "Main fan");
    EXPECT_EQ(FanName(4), "Booster");
    EXPECT_EQ(NetworkSaved, 0) << "a merged network counts as changed";
    EXPECT_EQ(AxisSignY, 1) << "a merge keeps the network's own axes";
    EXPECT_EQ(NetworkFileName, Path("a.sim")) << "saving must not overwrite the merged file";
    EXPECT_EQ(LoadMode, 1);
    EXPECT_EQ(LevelOffset, 0);
    // The network's own floating texts stay; the merged ones take free slots.
    EXPECT_EQ(FloatingTextString(1), "Stope 1");
    EXPECT_EQ(FloatingTextString(4), "B text");
    EXPECT_TRUE(FloatingTextUsed(6));
    // Both files have the same levels: the merged copies are removed again.
    EXPECT_EQ(LevelName(3), "Level 2");
    EXPECT_TRUE(LevelName(4).empty());
    // Merged airways are numbered after the network's own.
    for (int a = 1; a <= AirwayCount; ++a) {
        if (AirwayName(a).str()[0] == 'B') {
            EXPECT_GT(AirwayNumber(a), 40);
        }
    }

    // Yes keeps the fan database and the fan numbers.
    ASSERT_EQ(LoadFrom("a.sim"), LoadOutcome::Loaded);
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(Path("b.sim"))
            .Expect(VB::vbYes, "original fan database")
            .Expect(VB::vbNo, "Duplicate branches");
        MergeCommand();
    }
    EXPECT_EQ(AirwayFan(slotOf("B " + std::to_string(b.mainFanAirway))), 1);
    EXPECT_TRUE(FanName(3).empty());
}

TEST_F(NetworkFileTest, MergeIntoANetworkOfManyLevelsKeepsEveryLevel) {
    GenerateNetwork(10, 2);
    LevelName(2) = "Merged A";
    LevelName(3) = "Merged B";
    ASSERT_TRUE(SaveTo("b.sim"));
    GenerateNetwork(10, 2);
    // 120 levels, 10 m apart below the surface, and two more below a free slot.
    for (int l = 2; l <= 123; ++l) {
        LevelName(l) = l == 121 ? "" : "Own " + std::to_string(l);
        LevelRange(l, 1) = l == 121 ? 0 : 1000 - 10 * l;
        LevelRange(l, 2) = l == 121 ? 0 : 995 - 10 * l;
    }
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(Path("b.sim"))
            .Expect(VB::vbYes, "original fan database")
            .Expect(VB::vbNo, "Duplicate branches");
        MergeCommand();
    }
    std::multiset<std::string> names;
    for (int l = 1; l <= 249; ++l)
        names.insert(LevelName(l));
    for (int l = 2; l <= 123; ++l) {
        if (l != 121) {
            EXPECT_EQ(names.count("Own " + std::to_string(l)), 1u) << l;
        }
    }
    EXPECT_EQ(names.count("Merged A"), 1u);
    EXPECT_EQ(names.count("Merged B"), 1u);
}

TEST_F(NetworkFileTest, AnAirwayLineThatFailsIsNeverAnAirway) {
    GenerateNetwork(12, 6);
    for (int a = 1; a <= AirwayCount; ++a) {
        AirwayStartPressure(a) = 1000.5f + static_cast<float>(a);
        AirwayEndPressure(a) = 900.25f + static_cast<float>(a);
    }
    ASSERT_TRUE(SaveTo("good.sim"));
    ASSERT_EQ(LoadFrom("good.sim"), LoadOutcome::Loaded);
    std::vector<std::string> fileAirways;
    for (int a = 1; a <= AirwayCount; ++a)
        fileAirways.push_back(AirwayLine(a));
    const int32_t nextNumber = NextAirwayNumber;

    const std::string text = folder.Read("good.sim");
    // The start of the fifth airway line: four line ends after the heading's.
    std::size_t lineStart = text.find("\r\n", text.find("Entry Node\t")) + 2;
    for (int k = 1; k < 5; ++k)
        lineStart = text.find("\r\n", lineStart) + 2;
    std::size_t x2 = lineStart;
    for (int tab = 0; tab < 8; ++tab)
        x2 = text.find('\t', x2) + 1;
    const std::string cut = text.substr(0, x2 + 2); // ends inside the fifth airway's X2
    const std::string garbage = text.substr(0, lineStart) + "garbage\r\n" + text.substr(lineStart);
    // A record of an empty slot (no branch code, every coordinate 0) holds no airway.
    std::string emptyRecord;
    for (int field = 1; field <= 39; ++field)
        emptyRecord += "0\t";
    const std::string mixed = text.substr(0, lineStart) + "garbage\r\n" + emptyRecord + "\r\n" +
                              text.substr(lineStart) + "more garbage\r\n";
    // A copy of the fifth airway whose height (field 12) lies below 0.
    std::string fifth = text.substr(lineStart, text.find("\r\n", lineStart) + 2 - lineStart);
    std::size_t height = 0;
    for (int tab = 0; tab < 11; ++tab)
        height = fifth.find('\t', height) + 1;
    fifth.replace(height, fifth.find('\t', height) - height, "-4");
    const std::string negative = text.substr(0, lineStart) + fifth + text.substr(lineStart);

    const struct {
        const char *name;
        const std::string &text;
        int answer, questions;
        LoadOutcome outcome;
        int airways;         // the file's first airways, in their slots
        const char *leftOut; // the one message on the records left out
    } cases[] = {
        {"cut, Yes", cut, VB::vbYes, 1, LoadOutcome::Loaded, 4,
         "1 airway record was left out of the network: it could not be read."},
        {"cut, No", cut, VB::vbNo, 1, LoadOutcome::Stopped, 4, nullptr},
        {"garbage, Yes", garbage, VB::vbYes, 1, LoadOutcome::Loaded, 12,
         "1 airway record was left out of the network: it could not be read."},
        {"a height below 0, Yes", negative, VB::vbYes, 1, LoadOutcome::Loaded, 12,
         "1 airway record was left out of the network: it could not be read."},
        {"garbage twice and an empty record, Yes", mixed, VB::vbYes, 2, LoadOutcome::Loaded, 12,
         "3 airway records were left out of the network: 2 could not be read, 1 held no airway (no branch "
         "code and every coordinate 0)."},
    };
    for (const auto &c : cases) {
        folder.Write("bad.sim", c.text);
        ScriptedDialogs boxes;
        for (int q = 0; q < c.questions; ++q)
            boxes.Expect(c.answer, "Error occurred loading file\r\nDo you wish to continue loading?");
        if (c.leftOut)
            boxes.Expect(VB::vbOK, c.leftOut);
        ASSERT_EQ(LoadFrom("bad.sim"), c.outcome) << c.name;
        EXPECT_TRUE(boxes.Done()) << c.name;
        EXPECT_EQ(boxes.Shown()[0].title, "Error");
        ASSERT_EQ(AirwayCount, c.airways) << c.name;
        for (int a = 1; a <= AirwayCount; ++a)
            EXPECT_EQ(AirwayLine(a), fileAirways[static_cast<size_t>(a - 1)]) << c.name << ", slot " << a;
        EXPECT_EQ(AirwayFlags(AirwayCount + 1), 0) << c.name;
        EXPECT_EQ(AirwayStart(1, AirwayCount + 1), 0) << c.name;
        EXPECT_EQ(NextAirwayNumber, nextNumber) << c.name;
        // A stopped load is no longer that file: a save has to ask for a name.
        EXPECT_EQ(NetworkFileName.empty(), c.outcome == LoadOutcome::Stopped) << c.name;
    }
}

TEST_F(NetworkFileTest, FanSectionEndsRightWithFullOrOversizedDatabase) {
    MaxFans = 10;
    GenerateNetwork(20, 8);
    for (int f = 3; f <= 10; ++f)
        FanName(f) = "Fan " + std::to_string(f);
    const std::string before = Snapshot();
    ASSERT_TRUE(SaveTo("full.sim"));
    ASSERT_EQ(LoadFrom("full.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(LevelName(1), "SURFACE") << "the end marker is not read as a level";
    ExpectSameLines(Snapshot(), before);

    // A fan number beyond the database: reported, the rest of the fans skipped, the sections after intact.
    std::string text = folder.Read("full.sim");
    const std::size_t booster = text.find("Booster\t");
    const std::size_t number = text.rfind('\t', text.find("\r\n", booster));
    text.replace(number + 1, text.find("\r\n", booster) - number - 1, " 99 ");
    folder.Write("over.sim", text);
    {
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK,
                     "Fan database default size is smaller than the file size !\r\nAny fans above fan 10 "
                     "will be deleted");
        ASSERT_EQ(LoadFrom("over.sim"), LoadOutcome::Loaded);
    }
    EXPECT_EQ(FanName(1), "Main fan");
    EXPECT_TRUE(FanName(2).empty());
    EXPECT_TRUE(FanName(3).empty());
    EXPECT_EQ(LevelName(1), "SURFACE");
    EXPECT_EQ(AirwayCount, 20);

    // A negative fan number is dropped with its points, and said.
    text = folder.Read("full.sim");
    text.replace(number + 1, text.find("\r\n", booster) - number - 1, "-4");
    folder.Write("negative.sim", text);
    {
        ScriptedDialogs boxes;
        boxes.Expect(
            VB::vbOK,
            "1 fan was left out of the file's fan database: it had a fan number outside the database.");
        ASSERT_EQ(LoadFrom("negative.sim"), LoadOutcome::Loaded);
    }
    EXPECT_TRUE(FanName(2).empty());
    EXPECT_EQ(FanName(3), "Fan 3");
    EXPECT_EQ(AirwayCount, 20);
}

TEST_F(NetworkFileTest, LargerFileThanCapacityGrowsTheArrays) {
    MaxAirways = 100;
    ReDimNetwork();
    GenerateNetwork(300, 4);
    const std::string before = Snapshot();
    ASSERT_TRUE(SaveTo("big.sim"));
    MaxAirways = 100;
    ReDimNetwork();
    AirwayCount = 0;
    ASSERT_EQ(LoadFrom("big.sim"), LoadOutcome::Loaded);
    EXPECT_GE(MaxAirways, 301);
    EXPECT_EQ(AirwayCount, 300);
    EXPECT_EQ(NetworkFileName, Path("big.sim"));
    ExpectSameLines(Snapshot(), before);
}

TEST_F(NetworkFileTest, OutOfRangeIndexesFromTheFileAreDropped) {
    GenerateNetwork(10, 5);
    AirwayStation(3) = 99;
    AirwayPrimaryLayer(3) = 77;
    AirwaySecondaryLayer(4) = -2;
    AirwayFan(4) = 500;
    AirwayResistanceType(5) = 300;
    AirwayWallType(5) = -1;
    ASSERT_TRUE(SaveTo("odd.sim"));
    std::string text = folder.Read("odd.sim");
    text.insert(text.find("End of Tag List"),
                "20\tTwenty\t0\r\n0\tZero\t0\r\n-60\tSixty\t0\r\n-48\tLast\t0\r\n");
    std::string views;
    for (int v = 0; v < 120; ++v)
        views += "View " + std::to_string(v) + "\t1\t2\r\n";
    text.insert(text.find("End of saved views"), views);
    folder.Write("odd.sim", text);
    const std::string window0 = ViewName(100);
    ASSERT_EQ(LoadFrom("odd.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(AirwayStation(3), 0);
    EXPECT_EQ(AirwayPrimaryLayer(3), 1);
    EXPECT_EQ(AirwaySecondaryLayer(4), 1);
    EXPECT_EQ(AirwayFan(4), 0);
    EXPECT_EQ(AirwayResistanceType(5), 0);
    EXPECT_EQ(AirwayWallType(5), 0);
    EXPECT_EQ(SecondaryLayerName(48), "Last");
    EXPECT_EQ(ViewName(99), "View 93");
    EXPECT_EQ(ViewName(100), window0) << "slot 100 belongs to graphics window 0";
    EXPECT_EQ(AirwayCount, 10);
}

TEST_F(NetworkFileTest, FileWithoutStartupViewFitsTheNetwork) {
    GenerateNetwork(10, 5);
    ASSERT_TRUE(SaveTo("with.sim"));
    std::string text = folder.Read("with.sim");
    const std::size_t start = text.find("startupview");
    text.erase(start, text.find("\r\n", start) + 2 - start);
    folder.Write("without.sim", text);
    ASSERT_EQ(LoadFrom("with.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(ViewName(0), "startupview");
    ASSERT_EQ(LoadFrom("without.sim"), LoadOutcome::Loaded);
    EXPECT_TRUE(ViewName(0).empty());
    EXPECT_EQ(LevelScrollValue, 2);
    EXPECT_EQ(RLWindowHigh, LevelRange(2, 1));
    EXPECT_EQ(shell.levelIndexSet.back(), 1);
}

TEST_F(NetworkFileTest, ASectionWithoutItsMarkerLineLeavesTheNetworkAndItsFileAlone) {
    GenerateNetwork(12, 3);
    ASSERT_TRUE(SaveTo("own.sim"));
    ASSERT_EQ(LoadFrom("own.sim"), LoadOutcome::Loaded);
    const std::string before = Snapshot();
    // Each marker changed by one character where the readers look.
    const std::pair<std::string, std::string> cases[] = {
        {"Defaults List for Network", "Defaults List for Netwerk"},
        {"Defaults List for Network", "Defaulds List for Network"},
        {"End of saved views", "End of saved viewz"},
        {"End of Tag List", "End of Tab List"},
        {"**End of Fan Database**", "**End of Fen Database**"},
        {"**END OF RL LIST**", "**END OF RM LIST**"},
        {"**End Of Floating Text", "**End Of Floating Texy"}};
    for (const auto &[marker, damaged] : cases) {
        std::string text = folder.Read("own.sim");
        folder.Write("damaged.sim", text.replace(text.find(marker), marker.size(), damaged));
        ScriptedDialogs boxes;
        boxes.Expect(VB::vbOK, "is missing");
        EXPECT_EQ(LoadNetworkFile(Path("damaged.sim")), LoadOutcome::NotOpened) << damaged;
        EXPECT_TRUE(boxes.Done() && boxes.Shown()[0].prompt.find(marker) != std::string::npos) << damaged;
        ExpectSameLines(Snapshot(), before);
        // Still its own file's and saved: a save writes that file, never the damaged one.
        EXPECT_TRUE(NetworkFileName == Path("own.sim") && NetworkSaved == 255) << damaged;
    }
}

TEST_F(NetworkFileTest, EveryLevelReadIsListedAndSaved) {
    GenerateNetwork(10, 5);
    ASSERT_TRUE(SaveTo("levels.sim"));
    // A blank line, and a nameless level at RL 0, before levels below RL 0.
    std::string text = folder.Read("levels.sim");
    text.insert(text.find("**END OF RL LIST**"),
                "\r\nDeep\t-100\t-200\r\n\t0\t-250\r\nDeeper\t-300\t-400\r\n");
    folder.Write("levels.sim", text);
    ASSERT_EQ(LoadFrom("levels.sim"), LoadOutcome::Loaded);
    EXPECT_EQ(LevelListNames().back(), "Deeper");
    const std::string loaded = Snapshot();
    ASSERT_TRUE(SaveTo("levels.sim"));
    ASSERT_EQ(LoadFrom("levels.sim"), LoadOutcome::Loaded);
    ExpectSameLines(Snapshot(), loaded);
}

TEST_F(NetworkFileTest, ContradictoryShapeBitsReadAsOneShapeWhoseSizeAndResistanceSurviveASave) {
    // 4 m by 4 m, 100 m, k = 0.012: a rectangle has R = 0.012 * 16 * 100 / 16^3; an irregular section of
    // perimeter 4 m and area 4 m² has R = 0.012 * 4 * 100 / 4^3.
    const std::pair<int32_t, float> cases[] = {{AirwayFlag::Rectangular, 0.0046875f},
                                               {AirwayFlag::Irregular, 0.075f}};
    for (const auto &[shape, resistance] : cases) {
        ClearNetwork();
        AirwayFlags(AddAirway(0, 0, 500, 100, 0, 500)) =
            shape | AirwayFlag::Round; // as a foreign file has it
        ASSERT_TRUE(SaveTo("shape.sim"));
        // Loaded, then loaded again after its own save.
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(LoadFrom("shape.sim"), LoadOutcome::Loaded);
            EXPECT_EQ(AirwayFlags(1) & (AirwayFlag::Round | shape), shape);
            EXPECT_EQ(AirwaySize(1, 1), 4.0f) << shape;
            EXPECT_FLOAT_EQ(AirwayResistance(1), resistance) << shape;
            ASSERT_TRUE(SaveTo("shape.sim"));
        }
    }
}

TEST_F(NetworkFileTest, DamageAmongTheAirwaysIsSaidAndWhatIsKeptSavesTheSameTwice) {
    GenerateNetwork(12, 3);
    ASSERT_TRUE(SaveTo("own.sim"));
    ASSERT_EQ(LoadFrom("own.sim"), LoadOutcome::Loaded);
    const std::string before = Snapshot();
    const std::string text = folder.Read("own.sim");
    const std::size_t heading = text.find("Entry Node\t"), headingEnd = text.find("\r\n", heading);
    const struct {
        const char *name;
        std::string text;
        const char *said;
        bool whole; // every airway, level, fan and text kept as saved
        bool asks;  // whether the load asks to go on past a damaged airway record
    } cases[] = {
        {"no heading", text.substr(0, heading) + text.substr(headingEnd + 2),
         "The network file is damaged: the heading of the airways (the line beginning \"Entry Node\") is "
         "missing: the line in its place was read as an airway record.",
         true, false},
        {"heading run into the first airway", text.substr(0, headingEnd) + text.substr(headingEnd + 2),
         "runs on into the first airway record, which was read from behind it.", true, false},
        // Positions at their limits are kept, one metre beyond is damage.
        {"airway ends",
         withField(withField(text, lineAfter(text, "Entry Node", 5), 11, "-10000000"),
                   lineAfter(text, "Entry Node", 3), 6, "10000000"),
         "1 airway record was left out of the network: it could not be read.", false, true},
        {"level RLs",
         text.substr(0, text.find("**END OF RL")) + "Deep\t-9999999\t-9999999\r\nTop\t2147483647\t0\r\n" +
             text.substr(text.find("**END OF RL")),
         "1 level was left out of the network: it held an RL outside its range.", false, false},
        {"a fan's quantity no number", withField(text, lineAfter(text, "Booster\t", 2), 3, "abc"),
         "1 fan was left out of the file's fan database: it could not be read.", false, true},
        // Two levels of one RL High, the surface's: the surface stays first, and its RL Low with it.
        {"a shared RL High",
         text.substr(0, lineAfter(text, "RL Name", 2)) + "Collar\t1000\t0\r\n" +
             text.substr(lineAfter(text, "RL Name", 2)),
         nullptr, false, false},
        {"floating texts",
         withField(withField(text, lineAfter(text, "**END OF RL", 2), 3, "-10000001"),
                   lineAfter(text, "**END OF RL", 1), 2, "-10000000"),
         "1 floating text was left out of the network: it held a position outside its range.", false, false},
    };
    for (const auto &c : cases) {
        folder.Write("damaged.sim", c.text);
        // A capacity below the file's airways grows to all of them, a record in the heading's place too.
        MaxAirways = 10;
        ReDimNetwork();
        {
            ScriptedDialogs boxes;
            if (c.asks)
                boxes.Expect(VB::vbYes, "Do you wish to continue loading?");
            if (c.said)
                boxes.Expect(VB::vbOK, c.said);
            ASSERT_EQ(LoadFrom("damaged.sim"), LoadOutcome::Loaded) << c.name;
            EXPECT_TRUE(boxes.Done()) << c.name;
        }
        EXPECT_TRUE(LevelName(1) == "SURFACE" && LevelRange(1, 2) == 1000) << c.name;
        const std::string kept = Snapshot();
        if (c.whole)
            ExpectSameLines(kept, before);
        // What was kept reads back without a word, and its next save is the same to the byte (the note,
        // which every save stamps, emptied before each).
        FileNote.clear();
        ASSERT_TRUE(SaveTo("kept.sim"));
        const std::string saved = folder.Read("kept.sim");
        ASSERT_EQ(LoadFrom("kept.sim"), LoadOutcome::Loaded) << c.name;
        ExpectSameLines(Snapshot(), kept);
        FileNote.clear();
        ASSERT_TRUE(SaveTo("kept.sim"));
        EXPECT_TRUE(folder.Read("kept.sim") == saved) << c.name;
    }
}
