// The HS-3 adapter in the main window: the room list with the guests of
// HS3CASH.OUT going to the driver, and the room report becoming HS3CASH.IN.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "form_fixture.h"
#include "interface/adapters/Hs3.h"
#include "interface/registerfiles/lookup_cache.h"
#include "platform/file_stamp.h"
#include "platform/ini.h"

using namespace testsupport;

namespace {

class Hs3Test : public HotelFormTest {
  protected:
    pelko::TFormPelko& started(const std::string& extraIni = "") {
        return startedWith(0, extraIni);
    }
};

const char* const kGuests =
    "4711;\"101\";\"Meier, Hans\"\r\n"
    "4712;\"102  \";\"Schulz\"\r\n"
    "4713;\"101\";\"Zweiter\"\r\n";

}  // namespace

TEST_F(Hs3Test, RoomListWithTheGuestsGoesToTheDriver) {
    auto& f = started();
    writeHotel("HS3CASH.OUT", kGuests);
    writeW(
        "VZIMMER.CSV",
        "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n3;Zi 3;103;1;0\r\n4;Zi 4;;1;0\r\n5;Zi 5;0101;1;0\r\n");
    f.countdown = 5;
    f.BitBtnZimSendenClick();
    EXPECT_EQ(readW("VZIMMERS.CSV"),
              "1;Zi 1;101;1;\"Meier, Hans\";\r\n"
              "2;Zi 2;102;1;\"Schulz\";\r\n"
              "3;Zi 3;0;1;\"  \";\r\n"
              "4;Zi 4;0;1;\"  \";\r\n"
              "5;Zi 5;0;1;\"  \";\r\n");
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TKZS.DAT"});
    EXPECT_EQ(f.jobKind, pelko::kJobRoomListUpload);
    EXPECT_EQ(f.countdown, 60);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    // After the successful upload the size of the guest file is kept.
    EXPECT_EQ(plat::IniFile(iniPath()).readString("HOTEL", "HS3DateiLaenge", ""),
              std::to_string(std::string(kGuests).size()));
    EXPECT_EQ(f.GastDaten.Zimmer, "0");  // the last lookup: room 0101
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(Hs3Test, RoomListNeedsTheRoomNumberList) {
    auto& f = started();
    writeHotel("HS3CASH.OUT", kGuests);
    f.ZimmerZuKasse();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{" Zimmernummern  bitte anlegen ! "});
    EXPECT_EQ(dialogs.shown[0].caption, "Meldung");
    EXPECT_EQ(dialogs.shown[0].icon, pelko::DialogRequest::Icon::Stop);
    EXPECT_TRUE(driver.runs.empty());
    EXPECT_FALSE(existsW("VZIMMERS.CSV"));
}

TEST_F(Hs3Test, WithoutTheGuestFileNoListIsUploaded) {
    auto& f = started();
    writeW("VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n");
    writeW("VZIMMERS.CSV", "1;Zi 1;101;1;\"Meier, Hans\";\r\n");
    f.ZimmerZuKasse();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Datei HS3CASH.OUT kann nicht gelesen werden"});
    EXPECT_TRUE(driver.runs.empty());
    EXPECT_EQ(readW("VZIMMERS.CSV"), "1;Zi 1;101;1;\"Meier, Hans\";\r\n");
    EXPECT_EQ(plat::IniFile(iniPath()).readString("HOTEL", "HS3DateiLaenge", "none"), "none");
}

TEST_F(Hs3Test, RoomReportBecomesHs3CashIn) {
    auto& f = started("[ECR]\r\nBonNummer=41\r\n");
    writeHotel("HS3CASH.OUT", kGuests);
    writeW("VMWST.CSV", "1;1;MwSt;1900;\r\n1;2;MwSt;700;\r\n");
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n1;8;\"Bert\"\r\n");
    driver.onRun = [&](const std::string&) {
        writeW("VZimmerBericht.csv",
               "10;Kopf\r\n"
               "22;101;7;10000;5;\"Bier\";2;5,80\r\n"
               "22;101;8;4999;1;\"Nicht\";1;1,00\r\n"
               "22;101;8;5000;12;\"Suppe\";1;4,50\r\n"
               "22;104;9;10000;5;\"Bier\";1;2,90\r\n"
               "22;101;7;10000;6;\"Wein\";3;10,00\r\n");
    };
    EXPECT_EQ(f.receiptCounter, 41);
    f.BitBtnManuellClick();
    const std::string d = "\"11.12.2026\";\"11:59\";";
    EXPECT_EQ(
        readHotel("HS3CASH.IN"),
        "4711;\"042\";" + d +
            "\"2,00\";\"5\";\"Bier\";\"19,00\";\"2,90\";\"5,80\";\"EUR\";\"7\";\"Anna\"\r\n" +
            "4711;\"042\";" + d +
            "\"1,00\";\"12\";\"Suppe\";\"19,00\";\"4,50\";\"4,50\";\"EUR\";\"8\";\"Bert\"\r\n" +
            ";\"043\";" + d +
            "\"1,00\";\"5\";\"Bier\";\"19,00\";\"2,90\";\"2,90\";\"EUR\";\"9\";\r\n" +
            "4711;\"044\";" + d +
            "\"3,00\";\"6\";\"Wein\";\"19,00\";\"3,33\";\"10,00\";\"EUR\";\"7\";\"Anna\"\r\n");
    EXPECT_EQ(f.receiptCounter, 44);
    EXPECT_EQ(bonNummer(), 44);
    EXPECT_EQ(f.MwstSatz, "19,00");
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(Hs3Test, FirstRunOfADayStartsTheReceiptsAgain) {
    auto& f = started("[ECR]\r\nBonNummer=41\r\n");
    writeHotel("HS3CASH.OUT", kGuests);
    writeW("VMWST.CSV", "1;1;MwSt;1900;\r\n");
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n");
    writeW("VZimmerBericht.csv", "22;101;7;10000;5;\"Bier\";2;5,80\r\n");
    setClock("2026-12-12 06:00:00");
    f.BitBtnManuellClick();
    EXPECT_EQ(readHotel("HS3CASH.IN").substr(0, 39),
              "4711;\"001\";\"12.12.2026\";\"06:00\";\"2,00\";");
    EXPECT_EQ(bonNummer(), 1);
}

TEST_F(Hs3Test, ConversionMessages) {
    const struct {
        const char* name;
        const char* vat;       // VMWST.CSV, nullptr: missing
        const char* report;    // VZimmerBericht.csv, nullptr: missing
        bool hotelDirMissing;  // HS3CASH.IN cannot be created
        bool guestsMissing;
        std::vector<std::string> messages;
        const char* hs3CashIn;  // nullptr: left as it was ("alt\r\n")
    } cases[] = {
        {"VAT table missing: the rate stays, the conversion goes on",
         nullptr,
         "22;101;7;10000;5;\"Bier\";2;5,80\r\n",
         false,
         false,
         {"Datei VMWST.CSV kann nicht gelesen werden"},
         "4711;\"001\";\"11.12.2026\";\"11:59\";\"2,00\";\"5\";\"Bier\";\"\";\"2,90\";\"5,80\";"
         "\"EUR\";\"7\";"
         "\"Anna\"\r\n"},
        {"VAT rate not a number ends the conversion",
         "1;1;x;19%;\r\n",
         "22;101;7;10000;5;x;1;1\r\n",
         false,
         false,
         {"'19%' ist kein gültiger Gleitkommawert"},
         nullptr},
        {"room report missing",
         "1;1;x;1900\r\n",
         nullptr,
         false,
         false,
         {"Datei VZimmerBericht.csv kann nicht gelesen werden"},
         nullptr},
        {"booking file cannot be created",
         "1;1;x;1900\r\n",
         "22;101;7;10000;5;x;1;1\r\n",
         true,
         false,
         {"Datei HS3CASH.IN kann nicht gelesen werden"},
         nullptr},
        {"guest file missing: once per room, bookings without account",
         "1;1;x;1900\r\n",
         "22;101;7;10000;5;x;1;1\r\n22;101;7;10000;5;x;1;1\r\n",
         false,
         true,
         {"Datei HS3CASH.OUT kann nicht gelesen werden"},
         ";\"001\";\"11.12.2026\";\"11:59\";\"1,00\";\"5\";x;\"19,00\";\"1,00\";\"1\";\"EUR\";"
         "\"7\";\"Anna\"\r\n"
         ";\"001\";\"11.12.2026\";\"11:59\";\"1,00\";\"5\";x;\"19,00\";\"1,00\";\"1\";\"EUR\";"
         "\"7\";\"Anna\"\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir.path() / "hotel");
        std::filesystem::remove(dir.path() / "w" / "VMWST.CSV");
        std::filesystem::remove(dir.path() / "w" / "VZimmerBericht.csv");
        if (!c.hotelDirMissing) writeHotel("HS3CASH.IN", "alt\r\n");
        if (!c.guestsMissing && !c.hotelDirMissing) writeHotel("HS3CASH.OUT", kGuests);
        if (c.vat) writeW("VMWST.CSV", c.vat);
        if (c.report) writeW("VZimmerBericht.csv", c.report);
        writeW("VBED.CSV", "1;7;\"Anna\"\r\n");
        auto& f = started();
        f.ZimmerBerichtZuHS3();
        EXPECT_EQ(dialogs.texts(), c.messages);
        if (!c.hotelDirMissing) {
            EXPECT_EQ(readHotel("HS3CASH.IN"), c.hs3CashIn ? c.hs3CashIn : "alt\r\n");
        }
        EXPECT_EQ(plat::currentDirectory(), w);
    }
}

TEST_F(Hs3Test, VatRateKeptAndOperatorNameNotCarriedOver) {
    auto& f = started();
    writeHotel("HS3CASH.OUT", kGuests);
    writeW("VMWST.CSV", "1;2;x;700\r\n");  // no record 1
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n");
    writeW("VZimmerBericht.csv", "22;101;7;10000;5;x;1;1,00\r\n22;101;5;10000;5;x;1;1,00\r\n");
    f.MwstSatz = "19,00";
    f.ZimmerBerichtZuHS3();
    EXPECT_EQ(readHotel("HS3CASH.IN"),
              "4711;\"001\";\"11.12.2026\";\"11:59\";\"1,00\";\"5\";x;\"19,00\";\"1,00\";\"1,00\";"
              "\"EUR\";\"7\";"
              "\"Anna\"\r\n"
              "4711;\"001\";\"11.12.2026\";\"11:59\";\"1,00\";\"5\";x;\"19,00\";\"1,00\";\"1,00\";"
              "\"EUR\";\"5\";\r\n");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Hs3Test, EnglishSettingsWriteDecimalPoints) {
    env.set("LC_ALL", "en_GB");
    auto& f = started();
    writeHotel("HS3CASH.OUT", kGuests);
    writeW("VMWST.CSV", "1;1;x;1900.00\r\n");
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n");
    writeW("VZimmerBericht.csv", "22;102;7;10000;5;x;2;5.80\r\n");
    f.ZimmerBerichtZuHS3();
    EXPECT_EQ(readHotel("HS3CASH.IN"),
              "4712;\"001\";\"11.12.2026\";\"11:59\";\"2.00\";\"5\";x;\"19.00\";\"2.90\";\"5.80\";"
              "\"EUR\";\"7\";"
              "\"Anna\"\r\n");
}

TEST_F(Hs3Test, KeptLookupsConvertByteForByteAsTheReadingDoes) {
    auto& f = started();
    writeHotel("HS3CASH.OUT", kGuests);
    writeW("VMWST.CSV", "1;1;MwSt;1900;\r\n");
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n1;8;\"Bert\"\r\n1;7;\"Zweite\"\r\n");
    // Rooms that come back, a room without guest, an operator without name.
    writeW("VZimmerBericht.csv",
           "22;101;7;10000;5;\"Bier\";2;5,80\r\n"
           "22;102;8;10000;6;\"Wein\";1;4,50\r\n"
           "21;101;7;10000;5;\"Kein\";1;1,00\r\n"
           "22;102;9;10000;7;\"Saft\";1;2,00\r\n"
           "22;103;7;10000;5;\"Bier\";1;2,90\r\n"
           "22;101;8;10000;5;\"Bier\";3;8,70\r\n");
    // The files have settled, as they have at a report time: indexes are kept.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    for (const std::string& path : {dir.file("hotel/HS3CASH.OUT"), dir.file("w/VBED.CSV")}) {
        while (std::chrono::steady_clock::now() < until) {
            const auto stamp = plat::stampOfPath(path);
            if (stamp && plat::settled(*stamp, plat::realTimeNs())) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    struct Result {
        std::string booked;
        std::vector<std::string> messages;
        bool operator==(const Result&) const = default;
    };
    auto convert = [&](bool keep) {
        plat::setLookupCachesEnabled(keep);
        f.receiptCounter = 0;
        dialogs.shown.clear();
        f.ZimmerBerichtZuHS3();
        plat::setLookupCachesEnabled(true);
        return Result{readHotel("HS3CASH.IN"), dialogs.texts()};
    };
    const Result reading = convert(false);
    EXPECT_TRUE(reading.messages.empty());
    EXPECT_EQ(reading.booked.substr(0, 12), "4711;\"001\";\"");
    const std::size_t built = regfiles::lookupIndexesBuilt();
    EXPECT_EQ(convert(true), reading);
    EXPECT_EQ(convert(true), reading);
    EXPECT_EQ(regfiles::lookupIndexesBuilt(), built + 2) << "one index per file, kept";

    // The guest file and the operator table go away after they were kept:
    // every lookup reports it, as without keeping.
    std::filesystem::remove(dir.path() / "hotel" / "HS3CASH.OUT");
    std::filesystem::remove(dir.path() / "w" / "VBED.CSV");
    const Result gone = convert(false);
    const std::string guests = "Datei HS3CASH.OUT kann nicht gelesen werden";
    const std::string operators = "Datei VBed.CSV kann nicht gelesen werden";
    EXPECT_EQ(gone.messages,
              (std::vector<std::string>{guests, operators, guests, operators, operators, guests,
                                        operators, guests, operators}));
    EXPECT_EQ(convert(true), gone);
}
