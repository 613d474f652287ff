// A write error on every output of both programs, in the manner of I/O error
// injection: the Nth write fails, for every N, either for good (a full disk:
// every later write fails too) or once (a passing error). Each output must
// then be the old file or the whole new one, never a half-written file taken
// for complete, and the failure must be told: by the driver's end file, or
// by the interface program's message.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "interface/adapters/HotlineFiles.h"
#include "interface/adapters/Hs3Files.h"
#include "interface/adapters/ProtelRevenue.h"
#include "interface/adapters/ProtelRoomBook.h"
#include "interface/adapters/VeloxFiles.h"
#include "interface/form_fixture.h"
#include "interface/registerfiles/room_list.h"
#include "platform/file.h"
#include "platform/ini.h"
#include "support/child_process.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::string sample(const std::string& name) {
    return readFile(std::string(ECR_SIM_SAMPLE_DIR) + "/" + name);
}

// The two kinds of failure: a full disk (every write from the Nth on fails)
// and a passing error (only the Nth write fails).
const long kFailureKinds[] = {0, 1};
std::string kindName(long count) {
    return count == 0 ? "full disk" : "one failing write";
}

// Runs `attempt(n, count)` for N = 0, 1, ... until a run with a full disk
// from the Nth write on no longer fails (it wrote less than N times).
// `attempt` injects the failure itself (plat::injectWriteFailureAfter(n,
// count), or the environment of a process it starts) where its run begins,
// and answers whether the run was untouched by the failure.
template <class Attempt>
void forEveryWrite(Attempt attempt, long limit = 400) {
    for (long n = 0; n < limit; ++n) {
        bool clean = false;
        for (long count : kFailureKinds) {
            SCOPED_TRACE("write " + std::to_string(n + 1) + " fails, " + kindName(count));
            const bool untouched = attempt(n, count);
            plat::injectWriteFailureAfter(-1);
            if (count == 0) clean = untouched;
            if (::testing::Test::HasFatalFailure()) return;
        }
        if (clean) return;
    }
    ADD_FAILURE() << "the runs kept failing up to write " << limit;
}

std::size_t fileCount(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator{}));
}

// ------------------------------------------------------------ the driver

#if defined(TARVIK_EXE) && defined(ECR_SIM_EXE)

// The driver fetching the room report from the simulator: every write of the
// job (job log lines, output records, end file) fails in turn.
TEST(WriteFaults, DriverOutputLogAndEndFile) {
    TempDir dir;
    fs::copy_file(TARVIK_EXE, dir.path() / "Tarvik");
    fs::create_directories(dir.path() / "LOG");
    // The message text file exists, so that its first writing is not part of
    // every run (WriteFaults.DriverMessageFile covers it).
    { std::ofstream(dir.file("Tarvik.TXT")) << "1=Tarvik\r\n"; }
    testsupport::SimulatorProcess sim(ECR_SIM_EXE, {"--data", ECR_SIM_SAMPLE_DIR, "--state",
                                                    dir.str(), "--quiet", "--udp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    dir.write("job.cmd", "PROCESS=" + dir.file("LOG/job") +
                             "\r\nENDFILE=1\r\nPORT=" + std::to_string(sim.port()) +
                             "\r\nIP=127.0.0.1\r\nNEWFILE=" + dir.file("VZimmerBericht.csv") +
                             "\r\nCOMMAND=RUZ001001001\r\n");
    std::string records;
    for (std::size_t pos = 0, end; pos < sample("RUZ001001001.csv").size(); pos = end + 1) {
        const std::string all = sample("RUZ001001001.csv");
        end = all.find('\n', pos);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) records += line + "\r\n";
    }
    std::map<std::string, int> ends;
    forEveryWrite([&](long n, long count) {
        fs::remove(dir.path() / "LOG" / "job.END");
        fs::remove(dir.path() / "LOG" / "job.LOG");
        testsupport::ChildOptions opts;
        opts.cwd = dir.str();
        opts.env = {{"PELKO_FAIL_WRITE_AFTER", std::to_string(n)},
                    {"PELKO_FAIL_WRITE_COUNT", std::to_string(count)},
                    {"TARVIK_TIME_LIMIT_MS", std::string("500")}};
        testsupport::ChildProcess tarvik(dir.file("Tarvik"), {"job.cmd"}, opts);
        EXPECT_EQ(tarvik.wait(30000), 0) << tarvik.errText();
        const bool hasEnd = dir.exists("LOG/job.END");
        const std::string end = hasEnd ? dir.read("LOG/job.END") : "none";
        const std::string out = dir.read("VZimmerBericht.csv");
        ++ends[end];
        // Never an empty or cut end file.
        if (hasEnd) {
            EXPECT_EQ(end.size(), 3u) << end;
        }
        // "000" only with every record; otherwise a first part of them.
        if (end == "000") {
            EXPECT_EQ(out, records);
        }
        EXPECT_EQ(out, records.substr(0, out.size()));
        // A record that could not be written: status 8, whenever the end
        // file itself can still be written.
        if (out != records && count == 1 && hasEnd) {
            EXPECT_EQ(end, "008");
        }
        // Every log write failed alone leaves the job as it was.
        return end == "000" && out == records && count == 0 &&
               dir.read("LOG/job.LOG").find("END;") != std::string::npos;
    });
    EXPECT_GT(ends["008"], 0);
    EXPECT_GT(ends["none"], 0);
    EXPECT_GT(ends["000"], 0);
}

// The message text file that the driver creates at its first start: a write
// that fails stops the writing; the job runs with the default texts.
TEST(WriteFaults, DriverMessageFile) {
    TempDir dir;
    fs::copy_file(TARVIK_EXE, dir.path() / "Tarvik");
    dir.write("job.cmd", "PROCESS=job\r\nENDFILE=1\r\nWAIT=1\r\n");
    for (long n = 0; n < 3; ++n) {
        fs::remove(dir.path() / "Tarvik.TXT");
        fs::remove(dir.path() / "job.END");
        testsupport::ChildOptions opts;
        opts.cwd = dir.str();
        opts.env = {{"PELKO_FAIL_WRITE_AFTER", std::to_string(n)},
                    {"PELKO_FAIL_WRITE_COUNT", std::string("1")}};
        testsupport::ChildProcess tarvik(dir.file("Tarvik"), {"job.cmd"}, opts);
        EXPECT_EQ(tarvik.wait(), 0);
        // The lines before the failure are there, none after it.
        const std::string txt = dir.read("Tarvik.TXT");
        EXPECT_EQ(std::count(txt.begin(), txt.end(), '\n'), n);
        EXPECT_EQ(dir.read("job.END"), "000");
        EXPECT_NE(dir.read("job.LOG").find(";WAIT;\"1\";0;\"OK\""), std::string::npos);
    }
}

#endif

// ----------------------------------------------- the interface program

#if defined(PELKO_PROGRAMM_EXE)

// The interface program converting the room report for HS-3 (--run
// convert-room-report): every write of the run (receipt counter in the
// settings file, HS3CASH.IN, its copy in ARCHIV) fails in turn. The exit
// status is 0 only for a whole booking file without any message; otherwise
// 1, with the message on standard error. HS3CASH.IN is the previous file or
// the whole new one.
TEST(WriteFaults, InterfaceProgramConvertingTheRoomReport) {
    TempDir dir;
    for (const char* sub : {"prog", "w", "hotel"}) fs::create_directories(dir.path() / sub);
    fs::copy_file(PELKO_PROGRAMM_EXE, dir.path() / "prog" / "Pelko_Programm");
    const std::string ini =
        "[Spezial]\r\nProcessTag=20261211\r\n[HOTEL]\r\nSoftware=0\r\n"
        "HotelVerzeichnis=" +
        dir.file("hotel") + "\r\n[ECR]\r\nBonNummer=41\r\n";
    dir.write("w/VZimmerBericht.csv", sample("RUZ001001001.csv"));
    dir.write("w/VMWST.CSV", sample("D260.csv"));
    dir.write("w/VBED.CSV", sample("D2000.csv"));
    dir.write("hotel/HS3CASH.OUT", "4711;\"101\";\"Meier\"\r\n");
    auto runOnce = [&](long n, long count, std::string& err) {
        dir.write("prog/Pelko_Programm.INI", ini);
        dir.write("hotel/HS3CASH.IN", "previous file\r\n");
        fs::remove_all(dir.path() / "w" / "ARCHIV");
        testsupport::ChildOptions o;
        o.cwd = dir.file("w");
        o.env = {
            {"PELKO_CLOCK", std::string("2026-12-11 12:00:00")},
            {"PELKO_FAIL_WRITE_AFTER", n < 0 ? std::nullopt : std::optional(std::to_string(n))},
            {"PELKO_FAIL_WRITE_COUNT", std::to_string(count)}};
        testsupport::ChildProcess p(dir.file("prog/Pelko_Programm"),
                                    {"--run", "convert-room-report"}, o);
        const int status = p.wait();
        err = p.errText();
        return status;
    };
    std::string err;
    ASSERT_EQ(runOnce(-1, 0, err), 0) << err;
    ASSERT_EQ(err.find("Meldung: "), std::string::npos) << err;
    const std::string whole = dir.read("hotel/HS3CASH.IN");
    ASSERT_GT(whole.size(), 100u);
    forEveryWrite([&](long n, long count) {
        const int status = runOnce(n, count, err);
        const std::string booked = dir.read("hotel/HS3CASH.IN");
        EXPECT_TRUE(booked == whole || booked == "previous file\r\n") << booked;
        const bool reported = err.find("Meldung: ") != std::string::npos;
        EXPECT_EQ(status == 0, booked == whole && !reported) << status << " " << err;
        if (status != 0) {
            EXPECT_TRUE(reported) << err;
        }
        // The receipt counter stored is one that was given out, never less
        // than before.
        plat::IniFile settings(dir.file("prog/Pelko_Programm.INI"));
        EXPECT_GE(settings.readInteger("ECR", "BonNummer", -1), 41);
        EXPECT_EQ(fileCount(dir.path() / "hotel"), 2u);  // HS3CASH.OUT and .IN
        return status == 0 && count == 0;
    });
}

#endif

// The converters of the four hotel software packages on the sample room
// report, and the revenue conversion on the sample journals: every write
// (booking file, ARCHIV copy, XREDUCT.DAT, its XREDUCT/ archive) fails in
// turn. The booking file is the previous one or the whole new one, with a
// message whenever it is not the new one; a copy in ARCHIV is whole.
struct ConverterCase {
    const char* name;
    const char* file;
    std::function<bool(const std::string& w, const std::string& booking,
                       regfiles::MessageSink sink)>
        run;
};

regfiles::GastDaten guestOf(const std::string& room) {
    regfiles::GastDaten g;
    if (room == "101" || room == "204") g.set(room, "\"Meier\"", "4711");
    return g;
}

plat::DateTime fixedTime() {
    return plat::DateTime{2026, 12, 11, 14, 5, 33, 0, 5};
}

regfiles::RoomReportConverter::Setup setupFor(const std::string& w, const std::string& booking,
                                              const char* name, regfiles::MessageSink sink) {
    regfiles::RoomReportConverter::Setup s{w, booking, name, std::move(sink)};
    s.clock = fixedTime;
    return s;
}

const ConverterCase kConverters[] = {
    {"HS-3", hs3::kBookingFile,
     [](const std::string& w, const std::string& b, regfiles::MessageSink sink) {
         hs3::Converter::Steps st;
         st.guestOf = guestOf;
         st.operatorName = [](const std::string&) { return std::string("\"Anna\""); };
         long receipt = 0;
         st.nextReceipt = [&receipt] { return ++receipt; };
         st.clock = fixedTime;
         return hs3::Converter(setupFor(w, b, hs3::kBookingFile, sink), st, "19,00", ',').run();
     }},
    {"Velox", velox::kBookingFile,
     [](const std::string& w, const std::string& b, regfiles::MessageSink sink) {
         velox::Converter::Steps st;
         st.readVatRate = [] { return true; };
         st.guestOf = guestOf;
         st.lookUpOperator = [](const std::string&) {};
         long receipt = 0;
         st.nextReceipt = [&receipt] { return ++receipt; };
         st.clock = fixedTime;
         return velox::Converter(setupFor(w, b, velox::kBookingFile, sink), st).convert();
     }},
    {"hotline", hotline::kBookingFile,
     [](const std::string& w, const std::string& b, regfiles::MessageSink sink) {
         hotline::Converter::Steps st;
         st.guestOf = guestOf;
         st.lookUpOperator = [](const std::string&) {};
         st.clock = fixedTime;
         return hotline::Converter(setupFor(w, b, hotline::kBookingFile, sink), st, ',').convert();
     }},
    {"Protel", protel::kBookingFile,
     [](const std::string& w, const std::string& b, regfiles::MessageSink sink) {
         protel::RoomBookConverter::Steps st;
         st.guestOf = guestOf;
         st.operatorLookup = [](const std::string&) {};
         long receipt = 0;
         st.nextReceipt = [&receipt] { return ++receipt; };
         st.zText = [](std::string&) {};
         st.article = [](std::string&, std::string&) {};
         st.clock = fixedTime;
         return protel::RoomBookConverter(setupFor(w, b, protel::kBookingFile, sink), st).run();
     }},
    {"Protel revenue", protel::kRevenueFile,
     [](const std::string& w, const std::string& b, regfiles::MessageSink sink) {
         protel::RevenueConverter::Setup s;
         s.workingDirectory = w;
         s.revenuePath = b;
         s.registers = 2;
         s.showStop = std::move(sink);
         s.zText = [](std::string&) {};
         s.article = [](std::string&, std::string&) {};
         s.clock = fixedTime;
         return protel::RevenueConverter(s).run();
     }},
};

TEST(WriteFaults, BookingAndRevenueFilesAndTheirCopies) {
    for (const ConverterCase& c : kConverters) {
        SCOPED_TRACE(c.name);
        // The whole file of an untouched run.
        std::string whole;
        {
            TempDir dir;
            dir.write("VZimmerBericht.csv", sample("RUZ001001001.csv"));
            dir.write("VEJournal1.csv", sample("reg01/RUZ010001001.csv"));
            dir.write("VEJournal2.csv", sample("reg02/RUZ010001001.csv"));
            fs::create_directories(dir.path() / "hotel");
            std::vector<std::string> messages;
            ASSERT_TRUE(c.run(dir.str(), dir.file(std::string("hotel/") + c.file),
                              [&](const std::string& m) { messages.push_back(m); }))
                << (messages.empty() ? "" : messages.front());
            whole = dir.read(std::string("hotel/") + c.file);
            ASSERT_GT(whole.size(), 40u);
        }
        forEveryWrite([&](long n, long count) {
            TempDir dir;
            dir.write("VZimmerBericht.csv", sample("RUZ001001001.csv"));
            dir.write("VEJournal1.csv", sample("reg01/RUZ010001001.csv"));
            dir.write("VEJournal2.csv", sample("reg02/RUZ010001001.csv"));
            dir.write(std::string("hotel/") + c.file, "previous file\r\n");
            std::vector<std::string> messages;
            plat::injectWriteFailureAfter(n, count);
            const bool ok = c.run(dir.str(), dir.file(std::string("hotel/") + c.file),
                                  [&](const std::string& m) { messages.push_back(m); });
            plat::injectWriteFailureAfter(-1);
            const std::string booked = dir.read(std::string("hotel/") + c.file);
            EXPECT_TRUE(booked == whole || booked == "previous file\r\n") << booked;
            if (booked != whole) {
                EXPECT_FALSE(ok);
                EXPECT_FALSE(messages.empty());
            }
            // Nothing half-written beside it.
            EXPECT_EQ(fileCount(dir.path() / "hotel"), 1u);
            // A kept copy is whole.
            if (fs::is_directory(dir.path() / "ARCHIV")) {
                for (const auto& e : fs::directory_iterator(dir.path() / "ARCHIV"))
                    EXPECT_EQ(readFile(e.path().string()), whole) << e.path();
            }
            return ok && messages.empty() && booked == whole;
        });
    }
}

// Saving the settings: the settings file and the four command files. The
// settings file is the old one or the new one; the command files are all
// new, or (with a message) all emptied, so that the driver does nothing.
class SettingsWriteFaults : public testsupport::FormTest {};

TEST_F(SettingsWriteFaults, SettingsAndCommandFiles) {
    const std::string oldIni =
        "[Spezial]\r\nProcessTag=20261210\r\n[HOTEL]\r\nSoftware=2\r\n[ECR]\r\nPort=3\r\n"
        "KassenNr=2\r\nKundenID=4711\r\nBerichtsNr=01\r\n";
    std::map<std::string, std::string> wholeFiles;
    std::string wholeIni;
    {
        writeIni(oldIni);
        auto& f = makeForm();
        f.BitBtnSpeichernClick();
        wholeIni = readIni();
        for (const char* name : {"TK.DAT", "TKZH.DAT", "TKZS.DAT", "TKUBH.DAT"})
            wholeFiles[name] = readW(name);
        ASSERT_NE(wholeIni, oldIni);
    }
    forEveryWrite([&](long n, long count) {
        writeIni(oldIni);
        for (const auto& [name, text] : wholeFiles) writeW(name, "old " + name);
        dialogs.shown.clear();
        auto& f = makeForm();
        // From the save on: the start-up is not under test.
        plat::injectWriteFailureAfter(n, count);
        f.BitBtnSpeichernClick();
        plat::injectWriteFailureAfter(-1);
        const std::string ini = readIni();
        EXPECT_TRUE(ini == oldIni || ini == wholeIni) << ini;
        if (ini != wholeIni) {
            EXPECT_TRUE(dialogs.showed("Datei " + iniPath() + " kann nicht geschrieben werden"));
        }
        int whole = 0, empty = 0;
        for (const auto& [name, text] : wholeFiles) {
            const std::string now = readW(name);
            whole += now == text;
            empty += now.empty();
            EXPECT_TRUE(now == text || now.empty()) << name << ": " << now;
        }
        EXPECT_TRUE(whole == 4 || empty == 4) << whole << " whole, " << empty << " empty";
        if (whole != 4) {
            EXPECT_GT(f.failuresReported(), 0);
        }
        for (const auto& e : fs::directory_iterator(w))
            EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
        return ini == wholeIni && whole == 4;
    });
}

// The room list VZIMMERS.CSV (uploaded to the registers) and the room-number
// list VZIMMER.CSV (the numbers the user typed): the old file or the new one.
TEST(WriteFaults, RoomLists) {
    forEveryWrite([&](long n, long count) {
        TempDir dir;
        dir.write("VZIMMER.CSV", "1;1;101;0;Zimmer\r\n2;1;102;0;Zimmer\r\n");
        dir.write("VZIMMERS.CSV", "old\r\n");
        regfiles::GastDaten g;
        std::vector<std::string> messages;
        plat::injectWriteFailureAfter(n, count);
        const regfiles::RoomListResult r = regfiles::writeRoomList(
            dir.str(),
            [](const std::string& room, regfiles::GastDaten& guest) {
                guest = guestOf(room);
                return true;
            },
            g, [&](const std::string& m) { messages.push_back(m); });
        plat::injectWriteFailureAfter(-1);
        const std::string list = dir.read("VZIMMERS.CSV");
        const std::string whole = "1;1;101;0;\"Meier\";\r\n2;1;0;0;\"  \";\r\n";
        EXPECT_TRUE(list == "old\r\n" || list == whole) << list;
        EXPECT_EQ(r == regfiles::RoomListResult::Written, list == whole);
        EXPECT_EQ(messages.empty(), list == whole);
        EXPECT_EQ(fileCount(dir.path()), 2u);
        return list == whole;
    });
}

}  // namespace
