#pragma once
// The program's own symbol pictures and tool cursors, drawn by code in one style: a dark outline two
// pixels wide on a 32 × 32 grid, flat fills, transparent background. They stay clear when drawn at 16 px.
#include <QImage>

#include <string>

// The symbol picture of a resource name ("Line", "Arrow", "Smoke2", "FanBig", "Node2", "Hazard2", "BBH2",
// "PinRed2", "Pinblu2", "Res", "Fixed"); names compare without regard to case. A null image for any
// other name.
QImage SymbolArtwork(const std::string &name);

struct CursorArtwork {
    QImage image; // 32 × 32, transparent background; null for an unknown name
    int hotX = 0, hotY = 0;
};
// The cursor of a resource name ("MAGNIFY", "HAND", "TAG", "CROSS", "PASTE", "MOVE", "REVERSE", "DELETE",
// "FAN", "ALPHA", "CLOUD", "EDIT", "INFO", "INSERT", "TRACE", "ROTATE", "COPY"), without regard to case.
CursorArtwork ToolCursorArtwork(const std::string &name);
