#include "common/ScriptedDialogs.h"
#include "model/Gustrom1.h"
#include "model/settings_file.h"
#include "model/units.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Units : public ::testing::Test {
protected:
    void SetUp() override {
        VB::SetLocaleDecimalSeparatorOverride('.');
        SetBuiltInUnits();
        savedSystem_ = UnitSystem;
        UnitSystem = 1;
        savedMax_ = MaxAirways;
        MaxAirways = 10;
        ReDimNetwork();
    }
    void TearDown() override {
        VB::SetLocaleDecimalSeparatorOverride(0);
        UnitSystem = savedSystem_;
        MaxAirways = savedMax_;
        ReDimNetwork();
        SmokeMode = 0;
    }

    // Airway 1: a rectangular 4 × 5 m airway with a flow of 12.3 m³/s.
    static void plainAirway() {
        ClearAirway(1);
        AirwayFlags(1) = AirwayFlag::Rectangular;
        AirwaySize(1, 1) = 4;
        AirwaySize(2, 1) = 5;
        AirwayFlow(1) = 12.3f;
        AirwayParallelCount(1) = 1;
    }

private:
    int savedSystem_ = 0;
    int32_t savedMax_ = 0;
};

} // namespace

TEST_F(Units, PatternFormatterCoversThePatternLanguage) {
    struct Case {
        double value;
        const char *pattern;
        const char *text;
    };
    const Case cases[] = {
        {0.0123456, "0.00000", "0.01235"},
        {12.345, "0.00000", "12.34500"},
        {1500, "0,000", "1,500"},
        {12, "0,000", "0,012"},
        {1234567, "0,000", "1,234,567"},
        {1500, "$#,##0", "$1,500"},
        {73024, "$#,##0", "$73,024"},
        {12345678, "#,##0", "12,345,678"},
        {0, "$#,##0", "$0"},
        {-1500.4, "$#,##0", "-$1,500"},
        {0.05, "0.0########", "0.05"},
        {2, "0.0########", "2.0"},
        {1.0 / 3.0, "0.0########", "0.333333333"},
        {0.5, "#.##", ".5"},
        {2.5, "0", "3"},
        {0.04, "0", "0"},
        {0.004, "0.0", "0.0"},
        {-0.04, "0.0", "0.0"},
        {-2.25, "0.0", "-2.3"},
        {99.96, "0.0", "100.0"},
        {42, "0 %", "42 %"},
        {3725.0 / 86400, "hh:mm:ss", "01:02:05"},
        {0.5, "hh:mm:ss", "12:00:00"},
        {90000.0 / 86400, "hh:mm:ss", "25:00:00"},
        {-5, "0;(0)", "(5)"},
        {0, "0;(0);\"zero\"", "zero"},
        {7, "\\#0", "#7"},
        {1234.5, "", "1234.5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatPattern(c.value, c.pattern), c.text) << c.pattern << " " << c.value;
    // Singles are formatted from their own 7 digits.
    EXPECT_EQ(FormatPattern(0.05f, "0.0########", 7), "0.05");
    EXPECT_EQ(FormatPattern(0.05f, "0.0########", 15), "0.050000001");
    // A "," locale swaps the marks of the output.
    VB::SetLocaleDecimalSeparatorOverride(',');
    EXPECT_EQ(FormatPattern(1234.5, "#,##0.00"), "1.234,50");
}

TEST_F(Units, ShownValuesRoundFromTheSevenDigitsASingleHolds) {
    const struct {
        float value;
        int decimals;
        double shown;
    } cases[] = {
        {0.0002f, 7, 0.0002},       // held as 0.000199999995
        {12.3455f, 3, 12.346},      // held as 12.3454999924: the typed half goes up
        {0.7f, 3, 0.7},             // held as 0.699999988
        {-2.25f, 1, -2.3},          // halves away from zero
        {0.000105487f, 5, 0.00011}, // a fixed number of decimals keeps only what it shows
        {1e9f, 1, 1e9},
        {3e25f, 1, 3e25}, // beyond the powers of ten a double holds exactly
    };
    for (const char separator : {'.', ','}) {
        VB::SetLocaleDecimalSeparatorOverride(separator);
        for (const auto &c : cases)
            EXPECT_FLOAT_EQ(ShownValue(c.value, c.decimals), static_cast<float>(c.shown))
                << c.value << " " << c.decimals << " '" << separator << "'";
    }
}

TEST_F(Units, FormatValueInSiAndBritishUnits) {
    struct Case {
        int system;
        float value;
        int quantity;
        int withUnit;
        int precision;
        const char *text;
    };
    const Case cases[] = {
        {1, 12.34f, 4, 1, 0, "12.3 m3/s"},
        {2, 12.34f, 4, 1, 0, "26.1 kcf/m"},
        {1, 250, 8, 1, 0, "250.0 Pa"},
        {2, 250, 8, 1, 0, "1003.7 m.in.wg"},
        {1, 1500, 11, 1, 0, "$ 1,500"},
        {2, 1500, 11, 1, 0, "$ 1,500"},
        {1, 12, 11, 1, 0, "$ 0,012"},
        {1, 0.05f, 8, 0, -1, "0.05"},
        {1, 0.5f, 5, 0, 0, "0.50000"},
        {2, 0.012f, 10, 1, 0, "64.7 Kx1e10"},
        {1, 3725.0f / 86400, 12, 0, 0, "01:02:05"},
        {1, 100, 1, 1, 0, "100.0 m"},
    };
    for (const auto &c : cases) {
        UnitSystem = c.system;
        EXPECT_EQ(FormatValue(c.value, c.quantity, c.withUnit, c.precision), c.text)
            << "quantity " << c.quantity << " system " << c.system;
    }
    // Before any settings are read the values show in SI.
    UnitSystem = 0;
    EXPECT_EQ(FormatValue(12.34f, 4, 1, 0), "12.3 m3/s");
}

TEST_F(Units, EveryBritishFactorIsTheOneItsUnitsGive) {
    // Exact definitions: the foot, the pound, standard gravity; an inch of water at 4 °C and of mercury
    // at 0 °C.
    const double ft = 0.3048, lb = 0.45359237, g = 9.80665, inchOfWater = 249.089, inchOfMercury = 3386.389;
    const double lbf = lb * g, lbfPerFt2 = lbf / (ft * ft), ftPerMin = ft / 60;
    const double milliInchOfWater = inchOfWater / 1000, kcfm = 1000 * ft * ft * ft / 60;
    const struct {
        int quantity;
        const char *unit;
        double factor; // British units per SI unit
    } rows[] = {
        {1, "ft", 1 / ft},
        {2, "ft/min", 1 / ftPerMin},
        {3, "ft2", 1 / (ft * ft)},
        {4, "kcf/m", 1 / kcfm},
        // Pressure in milli-inches of water per airflow in thousand ft³/min, squared.
        {5, "Rx1e9", kcfm * kcfm / milliInchOfWater},
        {6, "lb/ft3", ft * ft * ft / lb},
        {7, "hp", 1000 / (550 * lbf * ft)},
        {8, "m.in.wg", 1 / milliInchOfWater},
        {9, "lb", 1 / lb},
        // k = p A / (C L v²): lbf·min²/ft⁴ × 1e10; the lengths cancel, the velocity is in ft/min.
        {10, "Kx1e10", 1e10 / lbfPerFt2 * ftPerMin * ftPerMin},
        {11, "$", 1},
        {12, "h:m:s", 1},
        {13, "in.Hg", 1000 / inchOfMercury},
        {14, "ft", 1 / ft},
        {15, "%", 1},
    };
    // The built-in table, then the conversion file the program ships.
    const std::string folder = AppFolder;
    for (const bool shipped : {false, true}) {
        SetBuiltInUnits();
        if (shipped) {
            ScriptedDialogs quiet;
            AppFolder = std::string(GUSTROM_SOURCE_DIR) + "/data/";
            LoadConversion();
            AppFolder = folder;
        }
        for (const auto &r : rows) {
            EXPECT_EQ(UnitText(r.quantity, 2), r.unit) << r.quantity;
            EXPECT_NEAR(UnitFactor(r.quantity, 2) / r.factor, 1, 5e-5)
                << r.unit << (shipped ? " in Conversion.dat" : " built in");
            EXPECT_EQ(UnitFactor(r.quantity, 1), 1.0f);
        }
    }
}

TEST_F(Units, DisplayConversionBothWays) {
    for (const int system : {1, 2}) {
        UnitSystem = system;
        float zero = 0;
        EXPECT_EQ(FromDisplayUnits(zero, 4), 0);
        float shown = ToDisplayUnits(10, 4);
        EXPECT_FLOAT_EQ(FromDisplayUnits(shown, 4), 10);
    }
    UnitSystem = 2;
    EXPECT_FLOAT_EQ(ToDisplayUnits(10, 1), 32.8084f);
    // A damaged factor of 0 does not divide by zero.
    UnitFactor(15, 2) = 0;
    float value = 7;
    EXPECT_EQ(FromDisplayUnits(value, 15), 7);
}

TEST_F(Units, AirwayDataTextPrefixes) {
    struct Case {
        int fan, fanCount, parallel;
        bool fixedFlow;
        const char *text;
    };
    const Case cases[] = {
        {0, 0, 1, false, "12.3"},
        {3, 1, 1, true, "FixQ Fan3:12.3"},
        {3, 2, 1, true, "FixQ 2xFan3:12.3"},
        {-1, 0, 1, false, "FixP 12.3"},
        {0, 0, 2, false, "[2] 12.3"},
        {3, 2, 3, true, "[3] FixQ 2xFan3:12.3"},
    };
    for (const auto &c : cases) {
        plainAirway();
        AirwayFan(1) = c.fan;
        AirwayFanCount(1) = c.fanCount;
        AirwayParallelCount(1) = c.parallel;
        if (c.fixedFlow)
            AirwayFlags(1) |= AirwayFlag::FixedFlow;
        EXPECT_EQ(AirwayDataText(12, 1, 0), c.text);
    }
    // With units the fan prefix is left out; codes without a value keep the prefixes.
    EXPECT_EQ(AirwayDataText(12, 1, 1), "[3] FixQ 12.3 m3/s");
    EXPECT_EQ(AirwayDataText(27, 1, 0), "[3] FixQ 2xFan3:");
    EXPECT_EQ(AirwayDataText(99, 1, 0), "[3] FixQ 2xFan3:");
}

TEST_F(Units, AirwayDataTextValuesByCode) {
    plainAirway();
    AirwayNumber(1) = 17;
    AirwayPrimaryLayer(1) = 2;
    AirwaySecondaryLayer(1) = 5;
    AirwayStartPressure(1) = 500;
    AirwayEndPressure(1) = 380;
    AirwaySmokeTime(1) = 3725;
    EXPECT_EQ(AirwayDataText(13, 1, 1), "0.6 m/s");
    EXPECT_EQ(AirwayDataText(22, 1, 0), "120.0");
    EXPECT_EQ(AirwayDataText(24, 1, 0), "");
    EXPECT_EQ(AirwayDataText(35, 1, 0), "4.0 x 5.0");
    EXPECT_EQ(AirwayDataText(52, 1, 0), " 17");
    EXPECT_EQ(AirwayDataText(53, 1, 0), "2,5");
    EXPECT_EQ(AirwayDataText(56, 1, 0), "01:02:05");
    AirwaySmokeTime(1) = 43200;
    EXPECT_EQ(AirwayDataText(56, 1, 0), "12:00:00");
    AirwaySmokeTime(1) = 9999999;
    EXPECT_EQ(AirwayDataText(56, 1, 0), "");
    AirwayContaminant(1) = 3;
    EXPECT_EQ(AirwayDataText(55, 1, 0), "3");
    SmokeMode = 1;
    AirwaySmoke(2, 1) = 0;
    EXPECT_EQ(AirwayDataText(55, 1, 0), "");

    // Round airway of diameter 2 m, no flow, 98.1 Pa across it: a regulator load of about 31 kg.
    ClearAirway(2);
    AirwayFlags(2) = AirwayFlag::Round;
    AirwaySize(2, 2) = 2;
    AirwayStartPressure(2) = 98.1f;
    AirwayEndPressure(2) = 0;
    EXPECT_EQ(AirwayDataText(25, 2, 1), "31 kg");
    EXPECT_EQ(AirwayDataText(35, 2, 0), "Diam 2.0");
}

TEST_F(Units, FanOffItsCurveShowsStallAndNegate) {
    plainAirway();
    const int fan = 3;
    for (int p = 1; p <= 10; ++p)
        FanCurvePressure(1, p, fan) = 3000.0f - 250.0f * static_cast<float>(p);
    FanDiameter(fan) = 2;
    AirwayFan(1) = fan;
    AirwayFanCount(1) = 2;
    AirwayPressure(1) = -9999;
    EXPECT_EQ(AirwayDataText(24, 1, 1), "Stall @2750.0 Pa");
    AirwayFlags(1) |= AirwayFlag::FansInSeries;
    EXPECT_EQ(AirwayDataText(24, 1, 1), "Stall @5500.0 Pa");
    AirwayPressure(1) = 9999;
    EXPECT_EQ(AirwayDataText(24, 1, 1), "Negate @500.0 Pa");
    AirwayPressure(1) = 1200;
    EXPECT_EQ(AirwayDataText(24, 1, 0), "2xFan3:1200.0");
    // The regulator load of a fan airway comes from its pressure: 20 m² × -1200 Pa / 9.81.
    EXPECT_EQ(AirwayDataText(25, 1, 1), "-2446 kg");
    // Fan power with the velocity pressure of two 2 m fans at 80 % efficiency.
    AirDensity = 1.2f;
    AirPowerEfficiency = 0.8f;
    EXPECT_EQ(AirwayDataText(43, 1, 1), "18 kW");
    AirwayPressure(1) = 9999;
    EXPECT_EQ(AirwayDataText(25, 1, 1), "N/A");
}

TEST_F(Units, ResistanceLabelNamesThePresetOfTheLastText) {
    plainAirway();
    ResistanceTypeName(3) = "Wood Door";
    AirwayResistanceType(1) = 3;
    AirwayResistance(1) = 5;
    ResistanceLabel = "";
    AirwayDataText(12, 1, 0);
    EXPECT_EQ(ResistanceLabel, "") << "needs the layer-visible mark and resistance symbols shown";
    AirwayFlags(1) |= AirwayFlag::LayerVisible;
    const int savedDetail = GraphicsDetail;
    GraphicsDetail = 8;
    AirwayDataText(12, 1, 0);
    EXPECT_EQ(ResistanceLabel, "Wood Door");
    GraphicsDetail = savedDetail;
    ResistanceTypeName(4) = "Brattice";
    AirwayResistanceType(1) = 4;
    EXPECT_EQ(AirwayDataText(32, 1, 1), "5.00000 Ns2/m8");
    EXPECT_EQ(ResistanceLabel, "Brattice");
}
