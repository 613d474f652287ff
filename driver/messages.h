// The message table: 50 numbered texts (1..50) that every text the driver
// shows or logs comes from. A message text file beside the executable
// ("<exe>.TXT") can reword or translate them without rebuilding the driver.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarvik {

// Message numbers used by name in the driver.
enum Message : int {
    kMsgTitle = 1,
    kMsgReceiving = 2,
    kMsgSending = 3,
    kMsgRetry = 4,
    kMsgSync = 5,
    kMsgCommandCaption = 6,
    kMsgStatusCaption = 7,
    kMsgRecordsCaption = 8,
    kMsgFinished = 15,
    kMsgSessionStarted = 16,
    kMsgSessionEnded = 17,
    kMsgRegisterCaption = 29,
};

class MessageTable {
  public:
    static constexpr int kCount = 50;
    static constexpr std::size_t kMaxText = 40;  // bytes of one text
    // Bytes of one line of the message text file that are read; the rest of
    // a longer line is dropped.
    static constexpr std::size_t kMaxFileLine = 127;

    MessageTable();  // the defaults

    static std::string_view defaultText(int number);

    // Loads the message text file `path`: when it does not exist it is created
    // with the defaults (writing stops at the first failed write; a file that
    // cannot be created leaves the defaults); otherwise its lines override
    // entries. Nothing is reported: failures keep the defaults.
    void load(const std::string& path);

    // Applies one line of a message text file ("N=text").
    void applyLine(std::string_view line);

    // The text of entry `number` ("" outside 1..50).
    const std::string& text(int number) const;
    // The text of a status code (from the entry that names it).
    const std::string& statusText(int code) const;
    // Sets an entry, cut to kMaxText bytes (never inside a UTF-8 character).
    void set(int number, std::string_view text);

    // The contents a new message text file gets: "N=text" CR LF for every
    // entry that is not empty.
    static std::string defaultFileContents();

  private:
    std::array<std::string, kCount + 1> texts_;  // [0] unused
};

}  // namespace tarvik
