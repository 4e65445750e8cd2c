#include "common/RecordingShell.h"
#include "model/Gustrom1.h"
#include "model/defaults_block.h"
#include "model/text_files.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// Gives every setting of the block a value that depends on the seed, none of them 0.
void setAll(int s) {
    const float f = static_cast<float>(s);
    for (int i = 0; i < 50; ++i) {
        WallTypeName(i) = "Wall " + std::to_string(i * s);
        WallTypeFactor(i) = 0.001f * static_cast<float>(i + s);
        ResistanceTypeName(i) = "Res " + std::to_string(i + s);
        ResistanceTypeValue(i) = 0.5f * static_cast<float>(i + s);
        ShockTypeName(i) = "Shock, " + std::to_string(i + s);
        ShockTypeLength(i) = 2.5f * static_cast<float>(i + s);
    }
    MinNodeSpacing = 5 + s;
    GridSpacing = 50.125 * s;
    PickDivisor = 25 + s;
    DefaultDriveWallType = 4 + s;
    DefaultShockLength = static_cast<float>(s); // a shock preset
    DefaultDriveHeight = 4.5f + f;
    DefaultDriveWidth = 4.25f + f;
    DefaultRaiseDiameter = 1.8f + f;
    SurfaceName = "SURFACE " + std::to_string(s);
    MaxIterations = 50 + s;
    MaxError = 0.05f / f;
    PowerCost = 0.08f * f;
    AirPowerEfficiency = 0.8f / f;
    AirDensity = 1.2f + f / 10;
    LayerDisplay = 6 + s;
    SpinSpeed = 2 + f;
    TiltSpeed = 3 + f;
    FullRotation = s;
    ColourScheme = s;
    AttributeMask = 100 + s;
    GraphicsDetail = 1000 + s;
    SurfacePressureRL = 1234.5f + f;
    ExportNodeCircleSize = 1 + s;
    ExportArrowSize = 2 + s;
    ExportDataSize = 3 + s;
    ExportAirwaySize = 4 + s;
    ExportNodeSize = 5 + s;
    DataDisplayMode = s % 4;
    ExportFloatSize = 6 + s;
    ScreenBuffer = s % 2 == 1;
    FontScale = s;
    PropertyInheritance = s % 2 == 0;
    for (int k = 1; k <= 4; ++k) {
        FontName(k) = "Font " + std::to_string(k + s);
        FontBold(k) = (k + s) % 2;
        FontSize(k) = 6 + k + s;
    }
    for (int k = 0; k <= 6; ++k) {
        IconSize(k) = 10 * k + s;
        IconScale(k) = (k + s) % 2;
    }
    for (int i = 0; i <= 7; ++i)
        ColourTable(i) = 0x10101 * (i + s);
    PowerZoomSpeed = 4.5f + f;
    MaxFans = 250 + s;
    PresetResistanceReplaces = static_cast<uint8_t>(s % 2);
    UnlimitedSpeed = s;
    UnitSystem = s % 2 + 1;
    PerspectiveDepth = 1500.5f + f;
    LayerInheritance = s % 2 == 1;
    DefaultPerimeter = 20.5f + f;
    DefaultArea = 25.5f + f;
    UseDefaultArea = s % 2;
    RealtimeEnabled = s % 2;
    NextAirwayNumber = 100000 + s;
    AutoInfo = s % 2 == 0;
    ScrollZoomOff = s;
    AutosaveMinutes = 7 + s;
    SmokeSourceMode = s % 2;
    RightClickEditOff = s;
    DefaultScaleWidth = 500.5f + f;
    DefaultCentreX = 1000.25f + f;
    DefaultCentreY = 1000.75f + f;
    MinShownFlow = 0.125f * f;
    MaxShownFlow = 999.5f + f;
}

std::string writtenBlock() {
    TextFileWriter out;
    WriteNetworkDefaults(out);
    return out.Text();
}

// Reads a block from text the way the file readers do: first line into CurrentLine.
void readBlock(const std::string &text) {
    auto in = TextFileReader::FromText(text);
    CurrentLine = in.LineInput();
    ReadSettingsBlock(in);
}

std::vector<std::string> linesOf(const std::string &text) {
    auto in = TextFileReader::FromText(text);
    std::vector<std::string> lines;
    std::string line;
    while (in.ReadLine(line))
        lines.push_back(line);
    return lines;
}

std::string joinLines(const std::vector<std::string> &lines) {
    std::string text;
    for (const auto &l : lines) {
        text += l;
        text += "\r\n";
    }
    return text;
}

// Replaces field n (1-based) of a TAB-separated line.
std::string withField(const std::string &line, int n, const std::string &value) {
    std::size_t start = 0;
    for (int i = 1; i < n; ++i)
        start = line.find('\t', start) + 1;
    std::size_t end = line.find('\t', start);
    if (end == std::string::npos)
        end = line.size();
    return line.substr(0, start) + value + line.substr(end);
}

class DefaultsBlock : public ::testing::Test {
protected:
    void SetUp() override {
        VB::SetLocaleDecimalSeparatorOverride('.');
        saved_ = writtenBlock();
        savedMaxAirways_ = MaxAirways;
        savedCurvePercent_ = DefaultCurvePercent;
    }
    void TearDown() override {
        VB::SetLocaleDecimalSeparatorOverride('.');
        readBlock(saved_);
        MaxAirways = savedMaxAirways_;
        DefaultCurvePercent = savedCurvePercent_;
        VB::SetLocaleDecimalSeparatorOverride(0);
    }
    RecordingShell shell;

private:
    std::string saved_;
    int32_t savedMaxAirways_ = 0;
    int32_t savedCurvePercent_ = 0;
};

} // namespace

TEST_F(DefaultsBlock, WriteThenReadGivesEqualSettingsAcrossLocales) {
    for (const char writer : {'.', ','}) {
        VB::SetLocaleDecimalSeparatorOverride(writer);
        setAll(1);
        const std::string block = writtenBlock();
        const auto lines = linesOf(block);
        ASSERT_EQ(lines.size(), 9u);
        EXPECT_EQ(lines[0], writer == '.' ? "3.1\tGUSTROM3" : "3,1\tGUSTROM3");
        EXPECT_EQ(lines[8], "**End of Network Defaults**");
        // Strict fields carry the blanks of printed numbers.
        SplitFields(3.1f, lines[7], LineFields);
        EXPECT_EQ(LineFieldCount, 90);
        EXPECT_EQ(LineFields(11), writer == '.' ? " .05 " : " ,05 ");
        EXPECT_EQ(LineFields(74), "True");

        VB::SetLocaleDecimalSeparatorOverride(writer == '.' ? ',' : '.');
        setAll(2);
        readBlock(block);
        EXPECT_EQ(FileVersion, 3.1f);
        EXPECT_EQ(GridSpacing, 50.125);
        EXPECT_EQ(MaxError, 0.05f);
        EXPECT_EQ(DefaultShockLength, 1.0f);
        EXPECT_EQ(DefaultCentreX, 1001.25f);
        EXPECT_EQ(ShockTypeName(3), "Shock, 4") << "text keeps its comma";
        EXPECT_EQ(SurfaceName, "SURFACE 1");
        EXPECT_TRUE(LayerInheritance);
        VB::SetLocaleDecimalSeparatorOverride(writer);
        EXPECT_EQ(writtenBlock(), block) << "every setting read back as written";
    }
}

TEST_F(DefaultsBlock, BadFieldIsSkippedAndTheRestStillRead) {
    setAll(1);
    auto lines = linesOf(writtenBlock());
    lines[7] = withField(lines[7], 2, "garbage");
    lines[7] = withField(lines[7], 15, "");      // AirDensity, strict: empty fails
    lines[7] = withField(lines[7], 74, "maybe"); // LayerInheritance
    lines[4] = withField(lines[4], 3, "x");      // ResistanceTypeValue(2)
    setAll(2);
    const double gridBefore = GridSpacing;
    const float densityBefore = AirDensity;
    const float resistanceBefore = ResistanceTypeValue(2);
    readBlock(joinLines(lines));
    EXPECT_EQ(GridSpacing, gridBefore);
    EXPECT_EQ(AirDensity, densityBefore);
    EXPECT_FALSE(LayerInheritance) << "seed 2 value kept";
    EXPECT_EQ(ResistanceTypeValue(2), resistanceBefore);
    EXPECT_EQ(ResistanceTypeValue(3), 2.0f);
    EXPECT_EQ(PickDivisor, 26);
    EXPECT_EQ(MaxShownFlow, 1000.5f);
    EXPECT_EQ(ColourTable(7), 0x10101 * 8);
}

TEST_F(DefaultsBlock, ZerosAreReplacedAndShellIsSet) {
    setAll(1);
    auto lines = linesOf(writtenBlock());
    for (const int n : {69, 72, 73, 76, 83, 86, 87, 88, 90})
        lines[7] = withField(lines[7], n, " 0 ");
    lines[7] = withField(lines[7], 79, " 1 ");
    readBlock(joinLines(lines));
    EXPECT_EQ(MaxFans, 250);
    EXPECT_EQ(UnitSystem, 1);
    EXPECT_EQ(PerspectiveDepth, 1500);
    EXPECT_EQ(DefaultArea, 25);
    EXPECT_EQ(DefaultPerimeter, 20);
    EXPECT_EQ(DefaultScaleWidth, 500);
    EXPECT_EQ(DefaultCentreX, 1000);
    EXPECT_EQ(DefaultCentreY, 1000);
    EXPECT_EQ(MaxShownFlow, 1000);
    EXPECT_TRUE(shell.remoteMenus);
    EXPECT_FALSE(shell.autosaveEnabled);

    lines[7] = withField(lines[7], 79, " 0 ");
    lines[7] = withField(lines[7], 83, " 5 ");
    lines[7] = withField(lines[7], 69, " 99999 ");
    readBlock(joinLines(lines));
    EXPECT_FALSE(shell.remoteMenus);
    EXPECT_TRUE(shell.autosaveEnabled);
    EXPECT_EQ(shell.autosaveInterval, 30000);
    EXPECT_EQ(MaxFans, 1000) << "fan capacity kept within the dialog's range";
}

TEST_F(DefaultsBlock, SettingsBeyondTheirRangesReadAsTheNearestValueTheRangeAllows) {
    const struct {
        std::size_t line; // of the block: 2 friction factors, 7 the settings line
        int field;
        const char *text;
        std::function<double()> setting;
        double held;
    } cases[] = {
        {7, 72, " 9 ", [] { return UnitSystem; }, 2},
        {7, 72, "-3 ", [] { return UnitSystem; }, 1},
        {7, 5, " 1E+20 ", [] { return DefaultShockLength; }, 50},
        {7, 4, "-2 ", [] { return DefaultDriveWallType; }, 0},
        {7, 15, "-1 ", [] { return AirDensity; }, 0.001f},
        {7, 10, " 0 ", [] { return MaxIterations; }, 1},
        {7, 83, " 600 ", [] { return AutosaveMinutes; }, 10},
        {7, 13, "-1 ", [] { return PowerCost; }, 0.08f},
        {2, 3, "-.5 ", [] { return WallTypeFactor(2); }, 0},
    };
    for (const auto &c : cases) {
        setAll(1);
        auto lines = linesOf(writtenBlock());
        lines[c.line] = withField(lines[c.line], c.field, c.text);
        readBlock(joinLines(lines));
        EXPECT_EQ(c.setting(), c.held) << c.text;
    }
}

TEST_F(DefaultsBlock, PresetRulesIconOrderAndCapacitiesNotApplied) {
    setAll(1);
    BulkheadResistance = 1000000000;
    ResistanceTypeValue(1) = 1e9f;
    auto lines = linesOf(writtenBlock());
    SplitFields(3.1f, lines[4], LineFields);
    EXPECT_EQ(LineFields(2), " 1E+09 ");
    SplitFields(3.1f, lines[7], LineFields);
    EXPECT_EQ(LineFields(50), " 41 ") << "field 50 is the size of symbol class 4";
    EXPECT_EQ(LineFields(52), " 31 ") << "then class 3";
    lines[3] = withField(lines[3], 5, "");
    lines[7] = withField(lines[7], 12, " 77 ");
    lines[7] = withField(lines[7], 78, " 55 ");
    lines[1] = withField(lines[1], 2, "");
    BulkheadResistance = 123456789;
    MaxAirways = 3000;
    DefaultCurvePercent = 0;
    readBlock(joinLines(lines));
    EXPECT_EQ(ResistanceTypeValue(1), 123456789.0f);
    EXPECT_EQ(ResistanceTypeName(4), "undefined");
    EXPECT_EQ(WallTypeName(1), "");
    EXPECT_EQ(IconSize(4), 41);
    EXPECT_EQ(MaxAirways, 3000);
    EXPECT_EQ(DefaultCurvePercent, 0);
    BulkheadResistance = 1000000000;
}

TEST_F(DefaultsBlock, OldBlockFrictionFactorsAreScaledAndShortBlockKeepsTheRest) {
    setAll(1);
    auto lines = linesOf(writtenBlock());
    lines[0] = "2.3\tGUSTROM3";
    lines[2] = withField(lines[2], 1, " .012 ");
    // Blocks before 2.5 are comma-separated.
    for (std::size_t i = 1; i < lines.size(); ++i)
        std::replace(lines[i].begin(), lines[i].end(), '\t', ',');
    setAll(2);
    readBlock(joinLines(lines));
    EXPECT_EQ(FileVersion, 2.3f);
    EXPECT_FLOAT_EQ(WallTypeFactor(0), 0.01f);
    EXPECT_FLOAT_EQ(WallTypeFactor(4), 0.0042f) << ".005 / 1.2 to four decimals";
    EXPECT_EQ(MinNodeSpacing, 6);

    // A block that ends after its friction factors keeps the resistance presets and settings.
    setAll(1);
    lines = linesOf(writtenBlock());
    lines.resize(3);
    setAll(2);
    readBlock(joinLines(lines));
    EXPECT_EQ(WallTypeFactor(4), 0.005f);
    EXPECT_EQ(ResistanceTypeName(4), "Res 6");
    EXPECT_EQ(GridSpacing, 100.25);
}
