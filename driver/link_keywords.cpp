// The link keywords: PORT opens a serial port or the UDP socket, BAUDRATE
// selects the line speed, IP and REGISTER give the register's address, and
// the link is closed at the end of the run.
#include "driver/main_form.h"

namespace tarvik {

void LinkTimeLimits::cap(int ms) {
    if (ms <= 0) return;
    if (attemptMs == 0 || attemptMs > ms) attemptMs = ms;
    if (dialMs > ms) dialMs = ms;
    if (modemInitMs > ms) modemInitMs = ms;
}

void TMainForm::resetLink() {
    closeLink();
    link_.udpPort = kRegisterUdpPort;
    link_.ipText.clear();
    link_.destination = resolveRegisterAddress(link_.ipText, link_.registerNumber);
}

// Closes the link: the UDP socket, or the serial port after hanging up a
// modem connection.
void TMainForm::closeLink() {
    if (link_.udp) {
        link_.socket.close();
        link_.udp = false;
    }
    if (link_.serial.isOpen()) {
        if (link_.modem == ModemState::Connected) hangUp();
        link_.serial.close();
    }
}

// The register's address from the IP text and the register number; the
// socket, when open, sends there from now on and takes answers only from there.
void TMainForm::resolveDestination() {
    link_.destination = resolveRegisterAddress(link_.ipText, link_.registerNumber);
    if (link_.udp)
        link_.socket.setDestination(link_.destination, static_cast<std::uint16_t>(link_.udpPort));
}

// PORT: closes the current link and opens a new one; 999..65535 are UDP
// ports (9999 stands for 2030), up to 998 serial ports COM n, above 65535
// nothing. In every case the modem state becomes direct.
void TMainForm::doPort() {
    closeLink();
    const int n = integerValue(value_);
    switch (portKind(n)) {
        case PortKind::Udp:
            link_.udpPort = udpPortForPortValue(n);
            if (link_.socket.open()) {
                link_.udp = true;
                resolveDestination();
            } else {
                status_ = kErrorOpeningPort;
            }
            break;
        case PortKind::Serial:
            if (link_.serial.open(n, link_.baudIndex) != kPortOk) status_ = kErrorOpeningPort;
            break;
        case PortKind::Invalid:
            status_ = kErrorOpeningPort;
            break;
    }
    link_.modem = ModemState::Direct;
}

// BAUDRATE: the baud index 1..8; any other rate gives status 14 and index 0
// and leaves an open port as it is. An open serial port is set up again at
// once (the result of that is not checked: the port stays usable as it was).
void TMainForm::doBaudrate() {
    link_.baudIndex = baudIndexForRate(integerValue(value_));
    if (link_.baudIndex == 0) {
        status_ = kInvalidParameter;
        return;
    }
    if (link_.serial.isOpen()) (void)link_.serial.setup(link_.baudIndex);
}

// IP: the register's address or host name, kept as written; the register
// offset is added to it anew at every REGISTER line.
void TMainForm::doIp() {
    link_.ipText = value_;
    resolveDestination();
}

// REGISTER: the register number 0..99. 100 or more counts as 0, and so does
// a negative number (no register can carry it); both leave the destination
// as it was. On UDP a number 0..99 gives the register's address anew.
void TMainForm::doRegister() {
    const int n = integerValue(value_);
    const bool valid = n >= 0 && n < 100;
    link_.registerNumber = valid ? n : 0;
    window_.showRegister(link_.registerNumber);
    if (valid && link_.udp) resolveDestination();
}

}  // namespace tarvik
