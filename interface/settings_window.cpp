// Start-up, the settings file, saving, the choice of hotel software and port,
// the hotel transfer directory and the keyboard handling of the main window.
//
// The settings file Pelko_Programm.INI lies beside the executable. Start-up
// reads every key into its control or member; saving writes them back; each
// operation opens the file, reads or writes, and releases it. A time of
// Zeit1 to Zeit5 that cannot be read is reported and leaves that report time
// off (00:00:00); start-up goes on with the next key.
#include "interface/form_pelko.h"
#include "platform/clock.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/regional.h"

namespace pelko {
namespace {

void setPickerTime(ui::TDateTimePicker& picker, const std::string& text, int n, TFormPelko& form) {
    int h = 0, m = 0, s = 0;
    if (!plat::parseLongTime(text, h, m, s)) {
        form.Meldung("'" + text + "' ist kein gültiger Zeitwert (Zeit" + std::to_string(n) +
                     "); Zim.Bericht Zeit " + std::to_string(n) + " bleibt aus");
        h = m = s = 0;
    }
    picker.setTime(h, m, s);
}

std::string joinAddress(const ui::TMaskEdit& a, const ui::TMaskEdit& b, const ui::TMaskEdit& c,
                        const ui::TMaskEdit& d) {
    return a.text() + "." + b.text() + "." + c.text() + "." + d.text();
}

}  // namespace

void TFormPelko::FormShow() {
    FileWork work(*this);
    countdown = 60;
    jobKind = kJobRoomReport;
    workDir = plat::currentDirectory();

    plat::DateTime today = plat::now();
    today.hour = today.minute = today.second = today.millisecond = 0;
    DateTimePickerProtokoll.setDateTime(today);

    StringGrid1.setCell(0, 0, "  Nr");
    StringGrid1.setCell(1, 0, "Zimmer Nr.");
    StringGrid1.setColWidth(0, 30);
    StringGrid1.setColWidth(1, 60);

    plat::IniFile ini(settingsFile_);
    if (!ini.readable()) Meldung("Datei " + settingsFile_ + " kann nicht gelesen werden");
    processDay = ini.readString("Spezial", "ProcessTag", "");
    // The saved place decides where the window opens (it is not centred over
    // it); a front end keeps a place that lies off the screen on it.
    setBounds(ini.readInteger("Spezial", "FensterLinks", 193),
              ini.readInteger("Spezial", "FensterOben", 113),
              ini.readInteger("Spezial", "FensterBreit", 762),
              ini.readInteger("Spezial", "FensterHoch", 529));
    locked = ini.readBool("Spezial", "Verschlossen", false);
    ComboBoxHotelsoftware.setItemIndex(ini.readInteger("HOTEL", "Software", 0));
    EditHotDName.setText(ini.readString("HOTEL", "HotelDateiName", ""));
    EditKassDName.setText(ini.readString("HOTEL", "KassenDateiName", ""));
    EditHotelTransfer.setText(ini.readString("HOTEL", "HotelVerzeichnis", ""));
    storedLength = ini.readInteger("HOTEL", "HS3DateiLaenge", 0);
    storedStamp = ini.readInteger("HOTEL", "DateiStempel", 0);
    StringGrid1.setRowCount(ini.readInteger("HOTEL", "AnzahlZimmer", 3));
    ComboBoxPort.setItemIndex(ini.readInteger("ECR", "Port", 0));
    ComboBoxBaud.setItemIndex(ini.readInteger("ECR", "Baud", 0));
    MaskEditKassAnz.setText(ini.readString("ECR", "KassenNr", ""));
    MaskEditKund_Id.setText(ini.readString("ECR", "KundenID", ""));
    MaskEditBerNr.setText(ini.readString("ECR", "BerichtsNr", ""));
    MaskEditUmsBerNr.setText(ini.readString("ECR", "UmsatzBerNr", ""));
    MaskEdit_IP1.setText(ini.readString("ECR", "EthernetIP1", ""));
    MaskEdit_IP2.setText(ini.readString("ECR", "EthernetIP2", ""));
    MaskEdit_IP3.setText(ini.readString("ECR", "EthernetIP3", ""));
    MaskEdit_IP4.setText(ini.readString("ECR", "EthernetIP4", ""));
    MaskEdit_FIP1.setText(ini.readString("ECR", "EthernetFIP1", ""));
    MaskEdit_FIP2.setText(ini.readString("ECR", "EthernetFIP2", ""));
    MaskEdit_FIP3.setText(ini.readString("ECR", "EthernetFIP3", ""));
    MaskEdit_FIP4.setText(ini.readString("ECR", "EthernetFIP4", ""));
    MaskEditDNS.setText(ini.readString("ECR", "DNSName", ""));
    CheckBoxUmsBerAuto.setChecked(ini.readBool("ECR", "UmsBerAuto", false));
    CheckBoxSichtbar.setChecked(ini.readBool("ECR", "Sichtbar", false));
    receiptCounter = ini.readInteger("ECR", "BonNummer", 0);
    for (int n = 1; n <= 5; ++n)
        setPickerTime(DateTimePicker(n),
                      ini.readString("ECR", "Zeit" + std::to_string(n), "00:00:00"), n, *this);

    for (int row = 1; row < StringGrid1.rowCount(); ++row)
        StringGrid1.setCell(0, row, std::to_string(row));

    if (EditHotelTransfer.text().empty()) EditHotelTransfer.setText(workDir);

    std::string logDir = workFile("LOG");
    if (!plat::directoryExists(logDir) && !plat::makeDirectory(logDir))
        Meldung("LOG Verzeichnis kann nicht angelegt werden");

    ComboBoxPortChange();
    ComboBoxHotelsoftwareChange();
    ZimmerNrHolen();
    if (locked) BitBtnVerschliesenClick();
}

void TFormPelko::BitBtnSpeichernClick() {
    FileWork work(*this);
    ArbeitsverzeichnisSetzen();
    processDay = plat::formatDateTime("yyyymmdd", plat::now());

    plat::IniFile ini(settingsFile_);
    ini.writeString("Spezial", "ProcessTag", processDay);
    ini.writeInteger("Spezial", "FensterLinks", left());
    ini.writeInteger("Spezial", "FensterOben", top());
    ini.writeInteger("Spezial", "FensterBreit", width());
    ini.writeInteger("Spezial", "FensterHoch", height());
    ini.writeInteger("HOTEL", "Software", ComboBoxHotelsoftware.itemIndex());
    ini.writeString("HOTEL", "HotelDateiName", EditHotDName.text());
    ini.writeString("HOTEL", "KassenDateiName", EditKassDName.text());
    ini.writeString("HOTEL", "HotelVerzeichnis", EditHotelTransfer.text());
    ini.writeInteger("ECR", "Port", ComboBoxPort.itemIndex());
    ini.writeInteger("ECR", "Baud", ComboBoxBaud.itemIndex());
    ini.writeString("ECR", "KassenNr", MaskEditKassAnz.text());
    ini.writeString("ECR", "KundenID", MaskEditKund_Id.text());
    ini.writeString("ECR", "BerichtsNr", MaskEditBerNr.text());
    ini.writeString("ECR", "UmsatzBerNr", MaskEditUmsBerNr.text());
    ini.writeString("ECR", "EthernetIP1", MaskEdit_IP1.text());
    ini.writeString("ECR", "EthernetIP2", MaskEdit_IP2.text());
    ini.writeString("ECR", "EthernetIP3", MaskEdit_IP3.text());
    ini.writeString("ECR", "EthernetIP4", MaskEdit_IP4.text());
    ini.writeString("ECR", "EthernetFIP1", MaskEdit_FIP1.text());
    ini.writeString("ECR", "EthernetFIP2", MaskEdit_FIP2.text());
    ini.writeString("ECR", "EthernetFIP3", MaskEdit_FIP3.text());
    ini.writeString("ECR", "EthernetFIP4", MaskEdit_FIP4.text());
    ini.writeString("ECR", "DNSName", MaskEditDNS.text());
    ini.writeBool("ECR", "UmsBerAuto", CheckBoxUmsBerAuto.checked());
    ini.writeBool("ECR", "Sichtbar", CheckBoxSichtbar.checked());
    for (int n = 1; n <= 5; ++n)
        ini.writeString("ECR", "Zeit" + std::to_string(n),
                        plat::longTime(DateTimePicker(n).dateTime()));
    if (!ini.flush()) Meldung("Datei " + settingsFile_ + " kann nicht geschrieben werden");

    resetReportLabels();
    registerAddress = joinAddress(MaskEdit_IP1, MaskEdit_IP2, MaskEdit_IP3, MaskEdit_IP4);
    fixedAddress = joinAddress(MaskEdit_FIP1, MaskEdit_FIP2, MaskEdit_FIP3, MaskEdit_FIP4);
    DriverDateiErstellen();
}

void TFormPelko::resetReportLabels() {
    for (int n = 1; n <= 5; ++n) {
        ui::TLabel& label = LabelZeit(n);
        ui::Font f = label.font();
        f.color = ui::kBlack;
        f.bold = false;
        label.setFont(f);
        label.setCaption("Zim.Bericht Zeit " + std::to_string(n));
    }
}

// Without a hotel software (an index the list does not have) there are no
// file names, and the revenue controls are hidden, emptied and unchecked as
// for every hotel software but Protel: no revenue report can run for it.
void TFormPelko::ComboBoxHotelsoftwareChange() {
    int software = ComboBoxHotelsoftware.itemIndex();
    EditHotDName.setText(guestFileName(software));
    EditKassDName.setText(bookingFileName(software));
    bool revenue = software == kProtel;
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &Label11, &MaskEditUmsBerNr, &BitBtnUmsManuell, &CheckBoxUmsBerAuto})
        c->setVisible(revenue);
    if (!revenue) {
        MaskEditUmsBerNr.setText("");
        CheckBoxUmsBerAuto.setChecked(false);
    }
}

void TFormPelko::ComboBoxPortChange() {
    bool ethernet = ComboBoxPort.itemIndex() == 17;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Label7, &MaskEdit_IP1, &MaskEdit_IP2,
                                                              &MaskEdit_IP3, &MaskEdit_IP4})
        c->setVisible(ethernet);
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &Label8, &MaskEdit_FIP1, &MaskEdit_FIP2, &MaskEdit_FIP3, &MaskEdit_FIP4, &MaskEditDNS})
        c->setVisible(false);
}

void TFormPelko::BitBtnHotelsuchenClick() {
    std::string dir = plat::IniFile(settingsFile_).readString("HOTEL", "HotelVerzeichnis", "");
    OpenDialog1.initialDir = dir;
    std::string chosen;
    if (host_->chooseDirectory(OpenDialog1, chosen)) dir = chosen;
    EditHotelTransfer.setText(dir);
    ArbeitsverzeichnisSetzen();
}

void TFormPelko::BitBtnMinimierenClick() {
    setWindowState(WindowState::Minimized);
    host_->minimize();
}

void TFormPelko::BitBtnSchliesenClick() {
    Close();
}

void TFormPelko::enterMovesFocus(char& key) {
    if (key != 13) return;
    key = 0;
    host_->focusNextControl();
}

void TFormPelko::ComboBoxPortKeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::ComboBoxBaudKeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEditKassAnzKeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEditKund_IdKeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEditBerNrKeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEditUmsBerNrKeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_IP1KeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_IP2KeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_IP3KeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_IP4KeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEditDNSKeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_FIP1KeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_FIP2KeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_FIP3KeyPress(char& Key) {
    enterMovesFocus(Key);
}
void TFormPelko::MaskEdit_FIP4KeyPress(char& Key) {
    enterMovesFocus(Key);
}

}  // namespace pelko
