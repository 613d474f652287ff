// The first pass over a register journal, which writes the reactivation list
// TiReaktiv.ini, and the list read back through the INI reader: any journal
// gives a list file that reads back as written.
#include <string>
#include <vector>

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
    // Every closing key and table of the journal: what the list says and
    // what the file says agree.
    std::vector<std::string> keys = {"0", "500", "12", ""};
    regfiles::LineReader again2;
    FUZZ_CHECK(again2.open(journalPath));
    std::string piece;
    while (again2.readLineCut(piece) && keys.size() < 200) {
        const std::vector<std::string> f = regfiles::splitPlain(piece, ';');
        if (f.size() >= 2) keys.push_back(f[1].substr(0, 9));
        if (f.size() >= 10) keys.push_back(f[9].substr(0, 29));
    }
    for (const std::string& key : keys) {
        for (const char* section : {protel::kNoBillSection, protel::kTableSection}) {
            FUZZ_CHECK(list.hasKey(section, key) == again.hasKey(section, key));
            FUZZ_CHECK(list.readString(section, key, "-") == again.readString(section, key, "-"));
        }
        FUZZ_CHECK(protel::isReactivated(list, key) == again.hasKey(protel::kNoBillSection, key));
    }
    return 0;
}
