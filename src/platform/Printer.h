#pragma once
// What the program reads of the chosen printer. Without a printer (or before the print code installs its
// provider) nothing can be read.
#include <functional>
#include <optional>

namespace VB {

// Width of the printable page in millimetres in the print orientation, or nothing when no printer can be
// read.
std::optional<double> PrinterPageWidthMm();
// Installs the code that reads the printer; an empty function restores "no printer".
void SetPrinterPageWidthProvider(std::function<std::optional<double>()> provider);

} // namespace VB
