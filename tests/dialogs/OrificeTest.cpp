#include "dialogs/DialogFixture.h"
#include "dialogs/orifice_wizard.h"

namespace {

// The edit dialog's fixed-resistance box as the wizard sees it.
struct ResistanceBox : FixedResistanceBox {
    std::string text = "typed";
    bool fixed = false;
    void SetFixedResistanceText(const std::string &t) override { text = t; }
    void FixResistance() override { fixed = true; }
};

class Orifice : public DialogTest {
protected:
    int a = 0;
    void SetUp() override {
        DialogTest::SetUp();
        a = AddAirway(0, 0, 500, 100, 0, 500);
        AirwayResistance(a) = 0.5f;
        CurrentAirway = a;
    }
};

TEST_F(Orifice, AddsTheOrificeResistanceAndFixesTheSum) {
    AirwayFlags(a) = AirwayFlag::Round;
    // The same 1 m2 orifice typed in either unit system; the result is shown in that system's units.
    const struct {
        int unitSystem;
        const char *typed, *added, *total;
    } cases[] = {{1, "1", "1.27701 Ns2/m8", "1.77701"}, {2, "10.764", "1.14190 Rx1e9", "1.58900"}};
    for (const auto &c : cases) {
        UnitSystem = c.unitSystem;
        ScriptedDialogs boxes;
        boxes.ExpectInput(std::string(c.typed))
            .Expect(VB::vbOK, std::string("A resistance of ") + c.added + " will now be added");
        ResistanceBox box;
        OrificeWizard(box);
        EXPECT_EQ(box.text, c.total) << c.typed;
        EXPECT_TRUE(box.fixed);
        EXPECT_EQ(boxes.Shown().back().title, "Fix resistance for orifice");
    }
}

TEST_F(Orifice, ChangesNothingWithoutAnOpening) {
    // An orifice wider than the contracted airway adds nothing.
    {
        ScriptedDialogs boxes;
        boxes.ExpectInput(std::string("30")).Expect(VB::vbCancel, "A resistance of 0.00000");
        ResistanceBox box;
        OrificeWizard(box);
        EXPECT_FALSE(box.fixed);
        // Cancelled: the box keeps what was typed in it.
        EXPECT_EQ(box.text, "typed");
    }
    // No answer is no change; an answer that is no area says its rule.
    for (const std::optional<std::string> &answer :
         {std::optional<std::string>(), std::optional<std::string>(""), std::optional<std::string>("-2"),
          std::optional<std::string>("1e")}) {
        ScriptedDialogs boxes;
        boxes.ExpectInput(answer);
        if (answer && !answer->empty())
            boxes.Expect(VB::vbOK, "Area must be a number above 0");
        ResistanceBox box;
        OrificeWizard(box);
        EXPECT_EQ(box.text, "typed");
        EXPECT_TRUE(boxes.Done());
    }
    // A bulkhead and an airway without area are refused before the area is asked.
    for (bool bulkhead : {true, false}) {
        ScriptedDialogs boxes;
        AirwayResistanceType(a) = bulkhead ? 1 : 0;
        AirwaySize(1, a) = bulkhead ? 4.0f : 0.0f;
        boxes.Expect(VB::vbOK,
                     bulkhead ? "No orifice available on blocked airways" : "no cross-section area");
        ResistanceBox box;
        OrificeWizard(box);
        EXPECT_EQ(box.text, "typed");
    }
}

} // namespace
