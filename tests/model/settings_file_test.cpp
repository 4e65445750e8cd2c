#include "common/RecordingShell.h"
#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "model/Gustrom1.h"
#include "model/settings_file.h"
#include "model/units.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Prefix and number, built by appending (gcc 12 misreads a literal plus a temporary here).
std::string named(const char *prefix, int i) {
    std::string s = prefix;
    s += std::to_string(i);
    return s;
}

std::string tabLine(const std::vector<std::string> &fields) {
    std::string line;
    for (const auto &f : fields)
        line += f + '\t';
    return line + "\r\n";
}

class SettingsFile : public ::testing::Test {
protected:
    TestFolder folder;
    RecordingShell shell;
    ScriptedDialogs boxes; // any box a test does not script fails it

    void SetUp() override {
        for (int i = 0; i <= 50; ++i) {
            WallTypeName(i) = named("wall", i);
            WallTypeFactor(i) = 0.001f * static_cast<float>(i);
            ResistanceTypeName(i) = named("res", i);
            ResistanceTypeValue(i) = static_cast<float>(i);
            ShockTypeName(i) = named("shock", i);
            ShockTypeLength(i) = static_cast<float>(i) * 2;
        }
        AirDensity = 1.2f;
        SurfacePressure = 101;
        MaxIterations = 50;
        MaxFans = 250;
        BulkheadResistance = 1000000000;
        DefaultsSaved = 255;
        ScreenBuffer = false;
    }
    void TearDown() override { VB::SetLocaleDecimalSeparatorOverride(0); }
};

TEST_F(SettingsFile, CurrentVersionRoundTrips) {
    AirDensity = 1.15f;
    MaxIterations = 120;
    WallTypeName(3) = "Shotcrete";
    WallTypeFactor(3) = 0.0055f;
    ASSERT_TRUE(SaveDefaults());
    EXPECT_EQ(folder.Read("Defaults.dat").rfind("3.1\tGUSTROM3\r\n", 0), 0u);
    EXPECT_FALSE(folder.Read("Conversion.dat").empty());

    AirDensity = 1.0f;
    MaxIterations = 1;
    WallTypeName(3) = "";
    WallTypeFactor(3) = 0;
    LoadDefaults();
    EXPECT_FLOAT_EQ(AirDensity, 1.15f);
    EXPECT_EQ(MaxIterations, 120);
    EXPECT_EQ(WallTypeName(3), "Shotcrete");
    EXPECT_FLOAT_EQ(WallTypeFactor(3), 0.0055f);
}

TEST_F(SettingsFile, Version26LinesSetTheirPresetsAndSettings) {
    std::vector<std::string> wallNames, wallFactors, resNames, resValues, shockNames, shockLengths;
    for (int i = 0; i <= 10; ++i) {
        wallNames.push_back(named("W", i));
        wallFactors.push_back("0," + std::to_string(10 + i)); // written where "," is the decimal mark
        shockNames.push_back(named("S", i));
        shockLengths.push_back(std::to_string(i * 3));
    }
    for (int i = 11; i <= 50; ++i) {
        resNames.push_back(named("R", i));
        resValues.push_back(std::to_string(i * 10));
    }
    std::vector<std::string> settings(36, "0");
    settings[0] = "7";        // MinNodeSpacing
    settings[1] = "25";       // GridSpacing
    settings[12] = "TOPSIDE"; // SurfaceName
    settings[13] = "80";      // MaxIterations
    settings[14] = "0,02";    // MaxError
    settings[26] = "0";       // AirDensity, corrected to 1.2
    settings[27] = "300";     // MaxFans
    settings[34] = "95,5";    // SurfacePressure
    settings[35] = "True";    // ScreenBuffer
    folder.Write("Defaults.dat", "2,6\r\n" + tabLine(wallNames) + tabLine(wallFactors) + tabLine(resNames) +
                                     tabLine(resValues) + tabLine(shockNames) + tabLine(shockLengths) +
                                     tabLine(settings));
    VB::SetLocaleDecimalSeparatorOverride('.');
    LoadDefaults();
    EXPECT_EQ(WallTypeName(10), "W10");
    EXPECT_FLOAT_EQ(WallTypeFactor(2), 0.12f);
    EXPECT_EQ(WallTypeName(11), "wall11");
    EXPECT_EQ(ResistanceTypeName(11), "R11");
    EXPECT_EQ(ResistanceTypeName(50), "R50");
    EXPECT_FLOAT_EQ(ResistanceTypeValue(50), 500);
    EXPECT_EQ(ResistanceTypeName(5), "res5"); // presets 2..10 keep their values
    EXPECT_FLOAT_EQ(ResistanceTypeValue(5), 5);
    EXPECT_FLOAT_EQ(ResistanceTypeValue(1), 1e9f);
    EXPECT_FLOAT_EQ(ShockTypeLength(4), 12);
    EXPECT_EQ(MinNodeSpacing, 7);
    EXPECT_EQ(GridSpacing, 25);
    EXPECT_EQ(SurfaceName, "TOPSIDE");
    EXPECT_EQ(MaxIterations, 80);
    EXPECT_FLOAT_EQ(MaxError, 0.02f);
    EXPECT_FLOAT_EQ(AirDensity, 1.2f);
    EXPECT_EQ(MaxFans, 300);
    EXPECT_FLOAT_EQ(SurfacePressure, 95.5f);
    EXPECT_TRUE(ScreenBuffer);
    EXPECT_TRUE(shell.graphicsWindows[0].autoRedraw);
    EXPECT_EQ(DefaultsSaved, 255);
}

// A settings file of the comma format: presets, then the settings values, colours and fonts.
std::string commaFile(const std::string &first, int resistancePairs) {
    std::string t = first + "\r\n";
    for (int i = 0; i <= 10; ++i)
        t += "\"Wall " + std::to_string(i) + "\"," + (i == 4 ? "0.012" : "0.006") + "\r\n";
    for (int i = 0; i < resistancePairs; ++i)
        t += "\"Res " + std::to_string(i) + "\"," + std::to_string(i) + "\r\n";
    for (int i = 0; i <= 6; ++i)
        t += "\"Shock " + std::to_string(i) + "\"," + std::to_string(i * 5) + "\r\n";
    t += "5,50,25,0,0,0,0,4,2,4.5,5,1.8\r\n";
    t += "\"SURF\",60,0.05,0,\"a\",0,\"b\",0,\"c\",0\r\n";
    t += "0,0.09,0.75,2,0,250,2,2,1,0,0,0,0,#TRUE#,0\r\n";
    t += "1,2,3,4,5,6,7,8\r\n";
    t += "\"Arial\",\"Times\",\"Courier\",#TRUE#,#FALSE#,#FALSE#,8,9,10\r\n";
    return t;
}

TEST_F(SettingsFile, Version20CommaFileIsConvertedAndMarkedUnsaved) {
    folder.Write("Defaults.dat", commaFile("2.0", 11));
    LoadDefaults();
    EXPECT_FLOAT_EQ(WallTypeFactor(4), 0.01f);
    EXPECT_FLOAT_EQ(WallTypeFactor(0), 0.005f);
    EXPECT_EQ(WallTypeName(4), "Wall 4");
    EXPECT_EQ(ResistanceTypeName(10), "Res 10");
    EXPECT_EQ(ResistanceTypeName(11), "res11");
    EXPECT_FLOAT_EQ(ShockTypeLength(6), 30);
    EXPECT_EQ(PickDivisor, 25);
    EXPECT_FLOAT_EQ(DefaultDriveHeight, 4.5f);
    EXPECT_EQ(SurfaceName, "SURF");
    EXPECT_EQ(MaxIterations, 60);
    EXPECT_FLOAT_EQ(PowerCost, 0.09f);
    EXPECT_FLOAT_EQ(AirDensity, 1.2f); // 0 in the file
    EXPECT_FLOAT_EQ(SurfacePressure, 101);
    EXPECT_TRUE(ScreenBuffer);
    EXPECT_EQ(ColourTable(7), 8);
    EXPECT_EQ(FontName(2), "Times");
    EXPECT_EQ(FontSize(3), 10);
    EXPECT_EQ(DefaultsSaved, 0);

    // Version 2.4 keeps its factors and counts as saved.
    SetUp();
    folder.Write("Defaults.dat", commaFile("2.4", 11));
    LoadDefaults();
    EXPECT_FLOAT_EQ(WallTypeFactor(4), 0.012f);
    EXPECT_EQ(DefaultsSaved, 255);
}

TEST_F(SettingsFile, MarkedOldFileCarriesFiftyResistancePresets) {
    folder.Write("Defaults.dat", commaFile("GUSTROM2", 50));
    LoadDefaults();
    EXPECT_EQ(ResistanceTypeName(49), "Res 49");
    EXPECT_FLOAT_EQ(ResistanceTypeValue(49), 49);
    EXPECT_EQ(SurfaceName, "SURF");
}

TEST_F(SettingsFile, MissingDamagedAndTooOldFilesAreHandled) {
    boxes.Expect(VB::vbOK, "Error re-loading defaults");
    LoadDefaults();

    folder.Write("Defaults.dat", "0.9\r\nanything\r\n");
    LoadDefaults();
    EXPECT_EQ(WallTypeName(0), "wall0");

    // Cut short after the presets: what was read stays.
    folder.Write("Defaults.dat", "2.6\r\n" + tabLine({"Only"}));
    boxes.Expect(VB::vbOK, "Error re-loading defaults");
    LoadDefaults();
    EXPECT_EQ(WallTypeName(0), "Only");
    EXPECT_TRUE(boxes.Done());
}

TEST_F(SettingsFile, FailedSaveIsReported) {
    AppFolder = folder.path() + "missing/";
    boxes.Expect(VB::vbOK, "Error saving defaults");
    EXPECT_FALSE(SaveDefaults());
    boxes.Expect(VB::vbOK, "Error saving conversion values");
    EXPECT_FALSE(SaveConversion());
}

class ConversionFile : public ::testing::Test {
protected:
    TestFolder folder;
    ScriptedDialogs boxes;
    void TearDown() override { VB::SetLocaleDecimalSeparatorOverride(0); }
};

TEST_F(ConversionFile, RoundTripKeepsEveryFormat) {
    SetBuiltInUnits();
    for (int q = 0; q <= 15; ++q)
        UnitText(q, 0) = "Quantity " + std::to_string(q);
    for (int c = 1; c <= 6; ++c)
        UnitText(0, c) = "Heading " + std::to_string(c);
    UnitFactor(8, 2) = 4.0123f;
    VB::SetLocaleDecimalSeparatorOverride(',');
    ASSERT_TRUE(SaveConversion());
    VB::SetLocaleDecimalSeparatorOverride('.');
    SetBuiltInUnits();
    UnitFactor(8, 2) = 0;
    UnitText(3, 0) = "";
    LoadConversion();
    EXPECT_FLOAT_EQ(UnitFactor(8, 2), 4.0123f);
    EXPECT_FLOAT_EQ(UnitFactor(8, 1), 1.0f);
    EXPECT_EQ(UnitText(3, 0), "Quantity 3");
    EXPECT_EQ(UnitText(0, 6), "Heading 6");
    EXPECT_EQ(UnitText(11, 3), "0,000");
    EXPECT_EQ(UnitText(12, 4), "hh:mm:ss");
    EXPECT_EQ(UnitText(5, 3), "0.00000");
    EXPECT_EQ(UnitText(2, 2), "ft/min");
}

TEST_F(ConversionFile, DecimalFormatsWrittenWithACommaReadWithAPoint) {
    std::string text = "Conversion Table : SI Units to British Units\r\nA\tB\tC\tD\tE\tF\t\r\n";
    const char *formats[][2] = {{"0,0", "0.0"},     {"0,00000", "0.00000"},   {"0,000", "0,000"},
                                {"#,##0", "#,##0"}, {"hh:mm:ss", "hh:mm:ss"}, {"0", "0"}};
    for (int q = 1; q <= 15; ++q) {
        const char *f = formats[(q - 1) % 6][0];
        text += "Q\t1,5\tu\tv\t" + std::string(f) + "\t" + f + "\t\r\n";
    }
    folder.Write("Conversion.dat", text + "End\r\n");
    LoadConversion();
    for (int q = 1; q <= 15; ++q) {
        EXPECT_EQ(UnitText(q, 3), formats[(q - 1) % 6][1]) << q;
        EXPECT_EQ(UnitText(q, 4), formats[(q - 1) % 6][1]) << q;
        EXPECT_FLOAT_EQ(UnitFactor(q, 2), 1.5f);
    }
}

TEST_F(ConversionFile, FactorsThatEarlierFilesHeldWrongReadAsTheBuiltInOnes) {
    // Earlier files held these British factors; every other row here holds a factor of the user's own.
    const std::map<int, const char *> wrong = {{5, "0.8953"}, {6, "0.015"}, {8, "4.0186"},
                                               {9, "2.204"},  {10, "5391"}, {13, "0.2961"}};
    std::string text = "Conversion Table : SI Units to British Units\r\nA\tB\tC\tD\tE\tF\t\r\n";
    for (int q = 1; q <= 15; ++q)
        text += std::string("Q\t") + (wrong.contains(q) ? wrong.at(q) : "1.5") + "\tu\tv\t0.0\t0.0\t\r\n";
    folder.Write("Conversion.dat", text + "End\r\n");
    LoadConversion();
    for (int q = 1; q <= 15; ++q)
        EXPECT_EQ(UnitFactor(q, 2), wrong.contains(q) ? BuiltInBritishFactor(q) : 1.5f) << q;
}

TEST_F(ConversionFile, AFactorBeyondItsRangeReadsAsItsLimitAndTimeShowsAnyValue) {
    std::string text = "Conversion Table : SI Units to British Units\r\nA\tB\tC\tD\tE\tF\t\r\n";
    for (int q = 1; q <= 15; ++q)
        text += std::string("Q\t") + (q == 12 ? "1E+38" : "0") + "\tu\tv\thh:mm:ss\thh:mm:ss\t\r\n";
    folder.Write("Conversion.dat", text + "End\r\n");
    LoadConversion();
    EXPECT_EQ(UnitFactor(12, 2), 1e6f);
    EXPECT_EQ(UnitFactor(1, 2), 1e-6f);
    UnitSystem = 2;
    EXPECT_EQ(FormatValue(1e33f, 12, 0, 0), "inf");
}

TEST_F(ConversionFile, MissingOrShortFileIsReportedAndKeepsRowsNotReached) {
    SetBuiltInUnits();
    boxes.Expect(VB::vbOK, "Error loading conversion values");
    LoadConversion();
    folder.Write("Conversion.dat", "title\r\nA\tB\tC\tD\tE\tF\r\nLength\t3\tm\tyd\t0.0\t0.0\r\n");
    boxes.Expect(VB::vbOK, "Error loading conversion values");
    LoadConversion();
    EXPECT_EQ(UnitText(1, 2), "yd");
    EXPECT_FLOAT_EQ(UnitFactor(1, 2), 3);
    EXPECT_FLOAT_EQ(UnitFactor(2, 2), 196.85f);
    EXPECT_TRUE(boxes.Done());
}

} // namespace
