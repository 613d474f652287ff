// UPLOAD: sends a file to the register line by line ("U" and the line), for
// example the room list. Lines stored in offset encoding (by the B variants
// of the output files) are decoded on the way, so they reach the register as
// they came from it.
#include <cstring>

#include "driver/main_form.h"

namespace tarvik {

namespace {

// The lines of an upload file: at most kMaxLine characters of a line are
// sent, the rest of a longer line is dropped; carriage returns are dropped
// wherever they stand; a line feed ends a line, and so does the end of the
// file. A line whose first byte is 0x00..0x09, 0xDA or 0xDD is in offset
// encoding: 0x30 is added to each of its bytes before the line end is looked
// for (so its line end is DD DA).
class UploadLineReader {
  public:
    static constexpr std::size_t kMaxLine = kMessageBufferSize - 2;

    explicit UploadLineReader(plat::File& file) : file_(file) {}

    bool next(std::string& line) {
        line.clear();
        bool any = false;
        bool encoded = false;
        std::uint8_t b = 0;
        while (get(b)) {
            if (!any) encoded = isOffsetEncodedLine(b);
            any = true;
            if (encoded) b = static_cast<std::uint8_t>(b + 0x30);
            if (b == '\n') return true;
            if (b == '\r') continue;
            if (line.size() < kMaxLine) line.push_back(static_cast<char>(b));
        }
        return any;
    }

  private:
    bool get(std::uint8_t& b) {
        if (pos_ == len_) {
            const long n = file_.read(buf_, sizeof buf_);
            if (n <= 0) return false;  // the end, or a read error
            pos_ = 0;
            len_ = static_cast<std::size_t>(n);
        }
        b = buf_[pos_++];
        return true;
    }

    plat::File& file_;
    std::uint8_t buf_[4096];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

}  // namespace

void TMainForm::doUpload() {
    if (!registerCommandAllowed()) return;
    window_.setCommand("UPLOAD");
    plat::File file;
    if (!file.open(value_, plat::File::Mode::Read, plat::File::Share::Exclusive)) {
        status_ = kErrorOpeningFile;
        return;
    }
    UploadLineReader reader(file);
    std::string line;
    for (long sent = 0;; ++sent) {
        window_.setStatus(messages_.text(kMsgSending));
        window_.setRecords(std::to_string(sent));
        window_.refresh();
        if (!reader.next(line)) break;
        sendBuf_[0] = 'U';
        std::memcpy(sendBuf_ + 1, line.data(), line.size());
        const std::size_t n = transaction(1 + line.size(), attemptTimeLimit());
        if (n == 0) break;
        if (answer_[0] == ACK && n > 1) {
            const int code = uploadStatusForReason(answer_[1]);
            if (code != kOk) {
                status_ = code;
                break;
            }
        }
    }
    file.close();
}

}  // namespace tarvik
