#pragma once
// The list of airways and floating texts the active graphics window works on.

// Rebuilds VisibleAirways and FloatingTextShown (each ended by 0).
void SetVisibleAirways();
