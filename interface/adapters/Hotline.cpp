// hotline: guests from OSNAME.DAT, bookings into OSUMSATZ.DAT, both in the
// hotel transfer directory. The file formats are in HotlineFiles.
#include "interface/adapters/Hotline.h"

#include "interface/adapters/HotlineFiles.h"
#include "interface/form_pelko.h"
#include "interface/registerfiles/message_sink.h"
#include "platform/regional.h"

namespace pelko {

bool TFormPelko::HotlineDateiLesen(const std::string& zimmerNr) {
    const hotline::LookupResult result =
        hotline::findGuest(hotelFile(hotline::kGuestFile), zimmerNr, GastDaten);
    ArbeitsverzeichnisSetzen();
    if (result == hotline::LookupResult::CannotOpen) {
        Meldung(regfiles::cannotReadMessage(hotline::kGuestFile));
        return false;
    }
    return true;
}

// hotline bookings carry no receipt number and no VAT rate; the operator
// lookup still runs, so that a missing VBED.CSV is reported.
void TFormPelko::ZimmerBerichtZuHotline() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    hotline::Converter::Steps steps;
    steps.guestOf = [this](const std::string& room) {
        HotlineDateiLesen(room);
        return GastDaten;
    };
    steps.lookUpOperator = [this](const std::string& bedienerNr) {
        BedienerDateiLesen(bedienerNr);
    };
    hotline::Converter converter(ZimmerBerichtRahmen(hotline::kBookingFile), std::move(steps),
                                 plat::regional().decimalSeparator);
    converter.convert();
    ArbeitsverzeichnisSetzen();
}

HotelAdapter hotlineAdapter() {
    HotelAdapter adapter;
    adapter.guestLookup = [](TFormPelko& form, const std::string& zimmerNr) {
        return form.HotlineDateiLesen(zimmerNr);
    };
    adapter.roomReportConverter = [](TFormPelko& form) { form.ZimmerBerichtZuHotline(); };
    return adapter;
}

}  // namespace pelko
