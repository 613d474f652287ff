// End to end: the built Tarvik against the built register simulator ecr-sim,
// over a pseudo-terminal (TARVIK_COM3 is the path the simulator prints) and
// over UDP on loopback addresses. Tarvik runs from a copy in a temporary
// working directory with a fixed clock and German regional settings.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "driver/protocol/protocol.h"
#include "platform/file.h"
#include "support/bytes.h"
#include "support/child_process.h"
#include "support/pty.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

using testsupport::bytes;
using testsupport::ChildOptions;
using testsupport::ChildProcess;
using testsupport::hex;
using testsupport::SimProcess;
using testsupport::TempDir;

namespace fs = std::filesystem;

namespace {

const std::string kSample = ECR_SIM_SAMPLE_DIR;

std::string readFile(const std::string& path) {
    std::string s;
    plat::readWholeFile(path, s);
    return s;
}

// A sample file as the driver stores it: every line ends with CR LF.
std::string asStored(const std::string& name) {
    std::string in = readFile(kSample + "/" + name), out;
    for (char c : in) {
        if (c == '\r') continue;
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// The register's final answer ACK 00 in its frame.
std::string ackDoneFrame() {
    return tarvik::encodeFrame(std::string("\x06\x00", 2));
}

std::string offsetDecoded(std::string s) {
    for (char& c : s) c = static_cast<char>(static_cast<unsigned char>(c) + 0x30);
    return s;
}

class SimJob : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy_file(TARVIK_EXE, dir.file("Tarvik"));
        fs::create_directory(dir.path() / "LOG");
        fs::create_directory(dir.path() / "state");
    }

    // Starts the simulator on the sample data with its state in state/.
    SimProcess& startSim(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", kSample, "--state", dir.file("state")});
        sim = std::make_unique<SimProcess>(ECR_SIM_EXE, args);
        EXPECT_TRUE(sim->ready()) << sim->startLines() << sim->stop();
        return *sim;
    }

    ChildOptions options() const {
        ChildOptions o;
        o.cwd = dir.str();
        o.env = {{"PELKO_CLOCK", "2008-02-12 16:34:07"},
                 {"LC_ALL", "de_DE.UTF-8"},
                 {"TARVIK_COM3", comPath},
                 {"TARVIK_TIME_LIMIT_MS", timeLimit}};
        return o;
    }

    // Runs the job (PROCESS, VISIBLE=0 and ENDFILE=1 go in front); answers
    // the log lines without date and time.
    std::string run(const std::string& commands) {
        dir.write("job.cmd", "PROCESS=LOG/job\nVISIBLE=0\nENDFILE=1\n" + commands);
        ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, options());
        EXPECT_EQ(p.wait(60000), 0);
        EXPECT_EQ(p.errText(), "");
        return logLines(dir.read("LOG/job.LOG"));
    }

    static std::string logLines(const std::string& log) {
        static const std::regex stamp("^12\\.02\\.2008;16:3[4-9]:[0-9][0-9];");
        std::string out;
        std::size_t pos = 0;
        while (pos < log.size()) {
            std::size_t end = log.find("\r\n", pos);
            if (end == std::string::npos) end = log.size();
            const std::string line = log.substr(pos, end - pos);
            pos = end + 2;
            if (!line.empty() && line.find(";START;") == std::string::npos)
                out += std::regex_replace(line, stamp, "") + "\n";
        }
        return out;
    }
    static std::string line(const std::string& keyword, const std::string& value, int code = 0,
                            const std::string& text = "OK") {
        return keyword + ";\"" + value + "\";" + std::to_string(code) + ";\"" + text + "\"\n";
    }
    static std::string endLine(int code = 0, const std::string& text = "OK") {
        return "END;\"Session Ended\";" + std::to_string(code) + ";\"" + text + "\"\n";
    }
    std::string endFile() const { return dir.read("LOG/job.END"); }

    TempDir dir;
    std::unique_ptr<SimProcess> sim;
    std::string comPath = dir.file("no-such-port");
    std::string timeLimit = "20000";
};

// The day's work of a hotel bar, over UDP or over a serial line through a
// modem: log in, fetch the room report and the tables, set the register's
// clock, upload the room list, log out; then the second register's journal,
// and an upload of a table stored in offset encoding.
struct DayCase {
    const char* name;
    bool serial;
};

std::string linkName(const ::testing::TestParamInfo<DayCase>& p) {
    return p.param.name;
}

class DayJob : public SimJob, public ::testing::WithParamInterface<DayCase> {};

TEST_P(DayJob, LoginReportTablesClockUploadLogout) {
    const bool serial = GetParam().serial;
    std::string link;
    if (serial) {
        SimProcess& s = startSim({"--pty", "--registers", "1-2", "--login", "4711", "--modem",
                                  "--modem-echo", "--compress"});
        comPath = s.serialPath();
        link = "BAUDRATE=115200\nPORT=3\nMODEMINIT=ATZ\nDIAL=ATD0123\n";
    } else {
        SimProcess& s = startSim({"--udp", "127.0.0.1:0", "--registers", "1-2", "--login", "4711"});
        link = "PORT=" + std::to_string(s.udpPort()) + "\nIP=127.0.0.1\n";
    }
    dir.write("VZIMMERS.CSV", "101;Mueller;4711\r\n102;Schmidt, Hans;4712\r\n");
    const std::string tail = serial ? "HANGUP=1\n" : "";
    std::string log = run(link +
                          "COMMAND=LI4711\n"
                          "NEWFILE=VZimmerBericht.csv\nCOMMAND=RUZ001001001\n"
                          "NEWFILE=VZ.CSV\nCOMMAND=D250\n"
                          "NEWFILE=VMWST.CSV\nCOMMAND=D260\n"
                          "NEWFILE=VBED.CSV\nCOMMAND=D2000\n"
                          "NEWFILE=VZtxt.CSV\nCOMMAND=D4000\n"
                          "BNEWFILE=VART.CSV\nCOMMAND=D10000\n"
                          "COMMAND=TSYSTEM\n"
                          "UPLOAD=VZIMMERS.CSV\n"
                          "COMMAND=LO\n"
                          "REGISTER=2\nCOMMAND=LI4711\n"
                          "NEWFILE=VEJournal2.csv\nCOMMAND=RUZ010001001\n"
                          "FILE=other.csv\nUPLOAD=VART.CSV\n"
                          "COMMAND=LO\n" +
                          tail);
    std::string expected = line("ENDFILE", "1");
    if (serial) {
        expected += line("BAUDRATE", "115200") + line("PORT", "3") + line("MODEMINIT", "ATZ") +
                    line("DIAL", "ATD0123");
    } else {
        expected += line("PORT", std::to_string(sim->udpPort())) + line("IP", "127.0.0.1");
    }
    expected +=
        line("COMMAND", "LI4711") + line("NEWFILE", "VZimmerBericht.csv") +
        line("COMMAND", "RUZ001001001") + line("NEWFILE", "VZ.CSV") + line("COMMAND", "D250") +
        line("NEWFILE", "VMWST.CSV") + line("COMMAND", "D260") + line("NEWFILE", "VBED.CSV") +
        line("COMMAND", "D2000") + line("NEWFILE", "VZtxt.CSV") + line("COMMAND", "D4000") +
        line("BNEWFILE", "VART.CSV") + line("COMMAND", "D10000") + line("COMMAND", "TSYSTEM") +
        line("UPLOAD", "VZIMMERS.CSV") + line("COMMAND", "LO") + line("REGISTER", "2") +
        line("COMMAND", "LI4711") + line("NEWFILE", "VEJournal2.csv") +
        line("COMMAND", "RUZ010001001") + line("FILE", "other.csv") + line("UPLOAD", "VART.CSV") +
        line("COMMAND", "LO") + (serial ? line("HANGUP", "1") : "") + endLine();
    EXPECT_EQ(log, expected);
    EXPECT_EQ(endFile(), "000");

    EXPECT_EQ(dir.read("VZimmerBericht.csv"), asStored("RUZ001001001.csv"));
    EXPECT_EQ(dir.read("VZ.CSV"), asStored("D250.csv"));
    EXPECT_EQ(dir.read("VMWST.CSV"), asStored("D260.csv"));
    EXPECT_EQ(dir.read("VBED.CSV"), asStored("D2000.csv"));
    EXPECT_EQ(dir.read("VZtxt.CSV"), asStored("D4000.csv"));
    EXPECT_EQ(offsetDecoded(dir.read("VART.CSV")), asStored("D10000.csv"));
    EXPECT_EQ(dir.read("VEJournal2.csv"), asStored("reg02/RUZ010001001.csv"));
    // The clock, the room list, and the table uploaded back in plain text.
    EXPECT_TRUE(std::regex_match(dir.read("state/clock-01.txt"),
                                 std::regex("2008-02-12 16:3[4-5]:[0-9][0-9]\n")))
        << dir.read("state/clock-01.txt");
    EXPECT_EQ(dir.read("state/upload-01.csv"), "101;Mueller;4711\r\n102;Schmidt, Hans;4712\r\n");
    EXPECT_EQ(dir.read("state/upload-02.csv"), asStored("D10000.csv"));
    const std::string events = sim->stop();
    EXPECT_NE(events.find("register 2: logged in"), std::string::npos) << events;
}

INSTANTIATE_TEST_SUITE_P(Links, DayJob,
                         ::testing::Values(DayCase{"udp", false}, DayCase{"serial", true}),
                         linkName);

// Faults on the line, rolled with fixed seeds: lost answers, wrong checksums,
// NAK, SYN, echoes and repeated records. The reports still arrive whole, once.
class FaultJob : public SimJob, public ::testing::WithParamInterface<DayCase> {};

TEST_P(FaultJob, ReportsArriveWholeDespiteFaults) {
    const bool serial = GetParam().serial;
    timeLimit = "600";  // a lost answer costs 600 ms
    // (No echoes here: the echo of the driver's lone ACK is the register's
    // "done"; echoes are tried on single commands below.)
    std::vector<std::string> faults = {"--drop", "0.02", "--bad-crc",   "0.02", "--nak",    "0.1",
                                       "--syn",  "0.05", "--syn-delay", "30",   "--repeat", "0.15"};
    std::string summaries;
    for (int seed : {1, 2, 3}) {
        SCOPED_TRACE(seed);
        std::vector<std::string> args = faults;
        args.insert(args.end(), {"--seed", std::to_string(seed), "--compress"});
        std::string link;
        if (serial) {
            args.push_back("--pty");
            SimProcess& s = startSim(args);
            comPath = s.serialPath();
            link = "PORT=3\n";
        } else {
            args.insert(args.end(), {"--udp", "127.0.0.1:0"});
            SimProcess& s = startSim(args);
            link = "PORT=" + std::to_string(s.udpPort()) + "\nIP=127.0.0.1\n";
        }
        std::string log = run(link +
                              "NEWFILE=VZimmerBericht.csv\nCOMMAND=RUZ001001001\n"
                              "NEWFILE=VART.CSV\nCOMMAND=D10000\n");
        EXPECT_EQ(endFile(), "000") << log;
        EXPECT_EQ(dir.read("VZimmerBericht.csv"), asStored("RUZ001001001.csv"));
        EXPECT_EQ(dir.read("VART.CSV"), asStored("D10000.csv"));
        summaries += sim->stop();
    }
    for (const char* kind : {" drop", " bad-crc", " nak", " syn", " repeat"})
        EXPECT_NE(summaries.find(kind), std::string::npos) << kind << ": " << summaries;
}

INSTANTIATE_TEST_SUITE_P(Links, FaultJob,
                         ::testing::Values(DayCase{"udp", false}, DayCase{"serial", true}),
                         linkName);

// The register's refusals and the status codes they give, over UDP.
TEST_F(SimJob, RefusalsOfTheRegister) {
    SimProcess& s = startSim({"--udp", "127.0.0.1:0", "--login", "4711", "--plu-limit", "2"});
    dir.write("rooms.csv", "1\n2\n3\n4\n");
    const std::string port = std::to_string(s.udpPort());
    std::string log = run("PORT=" + port +
                          "\nIP=127.0.0.1\nCOMMAND=LI0000\nNEWFILE=out.csv\nCOMMAND=D250\n"
                          "COMMAND=LI4711\nCOMMAND=D9999\nCOMMAND=TNOW\nUPLOAD=rooms.csv\n"
                          "UPLOAD=missing.csv\nCOMMAND=LO\n");
    EXPECT_EQ(log, line("ENDFILE", "1") + line("PORT", port) + line("IP", "127.0.0.1") +
                       line("COMMAND", "LI0000", 17, "Login Error") + line("NEWFILE", "out.csv") +
                       line("COMMAND", "D250", 17, "Login Error") + line("COMMAND", "LI4711") +
                       line("COMMAND", "D9999", 11, "Unknown Report") +
                       line("COMMAND", "TNOW", 14, "Invalid Command Parameter") +
                       line("UPLOAD", "rooms.csv", 16, "PLU File is Full") +
                       line("UPLOAD", "missing.csv", 7, "Error Opening File") +
                       line("COMMAND", "LO") + endLine());
    EXPECT_EQ(dir.read("state/upload-01.csv"), "1\r\n2\r\n");
    EXPECT_EQ(dir.read("out.csv"), "");
}

// A register that refuses every message (EOT), one that never answers, and
// links that do not exist.
TEST_F(SimJob, NoAnswerAndRefusedMessages) {
    timeLimit = "200";
    SimProcess& s = startSim({"--udp", "127.0.0.1:0", "--eot", "1"});
    const std::string port = std::to_string(s.udpPort());
    // 127.0.0.9: nobody listens there.
    std::string log = run("PORT=" + port +
                          "\nIP=127.0.0.1\nCOMMAND=C1\nNEWFILE=out.csv\nCOMMAND=D250\n"
                          "IP=127.0.0.9\nCOMMAND=C1\nPORT=9999\nCOMMAND=C1\nPORT=70000\n"
                          "COMMAND=C1\nPORT=3\nUPLOAD=x\nFILE=/dev/full\n");
    EXPECT_EQ(log, line("ENDFILE", "1") + line("PORT", port) + line("IP", "127.0.0.1") +
                       line("COMMAND", "C1", 4, "Invalid Command") + line("NEWFILE", "out.csv") +
                       line("COMMAND", "D250", 4, "Invalid Command") + line("IP", "127.0.0.9") +
                       line("COMMAND", "C1", 5, "No Answer") + line("PORT", "9999") +
                       line("COMMAND", "C1", 5, "No Answer") +
                       line("PORT", "70000", 3, "Error Opening COM port") +
                       line("COMMAND", "C1", 10, "COM port not open") +
                       line("PORT", "3", 3, "Error Opening COM port") +
                       line("UPLOAD", "x", 10, "COM port not open") + line("FILE", "/dev/full") +
                       endLine());
    const std::string summary = sim->stop();
    EXPECT_NE(summary.find("10 eot"), std::string::npos) << summary;  // five cycles, twice
}

// A register that always answers the same way, on the serial line.
TEST_F(SimJob, TheSameAnswerEveryTime) {
    struct Case {
        std::vector<std::string> args;
        int status;
        long messages;  // the simulator's count
    };
    timeLimit = "200";
    const Case cases[] = {
        {{"--echo", "1"}, 5, 5},     // its own frame comes back: five sends
        {{"--nak", "1"}, 5, 5},      // five sends
        {{"--eot", "1"}, 4, 5},      // five cycles of one send
        {{"--drop", "1"}, 5, 5},     // five attempts
        {{"--bad-crc", "1"}, 5, 5},  // five attempts
        {{"--syn", "1", "--syn-delay", "100"}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        std::vector<std::string> args = c.args;
        args.push_back("--pty");
        comPath = startSim(args).serialPath();
        std::string log = run("PORT=3\nCOMMAND=CX\n");
        EXPECT_EQ(endFile(), std::string("00") + std::to_string(c.status)) << log;
        const std::string summary = sim->stop();
        EXPECT_NE(summary.find(" " + std::to_string(c.messages) + " messages"), std::string::npos)
            << summary;
    }
}

// A record that cannot be written cancels the report: the register is told.
TEST_F(SimJob, WriteFailureCancelsTheReport) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    SimProcess& s = startSim({"--pty", "--verbose"});
    comPath = s.serialPath();
    std::string log = run("PORT=3\nFILE=/dev/full\nCOMMAND=RUZ001001001\nCOMMAND=C1\n");
    EXPECT_EQ(log, line("ENDFILE", "1") + line("PORT", "3") + line("FILE", "/dev/full") +
                       line("COMMAND", "RUZ001001001", 8, "Error Writing to File") +
                       line("COMMAND", "C1") + endLine());
    const std::string events = sim->stop();
    EXPECT_NE(events.find("report cancelled"), std::string::npos) << events;
}

// The modem's answers: OK, CONNECT, NO CARRIER, silence.
TEST_F(SimJob, ModemAnswers) {
    SimProcess& s = startSim({"--pty", "--modem", "--no-carrier"});
    comPath = s.serialPath();
    // C1 on a line whose modem is in command mode reaches no register; after
    // NO CARRIER register commands need a connection. A line that is no AT
    // command gets no answer from the modem.
    timeLimit = "300";
    std::string log =
        run("PORT=3\nCOMMAND=C1\nMODEMINIT=ATZ\nDIAL=ATD0123\nCOMMAND=C1\n"
            "HANGUP=0\nMODEMINIT=XYZ\n");
    EXPECT_EQ(log, line("ENDFILE", "1") + line("PORT", "3") +
                       line("COMMAND", "C1", 5, "No Answer") + line("MODEMINIT", "ATZ") +
                       line("DIAL", "ATD0123", 15, "No Connection") +
                       line("COMMAND", "C1", 15, "No Connection") +
                       line("HANGUP", "0", 15, "No Connection") +
                       line("MODEMINIT", "XYZ", 5, "No Answer") + endLine());
}

// The bytes of the documented examples on the line, with the test as the
// register on a pseudo-terminal.
TEST_F(SimJob, DocumentedBytesOnTheSerialLine) {
    testsupport::PtyPair pty;
    comPath = pty.slavePath();
    dir.write("job.cmd",
              "PROCESS=LOG/job\nVISIBLE=0\nENDFILE=1\nPORT=3\nNEWFILE=out.csv\n"
              "COMMAND=D250\nREGISTER=2\nCOMMAND=C1\n");
    ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, options());
    const std::string d250 = bytes("10 02 44 32 35 30 10 03 5F A2");
    EXPECT_EQ(hex(pty.read(d250.size(), 10000)), hex(d250));
    pty.write(bytes("10 02 41 00 03 10 10 42 10 03 FB 82"));  // the record 41 00 00 00 10 42
    const std::string ack = bytes("10 02 06 10 03 42 3F");
    EXPECT_EQ(hex(pty.read(ack.size(), 10000)), hex(ack));
    pty.write(ackDoneFrame());
    const std::string c1 = bytes("10 02 23 30 32 43 31 10 03");  // #02C1
    EXPECT_EQ(hex(pty.read(c1.size() + 2, 10000).substr(0, c1.size())), hex(c1));
    pty.write(ackDoneFrame());
    EXPECT_EQ(p.wait(20000), 0);
    EXPECT_EQ(dir.read("out.csv"), std::string("A\0\0\0\x10"
                                               "B\r\n",
                                               8));
    EXPECT_EQ(endFile(), "000");
}

// Ctrl-C on the terminal while the register keeps the driver waiting (SYN):
// the report is cancelled at once and the run ends with "User Break".
TEST_F(SimJob, CtrlCWhileTheRegisterIsBusy) {
    SimProcess& s = startSim({"--udp", "127.0.0.1:0", "--syn", "1", "--syn-delay", "20000"});
    testsupport::PtyPair term;
    const int termSlave = ::open(term.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(termSlave, 0);
    dir.write("job.cmd",
              "PROCESS=LOG/job\nENDFILE=1\nABORT=1\nPORT=" + std::to_string(s.udpPort()) +
                  "\nIP=127.0.0.1\nNEWFILE=out.csv\nCOMMAND=D250\nCOMMAND=LO\n");
    ChildOptions o = options();
    o.stderrFd = termSlave;
    ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, o);
    std::string shown;
    for (int i = 0; i < 200 && shown.find("SYNC") == std::string::npos; ++i)
        shown += term.read(4096, 50);
    ASSERT_NE(shown.find("Status : SYNC"), std::string::npos) << shown;
    p.signal(SIGINT);
    EXPECT_EQ(p.wait(5000), 0);
    ::close(termSlave);
    EXPECT_EQ(logLines(dir.read("LOG/job.LOG")),
              line("ENDFILE", "1") + line("ABORT", "1") +
                  line("PORT", std::to_string(s.udpPort())) + line("IP", "127.0.0.1") +
                  line("NEWFILE", "out.csv") + line("COMMAND", "D250", 6, "User Break") +
                  endLine(6, "User Break"));
    EXPECT_EQ(endFile(), "006");
}

}  // namespace
