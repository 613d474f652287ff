// The room list for the registers: VZIMMERS.CSV from the room-number list
// and the guest lookup of the selected hotel software, uploaded by the
// driver. The button "Zim.Manuell Senden" starts it by hand.
#include "interface/registerfiles/room_list.h"
#include "interface/form_pelko.h"

namespace pelko {

// When the guest file of the hotel software cannot be opened the lookup says
// so once and no list is uploaded: a list with every room empty would take
// every guest off the registers, and the stored measure of the guest file
// stays as it was, so the next check tries again.
void TFormPelko::ZimmerZuKasse() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    const regfiles::RoomListResult result = regfiles::writeRoomList(
        workDir,
        [this](const std::string& room, regfiles::GastDaten&) { return GastDatenLesen(room); },
        GastDaten, [this](const std::string& text) { Meldung(text); });
    ArbeitsverzeichnisSetzen();
    if (result != regfiles::RoomListResult::Written) return;
    countdown = 60;
    jobKind = kJobRoomListUpload;
    DriverStarten();
    ArbeitsverzeichnisSetzen();
}

void TFormPelko::BitBtnZimSendenClick() {
    countdown = 60;
    ZimmerZuKasse();
}

}  // namespace pelko
