// The four command files for the register driver, byte for byte.
#include <gtest/gtest.h>

#include "form_fixture.h"

using namespace testsupport;

namespace {

// Lines joined with CR LF, with the empty line after the last.
std::string crlf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out + "\r\n";
}

}  // namespace

class CommandFilesTest : public FormTest {
  protected:
    pelko::TFormPelko& configured(int port, const std::string& registers, const std::string& login,
                                  int software = pelko::kHs3) {
        auto& f = makeForm();
        f.ComboBoxHotelsoftware.setItemIndex(software);
        f.ComboBoxHotelsoftwareChange();
        f.ComboBoxPort.setItemIndex(port);
        f.ComboBoxBaud.setItemIndex(0);
        f.MaskEditKassAnz.setText(registers);
        f.MaskEditKund_Id.setText(login);
        f.MaskEditBerNr.setText("01");
        f.MaskEditUmsBerNr.setText("002");
        return f;
    }
    std::string p(const std::string& rest) const { return w + rest; }
};

TEST_F(CommandFilesTest, OneRegisterOnCom3WithALogin) {
    auto& f = configured(3, "1", "K0815");
    f.BitBtnSpeichernClick();
    const std::string head = "PROCESS=" + p("/LOG/20261211");
    EXPECT_EQ(readW("TK.DAT"),
              crlf({head, "VISIBLE=1", "CLEARLOG=0", "ENDFILE=1", "WAIT=500", "PORT=3",
                    "BAUDRATE=9600", "COMMAND=LIK0815", "NEWFILE=" + p("/VZimmerBericht.csv"),
                    "COMMAND=RUZ001001001", "COMMAND=LO"}));
    EXPECT_EQ(readW("TKZH.DAT"),
              crlf({head, "VISIBLE=1", "CLEARLOG=0", "ENDFILE=1", "WAIT=500", "PORT=3",
                    "BAUDRATE=9600", "COMMAND=LIK0815", "NEWFILE=" + p("/VZ.CSV"), "COMMAND=D250",
                    "NEWFILE=" + p("/VMWST.CSV"), "COMMAND=D260", "NEWFILE=" + p("/VBED.CSV"),
                    "COMMAND=D2000", "COMMAND=LO"}));
    EXPECT_EQ(readW("TKZS.DAT"), crlf({head, "VISIBLE=1", "CLEARLOG=0", "ENDFILE=1", "WAIT=500",
                                       "PORT=3", "BAUDRATE=9600", "COMMAND=LIK0815",
                                       "UPLOAD=" + p("/VZIMMERS.CSV"), "COMMAND=LO"}));
    EXPECT_EQ(readW("TKUBH.DAT"),
              crlf({head, "VISIBLE=1", "CLEARLOG=0", "ENDFILE=1", "WAIT=500", "PORT=3",
                    "BAUDRATE=9600", "COMMAND=LIK0815", "NEWFILE=" + p("/VEJournal1.csv"),
                    "COMMAND=RUZ002001001", "COMMAND=LO"}));
}

TEST_F(CommandFilesTest, OneRegisterWithoutLoginHasNoRegisterOrLoginLines) {
    auto& f = configured(0, "", "");
    f.BitBtnSpeichernClick();
    EXPECT_EQ(readW("TKZS.DAT"),
              crlf({"PROCESS=" + p("/LOG/20261211"), "VISIBLE=1", "CLEARLOG=0", "ENDFILE=1",
                    "WAIT=500", "PORT=0", "BAUDRATE=9600", "UPLOAD=" + p("/VZIMMERS.CSV")}));
}

TEST_F(CommandFilesTest, ThreeRegistersWithALoginOverEthernetWithProtel) {
    auto& f = configured(17, "3", "ID", pelko::kProtel);
    f.MaskEdit_IP1.setText("192");
    f.MaskEdit_IP2.setText("168");
    f.MaskEdit_IP3.setText("0");
    f.MaskEdit_IP4.setText("20");
    f.CheckBoxSichtbar.setChecked(true);
    f.BitBtnSpeichernClick();
    const std::vector<std::string> head = {"PROCESS=" + p("/LOG/20261211"),
                                           "VISIBLE=0",
                                           "CLEARLOG=0",
                                           "ENDFILE=1",
                                           "WAIT=500",
                                           "PORT=9999",
                                           "IP=192.168.0.20",
                                           "REGISTER=1",
                                           "COMMAND=LIID"};
    auto with = [&](std::initializer_list<std::string> rest) {
        std::string out;
        for (const auto& l : head) out += l + "\r\n";
        for (const auto& l : rest) out += l + "\r\n";
        return out + "\r\n";
    };
    EXPECT_EQ(readW("TK.DAT"),
              with({"NEWFILE=" + p("/VZimmerBericht.csv"), "COMMAND=RuZ001001001", "COMMAND=LO"}));
    EXPECT_EQ(readW("TKZH.DAT"),
              with({"NEWFILE=" + p("/VZ.CSV"), "COMMAND=D250", "NEWFILE=" + p("/VMWST.CSV"),
                    "COMMAND=D260", "NEWFILE=" + p("/VBED.CSV"), "COMMAND=D2000",
                    "NEWFILE=" + p("/VZtxt.CSV"), "COMMAND=D4000", "NEWFILE=" + p("/VART.CSV"),
                    "COMMAND=D10000", "COMMAND=LO"}));
    EXPECT_EQ(readW("TKZS.DAT"),
              with({"UPLOAD=" + p("/VZIMMERS.CSV"), "COMMAND=LO", "REGISTER=2", "COMMAND=LIID",
                    "UPLOAD=" + p("/VZIMMERS.CSV"), "COMMAND=LO", "REGISTER=3", "COMMAND=LIID",
                    "UPLOAD=" + p("/VZIMMERS.CSV"), "COMMAND=LO"}));
    EXPECT_EQ(readW("TKUBH.DAT"),
              with({"NEWFILE=" + p("/VEJournal1.csv"), "COMMAND=RUZ002001001", "COMMAND=LO",
                    "REGISTER=2", "COMMAND=LIID", "NEWFILE=" + p("/VEJournal2.csv"),
                    "COMMAND=RUZ002001001", "COMMAND=LO", "REGISTER=3", "COMMAND=LIID",
                    "NEWFILE=" + p("/VEJournal3.csv"), "COMMAND=RUZ002001001", "COMMAND=LO"}));
    EXPECT_EQ(readW("TK.DAT").find("BAUDRATE"), std::string::npos);
}

TEST_F(CommandFilesTest, AFileThatCannotBeOpenedIsReportedAndNoneStaysRunnable) {
    writeW("TKZS.DAT", "PROCESS=/old/LOG/20261210\r\nUPLOAD=/old/VZIMMERS.CSV\r\n");
    std::filesystem::create_directory(dir.path() / "w" / "TKZH.DAT");  // cannot be opened
    auto& f = configured(1, "1", "");
    f.BitBtnSpeichernClick();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "Meldung");
    EXPECT_EQ(dialogs.shown[0].text, "tkzh.dat kann nicht geöffnet werden");
    EXPECT_EQ(dialogs.shown[0].icon, pelko::DialogRequest::Icon::Information);
    EXPECT_EQ(readW("TK.DAT"), "");
    EXPECT_EQ(readW("TKZS.DAT"), "");  // no file of an earlier day is left to run
    EXPECT_EQ(readW("TKUBH.DAT"), "");
    EXPECT_EQ(f.failuresReported(), 1);
}

TEST_F(CommandFilesTest, AFailedWriteIsReportedAndEmptiesThemAll) {
    auto& f = configured(1, "1", "");
    plat::injectWriteFailureAfter(2);  // the settings file and TK.DAT are written
    f.BitBtnSpeichernClick();
    plat::injectWriteFailureAfter(-1);
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"tkzh.dat kann nicht geschrieben werden"});
    for (const char* name : {"TK.DAT", "TKZH.DAT", "TKZS.DAT", "TKUBH.DAT"})
        EXPECT_EQ(readW(name), "") << name;
}
