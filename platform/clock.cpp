#include "platform/clock.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace plat {
namespace {

struct ClockState {
    bool initialised = false;
    bool fixed = false;           // PELKO_CLOCK given
    std::int64_t baseSeconds = 0; // the clock text as serial seconds
    std::uint64_t baseTick = 0;   // tickCount() when it was read
    bool isVirtual = false;
    std::int64_t virtualSeconds = 0;
};

ClockState g_clock;
std::mutex g_mutex;

DateTime fromTm(const struct tm& t, int ms) {
    DateTime d;
    d.year = t.tm_year + 1900;
    d.month = t.tm_mon + 1;
    d.day = t.tm_mday;
    d.hour = t.tm_hour;
    d.minute = t.tm_min;
    d.second = t.tm_sec;
    d.millisecond = ms;
    d.dayOfWeek = t.tm_wday;
    return d;
}

DateTime realNow() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    struct tm lt {};
    ::localtime_r(&ts.tv_sec, &lt);
    return fromTm(lt, static_cast<int>(ts.tv_nsec / 1000000));
}

void initLocked() {
    if (g_clock.initialised) return;
    g_clock.initialised = true;
    g_clock.fixed = false;
    const char* v = std::getenv("PELKO_CLOCK");
    DateTime t;
    if (v && parseClockText(v, t)) {
        g_clock.fixed = true;
        g_clock.baseSeconds = toSerialSeconds(t);
        g_clock.baseTick = tickCount();
    }
}

}  // namespace

std::int64_t toSerialSeconds(const DateTime& t) {
    struct tm tm {};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    return static_cast<std::int64_t>(::timegm(&tm));
}

DateTime fromSerialSeconds(std::int64_t seconds, int millisecond) {
    time_t s = static_cast<time_t>(seconds);
    struct tm tm {};
    ::gmtime_r(&s, &tm);
    return fromTm(tm, millisecond);
}

bool parseClockText(std::string_view text, DateTime& out) {
    std::string s(text);
    int y, mo, d, h, mi, se;
    char tail;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &se, &tail) != 6)
        return false;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || se < 0 ||
        se > 59)
        return false;
    DateTime t;
    t.year = y;
    t.month = mo;
    t.day = d;
    t.hour = h;
    t.minute = mi;
    t.second = se;
    // Normalise (31 February and the like) and fill in the weekday.
    out = fromSerialSeconds(toSerialSeconds(t));
    return true;
}

DateTime now() {
    std::lock_guard<std::mutex> lock(g_mutex);
    initLocked();
    if (g_clock.isVirtual) return fromSerialSeconds(g_clock.virtualSeconds);
    if (!g_clock.fixed) return realNow();
    std::uint64_t elapsed = tickCount() - g_clock.baseTick;
    return fromSerialSeconds(g_clock.baseSeconds + static_cast<std::int64_t>(elapsed / 1000),
                             static_cast<int>(elapsed % 1000));
}

void useVirtualClock() {
    std::lock_guard<std::mutex> lock(g_mutex);
    initLocked();
    if (g_clock.isVirtual) return;
    g_clock.virtualSeconds = g_clock.fixed ? g_clock.baseSeconds : toSerialSeconds(realNow());
    g_clock.isVirtual = true;
}

bool virtualClockActive() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_clock.isVirtual;
}

void advanceVirtualClock(int seconds) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_clock.isVirtual) g_clock.virtualSeconds += seconds;
}

void resetClock() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_clock = ClockState{};
}

std::uint64_t tickCount() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
           static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
}

void sleepMs(int ms) {
    if (ms <= 0) return;
    struct timespec ts {ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0) {
    }
}

}  // namespace plat
