// The settings lock (set by a button, lifted only with the code 4971), the
// closing prompt (code 6093) and the help file Pelko_Hilfe.html beside the
// executable.
#include "interface/form_pelko.h"
#include "platform/ini.h"
#include "platform/paths.h"

namespace pelko {
namespace {

constexpr const char* kUnlockCode = "4971";
constexpr const char* kCloseCode = "6093";
constexpr int kHelpContext = 10001;

}  // namespace

void TFormPelko::FormCreate() {
    helpFilePath = plat::joinPath(programDir_, "Pelko_Hilfe.html");
    if (!plat::fileExists(helpFilePath)) ShowMessage("Hilfedatei nicht gefunden \n" + helpFilePath);
}

void TFormPelko::setLockedControlsEnabled(bool enabled) {
    for (ui::Control* c : lockedControls()) c->setEnabled(enabled);
}

void TFormPelko::BitBtnVerschliesenClick() {
    if (!plat::writeProfileString(settingsFile_, "Spezial", "Verschlossen", "1"))
        Meldung("Datei " + settingsFile_ + " kann nicht geschrieben werden");
    locked = true;
    BitBtnVerschliesen.setVisible(false);
    BitBtnEinstellungen.setVisible(true);
    BitBtnEinstellungen.setLeft(336);
    BitBtnEinstellungen.setTop(8);
    BitBtnSchliesen.setVisible(false);
    BitBtnMinimieren.setLeft(648);
    setLockedControlsEnabled(false);
}

void TFormPelko::BitBtnEinstellungenClick() {
    answerText.clear();
    if (!InputQuery("Einstellungen ändern ?", "Code zum Einstellungen ändern eingeben", answerText))
        return;
    if (answerText != kUnlockCode) return;
    if (!plat::writeProfileString(settingsFile_, "Spezial", "Verschlossen", "0"))
        Meldung("Datei " + settingsFile_ + " kann nicht geschrieben werden");
    locked = false;
    BitBtnEinstellungen.setVisible(false);
    BitBtnVerschliesen.setVisible(true);
    BitBtnSchliesen.setVisible(true);
    BitBtnMinimieren.setLeft(544);
    setLockedControlsEnabled(true);
}

void TFormPelko::FormCloseQuery(bool& CanClose) {
    host_->closeAllHelp();
    answerText.clear();
    bool ok =
        InputQuery("Programm Beenden ?",
                   "Sind Sie sicher ? \nzum Programm Beenden geben Sie bitte 6093 ein", answerText);
    CanClose = ok && answerText == kCloseCode;
}

void TFormPelko::Close() {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) return;
    setVisible(false);
    host_->quit();
}

void TFormPelko::BitBtnHilfeClick() {
    host_->showHelp(helpFilePath, kHelpContext);
}

}  // namespace pelko
