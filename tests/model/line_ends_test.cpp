// Every text file the program reads reads alike whatever its line ends: CR LF as the program writes them,
// LF, CR or a mix of the three.
#include "common/FileMutations.h"
#include "exchange/remotes.h"
#include "model/NetworkFileFixture.h"
#include "model/fan_file.h"
#include "model/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using AnyLineEnds = NetworkFileTest;

TEST_F(AnyLineEnds, ShippedFilesWithLfCrOrMixedLineEndsLoadAsTheirCrLfOriginals) {
    const std::string source = GUSTROM_SOURCE_DIR;
    const struct {
        std::string folder, name;
        std::function<void()> load, save;
    } files[] = {
        {"/examples/", "teaching.sim", [this] { LoadFrom("teaching.sim"); },
         [this] { SaveTo("teaching.sim"); }},
        {"/data/", "Defaults.dat", LoadDefaults, [] { SaveDefaults(); }},
        {"/data/", "Conversion.dat", LoadConversion, [] { SaveConversion(); }},
        {"/data/", "fansdata.dat", LoadFanData, [] { SaveFanData(); }},
        {"/data/", "Remotes.dat", LoadRemotes, SaveRemotes},
    };
    const std::vector<std::string> lineEnds[] = {{"\n"}, {"\r"}, {"\n", "\r", "\r\n"}};
    for (const auto &file : files) {
        std::ifstream in(source + file.folder + file.name, std::ios::binary);
        const std::string original{std::istreambuf_iterator<char>(in), {}};
        ASSERT_FALSE(original.empty()) << file.name;
        // What the program writes back after reading the bytes: the whole of what it read.
        const auto resaved = [&](const std::string &bytes) {
            folder.Write(file.name, bytes);
            file.load();
            file.save();
            return folder.Read(file.name);
        };
        const std::string expected = resaved(original);
        for (const auto &ends : lineEnds)
            EXPECT_TRUE(resaved(WithLineEnds(original, ends)) == expected)
                << file.name << " with " << ends.size() << " kind(s) of line end";
    }
}
