// The register protocol on the serial line, inside the test process: the
// driver talks to a register played by the test over a pseudo-terminal.
// Exact bytes on the line, the transaction's answers and retries, reports,
// compressed and offset-encoded records, cancel, uploads.
#include <gtest/gtest.h>

#include <atomic>
#include <regex>

#include "link_job_fixture.h"
#include "support/bytes.h"
#include "support/fake_register.h"

using namespace tarvik;
using linktest::LinkJobTest;
using testsupport::ackReason;
using testsupport::bytes;
using testsupport::FakeRegister;
using testsupport::framed;
using testsupport::hex;
using testsupport::LineOutput;
using testsupport::rawBytes;

namespace {

const std::string kAck(1, '\x06');
const std::string kNak(1, '\x15');
const std::string kEot(1, '\x04');
const std::string kSyn(1, '\x16');
const std::string kSo(1, '\x0E');

std::string frame(std::string_view body, int reg = 0) {
    return encodeFrame(body, reg);
}

// A register that serves `records` as the report for any report command and
// answers every other message with ACK 0.
FakeRegister::MessageScript reportOf(std::vector<std::string> records) {
    auto next = std::make_shared<std::size_t>(0);
    return [records, next](const std::string& msg, int) -> std::vector<LineOutput> {
        if (msg == kEot) return {};  // the driver cancels
        const bool ack = msg == kAck;
        const bool single = !msg.empty() && (msg[0] == 'C' || msg[0] == 'L' || msg[0] == 'T');
        if (!ack && !single) *next = 0;  // a report command starts the report
        if ((ack || !single) && *next < records.size()) return {framed(records[(*next)++])};
        return {framed(ackReason(0))};
    };
}

class SerialJob : public LinkJobTest {
  protected:
    std::string runOn(FakeRegister& reg, const std::string& commands) {
        useSerialDevice(reg.slavePath());
        return runJob("PORT=5\n" + commands);
    }
};

}  // namespace

TEST_F(SerialJob, FramesOnTheLineAreTheDocumentedBytes) {
    // The register sends the record 41 00 00 00 10 42 in its compressed frame.
    FakeRegister reg([](const std::string& msg, int) -> std::vector<LineOutput> {
        if (msg == "D250" || msg == "#02D250")
            return {rawBytes(bytes("10 02 41 00 03 10 10 42 10 03 FB 82"))};
        return {framed(ackReason(0))};
    });
    std::string log =
        runOn(reg, "NEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\nREGISTER=2\nCOMMAND=D250\n");
    EXPECT_EQ(hex(reg.raw()), hex(bytes("10 02 44 32 35 30 10 03 5F A2"              // D250
                                        "   10 02 06 10 03 42 3F"                    // ACK
                                        "   10 02 23 30 32 44 32 35 30 10 03 8D 97"  // #02D250
                                        "   10 02 23 30 32 06 10 03 CD 9E")));       // #02 ACK
    EXPECT_EQ(dir.read("out.csv"), std::string("A\0\0\0\x10"
                                               "B\r\n",
                                               8) +
                                       std::string("A\0\0\0\x10"
                                                   "B\r\n",
                                                   8));
    EXPECT_EQ(finalStatus, kOk) << log;
}

TEST_F(SerialJob, DleIsDoubledAndZeroRunsAreCounted) {
    // An upload line in offset encoding: 0x01 and 300 encoded zero bytes
    // reach the register as "U1" and 300 zeros, sent as 00 FF 00 2D.
    dir.write("up.csv", "\x01" + std::string(300, '\xD0') + "\xDD\xDA");
    FakeRegister reg([](const std::string&, int) { return std::vector{framed(ackReason(0))}; });
    runOn(reg, "COMMAND=C\x10X\nUPLOAD=" + dir.file("up.csv") + "\n");
    const std::string raw = reg.raw();
    EXPECT_EQ(hex(raw.substr(0, 7)), "10 02 43 10 10 58 10");
    EXPECT_NE(hex(raw).find("10 02 55 31 00 FF 00 2D 10 03"), std::string::npos) << hex(raw);
    ASSERT_EQ(reg.messages().size(), 2u);
    EXPECT_EQ(reg.messages()[1], "U1" + std::string(300, '\0'));
    EXPECT_EQ(finalStatus, kOk);
}

TEST_F(SerialJob, AnswersOfASingleCommand) {
    struct Case {
        const char* name;
        std::function<std::vector<LineOutput>(int)> answer;  // by message number
        int status;
        std::size_t sends;
    };
    auto always = [](LineOutput o) { return [o](int) { return std::vector{o}; }; };
    auto firstThen = [](LineOutput first, LineOutput then) {
        return [first, then](int i) { return std::vector{i == 0 ? first : then}; };
    };
    const LineOutput ok = framed(ackReason(0));
    const Case cases[] = {
        {"ACK 00", always(ok), 0, 1},
        {"lone ACK", always(framed(kAck)), 0, 1},
        {"ACK 02", always(framed(ackReason(2))), 14, 1},
        {"ACK 03", always(framed(ackReason(3))), 14, 1},
        {"ACK 05", always(framed(ackReason(5))), 11, 1},
        {"ACK 06", always(framed(ackReason(6))), 12, 1},
        {"ACK 08", always(framed(ackReason(8))), 13, 1},
        {"ACK 27 (PLU full is no command answer)", always(framed(ackReason(0x27))), 12, 1},
        {"ACK 3A", always(framed(ackReason(0x3A))), 17, 1},
        {"ACK with an unlisted reason", always(framed(ackReason(0x41))), 12, 1},
        {"any other answer is taken", always(framed("X")), 0, 1},
        {"NAK once", firstThen(framed(kNak), ok), 0, 2},
        {"NAK always: five sends", always(framed(kNak)), 5, 5},
        {"EOT once: a new cycle", firstThen(framed(kEot), ok), 0, 2},
        {"EOT always: five cycles of one send", always(framed(kEot)), 4, 5},
        {"echo once",
         [](int i) { return std::vector{i == 0 ? framed("C1") : framed(ackReason(0))}; }, 0, 2},
        {"echo always: five sends", always(framed("C1")), 5, 5},
        {"silence: five attempts", [](int) { return std::vector<LineOutput>{}; }, 5, 5},
        {"wrong checksum once",
         [](int i) {
             std::string f = frame(ackReason(0));
             if (i == 0) f.back() = static_cast<char>(f.back() ^ 1);
             return std::vector{rawBytes(f)};
         },
         0, 2},
        {"SYN keeps the driver waiting past its limit without sending",
         [](int) {
             return std::vector{framed(kSyn), framed(kSyn, 250), framed(ackReason(0), 250)};
         },
         0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegister reg([&c](const std::string&, int i) { return c.answer(i); });
        limits.attemptMs = 300;
        fe = {};
        std::string log = runOn(reg, "COMMAND=C1\n");
        EXPECT_EQ(finalStatus, c.status) << log;
        EXPECT_EQ(reg.messages().size(), c.sends);
        for (const std::string& m : reg.messages()) EXPECT_EQ(m, "C1");
    }
}

TEST_F(SerialJob, RepeatsStartOverWithDleEotAndShowRetry) {
    FakeRegister reg([](const std::string&, int) { return std::vector<LineOutput>{}; });
    std::string log = runOn(reg, "COMMAND=C1\n");
    const std::string f = frame("C1");
    const std::string dleEot = bytes("10 04");
    EXPECT_EQ(hex(reg.raw()), hex(f + dleEot + f + dleEot + f + dleEot + f + dleEot + f));
    EXPECT_EQ(log,
              logLine("PORT", "5", 0, "OK") + logLine("COMMAND", "C1", 5, "No Answer") + endOk());
    for (const char* s : {"Sending", "Retry 1", "Retry 2", "Retry 3", "Retry 4"})
        EXPECT_TRUE(fe.showed(fe.statuses, s)) << s;
    EXPECT_FALSE(fe.showed(fe.statuses, "Retry 5"));
}

TEST_F(SerialJob, EotCyclesSendWithoutReset) {
    FakeRegister reg([](const std::string&, int) { return std::vector{framed(kEot)}; });
    runOn(reg, "COMMAND=C1\n");
    const std::string f = frame("C1");
    EXPECT_EQ(hex(reg.raw()), hex(f + f + f + f + f));
    EXPECT_EQ(finalStatus, kInvalidCommand);
}

TEST_F(SerialJob, EchoOfAFrameToANumberedRegisterIsRecognised) {
    FakeRegister reg([](const std::string& msg, int) { return std::vector{framed(msg)}; });
    std::string log = runOn(reg, "REGISTER=7\nCOMMAND=C1\n");
    EXPECT_EQ(reg.messages().size(), 5u);
    EXPECT_EQ(finalStatus, kNoAnswer) << log;
}

TEST_F(SerialJob, ReportWritesEachRecordOnceAndAcknowledgesIt) {
    // Records: a repeat of the first (written once), a record that is the
    // start of the one before (a record of its own), then the end.
    FakeRegister reg(reportOf({"1;101;Pils", "1;101;Pils", "1;101", "2;102;Wein"}));
    std::string log =
        runOn(reg, "NEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\nCOMMAND=D250\n");
    EXPECT_EQ(dir.read("out.csv"),
              "1;101;Pils\r\n1;101\r\n2;102;Wein\r\n"    // the first report
              "1;101;Pils\r\n1;101\r\n2;102;Wein\r\n");  // the second starts afresh
    const auto m = reg.messages();
    ASSERT_EQ(m.size(), 10u);
    EXPECT_EQ(m[0], "D250");
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(m[static_cast<std::size_t>(i)], kAck);
    EXPECT_EQ(finalStatus, kOk) << log;
    EXPECT_TRUE(fe.showed(fe.statuses, "Receiving"));
    EXPECT_TRUE(fe.showed(fe.records, "3"));
    EXPECT_FALSE(fe.showed(fe.records, "4"));
}

TEST_F(SerialJob, LostAcknowledgementIsRepeatedAsNak) {
    // The register misses the first ACK; the driver repeats it as NAK and
    // the register sends the record again, which is not written twice.
    FakeRegister reg([](const std::string& msg, int i) -> std::vector<LineOutput> {
        if (i == 0) return {framed("rec1")};
        if (i == 1) return {};                               // the ACK is lost
        if (i == 2 && msg == kNak) return {framed("rec1")};  // repeat the last record
        if (i == 3) return {framed("rec2")};
        return {framed(ackReason(0))};
    });
    runOn(reg, "NEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\n");
    EXPECT_EQ(dir.read("out.csv"), "rec1\r\nrec2\r\n");
    const auto m = reg.messages();
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[1], kAck);
    EXPECT_EQ(m[2], kNak);
    EXPECT_EQ(m[3], kAck);
    EXPECT_EQ(finalStatus, kOk);
}

TEST_F(SerialJob, AnEchoedAcknowledgementDoesNotEndTheReport) {
    // The line sends the driver's ACK back instead of the register's next
    // record; without a register prefix it looks like the register's lone
    // ACK ("done"). The driver asks again (NAK): the register, still in the
    // report, repeats its last record, and the report goes on to its end.
    FakeRegister reg([](const std::string& msg, int i) -> std::vector<LineOutput> {
        if (i == 0) return {framed("rec1")};
        if (i == 1) return {framed(kAck)};                   // the echo of the driver's ACK
        if (i == 2 && msg == kNak) return {framed("rec1")};  // the last answer again
        if (i == 3) return {framed("rec2")};
        return {framed(ackReason(0))};
    });
    runOn(reg, "NEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\n");
    EXPECT_EQ(dir.read("out.csv"), "rec1\r\nrec2\r\n");
    const auto m = reg.messages();
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[1], kAck);
    EXPECT_EQ(m[2], kNak);
    EXPECT_EQ(m[3], kAck);
    EXPECT_EQ(finalStatus, kOk);
}

TEST_F(SerialJob, AReportEndedByALoneAckIsAskedOnce) {
    // A register that ends its report with a lone ACK repeats it when asked
    // for its last answer: the report ends with status 0 after one NAK.
    FakeRegister reg([](const std::string&, int i) -> std::vector<LineOutput> {
        if (i == 0) return {framed("rec1")};
        return {framed(kAck)};
    });
    runOn(reg, "NEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\n");
    EXPECT_EQ(dir.read("out.csv"), "rec1\r\n");
    const auto m = reg.messages();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[1], kAck);
    EXPECT_EQ(m[2], kNak);
    EXPECT_EQ(finalStatus, kOk);
}

TEST_F(SerialJob, ReportEndings) {
    struct Case {
        const char* name;
        FakeRegister::MessageScript script;
        std::string file;  // output after the job
        int status;
        bool cancelled;  // the driver sent EOT at the end
    };
    const Case cases[] = {
        {"unknown report: nothing written",
         [](const std::string&, int) { return std::vector{framed(ackReason(5))}; }, "", 11, false},
        {"EOT refuses the acknowledgement",
         [](const std::string&, int i) {
             return std::vector{i == 0 ? framed("rec1") : framed(kEot)};
         },
         "rec1\r\n", 4, false},
        {"compressed records are expanded",
         reportOf({kSo + "\x01"
                         "ab\x01\x04\x02;",
                   "plain"}),
         "ababab;\r\nplain\r\n", 0, false},
        {"a compressed record that ends inside an escape is not written",
         reportOf({"first", kSo + "\x01"
                                  "abc\x01\x82"}),
         "first\r\n", 8, true},
        {"a compressed record that would expand beyond the bound is not written",
         reportOf({"first", kSo + std::string("\x01"
                                              "a\x01\x89\x00\x01",
                                              6)}),
         "first\r\n", 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegister reg(c.script);
        std::string log = runOn(reg, "NEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\n");
        EXPECT_EQ(dir.read("out.csv"), c.file);
        EXPECT_EQ(finalStatus, c.status) << log;
        // A cancelled report: the record, its ACK, and EOT.
        const auto m = reg.messagesAtLeast(c.cancelled ? 3 : 1, c.cancelled ? 2000 : 50);
        ASSERT_FALSE(m.empty());
        EXPECT_EQ(m.back() == kEot, c.cancelled);
    }
}

TEST_F(SerialJob, OffsetEncodedOutputFile) {
    FakeRegister reg(reportOf({"12;A"}));
    runOn(reg, "BNEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\n");
    EXPECT_EQ(hex(dir.read("out.csv")), "01 02 0B 11 DD DA");
}

TEST_F(SerialJob, WriteFailureCancelsTheReport) {
    FakeRegister reg(reportOf({"rec1", "rec2", "rec3"}));
    useSerialDevice(reg.slavePath());
    // The job log's lines are writes too: fail from the record on.
    dir.write("job.cmd", "PROCESS=" + dir.file("job") + "\nVISIBLE=0\nPORT=5\nNEWFILE=" +
                             dir.file("out.csv") + "\nCOMMAND=D250\n");
    tarvik::TMainForm form(dir.file("Tarvik"), dir.file("job.cmd"), fe);
    form.setTimeLimits(limits);
    fe.onEvents = [](StatusWindow& w) {
        if (w.L_cmd.caption == "D250" && w.L_stat.caption == "Sending")
            plat::injectWriteFailureAfter(1);  // rec1 is written, rec2 fails
    };
    form.runJob();
    plat::injectWriteFailureAfter(-1);
    EXPECT_EQ(dir.read("out.csv"), "rec1\r\n");
    EXPECT_EQ(form.status(), kErrorWritingFile);
    const auto m = reg.messagesAtLeast(3);
    ASSERT_EQ(m.size(), 3u);  // D250, ACK, EOT
    EXPECT_EQ(m[2], kEot);
}

TEST_F(SerialJob, AbortDuringAReportCancelsItAndEndsTheRun) {
    FakeRegister reg([](const std::string& msg, int) -> std::vector<LineOutput> {
        if (msg == kEot) return {};
        return {framed("rec", 20)};  // an endless report
    });
    fe.onEvents = [](StatusWindow& w) {
        if (w.L_rec.caption == "1") w.B_abortClick();
    };
    std::string log =
        runOn(reg, "ENDFILE=1\nNEWFILE=" + dir.file("out.csv") + "\nCOMMAND=D250\nCOMMAND=C1\n");
    EXPECT_EQ(log, logLine("PORT", "5", 0, "OK") + logLine("ENDFILE", "1", 0, "OK") +
                       logLine("NEWFILE", dir.file("out.csv"), 0, "OK") +
                       logLine("COMMAND", "D250", 6, "User Break") +
                       "END;\"Session Ended\";6;\"User Break\"\n");
    EXPECT_EQ(dir.read("job.END"), "006");
    const auto m = reg.messagesAtLeast(2);
    ASSERT_GE(m.size(), 2u);
    EXPECT_EQ(m.back(), kEot);
}

TEST_F(SerialJob, SingleCommandsAndWhatTheWindowShows) {
    FakeRegister reg([](const std::string&, int) { return std::vector{framed(ackReason(0))}; });
    std::string log = runOn(reg, "COMMAND=LI4711\nCOMMAND=TSYSTEM\nCOMMAND=TSYSTEMX\nCOMMAND=LO\n");
    const auto m = reg.messages();
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0], "LI4711");
    EXPECT_TRUE(std::regex_match(m[1], std::regex("T16340[7-9]12022008"))) << m[1];
    EXPECT_EQ(m[2], "TSYSTEMX");
    EXPECT_EQ(m[3], "LO");
    EXPECT_EQ(log, logLine("PORT", "5", 0, "OK") + logLine("COMMAND", "LI4711", 0, "OK") +
                       logLine("COMMAND", "TSYSTEM", 0, "OK") +
                       logLine("COMMAND", "TSYSTEMX", 0, "OK") + logLine("COMMAND", "LO", 0, "OK") +
                       endOk());
    // The login identifier never shows.
    EXPECT_TRUE(fe.showed(fe.commands, "LI"));
    for (const std::string& c : fe.commands) EXPECT_EQ(c.find("4711"), std::string::npos);
    EXPECT_TRUE(fe.showed(fe.commands, "TSYSTEM"));
}

TEST_F(SerialJob, CommandsThatDoNotReachTheRegister) {
    FakeRegister reg([](const std::string&, int) { return std::vector{framed(ackReason(0))}; });
    std::string log = runOn(reg, "COMMAND=D250\nUPLOAD=" + dir.file("missing.csv") + "\n");
    EXPECT_EQ(log, logLine("PORT", "5", 0, "OK") + logLine("COMMAND", "D250", 9, "File Not Open") +
                       logLine("UPLOAD", dir.file("missing.csv"), 7, "Error Opening File") +
                       endOk());
    EXPECT_EQ(reg.raw(), "");
}

TEST_F(SerialJob, UploadSendsEveryLine) {
    const std::string longLine(1100, 'x');
    // Plain lines (CR dropped), an empty line, an offset-encoded line (its
    // raw 0x0A is no line end, DD DA is), and a line cut at 1054 characters.
    dir.write("up.csv", "101;Mueller\r\n\r\n102;Sch\rmidt\n" + std::string("\x01\x02\x0A\xDD\xDA") +
                            longLine + "\nlast");
    FakeRegister reg([](const std::string&, int) { return std::vector{framed(ackReason(0))}; });
    std::string log = runOn(reg, "UPLOAD=" + dir.file("up.csv") + "\n");
    const auto m = reg.messages();
    ASSERT_EQ(m.size(), 6u);
    EXPECT_EQ(m[0], "U101;Mueller");
    EXPECT_EQ(m[1], "U");
    EXPECT_EQ(m[2], "U102;Schmidt");
    EXPECT_EQ(m[3], "U12:");
    EXPECT_EQ(m[4], "U" + std::string(1054, 'x'));
    EXPECT_EQ(m[5], "Ulast");
    EXPECT_EQ(finalStatus, kOk) << log;
    EXPECT_TRUE(fe.showed(fe.commands, "UPLOAD"));
    EXPECT_TRUE(fe.showed(fe.records, "5"));
}

TEST_F(SerialJob, UploadAnswers) {
    dir.write("up.csv", "1\n2\n3\n4\n");
    struct Case {
        const char* name;
        std::string answerToSecond;
        int status;
        std::size_t sent;
    };
    const Case cases[] = {
        {"PLU full ends the upload", ackReason(0x27), 16, 2},
        {"login error ends the upload", ackReason(0x3A), 17, 2},
        {"other reasons let the next line go", ackReason(0x05), 0, 4},
        {"so does an answer that is no ACK", "?", 0, 4},
        {"EOT refuses the line five times", kEot, 4, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegister reg([&c](const std::string& msg, int) {
            return std::vector{framed(msg == "U2" ? c.answerToSecond : ackReason(0))};
        });
        runOn(reg, "UPLOAD=" + dir.file("up.csv") + "\n");
        EXPECT_EQ(finalStatus, c.status);
        EXPECT_EQ(reg.messages().size(), c.sent);
    }
}
