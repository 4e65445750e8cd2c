#pragma once
// The drawing fixture with an image printer current and the printed primitives recorded: window 0 shows
// the world square -500 .. 500 in both directions; tests put screen records in themselves.
#include "common/ScriptedDialogs.h"
#include "common/TestPrinters.h"
#include "exchange/print_network.h"
#include "graphics/DrawingFixture.h"
#include "platform/Printer.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PrintTest : public DrawingTest {
protected:
    std::shared_ptr<ImagePrinter> paper = std::make_shared<ImagePrinter>("Paper");
    std::optional<TestPrinters> printers;
    std::vector<DrawnPrimitive> printed;

    void SetUp() override {
        DrawingTest::SetUp();
        printers.emplace(std::vector<std::shared_ptr<VB::PrinterDriver>>{paper});
        VB::Printer().Recording = &printed;
        PrintScale = 0;
        PrintInColour = 1;
        PrintOrientation = 0;
        PrintTitle = "T";
        RunState = 0;
        DataCode = 12;
        AirwayScreenCount = 0;
        SmokeLegendLevel.ReDim(Bounds{0, 5});
    }
    void TearDown() override {
        VB::Printer().Recording = nullptr;
        printers.reset();
        DrawingTest::TearDown();
    }

    // A screen record of airway a from (x1, y1) to (x2, y2) in the colour.
    static void Record(int a, float x1, float y1, float x2, float y2, int32_t colour = 0x00FF00) {
        AirwayScreenRecord &r = AirwayScreen(++AirwayScreenCount);
        r = {x1, y1, x2, y2, a, colour, 1};
    }
    // A level airway drawn from (x1, y1) to (x2, y2) of the window.
    int LevelAirway(float x1, float y1, float x2, float y2, int32_t colour = 0x00FF00) {
        const int a = AddAirway(static_cast<int>(x1), static_cast<int>(y1), 0, static_cast<int>(x2),
                                static_cast<int>(y2), 0);
        AirwayFlags(a) |= AirwayFlag::LayerVisible;
        Record(a, x1, y1, x2, y2, colour);
        return a;
    }

    std::vector<DrawnPrimitive> Printed(DrawnPrimitive::Kind kind) const {
        std::vector<DrawnPrimitive> out;
        std::copy_if(printed.begin(), printed.end(), std::back_inserter(out),
                     [&](const DrawnPrimitive &p) { return p.kind == kind; });
        return out;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const DrawnPrimitive &p : Printed(DrawnPrimitive::Text))
            out.push_back(p.text);
        return out;
    }
    // The printed text that is exactly `text`, or nothing.
    std::optional<DrawnPrimitive> Text(const std::string &text) const {
        for (const DrawnPrimitive &p : printed)
            if (p.kind == DrawnPrimitive::Text && p.text == text)
                return p;
        return std::nullopt;
    }
};
