// Protel: the room report VZimmerBericht.csv as Protel's booking import
// ROOMBOOK.DAT in the hotel transfer directory, without the window (the main
// window's members ZimmerBerichtZuProtel and TippSuchen are built on it).
//
// The room report is read with the shared reading loop, split with the
// quoted variant and the umlaut mapping. For every opening line of a block
// (TabellenNr 0, EintragNr 250) a booking header of two records is written:
//   {R|<Konto>|<Zimmer>|0}
//   {T||<receipt number>|1|<BedienerNr>|<yyyymmdd>|<hhmmss>|<tip A>|<tip B>}
// and for every article line (TabellenNr 10000, or a Z-text line with
// TabellenNr 4000 and an amount) one record
//   {G|<article number>|<group text or 1>|<amount>|<Text>}
// with the article number translated through VZtxt.CSV (Z texts) and VART.CSV.
// An empty line stands between two bookings. Konto and the room as found in
// INHOUSE.DAT reach the R record when the opening line is the first line of
// its room; otherwise Konto is empty and the room is ZimmerNr as written.
//
// Before it writes a header the converter reads ahead over the block
// (findBlockTips) for its tips and its discount percentage. A block is the
// run of room booking lines of the opening line's room up to the first line
// of another room, the next opening line or the end of the file; lines of
// other record types belong to no block and are passed over, as the reading
// loop passes over them.
//
// Article and Z-text lines that lack fields (fewer than eight) are not
// booked; they are reported in one message at the end of the conversion.
#pragma once

#include <functional>
#include <string>

#include "interface/registerfiles/guest_data.h"
#include "interface/registerfiles/room_report.h"
#include "platform/clock.h"

namespace protel {

inline constexpr const char* kBookingFile = "ROOMBOOK.DAT";

// What the look-ahead of a block finds.
struct BlockTips {
    float percent = 0;  // discount percentage of the block, 0 for none
    std::string tipA;   // total of the tips of payment numbers below 6, "" when 0 or less
    std::string tipB;   // total of the other tips, "" when 0 or less
    bool operator==(const BlockTips&) const = default;
};

// The look-ahead (TippSuchen): reads the room report from its position, just
// after the opening line of `room`, to the end of the block (the line that
// ends it is not counted). Discount lines (TabellenNr "1000", Text "-<n>%")
// set the percentage, a later one replacing an earlier one; tip lines
// (TabellenNr "900") add their amount to total A when EintragNr reads less
// than 6, otherwise to total B (single precision). Lines are split with the
// quoted variant without the umlaut mapping. The caller saves the read
// position before and restores it afterwards.
BlockTips findBlockTips(regfiles::LineReader& report, const std::string& room);

class RoomBookConverter : public regfiles::RoomReportConverter {
  public:
    struct Steps {
        // ProtelDateiLesen for a room: the guest of the room.
        std::function<regfiles::GastDaten(const std::string& room)> guestOf;
        // BedienerDateiLesen for an operator (its name is not written).
        std::function<void(const std::string& bedienerNr)> operatorLookup;
        // The next receipt number (raised and stored at once).
        std::function<long()> nextReceipt;
        // ZTextDateiLesen: a Z-text number becomes an article number.
        std::function<void(std::string& number)> zText;
        // ArtikelDateiLesen: an article number becomes Protel's number; the
        // group text is set (empty without one).
        std::function<void(std::string& number, std::string& groupText)> article;
        // TippSuchen: the look-ahead over a block (findBlockTips unless set).
        std::function<BlockTips(regfiles::LineReader& report, const std::string& room)> tips;
        // The time a header is written.
        std::function<plat::DateTime()> clock = plat::now;
    };

    RoomBookConverter(Setup setup, Steps steps)
        : RoomReportConverter(std::move(setup)), steps_(std::move(steps)) {}

    void roomChanged(const regfiles::RoomReportLine& line) override;
    void operatorRead(const regfiles::RoomReportLine& line) override;
    bool lineEnd(const regfiles::RoomReportLine& line) override;

    static bool isOpeningLine(const regfiles::RoomReportLine& line);

  protected:
    regfiles::SplitOptions splitOptions() const override { return {';', true, true}; }

  private:
    Steps steps_;
    regfiles::GastDaten guest_;
    bool lookedUpThisLine_ = false;
    long receipt_ = 0;
    bool firstHeader_ = true;
    float percent_ = 0;
};

}  // namespace protel
