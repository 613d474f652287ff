// Fixed-width files of the hotel software: guest files read in consecutive
// blocks of a fixed number of characters, and booking files of fixed-size
// records written one after another without line ends (Velox, hotline).
//
// Bounds:
// - Guest files are read as text: CR LF on disk is one line end and counts as
//   one character of a block; a lone CR is an ordinary character. The field
//   positions of a block are fixed, so nothing is ever read beyond them; a
//   control character (a line end among them) inside the positions of a field
//   reads as a blank, so that no line end of a misaligned file reaches the
//   room list or a booking record.
// - A booking record is built from fields of fixed width. A value longer than
//   its positions is never cut where cutting would book another amount, room
//   or account: the record is not written, and the room report lines whose
//   records did not fit are named in one message at the end of the conversion.
//   Each adapter says which of its fields are cut instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interface/registerfiles/room_report.h"
#include "platform/file.h"

namespace fixedwidth {

// Reads a text file in consecutive blocks of a fixed number of characters.
class BlockReader {
  public:
    // Opens `path` (resolved case-insensitively) for reading; false when it
    // cannot be opened.
    bool open(std::string_view path);
    void close();

    // The next block of `size` characters; at the end of the file it may hold
    // fewer (the rest of the file). False when nothing is left or reading
    // failed (see failed()).
    bool next(std::size_t size, std::string& block);
    bool failed() const { return failed_; }
    // The stamp of the file when it was opened.
    const plat::FileStamp& openStamp() const { return file_.openStamp(); }

  private:
    int peek(std::size_t ahead);  // the byte `ahead` from the read position; -1 past the end
    bool fill();

    plat::File file_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
};

// Positions `from` to `to` of a block, counted from 1, with every control
// character read as a blank. Positions beyond the end of the block read as
// blanks.
std::string positions(std::string_view block, std::size_t from, std::size_t to);

// The text without leading and trailing blanks.
std::string trimBlanks(std::string_view text);

// The text with every comma replaced by a point.
std::string commaToPoint(std::string_view text);

// Builds one record field by field. A field that does not fit its width
// marks the record as not fitting; it is then still filled with blanks to
// its width, so that the record keeps its size.
class RecordBuilder {
  public:
    // `text` right-aligned in `width` positions, blanks before it.
    void right(std::string_view text, std::size_t width);
    // `text` left-aligned in `width` positions, blanks after it.
    void left(std::string_view text, std::size_t width);
    // `text` left-aligned in `width` positions, cut to `width` when longer.
    void leftCut(std::string_view text, std::size_t width);
    // `text` as it stands.
    void fixed(std::string_view text);
    // Marks the record as not fitting (a value that has no text of its width).
    void markNotFitting() { fits_ = false; }

    bool fits() const { return fits_; }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
    bool fits_ = true;
};

// The message for room report lines whose records did not fit and were not
// written.
std::string notFittingLinesMessage(const std::string& bookingName,
                                   const std::vector<long>& lineNumbers);

// A room report converter that writes fixed-size records.
class RecordConverter : public regfiles::RoomReportConverter {
  public:
    using RoomReportConverter::RoomReportConverter;

    // Runs beforeReading, then the conversion, then reports the lines whose
    // records did not fit. True when it ran to the end without a message.
    bool convert();

  protected:
    // What a converter does before the room report is read; false ends the
    // conversion (the step has shown its message).
    virtual bool beforeReading() { return true; }

    // Writes the record of `line` when it fits; otherwise notes the line and
    // writes nothing. False only when the write failed.
    bool writeFixedRecord(const RecordBuilder& record, const regfiles::RoomReportLine& line);

  private:
    std::vector<long> notFitting_;
};

}  // namespace fixedwidth
