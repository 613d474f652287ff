// End to end with Velox and hotline: the built Pelko_Programm in a program
// directory of its own, a stand-in driver beside it, the hotel files in a
// transfer directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini.h"
#include "platform/paths.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

using testsupport::RunOptions;
using testsupport::RunResult;
using testsupport::TempDir;

namespace fs = std::filesystem;

namespace {

std::string pad(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

class FixedWidthEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* d : {"prog", "w", "data", "hotel"}) fs::create_directories(dir.path() / d);
        fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
        fs::copy_file(STANDIN_TARVIK_EXE, dir.path() / "prog" / "Tarvik");
        dir.write("w/VMWST.CSV", "1;1;MwSt;1900;\r\n");
        dir.write("w/VBED.CSV", "1;7;\"Anna\"\r\n1;12345678;\"Lang\"\r\n");
        dir.write("w/VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n3;Zi 3;103;1;0\r\n");
        dir.write("w/VZimmerBericht.csv",
                  "22;101;7;10000;5;\"Bier\";2;5,80\r\n"
                  "22;101;7;900;1;\"Trinkgeld\";0;0,70\r\n"
                  "22;101;7;0;99;\"Summe\";0;6,50\r\n"
                  "22;102;12345678;0;99;\"Summe\";0;1234,50\r\n");
    }
    void settings(int software) {
        dir.write("prog/Pelko_Programm.INI", "[HOTEL]\r\nSoftware=" + std::to_string(software) +
                                                 "\r\nHotelVerzeichnis=" + dir.file("hotel") +
                                                 "\r\n[ECR]\r\nBonNummer=6\r\n");
    }
    RunResult run(const std::string& verb,
                  std::vector<std::pair<std::string, std::string>> env = {}) {
        RunOptions o;
        o.cwd = dir.file("w");
        o.env = {{"PELKO_CLOCK", "2026-12-11 12:34:56"},
                 {"LC_ALL", "de_DE"},
                 {"LANG", ""},
                 {"PATH", "/usr/bin:/bin"},
                 {"STANDIN_DATA", dir.file("data")}};
        o.env.insert(o.env.end(), env.begin(), env.end());
        return testsupport::runProgram(dir.file("prog/Pelko_Programm"), {"--run", verb}, o);
    }
    plat::IniFile ini() const { return plat::IniFile(dir.file("prog/Pelko_Programm.INI")); }
    static bool failureShown(const RunResult& r) {
        return r.err.find("Meldung: ") != std::string::npos;
    }

    TempDir dir;
};

}  // namespace

TEST_F(FixedWidthEndToEnd, VeloxConvertRoomReportWritesBookDat) {
    settings(1);
    dir.write("hotel/ROOM.DAT", pad("101", 10) + pad("4711", 10) + pad("Meier, Hans", 45) + "\r\n" +
                                    pad("102", 10) + pad("88", 10) + pad("Schulz", 45) + "\r\n");
    RunResult r = run("convert-room-report");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(dir.read("hotel/BOOK.DAT"),
              "      4711"
              "11122026123456"
              "          6.50"
              "Kasse             Bed7    "
              "        88"
              "11122026123456"
              "       1234.50"
              "Kasse             Bed12345");
    EXPECT_EQ(ini().readInteger("ECR", "BonNummer", 0), 8);
    EXPECT_FALSE(dir.exists("w/standin_calls.txt"));  // no driver run
}

TEST_F(FixedWidthEndToEnd, VeloxSendRoomsUploadsTheRoomListWithTheGuests) {
    settings(1);
    dir.write("hotel/ROOM.DAT", pad("101", 10) + pad("4711", 10) + pad("Meier, Hans", 45) + "\n");
    RunResult r = run("send-rooms");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(r.out, "Kommunikation mit Kasse am 11.12.2026 12:34:56   OK \n");
    EXPECT_EQ(dir.read("w/standin_calls.txt"), "TKZS.DAT 2026-12-11 12:34:56\n");
    EXPECT_EQ(dir.read("w/VZIMMERS.CSV"), "1;Zi 1;101;1;\"" + pad("Meier, Hans", 25) +
                                              "\";\r\n"
                                              "2;Zi 2;0;1;\"  \";\r\n3;Zi 3;0;1;\"  \";\r\n");
    EXPECT_EQ(ini().readInteger("HOTEL", "DateiStempel", 0),
              *plat::dosDateStamp(dir.file("hotel/ROOM.DAT")));
}

TEST_F(FixedWidthEndToEnd, HotlineConvertRoomReportWritesOsumsatzDat) {
    settings(3);
    dir.write("hotel/OSNAME.DAT", pad("  101", 5) + pad("4711", 10) + pad("Meier, Hans", 136) +
                                      " " + pad("  102", 5) + pad("88", 10) + pad("Schulz", 136) +
                                      " ");
    RunResult r = run("convert-room-report");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(dir.read("hotel/OSUMSATZ.DAT"),
              "  101"
              "      4711"
              "1"
              "      6.50"
              "       .  "
              "       .  "
              "      0.70"
              "20261211 "
              "  102"
              "        88"
              "1"
              "   1234.50"
              "       .  "
              "       .  "
              "       .  "
              "20261211 ");
    EXPECT_EQ(ini().readInteger("ECR", "BonNummer", 0), 6);  // hotline has no receipts
    EXPECT_FALSE(dir.exists("w/standin_calls.txt"));
}

TEST_F(FixedWidthEndToEnd, HotlineSendRoomsUploadsTheRoomListWithTheGuests) {
    settings(3);
    dir.write("hotel/OSNAME.DAT", pad("103", 5) + pad("4713", 10) + pad("Weber", 136) + " ");
    RunResult r = run("send-rooms");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(dir.read("w/standin_calls.txt"), "TKZS.DAT 2026-12-11 12:34:56\n");
    EXPECT_EQ(dir.read("w/VZIMMERS.CSV"),
              "1;Zi 1;0;1;\"  \";\r\n2;Zi 2;0;1;\"  \";\r\n3;Zi 3;103;1;\"Weber\";\r\n");
    EXPECT_EQ(ini().readInteger("HOTEL", "DateiStempel", 0),
              *plat::dosDateStamp(dir.file("hotel/OSNAME.DAT")));
}

TEST_F(FixedWidthEndToEnd, ValuesThatDoNotFitAreReportedNotCut) {
    settings(3);
    dir.write("hotel/OSNAME.DAT", "");
    dir.write("w/VZimmerBericht.csv",
              "22;101;7;0;99;\"Summe\";0;1,00\r\n"
              "22;123456;7;10000;5;\"Bier\";1;1,00\r\n"
              "22;123456;7;0;99;\"Summe\";0;1,00\r\n");
    RunResult r = run("convert-room-report");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Meldung: VZimmerBericht.csv: 1 Buchungszeile nicht übertragen, Wert zu "
                         "lang für OSUMSATZ.DAT (Zeile 3)\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(dir.read("hotel/OSUMSATZ.DAT"),
              "    0          1      1.00       .         .         .  20261211 ");
}
