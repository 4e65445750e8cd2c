#pragma once
// Set-up shared by the drawing-side benchmarks. MakeLevelledGrid: a mine of ten levels 50 m apart, each a
// grid of 40 m drives joined by raises: fills airways 1..airways with their ends, keys and shape, and sets
// AirwayCount.
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"

inline void MakeLevelledGrid(int airways, int32_t originX, int32_t originY) {
    MaxAirways = airways + 10;
    ReDimNetwork();
    int a = 0;
    for (int i = 0; a < airways; ++i) {
        const int level = i % 10, cell = i / 10;
        const int32_t x = originX + (cell % 60) * 40, y = originY + (cell / 60) * 40, z = -level * 50;
        ++a;
        AirwayStart(1, a) = x;
        AirwayStart(2, a) = y;
        AirwayStart(3, a) = z;
        AirwayEnd(1, a) = i % 3 == 0 ? x : x + 40;
        AirwayEnd(2, a) = i % 3 == 1 ? y + 40 : y;
        AirwayEnd(3, a) = i % 3 == 2 ? z - 50 : z;
        AirwayStartKey(a) = a;
        AirwayEndKey(a) = a + 1;
        AirwayFlags(a) = AirwayFlag::Rectangular;
    }
    AirwayCount = a;
}

// Every layer shown, all levels, in a plan view.
inline void ShowAllLayersInPlan() {
    for (int i = 1; i <= 16; ++i)
        PrimaryLayerVisible(i) = true;
    for (int i = 1; i <= 48; ++i)
        SecondaryLayerVisible(i) = true;
    ViewMode = 4;
    ViewIs3D = 0;
}

// Draws window 0 into this picture and makes it the active window, until CloseWindowZero.
inline void OpenWindowZero(PictureBox &picture) {
    SetWindowPicture(0, &picture);
    ActiveWindow = 0;
}

inline void CloseWindowZero() {
    SetWindowPicture(0, nullptr);
    ActiveWindow = -1;
}
