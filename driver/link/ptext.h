// Ptext: the serial-port wrapper of the register driver.
//
// COM port n is the device named by the environment variable TARVIK_COM<n>
// (for example TARVIK_COM3=/dev/ttyUSB0), otherwise /dev/ttyS<n-1>; port 0
// and negative numbers have no device. The port is opened without sharing
// (an exclusive flock held while open) and without becoming the controlling
// terminal, and set up in raw mode: 8 data bits, no parity, one stop bit, no
// software or hardware (CTS) flow control, receiver on, modem status lines
// ignored for reading, DTR and RTS on. Reads return at once with what is
// waiting; what is waiting is taken from the device in one go and handed out
// byte by byte (a frame costs a read or two, not one per byte), and every
// discard of input drops those bytes too. Where the device reports modem
// lines, output waits (bounded) for DSR; a pseudo-terminal reports none and
// is written at once (it is asked once).
//
// Every operation answers 0 for success or one of the small failure numbers
// below; nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvik {

inline constexpr int kPortOk = 0;
inline constexpr int kPortNothingToRead = 2;  // no byte waiting
inline constexpr int kPortWriteFailed = 3;    // a write failed or was short
inline constexpr int kPortOpenFailed = 5;     // no such port, or it could not be opened
inline constexpr int kPortSetupFailed = 8;    // the line settings could not be made

// Baud rate of a baud index: 1..8 -> 1200, 2400, 4800, 9600, 19200, 38400,
// 57600, 115200; 0 (not set) and anything else -> 9600.
int baudRateForIndex(int baudIndex);
// Baud index of a rate (1200 -> 1 ... 115200 -> 8); 0 for any other rate.
int baudIndexForRate(long rate);

// Device path of COM port n ("" when there is none: n < 1).
std::string comDevicePath(int n);

class Ptext {
  public:
    Ptext() = default;
    ~Ptext();
    Ptext(const Ptext&) = delete;
    Ptext& operator=(const Ptext&) = delete;

    // Opens COM port n at the rate of `baudIndex`, closing any port opened
    // before. 5: no device, cannot be opened, or held by another open;
    // 8: it is no terminal or the settings failed (the port is closed again).
    int open(int comNumber, int baudIndex);
    // The same for a device path (tests, tools).
    int openDevice(const std::string& path, int baudIndex);
    // Discards pending input and closes; nothing happens when no port is
    // open. Output already written still goes out: the last message of a job
    // (a cancel, a hang-up) must not be cut off. (On a pseudo-terminal the
    // output queue reads as empty while the other side has not yet taken
    // the bytes, so a purge there would drop them.)
    void close();
    bool isOpen() const { return fd_ >= 0; }
    // The descriptor, for poll(); -1 when closed. Do not read or write it
    // directly.
    int fd() const { return fd_; }
    const std::string& devicePath() const { return path_; }
    int baudIndex() const { return baudIndex_; }

    // Sets the line up again (BAUDRATE) with the rate of `baudIndex`, then
    // discards pending input. 8 on failure, 5 when no port is open.
    int setup(int baudIndex);
    // Before a retry: purge everything and set the line up again with the
    // current baud index.
    int resetForRetry();
    // Discards pending output and input (tcflush). 5 when no port is open.
    int purge();
    // Discards pending input only; output already written goes on. 5 when
    // no port is open.
    int discardInput();

    // Writes one byte (raw, no frame). 0 or 3.
    int sendByte(std::uint8_t b);
    // Writes the whole block; 0 only when every byte was written, otherwise
    // 3, and the port's output is released again (restarted after a stop).
    int sendBlock(const std::uint8_t* data, std::size_t len);
    // Reads one byte when at least one is waiting: 0 and the byte, or 2.
    // Never blocks.
    int readByte(std::uint8_t& b);
    // Waits up to timeoutMs (0: just look) until a byte is waiting; true when
    // one is. A hung-up line counts as nothing waiting (the wait is then
    // slept out rather than spinning).
    bool waitReadable(int timeoutMs);

    // Sets (on) or clears (off) DTR and RTS. Devices without modem lines (a
    // pseudo-terminal) ignore it: the answer is 0 there too.
    int setModemLines(bool on);
    // Bytes still in the output queue, or -1 when it cannot be read.
    int outputQueueBytes() const;

  private:
    int applySettings(int baudIndex);
    void dropTakenInput() { inPos_ = inLen_ = 0; }

    int fd_ = -1;
    int baudIndex_ = 0;
    std::string path_;
    bool noModemLines_ = false;  // the device answered that it has none
    // Bytes taken from the device and not handed out yet: in_[inPos_, inLen_).
    std::uint8_t in_[512] = {};
    std::size_t inPos_ = 0;
    std::size_t inLen_ = 0;
};

}  // namespace tarvik
