#include "interface/adapters/ProtelReactivation.h"

#include <vector>

#include "interface/registerfiles/numbers.h"

namespace protel {
namespace {

std::string field(const std::vector<std::string>& fields, std::size_t no, std::size_t width) {
    return no <= fields.size() ? fields[no - 1].substr(0, width) : std::string();
}

}  // namespace

void buildReactivationList(regfiles::LineReader& journal, ReactivationIni& list) {
    std::string piece;
    while (journal.readLineCut(piece)) {
        const std::vector<std::string> fields = regfiles::splitPlain(piece, ';');
        const std::string closingKey = field(fields, 2, 9);
        std::string field8 = field(fields, 8, 9);
        if (field8 == "65534") field8 = "0";
        const std::string field10 = field(fields, 10, 29);
        const long code = regfiles::readLeadingLong(field(fields, 12, 9));
        const long number = regfiles::readLeadingLong(field(fields, 13, 19));
        if (code == 0 && number == 249 && !field8.empty()) {
            list.writeString(kTableSection, field10, closingKey);
            journal.readLineCut(piece);  // the line after an opening line is passed over
        } else if (code == 1300 && number == 11) {
            const std::string key = list.readString(kTableSection, field10, "0");
            list.writeString(kNoBillSection, key, field10);
        }
    }
}

bool isReactivated(const ReactivationIni& list, std::string_view closingKey) {
    return list.hasKey(kNoBillSection, closingKey);
}

}  // namespace protel
