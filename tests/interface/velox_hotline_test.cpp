// The Velox and hotline adapters in the main window: the room list with the
// guests of ROOM.DAT or OSNAME.DAT going to the driver, and the room report
// becoming BOOK.DAT or OSUMSATZ.DAT.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "interface/adapters/Hotline.h"
#include "interface/adapters/Velox.h"
#include "platform/ini.h"

using namespace testsupport;

namespace {

std::string pad(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}
std::string right(const std::string& text, std::size_t width) {
    return std::string(width - text.size(), ' ') + text;
}

// A line of ROOM.DAT: 65 characters and CR LF, a block of 66 in text mode.
std::string roomLine(const std::string& room, const std::string& konto, const std::string& name) {
    return pad(room, 10) + pad(konto, 10) + pad(name, 30) + pad("", 15) + "\r\n";
}
// A record of OSNAME.DAT: 152 characters, the record mark last.
std::string osname(const std::string& room, const std::string& konto, const std::string& name,
                   char mark = ' ') {
    return pad(room, 5) + pad(konto, 10) + pad(name, 20) + std::string(116, ' ') + mark;
}

const std::string kVeloxGuests = roomLine("101", "4711", "Meier, Hans") +
                                 roomLine("102", "4712", std::string(30, 'S')) +
                                 roomLine("101", "4713", "Meier, Anna");
const std::string kHotlineGuests =
    osname("  101", "4711", "Meier, Hans") + osname("102", "4712", "Schulz", '*') +
    osname("102  ", "4713", "Schulz, Eva") + osname("101", "4714", "Zweiter");

const std::string kReport =
    "10;Kopf\r\n"
    "22;101;7;10000;5;\"Bier\";2;5,80\r\n"
    "22;101;7;900;1;\"Trinkgeld\";0;1,50\r\n"
    "22;101;7;0;99;\"Summe\";0;7,30\r\n"
    "22;102;8;0;99;\"Summe\";0;12,50\r\n"
    "22;103;8;900;2;\"Trinkgeld\";0;2,00\r\n"
    "22;103;8;0;99;\"Summe\";0;3,00\r\n";

using VeloxHotlineTest = HotelFormTest;

std::string veloxRecord(const std::string& konto, const std::string& betrag,
                        const std::string& op) {
    return right(konto, 10) + "11122026" + "115950" + right(betrag, 14) + "Kasse   " +
           std::string(10, ' ') + "Bed" + pad(op, 5);
}

std::string hotlineRecord(const std::string& room, const std::string& konto,
                          const std::string& betrag, const std::string& tip = "") {
    const std::string empty = "       .  ";
    return right(room, 5) + right(konto, 10) + "1" + right(betrag, 10) + empty + empty +
           (tip.empty() ? empty : right(tip, 10)) + "20261211 ";
}

}  // namespace

TEST_F(VeloxHotlineTest, VeloxRoomListWithTheGuestsGoesToTheDriver) {
    auto& f = startedWith(pelko::kVelox);
    writeHotel("ROOM.DAT", kVeloxGuests);
    writeW("VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n3;Zi 3;103;1;0\r\n");
    f.BitBtnZimSendenClick();
    EXPECT_EQ(readW("VZIMMERS.CSV"),
              "1;Zi 1;101;1;\"" + pad("Meier, Anna", 25) + "\";\r\n" +    // the last block counts
                  "2;Zi 2;102;1;\"" + std::string(25, 'S') + "\";\r\n" +  // cut to 25
                  "3;Zi 3;0;1;\"  \";\r\n");
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TKZS.DAT"});
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    // After the upload the date stamp of ROOM.DAT is kept, not its size.
    EXPECT_EQ(ini().readInteger("HOTEL", "DateiStempel", 0),
              *plat::dosDateStamp(dir.file("hotel/ROOM.DAT")));
    EXPECT_EQ(ini().readString("HOTEL", "HS3DateiLaenge", "none"), "none");
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(VeloxHotlineTest, VeloxRoomReportBecomesBookDat) {
    auto& f = startedWith(pelko::kVelox, "[ECR]\r\nBonNummer=41\r\n");
    writeHotel("ROOM.DAT", kVeloxGuests);
    writeHotel("BOOK.DAT", "alt");
    writeW("VMWST.CSV", "1;1;MwSt;1900;\r\n");
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n1;8;\"Bert\"\r\n");
    driver.onRun = [&](const std::string&) { writeW("VZimmerBericht.csv", kReport); };
    f.BitBtnManuellClick();
    EXPECT_EQ(readHotel("BOOK.DAT"), veloxRecord("4713", "7.30", "7") +
                                         veloxRecord("4712", "12.50", "8") +
                                         veloxRecord("", "3.00", "8"));
    // Three rooms: the receipt counter goes on although BOOK.DAT has no use for it.
    EXPECT_EQ(f.receiptCounter, 44);
    EXPECT_EQ(ini().readInteger("ECR", "BonNummer", -1), 44);
    EXPECT_EQ(f.MwstSatz, "19,00");
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(VeloxHotlineTest, VeloxConversionMessages) {
    auto& f = startedWith(pelko::kVelox, "[ECR]\r\nBonNummer=5\r\n");
    writeHotel("BOOK.DAT", "alt");
    writeW("VZimmerBericht.csv", "22;101;7;0;99;\"Summe\";0;1,00\r\n22;101;7;0;99;x;0;2,00\r\n");
    // Tables and guest file missing: each reported, the conversion goes on;
    // the guest file once per room, the operator table once per line.
    f.ZimmerBerichtZuVelox();
    EXPECT_EQ(dialogs.texts(), (std::vector<std::string>{
                                   "Datei VMWST.CSV kann nicht gelesen werden",
                                   "Datei ROOM.DAT kann nicht gelesen werden",
                                   "Datei VBed.CSV kann nicht gelesen werden",
                                   "Datei VBed.CSV kann nicht gelesen werden",
                               }));
    EXPECT_EQ(readHotel("BOOK.DAT"), veloxRecord("", "1.00", "7") + veloxRecord("", "2.00", "7"));
    EXPECT_EQ(ini().readInteger("ECR", "BonNummer", -1), 6);

    // A VAT rate that is not a number ends the conversion before BOOK.DAT.
    dialogs.shown.clear();
    writeW("VMWST.CSV", "1;1;x;19%;\r\n");
    writeHotel("BOOK.DAT", "alt");
    f.ZimmerBerichtZuVelox();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"'19%' ist kein gültiger Gleitkommawert"});
    EXPECT_EQ(readHotel("BOOK.DAT"), "alt");
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(VeloxHotlineTest, HotlineRoomListWithTheGuestsGoesToTheDriver) {
    auto& f = startedWith(pelko::kHotline);
    writeHotel("OSNAME.DAT", kHotlineGuests);
    writeW("VZIMMER.CSV", "1;Zi 1;101;1;0\r\n2;Zi 2;102;1;0\r\n3;Zi 3;103;1;0\r\n");
    f.BitBtnZimSendenClick();
    EXPECT_EQ(readW("VZIMMERS.CSV"),
              "1;Zi 1;101;1;\"Meier, Hans\";\r\n"  // the first record counts
              "2;Zi 2;102;1;\"Schulz, Eva\";\r\n"  // the marked record is skipped
              "3;Zi 3;0;1;\"  \";\r\n");
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TKZS.DAT"});
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    EXPECT_EQ(ini().readInteger("HOTEL", "DateiStempel", 0),
              *plat::dosDateStamp(dir.file("hotel/OSNAME.DAT")));
}

TEST_F(VeloxHotlineTest, HotlineRoomReportBecomesOsumsatzDat) {
    auto& f = startedWith(pelko::kHotline, "[ECR]\r\nBonNummer=41\r\n");
    writeHotel("OSNAME.DAT", kHotlineGuests);
    writeHotel("OSUMSATZ.DAT", "alt");
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n1;8;\"Bert\"\r\n");
    writeW("VZimmerBericht.csv", kReport);
    f.ZimmerBerichtZuHotline();
    EXPECT_EQ(readHotel("OSUMSATZ.DAT"), hotlineRecord("101", "4711", "7.30", "1.50") +
                                             hotlineRecord("102", "4713", "12.50") +
                                             hotlineRecord("103", "", "3.00", "2.00"));
    // hotline has no receipt numbers and needs no VAT table.
    EXPECT_EQ(f.receiptCounter, 41);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts()[0];
    EXPECT_EQ(plat::currentDirectory(), w);
}

TEST_F(VeloxHotlineTest, HotlineWithEnglishSettingsWritesPointsToo) {
    env.set("LC_ALL", "en_GB");
    auto& f = startedWith(pelko::kHotline);
    writeHotel("OSNAME.DAT", kHotlineGuests);
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n");
    writeW("VZimmerBericht.csv",
           "22;7;7;900;1;x;0;1.25\r\n22;7;7;900;1;x;0;1,25\r\n22;7;7;0;99;x;0;2,50\r\n");
    f.ZimmerBerichtZuHotline();
    EXPECT_EQ(readHotel("OSUMSATZ.DAT"), hotlineRecord("7", "", "2.50", "2.50"));
}

TEST_F(VeloxHotlineTest, HotlineGuestFileMissing) {
    auto& f = startedWith(pelko::kHotline);
    writeW("VZIMMER.CSV", "1;Zi 1;101;1;0\r\n");
    f.ZimmerZuKasse();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Datei OSNAME.DAT kann nicht gelesen werden"});
    EXPECT_TRUE(driver.runs.empty());
    EXPECT_FALSE(existsW("VZIMMERS.CSV"));

    dialogs.shown.clear();
    writeW("VBED.CSV", "1;7;\"Anna\"\r\n");
    writeW("VZimmerBericht.csv", "22;101;7;0;99;x;0;1,00\r\n22;101;7;0;99;x;0;2,00\r\n");
    f.ZimmerBerichtZuHotline();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Datei OSNAME.DAT kann nicht gelesen werden"});
    EXPECT_EQ(readHotel("OSUMSATZ.DAT"),
              hotlineRecord("0", "", "1.00") + hotlineRecord("101", "", "2.00"));
}
