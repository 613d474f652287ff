#include "interface/adapters/ProtelRecords.h"

#include "interface/registerfiles/numbers.h"

namespace protel {

std::string record(char letter, std::initializer_list<std::string_view> fields) {
    std::string out = "{";
    out += letter;
    for (std::string_view f : fields) {
        out += '|';
        out += f;
    }
    out += '}';
    return out;
}

std::string commaToPoint(std::string_view amount) {
    std::string out(amount);
    if (out.size() >= 3 && out[out.size() - 3] == ',') out[out.size() - 3] = '.';
    return out;
}

double amountValue(std::string_view amount) {
    return regfiles::readLeadingDouble(commaToPoint(amount));
}

float discountPercent(std::string_view text) {
    if (text.empty() || text.front() != '-') return 0;
    std::string number(text.substr(
        1, text.find('%') == std::string_view::npos ? std::string_view::npos : text.find('%') - 1));
    for (char& c : number)
        if (c == ',') c = '.';
    return static_cast<float>(regfiles::readLeadingDouble(number));
}

std::string discountedAmount(std::string_view amount, float percent) {
    if (percent == 0) return commaToPoint(amount);
    const float a = static_cast<float>(amountValue(amount));
    const float d =
        static_cast<float>(static_cast<double>(a) * 0.01 * static_cast<double>(percent));
    return regfiles::formatTwoDecimals(static_cast<double>(a) - static_cast<double>(d), '.');
}

std::string tipText(float total) {
    if (!(total > 0)) return {};
    return regfiles::formatTwoDecimals(static_cast<double>(total), '.');
}

std::string tipField(const std::string& text) {
    return text.empty() ? std::string("0.00") : text;
}

}  // namespace protel
