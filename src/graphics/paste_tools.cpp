// The attribute and layer tools: the right button copies from an airway (or into the new-airway defaults),
// the left button pastes onto an airway or, with a fence, onto every airway inside it.
#include "graphics/drawing.h"
#include "graphics/graphics_state.h"
#include "graphics/mouse.h"
#include "graphics/picking.h"
#include "graphics/projection.h"
#include "graphics/tool_state.h"
#include "graphics/tools.h"
#include "graphics/visible.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/undo.h"
#include "model/units.h"
#include "platform/Dialogs.h"
#include "platform/ShellHooks.h"
#include "platform/VBMath.h"

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

CopiedAttributes AttributeBuffer;

namespace {

// Attribute groups of AttributeMask (a set bit leaves the group out).
enum Attribute { Shape, Wall, Shock, Resistance, Length, Air, Primary, Secondary, DisplayData, Attributes };
constexpr int32_t NothingSelected = 511;
constexpr int PastedMessageMs = 400;

constexpr int32_t ShapeBits = AirwayFlag::Rectangular | AirwayFlag::Round | AirwayFlag::Irregular;
constexpr int32_t SurfaceBits = AirwayFlag::SurfaceEntry | AirwayFlag::SurfaceExit;

bool taking(int attribute) {
    return (AttributeMask & (1 << attribute)) == 0;
}

// 1 rectangular, 2 round, 3 irregular; the recalculation's order decides when several bits are set.
int shapeOf(int a) {
    const int32_t flags = AirwayFlags(a);
    return (flags & AirwayFlag::Irregular) ? 3 : (flags & AirwayFlag::Round) ? 2 : 1;
}

std::string value(float v, int quantity) {
    return FormatValue(v, quantity, 1, 0);
}

std::string named(const VBArray<std::string> &names, int index) {
    return names.InBounds(index) ? names(index) : std::string();
}

std::string layerLine(const char *label, int n, const VBArray<std::string> &names) {
    return std::string(label) + std::to_string(n) + " : " + named(names, n);
}

// The information lines that copying to a buffer and to the defaults share.
std::string airText(int32_t flags) {
    if (flags & AirwayFlag::FreshAir)
        return "Airway is in fresh air";
    if (flags & AirwayFlag::ExhaustAir)
        return "Airway is in exhaust air";
    return "Airway is in unspecified air";
}
std::string dataText(int32_t flags) {
    return (flags & AirwayFlag::DataHidden) ? "Data values will be hidden" : "Data values will be shown";
}

// The box text: a heading, a blank line and one line per attribute taken, in the given order.
std::string attributeBox(const std::string &heading, const std::array<std::string, Attributes> &lines,
                         const std::array<int, Attributes> &order) {
    std::string text = heading + "\r\n\r\n";
    for (int attribute : order)
        if (taking(attribute))
            text += lines[static_cast<size_t>(attribute)] + "\r\n";
    return text;
}

void copyToDefaults(int a) {
    std::array<std::string, Attributes> lines;
    const int shape = shapeOf(a);
    const int32_t flags = AirwayFlags(a);
    if (taking(Wall)) {
        (shape == 2 ? DefaultRaiseWallType : DefaultDriveWallType) = AirwayWallType(a);
        const char *label = shape == 1   ? "Drive Wall Type: "
                            : shape == 2 ? "Raise Wall Type: "
                                         : "Airway Wall Type: ";
        lines[Wall] = label + named(WallTypeName, AirwayWallType(a));
    }
    if (taking(Resistance))
        lines[Resistance] = "Resistance Type: " + named(ResistanceTypeName, AirwayResistanceType(a));
    if (taking(Shock)) {
        DefaultShockLength = static_cast<float>(AirwayShockType(a));
        lines[Shock] = "Shock Value: " + named(ShockTypeName, AirwayShockType(a));
    }
    if (taking(Primary)) {
        ActivePrimaryLayer = AirwayPrimaryLayer(a);
        lines[Primary] = layerLine("Primary Layer = ", AirwayPrimaryLayer(a), PrimaryLayerName);
    }
    if (taking(Secondary)) {
        ActiveSecondaryLayer = AirwaySecondaryLayer(a);
        lines[Secondary] = layerLine("Secondary Layer = ", AirwaySecondaryLayer(a), SecondaryLayerName);
    }
    if (taking(Shape)) {
        if (shape == 1) {
            DefaultDriveHeight = AirwaySize(1, a);
            DefaultDriveWidth = AirwaySize(2, a);
            lines[Shape] = "Dimension " + value(AirwaySize(1, a), 1) + "x" + value(AirwaySize(2, a), 1);
        } else if (shape == 2) {
            DefaultRaiseDiameter = AirwaySize(2, a);
            lines[Shape] = "Diameter " + value(AirwaySize(2, a), 1);
        } else {
            DefaultArea = AirwaySize(2, a);
            DefaultPerimeter = AirwaySize(1, a);
            lines[Shape] = "Area " + value(AirwaySize(2, a), 3) + "x P" + value(AirwaySize(1, a), 1);
        }
    }
    lines[Length] = (flags & AirwayFlag::FixedLength) ? "Length is fixed" : "Length is unfixed";
    lines[Air] = airText(flags);
    lines[DisplayData] = dataText(flags);
    VB::MsgBox(attributeBox("The following attributes for branch" + VB::Str(a) + " were copied to defaults",
                            lines,
                            {Shape, Wall, Shock, Resistance, Length, Air, Primary, Secondary, DisplayData}));
    // The settings changed: the exit offers to save them.
    DefaultsSaved = 0;
    CopyToDefaults = false;
}

void copyToBuffer(int a) {
    std::array<std::string, Attributes> lines;
    CopiedAttributes &b = AttributeBuffer;
    const int shape = shapeOf(a);
    const int32_t flags = AirwayFlags(a);
    if (taking(Wall)) {
        b.wallType = AirwayWallType(a);
        b.frictionFactor = AirwayFrictionFactor(a);
        lines[Wall] =
            std::string(shape == 1 ? "Drive Wall Friction Factor: " : "Raise Wall Friction Factor: ") +
            named(WallTypeName, b.wallType) + "  " + value(b.frictionFactor, 10);
    }
    if (taking(Resistance)) {
        b.resistanceType = AirwayResistanceType(a);
        b.resistance = AirwayResistance(a);
        lines[Resistance] = "Resistance Type: " + named(ResistanceTypeName, b.resistanceType);
    }
    if (taking(Shock)) {
        b.shockType = AirwayShockType(a);
        b.shockLength = AirwayShockLength(a);
        lines[Shock] = "Shock Value: " + named(ShockTypeName, b.shockType);
    }
    if (taking(Primary)) {
        b.primaryLayer = AirwayPrimaryLayer(a);
        lines[Primary] = layerLine("Primary Layer = ", b.primaryLayer, PrimaryLayerName);
    }
    if (taking(Secondary)) {
        b.secondaryLayer = AirwaySecondaryLayer(a);
        lines[Secondary] = layerLine("Secondary Layer = ", b.secondaryLayer, SecondaryLayerName);
    }
    if (taking(Shape)) {
        b.shape = shape;
        if (shape == 1) {
            b.height = AirwaySize(1, a);
            b.width = AirwaySize(2, a);
            lines[Shape] = "Dimension " + value(b.height, 1) + " x " + value(b.width, 1);
        } else if (shape == 2) {
            b.diameter = AirwaySize(2, a);
            lines[Shape] = "Diameter " + value(b.diameter, 1);
        } else {
            b.area = AirwaySize(2, a);
            b.perimeter = AirwaySize(1, a);
            lines[Shape] = "Area " + value(b.area, 3) + " x Perimeter " + value(b.perimeter, 1);
        }
    }
    b.flags = flags & ~SurfaceBits;
    if (flags & AirwayFlag::FixedLength) {
        b.fixedLength = AirwayLength(a);
        lines[Length] = "Length is fixed to  " + value(b.fixedLength, 1);
    } else {
        lines[Length] = "Length is unfixed";
    }
    lines[Air] = airText(flags);
    lines[DisplayData] = dataText(flags);
    VB::MsgBox(attributeBox(
        "The following attributes for branch" + VB::Str(AirwayNumber(a)) + " were copied for future pasting",
        lines, {Shape, Resistance, Wall, Shock, Length, Air, Primary, Secondary, DisplayData}));
}

// Takes the flag bits `bits` from the buffer.
void takeBits(int a, int32_t bits) {
    AirwayFlags(a) = (AirwayFlags(a) & ~bits) | (AttributeBuffer.flags & bits);
}

void paste(int a) {
    const CopiedAttributes &b = AttributeBuffer;
    // The shape carries its own bits and the services deduction, nothing else of the source's flags.
    if (taking(Shape) && b.shape != 0) {
        takeBits(a, ShapeBits | AirwayFlag::Services);
        AirwayFlags(a) &= ~ShapeBits;
        if (b.shape == 1) {
            AirwaySize(1, a) = b.height;
            AirwaySize(2, a) = b.width;
            AirwayFlags(a) |= AirwayFlag::Rectangular;
        } else if (b.shape == 2) {
            AirwaySize(1, a) = 0;
            AirwaySize(2, a) = b.diameter;
            AirwayFlags(a) |= AirwayFlag::Round;
        } else {
            AirwaySize(1, a) = b.perimeter;
            AirwaySize(2, a) = b.area;
            AirwayFlags(a) |= AirwayFlag::Irregular;
        }
    }
    if (taking(Wall)) {
        AirwayWallType(a) = b.wallType;
        AirwayFrictionFactor(a) = b.frictionFactor;
    }
    if (taking(Resistance)) {
        AirwayResistanceType(a) = b.resistanceType;
        AirwayResistance(a) = b.resistance;
    }
    if (taking(Shock)) {
        AirwayShockType(a) = b.shockType;
        AirwayShockLength(a) = b.shockLength;
    }
    if (taking(Length))
        takeBits(a, AirwayFlag::FixedLength);
    if (taking(Air))
        takeBits(a, AirwayFlag::FreshAir | AirwayFlag::ExhaustAir);
    if (taking(Primary))
        AirwayPrimaryLayer(a) = std::abs(b.primaryLayer);
    if (taking(Secondary))
        AirwaySecondaryLayer(a) = std::abs(b.secondaryLayer);
    if (taking(DisplayData))
        takeBits(a, AirwayFlag::DataHidden);
    CalcAirway(a);
}

// Applies a change to each airway, recorded before and after, as one undo step.
template <typename F> void changeEach(const std::vector<int> &airways, F change) {
    UndoStepRecorder step;
    for (int a : airways) {
        step.Changing(a);
        change(a);
    }
    step.Close();
}

// The fence's airways after its question; empty when nothing is inside or the answer is No.
std::vector<int> confirmedFence(const std::string &question, const std::string &title) {
    const auto rounded = [](float v) { return VB::ClampToInt<int32_t>(VB::RoundHalfEven(v)); };
    if (!FenceHoldsAirways(rounded(BuildStartX), rounded(BuildStartY), rounded(BuildEndX),
                           rounded(BuildEndY)))
        return {};
    if (VB::MsgBox(question, VB::vbYesNo | VB::vbQuestion, title) != VB::vbYes) {
        Redraw();
        return {};
    }
    return AirwaysInFence(BuildStartX, BuildStartY, BuildEndX, BuildEndY);
}

void pasteLayers(int a) {
    if (ActivePrimaryLayer > 0)
        AirwayPrimaryLayer(a) = std::abs(ActivePrimaryLayer);
    if (ActiveSecondaryLayer > 0)
        AirwaySecondaryLayer(a) = std::abs(ActiveSecondaryLayer);
}

} // namespace

void CopyPasteAttributes() {
    if (!ButtonHeld || ActivePicture() == nullptr)
        return;
    if (AttributeMask == NothingSelected) {
        VB::MsgBox("No copy/paste attributes have been selected !");
        return;
    }
    if (!ReleaseIsClick()) {
        if (AttributeBuffer.flags == 0) {
            VB::MsgBox("Use the right mouse button to copy attributes from an airway first !");
            PickedAirway = 0;
            Redraw();
            return;
        }
        const std::vector<int> fenced = confirmedFence(
            "Are you sure you want to paste the copied attributes to all airways within the fence?",
            "Fence Paste");
        if (fenced.empty())
            return;
        changeEach(fenced, paste);
        PickedAirway = 0;
        SetVisibleAirways();
        RotateView();
        Redraw();
        return;
    }
    const int a = AirwayAtCursor();
    if (a == 0)
        return;
    if (MouseButton == 2 && CopyToDefaults) {
        copyToDefaults(a);
        PickedAirway = 0;
        return;
    }
    CopyToDefaults = false;
    if (MouseButton == 2) {
        copyToBuffer(a);
    } else if (AttributeBuffer.flags == 0) {
        VB::MsgBox(
            "Paste attributes must first be copied from an existing branch by using the right mouse button");
    } else {
        changeEach({a}, paste);
        Shell().ShowMessageWindow("\r\n\r\nAttributes pasted to Branch" + VB::Str(AirwayNumber(a)),
                                  PastedMessageMs);
        SetVisibleAirways();
        RotateView();
    }
    PickedAirway = 0;
    Redraw();
}

void CopyPasteLayers() {
    if (!ButtonHeld || ActivePicture() == nullptr)
        return;
    if (ReleaseIsClick()) {
        const int a = AirwayAtCursor();
        if (a != 0 && MouseButton == 2) {
            ActivePrimaryLayer = AirwayPrimaryLayer(a);
            ActiveSecondaryLayer = AirwaySecondaryLayer(a);
            VB::MsgBox("Primary Layer Default = " + named(PrimaryLayerName, ActivePrimaryLayer) + " (" +
                       std::to_string(ActivePrimaryLayer) +
                       ")\r\nSecondary Layer Default = " + named(SecondaryLayerName, ActiveSecondaryLayer) +
                       " (" + std::to_string(ActiveSecondaryLayer) + ")");
        } else if (a != 0) {
            changeEach({a}, pasteLayers);
            Shell().ShowMessageWindow("\r\n\r\nLayers pasted to branch" + VB::Str(a), PastedMessageMs);
        }
        PickedAirway = 0;
    } else {
        const std::vector<int> fenced = confirmedFence(
            "Are you sure you want to change all airway view layers within the fence ?", "Fence Tag");
        if (fenced.empty())
            return;
        changeEach(fenced, pasteLayers);
    }
    SetVisibleAirways();
    RotateView();
    Redraw();
}
