// Every control of every window carries its name as its Qt object name, once per window.
#include "ShellFixture.h"

#include "dialogs/frmAirEdit.h"
#include "dialogs/frmAirInfo.h"
#include "dialogs/frmAttrib.h"
#include "dialogs/frmCoords.h"
#include "dialogs/frmFanEdit.h"
#include "dialogs/frmShock.h"
#include "exchange/frmExport.h"
#include "exchange/frmImport.h"
#include "exchange/frmPrinter.h"
#include "exchange/frmPrinting.h"
#include "exchange/frmRealOut.h"
#include "exchange/frmRemote.h"
#include "exchange/frmSummary.h"
#include "settings/frmOptions.h"
#include "settings/frmSelLevel.h"
#include "settings/frmTagS.h"
#include "settings/frmViewer.h"
#include "shell/frmAbout2.h"
#include "shell/frmFileNote.h"
#include "shell/frmTitle.h"
#include "shell/small_windows.h"
#include "simulation/frmError.h"
#include "simulation/frmSimForm.h"
#include "simulation/frmSmoke.h"
#include "simulation/frmSmokeLegend.h"
#include "simulation/frmSmokeTrace.h"
#include "simulation/simplify.h"
#include "tables/frmFanData.h"
#include "tables/frmRLBase.h"
#include "tables/frmRange.h"
#include "tables/frmSpreadSheet.h"
#include "tables/name_lists.h"

#include "platform/PictureBoxView.h"
#include "platform/VBGrid.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QTabBar>
#include <QTextEdit>

#include <map>
#include <set>

namespace {

// A control the user works: buttons, boxes, lists, grids, scroll bars, pictures. The parts Qt builds
// inside a control (a combo's edit field, a scroll area's bars, a tab bar's arrows) are not controls.
bool isControl(const QWidget *w, const QWidget *window) {
    if (w->objectName().startsWith("qt_"))
        return false;
    for (const QWidget *p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget()) {
        const QString name = p->objectName();
        if (qobject_cast<const QComboBox *>(p) || qobject_cast<const QAbstractSpinBox *>(p) ||
            qobject_cast<const QTabBar *>(p) || (name.startsWith("qt_") && name != "qt_scrollarea_viewport"))
            return false;
    }
    if (qobject_cast<const QMdiArea *>(w))
        return false; // the main window's client area
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QTextEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
           qobject_cast<const PictureBoxView *>(w);
}

// The window's unnamed controls (by class) and the names given twice.
std::vector<std::string> namingFaults(const QWidget &window) {
    std::vector<std::string> faults;
    std::set<QString> seen;
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        if (!isControl(w, &window))
            continue;
        const QString name = w->objectName();
        if (name.isEmpty())
            faults.push_back(std::string("unnamed ") + w->metaObject()->className());
        else if (!seen.insert(name).second)
            faults.push_back("twice " + name.toStdString());
    }
    return faults;
}

// Every window of the program, made afresh by caption; "MainForm" stands for the test's main window.
std::map<std::string, std::function<std::unique_ptr<QWidget>()>> everyWindow() {
    return {
        {"MainForm", [] { return nullptr; }},
        {"frmAirEdit", [] { return std::make_unique<frmAirEdit>(); }},
        {"frmAirInfo", [] { return std::make_unique<frmAirInfo>(); }},
        {"frmAttrib", [] { return std::make_unique<frmAttrib>(); }},
        {"frmCoords", [] { return std::make_unique<frmCoords>(); }},
        {"frmFanEdit", [] { return std::make_unique<frmFanEdit>(); }},
        {"frmShock", [] { return std::make_unique<frmShock>(); }},
        {"frmExport", [] { return std::make_unique<frmExport>(); }},
        {"frmImport", [] { return std::make_unique<frmImport>(); }},
        {"frmPrinter", [] { return std::make_unique<frmPrinter>(); }},
        {"frmPrinting", [] { return std::make_unique<frmPrinting>(); }},
        {"frmRealOut", [] { return std::make_unique<frmRealOut>(); }},
        {"frmRemote", [] { return std::make_unique<frmRemote>(); }},
        {"frmSummary", [] { return std::make_unique<frmSummary>(); }},
        {"frmOptions", [] { return std::make_unique<frmOptions>(); }},
        {"frmSelLevel", [] { return std::make_unique<frmSelLevel>(); }},
        {"frmTagS", [] { return std::make_unique<frmTagS>(); }},
        {"frmViewer", [] { return std::make_unique<frmViewer>(); }},
        {"frmAbout2", [] { return std::make_unique<frmAbout2>(); }},
        {"frmFileNote", [] { return std::make_unique<frmFileNote>(); }},
        {"frmTitle", [] { return std::make_unique<frmTitle>(""); }},
        {"frmPopData", [] { return std::make_unique<frmPopData>(); }},
        {"frmMessage", [] { return std::make_unique<frmMessage>(); }},
        {"frmError", [] { return std::make_unique<frmError>(); }},
        {"frmSimForm", [] { return std::make_unique<frmSimForm>(); }},
        {"frmSmoke", [] { return std::make_unique<frmSmoke>(); }},
        {"frmSmokeLegend", [] { return std::make_unique<frmSmokeLegend>(); }},
        {"frmSmokeTrace", [] { return std::make_unique<frmSmokeTrace>(); }},
        {"frmSimplify", [] { return std::make_unique<frmSimplify>(); }},
        {"frmFanData", [] { return std::make_unique<frmFanData>(); }},
        {"frmRLBase", [] { return std::make_unique<frmRLBase>(); }},
        {"frmRange", [] { return std::make_unique<frmRange>(); }},
        {"frmSpreadSheet", [] { return std::make_unique<frmSpreadSheet>(); }},
        {"frmListAirNames", [] { return std::make_unique<frmListAirNames>(); }},
        {"frmListAirNodes", [] { return std::make_unique<frmListAirNodes>(); }},
    };
}

// Every text the window shows: its caption, captions and tips of its controls, list entries, tabs, menus.
QStringList shownTexts(const QWidget &window) {
    QStringList texts{window.windowTitle(), window.toolTip()};
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        texts << w->toolTip();
        if (const auto *label = qobject_cast<const QLabel *>(w))
            texts << label->text();
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            texts << button->text();
        if (const auto *group = qobject_cast<const QGroupBox *>(w))
            texts << group->title();
        if (const auto *combo = qobject_cast<const QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        if (const auto *tabs = qobject_cast<const QTabBar *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
    }
    for (const QAction *action : window.findChildren<QAction *>())
        texts << action->text() << action->toolTip();
    return texts;
}

} // namespace

TEST_F(ShellTest, EveryControlOfEveryWindowCarriesItsName) {
    AddAirways(2);
    CurrentAirway = 1;
    AirEditMode = 1;
    const auto windows = everyWindow();
    for (const auto &[caption, make] : windows) {
        const std::unique_ptr<QWidget> made = make();
        const QWidget &window = made ? *made : *form;
        EXPECT_EQ(namingFaults(window), std::vector<std::string>()) << caption;
    }
    // Tests find a control by its name.
    frmImport import;
    EXPECT_EQ(import.findChild<QLineEdit *>("TxtXOffset"), import.TxtXOffset);
    frmTagS layers;
    EXPECT_EQ(layers.findChild<QLineEdit *>("TagLabel(47)"), layers.TagLabel[47]);
}

TEST_F(ShellTest, NoWindowShowsAMisspelledWord) {
    AddAirways(2);
    CurrentAirway = 1;
    AirEditMode = 1;
    const char *const misspelled[] = {"itterat", "cummul",   "dimsens",   "procede",  "occured",
                                      "oriface", "ariway",   "unqiue",    "filese",   "seperat",
                                      "recieve", "existant", "paramater", "succesful"};
    for (const auto &[caption, make] : everyWindow()) {
        const std::unique_ptr<QWidget> made = make();
        const QWidget &window = made ? *made : *form;
        for (const QString &text : shownTexts(window))
            for (const char *wrong : misspelled)
                EXPECT_FALSE(text.contains(wrong, Qt::CaseInsensitive))
                    << caption << ": " << text.toStdString();
    }
}
