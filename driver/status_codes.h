// The status codes of the driver. Every operation of a job reports its outcome
// as one of these in the job state; nothing is thrown. Each code has a text in
// the message table (see messages.h).
#pragma once

namespace tarvik {

enum StatusCode : int {
    kOk = 0,
    kErrorOpeningLog = 1,
    kErrorOpeningCommandFile = 2,
    kErrorOpeningPort = 3,
    kInvalidCommand = 4,
    kNoAnswer = 5,
    kUserBreak = 6,
    kErrorOpeningFile = 7,
    kErrorWritingFile = 8,
    kFileNotOpen = 9,
    kPortNotOpen = 10,
    kUnknownReport = 11,
    kInvalidFunction = 12,
    kStillInTransaction = 13,
    kInvalidParameter = 14,
    kNoConnection = 15,
    kPluFileFull = 16,
    kLoginError = 17,
};

constexpr int kLastStatusCode = 17;

// The message-table entry that names a status code (0 for a code outside 0..17).
int messageOfStatus(int code);

}  // namespace tarvik
