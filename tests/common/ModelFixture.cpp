#include "common/ModelFixture.h"
#include "common/AirwayEnds.h"

#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/System.h"

void SetFreshDefaults() {
    ScriptedDialogs boxes;
    boxes.Expect(VB::vbOK, "Error re-loading defaults");
    SetDefaults();
}

void ModelTest::SetUp() {
    AxisSignX = 1;
    AxisSignY = 1;
    SetFreshDefaults();
    ClearNetwork();
    Errorlist.clear();
    NextAirwayNumber = 0;
    PresetResistanceReplaces = 0;
    LevelRange(1, 1) = 1000;
    LevelRange(1, 2) = 1000;
}

void ModelTest::UseSIDisplay() {
    SetBuiltInUnits();
    UnitSystem = 1;
    VB::SetLocaleDecimalSeparatorOverride('.');
    DecimalSeparator = '.';
}

int ModelTest::AddAirway(int32_t x1, int32_t y1, int32_t z1, int32_t x2, int32_t y2, int32_t z2) {
    const int a = ++AirwayCount;
    SetAirwayEnds(a, x1, y1, z1, x2, y2, z2);
    AirwayFlags(a) = AirwayFlag::Rectangular;
    AirwaySize(1, a) = 4;
    AirwaySize(2, a) = 4;
    AirwayParallelCount(a) = 1;
    AirwayWallType(a) = TypedPreset;
    AirwayFrictionFactor(a) = 0.012f;
    AirwayShockType(a) = TypedPreset;
    AirwayPrimaryLayer(a) = 1;
    AirwaySecondaryLayer(a) = 1;
    return a;
}
