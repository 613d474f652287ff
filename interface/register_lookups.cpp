// The register's VAT and operator tables as the room report converters look
// them up, the receipt counter, and the frame every room report converter of
// a hotel software starts from:
//
//   void TFormPelko::ZimmerBerichtZu<Software>() {
//       FileWork work(*this);
//       ArbeitsverzeichnisSetzen();
//       <Software>Converter conv(ZimmerBerichtRahmen("<BOOKING FILE>"), ...);
//       conv.run();          // reading loop, messages, booking file
//       ArbeitsverzeichnisSetzen();
//   }
//
// where the converter (a regfiles::RoomReportConverter) calls the guest
// lookup, BedienerDateiLesen and BonNummerErhoehen of this window from its
// steps.
#include "interface/form_pelko.h"
#include "interface/registerfiles/register_tables.h"

namespace pelko {

bool TFormPelko::MWSTDateiLesen() {
    ArbeitsverzeichnisSetzen();
    return regfiles::lookUpVatRate(workDir, MwstSatz,
                                   [this](const std::string& text) { Meldung(text); });
}

void TFormPelko::BedienerDateiLesen(const std::string& bedienerNr) {
    ArbeitsverzeichnisSetzen();
    regfiles::lookUpOperatorName(workDir, bedienerNr, BedienerName,
                                 [this](const std::string& text) { Meldung(text); });
}

long TFormPelko::BonNummerErhoehen() {
    ++receiptCounter;
    // Stored at once for every room, and forced to the disk once, before the
    // booking file is put in place (ZimmerBerichtRahmen): forcing it for
    // every room made a conversion of a thousand rooms take many seconds.
    BonNummerSpeichern(plat::Durability::Deferred);
    return receiptCounter;
}

regfiles::RoomReportConverter::Setup TFormPelko::ZimmerBerichtRahmen(
    const std::string& bookingName) {
    regfiles::RoomReportConverter::Setup setup;
    setup.workingDirectory = workDir;
    setup.bookingPath = hotelFile(bookingName);
    setup.bookingName = bookingName;
    setup.showStop = [this](const std::string& text) { Meldung(text); };
    // The receipt numbers stored during the conversion are forced to the disk
    // before the booking file that carries them is.
    setup.beforePublish = [this] { EinstellungenSichern(); };
    return setup;
}

}  // namespace pelko
