// The UDP link of the register driver: one IPv4 datagram socket, the
// destination port and address of the register, and the rules that turn the
// IP text of the command file and the register number into that address.
//
// Rules:
// - PORT values 999..65535 are UDP ports, except that 9999 means 2030 (the
//   registers' port); 0 means 2030 as well. Above 65535 nothing opens.
// - The IP text in dotted form (four decimal parts 0..255) is the base
//   address; for register numbers above 1 the number minus 1 is added to
//   its last part (register 3 at 192.168.0.10 is 192.168.0.12).
// - If the last part plus that offset passes 255 there is no destination at
//   all: the address is never carried into another part or wrapped, so the
//   datagram can never reach another host. Every send then fails without
//   touching the network, nothing is taken as an answer, and a command ends
//   as one that got no answer ("No Answer").
// - Any other IP text is a host name: it is looked up and its first IPv4
//   address is taken as it is (no offset). A failed look-up, and an empty
//   text, give 255.255.255.255; the socket has no broadcast permission, so
//   sending there fails at the operating system. A text of digits and dots
//   that is not four parts 0..255 (a mistyped address such as 10.0.0.300) is
//   not looked up and gives 255.255.255.255 as well.
// - With a destination set, only a datagram from exactly that address and
//   port is taken as the register's answer. Datagrams from any other source
//   (anyone else on the network could send them) are discarded and the wait
//   goes on within its time limit; so are datagrams longer than the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvik {

// What a PORT value opens.
enum class PortKind { Serial, Udp, Invalid };
PortKind portKind(long portValue);  // <= 998 Serial, 999..65535 Udp, else Invalid
// UDP port of a PORT value: 9999 and 0 give 2030, others are taken as they are.
std::uint16_t udpPortForPortValue(long portValue);
inline constexpr std::uint16_t kRegisterUdpPort = 2030;

struct Destination {
    bool valid = false;         // false: no address (offset overflow); sends fail
    std::uint32_t address = 0;  // IPv4 address in host byte order
};

// The destination for an IP text and register number, by the rules above.
Destination resolveRegisterAddress(const std::string& ipText, int registerNumber);
// "a.b.c.d" of a host-order address; "none" for an invalid destination.
std::string formatAddress(const Destination& d);

class UdpLink {
  public:
    // Receive wait of one call when the caller gives none.
    static constexpr int kReceiveTimeoutMs = 2000;

    UdpLink() = default;
    ~UdpLink();
    UdpLink(const UdpLink&) = delete;
    UdpLink& operator=(const UdpLink&) = delete;

    // Creates the socket (IPv4, datagrams, receive time-out 2 s, no
    // broadcast permission). False when it cannot be created.
    bool open();
    void close();
    bool isOpen() const { return fd_ >= 0; }
    // The descriptor, for poll(); -1 when closed.
    int fd() const { return fd_; }

    // Where datagrams go, and the only source whose datagrams are taken.
    void setDestination(const Destination& dest, std::uint16_t port);
    const Destination& destination() const { return dest_; }
    std::uint16_t port() const { return port_; }

    // Sends one datagram; false when there is no valid destination or the
    // system refuses (for example 255.255.255.255 without permission).
    bool send(const std::uint8_t* data, std::size_t len);
    bool send(const std::string& data) {
        return send(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    }

    // Waits up to timeoutMs (0: just look) for one datagram from the
    // destination of at most `cap` bytes and copies it to buf. Answers its
    // length, or 0 when none came in time (or on an error). Other datagrams
    // are discarded on the way (counted by discarded()).
    std::size_t receive(std::uint8_t* buf, std::size_t cap, int timeoutMs = kReceiveTimeoutMs);
    unsigned long discarded() const { return discarded_; }

  private:
    int fd_ = -1;
    Destination dest_;
    std::uint16_t port_ = kRegisterUdpPort;
    unsigned long discarded_ = 0;
};

}  // namespace tarvik
