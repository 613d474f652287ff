// The clock of both programs: local time, optionally started at the time given
// in PELKO_CLOCK ("YYYY-MM-DD hh:mm:ss") and running on in real time, or held
// as a virtual clock that only moves when told to. Also the tick count and
// pauses used by the waits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

struct DateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int dayOfWeek = 0;  // 0 = Sunday
    bool operator==(const DateTime&) const = default;
};

// Current local time (see above).
DateTime now();

// Seconds since 1970 of a broken-down time taken as it stands (no time zone).
std::int64_t toSerialSeconds(const DateTime& t);
DateTime fromSerialSeconds(std::int64_t seconds, int millisecond = 0);

// Parses "YYYY-MM-DD hh:mm:ss"; false when the text is not such a time.
bool parseClockText(std::string_view text, DateTime& out);

// Switches to the virtual clock: it starts at PELKO_CLOCK (or the real time
// when that is unset) and moves only by advanceVirtualClock.
void useVirtualClock();
bool virtualClockActive();
void advanceVirtualClock(int seconds);
// Restarts the clock from PELKO_CLOCK as read now (for tests that set it).
void resetClock();

// Milliseconds of a monotonic clock.
std::uint64_t tickCount();
void sleepMs(int ms);

}  // namespace plat
