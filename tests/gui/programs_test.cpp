// The programs of the desktop build without a reachable display: the main
// window says so and exits with 2; the driver runs its job without a window.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_program.h"
#include "support/temp_dir.h"

using testsupport::RunOptions;
using testsupport::RunResult;

namespace {

// An X display number that no server serves.
const char* const kNoServer = ":987";

}  // namespace

TEST(DesktopPrograms, TheMainWindowWithoutAReachableDisplayExitsWith2) {
    testsupport::TempDir dir;
    RunOptions o;
    o.cwd = dir.str();
    o.env = {{"DISPLAY", kNoServer}, {"LANG", "C.UTF-8"}};
    RunResult r = testsupport::runProgram(PELKO_PROGRAMM_EXE, {}, o);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Bildschirm ist nicht erreichbar"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--headless"), std::string::npos);

    o.env = {{"LANG", "C.UTF-8"}};
    r = testsupport::runProgram(PELKO_PROGRAMM_EXE, {}, o);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("kein Bildschirm"), std::string::npos) << r.err;
}

TEST(DesktopPrograms, TheDriverRunsItsJobWhenTheDisplayCannotBeReached) {
    testsupport::TempDir dir;
    std::filesystem::copy_file(TARVIK_EXE, dir.path() / "Tarvik");
    dir.write("job.cmd", "PROCESS=LOG/job\nENDFILE=1\nRESULT=1\nABORT=1\nWAIT=1\n");
    std::filesystem::create_directories(dir.path() / "LOG");
    RunOptions o;
    o.cwd = dir.str();
    o.env = {{"DISPLAY", kNoServer}, {"LANG", "C.UTF-8"}};
    RunResult r = testsupport::runProgram(dir.file("Tarvik"), {"job.cmd"}, o);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dir.read("LOG/job.END"), "000");
    // The result box went to standard error, as without a display.
    EXPECT_NE(r.err.find("LOG/job: Finished !"), std::string::npos) << r.err;
}
