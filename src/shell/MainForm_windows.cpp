// Window management of the graphics windows and the named saved views.
#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/levels_views.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "shell/MainForm.h"
#include "shell/frmWindow.h"
#include "shell/shell_state.h"

#include <algorithm>
#include <vector>

namespace {

frmWindow *windowAt(int w) {
    return w >= 0 && w <= 4 ? Windows[static_cast<size_t>(w)] : nullptr;
}

int openWindowCount() {
    int open = 0;
    for (int w = 0; w <= 4; ++w)
        if (WindowOpen(w))
            ++open;
    return open;
}

// Keeps the active window's view in its own slot before another window takes over.
void keepActiveView() {
    if (ActiveWindow < 0)
        return;
    SaveView(100 + ActiveWindow);
    WindowOpen(ActiveWindow) = true;
}

} // namespace

void MainForm::mnuNewWindow_Click() {
    const int previous = ActiveWindow;
    keepActiveView();
    if (openWindowCount() >= 5) {
        VB::MsgBox("Too many windows");
        return;
    }
    int w = 0;
    while (w <= 4 && WindowOpen(w))
        ++w;
    if (w > 4)
        return;
    if (previous >= 0) {
        // The new window starts with the view of the window active before it.
        CopyView(previous, w);
        ActiveWindow = w;
        SetViewCaption();
        RestoreView(100 + w);
        // At the scale of the window it came from, whatever its own size.
        if (const PictureBox *source = WindowPicture(previous))
            KeepViewScale(w, source->PixelWidth());
    } else {
        ActiveWindow = w;
        SetViewCaption();
        FitNetwork();
    }
    if (frmWindow *window = windowAt(w))
        SetWindowListItem(w, window->Caption(), true);
    WindowSwitching = true;
    arrange(2);
    VB::DoEvents();
    WindowSwitching = false;
    RedrawAll();
}

void MainForm::arrange(int code) {
    std::vector<QMdiSubWindow *> shown;
    for (QMdiSubWindow *sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized())
            shown.push_back(sub);
    if (shown.empty())
        return;
    const QRect area = mdi_->viewport()->rect();
    const int n = static_cast<int>(shown.size());
    if (code == 0) {
        // Each window stands a title bar lower and to the right of the one before and keeps the rest of
        // the area, so that every view stays a usable size.
        const int step = std::max(shown.front()->contentsMargins().top(), 20);
        const int width = std::max(area.width() - (n - 1) * step, area.width() / 2);
        const int height = std::max(area.height() - (n - 1) * step, area.height() / 2);
        for (int i = 0; i < n; ++i) {
            shown[static_cast<size_t>(i)]->showNormal();
            shown[static_cast<size_t>(i)]->setGeometry(i * step, i * step, width, height);
            shown[static_cast<size_t>(i)]->raise();
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        QRect r;
        if (code == 1) {
            const int h = area.height() / n;
            r = QRect(0, i * h, area.width(), h);
        } else {
            const int wd = area.width() / n;
            r = QRect(i * wd, 0, wd, area.height());
        }
        shown[static_cast<size_t>(i)]->showNormal();
        shown[static_cast<size_t>(i)]->setGeometry(r);
    }
}

void MainForm::mnuTileH_Click() {
    if (ActiveWindow < 0)
        return;
    WindowSwitching = true;
    keepActiveView();
    arrange(1);
    RedrawAll();
    WindowSwitching = false;
}

void MainForm::mnuTileV_Click() {
    if (ActiveWindow < 0)
        return;
    WindowSwitching = true;
    keepActiveView();
    arrange(2);
    RedrawAll();
    WindowSwitching = false;
}

void MainForm::MnuTileC_Click() {
    if (ActiveWindow < 0)
        return;
    WindowSwitching = true;
    keepActiveView();
    arrange(0);
    RedrawAll();
    WindowSwitching = false;
}

void MainForm::mnuWindowView_Click(int index) {
    frmWindow *window = windowAt(index);
    if (ActiveWindow < 0 || window == nullptr)
        return;
    WindowSwitching = true;
    keepActiveView();
    window->show();
    mdi_->setActiveSubWindow(window);
    window->View()->setFocus();
    ActiveWindow = index;
    RestoreView(100 + index);
    ShowWorkingLevel();
    WindowSwitching = false;
    PrepareDrawing();
    Redraw();
}

void MainForm::mnuFreeze_Click() {
    // One frozen window is thawed per command, the lowest-numbered first.
    for (int w = 0; w <= 4; ++w) {
        if (!WindowFrozen(w))
            continue;
        WindowFrozen(w) = false;
        if (frmWindow *window = windowAt(w)) {
            const std::string caption = window->Caption();
            setWindowCaption(w, caption.size() > 7 ? caption.substr(7, 30) : std::string());
        }
        RedrawAll();
        return;
    }
    int other = -1;
    if (ActiveWindow >= 0 && WindowOpen(ActiveWindow))
        for (int w = 0; w <= 4 && other < 0; ++w)
            if (WindowOpen(w) && w != ActiveWindow && windowAt(w) != nullptr)
                other = w;
    if (other < 0) {
        VB::MsgBox("Cannot freeze when only one window is present !", VB::vbExclamation, "Freeze error");
        return;
    }
    WindowFrozen(ActiveWindow) = true;
    if (frmWindow *window = windowAt(ActiveWindow))
        setWindowCaption(ActiveWindow, "FROZEN " + window->Caption());
    ActiveWindow = other;
}

void MainForm::mnuFit_Click() {
    FitNetwork();
    Redraw();
}

void MainForm::mnuFitAll_Click() {
    FitNetwork();
    Redraw();
}

void MainForm::mnuSaveView_Click() {
    const std::string name = VB::InputBox("Enter name of view", "View Name", "");
    if (name.empty())
        return;
    if (name.find(',') != std::string::npos) {
        VB::MsgBox("No commas allowed in name !");
        return;
    }
    if (name.find('"') != std::string::npos || static_cast<unsigned char>(name[0]) < 48) {
        VB::MsgBox("Invalid view name");
        return;
    }
    auto selectByName = [this, &name] {
        const int index = CmbView->findText(ToQt(name), Qt::MatchExactly);
        if (index >= 1)
            CmbView->SetListIndex(index);
    };
    for (int s = 1; s <= 100; ++s) {
        if (ViewName(s) != name)
            continue;
        const int reply = VB::MsgBox("There is already a view with that name!\r\nDo you wish to overwrite ?",
                                     VB::vbYesNo | VB::vbQuestion | VB::vbDefaultButton2, "Overwrite view");
        if (reply != VB::vbYes)
            return;
        // Overwriting ends the command: a second slot of the same name would only shadow this one.
        AddNamedView(s, reply, name);
        selectByName();
        return;
    }
    int free = 1;
    while (free <= 100 && !ViewName(free).empty())
        ++free;
    if (free > 100) {
        VB::MsgBox("No view slots available to save view");
        return;
    }
    AddNamedView(free, VB::vbNo, name);
    selectByName();
}

void MainForm::mnuDelView_Click() {
    const int index = CmbView->ListIndex();
    if (index < 5) {
        VB::MsgBox("Permanent view - cannot delete!");
        return;
    }
    if (VB::MsgBox("Are you sure", VB::vbYesNo | VB::vbQuestion, "Delete View") != VB::vbYes)
        return;
    const std::string name = FromQt(CmbView->itemText(index));
    CmbView->removeItem(index);
    CmbView->setCurrentIndex(-1);
    for (int s = 6; s <= 100; ++s) {
        if (ViewName(s) != name)
            continue;
        ViewName(s).clear();
        for (int f = 1; f <= 16; ++f)
            ViewSingles(s, f) = 0;
        for (int f = 1; f <= 5; ++f)
            ViewCurrency(s, f) = 0;
        // Saved views are kept in the network file.
        NetworkSaved = 0;
        return;
    }
}

void MainForm::CmbView_Click() {
    if (ViewIs3D == -1 || CmbView->ListIndex() < 0)
        return;
    CurrentLine = FromQt(CmbView->currentText());
    int slot = 1;
    while (slot <= 100 && ViewName(slot) != CurrentLine)
        ++slot;
    if (slot > 100) {
        VB::MsgBox("Error - could not load view");
        return;
    }
    RestoreView(slot);
    if (ViewRestored == 0)
        FitNetwork();
    ShowWorkingLevel();
    Redraw();
    ShowWindowTitle();
    ViewRestored = 0;
}
