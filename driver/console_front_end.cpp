#include "driver/console_front_end.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace tarvik {
namespace {

volatile sig_atomic_t g_interrupted = 0;
struct sigaction g_previous {};

void onInterrupt(int) {
    g_interrupted = 1;
}

// Installs the Ctrl-C handler and keeps the one it replaces in `previous`.
// With `restart` off, a blocking read returns on Ctrl-C (the result box
// waits that way).
void installInterrupt(bool restart, struct sigaction* previous) {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = restart ? SA_RESTART : 0;
    g_interrupted = 0;
    ::sigaction(SIGINT, &sa, previous);
}

void appendShown(std::string& out, std::string_view text) {
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        out += (u < 0x20 || u == 0x7F) ? '?' : c;
    }
}

void appendLine(std::string& out, const Label& caption, const Label& value) {
    out += " | ";
    appendShown(out, caption.caption);
    if (!caption.caption.empty() && caption.caption.back() != ' ') out += ' ';
    appendShown(out, value.caption);
}

}  // namespace

std::string statusLineText(const StatusWindow& w) {
    std::string out;
    appendShown(out, w.caption());
    if (w.L_mcno.visible) appendLine(out, w.L_mcno_29, w.L_mcno);
    appendLine(out, w.L_cmd_6, w.L_cmd);
    appendLine(out, w.L_stat_7, w.L_stat);
    appendLine(out, w.L_rec_8, w.L_rec);
    if (w.abortShown()) out += " | Ctrl-C: Abort";
    return out;
}

ConsoleFrontEnd::ConsoleFrontEnd(int errFd, int inFd)
    : errFd_(errFd),
      inFd_(inFd),
      statusLine_(::isatty(errFd) == 1),
      boxWaits_(::isatty(errFd) == 1 && ::isatty(inFd) == 1) {}

ConsoleFrontEnd::~ConsoleFrontEnd() {
    restoreInterrupt();
}

void ConsoleFrontEnd::writeAll(std::string_view s) {
    while (!s.empty()) {
        ssize_t n = ::write(errFd_, s.data(), s.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        s.remove_prefix(static_cast<std::size_t>(n));
    }
}

void ConsoleFrontEnd::restoreInterrupt() {
    if (!interruptInstalled_) return;
    ::sigaction(SIGINT, &g_previous, nullptr);
    interruptInstalled_ = false;
}

void ConsoleFrontEnd::show(const StatusWindow& window) {
    if (!statusLine_) return;
    active_ = true;
    installInterrupt(true, &g_previous);
    interruptInstalled_ = true;
    lastLine_.clear();
    repaint(window);
}

void ConsoleFrontEnd::processEvents(StatusWindow& window) {
    if (!active_ || !g_interrupted) return;
    g_interrupted = 0;
    // Ctrl-C is the Abort button, which can be pressed only while it is shown.
    if (window.abortShown()) window.B_abortClick();
    lastLine_.clear();  // the terminal echoed "^C" into the line
}

void ConsoleFrontEnd::repaint(const StatusWindow& window) {
    if (!active_) return;
    std::string line = statusLineText(window);
    struct winsize ws {};
    if (::ioctl(errFd_, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 1 && line.size() >= ws.ws_col) {
        line.resize(ws.ws_col - 1u);
    }
    if (line == lastLine_) return;
    lastLine_ = line;
    writeAll("\r" + line + "\x1b[K");
}

void ConsoleFrontEnd::close(const StatusWindow&) {
    if (!active_) return;
    writeAll("\r\x1b[K");
    active_ = false;
    restoreInterrupt();
}

void ConsoleFrontEnd::resultBox(std::string_view caption, std::string_view text, bool stopIcon) {
    (void)stopIcon;
    std::string out;
    appendShown(out, caption);
    out += ": ";
    appendShown(out, text);
    if (!boxWaits_) {
        writeAll(out + "\n");
        return;
    }
    writeAll(out + "  [Enter] ");
    // Wait for Enter; the end of the input or Ctrl-C confirm the box as well.
    struct sigaction previous {};
    installInterrupt(false, &previous);
    for (;;) {
        char c;
        ssize_t n = ::read(inFd_, &c, 1);
        if (n == 1 && c != '\n') continue;
        if (n < 0 && errno == EINTR && !g_interrupted) continue;
        break;
    }
    ::sigaction(SIGINT, &previous, nullptr);
    if (g_interrupted) writeAll("\n");
    g_interrupted = 0;
}

}  // namespace tarvik
