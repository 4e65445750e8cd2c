#include "platform/Printer.h"

#include <utility>

namespace {
std::function<std::optional<double>()> &provider() {
    static std::function<std::optional<double>()> current;
    return current;
}
} // namespace

std::optional<double> VB::PrinterPageWidthMm() {
    if (!provider())
        return std::nullopt;
    return provider()();
}

void VB::SetPrinterPageWidthProvider(std::function<std::optional<double>()> p) {
    provider() = std::move(p);
}
