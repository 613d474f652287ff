#include "driver/main_form.h"

#include <cstdlib>

#include "platform/clock.h"
#include "platform/paths.h"

namespace tarvik {

// The keywords of the command file. PROCESS and VISIBLE are recognised only
// at the start of the file (runJob); anywhere else they are unknown, as is
// CLEARLOG, which the interpreter handles before the table.
const TMainForm::KeywordEntry TMainForm::kKeywords[] = {
    {"REGISTER", &TMainForm::doRegister},
    {"MODEMINIT", &TMainForm::doModem},
    {"DIAL", &TMainForm::doModem},
    {"HANGUP", &TMainForm::doModem},
    {"COMMAND", &TMainForm::doCommand},
    {"UPLOAD", &TMainForm::doUpload},
    {"IP", &TMainForm::doIp},
    {"PORT", &TMainForm::doPort},
    {"BAUDRATE", &TMainForm::doBaudrate},
    {"ABORT", &TMainForm::doAbort},
    {"RESULT", &TMainForm::doResult},
    {"FAIL", &TMainForm::doFail},
    {"FILE", &TMainForm::doOutputFile},
    {"NEWFILE", &TMainForm::doOutputFile},
    {"BFILE", &TMainForm::doOutputFile},
    {"BNEWFILE", &TMainForm::doOutputFile},
    {"DFILE", &TMainForm::doOutputFile},
    {"DBFILE", &TMainForm::doOutputFile},
    {"ENDFILE", &TMainForm::doEndFile},
    {"WAIT", &TMainForm::doWait},
};

TMainForm::TMainForm(std::string exePath, std::optional<std::string> commandFile,
                     StatusFrontEnd& frontEnd)
    : exePath_(std::move(exePath)),
      commandFileName_(commandFile ? *commandFile : plat::changeExtension(exePath_, ".CMD")),
      processName_(exePath_),
      frontEnd_(frontEnd),
      window_(frontEnd) {
    window_.setAbortHandler([this] { status_ = kUserBreak; });
    // A cap on every time limit of the link, for tests and for trying out a
    // set-up without waiting minutes for a missing register.
    if (const char* cap = std::getenv("TARVIK_TIME_LIMIT_MS")) {
        if (std::optional<int> ms = readInteger(cap); ms && *ms > 0) limits_.cap(*ms);
    }
    std::string icon = plat::changeExtension(exePath_, ".ICO");
    if (plat::fileExists(icon)) frontEnd_.setIcon(icon);
}

TMainForm::~TMainForm() = default;

void TMainForm::runJob() {
    // 1. Message table (from the file beside the executable).
    messages_.load(plat::changeExtension(exePath_, ".TXT"));
    // 2. Start values.
    showResult_ = 0;
    writeEndFile_ = 0;
    status_ = kOk;
    offsetEncoding_ = false;
    title_ = messages_.text(kMsgTitle);
    // 3. Command file, not shared.
    if (!commandFile_.open(commandFileName_, plat::File::Mode::Read,
                           plat::File::Share::Exclusive)) {
        status_ = kErrorOpeningCommandFile;
    } else {
        reader_.attach(&commandFile_);
        // 4. PROCESS, only as the first line.
        readCommandLine();
        if (haveLine_ && !lineDamaged_ && keyword_ == "PROCESS") {
            if (!value_.empty()) {
                processName_ = value_;
                title_ = value_;
            }
            readCommandLine();
        }
    }
    // 5. Job log.
    if (!openLog()) {
        status_ = kErrorOpeningLog;
    } else {
        logStartLine();
    }
    // 6. VISIBLE, only right after PROCESS; then the interpreter.
    if (status_ == kOk) {
        visible_ = 1;
        if (haveLine_ && !lineDamaged_ && keyword_ == "VISIBLE") {
            visible_ = integerValue(value_, 1);
            readCommandLine();
        }
        window_.setVisible(visible_ != 0);
        // A line has been read (a line "=x" with an empty keyword counts too).
        if (haveLine_) {
            if (visible_ != 0) window_.prepare(title_, messages_);
            link_.baudIndex = 0;
            link_.modem = ModemState::Direct;
            link_.registerNumber = 0;
            interpreter();
        }
    }
    // 7.-10. Close the command file, result box, end line, end file.
    reader_.attach(nullptr);
    commandFile_.close();
    if (showResult_ != 0) showResultBox();
    if (log_.isOpen()) {
        logEndLine();
        log_.close();
    }
    if (writeEndFile_ != 0) writeEndFile();
}

void TMainForm::interpreter() {
    if (visible_ != 0) window_.show();
    outputFile_.close();
    outputFileName_.clear();
    dated_ = false;
    stopOnFailure_ = 0;
    resetLink();

    while (status_ != kUserBreak) {
        if (!lineDamaged_ && keyword_ == "CLEARLOG") {
            // Not logged itself; the status code stays as it is.
            if (readInteger(value_) == 1) clearLog();
        } else {
            logCommandHead();
            status_ = kOk;
            // An Abort pressed since the last wait acts on this command.
            window_.refresh();
            if (status_ == kOk) {
                if (lineDamaged_) {
                    status_ = kInvalidCommand;
                } else if (value_.empty()) {
                    status_ = kInvalidParameter;
                } else {
                    runKeyword();
                }
            }
            logCommandResult();
            if (status_ != kOk && stopOnFailure_ != 0) break;
        }
        if (!readCommandLine()) break;
    }

    closeLink();
    closeOutputFile();
    window_.refresh();
    if (visible_ != 0) {
        // The window does not close while the user drags it.
        while (!window_.FormCloseQuery()) {
            plat::sleepMs(10);
            window_.refresh();
        }
    }
    window_.close();
}

void TMainForm::runKeyword() {
    for (const KeywordEntry& k : kKeywords) {
        if (k.keyword == keyword_) {
            (this->*k.handler)();
            return;
        }
    }
    status_ = kInvalidCommand;
}

void TMainForm::waitProcessingEvents(int ms) {
    std::uint64_t start = plat::tickCount();
    for (;;) {
        window_.refresh();
        if (status_ == kUserBreak) return;
        std::uint64_t elapsed = plat::tickCount() - start;
        if (elapsed >= static_cast<std::uint64_t>(ms)) return;
        std::uint64_t left = static_cast<std::uint64_t>(ms) - elapsed;
        plat::sleepMs(left < 10 ? static_cast<int>(left) : 10);
    }
}

void TMainForm::doAbort() {
    window_.setAbortShown(integerValue(value_) != 0);
}

void TMainForm::doResult() {
    showResult_ = integerValue(value_);
}

void TMainForm::doFail() {
    stopOnFailure_ = integerValue(value_);
}

void TMainForm::doEndFile() {
    writeEndFile_ = integerValue(value_);
}

// WAIT: a pause of that many milliseconds, without processing window events.
// A negative value pauses not at all.
void TMainForm::doWait() {
    int ms = integerValue(value_);
    if (ms > 0) plat::sleepMs(ms);
}

void TMainForm::doOutputFile() {
    openOutputFile(keyword_, value_);
}

}  // namespace tarvik
