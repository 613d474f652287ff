// The driver's status window on the desktop: a small window that cannot be
// closed by the user, with the register line, the command, status and record
// lines, and the Abort button, which is cut off the bottom of the window
// while it is hidden. A mouse press on the window drags it; the job does not
// end while the window is dragged. The result box is a message box on top of
// every window.
#pragma once

#include <QIcon>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "driver/status_window.h"

class QApplication;
class QLabel;
class QPushButton;

namespace tarvik::qt {

class StatusWidget;

class DesktopFrontEnd : public StatusFrontEnd {
  public:
    // Creates the window toolkit for the program when a display is present
    // and can be reached; null otherwise (the program then goes on without a
    // window).
    static std::unique_ptr<DesktopFrontEnd> create(const char* argv0);
    // For a program that has its QApplication already.
    DesktopFrontEnd();
    ~DesktopFrontEnd() override;

    void setIcon(const std::string& path) override;
    void prepare(const StatusWindow& window) override;
    void show(const StatusWindow& window) override;
    void processEvents(StatusWindow& window) override;
    void repaint(const StatusWindow& window) override;
    void close(const StatusWindow& window) override;
    void resultBox(std::string_view caption, std::string_view text, bool stopIcon) override;

    // The window (null before prepare), for tests and screenshots.
    QWidget* window() const;

    // What the user did, kept until the model hears of it at its next refresh.
    enum class Event { Abort, StartDrag, EndDrag };
    void post(Event event) { pending_.push_back(event); }

  private:
    // Argument vector of the toolkit: it must outlive the application object.
    std::string argv0_, platformArg_, platforms_;
    std::vector<char*> argv_;
    int argc_ = 0;
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<StatusWidget> widget_;
    std::vector<Event> pending_;
    QIcon icon_;
};

}  // namespace tarvik::qt
