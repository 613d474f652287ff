// Tarvik, the register driver: one job per run, described by the command file
// given as the only argument. The exit code is always 0; the result is in the
// job log and the end file.
//
// A visible job shows the status window on the desktop when the program was
// built with it and a display is present; otherwise a status line on a
// terminal, or nothing.
#include <signal.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "driver/console_front_end.h"
#include "driver/main_form.h"
#include "platform/paths.h"
#ifdef TARVIK_WITH_QT
#include "driver/qt/desktop_front_end.h"
#endif

int main(int argc, char** argv) {
    plat::setArgv0(argc > 0 ? argv[0] : nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    try {
        std::unique_ptr<tarvik::StatusFrontEnd> frontEnd;
#ifdef TARVIK_WITH_QT
        frontEnd = tarvik::qt::DesktopFrontEnd::create(argc > 0 ? argv[0] : nullptr);
#endif
        if (!frontEnd) frontEnd = std::make_unique<tarvik::ConsoleFrontEnd>();
        std::optional<std::string> commandFile;
        if (argc > 1) commandFile = argv[1];
        tarvik::TMainForm form(plat::executablePath(), commandFile, *frontEnd);
        form.runJob();
    } catch (const std::exception& e) {
        // An unexpected failure ends the run without end line and end file.
        std::fprintf(stderr, "Tarvik: %s\n", e.what());
    }
    return 0;
}
