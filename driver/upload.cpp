// UPLOAD: sends a file to the register line by line ("U" and the line), for
// example the room list. Lines stored in offset encoding (by the B variants
// of the output files) are decoded on the way, so they reach the register as
// they came from it.
#include <cstring>

#include "driver/command_file.h"
#include "driver/main_form.h"

namespace tarvik {

static_assert(1 + UploadLineReader::kMaxLine <= kMessageBufferSize);

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
