// End-to-end: the built Tarvik runs command files in a temporary working
// directory, with a copy of the executable there (so that its message text
// file and default job log lie in the test's directory), a fixed clock and
// German regional settings.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/file.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

using testsupport::ChildOptions;
using testsupport::ChildProcess;
using testsupport::TempDir;

namespace {

// Date and time of every log line of a job that runs in under a second.
const std::string D = "12.02.2008;16:34:07;";
const std::string kStart = D + "START;\"<1.20> Session Started\";0;\"OK\"\r\n";
const std::string kEndOk = D + "END;\"Session Ended\";0;\"OK\"\r\n\r\n";

std::string line(const std::string& keyword, const std::string& value, int code,
                 const std::string& text) {
    return D + keyword + ";\"" + value + "\";" + std::to_string(code) + ";\"" + text + "\"\r\n";
}

class TarvikJob : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::copy_file(TARVIK_EXE, dir.file("Tarvik"));
        std::filesystem::create_directory(dir.path() / "LOG");
    }

    ChildOptions options(const char* locale = "de_DE.UTF-8") const {
        ChildOptions o;
        o.cwd = dir.str();
        // COM 3 is a device that does not exist: no test opens a real port.
        o.env = {{"PELKO_CLOCK", "2008-02-12 16:34:07"},
                 {"LC_ALL", locale},
                 {"TARVIK_COM3", dir.file("no-such-port")}};
        return o;
    }

    // Runs Tarvik with the command file job.cmd; answers its exit status.
    int run(const std::string& commands, const ChildOptions& opts) {
        dir.write("job.cmd", commands);
        ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, opts);
        int rc = p.wait();
        err = p.errText();
        return rc;
    }
    int run(const std::string& commands) { return run(commands, options()); }

    TempDir dir;
    std::string err;
};

}  // namespace

TEST_F(TarvikJob, CommandFilesGiveExactLogLinesAndEndFiles) {
    struct Case {
        const char* name;
        std::string commands;
        std::string log;      // LOG/job.LOG, or Tarvik.LOG for a job without PROCESS
        std::string endFile;  // "" when none is written
    };
    const std::string P = "PROCESS=LOG/job\r\n";
    const Case cases[] = {
        {"empty command file", "", kStart + kEndOk, ""},
        {"only comments", "; nothing\r\n\r\n", kStart + kEndOk, ""},
        {"only a PROCESS line: it runs as an unknown keyword", P,
         kStart + line("PROCESS", "LOG/job", 4, "Invalid Command") + kEndOk, ""},
        {"every keyword of a job without a link to a register",
         P + "ENDFILE=1\r\nWAIT=50\r\nport=3\r\nBAUDRATE=9600\r\nCOMMAND=D250\r\n"
             " PORT=1\r\nFILE=\r\nCLEARLOG=0\r\nCLEARLOG=x\r\nUPLOAD=VZIMMERS.CSV\r\n"
             "MODEMINIT=ATZ\r\nDIAL=ATD0123\r\nHANGUP=1\r\nIP=127.0.0.1\r\nBAUDRATE=1234\r\n"
             "PORT=9999\r\nPORT=70000\r\nREGISTER=3\r\nABORT=1\r\nABORT=0\r\nRESULT=0\r\n"
             "FAIL=0\r\nVISIBLE=0\r\nPROCESS=x\r\nFOO=1\r\nFOO\r\n=1\r\nWAIT=-5\r\n",
         kStart + line("ENDFILE", "1", 0, "OK") + line("WAIT", "50", 0, "OK") +
             line("PORT", "3", 3, "Error Opening COM port") + line("BAUDRATE", "9600", 0, "OK") +
             line("COMMAND", "D250", 10, "COM port not open") +
             line(" PORT", "1", 4, "Invalid Command") +
             line("FILE", "", 14, "Invalid Command Parameter") +
             line("UPLOAD", "VZIMMERS.CSV", 10, "COM port not open") +
             line("MODEMINIT", "ATZ", 10, "COM port not open") +
             line("DIAL", "ATD0123", 10, "COM port not open") +
             line("HANGUP", "1", 10, "COM port not open") + line("IP", "127.0.0.1", 0, "OK") +
             line("BAUDRATE", "1234", 14, "Invalid Command Parameter") +
             line("PORT", "9999", 0, "OK") + line("PORT", "70000", 3, "Error Opening COM port") +
             line("REGISTER", "3", 0, "OK") + line("ABORT", "1", 0, "OK") +
             line("ABORT", "0", 0, "OK") + line("RESULT", "0", 0, "OK") +
             line("FAIL", "0", 0, "OK") + line("VISIBLE", "0", 4, "Invalid Command") +
             line("PROCESS", "x", 4, "Invalid Command") + line("FOO", "1", 4, "Invalid Command") +
             line("FOO", "", 14, "Invalid Command Parameter") +
             line("", "1", 4, "Invalid Command") + line("WAIT", "-5", 0, "OK") + kEndOk,
         "000"},
        {"FAIL stops at the first failing command; the end line still shows 0",
         P + "ENDFILE=1\nFAIL=1\nWAIT=1\nCOMMAND=D250\nWAIT=1\n",
         kStart + line("ENDFILE", "1", 0, "OK") + line("FAIL", "1", 0, "OK") +
             line("WAIT", "1", 0, "OK") + line("COMMAND", "D250", 10, "COM port not open") + kEndOk,
         "010"},
        {"without FAIL a later command decides the end file; a login is logged in full",
         P + "ENDFILE=1\nCOMMAND=LI4711\nWAIT=1\n",
         kStart + line("ENDFILE", "1", 0, "OK") +
             line("COMMAND", "LI4711", 10, "COM port not open") + line("WAIT", "1", 0, "OK") +
             kEndOk,
         "000"},
        {"the last command's code goes into the end file", P + "ENDFILE=1\nCOMMAND=D250\n",
         kStart + line("ENDFILE", "1", 0, "OK") + line("COMMAND", "D250", 10, "COM port not open") +
             kEndOk,
         "010"},
        {"VISIBLE right after PROCESS is not logged; ENDFILE=0 writes none",
         P + "VISIBLE=0\nENDFILE=0\n", kStart + line("ENDFILE", "0", 0, "OK") + kEndOk, ""},
        {"a PROCESS line with an empty value keeps the driver's name", "PROCESS=\nWAIT=1\n",
         kStart + line("WAIT", "1", 0, "OK") + kEndOk, ""},
        {"CLEARLOG=1 empties the log and starts it with the code of the command before",
         P + "FOO=1\nCLEARLOG=1\nWAIT=1\n",
         D + "START;\"<1.20> Session Started\";4;\"Invalid Command\"\r\n" +
             line("WAIT", "1", 0, "OK") + kEndOk,
         ""},
        {"NUL bytes, binary bytes and a far too long line",
         P + "ENDFILE=1\n" + std::string("WA\0IT=1\n", 8) + "WAIT=\x01\xff\n" +
             "WAIT=" + std::string(3000, '1') + "\n" + std::string("\0\n", 2) + "RESULT=0\n",
         kStart + line("ENDFILE", "1", 0, "OK") + line("WA", "", 4, "Invalid Command") +
             line("WAIT", "\x01\xff", 0, "OK") + line("WAIT", std::string(1050, '1'), 0, "OK") +
             line("", "", 4, "Invalid Command") + line("RESULT", "0", 0, "OK") + kEndOk,
         "000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir.path() / "LOG");
        std::filesystem::create_directory(dir.path() / "LOG");
        std::filesystem::remove(dir.path() / "Tarvik.LOG");
        std::filesystem::remove(dir.path() / "Tarvik.END");
        EXPECT_EQ(run(c.commands), 0);
        bool named = c.commands.rfind("PROCESS=LOG/job", 0) == 0;
        EXPECT_EQ(dir.read(named ? "LOG/job.LOG" : "Tarvik.LOG"), c.log);
        std::string end = named ? "LOG/job.END" : "Tarvik.END";
        EXPECT_EQ(dir.exists(end), !c.endFile.empty());
        if (!c.endFile.empty()) {
            EXPECT_EQ(dir.read(end), c.endFile);
        }
        EXPECT_EQ(err, "");
    }
}

TEST_F(TarvikJob, JobsAppendToTheLogOfTheirProcessName) {
    dir.write("LOG/job.LOG", "earlier job\r\n");
    run("PROCESS=LOG/job\nWAIT=1\n");
    run("PROCESS=LOG/job\nWAIT=2\n");
    EXPECT_EQ(dir.read("LOG/job.LOG"), "earlier job\r\n" + kStart + line("WAIT", "1", 0, "OK") +
                                           kEndOk + kStart + line("WAIT", "2", 0, "OK") + kEndOk);
}

TEST_F(TarvikJob, CommandFileThatCannotBeOpened) {
    ChildProcess p(dir.file("Tarvik"), {"missing.cmd"}, options());
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(dir.read("Tarvik.LOG"),
              D + "START;\"<1.20> Session Started\";2;\"Error Opening Command File\"\r\n" + D +
                  "END;\"Session Ended\";2;\"Error Opening Command File\"\r\n\r\n");
    EXPECT_FALSE(dir.exists("Tarvik.END"));
}

TEST_F(TarvikJob, WithoutArgumentTheDriverReadsItsOwnCmdFile) {
    dir.write("Tarvik.CMD", "ENDFILE=1\nCOMMAND=D250\n");
    ChildProcess p(dir.file("Tarvik"), {}, options());
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(dir.read("Tarvik.END"), "010");
}

TEST_F(TarvikJob, JobLogThatCannotBeOpenedStopsTheJobSilently) {
    // Missing directory, and a log that another driver holds open.
    plat::File holder;
    dir.write("LOG/busy.LOG", "running job\r\n");
    ASSERT_TRUE(holder.open(dir.file("LOG/busy.LOG"), plat::File::Mode::Append));
    for (const char* process : {"nodir/job", "LOG/busy"}) {
        SCOPED_TRACE(process);
        EXPECT_EQ(run(std::string("PROCESS=") + process + "\nENDFILE=1\nNEWFILE=out.csv\n"), 0);
        EXPECT_FALSE(dir.exists(std::string(process) + ".END"));
        EXPECT_FALSE(dir.exists("out.csv"));  // no command ran
    }
    EXPECT_FALSE(dir.exists("nodir"));
    EXPECT_EQ(dir.read("LOG/busy.LOG"), "running job\r\n");
}

TEST_F(TarvikJob, OutputFilesOfAJob) {
    dir.write("keep.csv", "kept\r\n");
    dir.write("new.csv", "old contents\r\n");
    run("PROCESS=LOG/job\nENDFILE=1\nFILE=keep.csv\nNEWFILE=new.csv\nDFILE=dated.csv\n"
        "DBFILE=nodot\nFILE=empty.csv\nBNEWFILE=nodir/x.csv\n");
    EXPECT_EQ(dir.read("LOG/job.LOG"),
              kStart + line("ENDFILE", "1", 0, "OK") + line("FILE", "keep.csv", 0, "OK") +
                  line("NEWFILE", "new.csv", 0, "OK") + line("DFILE", "dated.csv", 0, "OK") +
                  line("DBFILE", "nodot", 0, "OK") + line("FILE", "empty.csv", 0, "OK") +
                  line("BNEWFILE", "nodir/x.csv", 7, "Error Opening File") + kEndOk);
    EXPECT_EQ(dir.read("LOG/job.END"), "007");
    EXPECT_EQ(dir.read("keep.csv"), "kept\r\n");
    EXPECT_EQ(dir.read("new.csv"), "");
    EXPECT_TRUE(dir.exists("empty.csv"));  // an empty FILE output stays
    // The dated files received no record and are gone.
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"LOG", "Tarvik", "Tarvik.TXT", "empty.csv",
                                               "job.cmd", "keep.csv", "new.csv"}));
}

TEST_F(TarvikJob, MessageTextFileBesideTheExecutable) {
    // Missing: created with the defaults.
    run("PROCESS=LOG/job\nWAIT=1\n");
    std::string defaults = dir.read("Tarvik.TXT");
    EXPECT_EQ(defaults.substr(0, 10), "1=Tarvik\r\n");
    EXPECT_NE(defaults.find("\r\n14=Invalid Command\r\n"), std::string::npos);

    // Present: its texts are used for the log and the result box.
    dir.write("Tarvik.TXT",
              "14=Ung\xc3\xbcltiger Befehl\r\n9=In Ordnung\r\n16=Sitzung begonnen\r\n"
              "17=" +
                  std::string(45, 'E') + "\r\n15=Fertig\r\n0=x\r\n51=y\r\n31=frei\r\n");
    run("PROCESS=LOG/j2\nRESULT=1\nFOO=1\n");
    EXPECT_EQ(dir.read("LOG/j2.LOG"), D + "START;\"<1.20> Sitzung begonnen\";0;\"In Ordnung\"\r\n" +
                                          D + "RESULT;\"1\";0;\"In Ordnung\"\r\n" +
                                          line("FOO", "1", 4, "Ung\xc3\xbcltiger Befehl") + D +
                                          "END;\"" + std::string(40, 'E') +
                                          "\";0;\"In Ordnung\"\r\n\r\n");
    EXPECT_EQ(err, "LOG/j2: Ung\xc3\xbcltiger Befehl\n");
}

TEST_F(TarvikJob, MessageTextFileThatCannotBeWrittenLeavesTheDefaults) {
    std::filesystem::create_directory(dir.path() / "Tarvik.TXT");
    run("PROCESS=LOG/job\nENDFILE=1\nFOO=1\n");
    EXPECT_EQ(dir.read("LOG/job.LOG"), kStart + line("ENDFILE", "1", 0, "OK") +
                                           line("FOO", "1", 4, "Invalid Command") + kEndOk);
    EXPECT_EQ(dir.read("LOG/job.END"), "004");
}

TEST_F(TarvikJob, RegionalDateFormat) {
    run("PROCESS=LOG/job\n", options("en_US.UTF-8"));
    EXPECT_EQ(dir.read("LOG/job.LOG").substr(0, 26), "02/12/2008;16:34:07;START;");
}

TEST_F(TarvikJob, ResultBoxWithoutTerminalGoesToStandardError) {
    run("PROCESS=LOG/job\nRESULT=1\nENDFILE=1\n");
    EXPECT_EQ(err, "LOG/job: Finished !\n");
    EXPECT_EQ(dir.read("LOG/job.END"), "000");
}

// --- with a terminal on standard error (a pseudo-terminal) ---

namespace {

class Pty {
  public:
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return;
        slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    }
    ~Pty() {
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
    }
    bool ok() const { return master >= 0 && slave >= 0; }

    // Reads what the program wrote until `text` appears or the time is up.
    bool waitFor(const std::string& text, int timeoutMs = 20000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (output.find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            struct pollfd p {
                master, POLLIN, 0
            };
            if (::poll(&p, 1, 50) > 0) {
                char buf[1024];
                ssize_t n = ::read(master, buf, sizeof buf);
                if (n > 0) output.append(buf, static_cast<std::size_t>(n));
            }
        }
        return true;
    }

    int master = -1;
    int slave = -1;
    std::string output;
};

}  // namespace

TEST_F(TarvikJob, CtrlCOnTheTerminalActsAsTheAbortButton) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    ChildOptions o = options();
    o.stderrFd = pty.slave;
    dir.write("job.cmd",
              "PROCESS=LOG/job\nENDFILE=1\nABORT=1\nWAIT=200\nWAIT=1500\nWAIT=10\nWAIT=10\n");
    ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, o);
    ASSERT_TRUE(pty.waitFor("LOG/job | Command :  | Status :  | Records :  | Ctrl-C: Abort"))
        << pty.output;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // inside WAIT=1500
    p.signal(SIGINT);
    EXPECT_EQ(p.wait(), 0);
    std::string log = dir.read("LOG/job.LOG");
    std::string expectedEnd = ";WAIT;\"10\";6;\"User Break\"\r\n";
    EXPECT_NE(log.find("WAIT;\"1500\";0;\"OK\"\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(expectedEnd), std::string::npos) << log;
    EXPECT_EQ(log.find("WAIT;\"10\";0"), std::string::npos) << log;  // the last WAIT did not run
    EXPECT_NE(log.find(";END;\"Session Ended\";6;\"User Break\"\r\n\r\n"), std::string::npos);
    EXPECT_EQ(dir.read("LOG/job.END"), "006");
}

TEST_F(TarvikJob, CtrlCIsIgnoredWhileNoAbortButtonIsShown) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    ChildOptions o = options();
    o.stderrFd = pty.slave;
    dir.write("job.cmd", "PROCESS=LOG/job\nENDFILE=1\nWAIT=200\nWAIT=1000\nWAIT=10\n");
    ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, o);
    ASSERT_TRUE(pty.waitFor("LOG/job | Command :")) << pty.output;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    p.signal(SIGINT);
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(dir.read("LOG/job.END"), "000");
    EXPECT_EQ(pty.output.find("Ctrl-C"), std::string::npos);
}

TEST_F(TarvikJob, InvisibleJobShowsNoStatusLine) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    ChildOptions o = options();
    o.stderrFd = pty.slave;
    dir.write("job.cmd", "PROCESS=LOG/job\nVISIBLE=0\nENDFILE=1\nWAIT=1\n");
    ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, o);
    EXPECT_EQ(p.wait(), 0);
    pty.waitFor("never", 200);
    EXPECT_EQ(pty.output, "");
    EXPECT_EQ(dir.read("LOG/job.END"), "000");
}

TEST_F(TarvikJob, ResultBoxOnATerminalWaitsForEnter) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    ChildOptions o = options();
    o.stderrFd = pty.slave;
    o.stdinFd = pty.slave;
    dir.write("job.cmd", "PROCESS=LOG/job\nVISIBLE=0\nENDFILE=1\nRESULT=1\nCOMMAND=D250\n");
    ChildProcess p(dir.file("Tarvik"), {"job.cmd"}, o);
    ASSERT_TRUE(pty.waitFor("LOG/job: COM port not open  [Enter]")) << pty.output;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // Until it is confirmed, neither the end line nor the end file is written.
    EXPECT_FALSE(dir.exists("LOG/job.END"));
    EXPECT_EQ(dir.read("LOG/job.LOG").find("END;"), std::string::npos);
    ASSERT_EQ(::write(pty.master, "\n", 1), 1);
    EXPECT_EQ(p.wait(), 0);
    EXPECT_EQ(dir.read("LOG/job.END"), "010");
}
