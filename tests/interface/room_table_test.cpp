// The room-number table, VZIMMER.CSV and the program fetch.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "platform/ini.h"

using namespace testsupport;

class RoomTableTest : public FormTest {
  protected:
    TestForm& started(const std::string& ini = "[Spezial]\r\nProcessTag=20261211\r\n") {
        writeIni(ini);
        auto& f = makeForm();
        f.BitBtnSpeichernClick();  // the command files of the day
        dialogs.shown.clear();
        return f;
    }
};

TEST_F(RoomTableTest, StartUpFillsTheRoomNumbersFromTheList) {
    writeW("VZIMMER.CSV", "1;R1;101;x;y\r\n2;R2;102;\r\n3;R3\r\n4;R4;104;a;b\r\n5;R5;105\r\n");
    auto& f = started("[HOTEL]\r\nAnzahlZimmer=4\r\n");
    EXPECT_EQ(f.StringGrid1.cell(1, 1), "101");
    EXPECT_EQ(f.StringGrid1.cell(1, 2), "102");
    EXPECT_EQ(f.StringGrid1.cell(1, 3), "104");  // the line without a third field takes no row
    EXPECT_EQ(f.StringGrid1.cell(1, 4), "");     // beyond the table: not shown
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RoomTableTest, WithoutTheListTheTableStaysEmptyAndNothingIsSaid) {
    auto& f = started();
    EXPECT_EQ(f.StringGrid1.cell(1, 1), "");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RoomTableTest, LeavingTheTableWritesTheListFromTheRegistersRoomTable) {
    writeW("VZ.CSV",
           "1;Zi 1;0;4;5\r\n"
           "2;Zi 2;0;4;5;6;7\r\n"  // six and seven are dropped
           "3;Zi 3;0\r\n"          // three fields: each followed by ";"
           " 4;Zi 4;0;4;5\r\n"     // starts with a blank: not copied, but takes its row
           "\r\n"                  // empty: not copied, takes no row
           "6;Zi 6\r\n"            // two fields: no row
           "7;Zi 7;0;4;5\r\n");
    auto& f = started("[HOTEL]\r\nAnzahlZimmer=6\r\n");
    for (int r = 1; r <= 5; ++r) f.StringGrid1.setCell(1, r, "10" + std::to_string(r));
    f.StringGrid1Exit();
    EXPECT_EQ(readW("VZIMMER.CSV"),
              "1;Zi 1;101;4;5\r\n"
              "2;Zi 2;102;4;5\r\n"
              "3;Zi 3;103;\r\n"
              "6;Zi 6;\r\n"
              "7;Zi 7;105;4;5\r\n");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(RoomTableTest, OverlongLinesAreCutAndKeepTheRowsInStep) {
    std::string longLine = "2;" + std::string(60, 'N') + ";0;4;" + std::string(200, 'x');
    writeW("VZ.CSV", "1;A;0;4;5\r\n" + longLine + "\r\n3;C;0;4;5\r\n");
    auto& f = started("[HOTEL]\r\nAnzahlZimmer=4\r\n");
    f.StringGrid1.setCell(1, 1, "101");
    f.StringGrid1.setCell(1, 2, "10;2\r\n");  // a separator and a line break in a room number
    f.StringGrid1.setCell(1, 3, "103");
    f.StringGrid1Exit();
    std::string list = readW("VZIMMER.CSV");
    EXPECT_EQ(list, "1;A;101;4;5\r\n2;" + std::string(49, 'N') + ";102;4;" + std::string(49, 'x') +
                        "\r\n3;C;103;4;5\r\n");
    // The list reads back into the same rows.
    f.StringGrid1.setCell(1, 3, "");
    f.ZimmerNrHolen();
    EXPECT_EQ(f.StringGrid1.cell(1, 3), "103");
}

TEST_F(RoomTableTest, WithoutVZCsvTheListIsNotWritten) {
    writeW("VZIMMER.CSV", "1;A;101;4;5\r\n");
    auto& f = started();
    f.StringGrid1Exit();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Datei VZ.CSV kann nicht gelesen werden"});
    EXPECT_EQ(dialogs.shown[0].icon, pelko::DialogRequest::Icon::Stop);
    EXPECT_EQ(readW("VZIMMER.CSV"), "1;A;101;4;5\r\n");
}

TEST_F(RoomTableTest, AListThatCannotBeWrittenIsReportedAndTheOldOneKept) {
    writeW("VZ.CSV", "1;A;0;4;5\r\n");
    writeW("VZIMMER.CSV", "1;A;999;4;5\r\n");
    auto& f = started();
    plat::injectWriteFailureAfter(0);
    f.StringGrid1Exit();
    plat::injectWriteFailureAfter(-1);
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"Datei VZimmer.csv kann nicht gelesen werden"});
    EXPECT_EQ(readW("VZIMMER.CSV"), "1;A;999;4;5\r\n");
}

TEST_F(RoomTableTest, TheProgramFetchSizesTheTableAfterTheRoomTable) {
    auto& f = started();
    std::string vz;
    for (int i = 1; i <= 10; ++i) vz += std::to_string(i) + ";Zi;0;1;2\r\n";
    driver.onRun = [&](const std::string& cmd) {
        EXPECT_EQ(cmd, "TKZH.DAT");
        writeW("VZ.CSV", vz);
    };
    f.StringGrid1.setCell(1, 1, "101");
    f.StringGrid1.setCell(1, 2, "102");
    dialogs.answerOk();
    f.BitBtnProgVonKasseClick();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown[0].text, "Sind Sie sicher ? \nDas Programm von der Kasse holen");
    EXPECT_EQ(dialogs.shown[0].icon, pelko::DialogRequest::Icon::Stop);
    EXPECT_EQ(dialogs.shown[0].buttons, pelko::DialogRequest::Buttons::OkCancel);
    EXPECT_EQ(f.StringGrid1.rowCount(), 11);
    EXPECT_EQ(f.StringGrid1.cell(0, 10), "10");
    EXPECT_EQ(f.StringGrid1.cell(1, 2), "102");  // kept
    EXPECT_EQ(plat::IniFile(iniPath()).readInteger("HOTEL", "AnzahlZimmer", 0), 11);
    std::string list = readW("VZIMMER.CSV");
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 10);
    EXPECT_EQ(list.substr(0, 26), "1;Zi;101;1;2\r\n2;Zi;102;1;2");
}

TEST_F(RoomTableTest, AnEmptyRoomTableLeavesTheHeaderOnly) {
    auto& f = started("[HOTEL]\r\nAnzahlZimmer=5\r\n");
    driver.onRun = [&](const std::string&) { writeW("VZ.CSV", ""); };
    f.ProgrammHolen();
    EXPECT_EQ(f.StringGrid1.rowCount(), 1);
    EXPECT_EQ(plat::IniFile(iniPath()).readInteger("HOTEL", "AnzahlZimmer", 0), 1);
    EXPECT_EQ(readW("VZIMMER.CSV"), "");
}

TEST_F(RoomTableTest, CancellingTheFetchChangesNothing) {
    auto& f = started();
    dialogs.answerCancel();
    f.BitBtnProgVonKasseClick();
    EXPECT_TRUE(driver.runs.empty());
    EXPECT_EQ(f.StringGrid1.rowCount(), 3);
}

TEST_F(RoomTableTest, AFailedFetchGoesOnWithTheRoomTableThereIs) {
    writeW("VZ.CSV", "1;A;0;4;5\r\n2;B;0;4;5\r\n3;C;0;4;5\r\n");
    auto& f = started();
    driver.endCode = "005";
    f.ProgrammHolen();
    EXPECT_EQ(f.StringGrid1.rowCount(), 4);
    EXPECT_TRUE(existsW("VZIMMER.CSV"));
    // And without any VZ.CSV: a message, and table, settings and list stay.
    std::filesystem::remove(dir.path() / "w" / "VZ.CSV");
    dialogs.shown.clear();
    f.ProgrammHolen();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Datei VZ.CSV kann nicht gelesen werden"});
    EXPECT_EQ(f.StringGrid1.rowCount(), 4);
}
