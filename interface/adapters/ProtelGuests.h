// Protel: the guests in house from INHOUSE.DAT in the hotel transfer
// directory, without the window (the main window's member ProtelDateiLesen
// is built on it).
//
// INHOUSE.DAT holds one guest stay per line, fields separated by "|" with no
// quoting: field 2 the guest's account, field 3 the room (only the part before
// its first blank counts), field 4 the guest's name. Lines are read with at
// most 149 characters (the rest of a longer line is cut off), fields with at
// most 49; the account and the room are kept with at most 29 characters, the
// name with its first 25.
#pragma once

#include <string>
#include <string_view>

#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/guest_lookup.h"

namespace protel {

inline constexpr const char* kGuestFile = "INHOUSE.DAT";
inline constexpr std::size_t kNameLength = 25;

// The room of field 3: the part before its first blank, at most 29 characters.
std::string roomValue(std::string_view field);

using regfiles::LookupResult;

// Looks up the guest of `room` in the guest file at `path`. `guest` starts as
// a room without guest; the first line whose room equals `room` (texts
// compared exactly) gives Zimmer (the room), Konto (field 2) and Name (a
// double quote, field 4 cut to 25 characters, a double quote; a line without
// field 4 leaves the name of a room without guest). An empty room number
// never matches a guest. The file is opened at every call; what it holds is
// kept while it is unchanged (regfiles::LookupCache).
LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest);

}  // namespace protel
