#include "driver/status_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "driver/console_front_end.h"
#include "driver/messages.h"

using namespace tarvik;

namespace {

struct RecordingFrontEnd : StatusFrontEnd {
    int repaints = 0;
    int shows = 0;
    int closes = 0;
    void show(const StatusWindow&) override { ++shows; }
    void repaint(const StatusWindow&) override { ++repaints; }
    void close(const StatusWindow&) override { ++closes; }
    void resultBox(std::string_view, std::string_view, bool) override {}
};

}  // namespace

TEST(StatusWindow, PrepareSetsCaptionsAndHidesAbortAndRegister) {
    RecordingFrontEnd fe;
    StatusWindow w(fe);
    MessageTable m;
    m.set(6, "Befehl :");
    w.prepare("LOG/20080212", m);
    EXPECT_EQ(w.caption(), "LOG/20080212");
    EXPECT_EQ(w.L_cmd_6.caption, "Befehl :");
    EXPECT_EQ(w.L_stat_7.caption, "Status :");
    EXPECT_EQ(w.L_rec_8.caption, "Records : ");
    EXPECT_EQ(w.L_mcno_29.caption, "Register");
    EXPECT_FALSE(w.L_mcno_29.visible);
    EXPECT_FALSE(w.L_mcno.visible);
    EXPECT_FALSE(w.abortShown());
    EXPECT_EQ(w.abortPanelHeight(), 31);
    EXPECT_EQ(w.clientHeight(), 101);
}

TEST(StatusWindow, AbortGrowsTheWindowOnceAndShrinksItBack) {
    RecordingFrontEnd fe;
    StatusWindow w(fe);
    w.prepare("T", MessageTable());
    w.show();
    w.setAbortShown(true);
    w.setAbortShown(true);
    EXPECT_TRUE(w.abortShown());
    EXPECT_EQ(w.clientHeight(), 132);
    w.setAbortShown(false);
    w.setAbortShown(false);
    EXPECT_EQ(w.clientHeight(), 101);
    EXPECT_EQ(fe.repaints, 4);  // each ABORT refreshes
}

TEST(StatusWindow, RegisterLineAndEvents) {
    RecordingFrontEnd fe;
    StatusWindow w(fe);
    w.prepare("T", MessageTable());
    w.showRegister(7);
    EXPECT_TRUE(w.L_mcno_29.visible);
    EXPECT_EQ(w.L_mcno.caption, "7");
    w.showRegister(0);
    EXPECT_FALSE(w.L_mcno.visible);
    EXPECT_FALSE(w.L_mcno_29.visible);

    int aborts = 0;
    w.setAbortHandler([&] { ++aborts; });
    w.B_abortClick();
    EXPECT_EQ(aborts, 1);
    w.FormStartDock();
    EXPECT_FALSE(w.FormCloseQuery());
    w.FormEndDock();
    EXPECT_TRUE(w.FormCloseQuery());
}

TEST(StatusWindow, InvisibleWindowIsNotRepaintedAndCloseNeedsAShow) {
    RecordingFrontEnd fe;
    StatusWindow w(fe);
    w.setVisible(false);
    w.refresh();
    w.close();
    EXPECT_EQ(fe.repaints, 0);
    EXPECT_EQ(fe.closes, 0);
}

TEST(ConsoleStatusLine, ShowsTheLinesAndHidesControlCharacters) {
    RecordingFrontEnd fe;
    StatusWindow w(fe);
    w.prepare("job", MessageTable());
    w.setCommand("D250");
    w.setStatus("Receiving");
    w.setRecords("12");
    EXPECT_EQ(statusLineText(w), "job | Command : D250 | Status : Receiving | Records : 12");
    w.showRegister(3);
    w.setAbortShown(true);
    w.setCommand("X\x1b[2J\ty");
    EXPECT_EQ(statusLineText(w),
              "job | Register 3 | Command : X?[2J?y | Status : Receiving | Records : 12 | "
              "Ctrl-C: Abort");
}

TEST(ConsoleFrontEnd, ResultBoxWithoutTerminalWritesCaptionAndTextAndGoesOn) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    {
        ConsoleFrontEnd fe(fds[1], fds[0]);  // pipes are no terminals
        fe.resultBox("LOG/job", "No Answer", true);
    }
    ::close(fds[1]);
    char buf[100];
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    ::close(fds[0]);
    EXPECT_EQ(std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0u), "LOG/job: No Answer\n");
}
