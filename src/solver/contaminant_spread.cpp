#include "solver/contaminant_spread.h"

#include "model/Gustrom1.h"
#include "model/node_keys.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"
#include "solver/smoke_ui.h"

#include <algorithm>
#include <cmath>

VBArray<int32_t> SmokeWork;

namespace {

constexpr float NeverReached = 9999999; // arrival time of an airway the contaminant never reaches, s
constexpr int MaxConcentration = 20000; // concentrations are whole numbers up to this
constexpr int ReachPasses = 1000;
constexpr int SweepsBeforeQuestion = 100;
constexpr double TraceFlow = 0.1; // m³/s: less than this carries no smoke upstream in the trace
// Trace marks in AirwaySmoke(2).
constexpr int Smoked = 4, PotentialSource = 5, Cleared = 7;
// Report pins in AirwaySmoke(1).
constexpr int SmokePin = 1, ClearPin = 2;
// The spread stopped at the user's request: the finish shows what was reached.
struct Stopped {};

bool surfaceStart(int a) {
    return AirwayStartKey(a) == SurfaceNodeKey;
}
bool surfaceEnd(int a) {
    return AirwayEndKey(a) == SurfaceNodeKey;
}

// Calls f(b) for each upstream (direction 1) or downstream (2) airway b of a.
template <typename F> void forEachLinked(int direction, int a, F &&f) {
    const int32_t last = AirwayLinks(direction, 2, a);
    for (int32_t k = AirwayLinks(direction, 1, a); k <= last; ++k)
        f(AirwayLinkList(k));
}

// Trace passes in slot order until one changes nothing. `seed` gives an airway its mark from its pin;
// `spreads` tells whether a marked airway passes the mark on; `takes` whether a linked airway takes it.
template <typename Seed, typename Spreads, typename Takes>
void markUntilSettled(int mark, int direction, Seed &&seed, Spreads &&spreads, Takes &&takes) {
    for (bool changed = true; changed;) {
        changed = false;
        VB::DoEvents();
        for (int a = 1; a <= AirwayCount; ++a) {
            if (seed(a) && AirwaySmoke(2, a) != mark) {
                AirwaySmoke(2, a) = mark;
                changed = true;
            }
            if (AirwaySmoke(2, a) != mark || !spreads(a))
                continue;
            forEachLinked(direction, a, [&](int b) {
                if (AirwaySmoke(2, b) != mark && takes(b)) {
                    AirwaySmoke(2, b) = mark;
                    changed = true;
                }
            });
        }
    }
}

// Cross-section of airway a from its shape (m²).
double crossSection(int a) {
    const int32_t flags = AirwayFlags(a);
    if (flags & AirwayFlag::Rectangular)
        return static_cast<double>(AirwaySize(1, a)) * AirwaySize(2, a);
    if (flags & AirwayFlag::Round)
        return static_cast<double>(AirwaySize(2, a)) * AirwaySize(2, a) / 4 * 3.1415927;
    if (flags & AirwayFlag::Irregular)
        return AirwaySize(2, a);
    return 0;
}

// Format "0 %" and "0.0 %": the fraction as a percentage.
std::string percentText(double fraction, const char *digits) {
    return FormatPattern(fraction * 100, digits) + " %";
}

// A concentration as stored: a whole number, halves to even; beyond 16 bits the data is wrong.
int storedConcentration(double c) {
    const std::optional<int16_t> whole = VB::CInt(c);
    if (!whole)
        throw VBError(6, "overflow");
    return *whole;
}

void checkStop() {
    if (RunState == 255)
        throw Stopped{};
}

// Steps 5 .. 10 of the spread. Returns false when there is no source.
bool spread() {
    const int n = AirwayCount;
    // Every airway once, and a cumulative source whose concentration rounds to 0 once more.
    if (SmokeWork.size() == 0 || SmokeWork.UBound() < 2 * n + 1)
        SmokeWork.ReDim(Bounds{0, 2 * MaxAirways + 1});
    int listed = 0;
    auto append = [&listed](int a) {
        SmokeWork(++listed) = a;
        SmokeWork(listed + 1) = 0;
    };
    SmokeWork(1) = 0;
    bool anySource = false;
    for (int a = 1; a <= n; ++a) {
        AirwaySmokeTime(a) = NeverReached;
        SmokeWork(a) = 0;
        AirwaySmoke(2, a) = 0;
    }
    for (int a = 1; a <= n; ++a) {
        if ((AirwayFlags(a) & AirwayFlag::ContaminantSource) == 0 || !(AirwayFlow(a) > 0))
            continue;
        anySource = true;
        AirwaySmokeTime(a) = 0;
        AirwaySmoke(2, a) = storedConcentration(AirwayContaminant(a));
        // Cumulative sources take their inflow's concentration as well, so they are recomputed.
        if (SmokeSourceMode != 0 && !surfaceStart(a))
            append(a);
    }
    if (!anySource)
        return false;

    Smoke().SetConvergence("0");
    for (int pass = 1; pass <= ReachPasses; ++pass) {
        Smoke().SetIteration(std::to_string(pass));
        VB::DoEvents();
        int reached = 0, spreading = 0;
        for (int a = 1; a <= n; ++a) {
            checkStop();
            if (surfaceEnd(a) || AirwaySmoke(2, a) == 0 || (AirwayFlags(a) & AirwayFlag::SurfaceExit))
                continue;
            ++spreading;
            forEachLinked(2, a, [&](int b) {
                if (AirwaySmoke(2, b) == 0 && std::fabs(AirwayFlow(b)) > MaxError) {
                    AirwaySmoke(2, b) = 1;
                    append(b);
                    ++reached;
                }
            });
        }
        Smoke().SetSmokeRate(std::to_string(reached));
        Smoke().SetSpread(percentText(static_cast<double>(spreading) / n, "0"));
        VB::DoEvents();
        if (reached == 0)
            break;
    }
    PickedAirway = 0;

    for (int sweeps = 0;;) {
        double largest = 0;
        bool timeChanged = false;
        for (int i = 1; i <= listed; ++i) {
            checkStop();
            const int a = SmokeWork(i);
            double inflow = 0, load = 0;
            int lead = a;
            forEachLinked(1, a, [&](int b) {
                inflow += AirwayFlow(b);
                load += std::abs(AirwaySmoke(2, b)) * static_cast<double>(AirwayFlow(b));
                if (AirwaySmokeTime(lead) > AirwaySmokeTime(b))
                    lead = b;
            });
            double c =
                inflow > MaxError ? load / std::fabs(inflow) + SmokeSourceMode * AirwayContaminant(a) : 0;
            // Measured on the value stored: a mix above the top concentration would otherwise never settle.
            c = std::min<double>(c, MaxConcentration);
            largest = std::max(largest, std::fabs(c - AirwaySmoke(2, a)));
            AirwaySmoke(2, a) = storedConcentration(c);
            // The contaminant enters a when it has passed along the upstream airway it entered first.
            const double area = crossSection(lead);
            if (area == 0)
                throw VBError(11, "division by zero");
            const double velocity = AirwayFlow(lead) / area;
            if (AirwaySmokeTime(lead) != NeverReached && AirwaySmokeTime(a) > AirwaySmokeTime(lead)) {
                if (velocity == 0)
                    throw VBError(11, "division by zero");
                const auto time = static_cast<float>(AirwaySmokeTime(lead) + AirwayLength(lead) / velocity);
                timeChanged = timeChanged || time != AirwaySmokeTime(a);
                AirwaySmokeTime(a) = time;
            }
        }
        Smoke().SetConvergence(percentText((1000 - largest) / 1000, "0.0"));
        VB::DoEvents();
        if (++sweeps > SweepsBeforeQuestion) {
            if (VB::MsgBox(
                    "There seems to be a problem converging flows - do you want to accept the best guess ?",
                    VB::vbYesNo | VB::vbQuestion, "Convergence problem") == VB::vbYes)
                break;
            sweeps = 0;
        }
        // An arrival time still moving means an airway later in the list has not seen its earliest inflow.
        if (largest < 1.0 && !timeChanged)
            break;
    }
    return true;
}

} // namespace

bool SpreadContaminant() {
    try {
        return spread();
    } catch (const Stopped &) {
        return true;
    }
}

void MarkSmokeTrace() {
    for (int a = 1; a <= AirwayCount; ++a)
        AirwaySmoke(2, a) = 0;
    auto carries = [](int b) { return std::fabs(AirwayFlow(b)) > TraceFlow; };
    // Potential sources: upstream of a smoke report.
    markUntilSettled(
        PotentialSource, 1, [](int a) { return AirwaySmoke(1, a) == SmokePin; },
        [](int a) { return !surfaceStart(a) && !(AirwayFlags(a) & AirwayFlag::SurfaceEntry); },
        [&](int b) { return AirwaySmoke(1, b) == 0 && carries(b); });
    // Cleared: upstream of a clear report (over the potential sources).
    markUntilSettled(
        Cleared, 1, [](int a) { return AirwaySmoke(1, a) == ClearPin; },
        [](int a) { return !surfaceStart(a) && !(AirwayFlags(a) & AirwayFlag::SurfaceEntry); },
        [&](int b) { return AirwaySmoke(1, b) == 0 && AirwaySmoke(2, b) != Smoked && carries(b); });
    // Smoked: at and downstream of a smoke report, over everything else.
    markUntilSettled(
        Smoked, 2, [](int a) { return AirwaySmoke(1, a) == SmokePin; },
        [](int a) { return !surfaceEnd(a) && !(AirwayFlags(a) & AirwayFlag::SurfaceExit); },
        [](int b) { return AirwayFlow(b) != 0; });
}
