// Protel's lookups: the guests in house (INHOUSE.DAT) and the article and
// Z-text tables (VART.CSV, VZtxt.CSV).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/adapters/ProtelGuests.h"
#include "interface/adapters/ProtelTables.h"
#include "support/temp_dir.h"

using regfiles::GastDaten;

namespace {

std::string join(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? ";" : "") + fields[i];
    return out;
}

// A VART.CSV line: field 2 the article, field 5 Protel's number, field 44 the
// group text (left out when empty and `fields` is below 44).
std::string articleLine(const std::string& article, const std::string& protel,
                        const std::string& group, std::size_t fields = 46) {
    std::vector<std::string> f(fields);
    f[0] = "1";
    if (fields >= 2) f[1] = article;
    if (fields >= 5) f[4] = protel;
    if (fields >= 44) f[43] = group;
    return join(f) + "\r\n";
}

}  // namespace

TEST(ProtelGuests, RoomValueIsThePartBeforeTheFirstBlank) {
    const struct {
        const char* field;
        const char* value;
    } cases[] = {{"101", "101"}, {"101 A", "101"}, {"205  x y", "205"},
                 {" 101", ""},   {"", ""},         {"1-01", "1-01"}};
    for (const auto& c : cases) EXPECT_EQ(protel::roomValue(c.field), c.value) << c.field;
    EXPECT_EQ(protel::roomValue(std::string(40, '9')), std::string(29, '9'));
}

TEST(ProtelGuests, Lookup) {
    testsupport::TempDir dir;
    dir.write("INHOUSE.DAT",
              "1|4711|101|Meier, Hans|x|y\r\n"
              "2|4712|101|Zweiter\r\n"
              "3|4713|205 A|Schulz\r\n"
              "4|4714|102|" +
                  std::string(40, 'n') +
                  "\r\n"
                  "5|4715|103\r\n"
                  "6|4716||Ohne Zimmer\r\n"
                  "\r\n"
                  "7|4717|104|Mit \"Q\"; und ;\r\n"
                  "8|4718|106|Letzte");  // no line end: nothing is lost
    const std::string path = dir.file("INHOUSE.DAT");
    const struct {
        const char* room;
        protel::LookupResult result;
        GastDaten guest;
    } cases[] = {
        {"101", protel::LookupResult::Found, {"101", "\"Meier, Hans\"", "4711"}},  // first wins
        {"205", protel::LookupResult::Found, {"205", "\"Schulz\"", "4713"}},
        {"0205", protel::LookupResult::NotFound, {}},  // texts, not numbers
        {"205 A", protel::LookupResult::NotFound, {}},
        {"102", protel::LookupResult::Found, {"102", "\"" + std::string(25, 'n') + "\"", "4714"}},
        {"103", protel::LookupResult::Found, {"103", "\"  \"", "4715"}},  // no name field
        {"104", protel::LookupResult::Found, {"104", "\"Mit \"Q\"; und ;\"", "4717"}},
        {"106", protel::LookupResult::Found, {"106", "\"Letzte\"", "4718"}},
        {"", protel::LookupResult::NotFound, {}},  // an empty room never matches
        {"999", protel::LookupResult::NotFound, {}},
    };
    for (const auto& c : cases) {
        GastDaten g;
        g.set("9", "\"alt\"", "1");
        EXPECT_EQ(protel::findGuest(path, c.room, g), c.result) << c.room;
        EXPECT_EQ(g, c.guest) << c.room;
    }
}

TEST(ProtelGuests, MissingEmptyAndOverlong) {
    testsupport::TempDir dir;
    GastDaten g;
    g.set("101", "\"alt\"", "1");
    EXPECT_EQ(protel::findGuest(dir.file("INHOUSE.DAT"), "101", g),
              protel::LookupResult::CannotOpen);
    EXPECT_EQ(g, GastDaten{});

    dir.write("inhouse.dat", "");
    EXPECT_EQ(protel::findGuest(dir.file("INHOUSE.DAT"), "101", g), protel::LookupResult::NotFound);

    // Fields are cut (account to 29), and what a line has beyond 149
    // characters is cut off, never read as a line of its own.
    dir.write("inhouse.dat", "1|" + std::string(60, 'k') + "|101|Name\r\n" + std::string(140, 'x') +
                                 "|4|9|102|Hinten\r\n");
    ASSERT_EQ(protel::findGuest(dir.file("INHOUSE.DAT"), "101", g), protel::LookupResult::Found);
    EXPECT_EQ(g.Konto, std::string(29, 'k'));
    EXPECT_EQ(protel::findGuest(dir.file("INHOUSE.DAT"), "102", g), protel::LookupResult::NotFound);
}

TEST(ProtelTables, ArticleLookup) {
    testsupport::TempDir dir;
    dir.write("VART.CSV", articleLine("42", "9042", "\"Getr\xFCnke\"") +   // quoted group
                              articleLine("42", "7777", "zweite") +        // the first line wins
                              articleLine("43", "9043", "") +              // empty group
                              articleLine("44", "9044", "", 30) +          // no field 44
                              articleLine("45", "", "", 4) +               // no field 5: no match
                              articleLine("\"4;6\"", "9046", "G") +        // quoted number with ";"
                              articleLine("47", "9047", "123456789012"));  // group cut to 9
    const struct {
        const char* number;
        protel::TableResult result;
        const char* translated;
        const char* group;
    } cases[] = {
        {"42", protel::TableResult::Found, "9042", "Getr\xFCnke"},  // no umlaut mapping
        {"43", protel::TableResult::Found, "9043", ""},
        {"44", protel::TableResult::Found, "9044", ""},
        {"45", protel::TableResult::NotFound, "45", ""},
        {"4;6", protel::TableResult::Found, "9046", "G"},
        {"47", protel::TableResult::Found, "9047", "123456789"},
        {"0042", protel::TableResult::NotFound, "0042", ""},  // texts, not numbers
        {"99", protel::TableResult::NotFound, "99", ""},
    };
    for (const auto& c : cases) {
        std::string number = c.number;
        std::string group = "alt";
        EXPECT_EQ(protel::lookUpArticle(dir.str(), number, group), c.result) << c.number;
        EXPECT_EQ(number, c.translated) << c.number;
        EXPECT_EQ(group, c.group) << c.number;
        EXPECT_EQ(protel::groupField(group), *c.group ? c.group : "1");
    }
}

TEST(ProtelTables, ZTextLookup) {
    testsupport::TempDir dir;
    dir.write("vztxt.csv",
              "1;7;42;x\r\n"
              "1;7;43\r\n"
              "1;8\r\n"
              "1;\"9\";\"4\"\"4\"\r\n");
    const struct {
        const char* number;
        protel::TableResult result;
        const char* translated;
    } cases[] = {
        {"7", protel::TableResult::Found, "42"},
        {"8", protel::TableResult::NotFound, "8"},  // no field 3
        {"9", protel::TableResult::Found, "44"},    // a quote pair is skipped
        {"07", protel::TableResult::NotFound, "07"},
    };
    for (const auto& c : cases) {
        std::string number = c.number;
        EXPECT_EQ(protel::lookUpZText(dir.str(), number), c.result) << c.number;
        EXPECT_EQ(number, c.translated) << c.number;
    }
}

TEST(ProtelTables, MissingTablesAreReportedAndAnswerAsWithoutMatch) {
    testsupport::TempDir dir;
    std::vector<std::string> messages;
    const regfiles::MessageSink sink = [&](const std::string& m) { messages.push_back(m); };
    std::string number = "42";
    std::string group = "alt";
    protel::translateArticle(dir.str(), number, group, sink);
    EXPECT_EQ(number, "42");
    EXPECT_EQ(group, "");
    protel::translateZText(dir.str(), number, sink);
    EXPECT_EQ(number, "42");
    EXPECT_EQ(messages, (std::vector<std::string>{"Datei VART.CSV kann nicht gelesen werden",
                                                  "Datei VZtxt.CSV kann nicht gelesen werden"}));
}
