// What the room report converter targets share: the working directory with
// the room report, guests that depend on the room (accounts of every width,
// so that records that do not fit occur), and the checks on what was written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/room_report.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace fuzzsupport {

struct ConverterBench {
    std::string workDir;
    std::string bookingPath;
    std::vector<std::string> messages;
    long receipt = 0;

    // A fresh working directory with the room report; the hotel transfer
    // directory is its subdirectory "hotel".
    explicit ConverterBench(std::string_view report, const char* bookingName) {
        clearScratch();
        workDir = scratchDir();
        writeScratch("VZimmerBericht.csv", report);
        const std::string hotel = scratchFile("hotel");
        FUZZ_CHECK(plat::makeDirectory(hotel));
        bookingPath = plat::joinPath(hotel, bookingName);
    }

    regfiles::RoomReportConverter::Setup setup(const char* bookingName) {
        regfiles::RoomReportConverter::Setup s;
        s.workingDirectory = workDir;
        s.bookingPath = bookingPath;
        s.bookingName = bookingName;
        s.showStop = [this](const std::string& m) { messages.push_back(m); };
        return s;
    }

    // The guest of a room: none for rooms that begin with "0" or are empty,
    // otherwise an account as long as the room's length asks for.
    static regfiles::GastDaten guestOf(const std::string& room) {
        regfiles::GastDaten g;
        if (room.empty() || room[0] == '0') return g;
        g.set(room, "\"Gast " + room + "\"", std::string(room.size() % 14, '7'));
        return g;
    }

    long nextReceipt() { return ++receipt; }

    static plat::DateTime clock() { return plat::DateTime{2026, 12, 11, 14, 5, 33, 0, 5}; }

    std::string booking() const {
        std::string out;
        FUZZ_CHECK(plat::readWholeFile(bookingPath, out));
        return out;
    }
};

// The lines of a text file written with CR LF: every line end is CR LF.
inline std::vector<std::string> crLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        FUZZ_CHECK(end != std::string::npos);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// Booking lines of the room report that a converter may book: one per line
// of the report at most.
inline std::size_t reportLines(std::string_view report) {
    std::size_t n = 1;
    for (char c : report) n += c == '\n';
    return n;
}

}  // namespace fuzzsupport
