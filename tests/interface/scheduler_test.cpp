// The one-second timer.
#include <gtest/gtest.h>
#include <utime.h>

#include "form_fixture.h"

using namespace testsupport;

class SchedulerTest : public FormTest {
  protected:
    TestForm& started(int software, const std::string& extra = "") {
        writeIni("[Spezial]\r\nProcessTag=20261211\r\n[HOTEL]\r\nSoftware=" +
                 std::to_string(software) + "\r\n" + extra);
        auto& f = makeForm();
        f.BitBtnSpeichernClick();  // the command files of the day
        dialogs.shown.clear();
        return f;
    }
    // One tick a second later, as the timer gives it.
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            plat::advanceVirtualClock(1);
            form->Timer1Timer();
        }
    }
    void touch(const std::string& name, long when) {
        struct utimbuf times {};
        times.actime = times.modtime = when;
        ::utime(dir.file("w/" + name).c_str(), &times);
    }
};

TEST_F(SchedulerTest, CountdownShowsFiftyNineToZeroAndChecksEveryMinute) {
    auto& f = started(pelko::kHs3);
    tick();
    EXPECT_EQ(f.Label3.caption(), "59");
    EXPECT_EQ(f.EditDatumZeit.text(), "   Freitag, 11. Dezember 2026       11:59:51 ");
    tick(58);
    EXPECT_EQ(f.Label3.caption(), "1");
    EXPECT_EQ(f.countdown, 1);
    tick();
    EXPECT_EQ(f.Label3.caption(), "0");
    EXPECT_EQ(f.countdown, 60);  // checked and set back
    tick();
    EXPECT_EQ(f.Label3.caption(), "59");
    // A count that went below -1 comes back to 60.
    f.countdown = -5;
    tick();
    EXPECT_EQ(f.Label3.caption(), "59");
    f.countdown = -1;
    tick();
    EXPECT_EQ(f.Label3.caption(), "-2");
}

TEST_F(SchedulerTest, AReportTimeStartsItsRunAtItsSecond) {
    auto& f = started(pelko::kHs3, "[ECR]\r\nZeit1=12:00:00\r\nZeit3=00:00:00\r\n");
    std::vector<int> slots;
    driver.onRun = [&](const std::string&) { slots.push_back(f.reportSlot); };
    tick(9);  // 11:59:59
    EXPECT_TRUE(driver.runs.empty());
    tick();  // 12:00:00
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TK.DAT"});
    EXPECT_EQ(slots, std::vector<int>{1});
    EXPECT_EQ(f.jobKind, pelko::kJobRoomReport);
    EXPECT_EQ(f.LabelZeit(1).caption(), " OK ");
    EXPECT_EQ(f.reportSlot, 0);
    // The run set the countdown to 60: the next check is a minute after it.
    EXPECT_EQ(f.countdown, 60);
    tick(100);
    EXPECT_EQ(driver.runs.size(), 1u);
    setClock("2026-12-12 11:59:59");
    tick();  // 12:00:00 the next day
    EXPECT_EQ(driver.runs.size(), 2u);
}

TEST_F(SchedulerTest, AllReportTimesOffStartNothing) {
    started(pelko::kHs3);
    setClock("2026-12-11 23:59:00");
    tick(120);  // across midnight
    EXPECT_TRUE(driver.runs.empty());
}

TEST_F(SchedulerTest, TwoEqualReportTimesFireOnlyWhenTheFirstRunEndsInTheSameSecond) {
    auto& f = started(pelko::kHs3, "[ECR]\r\nZeit1=12:00:00\r\nZeit2=12:00:00\r\n");
    (void)f;
    tick(10);
    EXPECT_EQ(driver.runs.size(), 2u);  // the run took no time
    driver.runs.clear();
    driver.onRun = [](const std::string&) { plat::advanceVirtualClock(1); };
    setClock("2026-12-12 11:59:59");
    tick();
    EXPECT_EQ(driver.runs.size(), 1u);
}

TEST_F(SchedulerTest, HS3CountsOnlyAChangeOfLength) {
    writeW("HS3CASH.OUT", std::string(100, 'a'));
    auto& f = started(pelko::kHs3);
    EXPECT_EQ(f.storedLength, 0);
    tick(59);
    EXPECT_EQ(f.roomListCalls, 0);
    tick();  // the first check, a minute after start: 100 against 0
    EXPECT_EQ(f.roomListCalls, 1);
    EXPECT_EQ(f.currentLength, 100);
    f.storedLength = 100;                          // as a successful upload leaves it
    writeW("HS3CASH.OUT", std::string(100, 'b'));  // rewritten, same length
    tick(60);
    EXPECT_EQ(f.roomListCalls, 1);
    writeW("HS3CASH.OUT", std::string(101, 'b'));
    tick(60);
    EXPECT_EQ(f.roomListCalls, 2);
}

TEST_F(SchedulerTest, OtherHotelSoftwareCountsTheDateStamp) {
    for (int software : {pelko::kVelox, pelko::kProtel, pelko::kHotline}) {
        std::string name = pelko::guestFileName(software);
        writeW(name, "guests");
        touch(name, 1765450000);
        std::int32_t stamp = *plat::dosDateStamp(dir.file("w/" + name));
        auto& f = started(software, "DateiStempel=" + std::to_string(stamp) + "\r\n");
        tick(60);
        EXPECT_EQ(f.roomListCalls, 0) << name;
        touch(name, 1765450000 + 60);  // touched: same content, new time
        tick(60);
        EXPECT_EQ(f.roomListCalls, 1) << name;
    }
}

TEST_F(SchedulerTest, AVanishedGuestFileKeepsTheLastMeasure) {
    writeW("ROOM.DAT", "guests");
    auto& f = started(pelko::kVelox);
    f.onRoomList = [&] { f.storedStamp = f.currentStamp; };  // the upload succeeds
    tick(60);
    EXPECT_EQ(f.roomListCalls, 1);
    std::filesystem::remove(dir.path() / "w" / "ROOM.DAT");
    tick(60);
    EXPECT_EQ(f.roomListCalls, 1);
    EXPECT_NE(f.currentStamp, 0);
}

TEST_F(SchedulerTest, AnOpenGuestFileIsNotMeasured) {
    writeW("HS3CASH.OUT", "x");
    auto& f = started(pelko::kHs3);
    plat::File held;  // the hotel software is writing it
    ASSERT_TRUE(held.open(dir.file("w/HS3CASH.OUT"), plat::File::Mode::ReadWrite));
    tick(60);
    EXPECT_EQ(f.roomListCalls, 0);
    held.close();
    tick(60);
    EXPECT_EQ(f.roomListCalls, 1);
}

TEST_F(SchedulerTest, ChangingTheHotelSoftwareWithoutSavingComparesTheNewFileAtOnce) {
    writeW("INHOUSE.DAT", "guests");
    auto& f = started(pelko::kHs3);
    f.ComboBoxHotelsoftware.setItemIndex(pelko::kProtel);
    f.ComboBoxHotelsoftwareChange();
    tick(60);
    EXPECT_EQ(f.roomListCalls, 1);
}

TEST_F(SchedulerTest, WithoutAHotelSoftwareTheCheckDoesNothing) {
    writeW("HS3CASH.OUT", "guests");
    auto& f = started(9);
    tick(180);
    EXPECT_EQ(f.roomListCalls, 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SchedulerTest, AFailedUploadIsRetriedAfterTenMinutes) {
    writeW("HS3CASH.OUT", "guests");
    auto& f = started(pelko::kHs3);
    driver.endCode = "005";
    f.onRoomList = [&] {
        f.jobKind = pelko::kJobRoomListUpload;
        f.DriverStarten();
    };
    tick(60);
    EXPECT_EQ(f.roomListCalls, 1);
    EXPECT_EQ(f.countdown, 600);
    tick(599);
    EXPECT_EQ(f.roomListCalls, 1);
    tick();
    EXPECT_EQ(f.roomListCalls, 2);
}

TEST_F(SchedulerTest, ATickInsideABoxDuringFileWorkMovesOnlyTheCountdownAndTheClock) {
    writeW("HS3CASH.OUT", "guests");
    auto& f = started(pelko::kHs3, "[ECR]\r\nZeit1=12:00:00\r\n");
    f.countdown = 1;
    int ticksInBox = 0;
    // The room list shows a message; the timer ticks while it is open, over
    // the report time and the next check.
    f.onRoomList = [&] {
        pelko::TFormPelko::FileWork work(f);
        dialogs.whileOpen = [&](const pelko::DialogRequest&) {
            for (int i = 0; i < 70; ++i) {
                plat::advanceVirtualClock(1);
                f.Timer1Timer();
                ++ticksInBox;
            }
        };
        f.Meldung("Datei HS3CASH.OUT kann nicht gelesen werden");
        dialogs.whileOpen = nullptr;
    };
    tick();  // 11:59:51, countdown reaches 0: the check finds a change
    EXPECT_EQ(f.roomListCalls, 1);
    EXPECT_EQ(ticksInBox, 70);
    EXPECT_TRUE(driver.runs.empty());  // 12:00:00 passed inside the box
    EXPECT_EQ(f.roomListCalls, 1);     // no second check over the first
    // 60 down to -2, then back to 60 and down to 52.
    EXPECT_EQ(f.Label3.caption(), "52");
    EXPECT_EQ(f.EditDatumZeit.text(), "   Freitag, 11. Dezember 2026       12:01:01 ");
    // Afterwards the timer works as before.
    tick();
    EXPECT_EQ(f.countdown, 51);
    EXPECT_EQ(f.roomListCalls, 1);
}

TEST_F(SchedulerTest, ATickInsideAPromptWithoutFileWorkStartsTheReportTime) {
    auto& f = started(pelko::kHs3, "[ECR]\r\nZeit1=12:00:00\r\n");
    dialogs.whileOpen = [&](const pelko::DialogRequest& r) {
        if (r.caption != "Programm Beenden ?") return;
        for (int i = 0; i < 10; ++i) {
            plat::advanceVirtualClock(1);
            f.Timer1Timer();
        }
    };
    bool canClose = true;
    f.FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TK.DAT"});
}

TEST_F(SchedulerTest, TheRoomReportByHand) {
    auto& f = started(pelko::kHs3);
    f.countdown = 3;
    f.BitBtnManuellClick();
    EXPECT_EQ(driver.runs, std::vector<std::string>{"TK.DAT"});
    EXPECT_EQ(f.countdown, 60);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(f.LabelZeit(n).caption(), "Zim.Bericht Zeit " + std::to_string(n));
}
