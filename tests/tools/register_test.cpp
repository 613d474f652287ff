// The simulated register's answers, without a line.
#include "tools/ecr-sim/register.h"

#include <gtest/gtest.h>

#include "driver/protocol/protocol.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

using ecrsim::Register;
using ecrsim::RegisterConfig;
using testsupport::bytes;
using testsupport::TempDir;

namespace {

const std::string kAck0 = bytes("06 00");
const std::string kAck = "\x06";
const std::string kNak = "\x15";
const std::string kEot = "\x04";

std::string ack(int reason) {
    return std::string{'\x06', static_cast<char>(reason)};
}

struct Fixture {
    TempDir dir;
    Register make(int number = 1, const std::string& login = "", long plu = -1,
                  bool compress = false) {
        RegisterConfig c;
        c.number = number;
        c.dataDir = dir.str();
        c.login = login;
        c.pluLimit = plu;
        c.compress = compress;
        return Register(c);
    }
    std::string one(Register& r, const std::string& msg, long now = 0) {
        auto a = r.handle(msg, now);
        return a.empty() ? std::string("<none>") : a.front();
    }
};

}  // namespace

TEST(SimRegister, ReportRecordByRecord) {
    Fixture f;
    f.dir.write("RUZ001001001.csv", "20;head\r\n22;101;1\r\n\r\n22;102;2\n");
    f.dir.write("reg02/RUZ001001001.csv", "22;999;2\n");
    Register r = f.make();
    // Command names match the file ignoring case (RuZ for several registers).
    EXPECT_EQ(f.one(r, "RuZ001001001"), "20;head");
    EXPECT_TRUE(r.inReport());
    EXPECT_EQ(f.one(r, kAck), "22;101;1");  // empty lines are no records
    EXPECT_EQ(f.one(r, kNak), "22;101;1");  // NAK repeats the last answer
    EXPECT_EQ(f.one(r, kAck), "22;102;2");
    EXPECT_EQ(f.one(r, kAck), kAck0);
    EXPECT_FALSE(r.inReport());
    EXPECT_EQ(f.one(r, kNak), kAck0);  // the lost final answer comes again
    EXPECT_EQ(f.one(r, kAck), kEot);   // an ACK outside a report is refused
    EXPECT_EQ(r.recordsSent(), 3);
    // A register's own directory comes first.
    Register r2 = f.make(2);
    EXPECT_EQ(f.one(r2, "RUZ001001001"), "22;999;2");
}

TEST(SimRegister, ReportCancelAndRestart) {
    Fixture f;
    f.dir.write("D250.csv", "a\nb\nc\n");
    Register r = f.make();
    EXPECT_EQ(f.one(r, "D250"), "a");
    EXPECT_TRUE(r.handle(kEot, 0).empty());  // the cancel gets no answer
    EXPECT_FALSE(r.inReport());
    // The command again starts from the first record.
    EXPECT_EQ(f.one(r, "D250"), "a");
    EXPECT_EQ(f.one(r, "D250"), "a");
    EXPECT_EQ(f.one(r, kAck), "b");
}

TEST(SimRegister, CommandAnswers) {
    Fixture f;
    f.dir.write("EMPTY.csv", "");
    Register r = f.make();
    struct Case {
        const char* msg;
        std::string answer;
    } cases[] = {
        {"D9999", ack(0x05)},    // no such report
        {"../D250", ack(0x05)},  // no paths through command texts
        {"EMPTY", kAck0},        // an empty report ends at once
        {"LIanything", kAck0},   // no identifier set: any login
        {"LO", kAck0},
        {"LX", ack(0x06)},
        {"CZ", kAck0},
        {"TSYSTEMX", ack(0x02)},
        {"T25340712022008", ack(0x02)},  // hour 25
        {"T16340712022008", kAck0},
    };
    for (const auto& c : cases) EXPECT_EQ(f.one(r, c.msg), c.answer) << c.msg;
    EXPECT_EQ(r.clockText(), "2008-02-12 16:34:07");
    EXPECT_EQ(f.dir.read(Register::clockFileName(1)), "2008-02-12 16:34:07\n");
}

TEST(SimRegister, LoginIdentifier) {
    Fixture f;
    f.dir.write("D250.csv", "a\n");
    Register r = f.make(1, "4711");
    EXPECT_EQ(f.one(r, "D250"), ack(0x3A));  // not logged in
    EXPECT_EQ(f.one(r, "LI4712"), ack(0x3A));
    EXPECT_FALSE(r.loggedIn());
    EXPECT_EQ(f.one(r, "LI4711"), kAck0);
    EXPECT_TRUE(r.loggedIn());
    EXPECT_EQ(f.one(r, "D250"), "a");
    EXPECT_EQ(f.one(r, "LO"), kAck0);
    EXPECT_EQ(f.one(r, "CZ"), ack(0x3A));
}

TEST(SimRegister, UploadAndPluLimit) {
    Fixture f;
    Register r = f.make(3, "", 2);
    EXPECT_EQ(f.one(r, "U250;1;101;0;\"Mueller\";", 1000), kAck0);
    EXPECT_EQ(f.one(r, "U250;1;101;0;\"Mueller\";", 1100), kAck0);  // a repeat: kept once
    EXPECT_EQ(f.one(r, "U250;2;0;0;\"  \";", 1200), kAck0);
    EXPECT_EQ(f.one(r, "U250;3;0;0;\"  \";", 1300), ack(0x27));  // full
    EXPECT_EQ(f.dir.read(Register::uploadFileName(3)),
              "250;1;101;0;\"Mueller\";\r\n250;2;0;0;\"  \";\r\n");
    EXPECT_EQ(r.uploadedLines(), 2);
    // Another command ends the upload; the next upload replaces the file.
    EXPECT_EQ(f.one(r, "LO", 2000), kAck0);
    EXPECT_EQ(f.one(r, "Unew", 3000), kAck0);
    EXPECT_EQ(f.dir.read(Register::uploadFileName(3)), "new\r\n");
    // So does a long pause.
    EXPECT_EQ(f.one(r, "Uafter a pause", 3000 + 61000), kAck0);
    EXPECT_EQ(f.dir.read(Register::uploadFileName(3)), "after a pause\r\n");
}

TEST(SimRegister, CompressedRecordsExpandToTheOriginal) {
    Fixture f;
    const std::string repetitive = "22;101;3;10000;1001;\"Pils 0,3l\";2;7,00;;;;;;;;;;;;;;;;;;;;;;";
    f.dir.write("R.csv", repetitive + "\nshort\n");
    Register r = f.make(1, "", -1, true);
    const std::string first = f.one(r, "R");
    EXPECT_EQ(static_cast<unsigned char>(first[0]), tarvik::SO);
    EXPECT_LT(first.size(), repetitive.size());
    std::string expanded;
    ASSERT_EQ(tarvik::expandRecord(first, expanded), tarvik::ExpandStatus::Ok);
    EXPECT_EQ(expanded, repetitive);
    EXPECT_EQ(f.one(r, kAck), "short");  // nothing to gain: sent as it is
}

TEST(SimRegister, CompressorRoundTrip) {
    // Every byte value, the escape byte among them, and long repeats.
    std::string all;
    for (int round = 0; round < 3; ++round)
        for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
    const std::string inputs[] = {all, std::string(1000, 'x'), "abcabcabcabcabcabc", "ab"};
    for (const std::string& in : inputs) {
        const std::string c = ecrsim::compressRecord(in);
        if (c == in) continue;
        std::string out;
        ASSERT_EQ(tarvik::expandRecord(c, out), tarvik::ExpandStatus::Ok);
        EXPECT_EQ(out, in);
    }
}
