// The TXT exchange file and the export command.
#include "common/ModelFixture.h"
#include "exchange/export.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fstream>
#include <sstream>

namespace {

struct LocaleScope {
    explicit LocaleScope(char separator) { VB::SetLocaleDecimalSeparatorOverride(separator); }
    ~LocaleScope() { VB::SetLocaleDecimalSeparatorOverride(0); }
};

// The TAB-separated fields of line `n` (0 the heading) of a TXT export.
std::vector<std::string> fieldsOf(const std::string &bytes, int n) {
    std::size_t start = 0;
    for (int i = 0; i < n; ++i)
        start = bytes.find("\r\n", start) + 2;
    const std::string line = bytes.substr(start, bytes.find("\r\n", start) - start);
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, '\t');)
        fields.push_back(f);
    return fields;
}

class TxtExportTest : public ModelTest {
protected:
    LocaleScope locale{'.'};
    void SetUp() override {
        ModelTest::SetUp();
        SetBuiltInUnits();
        UnitSystem = 1;
    }
};

} // namespace

TEST_F(TxtExportTest, WritesTheHeadingThenOneLinePerAirwayInTheExchangeForms) {
    const std::string heading =
        "X1\tY1\tZ1\tX2\tY2\tZ2\tQUANTITY\tRESISTANCE\tFAN TYPE\tNO FANS\tBRANCH NAME\t"
        "ENTRY NODE\tEXIT NODE\tHEIGHT\tWIDTH/DIAM\tAirway No\tBranch Code\tPressure\r\n";
    EXPECT_EQ(ExportTextBytes(), heading);

    const int a = AddAirway(123, -123, 0, 10, 20, -5);
    AirwayFlow(a) = 0.04f;
    AirwayResistance(a) = 0.000004f;
    AirwayFan(a) = -1;
    AirwayFanCount(a) = 2;
    AirwayName(a) = "Main";
    AirwayStartName(a) = std::string(40, 'S');
    AirwaySize(1, a) = 2.5f;
    AirwayNumber(a) = 77;
    AirwayPressure(a) = 250;
    const int b = AddAirway(0, 0, 0, 1, 1, 1);
    AirwayFlow(b) = 12.5f;
    AirwayResistance(b) = 0.123456f;
    // Flows go rounded to 0.1 m³/s, resistances with every digit a single holds.
    // The surface at 1: the end of b is marked as a surface exit; its selection is not written.
    LevelRange(1, 2) = 1;
    AirwayFlags(b) |= AirwayFlag::Selected;

    const std::string bytes = ExportTextBytes();
    EXPECT_EQ(bytes.substr(0, heading.size()), heading);
    const std::string blanks(40, ' ');
    EXPECT_EQ(bytes.substr(heading.size()),
              " 123 \t-123 \t 0 \t 10 \t 20 \t-5 \t 0 \t 4E-06 \t-1 \t 2 \tMain" + blanks.substr(4) + "\t" +
                  std::string(40, 'S') + "\t" + blanks + "\t 2.5 \t 4 \t 77 \t 1 \t 250 \r\n" +
                  " 0 \t 0 \t 0 \t 1 \t 1 \t 1 \t 12.5 \t .123456 \t 0 \t 0 \t" + blanks + "\t" + blanks +
                  "\t" + blanks + "\t 4 \t 4 \t 0 \t 8193 \t 0 \r\n");
}

TEST_F(TxtExportTest, ConvertsToDisplayUnitsAfterRoundingInSi) {
    UnitSystem = 2;
    const int a = AddAirway(100, 0, 0, 0, 0, 0);
    AirwayFlow(a) = 12.34f;
    const auto fields = fieldsOf(ExportTextBytes(), 1);
    EXPECT_EQ(fields[0], PrintedNumber(ToDisplayUnits(100.0f, 1)));
    EXPECT_EQ(fields[6], PrintedNumber(ToDisplayUnits(12.3f, 4)));
    EXPECT_NE(fields[6], PrintedNumber(ToDisplayUnits(12.34f, 4)));
}

TEST_F(TxtExportTest, UsesTheLocalesDecimalSeparator) {
    LocaleScope comma(',');
    AirwayFlow(AddAirway(0, 0, 0, 1, 0, 0)) = 12.5f;
    EXPECT_EQ(fieldsOf(ExportTextBytes(), 1)[6], " 12,5 ");
}

TEST_F(TxtExportTest, CommandAsksForTheFileAndReportsFailures) {
    AddAirway(0, 0, 0, 10, 0, 0);
    ExportMode = 0;
    const std::string target = folder.path() + "net.txt";
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile(std::nullopt);
        ExportNetwork();
        EXPECT_TRUE(boxes.Shown().empty());
        ASSERT_EQ(boxes.FileDialogs().size(), 1u);
        const VB::FileRequest &r = boxes.FileDialogs()[0];
        EXPECT_TRUE(r.save && r.confirmOverwrite);
        EXPECT_EQ(r.fileName, "EXPORT.TXT");
        EXPECT_EQ(r.defaultExt, "TXT");
        EXPECT_EQ(r.filter, "Data Files (*.TXT)|*.TXT|All files (*.*)|*.*");
        EXPECT_EQ(r.filterIndex, 1);
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
    {
        ScriptedDialogs boxes;
        boxes.ExpectFile("").Expect(VB::vbOK, "Error Export File - Check Name");
        ExportNetwork();
        EXPECT_TRUE(boxes.Done());
    }
    {
        // A folder nobody can write into: the file there keeps its bytes.
        const std::string before = [] {
            std::ifstream in("/proc/version");
            return std::string(std::istreambuf_iterator<char>(in), {});
        }();
        ASSERT_FALSE(before.empty());
        ScriptedDialogs boxes;
        boxes.ExpectFile("/proc/version").Expect(VB::vbOK, "Error exporting File");
        ExportNetwork();
        EXPECT_TRUE(boxes.Done());
        std::ifstream in("/proc/version");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
    }
    {
        folder.Write("net.txt", std::string(100000, 'x'));
        ScriptedDialogs boxes;
        boxes.ExpectFile(target);
        ExportNetwork();
        EXPECT_EQ(folder.Read("net.txt"), ExportTextBytes());
    }
    EXPECT_EQ(VB::ScreenPointer(), VB::vbDefault);
}
