#include "common/RecordingSimulationUi.h"
#include "common/ScriptedDialogs.h"
#include "common/test_network.h"
#include "model/fan_efficiency.h"
#include "solver/fan_curves.h"

#include <gtest/gtest.h>

using namespace testnet;

namespace {

// Fan 1: Q = 0 .. 90 step 10, static P = 1000 - 10 Q; one airway using it.
int singleFanAirway(int percent = 0) {
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    const int a = AddFanAirway(1, 0, 0.1, 1, 1, false, percent);
    CheckFanCurves();
    BuildFanCurves();
    return a;
}

struct Evaluation {
    double p = 0, slope = 0;
    int region = 0;
};

Evaluation at(int a, double q) {
    Evaluation e;
    e.region = FanPressureAtFlow(a, static_cast<int>(AirwaySolverFan(a)), q, e.p, e.slope);
    return e;
}

} // namespace

TEST(FanCurves, EleventhPointIsWhereTheLastSegmentReachesZeroPressure) {
    const int a = singleFanAirway();
    EXPECT_FLOAT_EQ(FanCurveFlow(11, 1), 100.0f);
    EXPECT_FLOAT_EQ(FanCurvePressure(1, 11, 1),
                    -(1000.0f - 900.0f + 100.0f)); // minus the total pressure of point 10
    EXPECT_FLOAT_EQ(FanCurvePressure(2, 11, 1), 0.0f);
    ASSERT_EQ(SolverFanCount, 1);
    ASSERT_EQ(AirwaySolverFan(a), 1.0f);

    struct Case {
        double q;
        double p;
        double slope;
        int region;
    };
    const Case cases[] = {
        {-5, 1000, -50, CurveRegion::Below}, // below point 1: the pressure of point 1
        {0, 1000, -10, CurveRegion::On},     // exactly point 1 is on the curve
        {35, 650, -10, CurveRegion::On},     // between points 4 and 5
        {95, -50, -30, CurveRegion::On},     // towards point 11, whose static pressure is -200
        {100, 0, -50, CurveRegion::Beyond},  // exactly point 11 counts as beyond
        {150, 0, -50, CurveRegion::Beyond},
    };
    for (const Case &c : cases) {
        const Evaluation e = at(a, c.q);
        EXPECT_NEAR(e.p, c.p, 1e-3) << c.q;
        EXPECT_NEAR(e.slope, c.slope, 1e-6) << c.q;
        EXPECT_EQ(e.region, c.region) << c.q;
    }
    double p = 250, slope = 0;
    EXPECT_EQ(FanPressureAtFlow(a, -1, 40, p, slope), CurveRegion::On);
    EXPECT_EQ(p, 250);
    EXPECT_EQ(slope, -1);
}

TEST(FanCurves, BlendFollowsTheCurvePercentage) {
    const int a = singleFanAirway(25);
    EXPECT_NEAR(SolverFanPointPressure(3, 1, a), 800 + 25, 1e-4);
    EXPECT_NEAR(FanDataPressure(3, 1, a), 800 + 25, 1e-4);
    EXPECT_NEAR(at(a, 35).p, 650 + 25, 1e-3);
    EXPECT_EQ(FanDataPressure(3, 99, a), 0); // no such fan model
}

TEST(FanCurves, EveryInvalidFanIsReportedAndNeverLeftWithAStalePoint) {
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    SetLinearFan(2, 1000, 10);
    for (int p = 1; p <= 10; ++p)
        FanCurveFlow(p, 2) = 40; // all flows equal
    SetLinearFan(3, 600, 5);
    SetLinearFan(4, 1000, 0); // static and total constant
    SetLinearFan(5, 900, 10); // reaches zero pressure at point 10 exactly
    SetLinearFan(6, 500, -5); // rising: the line never falls to zero beyond point 10
    for (int f = 1; f <= 6; ++f)
        FanCurveFlow(11, f) = 555;
    ScriptedDialogs boxes;
    for (int f : {2, 4, 5, 6})
        boxes.Expect(VB::vbOK, "Invalid Fan Curve : Fan curve # " + std::to_string(f));
    CheckFanCurves();
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(boxes.Shown().at(0).icon, 0);
    EXPECT_FLOAT_EQ(FanCurveFlow(11, 1), 100);
    EXPECT_FLOAT_EQ(FanCurveFlow(11, 3), 150.0f / 5 + 90);
    for (int f : {2, 4, 5, 6})
        EXPECT_EQ(FanCurveFlow(11, f), FanCurveFlow(10, f)) << f;
}

TEST(FanCurves, ParallelAndSeriesFansGetTablesOfTheirOwn) {
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    const int parallel = AddFanAirway(1, 0, 0.1, 1, 2, false);
    const int series = AddFanAirway(2, 0, 0.1, 1, 2, true);
    const int zeroCount = AddFanAirway(3, 0, 0.1, 1, 0, false);
    const int one = AddFanAirway(4, 0, 0.1, 1, 1, false);
    const int fixedPressure = AddAirway(5, 0, 0.1);
    AirwayFan(fixedPressure) = -1;
    CheckFanCurves();
    BuildFanCurves();
    EXPECT_EQ(SolverFanCount, 3);
    EXPECT_EQ(AirwaySolverFan(zeroCount), AirwaySolverFan(one));
    EXPECT_EQ(AirwaySolverFan(fixedPressure), -1.0f);
    const int sp = static_cast<int>(AirwaySolverFan(parallel)),
              ss = static_cast<int>(AirwaySolverFan(series));
    ASSERT_NE(sp, ss);
    for (int p = 1; p <= 11; ++p) {
        EXPECT_FLOAT_EQ(FanSolverFlow(p, sp), 2 * FanCurveFlow(p, 1));
        EXPECT_FLOAT_EQ(FanSolverPressure(1, p, sp), FanCurvePressure(1, p, 1));
        EXPECT_FLOAT_EQ(FanSolverFlow(p, ss), FanCurveFlow(p, 1));
        EXPECT_FLOAT_EQ(FanSolverPressure(2, p, ss), 2 * FanCurvePressure(2, p, 1));
    }
}

TEST(FanCurves, FanNumbersAndCountsThatCannotBeUsedAreListed) {
    NewNetwork(200, 20);
    RecordingSimulationUi ui;
    SetLinearFan(1, 1000, 10);
    const int good = AddFanAirway(1, 0, 0.1, 1, 3, true);
    const int outside = AddFanAirway(2, 0, 0.1, 99);
    const int empty = AddFanAirway(3, 0, 0.1, 7);
    const int negative = AddFanAirway(4, 0, 0.1, -3);
    const int manyParallel = AddFanAirway(5, 0, 0.1, 1, 400, false);
    const int manySeries = AddFanAirway(6, 0, 0.1, 1, 100, true);
    const int negativeCount = AddFanAirway(7, 0, 0.1, 1, -2, false);
    CheckFanCurves();
    BuildFanCurves();
    EXPECT_EQ(ErrorLevel, 1);
    EXPECT_EQ(SolverFanCount, 1);
    EXPECT_EQ(AirwaySolverFan(good), 1.0f);
    for (int a : {outside, empty, negative}) {
        EXPECT_EQ(AirwaySolverFan(a), 0.0f) << a;
        EXPECT_EQ(LinesWith(std::to_string(1000 + a) + "\tFan not in database").size(), 1u) << a;
    }
    for (int a : {manyParallel, manySeries, negativeCount}) {
        EXPECT_EQ(AirwaySolverFan(a), 0.0f) << a;
        EXPECT_EQ(LinesWith(std::to_string(1000 + a) + "\tToo many fans").size(), 1u) << a;
    }
    EXPECT_EQ(ui.errors.size(), 6u);
    // 99 fans in series still fit the code.
    AirwayFanCount(manySeries) = 99;
    BuildFanCurves();
    EXPECT_NE(AirwaySolverFan(manySeries), 0.0f);
    EXPECT_FLOAT_EQ(FanSolverPressure(1, 1, static_cast<int>(AirwaySolverFan(manySeries))), 99 * 1000.0f);
}

TEST(FanCurves, ADutyPointBeyondTheMeasuredCurveOrAtANegativePressureIsTold) {
    NewNetwork();
    // Fan 1 measured to 90 m³/s at 100 Pa, then the straight run to -200 Pa at 100 m³/s; fan 2 falls
    // below zero pressure at 30 m³/s on its measured curve, which has no run beyond it.
    SetLinearFan(1, 1000, 10);
    SetLinearFan(2, 300, 10);
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Invalid Fan Curve : Fan curve # 2");
    CheckFanCurves();
    const struct {
        int fan, count;
        bool series;
        double q;             // m³/s through the airway
        const char *expected; // by hand from the lines above
    } cases[] = {
        {1, 1, false, 50, ""},
        {1, 1, false, 92, "Fan beyond its curve"},                    // 100 - 2 x 30 = 40 Pa
        {1, 1, false, 95, "Fan beyond its curve, pressure negative"}, // 100 - 5 x 30 = -50 Pa
        {1, 1, false, 150, "Fan beyond its curve"},                   // past the run: no pressure
        {1, 2, false, 150, ""},                                       // 75 m³/s through each
        {1, 2, true, 95, "Fan beyond its curve, pressure negative"},  // both at -50 Pa
        {2, 1, false, 50, "Fan pressure negative"},                   // 300 - 500 = -200 Pa
        {-1, 1, false, 500, ""},                                      // a fixed pressure has no curve
    };
    for (const auto &c : cases) {
        const int a = AddFanAirway(1, 0, 0.1, c.fan, c.count, c.series);
        AirwayFlow(a) = static_cast<float>(c.q);
        EXPECT_EQ(FanDutyWarning(a), c.expected) << c.fan << " " << c.count << " " << c.q;
    }
}

TEST(FanCurves, SolverTablesGrowWithTheFansInUse) {
    NewNetwork(200, 10);
    SetLinearFan(1, 1000, 10);
    // Twelve arrangements of one model: more solver fans than database slots.
    for (int n = 1; n <= 12; ++n)
        AddFanAirway(n, 0, 0.1, 1, n, false);
    CheckFanCurves();
    BuildFanCurves();
    EXPECT_EQ(SolverFanCount, 12);
    EXPECT_FLOAT_EQ(FanSolverFlow(2, 12), 12 * 10.0f);
}

TEST(FanEfficiency, InterpolatesAtTheFlowOfEachFan) {
    NewNetwork();
    SetLinearFan(1, 1000, 10); // efficiency 50 + Q / 10
    struct Case {
        int fan;
        int count;
        bool series;
        float flow;
        float efficiency;
        double perFan;
    };
    const Case cases[] = {
        {0, 1, false, 40, 80, 40},    // no fan: AirPowerEfficiency
        {-1, 1, false, 40, 80, 40},   // fixed pressure
        {1, 1, false, 35, 53.5f, 35}, // between points
        {1, 2, false, 70, 53.5f, 35}, // two in parallel share the flow
        {1, 0, false, 35, 53.5f, 35}, // a count of 0 is one fan
        {1, 2, true, 35, 53.5f, 35},  // in series each carries the whole flow
        {1, 1, false, 200, 59, 200},  // beyond point 10
        {1, 1, false, -5, 50, -5},    // below point 1
        {1, 1, false, 90, 59, 90},    // exactly point 10
    };
    for (const Case &c : cases) {
        NewNetwork();
        SetLinearFan(1, 1000, 10);
        const int a = AddFanAirway(1, 0, 0.1, c.fan, c.count, c.series);
        AirwayFlow(a) = c.flow;
        double perFan = 0;
        EXPECT_NEAR(FanEfficiency(a, perFan), c.efficiency, 1e-4) << c.fan << " " << c.flow;
        EXPECT_NEAR(FanDutyEfficiency, c.efficiency, 1e-4);
        EXPECT_NEAR(perFan, c.perFan, 1e-6);
    }
    // A model without efficiencies keeps the default.
    NewNetwork();
    SetLinearFan(1, 1000, 10);
    for (int p = 1; p <= 10; ++p)
        FanCurveEfficiency(p, 1) = 0;
    const int a = AddFanAirway(1, 0, 0.1, 1);
    AirwayFlow(a) = 30;
    EXPECT_FLOAT_EQ(FanEfficiency(a), 80);
}
