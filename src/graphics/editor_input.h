#pragma once
// The graphic editor's answers to the keyboard and the pointer of the graphics windows.
#include "graphics/keyboard.h"
#include "graphics/mouse.h"

// Cursor of every open graphics window for the present ToolCode and this mouse button.
void SetToolCursor(int button);
// Measures the event-pump rounds of the drawing pauses.
void CalibratePause();
