#include "interface/adapters/ProtelTables.h"

#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "interface/registerfiles/line_splitter.h"
#include "interface/registerfiles/lookup_cache.h"
#include "platform/paths.h"

namespace protel {
namespace {

// What a table gives for a number: the replacing number and, for articles,
// the group text.
struct Translation {
    std::string number;
    std::string group;
};
// The first usable line of every number (field 2 cut to kNumberWidth).
using TableIndex = std::unordered_map<std::string, Translation>;

// A line of a table whose field `replacement` exists: its number and what it
// gives (the group from field 44 when `withGroup`).
std::optional<std::pair<std::string, Translation>> lineOf(std::string_view line,
                                                          std::size_t replacement, bool withGroup) {
    const std::vector<std::string> f = regfiles::splitQuoted(line, ';', false);
    if (f.size() < replacement) return std::nullopt;
    Translation t;
    t.number = f[replacement - 1].substr(0, kNumberWidth);
    if (withGroup && f.size() >= 44) t.group = f[43].substr(0, kGroupWidth);
    return std::make_pair(f[1].substr(0, kNumberWidth), std::move(t));
}

// The first line whose field 2 equals `number` and that has field
// `replacement`: `number` becomes that field, and `group` the line's field 44
// when `withGroup` (empty without a match).
TableResult translate(const std::string& path, std::string& number, std::size_t replacement,
                      bool withGroup, std::string& group) {
    group.clear();
    regfiles::LineReader in;
    if (!in.open(path)) return TableResult::CannotOpen;
    if (plat::lookupCachesEnabled()) {
        // One cache for each table, kept apart by the replacing field.
        static regfiles::LookupCache<TableIndex> articles, zTexts;
        regfiles::LookupCache<TableIndex>& cache = withGroup ? articles : zTexts;
        bool complete = false;
        const TableIndex& index = cache.get(path, in.openStamp(), complete, [&](TableIndex& i) {
            std::string line;
            while (in.readLineCut(line)) {
                auto entry = lineOf(line, replacement, withGroup);
                if (entry) i.try_emplace(std::move(entry->first), std::move(entry->second));
            }
            return !in.failed();
        });
        if (const auto it = index.find(number); it != index.end()) {
            number = it->second.number;
            group = it->second.group;
            return TableResult::Found;
        }
        return complete ? TableResult::NotFound : TableResult::CannotOpen;
    }
    std::string line;
    while (in.readLineCut(line)) {
        auto entry = lineOf(line, replacement, withGroup);
        if (!entry || entry->first != number) continue;
        number = entry->second.number;
        group = entry->second.group;
        return TableResult::Found;
    }
    return in.failed() ? TableResult::CannotOpen : TableResult::NotFound;
}

}  // namespace

TableResult lookUpArticle(const std::string& workingDirectory, std::string& number,
                          std::string& groupText) {
    return translate(plat::joinPath(workingDirectory, kArticleFile), number, 5, true, groupText);
}

TableResult lookUpZText(const std::string& workingDirectory, std::string& number) {
    std::string group;
    return translate(plat::joinPath(workingDirectory, kZTextFile), number, 3, false, group);
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
