// The main window as designed: its controls with their texts and properties,
// and the helpers that every operation uses (message boxes, prompts, paths).
#include "interface/form_pelko.h"

#include "interface/registerfiles/hotel_files.h"
#include "platform/ini.h"
#include "platform/paths.h"

namespace pelko {
namespace {

// Stands in where the caller gave no window system.
WindowHost& noHost() {
    static WindowHost host;
    return host;
}

const HotelAdapterRegistry& noAdapters() {
    static HotelAdapterRegistry registry;
    return registry;
}

void button(ui::TBitBtn& b, const char* caption, const char* hint, int left, int top,
            int width = 97, int height = 25) {
    b.setCaption(caption);
    b.setHint(hint);
    b.setBounds(left, top, width, height);
}

}  // namespace

TFormPelko::TFormPelko(const FormEnvironment& env)
    : ui::TForm("FormPelko"),
      FormProtokoll(*this),
      dialogs_(env.dialogs),
      driver_(env.driver),
      host_(env.host ? env.host : &noHost()),
      adapters_(env.adapters ? env.adapters : &noAdapters()),
      settingsFile_(env.settingsFile.empty() ? plat::siblingWithExtension(".INI")
                                             : env.settingsFile),
      programDir_(env.programDir.empty() ? plat::dirName(plat::executablePath()) : env.programDir) {
    designControls();
}

TFormPelko::~TFormPelko() = default;

void TFormPelko::designControls() {
    setCaption("Pelko Programm Version 2.0");
    setColor(ui::kSilver);
    setBounds(0, 0, 769, 572);  // design size; start-up sets the saved place and size

    Label1.setCaption("Schnittstelle  Kasse  -  Hotel");
    ui::Font title;
    title.size = 10;
    title.bold = true;
    Label1.setFont(title);
    Label1.setBounds(8, 12, 180, 16);

    EditDatumZeit.setColor(ui::kSkyBlue);

    button(BitBtnProgVonKasse, "Programm von Kasse holen", "Programm von der Kasse holen", 192, 8,
           137);
    button(BitBtnVerschliesen, "Verschließen", "Alle Einstellungen verschließen", 336, 8);
    button(BitBtnSpeichern, "Speichern", "Alle einstellungen Speichern", 440, 8);
    button(BitBtnMinimieren, "Minimieren", "Das programm minimieren", 544, 8);
    button(BitBtnSchliesen, "S&chließen", "Das Programm schließen", 648, 8);
    button(BitBtnEinstellungen, "Einstellungen", "Einstellungen können verändert werden", 336, 8);
    BitBtnEinstellungen.setVisible(false);
    button(BitBtnHilfe, "&Hilfe", "Hilfe für dieses Programm", 648, 496);

    GroupBoxHotel.setCaption("Hotel");
    Panel1.setCaption("Hotelsoftware");
    ComboBoxHotelsoftware.setStyle(ui::TComboBox::Style::DropDownList);
    ComboBoxHotelsoftware.setItems({"HS-3   Hotelsoftware", "Velox  Hotelsoftware",
                                    "Protel  Hotelsoftware", "hotline Hotelsoftware"});
    Panel3.setCaption("Dateiname von Hotelsoftware");
    EditHotDName.setReadOnly(true);
    Panel4.setCaption("Dateiname  vom Kassensystem");
    EditKassDName.setReadOnly(true);
    Panel2.setCaption("Verzeichnis für Hoteltransfer");
    BitBtnHotelsuchen.setCaption("suchen");
    Label2.setCaption("Sekunden bis zur nächsten Überprüfung ");
    Label3.setCaption("____");
    Label3.setFontBold(true);

    StringGrid1.setColCount(2);
    StringGrid1.setRowCount(3);
    StringGrid1.setFixed(1, 1);
    StringGrid1.setEditing(true);

    GroupBox2.setCaption("Kassensystem");
    Label4.setCaption("Kassen Port");
    std::vector<std::string> ports{"ohne Port"};
    for (int i = 1; i <= 16; ++i) ports.push_back("Com " + std::to_string(i));
    ports.push_back("Ethernet LAN");
    ComboBoxPort.setItems(std::move(ports));
    ComboBoxPort.setDropDownCount(14);
    Label5.setCaption("Baud Rate");
    ComboBoxBaud.setItems({"9600", "19200", "38400", "57600", "115200"});
    Label10.setCaption("Kassen Anzahl");
    MaskEditKassAnz.setEditMask("99;0; ");
    Label6.setCaption("Kunden ID");
    MaskEditKund_Id.setMaxLength(8);
    Label9.setCaption("Zim.Berichts Nr.");
    MaskEditBerNr.setEditMask("99;0; ");
    Label7.setCaption("Kassen IP");
    for (ui::TMaskEdit* e : {&MaskEdit_IP1, &MaskEdit_IP2, &MaskEdit_IP3, &MaskEdit_IP4,
                             &MaskEdit_FIP1, &MaskEdit_FIP2, &MaskEdit_FIP3, &MaskEdit_FIP4})
        e->setEditMask("999;0; ");
    Label8.setCaption("Feste IP");
    // A host name is at most 253 characters; the field keeps no more than 255.
    MaskEditDNS.setMaxLength(255);
    Label11.setCaption("Ums.Berichts Nr.");
    MaskEditUmsBerNr.setEditMask("999;0; ");
    BitBtnUmsManuell.setCaption("Umsatz Ber. Manuell");
    BitBtnUmsManuell.setHint("Umsatz Bericht von der Kasse holen");
    CheckBoxUmsBerAuto.setCaption("Umsatz-Bericht automatisch mit Zeit-5");
    CheckBoxSichtbar.setCaption("Kommunikation mit Kasse nicht Sichtbar");

    for (int n = 1; n <= 5; ++n) {
        DateTimePicker(n).setKind(ui::TDateTimePicker::Kind::Time);
        DateTimePicker(n).setTime(0, 0, 0);
        LabelZeit(n).setCaption("Zim.Bericht Zeit " + std::to_string(n));
    }
    BitBtnManuell.setCaption("Zim.Bericht  Manuell");
    BitBtnManuell.setHint("Zimmer Bericht von der Kasse  holen");
    BitBtnZimSenden.setCaption("Zim.Manuell Senden");
    BitBtnZimSenden.setHint("Vorhandene Zimmer Manuell senden");
    Panel5.setCaption("Datum für Protokoll");
    DateTimePickerProtokoll.setKind(ui::TDateTimePicker::Kind::Date);
    BitBtnProtokoll.setCaption("Protokoll");
    BitBtnProtokoll.setHint("Übertragungs-Protokoll ausgeben");

    ui::Font status;
    status.color = ui::kPurple;
    status.bold = true;
    EditStatus.setFont(status);

    OpenDialog1.title = "Verzeichnis auswählen";
    OpenDialog1.fileName = "Verzeichnis";
    OpenDialog1.filter = "Verzeichnis|*.Verzeichnis";
    OpenDialog1.defaultExt = "*.*";

    Timer1.setInterval(1000);
}

ui::TDateTimePicker& TFormPelko::DateTimePicker(int n) {
    ui::TDateTimePicker* pickers[5] = {&DateTimePicker1, &DateTimePicker2, &DateTimePicker3,
                                       &DateTimePicker4, &DateTimePicker5};
    return *pickers[(n >= 1 && n <= 5 ? n : 1) - 1];
}

ui::TLabel& TFormPelko::LabelZeit(int n) {
    ui::TLabel* labels[5] = {&LabelZeit1, &LabelZeit2, &LabelZeit3, &LabelZeit4, &LabelZeit5};
    return *labels[(n >= 1 && n <= 5 ? n : 1) - 1];
}

std::vector<ui::Control*> TFormPelko::lockedControls() {
    return {&BitBtnProgVonKasse, &BitBtnSpeichern,    &ComboBoxHotelsoftware, &EditHotelTransfer,
            &BitBtnHotelsuchen,  &StringGrid1,        &ComboBoxPort,          &ComboBoxBaud,
            &MaskEditKassAnz,    &MaskEditKund_Id,    &MaskEditBerNr,         &MaskEditUmsBerNr,
            &MaskEdit_IP1,       &MaskEdit_IP2,       &MaskEdit_IP3,          &MaskEdit_IP4,
            &MaskEdit_FIP1,      &MaskEdit_FIP2,      &MaskEdit_FIP3,         &MaskEdit_FIP4,
            &MaskEditDNS,        &CheckBoxUmsBerAuto, &CheckBoxSichtbar,      &DateTimePicker1,
            &DateTimePicker2,    &DateTimePicker3,    &DateTimePicker4,       &DateTimePicker5};
}

std::vector<ui::Control*> TFormPelko::controls() {
    return {&Label1,
            &EditDatumZeit,
            &BitBtnProgVonKasse,
            &BitBtnVerschliesen,
            &BitBtnSpeichern,
            &BitBtnMinimieren,
            &BitBtnSchliesen,
            &BitBtnEinstellungen,
            &BitBtnHilfe,
            &GroupBoxHotel,
            &Panel1,
            &ComboBoxHotelsoftware,
            &Panel3,
            &EditHotDName,
            &Panel4,
            &EditKassDName,
            &Panel2,
            &EditHotelTransfer,
            &BitBtnHotelsuchen,
            &Label2,
            &Label3,
            &StringGrid1,
            &GroupBox2,
            &Label4,
            &ComboBoxPort,
            &Label5,
            &ComboBoxBaud,
            &Label10,
            &MaskEditKassAnz,
            &Label6,
            &MaskEditKund_Id,
            &Label9,
            &MaskEditBerNr,
            &Label7,
            &MaskEdit_IP1,
            &MaskEdit_IP2,
            &MaskEdit_IP3,
            &MaskEdit_IP4,
            &Label8,
            &MaskEdit_FIP1,
            &MaskEdit_FIP2,
            &MaskEdit_FIP3,
            &MaskEdit_FIP4,
            &MaskEditDNS,
            &Label11,
            &MaskEditUmsBerNr,
            &BitBtnUmsManuell,
            &CheckBoxUmsBerAuto,
            &CheckBoxSichtbar,
            &DateTimePicker1,
            &DateTimePicker2,
            &DateTimePicker3,
            &DateTimePicker4,
            &DateTimePicker5,
            &LabelZeit1,
            &LabelZeit2,
            &LabelZeit3,
            &LabelZeit4,
            &LabelZeit5,
            &BitBtnManuell,
            &BitBtnZimSenden,
            &Panel5,
            &DateTimePickerProtokoll,
            &BitBtnProtokoll,
            &EditStatus,
            &OpenDialog1,
            &Timer1};
}

void TFormPelko::Meldung(const std::string& text) {
    ++failuresReported_;
    DialogRequest r;
    r.caption = "Meldung";
    r.text = text;
    r.icon = DialogRequest::Icon::Stop;
    dialogs_->ask(r);
}

void TFormPelko::MeldungInfo(const std::string& text) {
    DialogRequest r;
    r.caption = "Meldung";
    r.text = text;
    r.icon = DialogRequest::Icon::Information;
    dialogs_->ask(r);
}

void TFormPelko::ShowMessage(const std::string& text) {
    DialogRequest r;
    r.caption = kApplicationTitle;
    r.text = text;
    dialogs_->ask(r);
}

bool TFormPelko::Frage(const std::string& text, const std::string& caption,
                       DialogRequest::Icon icon) {
    DialogRequest r;
    r.caption = caption;
    r.text = text;
    r.icon = icon;
    r.buttons = DialogRequest::Buttons::OkCancel;
    return dialogs_->ask(r).button == DialogAnswer::Button::Ok;
}

bool TFormPelko::InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) {
    DialogRequest r;
    r.kind = DialogRequest::Kind::Input;
    r.caption = caption;
    r.text = prompt;
    r.buttons = DialogRequest::Buttons::OkCancel;
    r.input = value;
    DialogAnswer a = dialogs_->ask(r);
    if (a.button != DialogAnswer::Button::Ok) return false;
    value = a.input;
    return true;
}

bool TFormPelko::BonNummerSpeichern(plat::Durability durability) {
    if (plat::writeProfileInteger(settingsFile_, "ECR", "BonNummer", receiptCounter, durability)) {
        if (durability == plat::Durability::Deferred) settingsToSync_ = true;
        return true;
    }
    Meldung("Datei " + settingsFile_ + " kann nicht geschrieben werden");
    return false;
}

bool TFormPelko::EinstellungenSichern() {
    if (!settingsToSync_) return true;
    settingsToSync_ = false;
    if (plat::syncFile(settingsFile_)) return true;
    Meldung("Datei " + settingsFile_ + " kann nicht geschrieben werden");
    return false;
}

void TFormPelko::ArbeitsverzeichnisSetzen() {
    if (!workDir.empty()) plat::changeDirectory(workDir);
}

std::string TFormPelko::workFile(const std::string& name) const {
    return plat::joinPath(workDir, name);
}

std::string TFormPelko::hotelFile(const std::string& name) const {
    return regfiles::hotelFilePath(workDir, EditHotelTransfer.text(), name);
}

}  // namespace pelko
