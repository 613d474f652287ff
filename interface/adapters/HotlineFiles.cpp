#include "interface/adapters/HotlineFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "interface/registerfiles/lookup_cache.h"
#include "interface/registerfiles/numbers.h"
#include "platform/regional.h"

namespace hotline {

std::string roomValue(std::string_view block) {
    return fixedwidth::trimBlanks(fixedwidth::positions(block, 1, 5));
}

bool isGuestRecord(std::string_view block) {
    return block.size() == kBlockSize && block[kBlockSize - 1] == ' ';
}

regfiles::GastDaten guestOfBlock(std::string_view block) {
    regfiles::GastDaten guest;
    guest.set(roomValue(block),
              "\"" + fixedwidth::trimBlanks(fixedwidth::positions(block, 16, 35)) + "\"",
              fixedwidth::trimBlanks(fixedwidth::positions(block, 6, 15)));
    return guest;
}

namespace {

// The first guest of every room value.
using GuestIndex = std::unordered_map<std::string, regfiles::GastDaten>;

bool indexGuests(fixedwidth::BlockReader& in, GuestIndex& index) {
    std::string block;
    while (in.next(kBlockSize, block)) {
        if (!isGuestRecord(block)) continue;
        index.try_emplace(roomValue(block), guestOfBlock(block));
    }
    return !in.failed();
}

}  // namespace

LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest) {
    guest.clear();
    fixedwidth::BlockReader in;
    if (!in.open(path)) return LookupResult::CannotOpen;
    if (room.empty()) return LookupResult::NotFound;
    if (plat::lookupCachesEnabled()) {
        static regfiles::LookupCache<GuestIndex> cache;
        bool complete = false;
        const GuestIndex& index = cache.get(path, in.openStamp(), complete,
                                            [&in](GuestIndex& i) { return indexGuests(in, i); });
        if (const auto it = index.find(room); it != index.end()) {
            guest = it->second;
            return LookupResult::Found;
        }
        return complete ? LookupResult::NotFound : LookupResult::CannotOpen;
    }
    std::string block;
    while (in.next(kBlockSize, block)) {
        if (!isGuestRecord(block)) continue;
        if (roomValue(block) != room) continue;
        guest = guestOfBlock(block);
        return LookupResult::Found;
    }
    return in.failed() ? LookupResult::CannotOpen : LookupResult::NotFound;
}

double tipAmount(std::string_view betrag) {
    std::string text(betrag);
    if (text.size() >= 3 && text[text.size() - 3] == ',') text[text.size() - 3] = '.';
    return regfiles::readLeadingDouble(text);
}

std::optional<std::string> fixedPointText(double value, int precision, int decimals,
                                          char decimalSeparator) {
    // The decimal digits of the value, far beyond what is kept, so that the
    // one rounding below sees the value and not a rounded form of it.
    constexpr int kDigits = 40;
    if (!std::isfinite(value) || precision < 1 || precision >= kDigits || decimals < 0 ||
        decimals >= kDigits)
        return std::nullopt;
    char buf[kDigits + 16];
    std::snprintf(buf, sizeof buf, "%.*e", kDigits - 1, std::fabs(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, static_cast<std::size_t>(kDigits - 1));
    // The value is 0.<digits> * 10^intDigits.
    int intDigits = std::atoi(buf + kDigits + 2) + 1;
    const int keep = std::min(precision, intDigits + decimals);
    std::string kept;
    bool roundUp = false;
    if (keep >= 0) {
        kept = digits.substr(0, static_cast<std::size_t>(keep));
        roundUp = digits[static_cast<std::size_t>(keep)] >= '5';
    }
    if (roundUp) {
        int k = static_cast<int>(kept.size()) - 1;
        for (; k >= 0; --k) {
            char& c = kept[static_cast<std::size_t>(k)];
            if (c != '9') {
                ++c;
                break;
            }
            c = '0';
        }
        if (k < 0) {
            kept.insert(kept.begin(), '1');
            ++intDigits;
        }
    }
    if (intDigits > precision && kept.find_first_not_of('0') != std::string::npos)
        return std::nullopt;
    auto digitAt = [&kept](int i) {
        return i >= 0 && i < static_cast<int>(kept.size()) ? kept[static_cast<std::size_t>(i)]
                                                           : '0';
    };
    std::string text;
    if (intDigits <= 0) text += '0';
    for (int i = 0; i < intDigits; ++i) text += digitAt(i);
    if (decimals > 0) {
        text += decimalSeparator;
        for (int j = 0; j < decimals; ++j) text += digitAt(intDigits + j);
    }
    // Leading zeros of the integer part, keeping one.
    std::size_t lead = 0;
    while (lead + 1 < text.size() && text[lead] == '0' && text[lead + 1] != decimalSeparator)
        ++lead;
    text.erase(0, lead);
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    if (value < 0 && !zero) text.insert(text.begin(), '-');
    return text;
}

std::optional<std::string> tipText(float sum, char decimalSeparator) {
    const std::optional<std::string> text =
        fixedPointText(static_cast<double>(sum), 7, 2, decimalSeparator);
    if (!text) return std::nullopt;
    return fixedwidth::commaToPoint(*text);
}

fixedwidth::RecordBuilder formatRecord(const Booking& b) {
    fixedwidth::RecordBuilder r;
    r.right(b.room, 5);
    r.right(b.konto, 10);
    r.fixed("1");
    r.right(fixedwidth::commaToPoint(b.betrag), 10);
    r.fixed(kEmptyAmount);
    r.fixed(kEmptyAmount);
    if (b.tip.empty())
        r.fixed(kEmptyAmount);
    else
        r.right(b.tip, 10);
    r.fixed(plat::formatDateTime("yyyymmdd", b.date));
    r.fixed(" ");
    return r;
}

bool Converter::books(const regfiles::RoomReportLine& line) {
    return line.isRoomBooking() && line.tabellenNr() == 0 && line.eintragNr() == 99;
}

bool Converter::isTip(const regfiles::RoomReportLine& line) {
    return line.isRoomBooking() && line.TabellenNr == "900";
}

bool Converter::beforeReading() {
    tipSum_ = 0;
    roomChangedOnLine_ = 0;
    return true;
}

void Converter::roomChanged(const regfiles::RoomReportLine& line) {
    guest_ = steps_.guestOf ? steps_.guestOf(line.ZimmerNr) : regfiles::GastDaten{};
    roomChangedOnLine_ = line.lineNumber;
}

void Converter::operatorRead(const regfiles::RoomReportLine& line) {
    if (steps_.lookUpOperator) steps_.lookUpOperator(line.BedienerNr);
}

bool Converter::lineEnd(const regfiles::RoomReportLine& line) {
    if (isTip(line)) {
        if (!line.complete()) {
            noteIncomplete(line);
            return true;
        }
        // The sum is held in single precision, as hotline's amounts are.
        tipSum_ = static_cast<float>(static_cast<double>(tipSum_) + tipAmount(line.Betrag));
        return true;
    }
    if (!books(line)) return true;
    if (!line.complete()) {
        noteIncomplete(line);
        return true;
    }
    Booking b;
    // On the line where the room changed, the room is the one the lookup
    // gives: the room itself, or "0" when it found no guest.
    b.room = roomChangedOnLine_ == line.lineNumber ? guest_.Zimmer : line.ZimmerNr;
    b.konto = guest_.Konto;
    b.betrag = line.Betrag;
    b.date = steps_.clock ? steps_.clock() : plat::now();
    bool tipWithoutText = false;
    if (tipSum_ > 0) {
        const std::optional<std::string> tip = tipText(tipSum_, decimalSeparator_);
        if (tip)
            b.tip = *tip;
        else
            tipWithoutText = true;
        tipSum_ = 0;
    }
    fixedwidth::RecordBuilder record = formatRecord(b);
    if (tipWithoutText) record.markNotFitting();
    return writeFixedRecord(record, line);
}

}  // namespace hotline
