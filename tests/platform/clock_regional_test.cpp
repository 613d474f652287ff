#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/regional.h"

namespace {

// Sets environment variables for one test and puts them back afterwards.
class EnvGuard {
public:
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
        plat::reloadRegional();
        plat::resetClock();
    }
    ~EnvGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else ::unsetenv(it->first.c_str());
        }
        plat::reloadRegional();
        plat::resetClock();
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

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

}  // namespace

TEST(Clock, PelkoClockStartsTheClockAndItRunsOn) {
    EnvGuard env;
    env.set("PELKO_CLOCK", "2008-02-12 16:34:07");
    plat::DateTime t = plat::now();
    EXPECT_EQ(t.year, 2008);
    EXPECT_EQ(t.month, 2);
    EXPECT_EQ(t.day, 12);
    EXPECT_EQ(t.hour, 16);
    EXPECT_EQ(t.minute, 34);
    EXPECT_LE(t.second, 8);
    EXPECT_EQ(t.dayOfWeek, 2);  // a Tuesday
}

TEST(Clock, VirtualClockMovesOnlyWhenAdvanced) {
    EnvGuard env;
    env.set("PELKO_CLOCK", "2026-12-31 23:59:58");
    plat::useVirtualClock();
    plat::DateTime a = plat::now();
    EXPECT_EQ(a.second, 58);
    plat::advanceVirtualClock(3);
    plat::DateTime b = plat::now();
    EXPECT_EQ(b.year, 2027);
    EXPECT_EQ(b.month, 1);
    EXPECT_EQ(b.day, 1);
    EXPECT_EQ(b.second, 1);
}

TEST(Clock, ParseClockTextRejectsGarbage) {
    plat::DateTime t;
    for (const char* bad : {"", "2026-13-01 00:00:00", "2026-12-11", "2026-12-11 24:00:00",
                            "2026-12-11 10:00:00x", "yesterday"})
        EXPECT_FALSE(plat::parseClockText(bad, t)) << bad;
    EXPECT_TRUE(plat::parseClockText("2026-12-11 10:00:00", t));
}

TEST(Regional, LocaleNamesChooseTheSettings) {
    struct Case {
        const char* lcAll;
        const char* lcTime;
        const char* lcNumeric;
        const char* lang;
        const char* date;
        char decimal;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, "12.02.2008", ','},
        {"C", nullptr, nullptr, nullptr, "12.02.2008", ','},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", "12.02.2008", ','},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", "02/12/2008", '.'},
        {nullptr, "en_GB.UTF-8", nullptr, "de_DE", "12/02/2008", ','},
        {nullptr, "de_DE", "en_US", nullptr, "12.02.2008", '.'},
        {"de_AT", "en_US", "en_US", "en_US", "12.02.2008", ','},
        {nullptr, nullptr, nullptr, "nl_NL", "12-02-2008", ','},
        {nullptr, nullptr, nullptr, "ja_JP", "12.02.2008", ','},
    };
    for (const Case& c : cases) {
        EnvGuard env;
        env.set("LC_ALL", c.lcAll);
        env.set("LC_TIME", c.lcTime);
        env.set("LC_NUMERIC", c.lcNumeric);
        env.set("LANG", c.lang);
        plat::DateTime t = at(2008, 2, 12, 16, 4, 7);
        EXPECT_EQ(plat::shortDate(t), c.date) << (c.lang ? c.lang : "-");
        EXPECT_EQ(plat::longTime(t), "16:04:07");
        EXPECT_EQ(plat::regional().decimalSeparator, c.decimal) << (c.lang ? c.lang : "-");
    }
}

TEST(Regional, FormatPatternsAndTimeParsing) {
    EnvGuard env;
    env.set("LC_ALL", "de_DE");
    plat::DateTime t = at(2008, 2, 12, 6, 4, 7);
    EXPECT_EQ(plat::formatDateTime("yyyymmdd", t), "20080212");
    EXPECT_EQ(plat::formatDateTime("hh:mm", t), "06:04");
    EXPECT_EQ(plat::formatDateTime("dd/mm/yy 'um' h:nn", t), "12.02.08 um 6:04");
    int h, m, s;
    EXPECT_TRUE(plat::parseLongTime("07:30:05", h, m, s));
    EXPECT_EQ(h * 10000 + m * 100 + s, 73005);
    EXPECT_TRUE(plat::parseLongTime("7:30", h, m, s));
    EXPECT_EQ(s, 0);
    for (const char* bad : {"", "24:00:00", "12:60:00", "ab:cd:ef", "12:00:00:00", "12.00.00"})
        EXPECT_FALSE(plat::parseLongTime(bad, h, m, s)) << bad;
}

TEST(Regional, ShortDateParsing) {
    EnvGuard env;
    env.set("PELKO_CLOCK", "2026-03-01 10:00:00");
    struct Case {
        const char* lang;
        const char* text;
        int year, month, day;  // 0: not a date
    } cases[] = {
        {"de_DE", "05.01.10", 2010, 1, 5},
        {"de_DE", "05.01.2010", 2010, 1, 5},
        {"de_DE", " 5. 1.10 ", 2010, 1, 5},
        {"de_DE", "31.12.76", 1976, 12, 31},  // 50 years back from 2026 ...
        {"de_DE", "01.01.75", 2075, 1, 1},    // ... to 49 years ahead
        {"de_DE", "29.02.24", 2024, 2, 29},
        {"de_DE", "7.4", 2026, 4, 7},  // without a year: this year
        {"de_DE", "29.02.25", 0, 0, 0},
        {"de_DE", "32.01.10", 0, 0, 0},
        {"de_DE", "05.13.10", 0, 0, 0},
        {"de_DE", "00.01.10", 0, 0, 0},
        {"de_DE", "05/01/10", 0, 0, 0},
        {"de_DE", "05.01.10.", 0, 0, 0},
        {"de_DE", "05.01.1x", 0, 0, 0},
        {"de_DE", "", 0, 0, 0},
        {"de_DE", "5", 0, 0, 0},
        {"en_US", "01/05/10", 2010, 1, 5},  // month first
        {"en_GB", "05/01/10", 2010, 1, 5},
        {"nl_NL", "05-01-10", 2010, 1, 5},
    };
    for (const Case& c : cases) {
        env.set("LC_ALL", c.lang);
        plat::DateTime d;
        const bool ok = plat::parseShortDate(c.text, d);
        EXPECT_EQ(ok, c.year != 0) << c.lang << " '" << c.text << "'";
        if (ok && c.year != 0) {
            EXPECT_EQ(plat::formatDateTime("yyyy-mm-dd", d),
                      plat::formatDateTime("yyyy-mm-dd", at(c.year, c.month, c.day, 0, 0, 0)))
                << c.text;
        }
    }
}
