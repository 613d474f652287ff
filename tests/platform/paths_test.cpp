#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/file_stamp.h"
#include "support/temp_dir.h"

using testsupport::TempDir;

TEST(Paths, ChangeExtension) {
    struct Case {
        const char* path;
        const char* ext;
        const char* want;
    } cases[] = {
        {"/opt/pelko/Tarvik", ".TXT", "/opt/pelko/Tarvik.TXT"},
        {"/opt/pelko/Pelko_Programm.exe", ".INI", "/opt/pelko/Pelko_Programm.INI"},
        {"/work/LOG/20261211", ".LOG", "/work/LOG/20261211.LOG"},
        {"/a.dir/name", ".END", "/a.dir/name.END"},
        {"name.tar.gz", ".X", "name.tar.X"},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::changeExtension(c.path, c.ext), c.want) << c.path;
}

TEST(Paths, ExecutablePathPointsAtTheTestBinary) {
    std::string exe = plat::executablePath();
    EXPECT_EQ(plat::baseName(exe), "platform_tests");
    EXPECT_EQ(plat::siblingWithExtension(".TXT"), exe + ".TXT");
}

TEST(Paths, ResolveCaseExactWinsThenFirstInByteOrder) {
    TempDir dir;
    dir.write("VZimmerBericht.csv", "a");
    dir.write("LOG/x.END", "b");
    EXPECT_EQ(plat::resolveCase(dir.file("VZIMMERBERICHT.CSV")), dir.file("VZimmerBericht.csv"));
    EXPECT_EQ(plat::resolveCase(dir.file("log/X.end")), dir.file("LOG/x.END"));
    // Missing names stay as written, so they can be created.
    EXPECT_EQ(plat::resolveCase(dir.file("log/NEW.TXT")), dir.file("LOG/NEW.TXT"));

    dir.write("vbed.csv", "1");
    dir.write("VBed.CSV", "2");
    EXPECT_EQ(plat::resolveCase(dir.file("VBED.CSV")), dir.file("VBed.CSV"));  // 'B' < 'b'
    EXPECT_EQ(plat::resolveCase(dir.file("vbed.csv")), dir.file("vbed.csv"));  // exact wins
    EXPECT_TRUE(plat::fileExists(dir.file("VBED.csv")));
    EXPECT_EQ(plat::fileSize(dir.file("vzimmerbericht.CSV")), 1);
}

TEST(Paths, ResolveCaseSeesEveryChangeOfTheDirectory) {
    TempDir dir;
    dir.write("w/VBED.CSV", "1");
    const std::string w = dir.file("w");
    // The names of a settled directory are kept; any change of its names is
    // seen at the next resolution.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    while (std::chrono::steady_clock::now() < until) {
        const auto stamp = plat::stampOfPath(w);
        if (stamp && plat::settled(*stamp, plat::realTimeNs())) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(plat::resolveCase(w + "/VBed.CSV"), w + "/VBED.CSV");
    dir.write("w/Vbed.CSV", "2");
    EXPECT_EQ(plat::resolveCase(w + "/VBed.CSV"), w + "/VBED.CSV");  // 'B' < 'b'
    std::filesystem::remove(dir.path() / "w" / "VBED.CSV");
    EXPECT_EQ(plat::resolveCase(w + "/VBed.CSV"), w + "/Vbed.CSV");
    std::filesystem::rename(dir.path() / "w" / "Vbed.CSV", dir.path() / "w" / "vbed.csv");
    EXPECT_EQ(plat::resolveCase(w + "/VBed.CSV"), w + "/vbed.csv");
    std::filesystem::remove(dir.path() / "w" / "vbed.csv");
    EXPECT_EQ(plat::resolveCase(w + "/VBed.CSV"), w + "/VBed.CSV");
    // Paths with doubled and trailing slashes and parts of another case.
    dir.write("A/b/C.txt", "x");
    EXPECT_EQ(plat::resolveCase(dir.str() + "/A//b/c.TXT"), dir.file("A/b/C.txt"));
    EXPECT_EQ(plat::resolveCase(dir.str() + "/a/B/c.txt"), dir.file("A/b/C.txt"));
    EXPECT_EQ(plat::resolveCase(dir.str() + "/A/B/"), dir.file("A/b") + "/");
    for (bool keep : {false, true}) {
        plat::setLookupCachesEnabled(keep);
        EXPECT_EQ(plat::resolveCase(dir.str() + "/a/b/x.txt"), dir.file("A/b/x.txt"));
    }
}

TEST(Paths, DosDateStampPacksLocalTime) {
    TempDir dir;
    dir.write("ROOM.DAT", "x");
    struct tm lt {};
    lt.tm_year = 2026 - 1900;
    lt.tm_mon = 11;
    lt.tm_mday = 11;
    lt.tm_hour = 13;
    lt.tm_min = 45;
    lt.tm_sec = 31;
    lt.tm_isdst = -1;
    struct utimbuf times {};
    times.actime = times.modtime = std::mktime(&lt);
    ASSERT_EQ(::utime(dir.file("ROOM.DAT").c_str(), &times), 0);
    std::int32_t want = static_cast<std::int32_t>(((46u << 9 | 12u << 5 | 11u) << 16) |
                                                  (13u << 11 | 45u << 5 | 15u));
    EXPECT_EQ(plat::dosDateStamp(dir.file("room.dat")), want);
    EXPECT_FALSE(plat::dosDateStamp(dir.file("missing")).has_value());
}

TEST(Paths, MakeDirectoryOnceAndCaseInsensitive) {
    TempDir dir;
    EXPECT_TRUE(plat::makeDirectory(dir.file("XREDUCT")));
    EXPECT_TRUE(plat::directoryExists(dir.file("xreduct")));
    EXPECT_TRUE(plat::makeDirectory(dir.file("xReduct")));  // there already
    EXPECT_FALSE(plat::directoryExists(dir.file("xReduct2")));
    EXPECT_FALSE(plat::makeDirectory(dir.file("missing/XREDUCT")));
    dir.write("FILE", "x");
    EXPECT_FALSE(plat::makeDirectory(dir.file("FILE")));
}
