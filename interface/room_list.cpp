// The room list for the registers: VZIMMERS.CSV from the room-number list
// and the guest lookup of the selected hotel software, uploaded by the
// driver. The button "Zim.Manuell Senden" starts it by hand.
#include "interface/form_pelko.h"

namespace pelko {

// The room list is not built in this version yet: it says so and uploads
// nothing, so that no register receives an empty or stale room list.
void TFormPelko::ZimmerZuKasse() {
    FileWork work(*this);
    Meldung("Zimmerliste zur Kasse senden ist noch nicht verfügbar");
}

void TFormPelko::BitBtnZimSendenClick() {
    countdown = 60;
    ZimmerZuKasse();
}

}  // namespace pelko
