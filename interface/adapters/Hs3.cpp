// HS-3: guests from HS3CASH.OUT, bookings into HS3CASH.IN, both in the hotel
// transfer directory. The file formats are in Hs3Files.
#include "interface/adapters/Hs3.h"

#include "interface/adapters/Hs3Files.h"
#include "interface/form_pelko.h"
#include "interface/registerfiles/message_sink.h"
#include "platform/regional.h"

namespace pelko {

bool TFormPelko::HS3DateiLesen(const std::string& zimmerNr) {
    const hs3::LookupResult result =
        hs3::findGuest(hotelFile(hs3::kGuestFile), zimmerNr, GastDaten);
    ArbeitsverzeichnisSetzen();
    if (result == hs3::LookupResult::CannotOpen) {
        Meldung(regfiles::cannotReadMessage(hs3::kGuestFile));
        return false;
    }
    return true;
}

void TFormPelko::ZimmerBerichtZuHS3() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    if (!MWSTDateiLesen()) return;
    hs3::Converter::Steps steps;
    steps.guestOf = [this](const std::string& room) {
        HS3DateiLesen(room);
        return GastDaten;
    };
    steps.operatorName = [this](const std::string& bedienerNr) {
        BedienerDateiLesen(bedienerNr);
        return BedienerName;
    };
    steps.nextReceipt = [this] { return BonNummerErhoehen(); };
    hs3::Converter converter(ZimmerBerichtRahmen(hs3::kBookingFile), std::move(steps), MwstSatz,
                             plat::regional().decimalSeparator);
    converter.run();
    ArbeitsverzeichnisSetzen();
}

HotelAdapter hs3Adapter() {
    HotelAdapter adapter;
    adapter.guestLookup = [](TFormPelko& form, const std::string& zimmerNr) {
        return form.HS3DateiLesen(zimmerNr);
    };
    adapter.roomReportConverter = [](TFormPelko& form) { form.ZimmerBerichtZuHS3(); };
    return adapter;
}

}  // namespace pelko
