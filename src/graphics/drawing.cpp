#include "graphics/drawing.h"

#include "graphics/graphics_state.h"
#include "platform/System.h"

void Redraw() {}
void RedrawAll() {}

void Pause(float) {
    // The delay is made of event-pump rounds; without calibration one round is all it can promise.
    VB::DoEvents();
}

void DrawAirwayLines() {}
void ShowSelectLevelDialog() {
    // Without the dialog nothing can be chosen: the choice counts as cancelled.
    LevelSelectCancelled = true;
}
void ShowRangeDialog() {}
