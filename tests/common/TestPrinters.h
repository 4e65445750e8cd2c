#pragma once
// Printers for tests: pages printed on images, and the installed printers replaced for one test.
#include "platform/Printer.h"

#include <QImage>

#include <functional>

#include <memory>
#include <string>
#include <vector>

// Prints each page on an image of its printable area (the page less 10 mm a side) at a low resolution.
class ImagePrinter : public VB::PrinterDriver {
public:
    explicit ImagePrinter(std::string name, std::vector<int> papers = {VB::PaperA4, VB::PaperA3},
                          double dpi = 100);
    std::string DeviceName() const override { return name_; }
    std::vector<VB::Paper> Papers() const override;
    std::optional<QRectF> PrintableArea(int paperCode, int orientation) const override;
    double Resolution() const override { return dpi_; }
    std::unique_ptr<VB::PrintDocument> Open(int paperCode, int orientation) override;

    // Pages of the documents that went out, in order.
    std::vector<QImage> pages;
    int documents = 0;     // documents that went out
    int opened = 0;        // documents started
    int startFailures = 0; // the next this many documents cannot start, as with a printer switched off
    std::function<void()> onOpen; // runs as each document starts

private:
    std::string name_;
    std::vector<int> papers_;
    double dpi_;
};

// Installs these printers (the "PDF File" printer follows them) for the life of the object; the first is
// current.
class TestPrinters {
public:
    explicit TestPrinters(std::vector<std::shared_ptr<VB::PrinterDriver>> printers);
    ~TestPrinters();
    TestPrinters(const TestPrinters &) = delete;
    TestPrinters &operator=(const TestPrinters &) = delete;
};
