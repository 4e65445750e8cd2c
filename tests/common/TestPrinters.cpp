#include "common/TestPrinters.h"

#include "platform/VBError.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

class ImageDocument : public VB::PrintDocument {
public:
    ImageDocument(ImagePrinter &printer, QSizeF sizeMm, double dpi) : printer_(printer) {
        page_ = QImage(static_cast<int>(std::lround(sizeMm.width() * dpi / 25.4)),
                       static_cast<int>(std::lround(sizeMm.height() * dpi / 25.4)), QImage::Format_RGB32);
        const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
        page_.setDotsPerMeterX(dotsPerMetre);
        page_.setDotsPerMeterY(dotsPerMetre);
        page_.fill(Qt::white);
    }
    QPaintDevice &Device() override { return page_; }
    QRectF Area() const override { return QRectF(0, 0, page_.width(), page_.height()); }
    void NewPage(QPainter &painter) override {
        finished_.push_back(page_.copy());
        painter.fillRect(Area(), Qt::white);
    }
    void Finish() override {
        finished_.push_back(page_);
        printer_.pages.insert(printer_.pages.end(), finished_.begin(), finished_.end());
        ++printer_.documents;
    }

private:
    ImagePrinter &printer_;
    QImage page_;
    std::vector<QImage> finished_;
};

} // namespace

ImagePrinter::ImagePrinter(std::string name, std::vector<int> papers, double dpi)
    : name_(std::move(name)), papers_(std::move(papers)), dpi_(dpi) {}

std::vector<VB::Paper> ImagePrinter::Papers() const {
    std::vector<VB::Paper> list;
    for (int code : papers_) {
        const auto id = VB::PaperPageSize(code);
        list.push_back({code, id ? QPageSize::name(*id).toStdString() : std::string()});
    }
    return list;
}

std::optional<QRectF> ImagePrinter::PrintableArea(int paperCode, int orientation) const {
    const auto id = VB::PaperPageSize(paperCode);
    if (!id || std::find(papers_.begin(), papers_.end(), paperCode) == papers_.end())
        return std::nullopt;
    QSizeF page = QPageSize(*id).size(QPageSize::Millimeter);
    if (orientation == VB::vbPRORLandscape)
        page.transpose();
    return QRectF(10, 10, page.width() - 20, page.height() - 20);
}

std::unique_ptr<VB::PrintDocument> ImagePrinter::Open(int paperCode, int orientation) {
    const auto area = PrintableArea(paperCode, orientation);
    if (!area)
        throw VBError(VB::PrinterError, "Printer error");
    if (startFailures > 0) {
        --startFailures;
        throw VBError(VB::PrinterError, "Printer error");
    }
    ++opened;
    if (onOpen)
        onOpen();
    return std::make_unique<ImageDocument>(*this, area->size(), dpi_);
}

TestPrinters::TestPrinters(std::vector<std::shared_ptr<VB::PrinterDriver>> printers) {
    VB::SetInstalledPrinters(std::move(printers));
}

TestPrinters::~TestPrinters() {
    VB::UseSystemPrinters();
}
