// The example networks of examples/ are written by the program itself: with GUSTROM_WRITE_EXAMPLES=1 in
// the environment these tests (re)write them; otherwise they check that the checked-in files load and hold
// what the README says they show.
#include "common/AirwayEnds.h"
#include "model/NetworkFileFixture.h"

#include "common/ScriptedDialogs.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/geometry.h"
#include "model/levels_views.h"
#include "model/node_keys.h"
#include "platform/Text1252.h"
#include "simulation/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

const std::string ExampleFolder = std::string(GUSTROM_SOURCE_DIR) + "/examples/";

bool writing() {
    const char *flag = std::getenv("GUSTROM_WRITE_EXAMPLES");
    return flag != nullptr && std::string(flag) == "1";
}

int addAirway(const char *name, int x1, int y1, int z1, int x2, int y2, int z2, float h, float w) {
    const int a = ++AirwayCount;
    SetAirwayEnds(a, x1, y1, z1, x2, y2, z2);
    AirwayName(a) = name;
    // A round airway (no width) keeps its diameter as its second size.
    AirwayFlags(a) = w == 0 ? AirwayFlag::Round : AirwayFlag::Rectangular;
    AirwaySize(1, a) = w == 0 ? 0 : h;
    AirwaySize(2, a) = w == 0 ? h : w;
    AirwayWallType(a) = w == 0 ? 3 : 5;
    AirwayShockType(a) = 1;
    AirwayParallelCount(a) = 1;
    AirwayIconPosition(a) = 0.5f;
    AirwayPrimaryLayer(a) = 1;
    AirwaySecondaryLayer(a) = 1;
    AirwayNumber(a) = a;
    AirwayFrictionFactor(a) = WallTypeFactor(AirwayWallType(a));
    AirwayShockLength(a) = ShockTypeLength(1);
    return a;
}

// A small mine for learning the program: an intake shaft and a return raise with the main fan, two levels
// joined by a stope with a fixed airflow, and a bulkhead that closes a cross-cut.
void buildTeachingNetwork() {
    ClearNetwork();
    GraphicsDetail = 511;
    NetworkTitle = "Teaching mine";
    FileNote = "A small network for learning Gustrom.\r\nIntake shaft, two levels joined by a stope, a "
               "return raise with the "
               "main fan, a fixed airflow in the stope and a bulkhead.";
    for (int l = 1; l <= 250; ++l) {
        LevelName(l).clear();
        LevelRange(l, 1) = LevelRange(l, 2) = 0;
    }
    LevelName(1) = "SURFACE";
    LevelRange(1, 1) = LevelRange(1, 2) = 1000;
    LevelName(2) = "900 Level";
    LevelRange(2, 1) = 910;
    LevelRange(2, 2) = 890;
    LevelName(3) = "800 Level";
    LevelRange(3, 1) = 810;
    LevelRange(3, 2) = 790;

    const int intake = addAirway("Intake shaft", 0, 0, 1000, 0, 0, 900, 5, 0);
    AirwayFlags(intake) |= AirwayFlag::SurfaceEntry | AirwayFlag::FreshAir;
    addAirway("Intake shaft", 0, 0, 900, 0, 0, 800, 5, 0);
    addAirway("900 drive", 0, 0, 900, 300, 0, 900, 5, 5);
    addAirway("900 drive", 300, 0, 900, 600, 0, 900, 5, 5);
    // The lower level runs beside the upper one, so the plan view shows both.
    addAirway("800 drive", 0, 0, 800, 300, 150, 800, 5, 5);
    addAirway("800 drive", 300, 150, 800, 600, 150, 800, 5, 5);
    const int stope = addAirway("Stope", 300, 150, 800, 300, 0, 900, 4, 4);
    AirwayFlags(stope) |= AirwayFlag::FixedFlow;
    AirwayFlow(stope) = 20;
    const int bulkhead = addAirway("Cross-cut", 600, 150, 800, 600, 0, 900, 4, 4);
    AirwayResistanceType(bulkhead) = 1;
    addAirway("Return raise", 600, 0, 900, 600, 0, 950, 4, 0);
    const int fan = addAirway("Return raise", 600, 0, 950, 600, 0, 1000, 4, 0);
    // A fan fixes its airway's direction, as the edit dialog stores it.
    AirwayFlags(fan) |= AirwayFlag::SurfaceExit | AirwayFlag::ExhaustAir | AirwayFlag::FixedDirection;
    AirwayFan(fan) = 1;
    AirwayFanCount(fan) = 1;
    NextAirwayNumber = AirwayCount;

    for (int f = 1; f <= MaxFans; ++f)
        FanName(f).clear();
    FanName(1) = "Main fan";
    FanDiameter(1) = 2.4f;
    for (int p = 1; p <= 10; ++p) {
        FanCurveFlow(p, 1) = 15.0f * static_cast<float>(p);
        FanCurvePressure(1, p, 1) = 2200.0f - 18.0f * static_cast<float>(p * p);
        FanCurvePressure(2, p, 1) = FanCurvePressure(1, p, 1) + 40.0f * static_cast<float>(p);
        FanCurveEfficiency(p, 1) = 50 + 3 * p;
    }
    PrimaryLayerName(1) = "Development";
    FloatingTextUsed(1) = true;
    FloatingTextString(1) = "Workshop";
    FloatingTextPosition(1, 1) = 150;
    FloatingTextPosition(2, 1) = 20;
    FloatingTextPosition(3, 1) = 900;
    UpdateNodeKeys();
    CalcAllAirways();
}

// A mine-sized network: 300 airways over five levels with a main fan and a booster fan.
void buildMineNetwork() {
    ClearNetwork();
    GenerateNetwork(300, 2024);
    GraphicsDetail = 511;
    // Enough sweeps for a mine of this size to balance fully.
    MaxIterations = 300;
    NetworkTitle = "Example mine";
    FileNote =
        "A generated mine of 300 airways: five levels of drives, an intake shaft, a return shaft with the "
        "main fan, a booster fan, a fixed-quantity airway and a bulkhead.";
}

} // namespace

class ExampleNetworks : public NetworkFileTest {
protected:
    void writeOrCheck(const std::string &name, void (*build)()) {
        build();
        // Opening an example applies its settings: the recovery copy stays on, at the shipped 5 minutes.
        AutosaveMinutes = 5;
        // Readable at first sight: texts keep their point size whatever the zoom, and north is up.
        FontScale = 0;
        const int points[5] = {0, 9, 10, 8, 10}; // data values, airway names, node names, floating text
        for (int k = 1; k <= 4; ++k)
            FontSize(k) = points[k];
        AxisSignY = -1;
        // The surface pressure applies at the surface level, not at wherever airway 1 starts.
        SurfacePressureRL = static_cast<float>(LevelRange(1, 1));
        const std::string built = Snapshot();
        if (writing()) {
            const std::string note = FileNote;
            std::filesystem::create_directories(ExampleFolder);
            NetworkFileName = ExampleFolder + name;
            ASSERT_TRUE(SaveNetwork(0));
            // Saved again with a start-up view that shows every level, fitted to the network, on the first
            // level below the surface; the note keeps the stamp of this last save only.
            ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded) << name;
            FileNote = note;
            ViewMode = 4;
            LevelScrollValue = 2;
            RLWindowLow = LevelRange(2, 2);
            RLWindowHigh = LevelRange(2, 1);
            LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
            SetVisibleAirways();
            FitNetwork();
            ASSERT_TRUE(SaveNetwork(0));
        }
        NetworkFileName = ExampleFolder + name;
        ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded) << name;
        ExpectSameLines(Snapshot(), built);
        // An engineer opening an example sees every kind of symbol and text.
        EXPECT_EQ(GraphicsDetail, 511) << name;
        EXPECT_EQ(AutosaveMinutes, 5) << name;
        EXPECT_EQ(FontScale, 0) << name;
        EXPECT_EQ(AxisSignY, -1) << name;
        EXPECT_EQ(SurfacePressureRL, 1000) << name;
        // Written once: the note carries one save stamp.
        std::size_t stamps = 0;
        for (std::size_t at = FileNote.find("*** File Saved "); at != std::string::npos;
             at = FileNote.find("*** File Saved ", at + 1))
            ++stamps;
        EXPECT_EQ(stamps, 1u) << name;
        // The start-up view sits on a level (fields 11 to 13 of a view row: RL Low, RL High, level), so the
        // airways drawn in it meet on that level.
        const int level = static_cast<int>(ViewSingles(0, 13));
        ASSERT_TRUE(level >= 1 && level <= static_cast<int>(LevelListNames().size())) << name << " " << level;
        EXPECT_EQ(ViewSingles(0, 11), LevelRange(level, 2)) << name;
        EXPECT_EQ(ViewSingles(0, 12), LevelRange(level, 1)) << name;
        // Airways numbered 1 to AirwayCount: the next one drawn takes the next number.
        EXPECT_EQ(NextAirwayNumber, AirwayCount) << name;
        // The comment field holds the network checks' status text, which every run rewrites: an example
        // keeps nothing there.
        for (int a = 1; a <= AirwayCount; ++a)
            EXPECT_EQ(Trim(AirwayComment(a).str()), "") << name << " airway " << a;
    }
};

TEST_F(ExampleNetworks, TeachingNetworkLoadsAsBuilt) {
    writeOrCheck("teaching.sim", buildTeachingNetwork);
    EXPECT_EQ(AirwayCount, 10);
    EXPECT_EQ(FanName(1), "Main fan");
    EXPECT_EQ(FloatingTextString(1), "Workshop");
    EXPECT_EQ(LevelName(3), "800 Level");
}

TEST_F(ExampleNetworks, MineNetworkLoadsAsBuilt) {
    writeOrCheck("mine.sim", buildMineNetwork);
    EXPECT_EQ(AirwayCount, 300);
    EXPECT_EQ(LevelName(6), "Level 5");
    EXPECT_EQ(FanName(2), "Booster");
    // The example is a whole mine: it solves without a fault line.
    ScriptedDialogs quiet;
    AnalysisMode = 0;
    ShowProgress = 0;
    Simulate();
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_NE(ErrorLevel, 1) << (Errorlist.empty() ? "" : Errorlist.front());
    // Both fans run past their last measured points (300 and 60 m³/s) and are listed as warnings; the
    // booster's curve runs straight from 270 Pa at 60 m³/s to -390 Pa at 82.5 m³/s, below zero past
    // 69.2 m³/s, where its 69.3 m³/s lie.
    std::vector<std::string> warnings;
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayFan(a) > 0)
            warnings.push_back(std::to_string(AirwayNumber(a)) + "\tFan beyond its curve" +
                               (AirwayFan(a) == 2 ? ", pressure negative" : ""));
    std::sort(warnings.begin(), warnings.end());
    std::vector<std::string> listed = Errorlist;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, warnings);
    EXPECT_EQ(ErrorLevel, 2);
}
