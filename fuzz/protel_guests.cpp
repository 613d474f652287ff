// The guest lookup over INHOUSE.DAT: any bytes in the hotel software's guest file
// give a guest within the widths of a guest, or a room without guest.
#include "fuzz/fuzz_support.h"
#include "fuzz/guest_check.h"
#include "interface/adapters/ProtelGuests.h"

FUZZ_TARGET(protel_guests)(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzzsupport::asText(data, size);
    const std::string path = fuzzsupport::writeScratch("INHOUSE.DAT", text);
    for (const std::string& room : fuzzsupport::roomsToAsk(text)) {
        regfiles::GastDaten guest;
        guest.set("stale", "\"stale\"", "stale");
        const protel::LookupResult r = protel::findGuest(path, room, guest);
        FUZZ_CHECK(r != protel::LookupResult::CannotOpen);
        fuzzsupport::checkGuest(guest, r == protel::LookupResult::Found);
        if (r == protel::LookupResult::Found) FUZZ_CHECK(!room.empty());
    }
    return 0;
}
