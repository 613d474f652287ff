#include "driver/link/udp.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

namespace tarvik {

namespace {

long monotonicMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long>(ts.tv_sec) * 1000L + ts.tv_nsec / 1000000L;
}

// Four decimal parts of one to three digits, each 0..255.
bool parseDotted(const std::string& text, std::uint32_t parts[4]) {
    std::size_t i = 0;
    for (int p = 0; p < 4; ++p) {
        if (p > 0) {
            if (i >= text.size() || text[i] != '.') return false;
            ++i;
        }
        std::uint32_t v = 0;
        int digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            v = v * 10 + static_cast<std::uint32_t>(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > 3 || v > 255) return false;
        parts[p] = v;
    }
    return i == text.size();
}

constexpr std::uint32_t kBroadcast = 0xFFFFFFFFu;

}  // namespace

PortKind portKind(long portValue) {
    if (portValue > 65535) return PortKind::Invalid;
    if (portValue >= 999) return PortKind::Udp;
    return PortKind::Serial;
}

std::uint16_t udpPortForPortValue(long portValue) {
    if (portValue == 9999 || portValue == 0) return kRegisterUdpPort;
    return static_cast<std::uint16_t>(portValue);
}

Destination resolveRegisterAddress(const std::string& ipText, int registerNumber) {
    if (ipText.empty()) return {true, kBroadcast};
    std::uint32_t parts[4];
    if (parseDotted(ipText, parts)) {
        if (registerNumber > 1) {
            parts[3] += static_cast<std::uint32_t>(registerNumber - 1);
            if (parts[3] > 255) return {false, 0};
        }
        return {true, parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3]};
    }
    // Digits and dots only, but not four parts 0..255 ("10.0.0.300"): a
    // mistyped address, never a host name; it stays unresolved without asking
    // the name service.
    if (ipText.find_first_not_of("0123456789.") == std::string::npos) return {true, kBroadcast};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* res = nullptr;
    if (::getaddrinfo(ipText.c_str(), nullptr, &hints, &res) != 0 || !res)
        return {true, kBroadcast};
    const auto* sin = reinterpret_cast<const sockaddr_in*>(res->ai_addr);
    const Destination d{true, ntohl(sin->sin_addr.s_addr)};
    ::freeaddrinfo(res);
    return d;
}

std::string formatAddress(const Destination& d) {
    if (!d.valid) return "none";
    const std::uint32_t a = d.address;
    return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 0xFF) + "." +
           std::to_string(a >> 8 & 0xFF) + "." + std::to_string(a & 0xFF);
}

UdpLink::~UdpLink() {
    close();
}

bool UdpLink::open() {
    close();
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    timeval tv{kReceiveTimeoutMs / 1000, (kReceiveTimeoutMs % 1000) * 1000};
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    discarded_ = 0;
    return true;
}

void UdpLink::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void UdpLink::setDestination(const Destination& dest, std::uint16_t port) {
    dest_ = dest;
    port_ = port == 0 ? kRegisterUdpPort : port;
}

bool UdpLink::send(const std::uint8_t* data, std::size_t len) {
    if (fd_ < 0 || !dest_.valid) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port_);
    to.sin_addr.s_addr = htonl(dest_.address);
    ssize_t n;
    while ((n = ::sendto(fd_, data, len, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to)) <
               0 &&
           errno == EINTR) {
    }
    return n >= 0 && static_cast<std::size_t>(n) == len;
}

std::size_t UdpLink::receive(std::uint8_t* buf, std::size_t cap, int timeoutMs) {
    if (fd_ < 0) return 0;
    if (timeoutMs < 0) timeoutMs = 0;
    const long until = monotonicMs() + timeoutMs;
    constexpr int kLateLimit = 64;
    int late = 0;
    for (;;) {
        const long left = until - monotonicMs();
        pollfd p{fd_, POLLIN, 0};
        const int rc = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
        if (rc < 0 && errno == EINTR) continue;
        if (rc <= 0) return 0;
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buf, cap, MSG_DONTWAIT | MSG_TRUNC,
                                     reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            // An error report is consumed; keep waiting for a real answer.
            if (monotonicMs() >= until && ++late > kLateLimit) return 0;
            continue;
        }
        const bool fromRegister = dest_.valid && from.sin_family == AF_INET &&
                                  ntohl(from.sin_addr.s_addr) == dest_.address &&
                                  ntohs(from.sin_port) == port_;
        if (fromRegister && static_cast<std::size_t>(n) <= cap) return static_cast<std::size_t>(n);
        ++discarded_;
        // Past the time limit, what is already queued is still looked at
        // (the answer may wait behind a stranger), but a flood cannot hold
        // the caller.
        if (monotonicMs() >= until && ++late > kLateLimit) return 0;
    }
}

}  // namespace tarvik
