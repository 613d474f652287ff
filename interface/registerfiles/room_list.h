// The room list for the registers: VZIMMERS.CSV from the room-number list
// VZIMMER.CSV, with the guest of every room from the hotel software.
#pragma once

#include <functional>
#include <string>

#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/message_sink.h"

namespace regfiles {

inline constexpr const char* kRoomNumberListFile = "VZIMMER.CSV";
inline constexpr const char* kRoomListFile = "VZIMMERS.CSV";
inline constexpr const char* kRoomNumbersMissingMessage = " Zimmernummern  bitte anlegen ! ";

// A guest lookup of the selected hotel software: fills `guest` (the object
// given to writeRoomList) for `room` and shows its own message when its file
// cannot be opened, answering false then.
using GuestLookup = std::function<bool(const std::string& room, GastDaten& guest)>;

enum class RoomListResult {
    Written,           // VZIMMERS.CSV written: upload it
    NoRoomNumbers,     // VZIMMER.CSV missing (message shown)
    CannotRead,        // VZIMMER.CSV not readable (message shown)
    CannotWrite,       // VZIMMERS.CSV cannot be created or written (message shown)
    GuestFileMissing,  // the guest file of the hotel software cannot be opened
};

// Writes VZIMMERS.CSV in `workingDirectory`: per line of VZIMMER.CSV its
// fields 1, 2 and 4, `Zimmer` and `Name` of the lookup of field 3 in place of
// fields 3 and 5, each followed by ";"; further fields are dropped; an empty
// line is left out. `guest` keeps the answer of the last lookup.
//
// When the guest file cannot be opened, the lookup has shown its message and
// the room list ends there: VZIMMERS.CSV is left as it was and nothing is to
// be uploaded, because a list with every room empty would take every guest
// off the registers.
RoomListResult writeRoomList(const std::string& workingDirectory, const GuestLookup& lookup,
                             GastDaten& guest, const MessageSink& showStop);

}  // namespace regfiles
