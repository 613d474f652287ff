#include "platform/file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/paths.h"

namespace plat {
namespace {

long initialWriteBudget() {
    const char* v = std::getenv("PELKO_FAIL_WRITE_AFTER");
    if (!v || !*v) return -1;
    char* end = nullptr;
    long n = std::strtol(v, &end, 10);
    return (end && *end == '\0' && n >= 0) ? n : -1;
}

std::atomic<long> g_writesLeft{initialWriteBudget()};

bool takeWriteBudget() {
    long left = g_writesLeft.load();
    if (left < 0) return true;
    if (left == 0) return false;
    g_writesLeft.store(left - 1);
    return true;
}

}  // namespace

void injectWriteFailureAfter(long n) { g_writesLeft.store(n < 0 ? -1 : n); }

File::~File() { close(); }

File::File(File&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

bool File::open(std::string_view path, Mode mode, Share share) {
    close();
    std::string resolved = resolveCase(path);
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read: flags |= O_RDONLY; break;
        case Mode::ReadWrite: flags |= O_RDWR; break;
        case Mode::Append:
        case Mode::Create: flags |= O_RDWR | O_CREAT; break;
        case Mode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
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
    return true;
}

void File::close() {
    if (fd_ >= 0) {
        ::close(fd_);  // the lock goes with the descriptor
        fd_ = -1;
    }
}

bool File::write(std::string_view data) { return write(data.data(), data.size()); }

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

bool File::truncate() { return fd_ >= 0 && ::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0; }

bool File::seekEnd() { return fd_ >= 0 && ::lseek(fd_, 0, SEEK_END) >= 0; }

bool File::seek(std::int64_t pos) { return fd_ >= 0 && ::lseek(fd_, pos, SEEK_SET) >= 0; }

std::int64_t File::tell() const { return fd_ < 0 ? -1 : ::lseek(fd_, 0, SEEK_CUR); }

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

bool replaceFileContents(std::string_view path, std::string_view bytes) {
    std::string target = resolveCase(path);
    struct stat st {};
    bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed) {
        if (!S_ISREG(st.st_mode)) return false;
        char real[PATH_MAX + 1];
        if (::realpath(target.c_str(), real)) target = real;
    }
    std::string temp = target + ".~" + std::to_string(::getpid()) + ".tmp";
    File f;
    if (!f.open(temp, File::Mode::Create, File::Share::Exclusive)) return false;
    bool ok = f.write(bytes) && ::fsync(f.fd()) == 0;
    if (ok && existed) ok = ::fchmod(f.fd(), st.st_mode & 07777) == 0;
    f.close();
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace plat
