// The main window of the interface program, TFormPelko, with its one instance
// FormPelko: it holds the program's whole state, its controls and the members
// the operations pass data through. Every operation of the program is one of
// its members. They are spread over files by concern:
//   form_pelko.cpp       the window's controls as designed, shared helpers
//   settings_window.cpp  start-up, saving, hotel software and port choice,
//                        transfer directory, keys, minimise and close
//   command_files.cpp    the driver's four command files
//   driver_control.cpp   starting the driver and evaluating its result,
//                        the revenue report by hand
//   scheduler.cpp        the one-second timer
//   room_table.cpp       the room-number table and the program fetch
//   room_list.cpp        the room list for the registers
//   register_lookups.cpp the VAT and operator tables, the receipt counter
//                        and the frame shared by the room report converters
//   lock_close_help.cpp  settings lock, closing prompt, help
//   hotel_adapters.cpp   the calls into the hotel software adapters
//   form_protokoll.cpp   the transmission log viewer
//   adapters/Hs3.cpp     the HS-3 adapter (one file per hotel software)
//   adapters/Velox.cpp   the Velox adapter
//   adapters/Protel.cpp  the Protel adapter
//   adapters/Hotline.cpp the hotline adapter
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "interface/controls.h"
#include "interface/form_protokoll.h"
#include "interface/hotel_adapters.h"
#include "interface/ports.h"
#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/room_report.h"
#include "platform/file.h"

namespace plat {
class IniFile;
}
namespace protel {
struct BlockTips;
struct BillTips;
}  // namespace protel

namespace pelko {

inline constexpr const char* kApplicationTitle = "Pelko-Programm";

// Job kinds: which command file the next driver start runs.
inline constexpr int kJobRoomReport = 0;      // TK.DAT
inline constexpr int kJobProgramFetch = 2;    // TKZH.DAT
inline constexpr int kJobRoomListUpload = 3;  // TKZS.DAT
inline constexpr int kJobRevenueReport = 4;   // TKUBH.DAT

// Where the program finds what lies outside it.
struct FormEnvironment {
    DialogPort* dialogs = nullptr;
    DriverLauncher* driver = nullptr;
    WindowHost* host = nullptr;                      // optional
    const HotelAdapterRegistry* adapters = nullptr;  // optional
    // The settings file; default: the executable's path with ".INI".
    std::string settingsFile;
    // The directory of the help file; default: the executable's directory.
    std::string programDir;
};

class TFormPelko : public ui::TForm {
  public:
    explicit TFormPelko(const FormEnvironment& env);
    ~TFormPelko() override;

    // ---- Controls -------------------------------------------------------
    ui::TLabel Label1{"Label1"};
    ui::TEdit EditDatumZeit{"EditDatumZeit"};
    ui::TBitBtn BitBtnProgVonKasse{"BitBtnProgVonKasse"};
    ui::TBitBtn BitBtnVerschliesen{"BitBtnVerschliesen"};
    ui::TBitBtn BitBtnSpeichern{"BitBtnSpeichern"};
    ui::TBitBtn BitBtnMinimieren{"BitBtnMinimieren"};
    ui::TBitBtn BitBtnSchliesen{"BitBtnSchliesen"};
    ui::TBitBtn BitBtnEinstellungen{"BitBtnEinstellungen"};
    ui::TBitBtn BitBtnHilfe{"BitBtnHilfe"};

    ui::TGroupBox GroupBoxHotel{"GroupBoxHotel"};
    ui::TPanel Panel1{"Panel1"};
    ui::TComboBox ComboBoxHotelsoftware{"ComboBoxHotelsoftware"};
    ui::TPanel Panel3{"Panel3"};
    ui::TEdit EditHotDName{"EditHotDName"};
    ui::TPanel Panel4{"Panel4"};
    ui::TEdit EditKassDName{"EditKassDName"};
    ui::TPanel Panel2{"Panel2"};
    ui::TEdit EditHotelTransfer{"EditHotelTransfer"};
    ui::TBitBtn BitBtnHotelsuchen{"BitBtnHotelsuchen"};
    ui::TLabel Label2{"Label2"};
    ui::TLabel Label3{"Label3"};
    ui::TStringGrid StringGrid1{"StringGrid1"};

    ui::TGroupBox GroupBox2{"GroupBox2"};
    ui::TLabel Label4{"Label4"};
    ui::TComboBox ComboBoxPort{"ComboBoxPort"};
    ui::TLabel Label5{"Label5"};
    ui::TComboBox ComboBoxBaud{"ComboBoxBaud"};
    ui::TLabel Label10{"Label10"};
    ui::TMaskEdit MaskEditKassAnz{"MaskEditKassAnz"};
    ui::TLabel Label6{"Label6"};
    ui::TMaskEdit MaskEditKund_Id{"MaskEditKund_Id"};
    ui::TLabel Label9{"Label9"};
    ui::TMaskEdit MaskEditBerNr{"MaskEditBerNr"};
    ui::TLabel Label7{"Label7"};
    ui::TMaskEdit MaskEdit_IP1{"MaskEdit_IP1"};
    ui::TMaskEdit MaskEdit_IP2{"MaskEdit_IP2"};
    ui::TMaskEdit MaskEdit_IP3{"MaskEdit_IP3"};
    ui::TMaskEdit MaskEdit_IP4{"MaskEdit_IP4"};
    ui::TLabel Label8{"Label8"};
    ui::TMaskEdit MaskEdit_FIP1{"MaskEdit_FIP1"};
    ui::TMaskEdit MaskEdit_FIP2{"MaskEdit_FIP2"};
    ui::TMaskEdit MaskEdit_FIP3{"MaskEdit_FIP3"};
    ui::TMaskEdit MaskEdit_FIP4{"MaskEdit_FIP4"};
    ui::TMaskEdit MaskEditDNS{"MaskEditDNS"};
    ui::TLabel Label11{"Label11"};
    ui::TMaskEdit MaskEditUmsBerNr{"MaskEditUmsBerNr"};
    ui::TBitBtn BitBtnUmsManuell{"BitBtnUmsManuell"};
    ui::TCheckBox CheckBoxUmsBerAuto{"CheckBoxUmsBerAuto"};
    ui::TCheckBox CheckBoxSichtbar{"CheckBoxSichtbar"};

    ui::TDateTimePicker DateTimePicker1{"DateTimePicker1"};
    ui::TDateTimePicker DateTimePicker2{"DateTimePicker2"};
    ui::TDateTimePicker DateTimePicker3{"DateTimePicker3"};
    ui::TDateTimePicker DateTimePicker4{"DateTimePicker4"};
    ui::TDateTimePicker DateTimePicker5{"DateTimePicker5"};
    ui::TLabel LabelZeit1{"LabelZeit1"};
    ui::TLabel LabelZeit2{"LabelZeit2"};
    ui::TLabel LabelZeit3{"LabelZeit3"};
    ui::TLabel LabelZeit4{"LabelZeit4"};
    ui::TLabel LabelZeit5{"LabelZeit5"};
    ui::TBitBtn BitBtnManuell{"BitBtnManuell"};
    ui::TBitBtn BitBtnZimSenden{"BitBtnZimSenden"};
    ui::TPanel Panel5{"Panel5"};
    ui::TDateTimePicker DateTimePickerProtokoll{"DateTimePickerProtokoll"};
    ui::TBitBtn BitBtnProtokoll{"BitBtnProtokoll"};
    ui::TEdit EditStatus{"EditStatus"};
    ui::TOpenDialog OpenDialog1{"OpenDialog1"};
    ui::TTimer Timer1{"Timer1"};

    // Report time n (1 to 5): its picker and its label.
    ui::TDateTimePicker& DateTimePicker(int n);
    ui::TLabel& LabelZeit(int n);
    // The controls the settings lock disables.
    std::vector<ui::Control*> lockedControls();
    // Every control of the window, for front ends that bind them by name.
    std::vector<ui::Control*> controls();

    // The transmission log viewer (created with the main window).
    TFormProtokoll FormProtokoll;

    // ---- State ----------------------------------------------------------
    std::string workDir;     // working directory, captured by FormShow
    std::string processDay;  // ProcessTag, "yyyymmdd"
    // BonNummer; a long, as regfiles::ReceiptCounter counts it.
    long receiptCounter = 0;
    bool locked = false;  // Verschlossen as loaded
    int countdown = 60;   // seconds to the next guest-file check
    int reportSlot = 0;   // report time whose run is under way, 0 when none
    int jobKind = kJobRoomReport;
    std::int64_t storedLength = 0;   // HS3DateiLaenge
    std::int32_t storedStamp = 0;    // DateiStempel
    std::int64_t currentLength = 0;  // from the last guest-file check
    std::int32_t currentStamp = 0;
    std::string registerAddress;  // MaskEdit_IP1..4 joined by "."
    std::string fixedAddress;     // MaskEdit_FIP1..4 joined by "."
    std::string helpFilePath;
    std::string answerText;  // what was typed into the last code prompt
    // The answer of the last guest lookup.
    regfiles::GastDaten GastDaten;
    // The rate of VAT number 1 ("19,00"), set by MWSTDateiLesen; it keeps its
    // value when VMWST.CSV has no record 1.
    std::string MwstSatz;
    // The name of the operator looked up last by BedienerDateiLesen (with its
    // quotes); empty when the operator has no record.
    std::string BedienerName;
    // The result code of the last evaluated driver run ("000"), "" when the
    // last start gave none.
    std::string resultCode;
    // Told the status line after every evaluated driver run.
    std::function<void(const std::string& status)> onDriverEvaluated;

    // ---- Start-up, settings, window (settings_window.cpp) ---------------
    void FormShow();
    void BitBtnSpeichernClick();
    void ComboBoxHotelsoftwareChange();
    void ComboBoxPortChange();
    void BitBtnHotelsuchenClick();
    void BitBtnMinimierenClick();
    void BitBtnSchliesenClick();
    // Key handlers: Enter (13) is swallowed (Key becomes 0) and the focus
    // moves to the next control; every other key passes unchanged.
    void ComboBoxPortKeyPress(char& Key);
    void ComboBoxBaudKeyPress(char& Key);
    void MaskEditKassAnzKeyPress(char& Key);
    void MaskEditKund_IdKeyPress(char& Key);
    void MaskEditBerNrKeyPress(char& Key);
    void MaskEditUmsBerNrKeyPress(char& Key);
    void MaskEdit_IP1KeyPress(char& Key);
    void MaskEdit_IP2KeyPress(char& Key);
    void MaskEdit_IP3KeyPress(char& Key);
    void MaskEdit_IP4KeyPress(char& Key);
    void MaskEditDNSKeyPress(char& Key);
    void MaskEdit_FIP1KeyPress(char& Key);
    void MaskEdit_FIP2KeyPress(char& Key);
    void MaskEdit_FIP3KeyPress(char& Key);
    void MaskEdit_FIP4KeyPress(char& Key);

    // ---- Driver command files (command_files.cpp) ------------------------
    void DriverDateiErstellen();

    // ---- Driver control (driver_control.cpp) ------------------------------
    void DriverStarten();
    void TarvikAuswerten();
    void BitBtnUmsManuellClick();
    // The revenue report without the code prompt and the question (the
    // window-less command line is the confirmation).
    void UmsatzBerichtHolen();

    // ---- Scheduler (scheduler.cpp) ----------------------------------------
    void Timer1Timer();
    void BitBtnManuellClick();

    // ---- Room-number table and program fetch (room_table.cpp) ------------
    void ZimmerNrHolen();
    void StringGrid1Exit();
    void BitBtnProgVonKasseClick();
    // The program fetch without its question.
    void ProgrammHolen();

    // ---- Room list (room_list.cpp) -----------------------------------------
    virtual void ZimmerZuKasse();
    void BitBtnZimSendenClick();

    // ---- VAT and operator tables, converters (register_lookups.cpp) -------
    // Sets MwstSatz from VMWST.CSV. False when field 4 of VAT record 1 is not
    // a number: the running conversion then ends (the message is shown).
    bool MWSTDateiLesen();
    // Sets BedienerName for the operator number of the current room report
    // line from VBED.CSV.
    void BedienerDateiLesen(const std::string& bedienerNr);
    // The next receipt number of a room report converter: the receipt
    // counter raised by one and stored at once under [ECR] BonNummer.
    long BonNummerErhoehen();
    // The frame of a room report conversion into the booking file
    // `bookingName` of the hotel transfer directory, with this window's
    // messages.
    regfiles::RoomReportConverter::Setup ZimmerBerichtRahmen(const std::string& bookingName);

    // ---- HS-3 adapter (adapters/Hs3.cpp) ----------------------------------
    // The guest lookup in HS3CASH.OUT: fills GastDaten; false when the file
    // cannot be opened (the message is shown).
    bool HS3DateiLesen(const std::string& zimmerNr);
    // The room report converter: VZimmerBericht.csv into HS3CASH.IN.
    void ZimmerBerichtZuHS3();

    // ---- Protel adapter (adapters/Protel.cpp) -----------------------------
    // The guest lookup in INHOUSE.DAT: fills GastDaten; false when the file
    // cannot be opened (the message is shown).
    bool ProtelDateiLesen(const std::string& zimmerNr);
    // VZtxt.CSV: the Z-text number in hand becomes an article number.
    void ZTextDateiLesen(std::string& nummer);
    // VART.CSV: the article number in hand becomes Protel's number, and
    // ArtikelGruppe the article's group text (empty without one).
    void ArtikelDateiLesen(std::string& nummer);
    std::string ArtikelGruppe;
    // The room report converter: VZimmerBericht.csv into ROOMBOOK.DAT.
    void ZimmerBerichtZuProtel();
    // The look-ahead of the room report over the block of `zimmer`, from
    // just after its opening line: tips and discount percentage.
    protel::BlockTips TippSuchen(regfiles::LineReader& bericht, const std::string& zimmer);
    // The revenue converter: the journals VEJournal<n>.csv of every register
    // into XREDUCT.DAT and its archive copy.
    void UmsatzBerichtZuProtel();
    // The first pass over a journal: the reactivation list.
    void ReaktivSuchen(regfiles::LineReader& journal, plat::IniFile& liste);
    // The look-ahead of the revenue report over the bill `rechnung`, from just
    // after its opening line: tips and discount percentage.
    protel::BillTips NachlassSuchen(regfiles::LineReader& journal, const std::string& rechnung);

    // ---- Velox adapter (adapters/Velox.cpp) -------------------------------
    // The guest lookup in ROOM.DAT: fills GastDaten (the last block of the
    // room counts); false when the file cannot be opened (the message is
    // shown).
    bool VeloxDateiLesen(const std::string& zimmerNr);
    // The room report converter: VZimmerBericht.csv into BOOK.DAT.
    void ZimmerBerichtZuVelox();

    // ---- hotline adapter (adapters/Hotline.cpp) ---------------------------
    // The guest lookup in OSNAME.DAT: fills GastDaten (the first record of
    // the room counts); false when the file cannot be opened (the message is
    // shown).
    bool HotlineDateiLesen(const std::string& zimmerNr);
    // The room report converter: VZimmerBericht.csv into OSUMSATZ.DAT.
    void ZimmerBerichtZuHotline();

    // ---- Settings lock, closing, help (lock_close_help.cpp) --------------
    void FormCreate();
    void BitBtnVerschliesenClick();
    void BitBtnEinstellungenClick();
    void FormCloseQuery(bool& CanClose);
    // Closes the main window the way every way of closing does: asks the
    // closing prompt, and ends the program when it allows closing.
    void Close();
    void BitBtnHilfeClick();

    // ---- Transmission log (form_protokoll.cpp) ----------------------------
    void BitBtnProtokollClick();

    // ---- Hotel software adapters (hotel_adapters.cpp) ---------------------
    // The guest lookup of the selected hotel software for the room number:
    // GastDaten is set to "0", "\"  \"", "" first. False when the guest file
    // could not be opened (the lookup has said so) or there is no lookup.
    bool GastDatenLesen(const std::string& zimmerNr);
    // The room report converter of the selected hotel software.
    void ZimmerBerichtUmsetzen();
    // The revenue converter of the selected hotel software.
    void UmsatzBerichtUmsetzen();

    // ---- Helpers for the operations and the adapters ----------------------
    // Message box, caption "Meldung", stop icon: the report of a failure.
    void Meldung(const std::string& text);
    // Message box, caption "Meldung", information icon.
    void MeldungInfo(const std::string& text);
    // A plain box with the application title as caption.
    void ShowMessage(const std::string& text);
    // A question with OK and Cancel; true for OK.
    bool Frage(const std::string& text, const std::string& caption, DialogRequest::Icon icon);
    // The input prompt; true when the user pressed OK, `value` then holds
    // what was typed.
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

    // The settings file beside the executable.
    const std::string& settingsFile() const { return settingsFile_; }
    // Stores the receipt counter at once under [ECR] BonNummer. Deferred:
    // the settings file is not forced to the disk now (a conversion stores a
    // number for every room) but by the next EinstellungenSichern.
    bool BonNummerSpeichern(plat::Durability durability = plat::Durability::Synced);
    // Forces the settings file to the disk when a deferred write is pending;
    // false (with the message) when that fails.
    bool EinstellungenSichern();
    // Makes the working directory the current directory again.
    void ArbeitsverzeichnisSetzen();
    // A file in the working directory / in the hotel transfer directory.
    std::string workFile(const std::string& name) const;
    std::string hotelFile(const std::string& name) const;
    // The number of registers (MaskEditKassAnz read as a whole number, 1
    // when it is not one): the journals the revenue report fetches.
    int KassenAnzahl() const;
    // The selected hotel software (item index of ComboBoxHotelsoftware).
    int hotelSoftware() const { return ComboBoxHotelsoftware.itemIndex(); }

    // How many failures were reported so far (stop-icon boxes and command
    // files that could not be written); the window-less verbs exit with 1
    // when an operation reported one.
    int failuresReported() const { return failuresReported_; }
    // How many driver runs were evaluated so far.
    int evaluations() const { return evaluations_; }

    // File work (the room list, the room-number table, the converters, a
    // driver run and its evaluation) uses files that a second such work must
    // not touch at the same time. While it is under way a tick of the timer,
    // which may come from inside a message box, only moves the countdown and
    // the clock.
    class FileWork {
      public:
        explicit FileWork(TFormPelko& form) : form_(form) { ++form_.fileWork_; }
        ~FileWork() { --form_.fileWork_; }
        FileWork(const FileWork&) = delete;
        FileWork& operator=(const FileWork&) = delete;

      private:
        TFormPelko& form_;
    };
    bool fileWorkUnderWay() const { return fileWork_ > 0; }

    DialogPort& dialogs() { return *dialogs_; }
    WindowHost& host() { return *host_; }

  private:
    void designControls();
    void enterMovesFocus(char& key);
    void setLockedControlsEnabled(bool enabled);
    void resetReportLabels();
    // Measures the guest file of the selected hotel software; false when it
    // cannot be measured.
    bool measureGuestFile(std::int64_t& length, std::int32_t& stamp, bool needsOpen);
    void checkGuestFile();
    // Reads the end file of the run; false when it cannot be read.
    bool readEndFile(std::string& code);

    DialogPort* dialogs_;
    DriverLauncher* driver_;
    WindowHost* host_;
    const HotelAdapterRegistry* adapters_;
    std::string settingsFile_;
    std::string programDir_;
    int fileWork_ = 0;
    bool settingsToSync_ = false;  // a deferred write of the settings file is pending
    int failuresReported_ = 0;
    int evaluations_ = 0;
};

// "   OK ", "   Kommunikations Fehler " ... for a result code; "" for others.
std::string statusText(const std::string& resultCode);

}  // namespace pelko
