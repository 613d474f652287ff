// The revenue conversion of register journals into XREDUCT.DAT with its
// archive copy: any journal (one or two registers, cut at a marker line)
// gives CR LF records "{T|...}", "{G|...}", "{P|...}", and the archive holds
// exactly what XREDUCT.DAT holds.
#include "fuzz/converter_support.h"
#include "interface/adapters/ProtelRevenue.h"

FUZZ_TARGET(journal_conversion)(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        fuzzsupport::splitParts(fuzzsupport::asText(data, size), 2);
    fuzzsupport::clearScratch();
    const std::string w = fuzzsupport::scratchDir();
    fuzzsupport::writeScratch("VEJournal1.csv", parts[0]);
    fuzzsupport::writeScratch("VEJournal2.csv", parts[1]);
    FUZZ_CHECK(plat::makeDirectory(fuzzsupport::scratchFile("hotel")));
    std::vector<std::string> messages;
    protel::RevenueConverter::Setup setup;
    setup.workingDirectory = w;
    setup.revenuePath = fuzzsupport::scratchFile("hotel/XREDUCT.DAT");
    setup.registers = parts[1].empty() ? 1 : 2;
    setup.showStop = [&messages](const std::string& m) { messages.push_back(m); };
    setup.zText = [](std::string& number) {
        if (number == "12") number = "1099";
    };
    setup.article = [](std::string& number, std::string& group) {
        group = number.size() > 3 ? "Getr" : "";
    };
    const plat::DateTime start{2026, 3, 1, 10, 30, 0, 0, 0};
    setup.clock = [start] { return start; };
    const bool ok = protel::RevenueConverter(setup).run();
    FUZZ_CHECK(ok == messages.empty());
    std::string revenue, archive;
    FUZZ_CHECK(plat::readWholeFile(setup.revenuePath, revenue));
    FUZZ_CHECK(plat::readWholeFile(protel::archivePath(w, start), archive));
    FUZZ_CHECK(revenue == archive);
    for (const std::string& l : fuzzsupport::crLfLines(revenue)) {
        FUZZ_CHECK(l.size() >= 4 && l[0] == '{' && l[2] == '|' && l.back() == '}');
        FUZZ_CHECK(l[1] == 'T' || l[1] == 'G' || l[1] == 'P');
    }
    return 0;
}
