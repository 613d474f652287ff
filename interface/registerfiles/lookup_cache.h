// What the lookups keep of the files they read.
//
// The guest lookups of the hotel software and the lookups in the register's
// operator, article and Z-text tables answer one question at a time, and a
// conversion asks thousands of them: read from the start for every question,
// a day of a large hotel makes a conversion take minutes. So a lookup builds
// an index of the file once and answers from it as long as the file is
// unchanged. Nothing else changes:
//   - Every lookup still opens the file first, as before: a file that cannot
//     be opened is reported at every lookup, whatever is kept.
//   - The index is used only while the open file has the stamp it had when
//     the index was built (plat::FileStamp: device, inode, size,
//     modification and status-change time). Any other stamp, a new file
//     renamed over the old one included, builds the index anew.
//   - The index gives the answer the line-by-line reading gives, for every
//     question: it is built by the same reading, keeping for every key the
//     match that the reading would have stopped at (the first or the last).
//   - A file changed too recently (not plat::settled) is not kept: its index
//     serves only the lookup that built it.
//   - An index built from a reading that failed midway serves only its own
//     lookup, with the answer the reading would have given (a match before
//     the failure, otherwise the failure).
// PELKO_LOOKUP_CACHE=0 switches the keeping off (plat::lookupCachesEnabled).
// The indexes are kept per process, for the program's one thread: no lookup
// may run on two threads at once.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/file_stamp.h"

namespace regfiles {

// How many indexes the lookups have built so far (for tests).
inline std::size_t& lookupIndexesBuilt() {
    static std::size_t count = 0;
    return count;
}

// The indexes of one kind of lookup, one per file (a few files at most).
template <typename Index>
class LookupCache {
  public:
    static constexpr std::size_t kMaxFiles = 4;

    // The index of the file `path`, just opened with the stamp `stamp`: the
    // kept one when the file's stamp is unchanged; otherwise `build(index)`
    // reads the open file into a new index and answers whether it read the
    // whole file. `complete` tells whether the index covers the whole file.
    // The reference is valid until the next call.
    template <typename Build>
    const Index& get(const std::string& path, const plat::FileStamp& stamp, bool& complete,
                     Build&& build) {
        const bool keep = plat::lookupCachesEnabled();
        if (keep) {
            for (Entry& e : entries_) {
                if (e.path == path && e.stamp == stamp) {
                    complete = true;
                    return e.index;
                }
            }
        }
        Index index;
        complete = build(index);
        ++lookupIndexesBuilt();
        if (keep && complete && plat::settled(stamp, plat::realTimeNs())) {
            std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
            if (entries_.size() >= kMaxFiles) entries_.erase(entries_.begin());
            entries_.push_back(Entry{path, stamp, std::move(index)});
            return entries_.back().index;
        }
        scratch_ = std::move(index);
        return scratch_;
    }

    void clear() {
        entries_.clear();
        scratch_ = Index{};
    }

  private:
    struct Entry {
        std::string path;
        plat::FileStamp stamp;
        Index index;
    };
    std::vector<Entry> entries_;
    Index scratch_;
};

}  // namespace regfiles
