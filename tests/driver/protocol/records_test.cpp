// Records: expansion, offset encoding, answer reasons and time limits.
#include <gtest/gtest.h>

#include "driver/protocol/protocol.h"
#include "support/bytes.h"

using namespace tarvik;
using testsupport::bytes;

TEST(ExpandRecord, Cases) {
    struct Case {
        const char* name;
        std::string in;
        ExpandStatus status;
        std::string out;
    } cases[] = {
        {"plain bytes", bytes("0E 1B 61 62 63"), ExpandStatus::Ok, "abc"},
        {"escape byte itself", bytes("0E 1B 61 1B 00 62"), ExpandStatus::Ok,
         "a\x1B"
         "b"},
        {"pattern shorter than count", bytes("0E 1B 61 62 1B 04 02"), ExpandStatus::Ok, "ababab"},
        {"two-byte count", bytes("0E 1B 78 1B 81 48 01"), ExpandStatus::Ok, std::string(201, 'x')},
        {"copy from far back", bytes("0E 1B 61 62 63 64 1B 02 04 7A"), ExpandStatus::Ok, "abcdabz"},
        {"empty after escape byte", bytes("0E 1B"), ExpandStatus::Ok, ""},
        {"SO alone", bytes("0E"), ExpandStatus::Truncated, ""},
        {"ends after escape", bytes("0E 1B 61 1B"), ExpandStatus::Truncated, ""},
        {"ends inside count", bytes("0E 1B 61 1B 81"), ExpandStatus::Truncated, ""},
        {"distance missing", bytes("0E 1B 61 1B 02"), ExpandStatus::Truncated, ""},
        {"ends inside distance", bytes("0E 1B 61 1B 02 80"), ExpandStatus::Truncated, ""},
        {"distance 0", bytes("0E 1B 61 1B 02 80 00"), ExpandStatus::BadReference, ""},
        {"before the start", bytes("0E 1B 61 1B 02 02"), ExpandStatus::BadReference, ""},
        {"reference with no output", bytes("0E 1B 1B 02 01"), ExpandStatus::BadReference, ""},
        {"count too large", bytes("0E 1B 61 1B 90 00 01"), ExpandStatus::Overflow, ""},
        {"endless number", bytes("0E 1B 61 1B FF FF FF FF FF FF FF FF FF FF FF FF 01 01"),
         ExpandStatus::Overflow, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "stale";
        EXPECT_EQ(expandRecord(c.in, out), c.status);
        EXPECT_EQ(out, c.out);
    }
}

TEST(ExpandRecord, BoundIsTheBufferLessTheLineEnd) {
    ASSERT_EQ(kMaxExpandedRecord, 1054u);
    std::string out;
    // One byte plus 1053 copies: exactly the bound.
    const std::string fits = bytes("0E 1B 78 1B 88 1D 01");  // 8*128+29 = 1053
    EXPECT_EQ(expandRecord(fits, out), ExpandStatus::Ok);
    EXPECT_EQ(out, std::string(1054, 'x'));
    const std::string oneMore = bytes("0E 1B 78 1B 88 1E 01");
    EXPECT_EQ(expandRecord(oneMore, out), ExpandStatus::Overflow);
    EXPECT_TRUE(out.empty());
    // Plain bytes past the bound overflow as well.
    EXPECT_EQ(expandRecord(bytes("0E 1B") + std::string(1055, 'y'), out), ExpandStatus::Overflow);
    EXPECT_EQ(expandRecord(bytes("0E 1B") + std::string(1054, 'y'), out), ExpandStatus::Ok);
    // A smaller buffer bounds the output to its size.
    std::uint8_t small[4];
    const std::string five = bytes("0E 1B 61 62 63 64 65");
    auto r = expandRecord(reinterpret_cast<const std::uint8_t*>(five.data()), five.size(), small,
                          sizeof small);
    EXPECT_EQ(r.status, ExpandStatus::Overflow);
    EXPECT_EQ(r.length, 0u);
}

TEST(OffsetEncoding, RecordsAndUploadLines) {
    std::string line = "22;101;1\r\n";
    offsetEncode(line);
    EXPECT_EQ(line.substr(0, 2), bytes("02 02"));
    EXPECT_EQ(line.substr(line.size() - 2), bytes("DD DA"));
    EXPECT_EQ(static_cast<unsigned char>(line[2]), 0x0B);  // ';' - 0x30
    EXPECT_TRUE(isOffsetEncodedLine(static_cast<std::uint8_t>(line[0])));
    offsetDecode(line);
    EXPECT_EQ(line, "22;101;1\r\n");
    // Bytes below 0x30 wrap around.
    std::string low = bytes("00 10 2F");
    offsetEncode(low);
    EXPECT_EQ(low, bytes("D0 E0 FF"));

    for (int b = 0; b < 256; ++b) {
        const bool expected = b <= 0x09 || b == 0xDA || b == 0xDD;
        EXPECT_EQ(isOffsetEncodedLine(static_cast<std::uint8_t>(b)), expected) << b;
    }
}

TEST(Answers, ReasonTables) {
    struct Case {
        std::uint8_t reason;
        int command;
        int upload;
    } cases[] = {
        {0x00, 0, 0},  {0x02, 14, 0},  {0x03, 14, 0},  {0x05, 11, 0}, {0x06, 12, 0},
        {0x08, 13, 0}, {0x27, 12, 16}, {0x3A, 17, 17}, {0x01, 12, 0}, {0xFF, 12, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(commandStatusForReason(c.reason), c.command) << int(c.reason);
        EXPECT_EQ(uploadStatusForReason(c.reason), c.upload) << int(c.reason);
    }
}

TEST(Answers, TimeLimitsAndClockMessage) {
    const int expected[9] = {14000, 14000, 12000, 10000, 10000, 8000, 6000, 6000, 6000};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(serialTimeLimitMs(i), expected[i]) << i;
    EXPECT_EQ(serialTimeLimitMs(-1), 14000);
    EXPECT_EQ(serialTimeLimitMs(9), 14000);
    const std::string t = clockMessage(16, 34, 7, 12, 2, 2008);
    EXPECT_EQ(t, "T16340712022008");
    EXPECT_EQ(t.size(), 15u);
}
