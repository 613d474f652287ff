// Bad input against both programs, as docs/SECURITY.md lists it: the driver
// is started without a shell, and no file name taken from a register file, a
// hotel file or the settings makes the interface program write outside the
// directories the settings name.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ChildOptions;
using testsupport::ChildProcess;
using testsupport::TempDir;

// Every file below `root`, relative to it.
std::set<std::string> filesBelow(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) files.insert(fs::relative(e.path(), root).string());
    return files;
}

// A working directory whose name holds every character a shell would act
// on: the driver is started with the argument vector "Tarvik", "TK.DAT" in
// it, by the system directly; no shell ever sees the name.
TEST(Security, TheDriverIsStartedWithoutAShell) {
    TempDir dir;
    const std::string w = "w; touch pwned1 $(touch pwned2) `touch pwned3` | touch pwned4 &";
    fs::create_directories(dir.path() / "prog");
    fs::create_directories(dir.path() / w);
    fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
    fs::copy_file(ARGV_RECORDER_EXE, dir.path() / "prog" / "Tarvik");
    dir.write("prog/Pelko_Programm.INI", "[HOTEL]\r\nSoftware=0\r\n[ECR]\r\nPort=3\r\n");
    ChildOptions o;
    o.cwd = (dir.path() / w).string();
    o.env = {{"PELKO_CLOCK", std::string("2026-12-11 12:00:00")}};
    ChildProcess p(dir.file("prog/Pelko_Programm"), {"--run", "room-report"}, o);
    EXPECT_EQ(p.wait(), 1);  // the stand-in leaves no end file
    EXPECT_EQ(dir.read(w + "/argv.txt"), "Tarvik\nTK.DAT\ncwd " + (dir.path() / w).string() + "\n");
    for (const auto& e : fs::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().rfind("pwned", 0), std::string::npos) << e.path();
}

// Room numbers, operator numbers, article texts and guest data that look
// like paths ("../..", "/etc/...") go into the booking file as data; the
// conversion writes only the booking file in the hotel transfer directory
// and its copy in the working directory's ARCHIV.
TEST(Security, NamesInRegisterAndHotelFilesAreData) {
    TempDir dir;
    fs::create_directories(dir.path() / "prog");
    fs::create_directories(dir.path() / "w" / "LOG");
    fs::create_directories(dir.path() / "hotel");
    fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
    dir.write("prog/Pelko_Programm.INI",
              "[HOTEL]\r\nSoftware=0\r\nHotelVerzeichnis=" + dir.file("hotel") + "\r\n");
    dir.write("w/VZimmerBericht.csv",
              "22;../../pwned;../x;10000;/etc/passwd;\"..\\\\..\\\\boot.ini\";1;1,00\r\n"
              "22;/tmp/pwned;/;10000;1;\"$(touch pwned)\";1;2,00\r\n"
              "22;101;3;10000;1;\"Pils\";1;3,00\r\n");
    dir.write("w/VMWST.CSV", "1;1;;1900\r\n");
    dir.write("w/VBED.CSV", "1;../x;\"/etc/shadow\"\r\n");
    dir.write("hotel/HS3CASH.OUT",
              "../../pwned;\"../../pwned\";\"/etc/passwd\"\r\n/tmp/x;\"101\";\"Gast\"\r\n");
    const std::set<std::string> before = filesBelow(dir.path());
    ChildOptions o;
    o.cwd = dir.file("w");
    o.env = {{"PELKO_CLOCK", std::string("2026-12-11 12:00:00")}};
    ChildProcess p(dir.file("prog/Pelko_Programm"), {"--run", "convert-room-report"}, o);
    EXPECT_EQ(p.wait(), 0) << p.errText();
    std::set<std::string> added;
    for (const std::string& f : filesBelow(dir.path()))
        if (!before.count(f)) added.insert(f);
    EXPECT_EQ(added,
              (std::set<std::string>{"hotel/HS3CASH.IN", "w/ARCHIV/HS3CASH.IN_261211_120000"}));
    const std::string booking = dir.read("hotel/HS3CASH.IN");
    EXPECT_NE(booking.find("\"/etc/passwd\""), std::string::npos) << booking;
    EXPECT_EQ(std::count(booking.begin(), booking.end(), '\n'), 3);
}

}  // namespace
