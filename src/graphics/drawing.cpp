#include "graphics/drawing.h"

void Redraw() {
    // Nothing is drawn until the drawing pipeline exists.
}

void RedrawAll() {
    // Nothing is drawn until the drawing pipeline exists.
}
