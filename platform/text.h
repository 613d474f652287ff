// Text files in the manner of Windows text mode: a line end written reaches
// the disk as CR LF; on reading, CR LF becomes one line end and a lone CR
// stays. Readers that must count characters of fixed-size blocks rely on this.
#pragma once

#include <string>
#include <string_view>

#include "platform/file.h"

namespace plat {

std::string toCrLf(std::string_view text);    // "\n" -> "\r\n"
std::string fromCrLf(std::string_view bytes); // "\r\n" -> "\n"

// Writes `text` to an open file with its line ends as CR LF.
bool writeText(File& f, std::string_view text);

// Reads a whole file in text mode. False when it cannot be opened or read.
bool readTextFile(std::string_view path, std::string& out);

}  // namespace plat
