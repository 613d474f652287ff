// The one-second timer: the countdown to the next check of the guest file,
// the date and time, the five report times, and the check of the hotel
// software's guest file, which sends the room list again when it changed.
//
// A tick that comes while file work is under way (it can come from inside a
// message box that the work shows) moves the countdown and the clock only;
// report times and the guest-file check wait for a tick after the work, and a
// report time that passes meanwhile is not made up, as during a driver run.
// Without a hotel software selected there is no guest file, and the check
// does nothing.
#include "interface/form_pelko.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/regional.h"

namespace pelko {

void TFormPelko::Timer1Timer() {
    if (countdown < -1) countdown = 60;
    --countdown;
    Label3.setCaption(std::to_string(countdown));
    EditDatumZeit.setText(plat::formatDateTime("   dddddd       tt ", plat::now()));
    if (fileWorkUnderWay()) return;

    for (int n = 1; n <= 5; ++n) {
        std::string reportTime = plat::longTime(DateTimePicker(n).dateTime());
        if (reportTime != "00:00:00" && reportTime == plat::longTime(plat::now())) {
            reportSlot = n;
            jobKind = kJobRoomReport;
            DriverStarten();
        }
    }

    if (countdown > 0 || reportSlot != 0) return;
    countdown = 60;
    checkGuestFile();
}

bool TFormPelko::measureGuestFile(std::int64_t& length, std::int32_t& stamp, bool needsOpen) {
    const char* name = guestFileName(hotelSoftware());
    if (!*name) return false;
    std::string path = hotelFile(name);
    std::int64_t len = 0;
    if (needsOpen) {
        plat::File f;
        if (!f.open(path, plat::File::Mode::ReadWrite)) return false;
        len = f.size();
        f.close();
        if (len < 0) return false;
    } else {
        auto size = plat::fileSize(path);
        if (!size) return false;
        len = *size;
    }
    auto age = plat::dosDateStamp(path);
    // Gone between the two looks: no measure at all rather than half of one.
    if (!age) return false;
    length = len;
    stamp = *age;
    return true;
}

void TFormPelko::checkGuestFile() {
    int software = hotelSoftware();
    if (software < 0 || software >= kHotelSoftwareCount) return;
    std::int64_t length = 0;
    std::int32_t stamp = 0;
    if (measureGuestFile(length, stamp, true)) {
        currentLength = length;
        currentStamp = stamp;
    }
    bool changed = software == kHs3 ? currentLength != storedLength : currentStamp != storedStamp;
    if (changed) ZimmerZuKasse();
}

void TFormPelko::BitBtnManuellClick() {
    countdown = 60;
    jobKind = kJobRoomReport;
    DriverStarten();
}

}  // namespace pelko
