// Regional settings (the Windows "short date", "long time", decimal and time
// separator), taken from the locale name in the environment, never from the
// locales installed on the system:
//   dates and times: LC_ALL, else LC_TIME, else LANG
//   decimal separator: LC_ALL, else LC_NUMERIC, else LANG
// de_*, C, POSIX, C.UTF-8 and no locale:  dd.mm.yyyy  hh:nn:ss  decimal ","
// en_US:                                  mm/dd/yyyy  hh:nn:ss  decimal "."
// other en_*:                             dd/mm/yyyy  hh:nn:ss  decimal "."
// fr_*, it_*, es_*, pt_*:                 dd/mm/yyyy  hh:nn:ss  decimal ","
// nl_*:                                   dd-mm-yyyy  hh:nn:ss  decimal ","
// any other name: the German settings.
// Long date: en_US "dddd, mmmm d, yyyy", other en_* "dddd, d mmmm yyyy" with
// English names; every other setting "dddd, d. mmmm yyyy" with German names
// ("Freitag, 11. Dezember 2026").
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace plat {

struct RegionalSettings {
    char dateSeparator = '.';
    char timeSeparator = ':';
    char decimalSeparator = ',';
    std::string shortDateFormat = "dd.mm.yyyy";  // pattern letters of formatDateTime
    std::string longTimeFormat = "hh:nn:ss";
    std::string shortTimeFormat = "hh:nn";
    std::string longDateFormat = "dddd, d. mmmm yyyy";
    bool englishNames = false;  // day and month names in English, else German
};

// The settings for the current environment (read once, see reloadRegional).
const RegionalSettings& regional();
// Reads the environment again (tests change it).
void reloadRegional();
// The settings a locale name stands for (dates and decimal from one name).
RegionalSettings regionalFor(std::string_view timeLocale, std::string_view numericLocale);

// Formats a date and time by pattern: yyyy yy mm m dd d hh h nn n ss s zzz;
// "mm"/"m" right after an hour stands for minutes; "mmmm"/"mmm" the month's
// name and its short form, "dddd"/"ddd" the weekday's; "ddddd" the short
// date, "dddddd" the long date, "tt" the long time, "t" the short time;
// "/" and ":" are the regional date and time separators; text in '...' or
// "..." is copied.
std::string formatDateTime(std::string_view pattern, const DateTime& t);
std::string shortDate(const DateTime& t);  // regional short date
std::string longTime(const DateTime& t);   // regional long time
std::string longDate(const DateTime& t);   // regional long date

// Reads a time in the regional long-time form ("hh:mm:ss", hours 0-23; the
// seconds may be left out). False when the text is not such a time.
bool parseLongTime(std::string_view text, int& hour, int& minute, int& second);

// Reads a date in the regional short-date form: day, month and year in the
// order of the short date format, separated by the regional date separator,
// blanks around the numbers allowed. A year of one or two digits lies in the
// hundred years that start 50 years before the current year (in 2026: 76 is
// 1976, 75 is 2075); without a year the current year counts. False when the
// text is not such a date or names no day of the calendar.
bool parseShortDate(std::string_view text, DateTime& out);

}  // namespace plat
