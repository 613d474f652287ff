// The hotel software adapters and the one place where the program reaches
// them. Each hotel software (the item index of ComboBoxHotelsoftware) has up
// to three operations:
//   - guest lookup: finds the guest of a room in the hotel software's guest
//     file and leaves the result in FormPelko.GastDaten;
//   - room report converter: turns the room report VZimmerBericht.csv of the
//     working directory into the hotel software's booking file;
//   - revenue converter: turns the registers' journals into the hotel
//     software's revenue file.
// The result evaluation, the room list and the window-less verbs call them
// only through TFormPelko::GastDatenLesen, ZimmerBerichtUmsetzen and
// UmsatzBerichtUmsetzen; an adapter plugs in by registering its operations
// in registerHotelAdapters (interface/adapters/adapters.cpp).
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace pelko {

class TFormPelko;

// Item indexes of ComboBoxHotelsoftware.
inline constexpr int kHs3 = 0;
inline constexpr int kVelox = 1;
inline constexpr int kProtel = 2;
inline constexpr int kHotline = 3;
inline constexpr int kHotelSoftwareCount = 4;

// "HS-3", "Velox", "Protel", "hotline"; "" for an index without software.
const char* hotelSoftwareName(int software);
// The guest file the hotel software writes and the program reads
// ("HS3CASH.OUT", "ROOM.DAT", "INHOUSE.DAT", "OSNAME.DAT"), and the booking
// file the program writes ("HS3CASH.IN", "BOOK.DAT", "ROOMBOOK.DAT",
// "OSUMSATZ.DAT"); "" for an index without software.
const char* guestFileName(int software);
const char* bookingFileName(int software);

struct HotelAdapter {
    // Looks up the room number (compared as text) and fills form.GastDaten,
    // which the caller has set to a room without guest ("0", "\"  \"", "").
    // Shows its own message and answers false when the guest file cannot be
    // opened; true otherwise, guest found or not.
    std::function<bool(TFormPelko& form, const std::string& zimmerNr)> guestLookup;
    // Converts the room report into the booking file.
    std::function<void(TFormPelko& form)> roomReportConverter;
    // Converts the journals VEJournal<n>.csv into the revenue file.
    std::function<void(TFormPelko& form)> revenueConverter;
};

class HotelAdapterRegistry {
  public:
    // Sets (or replaces) the operations of one hotel software. Operations
    // left empty are "not available".
    void set(int software, HotelAdapter adapter);
    // The adapter of a hotel software; null when none is registered or the
    // index has no hotel software.
    const HotelAdapter* find(int software) const;

  private:
    std::array<std::optional<HotelAdapter>, kHotelSoftwareCount> adapters_;
};

// Registers every adapter built into the program.
void registerHotelAdapters(HotelAdapterRegistry& registry);

}  // namespace pelko
