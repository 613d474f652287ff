// A plain UDP socket on a loopback address for tests: plays a register or a
// stranger on the network.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace testsupport {

class LoopbackUdp {
  public:
    // Binds to `address` (127.x.y.z) and `port` (0: any free port).
    explicit LoopbackUdp(const char* address = "127.0.0.1", std::uint16_t port = 0) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0) throw std::runtime_error("socket failed");
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &a.sin_addr);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error("bind failed");
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~LoopbackUdp() { ::close(fd_); }
    LoopbackUdp(const LoopbackUdp&) = delete;
    LoopbackUdp& operator=(const LoopbackUdp&) = delete;

    std::uint16_t port() const { return port_; }
    int fd() const { return fd_; }

    void sendTo(std::string_view data, const char* address, std::uint16_t port) const {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &to.sin_addr);
        ::sendto(fd_, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    // Answers the last sender of receive().
    void reply(std::string_view data) const {
        ::sendto(fd_, data.data(), data.size(), 0, reinterpret_cast<const sockaddr*>(&peer_),
                 sizeof peer_);
    }
    // One datagram within timeoutMs, or "" (and false in `got`).
    std::string receive(int timeoutMs = 2000, bool* got = nullptr) {
        pollfd p{fd_, POLLIN, 0};
        if (got) *got = false;
        if (::poll(&p, 1, timeoutMs) <= 0) return {};
        char buf[65536];
        socklen_t len = sizeof peer_;
        const ssize_t n =
            ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&peer_), &len);
        if (n < 0) return {};
        if (got) *got = true;
        return std::string(buf, static_cast<std::size_t>(n));
    }
    std::uint16_t peerPort() const { return ntohs(peer_.sin_port); }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
    sockaddr_in peer_{};
};

}  // namespace testsupport
