#include "common/RealKeys.h"
#include "common/TestPrinters.h"
#include "dialogs/DialogFixture.h"
#include "dialogs/frmAirInfo.h"
#include "graphics/editor_windows.h"
#include "model/geometry.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>

namespace {

class AirInfo : public DialogTest {
protected:
    int a = 0;
    void SetUp() override {
        DialogTest::SetUp();
        a = AddAirway(0, 0, 500, 100, 0, 480);
        AirwayNumber(a) = 17;
        CalcAirway(a);
        // Fan 7: ten points of 10 m³/s steps, static pressure falling from 1000 Pa, 100 Pa more total.
        FanName(7) = "Main";
        FanDiameter(7) = 2;
        for (int i = 1; i <= 10; ++i) {
            FanCurveFlow(i, 7) = 10.0f * static_cast<float>(i);
            FanCurvePressure(1, i, 7) = 1000.0f - 50.0f * static_cast<float>(i);
            FanCurvePressure(2, i, 7) = FanCurvePressure(1, i, 7) + 100;
            FanCurveEfficiency(i, 7) = 50 + 2 * i;
        }
        FanCurveFlow(11, 7) = 120;
    }
    // The window deletes itself when it closes; what is still open at the end of a test is deleted then.
    std::vector<QPointer<frmAirInfo>> opened;
    QPointer<frmAirInfo> Open(int airway) {
        CurrentAirway = airway;
        AirEditMode = 2;
        opened.emplace_back(new frmAirInfo);
        Activate(*opened.back());
        return opened.back();
    }
    void TearDown() override {
        for (const QPointer<frmAirInfo> &info : opened)
            delete info.data();
        DialogTest::TearDown();
    }
    static std::string Row(const frmAirInfo &info, int i) {
        return info.LblDName[static_cast<size_t>(i)]->text().toStdString() + "=" +
               info.LblData[static_cast<size_t>(i)]->text().toStdString();
    }
    // What the chart draws.
    static std::vector<DrawnPrimitive> Drawn(frmAirInfo &info) {
        std::vector<DrawnPrimitive> drawn;
        info.Chart.Recording = &drawn;
        info.DrawFanCurve();
        info.Chart.Recording = nullptr;
        return drawn;
    }
    // The horizontal bar of the duty point's cross, the chart's only line three pixels wide.
    static DrawnPrimitive Cross(const std::vector<DrawnPrimitive> &drawn) {
        const auto bar = std::find_if(drawn.begin(), drawn.end(), [](const DrawnPrimitive &p) {
            return p.kind == DrawnPrimitive::Line && p.width == 3;
        });
        DrawnPrimitive none;
        none.kind = DrawnPrimitive::Text;
        return bar != drawn.end() ? *bar : none;
    }
    // Whether a value box shows its whole text: with the cursor after the text, the text has not scrolled.
    static bool ShowsWhole(QLineEdit &box) {
        const auto cursorAt = [&box](qsizetype position) {
            box.setCursorPosition(static_cast<int>(position));
            box.repaint(); // the box scrolls to its cursor as it paints
            return box.inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
        };
        const int start = cursorAt(0), end = cursorAt(box.text().size());
        cursorAt(0);
        return end - start >= box.fontMetrics().horizontalAdvance(box.text()) - 1;
    }
    static int Rows(const frmAirInfo &info) {
        int shown = 1;
        while (shown < 16 && !info.LblData[static_cast<size_t>(shown)]->isHidden())
            ++shown;
        return shown;
    }
};

TEST_F(AirInfo, PassiveAirwayReport) {
    const struct {
        int type;
        const char *resistance;
    } cases[] = {{0, "Resistance=0.00478 Ns2/m8"},
                 {TypedPreset, "Resistance=Fixed 0.00478 Ns2/m8"},
                 {2, "Resistance=Steel Door 0.00478 Ns2/m8"}};
    for (const auto &c : cases) {
        AirwayResistanceType(a) = c.type;
        auto info = Open(a);
        EXPECT_EQ(info->LblAirName->text(), "Passive Airway 17");
        EXPECT_EQ(Rows(*info), 13);
        EXPECT_EQ(info->WidthTwips(), 4700);
        EXPECT_EQ(Row(*info, 0), "Branch name=unnamed");
        EXPECT_EQ(Row(*info, 1), "Node names=unnamed to unnamed");
        EXPECT_EQ(Row(*info, 4), c.resistance);
        EXPECT_TRUE(SubDialogOpen);
        info->close();
    }
}

TEST_F(AirInfo, BarometricPressureReferstoTheFirstAirwayAndZeroAreaShowsNotAvailable) {
    SurfacePressureRL = 99999;
    AirwayStartPressure(a) = -250;
    AirwaySize(1, a) = 0;
    auto info = Open(a);
    const std::string absolute = info->LblData[8]->text().toStdString();
    const std::string barometric = info->LblData[9]->text().toStdString();
    EXPECT_EQ(absolute.substr(0, absolute.find(" to ")), barometric.substr(0, barometric.find(" to ")));
    EXPECT_NE(absolute, barometric); // the exit end lies 20 m lower
    EXPECT_EQ(Row(*info, 3), "Airflow=0.0 m3/s @ n/a");
}

TEST_F(AirInfo, FixedPressureAirwayHasNoVelocityPressure) {
    AirwayFan(a) = -1;
    AirwayPressure(a) = 300;
    AirwayFlow(a) = 10;
    auto info = Open(a);
    EXPECT_EQ(info->LblAirName->text(), "Fixed Pressure Airway 17");
    EXPECT_EQ(Row(*info, 13), "Fix Pressure=+ Static 300.0 Pa  Total 300.0 Pa");
}

TEST_F(AirInfo, FanAirwayReportAndDutyChart) {
    AirwayFan(a) = 7;
    AirwayFanCount(a) = 2;
    AirwayFlow(a) = 100;
    AirwayPressure(a) = 500;
    auto info = Open(a);
    EXPECT_EQ(info->LblAirName->text(), "Fan Airway 17");
    EXPECT_EQ(info->WidthTwips(), 9000);
    EXPECT_EQ(Rows(*info), 16);
    EXPECT_EQ(info->LblDName[13]->text(), "Fan Pressures");
    EXPECT_EQ(info->LblDName[14]->text(), "Fan Power");
    EXPECT_EQ(info->LblDName[15]->text(), "Fan Efficiency");
    EXPECT_EQ(info->LblData[13]->text(), info->LblDutyP->text());
    EXPECT_EQ(info->LblFanName->text(), "2 x Main in parallel");

    const std::vector<DrawnPrimitive> drawn = Drawn(*info);
    const auto text = std::find_if(drawn.begin(), drawn.end(), [](const DrawnPrimitive &p) {
        return p.kind == DrawnPrimitive::Text && p.x1 == 980;
    });
    ASSERT_NE(text, drawn.end());
    EXPECT_EQ(text->text, "240.0");
    info->PicFan2_MouseMove(1000, 1000);
    EXPECT_EQ(info->LblQ->text(), "240.0 m3/s");
    // The cross is centred on the duty point.
    const DrawnPrimitive cross = Cross(drawn);
    ASSERT_EQ(cross.kind, DrawnPrimitive::Line);
    EXPECT_NEAR((cross.x1 + cross.x2) / 2 * info->FlowScale, 100, 1e-3);
    EXPECT_NEAR((1000 - cross.y1) * info->PressureScale, 500, 1e-2);
}

TEST_F(AirInfo, StalledAndUnknownFans) {
    AirwayFan(a) = 7;
    AirwayFanCount(a) = 1;
    AirwayPressure(a) = -9999;
    {
        auto info = Open(a);
        EXPECT_EQ(Row(*info, 13), "Fan Pressures=Stalled +950.0 Pa");
        EXPECT_EQ(Row(*info, 14), "Fan Power=n/a");
        EXPECT_EQ(info->LblFanName->text(), "1 x Main");
        const DrawnPrimitive cross = Cross(Drawn(*info));
        ASSERT_EQ(cross.kind, DrawnPrimitive::Line);
        EXPECT_EQ(cross.y1, 0); // on the top edge
    }
    // A fan number beyond the fan database: no fan values, no chart.
    AirwayFan(a) = 300;
    AirwayPressure(a) = 400;
    auto info = Open(a);
    EXPECT_EQ(Row(*info, 14), "Fan Power=n/a");
    EXPECT_EQ(Row(*info, 15), "Fan Efficiency=n/a");
    EXPECT_EQ(info->FlowScale, 0);
}

TEST_F(AirInfo, AFanRunBeyondItsCurveSaysSoInItsPressureRow) {
    AirwayFan(a) = 7;
    AirwayFanCount(a) = 1;
    // Past point 10 (100 m³/s, 500 Pa) the curve runs straight to -600 Pa at 120 m³/s: 55 Pa less per m³/s.
    FanCurvePressure(1, 11, 7) = -600;
    const struct {
        float q, p;
        const char *row;
    } cases[] = {{105, 225, "Fan Pressures=Fan beyond its curve: + Static 225.0 Pa"},
                 {115, -325, "Fan Pressures=Fan beyond its curve, pressure negative: - Static 325.0 Pa"}};
    for (const auto &c : cases) {
        AirwayFlow(a) = c.q;
        AirwayPressure(a) = c.p;
        auto info = Open(a);
        EXPECT_EQ(Row(*info, 13).rfind(c.row, 0), 0u) << Row(*info, 13);
        // Read whole, without scrolling.
        for (QLineEdit *box : info->LblData)
            EXPECT_TRUE(box->isHidden() || ShowsWhole(*box)) << box->text().toStdString();
    }
}

class RecordingEditor : public EditorWindows {
public:
    void ShowAirwayEdit() override { edited.push_back(CurrentAirway); }
    std::vector<int> edited;
};

TEST_F(AirInfo, ClosesOnAnotherProgramWindowEscapeOrEdit) {
    auto closed = [](const QPointer<frmAirInfo> &info) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return info.isNull();
    };
    QPointer<frmAirInfo> info = Open(a);
    QWidget other;
    Activate(other);
    QApplication::processEvents();
    EXPECT_TRUE(closed(info));
    EXPECT_FALSE(SubDialogOpen);

    info = Open(a);
    QTest::keyClick(info->Command1, Qt::Key_A);
    EXPECT_TRUE(info->isVisible());
    RealKeys::Click(info->Command1, Qt::Key_Escape);
    EXPECT_TRUE(closed(info));

    RecordingEditor editor;
    EditorWindows *previous = SetEditorWindows(&editor);
    info = Open(a);
    QTest::mouseClick(info->Command2, Qt::LeftButton);
    SetEditorWindows(previous);
    EXPECT_TRUE(closed(info));
    EXPECT_EQ(editor.edited, std::vector<int>{a});
}

TEST_F(AirInfo, EscapeClosesTheReportWhereverTheFocusIs) {
    AirwayFan(a) = 7;
    AirwayFanCount(a) = 1;
    // Null: the focus where the opening put it.
    const std::function<QWidget *(frmAirInfo &)> focused[] = {
        [](frmAirInfo &) -> QWidget * { return nullptr; },
        [](frmAirInfo &info) -> QWidget * { return info.LblData[3]; },
        [](frmAirInfo &info) -> QWidget * { return info.Command2; },
        [](frmAirInfo &info) -> QWidget * { return info.Prnter; },
        [](frmAirInfo &info) -> QWidget * { return info.Command1; },
    };
    for (size_t k = 0; k < std::size(focused); ++k) {
        QPointer<frmAirInfo> info = Open(a);
        if (QWidget *target = focused[k](*info)) {
            target->setFocus(Qt::MouseFocusReason);
            ASSERT_TRUE(target->hasFocus()) << k;
        }
        RealKeys::Click(nullptr, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(info.isNull()) << k;
        EXPECT_FALSE(SubDialogOpen) << k;
    }
}

TEST_F(AirInfo, PrintsItsImageOnOnePageOfThePrinterTheWorkLineNames) {
    const std::string file = folder.path() + "info.pdf";
    auto current = std::make_shared<ImagePrinter>("Current");
    TestPrinters printers({current, std::make_shared<VB::PdfPrinter>("Pdf", file)});
    // The print settings dialog left the name of its printer in the work line.
    CurrentLine = "Pdf";
    AirwayFan(a) = 7;
    AirwayFanCount(a) = 1;
    auto info = Open(a);
    QTest::mouseClick(info->Prnter, Qt::LeftButton);
    QProcess pdfinfo;
    pdfinfo.start("pdfinfo", {QString::fromStdString(file)});
    ASSERT_TRUE(pdfinfo.waitForFinished());
    EXPECT_TRUE(pdfinfo.readAllStandardOutput().contains("Pages:           1")) << file;
    QProcess render;
    render.start("pdftoppm", {"-r", "20", "-gray", "-singlefile", QString::fromStdString(file),
                              QString::fromStdString(folder.path() + "page")});
    ASSERT_TRUE(render.waitForFinished());
    const QImage page(QString::fromStdString(folder.path() + "page.pgm"));
    ASSERT_FALSE(page.isNull());
    int dark = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128)
                ++dark;
    EXPECT_GT(dark, 20);
    EXPECT_EQ(current->opened, 0);
}

} // namespace
