// The shipped examples and a new network as a new user first sees them: opened in the program's first
// window and run with F12. Sizes are measured in the window's pixels from what the drawing surface was
// asked to draw, with the fonts the program measures its texts in, so they hold with any installed fonts.
#include "ShellFixture.h"

#include "common/RealKeys.h"
#include "graphics/drawing.h"
#include "graphics/network_drawing.h"
#include "graphics/visible.h"
#include "model/node_keys.h"
#include "platform/Text1252.h"

#include <QCoreApplication>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

// A fan, a door or a fixed quantity of fewer pixels across cannot be told apart; nor an arrowhead with
// shorter barbs.
constexpr double ReadableSymbol = 12;
constexpr double ReadableBarb = 6;

struct PixelBox {
    std::string text;
    double left, top, right, bottom;
};

} // namespace

class FirstSight : public ShellTest {
protected:
    PictureBox &picture() const { return window(0)->Picture(); }
    double pixelsPerUnit() const { return picture().PixelWidth() / std::abs(picture().ScaleWidth); }

    // The decorations of the network (symbols, arrows, texts) that the first window shows now.
    std::vector<DrawnPrimitive> decorations() {
        Redraw();
        std::vector<DrawnPrimitive> drawn;
        picture().Recording = &drawn;
        DrawNetwork();
        picture().Recording = nullptr;
        return drawn;
    }

    // The pixel box of each text that shows something, measured in the font it was drawn in.
    std::vector<PixelBox> labels(const std::vector<DrawnPrimitive> &drawn) {
        PictureBox &pic = picture();
        const double size = pic.FontSize;
        const bool bold = pic.FontBold;
        std::vector<PixelBox> boxes;
        for (const auto &p : drawn) {
            if (p.kind != DrawnPrimitive::Text || Trim(p.text).empty())
                continue;
            pic.FontSize = p.fontSize;
            pic.FontBold = p.bold;
            const double left = pic.ToPixelX(p.x1), top = pic.ToPixelY(p.y1);
            boxes.push_back({p.text, left, top,
                             left + std::abs(pic.ToPixelX(p.x1 + pic.TextWidth(p.text)) - left),
                             top + std::abs(pic.ToPixelY(p.y1 + pic.TextHeight(p.text)) - top)});
        }
        pic.FontSize = size;
        pic.FontBold = bold;
        return boxes;
    }

    // The pixel box of each fan, door, regulator and fixed quantity.
    std::vector<PixelBox> symbols(const std::vector<DrawnPrimitive> &drawn) const {
        const PictureBox &pic = picture();
        std::vector<PixelBox> boxes;
        for (const auto &p : drawn)
            if (p.kind == DrawnPrimitive::Picture &&
                p.pictureKey != SymbolPicture(SymbolSlot::Node).cacheKey()) {
                const double x[2] = {pic.ToPixelX(p.x1), pic.ToPixelX(p.x1 + p.x2)};
                const double y[2] = {pic.ToPixelY(p.y1), pic.ToPixelY(p.y1 + p.y2)};
                boxes.push_back({"a symbol", std::min(x[0], x[1]), std::min(y[0], y[1]), std::max(x[0], x[1]),
                                 std::max(y[0], y[1])});
            }
        return boxes;
    }

    // Every fan, door, regulator and fixed quantity and every arrowhead barb is readable.
    void expectReadableSymbols(const std::vector<DrawnPrimitive> &drawn, const std::string &what) {
        std::map<qint64, const char *> kinds;
        for (const auto &[slot, name] :
             {std::pair{SymbolSlot::Fan, "fan"}, std::pair{SymbolSlot::BulkheadSmall, "bulkhead"},
              std::pair{SymbolSlot::ObstructionSmall, "obstruction"},
              std::pair{SymbolSlot::Regulator, "regulator"}, std::pair{SymbolSlot::Fixed, "fixed quantity"}})
            kinds[SymbolPicture(slot).cacheKey()] = name;
        std::map<std::string, int> seen;
        int barbs = 0;
        for (const auto &p : drawn) {
            if (p.kind == DrawnPrimitive::Picture && kinds.count(p.pictureKey) != 0) {
                ++seen[kinds[p.pictureKey]];
                EXPECT_GE(p.x2 * pixelsPerUnit(), ReadableSymbol) << what << ": " << kinds[p.pictureKey];
            } else if (p.kind == DrawnPrimitive::Line) {
                ++barbs;
                EXPECT_GE(std::hypot(p.x2 - p.x1, p.y2 - p.y1) * pixelsPerUnit(), ReadableBarb) << what;
            }
        }
        EXPECT_GE(seen["fan"], 1) << what;
        EXPECT_GE(seen["bulkhead"], 1) << what;
        EXPECT_GE(seen["fixed quantity"] + seen["regulator"], 1) << what;
        EXPECT_GT(barbs, 0) << what;
    }
};

TEST_F(FirstSight, EachExampleRunsOnItsFanCurvesAndShowsItsWholeNetworkWithEveryLabelApart) {
    for (const char *example : {"teaching.sim", "mine.sim"}) {
        SCOPED_TRACE(example);
        StartOnExample(example);
        RealKeys::Click(window(0)->View(), Qt::Key_F12);
        QCoreApplication::processEvents();
        EXPECT_TRUE(NetworkBalanced);
        // Not a line in the warning list, so no fan beyond its curve.
        EXPECT_EQ(Errorlist, std::vector<std::string>{});

        // Every airway drawn lies in the window.
        const PictureBox &pic = picture();
        for (int i = 1; i <= AirwayScreenCount; ++i) {
            const AirwayScreenRecord &r = AirwayScreen(i);
            for (const auto &[x, y] : {std::pair{r.x1, r.y1}, std::pair{r.x2, r.y2}}) {
                EXPECT_GE(pic.ToPixelX(x), 0) << "airway " << r.airway;
                EXPECT_LE(pic.ToPixelX(x), pic.PixelWidth()) << "airway " << r.airway;
                EXPECT_GE(pic.ToPixelY(y), 0) << "airway " << r.airway;
                EXPECT_LE(pic.ToPixelY(y), pic.PixelHeight()) << "airway " << r.airway;
            }
        }
        const std::vector<DrawnPrimitive> drawn = decorations();
        expectReadableSymbols(drawn, example);
        const std::vector<PixelBox> texts = labels(drawn);
        EXPECT_GT(texts.size(), 10u);
        std::vector<PixelBox> others = texts;
        for (const PixelBox &symbol : symbols(drawn))
            others.push_back(symbol);
        for (size_t i = 0; i < texts.size(); ++i) {
            const PixelBox &a = texts[i];
            EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= pic.PixelWidth() &&
                        a.bottom <= pic.PixelHeight())
                << "\"" << a.text << "\" reaches out of the window";
            for (size_t j = i + 1; j < others.size(); ++j) {
                const PixelBox &b = others[j];
                // The lines of one airway's text stack abut.
                constexpr double abut = 0.01;
                EXPECT_FALSE(a.left < b.right - abut && b.left < a.right - abut && a.top < b.bottom - abut &&
                             b.top < a.bottom - abut)
                    << "\"" << a.text << "\" and \"" << b.text << "\" overlap";
            }
        }
    }
    EXPECT_TRUE(boxes->Done());
}

TEST_F(FirstSight, ANewNetworkDrawsItsSymbolsReadable) {
    StartAsInstalled("");
    // A fan, a bulkhead and a fixed quantity in the window a new network opens with.
    AddAirways(3);
    for (int a = 1; a <= 3; ++a) {
        AirwayStart(1, a) = 800 + 120 * a;
        AirwayEnd(1, a) = AirwayStart(1, a) + 100;
        AirwayStart(2, a) = AirwayEnd(2, a) = 1000;
        AirwayIconPosition(a) = 0.5f;
    }
    AirwayFan(1) = 1;
    AirwayResistanceType(2) = 1;
    AirwayFlags(3) |= AirwayFlag::FixedFlow;
    UpdateNodeKeys();
    SetVisibleAirways();
    expectReadableSymbols(decorations(), "a new network");
}
