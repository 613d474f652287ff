// Protel's revenue file XREDUCT.DAT from the registers' journals, with the
// reactivation list and the look-ahead over a bill.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "interface/adapters/ProtelReactivation.h"
#include "interface/adapters/ProtelRevenue.h"
#include "interface/adapters/ProtelTables.h"
#include "support/temp_dir.h"

// Journal lines are written with designated initializers that name only the
// fields a line needs; the others stay empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// The fields of a journal line that the conversion uses.
struct J {
    std::string type = "1";
    std::string key;  // 2 closing key
    std::string f3;
    std::string date;  // 4
    std::string time;  // 5
    std::string bill;  // 6
    std::string f8;
    std::string f10;
    std::string f11;
    std::string code;    // 12
    std::string number;  // 13
    std::string text;    // 14
    std::string amount;  // 16
};

std::string j(const J& l) {
    return l.type + ";" + l.key + ";" + l.f3 + ";" + l.date + ";" + l.time + ";" + l.bill + ";x;" +
           l.f8 + ";x;" + l.f10 + ";" + l.f11 + ";" + l.code + ";" + l.number + ";" + l.text +
           ";x;" + l.amount + "\r\n";
}

// The line that opens bill `bill` with closing key `key` at table `table`
// (field 3 carries the closing key too, so that the T record shows it), and
// the line after it, which is never converted.
std::string open(const std::string& bill, const std::string& key, const std::string& table = "12") {
    return j({.type = "103",
              .key = key,
              .f3 = key,
              .date = "05-01-10",
              .time = "12:30:15",
              .bill = bill,
              .f8 = "4",
              .f10 = table,
              .f11 = "9",
              .code = "0",
              .number = "249"}) +
           j({.bill = bill, .code = "10000", .number = "1", .text = "\"nie\"", .amount = "9,99"});
}
std::string art(const std::string& bill, const std::string& no, const std::string& text,
                const std::string& amount) {
    return j({.bill = bill, .code = "10000", .number = no, .text = text, .amount = amount});
}
std::string pay(const std::string& bill, const std::string& no, const std::string& amount) {
    return j({.bill = bill, .code = "700", .number = no, .amount = amount});
}
std::string tip(const std::string& bill, const std::string& no, const std::string& amount) {
    return j({.bill = bill, .code = "900", .number = no, .amount = amount});
}
std::string disc(const std::string& bill, const std::string& text) {
    return j({.bill = bill, .code = "1000", .number = "1", .text = text, .amount = "0,00"});
}
std::string zero(const std::string& bill, const std::string& no, const std::string& amount) {
    return j({.bill = bill, .code = "0", .number = no, .amount = amount});
}
std::string react(const std::string& table) {
    return j({.f10 = table, .code = "1300", .number = "11"});
}

// The T record of a bill opened with open().
std::string T(const std::string& key, const std::string& tipA = "0.00",
              const std::string& tipB = "0.00", const std::string& table = "12") {
    return "{T|" + table + "|4|" + key + "|9|20100105|123015|" + tipA + "|" + tipB + "}\r\n";
}

plat::DateTime at(int h, int m, int s) {
    plat::DateTime t;
    t.year = 2026;
    t.month = 3;
    t.day = 1;
    t.hour = h;
    t.minute = m;
    t.second = s;
    return t;
}

struct RevenueRun {
    testsupport::TempDir dir;
    std::vector<std::string> messages;
    int registers = 1;
    plat::DateTime start = at(10, 30, 0);
    bool ok = false;

    RevenueRun() {
        std::filesystem::create_directories(dir.path() / "hotel");
        dir.write("VART.CSV", "1;42;x;x;9042;" + std::string(38, ';') + "Bar\r\n1;77;x;x;9077\r\n");
        dir.write("VZtxt.CSV", "1;8;77\r\n");
    }
    void journal(int n, const std::string& text) { dir.write(protel::journalFileName(n), text); }

    std::string run() {
        const regfiles::MessageSink sink = [this](const std::string& m) { messages.push_back(m); };
        protel::RevenueConverter::Setup setup;
        setup.workingDirectory = dir.str();
        setup.revenuePath = dir.file("hotel/XREDUCT.DAT");
        setup.registers = registers;
        setup.showStop = sink;
        setup.zText = [this, sink](std::string& n) { protel::translateZText(dir.str(), n, sink); };
        setup.article = [this, sink](std::string& n, std::string& g) {
            protel::translateArticle(dir.str(), n, g, sink);
        };
        const plat::DateTime t = start;
        setup.clock = [t] { return t; };
        ok = protel::RevenueConverter(setup).run();
        return dir.read("hotel/XREDUCT.DAT");
    }
    std::string archive(const std::string& stamp = "20260301103000") const {
        return dir.read("XREDUCT/XREDUCT" + stamp + ".DAT");
    }
};

}  // namespace

TEST(ProtelRevenue, DateAndTimeOfType103Lines) {
    const struct {
        const char* field;
        const char* date;  // "" when it cannot be read
    } dates[] = {{"05-01-10", "20100105"},
                 {" 5- 1-10", "20100105"},
                 {"05-01-2010", "20100105"},
                 {"31-12-99", "19991231"},
                 {"05-01-10 ", "20100105"},
                 {"05-01-1 ", "20010105"},
                 {"32-01-10", ""},
                 {"", ""},
                 {"xx", ""}};
    for (const auto& d : dates)
        EXPECT_EQ(protel::journalDate(d.field).value_or(""), d.date) << d.field;
    const struct {
        const char* field;
        const char* time;
    } times[] = {{"12:30:15", "123015"}, {"7:05", "070500"}, {" 7:05:01 ", "070501"},
                 {"24:00:00", ""},       {"", ""},           {"12.30", ""}};
    for (const auto& t : times)
        EXPECT_EQ(protel::journalTime(t.field).value_or(""), t.time) << t.field;
}

// The look-ahead over one bill, from just after its opening line.
TEST(ProtelRevenue, LookAheadOverABill) {
    const struct {
        const char* name;
        std::string rest;
        protel::BillTips tips;
    } cases[] = {
        {"payment numbers 2 and 6",
         tip("7", "2", "2,00") + tip("7", "6", "3,00"),
         {0, "2.00", "3.00"}},
        {"0/98 adds without its sign",
         tip("7", "2", "2,00") + zero("7", "98", "-1,50"),
         {0, "3.50", ""}},
        {"0/98 without sign", zero("7", "98", "1,50"), {0, "1.50", ""}},
        {"the later discount wins", disc("7", "\"-10%\"") + disc("7", "\"-5%\""), {5, "", ""}},
        {"discount 1000 read as text",
         j({.bill = "7", .code = "01000", .text = "-10%"}),
         {0, "", ""}},
        {"totals of 0 or less", tip("7", "1", "-1,00") + tip("7", "8", "0,00"), {0, "", ""}},
        // Mended: the end of the file ends the bill like any other end.
        {"to the end of the file", tip("7", "1", "1,00") + disc("7", "\"-10%\""), {10, "1.00", ""}},
        // Mended: the first line of another bill is not counted.
        {"another bill",
         tip("7", "1", "1,00") + tip("8", "1", "4,00") + disc("8", "\"-50%\""),
         {0, "1.00", ""}},
        // An interleaved line of another bill ends the look-ahead.
        {"interleaved",
         tip("7", "1", "1,00") + art("8", "1", "x", "1,00") + tip("7", "1", "5,00") +
             disc("7", "\"-10%\""),
         {0, "1.00", ""}},
    };
    for (const auto& c : cases) {
        testsupport::TempDir dir;
        dir.write("J.CSV", j({.bill = "7", .f8 = "1", .code = "0", .number = "249"}) + c.rest);
        regfiles::LineReader in;
        ASSERT_TRUE(in.open(dir.file("J.CSV")));
        std::string first;
        ASSERT_TRUE(in.readLineCut(first));
        EXPECT_EQ(protel::findBillTips(in, "7"), c.tips) << c.name;
    }
}

TEST(ProtelRevenue, TwoRegistersWithArchiveCopy) {
    RevenueRun r;
    r.registers = 2;
    r.journal(1, open("1", "500") + art("1", "42", "\"Bier\"", "3,50") + pay("1", "1", "3,50"));
    r.journal(2, open("2", "600") + art("2", "43", "Wein", "4.00") + pay("2", "3", "4,00"));
    const std::string out = r.run();
    EXPECT_EQ(out, T("500") + "{G|9042|Bar|3.50|Bier}\r\n{P|1|3.50}\r\n" + T("600") +
                       "{G|43|1|4.00|Wein}\r\n{P|3|4.00}\r\n");
    EXPECT_EQ(r.archive(), out);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.messages.empty());
}

TEST(ProtelRevenue, SecondRunReplacesTheFileAndWritesANewArchive) {
    RevenueRun r;
    r.journal(1, open("1", "500") + pay("1", "1", "1,00"));
    const std::string first = r.run();
    r.journal(1, open("2", "501") + pay("2", "1", "2,00"));
    r.start = at(11, 0, 0);
    const std::string second = r.run();
    EXPECT_EQ(second, T("501") + "{P|1|2.00}\r\n");
    EXPECT_EQ(r.archive("20260301103000"), first);
    EXPECT_EQ(r.archive("20260301110000"), second);
    // A run within the same second adds to that second's copy.
    r.run();
    EXPECT_EQ(r.archive("20260301110000"), second + second);
}

TEST(ProtelRevenue, NoRegisters) {
    RevenueRun r;
    r.registers = 0;
    r.dir.write("hotel/XREDUCT.DAT", "alt");
    EXPECT_EQ(r.run(), "alt");
    EXPECT_TRUE(r.dir.exists("XREDUCT/XREDUCT20260301103000.DAT"));
    EXPECT_EQ(r.archive(), "");
    EXPECT_TRUE(r.ok);
}

TEST(ProtelRevenue, ReactivatedBillsAreLeftOut) {
    const struct {
        const char* name;
        std::vector<std::string> journals;
        std::string out;
        std::string list;  // TiReaktiv.ini after the run
    } cases[] = {
        {"closed, reactivated, closed again",
         {open("1", "500") + art("1", "42", "a", "1,00") + pay("1", "1", "1,00") + react("12") +
          open("2", "501") + art("2", "42", "b", "2,00") + pay("2", "1", "2,00")},
         T("501") + "{G|9042|Bar|2.00|b}\r\n{P|1|2.00}\r\n",
         "[TischZeile]\r\n12=501\r\n[KeineRechTisch]\r\n500=12\r\n"},
        {"three closings, two reactivations",
         {open("1", "500") + react("12") + open("2", "501") + react("12") + open("3", "502") +
          pay("3", "1", "3,00")},
         T("502") + "{P|1|3.00}\r\n",
         "[TischZeile]\r\n12=502\r\n[KeineRechTisch]\r\n500=12\r\n501=12\r\n"},
        {"reactivation before any closing marks 0",
         {react("13") + open("1", "0", "13") + pay("1", "1", "1,00") + open("2", "7", "13") +
          pay("2", "1", "2,00")},
         T("7", "0.00", "0.00", "13") + "{P|1|2.00}\r\n",
         "[KeineRechTisch]\r\n0=13\r\n[TischZeile]\r\n13=7\r\n"},
        {"no reactivation",
         {open("1", "500") + pay("1", "1", "1,00") + open("2", "501", "14")},
         T("500") + "{P|1|1.00}\r\n" + T("501", "0.00", "0.00", "14"),
         "[TischZeile]\r\n12=500\r\n14=501\r\n"},
        // The first pass splits without quoting, the second with it: a
        // quoted closing key still finds its entry.
        {"quoted closing key",
         {open("1", "\"500\"") + react("12") + open("2", "501") + pay("2", "1", "2,00")},
         T("501") + "{P|1|2.00}\r\n",
         "[TischZeile]\r\n12=501\r\n[KeineRechTisch]\r\n500=12\r\n"},
        {"the list is built per register",
         {open("1", "500") + react("12"), open("2", "500") + pay("2", "1", "5,00")},
         T("500") + "{P|1|5.00}\r\n",
         "[TischZeile]\r\n12=500\r\n"},
    };
    for (const auto& c : cases) {
        RevenueRun r;
        r.registers = static_cast<int>(c.journals.size());
        for (std::size_t n = 0; n < c.journals.size(); ++n)
            r.journal(static_cast<int>(n + 1), c.journals[n]);
        EXPECT_EQ(r.run(), c.out) << c.name;
        EXPECT_EQ(r.dir.read(protel::kReactivationFile), c.list) << c.name;
    }
}

TEST(ProtelRevenue, PendingAmountOfLine0_97) {
    RevenueRun r;
    r.registers = 2;
    r.journal(1, open("1", "500") + zero("1", "97", "20,00") + pay("1", "1", "18,50") +
                     pay("1", "2", "1,50") + zero("1", "97", "10,00") + open("2", "501") +
                     pay("2", "1", "3,00") + zero("2", "97", "4,00"));
    r.journal(2, open("3", "600") + pay("3", "1", "6,00"));
    // The pending amount goes to the next payment record, also of the next
    // bill, and is emptied at the start of each register.
    EXPECT_EQ(r.run(), T("500") + "{P|1|20.00}\r\n{P|2|1.50}\r\n" + T("501") + "{P|1|10.00}\r\n" +
                           T("600") + "{P|1|6.00}\r\n");
}

TEST(ProtelRevenue, TipsAndDiscounts) {
    RevenueRun r;
    r.journal(1, open("1", "500") + art("1", "42", "a", "12,50") + art("1", "43", "b", "-5,00") +
                     tip("1", "2", "2,00") + tip("1", "6", "1,00") + zero("1", "98", "-1,50") +
                     disc("1", "-10%") + pay("1", "1", "20,00") +  //
                     open("2", "501") + art("2", "42", "c", "12,50") +
                     // The last bill runs to the end of the file and keeps both.
                     open("3", "502") + art("3", "42", "d", "10,00") + tip("3", "7", "0,50") +
                     disc("3", "\"-20%\""));
    EXPECT_EQ(r.run(), T("500", "3.50", "1.00") +
                           "{G|9042|Bar|11.25|a}\r\n{G|43|1|-4.50|b}\r\n{P|1|20.00}\r\n" +
                           T("501") + "{G|9042|Bar|12.50|c}\r\n" + T("502", "0.00", "0.50") +
                           "{G|9042|Bar|8.00|d}\r\n");
}

TEST(ProtelRevenue, TipOfTheNextBillStaysWithIt) {
    RevenueRun r;
    // An interleaved tip of bill 2 right after bill 1's lines: it is not bill
    // 1's, and the look-ahead of bill 1 stops there.
    r.journal(1,
              open("1", "500") + tip("1", "1", "1,00") + tip("2", "1", "4,00") + open("2", "501"));
    EXPECT_EQ(r.run(), T("500", "1.00") + T("501"));
}

TEST(ProtelRevenue, InterleavedLinesOfAnotherBill) {
    RevenueRun r;
    r.journal(1, open("1", "500") + art("1", "42", "a", "1,00") + art("9", "42", "x", "7,00") +
                     pay("9", "1", "7,00") + art("1", "42", "b", "2,00") + tip("1", "1", "1,00") +
                     disc("1", "-50%"));
    // Bill 9 has no opening line: its lines are skipped; bill 1's later lines
    // are converted, but its tip and discount after the interleaved lines do
    // not count.
    EXPECT_EQ(r.run(), T("500") + "{G|9042|Bar|1.00|a}\r\n{G|9042|Bar|2.00|b}\r\n");
}

TEST(ProtelRevenue, FieldsOfTheOpeningLine) {
    RevenueRun r;
    r.journal(1,
              j({.type = "103",
                 .key = "1",
                 .f3 = "K",
                 .date = " 5- 1-10",
                 .time = "7:05:09",
                 .bill = "1",
                 .f8 = "65534",
                 .f10 = "T7",
                 .f11 = "3",
                 .code = "0",
                 .number = "249"}) +
                  art("1", "42", "dropped", "1,00") +  // the line after is never converted
                  j({.type = "1",
                     .key = "2",
                     .f3 = "L",
                     .date = "05-01-10",
                     .time = "1:00",
                     .bill = "2",
                     .f8 = "5",
                     .f10 = "T8",
                     .f11 = "4",
                     .code = "0",
                     .number = "249"}) +
                  j({.bill = "2", .f8 = "", .code = "0", .number = "249"}) +  // dropped
                  j({.bill = "2", .f8 = "", .code = "0", .number = "249"}) +  // no field 8: no bill
                  art("2", "42", "e", "1,00"));
    EXPECT_EQ(r.run(),
              "{T|T7|0|K|3|20100105|070509|0.00|0.00}\r\n"
              "{T|T8|5|L|4|||0.00|0.00}\r\n"  // not type 103: no date and time
              "{G|9042|Bar|1.00|e}\r\n");
}

TEST(ProtelRevenue, ZTextsAndUmlauts) {
    RevenueRun r;
    r.journal(
        1,
        open("1", "500") +
            j({.bill = "1", .code = "4000", .number = "8", .text = "Men\xFC", .amount = "5,00"}) +
            j({.bill = "1", .code = "4000", .number = "9", .text = "leer"}) +
            art("1", "42", "\"\xFC\"", "1,00"));
    EXPECT_EQ(r.run(), T("500") + "{G|9077|1|5.00|Men\x81}\r\n{G|9042|Bar|1.00|\xFC}\r\n");
}

TEST(ProtelRevenue, BadLinesAreReportedNotLost) {
    RevenueRun r;
    r.journal(1, j({.type = "103",
                    .key = "1",
                    .f3 = "K",
                    .date = "32-01-10",
                    .time = "12:00",
                    .bill = "1",
                    .f8 = "4",
                    .f10 = "12",
                    .f11 = "9",
                    .code = "0",
                    .number = "249"}) +
                     "x\r\n" + "1;;;;;1;x;;x;;;10000;42;kurz\r\n" +  // article without amount
                     "1;;;;;1;x;;x;;;700;1\r\n" +                    // payment without amount
                     zero("1", "97", "3,00") + "1;;;;;1;x;;x;;;700;2\r\n");  // takes the 0/97
    EXPECT_EQ(r.run(), "{T|12|4|K|9||120000|0.00|0.00}\r\n{P|2|3.00}\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.messages,
              (std::vector<std::string>{
                  "VEJournal1.csv: 2 unvollständige Buchungszeilen nicht übertragen (Zeile 3, 4)",
                  "VEJournal1.csv: Datum oder Uhrzeit nicht lesbar, leer übertragen (Zeile 1)"}));
}

TEST(ProtelRevenue, FilesThatCannotBeOpened) {
    {  // journal 2 missing: journal 1's records stay
        RevenueRun r;
        r.registers = 2;
        r.journal(1, open("1", "500"));
        EXPECT_EQ(r.run(), T("500"));
        EXPECT_EQ(r.archive(), T("500"));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages,
                  std::vector<std::string>{"Datei VEJournal kann nicht gelesen werden"});
    }
    {  // journal 1 missing: XREDUCT.DAT is not touched
        RevenueRun r;
        r.dir.write("hotel/XREDUCT.DAT", "alt");
        EXPECT_EQ(r.run(), "alt");
        EXPECT_EQ(r.messages,
                  std::vector<std::string>{"Datei VEJournal kann nicht gelesen werden"});
    }
    {  // XREDUCT cannot be created
        RevenueRun r;
        r.journal(1, open("1", "500"));
        r.dir.write("XREDUCT", "a file");
        r.dir.write("hotel/XREDUCT.DAT", "alt");
        EXPECT_EQ(r.run(), "alt");
        EXPECT_EQ(r.messages,
                  (std::vector<std::string>{"Verzeichnis XREDUCT kann nicht angelegt werden",
                                            "Datei XREDUCT.DAT kann nicht gelesen werden"}));
    }
    {  // the transfer directory is missing
        RevenueRun r;
        r.journal(1, open("1", "500"));
        std::filesystem::remove_all(r.dir.path() / "hotel");
        r.run();
        EXPECT_EQ(r.messages,
                  std::vector<std::string>{"Datei XREDUCT.DAT kann nicht gelesen werden"});
    }
}

TEST(ProtelRevenue, WriteFailureEndsTheConversion) {
    RevenueRun r;
    r.journal(1, open("1", "500") + pay("1", "1", "1,00") + pay("1", "2", "2,00"));
    plat::injectWriteFailureAfter(3);  // the list file, T to both files
    r.run();
    plat::injectWriteFailureAfter(-1);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.messages,
              std::vector<std::string>{"Datei XREDUCT.DAT kann nicht geschrieben werden"});
}
