#pragma once
// Graphics window 0 in plan view over a network of level drives with real node keys, drawn so that the
// tools' picks find it, and a fresh undo log.
#include "MouseFixture.h"
#include "common/StoredAirways.h"
#include "graphics/drawing_prep.h"
#include "graphics/visible.h"
#include "model/airway_fields.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/undo.h"

#include <algorithm>
#include <vector>

class EditTest : public MouseTest {
protected:
    void SetUp() override {
        MouseTest::SetUp();
        ResetUndoSteps();
        ResetUndoFile();
        NextAirwayNumber = 0;
    }

    // A numbered 4 × 4 m drive at elevation z (m) from (x1, y1) to (x2, y2).
    static int Drive(int x1, int y1, int x2, int y2, int z = 100) {
        const int a = ++AirwayCount;
        SetAirwayEnds(a, x1, y1, z, x2, y2, z);
        AirwayFlags(a) = AirwayFlag::Rectangular;
        AirwaySize(1, a) = AirwaySize(2, a) = 4;
        AirwayParallelCount(a) = 1;
        AirwayWallType(a) = TypedPreset;
        AirwayFrictionFactor(a) = 0.012f;
        AirwayPrimaryLayer(a) = AirwaySecondaryLayer(a) = 1;
        AirwayNumber(a) = ++NextAirwayNumber;
        return a;
    }
    // Node keys, lengths and resistances from the coordinates, and the drawing the picks search.
    static void Ready() {
        UpdateNodeKeys();
        CalcAllAirways();
        SetVisibleAirways();
        PrepareDrawing();
    }
    static std::vector<AirwayValues> Stored() { return StoredAirways(); }
};
