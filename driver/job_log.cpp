#include "driver/job_format.h"
#include "driver/main_form.h"
#include "platform/clock.h"
#include "platform/paths.h"

namespace tarvik {

// The job log: the process name with ".LOG", created if missing, appended to,
// not shared, so that a second driver with the same process name cannot open it.
bool TMainForm::openLog() {
    return log_.open(plat::changeExtension(processName_, ".LOG"), plat::File::Mode::Append,
                     plat::File::Share::Exclusive);
}

// A failed write to the job log is ignored.
void TMainForm::writeLog(std::string_view text) {
    if (log_.isOpen()) (void)log_.write(text);
}

void TMainForm::logStartLine() {
    std::string value(kLogVersion);
    value += messages_.text(kMsgSessionStarted);
    writeLog(logLineHead(plat::now(), "START", value) +
             logLineTail(status_, messages_.statusText(status_)));
}

void TMainForm::logCommandHead() {
    writeLog(logLineHead(plat::now(), keyword_, value_));
}

void TMainForm::logCommandResult() {
    writeLog(logLineTail(status_, messages_.statusText(status_)));
}

void TMainForm::logEndLine() {
    int code = endLineCode(status_);
    writeLog(logLineHead(plat::now(), "END", messages_.text(kMsgSessionEnded)) +
             logLineTail(code, messages_.statusText(code), true));
}

void TMainForm::clearLog() {
    if (!log_.isOpen()) return;
    (void)log_.truncate();
    logStartLine();
}

// The end file: the process name with ".END", replaced if it exists, holding
// the final status code as exactly three digits. It is put in place whole:
// a write that fails (a full disk) leaves no end file rather than an empty
// one, and a caller treats a missing end file as a failed job.
void TMainForm::writeEndFile() {
    (void)plat::replaceFileContents(plat::changeExtension(processName_, ".END"),
                                    endFileText(status_));
}

void TMainForm::showResultBox() {
    const std::string& text =
        status_ == kOk ? messages_.text(kMsgFinished) : messages_.statusText(status_);
    frontEnd_.resultBox(title_, text, status_ != kOk);
}

}  // namespace tarvik
