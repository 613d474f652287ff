// Files of the hotel software in the hotel transfer directory.
#pragma once

#include <string>

namespace regfiles {

// The path of `name` in the hotel transfer directory (the text of
// EditHotelTransfer). A relative directory is taken from the working
// directory; an empty one stands for the root directory, where the joined
// path "\NAME" pointed.
std::string hotelFilePath(const std::string& workingDirectory, const std::string& transferDirectory,
                          const std::string& name);

}  // namespace regfiles
