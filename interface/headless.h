// The interface program without a window:
//   Pelko_Programm --headless            start-up, then the one-second timer
//                                        until SIGINT or SIGTERM
//   Pelko_Programm --headless --ticks N  N ticks, then the end; with
//                                        PELKO_CLOCK the clock is virtual and
//                                        each tick moves it by one second
//   Pelko_Programm --run VERB            start-up, one operation, the end
// A message box is written to standard error as one line "<caption>: <text>"
// and answered with OK; an input prompt is written the same way and answered
// with Cancel. Under --run the operation's own questions and code prompts are
// not asked: the command line is the confirmation. After every evaluated
// driver run the status line is written to standard output.
//
// Exit status of --run: 0 when the operation ran, no failure was reported
// (no box with the stop icon, no command file left unwritten) and, for the
// verbs that run the driver, the result code was "000"; 1 otherwise; 2 for a
// usage error. --headless ends with 0.
#pragma once

#include <iosfwd>
#include <string>

#include "interface/form_pelko.h"
#include "interface/ports.h"

namespace pelko::headless {

// Message boxes as lines on a stream (standard error).
class StreamDialogs : public DialogPort {
  public:
    explicit StreamDialogs(std::ostream& out) : out_(out) {}
    DialogAnswer ask(const DialogRequest& request) override;

  private:
    std::ostream& out_;
};

struct Options {
    enum class Mode { Window, Headless, Run, Help };
    Mode mode = Mode::Window;
    long ticks = -1;  // -1: until a signal
    std::string verb;
};

// Reads the command line; false with a message for a usage error.
bool parseArguments(int argc, const char* const* argv, Options& options, std::string& error);

// True for the verbs that --run knows.
bool knownVerb(const std::string& verb);

// Runs one verb on a started form; answers the exit status.
int runVerb(TFormPelko& form, const std::string& verb);
// The operation of a verb; `drives` tells whether it runs the driver.
void runOperation(TFormPelko& form, const std::string& verb, bool& drives);

// Runs the timer: `ticks` ticks (all of them at once on the virtual clock),
// or until SIGINT or SIGTERM when ticks is negative.
void runTimer(TFormPelko& form, long ticks, bool virtualClock);

// The program with its main window: runs until the closing prompt lets it
// end, and answers the exit status.
using WindowMain = int (*)(int argc, const char* const* argv, const HotelAdapterRegistry& adapters);

// The whole program, from the command line to the exit status, with the
// adapters given. Without arguments it opens the main window through
// `windowMain` (the desktop build) when a display is present; without a
// desktop build or a display it says so and exits with 2.
int programMain(int argc, const char* const* argv, const HotelAdapterRegistry& adapters,
                WindowMain windowMain = nullptr);

}  // namespace pelko::headless
