// Start-up, the settings file, saving, the hotel software and port choices,
// the transfer directory and the keys of the main window.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "platform/ini.h"
#include "platform/regional.h"

using namespace testsupport;
using pelko::DialogRequest;

namespace {

std::string pickerText(pelko::TFormPelko& f, int n) {
    return plat::longTime(f.DateTimePicker(n).dateTime());
}

const char* const kFullIni =
    "[spezial]\r\n"
    "ProcessTag=20261210\r\n"
    "FensterLinks=10\r\nFensterOben=20\r\nFensterBreit=700\r\nFensterHoch=500\r\n"
    "Verschlossen=0\r\n"
    "[Hotel]\r\n"
    "Software=2\r\n"
    "HotelDateiName=STORED.DAT\r\nKassenDateiName=STORED.IN\r\n"
    "HotelVerzeichnis=/srv/protel\r\n"
    "HS3DateiLaenge=1234\r\nDateiStempel=1506965504\r\n"
    "AnzahlZimmer=5\r\n"
    "[ECR]\r\n"
    "Port=17\r\nBaud=2\r\nKassenNr=3\r\nKundenID=ABCD1234\r\nBerichtsNr=01\r\n"
    "UmsatzBerNr=002\r\n"
    "EthernetIP1=192\r\nEthernetIP2=168\r\nEthernetIP3=1\r\nEthernetIP4=50\r\n"
    "EthernetFIP1=10\r\nEthernetFIP2=0\r\nEthernetFIP3=0\r\nEthernetFIP4=1\r\n"
    "DNSName=kasse.local\r\n"
    "UmsBerAuto=1\r\nSichtbar=1\r\nBonNummer=41\r\n"
    "Zeit1=06:30:00\r\nZeit2=12:00:00\r\nZeit3=00:00:00\r\nZeit4=18:45:30\r\nZeit5=23:00:00\r\n";

}  // namespace

TEST_F(FormTest, FirstStartWithoutSettingsFile) {
    auto& f = makeForm();
    EXPECT_EQ(f.left(), 193);
    EXPECT_EQ(f.top(), 113);
    EXPECT_EQ(f.width(), 762);
    EXPECT_EQ(f.height(), 529);
    EXPECT_EQ(f.ComboBoxHotelsoftware.itemIndex(), pelko::kHs3);
    EXPECT_EQ(f.ComboBoxHotelsoftware.text(), "HS-3   Hotelsoftware");
    EXPECT_EQ(f.ComboBoxPort.itemIndex(), 0);
    EXPECT_EQ(f.ComboBoxPort.text(), "ohne Port");
    EXPECT_EQ(f.ComboBoxBaud.text(), "9600");
    EXPECT_EQ(f.EditHotelTransfer.text(), w);
    EXPECT_EQ(f.workDir, w);
    EXPECT_EQ(f.StringGrid1.rowCount(), 3);
    EXPECT_EQ(f.StringGrid1.cell(0, 0), "  Nr");
    EXPECT_EQ(f.StringGrid1.cell(1, 0), "Zimmer Nr.");
    EXPECT_EQ(f.StringGrid1.cell(0, 1), "1");
    EXPECT_EQ(f.StringGrid1.cell(0, 2), "2");
    EXPECT_EQ(f.StringGrid1.cell(1, 1), "");
    EXPECT_EQ(f.StringGrid1.colWidth(0), 30);
    EXPECT_EQ(f.StringGrid1.colWidth(1), 60);
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(pickerText(f, n), "00:00:00");
    EXPECT_EQ(f.EditHotDName.text(), "HS3CASH.OUT");
    EXPECT_EQ(f.EditKassDName.text(), "HS3CASH.IN");
    EXPECT_FALSE(f.BitBtnUmsManuell.visible());
    EXPECT_FALSE(f.MaskEdit_IP1.visible());
    EXPECT_EQ(f.countdown, 60);
    EXPECT_EQ(f.jobKind, pelko::kJobRoomReport);
    EXPECT_EQ(f.processDay, "");
    EXPECT_EQ(f.DateTimePickerProtokoll.dateTime().day, 11);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "w" / "LOG"));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(dir.exists("prog/Pelko_Programm.INI"));  // reading creates nothing
}

TEST_F(FormTest, StartUpLoadsEveryKeyIntoItsControl) {
    writeIni(kFullIni);
    auto& f = makeForm();
    EXPECT_EQ(f.processDay, "20261210");
    EXPECT_EQ(f.left(), 10);
    EXPECT_EQ(f.top(), 20);
    EXPECT_EQ(f.width(), 700);
    EXPECT_EQ(f.height(), 500);
    EXPECT_EQ(f.hotelSoftware(), pelko::kProtel);
    // The stored file names never reach the screen: the choice sets them.
    EXPECT_EQ(f.EditHotDName.text(), "INHOUSE.DAT");
    EXPECT_EQ(f.EditKassDName.text(), "ROOMBOOK.DAT");
    EXPECT_EQ(f.EditHotelTransfer.text(), "/srv/protel");
    EXPECT_EQ(f.storedLength, 1234);
    EXPECT_EQ(f.storedStamp, 1506965504);
    EXPECT_EQ(f.StringGrid1.rowCount(), 5);
    EXPECT_EQ(f.StringGrid1.cell(0, 4), "4");
    EXPECT_EQ(f.ComboBoxPort.text(), "Ethernet LAN");
    EXPECT_EQ(f.ComboBoxBaud.text(), "38400");
    EXPECT_EQ(f.MaskEditKassAnz.text(), "3");
    EXPECT_EQ(f.MaskEditKund_Id.text(), "ABCD1234");
    EXPECT_EQ(f.MaskEditBerNr.text(), "01");
    EXPECT_EQ(f.MaskEditUmsBerNr.text(), "002");
    EXPECT_EQ(f.MaskEdit_IP4.text(), "50");
    EXPECT_EQ(f.MaskEdit_FIP1.text(), "10");
    EXPECT_EQ(f.MaskEditDNS.text(), "kasse.local");
    EXPECT_TRUE(f.CheckBoxUmsBerAuto.checked());
    EXPECT_TRUE(f.CheckBoxSichtbar.checked());
    EXPECT_EQ(f.receiptCounter, 41);
    EXPECT_EQ(pickerText(f, 1), "06:30:00");
    EXPECT_EQ(pickerText(f, 4), "18:45:30");
    EXPECT_EQ(pickerText(f, 5), "23:00:00");
    // Protel shows the revenue controls, Ethernet the address row; the fixed
    // address and the DNS name are always hidden.
    EXPECT_TRUE(f.BitBtnUmsManuell.visible());
    EXPECT_TRUE(f.MaskEditUmsBerNr.visible());
    EXPECT_TRUE(f.Label7.visible());
    EXPECT_TRUE(f.MaskEdit_IP3.visible());
    EXPECT_FALSE(f.MaskEdit_FIP1.visible());
    EXPECT_FALSE(f.MaskEditDNS.visible());
    EXPECT_FALSE(f.Label8.visible());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FormTest, BadSettingsGiveDefaultsAMessageForATimeAndNeverACorruptFile) {
    std::string garbage = "\x89PNG\r\n\x1a\n\xff\xfe garbage without equals\r\n";
    garbage += std::string(5000, 'z') + "\r\n";
    const std::string text = garbage +
                             "[Spezial]\r\nFensterLinks=links\r\nVerschlossen=1\r\n"
                             "[HOTEL]\r\nSoftware=7\r\nAnzahlZimmer=999999999\r\n"
                             "HotelVerzeichnis=" +
                             std::string(3000, 'd') +
                             "\r\n"
                             "[ECR]\r\nPort=-3\r\nBaud=abc\r\nKassenNr=x7y8z9\r\n"
                             "BerichtsNr=123456\r\nKundenID=ABCDEFGHIJK\r\n"
                             "Zeit1=25:99:00\r\nZeit2=\r\nZeit3=13:15\r\n"
                             "[HOTEL]\r\nSoftware=1\r\n";
    writeIni(text);
    auto& f = makeForm();
    EXPECT_EQ(f.left(), 193);                            // not a number: default
    EXPECT_EQ(f.ComboBoxHotelsoftware.itemIndex(), -1);  // index the list does not have
    EXPECT_EQ(f.EditHotDName.text(), "");
    EXPECT_FALSE(f.BitBtnUmsManuell.visible());
    EXPECT_EQ(f.StringGrid1.rowCount(), pelko::ui::TStringGrid::kMaxRows);
    EXPECT_EQ(f.EditHotelTransfer.text().size(), plat::IniFile::kMaxValueLength);
    EXPECT_EQ(f.ComboBoxPort.itemIndex(), -1);
    EXPECT_EQ(f.ComboBoxBaud.itemIndex(), 0);
    EXPECT_EQ(f.MaskEditKassAnz.text(), "78");  // digits only, two places
    EXPECT_EQ(f.MaskEditBerNr.text(), "12");
    EXPECT_EQ(f.MaskEditKund_Id.text(), "ABCDEFGH");
    // The unreadable times are reported, stay off, and start-up goes on:
    // the later times are read, the table numbered, the lock applied.
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].caption, "Meldung");
    EXPECT_EQ(dialogs.shown[0].icon, DialogRequest::Icon::Stop);
    EXPECT_NE(dialogs.shown[0].text.find("'25:99:00'"), std::string::npos);
    EXPECT_NE(dialogs.shown[1].text.find("Zeit2"), std::string::npos);
    EXPECT_EQ(pickerText(f, 1), "00:00:00");
    EXPECT_EQ(pickerText(f, 2), "00:00:00");
    EXPECT_EQ(pickerText(f, 3), "13:15:00");
    EXPECT_EQ(f.StringGrid1.cell(0, 2), "2");
    EXPECT_TRUE(f.BitBtnEinstellungen.visible());

    // Saving keeps every line it does not write, garbage included.
    f.BitBtnSpeichernClick();
    std::string after = readIni();
    EXPECT_EQ(after.substr(0, garbage.size()), garbage);
    plat::IniFile ini(iniPath());
    EXPECT_EQ(ini.readInteger("HOTEL", "Software", 0), -1);
    EXPECT_EQ(ini.readString("ECR", "Zeit1", ""), "00:00:00");
    EXPECT_EQ(ini.readString("ECR", "KassenNr", ""), "78");
    EXPECT_NE(after.find("[HOTEL]\r\nSoftware=1\r\n"), std::string::npos);  // second section kept
}

TEST_F(FormTest, SavingWritesTheControlsAndTheCommandFiles) {
    writeIni("[Spezial]\r\nVerschlossen=0\r\n[HOTEL]\r\nAnzahlZimmer=4\r\nBonNummer=9\r\n");
    auto& f = makeForm();
    f.setBounds(300, 200, 800, 600);  // the user moved the window
    f.ComboBoxHotelsoftware.setItemIndex(pelko::kVelox);
    f.ComboBoxHotelsoftwareChange();
    f.ComboBoxPort.setItemIndex(3);
    f.ComboBoxBaud.setText("4800");  // typed, not chosen
    f.MaskEditKassAnz.setText("1");
    f.MaskEditBerNr.setText("01");
    f.MaskEdit_IP1.setText("10");
    f.MaskEdit_IP2.setText("1");
    f.MaskEdit_IP3.setText("2");
    f.MaskEdit_IP4.setText("3");
    f.DateTimePicker(2).setTime(12, 0, 0);
    f.CheckBoxSichtbar.setChecked(true);
    f.LabelZeit(3).setCaption(" OK ");
    f.LabelZeit(3).setFontBold(true);
    f.LabelZeit(3).setFontColor(pelko::ui::kGreen);
    f.BitBtnSpeichernClick();

    EXPECT_EQ(f.processDay, "20261211");
    EXPECT_EQ(f.registerAddress, "10.1.2.3");
    EXPECT_EQ(f.fixedAddress, "...");
    EXPECT_EQ(f.LabelZeit(3).caption(), "Zim.Bericht Zeit 3");
    EXPECT_FALSE(f.LabelZeit(3).font().bold);
    EXPECT_EQ(f.LabelZeit(3).font().color, pelko::ui::kBlack);
    EXPECT_EQ(readIni(),
              "[Spezial]\r\nVerschlossen=0\r\nProcessTag=20261211\r\nFensterLinks=300\r\n"
              "FensterOben=200\r\nFensterBreit=800\r\nFensterHoch=600\r\n"
              "[HOTEL]\r\nAnzahlZimmer=4\r\nBonNummer=9\r\nSoftware=1\r\n"
              "HotelDateiName=ROOM.DAT\r\nKassenDateiName=BOOK.DAT\r\nHotelVerzeichnis=" +
                  w +
                  "\r\n"
                  "[ECR]\r\nPort=3\r\nBaud=-1\r\nKassenNr=1\r\nKundenID=\r\nBerichtsNr=01\r\n"
                  "UmsatzBerNr=\r\nEthernetIP1=10\r\nEthernetIP2=1\r\nEthernetIP3=2\r\n"
                  "EthernetIP4=3\r\nEthernetFIP1=\r\nEthernetFIP2=\r\nEthernetFIP3=\r\n"
                  "EthernetFIP4=\r\nDNSName=\r\nUmsBerAuto=0\r\nSichtbar=1\r\n"
                  "Zeit1=00:00:00\r\nZeit2=12:00:00\r\nZeit3=00:00:00\r\nZeit4=00:00:00\r\n"
                  "Zeit5=00:00:00\r\n");
    // The command files use the typed baud text until the next start.
    EXPECT_NE(readW("TK.DAT").find("PORT=3\r\nBAUDRATE=4800\r\n"), std::string::npos);
    EXPECT_NE(readW("TK.DAT").find("VISIBLE=0\r\n"), std::string::npos);

    // After a restart the typed baud rate is gone: no item selected.
    auto& g = makeForm();
    EXPECT_EQ(g.ComboBoxBaud.itemIndex(), -1);
    EXPECT_EQ(g.ComboBoxBaud.text(), "");
    EXPECT_EQ(g.left(), 300);
}

TEST_F(FormTest, MovingTheWindowWithoutSavingDoesNotStoreThePlace) {
    auto& f = makeForm();
    f.setBounds(1, 2, 762, 529);
    auto& g = makeForm();
    EXPECT_EQ(g.left(), 193);
    EXPECT_EQ(g.top(), 113);
}

TEST_F(FormTest, ASettingsFileThatCannotBeWrittenIsReportedAndLeftWhole) {
    writeIni("[ECR]\r\nPort=5\r\n");
    auto& f = makeForm();
    plat::injectWriteFailureAfter(0);
    f.BitBtnSpeichernClick();
    plat::injectWriteFailureAfter(-1);
    EXPECT_EQ(readIni(), "[ECR]\r\nPort=5\r\n");
    EXPECT_TRUE(dialogs.showed("Datei " + iniPath() + " kann nicht geschrieben werden"));
    EXPECT_GE(f.failuresReported(), 1);
}

TEST_F(FormTest, ChoosingAHotelSoftwareOtherThanProtelEmptiesTheRevenueSettings) {
    writeIni(kFullIni);
    auto& f = makeForm();
    for (int software : {pelko::kHs3, pelko::kVelox, pelko::kHotline}) {
        f.ComboBoxHotelsoftware.setItemIndex(pelko::kProtel);
        f.ComboBoxHotelsoftwareChange();
        f.MaskEditUmsBerNr.setText("002");
        f.CheckBoxUmsBerAuto.setChecked(true);
        f.ComboBoxHotelsoftware.setItemIndex(software);
        f.ComboBoxHotelsoftwareChange();
        EXPECT_EQ(f.MaskEditUmsBerNr.text(), "");
        EXPECT_FALSE(f.CheckBoxUmsBerAuto.checked());
        EXPECT_FALSE(f.Label11.visible());
        EXPECT_FALSE(f.BitBtnUmsManuell.visible());
        EXPECT_FALSE(f.CheckBoxUmsBerAuto.visible());
        EXPECT_EQ(f.EditHotDName.text(), pelko::guestFileName(software));
        EXPECT_EQ(f.EditKassDName.text(), pelko::bookingFileName(software));
        // Back to Protel: the old values do not come back.
        f.ComboBoxHotelsoftware.setItemIndex(pelko::kProtel);
        f.ComboBoxHotelsoftwareChange();
        EXPECT_EQ(f.MaskEditUmsBerNr.text(), "");
        EXPECT_TRUE(f.BitBtnUmsManuell.visible());
    }
}

TEST_F(FormTest, PortChoiceShowsTheAddressRowOnlyForEthernet) {
    auto& f = makeForm();
    for (int port : {-1, 0, 1, 16, 17}) {
        f.ComboBoxPort.setItemIndex(port);
        f.ComboBoxPortChange();
        bool ethernet = port == 17;
        for (auto* c : {static_cast<pelko::ui::Control*>(&f.Label7),
                        static_cast<pelko::ui::Control*>(&f.MaskEdit_IP1),
                        static_cast<pelko::ui::Control*>(&f.MaskEdit_IP4)})
            EXPECT_EQ(c->visible(), ethernet) << c->name() << " port " << port;
        EXPECT_FALSE(f.MaskEdit_FIP2.visible());
        EXPECT_FALSE(f.MaskEditDNS.visible());
    }
}

TEST_F(FormTest, DirectoryChoiceTakesTheChosenOrTheSavedDirectory) {
    writeIni("[HOTEL]\r\nHotelVerzeichnis=/srv/saved\r\n");
    auto& f = makeForm();
    f.EditHotelTransfer.setText("/unsaved/edit");
    f.BitBtnHotelsuchenClick();  // cancelled
    EXPECT_EQ(host.initialDir, "/srv/saved");
    EXPECT_EQ(f.EditHotelTransfer.text(), "/srv/saved");
    host.confirmDirectory = true;
    host.directory = "/srv/chosen";
    ::chdir("/");  // where the dialog left the process
    f.BitBtnHotelsuchenClick();
    EXPECT_EQ(f.EditHotelTransfer.text(), "/srv/chosen");
    EXPECT_EQ(plat::currentDirectory(), w);
    // Only saving stores it.
    EXPECT_EQ(plat::IniFile(iniPath()).readString("HOTEL", "HotelVerzeichnis", ""), "/srv/saved");
}

TEST_F(FormTest, EnterMovesTheFocusInEveryFieldWithAKeyHandler) {
    auto& f = makeForm();
    using Handler = void (pelko::TFormPelko::*)(char&);
    const Handler handlers[] = {
        &pelko::TFormPelko::ComboBoxPortKeyPress,    &pelko::TFormPelko::ComboBoxBaudKeyPress,
        &pelko::TFormPelko::MaskEditKassAnzKeyPress, &pelko::TFormPelko::MaskEditKund_IdKeyPress,
        &pelko::TFormPelko::MaskEditBerNrKeyPress,   &pelko::TFormPelko::MaskEditUmsBerNrKeyPress,
        &pelko::TFormPelko::MaskEdit_IP1KeyPress,    &pelko::TFormPelko::MaskEdit_IP2KeyPress,
        &pelko::TFormPelko::MaskEdit_IP3KeyPress,    &pelko::TFormPelko::MaskEdit_IP4KeyPress,
        &pelko::TFormPelko::MaskEditDNSKeyPress,     &pelko::TFormPelko::MaskEdit_FIP1KeyPress,
        &pelko::TFormPelko::MaskEdit_FIP2KeyPress,   &pelko::TFormPelko::MaskEdit_FIP3KeyPress,
        &pelko::TFormPelko::MaskEdit_FIP4KeyPress,
    };
    int expected = 0;
    for (Handler h : handlers) {
        char enter = 13;
        (f.*h)(enter);
        EXPECT_EQ(enter, 0);
        EXPECT_EQ(host.focusNext, ++expected);
        char other = '7';
        (f.*h)(other);
        EXPECT_EQ(other, '7');
        EXPECT_EQ(host.focusNext, expected);
    }
}

TEST_F(FormTest, MinimiseAndTheDesignOfTheWindow) {
    auto& f = makeForm();
    EXPECT_EQ(f.caption(), "Pelko Programm Version 2.0");
    EXPECT_EQ(f.color(), pelko::ui::kSilver);
    EXPECT_EQ(f.Label3.caption(), "____");
    EXPECT_EQ(f.ComboBoxPort.items().size(), 18u);
    EXPECT_EQ(f.ComboBoxPort.items()[16], "Com 16");
    EXPECT_EQ(f.ComboBoxPort.dropDownCount(), 14);
    EXPECT_EQ(f.ComboBoxHotelsoftware.items()[1], "Velox  Hotelsoftware");
    EXPECT_EQ(f.ComboBoxHotelsoftware.items()[3], "hotline Hotelsoftware");
    EXPECT_EQ(f.EditStatus.font().color, pelko::ui::kPurple);
    EXPECT_TRUE(f.EditStatus.font().bold);
    EXPECT_FALSE(f.BitBtnEinstellungen.visible());
    EXPECT_EQ(f.OpenDialog1.title, "Verzeichnis auswählen");
    EXPECT_EQ(f.Timer1.interval(), 1000);
    // Every control has its own name, as the front end binds them by name.
    std::set<std::string> names;
    for (auto* c : f.controls()) EXPECT_TRUE(names.insert(c->name()).second) << c->name();
    f.BitBtnMinimierenClick();
    EXPECT_EQ(host.minimized, 1);
    EXPECT_EQ(f.windowState(), pelko::ui::TForm::WindowState::Minimized);
}
