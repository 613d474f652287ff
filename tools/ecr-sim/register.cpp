#include "tools/ecr-sim/register.h"

#include <cstdio>

#include "driver/protocol/protocol.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace ecrsim {

using tarvik::ACK;
using tarvik::EOT;
using tarvik::NAK;

namespace {

// An upload whose lines stop for this long is over; the next line starts a
// new one (the driver's longest wait for one attempt is 14 s).
constexpr long kUploadPauseMs = 60000;

std::string twoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n % 100);
    return buf;
}

// Command texts name files: letters, digits, "-" and "_" only.
bool safeName(const std::string& s) {
    if (s.empty() || s.size() > 64) return false;
    for (unsigned char c : s) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                        (c >= 'a' && c <= 'z') || c == '-' || c == '_';
        if (!ok) return false;
    }
    return true;
}

bool parseClock(std::string_view digits, std::string& out) {
    if (digits.size() != 14) return false;
    int v[6] = {};
    const int widths[6] = {2, 2, 2, 2, 2, 4};
    std::size_t pos = 0;
    for (int k = 0; k < 6; ++k) {
        for (int w = 0; w < widths[k]; ++w, ++pos) {
            const char c = digits[pos];
            if (c < '0' || c > '9') return false;
            v[k] = v[k] * 10 + (c - '0');
        }
    }
    const int hour = v[0], minute = v[1], second = v[2], day = v[3], month = v[4], year = v[5];
    if (hour > 23 || minute > 59 || second > 59 || day < 1 || day > 31 || month < 1 || month > 12 ||
        year < 1980)
        return false;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                  second);
    out = buf;
    return true;
}

}  // namespace

Register::Register(RegisterConfig config) : config_(std::move(config)) {
    if (config_.stateDir.empty()) config_.stateDir = config_.dataDir;
}

std::string Register::uploadFileName(int number) {
    return "upload-" + twoDigits(number) + ".csv";
}
std::string Register::clockFileName(int number) {
    return "clock-" + twoDigits(number) + ".txt";
}

void Register::restart() {
    inReport_ = false;
    loggedIn_ = false;
    uploading_ = false;
    records_.clear();
    next_ = 0;
    last_ = std::string(1, static_cast<char>(EOT));
    event_ = "restarted";
}

std::string Register::answer(std::string msg) {
    last_ = std::move(msg);
    return last_;
}

std::string Register::ackReason(std::uint8_t reason) {
    return answer(std::string{static_cast<char>(ACK), static_cast<char>(reason)});
}

bool Register::loadReport(const std::string& command) {
    if (!safeName(command)) return false;
    const std::string name = command + ".csv";
    std::string path =
        plat::joinPath(plat::joinPath(config_.dataDir, "reg" + twoDigits(config_.number)), name);
    if (!plat::fileExists(path)) path = plat::joinPath(config_.dataDir, name);
    if (!plat::fileExists(path)) return false;
    std::string bytes;
    if (!plat::readWholeFile(path, bytes)) return false;
    records_.clear();
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A record is a message: at most 1055 bytes; compressed ones must
        // expand within the driver's bound.
        const std::size_t max =
            config_.compress ? tarvik::kMaxExpandedRecord : tarvik::kMessageBufferSize - 1;
        if (line.size() > max) line.resize(max);
        if (!line.empty()) records_.push_back(std::move(line));
        start = end + 1;
    }
    return true;
}

std::string Register::nextRecord() {
    if (next_ >= records_.size()) {
        inReport_ = false;
        event_ = "report done, " + std::to_string(records_.size()) + " records";
        return ackReason(0x00);
    }
    ++recordsSent_;
    const std::string& rec = records_[next_++];
    return answer(config_.compress ? compressRecord(rec) : rec);
}

std::vector<std::string> Register::handle(std::string_view message, long nowMs) {
    event_.clear();
    if (message.empty()) return {};
    const auto first = static_cast<std::uint8_t>(message[0]);
    if (uploading_ && (first != 'U' || nowMs - lastUploadMs_ > kUploadPauseMs)) {
        uploading_ = false;
    }

    if (message.size() == 1 && first == NAK) return {last_.empty() ? ackReason(0x00) : last_};
    if (message.size() == 1 && first == EOT) {
        if (inReport_) event_ = "report cancelled";
        inReport_ = false;
        return {};
    }
    if (message.size() == 1 && first == ACK) {
        if (!inReport_) return {answer(std::string(1, static_cast<char>(EOT)))};
        return {nextRecord()};
    }
    // A new command ends any report in progress.
    inReport_ = false;

    if (message.size() >= 2 && message.substr(0, 2) == "LI") {
        const std::string_view id = message.substr(2);
        if (!config_.login.empty() && id != config_.login) {
            loggedIn_ = false;
            event_ = "login refused";
            return {ackReason(0x3A)};
        }
        loggedIn_ = true;
        event_ = "logged in";
        return {ackReason(0x00)};
    }
    if (!config_.login.empty() && !loggedIn_) {
        event_ = "refused: not logged in";
        return {ackReason(0x3A)};
    }
    if (message == "LO") {
        loggedIn_ = false;
        event_ = "logged out";
        return {ackReason(0x00)};
    }
    if (first == 'L') return {ackReason(0x06)};
    if (first == 'C') {
        event_ = "command " + std::string(message);
        return {ackReason(0x00)};
    }
    if (first == 'T') {
        std::string text;
        if (!parseClock(message.substr(1), text)) return {ackReason(0x02)};
        clock_ = text;
        plat::File f;
        if (f.open(plat::joinPath(config_.stateDir, clockFileName(config_.number)),
                   plat::File::Mode::Create, plat::File::Share::Shared))
            f.write(clock_ + "\n");
        event_ = "clock set to " + clock_;
        return {ackReason(0x00)};
    }
    if (first == 'U') {
        const std::string_view line = message.substr(1);
        const bool starting = !uploading_;
        if (starting) {
            uploading_ = true;
            uploadLines_ = 0;
            lastUploadLine_.clear();
        }
        lastUploadMs_ = nowMs;
        // The same line right after itself is the driver's repeat of a line
        // whose answer got lost: the register already holds it.
        if (!starting && line == lastUploadLine_) return {ackReason(0x00)};
        if (config_.pluLimit >= 0 && uploadLines_ >= config_.pluLimit) {
            event_ = "PLU file full";
            return {ackReason(0x27)};
        }
        plat::File f;
        const std::string path = plat::joinPath(config_.stateDir, uploadFileName(config_.number));
        const bool opened =
            f.open(path, starting ? plat::File::Mode::Create : plat::File::Mode::Append,
                   plat::File::Share::Shared);
        if (!opened || !f.write(std::string(line) + "\r\n")) {
            event_ = "cannot store upload line";
            return {ackReason(0x27)};
        }
        ++uploadLines_;
        lastUploadLine_ = std::string(line);
        if (starting) event_ = "upload started";
        return {ackReason(0x00)};
    }
    // A report or table.
    const std::string command(message);
    if (!loadReport(command)) {
        event_ = "unknown report " + command;
        return {ackReason(0x05)};
    }
    inReport_ = true;
    next_ = 0;
    event_ = "report " + command + ", " + std::to_string(records_.size()) + " records";
    return {nextRecord()};
}

// -------------------------------------------------------------- compression

namespace {

void putNumber(std::string& out, std::size_t v) {
    char groups[10];
    int n = 0;
    do {
        groups[n++] = static_cast<char>(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n > 1) out.push_back(static_cast<char>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

}  // namespace

std::string compressRecord(std::string_view rec) {
    // The escape byte: the rarest byte value of the record (0x1B when absent).
    std::size_t counts[256] = {};
    for (unsigned char c : rec) ++counts[c];
    unsigned esc = 0x1B;
    for (unsigned v = 1; v < 256; ++v)
        if (counts[v] < counts[esc]) esc = v;
    std::string out;
    out.push_back(static_cast<char>(tarvik::SO));
    out.push_back(static_cast<char>(esc));
    std::size_t i = 0;
    while (i < rec.size()) {
        std::size_t bestLen = 0, bestDist = 0;
        for (std::size_t start = 0; start < i; ++start) {
            std::size_t len = 0;
            while (i + len < rec.size() && rec[start + len] == rec[i + len]) ++len;
            if (len > bestLen) {
                bestLen = len;
                bestDist = i - start;
            }
        }
        if (bestLen >= 4) {
            out.push_back(static_cast<char>(esc));
            putNumber(out, bestLen);
            putNumber(out, bestDist);
            i += bestLen;
            continue;
        }
        const auto c = static_cast<unsigned char>(rec[i++]);
        out.push_back(static_cast<char>(c));
        if (c == esc) out.push_back('\0');
    }
    return out.size() < rec.size() ? out : std::string(rec);
}

}  // namespace ecrsim
