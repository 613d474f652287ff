// Starting a built program for an end-to-end test: its own working directory,
// extra environment, standard input and error of the test's choice, and its
// standard error captured when the test gives none.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct ChildOptions {
    std::string cwd;
    // Variables to set; a value of std::nullopt removes the variable.
    std::vector<std::pair<std::string, std::optional<std::string>>> env;
    int stdinFd = -1;   // -1: /dev/null
    int stderrFd = -1;  // -1: captured through a pipe (see ChildProcess::errText)
};

class ChildProcess {
  public:
    ChildProcess(const std::string& exe, const std::vector<std::string>& args,
                 const ChildOptions& opts) {
        int pipeFds[2] = {-1, -1};
        if (opts.stderrFd < 0 && ::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork");
        if (pid_ == 0) {
            if (!opts.cwd.empty() && ::chdir(opts.cwd.c_str()) != 0) ::_exit(126);
            // Without a desktop unless the test gives one: a program built
            // with windows would otherwise open them (and wait for their boxes).
            for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                ::unsetenv(display);
            for (const auto& [name, value] : opts.env) {
                if (value)
                    ::setenv(name.c_str(), value->c_str(), 1);
                else
                    ::unsetenv(name.c_str());
            }
            int in = opts.stdinFd >= 0 ? opts.stdinFd : ::open("/dev/null", O_RDONLY);
            ::dup2(in, 0);
            ::dup2(opts.stderrFd >= 0 ? opts.stderrFd : pipeFds[1], 2);
            int out = ::open("/dev/null", O_WRONLY);
            ::dup2(out, 1);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(exe.c_str()));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(exe.c_str(), argv.data());
            ::_exit(127);
        }
        if (pipeFds[1] >= 0) ::close(pipeFds[1]);
        errFd_ = pipeFds[0];
    }
    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int st;
            ::waitpid(pid_, &st, 0);
        }
        if (errFd_ >= 0) ::close(errFd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void signal(int sig) { ::kill(pid_, sig); }

    // Waits for the end; the exit status, 128+signal when killed, -1 when the
    // time ran out (the program is then killed).
    int wait(int timeoutMs = 30000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            drain(10);
            int st = 0;
            pid_t r = ::waitpid(pid_, &st, WNOHANG);
            if (r == pid_) {
                pid_ = -1;
                drain(0);
                return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &st, 0);
                pid_ = -1;
                return -1;
            }
        }
    }

    const std::string& errText() const { return err_; }

  private:
    void drain(int timeoutMs) {
        if (errFd_ < 0) {
            if (timeoutMs > 0) ::usleep(static_cast<useconds_t>(timeoutMs) * 1000);
            return;
        }
        struct pollfd p {
            errFd_, POLLIN, 0
        };
        while (::poll(&p, 1, timeoutMs) > 0) {
            char buf[4096];
            ssize_t n = ::read(errFd_, buf, sizeof buf);
            if (n <= 0) {
                ::close(errFd_);
                errFd_ = -1;
                return;
            }
            err_.append(buf, static_cast<std::size_t>(n));
            timeoutMs = 0;
        }
    }

    pid_t pid_ = -1;
    int errFd_ = -1;
    std::string err_;
};

}  // namespace testsupport
