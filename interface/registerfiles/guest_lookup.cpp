// The guest lookup over a file of one guest a line, with its kept index.
#include "interface/registerfiles/guest_lookup.h"

#include "interface/registerfiles/line_splitter.h"

namespace regfiles {

namespace {

bool indexGuests(LineReader& in, GuestOfLine guestOfLine, GuestIndex& index) {
    std::string line;
    while (in.readLineCut(line)) {
        std::optional<GuestLine> found = guestOfLine(line);
        if (found) index.try_emplace(std::move(found->room), std::move(found->guest));
    }
    return !in.failed();
}

}  // namespace

LookupResult findFirstGuest(const std::string& path, const std::string& room, GastDaten& guest,
                            GuestOfLine guestOfLine, LookupCache<GuestIndex>& cache) {
    guest.clear();
    LineReader in;
    if (!in.open(path)) return LookupResult::CannotOpen;
    if (room.empty()) return LookupResult::NotFound;
    if (plat::lookupCachesEnabled()) {
        bool complete = false;
        const GuestIndex& index = cache.get(path, in.openStamp(), complete, [&](GuestIndex& i) {
            return indexGuests(in, guestOfLine, i);
        });
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

}  // namespace regfiles
