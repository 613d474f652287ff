// What identifies the contents of a file without reading it, and when that
// identification can be trusted. The lookups of the interface program keep
// what they learnt from a file (an index of a table, the names in a
// directory) and use it again only while the file's stamp is the same.
//
// A stamp is the device and inode, the size, the modification time and the
// status-change time (in nanoseconds). Every write moves the modification
// and the status-change time; nobody can set the status-change time back,
// and a file renamed into place has another inode.
//
// A stamp taken right after a change cannot be trusted yet: a second change
// within the same tick of the file system's clock would leave it as it was.
// A file counts as settled when the later of its two times lies 0.5 s back,
// or 2.5 s for times of whole seconds (FAT and some network shares count in
// 2 s); a time in the future (a share whose clock is ahead) is never
// settled. Only what was read from a settled file is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct stat;

namespace plat {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // modification time, ns since the epoch
    std::int64_t changedNs = 0;   // status-change time
    bool operator==(const FileStamp&) const = default;
};

// The stamp of what fstat or stat gave.
FileStamp stampOf(const struct ::stat& st);
// The stamp of an open file, or of a path (symbolic links followed); nothing
// when it cannot be taken.
std::optional<FileStamp> stampOf(int fd);
std::optional<FileStamp> stampOfPath(std::string_view path);

// Whether a later change of the file is sure to give it another stamp.
bool settled(const FileStamp& stamp, std::int64_t nowNs);
// The real time in ns since the epoch (never the virtual clock: file times
// are real).
std::int64_t realTimeNs();

// Whether lookups keep what they learnt from files: on unless the
// environment variable PELKO_LOOKUP_CACHE is "0" (read once; every lookup
// then reads its file from the start, for comparison). Tests switch it.
bool lookupCachesEnabled();
void setLookupCachesEnabled(bool enabled);

}  // namespace plat
