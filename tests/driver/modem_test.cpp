// The modem keywords inside the test process: a modem played by the test on a
// pseudo-terminal answers AT lines and, once connected, the register behind
// it answers frames.
#include <gtest/gtest.h>

#include "link_job_fixture.h"
#include "support/fake_register.h"

using namespace tarvik;
using linktest::LinkJobTest;
using testsupport::ackReason;
using testsupport::FakeRegister;
using testsupport::framed;
using testsupport::LineOutput;
using testsupport::rawBytes;

namespace {

// A modem that echoes each command line and answers by `answer`; ATD
// answers connect it to the register.
FakeRegister::LineScript modemAnswering(std::function<std::string(const std::string&)> answer) {
    return [answer](const std::string& line, bool& toFrames) -> std::vector<LineOutput> {
        const std::string a = answer(line);
        if (a.find("CONNECT") != std::string::npos || a.find("connect") != std::string::npos)
            toFrames = true;
        if (a.empty()) return {};
        return {rawBytes(line + "\r\r\n"), rawBytes("\r\n" + a + "\r\n")};
    };
}

FakeRegister::MessageScript ackAll() {
    return [](const std::string&, int) { return std::vector{framed(ackReason(0))}; };
}

class ModemJob : public LinkJobTest {
  protected:
    std::string runOn(FakeRegister& reg, const std::string& commands) {
        useSerialDevice(reg.slavePath());
        return runJob("PORT=5\n" + commands);
    }
};

}  // namespace

TEST_F(ModemJob, InitDialCommandHangUp) {
    FakeRegister reg(ackAll(), modemAnswering([](const std::string& line) -> std::string {
                         if (line == "ATZ") return "OK";
                         if (line == "ATD0123") return "connect 9600";
                         return "ERROR";
                     }));
    // After the hang-up the modem is back in command mode: C4 goes out on
    // the direct line (HANGUP=0) but nobody answers it.
    std::string log = runOn(reg,
                            "MODEMINIT=ATZ\nCOMMAND=C1\nDIAL=ATD0123\nCOMMAND=C2\nHANGUP=1\n"
                            "COMMAND=C3\nHANGUP=0\nCOMMAND=C4\n");
    EXPECT_EQ(log, logLine("PORT", "5", 0, "OK") + logLine("MODEMINIT", "ATZ", 0, "OK") +
                       logLine("COMMAND", "C1", 15, "No Connection") +
                       logLine("DIAL", "ATD0123", 0, "OK") + logLine("COMMAND", "C2", 0, "OK") +
                       logLine("HANGUP", "1", 0, "OK") +
                       logLine("COMMAND", "C3", 15, "No Connection") +
                       logLine("HANGUP", "0", 15, "No Connection") +
                       logLine("COMMAND", "C4", 5, "No Answer") + endOk());
    const std::string raw = reg.raw();
    EXPECT_EQ(raw.substr(0, 14), "ATZ\r\nATD0123\r\n");
    EXPECT_NE(raw.find(encodeFrame("C2") + "+++ATH0\r\n" + encodeFrame("C4")), std::string::npos)
        << raw;
    // The echo and the short lines were skipped; the answers shown upper-cased.
    EXPECT_TRUE(fe.showed(fe.statuses, "OK"));
    EXPECT_TRUE(fe.showed(fe.statuses, "CONNECT 9600"));
    EXPECT_TRUE(fe.showed(fe.commands, "MODEMINIT"));
    EXPECT_TRUE(fe.showed(fe.records, "ATD0123"));
}

TEST_F(ModemJob, ModemAnswers) {
    struct Case {
        const char* name;
        std::string commands;
        std::string answer;  // to every line
        int status;
        ModemState state;
    };
    const Case cases[] = {
        {"MODEMINIT without OK", "MODEMINIT=ATZ\n", "ERROR", 4, ModemState::ModemReady},
        {"DIAL without CONNECT", "DIAL=ATD1\n", "NO CARRIER", 15, ModemState::ModemReady},
        {"DIAL answered BUSY", "DIAL=ATD1\n", "BUSY", 15, ModemState::ModemReady},
        {"a line longer than the buffer is read as its end", "MODEMINIT=ATZ\n",
         std::string(3000, 'x') + "OK", 0, ModemState::ModemReady},
        {"HANGUP=0 on a direct line", "HANGUP=0\n", "OK", 0, ModemState::Direct},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegister reg(ackAll(), modemAnswering([&c](const std::string&) { return c.answer; }));
        runOn(reg, c.commands);
        EXPECT_EQ(finalStatus, c.status);
        EXPECT_EQ(modem, c.state);
    }
}

TEST_F(ModemJob, SilentModem) {
    FakeRegister reg(ackAll(), modemAnswering([](const std::string&) { return std::string(); }));
    std::string log = runOn(reg, "MODEMINIT=ATZ\nDIAL=ATD1\nHANGUP=1\nCOMMAND=C1\n");
    EXPECT_EQ(log, logLine("PORT", "5", 0, "OK") + logLine("MODEMINIT", "ATZ", 5, "No Answer") +
                       logLine("DIAL", "ATD1", 5, "No Answer") +
                       logLine("HANGUP", "1", 5, "No Answer") +
                       logLine("COMMAND", "C1", 15, "No Connection") + endOk());
    EXPECT_EQ(reg.raw(), "ATZ\r\n");  // nothing after the silence
    EXPECT_EQ(modem, ModemState::ModemSilent);
}

TEST_F(ModemJob, ConnectedLineIsHungUpByModemCommandsAndAtTheEnd) {
    FakeRegister reg(ackAll(), modemAnswering([](const std::string& line) {
                         // (No answer to ATH0: it would race with the next command.)
                         return line.rfind("ATD", 0) == 0 ? "CONNECT" : "";
                     }));
    std::string log = runOn(reg, "DIAL=ATD1\nMODEMINIT=ATZ\nDIAL=ATD2\n");
    // MODEMINIT while connected only hangs up; the second DIAL connects
    // again and the end of the job hangs up.
    EXPECT_EQ(finalStatus, kOk) << log;
    const std::string expected = "ATD1\r\n+++ATH0\r\nATD2\r\n+++ATH0\r\n";
    EXPECT_EQ(reg.rawAtLeast(expected.size()), expected);
}

TEST_F(ModemJob, ModemCommandsNeedASerialPort) {
    std::string log = runJob("MODEMINIT=ATZ\nPORT=9999\nIP=127.0.0.1\nDIAL=ATD1\nHANGUP=1\n");
    EXPECT_EQ(log, logLine("MODEMINIT", "ATZ", 10, "COM port not open") +
                       logLine("PORT", "9999", 0, "OK") + logLine("IP", "127.0.0.1", 0, "OK") +
                       logLine("DIAL", "ATD1", 10, "COM port not open") +
                       logLine("HANGUP", "1", 10, "COM port not open") + endOk());
}
