// A main window for one test: a working directory W and a program directory
// in a temporary directory, message boxes answered from a script, a driver
// that leaves the end file a test chooses, and adapters that count calls.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "interface/form_pelko.h"
#include "interface/hotel_adapters.h"
#include "platform/clock.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "support/env_guard.h"
#include "support/temp_dir.h"

namespace testsupport {

// Answers boxes from a queue; without a scripted answer a message gets OK
// and an input prompt Cancel. `whileOpen` runs while a box is open (the
// timer ticks there).
class ScriptedDialogs : public pelko::DialogPort {
  public:
    using Request = pelko::DialogRequest;
    using Answer = pelko::DialogAnswer;

    std::vector<Request> shown;
    std::deque<Answer> answers;
    std::function<void(const Request&)> whileOpen;

    Answer ask(const Request& request) override {
        shown.push_back(request);
        if (whileOpen) whileOpen(request);
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        Answer a;
        a.button =
            request.kind == Request::Kind::Input ? Answer::Button::Cancel : Answer::Button::Ok;
        a.input = request.input;
        return a;
    }
    void answerOk() { answers.push_back(Answer{Answer::Button::Ok, {}}); }
    void answerCancel() { answers.push_back(Answer{Answer::Button::Cancel, {}}); }
    void answerInput(const std::string& text) {
        answers.push_back(Answer{Answer::Button::Ok, text});
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Request& r : shown) out.push_back(r.text);
        return out;
    }
    bool showed(const std::string& text) const {
        for (const Request& r : shown)
            if (r.text == text) return true;
        return false;
    }
};

// Stands in for the register driver: records the command file, reads its
// PROCESS line like the driver and leaves the chosen end file.
class FakeDriver : public pelko::DriverLauncher {
  public:
    std::vector<std::string> runs;
    bool startable = true;
    std::string endCode = "000";  // "" writes an empty end file
    bool writeEndFile = true;
    std::map<std::string, std::string> endCodeFor;  // by command file
    std::function<void(const std::string& commandFile)> onRun;

    bool run(const std::string& commandFile, const std::string& workDir) override {
        runs.push_back(commandFile);
        if (!startable) return false;
        if (onRun) onRun(commandFile);
        if (!writeEndFile) return true;
        std::string text;
        plat::readTextFile(plat::joinPath(workDir, commandFile), text);
        std::string process;
        std::size_t pos = text.find("PROCESS=");
        if (pos != std::string::npos) {
            std::size_t end = text.find('\n', pos);
            process = text.substr(pos + 8, end - pos - 8);
        }
        if (process.empty()) return true;
        auto it = endCodeFor.find(commandFile);
        std::ofstream(process + ".END", std::ios::binary)
            << (it != endCodeFor.end() ? it->second : endCode);
        return true;
    }
};

// Counts the calls of each adapter operation.
struct AdapterCalls {
    std::map<std::string, int> calls;  // "lookup 0", "room 2", "revenue 2"
    std::function<bool(pelko::TFormPelko&, const std::string&)> lookup;

    pelko::HotelAdapterRegistry registry() {
        pelko::HotelAdapterRegistry r;
        for (int s = 0; s < pelko::kHotelSoftwareCount; ++s) {
            pelko::HotelAdapter a;
            a.guestLookup = [this, s](pelko::TFormPelko& f, const std::string& room) {
                ++calls["lookup " + std::to_string(s)];
                return lookup ? lookup(f, room) : true;
            };
            a.roomReportConverter = [this, s](pelko::TFormPelko&) {
                ++calls["room " + std::to_string(s)];
            };
            if (s == pelko::kProtel)
                a.revenueConverter = [this, s](pelko::TFormPelko&) {
                    ++calls["revenue " + std::to_string(s)];
                };
            r.set(s, a);
        }
        return r;
    }
    int total() const {
        int n = 0;
        for (auto& c : calls) n += c.second;
        return n;
    }
};

// The form with the room-list upload replaced by a counter.
class TestForm : public pelko::TFormPelko {
  public:
    using pelko::TFormPelko::TFormPelko;
    int roomListCalls = 0;
    std::function<void()> onRoomList;
    void ZimmerZuKasse() override {
        ++roomListCalls;
        if (onRoomList) onRoomList();
    }
};

class RecordingHost : public pelko::WindowHost {
  public:
    int focusNext = 0, minimized = 0, helpClosed = 0, quits = 0;
    std::vector<std::pair<std::string, int>> helpShown;
    bool confirmDirectory = false;
    std::string directory;
    std::string initialDir;
    void minimize() override { ++minimized; }
    void focusNextControl() override { ++focusNext; }
    void showHelp(const std::string& file, int context) override {
        helpShown.emplace_back(file, context);
    }
    void closeAllHelp() override { ++helpClosed; }
    bool chooseDirectory(const pelko::ui::TOpenDialog& dialog, std::string& chosen) override {
        initialDir = dialog.initialDir;
        if (confirmDirectory) chosen = directory;
        return confirmDirectory;
    }
    void quit() override { ++quits; }
};

class FormTest : public ::testing::Test {
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
        setClock("2026-12-11 11:59:50");
        plat::injectWriteFailureAfter(-1);
    }
    void TearDown() override {
        plat::injectWriteFailureAfter(-1);
        if (!oldCwd_.empty()) (void)::chdir(oldCwd_.c_str());
    }

    void setClock(const char* text) {
        env.set("PELKO_CLOCK", text);
        plat::useVirtualClock();
    }

    std::string iniPath() const { return dir.file("prog/Pelko_Programm.INI"); }
    void writeIni(const std::string& text) const { dir.write("prog/Pelko_Programm.INI", text); }
    std::string readIni() const { return dir.read("prog/Pelko_Programm.INI"); }
    std::string readW(const std::string& name) const { return dir.read("w/" + name); }
    void writeW(const std::string& name, const std::string& bytes) const {
        dir.write("w/" + name, bytes);
    }
    bool existsW(const std::string& name) const { return dir.exists("w/" + name); }

    // Creates the form; `show` runs the start-up.
    TestForm& makeForm(bool show = true) {
        registry = adapters.registry();
        pelko::FormEnvironment e;
        e.dialogs = &dialogs;
        e.driver = &driver;
        e.host = &host;
        e.adapters = &registry;
        e.settingsFile = iniPath();
        e.programDir = dir.file("prog");
        form = std::make_unique<TestForm>(e);
        if (show) form->FormShow();
        return *form;
    }

    TempDir dir;
    EnvGuard env;
    std::string w;
    ScriptedDialogs dialogs;
    FakeDriver driver;
    RecordingHost host;
    AdapterCalls adapters;
    pelko::HotelAdapterRegistry registry;
    std::unique_ptr<TestForm> form;

  private:
    std::string oldCwd_;
};

// A main window with the real hotel adapters, German regional settings and
// a hotel transfer directory "hotel".
class HotelFormTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        env.set("LC_ALL", "de_DE");
        std::filesystem::create_directories(dir.path() / "hotel");
        pelko::registerHotelAdapters(realAdapters);
    }

    // A started form with hotel software `software` and the transfer
    // directory "hotel", saved today.
    pelko::TFormPelko& startedWith(int software, const std::string& extraIni = "") {
        writeIni(
            "[Spezial]\r\nProcessTag=20261211\r\n[HOTEL]\r\nSoftware=" + std::to_string(software) +
            "\r\nHotelVerzeichnis=" + dir.file("hotel") + "\r\n" + extraIni);
        pelko::FormEnvironment e;
        e.dialogs = &dialogs;
        e.driver = &driver;
        e.host = &host;
        e.adapters = &realAdapters;
        e.settingsFile = iniPath();
        e.programDir = dir.file("prog");
        real = std::make_unique<pelko::TFormPelko>(e);
        real->FormShow();
        real->BitBtnSpeichernClick();
        dialogs.shown.clear();
        return *real;
    }
    void writeHotel(const std::string& name, const std::string& bytes) const {
        dir.write("hotel/" + name, bytes);
    }
    std::string readHotel(const std::string& name) const { return dir.read("hotel/" + name); }
    plat::IniFile ini() const { return plat::IniFile(iniPath()); }
    long bonNummer() const { return ini().readInteger("ECR", "BonNummer", -1); }

    pelko::HotelAdapterRegistry realAdapters;
    std::unique_ptr<pelko::TFormPelko> real;
};

}  // namespace testsupport
