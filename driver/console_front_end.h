// The status window without a desktop: for a visible job whose standard error
// is a terminal, one status line on standard error, redrawn in place, where
// Ctrl-C acts as the Abort button while that button is shown; otherwise
// nothing is shown. The result box goes to standard error and, on a terminal,
// waits for Enter.
#pragma once

#include <string>

#include "driver/status_window.h"

namespace tarvik {

// The text of the one-line status display: the caption, the register line
// when shown, the command, status and record lines, and the Abort hint.
// Control characters are shown as "?" so that no text can steer the terminal.
std::string statusLineText(const StatusWindow& window);

class ConsoleFrontEnd : public StatusFrontEnd {
  public:
    // `errFd` receives the display and the result box; `inFd` gives the Enter.
    ConsoleFrontEnd(int errFd = 2, int inFd = 0);
    ~ConsoleFrontEnd() override;

    void show(const StatusWindow& window) override;
    void processEvents(StatusWindow& window) override;
    void repaint(const StatusWindow& window) override;
    void close(const StatusWindow& window) override;
    void resultBox(std::string_view caption, std::string_view text, bool stopIcon) override;

  private:
    void writeAll(std::string_view s);
    void restoreInterrupt();

    int errFd_;
    int inFd_;
    bool statusLine_;  // standard error is a terminal
    bool boxWaits_;    // standard error and standard input are terminals
    bool active_ = false;
    bool interruptInstalled_ = false;
    std::string lastLine_;
};

}  // namespace tarvik
