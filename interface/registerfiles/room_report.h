// The room report VZimmerBericht.csv and the reading loop that every room
// report converter shares, with the receipt counter and the frame of a
// conversion (open the report and the booking file, read, close).
//
// A converter for a hotel software derives from RoomReportConverter and fills
// in its three steps:
//   roomChanged   the room of a booking line differs from the previous one:
//                 the guest lookup, and for most converters the next receipt
//                 number (ReceiptCounter);
//   operatorRead  after field 3 of a booking line: the operator lookup;
//   lineEnd       at the end of every line: decide and write the booking
//                 (writeBooking for a line of a text file, writeRecord for a
//                 fixed-size record without line end), or note a booking
//                 line that lacks fields (noteIncomplete).
//
// A converter that reads ahead (to collect what a block of lines holds before
// it writes the block's header) uses report() and the reader's position() and
// setPosition() from within lineEnd, and splits what it reads ahead with
// splitRoomReportLine. A converter that splits with the quoted variant (and
// the umlaut mapping) says so in splitOptions().
//
// Bounds of the reading loop:
// - A line is read with at most 149 characters; what a longer line has beyond
//   them is cut off (its further pieces are not read as lines of their own).
// - Fields are cut at 49 characters by the splitter and then to the width of
//   their holder (RoomReportLine::kWidths).
// - Every line starts with empty holders: a line with fewer than eight fields
//   never carries values of the line before it (complete() tells).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "interface/registerfiles/booking_archive.h"
#include "interface/registerfiles/line_splitter.h"
#include "interface/registerfiles/message_sink.h"
#include "platform/clock.h"
#include "platform/file.h"

namespace regfiles {

// The name the converters open; the driver writes VZimmerBericht.csv, and the
// name is resolved without regard to case.
inline constexpr const char* kRoomReportFile = "VZIMMERBERICHT.CSV";
inline constexpr const char* kRoomReportMessageName = "VZimmerBericht.csv";

struct RoomReportLine {
    // Widths of the holders of fields 1 to 8.
    static constexpr std::array<std::size_t, 8> kWidths{9, 29, 9, 9, 19, 49, 15, 25};
    static constexpr int kFieldCount = 8;

    std::string Satzart = "0";  // record type; "22" for a room booking line
    std::string ZimmerNr;       // room number, compared as text
    std::string BedienerNr;     // operator number, key of VBED.CSV
    std::string TabellenNr;     // register table of the booked entry, or a code (0, 900, 1000)
    std::string EintragNr;      // entry number, or the sub-code of a code
    std::string Text;           // entry text with the register's double quotes
    std::string Menge;          // quantity
    std::string Betrag;         // amount, two decimals, comma or point
    int fieldCount = 0;         // fields the line had (counted up to 8 and beyond)
    long lineNumber = 0;        // line of the file, from 1

    bool isRoomBooking() const { return Satzart == "22"; }
    bool complete() const { return fieldCount >= kFieldCount; }
    long tabellenNr() const;  // read from leading digits, no digits 0
    long eintragNr() const;
};

// What a converter does at the points of the reading loop.
class RoomReportSteps {
  public:
    virtual ~RoomReportSteps() = default;
    // A room booking line whose ZimmerNr differs from the previous room (the
    // first booking line of a conversion always does). Only ZimmerNr and
    // Satzart of the line are read at this point.
    virtual void roomChanged(const RoomReportLine& line) = 0;
    // After field 3 (BedienerNr) of a room booking line.
    virtual void operatorRead(const RoomReportLine& line) = 0;
    // At the end of every line, room booking or not. False ends the reading.
    virtual bool lineEnd(const RoomReportLine& line) = 0;
};

// One line of the room report in its holders: the fields of `piece` split
// with `options`, each cut to the width of its holder, counted in fieldCount.
// After a field 1 other than "22" the rest of the line is not looked at.
RoomReportLine splitRoomReportLine(std::string_view piece, const SplitOptions& options = {});

// The reading loop over an open room report. Lines whose first field is not
// exactly "22" are skipped whole and do not change the previous room, which
// starts as " " so that the first booking line is a room change. False when a
// step ended the reading.
bool readRoomReport(LineReader& report, RoomReportSteps& steps, const SplitOptions& options = {});

// The receipt counter: raised by one at every room change and stored at once
// (the settings file's [ECR] BonNummer).
class ReceiptCounter {
  public:
    using Store = std::function<void(long value)>;
    ReceiptCounter(long& value, Store store) : value_(value), store_(std::move(store)) {}
    // Raises the counter, stores it and returns the new value.
    long next();
    long value() const { return value_; }

  private:
    long& value_;
    Store store_;
};

// Writes a booking file: text lines with CR LF, or records without line
// ends, every write checked. The file is written beside the one the hotel
// software reads and put in its place whole by finish() (see
// plat::ReplacingFile): the hotel software never finds a half-written
// booking file, and a conversion that fails leaves the previous file as it
// was. A dated copy of the same bytes goes into the audit trail
// (booking_archive.h) when one is kept.
class BookingWriter {
  public:
    // Starts the new booking file. False when it cannot be created.
    bool create(const std::string& path);
    // Starts the dated copy of the file in the working directory's ARCHIV.
    // False when it cannot be started (the booking file goes on without).
    bool keepCopy(const std::string& workingDirectory, const std::string& fileName,
                  const plat::DateTime& t);
    bool writeLine(std::string_view line);      // adds the line end
    bool writeRecord(std::string_view record);  // the bytes as they are
    // A write of the booking file failed.
    bool failed() const { return file_.failed(); }
    // A write of the copy failed (the booking file goes on).
    bool copyFailed() const { return copy_.isOpen() && copy_.failed(); }
    const std::string& copyName() const { return copy_.name(); }
    // Puts the copy in the archive and then the booking file in its place.
    // False when the booking file could not be put there (a write failed or
    // the last step failed): the old file stays, and so does no copy.
    // `copyKept` tells whether the copy is in the archive.
    bool finish(bool& copyKept);
    // Drops the new file and the copy.
    void close();

  private:
    bool write(std::string_view bytes);
    plat::ReplacingFile file_;
    BookingCopy copy_;
};

// The frame of a room report conversion.
class RoomReportConverter : public RoomReportSteps {
  public:
    struct Setup {
        std::string workingDirectory;  // where the room report lies
        std::string bookingPath;       // the booking file, full path
        std::string bookingName;       // its name in messages, e.g. "HS3CASH.IN"
        MessageSink showStop;          // message box "Meldung" with the stop icon
        // Keep a dated copy of the booking file in ARCHIV (booking_archive.h).
        bool keepCopy = true;
        // The time that dates the copy.
        std::function<plat::DateTime()> clock = plat::now;
        // Called when the reading is over, before the booking file goes in
        // place: the receipt numbers it carries reach the disk first, so that
        // a booking file in place never has numbers the stored counter has
        // not reached.
        std::function<void()> beforePublish = {};
    };

    explicit RoomReportConverter(Setup setup) : setup_(std::move(setup)) {}

    // Opens the room report (message and end when it cannot be opened; the
    // booking file is then left alone), creates the booking file (message and
    // end), runs the reading loop, and puts the booking file in place when
    // the whole of it was written. A write that fails ends the conversion
    // with "Datei <booking file> kann nicht geschrieben werden"; the booking
    // file then stays as it was before. A copy that cannot be kept is
    // reported ("Sicherungskopie ... kann nicht geschrieben werden") without
    // holding the booking file back. Booking lines noted as incomplete are
    // reported in one message at the end. True when the conversion ran to
    // the end without a message.
    bool run();

  protected:
    // How the lines of the room report are split; the plain variant unless a
    // converter says otherwise.
    virtual SplitOptions splitOptions() const { return {}; }
    // The room report being read; only while run() is reading it.
    LineReader& report() { return *report_; }
    bool writeBooking(std::string_view line);   // a line; the line end is added
    bool writeRecord(std::string_view record);  // a record, written as it is
    void noteIncomplete(const RoomReportLine& line);
    void showStop(const std::string& text);
    const Setup& setup() const { return setup_; }

  private:
    Setup setup_;
    BookingWriter writer_;
    LineReader* report_ = nullptr;
    std::vector<long> incomplete_;
    bool messageShown_ = false;
};

// The message for booking lines that lack fields and were not booked:
// "<file>: 2 unvollständige Buchungszeilen nicht übertragen (Zeile 4, 9)",
// with at most ten line numbers. Without a file name, the room report's.
std::string incompleteLinesMessage(const std::string& fileName,
                                   const std::vector<long>& lineNumbers);
std::string incompleteLinesMessage(const std::vector<long>& lineNumbers);

}  // namespace regfiles
