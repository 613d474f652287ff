#include "interface/adapters/VeloxFiles.h"

#include <unordered_map>

#include "interface/registerfiles/lookup_cache.h"
#include "platform/regional.h"

namespace velox {

std::string roomValue(std::string_view block) {
    const std::string room = fixedwidth::positions(block, 1, 10);
    return room.substr(0, room.find(' '));
}

regfiles::GastDaten guestOfBlock(std::string_view block) {
    std::string konto;
    for (char c : fixedwidth::positions(block, 11, 20))
        if (c != ' ') konto += c;
    regfiles::GastDaten guest;
    guest.set(roomValue(block), "\"" + fixedwidth::positions(block, 21, 45) + "\"", konto);
    return guest;
}

namespace {

// The last guest of every room value.
using GuestIndex = std::unordered_map<std::string, regfiles::GastDaten>;

bool indexGuests(fixedwidth::BlockReader& in, GuestIndex& index) {
    std::string block;
    while (in.next(kBlockSize, block)) {
        if (block.size() < kShortestRest) break;
        index.insert_or_assign(roomValue(block), guestOfBlock(block));
    }
    return !in.failed();
}

}  // namespace

LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest) {
    guest.clear();
    fixedwidth::BlockReader in;
    if (!in.open(path)) return LookupResult::CannotOpen;
    if (plat::lookupCachesEnabled()) {
        // The whole file is read whatever the room, and a failed reading
        // answers nothing but the failure.
        static regfiles::LookupCache<GuestIndex> cache;
        bool complete = false;
        const GuestIndex& index = cache.get(path, in.openStamp(), complete,
                                            [&in](GuestIndex& i) { return indexGuests(in, i); });
        if (!complete) return LookupResult::CannotOpen;
        const auto it = room.empty() ? index.end() : index.find(room);
        if (it == index.end()) return LookupResult::NotFound;
        guest = it->second;
        return LookupResult::Found;
    }
    regfiles::GastDaten found;
    bool any = false;
    std::string block;
    while (in.next(kBlockSize, block)) {
        if (block.size() < kShortestRest) break;
        if (room.empty() || roomValue(block) != room) continue;
        found = guestOfBlock(block);
        any = true;
    }
    if (in.failed()) return LookupResult::CannotOpen;
    if (!any) return LookupResult::NotFound;
    guest = found;
    return LookupResult::Found;
}

fixedwidth::RecordBuilder formatRecord(const Booking& b) {
    fixedwidth::RecordBuilder r;
    r.right(b.konto, 10);
    r.fixed(plat::formatDateTime("ddmmyyyy", b.time));
    r.fixed(plat::formatDateTime("hhnnss", b.time));
    r.right(fixedwidth::commaToPoint(b.betrag), 14);
    r.fixed("Kasse   ");
    r.fixed("          ");
    r.fixed("Bed");
    r.leftCut(b.bedienerNr, 5);
    return r;
}

bool Converter::books(const regfiles::RoomReportLine& line) {
    return line.isRoomBooking() && line.tabellenNr() == 0 && line.eintragNr() == 99;
}

bool Converter::beforeReading() {
    return steps_.readVatRate ? steps_.readVatRate() : true;
}

void Converter::roomChanged(const regfiles::RoomReportLine& line) {
    guest_ = steps_.guestOf ? steps_.guestOf(line.ZimmerNr) : regfiles::GastDaten{};
    if (steps_.nextReceipt) steps_.nextReceipt();
}

void Converter::operatorRead(const regfiles::RoomReportLine& line) {
    if (steps_.lookUpOperator) steps_.lookUpOperator(line.BedienerNr);
}

bool Converter::lineEnd(const regfiles::RoomReportLine& line) {
    if (!books(line)) return true;
    if (!line.complete()) {
        noteIncomplete(line);
        return true;
    }
    Booking b;
    b.konto = guest_.Konto;
    b.time = steps_.clock ? steps_.clock() : plat::now();
    b.betrag = line.Betrag;
    b.bedienerNr = line.BedienerNr;
    return writeFixedRecord(formatRecord(b), line);
}

}  // namespace velox
