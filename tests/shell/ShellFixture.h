#pragma once
// A started main window (title bypassed) in a test folder, with scripted message boxes.
#include "common/ScriptedDialogs.h"
#include "common/TestFolder.h"
#include "graphics/graphics_state.h"
#include "model/Gustrom1.h"
#include "model/fan_file.h"
#include "model/settings_file.h"
#include "model/units.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/VBControls.h"
#include "shell/MainForm.h"
#include "shell/frmTitle.h"
#include "shell/frmWindow.h"
#include "shell/shell_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class ShellTest : public ::testing::Test {
protected:
    TestFolder folder;
    std::unique_ptr<ScriptedDialogs> boxes = std::make_unique<ScriptedDialogs>();
    std::unique_ptr<MainForm> form;

    void SetUp() override {
        UnitSystem = 1;
        // The main window installs the model's upper layers itself: every shell test runs without the
        // test program's copy.
        SetUpperLayers(nullptr);
        // The program's own settings, unit and fan files beside it, as an installed program has them.
        AppFolder = folder.path();
        WriteStartupFiles();
        form = std::make_unique<MainForm>();
        form->show();
        form->MDIForm_Load();
    }
    void TearDown() override { form.reset(); }

    // Starts the program as installed (the shipped settings, unit and fan files) on a copy of an example
    // network, so that nothing a test saves can reach the checked-in file. Replaces SetUp; a test may call
    // it again to start afresh on another example.
    void StartOnExample(const std::string &example) {
        std::filesystem::copy_file(std::string(GUSTROM_SOURCE_DIR) + "/examples/" + example,
                                   folder.path() + example,
                                   std::filesystem::copy_options::overwrite_existing);
        StartAsInstalled(folder.path() + example);
    }
    // Starts the program as installed through its title window, on the network file named on the command
    // line (none when empty).
    void StartAsInstalled(const std::string &commandLine) {
        form.reset();
        UnitSystem = 1;
        AppFolder = folder.path();
        for (const char *name : {"Defaults.dat", "Conversion.dat", "fansdata.dat"})
            std::filesystem::copy_file(std::string(GUSTROM_SOURCE_DIR) + "/data/" + name,
                                       folder.path() + name,
                                       std::filesystem::copy_options::overwrite_existing);
        frmTitle title(commandLine);
        title.Start();
        form.reset(title.MainWindow());
        ASSERT_NE(form, nullptr);
    }

    static void WriteStartupFiles() {
        ScriptedDialogs setup;
        setup.Expect(VB::vbOK, "Error re-loading defaults");
        SetBuiltInUnits();
        SetDefaults();
        ASSERT_TRUE(SaveDefaults());
        ASSERT_TRUE(SaveFanData());
    }

    // Runs the one modal dialog, of type D, that `show` opens, working it with `work`.
    template <typename D>
    static void withDialog(const std::function<void()> &show, const std::function<void(D &)> &work) {
        int shown = 0;
        VB::SetModalDriver([&](QDialog &dialog) {
            auto *d = qobject_cast<D *>(&dialog);
            ASSERT_NE(d, nullptr);
            ++shown;
            work(*d);
        });
        show();
        VB::SetModalDriver({});
        EXPECT_EQ(shown, 1);
    }
    template <typename D> static void withDialog(QAction *action, const std::function<void(D &)> &work) {
        withDialog<D>([action] { action->trigger(); }, work);
    }

    frmWindow *window(int w) const { return Windows[static_cast<size_t>(w)]; }

    // Puts n airways in the network, each a short level drive.
    void AddAirways(int n) {
        for (int a = 1; a <= n; ++a) {
            AirwayFlags(a) = 0x1;
            AirwayStart(1, a) = 10 * a;
            AirwayEnd(1, a) = 10 * a + 8;
            AirwayStart(3, a) = AirwayEnd(3, a) = 490;
        }
        AirwayCount = n;
    }
};
