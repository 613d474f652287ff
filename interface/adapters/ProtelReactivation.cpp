#include "interface/adapters/ProtelReactivation.h"

#include <vector>

#include "interface/registerfiles/numbers.h"
#include "platform/file.h"

namespace protel {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string field(const std::vector<std::string>& fields, std::size_t no, std::size_t width) {
    return no <= fields.size() ? fields[no - 1].substr(0, width) : std::string();
}

}  // namespace

const ReactivationIni::Section* ReactivationIni::find(std::string_view section) const {
    for (const Section& s : sections_)
        if (sameName(s.name, section)) return &s;
    return nullptr;
}

ReactivationIni::Section* ReactivationIni::find(std::string_view section) {
    for (Section& s : sections_)
        if (sameName(s.name, section)) return &s;
    return nullptr;
}

std::string ReactivationIni::readString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue) const {
    if (const Section* s = find(section)) {
        for (const auto& [k, v] : s->keys) {
            if (!sameName(k, key)) continue;
            std::string_view value = trim(v);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return std::string(value);
        }
    }
    return std::string(defaultValue);
}

void ReactivationIni::writeString(std::string_view section, std::string_view key,
                                  std::string_view value) {
    Section* s = find(section);
    if (!s) {
        sections_.push_back(Section{std::string(trim(section)), {}});
        s = &sections_.back();
    }
    for (auto& [k, v] : s->keys) {
        if (sameName(k, key)) {
            v = value;
            return;
        }
    }
    s->keys.emplace_back(std::string(trim(key)), std::string(value));
}

bool ReactivationIni::hasKey(std::string_view section, std::string_view key) const {
    if (const Section* s = find(section)) {
        for (const auto& kv : s->keys)
            if (sameName(kv.first, key)) return true;
    }
    return false;
}

std::string ReactivationIni::text() const {
    std::string out;
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\r\n";
        for (const auto& [k, v] : s.keys) out += k + "=" + v + "\r\n";
    }
    return out;
}

bool ReactivationIni::flush() {
    plat::File f;
    return f.open(path_, plat::File::Mode::Create, plat::File::Share::Shared) && f.write(text());
}

void buildReactivationList(regfiles::LineReader& journal, ReactivationIni& list) {
    std::string piece;
    while (journal.readLineCut(piece)) {
        const std::vector<std::string> fields = regfiles::splitPlain(piece, ';');
        const std::string closingKey = field(fields, 2, 9);
        std::string field8 = field(fields, 8, 9);
        if (field8 == "65534") field8 = "0";
        const std::string field10 = field(fields, 10, 29);
        const long code = regfiles::readLeadingLong(field(fields, 12, 9));
        const long number = regfiles::readLeadingLong(field(fields, 13, 19));
        if (code == 0 && number == 249 && !field8.empty()) {
            list.writeString(kTableSection, field10, closingKey);
            journal.readLineCut(piece);  // the line after an opening line is passed over
        } else if (code == 1300 && number == 11) {
            const std::string key = list.readString(kTableSection, field10, "0");
            list.writeString(kNoBillSection, key, field10);
        }
    }
}

bool isReactivated(const ReactivationIni& list, std::string_view closingKey) {
    return list.hasKey(kNoBillSection, closingKey);
}

}  // namespace protel
