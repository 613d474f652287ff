// The link keywords inside the test process: PORT, BAUDRATE, IP and REGISTER
// on the serial line and on UDP, where registers played by the test listen
// on loopback addresses, and the rules for answers from strangers and for
// addresses that cannot be reached.
#include <termios.h>

#include <gtest/gtest.h>

#include "link_job_fixture.h"
#include "support/fake_register.h"
#include "support/fake_udp_register.h"

using namespace tarvik;
using linktest::LinkJobTest;
using testsupport::ackReason;
using testsupport::FakeRegister;
using testsupport::FakeUdpRegister;
using testsupport::framed;
using testsupport::LoopbackUdp;

namespace {

using Answers = std::vector<FakeUdpRegister::Answer>;

FakeUdpRegister::Script ackAll() {
    return [](const std::string&, int) { return Answers{{ackReason(0)}}; };
}

}  // namespace

TEST_F(LinkJobTest, UdpMessagesAreDatagramsToTheRegistersAddress) {
    FakeUdpRegister reg1("127.0.0.1", 0, ackAll());
    FakeUdpRegister reg2("127.0.0.2", reg1.port(), ackAll());
    const std::string port = std::to_string(reg1.port());
    std::string log = runJob("PORT=" + port +
                             "\nIP=127.0.0.1\nCOMMAND=C1\nREGISTER=2\nCOMMAND=C2\n"
                             "REGISTER=150\nCOMMAND=C3\nREGISTER=1\nCOMMAND=C4\nREGISTER=0\n"
                             "COMMAND=C5\nREGISTER=2\nIP=localhost\nCOMMAND=C6\n");
    // Register 150 counts as none and keeps the address; a host name gets no
    // offset.
    EXPECT_EQ(reg1.messages(), (std::vector<std::string>{"C1", "C4", "C5", "C6"}));
    EXPECT_EQ(reg2.messages(), (std::vector<std::string>{"C2", "C3"}));
    EXPECT_EQ(finalStatus, kOk) << log;
}

TEST_F(LinkJobTest, UdpReportAndTheRepeatCheck) {
    FakeUdpRegister reg("127.0.0.1", 0, [](const std::string&, int i) {
        const char* records[] = {"rec1", "rec1", "rec2"};
        if (i < 3) return Answers{{records[i]}};
        return Answers{{ackReason(0)}};
    });
    std::string log = runJob("PORT=" + std::to_string(reg.port()) +
                             "\nIP=127.0.0.1\nNEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\n");
    EXPECT_EQ(dir.read("out.csv"), "rec1\r\nrec2\r\n");
    EXPECT_EQ(reg.messages(), (std::vector<std::string>{"D250", "\x06", "\x06", "\x06"}));
    EXPECT_EQ(finalStatus, kOk) << log;
}

TEST_F(LinkJobTest, DatagramsFromStrangersAreNotTakenAsAnswers) {
    // Before the register answers, a stranger on another address and one on
    // the register's address but another port send forged records and a
    // forged end of the report to the driver's port.
    LoopbackUdp strangerElsewhere("127.0.0.3");
    LoopbackUdp strangerSameHost("127.0.0.1");
    std::uint16_t driverPort = 0;
    FakeUdpRegister* self = nullptr;
    FakeUdpRegister reg("127.0.0.1", 0, [&](const std::string& msg, int i) {
        driverPort = self->peerPort();
        for (const LoopbackUdp* s : {&strangerElsewhere, &strangerSameHost}) {
            s->sendTo("forged", "127.0.0.1", driverPort);
            s->sendTo(ackReason(0), "127.0.0.1", driverPort);
        }
        if (msg == "D250" || i < 2) return Answers{{"rec" + std::to_string(i), 30}};
        return Answers{{ackReason(0), 30}};
    });
    self = &reg;
    std::string log = runJob("PORT=" + std::to_string(reg.port()) +
                             "\nIP=127.0.0.1\nNEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\n");
    EXPECT_EQ(dir.read("out.csv"), "rec0\r\nrec1\r\n");
    EXPECT_EQ(finalStatus, kOk) << log;
    EXPECT_NE(driverPort, 0);
}

TEST_F(LinkJobTest, UnreachableUdpDestinationsGiveNoAnswerAtOnce) {
    // No IP line: the broadcast address, which the socket may not send to.
    // A base address whose last part plus the register offset passes 255:
    // no destination at all (never the next subnet).
    FakeUdpRegister reg("127.0.0.1", 0, ackAll());
    const std::string port = std::to_string(reg.port());
    limits.attemptMs = 5000;  // a send that fails waits for no answer
    const std::uint64_t start = plat::tickCount();
    std::string log =
        runJob("PORT=" + port + "\nCOMMAND=C1\nIP=127.0.0.250\nREGISTER=7\nCOMMAND=C2\n" +
               "IP=127.0.0.255\nREGISTER=2\nCOMMAND=C3\nIP=127.0.0.1\nREGISTER=1\nCOMMAND=C4\n");
    EXPECT_EQ(log, logLine("PORT", port, 0, "OK") + logLine("COMMAND", "C1", 5, "No Answer") +
                       logLine("IP", "127.0.0.250", 0, "OK") + logLine("REGISTER", "7", 0, "OK") +
                       logLine("COMMAND", "C2", 5, "No Answer") +
                       logLine("IP", "127.0.0.255", 0, "OK") + logLine("REGISTER", "2", 0, "OK") +
                       logLine("COMMAND", "C3", 5, "No Answer") +
                       logLine("IP", "127.0.0.1", 0, "OK") + logLine("REGISTER", "1", 0, "OK") +
                       logLine("COMMAND", "C4", 0, "OK") + endOk());
    EXPECT_LT(plat::tickCount() - start, 5000u);
    EXPECT_EQ(reg.messages(), std::vector<std::string>{"C4"});
}

TEST_F(LinkJobTest, SilentUdpRegister) {
    FakeUdpRegister reg("127.0.0.1", 0, [](const std::string&, int) { return Answers{}; });
    std::string log = runJob("PORT=" + std::to_string(reg.port()) + "\nIP=127.0.0.1\nCOMMAND=C1\n");
    EXPECT_EQ(finalStatus, kNoAnswer) << log;
    EXPECT_EQ(reg.messagesAtLeast(5), std::vector<std::string>(5, "C1"));
    EXPECT_TRUE(fe.showed(fe.statuses, "Retry 4"));
}

TEST_F(LinkJobTest, PortValues) {
    FakeRegister reg([](const std::string&, int) { return std::vector{framed(ackReason(0))}; });
    useSerialDevice(reg.slavePath());
    ::setenv("TARVIK_COM7", dir.file("no-such-port").c_str(), 1);
    ::setenv("TARVIK_COM998", reg.slavePath().c_str(), 1);  // the last serial port number
    std::string log = runJob(
        "PORT=70000\nCOMMAND=C1\nPORT=0\nUPLOAD=x\nPORT=7\nPORT=5\nCOMMAND=C2\n"
        "PORT=9999\nPORT=998\nCOMMAND=C3\n");
    EXPECT_EQ(log, logLine("PORT", "70000", 3, "Error Opening COM port") +
                       logLine("COMMAND", "C1", 10, "COM port not open") +
                       logLine("PORT", "0", 3, "Error Opening COM port") +
                       logLine("UPLOAD", "x", 10, "COM port not open") +
                       logLine("PORT", "7", 3, "Error Opening COM port") +
                       logLine("PORT", "5", 0, "OK") + logLine("COMMAND", "C2", 0, "OK") +
                       logLine("PORT", "9999", 0, "OK") + logLine("PORT", "998", 0, "OK") +
                       logLine("COMMAND", "C3", 0, "OK") + endOk());
    ::unsetenv("TARVIK_COM7");
    ::unsetenv("TARVIK_COM998");
    EXPECT_EQ(reg.messages(), (std::vector<std::string>{"C2", "C3"}));
}

TEST_F(LinkJobTest, BaudRateOfTheSerialPort) {
    FakeRegister reg([](const std::string&, int) { return std::vector{framed(ackReason(0))}; });
    useSerialDevice(reg.slavePath());
    // The master side reads the line settings of the slave.
    auto speed = [&reg] {
        termios tio{};
        ::tcgetattr(reg.master(), &tio);
        return ::cfgetospeed(&tio);
    };
    std::vector<speed_t> seen;
    fe.onEvents = [&](StatusWindow& w) {
        if (w.L_cmd.caption.rfind("C", 0) == 0) seen.push_back(speed());
    };
    std::string log = runJob(
        "BAUDRATE=2400\nPORT=5\nCOMMAND=C1\nBAUDRATE=115200\nCOMMAND=C2\n"
        "BAUDRATE=300\nCOMMAND=C3\n");
    EXPECT_EQ(log, logLine("BAUDRATE", "2400", 0, "OK") + logLine("PORT", "5", 0, "OK") +
                       logLine("COMMAND", "C1", 0, "OK") + logLine("BAUDRATE", "115200", 0, "OK") +
                       logLine("COMMAND", "C2", 0, "OK") +
                       logLine("BAUDRATE", "300", 14, "Invalid Command Parameter") +
                       logLine("COMMAND", "C3", 0, "OK") + endOk());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), B2400);
    EXPECT_EQ(seen.back(), B115200);  // an unknown rate leaves the port as it is
}
