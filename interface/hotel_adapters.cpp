// The adapter registry and the three calls of the program into the adapter of
// the selected hotel software. An operation that no adapter provides yet is
// reported as not available, with the stop icon, and nothing is converted.
#include "interface/hotel_adapters.h"

#include "interface/form_pelko.h"

namespace pelko {
namespace {

bool known(int software) {
    return software >= 0 && software < kHotelSoftwareCount;
}

}  // namespace

const char* hotelSoftwareName(int software) {
    static const char* const names[kHotelSoftwareCount] = {"HS-3", "Velox", "Protel", "hotline"};
    return known(software) ? names[software] : "";
}

const char* guestFileName(int software) {
    static const char* const names[kHotelSoftwareCount] = {"HS3CASH.OUT", "ROOM.DAT", "INHOUSE.DAT",
                                                           "OSNAME.DAT"};
    return known(software) ? names[software] : "";
}

const char* bookingFileName(int software) {
    static const char* const names[kHotelSoftwareCount] = {"HS3CASH.IN", "BOOK.DAT", "ROOMBOOK.DAT",
                                                           "OSUMSATZ.DAT"};
    return known(software) ? names[software] : "";
}

void HotelAdapterRegistry::set(int software, HotelAdapter adapter) {
    if (known(software)) adapters_[static_cast<std::size_t>(software)] = std::move(adapter);
}

const HotelAdapter* HotelAdapterRegistry::find(int software) const {
    if (!known(software)) return nullptr;
    const auto& a = adapters_[static_cast<std::size_t>(software)];
    return a ? &*a : nullptr;
}

bool TFormPelko::GastDatenLesen(const std::string& zimmerNr) {
    FileWork work(*this);
    GastDaten = regfiles::GastDaten{};
    bool ok = false;
    const HotelAdapter* adapter = adapters_->find(hotelSoftware());
    if (!known(hotelSoftware())) {
        Meldung("Keine Hotelsoftware gewählt");
    } else if (!adapter || !adapter->guestLookup) {
        Meldung(std::string("Gästedaten von ") + hotelSoftwareName(hotelSoftware()) +
                " können noch nicht gelesen werden (nicht verfügbar)");
    } else {
        ok = adapter->guestLookup(*this, zimmerNr);
    }
    ArbeitsverzeichnisSetzen();
    return ok;
}

void TFormPelko::ZimmerBerichtUmsetzen() {
    FileWork work(*this);
    const HotelAdapter* adapter = adapters_->find(hotelSoftware());
    if (!known(hotelSoftware())) {
        Meldung("Keine Hotelsoftware gewählt: der Zimmer-Bericht wird nicht umgesetzt");
    } else if (!adapter || !adapter->roomReportConverter) {
        Meldung(std::string("Zimmer-Bericht für ") + hotelSoftwareName(hotelSoftware()) +
                " kann noch nicht umgesetzt werden (nicht verfügbar)");
    } else {
        adapter->roomReportConverter(*this);
        // The receipt numbers the conversion stored reach the disk now.
        EinstellungenSichern();
    }
    ArbeitsverzeichnisSetzen();
}

void TFormPelko::UmsatzBerichtUmsetzen() {
    FileWork work(*this);
    const HotelAdapter* adapter = adapters_->find(hotelSoftware());
    if (hotelSoftware() != kProtel) {
        Meldung("Umsatz-Bericht gibt es nur mit Protel Hotelsoftware");
    } else if (!adapter || !adapter->revenueConverter) {
        Meldung(std::string("Umsatz-Bericht für ") + hotelSoftwareName(hotelSoftware()) +
                " kann noch nicht umgesetzt werden (nicht verfügbar)");
    } else {
        adapter->revenueConverter(*this);
    }
    ArbeitsverzeichnisSetzen();
}

}  // namespace pelko
