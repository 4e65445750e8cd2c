#include "simulation/fan_curves.h"

#include "model/Gustrom1.h"

// Until the fan curves are interpolated, every airway works at the air power efficiency.
float FanEfficiency(int /*airway*/) {
    return AirPowerEfficiency * 100;
}
