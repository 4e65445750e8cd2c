#pragma once
// The toolbar's button pictures, drawn by code in one style.
#include <QImage>

// The 24 × 24 picture of toolbar button `index` (0..31).
QImage ToolIcon(int index);
