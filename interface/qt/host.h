// What only the desktop can do for the main window: minimising, moving the
// focus, the help window, the directory chooser, and ending the program.
#pragma once

#include <QPointer>
#include <memory>

#include "interface/ports.h"

namespace pelko::qt {

class FormWindow;
class HelpWindow;

class Host : public WindowHost {
  public:
    Host();
    ~Host() override;
    void setWindow(FormWindow* window) { window_ = window; }

    void minimize() override;
    void focusNextControl() override;
    void showHelp(const std::string& helpFile, int context) override;
    void closeAllHelp() override;
    bool chooseDirectory(const ui::TOpenDialog& dialog, std::string& chosen) override;
    void quit() override;

    HelpWindow* helpWindow() const { return help_.get(); }
    bool quitRequested() const { return quitRequested_; }

  private:
    QPointer<FormWindow> window_;
    std::unique_ptr<HelpWindow> help_;
    bool quitRequested_ = false;
};

}  // namespace pelko::qt
