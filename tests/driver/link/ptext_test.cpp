// The serial-port wrapper on pseudo-terminals.
#include "driver/link/ptext.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>

#include <chrono>
#include <thread>

#include "driver/protocol/protocol.h"
#include "support/bytes.h"
#include "support/pty.h"
#include "support/temp_dir.h"

using namespace tarvik;
using testsupport::PtyPair;

namespace {

// Sets TARVIK_COM<n> for one test and removes it afterwards.
class ComVariable {
  public:
    ComVariable(int n, const std::string& path) : name_("TARVIK_COM" + std::to_string(n)) {
        ::setenv(name_.c_str(), path.c_str(), 1);
    }
    ~ComVariable() { ::unsetenv(name_.c_str()); }

  private:
    std::string name_;
};

std::string readAll(Ptext& port) {
    std::string out;
    std::uint8_t b;
    while (port.waitReadable(200)) {
        while (port.readByte(b) == kPortOk) out.push_back(static_cast<char>(b));
    }
    return out;
}

}  // namespace

TEST(Ptext, DevicePathsAndBaudTable) {
    ::unsetenv("TARVIK_COM3");
    EXPECT_EQ(comDevicePath(3), "/dev/ttyS2");
    EXPECT_EQ(comDevicePath(12), "/dev/ttyS11");
    EXPECT_EQ(comDevicePath(0), "");
    EXPECT_EQ(comDevicePath(-4), "");
    {
        ComVariable v(3, "/dev/ttyUSB0");
        EXPECT_EQ(comDevicePath(3), "/dev/ttyUSB0");
    }
    const int rates[9] = {9600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (int i = 0; i <= 8; ++i) {
        EXPECT_EQ(baudRateForIndex(i), rates[i]);
        if (i > 0) {
            EXPECT_EQ(baudIndexForRate(rates[i]), i);
        }
    }
    EXPECT_EQ(baudRateForIndex(9), 9600);
    EXPECT_EQ(baudIndexForRate(300), 0);
}

TEST(Ptext, OpenFailures) {
    testsupport::TempDir dir;
    dir.write("plain-file", "");
    Ptext port;
    EXPECT_EQ(port.open(0, 0), kPortOpenFailed);
    {
        ComVariable v(41, dir.file("missing"));
        EXPECT_EQ(port.open(41, 0), kPortOpenFailed);
    }
    {
        ComVariable v(42, dir.file("plain-file"));  // no terminal: no line settings
        EXPECT_EQ(port.open(42, 0), kPortSetupFailed);
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.fd(), -1);
    std::uint8_t b = 0;
    EXPECT_EQ(port.sendByte(1), kPortWriteFailed);
    EXPECT_EQ(port.readByte(b), kPortNothingToRead);
    EXPECT_EQ(port.purge(), kPortOpenFailed);
}

TEST(Ptext, OpensRawAndExclusive) {
    PtyPair pty;
    ComVariable v(5, pty.slavePath());
    Ptext port;
    ASSERT_EQ(port.open(5, 0), kPortOk);
    EXPECT_TRUE(port.isOpen());
    EXPECT_GE(port.fd(), 0);

    termios tio{};
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_TRUE(tio.c_cflag & CREAD);
    EXPECT_FALSE(tio.c_iflag & (IXON | IXOFF));
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));
    EXPECT_FALSE(tio.c_oflag & OPOST);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));  // index 0 opens at 9600

    // Not shared: a second open of the same port fails until the first closes.
    Ptext second;
    EXPECT_EQ(second.open(5, 0), kPortOpenFailed);
    port.close();
    EXPECT_EQ(second.open(5, 0), kPortOk);
}

TEST(Ptext, SetupChangesTheRate) {
    PtyPair pty;
    Ptext port;
    ASSERT_EQ(port.openDevice(pty.slavePath(), 3), kPortOk);
    termios tio{};
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B4800));
    EXPECT_EQ(port.setup(8), kPortOk);
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B115200));
    EXPECT_EQ(port.baudIndex(), 8);
    // The retry reset keeps the rate.
    EXPECT_EQ(port.resetForRetry(), kPortOk);
    ASSERT_EQ(::tcgetattr(port.fd(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B115200));
}

TEST(Ptext, SendsBlocksAndBytesUnchanged) {
    PtyPair pty;
    Ptext port;
    ASSERT_EQ(port.openDevice(pty.slavePath(), 0), kPortOk);
    // Every byte value passes, line ends and flow-control characters too.
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    const std::string frame = encodeFrame(all, 2);
    EXPECT_EQ(port.sendBlock(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size()),
              kPortOk);
    EXPECT_EQ(pty.read(frame.size()), frame);
    EXPECT_EQ(port.sendByte(DLE), kPortOk);
    EXPECT_EQ(port.sendByte(EOT), kPortOk);
    EXPECT_EQ(pty.read(2), "\x10\x04");
    EXPECT_GE(port.outputQueueBytes(), 0);
    EXPECT_EQ(port.setModemLines(false), kPortOk);  // a pty has no modem lines
    EXPECT_EQ(port.setModemLines(true), kPortOk);
}

TEST(Ptext, ReadsWhatIsWaitingAndNeverBlocks) {
    PtyPair pty;
    Ptext port;
    ASSERT_EQ(port.openDevice(pty.slavePath(), 0), kPortOk);
    std::uint8_t b = 0;
    EXPECT_EQ(port.readByte(b), kPortNothingToRead);
    EXPECT_FALSE(port.waitReadable(0));

    std::string all;
    for (int i = 255; i >= 0; --i) all.push_back(static_cast<char>(i));
    pty.write(all);
    EXPECT_EQ(readAll(port), all);
    EXPECT_EQ(port.readByte(b), kPortNothingToRead);

    // The frame receiver fed from the port.
    pty.write(testsupport::bytes("10 02 41 00 03 10 10 42 10 03 FB 82"));
    FrameReceiver rx;
    std::size_t len = 0;
    while (!len && port.waitReadable(1000))
        while (!len && port.readByte(b) == kPortOk) len = rx.feed(b);
    EXPECT_EQ(rx.message(len), testsupport::bytes("41 00 00 00 10 42"));
}

TEST(Ptext, PurgeAndRetryResetDiscardInput) {
    PtyPair pty;
    Ptext port;
    ASSERT_EQ(port.openDevice(pty.slavePath(), 4), kPortOk);
    std::uint8_t b = 0;
    pty.write("stale");
    ASSERT_TRUE(port.waitReadable(1000));
    EXPECT_EQ(port.purge(), kPortOk);
    EXPECT_EQ(port.readByte(b), kPortNothingToRead);
    pty.write("old answer");
    ASSERT_TRUE(port.waitReadable(1000));
    EXPECT_EQ(port.resetForRetry(), kPortOk);
    EXPECT_EQ(port.readByte(b), kPortNothingToRead);
    pty.write("new");
    EXPECT_EQ(readAll(port), "new");
}

// Bytes the port has taken from the device ahead of the one handed out
// count as waiting, and every discard of input drops them as it drops the
// device's own.
TEST(Ptext, BytesTakenAheadCountAsWaitingAndAreDiscardedToo) {
    PtyPair pty;
    Ptext port;
    ASSERT_EQ(port.openDevice(pty.slavePath(), 4), kPortOk);
    std::uint8_t b = 0;
    const struct {
        const char* what;
        int (*discard)(Ptext&);
    } discards[] = {
        {"discardInput", [](Ptext& p) { return p.discardInput(); }},
        {"purge", [](Ptext& p) { return p.purge(); }},
        {"resetForRetry", [](Ptext& p) { return p.resetForRetry(); }},
        {"setup", [](Ptext& p) { return p.setup(8); }},
    };
    for (const auto& d : discards) {
        SCOPED_TRACE(d.what);
        pty.write("abc");
        ASSERT_TRUE(port.waitReadable(1000));
        // Give the line time to hand over all three bytes.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_EQ(port.readByte(b), kPortOk);
        EXPECT_EQ(b, 'a');
        EXPECT_TRUE(port.waitReadable(0)) << "b and c are still waiting";
        ASSERT_EQ(port.readByte(b), kPortOk);
        EXPECT_EQ(b, 'b');
        EXPECT_EQ(d.discard(port), kPortOk);
        EXPECT_FALSE(port.waitReadable(0));
        EXPECT_EQ(port.readByte(b), kPortNothingToRead);
    }
    pty.write("new");
    EXPECT_EQ(readAll(port), "new");
    // Closed and opened again: nothing of the old line is handed out.
    pty.write("xyz");
    ASSERT_TRUE(port.waitReadable(1000));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(port.readByte(b), kPortOk);
    port.close();
    ASSERT_EQ(port.openDevice(pty.slavePath(), 4), kPortOk);
    EXPECT_EQ(port.readByte(b), kPortNothingToRead);
}

TEST(Ptext, HungUpLineIsNotReadable) {
    PtyPair pty;
    Ptext port;
    ASSERT_EQ(port.openDevice(pty.slavePath(), 0), kPortOk);
    pty.closeMaster();
    std::uint8_t b = 0;
    EXPECT_FALSE(port.waitReadable(20));
    EXPECT_EQ(port.readByte(b), kPortNothingToRead);
    const std::uint8_t data[3] = {1, 2, 3};
    EXPECT_EQ(port.sendBlock(data, 3), kPortWriteFailed);
}
