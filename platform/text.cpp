#include "platform/text.h"

namespace plat {

std::string toCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string fromCrLf(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out += bytes[i];
    }
    return out;
}

bool writeText(File& f, std::string_view text) { return f.write(toCrLf(text)); }

bool readTextFile(std::string_view path, std::string& out) {
    std::string raw;
    if (!readWholeFile(path, raw)) return false;
    out = fromCrLf(raw);
    return true;
}

}  // namespace plat
