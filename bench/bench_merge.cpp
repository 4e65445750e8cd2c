// File > Merge File: a generated 15,000-airway network file merged into another generated 15,000-airway
// network, file dialog and questions answered by script, redraw excluded.
#include "bench_grid.h"
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "common/TestFolder.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/network_save.h"
#include "platform/Dialogs.h"
#include "platform/PictureBox.h"
#include "shell/file_commands.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int HalfSize = 15000;

// Chooses the merged file in the open dialog and answers every question No.
class MergeAnswers : public VB::DialogResponder {
public:
    explicit MergeAnswers(std::string path) : path_(std::move(path)) {
        previous_ = VB::SetDialogResponder(this);
    }
    ~MergeAnswers() override { VB::SetDialogResponder(previous_); }
    void Choose(std::string path) { path_ = std::move(path); }
    int Message(const VB::MessageRequest &) override { return VB::vbNo; }
    std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const VB::FileRequest &) override { return path_; }

private:
    std::string path_;
    VB::DialogResponder *previous_ = nullptr;
};

void BM_MergeFile15000Into15000(benchmark::State &state) {
    TestFolder folder;
    PictureBox picture{800, 600};
    MergeAnswers answers("");
    SetFreshDefaults();
    picture.ScaleWidth = 40000;
    picture.ScaleHeight = 30000;
    picture.ScaleLeft = -20000;
    picture.ScaleTop = -15000;
    OpenWindowZero(picture);
    MaxAirways = 2 * HalfSize + 2;
    GenerateNetwork(HalfSize, 15000);
    const std::string path = folder.path() + "merged.sim";
    NetworkFileName = path;
    MasterFile = false;
    SmokeMode = 0;
    SaveNetwork(0);
    answers.Choose(path);
    for (auto _ : state) {
        state.PauseTiming();
        MaxAirways = 2 * HalfSize + 2;
        GenerateNetwork(HalfSize, 7);
        NetworkFileName.clear();
        state.ResumeTiming();
        // The menu command's work: the merge, then the visible list and the projection.
        MergeCommand();
        SetVisibleAirways();
        RotateView();
    }
    state.counters["airways"] = AirwayCount;
    CloseWindowZero();
}
BENCHMARK(BM_MergeFile15000Into15000)->Unit(benchmark::kMillisecond);

} // namespace
