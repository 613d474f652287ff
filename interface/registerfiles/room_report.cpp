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
    copy_.discard();
    return file_.open(path);
}

bool BookingWriter::keepCopy(const std::string& workingDirectory, const std::string& fileName,
                             const plat::DateTime& t) {
    return copy_.open(workingDirectory, fileName, t);
}

bool BookingWriter::write(std::string_view bytes) {
    if (!file_.write(bytes)) return false;
    if (copy_.isOpen()) (void)copy_.write(bytes);
    return true;
}

bool BookingWriter::writeLine(std::string_view line) {
    std::string out(line);
    out += "\r\n";
    return write(out);
}

bool BookingWriter::writeRecord(std::string_view record) {
    return write(record);
}

bool BookingWriter::finish(bool& copyKept) {
    copyKept = false;
    if (file_.failed()) {
        close();
        return false;
    }
    // The copy first: a booking file in place always has its copy.
    if (copy_.isOpen()) copyKept = copy_.finish();
    if (file_.commit()) return true;
    // Not delivered: no copy either.
    if (copyKept) copy_.remove();
    copyKept = false;
    return false;
}

void BookingWriter::close() {
    file_.discard();
    copy_.discard();
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
    bool copyStarted = false;
    if (setup_.keepCopy) {
        copyStarted = writer_.keepCopy(setup_.workingDirectory, setup_.bookingName,
                                       setup_.clock ? setup_.clock() : plat::now());
        if (!copyStarted) showStop(copyMessage(writer_.copyName()));
    }
    report_ = &report;
    const bool read = readRoomReport(report, *this, splitOptions());
    report_ = nullptr;
    const bool readFailed = report.failed();
    report.close();
    (void)read;
    const bool copyFailed = writer_.copyFailed();
    if (setup_.beforePublish) setup_.beforePublish();
    bool copyKept = false;
    if (!writer_.finish(copyKept)) {
        showStop(cannotWriteMessage(setup_.bookingName));
    } else if (copyStarted && (copyFailed || !copyKept)) {
        showStop(copyMessage(writer_.copyName()));
    }
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
