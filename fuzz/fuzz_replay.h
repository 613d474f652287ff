// The replay build's record of broken rules (see fuzz_support.h).
#pragma once

#include <string>
#include <vector>

namespace fuzzsupport {

// The rules broken since the list was last cleared (replay build only).
std::vector<std::string>& replayFailures();

}  // namespace fuzzsupport
