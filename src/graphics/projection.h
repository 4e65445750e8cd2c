#pragma once
// Projection of the network into the active view.

// Re-projects every visible airway into the active view.
void RotateView();
