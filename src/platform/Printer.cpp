#include "platform/Printer.h"

#include "platform/Dialogs.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRandomGenerator>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace VB {

namespace {

// Driver paper codes and the page sizes they name.
struct PaperEntry {
    int code;
    QPageSize::PageSizeId id;
};
constexpr PaperEntry PaperTable[] = {
    {1, QPageSize::Letter},
    {3, QPageSize::Tabloid},
    {4, QPageSize::Ledger},
    {5, QPageSize::Legal},
    {6, QPageSize::Statement},
    {7, QPageSize::Executive},
    {8, QPageSize::A3},
    {9, QPageSize::A4},
    {11, QPageSize::A5},
    {12, QPageSize::JisB4},
    {13, QPageSize::JisB5},
    {14, QPageSize::Folio},
    {15, QPageSize::Quarto},
    {16, QPageSize::Imperial10x14},
    {18, QPageSize::Note},
    {19, QPageSize::Envelope9},
    {20, QPageSize::Envelope10},
    {21, QPageSize::Envelope11},
    {22, QPageSize::Envelope12},
    {23, QPageSize::Envelope14},
    {27, QPageSize::EnvelopeDL},
    {28, QPageSize::EnvelopeC5},
    {29, QPageSize::EnvelopeC3},
    {30, QPageSize::EnvelopeC4},
    {31, QPageSize::EnvelopeC6},
    {32, QPageSize::EnvelopeC65},
    {33, QPageSize::EnvelopeB4},
    {34, QPageSize::EnvelopeB5},
    {35, QPageSize::EnvelopeB6},
    {36, QPageSize::EnvelopeItalian},
    {37, QPageSize::EnvelopeMonarch},
    {38, QPageSize::EnvelopePersonal},
    {39, QPageSize::FanFoldUS},
    {40, QPageSize::FanFoldGerman},
    {41, QPageSize::FanFoldGermanLegal},
    {42, QPageSize::B4},
    {43, QPageSize::Postcard},
    {66, QPageSize::A2},
    {69, QPageSize::DoublePostcard},
    {70, QPageSize::A6},
};
constexpr int UncodedPaperBase = 1000;

QPageLayout::Orientation qtOrientation(int orientation) {
    return orientation == vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

std::string paperName(int code) {
    const auto id = PaperPageSize(code);
    return id ? FromQt(QPageSize::name(*id)) : std::string();
}

// ---- PDF documents ----

// A document on a QPrinter: a system printer, or a PDF file.
class QtDocument : public PrintDocument {
public:
    explicit QtDocument(const QPrinterInfo &info = QPrinterInfo())
        : printer_(info, QPrinter::HighResolution) {
        printer_.setFullPage(false);
    }
    QPaintDevice &Device() override { return printer_; }
    QRectF Area() const override {
        // The layout is fixed for the document; it is read once.
        if (area_.isEmpty())
            area_ = QRectF(QPointF(), printer_.pageLayout().paintRectPixels(printer_.resolution()).size());
        return area_;
    }
    void NewPage(QPainter &) override {
        if (!printer_.newPage())
            throw VBError(PrinterError, "Printer error");
    }
    void Abort() override { printer_.abort(); }
    void Finish() override {
        if (printer_.printerState() == QPrinter::Error)
            throw VBError(PrinterError, "Printer error");
    }

protected:
    QPrinter printer_;

private:
    mutable QRectF area_;
};

class PdfDocument : public QtDocument {
public:
    PdfDocument(const QString &target, QPageSize::PageSizeId paper, int orientation, double dpi)
        : target_(target) {
        // The temporary file sits beside the target, so the finished document replaces it in one rename. It
        // is made as any new file of the user is, so that others may read the document as they read his
        // other files.
        const QDir folder = QFileInfo(target).absoluteDir();
        if (!folder.exists())
            throw VBError(VBErr::PathNotFound, "path not found");
        constexpr QFileDevice::Permissions anyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ReadOther | QFileDevice::WriteOther;
        for (int attempt = 0; attempt < 16 && temp_.isEmpty(); ++attempt) {
            const QString name =
                folder.filePath(QStringLiteral(".gustrom-print-%1.pdf")
                                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
            if (QFile file(name); file.open(QIODevice::WriteOnly | QIODevice::NewOnly, anyone))
                temp_ = name;
        }
        if (temp_.isEmpty())
            throw VBError(75, "path/file access error");
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(temp_);
        printer_.setResolution(static_cast<int>(dpi));
        printer_.setPageLayout(QPageLayout(QPageSize(paper), qtOrientation(orientation),
                                           QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    }
    ~PdfDocument() override {
        if (!finished_)
            QFile::remove(temp_);
    }
    void Abort() override {}
    void Finish() override {
        // rename() replaces the target in one step: a reader sees the old file or the whole new one. A file
        // replaced keeps its permissions.
        if (QFileInfo::exists(target_))
            QFile::setPermissions(temp_, QFile::permissions(target_));
        if (QFileInfo(temp_).size() <= 0 ||
            std::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0)
            throw VBError(75, "path/file access error");
        finished_ = true;
    }

private:
    QString target_;
    QString temp_;
    bool finished_ = false;
};

// ---- The system's printers ----

class SystemPrinter : public PrinterDriver {
public:
    explicit SystemPrinter(QPrinterInfo info) : info_(std::move(info)) {}
    std::string DeviceName() const override { return FromQt(info_.printerName()); }
    std::vector<Paper> Papers() const override {
        std::vector<Paper> papers;
        for (const QPageSize &size : info_.supportedPageSizes())
            papers.push_back({PaperCode(size.id()), FromQt(size.name())});
        return papers;
    }
    int DefaultPaper() const override { return PaperCode(info_.defaultPageSize().id()); }
    std::optional<QRectF> PrintableArea(int paperCode, int orientation) const override {
        const auto id = PaperPageSize(paperCode);
        if (!id)
            return std::nullopt;
        QPrinter printer(info_, QPrinter::HighResolution);
        printer.setPageSize(QPageSize(*id));
        printer.setPageOrientation(qtOrientation(orientation));
        return printer.pageLayout().paintRect(QPageLayout::Millimeter);
    }
    double Resolution() const override { return QPrinter(info_, QPrinter::HighResolution).resolution(); }
    std::unique_ptr<PrintDocument> Open(int paperCode, int orientation) override {
        const auto id = PaperPageSize(paperCode);
        if (!id || info_.isNull())
            throw VBError(PrinterError, "Printer error");
        return std::make_unique<Document>(info_, *id, orientation);
    }

private:
    class Document : public QtDocument {
    public:
        Document(const QPrinterInfo &info, QPageSize::PageSizeId paper, int orientation) : QtDocument(info) {
            printer_.setPageSize(QPageSize(paper));
            printer_.setPageOrientation(qtOrientation(orientation));
        }
    };
    QPrinterInfo info_;
};

// ---- The installed printers and the current one ----

struct Installed {
    std::vector<std::shared_ptr<PrinterDriver>> printers;
    std::unique_ptr<PrinterPage> page;
};

std::shared_ptr<PrinterDriver> pdfFilePrinter() {
    return std::make_shared<PdfPrinter>("PDF File");
}

Installed &installed() {
    static Installed state;
    if (!state.page) {
        state.page = std::make_unique<PrinterPage>();
        for (const QPrinterInfo &info : QPrinterInfo::availablePrinters())
            state.printers.push_back(std::make_shared<SystemPrinter>(info));
        state.printers.push_back(pdfFilePrinter());
        const QString preferred = QPrinterInfo::defaultPrinterName();
        auto current = std::find_if(state.printers.begin(), state.printers.end(),
                                    [&](const auto &p) { return ToQt(p->DeviceName()) == preferred; });
        state.page->SetDriver(current != state.printers.end() ? *current : state.printers.front());
    }
    return state;
}

std::function<std::optional<QSizeF>()> &sizeProvider() {
    static std::function<std::optional<QSizeF>()> current;
    return current;
}

} // namespace

int PaperCode(QPageSize::PageSizeId id) {
    for (const PaperEntry &entry : PaperTable)
        if (entry.id == id)
            return entry.code;
    return UncodedPaperBase + static_cast<int>(id);
}

std::optional<QPageSize::PageSizeId> PaperPageSize(int code) {
    for (const PaperEntry &entry : PaperTable)
        if (entry.code == code)
            return entry.id;
    const int id = code - UncodedPaperBase;
    if (id >= 0 && id < static_cast<int>(QPageSize::LastPageSize) && id != QPageSize::Custom)
        return static_cast<QPageSize::PageSizeId>(id);
    return std::nullopt;
}

int PrinterDriver::DefaultPaper() const {
    const std::vector<Paper> papers = Papers();
    for (const Paper &p : papers)
        if (p.code == PaperA4)
            return p.code;
    return papers.empty() ? 0 : papers.front().code;
}

// ---- PdfPrinter ----

PdfPrinter::PdfPrinter(std::string deviceName, std::string file, std::vector<int> paperCodes)
    : name_(std::move(deviceName)), file_(std::move(file)), papers_(std::move(paperCodes)) {}

std::vector<Paper> PdfPrinter::Papers() const {
    std::vector<Paper> papers;
    for (int code : papers_)
        papers.push_back({code, paperName(code)});
    return papers;
}

int PdfPrinter::DefaultPaper() const {
    return PrinterDriver::DefaultPaper();
}

std::optional<QRectF> PdfPrinter::PrintableArea(int paperCode, int orientation) const {
    const auto id = PaperPageSize(paperCode);
    if (!id || std::find(papers_.begin(), papers_.end(), paperCode) == papers_.end())
        return std::nullopt;
    QSizeF page = QPageSize(*id).size(QPageSize::Millimeter);
    if (orientation == vbPRORLandscape)
        page.transpose();
    return QRectF(10, 10, page.width() - 20, page.height() - 20);
}

std::unique_ptr<PrintDocument> PdfPrinter::Open(int paperCode, int orientation) {
    const auto id = PaperPageSize(paperCode);
    if (!id)
        throw VBError(PrinterError, "Printer error");
    std::string target = file_;
    if (target.empty()) {
        FileRequest request;
        request.save = true;
        request.filter = "PDF Files (*.pdf)|*.pdf";
        request.defaultExt = "pdf";
        request.confirmOverwrite = true;
        const auto chosen = FileDialog(request);
        if (!chosen || chosen->empty())
            throw VBError(PrintCancelled, "Cancel was selected.");
        target = *chosen;
    }
    return std::make_unique<PdfDocument>(ToQt(target), *id, orientation, Resolution());
}

// ---- PrinterPage ----

PrinterPage::PrinterPage() {
    holdPainter_ = true;
    metrics_ = QImage(1, 1, QImage::Format_RGB32);
}

PrinterPage::~PrinterPage() {
    KillDoc();
}

std::string PrinterPage::DeviceName() const {
    return driver_ ? driver_->DeviceName() : std::string();
}

std::vector<Paper> PrinterPage::Papers() const {
    return driver_ ? driver_->Papers() : std::vector<Paper>{};
}

void PrinterPage::SetDriver(std::shared_ptr<PrinterDriver> driver) {
    KillDoc();
    driver_ = std::move(driver);
    startFailed_ = false;
    paper_ = driver_ ? driver_->DefaultPaper() : 0;
    orientation_ = vbPRORPortrait;
    const double dpi = driver_ ? driver_->Resolution() : 600;
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    metrics_.setDotsPerMeterX(dotsPerMetre);
    metrics_.setDotsPerMeterY(dotsPerMetre);
    resetCaches();
    ScaleTwips();
    CurrentX = 0;
    CurrentY = 0;
}

void PrinterPage::SetPaperSize(int code) {
    const std::vector<Paper> papers = Papers();
    if (std::none_of(papers.begin(), papers.end(), [&](const Paper &p) { return p.code == code; }))
        throw VBError(InvalidPropertyValue, "Invalid property value");
    paper_ = code;
}

void PrinterPage::SetOrientation(int orientation) {
    if (orientation != vbPRORPortrait && orientation != vbPRORLandscape)
        throw VBError(InvalidPropertyValue, "Invalid property value");
    orientation_ = orientation;
}

std::optional<QRectF> PrinterPage::printable() const {
    if (!driver_)
        return std::nullopt;
    const auto rect = driver_->PrintableArea(paper_, orientation_);
    if (!rect || !(rect->width() > 0) || !(rect->height() > 0))
        return std::nullopt;
    return rect;
}

double PrinterPage::PrintableWidthMm() const {
    const auto rect = printable();
    if (!rect)
        throw VBError(PrinterError, "Printer error");
    return rect->width();
}

double PrinterPage::PrintableHeightMm() const {
    const auto rect = printable();
    if (!rect)
        throw VBError(PrinterError, "Printer error");
    return rect->height();
}

void PrinterPage::scaleTo(double unitsPerMm) {
    // A printer without a readable page keeps a unit square, so that the arithmetic stays finite.
    const auto rect = printable();
    ScaleLeft = 0;
    ScaleTop = 0;
    ScaleWidth = rect ? rect->width() * unitsPerMm : 1;
    ScaleHeight = rect ? rect->height() * unitsPerMm : 1;
}

void PrinterPage::ScaleMillimetres() {
    scaleTo(1);
}

void PrinterPage::ScaleTwips() {
    scaleTo(1440 / 25.4);
}

QRectF PrinterPage::area() const {
    if (document_)
        return document_->Area();
    const double dotsPerMm = metrics_.dotsPerMeterX() / 1000.0;
    const auto rect = printable();
    return rect ? QRectF(0, 0, rect->width() * dotsPerMm, rect->height() * dotsPerMm)
                : QRectF(0, 0, dotsPerMm * 25.4, dotsPerMm * 25.4);
}

double PrinterPage::penUnit() const {
    return (driver_ ? driver_->Resolution() : 600) / 600.0;
}

QPaintDevice &PrinterPage::device() {
    if (!document_) {
        startFailed_ = true;
        if (!driver_ || !printable())
            throw VBError(PrinterError, "Printer error");
        document_ = driver_->Open(paper_, orientation_);
        startFailed_ = false;
    }
    return document_->Device();
}

void PrinterPage::paintingFailed() {
    document_.reset();
    startFailed_ = true;
}

void PrinterPage::NewPage() {
    QPainter &painter = openPainter();
    document_->NewPage(painter);
}

void PrinterPage::EndDoc() {
    if (!document_ || job_)
        return;
    releasePainter();
    std::unique_ptr<PrintDocument> document = std::move(document_);
    document->Finish();
}

void PrinterPage::KillDoc() {
    if (job_)
        jobCancelled_ = true;
    if (!document_)
        return;
    document_->Abort();
    releasePainter();
    document_.reset();
}

void PrinterPage::BeginJob() {
    job_ = true;
    jobCancelled_ = false;
}

void PrinterPage::EndJob() {
    job_ = false;
    EndDoc();
}

PrintJob::~PrintJob() {
    if (!ended_) {
        page_.KillDoc();
        page_.EndJob();
    }
}

void PrintJob::Send() {
    ended_ = true;
    page_.EndJob();
}

// ---- The installed printers ----

PrinterPage &Printer() {
    return *installed().page;
}

std::vector<std::string> PrinterNames() {
    std::vector<std::string> names;
    for (const auto &p : installed().printers)
        names.push_back(p->DeviceName());
    return names;
}

void SetInstalledPrinters(std::vector<std::shared_ptr<PrinterDriver>> printers) {
    Installed &state = installed();
    state.printers = std::move(printers);
    state.printers.push_back(pdfFilePrinter());
    state.page->SetDriver(state.printers.front());
}

void UseSystemPrinters() {
    Installed &state = installed();
    state.page->KillDoc();
    state.page.reset();
    state.printers.clear();
    installed();
}

std::vector<Paper> PrinterPapers(const std::string &deviceName) {
    for (const auto &p : installed().printers)
        if (p->DeviceName() == deviceName)
            return p->Papers();
    return {};
}

void SelectPrinter(std::string &name) {
    PrinterPage &page = Printer();
    if (name.empty()) {
        name = page.DeviceName();
        return;
    }
    for (const auto &p : installed().printers)
        if (p->DeviceName() == name) {
            if (p != page.Driver())
                page.SetDriver(p);
            return;
        }
    // A name no printer has keeps the current printer.
}

bool PrintWindowImage(QWidget &window, std::string &printerName) {
    PrinterPage &page = Printer();
    try {
        SelectPrinter(printerName);
        const QImage image = window.grab().toImage();
        page.ScaleMillimetres();
        // The window's size on paper is its size on the screen.
        const double mmPerPixelX = 25.4 / std::max(window.logicalDpiX(), 1);
        const double mmPerPixelY = 25.4 / std::max(window.logicalDpiY(), 1);
        double w = image.width() * mmPerPixelX, h = image.height() * mmPerPixelY;
        const double shrink = std::min({1.0, page.ScaleWidth / w, page.ScaleHeight / h});
        w *= shrink;
        h *= shrink;
        page.PaintPicture(image, 0, 0, w, h);
        page.EndDoc();
        return true;
    } catch (const std::exception &) {
        page.KillDoc();
        return false;
    }
}

std::optional<QSizeF> PrinterPageSizeMm() {
    if (!sizeProvider())
        return std::nullopt;
    return sizeProvider()();
}

void SetPrinterPageSizeProvider(std::function<std::optional<QSizeF>()> p) {
    sizeProvider() = std::move(p);
}

} // namespace VB
