#include "common/RealKeys.h"
#include "model/units.h"
#include "platform/PictureBoxView.h"
#include "platform/System.h"
#include "platform/VBControls.h"
#include "platform/VBGrid.h"
#include "platform/VBTextBox.h"
#include "tables/TableFixture.h"
#include "tables/frmFanData.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <set>

namespace {

class FanDataTest : public TableWindowTest<frmFanData> {
protected:
    // A fan of ten points: static pressure falling from 1000 Pa by 100, total 50 Pa above, flow rising
    // by 10 m³/s, efficiency 60 %.
    static void StandardFan(int f, const std::string &name) {
        FanName(f) = name;
        for (int p = 1; p <= 10; ++p) {
            FanCurvePressure(1, p, f) = static_cast<float>(1100 - 100 * p);
            FanCurvePressure(2, p, f) = static_cast<float>(1150 - 100 * p);
            FanCurveFlow(p, f) = static_cast<float>(10 * p);
            FanCurveEfficiency(p, f) = 60;
        }
    }
    void ShowFan(int f) { window->FanList->SetListIndex(f - 1); }
    VBGrid &grid() { return *window->Spreadsheet; }
    void Cell(int row, int col, const std::string &text) { grid().SetTextMatrix(row, col, text); }
    std::string Cell(int row, int col) { return grid().TextMatrix(row, col); }
};

} // namespace

TEST_F(FanDataTest, TheListNamesEverySlotAndTheCheckBoxesFollowTheCurves) {
    StandardFan(7, "Main fan");
    StandardFan(3, "Static only");
    for (int p = 1; p <= 10; ++p)
        FanCurvePressure(2, p, 3) = 0;
    Show();
    EXPECT_EQ(window->FanList->List(6), " 7 Main fan");
    EXPECT_EQ(window->FanList->List(0), " 1 -none-");
    ShowFan(3);
    EXPECT_FALSE(window->ChkTotal->isChecked());
    EXPECT_EQ(grid().ColWidth(2), 0);
    EXPECT_EQ(Cell(1, 2), "");
    QTest::mouseClick(window->ChkStatic, Qt::LeftButton);
    EXPECT_TRUE(window->ChkStatic->isChecked()); // one pressure column always shows
}

TEST_F(FanDataTest, ReadBackOrdersPointsFillsGapsAndNamesAFanWithData) {
    StandardFan(12, "");
    Show();
    ShowFan(12);
    // Rows typed in rising pressure; row 2's flow emptied; rows 5 .. 10 empty.
    const char *rows[4][4] = {{"100", "150", "40", "120"},
                              {"200", "250", "", "50"},
                              {"300", "350", "20", "50"},
                              {"400", "450", "-5", "40"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            Cell(r + 1, c + 1, rows[r][c]);
    for (int r = 5; r <= 10; ++r)
        for (int c = 1; c <= 4; ++c)
            Cell(r, c, "");
    window->DrawFanCurve();
    const int f = 12;
    EXPECT_EQ(FanName(12), "Fan #12");
    EXPECT_EQ(window->TxtFanName->Text(), "Fan #12");
    EXPECT_EQ(window->FanList->List(11), " 12 Fan #12");
    // Falling pressure; the empty rows repeated the fourth, whose flow of -5 is stored as 0.
    const float statics[] = {400, 400, 400, 400, 400, 400, 400, 300, 200, 100};
    for (int p = 1; p <= 10; ++p)
        EXPECT_EQ(FanCurvePressure(1, p, f), statics[p - 1]) << p;
    EXPECT_EQ(FanCurveFlow(1, f), 0);
    EXPECT_EQ(FanCurveFlow(9, f), 40); // the emptied cell took the point above
    EXPECT_EQ(FanCurveEfficiency(10, f), 100);
    EXPECT_EQ(NetworkSaved, 0);
}

TEST_F(FanDataTest, AnEfficiencyCurveFromZeroToZeroSurvivesBeingShown) {
    StandardFan(2, "Booster");
    for (int p = 1; p <= 10; ++p)
        FanCurveEfficiency(p, 2) = p == 1 || p == 10 ? 0 : 35 + 5 * p;
    AirPowerEfficiency = 0.8f;
    Show();
    ShowFan(2);
    EXPECT_EQ(FanCurveEfficiency(5, 2), 60);
    EXPECT_EQ(Cell(5, 4), "60");
    NetworkSaved = 255;
    window->TxtFanName->SetFocus();
    window->TxtFanName->selectAll();
    QTest::keyClicks(window->TxtFanName, "Main,");
    EXPECT_EQ(window->TxtFanName->Text(), "Main");
    EXPECT_EQ(FanName(2), "Main");
    EXPECT_EQ(NetworkSaved, 0);
    boxes.Expect(VB::vbOK, "Your fan curve contains 2 zero efficiency value(s)");
    window->ExitFan_Click();
    EXPECT_EQ(FanCurveEfficiency(1, 2), 80);
    EXPECT_EQ(FanCurveEfficiency(10, 2), 80);
    EXPECT_EQ(FanCurveEfficiency(5, 2), 60);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(FanDataTest, ANameEndingInPunctuationIsStoredAsTyped) {
    StandardFan(1, "Main");
    StandardFan(2, "Booster");
    Show();
    for (const auto &[fan, typed] : {std::pair{1, "Intake-"}, std::pair{2, "Fan 2."}}) {
        ShowFan(fan);
        window->TxtFanName->SetFocus();
        window->TxtFanName->selectAll();
        RealKeys::Type(window->TxtFanName, typed);
    }
    EXPECT_EQ(window->FanList->List(1), " 2 Fan 2.");
    window->ExitFan->click();
    EXPECT_EQ(FanName(1), "Intake-");
    EXPECT_EQ(FanName(2), "Fan 2.");
}

TEST_F(FanDataTest, TheDiameterBoxKeepsTheDiameterForTextThatIsNoNumber) {
    StandardFan(1, "Main");
    Show();
    EXPECT_EQ(window->TxtOutDiam->Text(), "n/a");
    window->TxtOutDiam->SetFocus();
    window->Spreadsheet->SetFocus(); // leaves "n/a"
    EXPECT_EQ(FanDiameter(1), 0);
    NetworkSaved = 255;
    window->TxtOutDiam->SetFocus();
    window->TxtOutDiam->SetText("2.5");
    RealKeys::Click(window->TxtOutDiam, Qt::Key_Return);
    EXPECT_FLOAT_EQ(FanDiameter(1), 2.5f);
    EXPECT_EQ(NetworkSaved, 0);
    // A refused diameter keeps the window open on it, the fan's diameter as it was.
    window->TxtOutDiam->selectAll();
    RealKeys::Type(window->TxtOutDiam, "-1");
    boxes.Expect(VB::vbOK, "Fan diameter must be a number from 0");
    window->ExitFan_Click();
    EXPECT_TRUE(boxes.Done());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->TxtOutDiam->selectedText(), "-1");
    EXPECT_FLOAT_EQ(FanDiameter(1), 2.5f);
}

TEST_F(FanDataTest, EstimatesGoThroughTheVelocityPressure) {
    FanName(1) = "Axial";
    FanDiameter(1) = 1;
    AirDensity = 1.2f;
    for (int p = 1; p <= 10; ++p) {
        FanCurveFlow(p, 1) = 10;
        FanCurvePressure(2, p, 1) = 1000;
    }
    Show();
    NetworkSaved = 255;
    window->StaticFan(1);
    EXPECT_EQ(FanCurvePressure(1, 1, 1), 902);
    EXPECT_EQ(NetworkSaved, 0) << "the network file carries the fans";
    window->TotalFan(1);
    EXPECT_EQ(FanCurvePressure(2, 1, 1), 999);

    for (int f = 2; f <= 4; ++f)
        StandardFan(f, "No diameter " + std::to_string(f));
    boxes.Expect(VB::vbOK, "Gustrom will attempt to calculate a total fan curve for all fans")
        .Expect(VB::vbOK, "No fan diameter has been entered for Fan 2.  Cannot estimate")
        .Expect(VB::vbOK, "Fan 3.")
        .Expect(VB::vbOK, "Fan 4.");
    RealKeys::Type(&grid(), "5"); // the first static pressure, still being typed
    window->mnuTotalAll_Click();
    EXPECT_EQ(FanCurvePressure(2, 1, 1), 102);
    EXPECT_EQ(FanCurvePressure(2, 1, 3), 1050);
    // A fan without a total curve keeps its static one.
    for (int p = 1; p <= 10; ++p)
        FanCurvePressure(2, p, 3) = 0;
    boxes.Expect(VB::vbOK, "static fan curve for all fans");
    window->mnuStaticAll_Click();
    EXPECT_EQ(FanCurvePressure(1, 1, 3), 1000);
    // A diameter still being typed is the one estimated with: velocity pressure 0.6 (10 / pi)^2 = 6.08 Pa.
    window->TxtOutDiam->SetFocus();
    window->TxtOutDiam->selectAll();
    RealKeys::Type(window->TxtOutDiam, "2");
    boxes.Expect(VB::vbOK, "calculate a total fan curve based on");
    window->mnuTotalCurrent_Click();
    EXPECT_EQ(FanCurvePressure(2, 1, 1), FanCurvePressure(1, 1, 1) + 6);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(FanDataTest, DeleteCancelCopyAndPaste) {
    StandardFan(5, "Old");
    StandardFan(1, "First");
    Show();
    ShowFan(5);
    boxes.Expect(VB::vbOK, "Are you sure you want to delete fan?");
    NetworkSaved = 255;
    window->Command2_Click();
    EXPECT_EQ(NetworkSaved, 0);
    EXPECT_EQ(FanName(5), "");
    EXPECT_EQ(FanCurvePressure(1, 3, 5), 0);
    EXPECT_EQ(FanCurveFlow(3, 5), 0);
    EXPECT_EQ(FanCurveEfficiency(3, 5), 60);
    EXPECT_EQ(CurrentFan, 1);

    // Copy of rows 2 .. 3, columns 1 .. 2.
    grid().SetRow(2);
    grid().SetCol(1);
    grid().SetRowSel(3);
    grid().SetColSel(2);
    window->mnuCopy_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "900.0\t950.0\r\n800.0\t850.0\r\n");

    // One line pasted over four selected rows fills all four.
    QGuiApplication::clipboard()->setText("100\r\n");
    grid().SetRow(1);
    grid().SetCol(3);
    grid().SetRowSel(4);
    window->mnuPaste_Click();
    EXPECT_EQ(FanCurveFlow(4, 1), 100);
    EXPECT_EQ(FanCurveFlow(5, 1), 50);
    // Delete empties the selection (here a whole column) and types nothing; Esc in the edit box drops that
    // cell's edit only.
    grid().SetFocus();
    grid().SetRow(1);
    grid().SetRowSel(10);
    RealKeys::Click(&grid(), Qt::Key_Delete);
    grid().SetRow(6);
    EXPECT_EQ(Cell(6, 3), "");
    EXPECT_FALSE(window->TxtEdit->isVisible());
    RealKeys::Type(&grid(), "9");
    RealKeys::Type(window->TxtEdit, "5");
    RealKeys::Click(window->TxtEdit, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->TxtEdit->isVisible());
    EXPECT_EQ(Cell(6, 3), "");
    // Cancel answered No gives back the database the window opened on: the deleted fan, the pasted
    // flows and the committed cell.
    grid().SetRow(2);
    grid().SetCol(4);
    QTest::keyClick(&grid(), Qt::Key_7);
    QTest::keyClick(window->TxtEdit, Qt::Key_Down);
    ASSERT_EQ(FanCurveEfficiency(2, 1), 7);
    boxes.Expect(VB::vbNo, "Save fan changes to network ?");
    window->Cancel->click();
    EXPECT_EQ(FanCurveEfficiency(2, 1), 60);
    EXPECT_EQ(FanCurveFlow(4, 1), 40);
    EXPECT_EQ(FanName(5), "Old");
}

TEST_F(FanDataTest, EscGivesBackTheFanDatabaseAndTheSavedFlag) {
    StandardFan(1, "Main");
    NetworkSaved = 255;
    Show();
    window->TxtFanName->SetFocus();
    window->TxtFanName->selectAll();
    RealKeys::Type(window->TxtFanName, "Booster");
    ASSERT_EQ(FanName(1), "Booster");
    grid().SetFocus();
    boxes.Expect(VB::vbNo, "Save fan changes to network ?");
    RealKeys::Click(&grid(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(FanName(1), "Main");
    EXPECT_EQ(NetworkSaved, 255);
}

TEST_F(FanDataTest, EveryEditIsOfferedForSavingOnEveryWayOutAndCancelThereKeepsTheWindow) {
    const auto database = [] {
        std::string text;
        for (int f = 1; f <= 3; ++f) {
            text += FanName(f) + ' ' + std::to_string(FanDiameter(f));
            for (int p = 1; p <= 10; ++p)
                text += ' ' + std::to_string(FanCurvePressure(1, p, f)) + '/' +
                        std::to_string(FanCurvePressure(2, p, f)) + '/' + std::to_string(FanCurveFlow(p, f)) +
                        '/' + std::to_string(FanCurveEfficiency(p, f));
            text += '\n';
        }
        return text;
    };
    const std::function<void()> exitMenu = [this] { window->MenuItem("mnuex")->trigger(); };
    const std::function<void()> closeBox = [this] { window->close(); };
    const std::function<void()> esc = [] { RealKeys::Click(nullptr, Qt::Key_Escape); };
    const struct {
        const char *edit;
        std::function<void()> make;
        std::function<bool()> made;
        std::function<void()> leave;
    } cases[] = {
        {"paste into a curve point",
         [this] {
             QGuiApplication::clipboard()->setText("77\r\n");
             grid().SetFocus();
             grid().SetRow(2);
             grid().SetCol(3);
             RealKeys::Click(&grid(), Qt::Key_V, Qt::ControlModifier);
         },
         [] { return FanCurveFlow(2, 1) == 77; }, exitMenu},
        {"rename",
         [this] {
             window->TxtFanName->SetFocus();
             window->TxtFanName->selectAll();
             RealKeys::Type(window->TxtFanName, "Intake");
         },
         [] { return FanName(1) == "Intake"; }, closeBox},
        {"diameter typed and left unstored",
         [this] {
             window->TxtOutDiam->SetFocus();
             window->TxtOutDiam->selectAll();
             RealKeys::Type(window->TxtOutDiam, "2.5");
         },
         [] { return FanDiameter(1) == 2.5f; }, esc},
        {"delete",
         [this] {
             boxes.Expect(VB::vbOK, "Are you sure you want to delete fan?");
             window->Command2->click();
         },
         [] { return FanName(1).empty(); }, esc},
        {"estimate",
         [this] {
             boxes.Expect(VB::vbOK, "Gustrom will attempt to calculate a static fan curve based on");
             window->MenuItem("mnuStaticCurrent")->trigger();
         },
         [] { return FanCurvePressure(1, 1, 1) != 1000; }, closeBox},
    };
    for (const auto &c : cases) {
        StandardFan(1, "Main");
        FanDiameter(1) = 1;
        NetworkSaved = 255;
        const std::string opened = database();
        Show();
        c.make();
        boxes.Expect(VB::vbCancel, "Save fan changes to network ?");
        c.leave();
        ASSERT_FALSE(boxes.Shown().empty()) << c.edit;
        EXPECT_EQ(boxes.Shown().back().buttonSet, VB::vbYesNoCancel) << c.edit;
        EXPECT_TRUE(window->isVisible()) << c.edit;
        EXPECT_TRUE(c.made()) << c.edit;
        boxes.Expect(VB::vbNo, "Save fan changes to network ?");
        c.leave();
        EXPECT_FALSE(window->isVisible()) << c.edit;
        EXPECT_EQ(database(), opened) << c.edit;
        EXPECT_EQ(NetworkSaved, 255) << c.edit;
        EXPECT_TRUE(boxes.Done()) << c.edit;
    }
}

TEST_F(FanDataTest, OkAfterOnlyLookingAtTheFansLeavesEveryValueAsItWas) {
    StandardFan(1, "Main");
    StandardFan(2, "Booster");
    // Values finer than the grid shows them.
    FanCurveFlow(4, 1) = 40.04f;
    FanCurvePressure(1, 4, 1) = 700.06f;
    NetworkSaved = 255;
    Show();
    ShowFan(2);
    ShowFan(1);
    window->ExitFan->click();
    EXPECT_EQ(FanCurveFlow(4, 1), 40.04f);
    EXPECT_EQ(FanCurvePressure(1, 4, 1), 700.06f);
    EXPECT_EQ(NetworkSaved, 255);
}

TEST_F(FanDataTest, AnEmptiedOrUnreadableCurveCellIsGivenBackWithAWord) {
    StandardFan(1, "Main");
    Show();
    // Keys in the grid open the cell (flow of point 3, 30.0), keys in the box change it and Return leaves.
    for (const auto &[opening, typed] : {std::pair{"\b", "\b\b\b\b\r"}, std::pair{"a", "bc\r"}}) {
        grid().SetFocus();
        grid().SetRow(3);
        grid().SetCol(3);
        RealKeys::Type(&grid(), opening);
        boxes.Expect(VB::vbOK, "A curve point needs a number: the cell keeps 30.0.");
        RealKeys::Type(window->TxtEdit, typed);
        EXPECT_EQ(Cell(3, 3), "30.0") << typed;
        EXPECT_EQ(FanCurveFlow(3, 1), 30) << typed;
        EXPECT_TRUE(boxes.Done()) << typed;
    }
    // A cell given back on leaving for OK keeps the window open on it.
    grid().SetRow(3);
    RealKeys::Type(&grid(), "a");
    boxes.Expect(VB::vbOK, "A curve point needs a number: the cell keeps 30.0.");
    window->ExitFan_Click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(boxes.Done());
    // Delete on part of a column keeps it too.
    grid().SetRow(3);
    grid().SetCol(3);
    boxes.Expect(VB::vbOK, "A curve point needs a number: a column is cleared whole or not at all.");
    RealKeys::Click(&grid(), Qt::Key_Delete);
    EXPECT_EQ(Cell(3, 3), "30.0");
    EXPECT_TRUE(boxes.Done());
    // Nothing changed: Cancel closes without a question (an unscripted box fails the test).
    window->Cancel->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(FanDataTest, TheChartDrawsEachCurveInItsColourAndOnlyTheFrameWithoutFlow) {
    StandardFan(1, "Main");
    Show();
    const auto colours = [this] {
        std::set<QRgb> found;
        const QImage &image = window->PicFan->Picture().Image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found.insert(image.pixel(x, y) & 0xFFFFFF);
        return found;
    };
    std::set<QRgb> drawn = colours();
    for (int c : {0, 1, 2, 4, 6})
        EXPECT_TRUE(drawn.count(PictureBox::ToRgb(PictureBox::QBColor(c)) & 0xFFFFFF)) << c;

    for (int p = 1; p <= 10; ++p)
        Cell(p, 3, "0");
    window->DrawFanCurve();
    drawn = colours();
    for (int c : {1, 2, 4, 6})
        EXPECT_FALSE(drawn.count(PictureBox::ToRgb(PictureBox::QBColor(c)) & 0xFFFFFF)) << c;
}

TEST_F(FanDataTest, WhileACurveIsTypedTheAxesAreLabelledWithItsLargestPressureAndFlow) {
    Show();
    ShowFan(2);
    const auto type = [this](int row, int col, const std::string &text) {
        grid().SetFocus();
        grid().SetRow(row);
        grid().SetCol(col);
        RealKeys::Type(&grid(), QString::fromStdString(text.substr(0, 1)));
        RealKeys::Type(window->TxtEdit, QString::fromStdString(text.substr(1) + "\r"));
    };
    // Two points of a new fan, the other rows still empty.
    type(1, 1, "1000");
    type(1, 3, "10");
    type(2, 1, "800");
    type(2, 3, "20");
    std::vector<DrawnPrimitive> drawn;
    window->PicFan->Picture().Recording = &drawn;
    window->DrawFanCurve();
    window->PicFan->Picture().Recording = nullptr;
    std::set<std::string> labels;
    for (const DrawnPrimitive &p : drawn)
        if (p.kind == DrawnPrimitive::Text)
            labels.insert(p.text);
    EXPECT_TRUE(labels.count(FormatValue(1000, 8, 1, 0))) << "pressure axis";
    EXPECT_TRUE(labels.count(FormatValue(20, 4, 1, 0))) << "flow axis";
    // The stored points fall in pressure.
    EXPECT_EQ(FanCurvePressure(1, 1, 2), 1000);
    EXPECT_EQ(FanCurvePressure(1, 10, 2), 800);
}
