#include "driver/messages.h"

#include "driver/command_file.h"
#include "driver/status_codes.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace tarvik {
namespace {

constexpr std::string_view kDefaults[MessageTable::kCount + 1] = {
    "",
    "Tarvik",                      // 1  title
    "Receiving",                   // 2
    "Sending",                     // 3
    "Retry",                       // 4
    "SYNC",                        // 5
    "Command :",                   // 6
    "Status :",                    // 7
    "Records : ",                  // 8
    "OK",                          // 9  status 0
    "Error Opening Log File",      // 10 status 1
    "Error Opening Command File",  // 11 status 2
    "Error Opening COM port",      // 12 status 3
    "User Break",                  // 13 status 6
    "Invalid Command",             // 14 status 4
    "Finished !",                  // 15
    "Session Started",             // 16
    "Session Ended",               // 17
    "No Answer",                   // 18 status 5
    "Error Opening File",          // 19 status 7
    "Error Writing to File",       // 20 status 8
    "File Not Open",               // 21 status 9
    "COM port not open",           // 22 status 10
    "Unknown Report",              // 23 status 11
    "Invalid Function",            // 24 status 12
    "Still in Transaction",        // 25 status 13
    "Invalid Command Parameter",   // 26 status 14
    "No Connection",               // 27 status 15
    "PLU File is Full",            // 28 status 16
    "Register",                    // 29
    "Login Error",                 // 30 status 17
    // 31..50 are free and empty.
};

const std::string kEmpty;

// Cuts `text` to at most `max` bytes without splitting a UTF-8 character.
std::string_view cutText(std::string_view text, std::size_t max) {
    if (text.size() <= max) return text;
    std::size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

}  // namespace

int messageOfStatus(int code) {
    static constexpr int kEntry[kLastStatusCode + 1] = {9,  10, 11, 12, 14, 18, 13, 19, 20,
                                                        21, 22, 23, 24, 25, 26, 27, 28, 30};
    return (code >= 0 && code <= kLastStatusCode) ? kEntry[code] : 0;
}

MessageTable::MessageTable() {
    for (int i = 1; i <= kCount; ++i) texts_[i] = std::string(defaultText(i));
}

std::string_view MessageTable::defaultText(int number) {
    return (number >= 1 && number <= kCount) ? kDefaults[number] : std::string_view{};
}

const std::string& MessageTable::text(int number) const {
    return (number >= 1 && number <= kCount) ? texts_[number] : kEmpty;
}

const std::string& MessageTable::statusText(int code) const {
    return text(messageOfStatus(code));
}

void MessageTable::set(int number, std::string_view text) {
    if (number < 1 || number > kCount) return;
    texts_[number] = std::string(cutText(text, kMaxText));
}

std::string MessageTable::defaultFileContents() {
    std::string out;
    for (int i = 1; i <= kCount; ++i) {
        if (defaultText(i).empty()) continue;
        out += std::to_string(i);
        out += '=';
        out += defaultText(i);
        out += "\r\n";
    }
    return out;
}

void MessageTable::applyLine(std::string_view line) {
    // A NUL byte ends the text of a line.
    line = line.substr(0, line.find('\0'));
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    int number = integerValue(line.substr(0, eq), 0);
    if (number < 1 || number > kCount) return;
    set(number, line.substr(eq + 1));
}

void MessageTable::load(const std::string& path) {
    plat::File f;
    if (!plat::fileExists(path)) {
        if (!f.open(path, plat::File::Mode::Create, plat::File::Share::Exclusive)) return;
        for (int i = 1; i <= kCount; ++i) {
            if (defaultText(i).empty()) continue;
            std::string line = std::to_string(i) + "=" + std::string(defaultText(i)) + "\r\n";
            if (!f.write(line)) break;
        }
        return;
    }
    if (!f.open(path, plat::File::Mode::Read, plat::File::Share::Shared)) return;
    LineReader lines(kMaxFileLine);
    lines.attach(&f);
    std::string line;
    while (lines.next(line)) applyLine(line);
}

}  // namespace tarvik
