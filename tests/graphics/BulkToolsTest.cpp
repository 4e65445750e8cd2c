#include "EditFixture.h"

#include "graphics/tools.h"

namespace {

class BulkTools : public EditTest {
protected:
    int a = 0, b = 0, c = 0;
    void SetUp() override {
        EditTest::SetUp();
        Build();
    }
    // Two drives meeting at (-100, 0) and one apart, afresh in their own slots.
    void Build() {
        AirwayCount = 0;
        a = Drive(-300, 0, -100, 0);
        b = Drive(-100, 0, 100, 0);
        c = Drive(-100, 200, 100, 200);
        Ready();
    }
    static std::string Name(int slot) { return AirwayName(slot).trimmed(); }
};

// Records the fan dialogs the tool opens.
class FanEditor : public RecordingEditor {
public:
    int fanEdits = 0;
    void ShowFanEdit() override {
        ++fanEdits;
        AirwayFan(CurrentAirway) = 2;
        AirwayFanCount(CurrentAirway) = 1;
    }
};

TEST_F(BulkTools, FanToolRefusesFixedAirwaysAddsThroughTheDialogAndRemovesWithTheRightButton) {
    FanEditor fans;
    ToolMode = 5;
    AirwayFan(a) = -1;
    AirwayFlags(b) |= AirwayFlag::FixedFlow;
    boxes.Expect(VB::vbOK, "Fan not allowed with fixed pressure airway")
        .Expect(VB::vbOK, "Fan not allowed with fixed quantity airway");
    Click(1, -200, 0);
    Click(1, 0, 0);
    EXPECT_EQ(fans.fanEdits, 0);

    AirwayFan(a) = 0;
    Click(1, -250, 0); // a quarter along
    EXPECT_EQ(fans.fanEdits, 1);
    EXPECT_EQ(AirwayFan(a), 2);
    EXPECT_FLOAT_EQ(AirwayIconPosition(a), 0.25f - 0.3f);
    Click(1, -150, 0); // the airway has a fan: its symbol stays
    EXPECT_FLOAT_EQ(AirwayIconPosition(a), 0.25f - 0.3f);

    AirwayFlags(a) |= AirwayFlag::FixedDirection;
    const auto before = Stored();
    Click(2, -200, 0);
    EXPECT_EQ(AirwayFan(a), 0);
    EXPECT_EQ(AirwayFanCount(a), 0);
    EXPECT_EQ(AirwayFlags(a) & AirwayFlag::FixedDirection, 0);
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), before));
}

TEST_F(BulkTools, NamesGoToTheSelectionNodeOrAirwayAndOneUndoTakesEachBack) {
    ToolMode = 6;
    AirwayFlags(a) |= AirwayFlag::Selected;
    AirwayFlags(b) |= AirwayFlag::Selected;
    boxes.ExpectInput("Main drive").ExpectInput("");
    Click(1, -200, 0);
    EXPECT_EQ(Name(a), "Main drive");
    EXPECT_EQ(Name(b), "Main drive");
    Click(1, -200, 0); // empty: nothing changes
    EXPECT_EQ(Name(a), "Main drive");
    UndoAction();
    EXPECT_EQ(Name(a), "");
    EXPECT_EQ(Name(b), "");

    // A node name goes to every end at the node; one undo gives back the old names.
    Build();
    AirwayEndName(a) = "Old";
    AirwayStartName(b) = "Old";
    const auto named = Stored();
    boxes.ExpectInput("Junction");
    Click(1, -100, 0);
    EXPECT_EQ(AirwayEndName(a).trimmed(), "Junction");
    EXPECT_EQ(AirwayStartName(b).trimmed(), "Junction");
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), named));

    // A right click clears an airway's name, and one undo brings it back.
    Build();
    AirwayName(a) = "Kept";
    const auto kept = Stored();
    Click(2, -200, 0);
    EXPECT_EQ(Name(a), "");
    UndoAction();
    EXPECT_TRUE(SameAirways(Stored(), kept));
    EXPECT_TRUE(boxes.Done());
}

TEST_F(BulkTools, FloatingTextsSitAtTheWorldPointUnderTheCursorAndGoWithoutUndo) {
    ToolMode = 6;
    PanX = 1000;
    PanY = 2000;
    WorkingElevation = LevelElevation = 100;
    Ready();
    boxes.ExpectInput("Workshop");
    Click(1, 300, -300);
    ASSERT_TRUE(FloatingTextUsed(1));
    EXPECT_EQ(FloatingTextString(1), "Workshop");
    EXPECT_EQ(FloatingTextPosition(1, 1), 1300);
    EXPECT_EQ(FloatingTextPosition(2, 1), 1700);
    Ready();
    const int slot = UndoSlot;
    Click(2, 300, -300);
    EXPECT_FALSE(FloatingTextUsed(1));
    EXPECT_EQ(UndoSlot, slot);

    for (int t = 1; t <= MaxFloatingTexts; ++t)
        FloatingTextUsed(t) = true;
    Ready();
    boxes.ExpectInput("One too many")
        .Expect(VB::vbOK,
                "Exceeded " + std::to_string(MaxFloatingTexts) + " text boxes - increase number in defaults");
    Click(1, 450, 450);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(BulkTools, AttributePasteCarriesOnlyTheChosenAttributesAndNeverSurfaceOrSelection) {
    ToolMode = 15;
    AttributeMask = 511;
    boxes.Expect(VB::vbOK, "No copy/paste attributes have been selected !");
    Click(2, -200, 0);
    AttributeMask = 0;
    boxes.Expect(VB::vbOK, "Paste attributes must first be copied from an existing branch")
        .Expect(VB::vbOK, "Use the right mouse button to copy attributes from an airway first !");
    Click(1, -200, 0);
    Drag(1, -400, -100, 400, 100);

    // A round, surface-entry, selected source with typed friction and services.
    AirwayFlags(a) = AirwayFlag::Round | AirwayFlag::Services | AirwayFlag::SurfaceEntry |
                     AirwayFlag::Selected | AirwayFlag::FixedDirection;
    AirwaySize(2, a) = 3.5f;
    boxes.Expect(VB::vbOK,
                 "The following attributes for branch 1 were copied for future pasting\r\n\r\nDiameter");
    Click(2, -200, 0);
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> found;
        const std::string &text = boxes.Shown().back().prompt;
        for (const char *line : {"Diameter", "Resistance Type: ", "Raise Wall Friction Factor: ",
                                 "Shock Value: ", "Length is unfixed", "Airway is in unspecified air",
                                 "Primary Layer = ", "Secondary Layer = ", "Data values will be shown"})
            found.push_back(std::to_string(text.find(line)));
        return found;
    }();
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(), [](const std::string &x, const std::string &y) {
        return std::stoul(x) < std::stoul(y);
    })) << boxes.Shown().back().prompt;

    // Onto an irregular and a rectangular airway: the round shape and its diameter only.
    AirwayFlags(b) = AirwayFlag::Irregular;
    AirwaySize(1, b) = 14;
    AirwaySize(2, b) = 12;
    NetworkSaved = 255;
    for (const int target : {b, c}) {
        Click(1, 0, target == b ? 0 : 200);
        EXPECT_EQ(AirwayFlags(target) & ~AirwayFlag::LayerVisible, AirwayFlag::Round | AirwayFlag::Services)
            << target;
        EXPECT_EQ(AirwaySize(1, target), 0);
        EXPECT_EQ(AirwaySize(2, target), 3.5f);
    }
    EXPECT_EQ(NetworkSaved, 0);

    // "Length" alone fixes the target at its own length.
    AttributeMask = 511 & ~(1 << 4);
    AirwayFlags(a) |= AirwayFlag::FixedLength;
    AirwayLength(a) = 999;
    boxes.Expect(VB::vbOK, "Length is fixed to  ");
    Click(2, -200, 0);
    const float length = AirwayLength(b);
    Click(1, 0, 0);
    EXPECT_NE(AirwayFlags(b) & AirwayFlag::FixedLength, 0);
    EXPECT_EQ(AirwayLength(b), length);

    // A typed resistance goes with the paste only when it is chosen.
    AirwayResistanceType(a) = TypedPreset;
    AirwayResistance(a) = 7;
    AttributeMask = 0;
    boxes.Expect(VB::vbOK, "were copied for future pasting");
    Click(2, -200, 0);
    AttributeMask = 1 << 3;
    Click(1, 0, 200);
    EXPECT_NE(AirwayResistanceType(c), TypedPreset);
    AttributeMask = 0;
    Click(1, 0, 200);
    EXPECT_EQ(AirwayResistanceType(c), TypedPreset);
    EXPECT_EQ(AirwayResistance(c), 7);
    EXPECT_TRUE(boxes.Done());
}

TEST_F(BulkTools, CopyToDefaultsOfARoundAirwaySetsTheRaiseDefaultsOnly) {
    ToolMode = 15;
    AttributeMask = 0;
    CopyToDefaults = true;
    AirwayFlags(a) = AirwayFlag::Round;
    AirwaySize(2, a) = 2.5f;
    AirwayWallType(a) = 3;
    DefaultDriveHeight = 4;
    DefaultDriveWallType = 5;
    DefaultsSaved = 255;
    boxes.Expect(VB::vbOK, "The following attributes for branch 1 were copied to defaults");
    Click(2, -200, 0);
    // Here the wall comes before the shock and the resistance, unlike the copy for pasting.
    const std::string &text = boxes.Shown().back().prompt;
    EXPECT_LT(text.find("Diameter"), text.find("Raise Wall Type: "));
    EXPECT_LT(text.find("Raise Wall Type: "), text.find("Shock Value: "));
    EXPECT_LT(text.find("Shock Value: "), text.find("Resistance Type: "));
    EXPECT_EQ(DefaultRaiseDiameter, 2.5f);
    EXPECT_EQ(DefaultRaiseWallType, 3);
    EXPECT_EQ(DefaultDriveHeight, 4);
    EXPECT_EQ(DefaultDriveWallType, 5);
    EXPECT_EQ(DefaultsSaved, 0);
    EXPECT_FALSE(CopyToDefaults);
}

TEST_F(BulkTools, SmokeReportsToggleAndSourcesTakeOnlyAUsableConcentration) {
    ToolMode = 18;
    NetworkSaved = 255;
    Click(1, -200, 0);
    EXPECT_EQ(AirwaySmoke(1, a), 1);
    EXPECT_EQ(NetworkSaved, 0); // reports are saved with the network
    Click(2, -200, 0);
    EXPECT_EQ(AirwaySmoke(1, a), 2);
    Click(2, -200, 0);
    EXPECT_EQ(AirwaySmoke(1, a), 0);
    AirwaySmoke(2, a) = 7; // the last trace found it clear
    boxes.Expect(VB::vbNo,
                 "You are about to place a smoke report in a defined clear airway - is this correct");
    Click(1, -200, 0);
    EXPECT_EQ(AirwaySmoke(1, a), 0);

    ToolMode = 7;
    NetworkSaved = 255;
    boxes.ExpectInput("250").ExpectInput("-5").ExpectInput("1e300").ExpectInput("0");
    Click(2, -200, 0);
    EXPECT_NE(AirwayFlags(a) & AirwayFlag::ContaminantSource, 0);
    EXPECT_EQ(AirwayContaminant(a), 250);
    EXPECT_TRUE(SourcesEdited);
    EXPECT_EQ(NetworkSaved, 0);
    for (int unusable = 0; unusable < 2; ++unusable) { // negative, or too large to store: nothing changes
        Click(2, -200, 0);
        EXPECT_EQ(AirwayContaminant(a), 250);
    }
    Click(1, -200, 0); // a left click on a source removes it
    EXPECT_EQ(AirwayFlags(a) & AirwayFlag::ContaminantSource, 0);
    EXPECT_EQ(AirwayContaminant(a), 0);
    AirwayFlags(a) |= AirwayFlag::ContaminantSource;
    Click(2, -200, 0); // "0" clears the source flag
    EXPECT_EQ(AirwayFlags(a) & AirwayFlag::ContaminantSource, 0);
    EXPECT_TRUE(boxes.Done());
}

} // namespace
