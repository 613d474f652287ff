// The checks every guest lookup must pass, whatever its guest file holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "interface/registerfiles/guest_data.h"

namespace fuzzsupport {

// The rooms a guest file is asked for: a few usual ones, the empty room, and
// rooms taken from the file itself (its first bytes, and the text between
// the first separators), so that matches happen.
inline std::vector<std::string> roomsToAsk(std::string_view file) {
    std::vector<std::string> rooms = {"101", "0", "", " ", "\"101\""};
    rooms.emplace_back(file.substr(0, 5));
    rooms.emplace_back(file.substr(0, 10));
    for (char sep : {';', '|', ' '}) {
        const std::size_t a = file.find(sep);
        if (a == std::string_view::npos) continue;
        const std::size_t b = file.find(sep, a + 1);
        rooms.emplace_back(file.substr(a + 1, b == std::string_view::npos ? 12 : b - a - 1));
    }
    return rooms;
}

// A found or not found guest stays within the widths of GastDaten, and a
// room without guest carries exactly the values of a room without guest.
inline void checkGuest(const regfiles::GastDaten& g, bool found) {
    FUZZ_CHECK(g.Zimmer.size() <= regfiles::GastDaten::kZimmerWidth);
    FUZZ_CHECK(g.Name.size() <= regfiles::GastDaten::kNameWidth);
    FUZZ_CHECK(g.Konto.size() <= regfiles::GastDaten::kKontoWidth);
    for (const std::string* s : {&g.Zimmer, &g.Name, &g.Konto})
        FUZZ_CHECK(s->find('\n') == std::string::npos);
    if (!found) {
        regfiles::GastDaten none;
        FUZZ_CHECK(g == none);
    }
}

}  // namespace fuzzsupport
