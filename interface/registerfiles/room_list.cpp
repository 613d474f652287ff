#include "interface/registerfiles/room_list.h"

#include <vector>

#include "interface/registerfiles/line_splitter.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace regfiles {

RoomListResult writeRoomList(const std::string& workingDirectory, const GuestLookup& lookup,
                             GastDaten& guest, const MessageSink& showStop) {
    auto stop = [&](const std::string& text) {
        if (showStop) showStop(text);
    };
    const std::string inPath = plat::joinPath(workingDirectory, kRoomNumberListFile);
    if (!plat::fileExists(inPath)) {
        stop(kRoomNumbersMissingMessage);
        return RoomListResult::NoRoomNumbers;
    }
    LineReader in;
    if (!in.open(inPath)) {
        stop(cannotReadMessage("VZimmer.csv"));
        return RoomListResult::CannotRead;
    }
    // The list is built first and written as a whole, so that a run that ends
    // early leaves the previous VZIMMERS.CSV untouched.
    std::string out;
    std::string piece;
    while (in.readLineCut(piece)) {  // a line is cut at 149 characters
        const std::vector<std::string> fields = splitPlain(piece, ';');
        if (fields.empty()) continue;
        std::string line;
        for (std::size_t i = 0; i < fields.size() && i < 5; ++i) {
            switch (i) {
                case 2:
                    if (!lookup(fields[2], guest)) return RoomListResult::GuestFileMissing;
                    line += guest.Zimmer;
                    break;
                case 4:
                    line += guest.Name;
                    break;
                default:
                    line += fields[i];
                    break;
            }
            line += ';';
        }
        out += line;
        out += "\r\n";
    }
    if (in.failed()) {
        stop(cannotReadMessage("VZimmer.csv"));
        return RoomListResult::CannotRead;
    }
    in.close();
    // Put in place whole: the driver never uploads a cut room list.
    plat::ReplacingFile file;
    if (!file.open(plat::joinPath(workingDirectory, kRoomListFile))) {
        stop(cannotReadMessage("VZimmerS.csv"));
        return RoomListResult::CannotWrite;
    }
    if (!file.write(out) || !file.commit()) {
        stop(cannotWriteMessage("VZimmerS.csv"));
        return RoomListResult::CannotWrite;
    }
    return RoomListResult::Written;
}

}  // namespace regfiles
