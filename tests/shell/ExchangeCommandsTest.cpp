// File > Export Data, File > Import Data and File > Merge File worked as a user works them, on the example
// networks.
#include "ShellFixture.h"

#include "exchange/frmExport.h"
#include "exchange/frmImport.h"
#include "model/geometry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <set>

namespace {

using Ends = std::array<int32_t, 6>;

class ExchangeCommands : public ShellTest {
protected:
    // Each test starts the program on a copy of an example (StartOnExample).
    void SetUp() override {}
    // Run > Airflow Simulation; true when the run reports success.
    bool simulate() {
        form->MenuItem("mnuExecute")->trigger();
        return form->LblSim->text() == "OK";
    }
    // File > Import Data > TXT or DXF file of `path`, worked in the options dialog by `options`. A replacing
    // import of a changed network (`replacing`) offers to save it first: No.
    void importFile(const char *item, const std::string &path,
                    const std::function<void(frmImport &)> &options, bool replacing = false) {
        boxes->ExpectFile(path);
        if (replacing)
            boxes->Expect(VB::vbNo, "Gustrom data is not saved - Save it?");
        withDialog<frmImport>(form->MenuItem(item), [&](frmImport &dialog) {
            options(dialog);
            QTest::mouseClick(dialog.Import, Qt::LeftButton);
        });
    }
    static std::map<Ends, float> flowsByEnds() {
        std::map<Ends, float> flows;
        for (int a = 1; a <= AirwayCount; ++a)
            flows[{AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a), AirwayEnd(1, a), AirwayEnd(2, a),
                   AirwayEnd(3, a)}] = AirwayFlow(a);
        return flows;
    }
    static std::vector<std::tuple<std::string, int32_t, int32_t>> levels() {
        std::vector<std::tuple<std::string, int32_t, int32_t>> table;
        for (int l = 1; !LevelName(l).empty(); ++l)
            table.emplace_back(LevelName(l), LevelRange(l, 1), LevelRange(l, 2));
        return table;
    }
};

} // namespace

TEST_F(ExchangeCommands, AnExportedTableReadBackSolvesAsTheNetworkItCameFrom) {
    for (const char *example : {"teaching.sim", "mine.sim"}) {
        StartOnExample(example);
        // The bulkheads and an open drive made irregular, of a wall 2.5 times as rough and an area that keeps
        // their resistance: only the table's resistance tells that wall.
        int drive = 0;
        for (int a = 1; a <= AirwayCount; ++a) {
            const bool bulkhead = AirwayResistanceType(a) == 1;
            const bool openDrive = drive == 0 && AirwayResistanceType(a) == 0 && AirwayFan(a) == 0 &&
                                   (AirwayFlags(a) & (AirwayFlag::Rectangular | AirwayFlag::FixedFlow)) ==
                                       AirwayFlag::Rectangular;
            if (!bulkhead && !openDrive)
                continue;
            if (openDrive)
                drive = a;
            const float h = AirwaySize(1, a), w = AirwaySize(2, a);
            AirwayFlags(a) = (AirwayFlags(a) & ~AirwayFlag::Rectangular) | AirwayFlag::Irregular;
            AirwaySize(1, a) = 2 * (h + w);
            AirwaySize(2, a) = h * w * std::cbrt(2.5f);
            AirwayFrictionFactor(a) *= 2.5f;
            AirwayWallType(a) = TypedPreset;
            CalcAirway(a);
        }
        ASSERT_NE(drive, 0) << example;
        // Both runs compared start from solved flows, as the run after the import does.
        ASSERT_TRUE(simulate()) << example;
        ASSERT_TRUE(simulate()) << example;
        const std::map<Ends, float> solved = flowsByEnds();
        std::vector<Ends> sealed;
        for (int a = 1; a <= AirwayCount; ++a)
            if (AirwayResistance(a) >= static_cast<float>(BulkheadResistance))
                sealed.push_back({AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a), AirwayEnd(1, a),
                                  AirwayEnd(2, a), AirwayEnd(3, a)});
        ASSERT_FALSE(sealed.empty()) << example;
        const int count = AirwayCount;
        const std::string table = folder.path() + "exchange.txt";
        boxes->ExpectFile(table);
        form->MenuItem("mnuExportData")->trigger();

        // Replace, with the resistances recomputed from the sizes and then kept as the table gives them.
        for (const bool retain : {false, true}) {
            const std::string label = std::string(example) + (retain ? " retained" : " recomputed");
            importFile(
                "mnuImportData", table,
                [retain](frmImport &dialog) {
                    dialog.ChkRDrive->setChecked(retain);
                    dialog.ChkRRaise->setChecked(retain);
                },
                true);
            ASSERT_EQ(AirwayCount, count) << label;
            EXPECT_EQ(LevelRange(1, 2), 1000) << label << ": the surface ends stay on the surface";
            ASSERT_TRUE(simulate()) << label;
            // An import never opens a sealed airway: it comes back as a bulkhead.
            for (int a = 1; a <= AirwayCount; ++a) {
                const Ends ends{AirwayStart(1, a), AirwayStart(2, a), AirwayStart(3, a),
                                AirwayEnd(1, a),   AirwayEnd(2, a),   AirwayEnd(3, a)};
                if (std::find(sealed.begin(), sealed.end(), ends) == sealed.end())
                    continue;
                EXPECT_EQ(AirwayResistanceType(a), 1) << label;
                EXPECT_EQ(AirwayFlow(a), 0) << label;
            }
        }
        for (const auto &[ends, flow] : flowsByEnds())
            EXPECT_NEAR(flow, solved.at(ends), 2 * MaxError) << example;

        // Merged beside the network: the levels there are stay, and the copy solves alike.
        const auto before = levels();
        importFile("mnuImportData", table, [](frmImport &dialog) {
            dialog.ChkRDrive->setChecked(true);
            dialog.ChkRRaise->setChecked(true);
            dialog.ChkMerge->setChecked(true);
            dialog.TxtXOffset->setText("1000");
        });
        ASSERT_EQ(AirwayCount, 2 * count) << example;
        const auto after = levels();
        for (const auto &level : before)
            EXPECT_NE(std::find(after.begin(), after.end(), level), after.end()) << std::get<0>(level);
        EXPECT_EQ(after.front(), before.front()) << example;
        ASSERT_TRUE(simulate()) << example;
        const std::map<Ends, float> merged = flowsByEnds();
        for (const auto &[ends, flow] : solved)
            EXPECT_NEAR(merged.at({ends[0] + 1000, ends[1], ends[2], ends[3] + 1000, ends[4], ends[5]}), flow,
                        2 * MaxError)
                << example;
        EXPECT_TRUE(boxes->Done());
    }
}

TEST_F(ExchangeCommands, AnImportAfterFileNewAsksNothingAndNumbersTheAirwaysFrom1) {
    StartOnExample("mine.sim");
    const std::string table = folder.path() + "mine.txt";
    boxes->ExpectFile(table);
    form->MenuItem("mnuExportData")->trigger();
    // A solved network is one to save; File > New discards it at the user's word.
    ASSERT_TRUE(simulate());
    boxes->Expect(VB::vbOK, "Current Data will be lost ?");
    form->MenuItem("mnuNewFile")->trigger();
    importFile("mnuImportData", table, [](frmImport &) {});
    ASSERT_EQ(AirwayCount, 300);
    std::set<int32_t> numbers, expected;
    for (int a = 1; a <= AirwayCount; ++a) {
        numbers.insert(AirwayNumber(a));
        expected.insert(a);
    }
    EXPECT_EQ(numbers, expected);
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ExchangeCommands, AReplacingImportIsUnnamedCaptionedWithItsSourceAndSavesNothingOverTheFileBefore) {
    StartOnExample("teaching.sim");
    const std::string table = folder.path() + "teaching.txt", before = folder.Read("teaching.sim");
    boxes->ExpectFile(table);
    form->MenuItem("mnuExportData")->trigger();
    importFile("mnuImportData", table, [](frmImport &) {});
    EXPECT_TRUE(form->windowTitle().startsWith("GUSTROM [Imported from teaching.txt] [Scale = 1:"))
        << form->windowTitle().toStdString();
    boxes->ExpectFile(std::nullopt);
    form->MenuItem("mnuSaveFile")->trigger();
    EXPECT_TRUE(folder.Read("teaching.sim") == before);
}

TEST_F(ExchangeCommands, TheScreenDrawingMergedBackAddsOnlyAirwaysWithALength) {
    StartOnExample("teaching.sim");
    const std::string drawing = folder.path() + "screen.dxf";
    boxes->ExpectFile(drawing);
    withDialog<frmExport>(form->MenuItem("MnuDXFScreen"), [](frmExport &dialog) {
        dialog.TxtArrow->setText("0");
        QTest::mouseClick(dialog.Export, Qt::LeftButton);
    });
    importFile("MnuDXF", drawing, [](frmImport &dialog) { dialog.ChkMerge->setChecked(true); });
    EXPECT_EQ(AirwayCount, 10 + 8); // the intake shaft and the return raise, seen end-on in plan, are points
    for (int a = 11; a <= AirwayCount; ++a)
        EXPECT_TRUE(AirwayStart(1, a) != AirwayEnd(1, a) || AirwayStart(2, a) != AirwayEnd(2, a)) << a;
    EXPECT_TRUE(boxes->Done());
}

TEST_F(ExchangeCommands, MergedAirwaysAreNumberedOnFromTheOpenNetwork) {
    // The mine example whole, and with a damaged airway line half-way, where the merge is stopped.
    std::string mine;
    {
        std::ifstream in(std::string(GUSTROM_SOURCE_DIR) + "/examples/mine.sim", std::ios::binary);
        mine.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string damaged = mine;
    const std::size_t line = damaged.find("\tDrive 150\t");
    ASSERT_NE(line, std::string::npos);
    damaged.insert(damaged.find("\t", line + 12) + 1, "x");
    for (const std::string *file : {&mine, &damaged}) {
        StartOnExample("teaching.sim");
        folder.Write("merged.sim", *file);
        // The open network's next number lies above every number it holds.
        std::set<int32_t> expected;
        int32_t next = NextAirwayNumber;
        for (int a = 1; a <= AirwayCount; ++a) {
            expected.insert(AirwayNumber(a));
            next = std::max(next, AirwayNumber(a));
        }
        const int own = AirwayCount;
        boxes->ExpectFile(folder.path() + "merged.sim").Expect(VB::vbYes, "original fan database");
        if (file == &damaged)
            boxes->Expect(VB::vbNo, "Do you wish to continue loading?");
        form->MenuItem("mnuMergeFile")->trigger();
        EXPECT_TRUE(boxes->Done());
        ASSERT_GT(AirwayCount, own);
        for (int k = 1; k <= AirwayCount - own; ++k)
            expected.insert(next + k);
        std::set<int32_t> numbers;
        for (int a = 1; a <= AirwayCount; ++a)
            numbers.insert(AirwayNumber(a));
        EXPECT_EQ(numbers, expected) << AirwayCount;
    }
}
