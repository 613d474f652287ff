#include "driver/job_format.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/regional.h"

using namespace tarvik;

namespace {

plat::DateTime at(int y, int mo, int d, int h, int mi, int s) {
    plat::DateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = s;
    return t;
}

class LocaleGuard {
  public:
    explicit LocaleGuard(const char* name) {
        ::setenv("LC_ALL", name, 1);
        plat::reloadRegional();
    }
    ~LocaleGuard() {
        ::unsetenv("LC_ALL");
        plat::reloadRegional();
    }
};

}  // namespace

TEST(JobLogLines, FieldsInRegionalFormat) {
    const plat::DateTime t = at(2008, 2, 12, 16, 4, 7);
    {
        LocaleGuard de("de_DE.UTF-8");
        EXPECT_EQ(logLineHead(t, "WAIT", "500") + logLineTail(0, "OK"),
                  "12.02.2008;16:04:07;WAIT;\"500\";0;\"OK\"\r\n");
        EXPECT_EQ(logLineHead(t, "END", "Session Ended") + logLineTail(6, "User Break", true),
                  "12.02.2008;16:04:07;END;\"Session Ended\";6;\"User Break\"\r\n\r\n");
        // Values are written unchanged, quotes and separators included.
        EXPECT_EQ(logLineHead(t, "COMMAND", "LI=\"a\";b"),
                  "12.02.2008;16:04:07;COMMAND;\"LI=\"a\";b\";");
    }
    {
        LocaleGuard us("en_US.UTF-8");
        EXPECT_EQ(logLineHead(t, "START", "x"), "02/12/2008;16:04:07;START;\"x\";");
    }
    EXPECT_EQ(logLineTail(17, "Login Error"), "17;\"Login Error\"\r\n");
}

TEST(JobLogLines, EndLineShowsOnlyCodes1And2And6) {
    for (int code = 0; code <= 17; ++code) {
        int expected = (code == 1 || code == 2 || code == 6) ? code : 0;
        EXPECT_EQ(endLineCode(code), expected) << code;
    }
}

TEST(EndFile, ExactlyThreeDigits) {
    EXPECT_EQ(endFileText(0), "000");
    EXPECT_EQ(endFileText(5), "005");
    EXPECT_EQ(endFileText(17), "017");
}

TEST(DatedName, DateTextGoesBeforeTheExtensionOfTheFileName) {
    const plat::DateTime t = at(2008, 2, 12, 16, 34, 7);
    EXPECT_EQ(dateText(t), "_080212_163407");
    EXPECT_EQ(dateText(at(2000, 1, 2, 3, 4, 5)), "_000102_030405");
    struct Case {
        std::string name, expected;
    };
    const Case cases[] = {
        {"VEJournal1.csv", "VEJournal1_080212_163407.csv"},
        {"W/VEJournal1.csv", "W/VEJournal1_080212_163407.csv"},
        {"a.b.csv", "a.b_080212_163407.csv"},                // the last "."
        {"journal", "journal_080212_163407"},                // no extension: at the end
        {"my.dir/journal", "my.dir/journal_080212_163407"},  // a "." of a directory is none
        {"dir/", "dir/_080212_163407"},
        {"x.", "x_080212_163407."},
    };
    for (const Case& c : cases) EXPECT_EQ(datedName(c.name, t), c.expected) << c.name;
}

TEST(OffsetEncoding, SubtractsHex30FromEveryByte) {
    EXPECT_EQ(offsetEncode("01A\r\n"), std::string("\x00\x01\x11\xdd\xda", 5));
}
