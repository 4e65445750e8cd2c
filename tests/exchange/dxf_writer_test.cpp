// DXF drawings in true coordinates and of the screen, and their options dialog.
#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "exchange/dxf_writer.h"
#include "exchange/frmExport.h"
#include "graphics/DrawingFixture.h"
#include "platform/VBControls.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

struct Entity {
    std::string type;
    std::multimap<std::string, std::string> groups;
    std::string text(const std::string &code) const {
        const auto it = groups.find(code);
        return it == groups.end() ? std::string("<none>") : it->second;
    }
    double number(const std::string &code) const { return std::stod(text(code)); }
};

// The entities of a drawing; every line must end in CR LF.
std::vector<Entity> entitiesOf(const std::string &dxf) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < dxf.size()) {
        const std::size_t end = dxf.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "line without CR LF at " << start;
        if (end == std::string::npos)
            break;
        lines.push_back(dxf.substr(start, end - start));
        start = end + 2;
    }
    std::vector<Entity> entities;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string &code = lines[i], &value = lines[i + 1];
        if (code == "0" && value != "SECTION" && value != "ENDSEC" && value != "EOF")
            entities.push_back({value, {}});
        else if (!entities.empty() && code != "0")
            entities.back().groups.emplace(code, value);
    }
    return entities;
}

std::vector<Entity> onLayer(const std::vector<Entity> &entities, const std::string &layer) {
    std::vector<Entity> out;
    for (const auto &e : entities)
        if (e.text("8") == layer)
            out.push_back(e);
    return out;
}

class DxfExportTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        ExportDataSize = 3;
        ExportNodeSize = 4;
        ExportAirwaySize = 5;
        ExportNodeCircleSize = 0;
        ExportArrowSize = 10;
        ExportFloatSize = 6;
        ExportVisibleOnly = false;
        GraphicsDetail = 511;
        DataCode = 12;
    }
    void TearDown() override {
        VB::SetModalDriver({});
        VB::SetClockOverride(nullptr);
        DrawingTest::TearDown();
    }
};

} // namespace

TEST_F(DxfExportTest, TrueFormWritesEveryAirwayWithColourArrowAndLabels) {
    const int fresh = AddAirway(0, 0, 10, 100, 0, 20);
    AirwayFlags(fresh) |= AirwayFlag::FreshAir | AirwayFlag::LayerVisible;
    AirwayEndName(fresh) = "N2";
    AirwayName(fresh) = " Drive ";
    AirwayFlow(fresh) = 12.5f;
    const int exhaust = AddAirway(100, 0, 0, 0, 0, 0);
    AirwayFlags(exhaust) |= AirwayFlag::FreshAir | AirwayFlag::ExhaustAir;
    const int plain = AddAirway(0, 50, 0, 0, 150, 0);
    DataCode = 0; // no label for any airway

    // The plain airway has no names and no label: its line and arrow alone.
    const auto bare = entitiesOf(DxfTrueBytes());
    const auto lines = onLayer(bare, "Branch");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(bare.size(), 3u * 3 + 2); // three lines, three arrows, two names of the first airway
    EXPECT_EQ(lines[0].number("62"), 4);
    EXPECT_EQ(lines[1].number("62"), 1);
    EXPECT_EQ(lines[2].number("62"), 3);
    EXPECT_EQ(lines[0].number("30"), 10);
    EXPECT_EQ(lines[0].number("31"), 20);

    // Arrow points at 40 with barbs back toward the entry, both ways round.
    const auto arrows = onLayer(bare, "Arrow");
    ASSERT_EQ(arrows.size(), 6u);
    for (int k : {0, 1}) {
        const Entity &toPoint = arrows[2 * k], &fromPoint = arrows[2 * k + 1];
        EXPECT_EQ(toPoint.number("11"), 40);
        EXPECT_EQ(fromPoint.number("10"), 40);
        const double side = k == 0 ? -1 : 1;
        EXPECT_GT(side * (toPoint.number("10") - 40), 9);
        EXPECT_GT(side * (fromPoint.number("11") - 40), 9);
        EXPECT_NEAR(toPoint.number("20"), -fromPoint.number("21"), 1e-4);
    }
    EXPECT_NEAR(arrows[0].number("31"), 14, 1e-4); // the arrow point's elevation

    const auto names = onLayer(bare, "BNAMES");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].text("1"), "Drive");
    EXPECT_EQ(names[0].number("40"), 5);
    EXPECT_EQ(names[0].number("10"), 50);
    EXPECT_EQ(onLayer(bare, "NNAMES")[0].text("1"), "N2");

    // Data labels go above the middle; no arrows at size 0; visible-only walks the visible list.
    DataCode = 12;
    ExportArrowSize = 0;
    Show({plain, fresh});
    ExportVisibleOnly = true;
    const auto visible = entitiesOf(DxfTrueBytes());
    EXPECT_TRUE(onLayer(visible, "Arrow").empty());
    const auto shown = onLayer(visible, "Branch");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].number("10"), 0);
    EXPECT_EQ(shown[0].number("20"), 50);
    const auto data = onLayer(visible, "DATA");
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.back().number("20"), 3);

    // Coordinates in feet under British units.
    UnitSystem = 2;
    ExportVisibleOnly = false;
    EXPECT_NEAR(onLayer(entitiesOf(DxfTrueBytes()), "Branch")[0].number("11"), 100 / 0.3048, 0.01);
}

TEST_F(DxfExportTest, ScreenFormWritesTheWindowsRecordsFlat) {
    const int inside = AddAirway(0, 50, 30, 100, 50, 40);
    const int outside = AddAirway(5000, 0, 0, 5100, 0, 0);
    Show({inside, outside});
    FloatingTextUsed(1) = true;
    FloatingTextPosition(1, 1) = 10;
    FloatingTextPosition(2, 1) = 20;
    FloatingTextString(1) = "Workshop";
    FloatingTextShown(1) = 1;
    FloatingTextShown(2) = 0;
    PrepareDrawing();
    ASSERT_EQ(AirwayScreenCount, 1);
    const VB::DateTime fixed{2024, 3, 7, 9, 5, 2};
    VB::SetClockOverride(&fixed);

    const std::string dxf = DxfScreenBytes();
    const std::string stars = "GUSTROM" + std::string(42, '*') + "GUSTROM";
    const std::string start = "999\r\n" + stars +
                              "\r\n999\r\n       DXF Export - Created 09:05:02 03-07-2024\r\n" + "999\r\n" +
                              stars + "\r\n0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\n";
    EXPECT_EQ(dxf.substr(0, start.size()), start);
    const auto entities = entitiesOf(dxf);
    for (const auto &e : entities)
        for (const char *z : {"30", "31"}) {
            if (e.groups.count(z) != 0) {
                EXPECT_EQ(e.number(z), 0) << e.type;
            }
        }
    const auto lines = onLayer(entities, "Branch");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].number("20"), -50);
    EXPECT_EQ(lines[0].number("62"), 3); // the on-level screen colour
    EXPECT_EQ(onLayer(entities, "Arrow").size(), 2u);
    ASSERT_EQ(onLayer(entities, "NODES").size(), 1u);
    EXPECT_EQ(onLayer(entities, "NODES")[0].number("10"), 100);
    const auto texts = onLayer(entities, "FLOAT");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].number("10"), 10);
    EXPECT_EQ(texts[0].number("20"), -20);

    ViewIs3D = 1;
    EXPECT_TRUE(onLayer(entitiesOf(DxfScreenBytes()), "FLOAT").empty());
}

TEST_F(DxfExportTest, BothFormsOpenInACadReaderUnderEitherLocale) {
    TestFolder folder;
    const int a = AddAirway(0, 0, 0, 100, 25, 10);
    AirwayName(a) = "Drive 1";
    AirwayEndName(a) = "Node 2";
    AirwayFlow(a) = 12.5f;
    Show({a, AddAirway(100, 25, 10, 100, 25, 110)});
    PrepareDrawing();
    QStringList files;
    for (char separator : {'.', ','}) {
        VB::SetLocaleDecimalSeparatorOverride(separator);
        for (const auto &[name, bytes] :
             {std::pair{"true", DxfTrueBytes()}, std::pair{"screen", DxfScreenBytes()}}) {
            const std::string file = folder.path() + name + (separator == ',' ? "-comma" : "") + ".dxf";
            folder.Write(file.substr(folder.path().size()), bytes);
            files << QString::fromStdString(file);
        }
    }
    const QString script = "import sys, ezdxf\n"
                           "for name in sys.argv[1:]:\n"
                           "    doc = ezdxf.readfile(name)\n"
                           "    auditor = doc.audit()\n"
                           "    if auditor.has_errors: sys.exit(name + ' has audit errors')\n"
                           "    print(len(doc.modelspace()))\n";
    QProcess python;
    python.start("/usr/bin/python3", QStringList{"-c", script} + files);
    ASSERT_TRUE(python.waitForFinished(60000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QStringList counts = QString(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(counts.size(), 4);
    for (const QString &count : counts)
        EXPECT_GE(count.toInt(), 6);
}

TEST_F(DxfExportTest, OptionsDialogShowsDefaultsAndStoresRoundedSizes) {
    ExportDataSize = ExportNodeSize = ExportAirwaySize = ExportNodeCircleSize = ExportArrowSize =
        ExportFloatSize = 0;
    FontSize(1) = 7;
    FontSize(2) = 9;
    FontSize(3) = 11;
    FontSize(4) = 13;
    const auto run = [](const std::function<void(frmExport &)> &work) {
        VB::SetModalDriver([&](QDialog &d) { work(static_cast<frmExport &>(d)); });
        ExportConfirmed = false;
        ShowExportOptions();
    };
    run([](frmExport &f) {
        EXPECT_EQ(f.windowTitle(), "DXF Export Options");
        EXPECT_EQ(f.TxtData->text(), "7");
        EXPECT_EQ(f.TxtNode->text(), "11");
        EXPECT_EQ(f.TxtAirway->text(), "9");
        EXPECT_EQ(f.TxtNodeCircle->text(), "0");
        EXPECT_EQ(f.TxtArrow->text(), "0");
        EXPECT_EQ(f.TxtFloat->text(), "13");
        f.TxtArrow->setText("13");
        f.TxtNodeCircle->setText("abc");
        f.ChkVisible->setChecked(true);
        QTest::mouseClick(f.Export, Qt::LeftButton);
    });
    EXPECT_TRUE(ExportConfirmed);
    EXPECT_TRUE(ExportVisibleOnly);
    EXPECT_EQ(ExportArrowSize, 13);
    EXPECT_EQ(ExportNodeCircleSize, 0);
    EXPECT_EQ(ExportDataSize, 7);

    // Too large a size or a fraction is refused with the rule and nothing is stored; the dialog stays open
    // on the box.
    ScriptedDialogs boxes;
    for (const char *size : {"40000", "12.6"}) {
        boxes.Expect(VB::vbOK, "Size must be a whole number from -32768 to 32767");
        run([size](frmExport &f) {
            f.TxtData->setText(size);
            f.TxtNode->setText("1");
            QTest::mouseClick(f.Export, Qt::LeftButton);
            EXPECT_TRUE(f.isVisible());
            EXPECT_EQ(f.TxtData->selectedText(), size);
            QTest::mouseClick(f.Cancel, Qt::LeftButton);
        });
    }
    EXPECT_FALSE(ExportConfirmed);
    EXPECT_EQ(ExportDataSize, 7);
    EXPECT_EQ(ExportNodeSize, 11);

    // Cancel after an earlier export writes nothing.
    TestFolder folder;
    VB::SetModalDriver(
        [](QDialog &d) { QTest::mouseClick(static_cast<frmExport &>(d).Cancel, Qt::LeftButton); });
    ExportDxfTrue(folder.path() + "x.dxf");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.path() + "x.dxf")));
}
