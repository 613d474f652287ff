// A register (or a modem) played by a test on the master side of a
// pseudo-terminal, in a thread of its own: the code under test opens the
// slave (TARVIK_COM<n> or the path directly). Every byte it receives is kept;
// in frame mode the frames are decoded and a script answers each message, in
// line mode (a modem in command mode) a script answers each line; a modem
// returns from frames to line mode at "+++".
#pragma once

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/protocol/protocol.h"
#include "support/pty.h"

namespace testsupport {

// One thing the fake register sends: bytes as they go on the line, after a
// pause of `delayMs`.
struct LineOutput {
    std::string bytes;
    int delayMs = 0;
};

// A message in a frame, as a register sends it.
inline LineOutput framed(std::string_view message, int delayMs = 0) {
    return {tarvik::encodeFrame(message, 0), delayMs};
}
inline LineOutput rawBytes(std::string_view bytes, int delayMs = 0) {
    return {std::string(bytes), delayMs};
}
// The register's final answer: ACK and a reason byte.
inline std::string ackReason(unsigned char reason) {
    return std::string{static_cast<char>(tarvik::ACK), static_cast<char>(reason)};
}

class FakeRegister {
  public:
    // Called with each received message and its number (0, 1, ...).
    using MessageScript = std::function<std::vector<LineOutput>(const std::string&, int)>;
    // Called with each line received in line mode (without CR/LF); may switch
    // the fake to frame mode through the flag.
    using LineScript = std::function<std::vector<LineOutput>(const std::string&, bool& toFrames)>;

    explicit FakeRegister(MessageScript onMessage, LineScript onLine = {})
        : onMessage_(std::move(onMessage)), onLine_(std::move(onLine)) {
        lineMode_ = static_cast<bool>(onLine_);
        thread_ = std::thread([this] { loop(); });
    }
    ~FakeRegister() {
        stop_ = true;
        thread_.join();
    }
    FakeRegister(const FakeRegister&) = delete;
    FakeRegister& operator=(const FakeRegister&) = delete;

    const std::string& slavePath() const { return pty_.slavePath(); }
    int master() const { return pty_.master(); }

    // Everything received so far, and the decoded messages.
    std::string raw() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return raw_;
    }
    std::vector<std::string> messages() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    // The messages once there are at least `count` of them (or after
    // `timeoutMs`): the driver's last message, such as a cancel, may still be
    // on its way when the job ends.
    std::vector<std::string> messagesAtLeast(std::size_t count, int timeoutMs = 2000) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            std::vector<std::string> m = messages();
            if (m.size() >= count || std::chrono::steady_clock::now() > until) return m;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // The received bytes once there are at least `count` of them (or after
    // `timeoutMs`).
    std::string rawAtLeast(std::size_t count, int timeoutMs = 2000) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            std::string r = raw();
            if (r.size() >= count || std::chrono::steady_clock::now() > until) return r;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    // Back to line mode (the modem after "+++").
    void setLineMode(bool on) { lineMode_ = on; }

  private:
    void loop() {
        tarvik::FrameReceiver rx;
        std::string line;
        int plusRun = 0;
        while (!stop_) {
            pollfd p{pty_.master(), POLLIN, 0};
            const int rc = ::poll(&p, 1, 10);
            if (rc <= 0) continue;
            if (!(p.revents & POLLIN)) {
                // Nobody has the slave open: wait for the code under test.
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            char buf[4096];
            const ssize_t n = ::read(pty_.master(), buf, sizeof buf);
            if (n <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                raw_.append(buf, static_cast<std::size_t>(n));
            }
            for (ssize_t i = 0; i < n; ++i) {
                const auto b = static_cast<std::uint8_t>(buf[i]);
                if (lineMode_) {
                    if (b == '\r' || b == '\n') {
                        if (!line.empty()) {
                            bool toFrames = false;
                            send(onLine_(line, toFrames));
                            if (toFrames) {
                                lineMode_ = false;
                                rx.clear();
                            }
                        }
                        line.clear();
                    } else {
                        line.push_back(static_cast<char>(b));
                    }
                    continue;
                }
                // A modem goes back to command mode at "+++" outside a frame.
                if (onLine_) {
                    const bool idle =
                        rx.position() == 0 && rx.state() == tarvik::FrameReceiver::State::Data;
                    if (idle && (b == '\r' || b == '\n')) continue;  // the dial line's end
                    plusRun = (b == '+' && (plusRun > 0 || idle)) ? plusRun + 1 : 0;
                    if (plusRun == 3) {
                        plusRun = 0;
                        rx.clear();
                        lineMode_ = true;
                        continue;
                    }
                }
                const std::size_t len = rx.feed(b);
                if (len == 0) continue;
                const std::string msg(rx.message(len));
                rx.clear();
                int index;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    messages_.push_back(msg);
                    index = static_cast<int>(messages_.size()) - 1;
                }
                send(onMessage_(msg, index));
            }
        }
    }

    void send(const std::vector<LineOutput>& out) {
        for (const LineOutput& o : out) {
            if (o.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delayMs));
            if (stop_) return;
            std::size_t done = 0;
            while (done < o.bytes.size()) {
                const ssize_t w =
                    ::write(pty_.master(), o.bytes.data() + done, o.bytes.size() - done);
                if (w <= 0) return;  // the driver closed the line
                done += static_cast<std::size_t>(w);
            }
        }
    }

    PtyPair pty_;
    MessageScript onMessage_;
    LineScript onLine_;
    std::atomic<bool> lineMode_{false};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string raw_;
    std::vector<std::string> messages_;
    std::thread thread_;
};

}  // namespace testsupport
