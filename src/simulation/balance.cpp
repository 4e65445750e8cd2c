#include "simulation/balance.h"

#include "model/Gustrom1.h"
#include "platform/Dialogs.h"
#include "platform/VBMath.h"
#include "simulation/fan_curves.h"
#include "simulation/simulation_ui.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// One entry of a corrected mesh in four bytes, so that a sweep streams as little as possible: the airway
// slot times four, plus 2 when it has a fan, plus 1 when the mesh runs against the airway.
struct Entry {
    int32_t code;
    static Entry Make(int airway, bool forward, bool fan) {
        return Entry{airway * 4 + (fan ? 2 : 0) + (forward ? 0 : 1)};
    }
    int airway() const { return code >> 2; }
    bool hasFan() const { return (code & 2) != 0; }
    // x in the mesh direction: x or -x (an exact change of sign).
    double along(double x) const {
        return std::bit_cast<double>(std::bit_cast<uint64_t>(x) ^ (static_cast<uint64_t>(code & 1) << 63));
    }
};

// What the sweep reads of an airway, kept together so that one entry touches one place in memory.
struct AirwayState {
    double flow;       // m³/s
    double resistance; // Ns²/m⁸
};

// The meshes that are corrected, flattened for the sweep: entries of mesh m are begin[m] .. begin[m + 1] - 1.
// The fan entries of mesh m are fanEntry[fanBegin[m]] .. fanEntry[fanBegin[m + 1] - 1]; their pressures
// are looked up before the mesh is summed, so the summing loop makes no calls.
struct SweepMeshes {
    std::vector<int> begin;
    std::vector<Entry> entries;
    std::vector<int> fanBegin;
    std::vector<int> fanEntry;
    std::size_t mostFans = 0;
};

SweepMeshes freeMeshes() {
    SweepMeshes s;
    s.begin.reserve(MeshCount + 1);
    for (int m = 1; m <= MeshCount; ++m) {
        const int from = MeshStart(m), to = MeshStart(m + 1);
        if (MeshAirwayList(from) < 0)
            continue; // fixed flow or bulkhead chord: never corrected
        s.begin.push_back(static_cast<int>(s.entries.size()));
        s.fanBegin.push_back(static_cast<int>(s.fanEntry.size()));
        for (int i = from; i < to; ++i) {
            const int e = MeshAirwayList(i);
            const int a = std::abs(e);
            const bool fan = AirwaySolverFan(a) != 0;
            if (fan)
                s.fanEntry.push_back(static_cast<int>(s.entries.size()));
            // The chord always counts forward.
            s.entries.push_back(Entry::Make(a, i == from || e > 0, fan));
        }
        s.mostFans = std::max(s.mostFans, s.fanEntry.size() - s.fanBegin.back());
    }
    s.begin.push_back(static_cast<int>(s.entries.size()));
    s.fanBegin.push_back(static_cast<int>(s.fanEntry.size()));
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
    std::vector<AirwayState> state(n + 1, AirwayState{0.0, 0.0});
    for (int a = 1; a <= n; ++a)
        state[a].resistance = AirwayResistance(a);
    // Start from the chords' flows of the previous run (a fixed quantity, or 0 for a bulkhead).
    for (int m = 1; m <= MeshCount; ++m) {
        const int from = MeshStart(m), to = MeshStart(m + 1);
        const double meshFlow = AirwayFlow(std::abs(MeshAirwayList(from)));
        state[std::abs(MeshAirwayList(from))].flow += meshFlow;
        for (int i = from + 1; i < to; ++i) {
            const int e = MeshAirwayList(i);
            state[std::abs(e)].flow += e > 0 ? meshFlow : -meshFlow;
        }
    }

    const SweepMeshes meshes = freeMeshes();
    const Entry *entries = meshes.entries.data();
    const int freeCount = static_cast<int>(meshes.begin.size()) - 1;
    std::vector<double> fanPressure(meshes.mostFans), fanSlope(meshes.mostFans); // Pa, Pa per m³/s
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
            for (int k = meshes.fanBegin[m]; k < meshes.fanBegin[m + 1]; ++k) {
                const int a = entries[meshes.fanEntry[k]].airway();
                double p = AirwayPressure(a), dp = 0;
                FanPressureAtFlow(a, static_cast<int>(AirwaySolverFan(a)), state[a].flow, p, dp);
                fanPressure[k - meshes.fanBegin[m]] = p;
                fanSlope[k - meshes.fanBegin[m]] = dp;
            }
            double h = 0, d = 0; // Pa, Pa per m³/s
            int fan = 0;
            for (int i = from; i < to; ++i) {
                const Entry entry = entries[i];
                const AirwayState &st = state[entry.airway()];
                const double q = entry.along(st.flow);
                const double loss = st.resistance * q * std::fabs(q);
                const double slope = 2 * st.resistance * std::fabs(q);
                if (entry.hasFan()) {
                    h += loss - entry.along(fanPressure[fan]);
                    d += slope - fanSlope[fan];
                    ++fan;
                } else {
                    h += loss;
                    d += slope;
                }
            }
            const double dq = d != 0 ? -h / d : 0.0;
            if (std::fabs(dq) > maxError) {
                ++unconverged;
                if (std::fabs(dq) > largest)
                    largest = std::fabs(dq);
                if (listing) {
                    for (int i = from; i < to; ++i) {
                        const int a = entries[i].airway();
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
                state[entries[i].airway()].flow += entries[i].along(dq);
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
        AirwayFlow(a) = static_cast<float>(state[a].flow);
}

void SetProgress(int percent) {
    SimUi().SetProgressBar(percent);
    SimUi().PumpEvents();
}
