#include "tools/ecr-sim/simulator.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "driver/link/ptext.h"
#include "driver/link/udp.h"

namespace ecrsim {

using tarvik::FrameReceiver;

namespace {

long nowMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long>(ts.tv_sec) * 1000L + ts.tv_nsec / 1000000L;
}

long long nowNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

void sleepUntilNs(long long t) {
    timespec ts{static_cast<time_t>(t / 1000000000LL), static_cast<long>(t % 1000000000LL)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

// Like sleepUntilNs, but on time: a timer wakes a process tens of
// microseconds late, so the last stretch is waited out awake. For the bytes
// of a paced line, which a real line delivers to the microsecond.
constexpr long long kAwakeNs = 150000;
void waitUntilNs(long long t) {
    if (t - nowNs() > kAwakeNs) sleepUntilNs(t - kAwakeNs);
    while (nowNs() < t) {
    }
}

// Printable form of a message for the log.
std::string printable(const std::string& msg) {
    std::string out;
    for (unsigned char c : msg) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "<%02X>", c);
            out += buf;
        }
    }
    return out;
}

bool parseLoopback(const std::string& text, std::uint32_t& addr, std::uint16_t& port) {
    std::string host = text;
    port = tarvik::kRegisterUdpPort;
    if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        host = text.substr(0, colon);
        const std::string p = text.substr(colon + 1);
        if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const long v = std::stol(p);
        if (v > 65535) return false;
        port = static_cast<std::uint16_t>(v);
    }
    in_addr a{};
    if (::inet_pton(AF_INET, host.c_str(), &a) != 1) return false;
    addr = ntohl(a.s_addr);
    return (addr >> 24) == 127;  // loopback only
}

std::string dotted(std::uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 0xFF) + "." +
           std::to_string(a >> 8 & 0xFF) + "." + std::to_string(a & 0xFF);
}

}  // namespace

std::vector<int> parseRegisterList(const std::string& text) {
    std::vector<int> out;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find(',', pos);
        if (end == std::string::npos) end = text.size();
        const std::string part = text.substr(pos, end - pos);
        const auto dash = part.find('-');
        auto number = [](const std::string& s, int& v) {
            if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos)
                return false;
            v = std::stoi(s);
            return v >= 1 && v <= 99;
        };
        int a = 0, b = 0;
        if (dash == std::string::npos) {
            if (!number(part, a)) return {};
            b = a;
        } else if (!number(part.substr(0, dash), a) || !number(part.substr(dash + 1), b) || b < a) {
            return {};
        }
        for (int v = a; v <= b; ++v)
            if (std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
        pos = end + 1;
    }
    return out;
}

struct Simulator::Serial {
    int fd = -1;         // what we read and write: the pty master or the device
    int slaveHold = -1;  // our own open of the pty slave, so the line never hangs up
    bool isPty = false;
    std::string path;
    tarvik::Ptext device;
    FrameReceiver rx;
    // Modem.
    bool commandMode = false;
    std::string atLine;
    int plusRun = 0;
    // Pacing.
    long long frameStartNs = 0;
    std::size_t frameBytes = 0;
    long long lineFreeNs = 0;
    long long arrivedNs = 0;  // when the last message was through on the line (0: taken)
};

struct Simulator::Udp {
    int fd = -1;
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    int reg = 1;
};

struct Simulator::Pending {
    long due;
    bool serial;
    int udpIndex;
    sockaddr_in peer;
    std::string bytes;
};

Simulator::Simulator(Options options) : opt_(std::move(options)), rng_(opt_.faults.seed) {
    if (opt_.stateDir.empty()) opt_.stateDir = opt_.dataDir;
    for (int n : opt_.registers) {
        RegisterConfig c;
        c.number = n;
        c.dataDir = opt_.dataDir;
        c.stateDir = opt_.stateDir;
        c.login = opt_.login;
        c.pluLimit = opt_.pluLimit;
        c.compress = opt_.compress;
        registers_[n] = std::make_unique<Register>(c);
    }
}

Simulator::~Simulator() {
    if (serial_) {
        if (serial_->isPty && serial_->fd >= 0) ::close(serial_->fd);
        if (serial_->slaveHold >= 0) ::close(serial_->slaveHold);
    }
    for (auto& u : udp_)
        if (u->fd >= 0) ::close(u->fd);
}

Register* Simulator::reg(int n) {
    auto it = registers_.find(n);
    return it == registers_.end() ? nullptr : it->second.get();
}

const Register* Simulator::registerNumber(int n) const {
    auto it = registers_.find(n);
    return it == registers_.end() ? nullptr : it->second.get();
}

bool Simulator::start(std::string& error) {
    if (registers_.empty()) {
        error = "no registers";
        return false;
    }
    if (opt_.pty && !opt_.device.empty()) {
        error = "give either --pty or --device, not both";
        return false;
    }
    if (opt_.pty || !opt_.device.empty()) {
        serial_ = std::make_unique<Serial>();
        Serial& s = *serial_;
        s.commandMode = opt_.modem;
        if (opt_.pty) {
            s.fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
            char name[128];
            if (s.fd < 0 || ::grantpt(s.fd) != 0 || ::unlockpt(s.fd) != 0 ||
                ::ptsname_r(s.fd, name, sizeof name) != 0) {
                error = "cannot create a pseudo-terminal";
                return false;
            }
            s.isPty = true;
            s.path = name;
            s.slaveHold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
            termios tio{};
            if (s.slaveHold >= 0 && ::tcgetattr(s.slaveHold, &tio) == 0) {
                ::cfmakeraw(&tio);
                ::tcsetattr(s.slaveHold, TCSANOW, &tio);
            }
            if (::tcgetattr(s.fd, &tio) == 0) {
                ::cfmakeraw(&tio);
                ::tcsetattr(s.fd, TCSANOW, &tio);
            }
            // Nobody reading the other side must not stop the simulator.
            ::fcntl(s.fd, F_SETFL, ::fcntl(s.fd, F_GETFL) | O_NONBLOCK);
        } else {
            const int index = tarvik::baudIndexForRate(opt_.paceBaud ? opt_.paceBaud : 9600);
            if (s.device.openDevice(opt_.device, index) != tarvik::kPortOk) {
                error = "cannot open " + opt_.device;
                return false;
            }
            s.fd = s.device.fd();
            s.path = opt_.device;
        }
    }
    for (const std::string& spec : opt_.udp) {
        std::uint32_t base = 0;
        std::uint16_t port = 0;
        if (!parseLoopback(spec, base, port)) {
            error = "not a loopback address: " + spec + " (use 127.x.y.z[:port])";
            return false;
        }
        for (int n : opt_.registers) {
            const std::uint32_t last = (base & 0xFF) + static_cast<std::uint32_t>(n - 1);
            if (last > 255) {
                error = "register " + std::to_string(n) + " has no address above " + spec;
                return false;
            }
            auto u = std::make_unique<Udp>();
            u->address = (base & 0xFFFFFF00u) | last;
            u->reg = n;
            u->fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            // All registers share one port, as the driver uses one for all.
            const std::uint16_t want = udpPort() ? udpPort() : port;
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(want);
            a.sin_addr.s_addr = htonl(u->address);
            if (u->fd < 0 || ::bind(u->fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
                error = "cannot listen on " + dotted(u->address) + ":" + std::to_string(want) +
                        ": " + std::string(std::strerror(errno));
                if (u->fd >= 0) ::close(u->fd);
                return false;
            }
            socklen_t len = sizeof a;
            ::getsockname(u->fd, reinterpret_cast<sockaddr*>(&a), &len);
            u->port = ntohs(a.sin_port);
            udp_.push_back(std::move(u));
        }
    }
    if (!serial_ && udp_.empty()) {
        error = "nothing to serve: give --pty, --device or --udp";
        return false;
    }
    return true;
}

std::vector<std::string> Simulator::describe() const {
    std::vector<std::string> out;
    if (serial_) {
        std::string regs;
        for (const auto& [n, r] : registers_) regs += (regs.empty() ? "" : ",") + std::to_string(n);
        out.push_back("serial " + serial_->path + " registers " + regs +
                      (opt_.modem ? " (behind a modem)" : ""));
    }
    for (const auto& u : udp_)
        out.push_back("udp " + dotted(u->address) + ":" + std::to_string(u->port) + " register " +
                      std::to_string(u->reg));
    return out;
}

std::string Simulator::serialPath() const {
    return serial_ ? serial_->path : std::string();
}
std::uint16_t Simulator::udpPort() const {
    return udp_.empty() ? 0 : udp_.front()->port;
}

bool Simulator::roll(double p) {
    if (p <= 0) return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p;
}

void Simulator::fault(const char* name, int regNumber) {
    ++stats_.faults[name];
    if (opt_.verbosity >= 2) logEvent(regNumber, std::string("fault: ") + name);
}

void Simulator::logEvent(int regNumber, const std::string& text) {
    if (opt_.verbosity < 1 || text.empty()) return;
    std::cerr << "ecr-sim: register " << regNumber << ": " << text << std::endl;
}

void Simulator::logMessage(int regNumber, const char* dir, const std::string& msg) {
    if (opt_.verbosity < 2) return;
    std::cerr << "ecr-sim: register " << regNumber << " " << dir << " " << printable(msg)
              << std::endl;
}

// ------------------------------------------------------------------- loop

void Simulator::run(const std::atomic<bool>& stop) {
    // A paced line wakes up every byte: keep the wake-ups on time.
    if (opt_.paceBaud > 0) ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!stop.load()) runOnce(50);
}

void Simulator::runOnce(int timeoutMs) {
    std::vector<pollfd> fds;
    if (serial_) fds.push_back({serial_->fd, POLLIN, 0});
    for (const auto& u : udp_) fds.push_back({u->fd, POLLIN, 0});
    int wait = timeoutMs;
    if (!pending_.empty()) {
        const long first =
            std::min_element(pending_.begin(), pending_.end(),
                             [](const Pending& a, const Pending& b) { return a.due < b.due; })
                ->due;
        wait = static_cast<int>(std::clamp(first - nowMs(), 0L, static_cast<long>(timeoutMs)));
    }
    const int rc = ::poll(fds.data(), fds.size(), wait);
    if (rc > 0) {
        std::size_t k = 0;
        if (serial_) {
            bool idle = (fds[k].revents & (POLLHUP | POLLERR)) != 0;
            if (fds[k].revents & POLLIN) {
                std::uint8_t buf[4096];
                const ssize_t n = ::read(serial_->fd, buf, sizeof buf);
                if (n > 0) {
                    serialInput(buf, static_cast<std::size_t>(n));
                    idle = false;
                }
            }
            // A hung-up device: wait instead of spinning on it.
            if (idle) ::usleep(static_cast<useconds_t>(std::min(timeoutMs, 50)) * 1000u);
            ++k;
        }
        for (std::size_t i = 0; i < udp_.size(); ++i, ++k)
            if (fds[k].revents & POLLIN) udpInput(*udp_[i]);
    }
    flushDue();
}

// ----------------------------------------------------------------- serial

void Simulator::serialInput(const std::uint8_t* data, std::size_t len) {
    Serial& s = *serial_;
    for (std::size_t i = 0; i < len; ++i) {
        const std::uint8_t b = data[i];
        if (s.commandMode) {
            if (opt_.modemEcho) serialWrite(std::string(1, static_cast<char>(b)));
            if (b == '\r' || b == '\n') {
                if (!s.atLine.empty()) serialModemLine(s.atLine);
                s.atLine.clear();
            } else if (s.atLine.size() < 256) {
                s.atLine.push_back(static_cast<char>(b));
            }
            continue;
        }
        // "+++" outside a frame returns a modem to command mode.
        if (opt_.modem) {
            const bool idle = s.rx.position() == 0 && s.rx.state() == FrameReceiver::State::Data;
            s.plusRun = (b == '+' && (s.plusRun > 0 || idle)) ? s.plusRun + 1 : 0;
            if (s.plusRun == 3) {
                s.plusRun = 0;
                s.rx.clear();
                s.commandMode = true;
                s.atLine.clear();
                serialWrite("\r\nOK\r\n");
                logEvent(0, "modem: back in command mode");
                continue;
            }
        }
        if (s.frameBytes == 0) {
            s.frameStartNs = nowNs();
            noteMessageStart(s.frameStartNs);
        }
        ++s.frameBytes;
        const std::size_t n = s.rx.feed(b);
        if (n) {
            // On a paced line the frame has only arrived after its bytes' time.
            if (opt_.paceBaud > 0) {
                s.arrivedNs = s.frameStartNs +
                              static_cast<long long>(s.frameBytes) * 10000000000LL / opt_.paceBaud;
                sleepUntilNs(s.arrivedNs);
            }
            s.frameBytes = 0;
            std::string msg(s.rx.message(n));
            s.rx.clear();  // idle again until the next frame
            serialMessage(std::move(msg));
        }
    }
}

void Simulator::serialModemLine(const std::string& line) {
    Serial& s = *serial_;
    // Like a modem, look for "AT" and ignore whatever stood before it.
    std::string upper;
    for (char c : line)
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    const auto at = upper.find("AT");
    if (at == std::string::npos) return;
    upper.erase(0, at);
    logEvent(0, "modem: " + line.substr(at));
    if (upper.rfind("ATD", 0) == 0) {
        if (opt_.noCarrier) {
            serialWrite("\r\nNO CARRIER\r\n");
            return;
        }
        serialWrite("\r\nCONNECT " + std::to_string(opt_.paceBaud ? opt_.paceBaud : 9600) + "\r\n");
        s.commandMode = false;
        s.rx.clear();
        s.frameBytes = 0;
        return;
    }
    serialWrite("\r\nOK\r\n");
}

void Simulator::serialMessage(std::string msg) {
    const std::string raw = msg;
    int number = registers_.begin()->first;  // no prefix: the line's first register
    if (msg.size() >= 3 && msg[0] == '#' && std::isdigit(static_cast<unsigned char>(msg[1])) &&
        std::isdigit(static_cast<unsigned char>(msg[2]))) {
        number = (msg[1] - '0') * 10 + (msg[2] - '0');
        msg.erase(0, 3);
    }
    Register* r = reg(number);
    if (!r) return;  // another register's frame
    dispatch(*r, msg, raw, true, -1, nullptr);
}

void Simulator::serialWrite(const std::string& bytes) {
    Serial& s = *serial_;
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (opt_.paceBaud <= 0) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(s.fd, p + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                return;  // nobody listening: the rest is lost, as on a line
            }
        }
        return;
    }
    // Bytes leave when their 10 bit times have passed, handed over in pieces
    // of at most 1 ms of line time (fewer wake-ups; the last byte of a frame
    // still arrives exactly when the line would deliver it).
    const long long byteNs = 10000000000LL / opt_.paceBaud;
    const std::size_t piece = static_cast<std::size_t>(std::max(1LL, 1000000LL / byteNs));
    // A register answers at once: the answer goes on the line when the
    // message was through, even when this process woke up late for it (its
    // own scheduling is no part of the line).
    long long start = nowNs();
    if (s.arrivedNs > 0 && s.arrivedNs < start) start = s.arrivedNs;
    s.arrivedNs = 0;
    long long t = std::max(start, s.lineFreeNs);
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t k = std::min(piece, bytes.size() - i);
        t += static_cast<long long>(k) * byteNs;
        waitUntilNs(t);
        const ssize_t n = ::write(s.fd, p + i, k);
        if (n > 0) {
            i += static_cast<std::size_t>(n);
        } else if (!(n < 0 && errno == EINTR)) {
            break;
        }
    }
    s.lineFreeNs = t;
    lastLateNs_ = std::max(0LL, nowNs() - t);
}

// -------------------------------------------------------------------- UDP

void Simulator::udpInput(Udp& u) {
    for (;;) {
        std::uint8_t buf[65536];
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        const ssize_t n =
            ::recvfrom(u.fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&peer), &len);
        if (n < 0) return;
        // Only answer loopback peers.
        if ((ntohl(peer.sin_addr.s_addr) >> 24) != 127) continue;
        if (static_cast<std::size_t>(n) > tarvik::kMessageBufferSize) continue;
        noteMessageStart(nowNs());
        Register* r = reg(u.reg);
        if (!r) continue;
        const std::string msg(reinterpret_cast<char*>(buf), static_cast<std::size_t>(n));
        int ui = 0;
        for (std::size_t i = 0; i < udp_.size(); ++i)
            if (udp_[i].get() == &u) ui = static_cast<int>(i);
        dispatch(*r, msg, msg, false, ui, &peer);
    }
}

// --------------------------------------------------------------- dispatch

void Simulator::dispatch(Register& r, const std::string& msg, const std::string& raw, bool serial,
                         int udpIndex, const void* peer) {
    ++stats_.messages;
    logMessage(r.number(), "<-", msg);
    const long now = nowMs();
    const bool isCancel = msg.size() == 1 && static_cast<std::uint8_t>(msg[0]) == tarvik::EOT;
    if (!isCancel) {
        if (roll(opt_.faults.nak)) {
            fault("nak", r.number());
            queue(now, serial, udpIndex, peer, std::string(1, static_cast<char>(tarvik::NAK)));
            return;
        }
        if (roll(opt_.faults.eot)) {
            fault("eot", r.number());
            queue(now, serial, udpIndex, peer, std::string(1, static_cast<char>(tarvik::EOT)));
            return;
        }
        if (roll(opt_.faults.echo)) {
            fault("echo", r.number());
            queue(now, serial, udpIndex, peer, raw);
            return;
        }
    }
    std::vector<std::string> answers;
    const bool isAck = msg.size() == 1 && static_cast<std::uint8_t>(msg[0]) == tarvik::ACK;
    if (isAck && r.inReport() && !r.lastAnswer().empty() && roll(opt_.faults.repeat)) {
        fault("repeat", r.number());
        answers.push_back(r.lastAnswer());
    } else {
        answers = r.handle(msg, now);
        logEvent(r.number(), r.lastEvent());
        if (opt_.faults.restartAfter >= 0 && !restarted_ &&
            r.recordsSent() >= opt_.faults.restartAfter && r.inReport()) {
            // The record goes out; then the power fails.
            restarted_ = true;
            fault("restart", r.number());
            r.restart();
            logEvent(r.number(), r.lastEvent());
        }
    }
    if (answers.empty()) return;
    long due = now;
    if (roll(opt_.faults.syn)) {
        fault("syn", r.number());
        queue(now, serial, udpIndex, peer, std::string(1, static_cast<char>(tarvik::SYN)));
        due = now + opt_.faults.synDelayMs;
    }
    for (const std::string& a : answers) {
        if (roll(opt_.faults.drop)) {
            fault("drop", r.number());
            continue;
        }
        if (roll(opt_.faults.badCrc)) {
            fault("bad-crc", r.number());
            if (!serial) continue;  // a datagram has no checksum: it is lost
            logMessage(r.number(), "->", a);
            queue(due, serial, udpIndex, peer, a, true);
            continue;
        }
        logMessage(r.number(), "->", a);
        queue(due, serial, udpIndex, peer, a);
    }
}

void Simulator::queue(long dueMs, bool serial, int udpIndex, const void* peer,
                      const std::string& message, bool badCrc) {
    Pending p{dueMs, serial, udpIndex, {}, message};
    if (peer) std::memcpy(&p.peer, peer, sizeof p.peer);
    // On the serial line every message goes in a frame (without prefix: the
    // driver's receiver does not expect one).
    if (serial) {
        p.bytes = tarvik::encodeFrame(message, 0);
        if (badCrc) p.bytes.back() = static_cast<char>(p.bytes.back() ^ 0x5A);
    }
    if (dueMs <= nowMs() && pending_.empty()) {
        sendNow(p.serial, p.udpIndex, &p.peer, p.bytes);
        return;
    }
    pending_.push_back(std::move(p));
}

void Simulator::sendNow(bool serial, int udpIndex, const void* peer, const std::string& bytes) {
    ++stats_.answers;
    if (serial) {
        serialWrite(bytes);
        lastAnswerNs_ = nowNs();  // (paced: the write waited for the last byte's line time)
        return;
    }
    const Udp& u = *udp_[static_cast<std::size_t>(udpIndex)];
    // Taken before the send: on loopback the driver may already be answering
    // while the send returns.
    lastAnswerNs_ = nowNs();
    ::sendto(u.fd, bytes.data(), bytes.size(), 0, static_cast<const sockaddr*>(peer),
             sizeof(sockaddr_in));
}

void Simulator::noteMessageStart(long long ns) {
    if (opt_.keepTurnarounds && lastAnswerNs_ > 0) {
        stats_.turnaroundNs.push_back(ns > lastAnswerNs_ ? ns - lastAnswerNs_ : 0);
        stats_.lateNs.push_back(lastLateNs_);
    }
    lastAnswerNs_ = 0;
    lastLateNs_ = 0;
}

void Simulator::flushDue() {
    const long now = nowMs();
    // In order of queueing, so that answers keep their order.
    while (!pending_.empty() && pending_.front().due <= now) {
        Pending p = std::move(pending_.front());
        pending_.erase(pending_.begin());
        sendNow(p.serial, p.udpIndex, &p.peer, p.bytes);
    }
}

}  // namespace ecrsim
