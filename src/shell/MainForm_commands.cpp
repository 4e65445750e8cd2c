// Network-wide commands, the title note and memo, the About box, the web page, the window bitmap and the
// print setup of the main window.
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"
#include "shell/MainForm.h"
#include "shell/frmAbout2.h"
#include "shell/frmFileNote.h"
#include "shell/network_commands.h"
#include "shell/shell_state.h"
#include "simulation/smoke_spread.h"

#include <QDesktopServices>
#include <QUrl>

#include <cmath>

namespace {

// The build's web address of the program; empty when none was configured.
const char *const WebPage = GUSTROM_WEB_PAGE;

// The naming is one undo step.
const char *const AutoNameQuestion = " that do not have an existing name - Are you sure you want to proceed "
                                     "(Edit > Undo takes it back) ?";

} // namespace

bool MainForm::WebPageConfigured() {
    return WebPage[0] != '\0';
}

// ---- Network-wide commands ----

void MainForm::mnuAutoName_Click() {
    if (VB::MsgBox(std::string("This routine automatically names all airways") + AutoNameQuestion,
                   VB::vbOKCancel, "Auto name") != VB::vbOK)
        return;
    // Cancel on the prefix leaves every name as it was.
    const std::optional<std::string> prefix = VB::InputBoxOrCancel(
        "Enter a prefix (if any) you would like to appear in front of the auto number (eg 'B')",
        "Input Airway Prefix", "B");
    if (!prefix)
        return;
    AutoNameAirways(*prefix);
    Redraw();
}

void MainForm::mnuAutoNodes_Click() {
    if (VB::MsgBox(std::string("This routine automatically names all nodes") + AutoNameQuestion,
                   VB::vbOKCancel, "Auto name") != VB::vbOK)
        return;
    const std::optional<std::string> prefix = VB::InputBoxOrCancel(
        "Enter a prefix (if any) you would like to appear in front of the auto number (eg 'N')",
        "Input Node Prefix", "N");
    if (!prefix)
        return;
    VB::SetScreenPointer(VB::vbHourglass);
    AutoNameNodes(*prefix);
    Redraw();
    VB::SetScreenPointer(VB::vbDefault);
}

void MainForm::mnuPres_Click() {
    if (VB::MsgBox(
            "This routine will automatically copy existing airflows to branch names that do not have a "
            "pre-existing text name.\r\n\r\nAre you sure you want to proceed ?",
            VB::vbYesNo, "Auto name") != VB::vbYes)
        return;
    PreserveFlowNames();
    Redraw();
}

void MainForm::mnuRmvFlow_Click() {
    RemoveFlowNames();
    Redraw();
}

void MainForm::mnuFixL_Click() {
    if (VB::MsgBox("All lengths will be fixed - Are you sure?", VB::vbYesNo | VB::vbQuestion,
                   "Fix all lengths") == VB::vbNo)
        return;
    SetAllLengthsFixed(true);
    VB::MsgBox("All lengths are now fixed", VB::vbOKOnly, "Fix all lengths");
}

void MainForm::mnuUnFixL_Click() {
    if (VB::MsgBox("All lengths will be unfixed and recalculated - Are you sure?",
                   VB::vbYesNo | VB::vbQuestion, "Unfix all lengths") == VB::vbNo)
        return;
    SetAllLengthsFixed(false);
    VB::MsgBox("All lengths are now unfixed", VB::vbOKOnly, "Unfix all lengths");
}

void MainForm::mnuchecknumbers_Click() {
    std::vector<int32_t> before(static_cast<size_t>(AirwayCount));
    for (int a = 1; a <= AirwayCount; ++a)
        before[static_cast<size_t>(a - 1)] = AirwayNumber(a);
    CheckAirwayNumbers();
    for (int a = 1; a <= AirwayCount; ++a)
        if (AirwayNumber(a) != before[static_cast<size_t>(a - 1)]) {
            NetworkSaved = 0;
            break;
        }
}

void MainForm::mnuResetAir_Click() {
    RenumberAirways(1, true);
    NetworkSaved = 0;
    VB::MsgBox("Airways renumbered !");
    Redraw();
}

void MainForm::mnuremdup_Click() {
    if (OrientDuplicates() == 0)
        VB::MsgBox("No duplicate airways found", VB::vbInformation, "Remove duplicates");
}

void MainForm::mnuResetAirflows_Click() {
    const std::string answer = VB::InputBox(
        "Warning !  This will re-seed all airways (except fixed airways) to a specified value.  Subsequent "
        "resimulation will allow Gustrom to attempt to rebalance the network.\r\n\r\nPlease enter your seed "
        "value",
        "Re-seed airflows", "10");
    if (answer.empty())
        return;
    // The seed is a whole number of the program's short integer range.
    const double seed = VB::Int(VB::Val(answer));
    if (!std::isfinite(seed) || seed < -32768 || seed > 32767) {
        VB::MsgBox("The seed value must lie between -32768 and 32767", VB::vbExclamation, "Re-seed airflows");
        return;
    }
    ReseedAirflows(static_cast<int>(seed));
    RedrawAll();
}

void MainForm::mnuRevCoord_Click() {
    if (VB::MsgBox("This will swap your X & Y axis.  Are you sure you wish to do this ?",
                   VB::vbOKCancel | VB::vbQuestion, "Swap Axis") != VB::vbOK)
        return;
    SwapXY();
    NetworkSaved = 0;
}

void MainForm::mnuReverse_Click() {
    if (VB::MsgBox(
            "Gustrom will swap your X and Y axis coordinates.  This will affect importing and exporting "
            "of data to other programs.  Do you wish to proceed ?",
            VB::vbYesNo | VB::vbQuestion, "Alter coordinate system") != VB::vbNo)
        ReverseCoordinateAxes();
    Redraw();
}

void MainForm::mnuClrSmoke_Click() {
    const bool sources = VB::MsgBox("Clear contaminant sources as well?", VB::vbYesNo | VB::vbQuestion,
                                    "CLEAR CONTAMINANT") == VB::vbYes;
    ClearSmokeTracking(sources);
    RedrawAll();
}

void MainForm::mnuClrSources_Click() {
    ClearSmokeReports();
    RedrawAll();
}

void MainForm::mnuDeselect_Click() {
    DeselectAll();
    RedrawAll();
}

// ---- Title note and memo ----

void MainForm::mnuComment_Click() {
    const std::optional<std::string> answer = VB::InputBoxOrCancel(
        "Enter Note for Title Bar", "File Comment", NetworkTitle.empty() ? "Gustrom File" : NetworkTitle);
    // Cancel keeps the note.
    if (!answer)
        return;
    // A refused note keeps the one before it: the message says what was wrong, nothing is lost.
    if (answer->find('"') != std::string::npos) {
        VB::MsgBox("Invalid comment text");
        return;
    }
    if (answer->find(',') != std::string::npos) {
        VB::MsgBox("Commas not allowed in comment !");
        return;
    }
    const bool changed = NetworkTitle != *answer;
    NetworkTitle = *answer;
    ShowWindowTitle();
    if (changed)
        NetworkSaved = 0;
}

frmFileNote &MainForm::FileNoteWindow() {
    if (!fileNote_)
        fileNote_ = std::make_unique<frmFileNote>();
    return *fileNote_;
}

void MainForm::mnuMessage_Click() {
    frmFileNote &note = FileNoteWindow();
    if (!note.isVisible())
        note.Form_Load();
    if (MemoLeft == 0 && MemoTop == 0) {
        // First opening: 5000 twips square in the lower right corner of the main window's work area, so
        // that its status bar stays in view.
        MemoWidth = MemoHeight = 5000;
        const QRect work = VB::WorkArea(*this);
        MemoLeft = PixelsToTwips(work.x() + work.width(), 0) - static_cast<int32_t>(MemoWidth);
        MemoTop = PixelsToTwips(work.y() + work.height(), 1) - static_cast<int32_t>(MemoHeight);
    }
    VB::SetOuterGeometry(note, QRect(TwipsToPixels(MemoLeft, 0), TwipsToPixels(MemoTop, 1),
                                     TwipsToPixels(static_cast<int32_t>(MemoWidth), 0),
                                     TwipsToPixels(static_cast<int32_t>(MemoHeight), 1)));
    note.show();
    note.raise();
}

bool MainForm::FileNoteShown() const {
    return fileNote_ && fileNote_->isVisible();
}

std::string MainForm::FileNoteText() const {
    return fileNote_ ? fileNote_->Text() : std::string();
}

void MainForm::SetFileNoteText(const std::string &text) {
    FileNoteWindow().SetText(text);
}

void MainForm::SetFileNoteSelStart(int start) {
    auto *box = FileNoteWindow().MessageBox;
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(std::clamp(start, 0, static_cast<int>(box->toPlainText().size())));
    box->setTextCursor(cursor);
}

// ---- About, web page, bitmap, print setup ----

void MainForm::mnuAbout_Click() {
    frmAbout2 about(this);
    VB::ShowModal(about);
    Redraw();
}

void MainForm::mnuWebPage_Click() {
    if (WebPageConfigured())
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(WebPage)));
}

void MainForm::mnuSvScreen_Click() {
    VB::FileRequest request;
    request.save = true;
    request.defaultExt = "BMP";
    request.filter = "Picture Files (*.BMP)|*.BMP|All files (*.*)|*.*";
    request.filterIndex = 1;
    request.fileName = BitmapFileName;
    request.confirmOverwrite = true;
    const std::optional<std::string> chosen = VB::FileDialog(request);
    if (!chosen)
        return;
    if (chosen->empty()) {
        DialogCancelled = true;
        VB::MsgBox("Error Save File - Check Name", VB::vbExclamation);
        return;
    }
    BitmapFileName = *chosen;
    const PictureBox *picture = ActivePicture();
    if (picture == nullptr)
        return;
    Redraw();
    // A picture that cannot be written is said, not passed over.
    if (!picture->Image().save(ToQt(BitmapFileName), "BMP"))
        VB::MsgBox("Error Save File - Check Name", VB::vbExclamation);
    Redraw();
}

void MainForm::mnuPsetup_Click() {
    const std::optional<VB::PrinterChoice> choice = VB::PrintSetupDialog();
    VB::DoEvents();
    VB::SetScreenPointer(VB::vbDefault);
    if (!choice)
        return;
    std::string name = choice->deviceName;
    VB::SelectPrinter(name);
    try {
        VB::Printer().SetPaperSize(choice->paperCode);
    } catch (const std::exception &) {
        // A paper the printer does not take leaves its own.
    }
    VB::SaveSetting("Gustrom", "Files", "PrinterName", VB::Printer().DeviceName());
    VB::SaveSetting("Gustrom", "Files", "Papersize", std::to_string(VB::Printer().PaperSize()));
}
