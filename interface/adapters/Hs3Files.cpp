#include "interface/adapters/Hs3Files.h"

#include <optional>
#include <vector>

#include "interface/registerfiles/line_splitter.h"
#include "interface/registerfiles/numbers.h"
#include "platform/regional.h"

namespace hs3 {

std::string roomValue(std::string_view field) {
    if (field.size() < 2) return {};
    const std::string_view inner = field.substr(1, field.size() - 2);
    return std::string(inner.substr(0, inner.find(' ')));
}

namespace {

// A line of the guest file: its room value and the guest it gives; nothing
// for a line without room field.
std::optional<regfiles::GuestLine> guestOfLine(std::string_view line) {
    const std::vector<std::string> fields = regfiles::splitPlain(line, ';');
    if (fields.size() < 2) return std::nullopt;
    regfiles::GuestLine out;
    out.room = roomValue(fields[1]);
    out.guest.set(out.room, fields.size() >= 3 ? fields[2] : regfiles::GastDaten::kNoName,
                  fields[0]);
    return out;
}

}  // namespace

LookupResult findGuest(const std::string& path, const std::string& room,
                       regfiles::GastDaten& guest) {
    static regfiles::LookupCache<regfiles::GuestIndex> cache;
    return regfiles::findFirstGuest(path, room, guest, guestOfLine, cache);
}

std::string formatBooking(const Booking& b) {
    std::string s;
    s.reserve(200);
    s += b.konto;
    s += ";\"";
    s += b.receipt;
    s += "\";\"";
    s += b.date;
    s += "\";\"";
    s += b.time;
    s += "\";\"";
    s += b.menge;
    s += "\";\"";
    s += b.eintragNr;
    s += "\";";
    s += b.text;
    s += ";\"";
    s += b.mwstSatz;
    s += "\";\"";
    s += b.unitPrice;
    s += "\";\"";
    s += b.betrag;
    s += "\";\"";
    s += "EUR";
    s += "\";\"";
    s += b.bedienerNr;
    s += "\";";
    s += b.bedienerName;
    return s;
}

std::string quantityText(std::string_view menge, char decimalSeparator) {
    return regfiles::formatTwoDecimals(regfiles::readLeadingDouble(menge), decimalSeparator);
}

std::string unitPriceText(std::string_view menge, std::string_view betrag, char decimalSeparator) {
    auto read = [decimalSeparator](std::string_view text) {
        double v = 1;
        if (regfiles::parseRegionalNumber(text, decimalSeparator, v)) return v;
        if (regfiles::parseRegionalNumber(text, decimalSeparator == ',' ? '.' : ',', v)) return v;
        return 1.0;
    };
    const double amount = read(betrag);
    double quantity = read(menge);
    if (quantity == 0) quantity = 1;
    const float unit = static_cast<float>(amount / quantity);
    return regfiles::formatTwoDecimals(static_cast<double>(unit), decimalSeparator);
}

bool Converter::books(const regfiles::RoomReportLine& line) {
    return line.isRoomBooking() && line.tabellenNr() >= 5000;
}

void Converter::roomChanged(const regfiles::RoomReportLine& line) {
    guest_ = steps_.guestOf ? steps_.guestOf(line.ZimmerNr) : regfiles::GastDaten{};
    receipt_ = regfiles::receiptNumberText(steps_.nextReceipt ? steps_.nextReceipt() : 0);
}

void Converter::operatorRead(const regfiles::RoomReportLine& line) {
    bedienerName_ = steps_.operatorName ? steps_.operatorName(line.BedienerNr) : std::string();
}

bool Converter::lineEnd(const regfiles::RoomReportLine& line) {
    if (!books(line)) return true;
    if (!line.complete()) {
        noteIncomplete(line);
        return true;
    }
    const plat::DateTime now = steps_.clock ? steps_.clock() : plat::now();
    Booking b;
    b.konto = guest_.Konto;
    b.receipt = receipt_;
    b.date = plat::formatDateTime("dd.mm.yyyy", now);
    b.time = plat::formatDateTime("hh:nn", now);
    b.menge = quantityText(line.Menge, decimalSeparator_);
    b.eintragNr = line.EintragNr;
    b.text = line.Text;
    b.mwstSatz = mwstSatz_;
    b.unitPrice = unitPriceText(line.Menge, line.Betrag, decimalSeparator_);
    b.betrag = line.Betrag;
    b.bedienerNr = line.BedienerNr;
    b.bedienerName = bedienerName_;
    return writeBooking(formatBooking(b));
}

}  // namespace hs3
