// Reading and writing the numbers of register and hotel files.
#pragma once

#include <string>
#include <string_view>

namespace regfiles {

// An integer read from leading digits: blanks skipped, an optional sign, the
// digits up to the first other character; no digits read as 0. A value
// beyond the range of long is held at the nearest end of the range.
long readLeadingLong(std::string_view text);

// A number read the C way (decimal point only): blanks skipped, an optional
// sign, digits with an optional point and exponent, up to the first character
// that does not fit. No number read as 0, also for a value out of range.
double readLeadingDouble(std::string_view text);

// A number read the way the regional settings write it, the whole text or
// nothing: blanks around it, an optional sign, digits with `decimalSeparator`
// and an optional exponent. False when the text is not such a number (an
// empty text included); `out` is then unchanged.
bool parseRegionalNumber(std::string_view text, char decimalSeparator, double& out);

// An amount of a register file, whose decimal separator may be a comma or a
// point: read as parseRegionalNumber with either separator.
bool parseAmount(std::string_view text, double& out);

// Formats with two decimals (the pattern "0.00"): the value is taken to 15
// significant digits, then rounded to two decimals with halves away from
// zero. A result of zero carries no sign.
std::string formatTwoDecimals(double value, char decimalSeparator);

// A receipt number with leading zeros up to three digits: 7 gives "007",
// 1000 gives "1000".
std::string receiptNumberText(long counter);

}  // namespace regfiles
