#include "common/ProgramState.h"
#include "common/CoreState.h"
#include "model/Gustrom1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

// The names of the variables a header declares extern.
std::vector<std::string> externNames(const std::string &header) {
    std::ifstream in(header);
    std::string text, line;
    while (std::getline(in, line))
        text += line.substr(0, line.find("//")) + ' ';
    std::vector<std::string> names;
    for (std::size_t at = text.find("extern "); at != std::string::npos; at = text.find("extern ", at + 1)) {
        const bool wordStart =
            at == 0 || !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_');
        const std::size_t end = text.find(';', at);
        if (!wordStart || end == std::string::npos || text.compare(at, 10, "extern \"C\"") == 0)
            continue;
        // Declarators split at the commas outside template brackets; each ends in its name (then [..]).
        std::vector<std::string> parts(1);
        int depth = 0;
        for (std::size_t i = at + 7; i < end; ++i) {
            const char c = text[i];
            depth += c == '<' ? 1 : c == '>' ? -1 : 0;
            if (c == ',' && depth == 0)
                parts.emplace_back();
            else
                parts.back() += c;
        }
        for (std::string part : parts) {
            part = part.substr(0, std::min(part.find('['), part.find('=')));
            std::size_t last = part.find_last_not_of(" \t");
            std::size_t first = last;
            while (first > 0 &&
                   (std::isalnum(static_cast<unsigned char>(part[first - 1])) || part[first - 1] == '_'))
                --first;
            names.push_back(part.substr(first, last - first + 1));
        }
    }
    return names;
}

} // namespace

TEST(ProgramState, EveryDeclaredGlobalIsReset) {
    const std::vector<std::string> listed = ResetGlobalNames();
    const std::set<std::string> reset(listed.begin(), listed.end());
    std::set<std::string> declared;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(GUSTROM_SOURCE_DIR "/src")) {
        if (entry.path().extension() != ".h")
            continue;
        for (const std::string &name : externNames(entry.path().string())) {
            declared.insert(name);
            EXPECT_TRUE(reset.contains(name))
                << name << " (" << entry.path().filename().string()
                << ") is missing from GUSTROM_RESET_GLOBALS in tests/common/ProgramState.cpp";
        }
    }
    // A name the headers no longer declare would not compile in the list; the parse must find them all.
    EXPECT_EQ(declared.size(), reset.size());
}

// The solver's tests reset the core's state alone: a core global listed with the layers above it would
// carry over from one of them to the next.
TEST(ProgramState, TheCoresOwnResetCoversEveryGlobalOfTheCoreAndNoOther) {
    const std::vector<std::string> listed = CoreGlobalNames();
    const std::set<std::string> reset(listed.begin(), listed.end());
    std::set<std::string> declared;
    for (const char *layer : {"platform", "model", "solver"})
        for (const auto &entry :
             std::filesystem::directory_iterator(GUSTROM_SOURCE_DIR "/src/" + std::string(layer)))
            if (entry.path().extension() == ".h")
                for (const std::string &name : externNames(entry.path().string())) {
                    declared.insert(name);
                    EXPECT_TRUE(reset.contains(name))
                        << name << " is missing from GUSTROM_CORE_GLOBALS in tests/common/CoreState.cpp";
                }
    EXPECT_EQ(reset.size(), declared.size())
        << "GUSTROM_CORE_GLOBALS lists a global of a layer above the core";
}

TEST(ProgramState, ResetPutsValuesArraysAndTablesBackToTheStart) {
    const int32_t maxAirways = MaxAirways;
    const std::string wallName = WallTypeName(4);
    MaxAirways = 7;
    ReDimNetwork();
    AirwayCount = 3;
    WallTypeName(4) = "changed";
    ResetProgramState();
    EXPECT_EQ(MaxAirways, maxAirways);
    EXPECT_EQ(AirwayCount, 0);
    EXPECT_EQ(AirwayFlags.size(), 0u); // unallocated, as at start
    EXPECT_EQ(WallTypeName(4), wallName);
}
