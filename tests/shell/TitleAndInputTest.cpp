#include "ShellFixture.h"

#include <QTest>

#include "common/NetworkGenerator.h"
#include "common/RealKeys.h"
#include "dialogs/frmAirEdit.h"
#include "graphics/view_state.h"
#include "model/undo.h"
#include "shell/frmTitle.h"
#include "shell/small_windows.h"
#include "solver/driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "graphics/drawing.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "platform/Text1252.h"

class TitleTest : public ShellTest {
protected:
    void SetUp() override {
        UnitSystem = 1;
        AppFolder = folder.path();
        WriteStartupFiles();
    }
    // The teaching example copied into the test folder, so that no test can write over the checked-in one.
    std::string TeachingExample() const {
        const std::string copy = folder.path() + "teaching.sim";
        std::filesystem::copy_file(std::string(GUSTROM_SOURCE_DIR) + "/examples/teaching.sim", copy,
                                   std::filesystem::copy_options::overwrite_existing);
        return copy;
    }
};

TEST_F(TitleTest, NetworkArgumentArmsTheTimerAndStartLoadsTheNamedFile) {
    {
        frmTitle plain("");
        EXPECT_FALSE(plain.TimerStart.isActive());
        EXPECT_EQ(plain.MainWindow(), nullptr);
    }
    frmTitle title("\"" + folder.path() + "mine.sim\"");
    EXPECT_TRUE(title.TimerStart.isActive());
    EXPECT_EQ(title.TimerStart.interval(), 1500);
    EXPECT_EQ(AppFolder, folder.path());
    boxes->Expect(VB::vbOK, "ERROR 53: That file doesn't exist.");
    title.Start();
    std::unique_ptr<MainForm> started(title.MainWindow());
    ASSERT_NE(started, nullptr);
    EXPECT_FALSE(title.isVisible());
    EXPECT_FALSE(title.TimerStart.isActive());
    // A file that could not be opened gives the program no name, so that no save can take it for one.
    EXPECT_EQ(NetworkFileName, "");
    EXPECT_FALSE(OpenAtStart);
    ASSERT_NE(window(0), nullptr);
    EXPECT_EQ(window(0)->Caption(), "View 1 : U/Ground Quantity");
}

TEST(TitlePicture, IsDrawnWithSurfaceAndUndergroundColours) {
    const QImage picture = frmTitle::TitlePicture();
    ASSERT_FALSE(picture.isNull());
    // Sky at the top, rock at the bottom: the picture is not one flat colour.
    EXPECT_NE(picture.pixel(5, 5), picture.pixel(5, 230));
}

TEST_F(ShellTest, EveryWheelStepOf120ZoomsOnceAboutTheCentre) {
    PictureBox &pic = window(0)->Picture();
    const double width = pic.ScaleWidth;
    const double centreX = pic.ScaleLeft + pic.ScaleWidth / 2;
    HookWheel(0);
    auto turn = [this](int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window(0)->View(), &event);
    };
    turn(60);
    EXPECT_DOUBLE_EQ(pic.ScaleWidth, width); // half a notch does nothing yet
    turn(60);
    EXPECT_NEAR(pic.ScaleWidth, width * 0.8, width * 1e-6);
    EXPECT_NEAR(CursorX, centreX, 1e-3 * width);
    turn(-240);
    EXPECT_NEAR(pic.ScaleWidth, width * 0.8 / 0.8 / 0.8, width * 1e-5);
    UnhookWheel();
    turn(120); // an unhooked window does not zoom
    EXPECT_NEAR(pic.ScaleWidth, width / 0.8, width * 1e-5);
}

TEST_F(ShellTest, SimulationLabelAndReadOutsAreWrittenThroughTheHooks) {
    Shell().SetSimLabel("OK", 0x00FF00);
    EXPECT_EQ(form->LblSim->text(), "OK");
    EXPECT_TRUE(form->LblSim->styleSheet().contains("rgb(0, 255, 0)"));
    Shell().SetSimLabel("SIM", 0x80C0FF);
    EXPECT_TRUE(form->LblSim->styleSheet().contains("rgb(255, 192, 128)"));
    Shell().SetLabelText("TxtX", "X 120 m");
    Shell().SetLabelText("LblWin2", "Plan");
    EXPECT_EQ(form->TxtX->text(), "X 120 m");
    EXPECT_EQ(form->LblWin2->text(), "Plan");
}

// Counts the restylings (style sheets set) of the widgets it watches.
class RestyleCount : public QObject {
public:
    explicit RestyleCount(std::initializer_list<QWidget *> widgets) {
        for (QWidget *w : widgets)
            w->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::StyleChange)
            ++count;
        return false;
    }
};

TEST_F(ShellTest, BulkEditOfTenThousandAirwaysRestylesTheStatusOnceAndEveryChangeShowsItOutOfDate) {
    UndoBufferSize = 50000; // room for two edits of every airway
    GenerateMultiLevelMine(10000, 5);
    AutoSimulate = false;
    ShowProgress = 0;
    const RestyleCount restyles{form->LblSim, form->CmbDataType, form->CmbDataVal};
    auto run = [this] {
        Simulate();
        ASSERT_EQ(form->LblSim->text(), "OK");
    };
    run();
    // Every airway selected and its width changed in the airway dialog.
    for (int a = 1; a <= AirwayCount; ++a)
        AirwayFlags(a) |= AirwayFlag::Selected;
    CurrentAirway = 1;
    AirEditMode = 3;
    auto bulkEdit = [](const char *width) {
        frmAirEdit dialog;
        dialog.show();
        QTest::keyClicks(dialog.TxtWidth, width);
        dialog.OK_Click();
    };
    int before = restyles.count;
    const int slot = UndoSlot;
    bulkEdit("5");
    ASSERT_EQ(UndoSlot, slot + 2 * 10000);
    EXPECT_EQ(form->LblSim->text(), "SIM");
    EXPECT_FALSE(NetworkBalanced);
    // The label and the two combos change colour once each, and not again while the results stay out of
    // date.
    EXPECT_LE(restyles.count - before, 3);
    before = restyles.count;
    bulkEdit("6");
    EXPECT_EQ(restyles.count, before);
    // An undo after a run shows the results out of date as well.
    run();
    before = restyles.count;
    UndoAction();
    EXPECT_EQ(form->LblSim->text(), "SIM");
    EXPECT_FALSE(NetworkBalanced);
    EXPECT_LE(restyles.count - before, 3);
}

TEST_F(ShellTest, MessageWindowShowsTheCurrentLineForItsTime) {
    CurrentLine = "Attributes pasted";
    MessageTime = 400;
    MessageWindow().ShowMessage();
    EXPECT_TRUE(MessageWindow().isVisible());
    EXPECT_EQ(MessageWindow().windowTitle(), "Gustrom Messenger");
    EXPECT_EQ(MessageWindow().LblMessage->text(), "Attributes pasted");
    EXPECT_EQ(MessageWindow().Timer1.interval(), 400);
    // It closes itself when its time is up.
    EXPECT_TRUE(QTest::qWaitFor([] { return !MessageWindow().isVisible(); }, 3000));
    PopData().Text->setHtml("<b>Airway 7</b>");
    EXPECT_EQ(PopData().Text->toPlainText(), "Airway 7");
}

TEST_F(TitleTest, StartOnTheTeachingExampleShowsItsNetworkDrawnAndDisplayControlsThatAgree) {
    const std::string example = TeachingExample();
    frmTitle title(example);
    title.Start();
    std::unique_ptr<MainForm> started(title.MainWindow());
    ASSERT_NE(started, nullptr);
    EXPECT_EQ(AirwayCount, 10);
    ASSERT_NE(window(0), nullptr);
    // Its stored view, made for a picture of another shape, opens with one scale in x and y.
    const PictureBox &opened = window(0)->Picture();
    const double perPixelAcross = opened.ScaleWidth / opened.PixelWidth();
    EXPECT_NEAR(std::abs(opened.ScaleHeight) / opened.PixelHeight(), perPixelAcross, perPixelAcross * 1e-4);
    const QImage &image = window(0)->Picture().Image();
    // Count pixels in the airway colours (on, below and above the level) across the picture.
    int airwayPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool green = qRed(p) == 0 && qGreen(p) == 255 && qBlue(p) == 0;
            const bool red = qRed(p) == 255 && qGreen(p) == 0 && qBlue(p) == 0;
            const bool cyan = qRed(p) == 0 && qGreen(p) == 255 && qBlue(p) == 255;
            airwayPixels += green || red || cyan;
        }
    EXPECT_GT(airwayPixels, 50);

    // Readable at first sight: every airway name and quantity is drawn at least 8 pixels high, measured as
    // the rows of the drawing that its ink covers (what the drawing loses without names and data values).
    PictureBox &pic = window(0)->Picture();
    std::vector<DrawnPrimitive> drawn, without;
    pic.Recording = &drawn;
    Redraw();
    const QImage texts = pic.Image().copy();
    const int detail = GraphicsDetail;
    GraphicsDetail &= ~(2 | 4);
    pic.Recording = &without;
    Redraw();
    pic.Recording = nullptr;
    GraphicsDetail = detail;
    int names = 0, quantities = 0;
    for (const DrawnPrimitive &t : drawn) {
        if (t.kind != DrawnPrimitive::Text ||
            std::any_of(without.begin(), without.end(),
                        [&](const DrawnPrimitive &w) { return w.text == t.text; }))
            continue;
        (t.text.find_first_not_of("0123456789.-") == std::string::npos ? quantities : names) += 1;
        pic.FontSize = t.fontSize;
        pic.FontBold = t.bold;
        const int left = static_cast<int>(pic.ToPixelX(t.x1));
        const int right = static_cast<int>(pic.ToPixelX(t.x1 + pic.TextWidth(t.text)));
        const double y1 = pic.ToPixelY(t.y1), y2 = pic.ToPixelY(t.y1 + pic.TextHeight(t.text));
        const int top = static_cast<int>(std::min(y1, y2)), bottom = static_cast<int>(std::max(y1, y2));
        int first = bottom, last = top - 1;
        for (int y = std::max(top, 0); y <= std::min(bottom, texts.height() - 1); ++y)
            for (int x = std::max(left, 0); x <= std::min(right, texts.width() - 1); ++x)
                if (texts.pixel(x, y) != pic.Image().pixel(x, y)) {
                    first = std::min(first, y);
                    last = std::max(last, y);
                }
        EXPECT_GE(last - first + 1, 8) << t.text;
    }
    EXPECT_GT(names, 0);
    EXPECT_GT(quantities, 0);
    Redraw();
    // North up: the 800 drive, north of the 900 drive, is drawn above it.
    const auto row = [&](const char *name) {
        for (int k = 1; k <= AirwayScreenCount; ++k)
            if (Trim(AirwayName(AirwayScreen(k).airway).str()) == name)
                return pic.ToPixelY((AirwayScreen(k).y1 + AirwayScreen(k).y2) / 2);
        return 0.0;
    };
    EXPECT_LT(row("800 drive"), row("900 drive"));

    // Its startup view shows every level, and the level combo, the window's caption and the cursor's
    // elevation name the level new airways take (the empty network's level is gone); a switch to
    // single-level display shows that level. The unit label is that of the data shown.
    EXPECT_EQ(ViewMode, 4);
    EXPECT_EQ(started->CmbRL->currentText(), "900 Level");
    EXPECT_EQ(window(0)->windowTitle(), "View 1 : 900 Level Quantity");
    EXPECT_EQ(started->TxtZ->text(), "900");
    EXPECT_EQ(started->LblUnit->text(), "m3/s");
    // An airway drawn in empty space south of the 900 drive lies on that level.
    started->Tools_Click(4);
    const auto at = [&](double x, double y) {
        return QPoint(static_cast<int>(std::lround(pic.ToPixelX((x - PanX) * AxisSignX))),
                      static_cast<int>(std::lround(pic.ToPixelY((y - PanY) * AxisSignY))));
    };
    QTest::mousePress(window(0)->View(), Qt::LeftButton, Qt::NoModifier, at(100, -60));
    QTest::mouseMove(window(0)->View(), at(200, -60));
    QTest::mouseRelease(window(0)->View(), Qt::LeftButton, Qt::NoModifier, at(200, -60));
    ASSERT_EQ(AirwayCount, 11);
    EXPECT_EQ(AirwayStart(3, 11), 900);
    EXPECT_EQ(AirwayEnd(3, 11), 900);
    EXPECT_TRUE(started->MenuItem("mnuLevels(3)")->isChecked());
    EXPECT_FALSE(started->MenuItem("mnuLevels(0)")->isChecked());
    started->RunCommand(27);
    EXPECT_EQ(started->VsbRL->value(), 2);
    EXPECT_EQ(started->CmbRL->currentText(), "900 Level");
    // The same key back to all levels takes the level out of the caption too.
    started->RunCommand(27);
    EXPECT_EQ(window(0)->windowTitle(), "View 1 :  Quantity");
    EXPECT_TRUE(started->MenuItem("mnuLevels(3)")->isChecked());
    // Saved on a single level, the network comes back on that level in both.
    started->VsbRL->setValue(3);
    ASSERT_TRUE(SaveNetwork(0));
    started->VsbRL->setValue(1);
    LoadNetwork();
    EXPECT_EQ(started->VsbRL->value(), 3);
    EXPECT_EQ(started->CmbRL->currentText(), "800 Level");
}

namespace {
int differingPixels(const QImage &a, const QImage &b) {
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}
} // namespace

TEST_F(TitleTest, DataChoiceAndLevelScrollChangeWhatIsDrawn) {
    const std::string example = TeachingExample();
    frmTitle title(example);
    title.Start();
    std::unique_ptr<MainForm> started(title.MainWindow());
    ASSERT_NE(started, nullptr);
    ASSERT_EQ(AirwayCount, 10);
    // Results to show: the airflow simulation of the toolbar.
    started->RunCommand(14);
    ASSERT_TRUE(NetworkBalanced);
    GraphicsDetail |= 4; // data values on the airways
    Redraw();
    const QImage flows = window(0)->Picture().Image().copy();
    started->CmbDataType->SetListIndex(1); // Pressure
    EXPECT_EQ(DataGroup, 2);
    const QImage pressures = window(0)->Picture().Image().copy();
    EXPECT_GT(differingPixels(flows, pressures), 100);

    // Another level: the airways change colour between on, above and below the level.
    started->VsbRL->setValue(started->VsbRL->value() == 2 ? 3 : 2);
    const QImage otherLevel = window(0)->Picture().Image().copy();
    EXPECT_GT(differingPixels(pressures, otherLevel), 100);
}

TEST_F(ShellTest, CommandKeysReachTheEditorFromEveryControlOfTheMainWindowAndTextBoxesKeepTheirOwnKeys) {
    auto *edit = new QLineEdit(form.get());
    form->statusBar()->addWidget(edit);
    const std::vector<std::pair<const char *, QWidget *>> controls = {
        {"main window", form.get()},      {"graphics window", window(0)->View()}, {"toolbar", form->Tools(3)},
        {"data type", form->CmbDataType}, {"data value", form->CmbDataVal},       {"level list", form->CmbRL},
        {"view list", form->CmbView},     {"level scroll bar", form->VsbRL},      {"text box", edit}};
    for (const auto &[name, control] : controls) {
        control->setFocus();
        ToolCode = 0;
        RealKeys::Click(control, Qt::Key_F3);
        EXPECT_EQ(ToolCode, 4) << name;
    }
    // A text box types and edits with its keys: Backspace deletes a letter, it does not undo.
    edit->setFocus();
    RealKeys::Type(edit, "ab\b");
    EXPECT_EQ(edit->text(), "a");
}
