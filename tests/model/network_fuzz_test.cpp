// Damaged network files: seeded mutations of the example files fed to the loader. Any outcome is fine
// as long as the load ends, nothing is read or written outside an array (the sanitizer build checks that)
// and the model stays within its bounds.
#include "common/FileMutations.h"
#include "model/NetworkFileFixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <vector>

namespace {

const std::string ExampleFolder = std::string(GUSTROM_SOURCE_DIR) + "/examples/";

} // namespace

TEST_F(NetworkFileTest, DamagedFilesNeverBreakTheLoader) {
    std::vector<std::string> seeds;
    for (const char *name : {"teaching.sim", "mine.sim"}) {
        std::ifstream in(ExampleFolder + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        seeds.push_back(bytes.str());
    }
    // The teaching network under the version number of an old comma file is tried too.
    std::string comma = seeds[0];
    comma.replace(0, 3, "2.2");
    seeds.push_back(comma);

    std::mt19937 random(20260314);
    RandomAnswers answers(random);
    int loaded = 0, refused = 0, stopped = 0;
    for (int n = 0; n < 2500; ++n) {
        const std::string &seed = seeds[n % 5 == 4 ? 1 : (n % 2 == 0 ? 0 : 2)];
        const std::string damaged = Mutate(seed, random);
        folder.Write("fuzz.sim", damaged);
        MaxAirways = 400;
        NetworkFileName = Path("fuzz.sim");
        LoadMode = 1;
        LevelOffset = 0;
        LoadOutcome outcome = LoadOutcome::NotOpened;
        try {
            outcome = LoadNetwork();
        } catch (const std::exception &e) {
            // The failing file is kept in a folder of its own for a look after the run.
            QTemporaryDir kept(QDir::tempPath() + "/gustrom-fuzz-XXXXXX");
            kept.setAutoRemove(false);
            const std::string keptFile = kept.path().toStdString() + "/damaged.sim";
            std::ofstream(keptFile, std::ios::binary) << damaged;
            FAIL() << "case " << n << " (" << keptFile << "): " << e.what();
        }
        switch (outcome) {
        case LoadOutcome::Loaded:
            ++loaded;
            break;
        case LoadOutcome::NotOpened:
            ++refused;
            break;
        case LoadOutcome::Stopped:
            ++stopped;
            break;
        }
        ASSERT_GE(AirwayCount, 0);
        ASSERT_TRUE(AirwayFlags.InBounds(AirwayCount));
        ASSERT_GE(MaxFans, 10);
        for (int a = 1; a <= AirwayCount; ++a) {
            ASSERT_GE(AirwayFan(a), -1);
            ASSERT_LE(AirwayFan(a), MaxFans);
            ASSERT_GE(AirwayPrimaryLayer(a), 1);
            ASSERT_LE(AirwayPrimaryLayer(a), 16);
        }
    }
    // The mutations reach every outcome.
    EXPECT_GT(loaded, 0);
    EXPECT_GT(refused, 0);
    EXPECT_GT(stopped, 0);
    EXPECT_GT(answers.boxes, 0);
}
