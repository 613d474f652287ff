// The exchange of messages with the register: sending a message (framed on
// the serial line, one datagram on UDP), receiving one, the transaction with
// its attempts and cycles, and the cancel of a running report.
//
// Waiting: between polls the transaction waits at most 5 ms, but on the
// link's descriptor, so it wakes as soon as a byte or datagram arrives; the
// register's pace, not ours, decides how fast a report runs. Every wait
// processes window events, which is where the Abort button acts.
#include <poll.h>

#include <algorithm>
#include <cstring>

#include "driver/main_form.h"
#include "platform/clock.h"

namespace tarvik {

namespace {

constexpr int kAttempts = 5;
constexpr int kCycles = 5;
constexpr int kIdlePollMs = 5;
constexpr int kCancelDrainMs = 200;

}  // namespace

int TMainForm::attemptTimeLimit() const {
    const int t = link_.udp ? kUdpTimeLimitMs : serialTimeLimitMs(link_.baudIndex);
    return limits_.attemptMs > 0 && limits_.attemptMs < t ? limits_.attemptMs : t;
}

bool TMainForm::sendRawByte(std::uint8_t b) {
    return link_.serial.sendByte(b) == kPortOk;
}

bool TMainForm::sendMessage(const std::uint8_t* body, std::size_t len) {
    if (link_.udp) return link_.socket.send(body, len);
    if (!link_.serial.isOpen()) return false;
    const std::size_t n = encodeFrame(body, len, link_.registerNumber, frame_);
    return link_.serial.sendBlock(frame_, n) == kPortOk;
}

// Serial: feeds the receiver while bytes are waiting and stops at a complete
// message (later bytes stay in the port for the next call); at most a
// frame's worth of bytes per call, so that a line that never stops talking
// cannot hold the transaction past its deadline. UDP: one datagram from the
// register, if one is waiting.
std::size_t TMainForm::receiveMessage() {
    if (link_.udp) {
        answer_ = datagram_;
        return link_.socket.receive(datagram_, sizeof datagram_, 0);
    }
    std::uint8_t b = 0;
    for (std::size_t k = 0; k < kMaxFrameSize && link_.serial.readByte(b) == kPortOk; ++k) {
        const std::size_t n = receiver_.feed(b);
        if (n != 0) {
            answer_ = receiver_.data();
            return n;
        }
    }
    return 0;
}

// Discards what the register sent before. Our own output is not purged: a
// message written just before (a cancel, the modem's hang-up) still goes out
// whole rather than being cut off on the line.
void TMainForm::flushInput() {
    if (link_.serial.isOpen()) (void)link_.serial.discardInput();
}

void TMainForm::waitForInput(int ms) {
    if (ms > 0) {
        if (link_.udp) {
            pollfd p{link_.socket.fd(), POLLIN, 0};
            (void)::poll(&p, 1, ms);  // an interrupt (Ctrl-C) ends it early
        } else {
            (void)link_.serial.waitReadable(ms);
        }
    }
    window_.refresh();
}

// The register sending our own message back (a line that echoes). On the
// serial line the echo of a frame to a register carries its "#nn" prefix.
bool TMainForm::isEcho(const std::uint8_t* msg, std::size_t n, std::size_t sentLen) const {
    if (n == sentLen && std::memcmp(msg, sendBuf_, n) == 0) return true;
    const int r = link_.registerNumber;
    if (link_.udp || r < 1 || r > 99 || n != sentLen + 3) return false;
    const std::uint8_t prefix[3] = {'#', static_cast<std::uint8_t>('0' + r / 10),
                                    static_cast<std::uint8_t>('0' + r % 10)};
    return std::memcmp(msg, prefix, 3) == 0 && std::memcmp(msg + 3, sendBuf_, sentLen) == 0;
}

std::size_t TMainForm::transaction(std::size_t len, int timeLimitMs) {
    int limit = timeLimitMs;
    if (link_.udp) {
        limit = kUdpTimeLimitMs;
        if (limits_.attemptMs > 0 && limits_.attemptMs < limit) limit = limits_.attemptMs;
    } else {
        flushInput();
    }
    int attempts = kAttempts;
    int cycles = kCycles;
    std::uint64_t deadline = 0;  // the first send happens at once
    std::size_t n = 0;

    while (status_ == kOk) {
        std::uint64_t now = plat::tickCount();
        if (now >= deadline) {
            if (attempts == 0) {
                status_ = kNoAnswer;
                break;
            }
            if (attempts < kAttempts) {
                // A repeat: the register's receiver starts over at DLE EOT.
                if (!link_.udp) {
                    (void)link_.serial.resetForRetry();
                    sendRawByte(DLE);
                    sendRawByte(EOT);
                }
                window_.setStatus(messages_.text(kMsgRetry) + " " +
                                  std::to_string(kAttempts - attempts));
                window_.refresh();
            }
            --attempts;
            bool sent = true;
            if (len != 0) {
                receiver_.clear();
                std::memset(datagram_, 0, sizeof datagram_);
                sent = sendMessage(sendBuf_, len);
                // Repeats of an acknowledgement ask for the last record again.
                if (len == 1 && sendBuf_[0] == ACK) sendBuf_[0] = NAK;
            }
            // A message that could not be sent gets no answer: the next
            // attempt follows at once.
            now = plat::tickCount();
            deadline = sent ? now + static_cast<std::uint64_t>(limit) : 0;
            continue;
        }

        n = receiveMessage();
        if (n == 0) {
            const std::uint64_t left = deadline - now;
            waitForInput(static_cast<int>(std::min<std::uint64_t>(left, kIdlePollMs)));
            continue;
        }
        const std::uint8_t first = answer_[0];
        if (first == NAK) {
            deadline = 0;  // send again at once
        } else if (first == EOT) {
            // The register did not take the message.
            if (len == 1 || cycles <= 1) {
                status_ = kInvalidCommand;
                break;
            }
            --cycles;
            attempts = kAttempts;
            deadline = 0;
        } else if (first == SYN) {
            // Busy: wait again without sending.
            window_.setStatus(messages_.text(kMsgSync));
            window_.refresh();
            deadline = plat::tickCount() + static_cast<std::uint64_t>(limit);
        } else if (first == ACK) {
            if (n > 1 && answer_[1] == 0x3A) status_ = kLoginError;
            break;
        } else if (isEcho(answer_, n, len)) {
            deadline = 0;  // our own message came back: send again at once
        } else {
            break;
        }
    }
    if (status_ != kOk || n == 0 || answer_[0] == EOT) return 0;
    return n;
}

// EOT as a message; on the serial line then wait (at most 200 ms) until it
// has left the port.
void TMainForm::cancel() {
    const std::uint8_t eot = EOT;
    sendMessage(&eot, 1);
    if (link_.udp || !link_.serial.isOpen()) return;
    const std::uint64_t start = plat::tickCount();
    while (plat::tickCount() - start < kCancelDrainMs) {
        const int queued = link_.serial.outputQueueBytes();
        if (queued == 0) return;
        if (queued < 0) {
            plat::sleepMs(10);
            window_.refresh();
        } else {
            plat::sleepMs(1);
        }
    }
}

}  // namespace tarvik
