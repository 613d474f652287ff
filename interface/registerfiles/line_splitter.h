// The one way the interface program cuts the files it reads from the
// registers and from the hotel software into fields.
//
// Every reader goes through LineReader (lines in pieces, Windows text mode)
// and splitLine (fields). Nothing else in the program splits lines.
//
// Lines. A line is read in pieces of at most kMaxPiece characters before its
// line end. A longer line arrives in pieces, and each piece is split as a line
// of its own. The line end (LF, or CR LF, which text mode turns into one line
// end; a lone CR is an ordinary character) is never part of a piece. A piece
// that was cut from a longer line, or the last line of a file without a line
// end, keeps all its characters: only a real line end is dropped.
//
// Fields. Fields are numbered from 1. A field ends at the separator or at the
// last character of the piece; an empty field between two separators is a
// field, a separator as the last character does not open another field, and
// an empty piece has no fields. A field holds at most kMaxField characters:
// what a field has beyond that is dropped (the field is cut, the following
// fields keep their numbers).
//
// Variants.
// - Plain: every character other than the separator belongs to the field.
// - Quoted: a field that begins with a double quote runs to the next double
//   quote that is not followed by another one; both quotes are dropped and
//   separators inside belong to the field. A pair of double quotes inside is
//   skipped and the character after the pair is taken unchanged, whatever it
//   is. Characters after the closing quote up to the separator are appended.
// - Umlaut mapping (with the quoted variant only): a Latin-1 German letter
//   outside quotes is stored as its DOS code page 437/850 code; characters
//   inside quotes are stored unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace regfiles {

inline constexpr std::size_t kMaxPiece = 149;  // characters per read, line end not counted
inline constexpr std::size_t kMaxField = 49;   // characters per field

struct SplitOptions {
    char separator = ';';     // ';' for register files, '|' for the Protel guest file
    bool quoted = false;      // the quoted variant
    bool mapUmlauts = false;  // the umlaut mapping; only acts with `quoted`
};

// Splits one piece (as LineReader delivers it, without line end) into fields.
std::vector<std::string> splitLine(std::string_view piece, const SplitOptions& options = {});

inline std::vector<std::string> splitPlain(std::string_view piece, char separator = ';') {
    return splitLine(piece, SplitOptions{separator, false, false});
}
inline std::vector<std::string> splitQuoted(std::string_view piece, char separator = ';',
                                            bool mapUmlauts = false) {
    return splitLine(piece, SplitOptions{separator, true, mapUmlauts});
}

// The umlaut mapping of one character: ä Ä ö Ö ü Ü ß (Latin-1) to their DOS
// codes; every other character unchanged.
char mapUmlaut(char c);

// Reads a text file in pieces of at most kMaxPiece characters, in Windows text
// mode. The read position can be saved and restored for look-ahead.
class LineReader {
  public:
    // Where the next piece starts (and whether it continues a cut line).
    struct Position {
        std::int64_t offset = 0;
        bool continuesLine = false;
    };

    LineReader() = default;
    LineReader(LineReader&&) noexcept = default;
    LineReader& operator=(LineReader&&) noexcept = default;

    // Opens `path` (resolved case-insensitively) for reading; false when it
    // cannot be opened.
    bool open(std::string_view path, plat::File::Share share = plat::File::Share::Shared);
    bool isOpen() const { return file_.isOpen(); }
    void close();

    // The next piece, without its line end. False at the end of the file (or
    // on a read error, see failed()).
    bool readLine(std::string& piece);

    // The next line cut at kMaxPiece characters: the further pieces of a
    // longer line are skipped (lastPieceCut() then tells that it was cut).
    bool readLineCut(std::string& line);

    // True when the last piece was not ended by a line end: it was cut from a
    // longer line, or it is the last line of a file that lacks its line end.
    bool lastPieceCut() const { return lastCut_; }
    // True when the last piece was the first piece of a line.
    bool lastPieceStartsLine() const { return lastStartsLine_; }
    // True when reading stopped because of a read error.
    bool failed() const { return failed_; }

    // The position of the next piece, and going back (or forth) to one.
    Position position() const;
    bool setPosition(Position pos);

    const std::string& path() const { return file_.path(); }
    // The stamp of the file when it was opened.
    const plat::FileStamp& openStamp() const { return file_.openStamp(); }

  private:
    // The byte at offset `ahead` from the read position; -1 past the end.
    int peek(std::size_t ahead);
    bool fill();

    plat::File file_;
    std::string buffer_;
    std::size_t bufferPos_ = 0;
    std::int64_t bufferStart_ = 0;  // file offset of buffer_[0]
    bool eof_ = false;
    bool failed_ = false;
    bool lastCut_ = false;
    bool lastStartsLine_ = true;
    bool midLine_ = false;  // the previous piece was cut: the next continues its line
};

}  // namespace regfiles
