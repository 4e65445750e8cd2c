// The settings, unit and fan files that sit beside the program (data/, copied next to the executable) are
// written by the program itself: with GUSTROM_WRITE_DATA=1 in the environment this test (re)writes them;
// otherwise it checks that a start with them reads them without a single message.
#include "common/ModelFixture.h"
#include "model/fan_file.h"
#include "model/settings_file.h"
#include "model/units.h"

#include <cstdlib>
#include <filesystem>

namespace {

const std::string DataFolder = std::string(GUSTROM_SOURCE_DIR) + "/data/";
const char *const Files[] = {"Defaults.dat", "Conversion.dat", "fansdata.dat", "Remotes.dat"};

bool writing() {
    const char *flag = std::getenv("GUSTROM_WRITE_DATA");
    return flag != nullptr && std::string(flag) == "1";
}

// A fan with a straight falling curve: pressure p0 at no flow, 0 at q1 (m³/s, Pa).
void addFan(int f, const char *name, float diameter, float p0, float q1) {
    FanName(f) = name;
    FanDiameter(f) = diameter;
    for (int point = 1; point <= 10; ++point) {
        const float q = q1 * static_cast<float>(point - 1) / 10.0f;
        FanCurveFlow(point, f) = q;
        FanCurvePressure(1, point, f) = p0 * (1 - q / q1);
        FanCurvePressure(2, point, f) = p0 * (1 - q / q1) + 40;
        FanCurveEfficiency(point, f) = 40 + 4 * point;
    }
}

} // namespace

using ProgramFiles = ModelTest;

TEST_F(ProgramFiles, TheProgramsOwnFilesLoadWithoutAMessage) {
    if (writing()) {
        SetBuiltInUnits();
        addFan(1, "Main fan 2.4 m", 2.4f, 3000, 250);
        addFan(2, "Booster 1.4 m", 1.4f, 1500, 80);
        addFan(3, "Auxiliary 0.9 m", 0.9f, 2500, 15);
        GraphicsDetail = 511; // every kind of symbol and text shown
        AutosaveMinutes = 5;  // the recovery copy on, at the settings dialog's own default
        // The readings file of the default stations lies beside the program wherever it is installed.
        RealtimeInputFile = "Gustrom.rem";
        AppFolder = DataFolder;
        ASSERT_TRUE(SaveDefaults());
        ASSERT_TRUE(SaveFanData());
        AppFolder = folder.path();
    }
    for (const char *name : Files)
        std::filesystem::copy_file(DataFolder + name, folder.path() + name,
                                   std::filesystem::copy_options::overwrite_existing);
    ScriptedDialogs boxes; // any message fails the test
    SetBuiltInSymbols();   // a network without a file of its own has the shipped symbol sizes
    const std::vector<int> builtIn(IconSize.data(), IconSize.data() + IconSize.size());
    const std::vector<int> builtInScales(IconScale.data(), IconScale.data() + IconScale.size());
    SetBuiltInUnits();
    LoadConversion();
    SetDefaults();
    LoadFanData();
    EXPECT_EQ(std::vector<int>(IconSize.data(), IconSize.data() + IconSize.size()), builtIn);
    EXPECT_EQ(std::vector<int>(IconScale.data(), IconScale.data() + IconScale.size()), builtInScales);
    EXPECT_EQ(GraphicsDetail, 511);
    EXPECT_FLOAT_EQ(WallTypeFactor(4), 0.01f);
    EXPECT_EQ(ShockTypeName(3), "Moderate");
    EXPECT_EQ(FanName(1), "Main fan 2.4 m");
    EXPECT_FLOAT_EQ(FanCurvePressure(1, 1, 2), 1500);
    // The unit rows come back from the conversion file, not only from the built-in table.
    EXPECT_FALSE(UnitText(4, 1).empty());
    EXPECT_FALSE(UnitText(4, 2).empty());
    EXPECT_EQ(StationChannelName(1, 1), "Velocity");
    EXPECT_EQ(RealtimeInputFile, "Gustrom.rem");
}
