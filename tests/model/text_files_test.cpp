#include "common/TestFolder.h"
#include "model/Gustrom1.h"
#include "model/text_files.h"
#include "platform/System.h"
#include "platform/VBError.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// Runs a test in the given locale decimal separator and restores the machine's afterwards.
struct LocaleScope {
    explicit LocaleScope(char separator) { VB::SetLocaleDecimalSeparatorOverride(separator); }
    ~LocaleScope() { VB::SetLocaleDecimalSeparatorOverride(0); }
};

int errorNumberOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const VBError &e) {
        return e.number;
    }
    return 0;
}

} // namespace

TEST(SplitFields, KeepsAtMostHundredFields) {
    std::string line;
    for (int i = 1; i <= 105; ++i) {
        line += 'f';
        line += std::to_string(i);
        line += '\t';
    }
    SplitFields(3.1f, line, LineFields);
    EXPECT_EQ(LineFields(1), "f1");
    EXPECT_EQ(LineFields(99), "f99");
    EXPECT_EQ(LineFields(100), "f100");
    EXPECT_EQ(LineFieldCount, 100);
}

TEST(SplitFields, TrailingTabGivesEmptyLastFieldAndClearsOldFields) {
    SplitFields(3.1f, "1\t2\t3\t4\t5", LineFields);
    SplitFields(3.1f, "a\tb\t", LineFields);
    EXPECT_EQ(LineFields(1), "a");
    EXPECT_EQ(LineFields(2), "b");
    EXPECT_EQ(LineFields(3), "");
    EXPECT_EQ(LineFields(4), "");
    EXPECT_EQ(LineFieldCount, 3);
    SplitFields(3.1f, "", LineFields);
    EXPECT_EQ(LineFields(1), "");
}

TEST(SplitFields, VersionChoosesCommaOrTabFormat) {
    struct Case {
        float version;
        const char *line;
        const char *field1;
        const char *field2;
    };
    const Case cases[] = {
        {2.4f, "a,b\tc", "a", "b\tc"},
        {2.5f, "a,b\tc", "a,b", "c"},
        {2.0f, "1.5,x", "1.5", "x"},
        {2.9f, "1.5,x", "1.5,x", ""},
    };
    for (const auto &c : cases) {
        SplitFields(c.version, c.line, LineFields);
        EXPECT_EQ(LineFields(1), c.field1) << c.line << " v" << c.version;
        EXPECT_EQ(LineFields(2), c.field2) << c.line << " v" << c.version;
    }
    // In the comma format only the last field is cut, to 30 characters.
    const std::string longField(45, 'x');
    SplitFields(2.4f, longField + "," + longField, LineFields);
    EXPECT_EQ(LineFields(1), longField);
    EXPECT_EQ(LineFields(2), std::string(30, 'x'));
    // The TAB format keeps long fields whole.
    SplitFields(3.1f, longField, LineFields);
    EXPECT_EQ(LineFields(1), longField);
}

TEST(TextFiles, CommaDecimalFileReadsInPointLocaleWithTextKept) {
    LocaleScope locale('.');
    std::string header = "3,1 GUSTROM3";
    float version = 0;
    ReadVersion(header, version);
    EXPECT_EQ(version, 3.1f);
    EXPECT_TRUE(SeparatorConvert);
    EXPECT_EQ(FileDecimalSeparator, ',');
    EXPECT_EQ(header, "3.1 GUSTROM3");

    SplitFields(version, "Mine, North\t12,5\t-0,25\t1,5E+09\t", LineFields);
    EXPECT_EQ(LocalDecimalSeparator, '.');
    EXPECT_EQ(LineFields(1), "Mine, North");
    EXPECT_DOUBLE_EQ(StrictValue(LineFields(2)), 12.5);
    EXPECT_DOUBLE_EQ(StrictValue(LineFields(3)), -0.25);
    EXPECT_DOUBLE_EQ(StrictValue(LineFields(4)), 1.5e9);

    std::string sameHeader = "3.1\tGUSTROM3";
    ReadVersion(sameHeader, version);
    EXPECT_EQ(version, 3.1f);
    EXPECT_FALSE(SeparatorConvert);
}

TEST(TextFiles, PointDecimalFileReadsInCommaLocaleWithTextKept) {
    LocaleScope locale(',');
    std::string header = "3.1 GUSTROM3";
    float version = 0;
    ReadVersion(header, version);
    EXPECT_EQ(version, 3.1f);
    EXPECT_TRUE(SeparatorConvert);
    EXPECT_EQ(header, "3,1 GUSTROM3");
    SplitFields(version, "Dr. No, 3.5\t12.5\t", LineFields);
    EXPECT_EQ(LocalDecimalSeparator, ',');
    EXPECT_EQ(LineFields(1), "Dr. No, 3.5");
    EXPECT_DOUBLE_EQ(StrictValue(LineFields(2)), 12.5);
    EXPECT_DOUBLE_EQ(LenientValue(LineFields(2)), 12.5);
}

TEST(NumericFields, LenientReadsLeadingNumberWithEitherMark) {
    struct Case {
        const char *text;
        double value;
    };
    const Case cases[] = {
        {"12.5", 12.5},
        {"12,5", 12.5},
        {" .05 ", 0.05},
        {"3abc", 3},
        {"", 0},
        {"abc", 0},
        {"-1E+09", -1e9},
        {"1D2", 100},
        {"+7", 7},
        {"2E", 2},
        {"-", 0},
        {" 131073 ", 131073},
        {"1.5.2", 1.5},
        {"1e999", HUGE_VAL},
        {"12345678901234567890", 12345678901234567890.0},
        {"-0", 0},
    };
    for (const char sep : {'.', ','}) {
        LocaleScope locale(sep);
        for (const auto &c : cases)
            EXPECT_DOUBLE_EQ(LenientValue(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(NumericFields, StrictNeedsTheWholeTextToBeANumber) {
    EXPECT_DOUBLE_EQ(StrictValue(" .05 "), 0.05);
    EXPECT_DOUBLE_EQ(StrictValue(" 1E+09 "), 1e9);
    EXPECT_DOUBLE_EQ(StrictValue("-3"), -3);
    EXPECT_DOUBLE_EQ(StrictValue("1,5"), 1.5);
    for (const char *bad : {"", "   ", "abc", "1.5x", "1.2.3", "--1", "1 2", "."})
        EXPECT_EQ(errorNumberOf([&] { StrictValue(bad); }), VBErr::TypeMismatch) << '"' << bad << '"';
    EXPECT_TRUE(BooleanValue("True"));
    EXPECT_TRUE(BooleanValue(" TRUE "));
    EXPECT_FALSE(BooleanValue("False"));
    EXPECT_TRUE(BooleanValue("-1"));
    EXPECT_FALSE(BooleanValue("0"));
    EXPECT_EQ(errorNumberOf([] { BooleanValue("yes"); }), VBErr::TypeMismatch);
}

TEST(NumericFields, NarrowingRoundsHalvesToEvenAndChecksRange) {
    EXPECT_EQ(StrictLong(2.5), 2);
    EXPECT_EQ(StrictLong(3.5), 4);
    EXPECT_EQ(StrictInteger(-2.5), -2);
    EXPECT_EQ(errorNumberOf([] { StrictInteger(40000); }), VBErr::Overflow);
    EXPECT_EQ(errorNumberOf([] { StrictLong(3e9); }), VBErr::Overflow);
    EXPECT_EQ(errorNumberOf([] { StrictSingle(1e300); }), VBErr::Overflow);
    EXPECT_EQ(LenientInteger(40000), 32767);
    EXPECT_EQ(LenientLong(-3e9), INT32_MIN);
    EXPECT_EQ(LenientSingle(1e300), FLT_MAX);
}

TEST(NumberForms, PrintedAndTextFormsInBothLocales) {
    struct Case {
        float value;
        const char *printed;
        const char *text;
    };
    const Case cases[] = {
        {0.05f, " .05 ", "0.05"},
        {-3, "-3 ", "-3"},
        {1e9f, " 1E+09 ", "1E+09"},
        {-0.5f, "-.5 ", "-0.5"},
        {0, " 0 ", "0"},
        {12.5f, " 12.5 ", "12.5"},
        {1e-5f, " 1E-05 ", "1E-05"},
        {1234567, " 1234567 ", "1234567"},
        {0.1f, " .1 ", "0.1"},
        {12345678, " 1.234568E+07 ", "1.234568E+07"},
    };
    for (const auto &c : cases) {
        LocaleScope locale('.');
        EXPECT_EQ(PrintedNumber(c.value), c.printed);
        EXPECT_EQ(NumberText(c.value), c.text);
    }
    LocaleScope locale(',');
    EXPECT_EQ(PrintedNumber(0.05f), " ,05 ");
    EXPECT_EQ(NumberText(12.5f), "12,5");
    EXPECT_EQ(PrintedNumber(50.0), " 50 ");
    EXPECT_EQ(PrintedNumber(0.1), " ,1 ");
    EXPECT_EQ(PrintedNumber(int32_t{-7}), "-7 ");
    EXPECT_EQ(PrintedNumber(int32_t{250}), " 250 ");
}

TEST(NumberForms, SevenDigitRoundingMatchesThePreciseConversionWhereShortFormsMislead) {
    // Singles whose shortest form is not their 7-digit rounding (mantissas near 10, subnormals), and
    // ordinary ones for the quick road.
    const float values[] = {9.9999994e27f, 8.5904e9f, 9.40397e-38f, 8.999999e-3f, 1e-40f,
                            1.4e-45f,      0.3f,      123456.7f,    -9999999.0f,  1e7f,
                            16777216.0f,   -8.5e-5f,  0.1f + 0.2f,  98765.43f};
    for (const float v : values) {
        char buf[64];
        std::string expected(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7).ptr);
        for (char &c : expected)
            if (c == 'e')
                c = 'E';
        std::string text;
        AppendNumberText(text, v, '.');
        EXPECT_EQ(text, expected) << v;
    }
}

TEST(TextFileReader, LinesEndAtCrLfCrOrLoneLf) {
    auto in = TextFileReader::FromText("a\r\nb\rc\nd\r\n\r\nlast");
    EXPECT_EQ(in.LineInput(), "a");
    EXPECT_EQ(in.LineInput(), "b");
    EXPECT_EQ(in.LineInput(), "c");
    EXPECT_EQ(in.LineInput(), "d");
    EXPECT_EQ(in.LineInput(), "");
    EXPECT_FALSE(in.AtEnd());
    EXPECT_EQ(in.LineInput(), "last");
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(errorNumberOf([&] { in.LineInput(); }), VBErr::InputPastEnd);
}

TEST(TextFileReader, MixedLineEndsEndLinesAtCrLfLfOrCr) {
    auto in = TextFileReader::FromText("a\r\nb\nc\rd\n\r\n\nlast");
    for (const char *expected : {"a", "b", "c", "d", "", "", "last"})
        EXPECT_EQ(in.LineInput(), expected);
    EXPECT_TRUE(in.AtEnd());
}

TEST(TextFileReader, LongLinesEndAtTheirOwnLineEndsWhateverTheMixFromTextOrFile) {
    // Lengths around the byte-by-byte start, the search step and past the file's blocks (a CR LF astride a
    // step boundary among them), each line of its own letter so that a line cut in the wrong place shows,
    // in every mix of ends.
    const std::size_t lengths[] = {0, 1, 15, 16, 17, 255, 510, 511, 512, 513, 1023, 1024, 1025, 3000, 70000};
    const std::vector<std::vector<std::string>> mixes = {
        {"\r\n"}, {"\n"}, {"\r"}, {"\r\n", "\n", "\r"}, {"\r", "\r\n"}};
    TestFolder folder;
    const auto readsAs = [&](const std::string &text, const std::vector<std::string> &expected,
                             const std::string &what) {
        folder.Write("lines.txt", text);
        auto fromText = TextFileReader::FromText(text);
        TextFileReader fromFile(folder.path() + "lines.txt");
        for (TextFileReader *in : {&fromText, &fromFile}) {
            const char *source = in == &fromText ? "text" : "file";
            for (const auto &line : expected)
                EXPECT_EQ(in->LineInput(), line) << what << " from " << source << ", line of " << line.size();
            EXPECT_FALSE(in->LineEnded()) << what << " from " << source;
            EXPECT_TRUE(in->AtEnd()) << what << " from " << source;
        }
    };
    for (const auto &ends : mixes) {
        std::string text;
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < std::size(lengths); ++i) {
            expected.emplace_back(lengths[i], static_cast<char>('a' + i));
            text += expected.back() + ends[i % ends.size()];
        }
        expected.emplace_back(700, 'z'); // the last line has no line end
        text += expected.back();
        readsAs(text, expected, std::to_string(ends.size()) + " ends");
    }
    // A file is read in blocks of 64 KiB: a CR as a block's last byte, its LF (or not) the next one's first.
    for (const std::string end : {"\r\n", "\r", "\n"}) {
        const std::string first(65535, 'a');
        readsAs(first + end + "b\r\nc", {first, "b", "c"}, "end at the block's edge");
    }
}

TEST(TextFileReader, FileBytesRoundTripAndMissingFilesReportTheirNumbers) {
    TestFolder folder;
    {
        TextFileWriter out(folder.path() + "t.dat");
        out.Print("Caf\xe9");
        out.Tab();
        out.PrintNumber(0.5f);
        out.PrintBoolean(true);
        out.EndLine();
        out.Close();
    }
    EXPECT_EQ(folder.Read("t.dat"), "Caf\xe9\t .5 True\r\n");
    TextFileReader in(folder.path() + "t.dat");
    EXPECT_EQ(in.LineInput(), "Caf\xe9\t .5 True");
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(errorNumberOf([&] { TextFileReader r(folder.path() + "none.dat"); }), VBErr::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { TextFileReader r(folder.path() + "no/none.dat"); }), VBErr::PathNotFound);
    EXPECT_EQ(errorNumberOf([&] { TextFileWriter w(folder.path() + "no/out.dat"); }), VBErr::PathNotFound);
}

TEST(FreeText, EncodeAndDecodeKeepLineBreaksOnOneLine) {
    std::string text = "a\r\nb\tc";
    EXPECT_EQ(EncodeText(text), std::string("a\x1e\x1d"
                                            "b\x1f"
                                            "c"));
    EXPECT_EQ(text, std::string("a\x1e\x1d"
                                "b\x1f"
                                "c"));
    EXPECT_EQ(DecodeText(text), "a\r\nb\tc");
    std::string name = "A\tB\r\nC\x7f";
    ReplaceControlCharacters(name);
    EXPECT_EQ(name, "A B  C ");
}
