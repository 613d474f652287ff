// HS-3: the guests in house from HS3CASH.OUT and the booking file HS3CASH.IN,
// without the window (the main window's members HS3DateiLesen and
// ZimmerBerichtZuHS3 are built on these).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/guest_lookup.h"
#include "interface/registerfiles/room_report.h"
#include "platform/clock.h"

namespace hs3 {

inline constexpr const char* kGuestFile = "HS3CASH.OUT";
inline constexpr const char* kBookingFile = "HS3CASH.IN";

// The room value of field 2 of HS3CASH.OUT: the first character (the opening
// quote) dropped, then the characters up to the first blank or up to the last
// character, whichever comes first; the last character (the closing quote)
// is never taken.
std::string roomValue(std::string_view field);

using regfiles::LookupResult;

// Looks up the guest of `room` in the HS-3 guest file at `path`: `guest`
// starts as a room without guest; the first line whose room value equals
// `room` gives Zimmer (the room value), Konto (field 1) and Name (field 3 as
// written). An empty room number never matches a guest. The file is opened
// at every call; what it holds is kept while it is unchanged
// (regfiles::LookupCache).
LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest);

// The fields of one line of HS3CASH.IN.
struct Booking {
    std::string konto;         // 1  account of the room's guest, empty without guest
    std::string receipt;       // 2  receipt number, three digits or more
    std::string date;          // 3  dd.mm.yyyy
    std::string time;          // 4  hh:mm
    std::string menge;         // 5  quantity, 0.00
    std::string eintragNr;     // 6  article number
    std::string text;          // 7  article text with the register's quotes
    std::string mwstSatz;      // 8  VAT rate
    std::string unitPrice;     // 9  Betrag / Menge, 0.00
    std::string betrag;        // 10 amount as the register wrote it
    std::string bedienerNr;    // 12 operator number (11 is the currency)
    std::string bedienerName;  // 13 operator name with its quotes
};

// A line of HS3CASH.IN without its line end.
std::string formatBooking(const Booking& b);

// Field 5: Menge read the C way (decimal point only, up to the first
// character that does not fit, no number 0), two decimals.
std::string quantityText(std::string_view menge, char decimalSeparator);

// Field 9: Betrag / Menge in single precision, two decimals. Each value is
// read as a number with the regional separator or, failing that, with the
// other one; a value that is not a number counts as 1, and so does a Menge
// of 0 (the unit price is then Betrag).
std::string unitPriceText(std::string_view menge, std::string_view betrag, char decimalSeparator);

// The room report converter for HS-3: books every room booking line whose
// TabellenNr is 5000 or more as a line of HS3CASH.IN.
class Converter : public regfiles::RoomReportConverter {
  public:
    struct Steps {
        // HS3DateiLesen for a room: the guest of the room.
        std::function<regfiles::GastDaten(const std::string& room)> guestOf;
        // BedienerDateiLesen for an operator: the operator's name.
        std::function<std::string(const std::string& bedienerNr)> operatorName;
        // The next receipt number (raised and stored at once).
        std::function<long()> nextReceipt;
        // The time of a booking line.
        std::function<plat::DateTime()> clock = plat::now;
    };

    Converter(Setup setup, Steps steps, std::string mwstSatz, char decimalSeparator)
        : RoomReportConverter(std::move(setup)),
          steps_(std::move(steps)),
          mwstSatz_(std::move(mwstSatz)),
          decimalSeparator_(decimalSeparator) {}

    void roomChanged(const regfiles::RoomReportLine& line) override;
    void operatorRead(const regfiles::RoomReportLine& line) override;
    bool lineEnd(const regfiles::RoomReportLine& line) override;

    // Whether a line is one HS-3 books.
    static bool books(const regfiles::RoomReportLine& line);

  private:
    Steps steps_;
    std::string mwstSatz_;
    char decimalSeparator_;
    regfiles::GastDaten guest_;
    std::string receipt_;
    std::string bedienerName_;
};

}  // namespace hs3
