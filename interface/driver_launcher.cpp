// Starting the register driver as a process of its own, without a shell.
#include <stdlib.h>

#include "interface/ports.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/regional.h"

namespace pelko {

bool ProcessDriverLauncher::run(const std::string& commandFile, const std::string& workDir) {
    std::string program = plat::findProgram("Tarvik", workDir);
    if (program.empty()) return false;
    // Under a given clock (tests, demonstrations) the driver starts at this
    // program's time, so that both keep the same day and time.
    const char* clock = ::getenv("PELKO_CLOCK");
    if (clock && *clock)
        ::setenv("PELKO_CLOCK", plat::formatDateTime("yyyy-mm-dd hh:nn:ss", plat::now()).c_str(),
                 1);
    return plat::runAndWait(program, {"Tarvik", commandFile}, workDir) >= 0;
}

}  // namespace pelko
