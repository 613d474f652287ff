// Velox: guests from ROOM.DAT, bookings into BOOK.DAT, both in the hotel
// transfer directory. The file formats are in VeloxFiles.
#include "interface/adapters/Velox.h"

#include "interface/adapters/VeloxFiles.h"
#include "interface/form_pelko.h"
#include "interface/registerfiles/message_sink.h"

namespace pelko {

bool TFormPelko::VeloxDateiLesen(const std::string& zimmerNr) {
    const velox::LookupResult result =
        velox::findGuest(hotelFile(velox::kGuestFile), zimmerNr, GastDaten);
    ArbeitsverzeichnisSetzen();
    if (result == velox::LookupResult::CannotOpen) {
        Meldung(regfiles::cannotReadMessage(velox::kGuestFile));
        return false;
    }
    return true;
}

// The VAT rate, the operator name and the receipt number do not enter
// BOOK.DAT; the lookups still run, so that a missing table is reported and
// the receipt counter goes on for a later HS-3 or Protel conversion.
void TFormPelko::ZimmerBerichtZuVelox() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    velox::Converter::Steps steps;
    steps.readVatRate = [this] { return MWSTDateiLesen(); };
    steps.guestOf = [this](const std::string& room) {
        VeloxDateiLesen(room);
        return GastDaten;
    };
    steps.lookUpOperator = [this](const std::string& bedienerNr) {
        BedienerDateiLesen(bedienerNr);
    };
    steps.nextReceipt = [this] { return BonNummerErhoehen(); };
    velox::Converter converter(ZimmerBerichtRahmen(velox::kBookingFile), std::move(steps));
    converter.convert();
    ArbeitsverzeichnisSetzen();
}

HotelAdapter veloxAdapter() {
    HotelAdapter adapter;
    adapter.guestLookup = [](TFormPelko& form, const std::string& zimmerNr) {
        return form.VeloxDateiLesen(zimmerNr);
    };
    adapter.roomReportConverter = [](TFormPelko& form) { form.ZimmerBerichtZuVelox(); };
    return adapter;
}

}  // namespace pelko
