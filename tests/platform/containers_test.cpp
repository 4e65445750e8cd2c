#include "platform/FixedString.h"
#include "platform/Text1252.h"
#include "platform/VBArray.h"

#include <gtest/gtest.h>

TEST(VBArrayBounds, IndexesFromTheDeclaredLowerBoundComponentFirst) {
    VBArray<int, 2> a;
    a.ReDim(Bounds{0, 3}, Bounds{0, 10});
    EXPECT_EQ(a.size(), 4u * 11u);
    a(3, 10) = 7;
    a(1, 2) = 5;
    EXPECT_EQ(a(3, 10), 7);
    // The first index varies fastest, so an airway's components lie together.
    EXPECT_EQ(&a(1, 2) + 1, &a(2, 2));
    EXPECT_TRUE(a.InBounds(0, 10));
    EXPECT_FALSE(a.InBounds(4, 0));
    EXPECT_FALSE(a.InBounds(0, -1));
    VBArray<int> b;
    b.ReDim(Bounds{1, 5});
    EXPECT_EQ(b.LBound(), 1);
    EXPECT_EQ(b.UBound(), 5);
    EXPECT_FALSE(b.InBounds(0));
}

TEST(VBArrayBounds, PreserveKeepsTheOverlapInEveryDimension) {
    VBArray<float, 3> p;
    p.ReDim(Bounds{0, 2}, Bounds{0, 11}, Bounds{0, 250});
    for (int f = 0; f <= 250; ++f)
        for (int q = 0; q <= 11; ++q)
            for (int c = 0; c <= 2; ++c)
                p(c, q, f) = static_cast<float>(c + 10 * q + 1000 * f);
    p.ReDimPreserve(Bounds{0, 2}, Bounds{0, 11}, Bounds{0, 300});
    EXPECT_EQ(p(2, 11, 250), 2 + 110 + 250000.0f);
    EXPECT_EQ(p(1, 3, 17), 1 + 30 + 17000.0f);
    EXPECT_EQ(p(1, 3, 251), 0.0f);
    // Shrinking keeps what still fits.
    p.ReDimPreserve(Bounds{0, 2}, Bounds{0, 5}, Bounds{0, 10});
    EXPECT_EQ(p(2, 5, 10), 2 + 50 + 10000.0f);
    EXPECT_EQ(p.size(), 3u * 6u * 11u);
}

TEST(VBArrayBounds, BooleanArraysHoldRealBools) {
    VBArray<bool> v;
    v.ReDim(Bounds{1, 16});
    v.Fill(true);
    bool &first = v(1);
    first = false;
    EXPECT_FALSE(v(1));
    EXPECT_TRUE(v(16));
}

TEST(FixedLengthText, PadsAndCutsOnAssignment) {
    FixedString<12> c;
    EXPECT_EQ(c.str(), std::string(12, ' '));
    c = "ends on surface";
    EXPECT_EQ(c.str(), "ends on surf");
    c = "OK";
    EXPECT_EQ(c.str(), "OK          ");
    EXPECT_EQ(c.trimmed(), "OK");
}

TEST(Windows1252Text, RoundTripsEveryByteThroughQt) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(FromQt(ToQt(all)), all);
    EXPECT_EQ(ToQt("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(ToQt("m\xB3/s"), QString::fromUtf8("m³/s"));
    EXPECT_EQ(FromQt(QString::fromUtf8("\xE2\x82\xAC \xE4\xB8\xAD")), "\x80 ?");
}
