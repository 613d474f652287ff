// The UDP link on loopback addresses only.
#include "driver/link/udp.h"

#include <gtest/gtest.h>

#include "support/udp_socket.h"

using namespace tarvik;
using testsupport::LoopbackUdp;

namespace {

Destination loopback(std::uint32_t last) {
    return {true, 0x7F000000u | last};
}

std::string receiveText(UdpLink& link, int timeoutMs = 2000) {
    std::uint8_t buf[1056];
    const std::size_t n = link.receive(buf, sizeof buf, timeoutMs);
    return std::string(reinterpret_cast<char*>(buf), n);
}

}  // namespace

TEST(UdpRules, PortValues) {
    struct Case {
        long value;
        PortKind kind;
        std::uint16_t udp;
    } cases[] = {
        {9999, PortKind::Udp, 2030},   {999, PortKind::Udp, 999},
        {65535, PortKind::Udp, 65535}, {2030, PortKind::Udp, 2030},
        {998, PortKind::Serial, 998},  {0, PortKind::Serial, 2030},
        {-1, PortKind::Serial, 65535}, {70000, PortKind::Invalid, 70000 & 0xFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(portKind(c.value), c.kind) << c.value;
        if (c.kind == PortKind::Udp) {
            EXPECT_EQ(udpPortForPortValue(c.value), c.udp) << c.value;
        }
    }
    EXPECT_EQ(udpPortForPortValue(0), 2030);
}

TEST(UdpRules, AddressResolution) {
    struct Case {
        const char* text;
        int reg;
        const char* address;
    } cases[] = {
        {"192.168.1.20", 2, "192.168.1.21"},
        {"192.168.1.20", 1, "192.168.1.20"},
        {"192.168.1.20", 0, "192.168.1.20"},
        {"192.168.0.10", 3, "192.168.0.12"},
        {"127.0.0.1", 99, "127.0.0.99"},
        {"010.000.000.007", 2, "10.0.0.8"},  // parts are decimal, leading zeros too
        {"127.0.0.250", 6, "127.0.0.255"},   // the last that fits
        // Passing 255: no destination at all, never a carry or wrap to another host.
        {"127.0.0.250", 7, "none"},
        {"192.168.1.255", 2, "none"},
        {"10.0.0.200", 99, "none"},
        // Empty text and unresolvable texts: the broadcast address (which
        // fails to send without permission).
        {"", 0, "255.255.255.255"},
        {"", 5, "255.255.255.255"},
        {"10.0.0.300", 1, "255.255.255.255"},
        {"1.2.3", 1, "255.255.255.255"},
        {"1.2.3.4.5", 1, "255.255.255.255"},
        // A host name: its first address, without the register offset.
        {"localhost", 5, "127.0.0.1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatAddress(resolveRegisterAddress(c.text, c.reg)), c.address)
            << c.text << " register " << c.reg;
    }
}

TEST(UdpLink, SendsAndReceivesDatagrams) {
    LoopbackUdp reg("127.0.0.1");
    UdpLink link;
    ASSERT_TRUE(link.open());
    EXPECT_GE(link.fd(), 0);
    link.setDestination(loopback(1), reg.port());
    ASSERT_TRUE(link.send(std::string("D250")));
    EXPECT_EQ(reg.receive(), "D250");
    reg.reply(std::string("22;101;1\x00\xFF", 10));
    EXPECT_EQ(receiveText(link), std::string("22;101;1\x00\xFF", 10));
    // Nothing waiting: a zero wait answers at once.
    EXPECT_EQ(receiveText(link, 0), "");
    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.send(std::string("x")));
}

TEST(UdpLink, DatagramsFromStrangersAreNotAnswers) {
    LoopbackUdp reg("127.0.0.1");
    LoopbackUdp otherPort("127.0.0.1");              // same address, other port
    LoopbackUdp otherHost("127.0.0.3", reg.port());  // other address, the register's port
    UdpLink link;
    ASSERT_TRUE(link.open());
    link.setDestination(loopback(1), reg.port());
    ASSERT_TRUE(link.send(std::string("RUZ001001001")));
    ASSERT_EQ(reg.receive(), "RUZ001001001");
    const std::uint16_t linkPort = reg.peerPort();

    // Strangers get in first; then the register answers.
    otherPort.sendTo("22;666;forged", "127.0.0.1", linkPort);
    otherHost.sendTo("22;777;forged", "127.0.0.1", linkPort);
    // Make sure both are queued before the answer.
    ::usleep(20000);
    reg.reply("22;101;real");
    EXPECT_EQ(receiveText(link), "22;101;real");
    EXPECT_EQ(link.discarded(), 2u);

    // Only a stranger: nothing is taken within the wait.
    otherPort.sendTo("\x06", "127.0.0.1", linkPort);
    EXPECT_EQ(receiveText(link, 100), "");
    EXPECT_EQ(link.discarded(), 3u);
}

TEST(UdpLink, OverLongDatagramsAreDiscarded) {
    LoopbackUdp reg("127.0.0.1");
    UdpLink link;
    ASSERT_TRUE(link.open());
    link.setDestination(loopback(1), reg.port());
    ASSERT_TRUE(link.send(std::string("D10000")));
    reg.receive();
    reg.reply(std::string(1057, 'x'));
    reg.reply(std::string(1056, 'y'));
    EXPECT_EQ(receiveText(link), std::string(1056, 'y'));
    EXPECT_EQ(link.discarded(), 1u);
}

TEST(UdpLink, NoDestinationSendsNothing) {
    UdpLink link;
    ASSERT_TRUE(link.open());
    // Address overflow: no destination, sending fails without the network.
    link.setDestination(resolveRegisterAddress("127.0.0.250", 10), 2030);
    EXPECT_FALSE(link.destination().valid);
    EXPECT_FALSE(link.send(std::string("D250")));
    EXPECT_EQ(receiveText(link, 20), "");
    // Empty IP text: the broadcast address, refused by the system.
    link.setDestination(resolveRegisterAddress("", 0), 2030);
    EXPECT_TRUE(link.destination().valid);
    EXPECT_FALSE(link.send(std::string("D250")));
    // Port 0 means the registers' port.
    link.setDestination(loopback(1), 0);
    EXPECT_EQ(link.port(), 2030);
}
