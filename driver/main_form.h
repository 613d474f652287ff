// TMainForm: the driver's window object. It holds the whole state of one job
// run (command file, job log, output file, link, status window) and every
// operation of the job is one of its members. The members are spread over
// files by concern:
//   main_form.cpp      job run, interpreter, keyword table, simple keywords
//   command_reader.cpp reading the command file into keyword and value
//   output_file.cpp    the output files of report commands
//   job_log.cpp        job log, end file, result box
//   link_keywords.cpp  PORT, BAUDRATE, IP, REGISTER and closing the link
//   modem.cpp          MODEMINIT, DIAL, HANGUP
//   transaction.cpp    sending and receiving messages, the transaction, cancel
//   report_command.cpp COMMAND: single commands and reports
//   upload.cpp         UPLOAD
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "driver/command_file.h"
#include "driver/link/ptext.h"
#include "driver/link/udp.h"
#include "driver/messages.h"
#include "driver/protocol/protocol.h"
#include "driver/status_codes.h"
#include "driver/status_window.h"
#include "platform/file.h"

namespace tarvik {

// The modem on a serial link.
enum class ModemState { Direct, Connected, ModemReady, ModemSilent };

// The connection to the register: a serial port (directly or through a
// modem) or a UDP socket, and the settings of the command file.
struct LinkState {
    Ptext serial;      // the serial port, when one is open
    UdpLink socket;    // the UDP socket, open while `udp` is set
    bool udp = false;  // the link is a UDP socket
    int udpPort = 2030;
    std::string ipText;       // the IP value as written
    Destination destination;  // from the IP text and the register number
    int baudIndex = 0;        // 1..8 for 1200..115200; 0 not set
    int registerNumber = 0;   // 0..99; 0 for none
    ModemState modem = ModemState::Direct;

    bool serialOpen() const { return serial.isOpen(); }
    bool open() const { return serial.isOpen() || udp; }
};

// The time limits of the link. The defaults are those of the registers and
// modems; the environment variable TARVIK_TIME_LIMIT_MS (tests, trying out a
// set-up) caps every one of them.
struct LinkTimeLimits {
    int attemptMs = 0;       // one attempt of a transaction; 0: by baud index / 6000 on UDP
    int dialMs = 120000;     // the modem's answer to DIAL
    int modemInitMs = 1000;  // the modem's answer to MODEMINIT (and HANGUP)
    // Caps every limit at `ms` (ms > 0).
    void cap(int ms);
};

class TMainForm {
  public:
    // `exePath`: the driver's own path (message text file, icon, and the job
    // log of a job without PROCESS line). `commandFile`: the first program
    // argument; without it the driver's own path with ".CMD".
    TMainForm(std::string exePath, std::optional<std::string> commandFile,
              StatusFrontEnd& frontEnd);
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;
    ~TMainForm();

    // The whole job run, from loading the message table to the end file.
    void runJob();

    // Command-file reader: fills keyword and value from the next line and
    // answers whether a line was found (at the end of the file they stay).
    bool readCommandLine();

    // Output files (FILE, NEWFILE, BFILE, BNEWFILE, DFILE, DBFILE): closes the
    // current one and opens `name` the way `keyword` says; status 7 on failure.
    void openOutputFile(std::string_view keyword, std::string_view name);
    // Closes the output file; a dated one that stayed empty is deleted.
    void closeOutputFile();
    // Appends one record and its line end to the output file, in offset
    // encoding when that is on. False when there is no output file or the
    // write failed.
    bool writeRecord(std::string_view record);

    // Waits `ms` milliseconds, processing window events every 10 ms. Ends
    // early once the status code is 6 (User Break).
    void waitProcessingEvents(int ms);

    // The register protocol (transaction.cpp). sendMessage frames the message
    // on the serial link and sends one datagram on UDP; false when it could
    // not be sent. receiveMessage answers the length of a complete message
    // (then at answer()), or 0 when none is complete; it never blocks.
    bool sendMessage(const std::uint8_t* body, std::size_t len);
    std::size_t receiveMessage();
    const std::uint8_t* answer() const { return answer_; }
    // One message exchange with retries: sends the first `len` bytes of the
    // send buffer and answers the length of the accepted answer, or 0 when a
    // status code was set (or the answer is EOT). `timeLimitMs` is the limit
    // of one attempt on the serial link.
    std::size_t transaction(std::size_t len, int timeLimitMs);
    // Tells the register to cancel the running report.
    void cancel();
    // The limit of one attempt for the current baud index.
    int attemptTimeLimit() const;
    void setTimeLimits(const LinkTimeLimits& limits) { limits_ = limits; }

    // The job state, for callers and tests.
    int status() const { return status_; }
    void setStatus(int code) { status_ = code; }
    const std::string& keyword() const { return keyword_; }
    const std::string& value() const { return value_; }
    const std::string& processName() const { return processName_; }
    const std::string& title() const { return title_; }
    const std::string& outputFileName() const { return outputFileName_; }
    bool outputFileOpen() const { return outputFile_.isOpen(); }
    bool offsetEncoding() const { return offsetEncoding_; }
    bool dated() const { return dated_; }
    int visible() const { return visible_; }
    const LinkState& link() const { return link_; }
    const MessageTable& messages() const { return messages_; }
    StatusWindow& window() { return window_; }

  private:
    using Handler = void (TMainForm::*)();
    struct KeywordEntry {
        std::string_view keyword;
        Handler handler;
    };
    static const KeywordEntry kKeywords[];

    void interpreter();
    void runKeyword();

    // Keywords handled here.
    void doRegister();
    void doAbort();
    void doResult();
    void doFail();
    void doEndFile();
    void doWait();
    void doOutputFile();
    // Link keywords (link_keywords.cpp).
    void doPort();
    void doBaudrate();
    void doIp();
    void doModem();  // MODEMINIT, DIAL, HANGUP
    void doCommand();
    void doUpload();
    void resetLink();
    void closeLink();
    void resolveDestination();

    // Modem (modem.cpp).
    bool sendModemLine(std::string_view text);
    // Waits for the modem's answer line; false (status set) when none came.
    bool waitModemAnswer(int limitMs, int pauseMs, std::string& answerLine);
    void hangUp();

    // Protocol (transaction.cpp, report_command.cpp).
    bool sendRawByte(std::uint8_t b);
    void flushInput();
    // Waits up to `ms` for input on the link (returns at once when some is
    // waiting), then processes window events.
    void waitForInput(int ms);
    bool isEcho(const std::uint8_t* msg, std::size_t n, std::size_t sentLen) const;
    bool registerCommandAllowed();
    bool storeRecord(std::size_t n);

    // Job log and end file (job_log.cpp).
    bool openLog();
    void writeLog(std::string_view text);
    void logStartLine();
    void logCommandHead();
    void logCommandResult();
    void logEndLine();
    void clearLog();
    void writeEndFile();
    void showResultBox();

    std::string exePath_;
    MessageTable messages_;

    // Job state.
    std::string commandFileName_;
    std::string processName_;
    std::string title_;
    std::string keyword_;
    std::string value_;
    bool lineDamaged_ = false;  // the current line held a NUL byte
    bool haveLine_ = false;     // a command line has been read
    int status_ = kOk;
    int showResult_ = 0;
    int writeEndFile_ = 0;
    int stopOnFailure_ = 0;
    int visible_ = 1;

    plat::File commandFile_;
    CommandFileReader reader_;
    plat::File log_;

    plat::File outputFile_;
    std::string outputFileName_;
    bool offsetEncoding_ = false;
    bool dated_ = false;

    LinkState link_;
    LinkTimeLimits limits_;

    // Protocol buffers.
    std::uint8_t sendBuf_[kMessageBufferSize] = {};
    FrameReceiver receiver_;
    std::uint8_t datagram_[kMessageBufferSize] = {};  // receive buffer on UDP
    const std::uint8_t* answer_ = datagram_;
    std::uint8_t frame_[kMaxFrameSize] = {};
    std::uint8_t previousRecord_[kMessageBufferSize] = {};
    std::size_t previousLength_ = 0;

    StatusFrontEnd& frontEnd_;
    StatusWindow window_;
};

}  // namespace tarvik
