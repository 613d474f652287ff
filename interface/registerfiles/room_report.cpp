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

RoomReportLine splitRoomReportLine(std::string_view piece, const SplitOptions& options) {
    RoomReportLine line;
    for (const std::string& field : splitLine(piece, options)) {
        const int no = ++line.fieldCount;
        if (no > RoomReportLine::kFieldCount) continue;
        std::string value =
            field.substr(0, RoomReportLine::kWidths[static_cast<std::size_t>(no - 1)]);
        switch (no) {
            case 1:
                line.Satzart = std::move(value);
                break;
            case 2:
                line.ZimmerNr = std::move(value);
                break;
            case 3:
                line.BedienerNr = std::move(value);
                break;
            case 4:
                line.TabellenNr = std::move(value);
                break;
            case 5:
                line.EintragNr = std::move(value);
                break;
            case 6:
                line.Text = std::move(value);
                break;
            case 7:
                line.Menge = std::move(value);
                break;
            case 8:
                line.Betrag = std::move(value);
                break;
        }
        if (no == 1 && !line.isRoomBooking()) break;
    }
    return line;
}

namespace {

// The line as far as its field `count`: what the steps see in the middle of
// a line.
RoomReportLine upToField(const RoomReportLine& line, int count) {
    RoomReportLine part;
    part.Satzart = line.Satzart;
    part.ZimmerNr = line.ZimmerNr;
    if (count >= 3) part.BedienerNr = line.BedienerNr;
    part.fieldCount = count;
    part.lineNumber = line.lineNumber;
    return part;
}

}  // namespace

bool readRoomReport(LineReader& report, RoomReportSteps& steps, const SplitOptions& options) {
    std::string previousRoom = " ";
    std::string piece;
    long lineNumber = 0;
    // The rest of an overlong line is cut off, never read as a line.
    while (report.readLineCut(piece)) {
        RoomReportLine line = splitRoomReportLine(piece, options);
        line.lineNumber = ++lineNumber;
        if (line.isRoomBooking()) {
            if (line.fieldCount >= 2 && line.ZimmerNr != previousRoom) {
                steps.roomChanged(upToField(line, 2));
                previousRoom = line.ZimmerNr;
            }
            if (line.fieldCount >= 3) steps.operatorRead(upToField(line, 3));
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
    return incompleteLinesMessage(kRoomReportMessageName, lineNumbers);
}

std::string incompleteLinesMessage(const std::string& fileName,
                                   const std::vector<long>& lineNumbers) {
    std::string text = fileName + ": " + std::to_string(lineNumbers.size()) +
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
    report_ = &report;
    const bool read = readRoomReport(report, *this, splitOptions());
    report_ = nullptr;
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
