#include "interface/adapters/HotlineFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

using regfiles::GastDaten;

namespace {

std::string pad(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

// A block of OSNAME.DAT: 152 characters, the record mark last.
std::string block(const std::string& room, const std::string& konto, const std::string& name,
                  char mark = ' ') {
    return pad(room, 5) + pad(konto, 10) + pad(name, 20) + std::string(116, '.') + mark;
}

GastDaten guest(const char* zimmer, const char* name, const char* konto) {
    GastDaten g;
    g.set(zimmer, name, konto);
    return g;
}

}  // namespace

TEST(Hotline, GuestOfABlock) {
    EXPECT_EQ(hotline::guestOfBlock(block("  101", "  4711    ", " Meier, Hans  ")),
              guest("101", "\"Meier, Hans\"", "4711"));
    EXPECT_EQ(hotline::guestOfBlock(block("101", "", "")), guest("101", "\"\"", ""));
    EXPECT_EQ(hotline::roomValue(block("1 01", "", "")), "1 01");
    EXPECT_TRUE(hotline::isGuestRecord(block("101", "", "")));
    EXPECT_FALSE(hotline::isGuestRecord(block("101", "", "", '*')));
    EXPECT_FALSE(hotline::isGuestRecord(block("101", "", "", '\n')));
    EXPECT_FALSE(hotline::isGuestRecord(block("101", "", "").substr(0, 151)));
}

TEST(Hotline, GuestLookup) {
    testsupport::TempDir dir;
    // The second record holds a line end: CR LF on disk, one character of the block.
    std::string withLineEnd = block("  102", "4712", "Schulz");
    withLineEnd.replace(60, 1, "\r\n");
    dir.write("osname.dat",
              block("101", "4711", "Meier", 'X') +               // record mark set: skipped
                  withLineEnd +                                  //
                  block("  101", "4713", "Erster") +             // first match counts
                  block("101  ", "4714", "Zweiter") +            //
                  block("7", "4715", "Sieben") +                 //
                  block("0103", "4716", "Null") +                //
                  block("", "4717", "Leer") +                    //
                  block("104", "4718", "Rest").substr(0, 151));  // a shorter rest is no record
    const std::string path = dir.file("OSNAME.DAT");
    const struct {
        const char* room;
        hotline::LookupResult result;
        GastDaten guest;
    } cases[] = {
        {"101", hotline::LookupResult::Found, guest("101", "\"Erster\"", "4713")},
        {"102", hotline::LookupResult::Found, guest("102", "\"Schulz\"", "4712")},
        {"7", hotline::LookupResult::Found, guest("7", "\"Sieben\"", "4715")},
        {"103", hotline::LookupResult::NotFound, {}},  // rooms are compared as text
        {"0103", hotline::LookupResult::Found, guest("0103", "\"Null\"", "4716")},
        {"104", hotline::LookupResult::NotFound, {}},
        {"", hotline::LookupResult::NotFound, {}},  // an empty room never matches
        {" 101", hotline::LookupResult::NotFound, {}},
    };
    for (const auto& c : cases) {
        GastDaten g = guest("9", "\"alt\"", "1");
        EXPECT_EQ(hotline::findGuest(path, c.room, g), c.result) << c.room;
        EXPECT_EQ(g, c.guest) << c.room;
    }
}

TEST(Hotline, LaterRecordWithBlankMarkGivesTheGuest) {
    testsupport::TempDir dir;
    dir.write("OSNAME.DAT", block("101", "1", "Alt", 'D') + block("101", "2", "Neu"));
    GastDaten g;
    EXPECT_EQ(hotline::findGuest(dir.file("OSNAME.DAT"), "101", g), hotline::LookupResult::Found);
    EXPECT_EQ(g, guest("101", "\"Neu\"", "2"));
}

TEST(Hotline, GuestFileMissing) {
    testsupport::TempDir dir;
    GastDaten g = guest("101", "\"alt\"", "1");
    EXPECT_EQ(hotline::findGuest(dir.file("OSNAME.DAT"), "101", g),
              hotline::LookupResult::CannotOpen);
    EXPECT_EQ(g, GastDaten{});
}

TEST(Hotline, TipAmount) {
    const struct {
        const char* betrag;
        double amount;
    } cases[] = {
        {"1,50", 1.5}, {"2.00", 2.0}, {"3,5", 3.0},    {"-1,00", -1.0}, {"1,234,50", 1.0},
        {"", 0.0},     {"abc", 0.0},  {" 4,25", 4.25}, {"12", 12.0},    {",50", 0.5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(hotline::tipAmount(c.betrag), c.amount) << c.betrag;
}

TEST(Hotline, FixedPointText) {
    const struct {
        double value;
        const char* text;  // nullptr: no fixed-point text
    } cases[] = {
        {3.5, "3.50"},
        {0.0, "0.00"},
        {0.125, "0.13"},                        // halves away from zero
        {static_cast<double>(2.675f), "2.67"},  // the float lies below the half
        {static_cast<double>(0.1f), "0.10"},
        {0.004, "0.00"},
        {0.005, "0.01"},
        {-1.5, "-1.50"},
        {-0.001, "0.00"},
        {99999.99, "99999.99"},
        {123456.789, "123456.80"},  // seven significant digits, then zeros
        {1234567.5, "1234568.00"},
        {9999999.4, "9999999.00"},
        {9999999.5, nullptr},  // rounds to eight digits
        {12345678.0, nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> t = hotline::fixedPointText(c.value, 7, 2, '.');
        if (c.text) {
            ASSERT_TRUE(t) << c.value;
            EXPECT_EQ(*t, c.text) << c.value;
        } else {
            EXPECT_FALSE(t) << c.value;
        }
    }
    EXPECT_EQ(hotline::fixedPointText(3.5, 7, 2, ','), "3,50");
    EXPECT_FALSE(hotline::fixedPointText(std::numeric_limits<double>::infinity(), 7, 2, '.'));
    EXPECT_FALSE(hotline::fixedPointText(std::numeric_limits<double>::quiet_NaN(), 7, 2, '.'));
}

TEST(Hotline, TipTextHasAPoint) {
    EXPECT_EQ(hotline::tipText(3.5f, ','), "3.50");
    EXPECT_EQ(hotline::tipText(3.5f, '.'), "3.50");
    EXPECT_EQ(hotline::tipText(1234567.f, ','), "1234567.00");
    EXPECT_FALSE(hotline::tipText(1.0e8f, ','));
}

TEST(Hotline, Record) {
    const plat::DateTime d{2026, 3, 7, 9, 5, 3, 0, 6};
    const std::string empty = hotline::kEmptyAmount;
    const struct {
        const char* what;
        hotline::Booking b;
        std::string record;
        bool fits;
    } cases[] = {
        {"room 7 after four blanks",
         {"7", "4711", "25,80", "", d},
         "    7"
         "      4711"
         "1"
         "     25.80" +
             empty + empty + empty + "20260307 ",
         true},
        {"tip",
         {"101", "", "1,00", "3.50", d},
         "  101"
         "          "
         "1"
         "      1.00" +
             empty + empty +
             "      3.50"
             "20260307 ",
         true},
        {"full widths",
         {"12345", "1234567890", "1234567,89", "1234567.00", d},
         "12345"
         "1234567890"
         "1"
         "1234567.89" +
             empty + empty +
             "1234567.00"
             "20260307 ",
         true},
        {"room of 6", {"123456", "", "1,00", "", d}, "", false},
        {"amount of 11", {"1", "", "-1234567,89", "", d}, "", false},
        {"account of 11", {"1", "12345678901", "1,00", "", d}, "", false},
        {"tip of 11", {"1", "", "1,00", "12345678.00", d}, "", false},
    };
    for (const auto& c : cases) {
        const fixedwidth::RecordBuilder r = hotline::formatRecord(c.b);
        EXPECT_EQ(r.text().size(), hotline::kRecordSize) << c.what;
        EXPECT_EQ(r.fits(), c.fits) << c.what;
        if (c.fits) {
            EXPECT_EQ(r.text(), c.record) << c.what;
        }
    }
}

namespace {

struct ConverterRun {
    testsupport::TempDir dir;
    std::map<std::string, GastDaten> guests;
    std::vector<std::string> events;
    std::vector<std::string> messages;

    bool run(const std::string& report, char sep = ',') {
        dir.write("VZimmerBericht.csv", report);
        hotline::Converter::Steps steps;
        steps.guestOf = [this](const std::string& room) {
            events.push_back("guest " + room);
            auto it = guests.find(room);
            return it == guests.end() ? GastDaten{} : it->second;
        };
        steps.lookUpOperator = [this](const std::string& nr) { events.push_back("op " + nr); };
        steps.clock = [] { return plat::DateTime{2026, 12, 11, 14, 5, 33, 0, 5}; };
        hotline::Converter conv({dir.str(), dir.file("OSUMSATZ.DAT"), "OSUMSATZ.DAT",
                                 [this](const std::string& m) { messages.push_back(m); }},
                                steps, sep);
        return conv.convert();
    }
    std::string out() const { return dir.read("OSUMSATZ.DAT"); }
};

std::string right(const std::string& text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

std::string record(const std::string& room, const std::string& konto, const std::string& betrag,
                   const std::string& tip = "") {
    const std::string empty = hotline::kEmptyAmount;
    return right(room, 5) + right(konto, 10) + "1" + right(betrag, 10) + empty + empty +
           (tip.empty() ? empty : right(tip, 10)) + "20261211 ";
}

}  // namespace

TEST(HotlineConverter, TipSumGoesIntoTheNextRecord) {
    ConverterRun r;
    r.guests["101"] = guest("101", "\"Meier\"", "4711");
    r.guests["102"] = guest("102", "\"Schulz\"", "4712");
    ASSERT_TRUE(
        r.run("22;101;3;10000;5;\"Bier\";2;5,80\r\n"
              "22;101;3;900;1;\"Tip\";0;1,50\r\n"
              "22;101;3;900;2;\"Tip\";0;2,00\r\n"
              "22;101;3;0;99;\"Summe\";0;25,80\r\n"  // 3.50
              "22;102;4;0;99;\"Summe\";0;4,00\r\n"   // placeholder
              "22;102;4;900;1;\"Tip\";0;3,5\r\n"     // read as 3
              "22;103;4;0;99;\"Summe\";0;1,00\r\n"   // another room takes it
              "22;103;4;900;1;\"Tip\";0;1,00\r\n"    // no record follows
              "21;104;4;900;1;\"Tip\";0;9,00\r\n"    // not a room booking line
              "22;104;4; 900;1;\"Tip\";0;9,00\r\n"   // TabellenNr not exactly 900
              "22;101;3;0;99;\"Summe\";0;2,00\r\n"));
    EXPECT_EQ(r.out(), record("101", "4711", "25.80", "3.50") + record("102", "4712", "4.00") +
                           record("0", "", "1.00", "3.00") + record("101", "4711", "2.00", "1.00"));
    EXPECT_EQ(r.out().size(), 4 * hotline::kRecordSize);
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"guest 101", "op 3", "op 3", "op 3", "op 3", "guest 102",
                                        "op 4", "op 4", "guest 103", "op 4", "op 4", "guest 104",
                                        "op 4", "guest 101", "op 3"}));
    EXPECT_TRUE(r.messages.empty());
}

TEST(HotlineConverter, SumOfZeroOrBelowIsCarriedOn) {
    ConverterRun r;
    ASSERT_TRUE(
        r.run("22;7;3;900;1;\"Tip\";0;-2,00\r\n"
              "22;7;3;0;99;\"Summe\";0;1,00\r\n"
              "22;7;3;900;1;\"Tip\";0;3,00\r\n"
              "22;7;3;0;99;\"Summe\";0;1,00\r\n"
              "22;7;3;0;99;\"Summe\";0;1,00\r\n"));
    EXPECT_EQ(r.out(),
              record("7", "", "1.00") + record("7", "", "1.00", "1.00") + record("7", "", "1.00"));
}

TEST(HotlineConverter, RoomOfTheLookupOnTheLineOfTheRoomChange) {
    ConverterRun r;
    r.guests["102"] = guest("102", "\"Schulz\"", "4712");
    ASSERT_TRUE(
        r.run("22;101;3;0;99;\"Summe\";0;1,00\r\n"  // no guest, room changes here: 0
              "22;101;3;0;99;\"Summe\";0;2,00\r\n"  // same room: the room itself
              "22;7;3;10000;5;\"Bier\";1;3,00\r\n"
              "22;7;3;0;99;\"Summe\";0;3,00\r\n"  // room changed on the line before
              "22;102;3;0;99;\"Summe\";0;4,00\r\n"));
    EXPECT_EQ(r.out(), record("0", "", "1.00") + record("101", "", "2.00") +
                           record("7", "", "3.00") + record("102", "4712", "4.00"));
}

TEST(HotlineConverter, EmptyReportEmptiesTheFile) {
    ConverterRun r;
    r.dir.write("OSUMSATZ.DAT", "alt");
    ASSERT_TRUE(r.run("22;101;3;10000;5;\"Bier\";2;5,80\r\n22;101;3;900;1;\"Tip\";0;1,00\r\n"));
    EXPECT_EQ(r.out(), "");
}

TEST(HotlineConverter, LinesThatCannotBeBookedAreReported) {
    ConverterRun r;
    EXPECT_FALSE(
        r.run("22;101;3;900;1;\"Tip\";0\r\n"               // tip without Betrag
              "22;101;3;900;1;\"Tip\";0;1,00\r\n"          //
              "22;123456;3;10000;5;\"Bier\";1;1,00\r\n"    //
              "22;123456;3;0;99;\"Summe\";0;1,00\r\n"      // room of six: tip goes with it
              "22;101;3;0;99;\"Summe\";0;12345678,00\r\n"  // amount of 11
              "22;101;3;900;1;\"Tip\";0;99999999,00\r\n"   // a tip without text
              "22;101;3;0;99;\"Summe\";0;1,00\r\n"
              "22;101;3;0;99;\"Summe\";0;2,00\r\n"));
    EXPECT_EQ(r.out(), record("101", "", "2.00"));
    EXPECT_EQ(r.messages,
              (std::vector<std::string>{
                  "VZimmerBericht.csv: 1 unvollständige Buchungszeile nicht übertragen (Zeile 1)",
                  "VZimmerBericht.csv: 3 Buchungszeilen nicht übertragen, Wert zu lang für "
                  "OSUMSATZ.DAT (Zeile 4, 5, 7)"}));
}
