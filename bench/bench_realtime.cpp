// Realtime exchange on a generated 30,000-airway network whose every airway is linked to one of 50
// stations: one poll of a 50-station readings file (no window to redraw, no re-simulation) and one write
// of the results file.
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "common/TestFolder.h"
#include "exchange/realtime.h"
#include "model/Gustrom1.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>

#include <fstream>

namespace {

constexpr int NetworkSize = 30000;

struct Setup {
    TestFolder folder;

    Setup() {
        SetFreshDefaults();
        ActiveWindow = -1;
        MaxAirways = NetworkSize + 2;
        GenerateNetwork(NetworkSize, 30000);
        for (int a = 1; a <= AirwayCount; ++a)
            AirwayStation(a) = 1 + a % MaxStations;
        std::ofstream readings(folder.path() + "mine.rem", std::ios::binary);
        readings << "Station, Date, Time, Vel, O2, CH4, CO, CO2\r\n" << std::string(45, '-') << "\r\n";
        for (int s = 1; s <= MaxStations; ++s) {
            StationChannelName(s, 1) = "Velocity";
            StationFactor(s, 1) = 0.01f;
            StationUpdateFlow(s) = 1;
            readings << s << "\t12/08/2026\t10:15:" << s % 60 << '\t' << 500 + s
                     << "\t400\t700\t250\t200\r\n";
        }
        RealtimeInputFile = folder.path() + "mine.rem";
        RealtimeOutputFile = folder.path() + "results.txt";
        ResimulateOnInput = 0;
        RealtimeInputOn = -1;
        // An earlier benchmark may leave the busy pointer, under which realtime work waits.
        VB::SetScreenPointer(VB::vbDefault);
    }
    ~Setup() { RealtimeInputOn = 0; }
};

void BM_RealtimePoll50Stations30000Airways(benchmark::State &state) {
    Setup setup;
    RemoteRoutine();
    if (StationReading(1, 1) == 0)
        state.SkipWithError("the poll read nothing");
    for (auto _ : state)
        RemoteRoutine();
}
BENCHMARK(BM_RealtimePoll50Stations30000Airways)->Unit(benchmark::kMillisecond);

void BM_RealtimeOutput30000Airways(benchmark::State &state) {
    Setup setup;
    RealOutRoutine();
    if (QFileInfo(QString::fromStdString(RealtimeOutputFile)).size() == 0)
        state.SkipWithError("nothing was written");
    for (auto _ : state)
        RealOutRoutine();
}
BENCHMARK(BM_RealtimeOutput30000Airways)->Unit(benchmark::kMillisecond);

} // namespace
