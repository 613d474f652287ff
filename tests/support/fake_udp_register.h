// A register played by a test on a loopback UDP address, in a thread of its
// own: every datagram it receives is kept and a script answers it (to the
// sender).
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/udp_socket.h"

namespace testsupport {

class FakeUdpRegister {
  public:
    struct Answer {
        std::string bytes;
        int delayMs = 0;
    };
    // Called with each datagram and its number (0, 1, ...); answers go back
    // to the sender. `peerPort` is the sender's port.
    using Script = std::function<std::vector<Answer>(const std::string&, int)>;

    FakeUdpRegister(const char* address, std::uint16_t port, Script script)
        : socket_(address, port), script_(std::move(script)) {
        thread_ = std::thread([this] { loop(); });
    }
    ~FakeUdpRegister() {
        stop_ = true;
        thread_.join();
    }
    FakeUdpRegister(const FakeUdpRegister&) = delete;
    FakeUdpRegister& operator=(const FakeUdpRegister&) = delete;

    std::uint16_t port() const { return socket_.port(); }
    // The port the driver sends from (0 before the first datagram).
    std::uint16_t peerPort() const { return peerPort_; }

    std::vector<std::string> messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    std::vector<std::string> messagesAtLeast(std::size_t count, int timeoutMs = 2000) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            std::vector<std::string> m = messages();
            if (m.size() >= count || std::chrono::steady_clock::now() > until) return m;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

  private:
    void loop() {
        while (!stop_) {
            bool got = false;
            const std::string msg = socket_.receive(10, &got);
            if (!got) continue;
            peerPort_ = socket_.peerPort();
            int index;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                messages_.push_back(msg);
                index = static_cast<int>(messages_.size()) - 1;
            }
            for (const Answer& a : script_(msg, index)) {
                if (a.delayMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(a.delayMs));
                socket_.reply(a.bytes);
            }
        }
    }

    LoopbackUdp socket_;
    Script script_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint16_t> peerPort_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> messages_;
    std::thread thread_;
};

}  // namespace testsupport
