// The register simulator ecr-sim as a process of its own, for tests that run
// the built driver against it: started with the options of a test, its
// serial device or UDP port read from what it prints, killed at the end (or
// earlier, when a test makes the link disappear).
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace testsupport {

class SimulatorProcess {
  public:
    // `exe`: the ecr-sim program; `args`: its options (--data, --pty or
    // --udp 127.0.0.1:0, faults ...).
    SimulatorProcess(const std::string& exe, std::vector<std::string> args) {
        args.insert(args.begin(), exe);
        int fds[2];
        if (::pipe(fds) != 0) return;
        posix_spawn_file_actions_t fa;
        ::posix_spawn_file_actions_init(&fa);
        ::posix_spawn_file_actions_adddup2(&fa, fds[1], 1);
        ::posix_spawn_file_actions_adddup2(&fa, fds[1], 2);
        ::posix_spawn_file_actions_addclose(&fa, fds[0]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), environ) != 0) pid_ = -1;
        ::posix_spawn_file_actions_destroy(&fa);
        ::close(fds[1]);
        out_ = fds[0];
        for (int waited = 0; text_.find("ready\n") == std::string::npos && waited < 10000;
             waited += 50)
            drain(50);
        std::size_t at = text_.find("serial ");
        if (at != std::string::npos)
            device_ = text_.substr(at + 7, text_.find(' ', at + 7) - at - 7);
        at = text_.find("udp 127.0.0.1:");
        if (at != std::string::npos) port_ = std::stoi(text_.substr(at + 14));
    }
    ~SimulatorProcess() { kill(); }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    bool ready() const { return text_.find("ready\n") != std::string::npos; }
    const std::string& device() const { return device_; }  // the pseudo-terminal
    int port() const { return port_; }                     // the UDP port
    // What it printed so far (the summary comes when it ends).
    const std::string& output() {
        drain(0);
        return text_;
    }
    // The link disappears: the simulator is killed at once.
    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        if (out_ >= 0) {
            drain(0);
            ::close(out_);
            out_ = -1;
        }
    }
    // Ends it the polite way (SIGTERM), so that it prints its summary.
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            for (int i = 0; i < 100 && out_ >= 0; ++i) drain(20);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        kill();
    }

  private:
    void drain(int timeoutMs) {
        if (out_ < 0) return;
        pollfd p{out_, POLLIN, 0};
        while (::poll(&p, 1, timeoutMs) > 0) {
            char buf[4096];
            ssize_t n = ::read(out_, buf, sizeof buf);
            if (n <= 0) {
                ::close(out_);
                out_ = -1;
                return;
            }
            text_.append(buf, static_cast<std::size_t>(n));
            timeoutMs = 0;
        }
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string text_;
    std::string device_;
    int port_ = 0;
};

}  // namespace testsupport
