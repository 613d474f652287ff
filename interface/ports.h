// What the interface program needs from whoever runs it: modal boxes and the
// input prompt, starting the register driver, and the few things only a
// window system can do (minimising, moving the focus, help, the directory
// chooser, the log window). The desktop front end, the window-less modes and
// the tests each provide their own.
#pragma once

#include <string>

namespace pelko {

namespace ui {
class TOpenDialog;
}

// A modal box: a message with buttons, or the input prompt with its text.
struct DialogRequest {
    enum class Kind { Message, Input };
    enum class Icon { None, Information, Warning, Stop, Question };
    enum class Buttons { Ok, OkCancel, YesNo };

    Kind kind = Kind::Message;
    std::string caption;
    std::string text;  // the message, or the prompt of an input; "\n" breaks lines
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    std::string input;  // Input: the text the prompt starts with
};

struct DialogAnswer {
    enum class Button { Ok, Cancel, Yes, No };
    Button button = Button::Ok;
    std::string input;  // Input: the text as the user left it
};

class DialogPort {
  public:
    virtual ~DialogPort() = default;
    // Shows the box and returns when the user has answered it. The program's
    // timer goes on ticking while a box is open.
    virtual DialogAnswer ask(const DialogRequest& request) = 0;
};

class DriverLauncher {
  public:
    virtual ~DriverLauncher() = default;
    // Starts the register driver with the command file (a name in workDir),
    // with workDir as its current directory, and waits for it to end. False
    // when it could not be started; its exit status carries nothing.
    virtual bool run(const std::string& commandFile, const std::string& workDir) = 0;
};

// Starts the driver "Tarvik" without a shell: looked for beside the running
// executable, then in the working directory, then on PATH; argument vector
// "Tarvik" and the command file name.
class ProcessDriverLauncher : public DriverLauncher {
  public:
    bool run(const std::string& commandFile, const std::string& workDir) override;
};

class WindowHost {
  public:
    virtual ~WindowHost() = default;
    virtual void minimize() {}
    // Moves the keyboard focus to the next control of the window.
    virtual void focusNextControl() {}
    // The help file at the topic of the context number; closing all help windows.
    virtual void showHelp(const std::string& /*helpFile*/, int /*context*/) {}
    virtual void closeAllHelp() {}
    // Runs the file-open dialog as a directory chooser. True when the user
    // confirmed; `chosen` is then the directory the dialog was left in.
    virtual bool chooseDirectory(const ui::TOpenDialog& /*dialog*/, std::string& /*chosen*/) {
        return false;
    }
    // The main window has agreed to close: the program ends.
    virtual void quit() {}
};

}  // namespace pelko
