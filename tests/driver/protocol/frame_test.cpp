// Frames on the serial line: checksum, encoder and receiver.
#include <gtest/gtest.h>

#include <random>

#include "driver/protocol/protocol.h"
#include "support/bytes.h"

using namespace tarvik;
using testsupport::bytes;
using testsupport::hex;

namespace {

// Feeds every byte; answers the messages completed on the way.
std::vector<std::string> feedAll(FrameReceiver& rx, std::string_view line) {
    std::vector<std::string> done;
    for (unsigned char c : line) {
        const std::size_t n = rx.feed(c);
        if (n) done.emplace_back(rx.message(n));
    }
    return done;
}

}  // namespace

TEST(Crc16, CheckValueAndContinuation) {
    EXPECT_EQ(crc16("123456789"), 0x4B37);
    // Continuing over a split gives the same as one pass.
    EXPECT_EQ(crc16("6789", crc16("12345")), 0x4B37);
    EXPECT_EQ(crc16(""), 0xFFFF);
}

TEST(EncodeFrame, ExamplesOnTheLine) {
    struct Case {
        const char* body;
        int reg;
        const char* frame;
    } cases[] = {
        {"06", 0, "10 02 06 10 03 42 3F"},
        {"44 32 35 30", 0, "10 02 44 32 35 30 10 03 5F A2"},
        {"44 32 35 30", 2, "10 02 23 30 32 44 32 35 30 10 03 8D 97"},
        {"41 00 00 00 10 42", 0, "10 02 41 00 03 10 10 42 10 03 FB 82"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(hex(encodeFrame(bytes(c.body), c.reg)), c.frame);
    }
}

TEST(EncodeFrame, RunsAreCutAt255AndCountBytesAreNeverEscaped) {
    const std::string zeros(300, '\0');
    const std::string f = encodeFrame(zeros);
    EXPECT_EQ(hex(f.substr(2, f.size() - 6)), "00 FF 00 2D");
    // A run of 16 gives the count 0x10, which stays single (no DLE doubling).
    const std::string ff(16, '\xFF');
    const std::string g = encodeFrame(ff);
    EXPECT_EQ(hex(g.substr(2, g.size() - 6)), "FF 10");
    // Exactly 255 and 256.
    const std::string z255 = encodeFrame(std::string(255, '\0'));
    EXPECT_EQ(hex(z255.substr(2, z255.size() - 6)), "00 FF");
    const std::string z256 = encodeFrame(std::string(256, '\0'));
    EXPECT_EQ(hex(z256.substr(2, z256.size() - 6)), "00 FF 00 01");
}

TEST(EncodeFrame, PrefixOnlyForRegisters1To99) {
    EXPECT_EQ(encodeFrame("X", 1).substr(2, 3), "#01");
    EXPECT_EQ(encodeFrame("X", 99).substr(2, 3), "#99");
    EXPECT_EQ(encodeFrame("X", 0), encodeFrame("X", 100));
    EXPECT_EQ(encodeFrame("X", -1), encodeFrame("X", 0));
}

TEST(EncodeFrame, WorstCaseFitsTheBound) {
    // Every byte a DLE is the longest frame; lone zeros (each with its count)
    // are as long per byte.
    EXPECT_EQ(encodeFrame(std::string(kMessageBufferSize, '\x10'), 42).size(), kMaxFrameSize);
    std::string lone;
    for (std::size_t i = 0; i < kMessageBufferSize; ++i) lone.push_back(i % 2 ? '\xFF' : '\0');
    EXPECT_EQ(encodeFrame(lone, 42).size(), kMaxFrameSize);
}

TEST(FrameReceiver, DecodesTheExamples) {
    FrameReceiver rx;
    EXPECT_EQ(feedAll(rx, bytes("10 02 41 00 03 10 10 42 10 03 FB 82")),
              std::vector<std::string>{bytes("41 00 00 00 10 42")});
    EXPECT_EQ(feedAll(rx, bytes("10 02 06 10 03 42 3F")), std::vector<std::string>{"\x06"});
    // The receiver does not interpret the address prefix.
    EXPECT_EQ(feedAll(rx, bytes("10 02 23 30 32 44 32 35 30 10 03 8D 97")),
              std::vector<std::string>{"#02D250"});
}

TEST(FrameReceiver, RoundTripOfRandomBodies) {
    std::mt19937 gen(7);
    FrameReceiver rx;
    for (int round = 0; round < 200; ++round) {
        std::uniform_int_distribution<int> lenDist(1, 1052);  // room for a prefix
        std::string body(static_cast<std::size_t>(lenDist(gen)), '\0');
        // Bias the bytes towards the special ones so runs and DLEs are common.
        const char pick[] = {'\x00', '\xFF', '\x10', '\x02', '\x03', 'A'};
        for (auto& c : body) c = gen() % 2 ? pick[gen() % 6] : static_cast<char>(gen() & 0xFF);
        const auto got = feedAll(rx, encodeFrame(body, static_cast<int>(gen() % 3)));
        ASSERT_EQ(got.size(), 1u);
        const std::string& m = got[0];
        // With a prefix the message starts with it.
        ASSERT_GE(m.size(), body.size());
        EXPECT_EQ(m.substr(m.size() - body.size()), body);
    }
}

TEST(FrameReceiver, StateTable) {
    FrameReceiver rx;
    // Data bytes before a frame start are stored, DLE STX sets the position back.
    feedAll(rx, "junk");
    EXPECT_EQ(rx.position(), 4u);
    rx.feed(DLE);
    EXPECT_EQ(rx.state(), FrameReceiver::State::AfterDle);
    rx.feed(STX);
    EXPECT_EQ(rx.position(), 0u);
    EXPECT_EQ(rx.state(), FrameReceiver::State::Data);
    // DLE EOT from the sender resets too: the half frame before it is forgotten.
    EXPECT_TRUE(feedAll(rx, bytes("41 42 10 04")).empty());
    EXPECT_EQ(rx.position(), 0u);
    EXPECT_EQ(feedAll(rx, bytes("06 10 03 42 3F")), std::vector<std::string>{"\x06"});
    // Zero run with a count of 0 or 1 stores only the first zero.
    rx.clear();
    feedAll(rx, bytes("10 02 00 00"));
    EXPECT_EQ(rx.position(), 1u);
    feedAll(rx, bytes("00 01"));
    EXPECT_EQ(rx.position(), 2u);
    feedAll(rx, bytes("FF 03"));
    EXPECT_EQ(rx.position(), 5u);
    EXPECT_EQ(rx.state(), FrameReceiver::State::Data);
    // DLE followed by something else stores that byte.
    feedAll(rx, bytes("10 41"));
    EXPECT_EQ(rx.position(), 6u);
    EXPECT_EQ(rx.data()[5], 0x41);
}

TEST(FrameReceiver, WrongChecksumDropsTheFrame) {
    FrameReceiver rx;
    EXPECT_TRUE(feedAll(rx, bytes("10 02 06 10 03 42 3E")).empty());
    EXPECT_EQ(rx.position(), 0u);
    EXPECT_EQ(rx.state(), FrameReceiver::State::Data);
    // The next good frame is taken.
    EXPECT_EQ(feedAll(rx, bytes("10 02 06 10 03 42 3F")).size(), 1u);
}

TEST(FrameReceiver, LengthLimit) {
    FrameReceiver rx;
    // 1055 bytes is the longest message.
    const std::string longest(1055, 'x');
    EXPECT_EQ(feedAll(rx, encodeFrame(longest)), std::vector<std::string>{longest});
    // 1056 bytes wrap to position 0 and never count, even with a checksum
    // that matches the wrapped (empty) contents.
    std::string frame = bytes("10 02") + std::string(1056, 'x') + bytes("10 03 FF FF");
    EXPECT_TRUE(feedAll(rx, frame).empty());
    // A longer one whose tail happens to carry the checksum of what the
    // buffer holds after wrapping: still dropped.
    std::string tail(10, 'y');
    std::string contents = tail;
    const std::uint16_t crc = crc16(contents);
    frame = bytes("10 02") + std::string(1056, 'x') + tail + bytes("10 03");
    frame.push_back(static_cast<char>(crc >> 8));
    frame.push_back(static_cast<char>(crc & 0xFF));
    EXPECT_TRUE(feedAll(rx, frame).empty());
    EXPECT_EQ(rx.position(), 0u);
    // A run that reaches past the end wraps as well and is dropped.
    frame = bytes("10 02") + std::string(1000, 'x') + bytes("00 FF") + bytes("10 03 00 00");
    EXPECT_TRUE(feedAll(rx, frame).empty());
    EXPECT_EQ(feedAll(rx, encodeFrame("ok")), std::vector<std::string>{"ok"});
}

TEST(FrameReceiver, ClearZeroesEverything) {
    FrameReceiver rx;
    feedAll(rx, bytes("10 02 41 42 10"));
    rx.clear();
    EXPECT_EQ(rx.position(), 0u);
    EXPECT_EQ(rx.state(), FrameReceiver::State::Data);
    EXPECT_EQ(rx.data()[0], 0);
    EXPECT_EQ(rx.data()[1], 0);
}
