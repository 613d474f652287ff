#include "interface/registerfiles/hotel_files.h"

#include "platform/paths.h"

namespace regfiles {

std::string hotelFilePath(const std::string& workingDirectory, const std::string& transferDirectory,
                          const std::string& name) {
    if (transferDirectory.empty()) return "/" + name;
    return plat::joinPath(plat::joinPath(workingDirectory, transferDirectory), name);
}

}  // namespace regfiles
