#include "interface/adapters/ProtelRevenue.h"

#include "interface/adapters/ProtelReactivation.h"
#include "interface/adapters/ProtelRecords.h"
#include "interface/adapters/ProtelTables.h"
#include "interface/registerfiles/numbers.h"
#include "interface/registerfiles/room_report.h"
#include "platform/paths.h"
#include "platform/regional.h"

namespace protel {

namespace {

constexpr std::size_t kShort = 9;  // fields 1, 2, 3, 6, 8, 11, 12
constexpr std::size_t kField10 = 29;
constexpr std::size_t kField13 = 19;
constexpr std::size_t kField14 = 49;
constexpr std::size_t kAmount = 25;  // field 16 and the pending 0/97 amount
constexpr int kAmountField = 16;

std::string cut(const std::string& s, std::size_t width) {
    return s.substr(0, width);
}

// "VEJournal1.csv: Datum oder Uhrzeit nicht lesbar, leer übertragen (Zeile 3)"
std::string unreadableDateMessage(const std::string& fileName, const std::vector<long>& lines) {
    std::string text = fileName + ": Datum oder Uhrzeit nicht lesbar, leer übertragen (Zeile";
    const std::size_t shown = lines.size() < 10 ? lines.size() : 10;
    for (std::size_t i = 0; i < shown; ++i)
        text += (i == 0 ? " " : ", ") + std::to_string(lines[i]);
    if (shown < lines.size()) text += ", ...";
    return text + ")";
}

}  // namespace

std::string journalFileName(int registerNo) {
    return "VEJournal" + std::to_string(registerNo) + ".csv";
}

std::string archivePath(const std::string& workingDirectory, const plat::DateTime& start) {
    return plat::joinPath(plat::joinPath(workingDirectory, kArchiveDirectory),
                          "XREDUCT" + plat::formatDateTime("yyyymmddhhnnss", start) + ".DAT");
}

std::optional<std::string> journalDate(std::string_view field) {
    std::string text(field);
    const char sep = plat::regional().dateSeparator;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '-') text[i] = '.';
        if (text[i] == ' ') text[i] = '0';
    }
    // The text now has "." between day, month and year: read it with the
    // regional separator in their place.
    for (char& c : text)
        if (c == '.') c = sep;
    plat::DateTime d;
    if (!plat::parseShortDate(text, d)) return std::nullopt;
    return plat::formatDateTime("yyyymmdd", d);
}

std::optional<std::string> journalTime(std::string_view field) {
    int h = 0, m = 0, s = 0;
    if (!plat::parseLongTime(field, h, m, s)) return std::nullopt;
    plat::DateTime t;
    t.hour = h;
    t.minute = m;
    t.second = s;
    return plat::formatDateTime("hhnnss", t);
}

long JournalLine::codeValue() const {
    return regfiles::readLeadingLong(code);
}
long JournalLine::numberValue() const {
    return regfiles::readLeadingLong(number);
}

JournalLine splitJournalLine(std::string_view piece, const regfiles::SplitOptions& options) {
    JournalLine l;
    const std::vector<std::string> fields = regfiles::splitLine(piece, options);
    l.fieldCount = static_cast<int>(fields.size());
    auto f = [&fields](std::size_t no, std::size_t width) {
        return no <= fields.size() ? cut(fields[no - 1], width) : std::string();
    };
    l.type = f(1, kShort);
    l.closingKey = f(2, kShort);
    l.field3 = f(3, kShort);
    if (l.type == "103") {
        if (fields.size() >= 4) {
            const std::optional<std::string> d = journalDate(fields[3]);
            l.date = d.value_or("");
            l.dateUnreadable = !d;
        } else {
            l.dateUnreadable = true;
        }
        if (fields.size() >= 5) {
            const std::optional<std::string> t = journalTime(fields[4]);
            l.time = t.value_or("");
            l.timeUnreadable = !t;
        } else {
            l.timeUnreadable = true;
        }
    }
    l.bill = f(6, kShort);
    l.field8 = f(8, kShort);
    if (l.field8 == "65534") l.field8 = "0";
    l.field10 = f(10, kField10);
    l.operatorNr = f(11, kShort);
    l.code = f(12, kShort);
    l.number = f(13, kField13);
    l.text = f(14, kField14);
    l.amount = commaToPoint(f(16, kAmount));
    return l;
}

BillTips findBillTips(regfiles::LineReader& journal, const std::string& bill) {
    float totalA = 0;
    float totalB = 0;
    std::string discount;
    std::string piece;
    while (journal.readLineCut(piece)) {
        const JournalLine l = splitJournalLine(piece, {';', true, false});
        // The first line of another bill ends this one; it is not counted.
        if (l.bill != bill) break;
        if (l.code == "1000") discount = l.text;
        if (l.code == "900") {
            const float amount = static_cast<float>(amountValue(l.amount));
            if (l.numberValue() < 6)
                totalA += amount;
            else
                totalB += amount;
        }
        if (l.codeValue() == 0 && l.numberValue() == 98) {
            std::string_view amount = l.amount;
            if (!amount.empty() && (amount.front() == '-' || amount.front() == '+'))
                amount.remove_prefix(1);
            totalA += static_cast<float>(amountValue(amount));
        }
    }
    BillTips tips;
    tips.percent = discountPercent(discount);
    tips.tipA = tipText(totalA);
    tips.tipB = tipText(totalB);
    return tips;
}

void RevenueConverter::showStop(const std::string& text) {
    messageShown_ = true;
    if (setup_.showStop) setup_.showStop(text);
}

bool RevenueConverter::emit(const std::string& line) {
    const std::string out = line + "\r\n";
    ++records_;
    if (revenue_.write(out) && archive_.write(out)) return true;
    showStop(regfiles::cannotWriteMessage(kRevenueFile));
    return false;
}

bool RevenueConverter::run() {
    messageShown_ = false;
    currentBill_.reset();
    records_ = 0;
    const plat::DateTime start = setup_.clock ? setup_.clock() : plat::now();
    const std::string& w = setup_.workingDirectory;
    if (!plat::makeDirectory(plat::joinPath(w, kArchiveDirectory)))
        showStop(kArchiveDirectoryMessage);
    // Appending: a second run within the same second adds to the copy of the
    // first instead of emptying it.
    if (!archive_.open(archivePath(w, start), plat::File::Mode::Append,
                       plat::File::Share::Shared)) {
        showStop(regfiles::cannotReadMessage(kRevenueFile));
        return false;
    }
    bool ok = true;
    bool publish = false;  // what was written is whole and goes in place
    for (int n = 1; ok && n <= setup_.registers; ++n) {
        regfiles::LineReader journal;
        if (!journal.open(plat::joinPath(w, journalFileName(n)))) {
            showStop(regfiles::cannotReadMessage(kJournalMessageName));
            ok = false;
            break;
        }
        // Register 1 starts the new file; the others add to it.
        if (n == 1 && !revenue_.open(setup_.revenuePath)) {
            showStop(regfiles::cannotReadMessage(kRevenueFile));
            ok = false;
            break;
        }
        publish = true;
        const long before = records_;
        ok = convertJournal(n, journal);
        // A register that ended part-way through its records (a failed
        // write or read) would leave a cut file: none goes in place. One
        // that ended before its first record leaves the registers before it.
        if (!ok && records_ != before) publish = false;
        journal.close();
    }
    if (publish && !revenue_.commit()) {
        showStop(regfiles::cannotWriteMessage(kRevenueFile));
        ok = false;
    }
    revenue_.discard();
    archive_.close();
    return ok && !messageShown_;
}

bool RevenueConverter::convertJournal(int registerNo, regfiles::LineReader& journal) {
    const std::string journalName = journalFileName(registerNo);
    // First pass: the reactivation list, built afresh for every register.
    const std::string listPath = plat::joinPath(setup_.workingDirectory, kReactivationFile);
    plat::removeFile(listPath);
    if (plat::fileExists(listPath)) {
        // A list left from another register would leave out that register's
        // bills here.
        showStop(std::string("Datei ") + kReactivationFile + " kann nicht gelöscht werden");
        return false;
    }
    ReactivationIni list(listPath);
    if (setup_.reactivation)
        setup_.reactivation(journal, list);
    else
        buildReactivationList(journal, list);
    // The file is a record of the list; the conversion asks the object, so a
    // list file that cannot be written does not change what is converted.
    list.flush();
    if (journal.failed() || !journal.setPosition({})) {
        showStop(regfiles::cannotReadMessage(kJournalMessageName));
        return false;
    }

    // Second pass: the records.
    std::string pending;  // the 0/97 amount for the next payment record
    float percent = 0;
    std::vector<long> incomplete;
    std::vector<long> unreadable;
    const regfiles::SplitOptions split{';', true, true};
    std::string piece;
    long lineNo = 0;
    auto ofCurrentBill = [this](const JournalLine& l) {
        return currentBill_ && l.bill == *currentBill_;
    };
    while (journal.readLineCut(piece)) {
        ++lineNo;
        const JournalLine l = splitJournalLine(piece, split);
        if (l.isOpening()) {
            if (!isReactivated(list, l.closingKey)) {
                currentBill_ = l.bill;
                const regfiles::LineReader::Position at = journal.position();
                const BillTips tips = setup_.billTips ? setup_.billTips(journal, l.bill)
                                                      : findBillTips(journal, l.bill);
                if (!journal.setPosition(at)) {
                    showStop(regfiles::cannotReadMessage(kJournalMessageName));
                    return false;
                }
                percent = tips.percent;
                if (l.dateUnreadable || l.timeUnreadable) unreadable.push_back(lineNo);
                if (!emit(record('T', {l.field10, l.field8, l.field3, l.operatorNr, l.date, l.time,
                                       tipField(tips.tipA), tipField(tips.tipB)})))
                    return false;
            }
            // The line after an opening line is passed over.
            if (journal.readLineCut(piece)) ++lineNo;
            continue;
        }
        if (!ofCurrentBill(l)) continue;
        long code = l.codeValue();
        std::string number = l.number;
        if (code == 4000) {
            if (l.fieldCount < kAmountField) {
                incomplete.push_back(lineNo);
                continue;
            }
            if (l.amount.empty()) continue;  // a Z text without amount books nothing
            if (setup_.zText) setup_.zText(number);
            code = 10000;
        }
        if (code == 10000) {
            if (l.fieldCount < kAmountField) {
                incomplete.push_back(lineNo);
                continue;
            }
            std::string group;
            if (setup_.article) setup_.article(number, group);
            if (!emit(record(
                    'G', {number, groupField(group), discountedAmount(l.amount, percent), l.text})))
                return false;
        } else if (code == 0 && l.numberValue() == 97) {
            pending = l.amount;
        } else if (code == 700) {
            if (pending.empty() && l.fieldCount < kAmountField) {
                incomplete.push_back(lineNo);
                continue;
            }
            const std::string amount = pending.empty() ? l.amount : pending;
            pending.clear();
            if (!emit(record('P', {l.number, amount}))) return false;
        }
    }
    if (journal.failed()) {
        showStop(regfiles::cannotReadMessage(kJournalMessageName));
        return false;
    }
    if (!incomplete.empty()) showStop(regfiles::incompleteLinesMessage(journalName, incomplete));
    if (!unreadable.empty()) showStop(unreadableDateMessage(journalName, unreadable));
    return true;
}

}  // namespace protel
