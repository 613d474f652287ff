// Protel's booking file ROOMBOOK.DAT from the room report, with the
// look-ahead over a block for its tips and discount.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/adapters/ProtelGuests.h"
#include "interface/adapters/ProtelRecords.h"
#include "interface/adapters/ProtelRoomBook.h"
#include "interface/adapters/ProtelTables.h"
#include "support/temp_dir.h"

namespace {

// A room booking line with its line end.
std::string line(const std::string& room, const std::string& table, const std::string& entry,
                 const std::string& text = "\"\"", const std::string& betrag = "",
                 const std::string& op = "5") {
    return "22;" + room + ";" + op + ";" + table + ";" + entry + ";" + text + ";1;" + betrag +
           "\r\n";
}
std::string opening(const std::string& room, const std::string& op = "5") {
    return line(room, "0", "250", "\"\"", "0,00", op);
}
std::string tip(const std::string& room, const std::string& kind, const std::string& betrag) {
    return line(room, "900", kind, "\"Trinkgeld\"", betrag);
}
std::string discount(const std::string& room, const std::string& text) {
    return line(room, "1000", "0", text, "0,00");
}
std::string article(const std::string& room, const std::string& no, const std::string& text,
                    const std::string& betrag) {
    return line(room, "10000", no, text, betrag);
}

// A conversion in a directory of its own, with the hotel files in hotel/.
struct RoomBookRun {
    testsupport::TempDir dir;
    std::vector<std::string> messages;
    std::vector<std::string> lookups;  // rooms the guest lookup was asked for
    long counter = 41;
    bool ok = false;

    RoomBookRun() {
        dir.write("hotel/INHOUSE.DAT",
                  "1|4711|101|Meier\r\n"
                  "1|4712|102 B|Schulz\r\n");
        dir.write("VART.CSV", "1;1234;x;x;9001;" + std::string(38, ';') +
                                  "Speisen\r\n"
                                  "1;77;x;x;9077\r\n");
        dir.write("VZtxt.CSV", "1;8;77\r\n");
        dir.write("VBED.CSV", "1;5;\"Anna\"\r\n");
    }

    std::string run(const std::string& report) {
        dir.write("VZimmerBericht.csv", report);
        const regfiles::MessageSink sink = [this](const std::string& m) { messages.push_back(m); };
        protel::RoomBookConverter::Steps steps;
        steps.guestOf = [this](const std::string& room) {
            lookups.push_back(room);
            regfiles::GastDaten g;
            protel::findGuest(dir.file("hotel/INHOUSE.DAT"), room, g);
            return g;
        };
        steps.nextReceipt = [this] { return ++counter; };
        steps.zText = [this, sink](std::string& n) { protel::translateZText(dir.str(), n, sink); };
        steps.article = [this, sink](std::string& n, std::string& g) {
            protel::translateArticle(dir.str(), n, g, sink);
        };
        steps.clock = [] {
            plat::DateTime t;
            t.year = 2026;
            t.month = 3;
            t.day = 1;
            t.hour = 9;
            t.minute = 5;
            t.second = 7;
            return t;
        };
        protel::RoomBookConverter c(
            {dir.str(), dir.file("hotel/ROOMBOOK.DAT"), protel::kBookingFile, sink}, steps);
        ok = c.run();
        return dir.read("hotel/ROOMBOOK.DAT");
    }
};

const std::string kStamp = "|20260301|090507|";

}  // namespace

TEST(ProtelRecords, AmountsAndDiscounts) {
    const struct {
        const char* amount;
        float percent;
        const char* written;
    } cases[] = {
        {"12,50", 0, "12.50"},  // comma third from the end becomes a point
        {"12.50", 0, "12.50"},
        {"1,5", 0, "1,5"},  // only third from the end
        {"", 0, ""},
        {"12,50", 10, "11.25"},
        {"12.50", 10, "11.25"},
        {"-5,00", 10, "-4.50"},
        {"0,05", 10, "0.05"},  // 0.045 in single precision rounds up
        {"3,33", 12.5f, "2.91"},
        {"100,00", 100, "0.00"},
        {"abc", 10, "0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(protel::discountedAmount(c.amount, c.percent), c.written)
            << c.amount << " " << c.percent;

    const struct {
        const char* text;
        float percent;
    } texts[] = {{"-10%", 10}, {"-12,5%", 12.5f}, {"-12.5 %", 12.5f}, {"-7", 7},
                 {"10%", 0},   {"", 0},           {"-x%", 0},         {"- 3%", 3}};
    for (const auto& t : texts) EXPECT_EQ(protel::discountPercent(t.text), t.percent) << t.text;

    EXPECT_EQ(protel::record('R', {"4711", "101", "0"}), "{R|4711|101|0}");
    EXPECT_EQ(protel::record('T', {"", "7"}), "{T||7}");
    EXPECT_EQ(protel::tipText(0), "");
    EXPECT_EQ(protel::tipText(-1), "");
    EXPECT_EQ(protel::tipText(2.5f), "2.50");
    EXPECT_EQ(protel::tipField(""), "0.00");
}

// The look-ahead over one block, from just after its opening line.
TEST(ProtelRoomBook, LookAheadOverABlock) {
    const struct {
        const char* name;
        std::string rest;  // the lines after the opening line of room 101
        protel::BlockTips tips;
    } cases[] = {
        {"kinds 1 and 7", tip("101", "1", "1,50") + tip("101", "7", "2.00"), {0, "1.50", "2.00"}},
        {"kind 5 is A, 6 is B",
         tip("101", "5", "1,00") + tip("101", "6", "3,00") + tip("101", "2", "0,25"),
         {0, "1.25", "3.00"}},
        {"no tips", article("101", "1", "\"x\"", "1,00"), {0, "", ""}},
        {"a total of 0 or less", tip("101", "1", "-2,00") + tip("101", "1", "1,00"), {0, "", ""}},
        {"the later discount wins",
         discount("101", "\"-10%\"") + discount("101", "\"-12,5%\""),
         {12.5f, "", ""}},
        {"a discount without minus", discount("101", "\"10%\""), {0, "", ""}},
        // Mended: a block that runs to the end of the file keeps its tips.
        {"to the end of the file",
         tip("101", "1", "1,00") + discount("101", "\"-10%\""),
         {10, "1.00", ""}},
        // Mended: the first line of another room ends the block uncounted.
        {"another room",
         tip("101", "1", "1,00") + tip("102", "1", "5,00") + tip("101", "1", "7,00"),
         {0, "1.00", ""}},
        {"another room's discount", discount("102", "\"-50%\""), {0, "", ""}},
        // Mended: the next opening line of the same room ends the block.
        {"next block of the room",
         tip("101", "1", "1,00") + opening("101") + tip("101", "1", "3,00") +
             discount("101", "\"-10%\""),
         {0, "1.00", ""}},
        // Lines of other record types belong to no block: passed over.
        {"other record types",
         "21;102;5;900;1;\"\";1;9,00\r\n" + tip("101", "1", "1,00"),
         {0, "1.00", ""}},
    };
    for (const auto& c : cases) {
        testsupport::TempDir dir;
        dir.write("R.CSV", opening("101") + c.rest);
        regfiles::LineReader in;
        ASSERT_TRUE(in.open(dir.file("R.CSV")));
        std::string first;
        ASSERT_TRUE(in.readLineCut(first));
        EXPECT_EQ(protel::findBlockTips(in, "101"), c.tips) << c.name;
    }
}

TEST(ProtelRoomBook, EmptyAndBookingFreeReportsGiveAnEmptyFile) {
    for (const std::string& report : {std::string(), std::string("21;101;5;0;250;\"\";1;0\r\n")}) {
        RoomBookRun r;
        EXPECT_EQ(r.run(report), "");
        EXPECT_TRUE(r.ok);
        EXPECT_TRUE(r.messages.empty());
    }
}

TEST(ProtelRoomBook, TwoRoomsWithHeadersArticlesAndTips) {
    RoomBookRun r;
    const std::string out =
        r.run(opening("101", "7") + article("101", "1234", "\"Schnitzel\"", "12,50") +
              tip("101", "1", "1,00") + tip("101", "7", "2,00") + opening("102") +
              article("102", "99", "\"Wasser; still\"", "3.00") + opening("103") +
              article("103", "77", "\"x\"", "1,00"));
    EXPECT_EQ(out,
              "{R|4711|101|0}\r\n"
              "{T||42|1|7" +
                  kStamp +
                  "1.00|2.00}\r\n"
                  "{G|9001|Speisen|12.50|Schnitzel}\r\n"
                  "\r\n"
                  "{R|4712|102|0}\r\n"  // the room as INHOUSE.DAT has it
                  "{T||43|1|5" +
                  kStamp +
                  "0.00|0.00}\r\n"
                  "{G|99|1|3.00|Wasser; still}\r\n"  // not in VART.CSV: own number, group 1
                  "\r\n"
                  "{R||0|0}\r\n"  // nobody in room 103
                  "{T||44|1|5" +
                  kStamp +
                  "0.00|0.00}\r\n"
                  "{G|9077|1|1.00|x}\r\n");
    EXPECT_EQ(r.counter, 44);
    EXPECT_EQ(r.lookups, (std::vector<std::string>{"101", "102", "103"}));
    EXPECT_TRUE(r.ok);
}

TEST(ProtelRoomBook, DiscountsBeforeAndAfterArticles) {
    RoomBookRun r;
    const std::string out =
        r.run(opening("101") + article("101", "1", "\"a\"", "12,50") + discount("101", "\"-10%\"") +
              article("101", "2", "\"b\"", "-5,00") + opening("102") +
              article("102", "3", "\"c\"", "12,50"));
    // The block's discount applies to all its articles, the next block has none.
    EXPECT_EQ(out, "{R|4711|101|0}\r\n{T||42|1|5" + kStamp +
                       "0.00|0.00}\r\n"
                       "{G|1|1|11.25|a}\r\n{G|2|1|-4.50|b}\r\n\r\n"
                       "{R|4712|102|0}\r\n{T||43|1|5" +
                       kStamp +
                       "0.00|0.00}\r\n"
                       "{G|3|1|12.50|c}\r\n");
}

TEST(ProtelRoomBook, LastBlockKeepsItsTipsAndDiscount) {
    RoomBookRun r;
    const std::string out = r.run(opening("101") + article("101", "1", "\"a\"", "10,00") +
                                  tip("101", "2", "1,50") + discount("101", "\"-10%\""));
    EXPECT_EQ(out, "{R|4711|101|0}\r\n{T||42|1|5" + kStamp + "1.50|0.00}\r\n{G|1|1|9.00|a}\r\n");
}

TEST(ProtelRoomBook, SecondBlockOfTheSameRoom) {
    RoomBookRun r;
    const std::string out =
        r.run(opening("101") + article("101", "1", "\"a\"", "1,00") + tip("101", "1", "2,00") +
              opening("101", "6") + article("101", "2", "\"b\"", "4,00") + tip("101", "1", "3,00") +
              discount("101", "\"-50%\""));
    // No new lookup and receipt: empty account, room as written, same number;
    // each header counts only the tips of its own block.
    EXPECT_EQ(out, "{R|4711|101|0}\r\n{T||42|1|5" + kStamp +
                       "2.00|0.00}\r\n{G|1|1|1.00|a}\r\n"
                       "\r\n{R||101|0}\r\n{T||42|1|6" +
                       kStamp + "3.00|0.00}\r\n{G|2|1|2.00|b}\r\n");
    EXPECT_EQ(r.lookups, std::vector<std::string>{"101"});
}

TEST(ProtelRoomBook, TipOfTheNextRoomStaysWithIt) {
    RoomBookRun r;
    const std::string out =
        r.run(opening("101") + tip("101", "1", "1,00") + tip("102", "1", "5,00") + opening("102"));
    EXPECT_EQ(out, "{R|4711|101|0}\r\n{T||42|1|5" + kStamp +
                       "1.00|0.00}\r\n\r\n"
                       "{R||102|0}\r\n{T||43|1|5" +
                       kStamp + "0.00|0.00}\r\n");
}

TEST(ProtelRoomBook, ZTextsUmlautsAndLinesThatBookNothing) {
    RoomBookRun r;
    const std::string out =
        r.run(opening("101") +
              line("101", "4000", "8", "\"Men\xFC\"", "5,00") +  // Z text 8 -> article 77 -> 9077
              line("101", "4000", "9", "\"leer\"", "") +         // Z text without amount: nothing
              article("101", "5",
                      "Gr\xFC\xDF"
                      "e",
                      "1,00") +  // outside quotes: DOS codes
              article("101", "6",
                      "\"Gr\xFC\xDF"
                      "e\"",
                      "1,00") +  // inside quotes: unchanged
              line("101", "900", "1", "\"\"", "") +
              line("101", "99", "1", "\"\"", "9,00") + "21;101;5;10000;5;\"x\";1;9,00\r\n");
    EXPECT_EQ(out, "{R|4711|101|0}\r\n{T||42|1|5" + kStamp +
                       "0.00|0.00}\r\n"
                       "{G|9077|1|5.00|Men\xFC}\r\n"
                       "{G|5|1|1.00|Gr\x81\xE1"
                       "e}\r\n"
                       "{G|6|1|1.00|Gr\xFC\xDF"
                       "e}\r\n");
}

TEST(ProtelRoomBook, ArticlesBeforeAnyHeaderAndTheLineAfterTheOpeningLine) {
    RoomBookRun r;
    const std::string out = r.run(article("101", "1", "\"vor\"", "2,00") + opening("101") +
                                  article("101", "2", "\"nach\"", "3,00"));
    EXPECT_EQ(out, "{G|1|1|2.00|vor}\r\n{R||101|0}\r\n{T||42|1|5" + kStamp +
                       "0.00|0.00}\r\n{G|2|1|3.00|nach}\r\n");
}

TEST(ProtelRoomBook, IncompleteArticleLinesAreReported) {
    RoomBookRun r;
    const std::string out =
        r.run(opening("101") + "22;101;5;10000;1;\"a\";1\r\n" + "22;101;5;4000;8;\"z\"\r\n" +
              article("101", "2", "\"b\"", "1,00"));
    EXPECT_EQ(out, "{R|4711|101|0}\r\n{T||42|1|5" + kStamp + "0.00|0.00}\r\n{G|2|1|1.00|b}\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.messages,
              std::vector<std::string>{"VZimmerBericht.csv: 2 unvollständige Buchungszeilen nicht "
                                       "übertragen (Zeile 2, 3)"});
}

TEST(ProtelRoomBook, OverlongLinesAreCut) {
    RoomBookRun r;
    // The text is cut to 49 characters, the rest of the line beyond 149
    // characters is dropped and not read as a line.
    const std::string longText = "\"" + std::string(60, 't') + "\"";
    const std::string out =
        r.run(opening("101") + article("101", "1", longText, "1,00") + "22;101;5;10000;2;\"" +
              std::string(150, 'u') + "\";1;1,00;22;101;5;10000;3\r\n");
    EXPECT_EQ(out, "{R|4711|101|0}\r\n{T||42|1|5" + kStamp +
                       "0.00|0.00}\r\n"
                       "{G|1|1|1.00|" +
                       std::string(49, 't') + "}\r\n");
    EXPECT_FALSE(r.ok);  // the cut line lacks its amount: reported
}

TEST(ProtelRoomBook, FilesThatCannotBeOpened) {
    {
        RoomBookRun r;
        r.dir.write("hotel/ROOMBOOK.DAT", "alt");
        r.ok = protel::RoomBookConverter(
                   {r.dir.str(), r.dir.file("hotel/ROOMBOOK.DAT"), protel::kBookingFile,
                    [&](const std::string& m) { r.messages.push_back(m); }},
                   {})
                   .run();
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages,
                  std::vector<std::string>{"Datei VZimmerBericht.csv kann nicht gelesen werden"});
        EXPECT_EQ(r.dir.read("hotel/ROOMBOOK.DAT"), "alt");
    }
    {
        RoomBookRun r;
        r.dir.write("VZimmerBericht.csv", opening("101"));
        r.ok = protel::RoomBookConverter(
                   {r.dir.str(), r.dir.file("missing/ROOMBOOK.DAT"), protel::kBookingFile,
                    [&](const std::string& m) { r.messages.push_back(m); }},
                   {})
                   .run();
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.messages,
                  std::vector<std::string>{"Datei ROOMBOOK.DAT kann nicht gelesen werden"});
    }
}
