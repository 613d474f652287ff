// The driver against the register simulator under fault plans: answers lost,
// checksums broken, NAK, EOT and SYN (alone and in storms), echoes, repeated
// records, a register that restarts in the middle of the report, and a link
// that disappears (the simulator killed). Every run must end in one of two
// ways: end file "000" and the output file holding exactly the register's
// records in order; or an end file with another code, and the output file
// holding a first part of the records, each whole, in order, none twice.
// Never a silent loss, never a duplicate.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ChildProcess;
using testsupport::SimulatorProcess;
using testsupport::TempDir;

enum class Link { Udp, Serial };

struct Plan {
    const char* name;
    std::vector<std::string> faults;  // options of the simulator
    // What the end file may say besides "000" ("" none: the run must succeed).
    std::vector<std::string> failures;
    int vanishAfterRecords = -1;  // kill the simulator once this many records are stored
};

// The records of the room report the simulator serves, as the driver stores
// them: each line with CR LF.
std::vector<std::string> sampleRecords() {
    std::ifstream in(std::string(ECR_SIM_SAMPLE_DIR) + "/RUZ001001001.csv", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> records;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) records.push_back(line + "\r\n");
        pos = end + 1;
    }
    return records;
}

std::size_t countLines(const std::string& s) {
    std::size_t n = 0;
    for (char c : s) n += c == '\n';
    return n;
}

struct Outcome {
    std::string end;     // the end file, "" when there is none
    std::string output;  // the output file
};

Outcome runJob(Link link, const Plan& plan, unsigned seed) {
    TempDir dir;
    fs::copy_file(TARVIK_EXE, dir.path() / "Tarvik");
    fs::create_directories(dir.path() / "LOG");
    std::vector<std::string> args{"--data",  ECR_SIM_SAMPLE_DIR, "--state",           dir.str(),
                                  "--quiet", "--seed",           std::to_string(seed)};
    if (link == Link::Udp) {
        args.insert(args.end(), {"--udp", "127.0.0.1:0"});
    } else {
        args.push_back("--pty");
    }
    args.insert(args.end(), plan.faults.begin(), plan.faults.end());
    SimulatorProcess sim(ECR_SIM_EXE, args);
    EXPECT_TRUE(sim.ready()) << sim.output();
    std::string cmd = "PROCESS=" + dir.file("LOG/job") + "\r\nENDFILE=1\r\n";
    if (link == Link::Udp)
        cmd += "PORT=" + std::to_string(sim.port()) + "\r\nIP=127.0.0.1\r\n";
    else
        cmd += "PORT=3\r\nBAUDRATE=115200\r\n";
    cmd += "NEWFILE=" + dir.file("VZimmerBericht.csv") + "\r\nCOMMAND=RUZ001001001\r\n";
    dir.write("job.cmd", cmd);

    testsupport::ChildOptions opts;
    opts.cwd = dir.str();
    opts.env = {{"TARVIK_COM3", sim.device()},
                {"TARVIK_TIME_LIMIT_MS", std::string("250")},
                {"PELKO_FAIL_WRITE_AFTER", std::nullopt}};
    ChildProcess tarvik(dir.file("Tarvik"), {"job.cmd"}, opts);
    if (plan.vanishAfterRecords >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (countLines(dir.read("VZimmerBericht.csv")) <
                   static_cast<std::size_t>(plan.vanishAfterRecords) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        sim.kill();
    }
    EXPECT_EQ(tarvik.wait(60000), 0) << tarvik.errText();
    Outcome o;
    if (dir.exists("LOG/job.END")) o.end = dir.read("LOG/job.END");
    o.output = dir.read("VZimmerBericht.csv");
    return o;
}

void PrintTo(const Plan& p, std::ostream* os) {
    *os << p.name;
}

class LinkFaults : public ::testing::TestWithParam<std::tuple<Link, Plan>> {};

TEST_P(LinkFaults, NoChargeLostOrDoubledUnnoticed) {
    const auto& [link, plan] = GetParam();
    const std::vector<std::string> records = sampleRecords();
    ASSERT_GT(records.size(), 20u);
    for (unsigned seed : {1u, 2u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Outcome o = runJob(link, plan, seed);
        ASSERT_EQ(o.end.size(), 3u) << "the end file must say how the job ended: '" << o.end << "'";
        // The output file is a first part of the records: whole, in order, once.
        std::string prefix;
        std::size_t whole = 0;
        while (whole < records.size() && o.output.size() >= prefix.size() + records[whole].size() &&
               o.output.compare(prefix.size(), records[whole].size(), records[whole]) == 0)
            prefix += records[whole++];
        EXPECT_EQ(o.output, prefix) << "records lost, doubled or cut in the output file";
        if (o.end == "000") {
            EXPECT_EQ(whole, records.size()) << "a successful job must hold every record";
        } else {
            bool expected = false;
            for (const std::string& f : plan.failures) expected = expected || o.end == f;
            EXPECT_TRUE(expected) << "end file " << o.end;
        }
        if (plan.vanishAfterRecords >= 0) {
            EXPECT_NE(o.end, "000");
            EXPECT_GE(whole, static_cast<std::size_t>(plan.vanishAfterRecords));
        }
    }
}

const Plan kPlans[] = {
    {"Clean", {}, {}},
    {"DroppedAnswers", {"--drop", "0.15"}, {}},
    {"BrokenChecksums", {"--bad-crc", "0.15"}, {}},
    {"Nak", {"--nak", "0.15"}, {}},
    {"Echoes", {"--echo", "0.15"}, {}},
    {"RepeatedRecords", {"--repeat", "0.3"}, {}},
    {"Syn", {"--syn", "0.3", "--syn-delay", "40"}, {}},
    {"Eot", {"--eot", "0.05"}, {"004"}},
    {"Everything",
     {"--drop", "0.05", "--bad-crc", "0.05", "--nak", "0.05", "--echo", "0.05", "--repeat", "0.05",
      "--syn", "0.05", "--syn-delay", "40", "--compress"},
     {}},
    {"NakStorm", {"--nak", "0.6"}, {"005"}},
    {"EchoStorm", {"--echo", "0.6"}, {"005"}},
    {"SynStorm", {"--syn", "0.9", "--syn-delay", "20"}, {}},
    {"EotStorm", {"--eot", "0.5"}, {"004"}},
    {"DropStorm", {"--drop", "0.5"}, {"005"}},
    {"RestartInTheReport", {"--restart-after", "9"}, {"004"}},
    {"LinkDisappears", {"--syn", "1", "--syn-delay", "60"}, {"005"}, 5},
};

std::string planName(const ::testing::TestParamInfo<std::tuple<Link, Plan>>& p) {
    return std::string(std::get<0>(p.param) == Link::Udp ? "Udp" : "Serial") +
           std::get<1>(p.param).name;
}

INSTANTIATE_TEST_SUITE_P(Plans, LinkFaults,
                         ::testing::Combine(::testing::Values(Link::Udp, Link::Serial),
                                            ::testing::ValuesIn(kPlans)),
                         planName);

// A register that restarts after nine records: the job ends with "Invalid
// Command" (the restarted register refuses the acknowledgement) and exactly
// the nine records that arrived.
TEST(LinkFaultsExactly, RestartKeepsWhatArrivedAndSaysSo) {
    const Plan plan{"Restart", {"--restart-after", "9"}, {"004"}};
    for (Link link : {Link::Udp, Link::Serial}) {
        const Outcome o = runJob(link, plan, 1);
        EXPECT_EQ(o.end, "004");
        EXPECT_EQ(countLines(o.output), 9u);
    }
}

}  // namespace
