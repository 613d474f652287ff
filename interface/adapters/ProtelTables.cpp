#include "interface/adapters/ProtelTables.h"

#include <vector>

#include "interface/registerfiles/line_splitter.h"
#include "platform/paths.h"

namespace protel {
namespace {

// The first line whose field 2 equals `number` and that has field
// `replacement`: `number` becomes that field, and `fields` holds the line.
TableResult translate(const std::string& path, std::string& number, std::size_t replacement,
                      std::vector<std::string>& fields) {
    fields.clear();
    regfiles::LineReader in;
    if (!in.open(path)) return TableResult::CannotOpen;
    std::string line;
    while (in.readLineCut(line)) {
        std::vector<std::string> f = regfiles::splitQuoted(line, ';', false);
        if (f.size() < replacement) continue;
        if (f[1].substr(0, kNumberWidth) != number) continue;
        number = f[replacement - 1].substr(0, kNumberWidth);
        fields = std::move(f);
        return TableResult::Found;
    }
    return in.failed() ? TableResult::CannotOpen : TableResult::NotFound;
}

}  // namespace

TableResult lookUpArticle(const std::string& workingDirectory, std::string& number,
                          std::string& groupText) {
    groupText.clear();
    std::vector<std::string> fields;
    const TableResult r =
        translate(plat::joinPath(workingDirectory, kArticleFile), number, 5, fields);
    if (r == TableResult::Found && fields.size() >= 44)
        groupText = fields[43].substr(0, kGroupWidth);
    return r;
}

TableResult lookUpZText(const std::string& workingDirectory, std::string& number) {
    std::vector<std::string> fields;
    return translate(plat::joinPath(workingDirectory, kZTextFile), number, 3, fields);
}

void translateArticle(const std::string& workingDirectory, std::string& number,
                      std::string& groupText, const regfiles::MessageSink& showStop) {
    if (lookUpArticle(workingDirectory, number, groupText) == TableResult::CannotOpen && showStop)
        showStop(regfiles::cannotReadMessage(kArticleFile));
}

void translateZText(const std::string& workingDirectory, std::string& number,
                    const regfiles::MessageSink& showStop) {
    if (lookUpZText(workingDirectory, number) == TableResult::CannotOpen && showStop)
        showStop(regfiles::cannotReadMessage(kZTextFile));
}

}  // namespace protel
