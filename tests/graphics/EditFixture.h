#pragma once
// Graphics window 0 in plan view over a network of level drives with real node keys, drawn so that the
// tools' picks find it, and a fresh undo log.
#include "MouseFixture.h"
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

    // Every stored field of every airway, bit-exact; undo stamps and the layer-visible mark belong to the
    // session and are left out.
    static std::vector<AirwayValues> Stored() {
        std::vector<AirwayValues> all;
        for (int a = 1; a <= AirwayCount; ++a) {
            const int32_t stamp = AirwayUndoStamp(a), flags = AirwayFlags(a);
            AirwayUndoStamp(a) = 0;
            AirwayFlags(a) &= ~AirwayFlag::LayerVisible;
            all.push_back(TakeAirwayValues(a));
            AirwayUndoStamp(a) = stamp;
            AirwayFlags(a) = flags;
        }
        return all;
    }
    // Undo may give airways back in other slots: the same airways in any order.
    static bool SameAirways(const std::vector<AirwayValues> &a, const std::vector<AirwayValues> &b) {
        return a.size() == b.size() && std::is_permutation(a.begin(), a.end(), b.begin());
    }
};
