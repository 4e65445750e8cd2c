#include "simulation/simplify.h"

#include "graphics/drawing.h"
#include "model/Gustrom1.h"
#include "model/geometry.h"
#include "model/node_keys.h"
#include "model/undo.h"
#include "platform/Busy.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBControls.h"
#include "platform/VBMath.h"
#include "solver/checks.h"
#include "solver/pressures.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <utility>

namespace {

// Start key of an airway extended in this run: its state before the run is already in the undo log.
constexpr Currency Extended = -9999 * CurrencyScale;

// The user chose to end the run after an error.
struct Cancelled {};

int linkCount(int direction, int a) {
    return AirwayLinks(direction, 2, a) - AirwayLinks(direction, 1, a) + 1;
}

std::array<double, 3> direction(int a, double &distance) {
    std::array<double, 3> d{};
    for (int c = 1; c <= 3; ++c)
        d[c - 1] = static_cast<double>(AirwayEnd(c, a)) - AirwayStart(c, a);
    distance = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (double &v : d)
        v = distance > 0 ? v / distance : 0;
    return d;
}

// Angle between the directions of a and b, degrees; exactly opposite directions count as straight.
double angleBetween(int a, int b, double &distanceOfA) {
    double distanceOfB = 0;
    const std::array<double, 3> ua = direction(a, distanceOfA), ub = direction(b, distanceOfB);
    const double dot = ua[0] * ub[0] + ua[1] * ub[1] + ua[2] * ub[2];
    if (std::fabs(dot) == 1)
        return 0;
    return (std::atan(-dot / std::sqrt(std::fabs(1 - dot * dot))) + 2 * std::atan(1.0)) * 180 /
           (4 * std::atan(1.0));
}

bool selected(int a) {
    return (AirwayFlags(a) & AirwayFlag::Selected) != 0;
}

bool onSurface(int a) {
    return AirwayStartKey(a) == SurfaceNodeKey || AirwayEndKey(a) == SurfaceNodeKey;
}

class Run {
public:
    explicit Run(const SimplifyFilter &filter) : f_(filter) {}

    int removed = 0;
    // Joins the filters allowed but that would have lost a resistance, a fan or a fixed flow or pressure.
    int joinsLeft = 0;
    bool zeroFlowSkipped = false;

    void Go() {
        SortAirways();
        UpdateNodeKeys();
        BuildConnections();
        for (int a = 1; a <= AirwayCount; ++a)
            ++ends_[endPair(AirwayStartKey(a), AirwayEndKey(a))];
        // Recording the changes marks the results out of date, so whether they were current is noted now.
        const bool balanced = NetworkBalanced;
        const int count = AirwayCount;
        for (int a = 1; a <= count; ++a)
            guarded([&] { extend(a); });
        if (f_.removeZeroFlow) {
            if (balanced)
                guarded([&] { removeZeroFlow(); });
            else
                zeroFlowSkipped = true;
        }
        guarded([&] {
            for (int a = 1; a <= AirwayCount; ++a)
                if (AirwayStartKey(a) == Extended)
                    RecordUndo(a, UndoCode::After, UndoStep);
        });
    }

    // Steps 5 and 6: one undo step, the slots closed up, the keys recomputed (no marker stays).
    void Finish() {
        if (removed > 0)
            ++UndoStep;
        PackAirways();
        PickedAirway = 0;
        UpdateNodeKeys();
        RedrawAll();
    }

private:
    const SimplifyFilter &f_;
    // Airways between each pair of nodes, either direction, kept up to date as airways are joined.
    std::map<std::pair<Currency, Currency>, int> ends_;

    static std::pair<Currency, Currency> endPair(Currency p, Currency q) {
        return p < q ? std::pair{p, q} : std::pair{q, p};
    }

    template <typename F> void guarded(F &&step) {
        try {
            step();
        } catch (const std::exception &) {
            if (VB::MsgBox("An error was encountered - continue ?", VB::vbOKCancel, "Error") == VB::vbCancel)
                throw Cancelled{};
        }
    }

    // Whether a with b joined into it still has the resistance of both. The joined airway keeps a's
    // settings and only its computed resistance follows the joined length: b must be nothing but its
    // geometry (no preset, bulkhead or fixed value), a's resistance must be neither fixed nor a preset in
    // place of its geometry's, and a length kept fixed must be added up. A fan, a fixed pressure or a fixed
    // quantity on either would be lost or moved.
    bool joinKeepsResistance(int a, int b) const {
        const int32_t flags = AirwayFlags(a) | AirwayFlags(b);
        if (AirwayFan(a) != 0 || AirwayFan(b) != 0 || (flags & AirwayFlag::FixedFlow) != 0)
            return false;
        if (AirwayResistanceType(b) != 0 || AirwayResistanceType(a) == TypedPreset)
            return false;
        // A preset that replaces the computed resistance would stand for the joined length alone.
        if (AirwayResistanceType(a) != 0 && PresetResistanceReplaces == 1)
            return false;
        return f_.combineLengths || (flags & AirwayFlag::FixedLength) == 0;
    }

    // Joins into a every airway that follows it in series while the filters allow.
    void extend(int a) {
        if ((f_.noPresets && AirwayResistanceType(a) != 0) || (f_.selectedOnly && !selected(a)))
            return;
        const Currency ownStart = AirwayStartKey(a);
        for (;;) {
            if (linkCount(2, a) != 1)
                return;
            const int b = AirwayLinkList(AirwayLinks(2, 1, a));
            if (linkCount(1, b) != 1 || AirwayLength(a) == 0 || AirwayLength(b) == 0)
                return;
            // A ring must not close on itself, and under the filter the absorbed airway is chosen too.
            if (b == a || AirwayEndKey(b) == ownStart || (f_.selectedOnly && !selected(b)))
                return;
            double distance = 0;
            const double angle = angleBetween(a, b, distance);
            if (!(std::fabs(angle) <= f_.maxAngle && distance <= f_.maxLength))
                return;
            if (onSurface(a) || onSurface(b) || (f_.noPresets && AirwayResistanceType(b) != 0))
                return;
            if (f_.sameWall && AirwayWallType(a) != AirwayWallType(b))
                return;
            if (f_.sameSize && (AirwaySize(1, a) != AirwaySize(1, b) || AirwaySize(2, a) != AirwaySize(2, b)))
                return;
            // Two airways between the same nodes are refused by the network check, so the run would no
            // longer solve.
            const Currency middle = AirwayEndKey(a), far = AirwayEndKey(b);
            if (ends_[endPair(ownStart, far)] > 0)
                return;
            if (!joinKeepsResistance(a, b)) {
                ++joinsLeft;
                return;
            }
            --ends_[endPair(ownStart, middle)];
            --ends_[endPair(middle, far)];
            ++ends_[endPair(ownStart, far)];
            join(a, b);
        }
    }

    void join(int a, int b) {
        ++removed;
        if (AirwayStartKey(a) != Extended) {
            RecordUndo(a, UndoCode::Before, UndoStep);
            AirwayStartKey(a) = Extended;
        }
        AirwayEndKey(a) = AirwayEndKey(b);
        for (int c = 1; c <= 3; ++c)
            AirwayEnd(c, a) = AirwayEnd(c, b);
        AirwayLinks(2, 1, a) = AirwayLinks(2, 1, b);
        AirwayLinks(2, 2, a) = AirwayLinks(2, 2, b);
        if (f_.combineLengths) {
            AirwayLength(a) += AirwayLength(b);
            AirwayShockLength(a) += AirwayShockLength(b);
            if (AirwayShockLength(a) > 0)
                AirwayShockType(a) = TypedPreset;
            AirwayFlags(a) |= AirwayFlag::FixedLength;
        }
        if (AirwayStartKey(b) != Extended)
            RecordUndo(b, UndoCode::Before, UndoStep);
        ClearAirway(b);
    }

    void removeZeroFlow() {
        for (int a = 1; a <= AirwayCount; ++a) {
            if (AirwayFlags(a) == 0 || (f_.selectedOnly && !selected(a)) || AirwayFlow(a) != 0)
                continue;
            // An extended airway's state before the run is logged already.
            if (AirwayStartKey(a) != Extended)
                RecordUndo(a, UndoCode::Before, UndoStep);
            ClearAirway(a);
            ++removed;
        }
    }
};

QCheckBox *checkBox(const char *caption, const char *tip, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    if (*tip != '\0')
        box->setToolTip(tip);
    return box;
}

} // namespace

int SimplifyNetwork(const SimplifyFilter &filter) {
    VB::BusyScope busy;
    if (!busy.Acquired())
        return 0;
    VB::SetScreenPointer(VB::vbHourglass);
    Run run(filter);
    bool cancelled = false;
    try {
        run.Go();
    } catch (const Cancelled &) {
        cancelled = true;
    }
    run.Finish();
    VB::SetScreenPointer(VB::vbDefault);
    if (!cancelled) {
        std::string text = "The network size was reduced by " + std::to_string(run.removed) + " airways";
        if (run.joinsLeft > 0)
            text += "\r\n" + std::to_string(run.joinsLeft) +
                    " joins were left to keep resistance presets, fixed resistances and lengths, fans, "
                    "fixed pressures and fixed quantities";
        if (run.zeroFlowSkipped)
            text += "\r\nZero flow airways not removed - network not balanced";
        VB::MsgBox(text, VB::vbOKOnly);
    }
    return run.removed;
}

frmSimplify::frmSimplify(QWidget *parent) : QWidget(parent, Qt::Tool) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Simplify Network Filter");
    auto *grid = new QGridLayout(this);
    auto bar = [this](int maximum, int start) {
        auto *b = new QScrollBar(Qt::Horizontal, this);
        b->setRange(0, maximum);
        b->setValue(start);
        return b;
    };
    Label2 = new QLabel("Max Length", this);
    TxtL = new QLineEdit(this);
    HSL = bar(2000, 200);
    Label1 = new QLabel("Max Angle", this);
    TxtA = new QLineEdit(this);
    HSA = bar(90, 15);
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(TxtL, 0, 1);
    grid->addWidget(HSL, 0, 2);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(TxtA, 1, 1);
    grid->addWidget(HSA, 1, 2);
    CheckK = checkBox("Ensure wall types are the same",
                      "Only airways with same friction wall types will be filtered", this);
    CheckS = checkBox("Ensure airway dimensions are the same",
                      "Only airways with same dimensions will be filtered", this);
    CheckR = checkBox("Ensure no resistance presets filtered",
                      "Airways with preset resistance will not be filtered", this);
    CheckSel =
        checkBox("Filter selected airways only", "Simplify will only be performed on selected airways", this);
    ChkCombine =
        checkBox("Use Combined Lengths", "Combined lengths will be fixed into the new filtered airway", this);
    ChkZero = checkBox("Remove airways with zero flow", "", this);
    int row = 2;
    for (QCheckBox *box : {CheckK, CheckS, CheckR, CheckSel, ChkCombine, ChkZero})
        grid->addWidget(box, row++, 0, 1, 3);
    CmdSimp = new QPushButton("Simplify !", this);
    CmdExit = new QPushButton("Exit", this);
    grid->addWidget(CmdSimp, row, 0);
    grid->addWidget(CmdExit, row, 2);
    // Form_Load and the bars' change handlers: the boxes show the bars' positions.
    TxtL->setText(QString::number(HSL->value()));
    TxtA->setText(QString::number(HSA->value()));
    connect(HSL, &QScrollBar::valueChanged, this, [this](int v) { TxtL->setText(QString::number(v)); });
    connect(HSA, &QScrollBar::valueChanged, this, [this](int v) { TxtA->setText(QString::number(v)); });
    connect(CmdSimp, &QPushButton::clicked, this, [this] { CmdSimp_Click(); });
    connect(CmdExit, &QPushButton::clicked, this, [this] { close(); });
    VB_NAME_CONTROLS(Label1, Label2, TxtL, TxtA, HSL, HSA, CheckK, CheckS, CheckR, CheckSel, ChkCombine,
                     ChkZero, CmdSimp, CmdExit);
}

void frmSimplify::CmdSimp_Click() {
    SimplifyFilter filter;
    filter.maxLength = static_cast<int32_t>(VB::RoundHalfEven(VB::Val(FromQt(TxtL->text()))));
    filter.maxAngle = static_cast<float>(VB::Val(FromQt(TxtA->text())));
    filter.sameWall = CheckK->isChecked();
    filter.sameSize = CheckS->isChecked();
    filter.noPresets = CheckR->isChecked();
    filter.selectedOnly = CheckSel->isChecked();
    filter.combineLengths = ChkCombine->isChecked();
    filter.removeZeroFlow = ChkZero->isChecked();
    SimplifyNetwork(filter);
}
