// End to end with Protel: the built Pelko_Programm in a program directory of
// its own, a stand-in driver beside it, the hotel files in a transfer
// directory, the register's tables in the working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "platform/ini.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

using testsupport::RunOptions;
using testsupport::RunResult;
using testsupport::TempDir;

namespace fs = std::filesystem;

namespace {

class ProtelEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* d : {"prog", "w", "data", "hotel"}) fs::create_directories(dir.path() / d);
        fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
        fs::copy_file(STANDIN_TARVIK_EXE, dir.path() / "prog" / "Tarvik");
        dir.write("prog/Pelko_Programm.INI",
                  "[HOTEL]\r\nSoftware=2\r\n"
                  "HotelVerzeichnis=" +
                      dir.file("hotel") + "\r\n[ECR]\r\nBonNummer=6\r\nKassenNr=2\r\n");
        dir.write("hotel/INHOUSE.DAT", "1|4711|101|Meier, Hans\r\n1|4712|102 B|Schulz\r\n");
        dir.write("w/VBED.CSV", "1;7;\"Anna\"\r\n");
        dir.write("w/VART.CSV", "1;5;x;x;905;" + std::string(38, ';') + "\"Getr\xE4nke\"\r\n");
        dir.write("w/VZtxt.CSV", "1;3;5\r\n");
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
    // The archive copies in W/XREDUCT.
    std::vector<std::string> archives() const {
        std::vector<std::string> names;
        if (!fs::is_directory(dir.path() / "w" / "XREDUCT")) return names;
        for (const auto& e : fs::directory_iterator(dir.path() / "w" / "XREDUCT"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The seconds of a header's time of writing, which the clock runs on.
    static std::string withoutSeconds(const std::string& text) {
        return std::regex_replace(text, std::regex("\\|20261211\\|1200[0-9][0-9]\\|"),
                                  "|20261211|1200ss|");
    }
    // The stop-icon boxes of a run.
    static std::string boxes(const RunResult& r) {
        std::string out;
        std::size_t at = 0;
        while ((at = r.err.find("Meldung: ", at)) != std::string::npos) {
            const std::size_t end = r.err.find('\n', at);
            out += r.err.substr(at, end - at + 1);
            at = end;
        }
        return out;
    }
    static bool failureShown(const RunResult& r) {
        return r.err.find("Meldung: ") != std::string::npos;
    }

    TempDir dir;
};

const char* const kReport =
    "22;101;7;0;250;\"\";1;0,00\r\n"
    "22;101;7;10000;5;\"Bier; hell\";2;5,80\r\n"
    "22;101;7;900;1;\"Tip\";1;1,00\r\n"
    "22;101;7;900;6;\"Tip\";1;0,50\r\n"
    "22;102;7;0;250;\"\";1;0,00\r\n"
    "22;102;7;4000;3;K\xFC"
    "che;1;2,00\r\n"
    "22;102;7;1000;0;\"-10%\";1;0,00\r\n";
const char* const kRoomBook =
    "{R|4711|101|0}\r\n{T||7|1|7|20261211|1200ss|1.00|0.50}\r\n"
    "{G|905|Getr\xE4nke|5.80|Bier; hell}\r\n\r\n"
    "{R|4712|102|0}\r\n{T||8|1|7|20261211|1200ss|0.00|0.00}\r\n"
    "{G|905|Getr\xE4nke|1.80|K\x81"
    "che}\r\n";

const char* const kJournal1 =
    "103;500;K1;11-12-26;11:58:00;1;x;4;x;12;7;0;249;;x;\r\n"
    "1;;;;;1;x;;x;;;0;1;;x;\r\n"
    "1;;;;;1;x;;x;;;10000;5;Bier;x;5,80\r\n"
    "1;;;;;1;x;;x;;;0;97;;x;6,00\r\n"
    "1;;;;;1;x;;x;;;700;1;;x;5,80\r\n"
    "1;;;;;1;x;;x;12;;1300;11;;x;\r\n"  // table 12 reactivated: closing 500 superseded
    "103;501;K1;11-12-26;11:59:00;2;x;4;x;12;7;0;249;;x;\r\n"
    "1;;;;;2;x;;x;;;0;1;;x;\r\n"
    "1;;;;;2;x;;x;;;10000;5;Bier;x;5,80\r\n"
    "1;;;;;2;x;;x;;;700;1;;x;5,80\r\n";
const char* const kJournal2 =
    "103;600;K2;11-12-26;11:59:30;3;x;65534;x;13;8;0;249;;x;\r\n"
    "1;;;;;3;x;;x;;;0;1;;x;\r\n"
    "1;;;;;3;x;;x;;;900;2;;x;0,50\r\n"
    "1;;;;;3;x;;x;;;700;2;;x;3,00\r\n";
const char* const kRevenue =
    "{T|12|4|K1|7|20261211|115900|0.00|0.00}\r\n{G|905|Getr\xE4nke|5.80|Bier}\r\n{P|1|5.80}\r\n"
    "{T|13|0|K2|8|20261211|115930|0.50|0.00}\r\n{P|2|3.00}\r\n";

}  // namespace

TEST_F(ProtelEndToEnd, ConvertRoomReportWritesRoomBook) {
    dir.write("w/VZimmerBericht.csv", kReport);
    RunResult r = run("convert-room-report");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(withoutSeconds(dir.read("hotel/ROOMBOOK.DAT")), kRoomBook);
    EXPECT_EQ(ini().readInteger("ECR", "BonNummer", 0), 8);
    EXPECT_FALSE(dir.exists("w/standin_calls.txt"));  // no driver run
}

TEST_F(ProtelEndToEnd, ConvertRoomReportReportsMissingFiles) {
    dir.write("w/VZimmerBericht.csv", kReport);
    fs::remove(dir.path() / "hotel" / "INHOUSE.DAT");
    RunResult r = run("convert-room-report");
    EXPECT_EQ(r.status, 1);
    // Once per change of room; the bookings are written without guests.
    EXPECT_EQ(boxes(r),
              "Meldung: Datei INHOUSE.DAT kann nicht gelesen werden\n"
              "Meldung: Datei INHOUSE.DAT kann nicht gelesen werden\n");
    EXPECT_NE(dir.read("hotel/ROOMBOOK.DAT").find("{R||0|0}"), std::string::npos);
}

TEST_F(ProtelEndToEnd, ConvertRevenueWritesXReduceOfBothRegisters) {
    dir.write("w/VEJournal1.csv", kJournal1);
    dir.write("w/VEJournal2.csv", kJournal2);
    RunResult r = run("convert-revenue");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(failureShown(r)) << r.err;
    EXPECT_EQ(dir.read("hotel/XREDUCT.DAT"), kRevenue);
    const std::vector<std::string> copies = archives();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(std::regex_match(copies[0], std::regex("XREDUCT202612111200[0-9][0-9]\\.DAT")))
        << copies[0];
    EXPECT_EQ(dir.read("w/XREDUCT/" + copies[0]), kRevenue);
    // The list of the last register stays.
    EXPECT_EQ(dir.read("w/TiReaktiv.ini"), "[TischZeile]\r\n13=600\r\n");
    EXPECT_FALSE(dir.exists("w/standin_calls.txt"));
}

TEST_F(ProtelEndToEnd, ConvertRevenueWithAJournalMissing) {
    dir.write("w/VEJournal1.csv", kJournal1);
    RunResult r = run("convert-revenue");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(boxes(r), "Meldung: Datei VEJournal kann nicht gelesen werden\n");
    // What register 1 gave stays.
    EXPECT_EQ(dir.read("hotel/XREDUCT.DAT"),
              "{T|12|4|K1|7|20261211|115900|0.00|0.00}\r\n{G|905|Getr\xE4nke|5.80|Bier}\r\n"
              "{P|1|5.80}\r\n");
}

// The first driver run of the day saves the settings, which writes the
// command files.
TEST_F(ProtelEndToEnd, RevenueReportRunsTheDriverThenTheConverter) {
    dir.write("data/VEJournal1.csv", kJournal1);
    dir.write("data/VEJournal2.csv", kJournal2);
    RunResult r = run("revenue-report");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Kommunikation mit Kasse am 11.12.2026 12:00:00   OK \n");
    EXPECT_EQ(dir.read("w/standin_calls.txt"), "TKUBH.DAT 2026-12-11 12:00:00\n");
    const std::string tkubh = dir.read("w/TKUBH.DAT");
    EXPECT_NE(tkubh.find("NEWFILE=" + dir.file("w") + "/VEJournal2.csv\r\n"), std::string::npos);
    EXPECT_EQ(dir.read("hotel/XREDUCT.DAT"), kRevenue);
    EXPECT_EQ(archives().size(), 1u);

    // A failed run converts nothing.
    RunResult failed = run("revenue-report", {{"STANDIN_END", "005"}});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(archives().size(), 1u);
}
