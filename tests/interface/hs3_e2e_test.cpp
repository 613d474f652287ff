// End to end with HS-3: the built Pelko_Programm in a program directory of its
// own, a stand-in driver beside it, the hotel files in a transfer directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

using testsupport::RunOptions;
using testsupport::RunResult;
using testsupport::TempDir;

namespace fs = std::filesystem;

namespace {

class Hs3EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* d : {"prog", "w", "data", "hotel"}) fs::create_directories(dir.path() / d);
        fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
        fs::copy_file(STANDIN_TARVIK_EXE, dir.path() / "prog" / "Tarvik");
        dir.write("prog/Pelko_Programm.INI",
                  "[HOTEL]\r\nSoftware=0\r\n"
                  "HotelVerzeichnis=" +
                      dir.file("hotel") + "\r\n[ECR]\r\nBonNummer=6\r\n");
        dir.write("hotel/HS3CASH.OUT",
                  "4711;\"101\";\"Meier, Hans\"\r\n4712;\"102 \";\"Schulz\"\r\n");
        dir.write("w/VMWST.CSV", "1;1;MwSt;1900;\r\n");
        dir.write("w/VBED.CSV", "1;7;\"Anna\"\r\n");
    }
    RunResult run(const std::string& verb,
                  std::vector<std::pair<std::string, std::string>> env = {}) {
        RunOptions o;
        o.cwd = dir.file("w");
        o.env = {{"PELKO_CLOCK", "2026-12-11 12:00:00"},
                 {"LC_ALL", "de_DE"},
                 {"LANG", ""},
                 {"PATH", "/usr/bin:/bin"},
                 {"STANDIN_DATA", dir.file("data")}};
        o.env.insert(o.env.end(), env.begin(), env.end());
        return testsupport::runProgram(dir.file("prog/Pelko_Programm"), {"--run", verb}, o);
    }
    plat::IniFile ini() const { return plat::IniFile(dir.file("prog/Pelko_Programm.INI")); }
    std::string calls() const { return dir.read("w/standin_calls.txt"); }
    static bool failureShown(const RunResult& r) {
        return r.err.find("Meldung: ") != std::string::npos;
    }

    TempDir dir;
};

const char* const kReport =
    "22;101;7;10000;5;\"Bier\";2;5,80\r\n"
    "22;102;7;4000;3;\"Ztext\";1;0,00\r\n"
    "22;102;7;5000;12;\"Suppe\";1;4,50\r\n";

const char* const kHs3CashIn =
    "4711;\"007\";\"11.12.2026\";\"12:00\";\"2,00\";\"5\";\"Bier\";\"19,00\";\"2,90\";\"5,80\";"
    "\"EUR\";\"7\";"
    "\"Anna\"\r\n"
    "4712;\"008\";\"11.12.2026\";\"12:00\";\"1,00\";\"12\";\"Suppe\";\"19,00\";\"4,50\";\"4,50\";"
    "\"EUR\";\"7\";"
    "\"Anna\"\r\n";

}  // namespace

TEST_F(Hs3EndToEnd, ConvertRoomReportWritesHs3CashIn) {
    dir.write("w/VZimmerBericht.csv", kReport);
    RunResult r = run("convert-room-report");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(dir.read("hotel/HS3CASH.IN"), kHs3CashIn);
    EXPECT_EQ(ini().readInteger("ECR", "BonNummer", 0), 8);
    EXPECT_FALSE(dir.exists("w/standin_calls.txt"));  // no driver run
}

TEST_F(Hs3EndToEnd, ConvertRoomReportWithoutReportFails) {
    RunResult r = run("convert-room-report");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Meldung: Datei VZimmerBericht.csv kann nicht gelesen werden\n"),
              std::string::npos);
    EXPECT_FALSE(dir.exists("hotel/HS3CASH.IN"));
}

TEST_F(Hs3EndToEnd, RoomReportRunsTheDriverThenTheConverter) {
    dir.write("data/VZimmerBericht.csv", kReport);
    RunResult r = run("room-report");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Kommunikation mit Kasse am 11.12.2026 12:00:00   OK \n");
    EXPECT_EQ(calls(), "TK.DAT 2026-12-11 12:00:00\n");
    // The first driver run of the day starts the receipt numbers again.
    std::string expected = kHs3CashIn;
    expected.replace(expected.find("\"007\""), 5, "\"001\"");
    expected.replace(expected.find("\"008\""), 5, "\"002\"");
    EXPECT_EQ(dir.read("hotel/HS3CASH.IN"), expected);
    EXPECT_EQ(ini().readInteger("ECR", "BonNummer", 0), 2);
}

TEST_F(Hs3EndToEnd, SendRoomsUploadsTheRoomListWithTheGuests) {
    dir.write("w/VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n3;Zi 3;;1;0\r\n");
    RunResult r = run("send-rooms");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(r.out, "Kommunikation mit Kasse am 11.12.2026 12:00:00   OK \n");
    EXPECT_EQ(calls(), "TKZS.DAT 2026-12-11 12:00:00\n");
    EXPECT_EQ(
        dir.read("w/VZIMMERS.CSV"),
        "1;Zi 1;101;1;\"Meier, Hans\";\r\n2;Zi 2;102;1;\"Schulz\";\r\n3;Zi 3;0;1;\"  \";\r\n");
    EXPECT_NE(dir.read("w/TKZS.DAT").find("UPLOAD=" + dir.file("w") + "/VZIMMERS.CSV\r\n"),
              std::string::npos);
    EXPECT_EQ(ini().readString("HOTEL", "HS3DateiLaenge", ""),
              std::to_string(dir.read("hotel/HS3CASH.OUT").size()));
}

TEST_F(Hs3EndToEnd, SendRoomsFailures) {
    // Without the room-number list no driver runs.
    RunResult none = run("send-rooms");
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("Meldung:  Zimmernummern  bitte anlegen ! \n"), std::string::npos);
    EXPECT_FALSE(dir.exists("w/standin_calls.txt"));

    // Without the guest file no list is uploaded.
    dir.write("w/VZIMMER.CSV", "1;Zi 1;101;1;0\r\n");
    fs::remove(dir.path() / "hotel" / "HS3CASH.OUT");
    RunResult noGuests = run("send-rooms");
    EXPECT_EQ(noGuests.status, 1);
    EXPECT_NE(noGuests.err.find("Meldung: Datei HS3CASH.OUT kann nicht gelesen werden\n"),
              std::string::npos);
    EXPECT_FALSE(dir.exists("w/standin_calls.txt"));
    EXPECT_FALSE(dir.exists("w/VZIMMERS.CSV"));

    // A failed upload keeps the stored size.
    dir.write("hotel/HS3CASH.OUT", "4711;\"101\";\"Meier, Hans\"\r\n");
    RunResult failed = run("send-rooms", {{"STANDIN_END", "005"}});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out,
              "Kommunikation mit Kasse am 11.12.2026 12:00:00   Kommunikations Fehler \n");
    EXPECT_EQ(dir.read("w/VZIMMERS.CSV"), "1;Zi 1;101;1;\"Meier, Hans\";\r\n");
    EXPECT_EQ(ini().readString("HOTEL", "HS3DateiLaenge", "none"), "none");
}
