#include "interface/registerfiles/room_report.h"

#include "interface/registerfiles/numbers.h"
#include "platform/paths.h"

namespace regfiles {

long RoomReportLine::tabellenNr() const {
    return readLeadingLong(TabellenNr);
}
long RoomReportLine::eintragNr() const {
    return readLeadingLong(EintragNr);
}

bool readRoomReport(LineReader& report, RoomReportSteps& steps) {
    std::string previousRoom = " ";
    std::string piece;
    long lineNumber = 0;
    // The rest of an overlong line is cut off, never read as a line.
    while (report.readLineCut(piece)) {
        ++lineNumber;
        RoomReportLine line;
        line.lineNumber = lineNumber;
        const std::vector<std::string> fields = splitPlain(piece, ';');
        for (const std::string& field : fields) {
            const int no = ++line.fieldCount;
            if (no > RoomReportLine::kFieldCount) continue;
            const std::string value =
                field.substr(0, RoomReportLine::kWidths[static_cast<std::size_t>(no - 1)]);
            switch (no) {
                case 1:
                    line.Satzart = value;
                    break;
                case 2:
                    line.ZimmerNr = value;
                    break;
                case 3:
                    line.BedienerNr = value;
                    break;
                case 4:
                    line.TabellenNr = value;
                    break;
                case 5:
                    line.EintragNr = value;
                    break;
                case 6:
                    line.Text = value;
                    break;
                case 7:
                    line.Menge = value;
                    break;
                case 8:
                    line.Betrag = value;
                    break;
            }
            if (no == 1 && !line.isRoomBooking()) break;
            if (no == 2 && line.ZimmerNr != previousRoom) {
                steps.roomChanged(line);
                previousRoom = line.ZimmerNr;
            }
            if (no == 3) steps.operatorRead(line);
        }
        if (!steps.lineEnd(line)) return false;
    }
    return true;
}

long ReceiptCounter::next() {
    ++value_;
    if (store_) store_(value_);
    return value_;
}

bool BookingWriter::create(const std::string& path) {
    failed_ = false;
    return file_.open(path, plat::File::Mode::Create, plat::File::Share::Shared);
}

bool BookingWriter::writeLine(std::string_view line) {
    if (failed_) return false;
    std::string out(line);
    out += "\r\n";
    if (!file_.write(out)) failed_ = true;
    return !failed_;
}

bool BookingWriter::writeRecord(std::string_view record) {
    if (failed_) return false;
    if (!file_.write(record)) failed_ = true;
    return !failed_;
}

std::string incompleteLinesMessage(const std::vector<long>& lineNumbers) {
    std::string text = std::string(kRoomReportMessageName) + ": " +
                       std::to_string(lineNumbers.size()) +
                       (lineNumbers.size() == 1 ? " unvollständige Buchungszeile"
                                                : " unvollständige Buchungszeilen") +
                       " nicht übertragen (Zeile";
    const std::size_t shown = lineNumbers.size() < 10 ? lineNumbers.size() : 10;
    for (std::size_t i = 0; i < shown; ++i)
        text += (i == 0 ? " " : ", ") + std::to_string(lineNumbers[i]);
    if (shown < lineNumbers.size()) text += ", ...";
    text += ")";
    return text;
}

bool RoomReportConverter::run() {
    messageShown_ = false;
    incomplete_.clear();
    LineReader report;
    if (!report.open(plat::joinPath(setup_.workingDirectory, kRoomReportFile))) {
        showStop(cannotReadMessage(kRoomReportMessageName));
        return false;
    }
    if (!writer_.create(setup_.bookingPath)) {
        showStop(cannotReadMessage(setup_.bookingName));
        return false;
    }
    const bool read = readRoomReport(report, *this);
    const bool readFailed = report.failed();
    writer_.close();
    report.close();
    (void)read;
    if (writer_.failed()) showStop(cannotWriteMessage(setup_.bookingName));
    if (readFailed) showStop(cannotReadMessage(kRoomReportMessageName));
    if (!incomplete_.empty()) showStop(incompleteLinesMessage(incomplete_));
    return !messageShown_;
}

bool RoomReportConverter::writeBooking(std::string_view line) {
    return writer_.writeLine(line);
}

bool RoomReportConverter::writeRecord(std::string_view record) {
    return writer_.writeRecord(record);
}

void RoomReportConverter::noteIncomplete(const RoomReportLine& line) {
    incomplete_.push_back(line.lineNumber);
}

void RoomReportConverter::showStop(const std::string& text) {
    messageShown_ = true;
    if (setup_.showStop) setup_.showStop(text);
}

}  // namespace regfiles
