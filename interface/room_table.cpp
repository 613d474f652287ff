// The room-number table (StringGrid1): one row per entry of the register's
// room table, holding the hotel's room number for it; stored as the
// room-number list VZIMMER.CSV in the working directory. And the program
// fetch, which has the driver fetch the register's tables and sizes the
// table after the register's room table VZ.CSV.
//
// Bounds: lines of VZ.CSV and VZIMMER.CSV are read up to 149 characters; the
// rest of a longer line is left out (it is not read as a line of its own,
// which would give every later room the number of the room before it).
// Fields are cut to 49 characters. A room number is written cut to 49
// characters and without ";" and line breaks, which would split its line.
// The table has at most TStringGrid::kMaxRows rows.
#include "interface/form_pelko.h"
#include "interface/registerfiles/line_splitter.h"
#include "platform/file.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace pelko {
namespace {

std::string roomNumberForList(const std::string& cell) {
    std::string out;
    for (char c : cell) {
        if (c == ';' || c == '\r' || c == '\n') continue;
        if (out.size() == regfiles::kMaxField) break;
        out += c;
    }
    return out;
}

}  // namespace

void TFormPelko::ZimmerNrHolen() {
    FileWork work(*this);
    std::string path = workFile("VZIMMER.CSV");
    if (!plat::fileExists(path)) return;
    regfiles::LineReader in;
    if (!in.open(path)) {
        Meldung("Datei VZimmer.csv kann nicht gelesen werden");
        return;
    }
    int row = 0;
    std::string line;
    while (in.readLineCut(line)) {
        std::vector<std::string> fields = regfiles::splitPlain(line, ';');
        if (fields.size() >= 3) StringGrid1.setCell(1, ++row, fields[2]);
    }
}

void TFormPelko::StringGrid1Exit() {
    FileWork work(*this);
    regfiles::LineReader in;
    if (!in.open(workFile("VZ.CSV"))) {
        Meldung("Datei VZ.CSV kann nicht gelesen werden");
        return;
    }
    std::string out;
    int row = 0;
    std::string line;
    while (in.readLineCut(line)) {
        std::vector<std::string> fields = regfiles::splitPlain(line, ';');
        std::string o;
        for (std::size_t i = 0; i < fields.size() && i < 5; ++i) {
            switch (i) {
                case 0:
                    o = fields[0] + ";";
                    break;
                case 1:
                    o += fields[1] + ";";
                    break;
                case 2:
                    o += roomNumberForList(StringGrid1.cell(1, ++row)) + ";";
                    break;
                case 3:
                    o += fields[3] + ";";
                    break;
                case 4:
                    o += fields[4];
                    break;
            }
        }
        if (o.empty() || o.front() == ' ') continue;
        out += o + "\n";
    }
    if (!plat::replaceFileContents(workFile("VZIMMER.CSV"), plat::toCrLf(out)))
        Meldung("Datei VZimmer.csv kann nicht gelesen werden");
}

void TFormPelko::BitBtnProgVonKasseClick() {
    if (!Frage("Sind Sie sicher ? \nDas Programm von der Kasse holen", "Meldung",
               DialogRequest::Icon::Stop))
        return;
    ProgrammHolen();
}

void TFormPelko::ProgrammHolen() {
    jobKind = kJobProgramFetch;
    DriverStarten();

    FileWork work(*this);
    regfiles::LineReader in;
    if (!in.open(workFile("VZ.CSV"))) {
        Meldung("Datei VZ.CSV kann nicht gelesen werden");
        return;
    }
    long lines = 0;
    std::string line;
    while (in.readLineCut(line) && lines < ui::TStringGrid::kMaxRows) ++lines;
    StringGrid1.setRowCount(static_cast<int>(lines) + 1);
    for (int r = 1; r < StringGrid1.rowCount(); ++r) StringGrid1.setCell(0, r, std::to_string(r));
    if (!plat::writeProfileInteger(settingsFile_, "HOTEL", "AnzahlZimmer", StringGrid1.rowCount()))
        Meldung("Datei " + settingsFile_ + " kann nicht geschrieben werden");
    StringGrid1Exit();
}

}  // namespace pelko
