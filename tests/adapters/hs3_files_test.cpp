#include "interface/adapters/Hs3Files.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"

using regfiles::GastDaten;

TEST(Hs3, RoomValueOfField2) {
    const struct {
        const char* field;
        const char* value;
    } cases[] = {
        {"\"101\"", "101"}, {"\"101  \"", "101"}, {"101", "0"},
        {"\"\"", ""},       {"\"", ""},           {"", ""},
        {"\"1 01\"", "1"},  {"\" 101\"", ""},     {"x101\"", "101"},
        {"\"101", "10"},
    };
    for (const auto& c : cases) EXPECT_EQ(hs3::roomValue(c.field), c.value) << c.field;
}

TEST(Hs3, GuestLookup) {
    testsupport::TempDir dir;
    dir.write("hs3cash.out",
              "4711;\"101\";\"Meier, Hans\";x\r\n"
              "4712;\"101\";\"Zweiter\"\r\n"
              "4713;\"102   \";\"Schulz\"\r\n"
              "4714;103;\"Ohne Quotes\"\r\n"
              "4715;\"0101\";\"Null\"\r\n"
              "4716;\"104\"\r\n"
              "4717;\"\";\"Leer\"\r\n");
    const std::string path = dir.file("HS3CASH.OUT");
    const struct {
        const char* room;
        hs3::LookupResult result;
        GastDaten guest;
    } cases[] = {
        {"101",
         hs3::LookupResult::Found,
         {"101", "\"Meier, Hans\"", "4711"}},  // the first line counts
        {"102",
         hs3::LookupResult::Found,
         {"102", "\"Schulz\"", "4713"}},           // blanks inside the quotes
        {"103", hs3::LookupResult::NotFound, {}},  // unquoted: room value "0"
        {"0", hs3::LookupResult::Found, {"0", "\"Ohne Quotes\"", "4714"}},
        {"0101", hs3::LookupResult::Found, {"0101", "\"Null\"", "4715"}},
        {"104", hs3::LookupResult::Found, {"104", "\"  \"", "4716"}},  // no field 3: no name
        {"105", hs3::LookupResult::NotFound, {}},
        {"", hs3::LookupResult::NotFound, {}},  // an empty room never matches
        {" 101", hs3::LookupResult::NotFound, {}},
    };
    for (const auto& c : cases) {
        GastDaten g;
        g.set("9", "\"alt\"", "1");
        EXPECT_EQ(hs3::findGuest(path, c.room, g), c.result) << c.room;
        EXPECT_EQ(g, c.guest) << c.room;
    }
}

TEST(Hs3, GuestFileMissing) {
    testsupport::TempDir dir;
    GastDaten g;
    g.set("101", "\"alt\"", "1");
    EXPECT_EQ(hs3::findGuest(dir.file("HS3CASH.OUT"), "101", g), hs3::LookupResult::CannotOpen);
    EXPECT_EQ(g, GastDaten{});
}

TEST(Hs3, GuestFieldsCutToTheirWidths) {
    testsupport::TempDir dir;
    dir.write("HS3CASH.OUT",
              std::string(35, 'k') + ";\"101\";\"" + std::string(60, 'n') + "\"\r\n");
    GastDaten g;
    ASSERT_EQ(hs3::findGuest(dir.file("HS3CASH.OUT"), "101", g), hs3::LookupResult::Found);
    EXPECT_EQ(g.Konto, std::string(29, 'k'));
    EXPECT_EQ(g.Name, "\"" + std::string(48, 'n'));
}

TEST(Hs3, QuantityAndUnitPrice) {
    const struct {
        const char* menge;
        const char* betrag;
        char sep;
        const char* quantity;
        const char* unit;
    } cases[] = {
        {"2", "5,80", ',', "2,00", "2,90"},
        {"2", "5.80", ',', "2,00", "2,90"},  // a point in Betrag is read too
        {"", "5,80", ',', "0,00", "5,80"},   // no Menge: unit price is Betrag
        {"0", "5,80", ',', "0,00", "5,80"},  // Menge 0 counts as 1
        {"0,00", "5,80", ',', "0,00", "5,80"},
        {"3", "10,00", ',', "3,00", "3,33"},
        {"1.5", "3,00", ',', "1,50", "2,00"},  // Menge the C way; unit price reads the point too
        {"1,5", "3,00", ',', "1,00", "2,00"},  // Menge the C way stops at the comma
        {"-1", "-2,50", ',', "-1,00", "2,50"},
        {"2", "abc", ',', "2,00", "0,50"},   // Betrag not a number counts as 1
        {"8", "1,00", ',', "8,00", "0,13"},  // 0.125 rounds away from zero
        {"2", "5.80", '.', "2.00", "2.90"},
        {"2", "5,80", '.', "2.00", "2.90"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hs3::quantityText(c.menge, c.sep), c.quantity) << c.menge;
        EXPECT_EQ(hs3::unitPriceText(c.menge, c.betrag, c.sep), c.unit)
            << c.menge << " " << c.betrag;
    }
}

TEST(Hs3, BookingLineSeparators) {
    hs3::Booking b{"4711",     "007",   "11.12.2026", "14:05", "2,00", "5",
                   "\"Bier\"", "19,00", "2,90",       "5,80",  "7",    "\"Anna\""};
    EXPECT_EQ(
        hs3::formatBooking(b),
        "4711;\"007\";\"11.12.2026\";\"14:05\";\"2,00\";\"5\";\"Bier\";\"19,00\";\"2,90\";\"5,80\";"
        "\"EUR\";\"7\";\"Anna\"");
    b.konto.clear();
    EXPECT_EQ(hs3::formatBooking(b).substr(0, 7), ";\"007\";");
}

namespace {

struct ConverterRun {
    testsupport::TempDir dir;
    std::map<std::string, GastDaten> guests;
    std::map<std::string, std::string> operators;
    std::vector<std::string> lookups;
    std::vector<std::string> messages;
    long counter = 0;
    std::vector<long> stored;

    bool run(const std::string& report, char sep = ',') {
        dir.write("VZimmerBericht.csv", report);
        hs3::Converter::Steps steps;
        steps.guestOf = [this](const std::string& room) {
            lookups.push_back(room);
            auto it = guests.find(room);
            return it == guests.end() ? GastDaten{} : it->second;
        };
        steps.operatorName = [this](const std::string& nr) { return operators[nr]; };
        steps.nextReceipt = [this] {
            stored.push_back(++counter);
            return counter;
        };
        steps.clock = [] { return plat::DateTime{2026, 12, 11, 14, 5, 33, 0, 5}; };
        hs3::Converter conv({dir.str(), dir.file("HS3CASH.IN"), "HS3CASH.IN",
                             [this](const std::string& m) { messages.push_back(m); }},
                            steps, "19,00", sep);
        return conv.run();
    }
    std::string out() const { return dir.read("HS3CASH.IN"); }
};

}  // namespace

TEST(Hs3Converter, BooksTableNumbers5000AndAbove) {
    ConverterRun r;
    GastDaten meier;
    meier.set("101", "\"Meier\"", "4711");
    r.guests["101"] = meier;
    r.operators["7"] = "\"Anna\"";
    r.counter = 8;
    ASSERT_TRUE(
        r.run("20;Kopf\r\n"
              "22;101;7;4999;1;\"Kein\";1;1,00\r\n"
              "22;101;7;5000;2;\"Suppe\";1;4,50\r\n"
              "22;101;7;10000;5;\"Bier\";2;5,80\r\n"
              "22;102;8;10000;6;\"Wein\";1;4,00\r\n"
              "22;101;7;0;99;\"Summe\";0;14,30\r\n"
              "22;101;7;10000;5;\"Bier\";0;0,00\r\n"));
    EXPECT_EQ(r.out(),
              "4711;\"009\";\"11.12.2026\";\"14:05\";\"1,00\";\"2\";\"Suppe\";\"19,00\";\"4,50\";"
              "\"4,50\";\"EUR\";"
              "\"7\";\"Anna\"\r\n"
              "4711;\"009\";\"11.12.2026\";\"14:05\";\"2,00\";\"5\";\"Bier\";\"19,00\";\"2,90\";"
              "\"5,80\";\"EUR\";"
              "\"7\";\"Anna\"\r\n"
              ";\"010\";\"11.12.2026\";\"14:05\";\"1,00\";\"6\";\"Wein\";\"19,00\";\"4,00\";\"4,"
              "00\";\"EUR\";"
              "\"8\";\r\n"
              "4711;\"011\";\"11.12.2026\";\"14:05\";\"0,00\";\"5\";\"Bier\";\"19,00\";\"0,00\";"
              "\"0,00\";\"EUR\";"
              "\"7\";\"Anna\"\r\n");
    EXPECT_EQ(r.lookups, (std::vector<std::string>{"101", "102", "101"}));
    EXPECT_EQ(r.stored, (std::vector<long>{9, 10, 11}));
    EXPECT_TRUE(r.messages.empty());
}

TEST(Hs3Converter, NothingToBookLeavesAnEmptyFile) {
    ConverterRun r;
    r.dir.write("HS3CASH.IN", "alte Zeile\r\n");
    ASSERT_TRUE(r.run("22;101;7;4000;1;\"Z\";1;1,00\r\n22;101;7;0;99;x;0;1,00\r\n"));
    EXPECT_EQ(r.out(), "");
}

TEST(Hs3Converter, ShortBookingLineReported) {
    ConverterRun r;
    EXPECT_FALSE(r.run("22;101;7;10000;5;\"Bier\";2\r\n22;101;7;4000;5\r\n"));
    EXPECT_EQ(r.out(), "");
    EXPECT_EQ(
        r.messages,
        (std::vector<std::string>{
            "VZimmerBericht.csv: 1 unvollständige Buchungszeile nicht übertragen (Zeile 1)"}));
}

TEST(Hs3Converter, EnglishSettingsWriteDecimalPoints) {
    ConverterRun r;
    ASSERT_TRUE(r.run("22;101;7;10000;5;\"Bier\";2;5.80\r\n", '.'));
    EXPECT_EQ(r.out(),
              ";\"001\";\"11.12.2026\";\"14:05\";\"2.00\";\"5\";\"Bier\";\"19,00\";\"2.90\";\"5."
              "80\";\"EUR\";"
              "\"7\";\r\n");
}
