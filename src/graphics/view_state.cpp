#include "graphics/view_state.h"

void SaveView(int /*slot*/) {
    // The view parameters are kept by the graphics windows once they exist.
}
