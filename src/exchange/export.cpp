#include "exchange/export.h"

#include "exchange/dxf_writer.h"
#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "model/safe_file.h"
#include "model/text_files.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/System.h"

#include <exception>
#include <string_view>

int ExportMode = 0;

namespace {

constexpr std::string_view Heading =
    "X1\tY1\tZ1\tX2\tY2\tZ2\tQUANTITY\tRESISTANCE\tFAN TYPE\tNO FANS\tBRANCH NAME\t"
    "ENTRY NODE\tEXIT NODE\tHEIGHT\tWIDTH/DIAM\tAirway No\tBranch Code\tPressure\r\n";

// Marks of the moment (selection, drawing and solver marks) are not the airway's.
constexpr int32_t PassingMarks = AirwayFlag::ErrorMark | AirwayFlag::LayerVisible | AirwayFlag::Selected;

// The airway's flags with every end on the surface marked as a surface entry or exit, so that the ends
// stay on the surface whatever levels the reading network has.
int32_t exchangedFlags(int a) {
    int32_t flags = AirwayFlags(a) & ~PassingMarks;
    if (StartsAtSurface(a))
        flags |= AirwayFlag::SurfaceEntry;
    if (EndsAtSurface(a))
        flags |= AirwayFlag::SurfaceExit;
    return flags;
}

} // namespace

std::string ExportTextBytes() {
    const char separator = VB::LocaleDecimalSeparator();
    std::string out(Heading);
    out.reserve(Heading.size() + static_cast<std::size_t>(AirwayCount) * 240);
    const auto number = [&](float x) {
        AppendPrintedNumber(out, x, separator);
        out += '\t';
    };
    const auto whole = [&](int32_t x) {
        AppendPrintedNumber(out, x);
        out += '\t';
    };
    const auto name = [&](const NodeName &text) {
        out += text.str();
        out += '\t';
    };
    for (int a = 1; a <= AirwayCount; ++a) {
        for (int k = 1; k <= 3; ++k)
            number(ToDisplayUnits(static_cast<float>(AirwayStart(k, a)), Quantity::Length));
        for (int k = 1; k <= 3; ++k)
            number(ToDisplayUnits(static_cast<float>(AirwayEnd(k, a)), Quantity::Length));
        // Flows go at the precision the program shows them in SI; a resistance goes whole, for the file's
        // readers solve with it and a fixed number of decimals loses most of a small one's digits.
        number(ToDisplayUnits(ShownValue(AirwayFlow(a), 1), Quantity::Airflow));
        number(ToDisplayUnits(AirwayResistance(a), Quantity::Resistance));
        whole(AirwayFan(a));
        whole(AirwayFanCount(a));
        name(AirwayName(a));
        name(AirwayStartName(a));
        name(AirwayEndName(a));
        number(ToDisplayUnits(AirwaySize(1, a), Quantity::Length));
        number(ToDisplayUnits(AirwaySize(2, a), Quantity::Length));
        whole(AirwayNumber(a));
        whole(exchangedFlags(a));
        AppendPrintedNumber(out, ToDisplayUnits(AirwayPressure(a), Quantity::Pressure), separator);
        out += "\r\n";
    }
    return out;
}

void ExportText(const std::string &fileName) {
    ReplaceFileContents(fileName, ExportTextBytes());
}

void ExportNetwork() {
    if (ExportMode < 0 || ExportMode > 2)
        return;
    VB::SetScreenPointer(VB::vbHourglass);
    try {
        VB::FileRequest request;
        request.save = true;
        request.confirmOverwrite = true;
        request.filterIndex = 1;
        if (ExportMode == 0) {
            request.defaultExt = "TXT";
            request.filter = "Data Files (*.TXT)|*.TXT|All files (*.*)|*.*";
            request.fileName = "EXPORT.TXT";
        } else {
            request.defaultExt = "DXF";
            request.filter = "Data Files (*.DXF)|*.DXF|All files (*.*)|*.*";
            request.fileName = "EXPORT.DXF";
        }
        const auto chosen = VB::FileDialog(request);
        DialogCancelled = !chosen || chosen->empty();
        if (!chosen) {
            // Cancel ends the command without a word.
            VB::SetScreenPointer(VB::vbDefault);
            return;
        }
        if (DialogCancelled) {
            VB::MsgBox("Error Export File - Check Name", VB::vbExclamation);
            VB::SetScreenPointer(VB::vbDefault);
            return;
        }
        if (ExportMode == 0)
            ExportText(*chosen);
        else if (ExportMode == 1)
            ExportDxfTrue(*chosen);
        else
            ExportDxfScreen(*chosen);
    } catch (const std::exception &) {
        VB::MsgBox("Error exporting File");
    }
    VB::SetScreenPointer(VB::vbDefault);
}
