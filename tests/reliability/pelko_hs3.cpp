// The interface program with the HS-3 adapter wired in as the program's own
// adapter list will wire it: the guest lookup over HS3CASH.OUT, and the room
// report converter writing HS3CASH.IN, raising the receipt counter and
// storing it at once in the settings file. The crash tests kill it in the
// middle of its work.
#include "interface/adapters/Hs3Files.h"
#include "interface/headless.h"
#include "interface/hotel_adapters.h"
#include "interface/registerfiles/register_tables.h"

int main(int argc, char** argv) {
    pelko::HotelAdapterRegistry adapters;
    pelko::HotelAdapter hs3Adapter;
    hs3Adapter.guestLookup = [](pelko::TFormPelko& form, const std::string& room) {
        const hs3::LookupResult r =
            hs3::findGuest(form.hotelFile(hs3::kGuestFile), room, form.GastDaten);
        if (r == hs3::LookupResult::CannotOpen)
            form.Meldung(regfiles::cannotReadMessage(hs3::kGuestFile));
        return r != hs3::LookupResult::CannotOpen;
    };
    hs3Adapter.roomReportConverter = [](pelko::TFormPelko& form) {
        auto show = [&form](const std::string& m) { form.Meldung(m); };
        std::string mwst;
        regfiles::lookUpVatRate(form.workDir, mwst, show);
        hs3::Converter::Steps steps;
        steps.guestOf = [&form](const std::string& room) {
            regfiles::GastDaten g;
            hs3::findGuest(form.hotelFile(hs3::kGuestFile), room, g);
            return g;
        };
        steps.operatorName = [&form, show](const std::string& nr) {
            std::string name;
            regfiles::lookUpOperatorName(form.workDir, nr, name, show);
            return name;
        };
        steps.nextReceipt = [&form] {
            ++form.receiptCounter;
            form.BonNummerSpeichern();
            return static_cast<long>(form.receiptCounter);
        };
        regfiles::RoomReportConverter::Setup setup{form.workDir, form.hotelFile(hs3::kBookingFile),
                                                   hs3::kBookingFile, show};
        hs3::Converter(setup, steps, mwst, ',').run();
    };
    adapters.set(pelko::kHs3, hs3Adapter);
    return pelko::headless::programMain(argc, argv, adapters);
}
