#include "ShellFixture.h"

#include "common/TestPrinters.h"
#include "exchange/frmSummary.h"
#include "graphics/visible.h"
#include "model/node_keys.h"
#include "platform/System.h"
#include "settings/frmSelLevel.h"
#include "settings/frmTagS.h"
#include "settings/frmViewer.h"

#include <QFile>
#include <QTest>

namespace {

// The airways VisibleAirways lists.
std::vector<int> visible() {
    std::vector<int> list;
    for (int i = VisibleAirways.LBound() + 1; i <= VisibleAirways.UBound() && VisibleAirways(i) != 0; ++i)
        list.push_back(VisibleAirways(i));
    return list;
}

// A double-click on a row of the list (the list's own signal, as the mouse gives it).
void doubleClick(QListWidget *list, int row) {
    QListWidgetItem *item = list->item(row);
    list->setCurrentItem(item);
    emit list->itemDoubleClicked(item);
}

} // namespace

class DisplayDialogsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // Three airways on layers 1, 1 and 3, all on level 2's band.
        AddAirways(3);
        for (int a = 1; a <= 3; ++a) {
            AirwayPrimaryLayer(a) = a == 3 ? 3 : 1;
            AirwaySecondaryLayer(a) = 1;
            AirwayFlow(a) = static_cast<float>(10 * a);
        }
        UpdateNodeKeys();
        for (int layer = 1; layer <= 16; ++layer)
            PrimaryLayerVisible(layer) = true;
        ViewMode = 4;
        SetVisibleAirways();
    }
};

TEST_F(DisplayDialogsTest, LayerNamesGoToTheirOwnLayerAndEveryCloseStoresTheBoxes) {
    ActivePrimaryLayer = 1;
    withDialog<frmTagS>(form->MenuItem("mnuShowLayers"), [](frmTagS &tags) {
        tags.activateWindow();
        QLineEdit *box = tags.PLabel[4];
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClicks(box, "Ra,mp\"");
        EXPECT_EQ(box->text(), "Ramp");
        box->insert(",\"2"); // as a paste gives it
        EXPECT_EQ(box->text(), "Ramp2");
        tags.Tag1[3]->setChecked(false);
        tags.LineOpt[0]->click();
        tags.close();
    });
    EXPECT_EQ(PrimaryLayerName(5), "Ramp2");
    EXPECT_EQ(ActivePrimaryLayer, 1);
    EXPECT_EQ(NetworkSaved, 0);
    EXPECT_FALSE(PrimaryLayerVisible(3));
    EXPECT_EQ(visible(), (std::vector<int>{1, 2}));

    for (int style : {1, 2}) {
        withDialog<frmTagS>(form->MenuItem("mnuShowLayers"), [style](frmTagS &tags) {
            tags.LineOpt[static_cast<size_t>(style)]->click();
            tags.OK->click();
        });
        EXPECT_EQ(LayerDisplay & 3, style);
        EXPECT_EQ(visible(), (std::vector<int>{1, 2, 3}));
    }
    LayerDisplay = 3;
    withDialog<frmTagS>(form->MenuItem("mnuShowLayers"), [](frmTagS &tags) {
        EXPECT_TRUE(tags.LineOpt[2]->Value());
        tags.CmdReset->click();
        tags.OK->click();
    });
    for (int layer = 1; layer <= 16; ++layer)
        EXPECT_EQ(PrimaryLayerVisible(layer), layer == ActivePrimaryLayer) << layer;
}

TEST_F(DisplayDialogsTest, SelectedLevelsListTheNamedLevelsAndKeepSixInMoveOrder) {
    for (int level = 2; level <= 9; ++level) {
        std::string name = std::to_string(level);
        name.insert(0, 1, 'L');
        LevelName(level) = level == 3 || level == 4 ? std::string() : name;
        LevelRange(level, 1) = level == 3 || level == 4 ? 0 : 600 - 20 * level;
        LevelRange(level, 2) = LevelRange(level, 1) - 20;
    }
    LevelName(250) = "Never";
    // Airways 1 and 2 lie on level 2, airway 3 on level 5.
    for (int a : {1, 2})
        AirwayStart(3, a) = AirwayEnd(3, a) = 550;
    UpdateNodeKeys();
    withDialog<frmSelLevel>(form->MenuItem("mnuLevels(1)"), [](frmSelLevel &levels) {
        ASSERT_EQ(levels.RLFrom->count(), 7); // surface, 2, 5 .. 9
        EXPECT_EQ(levels.RLFrom->item(1)->data(Qt::UserRole).toInt(), 2);
        EXPECT_EQ(levels.RLFrom->item(2)->data(Qt::UserRole).toInt(), 5);
        doubleClick(levels.RLFrom, 2);
        levels.OK->click();
    });
    EXPECT_EQ(ViewMode, 2);
    EXPECT_TRUE(form->MenuItem("mnuLevels(1)")->isChecked());
    EXPECT_EQ(visible(), std::vector<int>{3});

    withDialog<frmSelLevel>(form->MenuItem("mnuLevels(1)"), [this](frmSelLevel &levels) {
        for (int k = 0; k < 6; ++k)
            doubleClick(levels.RLFrom, 0);
        boxes->Expect(VB::vbOK, "Maximum of only 6 selected levels allowed!");
        doubleClick(levels.RLFrom, 0);
        EXPECT_EQ(levels.RLTo->count(), 6);
        levels.OK->click();
    });
    EXPECT_EQ(SelectedLevels(0), 1);
    EXPECT_EQ(SelectedLevels(5), 8);

    withDialog<frmSelLevel>(form->MenuItem("mnuLevels(1)"), [](frmSelLevel &levels) { levels.OK->click(); });
    EXPECT_EQ(SelectedLevels(0), 0);

    // CANCEL and the close box keep the view mode and its check mark, and redraw.
    form->MenuItem("mnuLevels(3)")->trigger();
    PictureBox *pic = ActivePicture();
    ASSERT_NE(pic, nullptr);
    for (bool closeBox : {false, true}) {
        std::vector<DrawnPrimitive> drawn;
        pic->Recording = &drawn;
        withDialog<frmSelLevel>(form->MenuItem("mnuLevels(1)"), [closeBox](frmSelLevel &levels) {
            closeBox ? (void)levels.close() : levels.Command1->click();
        });
        pic->Recording = nullptr;
        EXPECT_FALSE(drawn.empty()) << closeBox;
        EXPECT_EQ(ViewMode, 4);
        EXPECT_TRUE(form->MenuItem("mnuLevels(3)")->isChecked());
        EXPECT_FALSE(form->MenuItem("mnuLevels(1)")->isChecked());
    }
}

TEST_F(DisplayDialogsTest, ViewOptionsStoreFlowsInTheirLimitsAndTheRest) {
    GraphicsDetail = 512 + 4;
    const auto setFlows = [](frmViewer &viewer, const char *max, const char *min) {
        viewer.TxtSig->setText(max);
        viewer.TxtSigMin->setText(min);
    };
    withDialog<frmViewer>(form->MenuItem("mnuViewData"), [&](frmViewer &viewer) {
        setFlows(viewer, "10000", "0");
        viewer.Hide->click();
        viewer.OptDimmer[2]->click();
        viewer.OK->click();
    });
    EXPECT_FLOAT_EQ(MaxShownFlow, 10000);
    EXPECT_FLOAT_EQ(MinShownFlow, 0);
    EXPECT_EQ(GraphicsDetail, 512);
    EXPECT_EQ(DimOption, 2);

    // A refused flow keeps the dialog open with its box selected, and nothing else is stored with it.
    const int scheme = ColourScheme;
    for (const auto &[max, min, refused] :
         {std::tuple{"10000.5", "5", "10000.5"}, {"5", "-1", "-1"}, {"5x", "5", "5x"}, {"5", "abc", "abc"}})
        withDialog<frmViewer>(form->MenuItem("mnuViewData"), [&](frmViewer &viewer) {
            setFlows(viewer, max, min);
            viewer.ColOpt[1 - scheme]->click();
            boxes->Expect(VB::vbOK, "Limits of Allowable Significant Flows");
            viewer.OK->click();
            EXPECT_TRUE(viewer.isVisible()) << refused;
            EXPECT_EQ(viewer.focusWidget()->property("selectedText").toString(), refused);
        });
    EXPECT_FLOAT_EQ(MaxShownFlow, 10000);
    EXPECT_FLOAT_EQ(MinShownFlow, 0);
    EXPECT_EQ(ColourScheme, scheme);

    // A minimum above the maximum with "Invisible" leaves no airway; an empty box reads 0.
    withDialog<frmViewer>(form->MenuItem("mnuViewData"), [&](frmViewer &viewer) {
        setFlows(viewer, "", "50");
        viewer.OK->click();
    });
    EXPECT_FLOAT_EQ(MaxShownFlow, 0);
    EXPECT_TRUE(visible().empty());

    // The close box stores nothing.
    withDialog<frmViewer>(form->MenuItem("mnuViewData"), [&](frmViewer &viewer) {
        setFlows(viewer, "7", "7");
        viewer.close();
    });
    EXPECT_FLOAT_EQ(MinShownFlow, 50);
}

TEST_F(DisplayDialogsTest, ViewOptionFlowsReadInTheUsersUnitsAndNumberForm) {
    VB::SetLocaleDecimalSeparatorOverride(',');
    DecimalSeparator = ',';
    withDialog<frmViewer>(form->MenuItem("mnuViewData"), [](frmViewer &viewer) {
        viewer.TxtSig->setText("2,5");
        viewer.OK->click();
    });
    EXPECT_FLOAT_EQ(MaxShownFlow, 2.5f);

    // In British units the limit applies to the number shown; the store is in m³/s.
    UnitSystem = 2;
    const float factor = UnitFactor(4, 2);
    ASSERT_GT(factor, 0);
    withDialog<frmViewer>(form->MenuItem("mnuViewData"), [](frmViewer &viewer) {
        viewer.TxtSig->setText("9000");
        viewer.OK->click();
    });
    EXPECT_NEAR(MaxShownFlow, 9000 / factor, 0.01);

    // The toolbar's display options button opens the same dialog.
    withDialog<frmViewer>([this] { form->Tools_Click(26); }, [](frmViewer &viewer) { viewer.reject(); });
}

TEST_F(DisplayDialogsTest, SummaryShowsItsFiguresAndPrintsItsImage) {
    // Never simulated: zero figures, no efficiency or resistance.
    for (int a = 1; a <= 3; ++a)
        AirwayFlow(a) = 0;
    form->MenuItem("mnuSummary")->trigger();
    auto *summary = form->findChild<frmSummary *>();
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->isVisible());
    EXPECT_EQ(summary->LblNA->text(), "3");
    EXPECT_EQ(summary->LblEff->text(), "");
    EXPECT_EQ(summary->LblResist->text(), "");
    EXPECT_EQ(summary->LblCost->text(), "$0");
    EXPECT_EQ(summary->LblUnit[0]->text(), QString::fromStdString(UnitText(4, 1)));

    // An open summary keeps its own figures; a new one shows the units of the day.
    UnitSystem = 2;
    form->MenuItem("mnuSummary")->trigger();
    EXPECT_EQ(form->findChild<frmSummary *>(), summary);
    EXPECT_EQ(summary->LblUnit[0]->text(), QString::fromStdString(UnitText(4, 1)));
    summary->OK->click();
    EXPECT_FALSE(summary->isVisible());
    form->MenuItem("mnuSummary")->trigger();
    summary = form->findChild<frmSummary *>();
    EXPECT_EQ(summary->LblUnit[0]->text(), QString::fromStdString(UnitText(4, 2)));
    EXPECT_EQ(summary->LblUnit[7]->text(), QString::fromStdString(UnitText(14, 2)));

    // 20 m³/s from the surface through 0.5 Ns²/m⁸ (4 kW of air power), driven by a 500 Pa fixed pressure
    // on 10 m³/s at 80 % (6.25 kW input).
    UnitSystem = 1;
    AirPowerEfficiency = 0.8f;
    PowerCost = 0.1f;
    const float flows[] = {20, 10, 0}, resistances[] = {0.5f, 0, 0};
    for (int a = 1; a <= 3; ++a) {
        AirwayFlow(a) = flows[a - 1];
        AirwayResistance(a) = resistances[a - 1];
    }
    AirwayStartKey(1) = SurfaceNodeKey;
    AirwayFan(2) = -1;
    AirwayPressure(2) = 500;
    summary->OK->click();
    form->MenuItem("mnuSummary")->trigger();
    summary = form->findChild<frmSummary *>();
    const std::pair<QLabel *, QString> figures[] = {
        {summary->LblAF, "20.0"},  {summary->LblAP, "4"},           {summary->LblIP, "6"},
        {summary->LblEff, "64 %"}, {summary->LblResist, "0.50000"}, {summary->LblCost, "$5,475"}};
    for (const auto &[label, text] : figures)
        EXPECT_EQ(label->text(), text) << text.toStdString();

    const std::string pdf = folder.path() + "summary.pdf";
    TestPrinters printers({std::make_shared<VB::PdfPrinter>("Summary PDF", pdf)});
    CurrentLine = "Summary PDF";
    summary->Prnter->click();
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
    // The page carries the window's picture.
    EXPECT_TRUE(bytes.contains("/Subtype /Image"));
}
