// The texts the driver writes into its files: job log lines, the end file,
// dated output-file names and the offset encoding of records.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tarvik {

// Version mark in the start line of the job log.
inline constexpr std::string_view kLogVersion = "<1.20> ";

// Fields 1 to 4 of a job log line and the ";" after field 4:
// date;time;KEYWORD;"value";  (regional short date and long time)
std::string logLineHead(const plat::DateTime& t, std::string_view keyword, std::string_view value);
// Fields 5 and 6 and the line end: code;"text" CR LF (the end line gets a
// second CR LF).
std::string logLineTail(int code, std::string_view text, bool endLine = false);

// The code the end line of the job log shows for a final status code: the
// code itself for 1, 2 and 6, else 0.
int endLineCode(int finalCode);

// The contents of the end file: the code as exactly three ASCII digits.
std::string endFileText(int code);

// The date text of a dated output file: _yymmdd_hhmmss.
std::string dateText(const plat::DateTime& t);

// The dated form of an output-file name: the date text goes before the
// extension of the file's own name (its last "." after the last "/"); a name
// without an extension gets the date text at its end. A "." in a directory
// name is never taken for an extension.
std::string datedName(std::string_view name, const plat::DateTime& t);

// Offset encoding of stored records: 0x30 subtracted from every byte (mod 256).
std::string offsetEncode(std::string_view bytes);

}  // namespace tarvik
