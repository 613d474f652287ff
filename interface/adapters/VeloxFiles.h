// Velox: the guests in house from ROOM.DAT and the booking file BOOK.DAT,
// without the window (the main window's members VeloxDateiLesen and
// ZimmerBerichtZuVelox are built on these).
//
// ROOM.DAT is read in blocks of 66 characters (a line end counts as one):
//   1-10  room number, left-aligned: the room value is the characters before
//         the first blank, all ten when there is none
//   11-20 account: Konto is every non-blank character of the ten
//   21-45 guest name: Name is a double quote, these 25 characters (blanks
//         included) and a double quote
//   46-66 not read
// A shorter rest at the end of the file (a last record without its line end)
// is read as a block when it holds the 45 characters that are read, and is
// no record otherwise.
//
// BOOK.DAT: records of exactly 64 characters, one after another, no line
// ends:
//   1-10  Konto, right-aligned          11-18 date ddmmyyyy
//   19-24 time hhmmss                   25-38 Betrag, right-aligned, commas as points
//   39-46 "Kasse   "                    47-56 ten blanks
//   57-59 "Bed"                         60-64 BedienerNr, left-aligned
// Konto longer than 10 or Betrag longer than 14 characters: the record is not
// written and the line is reported (fixedwidth::RecordConverter). BedienerNr,
// a reference for the reader of the booking, is cut to its first 5
// characters.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "interface/adapters/FixedWidthFiles.h"
#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/guest_lookup.h"
#include "interface/registerfiles/room_report.h"
#include "platform/clock.h"

namespace velox {

inline constexpr const char* kGuestFile = "ROOM.DAT";
inline constexpr const char* kBookingFile = "BOOK.DAT";
inline constexpr std::size_t kBlockSize = 66;
inline constexpr std::size_t kShortestRest = 45;  // a shorter rest of ROOM.DAT is no record
inline constexpr std::size_t kRecordSize = 64;

// The room value of a block: positions 1-10 up to the first blank.
std::string roomValue(std::string_view block);

// The guest of a block: Zimmer (the room value), Konto and Name.
regfiles::GastDaten guestOfBlock(std::string_view block);

using regfiles::LookupResult;

// Looks up the guest of `room` in ROOM.DAT at `path`: `guest` starts as a
// room without guest; every block whose room value equals `room` gives the
// guest, so the last matching block counts. An empty room number never
// matches. A file that cannot be opened or read to its end leaves the values
// of a room without guest. The file is opened at every call; what it holds
// is kept while it is unchanged (regfiles::LookupCache).
LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest);

// The values of one BOOK.DAT record.
struct Booking {
    std::string konto;       // the guest's account, empty without guest
    plat::DateTime time;     // the time of the conversion
    std::string betrag;      // Betrag as the register wrote it
    std::string bedienerNr;  // operator number
};

// The record of a booking; fits() is false when Konto or Betrag is too long.
fixedwidth::RecordBuilder formatRecord(const Booking& b);

// The room report converter for Velox: one BOOK.DAT record per room booking
// line with TabellenNr 0 and EintragNr 99.
class Converter : public fixedwidth::RecordConverter {
  public:
    struct Steps {
        // MWSTDateiLesen: false when the conversion must end (VAT rate not a
        // number). The rate itself does not enter BOOK.DAT.
        std::function<bool()> readVatRate;
        // VeloxDateiLesen for a room: the guest of the room.
        std::function<regfiles::GastDaten(const std::string& room)> guestOf;
        // BedienerDateiLesen for an operator; the name does not enter BOOK.DAT.
        std::function<void(const std::string& bedienerNr)> lookUpOperator;
        // The next receipt number (raised and stored at once); not written.
        std::function<long()> nextReceipt;
        // The time of a record.
        std::function<plat::DateTime()> clock = plat::now;
    };

    Converter(Setup setup, Steps steps)
        : RecordConverter(std::move(setup)), steps_(std::move(steps)) {}

    void roomChanged(const regfiles::RoomReportLine& line) override;
    void operatorRead(const regfiles::RoomReportLine& line) override;
    bool lineEnd(const regfiles::RoomReportLine& line) override;

    // Whether a line is one Velox books.
    static bool books(const regfiles::RoomReportLine& line);

  protected:
    bool beforeReading() override;

  private:
    Steps steps_;
    regfiles::GastDaten guest_;
};

}  // namespace velox
