// Protel's import records and the amounts written into them, shared by the
// booking file ROOMBOOK.DAT and the revenue file XREDUCT.DAT.
//
// A record is one line: "{", the record letter, "|", the fields separated by
// "|", "}". The files are written in text mode (CR LF).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace protel {

// "{R|a|b|c}" for record('R', {"a", "b", "c"}).
std::string record(char letter, std::initializer_list<std::string_view> fields);

// An amount as the registers write it, with a comma that stands third from
// the end turned into a point ("12,50" gives "12.50"; every other text stays).
std::string commaToPoint(std::string_view amount);

// An amount read as a number: the text with commaToPoint, then its leading
// number (blanks, a sign, digits with a decimal point); no number reads 0.
double amountValue(std::string_view amount);

// The discount percentage of a discount text "-10%": the number between the
// leading minus sign and the percent sign (or the end of the text), with a
// point or a comma as decimal separator; 0 when the text does not begin with
// a minus sign or holds no number there.
float discountPercent(std::string_view text);

// The amount of an article line: `amount` (with commaToPoint) as written when
// `percent` is 0. Otherwise a - d, where a is the amount in single precision
// and d = a x 0.01 x percent rounded to single precision, with two decimals
// (halves away from zero) and a decimal point.
std::string discountedAmount(std::string_view amount, float percent);

// The text of a tip total: two decimals with a decimal point when the total
// is above 0, empty otherwise.
std::string tipText(float total);
// The tip field of a header: the tip text, or "0.00" when it is empty.
std::string tipField(const std::string& text);

}  // namespace protel
