// The register simulator ecr-sim started by a test: it runs until the object
// goes (or stop()), and the places it listens are read from what it prints
// ("serial <path> ...", "udp <addr>:<port> register <n>", "ready").
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

class SimProcess {
  public:
    SimProcess(const std::string& exe, std::vector<std::string> args) {
        args.insert(args.begin(), exe);
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t fa;
        ::posix_spawn_file_actions_init(&fa);
        ::posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        ::posix_spawn_file_actions_adddup2(&fa, err[1], 2);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
        ::posix_spawn_file_actions_destroy(&fa);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
        ready_ = readUntil(out_, outText_, "ready\n", 10000);
    }
    ~SimProcess() {
        stop();
        if (out_ >= 0) ::close(out_);
        if (err_ >= 0) ::close(err_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ready() const { return ready_; }
    const std::string& startLines() const { return outText_; }

    // The pseudo-terminal it serves ("" without one).
    std::string serialPath() const {
        const auto p = outText_.find("serial ");
        if (p == std::string::npos) return {};
        const auto end = outText_.find(' ', p + 7);
        return outText_.substr(p + 7, end - p - 7);
    }
    // The UDP port of its registers (0 without UDP).
    int udpPort() const {
        const auto p = outText_.find("udp ");
        if (p == std::string::npos) return 0;
        const auto colon = outText_.find(':', p);
        return std::stoi(outText_.substr(colon + 1));
    }

    // Ends it (SIGTERM) and answers what it wrote to standard error (its
    // events and the closing summary).
    const std::string& stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            readUntil(err_, errText_, "\x01never", 5000);  // until the pipe closes
            int st = 0;
            ::waitpid(pid_, &st, 0);
            pid_ = -1;
        }
        return errText_;
    }

  private:
    // Reads from fd until `needle` appeared, the pipe closed or the time ran out.
    static bool readUntil(int fd, std::string& text, const std::string& needle, int timeoutMs) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (text.find(needle) == std::string::npos) {
            if (fd < 0 || std::chrono::steady_clock::now() > until) return false;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buf[4096];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n <= 0) return false;
            text.append(buf, static_cast<std::size_t>(n));
        }
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    bool ready_ = false;
    std::string outText_;
    std::string errText_;
};

}  // namespace testsupport
