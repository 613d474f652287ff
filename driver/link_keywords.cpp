// The link keywords. This build has no link layer yet: no serial port or UDP
// socket can be opened, so PORT ends with status 3 and every register or
// modem command finds no link (status 10). The settings (baud index, IP text,
// register number, modem state) are kept as they will be used.
#include "driver/main_form.h"

namespace tarvik {
namespace {

constexpr int kBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

void TMainForm::resetLink() {
    link_.serialOpen = false;
    link_.udp = false;
    link_.udpPort = 2030;
    link_.ipText.clear();
}

void TMainForm::closeLink() {
    link_.serialOpen = false;
    link_.udp = false;
}

// PORT: closes the current link and opens a new one; 999..65535 are UDP
// ports (9999 stands for 2030), up to 998 serial ports, above 65535 nothing.
void TMainForm::doPort() {
    closeLink();
    int n = integerValue(value_);
    if (n >= 999 && n <= 65535) link_.udpPort = n == 9999 ? 2030 : n;
    status_ = kErrorOpeningPort;  // neither a UDP socket nor a serial port yet
    link_.modem = ModemState::Direct;
}

void TMainForm::doBaudrate() {
    int rate = integerValue(value_);
    link_.baudIndex = 0;
    for (int i = 0; i < 8; ++i) {
        if (kBaudRates[i] == rate) link_.baudIndex = i + 1;
    }
    if (link_.baudIndex == 0) status_ = kInvalidParameter;
}

void TMainForm::doIp() {
    link_.ipText = value_;
}

// MODEMINIT, DIAL, HANGUP: the modem hangs on a serial port.
void TMainForm::doModem() {
    if (!link_.serialOpen) {
        status_ = kPortNotOpen;
        return;
    }
    if (link_.modem == ModemState::ModemSilent) {
        status_ = kNoAnswer;
        return;
    }
    status_ = kPortNotOpen;
}

void TMainForm::doCommand() {
    if (!link_.open()) {
        status_ = kPortNotOpen;
        return;
    }
    if (link_.modem == ModemState::ModemReady || link_.modem == ModemState::ModemSilent) {
        status_ = kNoConnection;
        return;
    }
    status_ = kPortNotOpen;
}

void TMainForm::doUpload() {
    if (!link_.open()) {
        status_ = kPortNotOpen;
        return;
    }
    if (link_.modem == ModemState::ModemReady || link_.modem == ModemState::ModemSilent) {
        status_ = kNoConnection;
        return;
    }
    status_ = kPortNotOpen;
}

}  // namespace tarvik
