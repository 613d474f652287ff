#include "platform/paths.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

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

// Finds `name` in directory `dir` ignoring ASCII case; first match in byte order.
std::optional<std::string> findIgnoringCase(const std::string& dir, std::string_view name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::vector<std::string> hits;
    while (dirent* e = ::readdir(d)) {
        if (equalsIgnoreCase(e->d_name, name)) hits.emplace_back(e->d_name);
    }
    ::closedir(d);
    if (hits.empty()) return std::nullopt;
    return *std::min_element(hits.begin(), hits.end());
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
            if (comp != "." && comp != ".." && !pathExists(candidate)) {
                if (auto hit = findIgnoringCase(out, comp)) {
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
    return ::chdir(resolveCase(path).c_str()) == 0;
}

}  // namespace plat
