#include "ShellFixture.h"
#include <QTest>

#include "graphics/drawing.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "solver/simulation_ui.h"
#include <QTest>

#include <QApplication>
#include <QMdiArea>
#include <QScreen>

#include <algorithm>
#include <filesystem>

TEST_F(ShellTest, FiveWindowsAtMostEachWithItsOwnView) {
    for (int n = 2; n <= 5; ++n) {
        form->mnuNewWindow_Click();
        ASSERT_NE(window(n - 1), nullptr) << n;
        EXPECT_EQ(ActiveWindow, n - 1);
        EXPECT_TRUE(form->MenuItem("mnuWindowView(" + std::to_string(n - 1) + ")")->isVisible());
    }
    EXPECT_TRUE(boxes->Shown().empty());
    boxes->Expect(VB::vbOK, "Too many windows");
    form->mnuNewWindow_Click();
    EXPECT_EQ(boxes->Shown().size(), 1u);
    EXPECT_EQ(ActiveWindow, 4);
    EXPECT_EQ(static_cast<int>(form->Mdi()->subWindowList().size()), 5);
}

TEST_F(ShellTest, NewWindowStartsWithTheActiveViewAndKeepsItsOwnAfterwards) {
    PictureBox &first = window(0)->Picture();
    // Metres per pixel: the view keeps its scale when the windows are tiled.
    const auto perPixel = [](const PictureBox &p) {
        return static_cast<float>(p.ScaleWidth / p.PixelWidth());
    };
    // A size of its own, which a new window does not start with.
    window(0)->showNormal();
    window(0)->resize(300, 200);
    const float scale = perPixel(first);
    form->mnuNewWindow_Click();
    ASSERT_EQ(ActiveWindow, 1);
    // A window's view travels through the single-precision view fields.
    EXPECT_FLOAT_EQ(perPixel(window(1)->Picture()), scale);
    const double width = first.ScaleWidth;
    // Zoom window 1 only, then switch back and forth.
    float w = static_cast<float>(width / 2), h = 0;
    SetZoomScale(w, h);
    const double zoomed = window(1)->Picture().ScaleWidth;
    form->mnuWindowView_Click(0);
    EXPECT_EQ(ActiveWindow, 0);
    EXPECT_FLOAT_EQ(window(0)->Picture().ScaleWidth, width);
    form->mnuWindowView_Click(1);
    EXPECT_EQ(ActiveWindow, 1);
    EXPECT_FLOAT_EQ(window(1)->Picture().ScaleWidth, zoomed);
}

TEST_F(ShellTest, ReleaseOverAnotherWindowActivatesItWithItsOwnView) {
    form->mnuNewWindow_Click(); // window 1, same view as 0
    float w = static_cast<float>(window(1)->Picture().ScaleWidth / 4), h = 0;
    SetZoomScale(w, h);
    const double zoomed = window(1)->Picture().ScaleWidth;
    form->mnuWindowView_Click(0);
    const double wide = window(0)->Picture().ScaleWidth;
    ASSERT_NE(zoomed, wide);
    window(0)->Form_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(PressWindow, 0);
    window(1)->Form_MouseMove(1, 0, 1, 1);
    window(0)->Form_MouseUp(1, 0, 5, 5);
    EXPECT_EQ(ActiveWindow, 1);
    EXPECT_EQ(ReleaseWindow, 0);
    // The zoom tool's click then runs in window 1, on its own view: it halves that view only.
    EXPECT_FLOAT_EQ(window(1)->Picture().ScaleWidth, zoomed / 2);
    EXPECT_DOUBLE_EQ(window(0)->Picture().ScaleWidth, wide);
}

TEST_F(ShellTest, PointerEventsCarryTheAxisSigns) {
    AxisSignX = -1;
    // Ctrl rather than Shift: a Shift press with the zoom tool zooms until the button is released.
    window(0)->Form_MouseDown(1, 2, 100, 40);
    EXPECT_FLOAT_EQ(CursorX, -100);
    EXPECT_FLOAT_EQ(CursorY, 40);
    EXPECT_EQ(MouseShift, 2);
    window(0)->Form_MouseMove(0, 0, 30, 20);
    EXPECT_FLOAT_EQ(MouseRawX, 30);
    EXPECT_FLOAT_EQ(CursorX, -30);
    EXPECT_FLOAT_EQ(MoveX, -30);
}

TEST_F(ShellTest, FreezeMarksTheActiveWindowAndTheNextCommandThawsIt) {
    boxes->Expect(VB::vbOK, "Cannot freeze when only one window is present !");
    form->mnuFreeze_Click();
    ASSERT_EQ(boxes->Shown().size(), 1u);
    EXPECT_EQ(boxes->Shown()[0].title, "Freeze error");
    EXPECT_FALSE(WindowFrozen(0));

    form->mnuNewWindow_Click();
    form->mnuWindowView_Click(1); // window 1 counted open and active
    const std::string caption = window(1)->Caption();
    form->mnuFreeze_Click();
    EXPECT_TRUE(WindowFrozen(1));
    EXPECT_EQ(window(1)->Caption(), "FROZEN " + caption);
    EXPECT_EQ(form->MenuItem("mnuWindowView(1)")->text().toStdString(), "FROZEN " + caption);
    EXPECT_EQ(ActiveWindow, 0);
    // A frozen window ignores presses.
    PressWindow = -7;
    window(1)->Form_MouseDown(1, 0, 0, 0);
    EXPECT_EQ(PressWindow, -7);
    form->mnuFreeze_Click();
    EXPECT_FALSE(WindowFrozen(1));
    EXPECT_EQ(window(1)->Caption(), caption);
    EXPECT_EQ(boxes->Shown().size(), 1u);
}

TEST_F(ShellTest, ClosingOneOfTwoWindowsHidesItsEntryAndActivatesTheLowest) {
    form->mnuNewWindow_Click();
    form->mnuWindowView_Click(0);
    form->mnuWindowView_Click(1);
    ASSERT_TRUE(WindowOpen(0) && WindowOpen(1));
    window(1)->close();
    QApplication::processEvents();
    EXPECT_EQ(window(1), nullptr);
    EXPECT_FALSE(WindowOpen(1));
    EXPECT_FALSE(form->MenuItem("mnuWindowView(1)")->isVisible());
    EXPECT_EQ(ActiveWindow, 0);
    EXPECT_TRUE(boxes->Shown().empty());
}

TEST_F(ShellTest, ClosingTheLastWindowOffersToSaveAnyChangedNetworkThenClearsIt) {
    AddAirways(1);
    NetworkSaved = 0;
    boxes->Expect(VB::vbCancel, "Network Data is not saved - Save it?");
    window(0)->close();
    EXPECT_EQ(AirwayCount, 1); // Cancel keeps everything
    // Yes whose save does not happen keeps the network as well.
    boxes->Expect(VB::vbYes, "Network Data is not saved - Save it?").ExpectFile(std::nullopt);
    window(0)->close();
    EXPECT_EQ(AirwayCount, 1);
    boxes->Expect(VB::vbNo, "Network Data is not saved - Save it?");
    window(0)->close();
    EXPECT_EQ(AirwayCount, 0);
    EXPECT_EQ(NetworkSaved, 255);
    ASSERT_NE(window(0), nullptr);
    EXPECT_TRUE(window(0)->isVisible());
    EXPECT_TRUE(WindowOpen(0));
    EXPECT_EQ(boxes->Shown().size(), 3u);
}

TEST_F(ShellTest, ANetworkEmptiedByClosingTheLastWindowIsNeverSavedOverItsFile) {
    StartOnExample("teaching.sim");
    const std::string before = folder.Read("teaching.sim");
    window(0)->close();
    ASSERT_EQ(AirwayCount, 0);
    // Save has no file to write to: it asks for one, and Cancel writes nothing.
    boxes->ExpectFile(std::nullopt);
    form->MenuItem("mnuSaveFile")->trigger();
    EXPECT_TRUE(boxes->Done());
    EXPECT_EQ(folder.Read("teaching.sim"), before);
}

TEST_F(ShellTest, NamedViewIsListedAndRestoresItsZoomAndLevel) {
    const double width = window(0)->Picture().ScaleWidth;
    float w = static_cast<float>(width / 2), h = 0;
    SetZoomScale(w, h);
    const double zoomed = window(0)->Picture().ScaleWidth;
    boxes->ExpectInput(std::string("Stope A"));
    form->mnuSaveView_Click();
    EXPECT_EQ(form->CmbView->currentText(), "Stope A");
    EXPECT_EQ(NetworkSaved, 0);
    w = static_cast<float>(width * 2);
    SetZoomScale(w, h);
    ASSERT_NE(window(0)->Picture().ScaleWidth, zoomed);
    form->VsbRL->setValue(1);
    form->CmbView->SetListIndex(form->CmbView->findText("Stope A"));
    EXPECT_DOUBLE_EQ(window(0)->Picture().ScaleWidth, zoomed);
    EXPECT_EQ(form->CmbRL->currentText(), "U/Ground");
}

TEST_F(ShellTest, BadViewNamesAreRefusedAndBuiltInViewsCannotBeDeleted) {
    const int listed = form->CmbView->count();
    const std::pair<std::string, std::string> refused[] = {{"a,b", "No commas allowed in name !"},
                                                           {" lead", "Invalid view name"},
                                                           {"say \"x\"", "Invalid view name"}};
    for (const auto &[name, message] : refused) {
        boxes->ExpectInput(name);
        boxes->Expect(VB::vbOK, message);
        form->mnuSaveView_Click();
    }
    EXPECT_EQ(form->CmbView->count(), listed);
    boxes->ExpectInput(std::string("0 level"));
    form->mnuSaveView_Click();
    EXPECT_EQ(form->CmbView->count(), listed + 1);

    form->CmbView->SetListIndex(2);
    boxes->Expect(VB::vbOK, "Permanent view - cannot delete!");
    form->mnuDelView_Click();
    form->CmbView->setCurrentIndex(-1);
    boxes->Expect(VB::vbOK, "Permanent view - cannot delete!");
    form->mnuDelView_Click();
    EXPECT_EQ(form->CmbView->count(), listed + 1);

    form->CmbView->SetListIndex(form->CmbView->findText("0 level"));
    boxes->Expect(VB::vbYes, "Are you sure");
    form->mnuDelView_Click();
    EXPECT_EQ(form->CmbView->count(), listed);
    for (int s = 6; s <= 100; ++s)
        EXPECT_NE(ViewName(s), "0 level");
}

TEST_F(ShellTest, OverwritingANamedViewKeepsOneSlotOfThatName) {
    boxes->ExpectInput(std::string("Shaft"));
    form->mnuSaveView_Click();
    boxes->ExpectInput(std::string("Shaft"));
    boxes->Expect(VB::vbYes, "There is already a view with that name!");
    form->mnuSaveView_Click();
    int sameName = 0;
    for (int s = 1; s <= 100; ++s)
        sameName += ViewName(s) == "Shaft" ? 1 : 0;
    EXPECT_EQ(sameName, 1);
    EXPECT_EQ(form->CmbView->findText("Shaft"), form->CmbView->count() - 1);
}

TEST_F(ShellTest, ActivatingAWindowStoresTheOldViewAndLoadsItsOwn) {
    form->mnuNewWindow_Click();
    float w = static_cast<float>(window(1)->Picture().ScaleWidth / 2), h = 0;
    SetZoomScale(w, h);
    const double zoomed = window(1)->Picture().ScaleWidth;
    form->VsbRL->setValue(1);
    form->Mdi()->setActiveSubWindow(window(0));
    ASSERT_EQ(ActiveWindow, 0);
    EXPECT_TRUE(WindowOpen(1));
    // The level controls follow the window that becomes active.
    EXPECT_EQ(form->CmbRL->currentText(), "U/Ground");
    form->Mdi()->setActiveSubWindow(window(1));
    EXPECT_EQ(ActiveWindow, 1);
    EXPECT_DOUBLE_EQ(window(1)->Picture().ScaleWidth, zoomed);
    EXPECT_EQ(form->CmbRL->currentText(), "SURFACE");
}

TEST_F(ShellTest, AQtClickOnTheGraphicsWindowReachesTheZoomTool) {
    PictureBox &pic = window(0)->Picture();
    const double width = pic.ScaleWidth;
    QWidget *view = window(0)->View();
    const QPoint centre(view->width() / 2, view->height() / 2);
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_NEAR(pic.ScaleWidth, width / 2, width * 1e-6); // a zoom-tool click halves the view
    QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, centre);
    EXPECT_NEAR(pic.ScaleWidth, width, width * 1e-6); // and the right button doubles it back
    // A key in the window reaches the key commands: F2 selects the zoom tool.
    form->Tools_Click(31);
    ASSERT_EQ(ToolMode, 19);
    QTest::keyClick(view, Qt::Key_F2);
    EXPECT_EQ(ToolMode, 0);
}

TEST_F(ShellTest, ResizedViewsKeepCentreAndOneScaleAndCascadedOnesAUsableSize) {
    AddAirways(20);
    FitNetwork();
    Redraw();
    const auto perPixelX = [](const PictureBox &p) { return p.ScaleWidth / p.PixelWidth(); };
    const auto perPixelY = [](const PictureBox &p) { return p.ScaleHeight / p.PixelHeight(); };
    window(0)->showNormal();
    window(0)->resize(300, 200);
    PictureBox &pic = window(0)->Picture();
    const double scale = perPixelX(pic);
    const float panX = PanX, panY = PanY, captionScale = ScaleNumber;
    window(0)->showMaximized();
    ASSERT_GT(pic.PixelWidth(), 400);
    EXPECT_NEAR(perPixelX(pic), scale, scale * 1e-9);
    EXPECT_NEAR(perPixelY(pic), scale, scale * 1e-9);
    EXPECT_EQ(pic.ScaleLeft, -pic.ScaleWidth / 2);
    EXPECT_EQ(PanX, panX);
    EXPECT_EQ(PanY, panY);
    // The drawing did not change: neither does the caption's scale.
    EXPECT_EQ(ScaleNumber, captionScale);
    EXPECT_TRUE(form->windowTitle().contains("1:" + QString::number(ScaleNumber) + "]"));

    window(0)->showNormal();
    // Squeezed to no width and given its room again, a view is as it was.
    window(0)->resize(1, 1);
    window(0)->resize(300, 200);
    EXPECT_NEAR(perPixelX(pic), scale, scale * 1e-9);
    form->mnuNewWindow_Click();
    for (auto arrange : {&MainForm::mnuTileH_Click, &MainForm::MnuTileC_Click}) {
        (form.get()->*arrange)();
        const QSize area = form->Mdi()->viewport()->size();
        for (int w = 0; w <= 1; ++w) {
            form->mnuWindowView_Click(w);
            const PictureBox &p = window(w)->Picture();
            EXPECT_NEAR(perPixelY(p), perPixelX(p), perPixelX(p) * 1e-6) << w;
            if (arrange == &MainForm::MnuTileC_Click) {
                EXPECT_GE(window(w)->width(), area.width() / 2) << w;
                EXPECT_GE(window(w)->height(), area.height() / 2) << w;
            }
        }
    }
}

TEST_F(ShellTest, EveryWindowOpensWhollyOnTheMainWindowsScreen) {
    // A main window reaching past the lower right corner of its screen.
    const QRect screen = form->screen()->availableGeometry();
    form->showNormal();
    form->setGeometry(screen.right() - 400, screen.bottom() - 300, 900, 700);
    AddAirways(3);
    SimUi().ShowErrorWindow("Sim Fail Error List");
    form->MenuItem("mnuOptionShow")->trigger();
    form->MenuItem("mnuPower")->trigger();
    form->MenuItem("mnuFBName")->trigger(); // placed at the main window's lower right once shown
    int windows = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w == form.get() || !w->isVisible() || w->windowType() == Qt::Popup)
            continue;
        ++windows;
        EXPECT_TRUE(screen.contains(w->frameGeometry())) << w->windowTitle().toStdString();
    }
    EXPECT_GE(windows, 4);
}

TEST_F(ShellTest, ANetworkReplacingAnotherLeavesNothingOfItInTheOtherWindowTheLevelControlsOrTheReadOuts) {
    StartOnExample("teaching.sim");
    StartOnExample("mine.sim");
    form->mnuNewWindow_Click();
    std::vector<DrawnPrimitive> other;
    window(0)->Picture().Recording = &other;
    boxes->ExpectFile(folder.path() + "teaching.sim");
    form->MenuItem("mnuOpenFile")->trigger();
    window(0)->Picture().Recording = nullptr;
    EXPECT_TRUE(std::any_of(other.begin(), other.end(),
                            [](const DrawnPrimitive &p) { return p.text == "Cross-cut"; }));
    EXPECT_EQ(form->MenuItem("mnuWindowView(0)")->text().mid(6),
              form->MenuItem("mnuWindowView(1)")->text().mid(6));
    form->Tools_Click(24); // 3-D, with its pan read-out
    boxes->Expect(VB::vbOK, "Current Data will be lost ?");
    form->MenuItem("mnuNewFile")->trigger();
    EXPECT_EQ(form->CmbRL->currentText(), "U/Ground");
    EXPECT_EQ(form->MenuItem("mnuWindowView(1)")->text(), "View 2 : U/Ground Quantity");
    EXPECT_EQ(form->LblWin1->text(), "");
}

TEST_F(ShellTest, FitAllAfterARunShowsEveryLabelWholeInTheWindow) {
    StartOnExample("teaching.sim");
    form->MenuItem("mnuExecute")->trigger();
    form->MenuItem("mnuFitAll")->trigger();
    PictureBox &pic = window(0)->Picture();
    std::vector<DrawnPrimitive> drawn;
    pic.Recording = &drawn;
    Redraw();
    pic.Recording = nullptr;
    pic.FontName = FontName(1);
    int texts = 0;
    for (const DrawnPrimitive &p : drawn)
        if (p.kind == DrawnPrimitive::Text && !p.text.empty()) {
            ++texts;
            pic.FontSize = p.fontSize;
            pic.FontBold = p.bold;
            const QRectF box(QPointF(pic.ToPixelX(p.x1), pic.ToPixelY(p.y1)),
                             QPointF(pic.ToPixelX(p.x1 + pic.TextWidth(p.text)),
                                     pic.ToPixelY(p.y1 + pic.TextHeight(p.text))));
            EXPECT_TRUE(QRectF(pic.Image().rect()).contains(box.normalized())) << p.text;
        }
    EXPECT_GT(texts, 20);
}
