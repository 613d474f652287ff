// bench-measure: runs a program several times and tells its wall-clock time
// and its peak memory (the largest resident set of any run, from the kernel's
// accounting of the ended child).
//
//   bench-measure [--repeat N] [--cd DIR] [--quiet] -- PROGRAM [ARG...]
//
// Prints one line:
//   runs=N median_ms=... min_ms=... max_ms=... cpu_ms=... maxrss_kb=...
//   maxanon_kb=... status=S
// (cpu_ms: the median of the processor time, user and system, of a run;
// maxrss_kb: the largest resident set of a run, pages of the program's and
// its libraries' files included, as the kernel accounts it; maxanon_kb: the
// largest private part of it seen, sampled every millisecond while the
// program runs),
// where S is the exit status of the last run (or "signal:N"). With --quiet
// the program's standard output and standard error go to /dev/null.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
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

namespace {

// RssAnon of /proc/<pid>/status: the resident memory that is the process's
// own (not pages of program and library files); 0 when it cannot be read.
long anonymousKb(const std::string& statusPath) {
    std::FILE* f = std::fopen(statusPath.c_str(), "r");
    if (!f) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "RssAnon: %ld kB", &kb) == 1) break;
    }
    std::fclose(f);
    return kb;
}

}  // namespace

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
    long maxAnon = 0;
    sigset_t childSignal;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    sigprocmask(SIG_BLOCK, &childSignal, nullptr);
    std::string status = "0";
    for (int r = 0; r < repeat; ++r) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (quiet) {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        // The program runs with no signal blocked.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
        const auto t0 = std::chrono::steady_clock::now();
        pid_t pid = 0;
        const int err = posix_spawnp(&pid, argv[i], &actions, &attr, argv + i, environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        if (err != 0) {
            std::fprintf(stderr, "bench-measure: %s: %s\n", argv[i], std::strerror(err));
            return 2;
        }
        int wstatus = 0;
        struct rusage usage {};
        // Until it ends, look at its private memory every millisecond.
        const std::string statusPath = "/proc/" + std::to_string(pid) + "/status";
        // SIGCHLD is blocked and waited for, so the end is seen at once.
        for (;;) {
            const pid_t done = ::wait4(pid, &wstatus, WNOHANG, &usage);
            if (done == pid) break;
            if (done < 0 && errno != EINTR) {
                std::perror("bench-measure: wait4");
                return 2;
            }
            maxAnon = std::max(maxAnon, anonymousKb(statusPath));
            const timespec pause{0, 1000000};
            (void)::sigtimedwait(&childSignal, nullptr, &pause);
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
        "runs=%zu median_ms=%.1f min_ms=%.1f max_ms=%.1f cpu_ms=%.1f maxrss_kb=%ld "
        "maxanon_kb=%ld status=%s\n",
        ms.size(), median(ms), *std::min_element(ms.begin(), ms.end()),
        *std::max_element(ms.begin(), ms.end()), median(cpu), maxRss, maxAnon, status.c_str());
    return 0;
}
