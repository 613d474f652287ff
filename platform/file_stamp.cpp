#include "platform/file_stamp.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace plat {
namespace {

constexpr std::int64_t kNsPerSecond = 1000000000;
constexpr std::int64_t kWholeSecondMarginNs = 2500000000;
constexpr std::int64_t kFineMarginNs = 500000000;

std::int64_t nanoseconds(const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * kNsPerSecond + t.tv_nsec;
}

}  // namespace

FileStamp stampOf(const struct ::stat& st) {
    FileStamp s;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.modifiedNs = nanoseconds(st.st_mtim);
    s.changedNs = nanoseconds(st.st_ctim);
    return s;
}

namespace {

int& enabledState() {
    static int state = -1;  // -1: not read yet
    return state;
}

}  // namespace

std::optional<FileStamp> stampOf(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) return std::nullopt;
    return stampOf(st);
}

std::optional<FileStamp> stampOfPath(std::string_view path) {
    struct stat st {};
    const std::string p(path.empty() ? std::string_view(".") : path);
    if (::stat(p.c_str(), &st) != 0) return std::nullopt;
    return stampOf(st);
}

bool settled(const FileStamp& stamp, std::int64_t nowNs) {
    // Some file systems keep no status-change time of their own: the later
    // of the two times counts.
    const std::int64_t latest = std::max(stamp.modifiedNs, stamp.changedNs);
    const bool wholeSeconds = latest % kNsPerSecond == 0;
    return latest <= nowNs - (wholeSeconds ? kWholeSecondMarginNs : kFineMarginNs);
}

std::int64_t realTimeNs() {
    timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return nanoseconds(t);
}

bool lookupCachesEnabled() {
    int& state = enabledState();
    if (state < 0) {
        const char* v = std::getenv("PELKO_LOOKUP_CACHE");
        state = (v && std::strcmp(v, "0") == 0) ? 0 : 1;
    }
    return state == 1;
}

void setLookupCachesEnabled(bool enabled) {
    enabledState() = enabled ? 1 : 0;
}

}  // namespace plat
