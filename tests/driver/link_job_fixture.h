// Jobs of the driver inside the test process against a register played by
// the test (on a pseudo-terminal or on loopback UDP), with short time limits,
// a fixed clock and German regional settings. The front end records every
// text the status window showed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "driver/main_form.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/regional.h"
#include "support/temp_dir.h"

namespace linktest {

// Records the window's lines each time events are processed; `onEvents` can
// press the Abort button.
struct RecordingFrontEnd : tarvik::StatusFrontEnd {
    std::vector<std::string> commands, statuses, records;
    std::function<void(tarvik::StatusWindow&)> onEvents;

    static void note(std::vector<std::string>& v, const std::string& s) {
        if (v.empty() || v.back() != s) v.push_back(s);
    }
    void processEvents(tarvik::StatusWindow& w) override {
        note(commands, w.L_cmd.caption);
        note(statuses, w.L_stat.caption);
        note(records, w.L_rec.caption);
        if (onEvents) onEvents(w);
    }
    void resultBox(std::string_view, std::string_view, bool) override {}
    bool showed(const std::vector<std::string>& v, const std::string& s) const {
        for (const std::string& x : v)
            if (x == s) return true;
        return false;
    }
};

class LinkJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("PELKO_CLOCK", "2008-02-12 16:34:07", 1);
        ::setenv("LC_ALL", "de_DE.UTF-8", 1);
        plat::resetClock();
        plat::reloadRegional();
        ::setenv("TARVIK_COM5", dir.file("no-such-port").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("PELKO_CLOCK");
        ::unsetenv("LC_ALL");
        ::unsetenv("TARVIK_COM5");
        plat::injectWriteFailureAfter(-1);
        plat::resetClock();
        plat::reloadRegional();
    }

    // Serial jobs use PORT=5 on `device`.
    void useSerialDevice(const std::string& device) { ::setenv("TARVIK_COM5", device.c_str(), 1); }

    // Runs a job (PROCESS and VISIBLE=0 are put in front); answers the log
    // lines after the start line, without date and time.
    std::string runJob(const std::string& commands) {
        dir.write("job.cmd", "PROCESS=" + dir.file("job") + "\nVISIBLE=0\n" + commands);
        tarvik::TMainForm form(dir.file("Tarvik"), dir.file("job.cmd"), fe);
        form.setTimeLimits(limits);
        form.runJob();
        finalStatus = form.status();
        modem = form.link().modem;
        return commandLines(dir.read("job.LOG"));
    }

    static std::string commandLines(const std::string& log) {
        static const std::regex stamp("^12\\.02\\.2008;16:3[0-9]:[0-9][0-9];");
        std::string out;
        std::size_t pos = log.find("\r\n");
        if (pos == std::string::npos) return log;
        pos += 2;
        while (pos < log.size()) {
            std::size_t end = log.find("\r\n", pos);
            if (end == std::string::npos) end = log.size();
            std::string line = log.substr(pos, end - pos);
            pos = end + 2;
            if (line.empty()) continue;
            out += std::regex_replace(line, stamp, "") + "\n";
        }
        return out;
    }

    // One log line as commandLines gives it.
    static std::string logLine(const std::string& keyword, const std::string& value, int code,
                               const std::string& text) {
        return keyword + ";\"" + value + "\";" + std::to_string(code) + ";\"" + text + "\"\n";
    }
    static std::string endOk() { return "END;\"Session Ended\";0;\"OK\"\n"; }

    testsupport::TempDir dir;
    RecordingFrontEnd fe;
    // Short limits: an attempt 300 ms, the modem 600 ms.
    tarvik::LinkTimeLimits limits{300, 600, 600};
    int finalStatus = -1;
    tarvik::ModemState modem = tarvik::ModemState::Direct;
};

}  // namespace linktest
