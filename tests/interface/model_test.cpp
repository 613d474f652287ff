// The control model and the window-less front end.
#include <gtest/gtest.h>

#include <sstream>

#include "form_fixture.h"
#include "interface/controls.h"
#include "interface/headless.h"

using namespace testsupport;

TEST(Controls, ComboBoxSelectionAndTypedText) {
    pelko::ui::TComboBox c("c");
    c.setItems({"9600", "19200"});
    std::vector<pelko::ui::Property> heard;
    c.subscribe([&](pelko::ui::Control&, pelko::ui::Property p) { heard.push_back(p); });
    c.setItemIndex(1);
    EXPECT_EQ(c.text(), "19200");
    c.setItemIndex(1);  // no change, nothing heard
    EXPECT_EQ(heard.size(), 2u);
    c.setText("4800");
    EXPECT_EQ(c.itemIndex(), -1);
    c.setItemIndex(7);
    EXPECT_EQ(c.itemIndex(), -1);
    EXPECT_EQ(c.text(), "");
    c.setStyle(pelko::ui::TComboBox::Style::DropDownList);
    c.setText("9600");
    EXPECT_EQ(c.itemIndex(), 0);
    c.setText("nonsense");
    EXPECT_EQ(c.itemIndex(), 0);
}

TEST(Controls, MaskedFieldsHoldTheirDigitsOnly) {
    pelko::ui::TMaskEdit e("e");
    e.setEditMask("999;0; ");
    const std::pair<const char*, const char*> table[] = {
        {"192", "192"}, {"1 2", "12"}, {" 7 ", "7"}, {"1234", "123"}, {"abc", ""}, {"", ""}};
    for (const auto& [in, out] : table) {
        e.setText(in);
        EXPECT_EQ(e.text(), out) << in;
    }
    pelko::ui::TMaskEdit plain("p");
    plain.setMaxLength(8);
    plain.setText("ABCDEFGHIJ");
    EXPECT_EQ(plain.text(), "ABCDEFGH");
    // Control characters (from a settings file) are not kept: a NUL or a
    // line break would break the line of a command file.
    plain.setText(std::string("aJ\0\0\0f\r\n\tx\x7Fyz\xC3\xBC", 16));
    EXPECT_EQ(plain.text(), "aJfxyz\xC3\xBC");
}

TEST(Controls, GridRowsAreCutAndGrownEmpty) {
    pelko::ui::TStringGrid g("g");
    g.setColCount(2);
    g.setRowCount(4);
    g.setCell(1, 3, "103");
    g.setCell(1, 9, "outside");
    EXPECT_EQ(g.cell(1, 9), "");
    g.setRowCount(3);
    g.setRowCount(5);
    EXPECT_EQ(g.cell(1, 3), "");  // cut off and lost
    g.setRowCount(0);
    EXPECT_EQ(g.rowCount(), 1);
    g.setRowCount(-5);
    EXPECT_EQ(g.rowCount(), 1);
}

TEST(Headless, CommandLines) {
    using M = pelko::headless::Options::Mode;
    struct Case {
        std::vector<const char*> args;
        bool ok;
        M mode;
        long ticks;
        const char* verb;
    } cases[] = {
        {{}, true, M::Window, -1, ""},
        {{"--headless"}, true, M::Headless, -1, ""},
        {{"--headless", "--ticks", "30"}, true, M::Headless, 30, ""},
        {{"--ticks=5", "--headless"}, true, M::Headless, 5, ""},
        {{"--run", "save"}, true, M::Run, -1, "save"},
        {{"--run=write-room-list"}, true, M::Run, -1, "write-room-list"},
        {{"--help"}, true, M::Help, -1, ""},
        {{"--run", "dance"}, false, M::Window, -1, ""},
        {{"--run"}, false, M::Window, -1, ""},
        {{"--ticks", "5"}, false, M::Window, -1, ""},
        {{"--headless", "--ticks", "-1"}, false, M::Window, -1, ""},
        {{"--headless", "--ticks", "x"}, false, M::Window, -1, ""},
        {{"--headless", "--run", "save"}, false, M::Window, -1, ""},
        {{"--window"}, false, M::Window, -1, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv{"Pelko_Programm"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        pelko::headless::Options o;
        std::string error;
        bool ok =
            pelko::headless::parseArguments(static_cast<int>(argv.size()), argv.data(), o, error);
        std::string label = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(ok, c.ok) << label;
        if (!ok) {
            EXPECT_FALSE(error.empty()) << label;
            continue;
        }
        EXPECT_EQ(o.mode, c.mode) << label;
        EXPECT_EQ(o.ticks, c.ticks) << label;
        EXPECT_EQ(o.verb, c.verb) << label;
    }
    for (const char* verb : {"save", "room-report", "send-rooms", "fetch-program", "revenue-report",
                             "convert-room-report", "convert-revenue", "write-room-list"})
        EXPECT_TRUE(pelko::headless::knownVerb(verb)) << verb;
}

TEST(Headless, MessageBoxesAreOneLineAndAnswerOkPromptsCancel) {
    std::ostringstream out;
    pelko::headless::StreamDialogs d(out);
    pelko::DialogRequest m;
    m.caption = "Meldung";
    m.text = "Den Umsatz-Bericht \n und löschen";
    m.icon = pelko::DialogRequest::Icon::Stop;
    m.buttons = pelko::DialogRequest::Buttons::OkCancel;
    EXPECT_EQ(d.ask(m).button, pelko::DialogAnswer::Button::Ok);
    pelko::DialogRequest q;
    q.kind = pelko::DialogRequest::Kind::Input;
    q.caption = "Programm Beenden ?";
    q.text = "Sind Sie sicher ? \nzum Programm Beenden";
    EXPECT_EQ(d.ask(q).button, pelko::DialogAnswer::Button::Cancel);
    EXPECT_EQ(out.str(),
              "Meldung: Den Umsatz-Bericht   und löschen\n"
              "Programm Beenden ?: Sind Sie sicher ?  zum Programm Beenden\n");
}

class VerbTest : public FormTest {};

TEST_F(VerbTest, ExitStatusFollowsFailuresAndTheResultCode) {
    writeIni("[Spezial]\r\nProcessTag=20261211\r\n");
    struct Case {
        const char* verb;
        const char* endCode;
        int software;
        int status;
    } cases[] = {
        {"save", "000", pelko::kHs3, 0},
        {"room-report", "000", pelko::kHs3, 0},
        {"room-report", "005", pelko::kHs3, 1},
        {"fetch-program", "000", pelko::kHs3, 1},   // VZ.CSV missing afterwards
        {"revenue-report", "000", pelko::kHs3, 1},  // only with Protel
        {"revenue-report", "000", pelko::kProtel, 0},
        {"revenue-report", "017", pelko::kProtel, 1},
        {"convert-room-report", "000", pelko::kVelox, 0},
        {"convert-revenue", "000", pelko::kHotline, 1},
        {"write-room-list", "000", pelko::kHs3, 1},  // VZ.CSV missing
        {"dance", "000", pelko::kHs3, 2},
    };
    for (const Case& c : cases) {
        writeIni("[Spezial]\r\nProcessTag=20261211\r\n[HOTEL]\r\nSoftware=" +
                 std::to_string(c.software) + "\r\n");
        driver.endCode = c.endCode;
        auto& f = makeForm();
        EXPECT_EQ(pelko::headless::runVerb(f, c.verb), c.status) << c.verb << " " << c.endCode;
    }
    EXPECT_EQ(driver.runs,
              (std::vector<std::string>{"TK.DAT", "TK.DAT", "TKZH.DAT", "TKUBH.DAT", "TKUBH.DAT"}));
}

TEST_F(VerbTest, AnErrorInsideAnOperationIsShownAndFails) {
    auto& f = makeForm();
    pelko::HotelAdapter broken;
    broken.roomReportConverter = [](pelko::TFormPelko&) {
        throw std::runtime_error("Zugriffsverletzung");
    };
    registry.set(pelko::kHs3, broken);
    EXPECT_EQ(pelko::headless::runVerb(f, "convert-room-report"), 1);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().caption, "Pelko-Programm");
    EXPECT_EQ(dialogs.shown.back().text, "Zugriffsverletzung");
    // The file work ended with the error: the timer is free again.
    EXPECT_FALSE(f.fileWorkUnderWay());
}
