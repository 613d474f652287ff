#include "interface/adapters/ProtelGuests.h"

#include <vector>

#include "interface/registerfiles/line_splitter.h"

namespace protel {

std::string roomValue(std::string_view field) {
    return std::string(
        field.substr(0, field.find(' ')).substr(0, regfiles::GastDaten::kZimmerWidth));
}

LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest) {
    guest.clear();
    regfiles::LineReader in;
    if (!in.open(path)) return LookupResult::CannotOpen;
    if (room.empty()) return LookupResult::NotFound;
    std::string line;
    while (in.readLineCut(line)) {
        const std::vector<std::string> fields = regfiles::splitPlain(line, '|');
        if (fields.size() < 3) continue;
        const std::string value = roomValue(fields[2]);
        if (value != room) continue;
        const std::string name = fields.size() >= 4 ? "\"" + fields[3].substr(0, kNameLength) + "\""
                                                    : std::string(regfiles::GastDaten::kNoName);
        guest.set(value, name, fields[1]);
        return LookupResult::Found;
    }
    return in.failed() ? LookupResult::CannotOpen : LookupResult::NotFound;
}

}  // namespace protel
