#include "graphics/DrawingFixture.h"

namespace {

class StationReadings : public DrawingTest {
protected:
    int a = 0;

    void SetUp() override {
        DrawingTest::SetUp();
        GraphicsDetail = 2; // airway names: none here, so only the station block is written
        RealtimeInputOn = -1;
        a = AddAirway(-100, 0, 0, 100, 0, 0);
        AirwaySize(1, a) = 4;
        AirwaySize(2, a) = 5;
        AirwayStation(a) = 1;
        Show({a});
        for (int c = 1; c <= StationChannels; ++c) {
            StationChannelName(1, c) = "";
            StationChannelAbbrev(1, c) = "";
            StationChannelUnit(1, c) = "";
            StationFactor(1, c) = 1;
            StationAlarmLow(1, c) = 0;
            StationAlarmHigh(1, c) = 0;
            StationReading(1, c) = 0;
        }
        StationName(1) = "Fan house";
        StationFileText(1, 2) = "10:15:00";
        StationUpdateFlow(1) = 1;
        Channel(1, "Velocity", "V", "m/s");
    }

    static void Channel(int c, const char *name, const char *abbrev, const char *unit) {
        StationChannelName(1, c) = name;
        StationChannelAbbrev(1, c) = abbrev;
        StationChannelUnit(1, c) = unit;
    }
};

TEST_F(StationReadings, FirstChannelVelocityOrQuantitySetsTheFlowAndFixesIt) {
    const struct {
        const char *name;
        int32_t reading;
        float factor, flow;
        bool fixed;
    } cases[] = {{"Velocity", 2, 1, 40, true},
                 {"VELOCITY", 0, 1, 0, false},
                 {"quantity", 17, 1, 17, true},
                 {"Quantity", 1000, 1e38f, 99, true}}; // beyond a single: the flow stays
    for (const auto &c : cases) {
        StationChannelName(1, 1) = c.name;
        StationReading(1, 1) = c.reading;
        StationFactor(1, 1) = c.factor;
        AirwayFlow(a) = 99;
        DrawRecorded();
        EXPECT_FLOAT_EQ(AirwayFlow(a), c.flow) << c.name << c.reading;
        EXPECT_EQ((AirwayFlags(a) & AirwayFlag::FixedFlow) != 0, c.fixed) << c.name << c.reading;
    }
}

TEST_F(StationReadings, OnlyTheFirstChannelOfAnUpdatingStationSetsTheFlowAndANonUpdatingOneReleasesIt) {
    StationReading(1, 1) = 2;
    Channel(2, "QUANTITY", "Q", "m3/s");
    StationReading(1, 2) = 0;
    DrawRecorded();
    EXPECT_FLOAT_EQ(AirwayFlow(a), 40);
    EXPECT_NE(AirwayFlags(a) & AirwayFlag::FixedFlow, 0);

    // A station that does not update the airflow leaves the flow and releases the fix.
    StationUpdateFlow(1) = 0;
    StationReading(1, 1) = 3;
    DrawRecorded();
    EXPECT_FLOAT_EQ(AirwayFlow(a), 40);
    EXPECT_EQ(AirwayFlags(a) & AirwayFlag::FixedFlow, 0);
}

TEST_F(StationReadings, PressureReadingWithoutARealFlowLeavesTheFlow) {
    StationChannelName(1, 1) = "Pressure";
    const struct {
        float resistance;
        int32_t reading;
        float flow;
        bool fixed;
    } cases[] = {{0.5f, 200, 20, true},
                 {0, 200, 7, true},
                 {-1, 200, 7, true},
                 {0.5f, -200, 7, true},
                 {0.5f, 0, 0, false}};
    for (const auto &c : cases) {
        AirwayResistance(a) = c.resistance;
        StationReading(1, 1) = c.reading;
        AirwayFlow(a) = 7;
        DrawRecorded();
        EXPECT_FLOAT_EQ(AirwayFlow(a), c.flow) << c.resistance << " " << c.reading;
        EXPECT_EQ((AirwayFlags(a) & AirwayFlag::FixedFlow) != 0, c.fixed) << c.resistance << " " << c.reading;
    }
}

TEST_F(StationReadings, BlockTextsAndAlarmColours) {
    AlarmsOn = 1;
    StationReading(1, 1) = 2;
    Channel(2, "Carbon monoxide", "CO", "ppm");
    StationReading(1, 2) = 60;
    StationAlarmHigh(1, 2) = 50;
    Channel(3, "Temperature", "T", "C");
    StationReading(1, 3) = 5;
    StationAlarmLow(1, 3) = 10;
    Channel(4, "Both", "B", "");
    StationReading(1, 4) = 70;
    StationAlarmLow(1, 4) = 100;
    StationAlarmHigh(1, 4) = 50;
    Channel(5, "Hidden", "", "");
    DrawRecorded();
    const std::vector<DrawnPrimitive> texts = Of(DrawnPrimitive::Text);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, "Fan house   10:15:00");
    EXPECT_NEAR(texts[0].y1, LetterWidth, 1e-3);
    EXPECT_EQ(texts[1].text, "V  2.0m/s");
    EXPECT_EQ(texts[2].text, "CO  60.0ppm");
    // Each line stands one line of the block's font below the one before, so none overlaps another.
    ASSERT_EQ(picture.FontSize, NameFontSize);
    for (size_t k = 1; k < texts.size(); ++k)
        EXPECT_NEAR(texts[k].y1 - texts[k - 1].y1, picture.TextHeight(texts[k - 1].text), 1e-3) << k;
    const int32_t white = 0xFFFFFF, red = 0x0000FF, blue = 0xFF0000;
    EXPECT_EQ(texts[1].colour, white);
    EXPECT_EQ(texts[2].colour, blue);
    EXPECT_EQ(texts[3].colour, red);
    EXPECT_EQ(texts[4].colour, blue);
}

TEST_F(StationReadings, OneBeepPerPassedLimitOnlyAfterNewReadings) {
    AlarmsOn = 1;
    Channel(2, "Carbon monoxide", "CO", "ppm");
    StationReading(1, 2) = 60;
    StationAlarmHigh(1, 2) = 50;
    Channel(3, "Both", "B", "");
    StationReading(1, 3) = 70;
    StationAlarmLow(1, 3) = 100;
    StationAlarmHigh(1, 3) = 50;
    const int before = VB::BeepCount();
    AlarmBeep = 0;
    DrawRecorded();
    EXPECT_EQ(VB::BeepCount(), before);
    AlarmBeep = -1;
    DrawRecorded();
    EXPECT_EQ(VB::BeepCount(), before + 3);
    AlarmBeep = 0;
    AlarmsOn = 0;
    DrawRecorded();
    EXPECT_EQ(VB::BeepCount(), before + 3);
}

TEST_F(StationReadings, NotShownWithoutRealtimeInput) {
    RealtimeInputOn = 0;
    StationReading(1, 1) = 2;
    AirwayFlow(a) = 5;
    DrawRecorded();
    EXPECT_FLOAT_EQ(AirwayFlow(a), 5);
    EXPECT_TRUE(Of(DrawnPrimitive::Text).empty());
}

} // namespace
