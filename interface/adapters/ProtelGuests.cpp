#include "interface/adapters/ProtelGuests.h"

#include <optional>
#include <vector>

#include "interface/registerfiles/line_splitter.h"

namespace protel {

std::string roomValue(std::string_view field) {
    return std::string(
        field.substr(0, field.find(' ')).substr(0, regfiles::GastDaten::kZimmerWidth));
}

namespace {

// A line of the guest file: its room value and the guest it gives; nothing
// for a line without room field.
std::optional<regfiles::GuestLine> guestOfLine(std::string_view line) {
    const std::vector<std::string> fields = regfiles::splitPlain(line, '|');
    if (fields.size() < 3) return std::nullopt;
    regfiles::GuestLine out;
    out.room = roomValue(fields[2]);
    const std::string name = fields.size() >= 4 ? "\"" + fields[3].substr(0, kNameLength) + "\""
                                                : std::string(regfiles::GastDaten::kNoName);
    out.guest.set(out.room, name, fields[1]);
    return out;
}

}  // namespace

LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest) {
    static regfiles::LookupCache<regfiles::GuestIndex> cache;
    return regfiles::findFirstGuest(path, room, guest, guestOfLine, cache);
}

}  // namespace protel
