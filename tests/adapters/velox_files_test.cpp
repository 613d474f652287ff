#include "interface/adapters/VeloxFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/file.h"
#include "support/temp_dir.h"

using regfiles::GastDaten;

namespace {

std::string pad(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

// A line of ROOM.DAT: 65 characters and CR LF, 66 characters in text mode.
std::string roomLine(const std::string& room, const std::string& konto, const std::string& name,
                     const std::string& tail = "") {
    return pad(room, 10) + pad(konto, 10) + pad(name, 30) + pad(tail, 15) + "\r\n";
}

GastDaten guest(const char* zimmer, const std::string& name, const char* konto) {
    GastDaten g;
    g.set(zimmer, name, konto);
    return g;
}

// A name in positions 21-45 as the lookup gives it.
std::string quoted(const std::string& name) {
    return "\"" + pad(name, 25) + "\"";
}

}  // namespace

TEST(Velox, RoomValueOfABlock) {
    const struct {
        std::string block;
        const char* room;
    } cases[] = {
        {pad("101", 66), "101"},
        {"1234567890" + std::string(56, 'x'), "1234567890"},  // ten characters compared whole
        {"12345678901" + std::string(55, 'x'), "1234567890"},
        {pad(" 101", 66), ""},
        {pad("1 01", 66), "1"},
        {pad("101\n", 66), "101"},  // a misplaced line end ends the room
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(velox::roomValue(c.block), c.room) << c.block;
}

TEST(Velox, GuestOfABlock) {
    const struct {
        const char* what;
        std::string block;
        GastDaten guest;
    } cases[] = {
        {"plain", roomLine("101", "4711", "Meier, Hans"),
         guest("101", quoted("Meier, Hans"), "4711")},
        {"blanks inside the account dropped", roomLine("101", " 47 11 ", "X"),
         guest("101", quoted("X"), "4711")},
        {"name of 30 cut to 25", roomLine("101", "1", std::string(30, 'n')),
         guest("101", "\"" + std::string(25, 'n') + "\"", "1")},
        {"no name", roomLine("101", "1", ""), guest("101", quoted(""), "1")},
        {"line end inside the name read as a blank",
         pad("101", 10) + pad("1", 10) + "Ab\ncd" + std::string(41, ' '),
         guest("101", quoted("Ab cd"), "1")},
    };
    for (const auto& c : cases) EXPECT_EQ(velox::guestOfBlock(c.block), c.guest) << c.what;
}

TEST(Velox, GuestLookup) {
    testsupport::TempDir dir;
    dir.write("room.dat", roomLine("101", "4711", "Meier") + roomLine("102", "4712", "Schulz") +
                              roomLine("101", "4713", "Zweiter") +
                              roomLine("1234567890", "4714", "Lang") +
                              roomLine("0103", "4715", "Null") + roomLine("", "4716", "Leer") +
                              // the last record lacks its line end: 65 characters
                              pad("104", 10) + pad("4717", 10) + pad("Letzter", 45));
    const std::string path = dir.file("ROOM.DAT");
    const struct {
        const char* room;
        velox::LookupResult result;
        GastDaten guest;
    } cases[] = {
        {"101", velox::LookupResult::Found, guest("101", quoted("Zweiter"), "4713")},  // last wins
        {"102", velox::LookupResult::Found, guest("102", quoted("Schulz"), "4712")},
        {"1234567890", velox::LookupResult::Found, guest("1234567890", quoted("Lang"), "4714")},
        {"123456789", velox::LookupResult::NotFound, {}},
        {"103", velox::LookupResult::NotFound, {}},  // rooms are compared as text
        {"0103", velox::LookupResult::Found, guest("0103", quoted("Null"), "4715")},
        {"104", velox::LookupResult::Found, guest("104", quoted("Letzter"), "4717")},
        {"", velox::LookupResult::NotFound, {}},  // an empty room never matches
        {" 101", velox::LookupResult::NotFound, {}},
    };
    for (const auto& c : cases) {
        GastDaten g = guest("9", "\"alt\"", "1");
        EXPECT_EQ(velox::findGuest(path, c.room, g), c.result) << c.room;
        EXPECT_EQ(g, c.guest) << c.room;
    }
}

TEST(Velox, ShortRestOfTheFile) {
    testsupport::TempDir dir;
    // 44 characters: the name is not complete, so the rest is no record.
    dir.write("ROOM.DAT", roomLine("101", "1", "A") + pad("102", 10) + pad("2", 10) + pad("B", 24));
    GastDaten g;
    EXPECT_EQ(velox::findGuest(dir.file("ROOM.DAT"), "102", g), velox::LookupResult::NotFound);
    // 45 characters hold everything that is read.
    dir.write("ROOM.DAT", roomLine("101", "1", "A") + pad("102", 10) + pad("2", 10) + pad("B", 25));
    EXPECT_EQ(velox::findGuest(dir.file("ROOM.DAT"), "102", g), velox::LookupResult::Found);
    EXPECT_EQ(g, guest("102", quoted("B"), "2"));
}

TEST(Velox, LineEndCountsAsOneCharacter) {
    testsupport::TempDir dir;
    // With LF only the blocks are the same as with CR LF.
    std::string lf = roomLine("101", "1", "A") + roomLine("102", "2", "B");
    std::erase(lf, '\r');
    dir.write("ROOM.DAT", lf);
    GastDaten g;
    EXPECT_EQ(velox::findGuest(dir.file("ROOM.DAT"), "102", g), velox::LookupResult::Found);
    EXPECT_EQ(g, guest("102", quoted("B"), "2"));
    // Lines one character short drift: the second block starts one early.
    dir.write("ROOM.DAT", pad("101", 64) + "\r\n" + pad("102", 64) + "\r\n");
    EXPECT_EQ(velox::findGuest(dir.file("ROOM.DAT"), "102", g), velox::LookupResult::NotFound);
}

TEST(Velox, GuestFileMissing) {
    testsupport::TempDir dir;
    GastDaten g = guest("101", "\"alt\"", "1");
    EXPECT_EQ(velox::findGuest(dir.file("ROOM.DAT"), "101", g), velox::LookupResult::CannotOpen);
    EXPECT_EQ(g, GastDaten{});
}

TEST(Velox, Record) {
    const plat::DateTime t{2026, 3, 7, 9, 5, 3, 0, 6};
    const struct {
        const char* what;
        velox::Booking b;
        std::string record;
        bool fits;
    } cases[] = {
        {"account of four after six blanks",
         {"4711", t, "12,50", "3"},
         "      4711"
         "07032026"
         "090503"
         "         12.50"
         "Kasse   "
         "          "
         "Bed"
         "3    ",
         true},
        {"no guest",
         {"", t, "12.50", "12"},
         "          "
         "07032026"
         "090503"
         "         12.50"
         "Kasse   "
         "          "
         "Bed"
         "12   ",
         true},
        {"every comma a point",
         {"1234567890", t, "1,234,56", "12345"},
         "1234567890"
         "07032026"
         "090503"
         "      1.234.56"
         "Kasse   "
         "          "
         "Bed"
         "12345",
         true},
        {"negative amount",
         {"1", t, "-5,00", "1"},
         "         1"
         "07032026"
         "090503"
         "         -5.00"
         "Kasse   "
         "          "
         "Bed"
         "1    ",
         true},
        {"operator number cut",
         {"1", t, "1,00", "1234567"},
         "         1"
         "07032026"
         "090503"
         "          1.00"
         "Kasse   "
         "          "
         "Bed"
         "12345",
         true},
        {"amount of 14",
         {"1", t, "12345678901,00", "1"},
         "         1"
         "07032026"
         "090503"
         "12345678901.00"
         "Kasse   "
         "          "
         "Bed"
         "1    ",
         true},
        {"amount of 15", {"1", t, "123456789012,00", "1"}, "", false},
        {"account of 11", {"12345678901", t, "1,00", "1"}, "", false},
    };
    for (const auto& c : cases) {
        const fixedwidth::RecordBuilder r = velox::formatRecord(c.b);
        EXPECT_EQ(r.text().size(), velox::kRecordSize) << c.what;
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
    bool vatOk = true;
    long counter = 0;

    bool run(const std::string& report) {
        dir.write("VZimmerBericht.csv", report);
        velox::Converter::Steps steps;
        steps.readVatRate = [this] {
            events.push_back("vat");
            return vatOk;
        };
        steps.guestOf = [this](const std::string& room) {
            events.push_back("guest " + room);
            auto it = guests.find(room);
            return it == guests.end() ? GastDaten{} : it->second;
        };
        steps.lookUpOperator = [this](const std::string& nr) { events.push_back("op " + nr); };
        steps.nextReceipt = [this] {
            events.push_back("receipt " + std::to_string(++counter));
            return counter;
        };
        steps.clock = [] { return plat::DateTime{2026, 12, 11, 14, 5, 33, 0, 5}; };
        velox::Converter conv({dir.str(), dir.file("BOOK.DAT"), "BOOK.DAT",
                               [this](const std::string& m) { messages.push_back(m); }},
                              steps);
        return conv.convert();
    }
    std::string out() const { return dir.read("BOOK.DAT"); }
};

const std::string kWhen = "11122026140533";

std::string record(const std::string& konto, const std::string& betrag, const std::string& op) {
    return pad(std::string(10 - konto.size(), ' ') + konto, 10) + kWhen +
           std::string(14 - betrag.size(), ' ') + betrag + "Kasse   " + std::string(10, ' ') +
           "Bed" + pad(op, 5);
}

}  // namespace

TEST(VeloxConverter, BooksTotalLinesOnly) {
    ConverterRun r;
    r.guests["101"] = guest("101", quoted("Meier"), "4711");
    r.counter = 41;
    ASSERT_TRUE(
        r.run("20;Kopf\r\n"
              "22;101;3;10000;5;\"Bier\";2;5,80\r\n"
              "22;101;3;0;98;\"x\";0;1,00\r\n"
              "22;101;3;0;99;\"Summe\";0;12,50\r\n"
              "22;102;7;0;99;\"Summe\";0;4,00\r\n"
              "21;103;7;0;99;\"Summe\";0;9,99\r\n"
              "22;101;3;900;1;\"Tip\";0;1,00\r\n"
              "22;101;3; 0;099;\"Summe\";0;1.00\r\n"));
    EXPECT_EQ(r.out(),
              record("4711", "12.50", "3") + record("", "4.00", "7") + record("4711", "1.00", "3"));
    EXPECT_EQ(r.out().size(), 3 * velox::kRecordSize);
    EXPECT_EQ(r.events, (std::vector<std::string>{"vat", "guest 101", "receipt 42", "op 3", "op 3",
                                                  "op 3", "guest 102", "receipt 43", "op 7",
                                                  "guest 101", "receipt 44", "op 3", "op 3"}));
    EXPECT_TRUE(r.messages.empty());
}

TEST(VeloxConverter, NothingToBookLeavesAnEmptyFile) {
    ConverterRun r;
    r.dir.write("BOOK.DAT", "alt");
    ASSERT_TRUE(r.run("22;101;3;10000;5;\"Bier\";2;5,80\r\n"));
    EXPECT_EQ(r.out(), "");
    ASSERT_TRUE(r.run(""));
    EXPECT_EQ(r.out(), "");
}

TEST(VeloxConverter, VatRateNotANumberEndsBeforeReading) {
    ConverterRun r;
    r.dir.write("BOOK.DAT", "alt");
    r.vatOk = false;
    EXPECT_FALSE(r.run("22;101;3;0;99;\"Summe\";0;12,50\r\n"));
    EXPECT_EQ(r.events, (std::vector<std::string>{"vat"}));
    EXPECT_EQ(r.out(), "alt");
}

TEST(VeloxConverter, LinesThatCannotBeBookedAreReported) {
    ConverterRun r;
    EXPECT_FALSE(
        r.run("22;101;3;0;99;\"Summe\";0\r\n"                  // no Betrag
              "22;101;3;0;99;\"Summe\";0;123456789012,00\r\n"  // 15 characters
              "22;101;3;0;99;\"Summe\";0;2,00\r\n"));
    EXPECT_EQ(r.out(), record("", "2.00", "3"));
    EXPECT_EQ(r.messages,
              (std::vector<std::string>{
                  "VZimmerBericht.csv: 1 unvollständige Buchungszeile nicht übertragen (Zeile 1)",
                  "VZimmerBericht.csv: 1 Buchungszeile nicht übertragen, Wert zu lang für "
                  "BOOK.DAT (Zeile 2)"}));
}

TEST(VeloxConverter, RoomReportMissing) {
    ConverterRun r;
    r.dir.write("BOOK.DAT", "alt");
    velox::Converter conv({r.dir.str(), r.dir.file("BOOK.DAT"), "BOOK.DAT",
                           [&r](const std::string& m) { r.messages.push_back(m); }},
                          {});
    EXPECT_FALSE(conv.convert());
    EXPECT_EQ(r.messages,
              (std::vector<std::string>{"Datei VZimmerBericht.csv kann nicht gelesen werden"}));
    EXPECT_EQ(r.out(), "alt");
}

TEST(VeloxConverter, WriteFailureIsReported) {
    ConverterRun r;
    plat::injectWriteFailureAfter(1);
    const bool ok = r.run("22;101;3;0;99;\"Summe\";0;1,00\r\n22;101;3;0;99;\"Summe\";0;2,00\r\n");
    plat::injectWriteFailureAfter(-1);
    EXPECT_FALSE(ok);
    // No half-written BOOK.DAT: there was none before, and there is none.
    EXPECT_FALSE(r.dir.exists("BOOK.DAT"));
    EXPECT_EQ(r.messages,
              (std::vector<std::string>{"Datei BOOK.DAT kann nicht geschrieben werden"}));
}
