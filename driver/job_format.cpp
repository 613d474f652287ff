#include "driver/job_format.h"

#include <cstdio>

#include "platform/regional.h"

namespace tarvik {

std::string logLineHead(const plat::DateTime& t, std::string_view keyword, std::string_view value) {
    std::string out = plat::shortDate(t);
    out += ';';
    out += plat::longTime(t);
    out += ';';
    out += keyword;
    out += ";\"";
    out += value;
    out += "\";";
    return out;
}

std::string logLineTail(int code, std::string_view text, bool endLine) {
    std::string out = std::to_string(code);
    out += ";\"";
    out += text;
    out += endLine ? "\"\r\n\r\n" : "\"\r\n";
    return out;
}

int endLineCode(int finalCode) {
    return (finalCode == 1 || finalCode == 2 || finalCode == 6) ? finalCode : 0;
}

std::string endFileText(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", code < 0 ? 0 : code % 1000);
    return buf;
}

std::string dateText(const plat::DateTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "_%02d%02d%02d_%02d%02d%02d", t.year % 100, t.month, t.day,
                  t.hour, t.minute, t.second);
    return buf;
}

std::string datedName(std::string_view name, const plat::DateTime& t) {
    std::size_t slash = name.find_last_of('/');
    std::size_t dot = name.find_last_of('.');
    bool hasExtension =
        dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    std::size_t at = hasExtension ? dot : name.size();
    std::string out(name.substr(0, at));
    out += dateText(t);
    out += name.substr(at);
    return out;
}

std::string offsetEncode(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) - 0x30u);
    return out;
}

}  // namespace tarvik
