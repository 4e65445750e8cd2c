#include "common/ScriptedDialogs.h"
#include "model/Gustrom1.h"
#include "model/record_line.h"
#include "model/text_files.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

class RecordLine : public ::testing::Test {
protected:
    void SetUp() override {
        savedMax_ = MaxAirways;
        MaxAirways = 20;
        ReDimNetwork();
    }
    void TearDown() override {
        VB::SetLocaleDecimalSeparatorOverride(0);
        MaxAirways = savedMax_;
        ReDimNetwork();
        AirwayCount = 0;
    }

    // Every field of slot a set to a value that differs from the empty slot.
    static void populate(int a) {
        AirwayStartName(a) = "  Shaft A";
        AirwayEndName(a) = "Stope, 3.5 North";
        AirwayName(a) = "Main Intake";
        AirwayStartKey(a) = 123456789;
        AirwayEndKey(a) = 987654321;
        const int32_t start[] = {-1234567, 7654321, -890};
        const int32_t end[] = {2000000, -3, 45};
        for (int c = 1; c <= 3; ++c) {
            AirwayStart(c, a) = start[c - 1];
            AirwayEnd(c, a) = end[c - 1];
        }
        AirwaySize(1, a) = 4.25f;
        AirwaySize(2, a) = 1.0f / 3.0f;
        AirwayFlags(a) = AirwayFlag::Rectangular | AirwayFlag::FixedFlow | AirwayFlag::Selected;
        AirwayResistanceType(a) = 7;
        AirwayShockType(a) = 3;
        AirwayWallType(a) = 10;
        AirwayFrictionFactor(a) = 0.0123456f;
        AirwayShockLength(a) = 1e-5f;
        AirwayComment(a) = " ok ";
        AirwayResistance(a) = 1e9f;
        AirwayFlow(a) = -123.4567f;
        AirwayFan(a) = -1;
        AirwayFanCount(a) = 2;
        AirwayLength(a) = 1234.5f;
        AirwayPressure(a) = -9999;
        AirwayContaminant(a) = 0.5f;
        AirwayPrimaryLayer(a) = 16;
        AirwaySecondaryLayer(a) = 48;
        AirwayStartPressure(a) = -9999999;
        AirwayEndPressure(a) = 101.325f;
        AirwayUndoStamp(a) = 2000000000;
        AirwayNumber(a) = 31999;
        AirwayIconPosition(a) = 0.2f;
        AirwayStation(a) = 50;
        AirwayParallelCount(a) = 3;
        AirwayCurvePercent(a) = 55;
        AirwaySmoke(1, a) = 2;
        AirwaySmoke(2, a) = 20000;
    }

    // Singles travel with 7 significant digits.
    static void expectSameSingle(float read, float written) {
        EXPECT_NEAR(read, written, std::fabs(written) * 5e-7) << written;
    }

    static void expectSameFields(int a, int b) {
        EXPECT_EQ(AirwayStartName(b).str(), AirwayStartName(a).str());
        EXPECT_EQ(AirwayEndName(b).str(), AirwayEndName(a).str());
        EXPECT_EQ(AirwayName(b).str(), AirwayName(a).str());
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(AirwayStart(c, b), AirwayStart(c, a));
            EXPECT_EQ(AirwayEnd(c, b), AirwayEnd(c, a));
        }
        expectSameSingle(AirwaySize(1, b), AirwaySize(1, a));
        expectSameSingle(AirwaySize(2, b), AirwaySize(2, a));
        EXPECT_EQ(AirwayFlags(b), AirwayFlags(a));
        EXPECT_EQ(AirwayResistanceType(b), AirwayResistanceType(a));
        EXPECT_EQ(AirwayShockType(b), AirwayShockType(a));
        EXPECT_EQ(AirwayWallType(b), AirwayWallType(a));
        expectSameSingle(AirwayFrictionFactor(b), AirwayFrictionFactor(a));
        expectSameSingle(AirwayShockLength(b), AirwayShockLength(a));
        EXPECT_EQ(AirwayComment(b).str(), AirwayComment(a).str());
        expectSameSingle(AirwayResistance(b), AirwayResistance(a));
        expectSameSingle(AirwayFlow(b), AirwayFlow(a));
        EXPECT_EQ(AirwayFan(b), AirwayFan(a));
        EXPECT_EQ(AirwayFanCount(b), AirwayFanCount(a));
        expectSameSingle(AirwayLength(b), AirwayLength(a));
        expectSameSingle(AirwayPressure(b), AirwayPressure(a));
        expectSameSingle(AirwayContaminant(b), AirwayContaminant(a));
        EXPECT_EQ(AirwayPrimaryLayer(b), AirwayPrimaryLayer(a));
        EXPECT_EQ(AirwaySecondaryLayer(b), AirwaySecondaryLayer(a));
        expectSameSingle(AirwayStartPressure(b), AirwayStartPressure(a));
        expectSameSingle(AirwayEndPressure(b), AirwayEndPressure(a));
        EXPECT_EQ(AirwayUndoStamp(b), AirwayUndoStamp(a));
        EXPECT_EQ(AirwayNumber(b), AirwayNumber(a));
        expectSameSingle(AirwayIconPosition(b), AirwayIconPosition(a));
        EXPECT_EQ(AirwayStation(b), AirwayStation(a));
        EXPECT_EQ(AirwayParallelCount(b), AirwayParallelCount(a));
        EXPECT_EQ(AirwayCurvePercent(b), AirwayCurvePercent(a));
        EXPECT_EQ(AirwaySmoke(1, b), AirwaySmoke(1, a));
        EXPECT_EQ(AirwaySmoke(2, b), AirwaySmoke(2, a));
    }

private:
    int32_t savedMax_ = 0;
};

} // namespace

TEST_F(RecordLine, EveryFieldSurvivesRoundTripInEitherLocale) {
    for (const char sep : {'.', ','}) {
        VB::SetLocaleDecimalSeparatorOverride(sep);
        ClearAirway(1);
        ClearAirway(2);
        populate(1);
        const std::string line = AirwayLine(1);
        // The names and the comment lose their outer blanks in the slot as well.
        EXPECT_EQ(AirwayStartName(1).trimmed(), "Shaft A");
        EXPECT_EQ(AirwayComment(1).trimmed(), "ok");
        EXPECT_EQ(line.back(), '\t');
        SplitFields(3.1f, line, LineFields);
        EXPECT_EQ(LineFieldCount, 40);
        EXPECT_EQ(LineFields(4), "");
        EXPECT_EQ(LineFields(5), "");

        // Read where the other separator is local: the numbers still come back exactly.
        VB::SetLocaleDecimalSeparatorOverride(sep == '.' ? ',' : '.');
        AirwayFromRecord(line, 2, 3.1f);
        expectSameFields(1, 2);
        EXPECT_EQ(AirwayStartKey(2), 0);
        EXPECT_EQ(AirwayEndKey(2), 0);
        EXPECT_EQ(AirwayEndName(2).trimmed(), "Stope, 3.5 North") << "text fields keep both marks";
    }
}

TEST_F(RecordLine, ControlCharactersInNamesNeverBreakTheLine) {
    populate(1);
    AirwayName(1) = "Tab\there\r\nnow";
    AirwayComment(1) = "a\tb";
    const std::string line = AirwayLine(1);
    SplitFields(3.1f, line, LineFields);
    EXPECT_EQ(LineFieldCount, 40);
    EXPECT_EQ(AirwayName(1).trimmed(), "Tab here  now");
    EXPECT_EQ(AirwayComment(1).trimmed(), "a b");
    // A lone LF read from a file is replaced when it is stored.
    AirwayFromRecord("A\nB" + line.substr(line.find('\t')), 2, 3.1f);
    EXPECT_EQ(AirwayStartName(2).trimmed(), "A B");
}

TEST_F(RecordLine, LongNamesAreCutAndShortLineKeepsOrZeroesMissingFields) {
    populate(1);
    populate(2);
    const std::string full = AirwayLine(1);
    // The first 25 fields of the line only.
    std::size_t pos = 0;
    for (int i = 0; i < 25; ++i)
        pos = full.find('\t', pos) + 1;
    const std::string shortLine =
        std::string(50, 'N') + full.substr(full.find('\t'), pos - 1 - full.find('\t'));
    AirwayFromRecord(shortLine, 2, 3.1f);
    EXPECT_EQ(AirwayStartName(2).str(), std::string(40, 'N'));
    EXPECT_EQ(AirwayLength(2), 1234.5f);
    // Kept: pressure, contaminant, layers, node pressures.
    EXPECT_EQ(AirwayPressure(2), -9999);
    EXPECT_EQ(AirwayContaminant(2), 0.5f);
    EXPECT_EQ(AirwayPrimaryLayer(2), 16);
    EXPECT_EQ(AirwaySecondaryLayer(2), 48);
    EXPECT_EQ(AirwayStartPressure(2), -9999999);
    EXPECT_EQ(AirwayEndPressure(2), 101.325f);
    // Zeroed: everything after them.
    EXPECT_EQ(AirwayUndoStamp(2), 0);
    EXPECT_EQ(AirwayNumber(2), 0);
    EXPECT_EQ(AirwayIconPosition(2), 0);
    EXPECT_EQ(AirwayStation(2), 0);
    EXPECT_EQ(AirwayParallelCount(2), 0);
    EXPECT_EQ(AirwayCurvePercent(2), 0);
    EXPECT_EQ(AirwaySmoke(1, 2), 0);
    EXPECT_EQ(AirwaySmoke(2, 2), 0);
}

TEST_F(RecordLine, BadMeasuredFieldStopsTheParseAfterEarlierFields) {
    populate(1);
    std::string line = AirwayLine(1);
    ClearAirway(2);
    // Field 18 (friction factor) empty: fields 1..17 are stored, 18 onwards are not.
    std::size_t start = 0;
    for (int i = 1; i < 18; ++i)
        start = line.find('\t', start) + 1;
    const std::size_t end = line.find('\t', start);
    for (const char *bad : {"", "x1"}) {
        std::string damaged = line;
        damaged.replace(start, end - start, bad);
        ClearAirway(2);
        try {
            AirwayFromRecord(damaged, 2, 3.1f);
            ADD_FAILURE() << "no error for \"" << bad << '"';
        } catch (const VBError &e) {
            EXPECT_EQ(e.number, VBErr::TypeMismatch);
        }
        EXPECT_EQ(AirwayWallType(2), 10);
        EXPECT_EQ(AirwaySize(1, 2), 4.25f);
        EXPECT_EQ(AirwayFrictionFactor(2), 0);
        EXPECT_EQ(AirwayFlow(2), 0);
    }
}

TEST_F(RecordLine, OldVersionsMapTheirTypedMarksToFifty) {
    struct Case {
        float version;
        int resistance, shock, wall;
    };
    // Typed in the line: resistance 10, shock 6, wall 10.
    const Case cases[] = {
        {2.0f, 50, 50, 50}, {2.1f, 10, 50, 50}, {2.8f, 10, 50, 50}, {2.9f, 10, 6, 10}, {3.1f, 10, 6, 10},
    };
    populate(1);
    AirwayEndName(1) = "Stope";
    AirwayResistanceType(1) = 10;
    AirwayShockType(1) = 6;
    AirwayWallType(1) = 10;
    const std::string line = AirwayLine(1);
    std::string commaLine = line;
    std::replace(commaLine.begin(), commaLine.end(), '\t', ',');
    for (const auto &c : cases) {
        AirwayFromRecord(c.version <= 2.4f ? commaLine : line, 2, c.version);
        EXPECT_EQ(AirwayLength(2), 1234.5f);
        EXPECT_EQ(AirwayResistanceType(2), c.resistance) << c.version;
        EXPECT_EQ(AirwayShockType(2), c.shock) << c.version;
        EXPECT_EQ(AirwayWallType(2), c.wall) << c.version;
    }
}

TEST_F(RecordLine, SlotBeyondCapacityIsRefusedWithMessage) {
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Insufficient memory for undo function");
    populate(1);
    AirwayCount = 5;
    AirwayFromRecord(AirwayLine(1), MaxAirways + 1, 3.1f);
    EXPECT_EQ(AirwayCount, MaxAirways);
    EXPECT_TRUE(boxes.Done());
    EXPECT_EQ(boxes.Shown().size(), 1u);
}
