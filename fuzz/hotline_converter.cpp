// The hotline converter on any room report: OSUMSATZ.DAT is a row of whole
// 65-character records, at most one per room report line.
#include "fuzz/converter_support.h"
#include "interface/adapters/HotlineFiles.h"

FUZZ_TARGET(hotline_converter)(const std::uint8_t* data, std::size_t size) {
    const std::string_view report = fuzzsupport::asText(data, size);
    fuzzsupport::ConverterBench bench(report, hotline::kBookingFile);
    hotline::Converter::Steps steps;
    steps.guestOf = fuzzsupport::ConverterBench::guestOf;
    steps.lookUpOperator = [](const std::string&) {};
    steps.clock = fuzzsupport::ConverterBench::clock;
    hotline::Converter conv(bench.setup(hotline::kBookingFile), steps, size % 2 ? ',' : '.');
    const bool ok = conv.convert();
    FUZZ_CHECK(ok == bench.messages.empty());
    const std::string out = bench.booking();
    FUZZ_CHECK(out.size() % hotline::kRecordSize == 0);
    FUZZ_CHECK(out.size() / hotline::kRecordSize <= fuzzsupport::reportLines(report));
    for (std::size_t at = 0; at < out.size(); at += hotline::kRecordSize) {
        FUZZ_CHECK(out[at + 15] == '1');
        FUZZ_CHECK(out[at + 64] == ' ');
    }
    return 0;
}
