#pragma once
// DXF drawings of the network: the true-coordinate form (the mine's 3-D coordinates in display units)
// and the screen form (what the active graphics window shows, flat). Each airway is a LINE with an
// arrowhead of two LINEs, TEXT for its names and data label, and a CIRCLE at its exit node.
#include <cstdint>
#include <string>
#include <string_view>

// Export only the airways of the visible list (true-coordinate form); set by the options dialog.
extern bool ExportVisibleOnly;
// The options dialog was left with its Export button.
extern bool ExportConfirmed;

// Show the options dialog, then write the drawing in place of any file of that name (nothing on Cancel)
// and redraw the active window. VBError when the file cannot be written.
void ExportDxfTrue(const std::string &fileName);
void ExportDxfScreen(const std::string &fileName);

// The drawings' bytes with the current options, lines ended by CR LF. Numbers always take "." as the
// decimal point, whatever the locale: CAD readers accept no other.
std::string DxfTrueBytes();
std::string DxfScreenBytes();

// Entity records appended to a drawing. TEXT and CIRCLE take the colour of their layer.
void DxfLine(std::string &dxf, std::string_view layer, int32_t colour, float x1, float y1, float z1, float x2,
             float y2, float z2);
void DxfText(std::string &dxf, std::string_view layer, int height, std::string_view text, float x, float y,
             float z);
void DxfCircle(std::string &dxf, std::string_view layer, int radius, float x, float y, float z);
