#include "platform/VBMath.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(VBNumbers, IntFloorsAndFixTruncates) {
    EXPECT_EQ(VB::Int(2.7), 2);
    EXPECT_EQ(VB::Int(-2.3), -3);
    EXPECT_EQ(VB::Fix(-2.7), -2);
    EXPECT_EQ(VB::Fix(2.7), 2);
}

TEST(VBNumbers, CIntRoundsHalvesToEvenAndRefusesOverflow) {
    const struct {
        double in;
        int out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {32767.4, 32767}};
    for (const auto &c : cases) {
        ASSERT_TRUE(VB::CInt(c.in).has_value()) << c.in;
        EXPECT_EQ(*VB::CInt(c.in), c.out) << c.in;
    }
    EXPECT_FALSE(VB::CInt(32767.5).has_value());
    EXPECT_FALSE(VB::CInt(-32769).has_value());
    EXPECT_FALSE(VB::CInt(std::nan("")).has_value());
    EXPECT_EQ(*VB::CLng(2147483647.0), 2147483647);
    EXPECT_FALSE(VB::CLng(3e9).has_value());
}

TEST(VBNumbers, ClampToIntNeverCastsNaNOrOutOfRange) {
    EXPECT_EQ(VB::ClampToInt<int16_t>(std::nan(""), 7), 7);
    EXPECT_EQ(VB::ClampToInt<int16_t>(1e9), 32767);
    EXPECT_EQ(VB::ClampToInt<int32_t>(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(VB::ClampToInt<int32_t>(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(VB::ClampToInt<int32_t>(-12.9), -12);
}

TEST(VBNumbers, LenientConversionTakesTheLeadingNumber) {
    const struct {
        const char *text;
        double value;
    } cases[] = {{"", 0},         {"   ", 0},      {"abc", 0},     {"  12", 12}, {"12abc", 12},
                 {" .05 ", 0.05}, {"-3.5x", -3.5}, {"1E+09", 1e9}, {"2e", 2},    {"1,5", 1},
                 {"+7", 7},       {"\t4", 4},      {"3.2.1", 3.2}, {"-", 0},     {".", 0}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(VB::Val(c.text), c.value) << '"' << c.text << '"';
    // A "," locale's mark is accepted as well as ".", so no decimals are lost.
    EXPECT_DOUBLE_EQ(VB::Val("1,5", ','), 1.5);
    EXPECT_DOUBLE_EQ(VB::Val("1.5", ','), 1.5);
}

TEST(VBNumbers, StrictConversionNeedsTheWholeTextToBeANumber) {
    const struct {
        const char *text;
        double value;
    } good[] = {{" .05 ", 0.05}, {" 1E+09 ", 1e9}, {"-3", -3}, {"12.5", 12.5}, {"\t7\t", 7}};
    for (const auto &c : good) {
        auto v = VB::StrictNumber(c.text);
        ASSERT_TRUE(v.has_value()) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(*v, c.value);
    }
    for (const char *bad : {"", "  ", "abc", "12abc", "1 2", "--1", "1,5", "."})
        EXPECT_FALSE(VB::StrictNumber(bad).has_value()) << '"' << bad << '"';
    EXPECT_DOUBLE_EQ(*VB::StrictNumber("12,5", ','), 12.5);
}

TEST(VBNumbers, StrPutsABlankBeforeNonNegativeNumbers) {
    EXPECT_EQ(VB::Str(5), " 5");
    EXPECT_EQ(VB::Str(-5), "-5");
    EXPECT_EQ(VB::Str(0), " 0");
    EXPECT_EQ(VB::Str(0.05), " .05");
    EXPECT_EQ(VB::Str(-0.5), "-.5");
    EXPECT_EQ(VB::StrSingle(1e9f), " 1E+09");
    EXPECT_EQ(VB::StrSingle(0.1f), " .1");
    EXPECT_EQ(VB::StrSingle(12345678.0f), " 1.234568E+07");
    EXPECT_EQ(VB::Str(1e-5), " 1E-05");
    EXPECT_EQ(VB::CStr(0.5), "0.5");
    EXPECT_EQ(VB::Str(1000000000), " 1000000000");
}
