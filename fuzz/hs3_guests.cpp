// The guest lookup over HS3CASH.OUT: any bytes in the hotel software's guest file
// give a guest within the widths of a guest, or a room without guest.
#include "fuzz/fuzz_support.h"
#include "fuzz/guest_check.h"
#include "interface/adapters/Hs3Files.h"

FUZZ_TARGET(hs3_guests)(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzzsupport::asText(data, size);
    const std::string path = fuzzsupport::writeScratch("HS3CASH.OUT", text);
    for (const std::string& room : fuzzsupport::roomsToAsk(text)) {
        regfiles::GastDaten guest;
        guest.set("stale", "\"stale\"", "stale");
        const hs3::LookupResult r = hs3::findGuest(path, room, guest);
        FUZZ_CHECK(r != hs3::LookupResult::CannotOpen);
        fuzzsupport::checkGuest(guest, r == hs3::LookupResult::Found);
        if (r == hs3::LookupResult::Found) FUZZ_CHECK(!room.empty());
    }
    return 0;
}
