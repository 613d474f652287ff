// The register's tables as the interface program reads them from the
// working directory: the VAT rate of VMWST.CSV, operator names of VBED.CSV,
// Protel's article and Z-text tables VART.CSV and VZtxt.CSV, and the
// room-number list VZIMMER.CSV turned into the room list VZIMMERS.CSV. The
// input holds the five files, cut at marker lines.
#include <algorithm>

#include "fuzz/converter_support.h"
#include "fuzz/guest_check.h"
#include "interface/adapters/ProtelTables.h"
#include "interface/registerfiles/register_tables.h"
#include "interface/registerfiles/room_list.h"

FUZZ_TARGET(register_tables)(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        fuzzsupport::splitParts(fuzzsupport::asText(data, size), 5);
    fuzzsupport::clearScratch();
    const std::string w = fuzzsupport::scratchDir();
    fuzzsupport::writeScratch("VMWST.CSV", parts[0]);
    fuzzsupport::writeScratch("VBED.CSV", parts[1]);
    fuzzsupport::writeScratch("VART.CSV", parts[2]);
    fuzzsupport::writeScratch("VZtxt.CSV", parts[3]);
    fuzzsupport::writeScratch("VZIMMER.CSV", parts[4]);

    for (char sep : {',', '.'}) {
        const regfiles::VatRateRead vat = regfiles::readVatRate(w, sep);
        FUZZ_CHECK(vat.result != regfiles::VatRateRead::Result::CannotOpen);
        FUZZ_CHECK(vat.rate.size() <= regfiles::kMwstSatzWidth);
    }
    std::vector<std::string> numbers = fuzzsupport::roomsToAsk(parts[1]);
    for (std::string_view part : {parts[2], parts[3]})
        for (const std::string& n : fuzzsupport::roomsToAsk(part)) numbers.push_back(n);
    for (const std::string& nr : numbers) {
        const regfiles::OperatorRead op = regfiles::readOperatorName(w, nr);
        FUZZ_CHECK(op.result != regfiles::OperatorRead::Result::CannotOpen);
        FUZZ_CHECK(op.name.size() <= regfiles::kBedienerNameWidth);
        std::string number = nr, group = "stale";
        FUZZ_CHECK(protel::lookUpArticle(w, number, group) != protel::TableResult::CannotOpen);
        FUZZ_CHECK(number.size() <= std::max(nr.size(), protel::kNumberWidth));
        FUZZ_CHECK(group.size() <= protel::kGroupWidth);
        number = nr;
        FUZZ_CHECK(protel::lookUpZText(w, number) != protel::TableResult::CannotOpen);
        FUZZ_CHECK(number.size() <= std::max(nr.size(), protel::kNumberWidth));
    }

    regfiles::GastDaten guest;
    std::vector<std::string> messages;
    const regfiles::RoomListResult r = regfiles::writeRoomList(
        w,
        [](const std::string& room, regfiles::GastDaten& g) {
            g = fuzzsupport::ConverterBench::guestOf(room);
            return true;
        },
        guest, [&messages](const std::string& m) { messages.push_back(m); });
    FUZZ_CHECK(r == regfiles::RoomListResult::Written);
    std::string list;
    FUZZ_CHECK(plat::readWholeFile(fuzzsupport::scratchFile("VZIMMERS.CSV"), list));
    for (const std::string& line : fuzzsupport::crLfLines(list)) FUZZ_CHECK(line.size() <= 199);
    return 0;
}
