// The ecr-sim program itself: its command line and a session over the
// pseudo-terminal it prints.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "sim_client.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

// The program running with its standard output and error on one pipe.
class Program {
  public:
    explicit Program(std::vector<std::string> args) {
        args.insert(args.begin(), ECR_SIM_PROGRAM);
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
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    // Output until `needle` appeared, the pipe closed or timeoutMs passed.
    std::string readUntil(const std::string& needle, int timeoutMs = 5000) {
        for (int waited = 0; text_.find(needle) == std::string::npos && waited < timeoutMs;
             waited += 50) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buf[4096];
            const ssize_t n = ::read(out_, buf, sizeof buf);
            if (n <= 0) break;
            text_.append(buf, static_cast<std::size_t>(n));
        }
        return text_;
    }
    void signal(int sig) { ::kill(pid_, sig); }
    // Exit status (or -1).
    int wait() {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string text_;
};

}  // namespace

TEST(SimProgram, CommandLine) {
    {
        Program p({"--help"});
        EXPECT_NE(p.readUntil("Faults").find("Usage: ecr-sim"), std::string::npos);
        EXPECT_EQ(p.wait(), 0);
    }
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{"--pty"}, 2, "--data DIR is needed"},
        {{"--bogus"}, 2, "unknown"},
        {{"--data"}, 2, "needs a value"},
        {{"--data", ECR_SIM_SAMPLE_DIR, "--drop", "1.5", "--pty"}, 2, "bad probability"},
        {{"--data", ECR_SIM_SAMPLE_DIR, "--registers", "0-3", "--pty"}, 2, "bad register list"},
        {{"--data", ECR_SIM_SAMPLE_DIR}, 1, "nothing to serve"},
        // Tools talk to loopback addresses only.
        {{"--data", ECR_SIM_SAMPLE_DIR, "--udp", "192.168.1.20:2030"}, 1, "not a loopback"},
        {{"--data", ECR_SIM_SAMPLE_DIR, "--udp", "127.0.0.250:0", "--registers", "1-9"},
         1,
         "no address"},
    };
    for (const auto& c : cases) {
        Program p(c.args);
        EXPECT_NE(p.readUntil(c.message).find(c.message), std::string::npos) << c.message;
        EXPECT_EQ(p.wait(), c.status) << c.message;
    }
}

TEST(SimProgram, ServesThePseudoTerminalItPrints) {
    testsupport::TempDir state;
    Program p(
        {"--data", ECR_SIM_SAMPLE_DIR, "--state", state.str(), "--pty", "--registers", "1-2"});
    const std::string out = p.readUntil("ready\n");
    const auto at = out.find("serial ");
    ASSERT_NE(at, std::string::npos) << out;
    const auto end = out.find(' ', at + 7);
    const std::string path = out.substr(at + 7, end - at - 7);
    EXPECT_NE(out.find("registers 1,2"), std::string::npos);

    testsupport::SerialClient client(path);
    ASSERT_TRUE(client.ok());
    EXPECT_EQ(client.request("D2000", 2), "2000;1;\"Chef\";0");
    EXPECT_EQ(client.request("T16340712022008", 2), std::string("\x06\x00", 2));
    p.signal(SIGTERM);
    EXPECT_NE(p.readUntil("answers").find("2 messages, 2 answers"), std::string::npos);
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(state.read("clock-02.txt"), "2008-02-12 16:34:07\n");
}
