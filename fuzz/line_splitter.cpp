// The line splitter of the register and hotel files in all its variants
// (plain, quoted, quoted with the umlaut mapping; ";" and "|"), and the line
// reader beneath it: pieces and fields stay within their bounds, the pieces
// of a file put together give its text back, and a saved read position leads
// back to the same pieces.
#include "interface/registerfiles/line_splitter.h"
#include "fuzz/fuzz_support.h"
#include "interface/registerfiles/room_report.h"

namespace {

std::string fromCrLf(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out += bytes[i];
    }
    return out;
}

}  // namespace

FUZZ_TARGET(line_splitter)(const std::uint8_t* data, std::size_t size) {
    using namespace regfiles;
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::string_view text = fuzzsupport::asText(data + 1, size - 1);
    SplitOptions options;
    options.separator = (mode & 1) ? '|' : ';';
    options.quoted = (mode & 2) != 0;
    options.mapUmlauts = (mode & 4) != 0;

    // Every variant on the text as one piece.
    for (int variant = 0; variant < 4; ++variant) {
        SplitOptions o = options;
        o.quoted = variant >= 2;
        o.mapUmlauts = variant == 3;
        const std::vector<std::string> fields = splitLine(text, o);
        for (const std::string& f : fields) FUZZ_CHECK(f.size() <= kMaxField);
        FUZZ_CHECK(fields.size() <= text.size());
        if (!o.quoted) {
            // Plain: the fields are the text cut at every separator.
            std::size_t seps = 0;
            for (char c : text) seps += c == o.separator;
            FUZZ_CHECK(fields.size() ==
                       (text.empty() ? 0 : (text.back() == o.separator ? seps : seps + 1)));
        }
    }

    // The file read in pieces.
    const std::string path = fuzzsupport::writeScratch("LINES.CSV", text);
    LineReader reader;
    FUZZ_CHECK(reader.open(path));
    std::string piece, joined;
    std::vector<std::pair<LineReader::Position, std::string>> seen;
    LineReader::Position at = reader.position();
    while (reader.readLine(piece)) {
        FUZZ_CHECK(piece.size() <= kMaxPiece);
        seen.emplace_back(at, piece);
        joined += piece;
        if (!reader.lastPieceCut()) joined += '\n';
        const RoomReportLine line = splitRoomReportLine(piece, options);
        FUZZ_CHECK(line.Satzart.size() <= RoomReportLine::kWidths[0]);
        FUZZ_CHECK(line.ZimmerNr.size() <= RoomReportLine::kWidths[1]);
        FUZZ_CHECK(line.Betrag.size() <= RoomReportLine::kWidths[7]);
        at = reader.position();
    }
    FUZZ_CHECK(!reader.failed());
    // Text mode: CR LF is one line end; the pieces hold everything else.
    std::string expected = fromCrLf(text);
    FUZZ_CHECK(joined == expected);
    // Going back to a saved position reads the same piece again.
    for (std::size_t k = 0; k < seen.size(); k += 1 + seen.size() / 8) {
        FUZZ_CHECK(reader.setPosition(seen[k].first));
        FUZZ_CHECK(reader.readLine(piece));
        FUZZ_CHECK(piece == seen[k].second);
    }
    // Whole lines cut at 149 characters: never more lines than pieces.
    FUZZ_CHECK(reader.setPosition({}));
    std::size_t cutLines = 0;
    while (reader.readLineCut(piece)) {
        FUZZ_CHECK(piece.size() <= kMaxPiece);
        ++cutLines;
    }
    FUZZ_CHECK(cutLines <= seen.size());
    return 0;
}
