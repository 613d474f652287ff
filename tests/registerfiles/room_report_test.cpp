#include "interface/registerfiles/room_report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "support/temp_dir.h"

using namespace regfiles;

namespace {

// Records what the reading loop asks of a converter, and books every room
// booking line as "room|receipt|fields" with the receipt of its room.
class Recorder : public RoomReportConverter {
  public:
    Recorder(const testsupport::TempDir& dir, long& counter, std::vector<long>& stored,
             std::vector<std::string>& messages, std::function<void()> beforePublish = {})
        : RoomReportConverter(setup(dir, messages, std::move(beforePublish))),
          receipts_(counter, [&stored](long v) { stored.push_back(v); }) {}

    static Setup setup(const testsupport::TempDir& dir, std::vector<std::string>& messages,
                       std::function<void()> beforePublish) {
        Setup s{dir.str(), dir.file("OUT.DAT"), "OUT.DAT",
                [&messages](const std::string& m) { messages.push_back(m); }};
        s.beforePublish = std::move(beforePublish);
        return s;
    }

    std::vector<std::string> events;

    void roomChanged(const RoomReportLine& line) override {
        receipt_ = receipts_.next();
        events.push_back("room " + line.ZimmerNr);
        EXPECT_EQ(line.BedienerNr, "") << "room change comes before field 3";
    }
    void operatorRead(const RoomReportLine& line) override {
        events.push_back("op " + line.BedienerNr);
    }
    bool lineEnd(const RoomReportLine& line) override {
        if (!line.isRoomBooking()) return true;
        if (!line.complete()) {
            noteIncomplete(line);
            return true;
        }
        return writeBooking(line.ZimmerNr + "|" + std::to_string(receipt_) + "|" + line.TabellenNr +
                            "|" + line.EintragNr + "|" + line.Text + "|" + line.Menge + "|" +
                            line.Betrag);
    }

  private:
    ReceiptCounter receipts_;
    long receipt_ = 0;
};

struct Outcome {
    bool ok;
    std::string out;
    std::vector<std::string> events;
    std::vector<long> stored;
    std::vector<std::string> messages;
    long counter;
};

Outcome convert(const std::string& report, long counter = 0) {
    testsupport::TempDir dir;
    dir.write("VZimmerBericht.csv", report);
    Outcome r{};
    r.counter = counter;
    Recorder rec(dir, r.counter, r.stored, r.messages);
    r.ok = rec.run();
    r.events = rec.events;
    r.out = dir.read("OUT.DAT");
    return r;
}

const std::string kLine101a = "22;101;7;10000;5;\"Bier\";2;5,80\r\n";
const std::string kLine101b = "22;101;8;10000;6;\"Wein\";1;4.50\r\n";
const std::string kLine102 = "22;102;7;10000;5;\"Bier\";1;2,90\r\n";

}  // namespace

TEST(RoomReport, EmptyReportGivesEmptyBookingFile) {
    const Outcome r = convert("");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.events.empty());
    EXPECT_TRUE(r.stored.empty());
}

TEST(RoomReport, RecordTypesOtherThan22AreSkippedWhole) {
    // "21", "022", " 22", an empty first field and an empty line are skipped
    // and do not change the previous room: 101 stays one room.
    const Outcome r = convert(kLine101a + "21;999;1;5000;1;x;1;1\r\n" + "022;998;1\r\n" +
                              " 22;997;1\r\n" + ";996;1\r\n" + "\r\n" + kLine101b);
    EXPECT_EQ(r.events, (std::vector<std::string>{"room 101", "op 7", "op 8"}));
    EXPECT_EQ(r.out, "101|1|10000|5|\"Bier\"|2|5,80\r\n101|1|10000|6|\"Wein\"|1|4.50\r\n");
    EXPECT_EQ(r.stored, (std::vector<long>{1}));
}

TEST(RoomReport, RoomChangesAndReceiptNumbers) {
    const struct {
        const char* name;
        std::string report;
        long counterBefore;
        std::vector<std::string> rooms;  // lookups in order
        std::vector<long> stored;        // values stored under BonNummer
    } cases[] = {
        {"one room, two lines", kLine101a + kLine101b, 0, {"101"}, {1}},
        {"101, 102, 101 again",
         kLine101a + kLine102 + kLine101b,
         0,
         {"101", "102", "101"},
         {1, 2, 3}},
        {"blank makes another room",
         kLine101a + "22; 101;7;10000;5;x;1;1\r\n",
         4,
         {"101", " 101"},
         {5, 6}},
        {"counter goes on from its value", kLine102, 99, {"102"}, {100}},
    };
    for (const auto& c : cases) {
        const Outcome r = convert(c.report, c.counterBefore);
        std::vector<std::string> rooms;
        for (const auto& e : r.events)
            if (e.rfind("room ", 0) == 0) rooms.push_back(e.substr(5));
        EXPECT_EQ(rooms, c.rooms) << c.name;
        EXPECT_EQ(r.stored, c.stored) << c.name;
        EXPECT_EQ(r.counter, c.stored.back()) << c.name;
    }
}

TEST(RoomReport, LastLineConvertedOnceAlsoWithoutLineEnd) {
    EXPECT_EQ(convert(kLine101a).out, "101|1|10000|5|\"Bier\"|2|5,80\r\n");
    EXPECT_EQ(convert("22;101;7;10000;5;\"Bier\";2;5,80").out, "101|1|10000|5|\"Bier\"|2|5,80\r\n");
}

TEST(RoomReport, FieldsAfterTheEighthIgnoredAndQuotesGetNoMeaning) {
    const Outcome r = convert("22;101;7;10000;5;\"Bier;hell\";2;5,80;x;y\r\n");
    // The ";" inside the quotes ends the field like any other.
    EXPECT_EQ(r.out, "101|1|10000|5|\"Bier|hell\"|2\r\n");
}

TEST(RoomReport, ShortBookingLineIsReportedNotBookedAndCarriesNothingOver) {
    const Outcome r =
        convert(kLine101a + "22;101;7;10000;9;\"Cola\"\r\n" + kLine101b + "22;102\r\n");
    EXPECT_EQ(r.out, "101|1|10000|5|\"Bier\"|2|5,80\r\n101|1|10000|6|\"Wein\"|1|4.50\r\n");
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0],
              "VZimmerBericht.csv: 2 unvollständige Buchungszeilen nicht übertragen (Zeile 2, 4)");
}

TEST(RoomReport, HoldersAreEmptyAtEveryLineStart) {
    // A line that reaches field 5 only must not see Text, Menge and Betrag
    // of the line before it.
    class Probe : public RoomReportSteps {
      public:
        std::vector<RoomReportLine> lines;
        void roomChanged(const RoomReportLine&) override {}
        void operatorRead(const RoomReportLine&) override {}
        bool lineEnd(const RoomReportLine& line) override {
            lines.push_back(line);
            return true;
        }
    } probe;
    testsupport::TempDir dir;
    dir.write("r.csv", kLine101a + "22;101;7;5000;3\r\nx\r\n");
    LineReader in;
    ASSERT_TRUE(in.open(dir.file("r.csv")));
    ASSERT_TRUE(readRoomReport(in, probe));
    ASSERT_EQ(probe.lines.size(), 3u);
    EXPECT_EQ(probe.lines[1].fieldCount, 5);
    EXPECT_EQ(probe.lines[1].Text, "");
    EXPECT_EQ(probe.lines[1].Betrag, "");
    EXPECT_EQ(probe.lines[1].tabellenNr(), 5000);
    EXPECT_EQ(probe.lines[1].lineNumber, 2);
    EXPECT_EQ(probe.lines[2].Satzart, "x");
    EXPECT_EQ(probe.lines[2].ZimmerNr, "");
}

TEST(RoomReport, OverlongLinesAndFieldsAreCut) {
    // The room number is cut to 29 characters, Text to 49; a line is cut
    // after 149 characters and its rest is not read as a line: the rest here
    // would be a booking line of room 555.
    const std::string room(35, '9');
    const std::string text(60, 't');
    std::string longLine =
        "22;101;7;10000;5;x;1;1,00;" + std::string(123, 'z') + "22;555;1;10000;1;y;1;1\r\n";
    const Outcome r = convert("22;" + room + ";7;10000;5;" + text + ";1;1\r\n" + longLine);
    EXPECT_EQ(r.out, std::string(29, '9') + "|1|10000|5|" + std::string(49, 't') + "|1|1\r\n" +
                         "101|2|10000|5|x|1|1,00\r\n");
}

TEST(RoomReport, MissingReportLeavesBookingFileAlone) {
    testsupport::TempDir dir;
    dir.write("OUT.DAT", "old\r\n");
    long counter = 0;
    std::vector<long> stored;
    std::vector<std::string> messages;
    Recorder rec(dir, counter, stored, messages);
    EXPECT_FALSE(rec.run());
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Datei VZimmerBericht.csv kann nicht gelesen werden"}));
    EXPECT_EQ(dir.read("OUT.DAT"), "old\r\n");
}

TEST(RoomReport, ReportNameResolvedIgnoringCase) {
    testsupport::TempDir dir;
    dir.write("vzimmerbericht.CSV", kLine102);
    long counter = 0;
    std::vector<long> stored;
    std::vector<std::string> messages;
    Recorder rec(dir, counter, stored, messages);
    EXPECT_TRUE(rec.run());
    EXPECT_EQ(dir.read("OUT.DAT"), "102|1|10000|5|\"Bier\"|1|2,90\r\n");
}

TEST(RoomReport, BookingFileThatCannotBeCreated) {
    testsupport::TempDir dir;
    dir.write("VZimmerBericht.csv", kLine102);
    std::vector<std::string> messages;
    RoomReportConverter::Setup setup{dir.str(), dir.file("missing/OUT.DAT"), "OUT.DAT",
                                     [&messages](const std::string& m) { messages.push_back(m); }};
    class Plain : public RoomReportConverter {
      public:
        using RoomReportConverter::RoomReportConverter;
        void roomChanged(const RoomReportLine&) override {}
        void operatorRead(const RoomReportLine&) override {}
        bool lineEnd(const RoomReportLine&) override { return true; }
    } conv(setup);
    EXPECT_FALSE(conv.run());
    EXPECT_EQ(messages, (std::vector<std::string>{"Datei OUT.DAT kann nicht gelesen werden"}));
}

TEST(RoomReport, WriteFailureEndsTheConversionWithAMessage) {
    testsupport::TempDir dir;
    dir.write("VZimmerBericht.csv", kLine101a + kLine102 + kLine101b);
    dir.write("OUT.DAT", "previous run\r\n");
    long counter = 0;
    std::vector<long> stored;
    std::vector<std::string> messages;
    Recorder rec(dir, counter, stored, messages);
    plat::injectWriteFailureAfter(1);
    const bool ok = rec.run();
    plat::injectWriteFailureAfter(-1);
    EXPECT_FALSE(ok);
    EXPECT_EQ(messages, (std::vector<std::string>{"Datei OUT.DAT kann nicht geschrieben werden"}));
    // The booking file is never left half-written: the previous one stays,
    // and no copy of the failed one is kept.
    EXPECT_EQ(dir.read("OUT.DAT"), "previous run\r\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "ARCHIV"));
    // Reading stopped at the failed line: room 101 is not looked up again.
    EXPECT_EQ(stored, (std::vector<long>{1, 2}));
}

TEST(RoomReport, IncompleteMessageListsAtMostTenLines) {
    std::vector<long> lines;
    for (long i = 1; i <= 12; ++i) lines.push_back(i);
    EXPECT_EQ(incompleteLinesMessage(lines),
              "VZimmerBericht.csv: 12 unvollständige Buchungszeilen nicht übertragen (Zeile 1, 2, "
              "3, 4, 5, 6, "
              "7, 8, 9, 10, ...)");
    EXPECT_EQ(incompleteLinesMessage({3}),
              "VZimmerBericht.csv: 1 unvollständige Buchungszeile nicht übertragen (Zeile 3)");
}

// The receipt numbers reach the disk before the booking file that carries
// them: the hook runs after the reading, while the old booking file is still
// in place, also when the conversion fails.
TEST(RoomReport, BeforePublishRunsWhileTheOldBookingFileIsInPlace) {
    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing ? "write failure" : "whole conversion");
        testsupport::TempDir dir;
        dir.write("VZimmerBericht.csv", kLine101a + kLine102);
        dir.write("OUT.DAT", "previous run\r\n");
        long counter = 0;
        std::vector<long> stored;
        std::vector<std::string> messages;
        std::vector<std::string> seen;
        Recorder rec(dir, counter, stored, messages, [&] {
            seen.push_back(dir.read("OUT.DAT") + std::to_string(stored.size()) + " stored");
        });
        if (failing) plat::injectWriteFailureAfter(1);
        rec.run();
        plat::injectWriteFailureAfter(-1);
        const std::string counted = std::to_string(stored.size()) + " stored";
        EXPECT_EQ(seen, (std::vector<std::string>{"previous run\r\n" + counted}));
        EXPECT_EQ(dir.read("OUT.DAT") == "previous run\r\n", failing);
    }
}
