// Protel: guests from INHOUSE.DAT, room charges into ROOMBOOK.DAT, the
// registers' journals into XREDUCT.DAT (all in the hotel transfer
// directory), with the register's article and Z-text tables and the
// reactivation list TiReaktiv.ini in the working directory. The file formats
// are in ProtelGuests, ProtelTables, ProtelRoomBook, ProtelRevenue and
// ProtelReactivation.
#include "interface/adapters/Protel.h"

#include "interface/adapters/ProtelGuests.h"
#include "interface/adapters/ProtelReactivation.h"
#include "interface/adapters/ProtelRevenue.h"
#include "interface/adapters/ProtelRoomBook.h"
#include "interface/adapters/ProtelTables.h"
#include "interface/form_pelko.h"
#include "interface/registerfiles/message_sink.h"

namespace pelko {

bool TFormPelko::ProtelDateiLesen(const std::string& zimmerNr) {
    const protel::LookupResult result =
        protel::findGuest(hotelFile(protel::kGuestFile), zimmerNr, GastDaten);
    ArbeitsverzeichnisSetzen();
    if (result == protel::LookupResult::CannotOpen) {
        Meldung(regfiles::cannotReadMessage(protel::kGuestFile));
        return false;
    }
    return true;
}

void TFormPelko::ZTextDateiLesen(std::string& nummer) {
    protel::translateZText(workDir, nummer, [this](const std::string& text) { Meldung(text); });
}

void TFormPelko::ArtikelDateiLesen(std::string& nummer) {
    protel::translateArticle(workDir, nummer, ArtikelGruppe,
                             [this](const std::string& text) { Meldung(text); });
}

protel::BlockTips TFormPelko::TippSuchen(regfiles::LineReader& bericht, const std::string& zimmer) {
    return protel::findBlockTips(bericht, zimmer);
}

void TFormPelko::ZimmerBerichtZuProtel() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    protel::RoomBookConverter::Steps steps;
    steps.guestOf = [this](const std::string& room) {
        ProtelDateiLesen(room);
        return GastDaten;
    };
    steps.operatorLookup = [this](const std::string& bedienerNr) {
        BedienerDateiLesen(bedienerNr);
    };
    steps.nextReceipt = [this] { return BonNummerErhoehen(); };
    steps.zText = [this](std::string& number) { ZTextDateiLesen(number); };
    steps.article = [this](std::string& number, std::string& group) {
        ArtikelDateiLesen(number);
        group = ArtikelGruppe;
    };
    steps.tips = [this](regfiles::LineReader& report, const std::string& room) {
        return TippSuchen(report, room);
    };
    protel::RoomBookConverter converter(ZimmerBerichtRahmen(protel::kBookingFile),
                                        std::move(steps));
    converter.run();
    ArbeitsverzeichnisSetzen();
}

void TFormPelko::ReaktivSuchen(regfiles::LineReader& journal, plat::IniFile& liste) {
    protel::buildReactivationList(journal, liste);
}

protel::BillTips TFormPelko::NachlassSuchen(regfiles::LineReader& journal,
                                            const std::string& rechnung) {
    return protel::findBillTips(journal, rechnung);
}

void TFormPelko::UmsatzBerichtZuProtel() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    protel::RevenueConverter::Setup setup;
    setup.workingDirectory = workDir;
    setup.revenuePath = hotelFile(protel::kRevenueFile);
    // The journals the revenue report command file fetched.
    setup.registers = KassenAnzahl();
    setup.showStop = [this](const std::string& text) { Meldung(text); };
    setup.zText = [this](std::string& number) { ZTextDateiLesen(number); };
    setup.article = [this](std::string& number, std::string& group) {
        ArtikelDateiLesen(number);
        group = ArtikelGruppe;
    };
    setup.billTips = [this](regfiles::LineReader& journal, const std::string& bill) {
        return NachlassSuchen(journal, bill);
    };
    setup.reactivation = [this](regfiles::LineReader& journal, plat::IniFile& list) {
        ReaktivSuchen(journal, list);
    };
    protel::RevenueConverter(std::move(setup)).run();
    ArbeitsverzeichnisSetzen();
}

HotelAdapter protelAdapter() {
    HotelAdapter adapter;
    adapter.guestLookup = [](TFormPelko& form, const std::string& zimmerNr) {
        return form.ProtelDateiLesen(zimmerNr);
    };
    adapter.roomReportConverter = [](TFormPelko& form) { form.ZimmerBerichtZuProtel(); };
    adapter.revenueConverter = [](TFormPelko& form) { form.UmsatzBerichtZuProtel(); };
    return adapter;
}

}  // namespace pelko
