#include "model/upper_layers.h"

namespace {
UpperLayers silent;
UpperLayers *current = &silent;
} // namespace

UpperLayers &Upper() { return *current; }

UpperLayers *SetUpperLayers(UpperLayers *layers) {
    UpperLayers *previous = current == &silent ? nullptr : current;
    current = layers ? layers : &silent;
    return previous;
}
