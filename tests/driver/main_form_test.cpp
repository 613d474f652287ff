// The job run inside the test process: output files, the status window's
// events (Abort, dragging) and the VISIBLE line.
#include "driver/main_form.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <regex>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "support/temp_dir.h"

using namespace tarvik;
using testsupport::TempDir;

namespace {

struct FakeFrontEnd : StatusFrontEnd {
    int prepares = 0, shows = 0, closes = 0, events = 0;
    std::function<void(StatusWindow&, int)> onEvents;  // called with the call number
    std::string boxCaption, boxText;
    bool boxStop = false;
    int eventsAtClose = -1;

    void prepare(const StatusWindow&) override { ++prepares; }
    void show(const StatusWindow&) override { ++shows; }
    void processEvents(StatusWindow& w) override {
        ++events;
        if (onEvents) onEvents(w, events);
    }
    void close(const StatusWindow&) override {
        ++closes;
        eventsAtClose = events;
    }
    void resultBox(std::string_view caption, std::string_view text, bool stop) override {
        boxCaption = caption;
        boxText = text;
        boxStop = stop;
    }
};

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("PELKO_CLOCK", "2008-02-12 16:34:07", 1);
        ::setenv("LC_ALL", "de_DE.UTF-8", 1);
        plat::resetClock();
        plat::reloadRegional();
    }
    void TearDown() override {
        ::unsetenv("PELKO_CLOCK");
        ::unsetenv("LC_ALL");
        plat::resetClock();
        plat::reloadRegional();
    }

    // Runs a job whose command file starts with PROCESS=<dir>/job.
    std::string runJob(const std::string& commands) {
        dir.write("job.cmd", "PROCESS=" + dir.file("job") + "\n" + commands);
        TMainForm form(dir.file("Tarvik"), dir.file("job.cmd"), fe);
        form.runJob();
        finalStatus = form.status();
        return dir.read("job.LOG");
    }

    TempDir dir;
    FakeFrontEnd fe;
    int finalStatus = -1;
};

// The log lines after the start line, without date and time.
std::string commandLines(const std::string& log) {
    static const std::regex stamp("^12\\.02\\.2008;16:34:07;");
    std::string out;
    std::size_t pos = log.find("\r\n") + 2;
    while (pos < log.size()) {
        std::size_t end = log.find("\r\n", pos);
        std::string line = log.substr(pos, end - pos);
        pos = end + 2;
        if (line.empty()) continue;
        out += std::regex_replace(line, stamp, "") + "\n";
    }
    return out;
}

}  // namespace

TEST_F(MainFormTest, FileAppendsNewFileReplacesAndRecordsGetTheirLineEnd) {
    dir.write("a.csv", "old\r\n");
    dir.write("b.csv", "old\r\n");
    TMainForm form(dir.file("Tarvik"), std::nullopt, fe);
    form.openOutputFile("FILE", dir.file("A.CSV"));  // the existing file in another case
    EXPECT_EQ(form.status(), kOk);
    EXPECT_FALSE(form.offsetEncoding());
    EXPECT_TRUE(form.writeRecord("new"));
    form.openOutputFile("NEWFILE", dir.file("b.csv"));
    EXPECT_TRUE(form.writeRecord("1;2"));
    form.openOutputFile("BNEWFILE", dir.file("c.csv"));
    EXPECT_TRUE(form.offsetEncoding());
    EXPECT_TRUE(form.writeRecord("01"));
    form.openOutputFile("BFILE", dir.file("c.csv"));
    EXPECT_TRUE(form.writeRecord("2"));
    form.closeOutputFile();
    EXPECT_FALSE(form.writeRecord("x"));
    EXPECT_EQ(dir.read("a.csv"), "old\r\nnew\r\n");
    EXPECT_EQ(dir.read("b.csv"), "1;2\r\n");
    EXPECT_EQ(dir.read("c.csv"), std::string("\x00\x01\xdd\xda\x02\xdd\xda", 7));
}

TEST_F(MainFormTest, OutputFileThatCannotBeOpened) {
    TMainForm form(dir.file("Tarvik"), std::nullopt, fe);
    struct Case {
        const char* keyword;
        std::string name;
        bool offset;
    };
    plat::File holder;  // a file another open holds cannot be opened (not shared)
    ASSERT_TRUE(holder.open(dir.file("held.csv"), plat::File::Mode::Append));
    const Case cases[] = {
        {"FILE", dir.file("nodir/out.csv"), false},
        {"BNEWFILE", dir.file("nodir/out.csv"), true},
        {"DBFILE", dir.file("nodir/out.csv"), true},
        {"NEWFILE", dir.file("held.csv"), false},
        {"FILE", dir.str(), false},  // a directory
    };
    for (const Case& c : cases) {
        form.setStatus(kOk);
        form.openOutputFile(c.keyword, c.name);
        EXPECT_EQ(form.status(), kErrorOpeningFile) << c.keyword << " " << c.name;
        EXPECT_FALSE(form.outputFileOpen());
        EXPECT_EQ(form.offsetEncoding(), c.offset) << c.keyword;
    }
}

TEST_F(MainFormTest, DatedFilesAreNewAndDeletedWhenEmpty) {
    TMainForm form(dir.file("Tarvik"), std::nullopt, fe);
    form.openOutputFile("DFILE", dir.file("VEJournal1.csv"));
    EXPECT_EQ(form.outputFileName(), dir.file("VEJournal1_080212_163407.csv"));
    EXPECT_TRUE(form.dated());
    EXPECT_TRUE(form.writeRecord("r"));
    form.closeOutputFile();  // with a record: kept
    EXPECT_EQ(dir.read("VEJournal1_080212_163407.csv"), "r\r\n");

    // The name exists now: the next one waits 1100 ms for a new second.
    std::uint64_t start = plat::tickCount();
    form.openOutputFile("DBFILE", dir.file("VEJournal1.csv"));
    EXPECT_GE(plat::tickCount() - start, 1100u);
    EXPECT_TRUE(form.offsetEncoding());
    EXPECT_TRUE(std::regex_match(form.outputFileName(),
                                 std::regex(".*/VEJournal1_080212_1634(08|09)\\.csv")))
        << form.outputFileName();
    std::string second = form.outputFileName();
    EXPECT_TRUE(plat::fileExists(second));
    form.closeOutputFile();  // empty: deleted
    EXPECT_FALSE(plat::fileExists(second));
    EXPECT_EQ(dir.read("VEJournal1_080212_163407.csv"), "r\r\n");

    // An empty FILE output stays.
    form.openOutputFile("FILE", dir.file("plain.csv"));
    form.closeOutputFile();
    EXPECT_TRUE(dir.exists("plain.csv"));
}

TEST_F(MainFormTest, AbortPressedDuringACommandEndsTheRunAtTheNextStep) {
    // processEvents calls: 1 before ENDFILE, 2 before ABORT, 3 inside ABORT,
    // 4 before the first WAIT.
    fe.onEvents = [](StatusWindow& w, int call) {
        if (call == 4 && w.abortShown()) w.B_abortClick();
    };
    std::string log = runJob("ENDFILE=1\nABORT=1\nWAIT=1\nWAIT=1\n");
    EXPECT_EQ(commandLines(log),
              "ENDFILE;\"1\";0;\"OK\"\n"
              "ABORT;\"1\";0;\"OK\"\n"
              "WAIT;\"1\";6;\"User Break\"\n"
              "END;\"Session Ended\";6;\"User Break\"\n");
    EXPECT_EQ(dir.read("job.END"), "006");
    EXPECT_EQ(finalStatus, kUserBreak);
}

TEST_F(MainFormTest, JobDoesNotEndWhileTheWindowIsDragged) {
    fe.onEvents = [](StatusWindow& w, int call) {
        if (call == 2) w.FormStartDock();
        if (call == 8) w.FormEndDock();
    };
    runJob("WAIT=0\n");  // events: 1 before WAIT, 2 after the loop, then 10 ms steps
    EXPECT_EQ(fe.closes, 1);
    EXPECT_EQ(fe.eventsAtClose, 8);
}

TEST_F(MainFormTest, VisibleLineRightAfterProcessOnly) {
    std::string log = runJob("VISIBLE=0\nRESULT=1\nVISIBLE=0\n");
    EXPECT_EQ(fe.prepares, 0);
    EXPECT_EQ(fe.shows, 0);
    EXPECT_EQ(commandLines(log),
              "RESULT;\"1\";0;\"OK\"\n"
              "VISIBLE;\"0\";4;\"Invalid Command\"\n"
              "END;\"Session Ended\";0;\"OK\"\n");
    EXPECT_EQ(fe.boxCaption, dir.file("job"));
    EXPECT_EQ(fe.boxText, "Invalid Command");
    EXPECT_TRUE(fe.boxStop);
}

TEST_F(MainFormTest, VisibleThatIsNoNumberCountsAsVisible) {
    std::string log = runJob("VISIBLE=yes\nRESULT=1\n");
    EXPECT_EQ(fe.prepares, 1);
    EXPECT_EQ(fe.shows, 1);
    EXPECT_EQ(fe.boxText, "Finished !");
    EXPECT_FALSE(fe.boxStop);
}

TEST_F(MainFormTest, RegisterNumbersAndTheRegisterLine) {
    dir.write("job.cmd", "REGISTER=5\n");
    TMainForm form(dir.file("Tarvik"), dir.file("job.cmd"), fe);
    form.runJob();
    EXPECT_EQ(form.link().registerNumber, 5);
    EXPECT_TRUE(form.window().L_mcno.visible);
    EXPECT_EQ(form.window().L_mcno.caption, "5");
    for (const char* v : {"100", "-3", "abc"}) {
        dir.write("job.cmd", std::string("REGISTER=7\nREGISTER=") + v + "\n");
        TMainForm f2(dir.file("Tarvik"), dir.file("job.cmd"), fe);
        f2.runJob();
        EXPECT_EQ(f2.status(), kOk) << v;
        EXPECT_EQ(f2.link().registerNumber, 0) << v;
        EXPECT_FALSE(f2.window().L_mcno.visible) << v;
    }
}
