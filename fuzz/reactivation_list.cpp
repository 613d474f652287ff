// The first pass over a register journal, which writes the reactivation list
// TiReaktiv.ini, and the list read back through the INI reader: any journal
// gives a list file that reads back as written.
#include "fuzz/fuzz_support.h"
#include "interface/adapters/ProtelReactivation.h"
#include "platform/ini.h"

FUZZ_TARGET(reactivation_list)(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::clearScratch();
    const std::string journalPath =
        fuzzsupport::writeScratch("VEJournal1.csv", fuzzsupport::asText(data, size));
    const std::string listPath = fuzzsupport::scratchFile("TiReaktiv.ini");
    regfiles::LineReader journal;
    FUZZ_CHECK(journal.open(journalPath));
    protel::ReactivationIni list(listPath);
    protel::buildReactivationList(journal, list);
    FUZZ_CHECK(!journal.failed());
    FUZZ_CHECK(list.flush());
    plat::IniFile again(listPath);
    FUZZ_CHECK(again.text() == list.text());
    // A few keys: what the list says and what the file says agree.
    for (const char* key : {"0", "500", "12", ""}) {
        FUZZ_CHECK(list.hasKey(protel::kNoBillSection, key) ==
                   again.hasKey(protel::kNoBillSection, key));
        (void)protel::isReactivated(list, key);
    }
    return 0;
}
