#include "graphics/projection.h"

void RotateView() {
    // The view transform is not set up yet: nothing is projected.
}
