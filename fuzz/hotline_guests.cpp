// The guest lookup over OSNAME.DAT: any bytes in the hotel software's guest file
// give a guest within the widths of a guest, or a room without guest.
#include "fuzz/fuzz_support.h"
#include "fuzz/guest_check.h"
#include "interface/adapters/HotlineFiles.h"

FUZZ_TARGET(hotline_guests)(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzzsupport::asText(data, size);
    const std::string path = fuzzsupport::writeScratch("OSNAME.DAT", text);
    for (const std::string& room : fuzzsupport::roomsToAsk(text)) {
        regfiles::GastDaten guest;
        guest.set("stale", "\"stale\"", "stale");
        const hotline::LookupResult r = hotline::findGuest(path, room, guest);
        FUZZ_CHECK(r != hotline::LookupResult::CannotOpen);
        fuzzsupport::checkGuest(guest, r == hotline::LookupResult::Found);
        if (r == hotline::LookupResult::Found) FUZZ_CHECK(!room.empty());
    }
    return 0;
}
