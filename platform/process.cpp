#include "platform/process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"

extern char** environ;

namespace plat {
namespace {

bool isExecutable(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(p.c_str(), X_OK) == 0;
}

}  // namespace

std::string findProgram(const std::string& name, const std::string& workDir) {
    if (name.find('/') != std::string::npos) return isExecutable(name) ? name : std::string{};
    std::string beside = resolveCase(joinPath(dirName(executablePath()), name));
    if (isExecutable(beside)) return beside;
    std::string inWork = resolveCase(joinPath(workDir, name));
    if (isExecutable(inWork)) return inWork;
    const char* path = std::getenv("PATH");
    std::string rest = path ? path : "";
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t next = rest.find(':', pos);
        if (next == std::string::npos) next = rest.size();
        std::string dir = rest.substr(pos, next - pos);
        if (!dir.empty()) {
            std::string cand = joinPath(dir, name);
            if (isExecutable(cand)) return cand;
        }
        pos = next + 1;
    }
    return {};
}

int runAndWait(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 29))
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
#else
#error "posix_spawn_file_actions_addchdir_np is required"
#endif
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace plat
