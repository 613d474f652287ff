// The settings file as the interface program reads it at start-up, with the
// room-number list VZIMMER.CSV and the register's room table VZ.CSV: any
// bytes start the program (reported, never a crash), and saving writes
// command files the driver reads as the program means them: only the known
// keywords, and every file they name inside the working directory.
#include <unistd.h>

#include <set>

#include "driver/command_file.h"
#include "fuzz/fuzz_support.h"
#include "interface/form_pelko.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace {

class Dialogs : public pelko::DialogPort {
  public:
    pelko::DialogAnswer ask(const pelko::DialogRequest& request) override {
        pelko::DialogAnswer a;
        a.button = request.kind == pelko::DialogRequest::Kind::Input
                       ? pelko::DialogAnswer::Button::Cancel
                       : pelko::DialogAnswer::Button::Ok;
        return a;
    }
};

class NoDriver : public pelko::DriverLauncher {
  public:
    bool run(const std::string&, const std::string&) override { return false; }
};

void checkCommandFile(const std::string& path, const std::string& workDir) {
    static const std::set<std::string> known = {"PROCESS",  "VISIBLE", "CLEARLOG", "ENDFILE",
                                                "WAIT",     "PORT",    "BAUDRATE", "IP",
                                                "REGISTER", "COMMAND", "NEWFILE",  "UPLOAD"};
    plat::File f;
    FUZZ_CHECK(f.open(path, plat::File::Mode::Read, plat::File::Share::Shared));
    tarvik::CommandFileReader reader;
    reader.attach(&f);
    tarvik::CommandLine line;
    while (reader.next(line)) {
        FUZZ_CHECK(!line.damaged);
        FUZZ_CHECK(known.count(line.keyword) == 1);
        if (line.keyword == "PROCESS" || line.keyword == "NEWFILE" || line.keyword == "UPLOAD") {
            FUZZ_CHECK(plat::dirName(line.value) == workDir ||
                       plat::dirName(line.value) == workDir + "/LOG");
            FUZZ_CHECK(line.value.find("/../") == std::string::npos);
        }
    }
}

}  // namespace

FUZZ_TARGET(settings_startup)(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts =
        fuzzsupport::splitParts(fuzzsupport::asText(data, size), 3);
    fuzzsupport::clearScratch();
    const std::string prog = fuzzsupport::scratchFile("prog");
    const std::string w = fuzzsupport::scratchFile("w");
    FUZZ_CHECK(plat::makeDirectory(prog) && plat::makeDirectory(w));
    fuzzsupport::writeScratch("prog/Pelko_Programm.INI", parts[0]);
    if (!parts[1].empty()) fuzzsupport::writeScratch("w/VZIMMER.CSV", parts[1]);
    if (!parts[2].empty()) fuzzsupport::writeScratch("w/VZ.CSV", parts[2]);
    const std::string oldCwd = plat::currentDirectory();
    FUZZ_CHECK(plat::changeDirectory(w));

    Dialogs dialogs;
    NoDriver driver;
    pelko::FormEnvironment env;
    env.dialogs = &dialogs;
    env.driver = &driver;
    env.settingsFile = prog + "/Pelko_Programm.INI";
    env.programDir = prog;
    {
        pelko::TFormPelko form(env);
        form.FormShow();
        FUZZ_CHECK(form.StringGrid1.rowCount() >= 1);
        for (int n = 1; n <= 5; ++n) (void)form.DateTimePicker(n).dateTime();
        // Unlock, as an installer would, then save and leave the table.
        form.locked = false;
        form.BitBtnSpeichernClick();
        form.StringGrid1Exit();
        const std::string workDir = form.workDir;
        for (const char* name : {"TK.DAT", "TKZH.DAT", "TKZS.DAT", "TKUBH.DAT"})
            checkCommandFile(plat::joinPath(workDir, name), workDir);
        // What was saved is read back as saved.
        pelko::TFormPelko again(env);
        again.FormShow();
        FUZZ_CHECK(again.ComboBoxHotelsoftware.itemIndex() ==
                   form.ComboBoxHotelsoftware.itemIndex());
        // (A lone carriage return inside a value is saved as a blank, and
        // the value is then read as any value: without blanks and quotes
        // around it.)
        auto saved = [](std::string s) {
            for (char& c : s)
                if (c == '\r') c = ' ';
            auto blank = [](char c) { return c == ' ' || c == '\t'; };
            while (!s.empty() && blank(s.front())) s.erase(s.begin());
            while (!s.empty() && blank(s.back())) s.pop_back();
            if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
                s = s.substr(1, s.size() - 2);
            return s;
        };
        FUZZ_CHECK(again.MaskEditKund_Id.text() == saved(form.MaskEditKund_Id.text()));
        FUZZ_CHECK(again.EditHotelTransfer.text() == saved(form.EditHotelTransfer.text()));
        FUZZ_CHECK(again.receiptCounter == form.receiptCounter);
    }
    FUZZ_CHECK(plat::changeDirectory(oldCwd));
    return 0;
}
