// The INI reader of the settings file and the reactivation list: any bytes
// read as sections and keys; a value written reads back as written (line
// breaks as blanks, at most 2047 characters, blanks around it dropped) and
// every other line stays byte for byte.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "platform/ini.h"

namespace {

std::string expectedValue(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!value.empty() && blank(value.front())) value.erase(value.begin());
    while (!value.empty() && blank(value.back())) value.pop_back();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value.substr(0, plat::IniFile::kMaxValueLength);
}

}  // namespace

FUZZ_TARGET(ini_file)(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        fuzzsupport::splitParts(fuzzsupport::asText(data, size), 2);
    const std::string path = fuzzsupport::writeScratch("Pelko_Programm.INI", parts[0]);
    plat::IniFile ini(path);
    FUZZ_CHECK(ini.readable());
    FUZZ_CHECK(ini.text() == parts[0]);  // nothing changes by reading

    // The keys the programs read, and a few names taken from the text.
    std::vector<std::pair<std::string, std::string>> keys = {
        {"Spezial", "ProcessTag"}, {"HOTEL", "AnzahlZimmer"}, {"ECR", "BonNummer"},
        {"ECR", "Zeit1"},          {"TischZeile", "12"},      {"KeineRechTisch", "500"}};
    const std::string_view second = parts[1];
    const std::size_t eq = second.find('=');
    if (eq != std::string_view::npos)
        keys.emplace_back(std::string(second.substr(0, std::min<std::size_t>(eq, 40))),
                          std::string(second.substr(eq + 1, 40)));
    for (const auto& [section, key] : keys) {
        const std::string v = ini.readString(section, key, "default");
        FUZZ_CHECK(v.size() <= plat::IniFile::kMaxValueLength);
        const std::int32_t n = ini.readInteger(section, key, -7);
        std::int32_t parsed = 0;
        if (plat::parseProfileInteger(v, parsed))
            FUZZ_CHECK(!ini.hasKey(section, key) || n == parsed);
        (void)ini.readBool(section, key, true);
    }

    // A write of the second part's text under a plain key reads back.
    const std::string value(parts[1].substr(0, 3000));
    const std::string before = ini.text();
    ini.writeString("ECR", "BonNummer", value);
    ini.writeInteger("HOTEL", "AnzahlZimmer", static_cast<std::int64_t>(size));
    FUZZ_CHECK(ini.readString("ECR", "BonNummer", "") == expectedValue(value));
    FUZZ_CHECK(ini.readInteger("HOTEL", "AnzahlZimmer", -1) == static_cast<std::int32_t>(size));
    FUZZ_CHECK(ini.flush());
    plat::IniFile again(path);
    FUZZ_CHECK(again.text() == ini.text());
    FUZZ_CHECK(again.readString("ECR", "BonNummer", "") == expectedValue(value));
    return 0;
}
