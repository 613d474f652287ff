// The answer of a guest lookup of the hotel software, kept by the main window
// for its caller until the next lookup.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace regfiles {

struct GastDaten {
    static constexpr std::size_t kZimmerWidth = 29;
    static constexpr std::size_t kNameWidth = 49;
    static constexpr std::size_t kKontoWidth = 29;
    static constexpr const char* kNoRoom = "0";
    static constexpr const char* kNoName = "\"  \"";

    std::string Zimmer = kNoRoom;  // room number as found in the hotel file; "0" without guest
    std::string Name = kNoName;    // guest name in double quotes; "\"  \"" without guest
    std::string Konto;             // the guest's account; empty without guest

    // The values of a room without guest; every lookup starts with them.
    void clear() {
        Zimmer = kNoRoom;
        Name = kNoName;
        Konto.clear();
    }
    // Fills the fields of a found guest, each cut to its width.
    void set(std::string_view zimmer, std::string_view name, std::string_view konto) {
        Zimmer = zimmer.substr(0, kZimmerWidth);
        Name = name.substr(0, kNameWidth);
        Konto = konto.substr(0, kKontoWidth);
    }
    bool operator==(const GastDaten&) const = default;
};

}  // namespace regfiles
