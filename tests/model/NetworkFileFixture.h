#pragma once
// A model with graphics window 0 active (saving needs one), a fixed clock, and helpers to save and load
// network files of the test folder.
#include "common/ModelFixture.h"
#include "common/NetworkGenerator.h"
#include "graphics/graphics_state.h"
#include "model/defaults_block.h"
#include "model/network_load.h"
#include "model/network_save.h"
#include "model/record_line.h"
#include "model/recovery_copy.h"
#include "model/text_files.h"
#include "platform/PictureBox.h"
#include "platform/System.h"

#include <sstream>
#include <string>

class NetworkFileTest : public ModelTest {
protected:
    PictureBox picture{400, 300};
    // Any box a test does not script fails the test instead of waiting for a user.
    ScriptedDialogs unexpectedBoxes;
    VB::DateTime clock{2026, 3, 14, 9, 5, 7};

    void SetUp() override {
        ModelTest::SetUp();
        picture.ScaleWidth = 1000;
        picture.ScaleHeight = 750;
        picture.ScaleLeft = -500;
        picture.ScaleTop = -375;
        SetWindowPicture(0, &picture);
        ActiveWindow = 0;
        VB::SetClockOverride(&clock);
        VB::SetLocaleDecimalSeparatorOverride('.');
        LoadMode = 1;
        LevelOffset = 0;
        SmokeMode = 0;
        MasterFile = false;
        NetworkFileName.clear();
        FileNote.clear();
        for (int i = 1; i <= 9; ++i)
            RecentFiles(i).clear();
    }
    void TearDown() override {
        SetWindowPicture(0, nullptr);
        ActiveWindow = -1;
        VB::SetClockOverride(nullptr);
        VB::SetLocaleDecimalSeparatorOverride(0);
    }

    std::string Path(const std::string &name) const { return folder.path() + name; }
    // A file anywhere inside the test folder, this program's recovery copy among them.
    std::string TextOf(const std::string &path) const {
        return folder.Read(path.substr(folder.path().size()));
    }
    std::string RecoveryCopyText() const { return TextOf(RecoveryCopyPath()); }
    bool SaveTo(const std::string &name) {
        NetworkFileName = Path(name);
        return SaveNetwork(0);
    }
    LoadOutcome LoadFrom(const std::string &name) {
        NetworkFileName = Path(name);
        LoadMode = 1;
        return LoadNetwork();
    }

    // Compares two snapshots line by line and reports the first lines that differ (whole snapshots are
    // too long to read in a failure message).
    static void ExpectSameLines(const std::string &actual, const std::string &expected) {
        std::istringstream a(actual), e(expected);
        std::string la, le;
        int line = 1, reported = 0;
        while (reported < 5) {
            const bool moreA = static_cast<bool>(std::getline(a, la));
            const bool moreE = static_cast<bool>(std::getline(e, le));
            if (!moreA && !moreE)
                break;
            if (la != le || moreA != moreE) {
                ADD_FAILURE() << "line " << line << "\n  actual:   " << (moreA ? la : "<end>")
                              << "\n  expected: " << (moreE ? le : "<end>");
                ++reported;
            }
            ++line;
        }
    }

    // Everything of the network that a save and load keep, as text.
    static std::string Snapshot() {
        std::ostringstream s;
        s << NetworkTitle << '|' << AxisSignX << AxisSignY << '\n';
        for (int l = 1; l <= 249; ++l)
            if (!LevelName(l).empty() || LevelRange(l, 1) != 0)
                s << "L" << l << ' ' << LevelName(l) << ' ' << LevelRange(l, 1) << ' ' << LevelRange(l, 2)
                  << '\n';
        for (int f = 1; f <= MaxFans; ++f) {
            if (FanName(f).empty() && FanCurvePressure(1, 1, f) == 0)
                continue;
            s << "F" << f << ' ' << FanName(f) << ' ' << FanDiameter(f);
            for (int p = 1; p <= 10; ++p)
                s << ' ' << FanCurvePressure(1, p, f) << '/' << FanCurveFlow(p, f) << '/'
                  << FanCurveEfficiency(p, f) << '/' << FanCurvePressure(2, p, f);
            s << '\n';
        }
        for (int t = 1; t <= MaxFloatingTexts; ++t)
            if (FloatingTextUsed(t))
                s << "T " << FloatingTextString(t) << ' ' << FloatingTextPosition(1, t) << ' '
                  << FloatingTextPosition(2, t) << ' ' << FloatingTextPosition(3, t) << '\n';
        for (int n = 1; n <= 16; ++n)
            s << "P" << n << ' ' << PrimaryLayerName(n)
              << (n > 8 ? (PrimaryLayerVisible(n) ? " v" : " h") : "") << '\n';
        for (int n = 1; n <= 48; ++n)
            if (!SecondaryLayerName(n).empty())
                s << "S" << n << ' ' << SecondaryLayerName(n) << '\n';
        // Settings that the block carries unchanged (it fills some empty ones with defaults on reading).
        s << "settings " << PowerCost << ' ' << AirDensity << ' ' << AirPowerEfficiency << ' '
          << MaxIterations << ' ' << MaxError << ' ' << GraphicsDetail << ' ' << SurfaceName << '\n';
        for (int i = 0; i <= 9; ++i)
            s << WallTypeName(i) << '=' << WallTypeFactor(i) << ' ' << ShockTypeName(i) << '='
              << ShockTypeLength(i) << ' ' << ResistanceTypeValue(i) << '\n';
        s << "airways " << AirwayCount << '\n';
        for (int a = 1; a <= AirwayCount; ++a) {
            // The undo stamp and the layer-visible mark are the session's, not the network's.
            const int32_t stamp = AirwayUndoStamp(a), flags = AirwayFlags(a);
            AirwayUndoStamp(a) = 0;
            AirwayFlags(a) &= ~AirwayFlag::LayerVisible;
            s << AirwayLine(a) << AirwayStartKey(a) << ' ' << AirwayEndKey(a) << '\n';
            AirwayUndoStamp(a) = stamp;
            AirwayFlags(a) = flags;
        }
        return s.str();
    }
};
