// The driver's status window on the desktop, driven by the status window
// model as a job drives it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "driver/messages.h"
#include "driver/qt/desktop_front_end.h"
#include "driver/status_window.h"

namespace {

class DriverWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        status.setAbortHandler([this] { ++aborts; });
        status.prepare("LOG/20261211", messages);
    }
    QWidget* window() const { return frontEnd.window(); }
    template <typename T>
    T* get(const char* name) const {
        T* t = window()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(t, nullptr) << name;
        return t;
    }
    // Whether the Abort button lies inside the window (it is cut off while hidden).
    bool abortInside() const {
        return window()->rect().contains(get<QPushButton>("B_abort")->geometry());
    }

    tarvik::qt::DesktopFrontEnd frontEnd;
    tarvik::StatusWindow status{frontEnd};
    tarvik::MessageTable messages;
    int aborts = 0;
};

}  // namespace

TEST_F(DriverWindowTest, ShowsTheLinesWithTheirCaptionsAndCannotBeClosed) {
    status.show();
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(window()->windowTitle(), "LOG/20261211");
    EXPECT_FALSE(window()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(get<QLabel>("L_cmd_6")->text(), "Command :");
    EXPECT_EQ(get<QLabel>("L_stat_7")->text(), "Status :");
    EXPECT_EQ(get<QLabel>("L_rec_8")->text(), "Records : ");
    EXPECT_EQ(get<QLabel>("L_cmd")->pos(), QPoint(109, 26));
    EXPECT_FALSE(get<QLabel>("L_mcno")->isVisibleTo(window()));
    EXPECT_FALSE(get<QLabel>("L_mcno_29")->isVisibleTo(window()));

    status.showRegister(3);
    status.setCommand("LI");
    status.setStatus("Receiving");
    status.setRecords("R&D 12");
    status.refresh();
    EXPECT_TRUE(get<QLabel>("L_mcno_29")->isVisibleTo(window()));
    EXPECT_EQ(get<QLabel>("L_mcno_29")->text(), "Register");
    EXPECT_EQ(get<QLabel>("L_mcno")->text(), "3");
    EXPECT_EQ(get<QLabel>("L_cmd")->text(), "LI");
    EXPECT_EQ(get<QLabel>("L_stat")->text(), "Receiving");
    EXPECT_EQ(get<QLabel>("L_rec")->text(), "R&D 12");  // "&" as it is
    status.showRegister(0);
    status.refresh();
    EXPECT_FALSE(get<QLabel>("L_mcno")->isVisibleTo(window()));

    EXPECT_FALSE(window()->close());
    EXPECT_TRUE(window()->isVisible());
    status.close();
    EXPECT_FALSE(window()->isVisible());
}

TEST_F(DriverWindowTest, AbortGrowsTheWindowOnceAndShrinksItBack) {
    status.show();
    EXPECT_EQ(window()->size(), QSize(227, 101));
    EXPECT_FALSE(abortInside());
    status.setAbortShown(true);
    status.setAbortShown(true);  // ABORT=1 twice grows it once
    EXPECT_EQ(window()->size(), QSize(227, 132));
    EXPECT_TRUE(abortInside());
    auto* abort = get<QPushButton>("B_abort");
    EXPECT_EQ(abort->geometry(), QRect(58, 101, 110, 25));
    EXPECT_EQ(abort->text(), "Abort");
    EXPECT_EQ(abort->focusPolicy(), Qt::NoFocus);

    // A press reaches the job at its next wait.
    QTest::mouseClick(abort, Qt::LeftButton);
    EXPECT_EQ(aborts, 0);
    status.refresh();
    EXPECT_EQ(aborts, 1);
    status.refresh();
    EXPECT_EQ(aborts, 1);

    status.setAbortShown(false);
    EXPECT_EQ(window()->size(), QSize(227, 101));
    EXPECT_FALSE(abortInside());
    status.close();
}

TEST_F(DriverWindowTest, TheWindowCannotCloseWhileItIsDragged) {
    status.show();
    QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 90));
    status.refresh();
    EXPECT_TRUE(status.dragging());
    EXPECT_FALSE(status.FormCloseQuery());
    QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 90));
    status.refresh();
    EXPECT_FALSE(status.dragging());
    EXPECT_TRUE(status.FormCloseQuery());
    status.close();
}

TEST_F(DriverWindowTest, TheResultBoxStaysOnTopUntilConfirmed) {
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool onTop = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        onTop = box->windowFlags() & Qt::WindowStaysOnTopHint;
        box->accept();
    });
    poll.start(10);
    frontEnd.resultBox("LOG/20261211", "No Answer", true);
    EXPECT_EQ(caption, "LOG/20261211");
    EXPECT_EQ(text, "No Answer");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(onTop);
    frontEnd.resultBox("LOG/20261211", "OK", false);
    EXPECT_EQ(icon, QMessageBox::Information);
}
