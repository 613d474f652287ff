// COMMAND: a single command with a one-message answer (login, logout, clock
// and other "C", "L" and "T" commands), or a report whose records arrive one
// by one, each acknowledged, into the output file.
#include <cstring>

#include "driver/main_form.h"
#include "platform/clock.h"

namespace tarvik {

// Register commands need a link, and through a modem a connection.
bool TMainForm::registerCommandAllowed() {
    if (!link_.open()) {
        status_ = kPortNotOpen;
        return false;
    }
    if (link_.modem == ModemState::ModemReady || link_.modem == ModemState::ModemSilent) {
        status_ = kNoConnection;
        return false;
    }
    return true;
}

void TMainForm::doCommand() {
    if (!registerCommandAllowed()) return;
    std::size_t len = std::min(value_.size(), kMessageBufferSize);
    std::memcpy(sendBuf_, value_.data(), len);
    const char kind = value_[0];
    const bool single = kind == 'C' || kind == 'L' || kind == 'T';
    if (value_ == "TSYSTEM") {
        const plat::DateTime t = plat::now();
        const std::string clock = clockMessage(t.hour, t.minute, t.second, t.day, t.month, t.year);
        len = clock.size();
        std::memcpy(sendBuf_, clock.data(), len);
    }
    if (!single && !outputFile_.isOpen()) {
        status_ = kFileNotOpen;
        return;
    }
    // A login shows only "LI": the identifier stays hidden.
    window_.setCommand(kind == 'L' ? std::string_view(value_).substr(0, 2)
                                   : std::string_view(value_));
    window_.setStatus(messages_.text(kMsgSending));
    window_.setRecords("0");

    std::memset(previousRecord_, 0, sizeof previousRecord_);
    previousLength_ = 0;
    long records = 0;
    bool confirming = false;  // a lone ACK answered our acknowledgement
    for (;;) {
        window_.refresh();
        const std::size_t n = transaction(len, attemptTimeLimit());
        if (n == 0) break;
        if (answer_[0] == ACK) {
            // A lone ACK that answers our own acknowledgement may be that
            // acknowledgement coming back on a line that echoes: on UDP, and
            // on a serial line without register prefix, it looks the same as
            // the register's "done". Taking it for the end would lose the
            // rest of the report unnoticed. So the register is asked for its
            // last answer once more (NAK): a register that has ended the
            // report answers with its ACK again, one still in the report
            // sends its last record again (a repeat, not written twice), and
            // the report goes on.
            if (!single && n == 1 && len == 1 && !confirming) {
                confirming = true;
                sendBuf_[0] = NAK;
                continue;
            }
            // The final answer; a lone ACK means done.
            status_ = commandStatusForReason(n > 1 ? answer_[1] : 0);
            break;
        }
        confirming = false;
        if (single) break;  // any other answer is taken without being stored
        // The register sends its last record again when our acknowledgement
        // got lost: a record equal to the previous one is written once.
        const bool repeat = n == previousLength_ && std::memcmp(answer_, previousRecord_, n) == 0;
        if (!repeat) {
            ++records;
            window_.setStatus(messages_.text(kMsgReceiving));
            window_.setRecords(std::to_string(records));
            std::memcpy(previousRecord_, answer_, n);
            previousLength_ = n;
            if (!storeRecord(n)) break;
        }
        sendBuf_[0] = ACK;
        len = 1;
    }
    if (status_ == kUserBreak || status_ == kErrorWritingFile) cancel();
}

// Writes the received record (the answer of n bytes) as one line of the output
// file. A compressed record (SO ...) is expanded first; one that cannot be
// expanded within the bound is not written at all and counts as a record that
// cannot be written (status 8), like a failed write.
bool TMainForm::storeRecord(std::size_t n) {
    std::string_view record(reinterpret_cast<const char*>(answer_), n);
    std::uint8_t expanded[kMaxExpandedRecord];
    if (answer_[0] == SO) {
        const ExpandResult r = expandRecord(answer_, n, expanded, sizeof expanded);
        if (r.status != ExpandStatus::Ok) {
            status_ = kErrorWritingFile;
            return false;
        }
        record = std::string_view(reinterpret_cast<const char*>(expanded), r.length);
    }
    if (!writeRecord(record)) {
        status_ = kErrorWritingFile;
        return false;
    }
    return true;
}

}  // namespace tarvik
