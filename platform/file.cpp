#include "platform/file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/paths.h"

namespace plat {
namespace {

long envNumber(const char* name) {
    const char* v = std::getenv(name);
    if (!v || !*v) return -1;
    char* end = nullptr;
    long n = std::strtol(v, &end, 10);
    return (end && *end == '\0' && n >= 0) ? n : -1;
}

// Writes that still succeed before the failures start (-1: no failures), and
// how many fail then (0: all of them).
std::atomic<long> g_writesLeft{envNumber("PELKO_FAIL_WRITE_AFTER")};
std::atomic<long> g_failuresLeft{std::max(0L, envNumber("PELKO_FAIL_WRITE_COUNT"))};
std::atomic<bool> g_limitedFailures{envNumber("PELKO_FAIL_WRITE_COUNT") > 0};

bool takeWriteBudget() {
    long left = g_writesLeft.load();
    if (left < 0) return true;
    if (left > 0) {
        g_writesLeft.store(left - 1);
        return true;
    }
    if (g_limitedFailures.load()) {
        long failures = g_failuresLeft.load();
        if (failures <= 1) g_writesLeft.store(-1);  // the last failing write
        g_failuresLeft.store(failures - 1);
    }
    return false;
}

bool processRuns(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH);
}

// Removes "<base>.~<pid>.tmp" files beside `target` whose process is gone.
void removeLeftOvers(const std::string& target) {
    const std::string dir = dirName(target);
    const std::string prefix = baseName(target) + ".~";
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0)
            continue;
        const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (!processRuns(std::stol(digits))) ::unlink(joinPath(dir, name).c_str());
    }
    ::closedir(d);
}

}  // namespace

void injectWriteFailureAfter(long n, long count) {
    g_failuresLeft.store(count > 0 ? count : 0);
    g_limitedFailures.store(count > 0);
    g_writesLeft.store(n < 0 ? -1 : n);
}

File::~File() {
    close();
}

File::File(File&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), stamp_(other.stamp_) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        stamp_ = other.stamp_;
        other.fd_ = -1;
    }
    return *this;
}

bool File::open(std::string_view path, Mode mode, Share share) {
    close();
    std::string resolved = resolveCase(path);
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::Append:
        case Mode::Create:
            flags |= O_RDWR | O_CREAT;
            break;
        case Mode::CreateNew:
            flags |= O_RDWR | O_CREAT | O_EXCL;
            break;
    }
    int fd = ::open(resolved.c_str(), flags, 0666);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    if (share == Share::Exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    // Emptying waits for the lock, so that a refused open never harms the
    // file another holder is writing.
    if (mode == Mode::Create && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    if (mode == Mode::Append && ::lseek(fd, 0, SEEK_END) < 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = std::move(resolved);
    stamp_ = stampOf(st);
    return true;
}

void File::close() {
    if (fd_ >= 0) {
        ::close(fd_);  // the lock goes with the descriptor
        fd_ = -1;
    }
}

bool File::write(std::string_view data) {
    return write(data.data(), data.size());
}

bool File::write(const void* data, std::size_t len) {
    if (fd_ < 0) return false;
    if (!takeWriteBudget()) {
        errno = ENOSPC;
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (len > 0) {
        ssize_t n = ::write(fd_, p, len);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        p += n;
        len -= static_cast<std::size_t>(n);
    }
    return true;
}

long File::read(void* buf, std::size_t len) {
    if (fd_ < 0) return -1;
    for (;;) {
        ssize_t n = ::read(fd_, buf, len);
        if (n < 0 && errno == EINTR) continue;
        return static_cast<long>(n);
    }
}

std::int64_t File::size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

bool File::truncate() {
    return fd_ >= 0 && ::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0;
}

bool File::seekEnd() {
    return fd_ >= 0 && ::lseek(fd_, 0, SEEK_END) >= 0;
}

bool File::seek(std::int64_t pos) {
    return fd_ >= 0 && ::lseek(fd_, pos, SEEK_SET) >= 0;
}

std::int64_t File::tell() const {
    return fd_ < 0 ? -1 : ::lseek(fd_, 0, SEEK_CUR);
}

bool readWholeFile(std::string_view path, std::string& out) {
    out.clear();
    File f;
    if (!f.open(path, File::Mode::Read, File::Share::Shared)) return false;
    char buf[65536];
    for (;;) {
        long n = f.read(buf, sizeof buf);
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

bool ReplacingFile::open(std::string_view path) {
    discard();
    failed_ = false;
    target_ = resolveCase(path);
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return false;
        char real[PATH_MAX + 1];
        if (::realpath(target_.c_str(), real)) target_ = real;
    }
    removeLeftOvers(target_);
    temp_ = target_ + ".~" + std::to_string(::getpid()) + ".tmp";
    if (!file_.open(temp_, File::Mode::Create, File::Share::Exclusive)) {
        temp_.clear();
        return false;
    }
    return true;
}

bool ReplacingFile::write(std::string_view data) {
    if (failed_ || !file_.isOpen()) return false;
    if (!file_.write(data)) failed_ = true;
    return !failed_;
}

bool ReplacingFile::commit(Durability durability) {
    if (!file_.isOpen()) return false;
    const bool synced = durability == Durability::Synced;
    bool ok = !failed_ && (!synced || ::fsync(file_.fd()) == 0);
    struct stat st {};
    if (ok && ::stat(target_.c_str(), &st) == 0) ok = ::fchmod(file_.fd(), st.st_mode & 07777) == 0;
    file_.close();
    if (ok) ok = ::rename(temp_.c_str(), target_.c_str()) == 0;
    if (ok) {
        // The rename itself reaches the disk with its directory.
        if (synced) {
            const std::string dir = dirName(target_);
            const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dfd >= 0) {
                (void)::fsync(dfd);
                ::close(dfd);
            }
        }
        temp_.clear();
        return true;
    }
    discard();
    return false;
}

void ReplacingFile::discard() {
    file_.close();
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool replaceFileContents(std::string_view path, std::string_view bytes, Durability durability) {
    ReplacingFile f;
    return f.open(path) && f.write(bytes) && f.commit(durability);
}

bool overwriteSameLength(std::string_view path, std::string_view expected, std::string_view bytes) {
    if (expected.size() != bytes.size()) return false;
    File f;
    if (!f.open(path, File::Mode::ReadWrite, File::Share::Shared)) return false;
    std::string now(expected.size() + 1, '\0');
    std::size_t got = 0;
    while (got < now.size()) {
        const long n = f.read(now.data() + got, now.size() - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got != expected.size() || std::string_view(now.data(), got) != expected) return false;
    std::size_t first = 0;
    while (first < bytes.size() && bytes[first] == expected[first]) ++first;
    if (first == bytes.size()) return true;
    std::size_t last = bytes.size();
    while (last > first && bytes[last - 1] == expected[last - 1]) --last;
    return f.seek(static_cast<std::int64_t>(first)) && f.write(bytes.substr(first, last - first));
}

bool syncFile(std::string_view path) {
    const std::string target = resolveCase(path);
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    // The directory holds the name: a file renamed into place is only there
    // after a power failure when the directory has reached the disk too.
    const std::string dir = dirName(target);
    const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ok = ::fsync(dfd) == 0 && ok;
        ::close(dfd);
    }
    return ok;
}

}  // namespace plat
