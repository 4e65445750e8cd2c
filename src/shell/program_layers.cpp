#include "shell/program_layers.h"

#include "exchange/remotes.h"
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/projection.h"
#include "graphics/view_state.h"
#include "graphics/visible.h"
#include "platform/ShellHooks.h"
#include "solver/solver_layers.h"

namespace {

class ProgramLayers final : public SolverLayers {
public:
    void SetVisibleAirways() override { ::SetVisibleAirways(); }
    void RotateView() override { ::RotateView(); }
    void SaveView(int slot) override { ::SaveView(slot); }
    void RestoreView(int slot) override { ::RestoreView(slot); }
    void FitNetwork() override { ::FitNetwork(); }
    void CentreOfVisible() override { ::CentreOfVisible(); }
    void ShowWindowTitle() override { ::ShowWindowTitle(); }
    void ShowWorkingLevel() override { ::ShowWorkingLevel(); }
    void Redraw() override { ::Redraw(); }
    void RedrawAll() override { ::RedrawAll(); }
    void ShowNetworkInEveryWindow(bool anew) override { ::ShowNetworkInEveryWindow(anew); }
    void ShowViewListTopInPlan() override {
        // The view combo's click handler loads nothing while the 3-D flag reads -1.
        ViewIs3D = -1;
        Shell().ViewListSetIndex(0);
        ViewIs3D = 0;
    }
    void LoadRemotes() override { ::LoadRemotes(); }
    void SaveRemotes() override { ::SaveRemotes(); }
};

ProgramLayers programLayers;

} // namespace

void InstallProgramLayers() {
    SetUpperLayers(&programLayers);
}
