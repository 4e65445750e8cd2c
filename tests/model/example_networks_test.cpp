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
#include "solver/driver.h"

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

// The ten points of fan f: flows q1 .. 10 q1 (m³/s), static pressures p0 - k n² (Pa) at point n.
void setFanCurve(int f, float q1, float p0, float k) {
    for (int n = 1; n <= 10; ++n) {
        const auto point = static_cast<float>(n);
        FanCurveFlow(n, f) = q1 * point;
        FanCurvePressure(1, n, f) = p0 - k * point * point;
        FanCurvePressure(2, n, f) = FanCurvePressure(1, n, f) + 4 * q1 * point;
        FanCurveEfficiency(n, f) = 50 + 3 * n;
    }
}

// A small mine for learning the program: an intake shaft and a return raise with the main fan, two levels
// joined by a stope with a fixed airflow, and a bulkhead that closes a cross-cut. In plan no two airways
// lie on one another, so that each one's name and values show apart: the shaft goes on down inclined to
// the 800 Level, which runs north of the 900 Level, and the fan stands at the surface on a fan drift that
// leaves the raise just below its collar.
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
    addAirway("Intake shaft", 0, 0, 900, 0, 150, 800, 5, 0);
    addAirway("900 drive", 0, 0, 900, 300, 0, 900, 5, 5);
    addAirway("900 drive", 300, 0, 900, 600, 0, 900, 5, 5);
    addAirway("800 drive", 0, 150, 800, 300, 150, 800, 5, 5);
    addAirway("800 drive", 300, 150, 800, 600, 150, 800, 5, 5);
    const int stope = addAirway("Stope", 300, 150, 800, 300, 0, 900, 4, 4);
    AirwayFlags(stope) |= AirwayFlag::FixedFlow;
    AirwayFlow(stope) = 20;
    const int bulkhead = addAirway("Cross-cut", 600, 150, 800, 600, 0, 900, 4, 4);
    AirwayResistanceType(bulkhead) = 1;
    addAirway("Return raise", 600, 0, 900, 600, 0, 980, 4, 0);
    const int fan = addAirway("Fan drift", 600, 0, 980, 600, -110, 1000, 4, 0);
    // A fan fixes its airway's direction, as the edit dialog stores it.
    AirwayFlags(fan) |= AirwayFlag::SurfaceExit | AirwayFlag::ExhaustAir | AirwayFlag::FixedDirection;
    AirwayFan(fan) = 1;
    AirwayFanCount(fan) = 1;
    NextAirwayNumber = AirwayCount;

    for (int f = 1; f <= MaxFans; ++f)
        FanName(f).clear();
    FanName(1) = "Main fan";
    FanDiameter(1) = 2.4f;
    // The duty (about 240 m³/s) lies well within the measured points.
    setFanCurve(1, 30, 2400, 20);
    PrimaryLayerName(1) = "Development";
    FloatingTextUsed(1) = true;
    FloatingTextString(1) = "Workshop";
    FloatingTextPosition(1, 1) = 420;
    FloatingTextPosition(2, 1) = 110;
    FloatingTextPosition(3, 1) = 900;
    UpdateNodeKeys();
    CalcAllAirways();
}

// A mine-sized network: 300 airways over five levels with a main fan and a booster fan. Its levels lie on
// one another in plan, so the drawing shows the data of the airways that tell the mine's story only (the
// display option "Selected Data only"): the top of both shafts, the booster, the fixed quantity and the
// bulkhead.
void buildMineNetwork() {
    ClearNetwork();
    const GeneratedNetwork mine = GenerateNetwork(300, 2024);
    GraphicsDetail = 511;
    // Enough sweeps for a mine of this size to balance fully.
    MaxIterations = 300;
    NetworkTitle = "Example mine";
    FileNote =
        "A generated mine of 300 airways: five levels of drives, an intake shaft, a return shaft with the "
        "main fan, a booster fan, a fixed-quantity airway and a bulkhead.";
    // Both duties (about 320 and 185 m³/s) lie well within the measured points.
    setFanCurve(1, 40, 600, 5.5f);
    setFanCurve(2, 25, 120, 0.8f);
    AirwayName(1) = "Intake shaft";
    AirwayName(mine.mainFanAirway) = "Return shaft";
    // The bulkhead stands near the drive's far end, clear of the drive's three lines of text.
    AirwayIconPosition(mine.bulkheadAirway) = 0.65f;
    DataDisplayMode = 3;
    for (int a = 1; a <= AirwayCount; ++a)
        AirwayFlags(a) |= AirwayFlag::DataHidden;
    for (const int a :
         {1, mine.mainFanAirway, mine.boosterFanAirway, mine.fixedFlowAirway, mine.bulkheadAirway})
        AirwayFlags(a) &= ~AirwayFlag::DataHidden;
}

} // namespace

// The start-up view: the plan centred on (x, y), `width` m across.
struct StartView {
    int32_t x, y;
    double width;
};

class ExampleNetworks : public NetworkFileTest {
protected:
    void writeOrCheck(const std::string &name, void (*build)(), StartView view) {
        build();
        // Opening an example applies its settings: the recovery copy stays on, at the shipped 5 minutes.
        AutosaveMinutes = 5;
        // Readable at first sight: texts keep their point size and symbols their share of the window
        // whatever the zoom, and north is up.
        FontScale = 0;
        SetBuiltInSymbols();
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
            // Saved again with a start-up view that shows every level on the first level below the surface,
            // the whole network and every label in the program's first window; the note keeps the stamp of
            // this last save only.
            ASSERT_EQ(LoadNetwork(), LoadOutcome::Loaded) << name;
            FileNote = note;
            ViewMode = 4;
            LevelScrollValue = 2;
            RLWindowLow = LevelRange(2, 2);
            RLWindowHigh = LevelRange(2, 1);
            LevelElevation = (static_cast<double>(RLWindowHigh) + RLWindowLow) / 2;
            SetVisibleAirways();
            FitNetwork();
            SetViewScale(view.width, view.width * AspectRatio, view.x, view.y);
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
    writeOrCheck("teaching.sim", buildTeachingNetwork, {330, 20, 780});
    EXPECT_EQ(AirwayCount, 10);
    EXPECT_EQ(FanName(1), "Main fan");
    EXPECT_EQ(FloatingTextString(1), "Workshop");
    EXPECT_EQ(LevelName(3), "800 Level");
}

TEST_F(ExampleNetworks, MineNetworkLoadsAsBuilt) {
    writeOrCheck("mine.sim", buildMineNetwork, {50240, 20205, 660});
    EXPECT_EQ(AirwayCount, 300);
    EXPECT_EQ(LevelName(6), "Level 5");
    EXPECT_EQ(FanName(2), "Booster");
    // The example is a whole mine: it solves without a fault line, and both fans work on their curves.
    ScriptedDialogs quiet;
    AnalysisMode = 0;
    ShowProgress = 0;
    Simulate();
    EXPECT_TRUE(NetworkBalanced);
    EXPECT_EQ(Errorlist, std::vector<std::string>{});
    EXPECT_EQ(ErrorLevel, 0);
}
