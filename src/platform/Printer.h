#pragma once
// The printers the program prints on: the installed printers, always ending with the "PDF File" printer,
// the current printer with its paper, orientation and page, the choice of a printer by its device name and
// the printing of a window's image. Tests install printers of their own (PDF files at fixed paths, image
// pages).
#include "platform/DrawingSurface.h"

#include <QImage>
#include <QPageSize>
#include <QRectF>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPaintDevice;
class QPainter;
class QWidget;

namespace VB {

// ---- Paper codes ----
// Papers are known by the numeric codes of the printer drivers, which the settings store keeps (9 is A4).
constexpr int PaperLetter = 1;
constexpr int PaperTabloid = 3;
constexpr int PaperLegal = 5;
constexpr int PaperA3 = 8;
constexpr int PaperA4 = 9;
constexpr int PaperA5 = 11;
// The code of a Qt page size; a size without a driver code gets one above 1000, so every paper has one.
int PaperCode(QPageSize::PageSizeId id);
// The page size of a code; nothing for a code that names no size.
std::optional<QPageSize::PageSizeId> PaperPageSize(int code);

// Orientations of the printer.
constexpr int vbPRORPortrait = 1;
constexpr int vbPRORLandscape = 2;

// The error numbers of the printer: a value it does not take, and a document that cannot start or end.
constexpr int InvalidPropertyValue = 380;
constexpr int PrinterError = 482;
// The user cancelled the choice of the file a document goes to.
constexpr int PrintCancelled = 32755;

struct Paper {
    int code = 0;
    std::string name; // Windows-1252
};

// One document being printed: the device it is painted on, page by page.
class PrintDocument {
public:
    virtual ~PrintDocument() = default;
    virtual QPaintDevice &Device() = 0;
    // The printable area of a page in device pixels.
    virtual QRectF Area() const = 0;
    // Starts the next page; `painter` is the open painter on the device.
    virtual void NewPage(QPainter &painter) = 0;
    // Called before the painter ends, when the document is to be thrown away.
    virtual void Abort() {}
    // Called after the painter ended: the document goes out. Throws VBError when it cannot.
    virtual void Finish() = 0;
};

// An installed printer.
class PrinterDriver {
public:
    virtual ~PrinterDriver() = default;
    virtual std::string DeviceName() const = 0;
    // The papers it takes, in its own order.
    virtual std::vector<Paper> Papers() const = 0;
    // The paper a new document takes; 0 when it has none.
    virtual int DefaultPaper() const;
    // The printable rectangle of this paper in this orientation, millimetres from the page's top-left
    // corner; nothing when it cannot be read.
    virtual std::optional<QRectF> PrintableArea(int paperCode, int orientation) const = 0;
    // Dots per inch of its pages.
    virtual double Resolution() const = 0;
    // Opens a document. Throws VBError PrinterError (or a file error) when it cannot start, and
    // PrintCancelled when the user chose not to print.
    virtual std::unique_ptr<PrintDocument> Open(int paperCode, int orientation) = 0;
};

// Prints into PDF files, on the page less 10 mm a side. A document is written to a temporary file beside
// its target, which it replaces only when the document ends, so an abandoned document leaves an existing
// file whole.
class PdfPrinter : public PrinterDriver {
public:
    // Without a file, each document asks for its file through the save dialog.
    explicit PdfPrinter(std::string deviceName, std::string file = "",
                        std::vector<int> paperCodes = {PaperA3, PaperA4, PaperA5, PaperLetter, PaperLegal,
                                                       PaperTabloid});
    std::string DeviceName() const override { return name_; }
    std::vector<Paper> Papers() const override;
    int DefaultPaper() const override;
    std::optional<QRectF> PrintableArea(int paperCode, int orientation) const override;
    double Resolution() const override { return 1200; }
    std::unique_ptr<PrintDocument> Open(int paperCode, int orientation) override;

private:
    std::string name_;
    std::string file_;
    std::vector<int> papers_;
};

// The current printer as the program's procedures draw on it. A document starts with the first drawing
// call and goes out at EndDoc. Pen widths count in dots of a 600-dpi device on every printer; the user
// scale covers the printable area.
class PrinterPage : public DrawingSurface {
public:
    PrinterPage();
    ~PrinterPage() override;

    std::string DeviceName() const;
    std::vector<Paper> Papers() const;
    int PaperSize() const { return paper_; }
    // Throws VBError InvalidPropertyValue for a paper the printer does not take.
    void SetPaperSize(int code);
    int Orientation() const { return orientation_; }
    // vbPRORPortrait or vbPRORLandscape; anything else throws VBError InvalidPropertyValue.
    void SetOrientation(int orientation);
    // Size of the printable area, millimetres. Throws VBError PrinterError when it cannot be read.
    double PrintableWidthMm() const;
    double PrintableHeightMm() const;
    // The user scale becomes the printable area in millimetres or twips from its top-left corner.
    void ScaleMillimetres();
    void ScaleTwips();

    bool DocumentOpen() const { return document_ != nullptr; }
    // True when the last attempt to start a document failed (the printer is gone, the file cannot be
    // written); a retry starts it again.
    bool StartFailed() const { return startFailed_; }
    void NewPage();
    // Sends the document; nothing when none was started. Throws VBError when it cannot go out (the
    // document is gone either way).
    void EndDoc();
    // Throws the document away: nothing reaches the printer or the file.
    void KillDoc();
    // Several printouts as the pages of one document (the copies of one print), so that a file is asked
    // for once: from BeginJob to EndJob, EndDoc ends only the printout, and KillDoc throws away the whole
    // document and marks the job cancelled.
    void BeginJob();
    // Sends the job's document if one started; throws as EndDoc.
    void EndJob();
    bool JobCancelled() const { return jobCancelled_; }

    // The printer it prints on; the page takes its default paper and portrait orientation.
    void SetDriver(std::shared_ptr<PrinterDriver> driver);
    const std::shared_ptr<PrinterDriver> &Driver() const { return driver_; }

protected:
    QPaintDevice &device() override;
    QRectF area() const override;
    const QPaintDevice &metricsDevice() const override { return metrics_; }
    double penUnit() const override;
    bool cachesScaledPictures() const override { return false; }
    void paintingFailed() override;

private:
    std::shared_ptr<PrinterDriver> driver_;
    int paper_ = 0;
    int orientation_ = vbPRORPortrait;
    std::unique_ptr<PrintDocument> document_;
    bool startFailed_ = false;
    bool job_ = false;
    bool jobCancelled_ = false;
    QImage metrics_;
    std::optional<QRectF> printable() const;
    void scaleTo(double unitsPerMm);
};

// A print job on a page for the life of the object: Send ends it and sends its document; a job not sent
// sends nothing.
class PrintJob {
public:
    explicit PrintJob(PrinterPage &page) : page_(page) { page_.BeginJob(); }
    ~PrintJob();
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;
    // True when a printout of the job was cancelled: nothing of the job goes out.
    bool Cancelled() const { return page_.JobCancelled(); }
    // Throws as EndDoc.
    void Send();

private:
    PrinterPage &page_;
    bool ended_ = false;
};

// The current printer (the installed list is read from the system on first use).
PrinterPage &Printer();
// Device names of the installed printers in their order; the last is "PDF File".
std::vector<std::string> PrinterNames();
// The papers of the installed printer with this device name; none for a name no printer has.
std::vector<Paper> PrinterPapers(const std::string &deviceName);
// Replaces the installed printers (tests); the "PDF File" printer is added at the end and the first
// printer becomes current.
void SetInstalledPrinters(std::vector<std::shared_ptr<PrinterDriver>> printers);
// The system's printers again, the system's default current.
void UseSystemPrinters();

// Makes the installed printer with exactly this device name current. An empty name receives the current
// printer's device name; a name no printer has keeps the current printer.
void SelectPrinter(std::string &name);

// Prints the window's image on the named printer (chosen first by SelectPrinter) at its screen size, made
// smaller when the page is smaller. False when either step failed; nothing is then printed.
bool PrintWindowImage(QWidget &window, std::string &printerName);

// Width and height of the printable page in millimetres in the print orientation, or nothing when no
// printer can be read (the caption's drawing scale).
std::optional<QSizeF> PrinterPageSizeMm();
// Installs the code that reads the printer; an empty function restores "no printer".
void SetPrinterPageSizeProvider(std::function<std::optional<QSizeF>()> provider);

} // namespace VB
