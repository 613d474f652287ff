// Starting the register driver for a job and evaluating its result: the
// status line, the report-time labels, and what follows each kind of job
// (the hotel software's converter after a room report, measuring the guest
// file after a room-list upload, the revenue converter after a Protel revenue
// report, the automatic program fetch and revenue report after report time 5).
//
// Two rules keep a charge from being booked twice:
//   - An end file of the process day left from an earlier run is removed
//     before the driver starts; a run that leaves no end file is then never
//     taken for a successful one. When it cannot be removed, the driver is not
//     started.
//   - Each evaluation keeps the job kind and the result code of its own run.
//     The runs of the automatic chain change the window's members, and the
//     evaluation of the report-time run that started the chain must not take
//     the chained revenue run's result for its own: the revenue converter runs
//     once per revenue run, in that run's evaluation.
#include "interface/form_pelko.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/regional.h"

namespace pelko {
namespace {

const char* commandFileFor(int jobKind) {
    switch (jobKind) {
        case kJobRoomReport:
            return "TK.DAT";
        case kJobProgramFetch:
            return "TKZH.DAT";
        case kJobRoomListUpload:
            return "TKZS.DAT";
        case kJobRevenueReport:
            return "TKUBH.DAT";
        default:
            return nullptr;
    }
}

}  // namespace

std::string statusText(const std::string& resultCode) {
    static const char* const texts[18] = {
        "   OK ",
        "   Fehler LogDatei öffnen ",
        "   Fehler CommandDatei öffnen ",
        "   Fehler ComPort öffnen ",
        "   Falsches Komando ",
        "   Kommunikations Fehler ",
        "   Benutzer Abbruch ",
        "   Fehler beim Datei öffnen ",
        "   Fehler beim Datei schreiben ",
        "   Datei nicht offen ",
        "   ComPort nicht vorhanden ",
        "   Falscher Bericht ",
        "   Falsche Funktion ",
        "   Kasse in Aufrechnung ",
        "   Falsche Kommando Parameter ",
        "   Keine Verbindung ",
        "   PLU Datei ist voll ",
        "   LOG-IN ID ist falsch ",
    };
    if (resultCode.size() != 3 || resultCode[0] != '0') return {};
    for (char c : resultCode)
        if (c < '0' || c > '9') return {};
    int code = (resultCode[1] - '0') * 10 + (resultCode[2] - '0');
    return code <= 17 ? texts[code] : std::string();
}

void TFormPelko::DriverStarten() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    countdown = 60;
    plat::DateTime now = plat::now();
    if (plat::formatDateTime("yyyymmdd", now) != processDay) {
        DateTimePickerProtokoll.setDateTime(now);
        receiptCounter = 0;
        BitBtnSpeichernClick();
    }
    resultCode.clear();
    const char* commandFile = commandFileFor(jobKind);
    std::string endFile = workDir + "/LOG/" + processDay + ".END";
    if (plat::fileExists(endFile) && !plat::removeFile(endFile)) {
        Meldung("END Datei kann nicht gelöscht werden");
        reportSlot = 0;
        return;
    }
    if (!commandFile || !driver_ || !driver_->run(commandFile, workDir)) {
        Meldung("Programm Tarvik kann nicht gestartet werden");
        reportSlot = 0;
        return;
    }
    TarvikAuswerten();
}

bool TFormPelko::readEndFile(std::string& code) {
    std::string path = workDir + "/LOG/" + processDay + ".END";
    plat::File f;
    if (!f.open(path, plat::File::Mode::ReadWrite)) return false;
    char buf[3];
    std::size_t got = 0;
    while (got < sizeof buf) {
        long n = f.read(buf + got, sizeof buf - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    f.close();
    code.assign(buf, got);
    // The file is gone once read; if it cannot be removed, the next start
    // refuses to run rather than read it again.
    plat::removeFile(path);
    return true;
}

void TFormPelko::TarvikAuswerten() {
    FileWork work(*this);
    // This run's job kind and result; the chained runs below change the members.
    const int kind = jobKind;
    std::string code;
    if (!readEndFile(code)) {
        Meldung("END Datei kann nicht gelesen werden");
        reportSlot = 0;
        return;
    }
    resultCode = code;
    ++evaluations_;
    const bool ok = code == "000";

    plat::DateTime now = plat::now();
    EditStatus.setText("Kommunikation mit Kasse am " + plat::shortDate(now) + " " +
                       plat::longTime(now) + statusText(code));
    if (onDriverEvaluated) onDriverEvaluated(EditStatus.text());

    if (reportSlot >= 1 && reportSlot <= 5) {
        ui::TLabel& label = LabelZeit(reportSlot);
        ui::Font f = label.font();
        f.color = ok ? ui::kGreen : ui::kRed;
        f.bold = true;
        label.setFont(f);
        label.setCaption(ok ? " OK " : " Fehler ");
    }

    if (kind == kJobRoomListUpload) {
        if (ok) {
            std::int64_t length = 0;
            std::int32_t stamp = 0;
            if (measureGuestFile(length, stamp, false)) {
                storedLength = length;
                storedStamp = stamp;
            }
            bool written = true;
            if (hotelSoftware() == kHs3)
                written = plat::writeProfileString(settingsFile_, "HOTEL", "HS3DateiLaenge",
                                                   std::to_string(storedLength));
            else if (hotelSoftware() >= 0 && hotelSoftware() < kHotelSoftwareCount)
                written =
                    plat::writeProfileInteger(settingsFile_, "HOTEL", "DateiStempel", storedStamp);
            if (!written) Meldung("Datei " + settingsFile_ + " kann nicht geschrieben werden");
        } else {
            countdown = 600;
        }
    }

    if (kind == kJobRoomReport) {
        if (ok)
            ZimmerBerichtUmsetzen();
        else
            countdown = 60;
    }

    ArbeitsverzeichnisSetzen();

    if (reportSlot == 5 && CheckBoxUmsBerAuto.checked()) {
        reportSlot = 0;
        countdown = 60;
        jobKind = kJobProgramFetch;
        DriverStarten();
        countdown = 60;
        jobKind = kJobRevenueReport;
        DriverStarten();
    }

    if (ok && kind == kJobRevenueReport && hotelSoftware() == kProtel) UmsatzBerichtUmsetzen();

    reportSlot = 0;
}

void TFormPelko::BitBtnUmsManuellClick() {
    countdown = 60;
    answerText.clear();
    if (!InputQuery("Umsatz-Bericht der Kasse holen ",
                    "       Sind Sie sicher ? \nzum Umsatz-Bericht holen geben Sie bitte 973 ein",
                    answerText))
        return;
    if (answerText != "973") return;
    if (Frage("Den Umsatz-Bericht von der Kasse holen \n         und löschen  \n       Sind Sie "
              "sicher ? \n",
              "Meldung", DialogRequest::Icon::Stop))
        UmsatzBerichtHolen();
}

void TFormPelko::UmsatzBerichtHolen() {
    countdown = 60;
    jobKind = kJobRevenueReport;
    DriverStarten();
}

}  // namespace pelko
