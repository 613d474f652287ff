// A pseudo-terminal pair for tests: the test keeps the master side and hands
// the slave's path to the code under test (for example as TARVIK_COM<n>).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace testsupport {

class PtyPair {
  public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            throw std::runtime_error("posix_openpt failed");
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) != 0)
            throw std::runtime_error("ptsname failed");
        slavePath_ = name;
        // Raw on both sides, so that bytes pass unchanged even before the code
        // under test sets the slave up.
        termios tio{};
        if (::tcgetattr(master_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(master_, TCSANOW, &tio);
        }
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    void write(std::string_view data) const {
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = ::write(master_, data.data() + done, data.size() - done);
            if (n <= 0) throw std::runtime_error("pty write failed");
            done += static_cast<std::size_t>(n);
        }
    }

    // Reads until `count` bytes came or `timeoutMs` passed; answers what came.
    std::string read(std::size_t count, int timeoutMs = 2000) const {
        std::string out;
        timespec start{};
        ::clock_gettime(CLOCK_MONOTONIC, &start);
        while (out.size() < count) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            const long elapsed =
                (now.tv_sec - start.tv_sec) * 1000L + (now.tv_nsec - start.tv_nsec) / 1000000L;
            if (elapsed >= timeoutMs) break;
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(timeoutMs - elapsed)) <= 0) break;
            char buf[4096];
            const std::size_t want =
                count - out.size() < sizeof buf ? count - out.size() : sizeof buf;
            const ssize_t n = ::read(master_, buf, want);
            if (n <= 0) break;
            out.append(buf, static_cast<std::size_t>(n));
        }
        return out;
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace testsupport
