// The main window's menu bar: one line per menu, item and separator, in the order they appear.
#include "platform/Busy.h"
#include "platform/Guard.h"
#include "shell/MainForm.h"

#include <QMenuBar>

namespace {

// Start states of an entry.
enum : unsigned {
    Hidden = 1,   // not visible until code shows it
    Checked = 2,  // check mark set at start
    Disabled = 4, // greyed at start
    Marked = 16,  // carries a check mark that code sets
};

// A click handler: plain, or taking the index of an indexed item ("mnuOld(3)" passes 3).
struct Click {
    constexpr Click() = default;
    constexpr Click(void (MainForm::*f)()) : plain(f) {}
    constexpr Click(void (MainForm::*f)(int)) : indexed(f) {}
    void (MainForm::*plain)() = nullptr;
    void (MainForm::*indexed)(int) = nullptr;
};

struct MenuLine {
    int depth;           // 0 a menu of the bar; n + 1 inside the last entry of depth n
    const char *name;    // control name; "" for an unnamed separator
    const char *caption; // "-" for a separator
    unsigned state = 0;
    Click click = {};
};

using M = MainForm;

// clang-format off
const MenuLine MenuTable[] = {
    {0, "mnuFile", "&File"},
    {1, "mnuNewFile", "&New File", 0, &M::mnuNewFile_Click},
    {1, "mnuOpenFile", "&Open File", 0, &M::mnuOpenFile_Click},
    {1, "mnuMergeFile", "&Merge File", 0, &M::mnuMergeFile_Click},
    {1, "mnuRld", "Reload"},
    {2, "ReloadDef", "Defaults", 0, &M::ReloadDef_Click},
    {2, "mnuReLoadFan", "Fan Database", 0, &M::mnuReLoadFan_Click},
    {1, "", "-"},
    {1, "mnuSaveFile", "&Save", 0, &M::mnuSaveFile_Click},
    {1, "mnuSaveAs", "Sav&e As", 0, &M::mnuSaveAs_Click},
    {1, "mnuSSp", "Save Special"},
    {2, "mnuSaveFan", "Fans", 0, &M::mnuSaveFan_Click},
    {2, "mnuSaveDef", "Defaults", 0, &M::mnuSaveDef_Click},
    {2, "mnuSvScreen", "Screen Bitmap", 0, &M::mnuSvScreen_Click},
    {1, "", "-"},
    {1, "mnuImport", "Import Data"},
    {2, "MnuDXF", "DXF file", 0, &M::MnuDXF_Click},
    {2, "mnuImportData", "TXT file", 0, &M::mnuImportData_Click},
    {1, "mnuExport", "Export Data"},
    {2, "mnuDXFexp", "DXF file"},
    {3, "MnuDXFScreen", "DXF Screen Coords", 0, &M::MnuDXFScreen_Click},
    {3, "mnuDXFTrue", "DXF True Coords", 0, &M::mnuDXFTrue_Click},
    {2, "mnuExportData", "TXT file", 0, &M::mnuExportData_Click},
    {1, "", "-"},
    {1, "mnuComment", "Title Note", 0, &M::mnuComment_Click},
    {1, "mnuMessage", "File Memo", 0, &M::mnuMessage_Click},
    {1, "", "-"},
    {1, "mnuPsetup", "Print Setup", 0, &M::mnuPsetup_Click},
    {1, "mnuPrint", "&Print", 0, &M::mnuPrint_Click},
    {1, "", "-"},
    {1, "mnuOld(1)", "&1", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(2)", "&2", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(3)", "&3", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(4)", "&4", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(5)", "&5", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(6)", "&6", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(7)", "&7", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(8)", "&8", Hidden, &M::mnuOld_Click},
    {1, "mnuOld(9)", "&9", Hidden, &M::mnuOld_Click},
    {1, "", "-"},
    {1, "mnuExit", "&Exit", 0, &M::mnuExit_Click},

    {0, "mnuEdit", "Edit"},
    {1, "mnuUndo", "Undo", 0, &M::mnuUndo_Click},
    {1, "mnuRedo", "Redo", 0, &M::mnuRedo_Click},
    {1, "", "-"},
    {1, "mnuCP", "Copy-Paste"},
    {2, "mnuCopy2", "to defaults", Marked, &M::mnuCopy2_Click},
    {2, "mnuCpyPst", "to airway", Marked, &M::mnuCpyPst_Click},
    {1, "mnuDeselect", "Deselect", 0, &M::mnuDeselect_Click},
    {1, "mnucpAttrib", "Options", 0, &M::mnucpAttrib_Click},
    {1, "mnuMods", "Tools", Hidden},
    {2, "mnuBar(1)", "Add Airway", 0, &M::mnuBar_Click},
    {2, "mnuBar(3)", "Move", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(4)", "Reverse", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(5)", "Delete", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(6)", "Add Fan", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(7)", "Name", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(8)", "Contaminate", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(9)", "Edit", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(10)", "Info", Hidden | Disabled, &M::mnuBar_Click},
    {2, "mnuBar(12)", "Insert Node", Hidden | Disabled, &M::mnuBar_Click},
    {1, "", "-"},
    {1, "mnufind", "Find"},
    {2, "mnuFinder(0)", "Follow Airway", Hidden | Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(1)", "Errors", Checked | Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(2)", "Bad Fans", Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(3)", "Branch Number", Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(4)", "Branch Name", Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(5)", "Node Name", Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(6)", "Fixed Flows", Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(7)", "Fixed Pressure", Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(8)", "Fixed Directions", Marked, &M::mnuFinder_Click},
    {2, "mnuFinder(9)", "Zero lengths", Marked, &M::mnuFinder_Click},
    {1, "mnuFL", "Find by List"},
    {2, "mnuFBName", "Branch Name", 0, &M::mnuFBName_Click},
    {2, "mnuFNName", "Node Name", 0, &M::mnuFNName_Click},
    {1, "mnuConfirm", "Confirmations", Hidden | Disabled | Marked, &M::mnuConfirm_Click},

    {0, "mnuView", "View"},
    {1, "mnuRefresh", "Refresh", 0, &M::mnuRefresh_Click},
    {1, "mnuFitAll", "Fit All", 0, &M::mnuFitAll_Click},
    {1, "", "-"},
    {1, "mnuSaveView", "Save View", 0, &M::mnuSaveView_Click},
    {1, "mnuDelView", "Delete View", 0, &M::mnuDelView_Click},
    {1, "", "-"},
    {1, "mnuDisp", "Display", Hidden},
    {2, "mnuZoom", "&Zoom", Marked, &M::mnuZoom_Click},
    {2, "mnuFit", "&Fit", Hidden | Disabled, &M::mnuFit_Click},
    {2, "mnuRedraw", "Redraw", Hidden | Disabled, &M::mnuRedraw_Click},
    {1, "mnuGridFlag", "Grid", Marked, &M::mnuGridFlag_Click},
    {1, "mnuViewType", "View Type", Hidden},
    {2, "mnuPlanS", "Plan", Marked, &M::mnuPlanS_Click},
    {2, "mnu3d", "3D", Marked, &M::mnu3d_Click},
    {2, "mnuDisplayOpt", "Options"},
    {1, "mnuShowLayers", "Layers", 0, &M::mnuShowLayers_Click},
    {1, "mnuRLR", "Levels"},
    {2, "mnuLevels(0)", "Single", Marked, &M::mnuLevels_Click},
    {2, "mnuLevels(1)", "Multiple", Marked, &M::mnuLevels_Click},
    {2, "mnuLevels(2)", "Range", Marked, &M::mnuLevels_Click},
    {2, "mnuLevels(3)", "All", Marked, &M::mnuLevels_Click},
    {1, "mnuDatas", "Data Type"},
    {2, "MnuQFlag(1)", "Airflow", Marked},
    {3, "mnuAirflow(1)", "Quantity m3/s", 0, &M::mnuAirflow_Click},
    {3, "mnuAirflow(2)", "Velocity m/s", 0, &M::mnuAirflow_Click},
    {2, "MnuQFlag(2)", "Pressure", Marked},
    {3, "mnuPressure(1)", "Loss  Pa", 0, &M::mnuPressure_Click},
    {3, "mnuPressure(2)", "Boost Pa", 0, &M::mnuPressure_Click},
    {3, "mnuPressure(3)", "Load  kg", 0, &M::mnuPressure_Click},
    {3, "mnuPressure(4)", "Node relative Pa", 0, &M::mnuPressure_Click},
    {3, "mnuPressure(5)", "Node atmos kPa", 0, &M::mnuPressure_Click},
    {3, "mnuPressure(6)", "Node barometric kPa", 0, &M::mnuPressure_Click},
    {2, "MnuQFlag(3)", "Airway data", Marked},
    {3, "mnuBranch(1)", "Resistance", 0, &M::mnuBranch_Click},
    {3, "mnuBranch(2)", "Shock Length", 0, &M::mnuBranch_Click},
    {3, "mnuBranch(3)", "Friction Factor", 0, &M::mnuBranch_Click},
    {3, "mnuBranch(4)", "Dimensions", 0, &M::mnuBranch_Click},
    {3, "mnuBranch(5)", "Airway Length", 0, &M::mnuBranch_Click},
    {3, "mnuBranch(6)", "Coordinates", 0, &M::mnuBranch_Click},
    {2, "MnuQFlag(4)", "Energy", Marked},
    {3, "mnuCost(1)", "Friction Power", 0, &M::mnuCost_Click},
    {3, "mnuCost(2)", "Fan/Fix Power", 0, &M::mnuCost_Click},
    {3, "mnuCost(3)", "Friction cost", 0, &M::mnuCost_Click},
    {3, "mnuCost(4)", "Fan/Fix cost", 0, &M::mnuCost_Click},
    {2, "MnuQFlag(5)", "Other", Marked},
    {3, "mnuOther(1)", "Airway Number", 0, &M::mnuOther_Click},
    {3, "mnuOther(2)", "Layer Number", 0, &M::mnuOther_Click},
    {3, "mnuOther(3)", "Layer Name", 0, &M::mnuOther_Click},
    {3, "mnuOther(4)", "Contaminant", 0, &M::mnuOther_Click},
    {3, "mnuOther(5)", "Spread Time", 0, &M::mnuOther_Click},
    {1, "", "-"},
    {1, "mnuViewData", "View Options", 0, &M::mnuViewData_Click},

    {0, "mnuRun", "Run"},
    {1, "mnuExecute", "Airflow Simulation", 0, &M::mnuExecute_Click},
    {1, "mnuFire", "Smoke Simulation", 0, &M::mnuFire_Click},
    {1, "mnuTrace", "Sourcing Simulation", 0, &M::mnuTrace_Click},
    {1, "", "-"},
    {1, "mnuRT2", "Realtime"},
    {2, "mnuRemote", "Activate Input", Marked, &M::mnuRemote_Click},
    {2, "mnuRealOutStart", "Activate Output", Marked, &M::mnuRealOutStart_Click},
    {1, "mnuRemote2", "-"},
    {1, "mnuSummary", "Summary", 0, &M::mnuSummary_Click},

    {0, "mnuDefaults", "Tools"},
    {1, "mnuFanData", "Fans", 0, &M::mnuFanData_Click},
    {1, "mnuRLBase", "Levels", 0, &M::mnuRLBase_Click},
    {1, "mnuPower", "Spreadsheet", 0, &M::mnuPower_Click},
    {1, "", "-"},
    {1, "mnuSimp", "Simplify", 0, &M::mnuSimp_Click},
    {1, "mnuremdup", "Remove duplicates", 0, &M::mnuremdup_Click},
    {1, "mnuAf", "Airflow Display"},
    {2, "mnuPres", "Preserve", 0, &M::mnuPres_Click},
    {2, "mnuRmvFlow", "Remove", 0, &M::mnuRmvFlow_Click},
    {1, "mnuairdata", "Airways"},
    {2, "mnuL", "Lengths"},
    {3, "mnuFixL", "Fix All", 0, &M::mnuFixL_Click},
    {3, "mnuUnFixL", "Unfix All", 0, &M::mnuUnFixL_Click},
    {2, "mnuAutoName", "Auto Name Airway", 0, &M::mnuAutoName_Click},
    {2, "mnuAutoNodes", "Auto Name Nodes", 0, &M::mnuAutoNodes_Click},
    {2, "mnuResetAir", "Renumber Airways", 0, &M::mnuResetAir_Click},
    {2, "mnuchecknumbers", "Check numbering", 0, &M::mnuchecknumbers_Click},
    {2, "mnuRevCoord", "Swap XY Axis", 0, &M::mnuRevCoord_Click},
    {1, "mnuSmokes", "Smoke"},
    {2, "mnuClrSmoke", "Clear Smoke Tracking", 0, &M::mnuClrSmoke_Click},
    {2, "mnuClrSources", "Clear Smoke Sourcing", 0, &M::mnuClrSources_Click},
    {1, "mnuRD", "Realtime Data"},
    {2, "mnuRemoteStation", "Input", 0, &M::mnuRemoteStation_Click},
    {2, "mnuRealOut", "Output", 0, &M::mnuRealOut_Click},
    {1, "mnuSimOpt", "Troubleshoot"},
    {2, "mnuFindResFans", "Find Restrictive Fans", 0, &M::mnuFindResFans_Click},
    {2, "mnuDupAir", "Find Duplicate Airways", 0, &M::mnuDupAir_Click},
    {2, "mnuub", "Unnecessary bulkheads"},
    {3, "mnuProblems", "Find", 0, &M::mnuProblems_Click},
    {3, "mnuRemoveRedund", "Remove", 0, &M::mnuRemoveRedund_Click},
    {2, "mnnuNonConverge", "Non-converging Airways", 0, &M::mnnuNonConverge_Click},
    {2, "mnuResetAirflows", "Re-seed Airflows", 0, &M::mnuResetAirflows_Click},
    {1, "", "-"},
    {1, "mnuOptionShow", "Options", 0, &M::mnuOptionShow_Click},
    {1, "mnuReverse", "Reverse coordinate axis", Hidden, &M::mnuReverse_Click},

    {0, "mnuWindow", "Window"},
    {1, "mnuNewWindow", "New", 0, &M::mnuNewWindow_Click},
    {1, "", "-"},
    {1, "mnuTileH", "Tile Horizontally", 0, &M::mnuTileH_Click},
    {1, "mnuTileV", "Tile Vertically", 0, &M::mnuTileV_Click},
    {1, "MnuTileC", "Cascade", 0, &M::MnuTileC_Click},
    {1, "", "-"},
    {1, "mnuFreeze", "Freeze/Unfreeze", 0, &M::mnuFreeze_Click},
    {1, "", "-"},
    {1, "mnuWindowView(0)", "View 1", 0, &M::mnuWindowView_Click},
    {1, "mnuWindowView(1)", "View 2", Hidden, &M::mnuWindowView_Click},
    {1, "mnuWindowView(2)", "View 3", Hidden, &M::mnuWindowView_Click},
    {1, "mnuWindowView(3)", "View 4", Hidden, &M::mnuWindowView_Click},
    {1, "mnuWindowView(4)", "View 5", Hidden, &M::mnuWindowView_Click},

    {0, "mnuHelpMenu", "Help"},
    {1, "mnuHelp", "Contents", 0, &M::mnuHelp_Click},
    {1, "", "-"},
    {1, "mnuAbout", "About Gustrom Software", 0, &M::mnuAbout_Click},
    {1, "", "-"},
    {1, "mnuWebPage", "Gustrom Web Page", 0, &M::mnuWebPage_Click},
};
// clang-format on

// The index of an indexed control name: "mnuOld(3)" gives 3.
int indexOf(const std::string &name) {
    const auto open = name.find('(');
    return open == std::string::npos ? 0 : std::stoi(name.substr(open + 1));
}

} // namespace

void MainForm::buildMenus() {
    QMenuBar *bar = menuBar();
    // The menus open at each depth; an entry goes into the one of the depth above it.
    std::array<QMenu *, 4> open{};
    const size_t count = std::size(MenuTable);
    for (size_t i = 0; i < count; ++i) {
        const MenuLine &line = MenuTable[i];
        const bool opensMenu = i + 1 < count && MenuTable[i + 1].depth > line.depth;
        const QString caption = QString::fromLatin1(line.caption);
        QAction *action = nullptr;
        if (line.depth == 0) {
            open[0] = bar->addMenu(caption);
            action = open[0]->menuAction();
        } else if (opensMenu) {
            open[static_cast<size_t>(line.depth)] =
                open[static_cast<size_t>(line.depth - 1)]->addMenu(caption);
            action = open[static_cast<size_t>(line.depth)]->menuAction();
        } else if (caption == "-") {
            action = open[static_cast<size_t>(line.depth - 1)]->addSeparator();
        } else {
            action = open[static_cast<size_t>(line.depth - 1)]->addAction(caption);
        }
        const std::string name = line.name;
        if (!name.empty()) {
            action->setObjectName(QString::fromLatin1(line.name));
            items_[name] = action;
        }
        action->setVisible(!(line.state & Hidden));
        action->setEnabled(!(line.state & Disabled));
        action->setCheckable(line.state & (Checked | Marked));
        action->setChecked(line.state & Checked);
        const Click click = line.click;
        if (click.plain == nullptr && click.indexed == nullptr)
            continue;
        const int index = indexOf(name);
        connect(action, &QAction::triggered, this, [this, action, click, index] {
            // Menu commands wait while a long operation lets events run: they could change or free the
            // arrays it works on.
            if (VB::IsBusy())
                return;
            // A click leaves the check mark alone; the handlers set the marks they own.
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            // A failure ends the command, not the program.
            VB::Guarded([&] {
                if (click.plain != nullptr)
                    (this->*click.plain)();
                else
                    (this->*click.indexed)(index);
            });
        });
    }
    // The web page is an address given when the program is built.
    items_["mnuWebPage"]->setEnabled(WebPageConfigured());
}

QAction *MainForm::MenuItem(const std::string &name) const {
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}
