#include "platform/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include "platform/file.h"
#include "platform/regional.h"
#include "support/env_guard.h"

#include "support/temp_dir.h"

using plat::IniFile;
using testsupport::TempDir;

TEST(Ini, FindsSectionsAndKeysRegardlessOfCaseAndBlanks) {
    TempDir dir;
    dir.write("a.ini",
              "junk before any section\r\n"
              "Software=9\r\n"
              "  [ hotel ]  trailing\r\n"
              "  software =  2  \r\n"
              "HotelVerzeichnis=\"  /srv/hotel  \"\r\n"
              "Quoted='x'\r\n"
              "[ECR]\n"
              "Zeit1=12:00:00\n"
              "Port");
    IniFile ini(dir.file("a.ini"));
    EXPECT_EQ(ini.readInteger("HOTEL", "Software", 0), 2);
    EXPECT_EQ(ini.readString("Hotel", "HOTELVERZEICHNIS", ""), "  /srv/hotel  ");
    EXPECT_EQ(ini.readString("hotel", "quoted", ""), "x");
    EXPECT_EQ(ini.readString("ecr", "zeit1", "00:00:00"), "12:00:00");
    // A line without "=" holds no key.
    EXPECT_FALSE(ini.hasKey("ECR", "Port"));
    EXPECT_EQ(ini.readInteger("ECR", "Port", 7), 7);
}

TEST(Ini, MissingOrUnreadableValuesGiveTheDefault) {
    TempDir dir;
    IniFile none(dir.file("missing.ini"));
    EXPECT_TRUE(none.readable());
    EXPECT_EQ(none.readString("Spezial", "ProcessTag", "dflt"), "dflt");
    EXPECT_EQ(none.readInteger("Spezial", "FensterLinks", 193), 193);

    struct Case {
        const char* value;
        std::int32_t expected;  // with default -7
    } cases[] = {
        {"42", 42},
        {" -5 ", -5},
        {"+8", 8},
        {"$1F", 31},
        {"0x10", 16},
        {"abc", -7},
        {"12abc", -7},
        {"", -7},
        {"1.5", -7},
        {"2147483647", 2147483647},
        {"2147483648", -7},
        {"-2147483648", INT32_MIN},
        {"99999999999999999999", -7},
        {"$FFFFFFFF", -1},
        {"- 3", -7},
    };
    for (const Case& c : cases) {
        dir.write("v.ini", std::string("[S]\r\nK=") + c.value + "\r\n");
        IniFile ini(dir.file("v.ini"));
        EXPECT_EQ(ini.readInteger("S", "K", -7), c.expected) << "value '" << c.value << "'";
    }
    dir.write("b.ini", "[S]\r\nA=1\r\nB=0\r\nC=2\r\nD=ja\r\n");
    IniFile ini(dir.file("b.ini"));
    EXPECT_TRUE(ini.readBool("S", "A", false));
    EXPECT_FALSE(ini.readBool("S", "B", true));
    EXPECT_TRUE(ini.readBool("S", "C", false));
    EXPECT_TRUE(ini.readBool("S", "D", true));
    EXPECT_FALSE(ini.readBool("S", "D", false));
}

TEST(Ini, TheFirstOfTwoSectionsOrKeysWinsForReadingAndWriting) {
    TempDir dir;
    const std::string text =
        "[ECR]\r\nPort=1\r\nPort=2\r\n[Other]\r\nX=1\r\n[ecr]\r\nPort=3\r\nBaud=4\r\n";
    dir.write("d.ini", text);
    IniFile ini(dir.file("d.ini"));
    EXPECT_EQ(ini.readInteger("ECR", "Port", 0), 1);
    EXPECT_EQ(ini.readInteger("ECR", "Baud", 0), 0);  // only in the second section
    ini.writeInteger("ECR", "Port", 17);
    ini.writeInteger("ECR", "Baud", 2);
    ASSERT_TRUE(ini.flush());
    EXPECT_EQ(
        dir.read("d.ini"),
        "[ECR]\r\nPort=17\r\nPort=2\r\nBaud=2\r\n[Other]\r\nX=1\r\n[ecr]\r\nPort=3\r\nBaud=4\r\n");
}

TEST(Ini, WritesKeepEveryOtherLineByteForByte) {
    TempDir dir;
    std::string garbage = "\x01\x02 binary \xff\xfe";
    garbage += '\0';
    garbage += "x";
    const std::string before = "; a comment\n" + garbage +
                               "\r\n[Spezial]\nProcessTag=20260101\n\n" +
                               "[HOTEL]\r\n\tSoftware = 1 ; kept as is\r\n\r\n\r\n" +
                               "[ECR]\r\nZeit1=12:00:00";  // last line without a line end
    dir.write("s.ini", before);
    IniFile ini(dir.file("s.ini"));
    ini.writeString("Spezial", "ProcessTag", "20261211");
    ini.writeString("HOTEL", "HotelVerzeichnis", "/srv/hotel");
    ini.writeString("ECR", "Zeit2", "13:00:00");
    ini.writeString("Neu", "Key", "v");
    ASSERT_TRUE(ini.flush());
    EXPECT_EQ(
        dir.read("s.ini"),
        "; a comment\n" + garbage + "\r\n[Spezial]\nProcessTag=20261211\n\n" +
            "[HOTEL]\r\n\tSoftware = 1 ; kept as is\r\nHotelVerzeichnis=/srv/hotel\r\n\r\n\r\n" +
            "[ECR]\r\nZeit1=12:00:00\r\nZeit2=13:00:00\r\n[Neu]\r\nKey=v\r\n");
    // The written file reads back what was written.
    IniFile again(dir.file("s.ini"));
    EXPECT_EQ(again.readString("hotel", "hotelverzeichnis", ""), "/srv/hotel");
    EXPECT_EQ(again.readString("HOTEL", "Software", ""), "1 ; kept as is");
}

TEST(Ini, TheFirstWriteCreatesTheFileAndValuesStayOnOneLine) {
    TempDir dir;
    ASSERT_TRUE(plat::writeProfileString(dir.file("new.ini"), "Spezial", "Verschlossen", "1"));
    EXPECT_EQ(dir.read("new.ini"), "[Spezial]\r\nVerschlossen=1\r\n");
    ASSERT_TRUE(plat::writeProfileString(dir.file("NEW.INI"), "HOTEL", "HotelVerzeichnis",
                                         "a\r\n[Spezial]\nVerschlossen=0"));
    EXPECT_FALSE(dir.exists("NEW.INI"));  // the existing name in another case is used
    IniFile ini(dir.file("new.ini"));
    EXPECT_EQ(ini.readString("Spezial", "Verschlossen", ""), "1");
    EXPECT_EQ(ini.readString("HOTEL", "HotelVerzeichnis", ""), "a  [Spezial] Verschlossen=0");
}

TEST(Ini, VeryLongValuesAreReadCutAndWrittenWhole) {
    TempDir dir;
    std::string longValue(100000, 'x');
    ASSERT_TRUE(
        plat::writeProfileString(dir.file("l.ini"), "HOTEL", "HotelVerzeichnis", longValue));
    IniFile ini(dir.file("l.ini"));
    EXPECT_EQ(ini.readString("HOTEL", "HotelVerzeichnis", "").size(), IniFile::kMaxValueLength);
    ini.writeString("HOTEL", "Software", "2");
    ASSERT_TRUE(ini.flush());
    EXPECT_NE(dir.read("l.ini").find(longValue), std::string::npos);
}

TEST(Ini, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string before = "[Spezial]\r\nProcessTag=20260101\r\n[ECR]\r\nPort=3\r\n";
    dir.write("s.ini", before);
    IniFile ini(dir.file("s.ini"));
    ini.writeString("Spezial", "ProcessTag", "20261211");
    plat::injectWriteFailureAfter(0);
    bool flushed = ini.flush();
    plat::injectWriteFailureAfter(-1);
    EXPECT_FALSE(flushed);
    EXPECT_EQ(dir.read("s.ini"), before);
    EXPECT_TRUE(ini.modified());
    EXPECT_TRUE(ini.flush());  // the change is still pending
    EXPECT_NE(dir.read("s.ini").find("ProcessTag=20261211"), std::string::npos);
    // Nothing of the attempt is left beside it.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(Ini, AFileThatCannotBeReadIsNeverReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "s.ini");  // not a file: cannot be read
    IniFile ini(dir.file("s.ini"));
    EXPECT_FALSE(ini.readable());
    ini.writeString("S", "K", "v");
    EXPECT_FALSE(ini.flush());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "s.ini"));
}

namespace {
ino_t inodeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}
}  // namespace

TEST(Ini, DeferredWritesOfTheSameLengthChangeTheFileInPlace) {
    TempDir dir;
    const std::string path = dir.file("p.ini");
    dir.write("p.ini", "[HOTEL]\r\nSoftware=0\r\n[ECR]\r\nBonNummer=41\r\nPort=3\r\n");
    const ino_t first = inodeOf(path);
    // A number of the same digits: the same file, changed in place.
    ASSERT_TRUE(
        plat::writeProfileInteger(path, "ECR", "BonNummer", 42, plat::Durability::Deferred));
    EXPECT_EQ(dir.read("p.ini"), "[HOTEL]\r\nSoftware=0\r\n[ECR]\r\nBonNummer=42\r\nPort=3\r\n");
    EXPECT_EQ(inodeOf(path), first);
    // One more digit: a new file renamed into place, as every synced write.
    ASSERT_TRUE(
        plat::writeProfileInteger(path, "ECR", "BonNummer", 100, plat::Durability::Deferred));
    EXPECT_EQ(dir.read("p.ini"), "[HOTEL]\r\nSoftware=0\r\n[ECR]\r\nBonNummer=100\r\nPort=3\r\n");
    EXPECT_NE(inodeOf(path), first);
    const ino_t second = inodeOf(path);
    ASSERT_TRUE(plat::writeProfileInteger(path, "ECR", "BonNummer", 101));
    EXPECT_NE(inodeOf(path), second);
    EXPECT_TRUE(plat::syncFile(path));
    EXPECT_FALSE(plat::syncFile(dir.file("fehlt.ini")));

    // A file changed since it was read is replaced as a whole, never patched.
    IniFile ini(path);
    ini.writeString("ECR", "BonNummer", "102");
    dir.write("p.ini", "[HOTEL]\r\nSoftware=3\r\n[ECR]\r\nBonNummer=777\r\nPort=3\r\n");
    ASSERT_TRUE(ini.flush(plat::Durability::Deferred));
    EXPECT_EQ(dir.read("p.ini"), "[HOTEL]\r\nSoftware=0\r\n[ECR]\r\nBonNummer=102\r\nPort=3\r\n");
    // A failed write in place leaves the old contents.
    dir.write("p.ini", "[ECR]\r\nBonNummer=41\r\n");
    plat::injectWriteFailureAfter(0);
    const bool written =
        plat::writeProfileInteger(path, "ECR", "BonNummer", 42, plat::Durability::Deferred);
    plat::injectWriteFailureAfter(-1);
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.read("p.ini"), "[ECR]\r\nBonNummer=41\r\n");
}

TEST(File, OverwriteSameLengthOnlyOverWhatWasExpected) {
    TempDir dir;
    dir.write("f", "abcdef");
    EXPECT_TRUE(plat::overwriteSameLength(dir.file("f"), "abcdef", "abXYef"));
    EXPECT_EQ(dir.read("f"), "abXYef");
    EXPECT_FALSE(
        plat::overwriteSameLength(dir.file("f"), "abcdef", "zzzzzz"));  // not what it holds
    EXPECT_FALSE(plat::overwriteSameLength(dir.file("f"), "abXYef", "abXYefg"));  // longer
    EXPECT_FALSE(plat::overwriteSameLength(dir.file("f"), "abXY", "abZZ"));       // file is longer
    EXPECT_FALSE(plat::overwriteSameLength(dir.file("fehlt"), "", ""));
    EXPECT_EQ(dir.read("f"), "abXYef");
}

TEST(File, ReplaceFileContentsKeepsPermissionsAndFollowsLinks) {
    TempDir dir;
    dir.write("target.ini", "old");
    ::chmod(dir.file("target.ini").c_str(), 0640);
    ::symlink(dir.file("target.ini").c_str(), dir.file("link.ini").c_str());
    ASSERT_TRUE(plat::replaceFileContents(dir.file("link.ini"), "new"));
    EXPECT_EQ(dir.read("target.ini"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.ini"));
    struct stat st {};
    ::stat(dir.file("target.ini").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(Regional, LongDateAndTheDateTimePatternsOfTheClockLine) {
    testsupport::EnvGuard env;
    env.set("LC_ALL", nullptr);
    env.set("LC_TIME", nullptr);
    env.set("LANG", "de_DE.UTF-8");
    plat::DateTime t;
    ASSERT_TRUE(plat::parseClockText("2026-03-06 08:05:09", t));
    EXPECT_EQ(plat::longDate(t), "Freitag, 6. März 2026");
    EXPECT_EQ(plat::formatDateTime("   dddddd       tt ", t),
              "   Freitag, 6. März 2026       08:05:09 ");
    EXPECT_EQ(plat::formatDateTime("ddddd t ddd mmm", t), "06.03.2026 08:05 Fr Mär");
    env.set("LANG", "en_US.UTF-8");
    EXPECT_EQ(plat::longDate(t), "Friday, March 6, 2026");
    env.set("LANG", "en_GB.UTF-8");
    EXPECT_EQ(plat::longDate(t), "Friday, 6 March 2026");
}
