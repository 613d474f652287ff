#include "interface/adapters/ProtelGuests.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "interface/registerfiles/line_splitter.h"
#include "interface/registerfiles/lookup_cache.h"

namespace protel {

std::string roomValue(std::string_view field) {
    return std::string(
        field.substr(0, field.find(' ')).substr(0, regfiles::GastDaten::kZimmerWidth));
}

namespace {

// A line of INHOUSE.DAT: its room and the guest it gives.
struct GuestLine {
    std::string room;
    regfiles::GastDaten guest;
};

// Nothing for a line without room field.
std::optional<GuestLine> guestOfLine(std::string_view line) {
    const std::vector<std::string> fields = regfiles::splitPlain(line, '|');
    if (fields.size() < 3) return std::nullopt;
    GuestLine out;
    out.room = roomValue(fields[2]);
    const std::string name = fields.size() >= 4 ? "\"" + fields[3].substr(0, kNameLength) + "\""
                                                : std::string(regfiles::GastDaten::kNoName);
    out.guest.set(out.room, name, fields[1]);
    return out;
}

// The first guest of every room.
using GuestIndex = std::unordered_map<std::string, regfiles::GastDaten>;

bool indexGuests(regfiles::LineReader& in, GuestIndex& index) {
    std::string line;
    while (in.readLineCut(line)) {
        std::optional<GuestLine> found = guestOfLine(line);
        if (found) index.try_emplace(std::move(found->room), std::move(found->guest));
    }
    return !in.failed();
}

}  // namespace

LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest) {
    guest.clear();
    regfiles::LineReader in;
    if (!in.open(path)) return LookupResult::CannotOpen;
    if (room.empty()) return LookupResult::NotFound;
    if (plat::lookupCachesEnabled()) {
        static regfiles::LookupCache<GuestIndex> cache;
        bool complete = false;
        const GuestIndex& index = cache.get(path, in.openStamp(), complete,
                                            [&in](GuestIndex& i) { return indexGuests(in, i); });
        if (const auto it = index.find(room); it != index.end()) {
            guest = it->second;
            return LookupResult::Found;
        }
        return complete ? LookupResult::NotFound : LookupResult::CannotOpen;
    }
    std::string line;
    while (in.readLineCut(line)) {
        const std::optional<GuestLine> found = guestOfLine(line);
        if (!found || found->room != room) continue;
        guest = found->guest;
        return LookupResult::Found;
    }
    return in.failed() ? LookupResult::CannotOpen : LookupResult::NotFound;
}

}  // namespace protel
