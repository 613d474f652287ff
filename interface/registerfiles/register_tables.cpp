#include "interface/registerfiles/register_tables.h"

#include <unordered_map>
#include <vector>

#include "interface/registerfiles/line_splitter.h"
#include "interface/registerfiles/lookup_cache.h"
#include "interface/registerfiles/numbers.h"
#include "platform/paths.h"
#include "platform/regional.h"

namespace regfiles {

VatRateRead readVatRate(const std::string& workingDirectory, char decimalSeparator) {
    VatRateRead out;
    LineReader in;
    if (!in.open(plat::joinPath(workingDirectory, kVatFile))) {
        out.result = VatRateRead::Result::CannotOpen;
        return out;
    }
    std::string piece;
    while (in.readLineCut(piece)) {  // a line is cut at 149 characters
        const std::vector<std::string> fields = splitPlain(piece, ';');
        if (fields.size() < 4 || fields[1].substr(0, 9) != "1") continue;
        double hundredths = 0;
        if (!parseRegionalNumber(fields[3], decimalSeparator, hundredths)) {
            out.result = VatRateRead::Result::NotANumber;
            out.badText = fields[3];
            out.rate.clear();
            return out;
        }
        out.result = VatRateRead::Result::Found;
        out.rate = formatTwoDecimals(hundredths * 0.01, decimalSeparator).substr(0, kMwstSatzWidth);
    }
    if (in.failed()) out.result = VatRateRead::Result::CannotOpen;
    return out;
}

std::string notANumberMessage(const std::string& text) {
    return "'" + text + "' ist kein gültiger Gleitkommawert";
}

bool lookUpVatRate(const std::string& workingDirectory, std::string& mwstSatz,
                   const MessageSink& showStop) {
    const VatRateRead read = readVatRate(workingDirectory, plat::regional().decimalSeparator);
    switch (read.result) {
        case VatRateRead::Result::Found:
            mwstSatz = read.rate;
            return true;
        case VatRateRead::Result::NoRecord:
            return true;
        case VatRateRead::Result::CannotOpen:
            if (showStop) showStop(cannotReadMessage(kVatFile));
            return true;
        case VatRateRead::Result::NotANumber:
            if (showStop) showStop(notANumberMessage(read.badText));
            return false;
    }
    return true;
}

namespace {

// The first name of every operator number (field 2 cut to 9 characters).
using OperatorIndex = std::unordered_map<std::string, std::string>;

bool indexOperators(LineReader& in, OperatorIndex& index) {
    std::string piece;
    while (in.readLineCut(piece)) {  // a line is cut at 149 characters
        const std::vector<std::string> fields = splitPlain(piece, ';');
        if (fields.size() < 3) continue;
        index.try_emplace(fields[1].substr(0, 9), fields[2].substr(0, kBedienerNameWidth));
    }
    return !in.failed();
}

}  // namespace

OperatorRead readOperatorName(const std::string& workingDirectory, const std::string& bedienerNr) {
    OperatorRead out;
    LineReader in;
    const std::string path = plat::joinPath(workingDirectory, kOperatorFile);
    if (!in.open(path)) {
        out.result = OperatorRead::Result::CannotOpen;
        return out;
    }
    if (plat::lookupCachesEnabled()) {
        static LookupCache<OperatorIndex> cache;
        bool complete = false;
        const OperatorIndex& index =
            cache.get(path, in.openStamp(), complete,
                      [&in](OperatorIndex& i) { return indexOperators(in, i); });
        if (const auto it = index.find(bedienerNr); it != index.end()) {
            out.result = OperatorRead::Result::Found;
            out.name = it->second;
        } else if (!complete) {
            out.result = OperatorRead::Result::CannotOpen;
        }
        return out;
    }
    std::string piece;
    while (in.readLineCut(piece)) {  // a line is cut at 149 characters
        const std::vector<std::string> fields = splitPlain(piece, ';');
        if (fields.size() < 3 || fields[1].substr(0, 9) != bedienerNr) continue;
        out.result = OperatorRead::Result::Found;
        out.name = fields[2].substr(0, kBedienerNameWidth);
        break;
    }
    if (out.result != OperatorRead::Result::Found && in.failed())
        out.result = OperatorRead::Result::CannotOpen;
    return out;
}

void lookUpOperatorName(const std::string& workingDirectory, const std::string& bedienerNr,
                        std::string& bedienerName, const MessageSink& showStop) {
    const OperatorRead read = readOperatorName(workingDirectory, bedienerNr);
    bedienerName = read.name;
    if (read.result == OperatorRead::Result::CannotOpen && showStop)
        showStop(cannotReadMessage(kOperatorFile));
}

}  // namespace regfiles
