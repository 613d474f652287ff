#include "interface/registerfiles/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace regfiles {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Length of a number in C form (digits, optional separator, digits, optional
// exponent) at the start of `s`, using `sep` as the decimal separator; 0 when
// there is none.
std::size_t numberLength(std::string_view s, char sep) {
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == sep) {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

// Converts a number of the form numberLength accepts; false when out of range.
bool convert(std::string_view number, char sep, bool negative, double& out) {
    std::string text(number);
    if (sep != '.') {
        for (char& c : text)
            if (c == sep) c = '.';
    }
    double v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v)) return false;
    out = negative ? -v : v;
    return true;
}

}  // namespace

long readLeadingLong(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const int d = text[i] - '0';
        if (!negative) {
            if (value > (LONG_MAX - d) / 10) return LONG_MAX;
            value = value * 10 + d;
        } else {
            if (value < (LONG_MIN + d) / 10) return LONG_MIN;
            value = value * 10 - d;
        }
    }
    return value;
}

double readLeadingDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t n = numberLength(text.substr(i), '.');
    double v = 0;
    if (n == 0 || !convert(text.substr(i, n), '.', negative, v)) return 0;
    return v;
}

bool parseRegionalNumber(std::string_view text, char decimalSeparator, double& out) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    std::string_view s = text.substr(b, e - b);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const std::size_t n = numberLength(s, decimalSeparator);
    if (n == 0 || n != s.size()) return false;
    return convert(s, decimalSeparator, negative, out);
}

bool parseAmount(std::string_view text, double& out) {
    return parseRegionalNumber(text, ',', out) || parseRegionalNumber(text, '.', out);
}

std::string formatTwoDecimals(double value, char decimalSeparator) {
    if (!std::isfinite(value)) value = 0;
    // 15 significant digits first, as the decimal form of the value.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    // buf: d.dddddddddddddde±xx
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    const int exponent = std::atoi(buf + 17);
    // The value is 0.digits * 10^(exponent + 1); the digits in front of the
    // point are the first exponent + 1 of them.
    const int intCount = exponent + 1;
    // Digits kept: up to two decimals; the next one decides the rounding.
    const int keep = intCount + 2;
    std::string kept;  // integer digits and two decimals, without point
    int roundDigit = 0;
    if (keep <= 0) {
        kept = "000";
        roundDigit = keep == 0 ? digits[0] - '0' : 0;
    } else {
        for (int k = 0; k < keep; ++k)
            kept += k < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(k)] : '0';
        if (keep < static_cast<int>(digits.size()))
            roundDigit = digits[static_cast<std::size_t>(keep)] - '0';
        while (kept.size() < 3) kept.insert(kept.begin(), '0');
    }
    if (roundDigit >= 5) {
        int k = static_cast<int>(kept.size()) - 1;
        for (; k >= 0; --k) {
            char& c = kept[static_cast<std::size_t>(k)];
            if (c == '9') {
                c = '0';
            } else {
                ++c;
                break;
            }
        }
        if (k < 0) kept.insert(kept.begin(), '1');
    }
    // Leading zeros of the integer part, keeping one.
    std::size_t lead = 0;
    while (lead + 3 < kept.size() && kept[lead] == '0') ++lead;
    kept.erase(0, lead);
    std::string out;
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero) out += '-';
    out.append(kept, 0, kept.size() - 2);
    out += decimalSeparator;
    out.append(kept, kept.size() - 2, 2);
    return out;
}

std::string receiptNumberText(long counter) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03ld", counter);
    return buf;
}

}  // namespace regfiles
