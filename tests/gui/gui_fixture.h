// The main window on the desktop for one test: the window model with real
// message boxes, input prompts and help window, a stand-in driver and
// counting adapters (from the model tests), in a temporary working directory
// W and program directory.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "form_fixture.h"
#include "interface/qt/dialogs.h"
#include "interface/qt/form_pelko_window.h"
#include "interface/qt/form_protokoll_window.h"
#include "interface/qt/host.h"

namespace testsupport {

template <typename T>
T* find(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// Runs the queued handlers on the modal boxes (message boxes, input prompts,
// file dialogs) as they open, one handler per box; the box stays open until
// its handler closes it. A box that opens with no handler queued is
// recorded and closed, so that no test waits for a box nobody answers.
class ModalWatcher {
  public:
    ModalWatcher() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { check(); });
        timer_.start();
    }
    void onNext(std::function<void(QWidget*)> handler) { handlers_.push_back(std::move(handler)); }
    int handled() const { return handled_; }
    // "<caption>: <text>" of every box that opened without a handler.
    std::vector<std::string> unexpected;

  private:
    void check() {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        for (const QPointer<QWidget>& s : seen_)
            if (s == box) return;
        seen_.emplace_back(box);
        if (handlers_.empty()) {
            auto* message = qobject_cast<QMessageBox*>(box);
            unexpected.push_back(box->windowTitle().toStdString() + ": " +
                                 (message ? message->text().toStdString() : std::string()));
            if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->reject();
            return;
        }
        ++handled_;
        auto handler = std::move(handlers_.front());
        handlers_.erase(handlers_.begin());
        handler(box);
    }
    QTimer timer_;
    std::vector<std::function<void(QWidget*)>> handlers_;
    std::vector<QPointer<QWidget>> seen_;
    int handled_ = 0;
};

// Answers an input prompt with `text` and OK, or with Cancel.
inline void answerPrompt(QWidget* box, const QString& text, bool ok = true) {
    auto* prompt = qobject_cast<QInputDialog*>(box);
    ASSERT_NE(prompt, nullptr);
    prompt->setTextValue(text);
    if (ok)
        prompt->accept();
    else
        prompt->reject();
}

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldCwd_ = plat::currentDirectory();
        std::filesystem::create_directories(dir.path() / "w");
        std::filesystem::create_directories(dir.path() / "prog");
        w = (dir.path() / "w").string();
        ASSERT_EQ(::chdir(w.c_str()), 0);
        env.set("LC_ALL", nullptr);
        env.set("LC_TIME", nullptr);
        env.set("LC_NUMERIC", nullptr);
        env.set("LANG", "de_DE.UTF-8");
        env.set("PELKO_CLOCK", "2026-12-11 11:59:50");
        plat::useVirtualClock();
    }
    void TearDown() override {
        protokoll.reset();
        window.reset();
        form.reset();
        if (!oldCwd_.empty()) (void)::chdir(oldCwd_.c_str());
    }

    // Creates the windows and runs the start-up as the program does.
    void open() {
        registry = adapters.registry();
        pelko::FormEnvironment e;
        e.dialogs = &dialogs;
        e.driver = &driver;
        e.host = &host;
        e.adapters = &registry;
        e.settingsFile = dir.file("prog/Pelko_Programm.INI");
        e.programDir = dir.file("prog");
        form = std::make_unique<TestForm>(e);
        window = std::make_unique<pelko::qt::FormPelkoWindow>(*form);
        protokoll = std::make_unique<pelko::qt::FormProtokollWindow>(form->FormProtokoll);
        dialogs.setOwner(window.get());
        host.setWindow(window.get());
        form->FormCreate();
        window->show();
        form->FormShow();
        QApplication::processEvents();
    }

    QWidget* widget(const char* name) const { return window->widget(name); }
    template <typename T>
    T* get(const char* name) const {
        T* t = qobject_cast<T*>(window->widget(name));
        EXPECT_NE(t, nullptr) << name;
        return t;
    }
    bool shown(const char* name) const { return widget(name)->isVisibleTo(window.get()); }
    void click(const char* name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }

    TempDir dir;
    EnvGuard env;
    std::string w;
    pelko::qt::Dialogs dialogs;
    pelko::qt::Host host;
    FakeDriver driver;
    AdapterCalls adapters;
    pelko::HotelAdapterRegistry registry;
    ModalWatcher modal;
    std::unique_ptr<TestForm> form;
    std::unique_ptr<pelko::qt::FormPelkoWindow> window;
    std::unique_ptr<pelko::qt::FormProtokollWindow> protokoll;

  private:
    std::string oldCwd_;
};

}  // namespace testsupport
