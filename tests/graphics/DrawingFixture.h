#pragma once
// The graphics fixture with the drawing settings of a fresh program: standard colours, symbol and font
// sizes that do not scale with the zoom, the symbol pictures loaded, window 0 set up and open.
#include "graphics/GraphicsFixture.h"
#include "graphics/artwork.h"
#include "graphics/drawing.h"
#include "graphics/drawing_prep.h"
#include "graphics/network_drawing.h"
#include "graphics/projection.h"
#include "model/units.h"
#include "platform/System.h"

#include <initializer_list>
#include <string>
#include <vector>

class DrawingTest : public GraphicsTest {
protected:
    std::vector<DrawnPrimitive> drawn;

    void SetUp() override {
        GraphicsTest::SetUp();
        VB::SetLocaleDecimalSeparatorOverride('.');
        SetBuiltInUnits();
        UnitSystem = 1;
        SetBuiltInColours();
        ColourTable(3) = 0x402010; // a background no airway colour can be mistaken for
        SetBuiltInSymbols();
        for (int k = 0; k <= 6; ++k)
            IconScale(k) = 0;
        SetBuiltInFonts();
        for (int k = 1; k <= 4; ++k)
            FontSize(k) = 8;
        FontScale = 0;
        ResistanceTypeName(1) = "Bulkhead";
        ResistanceTypeName(2) = "Steel Door";
        ResistanceTypeName(50) = "Fix Res";
        LoadSymbolPictures();
        picture.Tag = "0";
        picture.BackColor = ColourTable(3);
        WindowOpen(0) = true;
        WindowFrozen(0) = false;
        RedrawSuspended = false;
        GridOn = false;
        GridLabelsOff = false;
        SmokeMode = 0;
        ColourScheme = 0;
        DataDisplayMode = 0;
        PickedAirway = 0;
        RealtimeInputOn = 0;
        AlarmsOn = 0;
        AlarmBeep = 0;
        BaseDrawWidth = 1;
        PlanProjected = 0;
        SurfacePressureRL = 99999;
        ResistanceLabel.clear();
    }

    void TearDown() override {
        picture.Recording = nullptr;
        VB::SetLocaleDecimalSeparatorOverride(0);
        RealtimeInputOn = 0;
        AlarmsOn = 0;
        GraphicsTest::TearDown();
    }

    // Puts these airways in the visible list, in this order, on visible layers.
    static void Show(std::initializer_list<int> airways) {
        int i = 1;
        for (int a : airways) {
            VisibleAirways(i++) = a;
            AirwayFlags(a) |= AirwayFlag::LayerVisible;
        }
        VisibleAirways(i) = 0;
        PlanProjected = 0;
    }

    // Prepares and draws the network with a recording of what is drawn.
    void DrawRecorded() {
        drawn.clear();
        picture.Recording = &drawn;
        PrepareDrawing();
        DrawAirwayLines();
        DrawNetwork();
        picture.Recording = nullptr;
    }

    // Draws the grid alone with a recording of what is drawn.
    void DrawGridRecorded() {
        drawn.clear();
        picture.Recording = &drawn;
        DrawGrid();
        picture.Recording = nullptr;
    }

    std::vector<DrawnPrimitive> Of(DrawnPrimitive::Kind kind) const {
        std::vector<DrawnPrimitive> out;
        for (const auto &p : drawn)
            if (p.kind == kind)
                out.push_back(p);
        return out;
    }

    static QRgb Rgb(int32_t vbColour) { return PictureBox::ToRgb(vbColour); }
};
