// The settings lock, the closing prompt, help, and the transmission log viewer.
#include <gtest/gtest.h>

#include "form_fixture.h"
#include "platform/ini.h"

using namespace testsupport;

TEST_F(FormTest, LockingDisablesTheSettingsAndSurvivesARestart) {
    auto& f = makeForm();
    f.BitBtnVerschliesenClick();
    auto checkLocked = [&](pelko::TFormPelko& g) {
        EXPECT_TRUE(g.locked);
        EXPECT_FALSE(g.BitBtnVerschliesen.visible());
        EXPECT_TRUE(g.BitBtnEinstellungen.visible());
        EXPECT_EQ(g.BitBtnEinstellungen.left(), 336);
        EXPECT_EQ(g.BitBtnEinstellungen.top(), 8);
        EXPECT_FALSE(g.BitBtnSchliesen.visible());
        EXPECT_EQ(g.BitBtnMinimieren.left(), 648);
        for (auto* c : g.lockedControls()) EXPECT_FALSE(c->enabled()) << c->name();
        // The manual jobs stay usable.
        for (auto* c : {&g.BitBtnManuell, &g.BitBtnUmsManuell, &g.BitBtnZimSenden,
                        &g.BitBtnProtokoll, &g.BitBtnMinimieren, &g.BitBtnHilfe})
            EXPECT_TRUE(c->enabled()) << c->name();
        EXPECT_TRUE(g.DateTimePickerProtokoll.enabled());
    };
    checkLocked(f);
    EXPECT_EQ(plat::IniFile(iniPath()).readString("Spezial", "Verschlossen", ""), "1");
    checkLocked(makeForm());
    EXPECT_TRUE(dialogs.shown.empty());  // no question is asked
}

TEST_F(FormTest, UnlockingNeedsTheExactCode) {
    auto& f = makeForm();
    f.BitBtnVerschliesenClick();
    for (const char* wrong : {"4971 ", "", "04971", "4972"}) {
        dialogs.answerInput(wrong);
        f.BitBtnEinstellungenClick();
        EXPECT_TRUE(f.locked) << wrong;
    }
    f.BitBtnEinstellungenClick();  // cancelled
    EXPECT_TRUE(f.locked);
    ASSERT_EQ(dialogs.shown.size(), 5u);  // only the prompts, no message
    EXPECT_EQ(dialogs.shown[0].caption, "Einstellungen ändern ?");
    EXPECT_EQ(dialogs.shown[0].text, "Code zum Einstellungen ändern eingeben");
    f.answerText = "left over";
    dialogs.answerInput("4971");
    f.BitBtnEinstellungenClick();
    EXPECT_EQ(dialogs.shown.back().input, "");  // the answer is emptied before the prompt
    EXPECT_FALSE(f.locked);
    EXPECT_TRUE(f.BitBtnVerschliesen.visible());
    EXPECT_FALSE(f.BitBtnEinstellungen.visible());
    EXPECT_TRUE(f.BitBtnSchliesen.visible());
    EXPECT_EQ(f.BitBtnMinimieren.left(), 544);
    for (auto* c : f.lockedControls()) EXPECT_TRUE(c->enabled()) << c->name();
    EXPECT_EQ(plat::IniFile(iniPath()).readString("Spezial", "Verschlossen", ""), "0");
}

TEST_F(FormTest, ClosingNeedsTheClosingCode) {
    auto& f = makeForm();
    bool canClose = true;
    f.FormCloseQuery(canClose);  // cancelled
    EXPECT_FALSE(canClose);
    EXPECT_EQ(host.helpClosed, 1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "Programm Beenden ?");
    EXPECT_EQ(dialogs.shown[0].text,
              "Sind Sie sicher ? \nzum Programm Beenden geben Sie bitte 6093 ein");
    dialogs.answerInput("6093 ");
    f.FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    // While locked the close button is hidden, but closing still asks and closes.
    f.BitBtnVerschliesenClick();
    dialogs.answerInput("6093");
    f.Close();
    EXPECT_EQ(host.quits, 1);
    EXPECT_FALSE(f.visible());
}

TEST_F(FormTest, TheHelpFileBesideTheProgram) {
    auto& f = makeForm(false);
    f.FormCreate();
    std::string path = dir.file("prog/Pelko_Hilfe.html");
    EXPECT_EQ(f.helpFilePath, path);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "Pelko-Programm");
    EXPECT_EQ(dialogs.shown[0].icon, pelko::DialogRequest::Icon::None);
    EXPECT_EQ(dialogs.shown[0].text, "Hilfedatei nicht gefunden \n" + path);
    EXPECT_EQ(f.failuresReported(), 0);
    f.BitBtnHilfeClick();
    ASSERT_EQ(host.helpShown.size(), 1u);
    EXPECT_EQ(host.helpShown[0], std::make_pair(path, 10001));

    dir.write("prog/Pelko_Hilfe.html", "<html></html>");
    dialogs.shown.clear();
    makeForm(false).FormCreate();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(FormTest, TheLogViewerShowsTheLogOfTheChosenDay) {
    auto& f = makeForm();
    std::string longLine(5000, 'L');
    writeW("LOG/20261211.LOG", "11.12.2026 10:00:00 start\r\n" + longLine +
                                   "\r\n11.12.2026 10:00:05 end 000 OK\r\n\r\nlast\rline");
    f.BitBtnProtokollClick();
    auto& v = f.FormProtokoll;
    EXPECT_TRUE(v.visible());
    EXPECT_EQ(v.caption(), "Protokoll");
    EXPECT_EQ(v.Memo1.lines(),
              (std::vector<std::string>{"11.12.2026 10:00:00 start", longLine,
                                        "11.12.2026 10:00:05 end 000 OK", "", "last\rline"}));
    // Read once: later runs show after closing and showing again.
    writeW("LOG/20261211.LOG", "new\r\n");
    f.BitBtnProtokollClick();
    EXPECT_EQ(v.Memo1.lines().size(), 5u);
    v.Close();  // close box: the lines stay
    EXPECT_FALSE(v.visible());
    EXPECT_EQ(v.Memo1.lines().size(), 5u);
    f.DateTimePickerProtokoll.setDate(2026, 12, 10);  // a day without runs
    f.BitBtnProtokollClick();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{" LOG Datei kann nicht gelesen werden"});
    EXPECT_TRUE(v.visible());
    EXPECT_EQ(v.Memo1.lines().size(), 5u);  // unchanged
    v.BitBtnSchliesenClick();
    EXPECT_TRUE(v.Memo1.lines().empty());
    EXPECT_FALSE(v.visible());
    f.DateTimePickerProtokoll.setDate(2026, 12, 11);
    f.BitBtnProtokollClick();
    EXPECT_EQ(v.Memo1.lines(), std::vector<std::string>{"new"});
}
