// The HS-3 converter on any room report: HS3CASH.IN holds at most one CR LF
// line per room report line, each of 13 fields.
#include "fuzz/converter_support.h"
#include "interface/adapters/Hs3Files.h"

FUZZ_TARGET(hs3_converter)(const std::uint8_t* data, std::size_t size) {
    const std::string_view report = fuzzsupport::asText(data, size);
    fuzzsupport::ConverterBench bench(report, hs3::kBookingFile);
    hs3::Converter::Steps steps;
    steps.guestOf = fuzzsupport::ConverterBench::guestOf;
    steps.operatorName = [](const std::string& nr) { return "\"Bediener " + nr + "\""; };
    steps.nextReceipt = [&bench] { return bench.nextReceipt(); };
    steps.clock = fuzzsupport::ConverterBench::clock;
    hs3::Converter conv(bench.setup(hs3::kBookingFile), steps, "19,00", size % 2 ? ',' : '.');
    const bool ok = conv.run();
    FUZZ_CHECK(ok == bench.messages.empty());
    const std::vector<std::string> lines = fuzzsupport::crLfLines(bench.booking());
    FUZZ_CHECK(lines.size() <= fuzzsupport::reportLines(report));
    return 0;
}
