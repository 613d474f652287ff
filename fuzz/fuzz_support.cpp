#include "fuzz/fuzz_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/fuzz_replay.h"

namespace fuzzsupport {
namespace {

// Removes the directory tree at `path` (no symbolic links are followed).
void removeTree(const std::string& path, bool keepTop) {
    if (DIR* d = ::opendir(path.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            const std::string child = path + "/" + name;
            struct stat st {};
            if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                removeTree(child, false);
            else
                ::unlink(child.c_str());
        }
        ::closedir(d);
    }
    if (!keepTop) ::rmdir(path.c_str());
}

std::string& scratchPath() {
    static std::string path;
    return path;
}

void removeScratchAtExit() {
    if (!scratchPath().empty()) removeTree(scratchPath(), false);
}

}  // namespace

std::vector<Target>& targets() {
    static std::vector<Target> all;
    return all;
}

bool registerTarget(const char* name, TargetFn fn) {
    targets().push_back({name, fn});
    return true;
}

std::vector<std::string>& replayFailures() {
    static std::vector<std::string> failures;
    return failures;
}

void fail(const char* file, int line, const char* what) {
    const std::string text = std::string(file) + ":" + std::to_string(line) + ": " + what;
#ifdef PELKO_FUZZ_REPLAY
    replayFailures().push_back(text);
#else
    std::fprintf(stderr, "broken rule: %s\n", text.c_str());
    std::abort();
#endif
}

const std::string& scratchDir() {
    std::string& path = scratchPath();
    if (path.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/pelko-fuzz-XXXXXX";
        if (!::mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = tmpl;
        std::atexit(removeScratchAtExit);
    }
    return path;
}

std::string scratchFile(std::string_view name) {
    return scratchDir() + "/" + std::string(name);
}

std::string writeScratch(std::string_view name, std::string_view bytes) {
    const std::string path = scratchFile(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            std::perror(path.c_str());
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return path;
}

void clearScratch() {
    removeTree(scratchDir(), true);
}

std::vector<std::string_view> splitParts(std::string_view input, std::size_t n) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < n) {
        const std::size_t at = input.find(kPartMarker);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + kPartMarker.size());
    }
    parts.push_back(input);
    while (parts.size() < n) parts.push_back({});
    return parts;
}

}  // namespace fuzzsupport
