#include "platform/paths.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/file_stamp.h"

namespace plat {
namespace {

std::string g_argv0;

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool pathExists(const std::string& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// The names in directory `dir`; false when it cannot be read.
bool listDirectory(const std::string& dir, std::vector<std::string>& names) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    while (dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
    return true;
}

// The names of the directories looked in last, kept while a directory's
// stamp is unchanged (a name added, removed or renamed moves its times): the
// converters open a name of another case for every line they convert.
struct Listing {
    std::string dir;
    FileStamp stamp;
    std::vector<std::string> names;
};
constexpr std::size_t kKeptListings = 8;
constexpr std::size_t kLargestKeptListing = 4096;

// The names in `dir`, from the kept listing when the directory is unchanged
// (`known`: its stamp, when the caller has just taken it).
bool namesIn(const std::string& dir, std::vector<std::string>& names,
             const std::optional<FileStamp>& known) {
    static std::vector<Listing> kept;
    const std::optional<FileStamp> stamp = !lookupCachesEnabled() ? std::nullopt
                                           : known                ? known
                                                                  : stampOfPath(dir);
    if (stamp) {
        for (const Listing& l : kept) {
            if (l.dir == dir && l.stamp == *stamp) {
                names = l.names;
                return true;
            }
        }
    }
    if (!listDirectory(dir, names)) return false;
    if (stamp && names.size() <= kLargestKeptListing && settled(*stamp, realTimeNs())) {
        std::erase_if(kept, [&](const Listing& l) { return l.dir == dir; });
        if (kept.size() >= kKeptListings) kept.erase(kept.begin());
        kept.push_back(Listing{dir, *stamp, names});
    }
    return true;
}

// Finds `name` in directory `dir` ignoring ASCII case; first match in byte order.
std::optional<std::string> findIgnoringCase(const std::string& dir, std::string_view name,
                                            const std::optional<FileStamp>& dirStamp = {}) {
    std::vector<std::string> names;
    if (!namesIn(dir, names, dirStamp)) return std::nullopt;
    const std::string* best = nullptr;
    for (const std::string& n : names)
        if (equalsIgnoreCase(n, name) && (!best || n < *best)) best = &n;
    if (!best) return std::nullopt;
    return *best;
}

}  // namespace

void setArgv0(const char* argv0) { g_argv0 = argv0 ? argv0 : ""; }

std::string executablePath() {
    char buf[PATH_MAX + 1];
    ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n > 0) return std::string(buf, static_cast<size_t>(n));
    if (!g_argv0.empty()) {
        char real[PATH_MAX + 1];
        if (::realpath(g_argv0.c_str(), real)) return real;
        return g_argv0;
    }
    return {};
}

std::string changeExtension(std::string_view path, std::string_view ext) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
        path = path.substr(0, dot);
    }
    std::string out(path);
    out += ext;
    return out;
}

std::string siblingWithExtension(std::string_view ext) {
    return changeExtension(executablePath(), ext);
}

std::string dirName(std::string_view path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string baseName(std::string_view path) {
    size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string joinPath(std::string_view dir, std::string_view name) {
    if (dir.empty()) return std::string(name);
    if (!name.empty() && name.front() == '/') return std::string(name);
    std::string out(dir);
    if (out.back() != '/') out += '/';
    out += name;
    return out;
}

std::string resolveCase(std::string_view path) {
    std::string p(path);
    if (p.empty() || pathExists(p)) return p;
    // Mostly only the last name differs in case (a file in a directory that
    // exists as written): when everything before the last name exists as
    // written, so does every part of it, and only the last name is looked up.
    const size_t lastEnd = p.find_last_not_of('/');
    const size_t lastStart = lastEnd == std::string::npos ? 0 : p.find_last_of('/', lastEnd);
    const std::optional<FileStamp> prefix = lastStart != std::string::npos && lastStart > 0
                                                ? stampOfPath(p.substr(0, lastStart))
                                                : std::nullopt;
    const bool prefixExists = prefix.has_value();
    std::string out;
    size_t pos = 0;
    if (p.front() == '/') {
        out = "/";
        pos = 1;
    }
    while (pos <= p.size()) {
        size_t next = p.find('/', pos);
        if (next == std::string::npos) next = p.size();
        std::string comp = p.substr(pos, next - pos);
        if (!comp.empty()) {
            std::string candidate = out.empty() ? comp : joinPath(out, comp);
            // The whole path is known to be missing (looked at first).
            const bool known = prefixExists && next <= lastStart;
            const bool missing = !known && (candidate == p || !pathExists(candidate));
            if (comp != "." && comp != ".." && missing) {
                if (auto hit = findIgnoringCase(out, comp, known ? std::nullopt : prefix)) {
                    candidate = out.empty() ? *hit : joinPath(out, *hit);
                }
            }
            out = std::move(candidate);
        }
        if (next == p.size()) break;
        pos = next + 1;
    }
    if (!p.empty() && p.back() == '/' && !out.empty() && out.back() != '/') out += '/';
    return out;
}

bool fileExists(std::string_view path) {
    struct stat st {};
    return ::stat(resolveCase(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool directoryExists(std::string_view path) {
    struct stat st {};
    return ::stat(resolveCase(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::int64_t> fileSize(std::string_view path) {
    struct stat st {};
    if (::stat(resolveCase(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

bool removeFile(std::string_view path) { return ::unlink(resolveCase(path).c_str()) == 0; }

bool makeDirectory(std::string_view path) {
    if (directoryExists(path)) return true;
    return ::mkdir(resolveCase(path).c_str(), 0777) == 0 || directoryExists(path);
}

std::optional<std::int32_t> dosDateStamp(std::string_view path) {
    struct stat st {};
    if (::stat(resolveCase(path).c_str(), &st) != 0) return std::nullopt;
    time_t t = st.st_mtime;
    struct tm lt {};
    ::localtime_r(&t, &lt);
    std::uint32_t date = static_cast<std::uint32_t>(((lt.tm_year + 1900 - 1980) << 9) |
                                                    ((lt.tm_mon + 1) << 5) | lt.tm_mday);
    std::uint32_t time =
        static_cast<std::uint32_t>((lt.tm_hour << 11) | (lt.tm_min << 5) | (lt.tm_sec / 2));
    return static_cast<std::int32_t>((date << 16) | time);
}

std::string currentDirectory() {
    char buf[PATH_MAX + 1];
    if (::getcwd(buf, sizeof buf)) return buf;
    return {};
}

bool changeDirectory(std::string_view path) {
    // A directory that exists as written needs no resolution (the program
    // makes its working directory current again after every lookup).
    const std::string p(path);
    if (!p.empty() && ::chdir(p.c_str()) == 0) return true;
    return ::chdir(resolveCase(path).c_str()) == 0;
}

}  // namespace plat
