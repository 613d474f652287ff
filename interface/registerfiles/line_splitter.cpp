#include "interface/registerfiles/line_splitter.h"

namespace regfiles {

char mapUmlaut(char c) {
    switch (static_cast<unsigned char>(c)) {
        case 0xE4:
            return static_cast<char>(0x84);  // ä
        case 0xC4:
            return static_cast<char>(0x8E);  // Ä
        case 0xF6:
            return static_cast<char>(0x94);  // ö
        case 0xD6:
            return static_cast<char>(0x99);  // Ö
        case 0xFC:
            return static_cast<char>(0x81);  // ü
        case 0xDC:
            return static_cast<char>(0x9A);  // Ü
        case 0xDF:
            return static_cast<char>(0xE1);  // ß
        default:
            return c;
    }
}

namespace {

// The field being built; characters beyond kMaxField are dropped.
struct FieldBuilder {
    std::string text;
    void add(char c) {
        if (text.size() < kMaxField) text += c;
    }
};

}  // namespace

std::vector<std::string> splitLine(std::string_view piece, const SplitOptions& options) {
    std::vector<std::string> fields;
    const char sep = options.separator;
    const bool mapping = options.quoted && options.mapUmlauts;
    FieldBuilder field;
    bool atFieldStart = true;
    std::size_t i = 0;
    while (i < piece.size()) {
        const char c = piece[i];
        if (options.quoted && atFieldStart && c == '"') {
            // Quoted part: runs to the next double quote not followed by
            // another one; a pair is skipped and the character after it is
            // taken as it is.
            ++i;
            while (i < piece.size()) {
                if (piece[i] == '"') {
                    if (i + 1 < piece.size() && piece[i + 1] == '"') {
                        i += 2;
                        if (i < piece.size()) field.add(piece[i++]);
                        continue;
                    }
                    ++i;  // closing quote
                    break;
                }
                field.add(piece[i++]);
            }
            atFieldStart = false;
            continue;  // the rest of the field follows the plain rules
        }
        atFieldStart = false;
        if (c == sep) {
            fields.push_back(std::move(field.text));
            field.text.clear();
            atFieldStart = true;
        } else {
            field.add(mapping ? mapUmlaut(c) : c);
        }
        ++i;
    }
    // The last field ends with the piece, unless a separator has just ended it.
    if (!atFieldStart) fields.push_back(std::move(field.text));
    return fields;
}

bool LineReader::open(std::string_view path, plat::File::Share share) {
    close();
    return file_.open(path, plat::File::Mode::Read, share);
}

void LineReader::close() {
    file_.close();
    buffer_.clear();
    bufferPos_ = 0;
    bufferStart_ = 0;
    eof_ = false;
    failed_ = false;
    lastCut_ = false;
    lastStartsLine_ = true;
    midLine_ = false;
}

bool LineReader::fill() {
    if (eof_ || !file_.isOpen()) return false;
    if (bufferPos_ > 0) {
        bufferStart_ += static_cast<std::int64_t>(bufferPos_);
        buffer_.erase(0, bufferPos_);
        bufferPos_ = 0;
    }
    char chunk[4096];
    const long n = file_.read(chunk, sizeof chunk);
    if (n < 0) {
        failed_ = true;
        eof_ = true;
        return false;
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

int LineReader::peek(std::size_t ahead) {
    while (bufferPos_ + ahead >= buffer_.size()) {
        if (!fill()) return -1;
    }
    return static_cast<unsigned char>(buffer_[bufferPos_ + ahead]);
}

bool LineReader::readLine(std::string& piece) {
    piece.clear();
    if (peek(0) < 0) return false;
    lastStartsLine_ = !midLine_;
    // Consumes a line end (LF or CR LF) at the read position, if there is one.
    auto takeLineEnd = [this]() {
        const int c = peek(0);
        if (c == '\n') {
            bufferPos_ += 1;
            return true;
        }
        if (c == '\r' && peek(1) == '\n') {
            bufferPos_ += 2;
            return true;
        }
        return false;
    };
    bool ended = false;
    while (piece.size() < kMaxPiece) {
        if (takeLineEnd()) {
            ended = true;
            break;
        }
        const int c = peek(0);
        if (c < 0) break;  // last line without line end
        piece += static_cast<char>(c);
        ++bufferPos_;
    }
    if (!ended && piece.size() == kMaxPiece) ended = takeLineEnd();
    if (!ended && peek(0) < 0) {
        // The file ends here: the line is complete, it only lacks its line end.
        lastCut_ = true;
        midLine_ = false;
        return true;
    }
    lastCut_ = !ended;
    midLine_ = !ended;
    return true;
}

bool LineReader::readLineCut(std::string& line) {
    while (readLine(line)) {
        if (lastStartsLine_) return true;
    }
    return false;
}

LineReader::Position LineReader::position() const {
    return Position{bufferStart_ + static_cast<std::int64_t>(bufferPos_), midLine_};
}

bool LineReader::setPosition(Position pos) {
    if (!file_.isOpen() || pos.offset < 0) return false;
    const std::int64_t end = bufferStart_ + static_cast<std::int64_t>(buffer_.size());
    if (pos.offset >= bufferStart_ && pos.offset <= end) {
        bufferPos_ = static_cast<std::size_t>(pos.offset - bufferStart_);
    } else {
        if (!file_.seek(pos.offset)) return false;
        buffer_.clear();
        bufferPos_ = 0;
        bufferStart_ = pos.offset;
        eof_ = false;
    }
    midLine_ = pos.continuesLine;
    return true;
}

}  // namespace regfiles
