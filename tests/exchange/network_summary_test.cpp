// The network summary's sums.
#include "common/ModelFixture.h"
#include "exchange/network_summary.h"
#include "model/node_keys.h"

#include <cmath>

class SummaryTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        AirPowerEfficiency = 0.8f;
        AirDensity = 1.2f;
        addFan();
    }
    // Fan 1: 2 m across, its static curve starting at 1500 Pa, no efficiency data.
    void addFan() {
        FanName(1) = "Main";
        FanDiameter(1) = 2;
        FanCurvePressure(1, 1, 1) = 1500;
        for (int p = 1; p <= 10; ++p)
            FanCurveEfficiency(p, 1) = 0;
    }

public:
    // One airway of flow q (m³/s), resistance r, fan and pressure; starting on the surface when asked.
    int airway(double q, double r, int fan = 0, double pressure = 0, bool fromSurface = false) {
        const int a = AddAirway(0, 10 * AirwayCount, -100, 50, 10 * AirwayCount, -100);
        AirwayFlow(a) = static_cast<float>(q);
        AirwayResistance(a) = static_cast<float>(r);
        AirwayFan(a) = fan;
        AirwayFanCount(a) = fan > 0 ? 1 : 0;
        AirwayPressure(a) = static_cast<float>(pressure);
        AirwayLength(a) = 50;
        AirwayStartKey(a) = fromSurface ? SurfaceNodeKey : 1000 + a;
        return a;
    }
};

TEST_F(SummaryTest, EachAirwayKindAddsItsOwnTerms) {
    constexpr double velocityPressure = 1.2 * (10 / 3.141592654) * (10 / 3.141592654) / 2; // 10 m³/s, 2 m fan
    struct Case {
        const char *kind;
        std::function<void(SummaryTest &)> build;
        double airflow, airPower, inputPower, fans;
    } cases[] = {
        {"surface start counts its flow", [](SummaryTest &t) { t.airway(20, 0.01, 0, 0, true); }, 20, 80, 0,
         0},
        {"ending at the surface does not", [](SummaryTest &t) { t.airway(20, 0.01); }, 0, 80, 0, 0},
        {"negative flow keeps its sign", [](SummaryTest &t) { t.airway(-10, 0.01); }, 0, -10, 0, 0},
        {"fan on its static curve", [](SummaryTest &t) { t.airway(10, 0, 1, 800); }, 0, 0,
         10 * (800 + velocityPressure) / 0.8, 1},
        {"fan beyond its curve adds nothing", [](SummaryTest &t) { t.airway(10, 0, 1, 9999); }, 0, 0, 0, 1},
        {"stalled fan works at its first point, without velocity pressure",
         [](SummaryTest &t) { t.airway(10, 0, 1, -9999); }, 0, 0, 10 * 1500 / 0.8, 1},
        {"fixed pressure: no velocity pressure, no fan",
         [](SummaryTest &t) { AirwayFanCount(t.airway(10, 0, -1, 500)) = 1; }, 0, 0, 10 * 500 / 0.8, 0},
        {"fixed quantity without fan",
         [](SummaryTest &t) { AirwayFlags(t.airway(10, 0, 0, 300)) |= AirwayFlag::FixedFlow; }, 0, 0,
         300 * 10 / 0.8, 0},
        {"fixed quantity throttled adds nothing",
         [](SummaryTest &t) { AirwayFlags(t.airway(10, 0, 0, -300)) |= AirwayFlag::FixedFlow; }, 0, 0, 0, 0},
        {"fixed quantity with fan counts once, as a fan",
         [](SummaryTest &t) { AirwayFlags(t.airway(10, 0, 1, 800)) |= AirwayFlag::FixedFlow; }, 0, 0,
         10 * (800 + velocityPressure) / 0.8, 1},
        {"fan count 0 counts no fan", [](SummaryTest &t) { AirwayFanCount(t.airway(10, 0, 1, 9999)) = 0; }, 0,
         0, 0, 0},
        {"fan number beyond the database", [](SummaryTest &t) { t.airway(10, 0, MaxFans + 5, -9999); }, 0, 0,
         0, 1},
    };
    for (const Case &c : cases) {
        ClearNetwork();
        AirwayCount = 0;
        addFan();
        c.build(*this);
        const NetworkSummary s = SumNetwork();
        EXPECT_NEAR(s.totalAirflow, c.airflow, 1e-6) << c.kind;
        EXPECT_NEAR(s.airPower, c.airPower, 1e-3) << c.kind;
        EXPECT_NEAR(s.inputPower, c.inputPower, 1e-2) << c.kind;
        EXPECT_EQ(s.fanCount, c.fans) << c.kind;
        EXPECT_DOUBLE_EQ(s.totalLength, 50) << c.kind;
    }
}

TEST_F(SummaryTest, AFanWithoutEfficiencyAtItsDutyPointCountsAtTheDefault) {
    // Efficiency points that read 0 at this flow.
    FanCurveEfficiency(10, 1) = 70;
    for (int p = 1; p <= 10; ++p)
        FanCurveFlow(p, 1) = static_cast<float>(10 * p);
    airway(5, 0, 1, 800);
    const double withDefault = SumNetwork().inputPower;
    EXPECT_TRUE(std::isfinite(withDefault));
    EXPECT_GT(withDefault, 0);
    AirPowerEfficiency = 0;
    EXPECT_DOUBLE_EQ(SumNetwork().inputPower, 0);
}
