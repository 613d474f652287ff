// Reading the driver's text inputs: the command file of KEY=VALUE lines and
// the lines of the message text file, plus the integer rule of the values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace tarvik {

// A value read as an integer: a decimal integer as a whole, leading blanks and
// a sign allowed, within the range of int. Anything else is no number.
std::optional<int> readInteger(std::string_view text);
// The same with a fallback for a value that is no number.
int integerValue(std::string_view text, int fallback = 0);

// Reads lines from an open file, a block at a time. A line is the bytes up to
// a line feed; carriage returns are dropped wherever they stand; at most
// `maxChars` characters are kept and the rest of the line is dropped. The end
// of the file ends the last line. A read error counts as the end of the file.
class LineReader {
  public:
    explicit LineReader(std::size_t maxChars) : maxChars_(maxChars) {}
    void attach(plat::File* file);
    // False at the end of the file when no byte was read.
    bool next(std::string& line);

  private:
    bool fill();

    std::size_t maxChars_;
    plat::File* file_ = nullptr;
    char buf_[4096];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool eof_ = true;
};

// One command-file line split into keyword and value.
struct CommandLine {
    std::string keyword;  // upper-cased (ASCII letters only)
    std::string value;    // as written: no trimming, may hold further "="
    // The line held a NUL byte. Keyword and value then hold the text before
    // the first NUL, and the line runs as an invalid command (status 4).
    bool damaged = false;
};

// Splits a line at its first "="; a line without "=" is all keyword.
CommandLine splitCommandLine(std::string_view line);

// The reader of the command file: a line buffer of 1056 bytes, so at most
// 1055 characters of a line are taken; empty lines and lines that begin
// with ";" are skipped.
class CommandFileReader {
  public:
    static constexpr std::size_t kLineBuffer = 1056;

    CommandFileReader() : lines_(kLineBuffer - 1) {}
    void attach(plat::File* file) { lines_.attach(file); }
    // Fills `out` with the next command line; false at the end of the file
    // (then `out` is left as it was).
    bool next(CommandLine& out);

  private:
    LineReader lines_;
};

// The lines of an upload file: at most kMaxLine characters of a line are
// sent, the rest of a longer line is dropped; carriage returns are dropped
// wherever they stand; a line feed ends a line, and so does the end of the
// file. A line whose first byte is 0x00..0x09, 0xDA or 0xDD is in offset
// encoding: 0x30 is added to each of its bytes before the line end is looked
// for (so its line end is DD DA).
class UploadLineReader {
  public:
    // "U" and the line must fit the send buffer of 1056 bytes.
    static constexpr std::size_t kMaxLine = 1054;

    explicit UploadLineReader(plat::File& file) : file_(file) {}
    // False at the end of the file (or on a read error) when no byte was read.
    bool next(std::string& line);

  private:
    bool get(std::uint8_t& b);

    plat::File& file_;
    std::uint8_t buf_[4096];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

}  // namespace tarvik
