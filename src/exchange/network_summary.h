#pragma once
// The network-wide figures of the summary window, summed in one pass over the airways as they stand.
#include <cstdint>

struct NetworkSummary {
    double totalAirflow = 0; // m³/s leaving the surface node
    double airPower = 0;     // W, Σ R·Q³
    double inputPower = 0;   // W, fan and fixing power at their efficiencies
    double totalLength = 0;  // m
    double fanCount = 0;
};

NetworkSummary SumNetwork();
