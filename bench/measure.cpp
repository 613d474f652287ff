// bench-measure: runs a program several times and tells its wall-clock time
// and its peak memory (the largest resident set of any run, from the kernel's
// accounting of the ended child).
//
//   bench-measure [--repeat N] [--cd DIR] [--quiet] -- PROGRAM [ARG...]
//
// Prints one line:
//   runs=N median_ms=... min_ms=... max_ms=... cpu_ms=... maxrss_kb=... status=S
// (cpu_ms: the median of the processor time, user and system, of a run),
// where S is the exit status of the last run (or "signal:N"). With --quiet
// the program's standard output and standard error go to /dev/null.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

int main(int argc, char** argv) {
    int repeat = 1;
    std::string dir;
    bool quiet = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (a == "--repeat" && i + 1 < argc) {
            repeat = std::atoi(argv[++i]);
        } else if (a == "--cd" && i + 1 < argc) {
            dir = argv[++i];
        } else if (a == "--quiet") {
            quiet = true;
        } else {
            std::fprintf(stderr,
                         "usage: bench-measure [--repeat N] [--cd DIR] [--quiet] -- PROGRAM "
                         "[ARG...]\n");
            return 2;
        }
    }
    if (i >= argc || repeat < 1 || repeat > 1000) {
        std::fprintf(stderr, "bench-measure: nothing to run\n");
        return 2;
    }
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) {
        std::perror(("bench-measure: " + dir).c_str());
        return 2;
    }
    std::vector<double> ms, cpu;
    long maxRss = 0;
    std::string status = "0";
    for (int r = 0; r < repeat; ++r) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (quiet) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        const auto t0 = std::chrono::steady_clock::now();
        pid_t pid = 0;
        const int err = posix_spawnp(&pid, argv[i], &actions, nullptr, argv + i, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (err != 0) {
            std::fprintf(stderr, "bench-measure: %s: %s\n", argv[i], std::strerror(err));
            return 2;
        }
        int wstatus = 0;
        struct rusage usage {};
        while (::wait4(pid, &wstatus, 0, &usage) < 0) {
            if (errno != EINTR) {
                std::perror("bench-measure: wait4");
                return 2;
            }
        }
        const auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        maxRss = std::max(maxRss, usage.ru_maxrss);
        auto tvMs = [](const timeval& tv) {
            return static_cast<double>(tv.tv_sec) * 1e3 + static_cast<double>(tv.tv_usec) / 1e3;
        };
        cpu.push_back(tvMs(usage.ru_utime) + tvMs(usage.ru_stime));
        status = WIFEXITED(wstatus) ? std::to_string(WEXITSTATUS(wstatus))
                                    : "signal:" + std::to_string(WTERMSIG(wstatus));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    };
    std::printf(
        "runs=%zu median_ms=%.1f min_ms=%.1f max_ms=%.1f cpu_ms=%.1f maxrss_kb=%ld status=%s\n",
        ms.size(), median(ms), *std::min_element(ms.begin(), ms.end()),
        *std::max_element(ms.begin(), ms.end()), median(cpu), maxRss, status.c_str());
    return 0;
}
