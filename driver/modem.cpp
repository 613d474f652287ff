// The modem on the serial port: MODEMINIT, DIAL and HANGUP, the wait for the
// modem's answer line, and hanging up.
//
// Modem states: direct (no modem in use; every PORT, HANGUP=0), connected (a
// DIAL answered CONNECT), modem ready (the modem answered MODEMINIT, a DIAL
// failed, or a connection was hung up) and modem silent (the modem did not
// answer in time; every later modem command ends with "No Answer" at once).
#include <cctype>

#include "driver/main_form.h"
#include "platform/clock.h"

namespace tarvik {

namespace {

constexpr int kDialPauseMs = 500;
constexpr int kModemInitPauseMs = 50;
constexpr int kHangUpLinesOffMs = 1500;

std::string upperCased(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

void TMainForm::doModem() {
    if (!link_.serial.isOpen()) {
        status_ = kPortNotOpen;
        return;
    }
    if (link_.modem == ModemState::ModemSilent) {
        status_ = kNoAnswer;
        return;
    }
    window_.setCommand(keyword_);
    window_.setStatus(messages_.text(kMsgSending));
    window_.setRecords(value_);

    if (keyword_ == "HANGUP" || link_.modem == ModemState::Connected) {
        if (keyword_ == "HANGUP" && readInteger(value_) == 0) {
            // No hang-up: the modem is taken as not in use.
            if (link_.modem == ModemState::ModemReady) status_ = kNoConnection;
            link_.modem = ModemState::Direct;
        } else {
            hangUp();
        }
        return;
    }

    flushInput();
    sendModemLine(value_);
    const bool dial = keyword_ == "DIAL";
    std::string line;
    if (!waitModemAnswer(dial ? limits_.dialMs : limits_.modemInitMs,
                         dial ? kDialPauseMs : kModemInitPauseMs, line)) {
        return;
    }
    const std::string shown = upperCased(line);
    window_.setStatus(shown);
    if (dial) {
        if (shown.find("CONNECT") != std::string::npos) {
            link_.modem = ModemState::Connected;
        } else {
            status_ = kNoConnection;
            link_.modem = ModemState::ModemReady;
        }
    } else {
        link_.modem = ModemState::ModemReady;
        if (shown.find("OK") == std::string::npos) status_ = kInvalidCommand;
    }
}

// The text as raw bytes, then CR LF.
bool TMainForm::sendModemLine(std::string_view text) {
    bool ok = true;
    for (char c : text) ok = sendRawByte(static_cast<std::uint8_t>(c)) && ok;
    ok = sendRawByte('\r') && ok;
    return sendRawByte('\n') && ok;
}

// Reads the modem's lines into a 1056-byte buffer (a longer line wraps to its
// start, so only its end is kept). A line of fewer than 3 bytes (the line
// feed counted) and a line that begins with "AT" (the modem's echo of our
// command) are skipped; the first other line is the answer, given without its
// line end. While nothing comes, it pauses `pauseMs` (waking when a byte
// arrives) and processes window events. After `limitMs`: status 5 and modem
// silent. A User Break ends the wait.
bool TMainForm::waitModemAnswer(int limitMs, int pauseMs, std::string& answerLine) {
    std::uint8_t buf[kMessageBufferSize];
    std::size_t pos = 0;
    const std::uint64_t start = plat::tickCount();
    for (;;) {
        if (status_ != kOk) return false;
        const std::uint64_t elapsed = plat::tickCount() - start;
        if (elapsed >= static_cast<std::uint64_t>(limitMs)) {
            status_ = kNoAnswer;
            link_.modem = ModemState::ModemSilent;
            return false;
        }
        std::uint8_t b = 0;
        if (link_.serial.readByte(b) != kPortOk) {
            const std::uint64_t left = static_cast<std::uint64_t>(limitMs) - elapsed;
            (void)link_.serial.waitReadable(
                static_cast<int>(left < static_cast<std::uint64_t>(pauseMs) ? left : pauseMs));
            window_.refresh();
            continue;
        }
        buf[pos++] = b;
        if (pos == sizeof buf) pos = 0;
        if (b != '\n') continue;
        const bool echo = pos >= 2 && buf[0] == 'A' && buf[1] == 'T';
        if (pos < 3 || echo) {
            pos = 0;
            continue;
        }
        std::size_t end = pos;
        while (end > 0 && (buf[end - 1] == '\n' || buf[end - 1] == '\r')) --end;
        answerLine.assign(reinterpret_cast<const char*>(buf), end);
        return true;
    }
}

// "+++" without guard pause, DTR and RTS off for 1.5 s, then "ATH0".
void TMainForm::hangUp() {
    for (int i = 0; i < 3; ++i) sendRawByte('+');
    (void)link_.serial.setModemLines(false);
    const std::uint64_t start = plat::tickCount();
    while (plat::tickCount() - start < kHangUpLinesOffMs) {
        plat::sleepMs(10);
        window_.refresh();
    }
    (void)link_.serial.setModemLines(true);
    sendModemLine("ATH0");
    if (link_.modem == ModemState::Connected) link_.modem = ModemState::ModemReady;
}

}  // namespace tarvik
