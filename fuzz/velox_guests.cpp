// The guest lookup over ROOM.DAT: any bytes in the hotel software's guest file
// give a guest within the widths of a guest, or a room without guest.
#include "fuzz/fuzz_support.h"
#include "fuzz/guest_check.h"
#include "interface/adapters/VeloxFiles.h"

FUZZ_TARGET(velox_guests)(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzzsupport::asText(data, size);
    const std::string path = fuzzsupport::writeScratch("ROOM.DAT", text);
    for (const std::string& room : fuzzsupport::roomsToAsk(text)) {
        regfiles::GastDaten guest;
        guest.set("stale", "\"stale\"", "stale");
        const velox::LookupResult r = velox::findGuest(path, room, guest);
        FUZZ_CHECK(r != velox::LookupResult::CannotOpen);
        fuzzsupport::checkGuest(guest, r == velox::LookupResult::Found);
        if (r == velox::LookupResult::Found) FUZZ_CHECK(!room.empty());
    }
    return 0;
}
