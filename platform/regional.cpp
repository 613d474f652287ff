#include "platform/regional.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace plat {
namespace {

std::string envName(const char* primary, const char* secondary) {
    for (const char* name : {primary, secondary, "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) return v;
    }
    return {};
}

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

const char* const kDayNamesDe[7] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                                    "Donnerstag", "Freitag", "Samstag"};
const char* const kDayNamesEn[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};
const char* const kShortDayNamesDe[7] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
const char* const kShortDayNamesEn[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonthNamesDe[12] = {"Januar",    "Februar", "März",     "April",
                                       "Mai",       "Juni",    "Juli",     "August",
                                       "September", "Oktober", "November", "Dezember"};
const char* const kMonthNamesEn[12] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
const char* const kShortMonthNamesDe[12] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                            "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
const char* const kShortMonthNamesEn[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int dayIndex(const DateTime& t) { return (t.dayOfWeek % 7 + 7) % 7; }
int monthIndex(const DateTime& t) { return t.month >= 1 && t.month <= 12 ? t.month - 1 : 0; }

// The regional short date pattern with the separator as "/".
std::string shortDatePattern(const RegionalSettings& r) {
    std::string pattern;
    for (char c : r.shortDateFormat) {
        if (c == r.dateSeparator) pattern += '/';
        else pattern += c;
    }
    return pattern;
}

RegionalSettings g_settings;
bool g_loaded = false;
std::mutex g_mutex;

}  // namespace

RegionalSettings regionalFor(std::string_view timeLocale, std::string_view numericLocale) {
    RegionalSettings r;  // German defaults
    if (startsWith(timeLocale, "en_")) {
        r.englishNames = true;
        r.longDateFormat = "dddd, d mmmm yyyy";
    }
    if (startsWith(timeLocale, "en_US")) {
        r.dateSeparator = '/';
        r.shortDateFormat = "mm/dd/yyyy";
        r.longDateFormat = "dddd, mmmm d, yyyy";
    } else if (startsWith(timeLocale, "en_") || startsWith(timeLocale, "fr_") ||
               startsWith(timeLocale, "it_") || startsWith(timeLocale, "es_") ||
               startsWith(timeLocale, "pt_")) {
        r.dateSeparator = '/';
        r.shortDateFormat = "dd/mm/yyyy";
    } else if (startsWith(timeLocale, "nl_")) {
        r.dateSeparator = '-';
        r.shortDateFormat = "dd-mm-yyyy";
    }
    if (startsWith(numericLocale, "en_")) r.decimalSeparator = '.';
    return r;
}

const RegionalSettings& regional() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_loaded) {
        g_settings = regionalFor(envName("LC_ALL", "LC_TIME"), envName("LC_ALL", "LC_NUMERIC"));
        g_loaded = true;
    }
    return g_settings;
}

void reloadRegional() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_loaded = false;
}

std::string formatDateTime(std::string_view pattern, const DateTime& t) {
    const RegionalSettings& r = regional();
    std::string out;
    bool afterHour = false;
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[i + n])) == c)
            ++n;
        return n;
    };
    auto num = [&](int v, int width) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", width, v);
        out += buf;
    };
    while (i < pattern.size()) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        size_t n;
        switch (c) {
            case 'y':
                n = run('y');
                if (n >= 3) num(t.year, 4); else num(t.year % 100, 2);
                i += n;
                afterHour = false;
                break;
            case 'm':
                n = run('m');
                if (afterHour) num(t.minute, n >= 2 ? 2 : 1);
                else if (n >= 4) out += (r.englishNames ? kMonthNamesEn : kMonthNamesDe)[monthIndex(t)];
                else if (n == 3)
                    out += (r.englishNames ? kShortMonthNamesEn : kShortMonthNamesDe)[monthIndex(t)];
                else num(t.month, n >= 2 ? 2 : 1);
                i += n;
                afterHour = false;
                break;
            case 'd':
                n = run('d');
                if (n >= 6) out += formatDateTime(r.longDateFormat, t);
                else if (n == 5) out += formatDateTime(shortDatePattern(r), t);
                else if (n == 4) out += (r.englishNames ? kDayNamesEn : kDayNamesDe)[dayIndex(t)];
                else if (n == 3) out += (r.englishNames ? kShortDayNamesEn : kShortDayNamesDe)[dayIndex(t)];
                else num(t.day, n >= 2 ? 2 : 1);
                i += n;
                afterHour = false;
                break;
            case 'h':
                n = run('h');
                num(t.hour, n >= 2 ? 2 : 1);
                i += n;
                afterHour = true;
                break;
            case 'n':
                n = run('n');
                num(t.minute, n >= 2 ? 2 : 1);
                i += n;
                afterHour = false;
                break;
            case 's':
                n = run('s');
                num(t.second, n >= 2 ? 2 : 1);
                i += n;
                afterHour = false;
                break;
            case 'z':
                n = run('z');
                num(t.millisecond, n >= 3 ? 3 : 1);
                i += n;
                break;
            case 't':
                n = run('t');
                out += formatDateTime(n >= 2 ? r.longTimeFormat : r.shortTimeFormat, t);
                i += n;
                afterHour = false;
                break;
            case '/': out += r.dateSeparator; ++i; break;
            case ':': out += r.timeSeparator; ++i; break;
            case '\'':
            case '"': {
                size_t end = pattern.find(pattern[i], i + 1);
                if (end == std::string_view::npos) end = pattern.size();
                out.append(pattern.substr(i + 1, end - i - 1));
                i = end + 1;
                break;
            }
            default: out += pattern[i]; ++i; break;
        }
    }
    return out;
}

std::string shortDate(const DateTime& t) {
    // The separator in the stored pattern is the literal one of the locale.
    return formatDateTime(shortDatePattern(regional()), t);
}

std::string longTime(const DateTime& t) { return formatDateTime(regional().longTimeFormat, t); }

std::string longDate(const DateTime& t) { return formatDateTime(regional().longDateFormat, t); }

bool parseLongTime(std::string_view text, int& hour, int& minute, int& second) {
    const char sep = regional().timeSeparator;
    int parts[3] = {0, 0, 0};
    int count = 0;
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    while (count < 3) {
        size_t start = i;
        int v = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 2) {
            v = v * 10 + (text[i] - '0');
            ++i;
        }
        if (i == start) return false;
        parts[count++] = v;
        if (i < text.size() && text[i] == sep && count < 3) {
            ++i;
            continue;
        }
        break;
    }
    while (i < text.size() && text[i] == ' ') ++i;
    if (i != text.size() || count < 2) return false;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
    hour = parts[0];
    minute = parts[1];
    second = parts[2];
    return true;
}

bool parseShortDate(std::string_view text, DateTime& out) {
    const RegionalSettings& r = regional();
    // The order of day, month and year from the pattern.
    const std::string& f = r.shortDateFormat;
    struct Part {
        char letter;
        std::size_t at;
    };
    Part order[3] = {{'d', f.find('d')}, {'m', f.find('m')}, {'y', f.find('y')}};
    std::sort(std::begin(order), std::end(order),
              [](const Part& a, const Part& b) { return a.at < b.at; });
    int values[3] = {0, 0, 0};
    std::size_t digits[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    auto blanks = [&] {
        while (i < text.size() && text[i] == ' ') ++i;
    };
    while (count < 3) {
        blanks();
        const std::size_t start = i;
        int v = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
               i - start < 4) {
            v = v * 10 + (text[i] - '0');
            ++i;
        }
        if (i == start) return false;
        digits[count] = i - start;
        values[count++] = v;
        blanks();
        if (i < text.size() && text[i] == r.dateSeparator && count < 3) {
            ++i;
            continue;
        }
        break;
    }
    if (i != text.size() || count < 2) return false;
    const int currentYear = now().year;
    int day = 0, month = 0, year = currentYear;
    std::size_t yearDigits = 4;
    // With two numbers the year is left out: day and month keep their order.
    int k = 0;
    for (const Part& p : order) {
        if (p.letter == 'y' && count == 2) continue;
        if (p.letter == 'd') day = values[k];
        if (p.letter == 'm') month = values[k];
        if (p.letter == 'y') {
            year = values[k];
            yearDigits = digits[k];
        }
        ++k;
    }
    if (yearDigits <= 2) {
        const int pivot = currentYear - 50;
        year += pivot / 100 * 100;
        if (year < pivot) year += 100;
    }
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    if (day > last) return false;
    out = DateTime{};
    out.year = year;
    out.month = month;
    out.day = day;
    out.dayOfWeek = fromSerialSeconds(toSerialSeconds(out)).dayOfWeek;
    return true;
}

}  // namespace plat
