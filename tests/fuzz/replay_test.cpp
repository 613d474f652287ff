// Runs every fuzz target over its seeds (fuzz/seeds/<target>) and over the
// inputs that once broke it (fuzz/regressions/<target>): each such input is
// a test of its own fault, kept with its fix.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/fuzz_replay.h"
#include "fuzz/fuzz_support.h"

namespace fuzzsupport {
// A target shows as its name in test output.
void PrintTo(const Target& t, std::ostream* os) {
    *os << t.name;
}
}  // namespace fuzzsupport

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsOf(const std::string& target) {
    std::vector<fs::path> files;
    for (const char* kind : {"seeds", "regressions"}) {
        const fs::path dir = fs::path(PELKO_FUZZ_DIR) / kind / target;
        if (!fs::is_directory(dir)) continue;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.is_regular_file()) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzReplay : public ::testing::TestWithParam<fuzzsupport::Target> {};

TEST_P(FuzzReplay, SeedsAndRegressionsKeepEveryRule) {
    const fuzzsupport::Target t = GetParam();
    const std::vector<fs::path> inputs = inputsOf(t.name);
    EXPECT_FALSE(inputs.empty()) << "no seed input for " << t.name;
    // The empty input and a lone byte of every kind belong to every target.
    std::vector<std::string> extra = {std::string(), std::string(1, '\0'), "\n", "\r\n", ";", "|"};
    for (const std::string& bytes : extra) {
        fuzzsupport::replayFailures().clear();
        t.fn(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        EXPECT_TRUE(fuzzsupport::replayFailures().empty())
            << t.name << " on a " << bytes.size()
            << "-byte input: " << fuzzsupport::replayFailures().front();
    }
    for (const fs::path& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        fuzzsupport::replayFailures().clear();
        t.fn(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        for (const std::string& f : fuzzsupport::replayFailures())
            ADD_FAILURE() << p.filename().string() << ": " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(fuzzsupport::targets()),
                         [](const ::testing::TestParamInfo<fuzzsupport::Target>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
