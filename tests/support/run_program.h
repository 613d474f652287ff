// Runs a program the way an installer would: in a directory of its own, with
// some environment variables set, its output caught.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

struct RunResult {
    int status = -1;  // exit status, 128+signal when killed
    std::string out, err;
};

struct RunOptions {
    std::string cwd;
    // Set for the program; value "" unsets. DISPLAY, WAYLAND_DISPLAY and
    // QT_QPA_PLATFORM are unset unless given here.
    std::vector<std::pair<std::string, std::string>> env;
    int signalAfterMs = -1;  // sends SIGTERM after this long (-1: never)
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                            const RunOptions& options) {
    char outName[] = "/tmp/pelko-run-out-XXXXXX";
    char errName[] = "/tmp/pelko-run-err-XXXXXX";
    int outFd = ::mkstemp(outName);
    int errFd = ::mkstemp(errName);
    RunResult result;
    pid_t pid = ::fork();
    if (pid == 0) {
        if (!options.cwd.empty() && ::chdir(options.cwd.c_str()) != 0) ::_exit(126);
        // Without a desktop unless the test gives one: a program built with
        // windows would otherwise open them (and wait for their boxes).
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ::unsetenv(display);
        for (const auto& [name, value] : options.env) {
            if (value.empty())
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
        int devnull = ::open("/dev/null", O_RDONLY);
        ::dup2(devnull, 0);
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    if (options.signalAfterMs >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options.signalAfterMs));
        ::kill(pid, SIGTERM);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.status = 128 + WTERMSIG(status);
    ::close(outFd);
    ::close(errFd);
    result.out = slurp(outName);
    result.err = slurp(errName);
    ::unlink(outName);
    ::unlink(errName);
    return result;
}

}  // namespace testsupport
