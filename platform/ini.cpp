#include "platform/ini.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/file.h"
#include "platform/paths.h"

namespace plat {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// The section name of a "[Section]" line; false for any other line.
bool sectionName(std::string_view body, std::string_view& name) {
    std::string_view s = trim(body);
    if (s.empty() || s.front() != '[') return false;
    s.remove_prefix(1);
    std::size_t close = s.find(']');
    name = trim(close == std::string_view::npos ? s : s.substr(0, close));
    return true;
}

// Key and raw value of a "key=value" line; false for any other line.
bool keyAndValue(std::string_view body, std::string_view& key, std::string_view& value) {
    std::size_t eq = body.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(body.substr(0, eq));
    if (key.empty()) return false;
    value = body.substr(eq + 1);
    return true;
}

std::string cleanValue(std::string_view raw) {
    std::string_view v = trim(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v.remove_prefix(1);
        v.remove_suffix(1);
    }
    if (v.size() > IniFile::kMaxValueLength) v = v.substr(0, IniFile::kMaxValueLength);
    return std::string(v);
}

std::string oneLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

}  // namespace

bool parseProfileInteger(std::string_view text, std::int32_t& out) {
    std::string_view s = trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;
    std::int64_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f')
            d = lowerAscii(c) - 'a' + 10;
        else
            return false;
        v = v * base + d;
        if (v > (std::int64_t{1} << 32)) return false;
    }
    if (negative) v = -v;
    // Hexadecimal texts may give the full 32 bits, as the framework reads them.
    if (base == 16 && !negative && v > INT32_MAX && v <= UINT32_MAX) v -= (std::int64_t{1} << 32);
    if (v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::string raw;
    if (!readWholeFile(path_, raw)) {
        // Missing reads as empty; anything else there could not be read.
        struct stat st {};
        readable_ = ::stat(resolveCase(path_).c_str(), &st) != 0 && errno == ENOENT;
        return;
    }
    disk_ = raw;
    onDisk_ = true;
    std::size_t pos = 0;
    while (pos < raw.size()) {
        std::size_t nl = raw.find('\n', pos);
        Line line;
        if (nl == std::string::npos) {
            line.body = raw.substr(pos);
            pos = raw.size();
        } else {
            std::size_t bodyEnd = nl;
            line.end = "\n";
            if (bodyEnd > pos && raw[bodyEnd - 1] == '\r') {
                --bodyEnd;
                line.end = "\r\n";
            }
            line.body = raw.substr(pos, bodyEnd - pos);
            pos = nl + 1;
        }
        lines_.push_back(std::move(line));
    }
}

long IniFile::findSection(std::string_view section) const {
    std::string_view wanted = trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (sectionName(lines_[i].body, name) && equalsIgnoreCase(name, wanted))
            return static_cast<long>(i);
    }
    return -1;
}

long IniFile::findKey(long at, std::string_view key) const {
    std::string_view wanted = trim(key);
    for (std::size_t i = static_cast<std::size_t>(at) + 1; i < lines_.size(); ++i) {
        std::string_view name, k, v;
        if (sectionName(lines_[i].body, name)) break;
        if (keyAndValue(lines_[i].body, k, v) && equalsIgnoreCase(k, wanted))
            return static_cast<long>(i);
    }
    return -1;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    long s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    long s = findSection(section);
    long k = s < 0 ? -1 : findKey(s, key);
    if (k < 0) return std::string(defaultValue);
    std::string_view name, value;
    keyAndValue(lines_[static_cast<std::size_t>(k)].body, name, value);
    return cleanValue(value);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
    if (!hasKey(section, key)) return defaultValue;
    std::int32_t v;
    return parseProfileInteger(readString(section, key, ""), v) ? v : defaultValue;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    std::string keyText(trim(key));
    std::string body = keyText + "=" + oneLine(value);
    long s = findSection(section);
    if (s < 0) {
        if (!lines_.empty() && !*lines_.back().end) lines_.back().end = "\r\n";
        std::string header("[");
        header += trim(section);
        header += ']';
        lines_.push_back({std::move(header), "\r\n"});
        lines_.push_back({body, "\r\n"});
        modified_ = true;
        return;
    }
    long k = findKey(s, key);
    if (k >= 0) {
        Line& line = lines_[static_cast<std::size_t>(k)];
        if (line.body != body) {
            line.body = body;
            modified_ = true;
        }
        return;
    }
    // After the last line of the section that is not blank, so that blank
    // lines before the next section stay where they are.
    std::size_t insertAt = static_cast<std::size_t>(s) + 1;
    for (std::size_t i = insertAt; i < lines_.size(); ++i) {
        std::string_view name;
        if (sectionName(lines_[i].body, name)) break;
        if (!trim(lines_[i].body).empty()) insertAt = i + 1;
    }
    if (!*lines_[insertAt - 1].end) lines_[insertAt - 1].end = "\r\n";
    lines_.insert(lines_.begin() + static_cast<long>(insertAt), Line{body, "\r\n"});
    modified_ = true;
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int64_t value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

std::string IniFile::text() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.body;
        out += l.end;
    }
    return out;
}

bool IniFile::flush(Durability durability) {
    if (!modified_) return true;
    // A file that exists but could not be read is never replaced by one that
    // holds only the keys written since.
    if (!readable_) return false;
    std::string bytes = text();
    const bool inPlace = durability == Durability::Deferred && onDisk_ &&
                         bytes.size() == disk_.size() && overwriteSameLength(path_, disk_, bytes);
    if (!inPlace && !replaceFileContents(path_, bytes, durability)) return false;
    disk_ = std::move(bytes);
    onDisk_ = true;
    modified_ = false;
    return true;
}

bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, Durability durability) {
    IniFile ini(path);
    ini.writeString(section, key, value);
    return ini.flush(durability);
}

bool writeProfileInteger(const std::string& path, std::string_view section, std::string_view key,
                         std::int64_t value, Durability durability) {
    return writeProfileString(path, section, key, std::to_string(value), durability);
}

}  // namespace plat
