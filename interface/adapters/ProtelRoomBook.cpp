#include "interface/adapters/ProtelRoomBook.h"

#include "interface/adapters/ProtelRecords.h"
#include "interface/adapters/ProtelTables.h"
#include "platform/regional.h"

namespace protel {

using regfiles::RoomReportLine;

bool RoomBookConverter::isOpeningLine(const RoomReportLine& line) {
    return line.isRoomBooking() && line.tabellenNr() == 0 && line.eintragNr() == 250;
}

BlockTips findBlockTips(regfiles::LineReader& report, const std::string& room) {
    float totalA = 0;
    float totalB = 0;
    BlockTips tips;
    std::string piece;
    while (report.readLineCut(piece)) {
        const RoomReportLine line = regfiles::splitRoomReportLine(piece, {';', true, false});
        if (!line.isRoomBooking()) continue;
        // The first line of another room and the next opening line end the
        // block; they count for the block they open.
        if (line.fieldCount < 2 || line.ZimmerNr != room) break;
        if (RoomBookConverter::isOpeningLine(line)) break;
        if (line.TabellenNr == "1000" && !line.Text.empty() && line.Text.front() == '-')
            tips.percent = discountPercent(line.Text);
        if (line.TabellenNr == "900") {
            const float amount = static_cast<float>(amountValue(line.Betrag));
            if (line.eintragNr() < 6)
                totalA += amount;
            else
                totalB += amount;
        }
    }
    tips.tipA = tipText(totalA);
    tips.tipB = tipText(totalB);
    return tips;
}

void RoomBookConverter::roomChanged(const RoomReportLine& line) {
    guest_ = steps_.guestOf ? steps_.guestOf(line.ZimmerNr) : regfiles::GastDaten{};
    lookedUpThisLine_ = true;
    receipt_ = steps_.nextReceipt ? steps_.nextReceipt() : receipt_ + 1;
}

void RoomBookConverter::operatorRead(const RoomReportLine& line) {
    if (steps_.operatorLookup) steps_.operatorLookup(line.BedienerNr);
}

bool RoomBookConverter::lineEnd(const RoomReportLine& line) {
    const bool lookedUp = lookedUpThisLine_;
    lookedUpThisLine_ = false;
    if (!line.isRoomBooking()) return true;
    if (isOpeningLine(line)) {
        const regfiles::LineReader::Position at = report().position();
        const BlockTips tips = steps_.tips ? steps_.tips(report(), line.ZimmerNr)
                                           : findBlockTips(report(), line.ZimmerNr);
        if (!report().setPosition(at)) {
            showStop(regfiles::cannotReadMessage(regfiles::kRoomReportMessageName));
            return false;
        }
        percent_ = tips.percent;
        const std::string konto = lookedUp ? guest_.Konto : std::string();
        const std::string zimmer = lookedUp ? guest_.Zimmer : line.ZimmerNr;
        if (!firstHeader_ && !writeBooking("")) return false;
        firstHeader_ = false;
        const plat::DateTime now = steps_.clock ? steps_.clock() : plat::now();
        return writeBooking(record('R', {konto, zimmer, "0"})) &&
               writeBooking(record(
                   'T', {"", std::to_string(receipt_), "1", line.BedienerNr,
                         plat::formatDateTime("yyyymmdd", now), plat::formatDateTime("hhnnss", now),
                         tipField(tips.tipA), tipField(tips.tipB)}));
    }
    const long table = line.tabellenNr();
    if (table != 4000 && table != 10000) return true;
    if (!line.complete()) {
        noteIncomplete(line);
        return true;
    }
    const bool zText = table == 4000;
    if (zText && line.Betrag.empty()) return true;  // a Z text without amount books nothing
    std::string number = line.EintragNr;
    if (zText && steps_.zText) steps_.zText(number);
    std::string group;
    if (steps_.article) steps_.article(number, group);
    return writeBooking(record(
        'G', {number, groupField(group), discountedAmount(line.Betrag, percent_), line.Text}));
}

}  // namespace protel
