#include "driver/link/ptext.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace tarvik {

namespace {

constexpr int kRates[9] = {9600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr speed_t kSpeeds[9] = {B9600, B1200, B2400, B4800, B9600, B19200, B38400, B57600, B115200};

// How long a write waits for DSR on a device that reports modem lines.
constexpr int kDsrWaitMs = 2000;

void sleepMs(int ms) {
    if (ms <= 0) return;
    timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

long monotonicMs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long>(ts.tv_sec) * 1000L + ts.tv_nsec / 1000000L;
}

}  // namespace

int baudRateForIndex(int baudIndex) {
    if (baudIndex < 0 || baudIndex > 8) baudIndex = 0;
    return kRates[baudIndex];
}

int baudIndexForRate(long rate) {
    for (int i = 1; i <= 8; ++i)
        if (kRates[i] == rate) return i;
    return 0;
}

std::string comDevicePath(int n) {
    if (n < 1) return {};
    const std::string var = "TARVIK_COM" + std::to_string(n);
    if (const char* v = ::getenv(var.c_str()); v && *v) return v;
    return "/dev/ttyS" + std::to_string(n - 1);
}

Ptext::~Ptext() {
    close();
}

int Ptext::open(int comNumber, int baudIndex) {
    close();
    const std::string path = comDevicePath(comNumber);
    if (path.empty()) return kPortOpenFailed;
    return openDevice(path, baudIndex);
}

int Ptext::openDevice(const std::string& path, int baudIndex) {
    close();
    // Non-blocking only for the open itself, so that a line without carrier
    // does not hold it up.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return kPortOpenFailed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return kPortOpenFailed;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return kPortSetupFailed;
    }
    fd_ = fd;
    path_ = path;
    noModemLines_ = false;
    dropTakenInput();
    if (applySettings(baudIndex) != kPortOk || ::tcflush(fd_, TCIOFLUSH) != 0) {
        ::close(fd_);
        fd_ = -1;
        path_.clear();
        return kPortSetupFailed;
    }
    // Where the driver supports it, hand over received bytes at once rather
    // than after the driver's own latency timer. Failures do not matter.
    serial_struct ss{};
    if (::ioctl(fd_, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        (void)::ioctl(fd_, TIOCSSERIAL, &ss);
    }
    return kPortOk;
}

int Ptext::applySettings(int baudIndex) {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return kPortSetupFailed;
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP | IGNPAR);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;  // reads return at once with what is waiting
    tio.c_cc[VTIME] = 0;
    if (baudIndex < 0 || baudIndex > 8) baudIndex = 0;
    const speed_t speed = kSpeeds[baudIndex];
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return kPortSetupFailed;
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return kPortSetupFailed;
    baudIndex_ = baudIndex;
    setModemLines(true);
    return kPortOk;
}

void Ptext::close() {
    if (fd_ < 0) return;
    ::tcflush(fd_, TCIFLUSH);
    ::close(fd_);  // releases the lock
    dropTakenInput();
    fd_ = -1;
    path_.clear();
}

int Ptext::setup(int baudIndex) {
    if (fd_ < 0) return kPortOpenFailed;
    const int rc = applySettings(baudIndex);
    ::tcflush(fd_, TCIFLUSH);
    dropTakenInput();
    return rc;
}

int Ptext::resetForRetry() {
    if (fd_ < 0) return kPortOpenFailed;
    ::tcflush(fd_, TCIOFLUSH);
    dropTakenInput();
    ::tcflow(fd_, TCOON);
    return applySettings(baudIndex_);
}

int Ptext::purge() {
    if (fd_ < 0) return kPortOpenFailed;
    dropTakenInput();
    return ::tcflush(fd_, TCIOFLUSH) == 0 ? kPortOk : kPortSetupFailed;
}

int Ptext::discardInput() {
    if (fd_ < 0) return kPortOpenFailed;
    dropTakenInput();
    return ::tcflush(fd_, TCIFLUSH) == 0 ? kPortOk : kPortSetupFailed;
}

int Ptext::sendByte(std::uint8_t b) {
    return sendBlock(&b, 1);
}

int Ptext::sendBlock(const std::uint8_t* data, std::size_t len) {
    if (fd_ < 0) return kPortWriteFailed;
    // Output flow control by DSR, where the device has modem lines. A device
    // that answers it has none (a pseudo-terminal) is not asked again.
    int lines = 0;
    const bool linesRead = !noModemLines_ && ::ioctl(fd_, TIOCMGET, &lines) == 0;
    if (!linesRead && !noModemLines_ && (errno == ENOTTY || errno == EINVAL)) noModemLines_ = true;
    if (linesRead && !(lines & TIOCM_DSR)) {
        const long until = monotonicMs() + kDsrWaitMs;
        while (!(lines & TIOCM_DSR)) {
            if (monotonicMs() >= until || ::ioctl(fd_, TIOCMGET, &lines) != 0) {
                ::tcflow(fd_, TCOON);
                return kPortWriteFailed;
            }
            if (!(lines & TIOCM_DSR)) sleepMs(5);
        }
    }
    std::size_t done = 0;
    while (done < len) {
        const ssize_t n = ::write(fd_, data + done, len - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ::tcflow(fd_, TCOON);
            return kPortWriteFailed;
        }
    }
    return kPortOk;
}

int Ptext::readByte(std::uint8_t& b) {
    if (fd_ < 0) return kPortNothingToRead;
    if (inPos_ == inLen_) {
        ssize_t n;
        while ((n = ::read(fd_, in_, sizeof in_)) < 0 && errno == EINTR) {
        }
        if (n <= 0) return kPortNothingToRead;
        inPos_ = 0;
        inLen_ = static_cast<std::size_t>(n);
    }
    b = in_[inPos_++];
    return kPortOk;
}

bool Ptext::waitReadable(int timeoutMs) {
    if (fd_ < 0) {
        sleepMs(timeoutMs);
        return false;
    }
    if (inPos_ < inLen_) return true;
    pollfd p{fd_, POLLIN, 0};
    const long start = monotonicMs();
    int rc;
    while ((rc = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs)) < 0 && errno == EINTR) {
    }
    if (rc <= 0) return false;
    if (!(p.revents & (POLLHUP | POLLERR | POLLNVAL))) return true;
    // A hung-up line may still hold bytes; otherwise sleep the wait out so
    // that a caller polling in a loop does not spin.
    int avail = 0;
    if (::ioctl(fd_, FIONREAD, &avail) == 0 && avail > 0) return true;
    sleepMs(timeoutMs - static_cast<int>(monotonicMs() - start));
    return false;
}

int Ptext::setModemLines(bool on) {
    if (fd_ < 0) return kPortOpenFailed;
    int bits = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);  // a pty has no modem lines
    return kPortOk;
}

int Ptext::outputQueueBytes() const {
    if (fd_ < 0) return -1;
    int n = 0;
    if (::ioctl(fd_, TIOCOUTQ, &n) != 0) return -1;
    return n;
}

}  // namespace tarvik
