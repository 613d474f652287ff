#include "interface/adapters/FixedWidthFiles.h"

namespace fixedwidth {

bool BlockReader::open(std::string_view path) {
    close();
    return file_.open(path, plat::File::Mode::Read, plat::File::Share::Shared);
}

void BlockReader::close() {
    file_.close();
    buffer_.clear();
    pos_ = 0;
    eof_ = false;
    failed_ = false;
}

bool BlockReader::fill() {
    if (eof_ || !file_.isOpen()) return false;
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    char chunk[4096];
    const long n = file_.read(chunk, sizeof chunk);
    if (n <= 0) {
        failed_ = n < 0;
        eof_ = true;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

int BlockReader::peek(std::size_t ahead) {
    while (pos_ + ahead >= buffer_.size()) {
        if (!fill()) return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_ + ahead]);
}

bool BlockReader::next(std::size_t size, std::string& block) {
    block.clear();
    while (block.size() < size) {
        const int c = peek(0);
        if (c < 0) break;
        if (c == '\r' && peek(1) == '\n') {
            block += '\n';
            pos_ += 2;
        } else {
            block += static_cast<char>(c);
            pos_ += 1;
        }
    }
    return !failed_ && !block.empty();
}

std::string positions(std::string_view block, std::size_t from, std::size_t to) {
    std::string out;
    if (from < 1 || to < from) return out;
    out.reserve(to - from + 1);
    for (std::size_t p = from; p <= to; ++p) {
        const char c = p <= block.size() ? block[p - 1] : ' ';
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return out;
}

std::string trimBlanks(std::string_view text) {
    const std::size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const std::size_t e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

std::string commaToPoint(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == ',') c = '.';
    return out;
}

void RecordBuilder::right(std::string_view text, std::size_t width) {
    if (text.size() > width) {
        fits_ = false;
        text_.append(width, ' ');
        return;
    }
    text_.append(width - text.size(), ' ');
    text_ += text;
}

void RecordBuilder::left(std::string_view text, std::size_t width) {
    if (text.size() > width) {
        fits_ = false;
        text_.append(width, ' ');
        return;
    }
    text_ += text;
    text_.append(width - text.size(), ' ');
}

void RecordBuilder::leftCut(std::string_view text, std::size_t width) {
    left(text.substr(0, width), width);
}

void RecordBuilder::fixed(std::string_view text) {
    text_ += text;
}

std::string notFittingLinesMessage(const std::string& bookingName,
                                   const std::vector<long>& lineNumbers) {
    std::string text = std::string(regfiles::kRoomReportMessageName) + ": " +
                       std::to_string(lineNumbers.size()) +
                       (lineNumbers.size() == 1 ? " Buchungszeile" : " Buchungszeilen") +
                       " nicht übertragen, Wert zu lang für " + bookingName + " (Zeile";
    const std::size_t shown = lineNumbers.size() < 10 ? lineNumbers.size() : 10;
    for (std::size_t i = 0; i < shown; ++i)
        text += (i == 0 ? " " : ", ") + std::to_string(lineNumbers[i]);
    if (shown < lineNumbers.size()) text += ", ...";
    text += ")";
    return text;
}

bool RecordConverter::convert() {
    notFitting_.clear();
    if (!beforeReading()) return false;
    bool ok = run();
    if (!notFitting_.empty()) {
        showStop(notFittingLinesMessage(setup().bookingName, notFitting_));
        ok = false;
    }
    return ok;
}

bool RecordConverter::writeFixedRecord(const RecordBuilder& record,
                                       const regfiles::RoomReportLine& line) {
    if (!record.fits()) {
        notFitting_.push_back(line.lineNumber);
        return true;
    }
    return writeRecord(record.text());
}

}  // namespace fixedwidth
