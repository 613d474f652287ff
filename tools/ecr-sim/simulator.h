// The register simulator: registers reached over a serial line (a new
// pseudo-terminal or a given device, several registers on one line picked by
// the "#nn" prefix of the driver's frames, optionally behind a simulated
// modem) and over UDP on loopback addresses (register n at the base address
// plus n-1), with optional line pacing and fault injection. One thread, one
// poll loop.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "driver/protocol/protocol.h"
#include "tools/ecr-sim/register.h"

namespace ecrsim {

// Probabilities (0..1) of the faults, rolled per message from a seeded
// generator, so a run can be repeated exactly.
struct Faults {
    double drop = 0;    // the answer is lost (the message was handled)
    double badCrc = 0;  // the answer's checksum is wrong (UDP: the answer is lost)
    double nak = 0;     // NAK instead of handling the message
    double eot = 0;     // EOT instead of handling the message
    double syn = 0;     // SYN first, the answer after synDelayMs
    double echo = 0;    // the driver's own message comes back instead of an answer
    double repeat = 0;  // on the driver's ACK the last record comes again
    // The register restarts once, right after it has sent this many records
    // of reports in all (< 0: never).
    long restartAfter = -1;
    unsigned seed = 1;
    int synDelayMs = 300;
};

struct Options {
    std::string dataDir;
    std::string stateDir;  // empty: dataDir
    std::string login;
    long pluLimit = -1;
    bool compress = false;
    std::vector<int> registers{1};

    bool pty = false;              // serve a serial line on a new pseudo-terminal
    std::string device;            // or on this device
    std::vector<std::string> udp;  // "ADDR[:PORT]" loopback bases; port 0 picks a free one

    bool modem = false;      // the serial line is behind a modem
    bool modemEcho = false;  // the modem echoes what it receives in command mode
    bool noCarrier = false;  // dialling fails with NO CARRIER

    long paceBaud = 0;             // > 0: the serial line runs at this rate (10 bit times a byte)
    bool keepTurnarounds = false;  // keep the driver's turnarounds in Stats
    Faults faults;
    int verbosity = 1;  // 0 quiet, 1 events, 2 every message
};

// Counts of what happened, for tests and the closing summary.
struct Stats {
    long messages = 0;                   // messages received and taken for a register
    long answers = 0;                    // messages sent
    std::map<std::string, long> faults;  // by name: drop, bad-crc, nak, eot, syn, echo, repeat,
                                         // restart
    // The driver's turnaround, when kept (Options::keepTurnarounds): for
    // each message that followed an answer, the nanoseconds from the answer's
    // last byte leaving (on a paced line: arriving at the driver) to the
    // message's first byte (datagram) arriving here.
    std::vector<long long> turnaroundNs;
    // On a paced line, for each of those messages: how late the simulator
    // handed over the last byte of the answer before it, against the moment
    // the line would have delivered it (its own wake-up, no part of the
    // driver; the line was that much slower).
    std::vector<long long> lateNs;
};

// "1-3,5" -> {1,2,3,5}; empty on a syntax error or a number outside 1..99.
std::vector<int> parseRegisterList(const std::string& text);

class Simulator {
  public:
    explicit Simulator(Options options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the serial line and the UDP sockets. False with a reason.
    bool start(std::string& error);
    // One line per place it listens: "serial <path> registers 1,2" and
    // "udp <addr>:<port> register <n>".
    std::vector<std::string> describe() const;
    std::string serialPath() const;
    std::uint16_t udpPort() const;  // the (common) UDP port; 0 without UDP

    // Handles whatever arrives within timeoutMs (and due delayed answers).
    void runOnce(int timeoutMs);
    // Runs until `stop` becomes true (checked at least every 50 ms).
    void run(const std::atomic<bool>& stop);

    // The register with this number, or null. Read it only while the loop
    // does not run.
    const Register* registerNumber(int n) const;
    const Stats& stats() const { return stats_; }

  private:
    struct Serial;
    struct Udp;
    struct Pending;

    Register* reg(int n);
    bool roll(double p);
    void fault(const char* name, int regNumber);
    void logEvent(int regNumber, const std::string& text);
    void logMessage(int regNumber, const char* dir, const std::string& msg);

    void serialInput(const std::uint8_t* data, std::size_t len);
    void serialModemLine(const std::string& line);
    void serialMessage(std::string msg);
    void serialWrite(const std::string& bytes);
    void udpInput(Udp& u);
    // Runs the faults and the register for one message (`raw` is the message
    // as received, prefix included, for echoes) and queues the answers.
    void dispatch(Register& r, const std::string& msg, const std::string& raw, bool serial,
                  int udpIndex, const void* peer);
    // Sends `message` at dueMs: framed on the serial line (with a wrong
    // checksum when badCrc), as one datagram to `peer` on UDP.
    void queue(long dueMs, bool serial, int udpIndex, const void* peer, const std::string& message,
               bool badCrc = false);
    void sendNow(bool serial, int udpIndex, const void* peer, const std::string& bytes);
    void flushDue();
    // A message from the driver starts arriving at `ns`: its turnaround.
    void noteMessageStart(long long ns);

    Options opt_;
    std::map<int, std::unique_ptr<Register>> registers_;
    std::unique_ptr<Serial> serial_;
    std::vector<std::unique_ptr<Udp>> udp_;
    std::vector<Pending> pending_;
    std::mt19937 rng_;
    Stats stats_;
    long long lastAnswerNs_ = 0;  // when the last answer was out; 0: none since the last message
    long long lastLateNs_ = 0;    // how late its last byte was handed over (paced line)
    bool restarted_ = false;
};

}  // namespace ecrsim
