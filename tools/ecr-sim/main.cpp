// ecr-sim: plays the cash registers for the register driver, over a serial
// line (a pseudo-terminal or a given device) or UDP on loopback addresses.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <set>
#include <string>

#include "platform/paths.h"
#include "tools/ecr-sim/simulator.h"

namespace {

const char* const kHelp =
    R"(Usage: ecr-sim --data DIR [options] (--pty | --device PATH | --udp ADDR[:PORT])...

Plays one or more cash registers for the register driver Tarvik, so that a
set-up can be tried without hardware. It answers the driver's frames (serial)
or datagrams (UDP) as a register does: single commands with ACK and a reason,
reports and tables one record per message, each acknowledged by the driver,
ending with ACK 0; an EOT from the driver cancels a report.

Where it listens (at least one):
  --pty               a new pseudo-terminal; its path is printed: give it to
                      the driver as TARVIK_COM<n>=<path> and use PORT=<n>
  --device PATH       a serial device (for a null-modem cable to the PC)
  --udp ADDR[:PORT]   UDP on a loopback address 127.x.y.z (port 2030 when not
                      given, 0 picks a free one); register n listens on ADDR
                      plus n-1 in the last part, all on the same port
  --registers LIST    the registers served, e.g. 1, 1-3 or 1,2,5 (default 1).
                      On the serial line they share the line and are picked by
                      the "#nn" prefix (a frame without prefix goes to the
                      lowest number)

What the registers hold:
  --data DIR          reports and tables: the records of command X are the
                      lines of DIR/reg<nn>/X.csv or else DIR/X.csv (names
                      matched ignoring case), e.g. D250.csv, RUZ001001001.csv
  --state DIR         where upload-<nn>.csv (uploaded lines) and clock-<nn>.txt
                      (the clock set by TSYSTEM) are written (default: --data)
  --login ID          login identifier: LI<ID> is accepted, any other refused
                      with ACK 3A, and commands before a login are refused too
  --plu-limit N       take N upload lines, then answer ACK 27 (PLU file full)
  --compress          send records in compressed (SO) form where shorter

Modem (serial line only):
  --modem             the line is behind a modem: AT commands are answered with
                      OK, ATD with CONNECT (then the register speaks), "+++"
                      returns to command mode
  --modem-echo        the modem echoes what it receives in command mode
  --no-carrier        ATD answers NO CARRIER

Line speed:
  --pace BAUD         serial line at BAUD: every byte takes 10 bit times, both
                      ways (for benchmarks)

Faults (probabilities 0..1, rolled per message; the same seed repeats a run):
  --seed N            seed of the fault generator (default 1)
  --drop P            the answer is lost
  --bad-crc P         the answer's checksum is wrong (UDP: the answer is lost)
  --nak P             NAK instead of an answer
  --eot P             EOT instead of an answer (message not taken)
  --syn P             SYN first, the answer after --syn-delay ms (default 300)
  --echo P            the driver's own message comes back
  --repeat P          on the driver's ACK the last record comes again
  --restart-after N   the register restarts once, right after it has sent N
                      records: the report in progress and the login are gone

Other:
  --timing FILE       at the end, write the driver's turnaround for every
                      message that followed an answer into FILE, one line each
                      in microseconds: from the answer's last byte being out
                      (on a paced line: at the driver) to the message's first
                      byte arriving here; then, on a paced line, how late the
                      simulator handed that last byte over against the line's
                      time (for benchmarks)
  --quiet             print nothing but the start lines and errors
  --verbose           print every message
  --help              this text

At start it prints one line per place it listens ("serial <path> registers
1,2", "udp <addr>:<port> register <n>") and then "ready". It runs until
interrupted (Ctrl-C, SIGTERM).
)";

std::atomic<bool> gStop{false};

void onSignal(int) {
    gStop.store(true);
}

bool parseProbability(const char* text, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end && *end == '\0' && out >= 0.0 && out <= 1.0;
}

bool parseLong(const char* text, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end && *end == '\0' && end != text;
}

const std::set<std::string> kValued = {
    "--data", "--state", "--device",    "--udp",    "--login",        "--registers", "--plu-limit",
    "--pace", "--seed",  "--syn-delay", "--drop",   "--bad-crc",      "--nak",       "--eot",
    "--syn",  "--echo",  "--repeat",    "--timing", "--restart-after"};

int usage(const std::string& message) {
    std::cerr << "ecr-sim: " << message << "\n(ecr-sim --help for the options)" << std::endl;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ecrsim::Options opt;
    std::string timingFile;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        long n = 0;
        if (a == "--help" || a == "-h") {
            std::cout << kHelp;
            return 0;
        } else if (a == "--pty") {
            opt.pty = true;
        } else if (a == "--modem") {
            opt.modem = true;
        } else if (a == "--modem-echo") {
            opt.modemEcho = true;
        } else if (a == "--no-carrier") {
            opt.noCarrier = true;
        } else if (a == "--compress") {
            opt.compress = true;
        } else if (a == "--quiet") {
            opt.verbosity = 0;
        } else if (a == "--verbose") {
            opt.verbosity = 2;
        } else if (!kValued.count(a)) {
            return usage("unknown option " + a);
        } else if (!value(v)) {
            return usage(a + " needs a value");
        } else if (a == "--timing") {
            timingFile = v;
            opt.keepTurnarounds = true;
        } else if (a == "--data") {
            opt.dataDir = v;
        } else if (a == "--state") {
            opt.stateDir = v;
        } else if (a == "--device") {
            opt.device = v;
        } else if (a == "--udp") {
            opt.udp.push_back(v);
        } else if (a == "--login") {
            opt.login = v;
        } else if (a == "--registers") {
            opt.registers = ecrsim::parseRegisterList(v);
            if (opt.registers.empty()) return usage("bad register list " + std::string(v));
        } else if (a == "--plu-limit") {
            if (!parseLong(v, n) || n < 0) return usage("bad --plu-limit " + std::string(v));
            opt.pluLimit = n;
        } else if (a == "--pace") {
            if (!parseLong(v, n) || n < 50 || n > 4000000)
                return usage("bad --pace " + std::string(v));
            opt.paceBaud = n;
        } else if (a == "--seed") {
            if (!parseLong(v, n)) return usage("bad --seed " + std::string(v));
            opt.faults.seed = static_cast<unsigned>(n);
        } else if (a == "--restart-after") {
            if (!parseLong(v, n) || n < 0) return usage("bad --restart-after " + std::string(v));
            opt.faults.restartAfter = n;
        } else if (a == "--syn-delay") {
            if (!parseLong(v, n) || n < 0 || n > 60000)
                return usage("bad --syn-delay " + std::string(v));
            opt.faults.synDelayMs = static_cast<int>(n);
        } else {
            double* p = a == "--drop"      ? &opt.faults.drop
                        : a == "--bad-crc" ? &opt.faults.badCrc
                        : a == "--nak"     ? &opt.faults.nak
                        : a == "--eot"     ? &opt.faults.eot
                        : a == "--syn"     ? &opt.faults.syn
                        : a == "--echo"    ? &opt.faults.echo
                        : a == "--repeat"  ? &opt.faults.repeat
                                           : nullptr;
            if (!p) return usage("unknown option " + a);
            if (!parseProbability(v, *p)) return usage("bad probability for " + a + ": " + v);
        }
    }
    if (opt.dataDir.empty()) return usage("--data DIR is needed");
    if (!plat::directoryExists(opt.dataDir)) return usage("no data directory " + opt.dataDir);
    if (!opt.stateDir.empty() && !plat::directoryExists(opt.stateDir))
        return usage("no state directory " + opt.stateDir);

    ecrsim::Simulator sim(opt);
    std::string error;
    if (!sim.start(error)) {
        std::cerr << "ecr-sim: " << error << std::endl;
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    for (const std::string& line : sim.describe()) std::cout << line << "\n";
    std::cout << "ready" << std::endl;
    sim.run(gStop);

    const ecrsim::Stats& st = sim.stats();
    if (!timingFile.empty()) {
        std::FILE* f = std::fopen(timingFile.c_str(), "w");
        if (!f) {
            std::cerr << "ecr-sim: cannot write " << timingFile << std::endl;
        } else {
            for (std::size_t i = 0; i < st.turnaroundNs.size(); ++i)
                std::fprintf(
                    f, "%.1f %.1f\n", static_cast<double>(st.turnaroundNs[i]) / 1000.0,
                    i < st.lateNs.size() ? static_cast<double>(st.lateNs[i]) / 1000.0 : 0.0);
            std::fclose(f);
        }
    }
    if (opt.verbosity >= 1) {
        std::cerr << "ecr-sim: " << st.messages << " messages, " << st.answers << " answers";
        for (const auto& [name, count] : st.faults) std::cerr << ", " << count << " " << name;
        std::cerr << std::endl;
    }
    return 0;
}
