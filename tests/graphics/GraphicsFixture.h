#pragma once
// A small network in a known view state with graphics window 0 active on a 500 by 500 pixel surface.
#include "common/AirwayEnds.h"
#include "common/RecordingToolShell.h"
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"
#include "platform/PictureBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

class GraphicsTest : public ::testing::Test {
protected:
    RecordingToolShell shell;
    PictureBox picture{500, 500};

    void SetUp() override {
        MaxAirways = 200;
        MaxFloatingTexts = 20;
        ReDimNetwork();
        AirwayCount = 0;
        for (int i = 1; i <= 16; ++i)
            PrimaryLayerVisible(i) = true;
        for (int i = 1; i <= 48; ++i)
            SecondaryLayerVisible(i) = true;
        for (int i = 0; i <= 5; ++i)
            SelectedLevels(i) = 0;
        ViewMode = 4;
        RLWindowLow = RLWindowHigh = 0;
        LayerDisplay = 0;
        GraphicsDetail = 0;
        DimOption = 0;
        MinShownFlow = MaxShownFlow = 0;
        AxisSignX = AxisSignY = 1;
        Perspective = 0;
        PerspectiveDepth = 0;
        FullRotation = 0;
        Tilt = Spin = TiltStep = SpinStep = 0;
        ViewIs3D = 0;
        PanX = PanY = 0;
        KeepPan = 0;
        RotationCentreSet = 0;
        MouseShift = MouseMode = MouseButton = 0;
        ButtonHeld = MouseMoveSeen = false;
        AspectRatio = 1;
        DataCode = 0;
        StatusText.clear();
        picture.ScaleWidth = picture.ScaleHeight = 1000;
        picture.ScaleLeft = picture.ScaleTop = -500;
        SetWindowPicture(0, &picture);
        ActiveWindow = 0;
    }

    void TearDown() override {
        SetWindowPicture(0, nullptr);
        ActiveWindow = -1;
    }

    int AddAirway(int x1, int y1, int z1, int x2, int y2, int z2) {
        const int a = ++AirwayCount;
        SetAirwayEnds(a, x1, y1, z1, x2, y2, z2);
        AirwayStartKey(a) = a;
        AirwayEndKey(a) = a + 1000;
        AirwayFlags(a) = AirwayFlag::Rectangular;
        AirwayPrimaryLayer(a) = 1;
        AirwaySecondaryLayer(a) = 1;
        AirwayLength(a) = static_cast<float>(std::sqrt(
            double(x2 - x1) * (x2 - x1) + double(y2 - y1) * (y2 - y1) + double(z2 - z1) * (z2 - z1)));
        return a;
    }

    // The visible list from position 1 up to its ending 0.
    static std::vector<int> Visible() {
        std::vector<int> list;
        for (int i = 1; VisibleAirways(i) != 0; ++i)
            list.push_back(VisibleAirways(i));
        return list;
    }
};
