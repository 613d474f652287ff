// The Velox converter on any room report: BOOK.DAT is a row of whole
// 64-character records, at most one per room report line.
#include "fuzz/converter_support.h"
#include "interface/adapters/VeloxFiles.h"

FUZZ_TARGET(velox_converter)(const std::uint8_t* data, std::size_t size) {
    const std::string_view report = fuzzsupport::asText(data, size);
    fuzzsupport::ConverterBench bench(report, velox::kBookingFile);
    velox::Converter::Steps steps;
    steps.readVatRate = [] { return true; };
    steps.guestOf = fuzzsupport::ConverterBench::guestOf;
    steps.lookUpOperator = [](const std::string&) {};
    steps.nextReceipt = [&bench] { return bench.nextReceipt(); };
    steps.clock = fuzzsupport::ConverterBench::clock;
    velox::Converter conv(bench.setup(velox::kBookingFile), steps);
    const bool ok = conv.convert();
    FUZZ_CHECK(ok == bench.messages.empty());
    const std::string out = bench.booking();
    FUZZ_CHECK(out.size() % velox::kRecordSize == 0);
    FUZZ_CHECK(out.size() / velox::kRecordSize <= fuzzsupport::reportLines(report));
    for (std::size_t at = 0; at < out.size(); at += velox::kRecordSize)
        FUZZ_CHECK(out.compare(at + 38, 8, "Kasse   ") == 0);
    return 0;
}
