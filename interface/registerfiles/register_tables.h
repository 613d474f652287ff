// The register's VAT and operator tables, VMWST.CSV and VBED.CSV in the
// working directory, as the room report converters look them up.
#pragma once

#include <string>

#include "interface/registerfiles/message_sink.h"

namespace regfiles {

inline constexpr const char* kVatFile = "VMWST.CSV";
inline constexpr const char* kOperatorFile = "VBed.CSV";  // the driver writes VBED.CSV

inline constexpr std::size_t kMwstSatzWidth = 9;
inline constexpr std::size_t kBedienerNameWidth = 29;

struct VatRateRead {
    enum class Result {
        Found,       // `rate` holds the rate of VAT number 1
        NoRecord,    // the file has no record with number 1
        CannotOpen,  // the file cannot be opened
        NotANumber,  // field 4 of record 1 is not a number; `badText` holds it
    };
    Result result = Result::NoRecord;
    std::string rate;     // "19,00": the rate in percent, two decimals, regional separator
    std::string badText;  // field 4 that could not be read
};

// Reads the rate of VAT number 1 (field 2 exactly "1"; field 4 in hundredths
// of a percent, read with `decimalSeparator`). The last record with number 1
// counts.
VatRateRead readVatRate(const std::string& workingDirectory, char decimalSeparator);

// The message for a field 4 that is not a number: the conversion that asked
// ends with it.
std::string notANumberMessage(const std::string& text);

// MWSTDateiLesen without the window: sets `mwstSatz` from VMWST.CSV with the
// regional decimal separator. A missing file is reported ("Datei VMWST.CSV
// kann nicht gelesen werden") and the caller goes on; without record 1 the
// rate keeps its value. False only when field 4 of record 1 is not a number,
// which is reported and ends the caller's conversion.
bool lookUpVatRate(const std::string& workingDirectory, std::string& mwstSatz,
                   const MessageSink& showStop);

struct OperatorRead {
    enum class Result { Found, NoRecord, CannotOpen };
    Result result = Result::NoRecord;
    std::string name;  // field 3 of the first record whose field 2 equals the number
};

// Looks up the operator `bedienerNr` (exact text comparison with field 2; the
// first record counts). The file is opened at every call; what it holds is
// kept while it is unchanged (LookupCache).
OperatorRead readOperatorName(const std::string& workingDirectory, const std::string& bedienerNr);

// BedienerDateiLesen without the window: sets `bedienerName` for
// `bedienerNr`. An operator without record, or a file that cannot be opened
// (reported: "Datei VBed.CSV kann nicht gelesen werden"), leaves the name
// empty, so that no booking line carries the name of another operator.
void lookUpOperatorName(const std::string& workingDirectory, const std::string& bedienerNr,
                        std::string& bedienerName, const MessageSink& showStop);

}  // namespace regfiles
