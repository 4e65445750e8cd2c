#pragma once
// Projection of the network into the active view: world points (whole metres) to projected view
// coordinates and back, rotation steps, the X/Y exchange and the zoom commands.
#include <cstdint>

// Nearest whole metre, halves to even, clamped to the 32-bit range: how a view position becomes a world
// coordinate.
int32_t RoundToLong(double v);

// Projects both ends of airway a with the angles of the last rotation step; a = 0 projects the rotation
// centre.
void ProjectAirway(int a);
// Plan projection of every airway, once per visible-list rebuild.
void ProjectPlan();
// One rotation step of the active 3-D view and re-projection of every visible airway; in plan only the
// pan read-out.
void RotateView();
// The main window's pan read-out: the pan of a 3-D view, nothing in plan.
void ShowPanReadOut();
// A world point to view coordinates (projected minus pan) with the live angles.
void ProjectPoint(double x, double y, double z, double &sx, double &sy);
// A view point back to a world point, at elevation z where the view needs one.
void ScreenToWorld(double sx, double sy, double z, double &X, double &Y, double &Z);
// Moves the world point by the world displacement that a screen movement from (fromX, fromY) to
// (toX, toY) stands for.
void ShiftPointByScreenDelta(double fromX, double fromY, double toX, double toY, int32_t &X, int32_t &Y,
                             int32_t &Z);
// The world displacement that a screen movement from (fromX, fromY) to (toX, toY) stands for, in the
// view's plane: no change of elevation in a plan or tilted view (unless Shift moves vertically), none of
// depth in an edge-on one.
void ScreenDeltaToWorld(double fromX, double fromY, double toX, double toY, int32_t &dX, int32_t &dY,
                        int32_t &dZ);
// 0 plan; 1 3-D; 2 3-D seen exactly edge-on.
int ViewKind();
// Exchanges X and Y of the whole network and of the axis signs.
void SwapXY();
// Applies a new world window size to the active window within the zoom limits; the clamped size is
// written back.
void SetZoomScale(float &width, float &height);
// The zoom tool's command after a press or release.
void MouseZoom();
