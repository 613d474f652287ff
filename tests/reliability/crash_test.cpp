// Both programs killed (SIGKILL) at random points of a room report run, and
// what a restart finds: the hotel software's booking file is never a
// half-written one (it is the previous file or a whole new one), the
// settings file is never cut, the receipt counter never goes back, every
// copy in the audit trail is whole, and the next run cleans up what the
// killed one left and works as always.
//
// The programs are the real ones, with HS-3 as the hotel software; the
// driver talks to the simulator on a pseudo-terminal, which serves a room
// report of 120 rooms.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/ini.h"
#include "support/child_process.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ChildOptions;
using testsupport::ChildProcess;
using testsupport::TempDir;

constexpr int kRooms = 120;
constexpr int kBooked = 2 * kRooms;  // two articles per room reach HS3CASH.IN

// The processes whose executable is `exe` (our own copy of a program, so
// nothing else can match).
std::vector<pid_t> processesOf(const std::string& exe) {
    std::vector<pid_t> pids;
    DIR* d = ::opendir("/proc");
    if (!d) return pids;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::error_code ec;
        const fs::path target = fs::read_symlink("/proc/" + name + "/exe", ec);
        if (!ec && target == exe) pids.push_back(static_cast<pid_t>(std::stol(name)));
    }
    ::closedir(d);
    return pids;
}

std::size_t lines(const std::string& s) {
    std::size_t n = 0;
    for (char c : s) n += c == '\n';
    return n;
}

// A booking file the hotel software may take: every booked line, whole.
bool wholeBookingFile(const std::string& text) {
    if (lines(text) != static_cast<std::size_t>(kBooked)) return false;
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        const std::string line = text.substr(pos, end - pos);
        if (std::count(line.begin(), line.end(), ';') != 12 ||
            line.find("\"EUR\"") == std::string::npos)
            return false;
        pos = end + 2;
    }
    return true;
}

class CrashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* sub : {"prog", "w/LOG", "hotel", "data"})
            fs::create_directories(dir.path() / sub);
        fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
        fs::copy_file(TARVIK_EXE, dir.path() / "prog" / "Tarvik");
        tarvik = fs::canonical(dir.path() / "prog" / "Tarvik").string();
        pelko = dir.file("prog/Pelko_Programm");
        std::string report = "20;\"Zimmerbericht\";1;12- 2-08;16:34:07\r\n";
        std::string guests;
        for (int r = 0; r < kRooms; ++r) {
            const std::string room = std::to_string(100 + r);
            report += "22;" + room + ";3;10000;1001;\"Pils\";2;7,00\r\n";
            report += "22;" + room + ";3;10000;1050;\"Wein\";1;4,20\r\n";
            report += "22;" + room + ";3;0;99;\"Zimmer\";3;11,20\r\n";
            guests += std::to_string(4000 + r) + ";\"" + room + "\";\"Gast " + room + "\"\r\n";
        }
        dir.write("data/RUZ001001001.csv", report);
        dir.write("hotel/HS3CASH.OUT", guests);
        dir.write("w/VMWST.CSV", "1;1;;1900\r\n");
        dir.write("w/VBED.CSV", "1;3;\"Anna\"\r\n");
        dir.write("prog/Pelko_Programm.INI",
                  "[Spezial]\r\nProcessTag=20261211\r\n[HOTEL]\r\nSoftware=0\r\n"
                  "HotelVerzeichnis=" +
                      dir.file("hotel") +
                      "\r\n[ECR]\r\nPort=3\r\nBaud=4\r\nKassenNr=1\r\nBerichtsNr=01\r\n"
                      "BonNummer=0\r\n");
        sim = std::make_unique<testsupport::SimulatorProcess>(
            ECR_SIM_EXE, std::vector<std::string>{"--data", dir.file("data"), "--state",
                                                  dir.file("data"), "--quiet", "--pty"});
        ASSERT_TRUE(sim->ready());
        // The command files of these settings.
        ASSERT_EQ(run({"--run", "save"}).wait(), 0);
    }

    ChildOptions options() const {
        ChildOptions o;
        o.cwd = dir.file("w");
        o.env = {{"PELKO_CLOCK", std::string("2026-12-11 12:00:00")},
                 {"LC_ALL", std::string("de_DE.UTF-8")},
                 {"TARVIK_COM3", sim->device()},
                 {"TARVIK_TIME_LIMIT_MS", std::string("1000")},
                 {"PELKO_FAIL_WRITE_AFTER", std::nullopt}};
        return o;
    }
    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& args) {
        return std::make_unique<ChildProcess>(pelko, args, options());
    }
    ChildProcess& run(const std::vector<std::string>& args) {
        last = start(args);
        return *last;
    }

    // Waits until no driver of this test runs any more (a driver whose
    // interface program was killed finishes its job on its own).
    void waitForDrivers() {
        for (int i = 0; i < 1000 && !processesOf(tarvik).empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(processesOf(tarvik).empty());
    }

    // What every restart must find.
    void checkState(const std::string& when) {
        SCOPED_TRACE(when);
        plat::IniFile ini(dir.file("prog/Pelko_Programm.INI"));
        ASSERT_TRUE(ini.readable());
        EXPECT_EQ(ini.readInteger("HOTEL", "Software", -1), 0) << ini.text();
        EXPECT_EQ(ini.readInteger("ECR", "Port", -1), 3) << ini.text();
        EXPECT_EQ(ini.readString("ECR", "BerichtsNr", ""), "01") << ini.text();
        const int counter = ini.readInteger("ECR", "BonNummer", -1);
        EXPECT_GE(counter, lastCounter) << "the receipt counter went back";
        lastCounter = counter;
        if (dir.exists("hotel/HS3CASH.IN")) {
            const std::string booking = dir.read("hotel/HS3CASH.IN");
            EXPECT_TRUE(wholeBookingFile(booking)) << "half-written HS3CASH.IN:\n" << booking;
            // Every booking file in place has its copy in the audit trail.
            bool copied = false;
            for (const auto& e : fs::directory_iterator(dir.path() / "w" / "ARCHIV"))
                copied = copied || dir.read("w/ARCHIV/" + e.path().filename().string()) == booking;
            EXPECT_TRUE(copied);
        }
        if (fs::is_directory(dir.path() / "w" / "ARCHIV")) {
            for (const auto& e : fs::directory_iterator(dir.path() / "w" / "ARCHIV")) {
                const std::string name = e.path().filename().string();
                if (name.find(".tmp") != std::string::npos) continue;  // a killed writer's
                EXPECT_TRUE(wholeBookingFile(dir.read("w/ARCHIV/" + name))) << name;
            }
        }
        // The command files are whole: from PROCESS to the empty last line.
        for (const char* f : {"TK.DAT", "TKZH.DAT", "TKZS.DAT", "TKUBH.DAT"}) {
            const std::string text = dir.read(std::string("w/") + f);
            EXPECT_EQ(text.rfind("PROCESS=", 0), 0u) << f;
            EXPECT_TRUE(text.size() > 4 && text.compare(text.size() - 4, 4, "\r\n\r\n") == 0) << f;
        }
    }

    // A last run without a kill works as always and leaves nothing behind.
    void finalRun() {
        ChildProcess& p = run({"--run", "room-report"});
        EXPECT_EQ(p.wait(60000), 0) << p.errText();
        checkState("after the final run");
        EXPECT_TRUE(dir.exists("hotel/HS3CASH.IN"));
        for (const char* sub : {"hotel", "w/ARCHIV", "prog", "w/LOG"})
            for (const auto& e : fs::directory_iterator(dir.path() / sub))
                EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    }

    TempDir dir;
    std::unique_ptr<testsupport::SimulatorProcess> sim;
    std::string tarvik, pelko;
    std::unique_ptr<ChildProcess> last;
    int lastCounter = 0;
    std::mt19937 rng{20261211};
};

TEST_F(CrashTest, InterfaceProgramKilledAnywhere) {
    // How long a whole run takes here, to spread the kills over it.
    const auto t0 = std::chrono::steady_clock::now();
    ChildProcess& first = run({"--run", "room-report"});
    ASSERT_EQ(first.wait(60000), 0) << first.errText();
    const int runMs = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count());
    checkState("after a whole run");
    std::uniform_int_distribution<int> at(0, runMs);
    for (int i = 0; i < 8; ++i) {
        const int ms = at(rng);
        auto p = start({"--run", "room-report"});
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        p->signal(SIGKILL);
        p->wait();
        waitForDrivers();
        checkState("killed after " + std::to_string(ms) + " ms of " + std::to_string(runMs));
    }
    // Killed while saving the settings.
    for (int i = 0; i < 3; ++i) {
        auto p = start({"--run", "save"});
        std::this_thread::sleep_for(std::chrono::milliseconds(at(rng) / 20));
        p->signal(SIGKILL);
        p->wait();
        checkState("killed while saving");
    }
    finalRun();
}

TEST_F(CrashTest, DriverKilledAnywhere) {
    std::uniform_int_distribution<int> at(0, 800);
    int killed = 0;
    for (int i = 0; i < 8; ++i) {
        auto p = start({"--run", "room-report"});
        // The driver, once it runs, killed after a while.
        std::vector<pid_t> drivers;
        for (int k = 0; k < 2000 && drivers.empty(); ++k) {
            drivers = processesOf(tarvik);
            if (drivers.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const int ms = at(rng);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        for (pid_t d : drivers) ::kill(d, SIGKILL);
        const int status = p->wait(60000);
        // A driver killed before its end file gives no result: no conversion
        // and exit status 1; one that had finished gives a whole run.
        EXPECT_TRUE(status == 0 || status == 1) << status;
        killed += status == 1;
        if (status == 1) {
            EXPECT_NE(p->errText().find("END Datei kann nicht gelesen werden"), std::string::npos)
                << p->errText();
        }
        checkState("driver killed after " + std::to_string(ms) + " ms");
    }
    EXPECT_GT(killed, 0) << "no kill came while the driver ran";
    std::cout << killed << " of 8 drivers killed before their end\n";
    finalRun();
}

}  // namespace
