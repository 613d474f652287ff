// The audit trail: a dated copy of every booking file in ARCHIV, kept for
// 400 days.
#include "interface/registerfiles/booking_archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "interface/registerfiles/room_report.h"
#include "platform/file.h"
#include "support/temp_dir.h"

using namespace regfiles;

namespace {

// Books every room booking line as its room and amount.
class Booker : public RoomReportConverter {
  public:
    Booker(const testsupport::TempDir& dir, plat::DateTime t, std::vector<std::string>& messages,
           bool keepCopy = true)
        : RoomReportConverter(makeSetup(dir, t, messages, keepCopy)) {}

    void roomChanged(const RoomReportLine&) override {}
    void operatorRead(const RoomReportLine&) override {}
    bool lineEnd(const RoomReportLine& line) override {
        if (!line.isRoomBooking()) return true;
        return writeBooking(line.ZimmerNr + ";" + line.Betrag);
    }

  private:
    static Setup makeSetup(const testsupport::TempDir& dir, plat::DateTime t,
                           std::vector<std::string>& messages, bool keepCopy) {
        Setup s{dir.str(), dir.file("hotel/HS3CASH.IN"), "HS3CASH.IN",
                [&messages](const std::string& m) { messages.push_back(m); }};
        s.keepCopy = keepCopy;
        s.clock = [t] { return t; };
        return s;
    }
};

std::set<std::string> archive(const testsupport::TempDir& dir) {
    std::set<std::string> names;
    if (!std::filesystem::is_directory(dir.path() / "ARCHIV")) return names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "ARCHIV"))
        names.insert(e.path().filename().string());
    return names;
}

const plat::DateTime kNoon{2026, 12, 11, 12, 0, 5, 0, 5};

}  // namespace

TEST(BookingArchive, NamesAndTheirDates) {
    EXPECT_EQ(archiveCopyName("HS3CASH.IN", kNoon), "HS3CASH.IN_261211_120005");
    const struct {
        const char* name;
        bool dated;
        int year, month, day;
    } cases[] = {
        {"HS3CASH.IN_261211_120005", true, 2026, 12, 11},
        {"BOOK.DAT_250101_000000_2", true, 2025, 1, 1},
        {"ROOMBOOK.DAT_991231_235959_1234", true, 2099, 12, 31},
        {"X_261311_120005", false, 0, 0, 0},        // month 13
        {"X_261211_12000", false, 0, 0, 0},         // time too short
        {"X_261211_120005_12345", false, 0, 0, 0},  // not a counter
        {"261211_120005", false, 0, 0, 0},          // no name before it
        {"notes.txt", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        plat::DateTime d;
        EXPECT_EQ(archiveCopyDate(c.name, d), c.dated) << c.name;
        if (c.dated) {
            EXPECT_EQ(d.year, c.year) << c.name;
            EXPECT_EQ(d.month, c.month) << c.name;
            EXPECT_EQ(d.day, c.day) << c.name;
        }
    }
}

TEST(BookingArchive, EveryBookingFileWrittenIsKept) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() / "hotel");
    std::vector<std::string> messages;
    dir.write("VZimmerBericht.csv", "22;101;3;10000;1;\"A\";1;7,00\r\n");
    ASSERT_TRUE(Booker(dir, kNoon, messages).run());
    dir.write("VZimmerBericht.csv", "22;102;3;10000;1;\"B\";1;8,00\r\n");
    ASSERT_TRUE(Booker(dir, kNoon, messages).run());  // the same second
    plat::DateTime later = kNoon;
    later.hour = 18;
    dir.write("VZimmerBericht.csv", "20;nichts gebucht\r\n");
    ASSERT_TRUE(Booker(dir, later, messages).run());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(archive(dir),
              (std::set<std::string>{"HS3CASH.IN_261211_120005", "HS3CASH.IN_261211_120005_2",
                                     "HS3CASH.IN_261211_180005"}));
    EXPECT_EQ(dir.read("ARCHIV/HS3CASH.IN_261211_120005"), "101;7,00\r\n");
    EXPECT_EQ(dir.read("ARCHIV/HS3CASH.IN_261211_120005_2"), "102;8,00\r\n");
    EXPECT_EQ(dir.read("ARCHIV/HS3CASH.IN_261211_180005"), "");
    EXPECT_EQ(dir.read("hotel/HS3CASH.IN"), "");
    // Without a copy wanted (the fuzz targets), nothing goes to ARCHIV.
    ASSERT_TRUE(Booker(dir, later, messages, false).run());
    EXPECT_EQ(archive(dir).size(), 3u);
}

TEST(BookingArchive, CopiesOlderThan400DaysGoWhenACopyIsWritten) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() / "hotel");
    // 2026-12-11 is 400 days after 2025-11-06 and 401 after 2025-11-05.
    dir.write("ARCHIV/BOOK.DAT_251105_235959", "old");
    dir.write("ARCHIV/BOOK.DAT_251106_000000", "kept");
    dir.write("ARCHIV/OSUMSATZ.DAT_240101_080000_3", "old");
    dir.write("ARCHIV/Notiz.txt", "not a copy");
    dir.write("ARCHIV/BOOK.DAT_261211_115900.~999999999.tmp", "half, writer gone");
    dir.write("VZimmerBericht.csv", "");
    std::vector<std::string> messages;
    ASSERT_TRUE(Booker(dir, kNoon, messages).run());
    EXPECT_EQ(archive(dir), (std::set<std::string>{"BOOK.DAT_251106_000000", "Notiz.txt",
                                                   "HS3CASH.IN_261211_120005"}));
    EXPECT_EQ(pruneArchive((dir.path() / "ARCHIV").string(), plat::DateTime{2026, 12, 12}), 1);
}

TEST(BookingArchive, ACopyThatCannotBeKeptDoesNotHoldTheBookingBack) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() / "hotel");
    dir.write("ARCHIV", "a file where the directory should be");
    dir.write("VZimmerBericht.csv", "22;101;3;10000;1;\"A\";1;7,00\r\n");
    std::vector<std::string> messages;
    EXPECT_FALSE(Booker(dir, kNoon, messages).run());
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Sicherungskopie ARCHIV/HS3CASH.IN_261211_120005 kann nicht "
                            "geschrieben werden"}));
    EXPECT_EQ(dir.read("hotel/HS3CASH.IN"), "101;7,00\r\n");
}

TEST(BookingArchive, AWriteFailureKeepsNeitherAHalfFileNorAHalfCopy) {
    // Every write of a conversion of two bookings fails in turn: the
    // booking file is then the previous one or the whole new one, and a copy
    // is complete or missing.
    const std::string report = "22;101;3;10000;1;\"A\";1;7,00\r\n22;102;3;10000;1;\"B\";1;8,00\r\n";
    const std::string whole = "101;7,00\r\n102;8,00\r\n";
    for (long n = 0; n < 6; ++n) {
        for (long count : {0L, 1L}) {
            testsupport::TempDir dir;
            std::filesystem::create_directories(dir.path() / "hotel");
            dir.write("hotel/HS3CASH.IN", "previous\r\n");
            dir.write("VZimmerBericht.csv", report);
            std::vector<std::string> messages;
            plat::injectWriteFailureAfter(n, count);
            const bool ok = Booker(dir, kNoon, messages).run();
            plat::injectWriteFailureAfter(-1);
            const std::string booked = dir.read("hotel/HS3CASH.IN");
            SCOPED_TRACE("fail after " + std::to_string(n) + " writes, count " +
                         std::to_string(count));
            EXPECT_TRUE(booked == whole || booked == "previous\r\n");
            EXPECT_EQ(ok, booked == whole && messages.empty());
            if (booked != whole) {
                EXPECT_EQ(
                    messages,
                    (std::vector<std::string>{"Datei HS3CASH.IN kann nicht geschrieben werden"}));
            }
            for (const std::string& name : archive(dir))
                EXPECT_EQ(dir.read("ARCHIV/" + name), whole);
            // Nothing half-written lies anywhere.
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "hotel"),
                                    std::filesystem::directory_iterator{}),
                      1);
        }
    }
}
