#pragma once
// The view table and the view state of the active graphics window: world window, saved views, rotation
// centre, fitting, plan and 3-D switches, the main window caption and the mouse wheel.
#include <cstdint>

// Sets the active window's world window (centred on the origin) and the pan to the given centre.
void SetViewScale(double width, double height, int32_t centreX, int32_t centreY);
// Graphics window w's picture took a new pixel size (it was oldPixelWidth wide, or its world window was
// made for a picture that wide): the world window keeps its centre and its metres per pixel across, and
// its height follows, so that x and y keep one scale. The window's stored view follows; the caption's
// scale too when w is the active window.
void KeepViewScale(int w, int oldPixelWidth);
// Stores the active view into view row `slot`.
void SaveView(int slot);
// Copies the view row of one graphics window into another's.
void CopyView(int fromWindow, int toWindow);
// Loads view row `slot` into the active view and window, rebuilds the visible list and re-projects.
void RestoreView(int slot);
// WindowLeft, WindowRight, WindowTop, WindowBottom from the active window's scale.
void RefreshWindowBounds();
// Rotation centre: the middle of what the window shows, at the mean elevation of the airways inside.
void WindowCentre();
// Rotation centre: the pan point at the mean elevation of the visible airways.
void CentreAtView();
// Rotation centre: the mean of the visible airway ends.
void CentreOfVisible();
// Fits the visible network into the active window.
void FitNetwork();
// Switches the active view to plan.
void PlanView();
// Switches the active view to 3-D.
void View3D();
// Switches the active view between plan and 3-D about the middle of what the window shows, so that the
// drawing stays in view.
void ToggleView3D();
// Writes the main window caption with the file, the title and the drawing scale.
void ShowWindowTitle();
// The drawing scale (1 : n) at which a world window (m) and a tenth more fits the printable page (mm) in
// both dimensions, less half a percent; 0 for a page without width. A page height of 0 leaves the
// height out.
float FittedScale(double worldWidth, double worldHeight, double pageWidthMm, double pageHeightMm);
// The graphics window whose wheel events zoom the active view; UnhookWheel stops forwarding.
void HookWheel(int window);
void UnhookWheel();
// A wheel event of a graphics window: keys, rotation (120 per notch forward) and position. Only the hooked
// window's events are forwarded. Returns whether the event was forwarded.
bool WheelEvent(int window, int keys, int rotation, int x, int y);
// Receives forwarded wheel events (the graphics window's zoom); set by the shell.
void SetWheelHandler(void (*handler)(int keys, int rotation, int x, int y));
