// The simulator answering over a pseudo-terminal and over UDP on loopback.
#include "tools/ecr-sim/simulator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "sim_client.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using testsupport::SerialClient;
using testsupport::SimRunner;
using testsupport::TempDir;
using testsupport::UdpClient;

namespace {

const std::string kAck = "\x06";
const std::string kAck0 = testsupport::bytes("06 00");

std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

std::string sample(const std::string& name) {
    return std::string(ECR_SIM_SAMPLE_DIR) + "/" + name;
}

ecrsim::Options baseOptions(const TempDir& state) {
    ecrsim::Options o;
    o.dataDir = ECR_SIM_SAMPLE_DIR;
    o.stateDir = state.str();
    o.verbosity = 0;
    return o;
}

// Fetches a report the way the driver does: the command, then ACK per
// record until the final ACK. Answers the records and the final answer.
template <typename Request>
std::vector<std::string> fetch(Request request, const std::string& command,
                               std::string* final = nullptr) {
    std::vector<std::string> records;
    auto answer = request(command);
    for (int guard = 0; answer && guard < 2000; ++guard) {
        if ((*answer)[0] == '\x06') break;
        records.push_back(*answer);
        answer = request(kAck);
    }
    if (final) *final = answer.value_or("<none>");
    return records;
}

}  // namespace

TEST(SimSerial, SeveralRegistersOnOnePseudoTerminal) {
    TempDir state;
    ecrsim::Options o = baseOptions(state);
    o.pty = true;
    o.registers = {1, 2};
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.start(error)) << error;
    SerialClient client(runner.sim().serialPath());
    ASSERT_TRUE(client.ok());

    std::string final;
    const auto report =
        fetch([&](const std::string& m) { return client.request(m, 1); }, "RUZ001001001", &final);
    EXPECT_EQ(report, fileLines(sample("RUZ001001001.csv")));
    EXPECT_EQ(final, kAck0);

    // Register 2 answers frames with "#02" with its own journal.
    const auto journal =
        fetch([&](const std::string& m) { return client.request(m, 2); }, "RUZ010001001");
    EXPECT_EQ(journal, fileLines(sample("reg02/RUZ010001001.csv")));

    // A frame without prefix goes to register 1; one for a register that is
    // not on the line gets no answer.
    EXPECT_EQ(client.request("D260", 0), fileLines(sample("D260.csv")).front());
    EXPECT_EQ(client.request("NOSUCHREPORT", 0), testsupport::bytes("06 05"));
    EXPECT_FALSE(client.request("D260", 7, 300).has_value());

    // The driver's reset (DLE EOT) in the middle of a frame: the register
    // starts over and answers the next frame.
    client.sendRaw(testsupport::bytes("10 02 44 32 10 04"));
    EXPECT_EQ(client.request("LO", 1), kAck0);
}

TEST(SimSerial, ModemInFrontOfTheRegister) {
    TempDir state;
    ecrsim::Options o = baseOptions(state);
    o.pty = true;
    o.modem = true;
    o.modemEcho = true;
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.start(error)) << error;
    SerialClient client(runner.sim().serialPath());

    client.sendRaw("ATZ\r\n");
    const std::string init = client.readUntil("OK\r\n");
    // The echo of the line up to CR, the answer, then the echo of the LF (the
    // driver skips the echo line and the short lines).
    EXPECT_EQ(init + client.readUntil("\n", 200), "ATZ\r\r\nOK\r\n\n");
    // In command mode a frame gets no register answer, only its echo.
    EXPECT_EQ(client.request("CZ", 0, 300), "CZ");
    EXPECT_FALSE(client.receive(200).has_value());
    client.sendRaw("ATDT0301234567\r\n");
    const std::string dial = client.readUntil("CONNECT 9600\r\n");
    EXPECT_EQ(dial, "ATDT0301234567\r\r\nCONNECT 9600\r\n");
    EXPECT_EQ(client.request("CZ"), kAck0);
    // The hang-up: "+++", then ATH0.
    client.sendRaw("+++");
    EXPECT_NE(client.readUntil("OK\r\n").find("OK"), std::string::npos);
    client.sendRaw("ATH0\r\n");
    EXPECT_NE(client.readUntil("OK\r\n").find("OK"), std::string::npos);
}

TEST(SimSerial, NoCarrier) {
    TempDir state;
    ecrsim::Options o = baseOptions(state);
    o.pty = true;
    o.modem = true;
    o.noCarrier = true;
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.start(error)) << error;
    SerialClient client(runner.sim().serialPath());
    client.sendRaw("ATD123\r\n");
    EXPECT_NE(client.readUntil("NO CARRIER").find("NO CARRIER"), std::string::npos);
}

TEST(SimSerial, CorruptedChecksumsAreDroppedByTheReceiver) {
    TempDir state;
    ecrsim::Options o = baseOptions(state);
    o.pty = true;
    o.faults.badCrc = 1.0;
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.start(error)) << error;
    SerialClient client(runner.sim().serialPath());
    EXPECT_FALSE(client.request("D260", 0, 300).has_value());
    runner.stop();
    EXPECT_EQ(runner.sim().stats().faults.at("bad-crc"), 1);
}

TEST(SimUdp, RegistersOnConsecutiveLoopbackAddresses) {
    TempDir state;
    ecrsim::Options o = baseOptions(state);
    o.udp = {"127.0.0.1:0"};
    o.registers = {1, 2};
    o.login = "4711";
    o.pluLimit = 3;
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.start(error)) << error;
    const std::uint16_t port = runner.sim().udpPort();
    ASSERT_NE(port, 0);
    EXPECT_EQ(runner.sim().describe(),
              (std::vector<std::string>{"udp 127.0.0.1:" + std::to_string(port) + " register 1",
                                        "udp 127.0.0.2:" + std::to_string(port) + " register 2"}));

    UdpClient one("127.0.0.1", port);
    EXPECT_EQ(one.request("D250"), testsupport::bytes("06 3A"));  // not logged in
    EXPECT_EQ(one.request("LI0000"), testsupport::bytes("06 3A"));
    EXPECT_EQ(one.request("LI4711"), kAck0);
    std::string final;
    const auto rooms = fetch([&](const std::string& m) { return one.request(m); }, "D250", &final);
    EXPECT_EQ(rooms, fileLines(sample("D250.csv")));
    EXPECT_EQ(final, kAck0);

    UdpClient two("127.0.0.2", port);
    EXPECT_EQ(two.request("LI4711"), kAck0);
    EXPECT_EQ(two.request("T16340712022008"), kAck0);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(two.request("U250;" + std::to_string(i) + ";101;0;\"  \";"), kAck0);
    EXPECT_EQ(two.request("U250;4;102;0;\"  \";"), testsupport::bytes("06 27"));
    EXPECT_EQ(two.request("LO"), kAck0);

    runner.stop();
    EXPECT_EQ(state.read("clock-02.txt"), "2008-02-12 16:34:07\n");
    EXPECT_EQ(fileLines(state.file("upload-02.csv")).size(), 3u);
    EXPECT_FALSE(state.exists("upload-01.csv"));
    EXPECT_EQ(runner.sim().registerNumber(2)->uploadedLines(), 3);
}

TEST(SimUdp, Faults) {
    using Step = std::pair<std::string, std::vector<std::string>>;  // sent, then received
    const std::string rec1 = "260;1;\"MwSt voll\";1900";
    struct Case {
        const char* name;
        std::function<void(ecrsim::Faults&)> set;
        std::vector<Step> steps;
    } cases[] = {
        {"nak", [](ecrsim::Faults& f) { f.nak = 1; }, {{"D260", {"\x15"}}}},
        {"eot", [](ecrsim::Faults& f) { f.eot = 1; }, {{"D260", {"\x04"}}}},
        {"echo", [](ecrsim::Faults& f) { f.echo = 1; }, {{"D260", {"D260"}}}},
        {"syn",
         [](ecrsim::Faults& f) {
             f.syn = 1;
             f.synDelayMs = 50;
         },
         {{"D260", {"\x16", rec1}}}},
        {"repeat", [](ecrsim::Faults& f) { f.repeat = 1; }, {{"D260", {rec1}}, {kAck, {rec1}}}},
        {"drop", [](ecrsim::Faults& f) { f.drop = 1; }, {{"D260", {}}}},
        {"bad-crc (UDP: lost)", [](ecrsim::Faults& f) { f.badCrc = 1; }, {{"D260", {}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir state;
        ecrsim::Options o = baseOptions(state);
        o.udp = {"127.0.0.1:0"};
        c.set(o.faults);
        SimRunner runner(o);
        std::string error;
        ASSERT_TRUE(runner.start(error)) << error;
        UdpClient client("127.0.0.1", runner.sim().udpPort());
        for (const auto& [sent, expected] : c.steps) {
            std::vector<std::string> got;
            for (auto m = client.request(sent, 300); m; m = client.receive(300)) got.push_back(*m);
            EXPECT_EQ(got, expected) << "after " << sent;
        }
    }
}

TEST(SimUdp, TheSeedRepeatsTheFaults) {
    auto pattern = [](unsigned seed) {
        TempDir state;
        ecrsim::Options o = baseOptions(state);
        o.udp = {"127.0.0.1:0"};
        o.faults.drop = 0.5;
        o.faults.seed = seed;
        SimRunner runner(o);
        std::string error;
        if (!runner.start(error)) return std::string("start failed");
        UdpClient client("127.0.0.1", runner.sim().udpPort());
        std::string answered;
        for (int i = 0; i < 24; ++i) answered.push_back(client.request("CZ", 100) ? 'a' : '-');
        return answered;
    };
    const std::string first = pattern(7);
    EXPECT_EQ(pattern(7), first);
    EXPECT_NE(first.find('a'), std::string::npos);
    EXPECT_NE(first.find('-'), std::string::npos);
}

TEST(SimSerial, PacedLineCarriesTheSameRecords) {
    TempDir state;
    ecrsim::Options o = baseOptions(state);
    o.pty = true;
    o.paceBaud = 115200;
    o.compress = true;  // and the records in compressed form
    SimRunner runner(o);
    std::string error;
    ASSERT_TRUE(runner.start(error)) << error;
    SerialClient client(runner.sim().serialPath());
    std::vector<std::string> expanded;
    for (const std::string& rec :
         fetch([&](const std::string& m) { return client.request(m); }, "D10000")) {
        std::string out = rec;
        if (static_cast<unsigned char>(rec[0]) == tarvik::SO) {
            EXPECT_EQ(tarvik::expandRecord(rec, out), tarvik::ExpandStatus::Ok);
        }
        expanded.push_back(out);
    }
    EXPECT_EQ(expanded, fileLines(sample("D10000.csv")));
}
