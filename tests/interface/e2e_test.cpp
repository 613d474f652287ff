// End to end: the built Pelko_Programm, copied into a program directory of
// its own (the settings file lives beside it), run without a window in a
// working directory, with a stand-in driver named Tarvik beside it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/ini.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

using testsupport::RunOptions;
using testsupport::RunResult;
using testsupport::TempDir;

namespace fs = std::filesystem;

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "prog");
        fs::create_directories(dir.path() / "w");
        fs::create_directories(dir.path() / "data");
        fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
    }
    void withDriver() { fs::copy_file(STANDIN_TARVIK_EXE, dir.path() / "prog" / "Tarvik"); }
    RunResult run(const std::vector<std::string>& args,
                  std::vector<std::pair<std::string, std::string>> env = {},
                  int signalAfterMs = -1) {
        RunOptions o;
        o.cwd = dir.file("w");
        o.env = {{"PELKO_CLOCK", "2026-12-11 12:00:00"},
                 {"LANG", "de_DE.UTF-8"},
                 {"LC_ALL", ""},
                 {"LC_TIME", ""},
                 {"PATH", "/usr/bin:/bin"},
                 {"STANDIN_DATA", dir.file("data")}};
        o.env.insert(o.env.end(), env.begin(), env.end());
        o.signalAfterMs = signalAfterMs;
        return testsupport::runProgram(dir.file("prog/Pelko_Programm"), args, o);
    }
    std::string ini() const { return dir.file("prog/Pelko_Programm.INI"); }
    std::string calls() const { return dir.read("w/standin_calls.txt"); }

    TempDir dir;
};

TEST_F(EndToEnd, WithoutArgumentsTheWindowNeedsTheDesktopBuild) {
    RunResult r = run({});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--headless"), std::string::npos);
    RunResult bad = run({"--run", "nothing"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("unbekanntes VERB"), std::string::npos);
    RunResult clock = run({"--headless", "--ticks", "1"}, {{"PELKO_CLOCK", "morgen"}});
    EXPECT_EQ(clock.status, 2);
    EXPECT_FALSE(dir.exists("prog/Pelko_Programm.INI"));
}

TEST_F(EndToEnd, SaveWritesTheSettingsBesideTheProgramAndTheCommandFilesInW) {
    RunResult r = run({"--run", "save"});
    EXPECT_EQ(r.status, 0) << r.err;
    // The only box: the missing help file, which is no failure.
    EXPECT_EQ(r.err, "Pelko-Programm: Hilfedatei nicht gefunden  " +
                         dir.file("prog/Pelko_Hilfe.html") + "\n");
    plat::IniFile settings(ini());
    EXPECT_EQ(settings.readString("Spezial", "ProcessTag", ""), "20261211");
    EXPECT_EQ(settings.readString("HOTEL", "HotelVerzeichnis", ""), dir.file("w"));
    EXPECT_EQ(dir.read("w/TK.DAT")
                  .substr(0, 40 + dir.file("w").size())
                  .find("PROCESS=" + dir.file("w") + "/LOG/20261211\r\n"),
              0u);
    EXPECT_TRUE(fs::is_directory(dir.path() / "w" / "LOG"));
}

TEST_F(EndToEnd, RoomReportRunsTheDriverAndPrintsTheStatusLine) {
    withDriver();
    ASSERT_EQ(run({"--run", "save"}).status, 0);
    RunResult failed = run({"--run", "room-report"}, {{"STANDIN_END", "005"}});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out,
              "Kommunikation mit Kasse am 11.12.2026 12:00:00   Kommunikations Fehler \n");
    EXPECT_EQ(calls(), "TK.DAT 2026-12-11 12:00:00\n");
    EXPECT_FALSE(dir.exists("w/LOG/20261211.END"));

    RunResult ok = run({"--run", "room-report"});
    EXPECT_EQ(ok.out, "Kommunikation mit Kasse am 11.12.2026 12:00:00   OK \n");
    // 0 exactly when the converter of the hotel software ran without a failure.
    bool failureShown = ok.err.find("Meldung: ") != std::string::npos;
    EXPECT_EQ(ok.status, failureShown ? 1 : 0) << ok.err;
}

TEST_F(EndToEnd, ADriverThatIsNowhereIsReported) {
    RunResult r = run({"--run", "room-report"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Meldung: Programm Tarvik kann nicht gestartet werden\n"),
              std::string::npos);
    EXPECT_EQ(r.out, "");
}

TEST_F(EndToEnd, ProgramFetchSizesTheTableAndWritesTheRoomNumberList) {
    withDriver();
    dir.write("data/VZ.CSV", "1;Zi 1;0;1;0\r\n2;Zi 2;0;1;0\r\n3;Zi 3;0;1;0\r\n");
    dir.write("w/VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n");
    RunResult r = run({"--run", "fetch-program"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(calls(), "TKZH.DAT 2026-12-11 12:00:00\n");
    EXPECT_EQ(plat::IniFile(ini()).readInteger("HOTEL", "AnzahlZimmer", 0), 4);
    EXPECT_EQ(dir.read("w/VZIMMER.CSV"), "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n3;Zi 3;;1;0\r\n");
    // write-room-list writes the same list from the table as loaded.
    fs::remove(dir.path() / "w" / "VZIMMER.CSV");
    dir.write("w/VZIMMER.CSV", "1;Zi 1;201;1;0\r\n");
    RunResult list = run({"--run", "write-room-list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(dir.read("w/VZIMMER.CSV"), "1;Zi 1;201;1;0\r\n2;Zi 2;;1;0\r\n3;Zi 3;;1;0\r\n");
}

TEST_F(EndToEnd, HeadlessTicksRunTheReportTimeOnTheVirtualClock) {
    withDriver();
    dir.write("prog/Pelko_Programm.INI",
              "[Spezial]\r\nProcessTag=20261211\r\n[ECR]\r\nZeit1=12:00:05\r\nZeit2=12:00:30\r\n");
    ASSERT_EQ(run({"--run", "save"}).status, 0);
    auto start = std::chrono::steady_clock::now();
    RunResult r = run({"--headless", "--ticks", "20"});
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(took, std::chrono::seconds(10));  // nothing waits on the virtual clock
    EXPECT_EQ(calls(), "TK.DAT 2026-12-11 12:00:05\n");
    EXPECT_EQ(r.out, "Kommunikation mit Kasse am 11.12.2026 12:00:05   OK \n");
}

TEST_F(EndToEnd, HeadlessRunsUntilTerminated) {
    RunResult r = run({"--headless"}, {{"PELKO_CLOCK", ""}}, 1500);
    EXPECT_EQ(r.status, 0);
    // No closing prompt: the only line is the missing help file.
    EXPECT_EQ(r.err.find("Programm Beenden"), std::string::npos);
}

TEST_F(EndToEnd, VerbsWithoutTheirConverterSaySo) {
    dir.write("prog/Pelko_Programm.INI", "[HOTEL]\r\nSoftware=3\r\n");
    RunResult r = run({"--run", "convert-revenue"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Meldung: Umsatz-Bericht gibt es nur mit Protel Hotelsoftware"),
              std::string::npos);
    RunResult rev = run({"--run", "revenue-report"});
    EXPECT_EQ(rev.status, 1);
    EXPECT_EQ(rev.out, "");
}

#if defined(TARVIK_EXE) && defined(ECR_SIM_EXE)

#include <poll.h>
#include <spawn.h>

extern char** environ;

namespace {

// The register simulator on a pseudo-terminal, serving the sample data.
class Simulator {
  public:
    explicit Simulator(const std::string& stateDir) {
        std::vector<std::string> args{ECR_SIM_EXE, "--data", ECR_SIM_SAMPLE_DIR,
                                      "--state",   stateDir, "--pty"};
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
        std::string text;
        for (int waited = 0; text.find("ready\n") == std::string::npos && waited < 5000;
             waited += 50) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buf[1024];
            ssize_t n = ::read(out_, buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<std::size_t>(n));
        }
        std::size_t at = text.find("serial ");
        if (at != std::string::npos) device_ = text.substr(at + 7, text.find(' ', at + 7) - at - 7);
    }
    ~Simulator() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    const std::string& device() const { return device_; }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string device_;
};

}  // namespace

TEST_F(EndToEnd, WithTheDriverAndASimulatedRegisterOnCom3) {
    fs::copy_file(TARVIK_EXE, dir.path() / "prog" / "Tarvik");
    Simulator sim(dir.str());
    ASSERT_FALSE(sim.device().empty());
    dir.write(
        "prog/Pelko_Programm.INI",
        "[HOTEL]\r\nSoftware=0\r\n[ECR]\r\nPort=3\r\nBaud=0\r\nKassenNr=1\r\nBerichtsNr=01\r\n");
    const std::vector<std::pair<std::string, std::string>> com3{{"TARVIK_COM3", sim.device()}};
    ASSERT_EQ(run({"--run", "save"}, com3).status, 0);

    RunResult fetch = run({"--run", "fetch-program"}, com3);
    EXPECT_EQ(fetch.status, 0) << fetch.err;
    EXPECT_EQ(fetch.out, "Kommunikation mit Kasse am 11.12.2026 12:00:00   OK \n");
    EXPECT_EQ(plat::IniFile(ini()).readInteger("HOTEL", "AnzahlZimmer", 0), 13);
    std::string list = dir.read("w/VZIMMER.CSV");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 12);
    EXPECT_EQ(list.substr(0, list.find('\n') + 1), "250;1;;0;\"Mueller\"\r\n");

    RunResult report = run({"--run", "room-report"}, com3);
    EXPECT_EQ(report.out, "Kommunikation mit Kasse am 11.12.2026 12:00:00   OK \n");
    bool failureShown = report.err.find("Meldung: ") != std::string::npos;
    EXPECT_EQ(report.status, failureShown ? 1 : 0) << report.err;
    EXPECT_GT(dir.read("w/VZimmerBericht.csv").size(), 100u);
    EXPECT_FALSE(dir.exists("w/LOG/20261211.END"));
    EXPECT_NE(dir.read("w/LOG/20261211.LOG").find("RUZ001001001"), std::string::npos);
}

#endif
