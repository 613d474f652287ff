#include "driver/command_file.h"

#include <climits>

#include "driver/protocol/protocol.h"

namespace tarvik {

std::optional<int> readInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    long long n = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) n = -n;
    if (n < INT_MIN || n > INT_MAX) return std::nullopt;
    return static_cast<int>(n);
}

int integerValue(std::string_view text, int fallback) {
    return readInteger(text).value_or(fallback);
}

void LineReader::attach(plat::File* file) {
    file_ = file;
    pos_ = len_ = 0;
    eof_ = file == nullptr;
}

bool LineReader::fill() {
    if (eof_) return false;
    long n = file_->read(buf_, sizeof buf_);
    if (n <= 0) {
        eof_ = true;
        return false;
    }
    pos_ = 0;
    len_ = static_cast<std::size_t>(n);
    return true;
}

bool LineReader::next(std::string& line) {
    line.clear();
    bool anyByte = false;
    for (;;) {
        if (pos_ == len_ && !fill()) return anyByte;
        anyByte = true;
        char c = buf_[pos_++];
        if (c == '\n') return true;
        if (c == '\r') continue;
        if (line.size() < maxChars_) line += c;
    }
}

CommandLine splitCommandLine(std::string_view line) {
    CommandLine out;
    std::size_t nul = line.find('\0');
    if (nul != std::string_view::npos) {
        out.damaged = true;
        line = line.substr(0, nul);
    }
    std::size_t eq = line.find('=');
    std::string_view key = line.substr(0, eq);
    out.keyword.reserve(key.size());
    for (char c : key) out.keyword += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (eq != std::string_view::npos) out.value = std::string(line.substr(eq + 1));
    return out;
}

bool CommandFileReader::next(CommandLine& out) {
    std::string line;
    for (;;) {
        if (!lines_.next(line)) return false;
        if (line.empty() || line.front() == ';') continue;
        out = splitCommandLine(line);
        return true;
    }
}

bool UploadLineReader::next(std::string& line) {
    line.clear();
    bool any = false;
    bool encoded = false;
    std::uint8_t b = 0;
    while (get(b)) {
        if (!any) encoded = isOffsetEncodedLine(b);
        any = true;
        if (encoded) b = static_cast<std::uint8_t>(b + 0x30);
        if (b == '\n') return true;
        if (b == '\r') continue;
        if (line.size() < kMaxLine) line.push_back(static_cast<char>(b));
    }
    return any;
}

bool UploadLineReader::get(std::uint8_t& b) {
    if (pos_ == len_) {
        const long n = file_.read(buf_, sizeof buf_);
        if (n <= 0) return false;  // the end, or a read error
        pos_ = 0;
        len_ = static_cast<std::size_t>(n);
    }
    b = buf_[pos_++];
    return true;
}

}  // namespace tarvik
