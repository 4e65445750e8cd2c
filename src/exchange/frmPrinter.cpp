#include "exchange/frmPrinter.h"

#include "exchange/print_network.h"
#include "graphics/graphics_state.h"
#include "graphics/view_state.h"
#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"
#include "platform/WindowPlacement.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <exception>
#include <limits>

bool OrientationBusy = false;

namespace {

constexpr const char *App = "Gustrom";
constexpr const char *Section = "Files";

// Runs one statement of a handler whose failing statements are skipped.
template <typename Statement> void skipFailure(Statement &&statement) {
    try {
        statement();
    } catch (const std::exception &) {
    }
}

int storedNumber(const char *key) {
    return static_cast<int>(VB::Val(VB::GetSetting(App, Section, key, "0")));
}

// A page outline: a box in the proportions of the paper.
QFrame *pageOutline(QWidget *parent, int width, int height) {
    auto *shape = new QFrame(parent);
    shape->setFrameShape(QFrame::Box);
    shape->setFixedSize(width, height);
    return shape;
}

} // namespace

frmPrinter::frmPrinter(QWidget *parent) : QDialog(parent) {
    setWindowTitle("PRINT NETWORK");
    setModal(true);
    PrintList = new VBComboBox(this);
    PrintSize = new VBComboBox(this);
    PSizer = new QLineEdit(this);
    PSizer->setReadOnly(true);
    ChkColour = new VBCheckBox("Colour", this);
    auto *orientation = new QFrame(this);
    OptOrient[0] = new VBOptionButton("Portrait", orientation);
    OptOrient[1] = new VBOptionButton("Landscape", orientation);
    ShpPortrait = pageOutline(this, 42, 60);
    ShpLandscape = pageOutline(this, 60, 42);
    TxtTitle = new QLineEdit(this);
    TxtScale = new QLineEdit(this);
    TxtCopies = new QLineEdit(this);
    Printing = new QLabel("Printing ......", this);
    PrintIt = new QPushButton("Print", this);
    CancelIt = new QPushButton("Cancel", this);

    auto *orientationLayout = new QHBoxLayout(orientation);
    orientationLayout->addWidget(OptOrient[0]);
    orientationLayout->addWidget(OptOrient[1]);
    auto *grid = new QGridLayout(this);
    int row = 0;
    const auto addRow = [&](const char *caption, QWidget *field) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(field, row++, 1, 1, 2);
    };
    addRow("Printer", PrintList);
    addRow("Paper", PrintSize);
    addRow("Size", PSizer);
    grid->addWidget(ChkColour, row, 0);
    grid->addWidget(orientation, row, 1);
    auto *outlines = new QHBoxLayout;
    outlines->addWidget(ShpPortrait);
    outlines->addWidget(ShpLandscape);
    grid->addLayout(outlines, row++, 2);
    addRow("Title", TxtTitle);
    addRow("Print Scale", TxtScale);
    addRow("Copies", TxtCopies);
    grid->addWidget(Printing, row++, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(PrintIt);
    buttons->addWidget(CancelIt);
    grid->addLayout(buttons, row, 0, 1, 3);

    // A "." typed into the scale is the decimal mark of the user's numbers; the title keeps what is typed.
    VB::DecimalKeyFilter::Install(TxtScale);
    TxtScale->installEventFilter(this);
    TxtTitle->installEventFilter(this);

    connect(PrintList, &VBComboBox::Click, this, [this] { PrintList_Click(); });
    connect(PrintSize, &VBComboBox::Click, this, [this] { PrintSize_Click(); });
    for (int index : {0, 1})
        connect(OptOrient[index], &VBOptionButton::Click, this, [this, index] { OptOrient_Click(index); });
    connect(PrintIt, &QPushButton::clicked, this, [this] { PrintIt_Click(); });
    connect(CancelIt, &QPushButton::clicked, this, [this] { CancelIt_Click(); });
    Form_Load();
    VB_NAME_CONTROLS(PrintList, PrintSize, PSizer, ChkColour, ShpPortrait, ShpLandscape, TxtTitle, TxtScale,
                     TxtCopies, Printing, PrintIt, CancelIt);
    VB::NameControlArray(OptOrient, "OptOrient");
}

void frmPrinter::Form_Load() {
    Loading = true;
    // While the dialog is open the caption shows the scale at which the window fits the page.
    PrintPageShown = true;
    VB::PrinterPage &printer = VB::Printer();
    CurrentLine = printer.DeviceName();
    // Listing the printers leaves the current one current.
    const std::vector<std::string> names = VB::PrinterNames();
    for (const std::string &name : names)
        PrintList->addItem(ToQt(name));
    PrintList->setCurrentIndex(
        PrintList->findText(ToQt(CurrentLine), Qt::MatchFixedString | Qt::MatchCaseSensitive));
    // The stored printer when it is installed; otherwise the one current at opening stays.
    std::string stored = VB::GetSetting(App, Section, "PrinterName", "");
    if (!stored.empty())
        VB::SelectPrinter(stored);
    skipFailure([&] { printer.SetPaperSize(storedNumber("Papersize")); });
    ChkColour->SetValue(storedNumber("PrintColour") != 0);
    PrintOrientation = storedNumber("PrintOrient") == 1 ? 1 : 0;
    OptOrient_Click(PrintOrientation);

    VB::KeepPlaceAndSize(*this, "frmPrinter");
    Printing->setVisible(false);
    TxtCopies->setText("1");
    TxtTitle->setText(ToQt(NetworkTitle.empty() ? std::string("Unnamed Network") : NetworkTitle));
    for (int i = 0; i < PrintList->count(); ++i)
        if (FromQt(PrintList->itemText(i)) == stored) {
            PrintList->SetListIndex(i);
            break;
        }
    PrintPreviewUpdate();
    Loading = false;
}

void frmPrinter::Form_Unload() {
    SavePrintSettings();
    PrintPageShown = false;
    ShowWindowTitle();
}

frmPrinter::~frmPrinter() {
    if (PrintPageShown) {
        PrintPageShown = false;
        ShowWindowTitle();
    }
}

void frmPrinter::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void frmPrinter::OptOrient_Click(int index) {
    if (OrientationBusy)
        return;
    VB::SetScreenPointer(VB::vbHourglass);
    skipFailure([&] {
        PrintOrientation = index;
        ShpLandscape->setVisible(PrintOrientation == 1);
        ShpPortrait->setVisible(PrintOrientation != 1);
        VB::Printer().SetOrientation(PrintOrientation + 1);
        // The printable size turns with the page.
        showPrintableSize();
        Setscale();
    });
    VB::SetScreenPointer(VB::vbDefault);
}

void frmPrinter::showPrintableSize() {
    const VB::PrinterPage &printer = VB::Printer();
    PSizer->setText(ToQt(VB::CStr(VB::Int(printer.PrintableWidthMm())) + "mm wide x " +
                         VB::Str(VB::Int(printer.PrintableHeightMm())) + "mm high"));
}

void frmPrinter::PrintPreviewUpdate() {
    VB::PrinterPage &printer = VB::Printer();
    VB::SetScreenPointer(VB::vbHourglass);
    VB::DoEvents();
    OrientationBusy = true;
    skipFailure([&] {
        ShpLandscape->setVisible(PrintOrientation == 1);
        ShpPortrait->setVisible(PrintOrientation != 1);
        OptOrient[PrintOrientation == 1 ? 1 : 0]->SetValue(true);
        printer.SetOrientation(PrintOrientation + 1);
    });
    OrientationBusy = false;
    VB::DoEvents();
    skipFailure([&] { showPrintableSize(); });
    PaperListFill();
    PrintSize->clear();
    for (int k = 1; k <= PaperCount; ++k)
        PrintSize->addItem(ToQt(PaperName[static_cast<size_t>(k)]));
    int selected = -1;
    for (int position = 0; position < PaperCount && selected < 0; ++position)
        if (PaperCode[static_cast<size_t>(position)] == printer.PaperSize())
            selected = position;
    PrintSize->setCurrentIndex(selected);
    skipFailure([&] { Setscale(); });
    VB::DoEvents();
    VB::SetScreenPointer(VB::vbDefault);
}

void frmPrinter::PaperListFill() {
    const std::vector<VB::Paper> papers = VB::Printer().Papers();
    PaperName.assign(1, std::string());
    PaperCode.clear();
    for (const VB::Paper &paper : papers) {
        PaperName.push_back(paper.name);
        PaperCode.push_back(paper.code);
    }
    PaperCount = static_cast<int>(papers.size());
}

void frmPrinter::Setscale() {
    const PictureBox *window = ActivePicture();
    if (window == nullptr)
        throw VBError(VB::PrinterError, "no graphics window");
    ViewWidth = window->ScaleWidth;
    const VB::PrinterPage &printer = VB::Printer();
    const double printable = printer.PrintableWidthMm();
    PageWidth = printable * 0.995;
    // Both page dimensions take part, so that a scale the dialog accepts is the scale printed.
    FitScale = FittedScale(ViewWidth, std::abs(window->ScaleHeight), printable, printer.PrintableHeightMm());
    TxtScale->setText(ToQt(VB::CStrSingle(FitScale)));
    ShowWindowTitle();
}

void frmPrinter::PrintList_Click() {
    if (Loading)
        return;
    std::string name = FromQt(PrintList->currentText());
    VB::SelectPrinter(name);
    PrintPreviewUpdate();
    VB::SetScreenPointer(VB::vbDefault);
}

void frmPrinter::PrintSize_Click() {
    skipFailure([&] {
        const int position = PrintSize->ListIndex();
        if (!TxtScale->text().isEmpty() && position >= 0 && position < static_cast<int>(PaperCode.size()))
            VB::Printer().SetPaperSize(PaperCode[static_cast<size_t>(position)]);
    });
    skipFailure([&] { showPrintableSize(); });
    skipFailure([&] { Setscale(); });
}

void frmPrinter::TxtScale_LostFocus() {
    if (VB::Val(FromQt(TxtScale->text()), ',') < FitScale) {
        VB::MsgBox("Scale exceeds paper size !");
        TxtScale->setText(ToQt(VB::CStrSingle(FitScale)));
    }
}

void frmPrinter::PrintIt_Click() {
    // The scale and the copies are read before anything is stored: one that cannot be used keeps the dialog
    // open with its box selected, the colour, scale and title as they were.
    const auto scale = VB::StrictNumber(FromQt(TxtScale->text()), ',');
    const auto copies = VB::CInt(VB::Val(FromQt(TxtCopies->text()), ','));
    QLineEdit *refused = !scale || std::abs(*scale) > std::numeric_limits<float>::max() ? TxtScale
                         : !copies                                                      ? TxtCopies
                                                                                        : nullptr;
    if (refused != nullptr) {
        VB::MsgBox("Error while trying to print - Check Printer");
        refused->setFocus();
        refused->selectAll();
        return;
    }
    VB::SetScreenPointer(VB::vbHourglass);
    try {
        PrintInColour = ChkColour->Value();
        PrintTitle = FromQt(TxtTitle->text());
        Printing->setVisible(true);
        // Every copy is printed at the typed scale (a printout ends with the scale back at "fit"). The
        // copies are the pages of one document, so a file printer asks for its file once; a cancelled copy
        // ends the whole print.
        VB::PrinterPage &page = VB::Printer();
        VB::PrintJob job(page);
        for (int left = *copies;;) {
            PrintScale = static_cast<float>(*scale);
            PrintNetwork();
            if (job.Cancelled() || --left <= 0)
                break;
            if (page.DocumentOpen())
                page.NewPage();
        }
        job.Send();
    } catch (const std::exception &) {
        VB::MsgBox("Error while trying to print - Check Printer");
    }
    accept();
}

void frmPrinter::CancelIt_Click() {
    reject();
}

void frmPrinter::SavePrintSettings() {
    const VB::PrinterPage &printer = VB::Printer();
    VB::SaveSetting(App, Section, "PrinterName", printer.DeviceName());
    VB::SaveSetting(App, Section, "Papersize", std::to_string(printer.PaperSize()));
    VB::SaveSetting(App, Section, "PrintColour", std::to_string(ChkColour->Value()));
    VB::SaveSetting(App, Section, "PrintOrient", std::to_string(PrintOrientation));
}

bool frmPrinter::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter moves on: from the scale to the copies, from the title to the printers.
            if (watched == TxtScale)
                TxtCopies->setFocus();
            else if (watched == TxtTitle)
                PrintList->setFocus();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == TxtScale && isVisible()) {
        TxtScale_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}
