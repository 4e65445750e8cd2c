// Where each window of the program opens from the maximised main window.
#include "ShellFixture.h"

#include "dialogs/airway_dialogs.h"
#include "exchange/frmPrinter.h"
#include "platform/WindowPlacement.h"
#include "settings/frmOptions.h"
#include "shell/frmFileNote.h"
#include "shell/small_windows.h"
#include "solver/simulation_ui.h"
#include "tables/frmFanData.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include <map>
#include <set>

namespace {

enum class Place { Centre, LowerRight };

struct Opening {
    const char *window; // class name of the window that opens
    Place place;
    std::function<void(MainForm &, ScriptedDialogs &)> open;
};

std::function<void(MainForm &, ScriptedDialogs &)> menu(const char *item) {
    return [item](MainForm &form, ScriptedDialogs &) { form.MenuItem(item)->trigger(); };
}

} // namespace

TEST_F(ShellTest, EveryWindowOpensOnTheScreenCentredOnTheMainWindowOrInItsCornerBelowTheMenuBar) {
    form->showMaximized();
    QApplication::processEvents();
    AddAirways(3);
    CurrentAirway = 1;
    AirEditMode = 1;
    const std::string drawing = folder.path() + "plan.dxf";
    const Opening openings[] = {
        {"frmOptions", Place::Centre, menu("mnuOptionShow")},
        {"frmSpreadSheet", Place::Centre, menu("mnuPower")},
        {"frmSimplify", Place::Centre, menu("mnuSimp")},
        {"frmSummary", Place::Centre, menu("mnuSummary")},
        {"frmSmoke", Place::Centre, menu("mnuFire")},
        {"frmAttrib", Place::Centre, menu("mnucpAttrib")},
        {"frmTagS", Place::Centre, menu("mnuShowLayers")},
        {"frmViewer", Place::Centre, menu("mnuViewData")},
        {"frmFanData", Place::Centre, menu("mnuFanData")},
        {"frmRLBase", Place::Centre, menu("mnuRLBase")},
        {"frmPrinter", Place::Centre, menu("mnuPrint")},
        {"frmAbout2", Place::Centre, menu("mnuAbout")},
        {"frmSelLevel", Place::Centre, menu("mnuLevels(1)")},
        {"frmRange", Place::Centre, menu("mnuLevels(2)")},
        {"frmRemote", Place::Centre, menu("mnuRemoteStation")},
        {"frmRealOut", Place::Centre, menu("mnuRealOut")},
        {"frmImport", Place::Centre,
         [&](MainForm &form, ScriptedDialogs &boxes) {
             boxes.ExpectFile(drawing);
             form.MenuItem("MnuDXF")->trigger();
         }},
        {"frmAirEdit", Place::Centre, [](MainForm &, ScriptedDialogs &) { AirwayDialogs::ShowAirwayEdit(); }},
        {"frmAirInfo", Place::Centre,
         [](MainForm &, ScriptedDialogs &) { AirwayDialogs::ShowAirwayInformation(); }},
        {"frmCoords", Place::Centre,
         [](MainForm &, ScriptedDialogs &) { AirwayDialogs::ShowCoordinateEntry(); }},
        {"frmMessage", Place::Centre, [](MainForm &, ScriptedDialogs &) { MessageWindow().ShowMessage(); }},
        {"frmFileNote", Place::LowerRight, menu("mnuMessage")},
        {"frmListAirNames", Place::LowerRight, menu("mnuFBName")},
        {"frmListAirNodes", Place::LowerRight, menu("mnuFNName")},
        {"frmError", Place::LowerRight,
         [](MainForm &, ScriptedDialogs &) { SimUi().ShowErrorWindow("Sim Fail Error List"); }},
    };
    const QRect screen = form->screen()->availableGeometry();
    const QRect menuBar(form->menuBar()->mapToGlobal(QPoint(0, 0)), form->menuBar()->size());
    const QRect statusBar(form->statusBar()->mapToGlobal(QPoint(0, 0)), form->statusBar()->size());
    // The main window between its menu bar and its status bar.
    const QRect main = form->frameGeometry();
    const QRect work(main.left(), menuBar.bottom() + 1, main.width(), statusBar.top() - menuBar.bottom() - 1);
    for (const Opening &opening : openings) {
        std::set<QWidget *> before;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible())
                before.insert(w);
        std::map<std::string, QRect> opened;
        VB::SetModalDriver([&](QDialog &dialog) {
            opened[dialog.metaObject()->className()] = dialog.frameGeometry();
            dialog.reject();
        });
        opening.open(*form, *boxes);
        VB::SetModalDriver({});
        std::vector<QWidget *> shown;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && before.count(w) == 0) {
                opened[w->metaObject()->className()] = w->frameGeometry();
                shown.push_back(w);
            }
        ASSERT_EQ(opened.count(opening.window), 1u) << opening.window;
        const QRect frame = opened[opening.window];
        EXPECT_TRUE(screen.contains(frame)) << opening.window;
        EXPECT_FALSE(frame.intersects(menuBar)) << opening.window;
        if (opening.place == Place::Centre && frame.width() <= work.width() &&
            frame.height() <= work.height()) {
            EXPECT_LE(std::abs(frame.center().x() - work.center().x()), 1) << opening.window;
            EXPECT_LE(std::abs(frame.center().y() - work.center().y()), 1) << opening.window;
        }
        if (opening.place == Place::LowerRight) {
            EXPECT_EQ(frame.right(), work.right()) << opening.window;
            EXPECT_FALSE(frame.intersects(statusBar)) << opening.window;
            EXPECT_LE(work.bottom() - frame.bottom(), 4) << opening.window;
        }
        for (QWidget *w : shown)
            w->close();
        QApplication::processEvents();
    }
}

TEST_F(ShellTest, TheAirwayEditOptionsAndPrintDialogsOpenWhereTheyLastStoodAtOneSize) {
    form->showMaximized();
    QApplication::processEvents();
    AddAirways(3);
    CurrentAirway = 1;
    AirEditMode = 1;
    const QRect screen = VB::WindowArea();
    using Work = std::function<void(QWidget &)>;
    const auto modal = [](const std::function<void()> &show) {
        return [show](const Work &work) {
            VB::SetModalDriver([&](QDialog &dialog) {
                work(dialog);
                dialog.reject();
            });
            show();
            VB::SetModalDriver({});
        };
    };
    const struct {
        const char *window;
        std::function<void(const Work &)> open;
        std::function<void()> before; // a change of state for the next opening
        Work during;                  // a change made in the open dialog
    } dialogs[] = {
        {"frmAirEdit", modal([] { AirwayDialogs::ShowAirwayEdit(); }),
         [] {
             for (int a = 1; a <= 3; ++a)
                 AirwayFlags(a) |= AirwayFlag::Selected;
             AirEditMode = 3;
         },
         [](QWidget &) {}},
        {"frmPrinter", modal([this] { form->MenuItem("mnuPrint")->trigger(); }), [] {},
         [](QWidget &dialog) { static_cast<frmPrinter &>(dialog).OptOrient[1]->click(); }},
        {"frmOptions",
         [this](const Work &work) {
             form->MenuItem("mnuOptionShow")->trigger();
             work(*OptionsWindow());
             OptionsWindow()->cmdCancel_Click();
             QApplication::processEvents();
         },
         [] {}, [](QWidget &dialog) { static_cast<frmOptions &>(dialog).OptUnitType[1]->click(); }},
    };
    for (const auto &d : dialogs) {
        QRect left;
        d.open([&](QWidget &dialog) {
            ASSERT_EQ(dialog.metaObject()->className(), std::string(d.window));
            // Moved by the user, halfway to the lower left corner of the screen.
            const QRect frame = dialog.frameGeometry();
            dialog.move(dialog.pos() + (QPoint(screen.left(), screen.bottom()) - frame.bottomLeft()) / 2);
            left = dialog.frameGeometry();
        });
        d.before();
        d.open([&](QWidget &dialog) {
            EXPECT_EQ(dialog.frameGeometry(), left) << d.window << " as it opens";
            d.during(dialog);
            QApplication::processEvents();
            EXPECT_EQ(dialog.frameGeometry(), left) << d.window << " after a change in it";
        });
    }
}

TEST_F(ShellTest, TheMemoAndTheFanListOpenWhollyOnTheScreenThoughTheWindowManagerReportsFramesOfNothing) {
    form->showMaximized();
    QApplication::processEvents();
    // While an X11 window manager puts its frame round a new window it reports a frame of one pixel.
    bool decorating = true;
    VB::SetFrameReport([&decorating](const QWidget &w) {
        const QRect frame = w.frameGeometry(), in = w.geometry();
        return decorating ? QMargins(0, 0, 1 - in.width(), 1 - in.height())
                          : QMargins(in.left() - frame.left(), in.top() - frame.top(),
                                     frame.right() - in.right(), frame.bottom() - in.bottom());
    });
    const auto decorated = [&decorating](QWidget &w) {
        QApplication::processEvents();
        decorating = false;
        w.update();
        QApplication::processEvents();
        decorating = true;
        return w.frameGeometry();
    };
    const QRect screen = form->screen()->availableGeometry();
    form->MenuItem("mnuMessage")->trigger();
    const QRect memo = decorated(form->FileNoteWindow());
    EXPECT_TRUE(screen.contains(memo));
    EXPECT_EQ(memo.size(), QSize(TwipsToPixels(5000, 0), TwipsToPixels(5000, 1))) << "the memo's first size";
    for (int opening = 1; opening <= 2; ++opening)
        withDialog<frmFanData>(form->MenuItem("mnuFanData"), [&](frmFanData &list) {
            EXPECT_TRUE(screen.contains(decorated(list))) << opening;
        });
}
