// The Protel room report converter on any room report: ROOMBOOK.DAT holds
// CR LF lines, each a record "{X|...}" or the empty line between bookings.
#include "fuzz/converter_support.h"
#include "interface/adapters/ProtelRoomBook.h"

FUZZ_TARGET(protel_roombook)(const std::uint8_t* data, std::size_t size) {
    const std::string_view report = fuzzsupport::asText(data, size);
    fuzzsupport::ConverterBench bench(report, protel::kBookingFile);
    protel::RoomBookConverter::Steps steps;
    steps.guestOf = fuzzsupport::ConverterBench::guestOf;
    steps.operatorLookup = [](const std::string&) {};
    steps.nextReceipt = [&bench] { return bench.nextReceipt(); };
    steps.zText = [](std::string& number) {
        if (number == "12") number = "1099";
    };
    steps.article = [](std::string& number, std::string& group) {
        group = number.size() > 3 ? "Getr" : "";
        if (number == "1001") number = "777";
    };
    steps.clock = fuzzsupport::ConverterBench::clock;
    protel::RoomBookConverter conv(bench.setup(protel::kBookingFile), steps);
    const bool ok = conv.run();
    FUZZ_CHECK(ok == bench.messages.empty());
    const std::vector<std::string> lines = fuzzsupport::crLfLines(bench.booking());
    FUZZ_CHECK(lines.size() <= 3 * fuzzsupport::reportLines(report));
    for (const std::string& l : lines) {
        if (l.empty()) continue;
        FUZZ_CHECK(l.size() >= 4 && l[0] == '{' && l[2] == '|' && l.back() == '}');
        FUZZ_CHECK(l[1] == 'R' || l[1] == 'T' || l[1] == 'G');
    }
    return 0;
}
