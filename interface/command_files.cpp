// The four command files the program keeps ready for the register driver in
// the working directory, rewritten together at every save:
//   TK.DAT     room report of register 1 into VZimmerBericht.csv
//   TKZH.DAT   the register's tables (VZ.CSV, VMWST.CSV, VBED.CSV; with
//              Protel also VZtxt.CSV and VART.CSV)
//   TKZS.DAT   upload of VZIMMERS.CSV to every register
//   TKUBH.DAT  revenue report of every register n into VEJournal<n>.csv
// Lines end with CR LF; an empty line follows the last one.
//
// Each is written beside its place and renamed into it. When one of them
// cannot be opened or written, the message names it and all four are emptied: an emptied command file makes the driver do nothing
// (and leave no end file), while one left from an earlier save would run
// with yesterday's log name, so that its result would never be evaluated.
#include <cstdlib>
#include <string>

#include "interface/form_pelko.h"
#include "platform/file.h"
#include "platform/text.h"

namespace pelko {
namespace {

struct CommandFile {
    const char* name;     // in the working directory
    const char* message;  // what the failure message calls it
    std::string lines;
    void add(const std::string& line) { lines += line + "\n"; }
};

}  // namespace

// "read as an integer, 1 when not a number"
int TFormPelko::KassenAnzahl() const {
    const std::string& text = MaskEditKassAnz.text();
    if (text.empty()) return 1;
    for (char c : text)
        if (c < '0' || c > '9') return 1;
    return std::atoi(text.c_str());
}

void TFormPelko::DriverDateiErstellen() {
    FileWork work(*this);
    const std::string& w = workDir;
    const int registers = KassenAnzahl();
    const bool several = registers > 1;
    const std::string& login = MaskEditKund_Id.text();
    const bool withLogin = !login.empty();
    const std::string roomReportNo = MaskEditBerNr.text();
    const std::string revenueReportNo = MaskEditUmsBerNr.text();

    CommandFile tk{"TK.DAT", "tk.dat", {}};
    CommandFile tkzh{"TKZH.DAT", "tkzh.dat", {}};
    CommandFile tkzs{"TKZS.DAT", "tkzs.dat", {}};
    CommandFile tkubh{"TKUBH.DAT", "tkubh.dat", {}};
    CommandFile* all[4] = {&tk, &tkzh, &tkzs, &tkubh};

    for (CommandFile* f : all) {
        f->add("PROCESS=" + w + "/LOG/" + processDay);
        f->add(CheckBoxSichtbar.checked() ? "VISIBLE=0" : "VISIBLE=1");
        f->add("CLEARLOG=0");
        f->add("ENDFILE=1");
        f->add("WAIT=500");
        if (ComboBoxPort.itemIndex() == 17) {
            f->add("PORT=9999");
            f->add("IP=" + registerAddress);
        } else {
            f->add("PORT=" + std::to_string(ComboBoxPort.itemIndex()));
            f->add("BAUDRATE=" + ComboBoxBaud.text());
        }
        if (several) f->add("REGISTER=1");
        if (withLogin) f->add("COMMAND=LI" + login);
    }

    tk.add("NEWFILE=" + w + "/VZimmerBericht.csv");
    tk.add(std::string("COMMAND=R") + (several ? "u" : "U") + "Z0" + roomReportNo + "001001");
    tkubh.add("NEWFILE=" + w + "/VEJournal1.csv");
    tkubh.add("COMMAND=RUZ" + revenueReportNo + "001001");
    tkzh.add("NEWFILE=" + w + "/VZ.CSV");
    tkzh.add("COMMAND=D250");
    tkzh.add("NEWFILE=" + w + "/VMWST.CSV");
    tkzh.add("COMMAND=D260");
    tkzh.add("NEWFILE=" + w + "/VBED.CSV");
    tkzh.add("COMMAND=D2000");
    if (hotelSoftware() == kProtel) {
        tkzh.add("NEWFILE=" + w + "/VZtxt.CSV");
        tkzh.add("COMMAND=D4000");
        tkzh.add("NEWFILE=" + w + "/VART.CSV");
        tkzh.add("COMMAND=D10000");
    }
    tkzs.add("UPLOAD=" + w + "/VZIMMERS.CSV");
    if (withLogin)
        for (CommandFile* f : all) f->add("COMMAND=LO");

    for (int n = 2; n <= registers; ++n) {
        const std::string no = std::to_string(n);
        tkzs.add("REGISTER=" + no);
        tkubh.add("REGISTER=" + no);
        if (withLogin) {
            tkzs.add("COMMAND=LI" + login);
            tkubh.add("COMMAND=LI" + login);
        }
        tkzs.add("UPLOAD=" + w + "/VZIMMERS.CSV");
        tkubh.add("NEWFILE=" + w + "/VEJournal" + no + ".csv");
        tkubh.add("COMMAND=RUZ" + revenueReportNo + "001001");
        if (withLogin) {
            tkzs.add("COMMAND=LO");
            tkubh.add("COMMAND=LO");
        }
    }
    for (CommandFile* f : all) f->lines += "\n";

    for (CommandFile* f : all) {
        // Each file is written beside its place and put there whole: the
        // driver never reads a command file cut in the middle of a line.
        plat::ReplacingFile file;
        if (!file.open(workFile(f->name))) {
            ++failuresReported_;
            MeldungInfo(std::string(f->message) + " kann nicht geöffnet werden");
        } else if (!file.write(plat::toCrLf(f->lines)) || !file.commit()) {
            ++failuresReported_;
            MeldungInfo(std::string(f->message) + " kann nicht geschrieben werden");
        } else {
            continue;
        }
        file.discard();
        for (CommandFile* g : all) {
            plat::File empty;
            empty.open(workFile(g->name), plat::File::Mode::Create);
        }
        return;
    }
}

}  // namespace pelko
