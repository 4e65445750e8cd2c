#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "platform/System.h"

#include <gtest/gtest.h>

namespace {

class FanFile : public ::testing::Test {
protected:
    TestFolder folder;
    ScriptedDialogs boxes; // any box a test does not script fails it

    void SetUp() override {
        MaxAirways = 20;
        MaxFloatingTexts = 5;
        UndoBufferSize = 10;
        MaxFans = 250;
        ReDimNetwork();
        FanDataRevision = 0;
        FanDataChanged = 0;
    }
    void TearDown() override { VB::SetLocaleDecimalSeparatorOverride(0); }

    static void curve(int f, const std::string &name, float diameter) {
        FanName(f) = name;
        FanDiameter(f) = diameter;
        for (int p = 1; p <= 10; ++p) {
            FanCurvePressure(1, p, f) = 3000.5f - p * 250.25f;
            FanCurvePressure(2, p, f) = 3100.75f - p * 240.5f;
            FanCurveFlow(p, f) = p * 12.125f + f;
            FanCurveEfficiency(p, f) = 40 + p * 3;
        }
    }

    struct Fan {
        std::string name;
        float diameter;
        std::vector<float> values;
        bool operator==(const Fan &) const = default;
    };
    static Fan fan(int f) {
        Fan r{FanName(f), FanDiameter(f), {}};
        for (int p = 1; p <= 10; ++p)
            r.values.insert(r.values.end(),
                            {FanCurvePressure(1, p, f), FanCurvePressure(2, p, f), FanCurveFlow(p, f),
                             static_cast<float>(FanCurveEfficiency(p, f))});
        return r;
    }
};

TEST_F(FanFile, SaveAndLoadKeepEveryFanInBothLocales) {
    for (char writer : {'.', ','}) {
        SCOPED_TRACE(writer);
        SetUp();
        curve(7, "Axial 2000", 2.032f);
        curve(250, "Last slot", 0.9f);
        FanName(9) = "Named, no curve yet";
        FanDiameter(9) = 1.5f;
        const Fan f7 = fan(7), f250 = fan(250), f9 = fan(9);
        VB::SetLocaleDecimalSeparatorOverride(writer);
        ASSERT_TRUE(SaveFanData());
        VB::SetLocaleDecimalSeparatorOverride(writer == '.' ? ',' : '.');
        ReDimNetwork();
        curve(3, "Stale", 1);
        LoadFanData();
        EXPECT_EQ(fan(7), f7);
        EXPECT_EQ(fan(250), f250);
        EXPECT_EQ(fan(9), f9);
        EXPECT_EQ(fan(3), (Fan{"", 0, std::vector<float>(40, 0.0f)}));
        EXPECT_EQ(FanDataChanged, 255);
    }
}

TEST_F(FanFile, FileHoldsHeaderHeadingsAndTheFansWithData) {
    curve(7, "Only", 1.2f);
    ASSERT_TRUE(SaveFanData());
    const std::string text = folder.Read("fansdata.dat");
    EXPECT_EQ(
        text.rfind("2.6 GUSTROM\t1\r\nFan Number\tFan Name\tFan Effective Diameter\r\n"
                   "Point\tStatic Pressure (Pa)\tQuantity (m3/s)\tEfficiency (%)\tTotal Pressure (Pa)\r\n"
                   "7\tOnly\t1.2\r\n1\t2750.25\t19.125\t43\t2860.25\r\n",
                   0),
        0u)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + 11);
}

TEST_F(FanFile, ControlCharactersInANameCannotBreakTheFile) {
    curve(2, "Bad\tname\r\n", 1);
    curve(3, "Next", 1);
    ASSERT_TRUE(SaveFanData());
    LoadFanData();
    EXPECT_EQ(FanName(2), "Bad name");
    EXPECT_EQ(FanName(3), "Next");
}

TEST_F(FanFile, EverySaveRaisesTheRevision) {
    curve(1, "A", 1);
    ASSERT_TRUE(SaveFanData());
    ASSERT_TRUE(SaveFanData());
    EXPECT_EQ(FanDataRevision, 2);
    FanDataRevision = 0;
    LoadFanData();
    EXPECT_EQ(FanDataRevision, 2);
    FanDataRevision = INT32_MAX; // as a file may give it
    ASSERT_TRUE(SaveFanData());
    EXPECT_EQ(FanDataRevision, INT32_MAX);
}

TEST_F(FanFile, HeadingCapacityAboveMaxFansRaisesIt) {
    curve(7, "Low", 1);
    folder.Write("fansdata.dat",
                 "2.6 GUSTROM\t4\r\nFan Number\tFan Name\tFan Effective Diameter\t300\r\n"
                 "Point\tStatic Pressure (Pa)\tQuantity (m3/s)\tEfficiency (%)\tTotal Pressure (Pa)\r\n"
                 "280\tHigh\t3\r\n1\t100\t10\t50\t\r\n2\t90\t20\t55\t95\r\n3\t0\t0\t0\t0\r\n"
                 "4\t0\t0\t0\t0\r\n5\t0\t0\t0\t0\r\n6\t0\t0\t0\t0\r\n7\t0\t0\t0\t0\r\n"
                 "8\t0\t0\t0\t0\r\n9\t0\t0\t0\t0\r\n10\t0\t0\t0\t0\r\n");
    LoadFanData();
    EXPECT_EQ(MaxFans, 300);
    EXPECT_EQ(FanName(280), "High");
    EXPECT_EQ(FanCurvePressure(1, 1, 280), 100);
    EXPECT_EQ(FanCurvePressure(2, 1, 280), 0); // empty fifth field
    EXPECT_EQ(FanCurvePressure(2, 2, 280), 95);
    EXPECT_EQ(FanName(7), "");
    EXPECT_EQ(FanDataRevision, 4);

    // Such a database is written with its capacity, so it reads back where the default capacity applies.
    ASSERT_TRUE(SaveFanData());
    MaxFans = 250;
    ReDimNetwork();
    LoadFanData();
    EXPECT_EQ(MaxFans, 300);
    EXPECT_EQ(FanName(280), "High");
}

TEST_F(FanFile, OldCommaFileLoads) {
    std::string text = "1.0\r\n";
    for (int f = 1; f <= 2; ++f) {
        text += "\"Fan " + std::to_string(f) + "  \"\r\n";
        for (int p = 1; p <= 10; ++p)
            text += std::to_string(1000 - p * 50) + "," + std::to_string(p) + ".5\r\n";
    }
    folder.Write("fansdata.dat", text);
    EXPECT_NE(FanFileReplacement().find("holds 2 fans and will hold 0 fans."), std::string::npos);
    LoadFanData();
    EXPECT_EQ(FanName(1), "Fan 1");
    EXPECT_EQ(FanName(2), "Fan 2");
    EXPECT_EQ(FanCurvePressure(1, 10, 2), 500);
    EXPECT_EQ(FanCurvePressure(2, 10, 2), 500);
    EXPECT_FLOAT_EQ(FanCurveFlow(3, 1), 3.5f);
    EXPECT_EQ(FanName(3), "");
}

TEST_F(FanFile, MissingOrDamagedFilesAreReported) {
    boxes.Expect(VB::vbOK, "Can't find FAN DATABASE");
    LoadFanData();
    EXPECT_EQ(FanFileReplacement(), "") << "no file, nothing to replace";
    folder.Write("fansdata.dat", "2.6 GUSTROM\t1\r\nh\r\nh\r\n1\tCut\t1\r\n1\t5\t6\t7\t8\r\n");
    EXPECT_NE(FanFileReplacement().find("holds 1 fan and"), std::string::npos);
    // A fan cut short is no fan.
    boxes.Expect(VB::vbOK, "1 fan was left out of the fan database: it could not be read.");
    LoadFanData();
    EXPECT_EQ(FanName(1), "");
    EXPECT_EQ(FanCurvePressure(2, 1, 1), 0);
    // A fan with a flow below 0 is damaged: left out and counted.
    std::string text = "2.6 GUSTROM\t1\r\nh\r\nh\r\n1\tBad\t1\r\n";
    for (int p = 1; p <= 10; ++p)
        text += std::to_string(p) + "\t5\t" + (p == 4 ? "-6" : "6") + "\t7\t8\r\n";
    folder.Write("fansdata.dat", text);
    boxes.Expect(VB::vbOK, "1 fan was left out of the fan database: it held a value outside its range.");
    LoadFanData();
    EXPECT_EQ(FanName(1), "");
    EXPECT_EQ(FanCurveFlow(1, 1), 0);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(FanFile, ADamagedFanIsLeftOutAndCountedAndTheFansAfterItAreReadAndSavedWhole) {
    for (int f = 1; f <= 3; ++f)
        curve(f, "Fan " + std::to_string(f), 2);
    const Fan f1 = fan(1), f3 = fan(3);
    ASSERT_TRUE(SaveFanData());
    std::string tab = folder.Read("fansdata.dat");
    const std::size_t second = tab.find("\r\n2\t", tab.find("2\tFan 2\t")) + 2; // fan 2's second point
    tab.replace(tab.find('\t', tab.find('\t', second) + 1) + 1, 6, "abc");      // its quantity no number
    // Version 1.0: fan 2's fourth flow below 0, or the file cut inside a third fan.
    std::string comma = "1.0\r\n";
    for (int f = 1; f <= 3; ++f) {
        comma += "\"Fan " + std::to_string(f) + "\"\r\n";
        for (int p = 1; p <= 10; ++p)
            comma += std::to_string(1000 - p * 50) + (f == 2 && p == 4 ? ",-4" : ",4") + "\r\n";
    }
    const struct {
        std::string text;
        const char *said;
    } cases[] = {
        {tab, "1 fan was left out of the fan database: it could not be read."},
        {comma, "1 fan was left out of the fan database: it held a value outside its range."},
        {comma + "\"Fan 4\"\r\n5,6\r\n",
         "2 fans were left out of the fan database: 1 could not be read, 1 held a value outside its range."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.said);
        folder.Write("fansdata.dat", c.text);
        boxes.Expect(VB::vbOK, c.said);
        LoadFanData();
        EXPECT_TRUE(boxes.Done());
        EXPECT_EQ(FanName(2), "");
        EXPECT_EQ(FanCurveFlow(1, 2), 0);
        EXPECT_EQ(FanName(3), "Fan 3");
        EXPECT_EQ(FanName(4), "");
        // What is kept saves and reads back whole, with nothing left out.
        const Fan kept = fan(3);
        ASSERT_TRUE(SaveFanData());
        LoadFanData();
        EXPECT_EQ(fan(3), kept);
        EXPECT_EQ(fan(2), (Fan{"", 0, std::vector<float>(40, 0.0f)}));
    }
    folder.Write("fansdata.dat", tab);
    boxes.Expect(VB::vbOK, "could not be read");
    LoadFanData();
    EXPECT_EQ(fan(1), f1);
    EXPECT_EQ(fan(3), f3);
}

TEST_F(FanFile, FailedSaveIsReportedAndKeepsTheRevision) {
    curve(1, "A", 1);
    AppFolder = folder.path() + "missing/";
    boxes.Expect(VB::vbOK, "Error saving the fan database");
    EXPECT_FALSE(SaveFanData());
    EXPECT_EQ(FanDataRevision, 0);
    EXPECT_EQ(FanDataChanged, 0);
}

} // namespace
