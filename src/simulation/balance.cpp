#include "simulation/balance.h"

#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/VBMath.h"
#include "simulation/fan_curves.h"
#include "simulation/simulation_ui.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The meshes that are corrected, flattened for the sweep: entries of mesh m are begin[m] .. begin[m + 1] - 1.
struct SweepMeshes {
    std::vector<int> begin;
    std::vector<int> airway;  // airway slot of each entry
    std::vector<double> sign; // +1 or -1: the entry's direction in its mesh
};

SweepMeshes freeMeshes() {
    SweepMeshes s;
    s.begin.reserve(MeshCount + 1);
    for (int m = 1; m <= MeshCount; ++m) {
        const int from = MeshStart(m), to = MeshStart(m + 1);
        if (MeshAirwayList(from) < 0)
            continue; // fixed flow or bulkhead chord: never corrected
        s.begin.push_back(static_cast<int>(s.airway.size()));
        for (int i = from; i < to; ++i) {
            const int e = MeshAirwayList(i);
            // The chord always counts forward.
            s.airway.push_back(std::abs(e));
            s.sign.push_back(i == from || e > 0 ? 1.0 : -1.0);
        }
    }
    s.begin.push_back(static_cast<int>(s.airway.size()));
    return s;
}

std::string twoDecimalsCut(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f m3/s", VB::Fix(x * 100) / 100);
    return text;
}

std::string oneDecimal(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", x);
    return text;
}

} // namespace

void BalanceAirflows() {
    SimUi().ShowBalanceLabels();
    const int n = AirwayCount;
    // Flows are kept in double while balancing so that the node balance holds to the last digit of a single.
    std::vector<double> flow(n + 1, 0.0);
    std::vector<double> resistance(n + 1, 0.0);
    std::vector<int> fan(n + 1, 0);
    std::vector<double> fixedPressure(n + 1, 0.0);
    for (int a = 1; a <= n; ++a) {
        resistance[a] = AirwayResistance(a);
        fan[a] = static_cast<int>(AirwaySolverFan(a));
        fixedPressure[a] = AirwayPressure(a);
    }
    // Start from the chords' flows of the previous run (a fixed quantity, or 0 for a bulkhead).
    for (int m = 1; m <= MeshCount; ++m) {
        const int from = MeshStart(m), to = MeshStart(m + 1);
        const double meshFlow = AirwayFlow(std::abs(MeshAirwayList(from)));
        flow[std::abs(MeshAirwayList(from))] += meshFlow;
        for (int i = from + 1; i < to; ++i) {
            const int e = MeshAirwayList(i);
            flow[std::abs(e)] += e > 0 ? meshFlow : -meshFlow;
        }
    }

    const SweepMeshes meshes = freeMeshes();
    const int freeCount = static_cast<int>(meshes.begin.size()) - 1;
    // The mesh of each free mesh, for the listing of non-converging airways.
    const double maxError = MaxError;
    int sweep = 0;
    bool stopped = false;
    for (;;) {
        int unconverged = 0;
        double largest = 0;
        const bool listing = AnalysisMode == -1 && sweep == MaxIterations - 1;
        for (int m = 0; m < freeCount; ++m) {
            if (RunState == 255) {
                stopped = true;
                break;
            }
            const int from = meshes.begin[m], to = meshes.begin[m + 1];
            double h = 0, d = 0;
            for (int i = from; i < to; ++i) {
                const int a = meshes.airway[i];
                const double s = meshes.sign[i];
                const double q = s * flow[a];
                const double r = resistance[a];
                double p = 0, dp = 0;
                if (fan[a] != 0) {
                    p = fixedPressure[a];
                    FanPressureAtFlow(a, fan[a], flow[a], p, dp);
                }
                h += r * q * std::fabs(q) - s * p;
                d += 2 * r * std::fabs(q) - dp;
            }
            const double dq = d != 0 ? -h / d : 0.0;
            if (std::fabs(dq) > maxError) {
                ++unconverged;
                if (std::fabs(dq) > largest)
                    largest = std::fabs(dq);
                if (listing) {
                    for (int i = from; i < to; ++i) {
                        const int a = meshes.airway[i];
                        if (AirwayFlags(a) & AirwayFlag::ErrorMark)
                            continue;
                        AddErrorLine(a, "Converge Error");
                        AirwayComment(a) = "Converge " + oneDecimal(std::fabs(dq));
                        AirwayFlags(a) |= AirwayFlag::ErrorMark;
                        ErrorLevel = 1;
                    }
                }
            }
            for (int i = from; i < to; ++i)
                flow[meshes.airway[i]] += meshes.sign[i] * dq;
        }
        if (stopped)
            break;
        ++sweep;
        if (unconverged > 0) {
            SimUi().SetSweepFigures(std::to_string(sweep), twoDecimalsCut(largest));
            SimUi().PumpEvents();
            if (RunState == 255) {
                ErrorLevel = 1;
                break;
            }
            if (sweep < MaxIterations)
                continue;
        }
        if (unconverged == 0)
            break;
        // The share of converged meshes, cut to a whole percent.
        const int percent = (MeshCount - unconverged) * 100 / MeshCount;
        if (VB::MsgBox("Your Network only has a convergence of " + std::to_string(percent) + "%\r\n" +
                           "Do you wish to keep on simulating ?",
                       VB::vbYesNo | VB::vbQuestion, "Convergence Warning") != VB::vbYes)
            break;
        sweep = 0;
    }
    for (int a = 1; a <= n; ++a)
        AirwayFlow(a) = static_cast<float>(flow[a]);
}

void SetProgress(int percent) {
    SimUi().SetProgressBar(percent);
    SimUi().PumpEvents();
}
