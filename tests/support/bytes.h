// Byte strings written as hex for tests: bytes("10 02 06") and hex(s).
#pragma once

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

namespace testsupport {

// "10 02 41" -> the three bytes. Blanks separate pairs; anything else is a
// test bug and throws.
inline std::string bytes(std::string_view hexText) {
    std::string out;
    std::istringstream in{std::string(hexText)};
    std::string pair;
    while (in >> pair) out.push_back(static_cast<char>(std::stoul(pair, nullptr, 16)));
    return out;
}

// The bytes as upper-case hex pairs separated by blanks.
inline std::string hex(std::string_view data) {
    std::string out;
    char buf[4];
    for (unsigned char c : data) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        if (!out.empty()) out.push_back(' ');
        out += buf;
    }
    return out;
}

}  // namespace testsupport
