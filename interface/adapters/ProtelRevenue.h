// Protel: the registers' journals VEJournal<n>.csv as Protel's revenue import
// XREDUCT.DAT in the hotel transfer directory, with an archive copy
// XREDUCT/XREDUCT<yyyymmddhhnnss>.DAT in the working directory, without the
// window (the main window's members UmsatzBerichtZuProtel and NachlassSuchen
// are built on it).
//
// Per register n (1 up to the number of registers) the journal is read
// twice: the first pass builds the reactivation list TiReaktiv.ini, the
// second writes the records of every bill whose closing key is not on it:
//   {T|<f10>|<f8>|<f3>|<f11>|<yyyymmdd>|<hhmmss>|<tip A>|<tip B>}  per bill
//   {G|<article number>|<group text or 1>|<amount>|<f14>}           per article
//   {P|<f13>|<amount>}                                              per payment
// XREDUCT.DAT is emptied for register 1 and appended to for the others; the
// archive copy gets the same records.
//
// Journal lines are split with the quoted variant and the umlaut mapping,
// read with at most 149 characters (the rest of a longer line is cut off);
// fields are kept with at most: 9 characters for fields 1, 2, 3, 6, 8, 11 and
// 12, 29 for field 10, 19 for 13, 49 for 14, 25 for 16 and the pending 0/97
// amount (an amount is never cut shorter than the field it comes from).
//
// A line opens a bill when field 12 reads 0, field 13 reads 249 and field 8
// is not empty. Before it writes the T record the converter reads ahead over
// the bill (findBillTips) for its tips and its discount percentage; the bill
// is the run of lines with its bill number (field 6) up to the first line of
// another bill or the end of the file. The line after an opening line is
// never converted.
//
// Bounds and rules for bad journal lines:
// - The date (field 4) and time (field 5) of a type-103 opening line that
//   cannot be read leave the T record's date or time empty; the bill is
//   converted, and the lines are named in one message per journal.
// - An article line (also from a Z text) with fewer than 16 fields, and a
//   payment line with fewer than 16 fields and no pending 0/97 amount, are
//   not written; they are named in one message per journal.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interface/registerfiles/line_splitter.h"
#include "interface/registerfiles/message_sink.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/ini.h"

namespace protel {

inline constexpr const char* kRevenueFile = "XREDUCT.DAT";
inline constexpr const char* kArchiveDirectory = "XREDUCT";
inline constexpr const char* kJournalMessageName = "VEJournal";
inline constexpr const char* kArchiveDirectoryMessage =
    "Verzeichnis XREDUCT kann nicht angelegt werden";

// "VEJournal<n>.csv"
std::string journalFileName(int registerNo);
// "XREDUCT/XREDUCT<yyyymmddhhnnss>.DAT" under the working directory.
std::string archivePath(const std::string& workingDirectory, const plat::DateTime& start);

// The date of a type-103 line: every "-" becomes "." and every blank "0" (in
// all characters but the last), then the text is read as a regional short
// date; "yyyymmdd", or nothing when it cannot be read.
std::optional<std::string> journalDate(std::string_view field);
// The time of a type-103 line read as a regional long time; "hhmmss", or
// nothing when it cannot be read.
std::optional<std::string> journalTime(std::string_view field);

// One journal line in its holders.
struct JournalLine {
    std::string type;        // 1  line type
    std::string closingKey;  // 2
    std::string field3;      // 3
    std::string date;        // 4  "yyyymmdd", type 103 only
    std::string time;        // 5  "hhmmss", type 103 only
    bool dateUnreadable = false;
    bool timeUnreadable = false;
    std::string bill;        // 6  bill number
    std::string field8;      // 8  "65534" kept as "0"
    std::string field10;     // 10
    std::string operatorNr;  // 11
    std::string code;        // 12 register table code, as written
    std::string number;      // 13 number within the table
    std::string text;        // 14
    std::string amount;      // 16 with a comma third from the end turned into a point
    int fieldCount = 0;

    long codeValue() const;
    long numberValue() const;
    bool isOpening() const { return codeValue() == 0 && numberValue() == 249 && !field8.empty(); }
};

JournalLine splitJournalLine(std::string_view piece, const regfiles::SplitOptions& options);

// What the look-ahead of a bill finds.
struct BillTips {
    float percent = 0;
    std::string tipA;
    std::string tipB;
    bool operator==(const BillTips&) const = default;
};

// The look-ahead (NachlassSuchen): reads the journal from its position, just
// after the opening line of `bill`, to the end of the bill (the line that
// ends it is not counted), split with the quoted variant without the umlaut
// mapping. Field 14 of discount lines (field 12 "1000") is kept, a later one
// replacing an earlier one, and gives the percentage at the end; tip lines
// (field 12 "900") add field 16 to total A when field 13 reads less than 6,
// otherwise to total B; lines 0/98 add field 16 without its sign to total A.
// The caller saves the read position before and restores it afterwards.
BillTips findBillTips(regfiles::LineReader& journal, const std::string& bill);

class RevenueConverter {
  public:
    struct Setup {
        std::string workingDirectory;  // journals, TiReaktiv.ini, XREDUCT/
        std::string revenuePath;       // XREDUCT.DAT in the hotel transfer directory
        int registers = 1;             // number of registers
        regfiles::MessageSink showStop;
        // ZTextDateiLesen and ArtikelDateiLesen on the number in hand.
        std::function<void(std::string& number)> zText;
        std::function<void(std::string& number, std::string& groupText)> article;
        // NachlassSuchen: the look-ahead over a bill (findBillTips unless set).
        std::function<BillTips(regfiles::LineReader& journal, const std::string& bill)> billTips;
        // ReaktivSuchen: the first pass over a journal (buildReactivationList
        // unless set).
        std::function<void(regfiles::LineReader& journal, plat::IniFile& list)> reactivation;
        // The run's start time (names the archive copy).
        std::function<plat::DateTime()> clock = plat::now;
    };

    explicit RevenueConverter(Setup setup) : setup_(std::move(setup)) {}

    // Converts the journals. True when it ran to the end without a message.
    // XREDUCT.DAT is written beside the file the hotel software reads and
    // put in its place whole at the end (plat::ReplacingFile): it then holds
    // the records of every register converted, or, when a register ends
    // before its first record (its journal or reactivation list cannot be
    // opened or read), those of the registers before it. After a failed
    // write, or a journal that breaks off after records were written, the
    // previous XREDUCT.DAT stays as it was ("Datei XREDUCT.DAT kann nicht
    // geschrieben werden", "Datei VEJournal kann nicht gelesen werden").
    bool run();

  private:
    bool convertJournal(int registerNo, regfiles::LineReader& journal);
    bool emit(const std::string& record);
    void showStop(const std::string& text);

    Setup setup_;
    plat::File archive_;
    plat::ReplacingFile revenue_;
    long records_ = 0;  // records begun in this run
    std::optional<std::string> currentBill_;
    bool messageShown_ = false;
};

}  // namespace protel
