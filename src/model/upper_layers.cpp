#include "model/upper_layers.h"

#include "platform/Seam.h"

namespace {
Seam<UpperLayers> seam;
} // namespace

UpperLayers &Upper() {
    return seam.Get();
}

UpperLayers *SetUpperLayers(UpperLayers *layers) {
    return seam.Set(layers);
}
