// One simulated register: what it answers to each message of the driver,
// independent of the line it is reached over.
//
// Messages it understands (the first byte decides):
//   "LI<id>"       login; refused with ACK 0x3A when a login identifier is
//                  set and <id> differs. With an identifier set, every other
//                  command before a successful login is refused with ACK 0x3A.
//   "LO"           logout, ACK 0.
//   "C..."         a single command, ACK 0.
//   "T" + 14 digits (hhmmssDDMMYYYY) sets the register's clock, ACK 0; any
//                  other "T..." is refused with ACK 0x02.
//   "U<line>"      one upload line, stored, ACK 0; after the PLU limit ACK 0x27.
//   ACK            the driver took the last record: the next record, or ACK 0
//                  after the last one.
//   NAK            repeat the last answer.
//   EOT            cancel the running report; no answer.
//   anything else  a report or table command: its records are the lines of
//                  the file "<command>.csv" (name matched ignoring case) in
//                  the register's own directory "reg<nn>" of the data
//                  directory, else in the data directory itself; one record
//                  per message, then ACK 0. No such file: ACK 0x05.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ecrsim {

struct RegisterConfig {
    int number = 1;         // 1..99
    std::string dataDir;    // reports and tables
    std::string stateDir;   // upload-<nn>.csv and clock-<nn>.txt go here
    std::string login;      // login identifier; empty: no login needed
    long pluLimit = -1;     // upload lines taken per upload; < 0: no limit
    bool compress = false;  // send records in compressed (SO) form where shorter
};

class Register {
  public:
    explicit Register(RegisterConfig config);

    // Handles one message; answers the messages to send back (none for EOT).
    // `nowMs` is a monotonic time in ms (upload sessions end after a pause).
    std::vector<std::string> handle(std::string_view message, long nowMs);

    int number() const { return config_.number; }
    // A power cut: the register comes back without the report in progress,
    // without its login and without a last answer to repeat (a NAK is then
    // answered with EOT, message not taken).
    void restart();
    bool inReport() const { return inReport_; }
    // The last answer sent (repeated on NAK).
    const std::string& lastAnswer() const { return last_; }

    // What happened, for the log and for tests.
    bool loggedIn() const { return loggedIn_; }
    const std::string& clockText() const { return clock_; }  // "YYYY-MM-DD hh:mm:ss" or ""
    long uploadedLines() const { return uploadLines_; }
    long recordsSent() const { return recordsSent_; }
    const std::string& lastEvent() const { return event_; }

    static std::string uploadFileName(int number);  // "upload-01.csv"
    static std::string clockFileName(int number);   // "clock-01.txt"

  private:
    std::string answer(std::string msg);
    std::string ackReason(std::uint8_t reason);
    bool loadReport(const std::string& command);
    std::string nextRecord();

    RegisterConfig config_;
    bool loggedIn_ = false;
    bool inReport_ = false;
    std::vector<std::string> records_;
    std::size_t next_ = 0;
    std::string last_;
    std::string clock_;
    bool uploading_ = false;
    long lastUploadMs_ = 0;
    long uploadLines_ = 0;
    std::string lastUploadLine_;
    long recordsSent_ = 0;
    std::string event_;
};

// Compresses a record into the SO form (SO, escape byte, literals and
// back references) when that is shorter; otherwise answers it unchanged.
std::string compressRecord(std::string_view record);

}  // namespace ecrsim
