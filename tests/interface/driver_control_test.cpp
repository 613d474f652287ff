// Starting the driver and evaluating its result.
#include <gtest/gtest.h>
#include <utime.h>

#include "form_fixture.h"
#include "platform/ini.h"

using namespace testsupport;
using pelko::DialogRequest;

class DriverControlTest : public FormTest {
  protected:
    // A started form whose settings were saved today.
    pelko::TFormPelko& started(int software = pelko::kHs3) {
        writeIni("[Spezial]\r\nProcessTag=20261211\r\n[HOTEL]\r\nSoftware=" +
                 std::to_string(software) + "\r\n");
        auto& f = makeForm();
        f.BitBtnSpeichernClick();
        dialogs.shown.clear();
        return f;
    }
    std::string endFile() const { return "LOG/20261211.END"; }
};

TEST(StatusText, EveryResultCodeHasItsText) {
    const std::pair<const char*, const char*> table[] = {
        {"000", "   OK "},
        {"001", "   Fehler LogDatei öffnen "},
        {"002", "   Fehler CommandDatei öffnen "},
        {"003", "   Fehler ComPort öffnen "},
        {"004", "   Falsches Komando "},
        {"005", "   Kommunikations Fehler "},
        {"006", "   Benutzer Abbruch "},
        {"007", "   Fehler beim Datei öffnen "},
        {"008", "   Fehler beim Datei schreiben "},
        {"009", "   Datei nicht offen "},
        {"010", "   ComPort nicht vorhanden "},
        {"011", "   Falscher Bericht "},
        {"012", "   Falsche Funktion "},
        {"013", "   Kasse in Aufrechnung "},
        {"014", "   Falsche Kommando Parameter "},
        {"015", "   Keine Verbindung "},
        {"016", "   PLU Datei ist voll "},
        {"017", "   LOG-IN ID ist falsch "},
        {"018", ""},
        {"100", ""},
        {"abc", ""},
        {"", ""},
        {"00", ""},
        {"0 5", ""},
    };
    for (const auto& [code, text] : table) EXPECT_EQ(pelko::statusText(code), text) << code;
}

TEST_F(DriverControlTest, ASuccessfulRoomReportCallsTheOneConverterOfTheHotelSoftware) {
    for (int software : {pelko::kHs3, pelko::kVelox, pelko::kProtel, pelko::kHotline}) {
        adapters.calls.clear();
        driver.runs.clear();
        auto& f = started(software);
        f.BitBtnManuellClick();
        EXPECT_EQ(driver.runs, std::vector<std::string>{"TK.DAT"});
        EXPECT_EQ(adapters.calls,
                  (std::map<std::string, int>{{"room " + std::to_string(software), 1}}));
        EXPECT_EQ(f.EditStatus.text(), "Kommunikation mit Kasse am 11.12.2026 11:59:50   OK ");
        EXPECT_FALSE(existsW(endFile()));  // read once and deleted
        EXPECT_EQ(f.resultCode, "000");
        EXPECT_EQ(f.reportSlot, 0);
        EXPECT_EQ(plat::currentDirectory(), w);
        EXPECT_TRUE(dialogs.shown.empty());
    }
}

TEST_F(DriverControlTest, AFailedRoomReportShowsItsTextAndCallsNoConverter) {
    auto& f = started();
    std::string status;
    f.onDriverEvaluated = [&](const std::string& s) { status = s; };
    driver.endCode = "005";
    f.countdown = 17;
    f.BitBtnManuellClick();
    EXPECT_EQ(f.EditStatus.text(),
              "Kommunikation mit Kasse am 11.12.2026 11:59:50   Kommunikations Fehler ");
    EXPECT_EQ(status, f.EditStatus.text());
    EXPECT_EQ(adapters.total(), 0);
    EXPECT_EQ(f.countdown, 60);
}

TEST_F(DriverControlTest, EndFilesThatAreEmptyOrHoldLettersAreFailures) {
    for (const char* code : {"", "abc", "0", "00\n", "000000"}) {
        auto& f = started();
        driver.endCode = code;
        f.BitBtnManuellClick();
        std::string shown = std::string(code).substr(0, 3);
        EXPECT_EQ(f.resultCode, shown) << code;
        EXPECT_EQ(adapters.total(), std::string(code) == "000000" ? 1 : 0) << code;
        EXPECT_FALSE(existsW(endFile()));
    }
}

TEST_F(DriverControlTest, NoEndFileMeansNoEvaluation) {
    auto& f = started();
    driver.writeEndFile = false;
    f.reportSlot = 2;
    f.countdown = 30;
    f.DriverStarten();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"END Datei kann nicht gelesen werden"});
    EXPECT_EQ(dialogs.shown[0].icon, DialogRequest::Icon::Stop);
    EXPECT_EQ(f.reportSlot, 0);
    EXPECT_EQ(f.countdown, 60);
    EXPECT_EQ(f.EditStatus.text(), "");
    EXPECT_EQ(f.LabelZeit(2).caption(), "Zim.Bericht Zeit 2");
    EXPECT_EQ(adapters.total(), 0);
}

TEST_F(DriverControlTest, AnEndFileLeftFromEarlierIsNeverTakenForThisRun) {
    auto& f = started();
    writeW(endFile(), "000");  // left by a run that was never evaluated
    driver.writeEndFile = false;
    f.BitBtnManuellClick();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"END Datei kann nicht gelesen werden"});
    EXPECT_EQ(adapters.total(), 0);
}

TEST_F(DriverControlTest, ADriverThatCannotBeStarted) {
    auto& f = started();
    driver.startable = false;
    f.reportSlot = 4;
    f.DriverStarten();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Programm Tarvik kann nicht gestartet werden"});
    EXPECT_EQ(dialogs.shown[0].caption, "Meldung");
    EXPECT_EQ(dialogs.shown[0].icon, DialogRequest::Icon::Stop);
    EXPECT_EQ(f.reportSlot, 0);
    EXPECT_EQ(f.evaluations(), 0);
}

TEST_F(DriverControlTest, AReportTimeRunMarksItsLabel) {
    auto& f = started();
    f.reportSlot = 3;
    f.DriverStarten();
    EXPECT_EQ(f.LabelZeit(3).caption(), " OK ");
    EXPECT_EQ(f.LabelZeit(3).font().color, pelko::ui::kGreen);
    EXPECT_TRUE(f.LabelZeit(3).font().bold);
    driver.endCode = "015";
    f.reportSlot = 1;
    f.DriverStarten();
    EXPECT_EQ(f.LabelZeit(1).caption(), " Fehler ");
    EXPECT_EQ(f.LabelZeit(1).font().color, pelko::ui::kRed);
    EXPECT_TRUE(f.LabelZeit(1).font().bold);
    EXPECT_EQ(f.LabelZeit(2).caption(), "Zim.Bericht Zeit 2");
    // Saving restores the labels.
    f.BitBtnSpeichernClick();
    EXPECT_EQ(f.LabelZeit(3).caption(), "Zim.Bericht Zeit 3");
    EXPECT_FALSE(f.LabelZeit(3).font().bold);
}

TEST_F(DriverControlTest, TheFirstRunOfANewDaySavesAndLogsIntoTheNewDay) {
    writeIni("[Spezial]\r\nProcessTag=20261210\r\n[ECR]\r\nBonNummer=77\r\n");
    auto& f = makeForm();
    EXPECT_EQ(f.receiptCounter, 77);
    f.DateTimePickerProtokoll.setDate(2026, 12, 1);
    f.BitBtnManuellClick();
    EXPECT_EQ(f.processDay, "20261211");
    EXPECT_EQ(f.receiptCounter, 0);
    EXPECT_EQ(f.DateTimePickerProtokoll.dateTime().day, 11);
    EXPECT_EQ(plat::IniFile(iniPath()).readString("Spezial", "ProcessTag", ""), "20261211");
    EXPECT_NE(readW("TK.DAT").find("PROCESS=" + w + "/LOG/20261211\r\n"), std::string::npos);
    EXPECT_EQ(f.resultCode, "000");  // the end file of the new day was found
    // A second run the same day does not save again.
    writeW("TK.DAT", readW("TK.DAT") + "");
    std::string before = readIni();
    f.BitBtnManuellClick();
    EXPECT_EQ(readIni(), before);
}

TEST_F(DriverControlTest, ASuccessfulUploadStoresTheGuestFileMeasure) {
    {
        auto& f = started(pelko::kHs3);
        writeW("HS3CASH.OUT", std::string(321, 'g'));
        f.jobKind = pelko::kJobRoomListUpload;
        f.DriverStarten();
        EXPECT_EQ(driver.runs.back(), "TKZS.DAT");
        EXPECT_EQ(f.storedLength, 321);
        plat::IniFile ini(iniPath());
        EXPECT_EQ(ini.readString("HOTEL", "HS3DateiLaenge", ""), "321");
        EXPECT_FALSE(ini.hasKey("HOTEL", "DateiStempel"));
    }
    {
        auto& f = started(pelko::kVelox);
        writeW("ROOM.DAT", "x");
        struct utimbuf times {};
        times.actime = times.modtime = 1765450000;  // a fixed moment
        ::utime(dir.file("w/ROOM.DAT").c_str(), &times);
        f.jobKind = pelko::kJobRoomListUpload;
        f.DriverStarten();
        std::int32_t expected = *plat::dosDateStamp(dir.file("w/ROOM.DAT"));
        EXPECT_EQ(f.storedStamp, expected);
        EXPECT_EQ(plat::IniFile(iniPath()).readInteger("HOTEL", "DateiStempel", 0), expected);
    }
    {
        // The guest file vanished: the stored stamp is written unchanged.
        auto& f = started(pelko::kHotline);
        f.storedStamp = 4711;
        f.jobKind = pelko::kJobRoomListUpload;
        f.DriverStarten();
        EXPECT_EQ(f.storedStamp, 4711);
        EXPECT_EQ(plat::IniFile(iniPath()).readInteger("HOTEL", "DateiStempel", 0), 4711);
    }
}

TEST_F(DriverControlTest, AFailedUploadWaitsTenMinutes) {
    auto& f = started();
    driver.endCode = "005";
    f.jobKind = pelko::kJobRoomListUpload;
    f.DriverStarten();
    EXPECT_EQ(f.countdown, 600);
    EXPECT_FALSE(plat::IniFile(iniPath()).hasKey("HOTEL", "HS3DateiLaenge"));
}

TEST_F(DriverControlTest, ReportTimeFiveChainsFetchAndRevenueAndConvertsTheRevenueOnce) {
    for (const char* roomResult : {"000", "005"}) {
        adapters.calls.clear();
        driver.runs.clear();
        auto& f = started(pelko::kProtel);
        f.CheckBoxUmsBerAuto.setChecked(true);
        driver.endCodeFor["TK.DAT"] = roomResult;
        f.reportSlot = 5;
        f.jobKind = pelko::kJobRoomReport;
        f.DriverStarten();
        EXPECT_EQ(driver.runs, (std::vector<std::string>{"TK.DAT", "TKZH.DAT", "TKUBH.DAT"}))
            << roomResult;
        std::map<std::string, int> expected{{"revenue 2", 1}};
        if (std::string(roomResult) == "000") expected["room 2"] = 1;
        EXPECT_EQ(adapters.calls, expected) << roomResult;
        EXPECT_EQ(f.reportSlot, 0);
        EXPECT_EQ(f.evaluations(), 3);
        EXPECT_EQ(f.LabelZeit(5).caption(), std::string(roomResult) == "000" ? " OK " : " Fehler ");
    }
}

TEST_F(DriverControlTest, NoChainWithoutTheBoxOrAtAnotherReportTime) {
    auto& f = started(pelko::kProtel);
    f.reportSlot = 5;
    f.DriverStarten();
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TK.DAT"});
    f.CheckBoxUmsBerAuto.setChecked(true);
    f.reportSlot = 4;
    f.DriverStarten();
    EXPECT_EQ(driver.runs, (std::vector<std::string>{"TK.DAT", "TK.DAT"}));
}

TEST_F(DriverControlTest, RevenueByHandWithItsCodeAndQuestion) {
    auto& f = started(pelko::kProtel);
    // Cancel, a wrong code, the code with a blank: nothing runs, nothing said.
    f.BitBtnUmsManuellClick();
    dialogs.answerInput("9730");
    f.BitBtnUmsManuellClick();
    dialogs.answerInput("973 ");
    f.BitBtnUmsManuellClick();
    EXPECT_TRUE(driver.runs.empty());
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].kind, DialogRequest::Kind::Input);
    EXPECT_EQ(dialogs.shown[0].caption, "Umsatz-Bericht der Kasse holen ");
    EXPECT_EQ(dialogs.shown[0].text,
              "       Sind Sie sicher ? \nzum Umsatz-Bericht holen geben Sie bitte 973 ein");
    EXPECT_EQ(dialogs.shown[0].input, "");
    // The right code, then Cancel in the question.
    dialogs.shown.clear();
    dialogs.answerInput("973");
    dialogs.answerCancel();
    f.BitBtnUmsManuellClick();
    EXPECT_TRUE(driver.runs.empty());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text,
              "Den Umsatz-Bericht von der Kasse holen \n         und löschen  \n       Sind Sie "
              "sicher ? \n");
    EXPECT_EQ(dialogs.shown[1].caption, "Meldung");
    EXPECT_EQ(dialogs.shown[1].icon, DialogRequest::Icon::Stop);
    EXPECT_EQ(dialogs.shown[1].buttons, DialogRequest::Buttons::OkCancel);
    // The right code and OK: the revenue run and its converter, once.
    dialogs.answerInput("973");
    dialogs.answerOk();
    f.countdown = 5;
    f.BitBtnUmsManuellClick();
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TKUBH.DAT"});
    EXPECT_EQ(adapters.calls, (std::map<std::string, int>{{"revenue 2", 1}}));
    EXPECT_EQ(f.countdown, 60);
    // A failed revenue run converts nothing.
    driver.endCode = "013";
    dialogs.answerInput("973");
    dialogs.answerOk();
    f.BitBtnUmsManuellClick();
    EXPECT_EQ(adapters.calls, (std::map<std::string, int>{{"revenue 2", 1}}));
}

TEST_F(DriverControlTest, ConvertersThatAreNotThereYetSaySo) {
    writeIni("[Spezial]\r\nProcessTag=20261211\r\n[HOTEL]\r\nSoftware=1\r\n");
    pelko::FormEnvironment e;
    e.dialogs = &dialogs;
    e.driver = &driver;
    e.settingsFile = iniPath();
    e.programDir = dir.file("prog");
    pelko::TFormPelko f(e);  // no adapters at all
    f.FormShow();
    f.BitBtnSpeichernClick();
    f.BitBtnManuellClick();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{
                  "Zimmer-Bericht für Velox kann noch nicht umgesetzt werden (nicht verfügbar)"});
    EXPECT_EQ(f.failuresReported(), 1);
    EXPECT_FALSE(f.GastDatenLesen("101"));
    EXPECT_EQ(f.GastDaten.Zimmer, "0");
    EXPECT_EQ(f.GastDaten.Name, "\"  \"");
    EXPECT_EQ(dialogs.texts().back(),
              "Gästedaten von Velox können noch nicht gelesen werden (nicht verfügbar)");
    f.UmsatzBerichtUmsetzen();
    EXPECT_EQ(dialogs.texts().back(), "Umsatz-Bericht gibt es nur mit Protel Hotelsoftware");
}

TEST_F(DriverControlTest, TheGuestLookupStartsFromNoGuestAndEndsInTheWorkingDirectory) {
    auto& f = started(pelko::kHs3);
    adapters.lookup = [](pelko::TFormPelko& g, const std::string& room) {
        EXPECT_EQ(g.GastDaten.Zimmer, "0");
        EXPECT_EQ(g.GastDaten.Konto, "");
        if (room == "101") g.GastDaten.set("101", "\"Muster\"", "K1");
        ::chdir("/");
        return room != "999";  // 999: the guest file cannot be opened
    };
    f.GastDaten.set("9", "x", "y");
    EXPECT_TRUE(f.GastDatenLesen("102"));
    EXPECT_EQ(f.GastDaten.Zimmer, "0");
    EXPECT_FALSE(f.GastDatenLesen("999"));
    EXPECT_TRUE(f.GastDatenLesen("101"));
    EXPECT_EQ(f.GastDaten.Name, "\"Muster\"");
    EXPECT_EQ(plat::currentDirectory(), w);
}
