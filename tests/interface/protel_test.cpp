// The Protel adapter in the main window: the room list with Protel's guests,
// room charges into ROOMBOOK.DAT and the registers' journals into
// XREDUCT.DAT, from the evaluation of driver runs.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "interface/adapters/Protel.h"
#include "platform/ini.h"

using namespace testsupport;

namespace {

class ProtelTest : public HotelFormTest {
  protected:
    pelko::TFormPelko& started(const std::string& extraIni = "") {
        return startedWith(2, extraIni);
    }
};

const char* const kInHouse =
    "1|4711|101|Meier, Hans\r\n"
    "1|4712|102 B|Schulz\r\n";
const std::string kArticles = "1;5;x;x;905;" + std::string(38, ';') + "Bar\r\n";
const char* const kZTexts = "1;3;5\r\n";
const char* const kRoomReport =
    "22;101;7;0;250;\"\";1;0,00\r\n"
    "22;101;7;10000;5;\"Bier\";2;5,80\r\n"
    "22;101;7;900;1;\"Tip\";1;1,00\r\n"
    "22;102;8;0;250;\"\";1;0,00\r\n"
    "22;102;8;4000;3;\"Z\";1;2,00\r\n"
    "22;102;8;1000;0;\"-10%\";1;0,00\r\n";
const char* const kJournal1 =
    "103;500;K1;11-12-26;11:58:00;1;x;4;x;12;7;0;249;;x;\r\n"
    "1;;;;;1;x;;x;;;0;1;;x;\r\n"
    "1;;;;;1;x;;x;;;10000;5;Bier;x;5,80\r\n"
    "1;;;;;1;x;;x;;;700;1;;x;5,80\r\n";
const char* const kJournal2 =
    "103;600;K2;11-12-26;11:59:00;2;x;5;x;13;8;0;249;;x;\r\n"
    "1;;;;;2;x;;x;;;0;1;;x;\r\n"
    "1;;;;;2;x;;x;;;900;2;;x;0,50\r\n"
    "1;;;;;2;x;;x;;;700;2;;x;3,00\r\n";
const char* const kRevenue =
    "{T|12|4|K1|7|20261211|115800|0.00|0.00}\r\n{G|905|Bar|5.80|Bier}\r\n{P|1|5.80}\r\n"
    "{T|13|5|K2|8|20261211|115900|0.50|0.00}\r\n{P|2|3.00}\r\n";

}  // namespace

TEST_F(ProtelTest, RoomListWithProtelsGuests) {
    auto& f = started();
    writeHotel("INHOUSE.DAT", kInHouse);
    writeW("VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n3;Zi 3;103;1;0\r\n");
    f.BitBtnZimSendenClick();
    EXPECT_EQ(readW("VZIMMERS.CSV"),
              "1;Zi 1;101;1;\"Meier, Hans\";\r\n"
              "2;Zi 2;102;1;\"Schulz\";\r\n"
              "3;Zi 3;0;1;\"  \";\r\n");
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TKZS.DAT"});
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
}

TEST_F(ProtelTest, WithoutInHouseFileNoListIsUploaded) {
    auto& f = started();
    writeW("VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n");
    f.BitBtnZimSendenClick();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Datei INHOUSE.DAT kann nicht gelesen werden"});
    EXPECT_TRUE(driver.runs.empty());
}

TEST_F(ProtelTest, RoomReportBecomesRoomBook) {
    auto& f = started("[ECR]\r\nBonNummer=41\r\n");
    writeHotel("INHOUSE.DAT", kInHouse);
    writeW("VART.CSV", kArticles);
    writeW("VZtxt.CSV", kZTexts);
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n1;8;\"Bert\"\r\n");
    driver.onRun = [&](const std::string&) { writeW("VZimmerBericht.csv", kRoomReport); };
    f.BitBtnManuellClick();
    const std::string stamp = "|20261211|115950|";
    EXPECT_EQ(readHotel("ROOMBOOK.DAT"), "{R|4711|101|0}\r\n{T||42|1|7" + stamp +
                                             "1.00|0.00}\r\n{G|905|Bar|5.80|Bier}\r\n\r\n"
                                             "{R|4712|102|0}\r\n{T||43|1|8" +
                                             stamp + "0.00|0.00}\r\n{G|905|Bar|1.80|Z}\r\n");
    EXPECT_EQ(f.receiptCounter, 43);
    EXPECT_EQ(bonNummer(), 43);
    EXPECT_EQ(f.BedienerName, "\"Bert\"");
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(ProtelTest, RevenueReportOfEveryRegister) {
    auto& f = started("[ECR]\r\nKassenNr=2\r\n");
    writeW("VART.CSV", kArticles);
    writeW("VZtxt.CSV", kZTexts);
    driver.onRun = [&](const std::string&) {
        writeW("VEJournal1.csv", kJournal1);
        writeW("VEJournal2.csv", kJournal2);
    };
    f.UmsatzBerichtHolen();
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TKUBH.DAT"});
    EXPECT_EQ(readHotel("XREDUCT.DAT"), kRevenue);
    EXPECT_EQ(readW("XREDUCT/XREDUCT20261211115950.DAT"), kRevenue);
    EXPECT_EQ(readW("TiReaktiv.ini"), "[TischZeile]\r\n13=600\r\n");
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(ProtelTest, ReportTimeFiveChainsTheTablesAndTheRevenueReportOnce) {
    auto& f = started("[ECR]\r\nKassenNr=2\r\n");
    writeHotel("INHOUSE.DAT", kInHouse);
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n1;8;\"Bert\"\r\n");
    // Each run brings what its command file fetches; the program fetch
    // brings the article and Z-text tables that the revenue report uses.
    driver.onRun = [&](const std::string& commandFile) {
        if (commandFile == "TK.DAT") writeW("VZimmerBericht.csv", kRoomReport);
        if (commandFile == "TKZH.DAT") {
            writeW("VART.CSV", kArticles);
            writeW("VZtxt.CSV", kZTexts);
        }
        if (commandFile == "TKUBH.DAT") {
            writeW("VEJournal1.csv", kJournal1);
            writeW("VEJournal2.csv", kJournal2);
        }
    };
    f.CheckBoxUmsBerAuto.setChecked(true);
    f.reportSlot = 5;
    f.jobKind = pelko::kJobRoomReport;
    f.DriverStarten();
    EXPECT_EQ(driver.runs, (std::vector<std::string>{"TK.DAT", "TKZH.DAT", "TKUBH.DAT"}));
    const std::string tkzh = readW("TKZH.DAT");
    EXPECT_NE(tkzh.find("/VZtxt.CSV\r\nCOMMAND=D4000\r\n"), std::string::npos) << tkzh;
    EXPECT_NE(tkzh.find("/VART.CSV\r\nCOMMAND=D10000\r\n"), std::string::npos) << tkzh;
    EXPECT_NE(readHotel("ROOMBOOK.DAT").find("{G|5|1|5.80|Bier}"), std::string::npos)
        << "the room report runs before the tables arrive";
    EXPECT_EQ(readHotel("XREDUCT.DAT"), kRevenue);
    // The revenue converter ran once: one archive copy holding one set.
    std::vector<std::string> copies;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "w" / "XREDUCT"))
        copies.push_back(e.path().filename().string());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(readW("XREDUCT/" + copies[0]), kRevenue);
    // Only the room report, before the first program fetch, missed the tables.
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"Datei VART.CSV kann nicht gelesen werden",
                                        "Datei VZtxt.CSV kann nicht gelesen werden",
                                        "Datei VART.CSV kann nicht gelesen werden"}));
}

TEST_F(ProtelTest, FailedRevenueRunConvertsNothing) {
    auto& f = started();
    writeHotel("XREDUCT.DAT", "alt");
    driver.endCode = "005";
    f.UmsatzBerichtHolen();
    EXPECT_EQ(readHotel("XREDUCT.DAT"), "alt");
    EXPECT_FALSE(existsW("XREDUCT"));
}
