// Looking up a room's guest in a guest file of the hotel software that holds
// one guest a line (HS3CASH.OUT, INHOUSE.DAT). What a line means is the
// adapter's; the reading, the first match and the kept index are here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/lookup_cache.h"

namespace regfiles {

// The answer of every guest lookup of the hotel software.
enum class LookupResult { Found, NotFound, CannotOpen };

// A line of a guest file: its room value and the guest it gives.
struct GuestLine {
    std::string room;
    GastDaten guest;
};

// What a line says; nothing for a line without room field.
using GuestOfLine = std::optional<GuestLine> (*)(std::string_view line);

// The first guest of every room value of a file.
using GuestIndex = std::unordered_map<std::string, GastDaten>;

// Looks up the guest of `room` in the file at `path`: `guest` starts as a
// room without guest; the first line (cut as LineReader::readLineCut cuts
// it) whose room value equals `room` gives it. An empty room never matches a
// guest. The file is opened at every call: CannotOpen when it cannot be, or
// when reading fails before a match. What the file holds is kept in `cache`
// while the file is unchanged (one cache for each kind of file).
LookupResult findFirstGuest(const std::string& path, const std::string& room, GastDaten& guest,
                            GuestOfLine guestOfLine, LookupCache<GuestIndex>& cache);

}  // namespace regfiles
