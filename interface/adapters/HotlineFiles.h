// hotline: the guests in house from OSNAME.DAT and the booking file
// OSUMSATZ.DAT, without the window (the main window's members
// HotlineDateiLesen and ZimmerBerichtZuHotline are built on these).
//
// OSNAME.DAT is read in blocks of 152 characters (a line end counts as one);
// a shorter rest at the end of the file is no record:
//   1-5    room number: the room value is the five characters trimmed
//   6-15   account: Konto, trimmed
//   16-35  guest name: Name is the name trimmed, in double quotes
//   36-151 not read
//   152    record mark: only blocks with a blank here are guests
//
// OSUMSATZ.DAT: records of exactly 65 characters, one after another, no line
// ends:
//   1-5   room, right-aligned           6-15  Konto, right-aligned
//   16    "1"                           17-26 Betrag, right-aligned, commas as points
//   27-36 "       .  "                  37-46 "       .  "
//   47-56 tip sum or "       .  "       57-64 date yyyymmdd
//   65    a blank
// A room longer than 5 characters, Konto, Betrag or tip text longer than 10:
// the record is not written and the line is reported
// (fixedwidth::RecordConverter).
//
// The tip sum, single precision, starts at 0 with every conversion. Every
// room booking line with TabellenNr exactly "900" and all eight fields adds
// its Betrag (a comma third from the end read as a point, then read the C
// way: decimal point only, up to the first character that does not fit). A
// booking record takes the sum when it is above 0, as fixed-point text with
// two decimals and seven digits of precision, and sets it back to 0; the
// same holds when that record does not fit and is reported instead.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "interface/adapters/FixedWidthFiles.h"
#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/guest_lookup.h"
#include "interface/registerfiles/room_report.h"
#include "platform/clock.h"

namespace hotline {

inline constexpr const char* kGuestFile = "OSNAME.DAT";
inline constexpr const char* kBookingFile = "OSUMSATZ.DAT";
inline constexpr std::size_t kBlockSize = 152;
inline constexpr std::size_t kRecordSize = 65;
inline constexpr const char* kEmptyAmount = "       .  ";  // seven blanks, a point, two blanks

// The room value of a block: positions 1-5 trimmed.
std::string roomValue(std::string_view block);

// Whether a block is a guest record: a whole block with a blank in its last
// position (the record mark).
bool isGuestRecord(std::string_view block);

// The guest of a block: Zimmer (the room value), Konto and Name.
regfiles::GastDaten guestOfBlock(std::string_view block);

using regfiles::LookupResult;

// Looks up the guest of `room` in OSNAME.DAT at `path`: `guest` starts as a
// room without guest; the first guest record whose room value equals `room`
// gives the guest. An empty room number never matches. The file is opened at
// every call; what it holds is kept while it is unchanged
// (regfiles::LookupCache).
LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest);

// The amount of a tip line: a comma third from the end becomes a point, then
// the text is read the C way (no number reads as 0).
double tipAmount(std::string_view betrag);

// `value` as fixed-point text with `decimals` decimals, rounded once (halves
// away from zero) to at most `precision` significant digits. Without value
// when the integer part needs more than `precision` digits (or the value is
// not finite).
std::optional<std::string> fixedPointText(double value, int precision, int decimals,
                                          char decimalSeparator);

// The text of a tip sum in positions 47-56: seven digits of precision, two
// decimals, the regional decimal separator, then every comma a point.
// Without value when the sum has no such text (ten million or more).
std::optional<std::string> tipText(float sum, char decimalSeparator);

// The values of one OSUMSATZ.DAT record.
struct Booking {
    std::string room;
    std::string konto;   // empty without guest
    std::string betrag;  // as the register wrote it
    std::string tip;     // the text of the tip sum; empty: the placeholder
    plat::DateTime date;
};

// The record of a booking; fits() is false when a value is too long.
fixedwidth::RecordBuilder formatRecord(const Booking& b);

// The room report converter for hotline: one OSUMSATZ.DAT record per room
// booking line with TabellenNr 0 and EintragNr 99, carrying the tips booked
// since the previous record.
class Converter : public fixedwidth::RecordConverter {
  public:
    struct Steps {
        // HotlineDateiLesen for a room: the guest of the room.
        std::function<regfiles::GastDaten(const std::string& room)> guestOf;
        // BedienerDateiLesen; the name does not enter OSUMSATZ.DAT.
        std::function<void(const std::string& bedienerNr)> lookUpOperator;
        // The date of a record.
        std::function<plat::DateTime()> clock = plat::now;
    };

    Converter(Setup setup, Steps steps, char decimalSeparator)
        : RecordConverter(std::move(setup)),
          steps_(std::move(steps)),
          decimalSeparator_(decimalSeparator) {}

    void roomChanged(const regfiles::RoomReportLine& line) override;
    void operatorRead(const regfiles::RoomReportLine& line) override;
    bool lineEnd(const regfiles::RoomReportLine& line) override;

    // Whether a line is one hotline books, and whether it is a tip line.
    static bool books(const regfiles::RoomReportLine& line);
    static bool isTip(const regfiles::RoomReportLine& line);

    float tipSum() const { return tipSum_; }

  protected:
    bool beforeReading() override;

  private:
    Steps steps_;
    char decimalSeparator_;
    regfiles::GastDaten guest_;
    long roomChangedOnLine_ = 0;
    float tipSum_ = 0;
};

}  // namespace hotline
