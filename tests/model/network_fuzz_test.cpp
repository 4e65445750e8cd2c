// Damaged network files: seeded mutations of the example files fed to the loader. Any outcome is fine
// as long as the load ends, nothing is read or written outside an array (the sanitizer build checks that)
// and the model stays within its bounds.
#include "model/NetworkFileFixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <vector>

namespace {

const std::string ExampleFolder = std::string(GUSTROM_SOURCE_DIR) + "/examples/";

// Answers every box at random (Yes or No for questions) and counts them.
class RandomAnswers : public VB::DialogResponder {
public:
    explicit RandomAnswers(std::mt19937 &random) : random_(random) {
        previous_ = VB::SetDialogResponder(this);
    }
    ~RandomAnswers() override { VB::SetDialogResponder(previous_); }
    int Message(const VB::MessageRequest &request) override {
        ++boxes;
        if (request.buttonSet() == VB::vbYesNo || request.buttonSet() == VB::vbYesNoCancel)
            return random_() % 2 == 0 ? VB::vbYes : VB::vbNo;
        return VB::vbOK;
    }
    std::optional<std::string> Input(const VB::InputRequest &) override { return std::nullopt; }
    std::optional<std::string> File(const VB::FileRequest &) override { return std::nullopt; }
    int boxes = 0;

private:
    std::mt19937 &random_;
    VB::DialogResponder *previous_ = nullptr;
};

const char *const Replacements[] = {
    "",        "-1",     "0",  "99999999", "-2147483649", "1E+300",     "NaN",         "-1E+38",
    "3.4E+39", "abc",    "\t", ",",        "**End of Fa", "End of Tag", "**END OF RL", "End of saved views",
    "32767",   "-32768", "1.5"};

std::string mutate(std::string text, std::mt19937 &random) {
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = random() % text.size();
        switch (random() % 7) {
        case 0: // flip a byte
            text[at] = static_cast<char>(random() % 256);
            break;
        case 1: { // drop a line
            const std::size_t start = text.rfind('\n', at);
            const std::size_t end = text.find('\n', at);
            text.erase(start == std::string::npos ? 0 : start,
                       end == std::string::npos ? std::string::npos
                                                : end - (start == std::string::npos ? 0 : start));
            break;
        }
        case 2: { // repeat a line
            const std::size_t start = text.rfind('\n', at);
            const std::size_t end = text.find('\n', at);
            const std::size_t from = start == std::string::npos ? 0 : start + 1;
            const std::string line =
                text.substr(from, end == std::string::npos ? std::string::npos : end - from + 1);
            text.insert(from, line);
            break;
        }
        case 3: // cut the file short
            text.resize(at);
            break;
        default: { // replace one field with an awkward value
            std::size_t start = text.find_last_of("\t\n,", at);
            start = start == std::string::npos ? 0 : start + 1;
            std::size_t end = text.find_first_of("\t\r,", start);
            if (end == std::string::npos)
                end = text.size();
            text.replace(start, end - start,
                         Replacements[random() % (sizeof Replacements / sizeof Replacements[0])]);
            break;
        }
        }
    }
    return text;
}

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
        const std::string damaged = mutate(seed, random);
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
