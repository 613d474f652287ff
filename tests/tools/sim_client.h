// A small driver-side client for talking to the register simulator in tests,
// built from the protocol and link libraries, and a runner that keeps a
// simulator going in a thread of the test.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "driver/link/ptext.h"
#include "driver/link/udp.h"
#include "driver/protocol/protocol.h"
#include "tools/ecr-sim/simulator.h"

namespace testsupport {

class SimRunner {
  public:
    explicit SimRunner(ecrsim::Options opt) : sim_(std::move(opt)) {}
    ~SimRunner() { stop(); }
    bool start(std::string& error) {
        if (!sim_.start(error)) return false;
        thread_ = std::thread([this] { sim_.run(stop_); });
        return true;
    }
    void stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    // Read these only after stop().
    ecrsim::Simulator& sim() { return sim_; }

  private:
    ecrsim::Simulator sim_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class SerialClient {
  public:
    explicit SerialClient(const std::string& path) { ok_ = port_.openDevice(path, 0) == 0; }
    bool ok() const { return ok_; }

    void sendRaw(const std::string& bytes) {
        port_.sendBlock(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    void send(const std::string& msg, int reg = 0) {
        rx_.clear();
        sendRaw(tarvik::encodeFrame(msg, reg));
    }
    // One complete message within timeoutMs.
    std::optional<std::string> receive(int timeoutMs = 2000) {
        const long until = now() + timeoutMs;
        std::uint8_t b;
        while (now() < until) {
            if (!port_.waitReadable(static_cast<int>(until - now()))) continue;
            while (port_.readByte(b) == tarvik::kPortOk)
                if (const std::size_t n = rx_.feed(b)) return std::string(rx_.message(n));
        }
        return std::nullopt;
    }
    std::optional<std::string> request(const std::string& msg, int reg = 0, int timeoutMs = 2000) {
        send(msg, reg);
        return receive(timeoutMs);
    }
    // Raw bytes (modem answers) until `needle` came or timeoutMs passed.
    std::string readUntil(const std::string& needle, int timeoutMs = 2000) {
        std::string got;
        const long until = now() + timeoutMs;
        std::uint8_t b;
        while (now() < until && got.find(needle) == std::string::npos) {
            if (!port_.waitReadable(static_cast<int>(until - now()))) continue;
            while (port_.readByte(b) == tarvik::kPortOk) got.push_back(static_cast<char>(b));
        }
        return got;
    }

  private:
    static long now() {
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<long>(ts.tv_sec) * 1000L + ts.tv_nsec / 1000000L;
    }
    tarvik::Ptext port_;
    tarvik::FrameReceiver rx_;
    bool ok_ = false;
};

class UdpClient {
  public:
    UdpClient(const std::string& address, std::uint16_t port) {
        link_.open();
        link_.setDestination(tarvik::resolveRegisterAddress(address, 1), port);
    }
    std::optional<std::string> receive(int timeoutMs = 2000) {
        std::uint8_t buf[tarvik::kMessageBufferSize];
        const std::size_t n = link_.receive(buf, sizeof buf, timeoutMs);
        if (!n) return std::nullopt;
        return std::string(reinterpret_cast<char*>(buf), n);
    }
    std::optional<std::string> request(const std::string& msg, int timeoutMs = 2000) {
        link_.send(msg);
        return receive(timeoutMs);
    }

  private:
    tarvik::UdpLink link_;
};

}  // namespace testsupport
